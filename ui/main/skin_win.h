// Skinning steps shared by the main window and its dialogs: image buttons
// from a hot and a normal skin file, text-only buttons, transparent texts,
// and placing a control in client pixels.
#pragma once

#include <windows.h>

#include <string>

#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"

namespace skin {

inline constexpr COLORREF kKey = RGB(0x80, 0x80, 0x80);
inline constexpr COLORREF kKey7F = RGB(0x7F, 0x7F, 0x7F);
inline constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
inline constexpr COLORREF kSilver = RGB(0xC0, 0xC0, 0xC0);
inline constexpr COLORREF kCyan = RGB(0x00, 0xFF, 0xFF);

// The string table's text for a key (empty when it has none).
std::string Text(const char* key);

// Moves a control to (x, y) of its dialog's client area; a width or height
// below 0 keeps the current one.
void Place(HWND dialog, int id, int x, int y, int width = -1, int height = -1);
// The control's current height in pixels.
int HeightOf(HWND dialog, int id);

struct ButtonLook {
    const char* hot = nullptr;     // skin files; none: a text-only button
    const char* normal = nullptr;
    COLORREF key = kKey;
    COLORREF hotText = kWhite;
    COLORREF normalText = kSilver;
    bool sizeToImage = true;  // else the control keeps its size and the text follows the image
};

// Attaches an image button: the images (the button keeps copies), the text
// colours, the font, transparency over the dialog's background bitmap, and
// the caption when one is given. Sized to its image when it has one.
void Button(CButtonST& button, HWND dialog, int id, const ButtonLook& look, const char* caption, HFONT font,
            HBITMAP background);
// Attaches a transparent text in one colour.
void Label(CStaticST& label, HWND dialog, int id, const char* text, COLORREF colour, HFONT font, HBITMAP background);

}  // namespace skin
