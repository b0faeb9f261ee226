// Skinning shared by the advanced settings and the configuration files
// dialogs: image buttons and texts from the skin folder and the string
// table, drawn over the dialog's background, placed in pixels.
#pragma once

#include <windows.h>

#include <string>

#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/framework/dialog_win.h"
#include "ui/main/skin_win.h"

namespace config_skin {

using skin::kKey;
using skin::kSilver;
using skin::kWhite;

// The string table's text for key.
std::string Text(const char* key);

// Attaches button to the dialog's control id with the skin files normal and
// hot (hot alone when normal is null; no image when both are null), the
// caption in white in both states, the dialog's font, drawn over the
// dialog's background, sized to its hot image when it has one.
void SkinButton(CButtonST& button, Dialog& dialog, int id, const char* normal, const char* hot,
                const std::string& caption, int align = CButtonST::ALIGN_HORIZ);

// Attaches text to the control id: the caption in colour over the dialog's
// background, in the dialog's font.
void SkinText(CStaticST& text, Dialog& dialog, int id, const std::string& caption, COLORREF colour);

// Moves the control to (x, y) of the dialog; a width or height below 1 keeps
// the control's own.
void Place(Dialog& dialog, int id, int x, int y, int width = 0, int height = 0);

}  // namespace config_skin
