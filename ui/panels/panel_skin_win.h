// Small helpers the two panels share to skin their template controls.
#pragma once

#include <windows.h>

#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/panels/panel_model.h"

namespace panel_skin {

inline constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);

// Attaches the image button to the dialog's control: caption drawn in the
// colour in every state, over the background.
void AttachButton(CButtonST& button, HWND dialog, int id, HFONT font, COLORREF textColour, HBITMAP background);
// The hot and normal images from the skin files (names below the skin
// folder), each with the key colour made see-through. Missing files leave
// the button without that image.
void SetImages(CButtonST& button, const char* hotFile, const char* normalFile, COLORREF key);
// Attaches the transparent text with its colour and font.
void AttachText(CStaticST& text, HWND dialog, int id, HFONT font, COLORREF colour, HBITMAP background);

// The control's caption: prefix followed by the string table's text for key.
void SetCaption(HWND dialog, int id, const char* key, const char* prefix = "");
// Sizes the button to its image with its caption to the right of it.
void FitImageAndCaption(CButtonST& button, HFONT font);
void MoveControl(HWND dialog, int id, panels::Point at);

}  // namespace panel_skin
