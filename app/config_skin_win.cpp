#include "app/config_skin_win.h"

#include "ui/main/skin_win.h"

namespace config_skin {

std::string Text(const char* key) { return skin::Text(key); }

void SkinButton(CButtonST& button, Dialog& dialog, int id, const char* normal, const char* hot,
                const std::string& caption, int align) {
    skin::Button(button, dialog.hwnd(), id, {hot, normal, kKey, kWhite, kWhite}, caption.c_str(), dialog.DialogFont(15),
                 dialog.Background());
    button.SetAlign(align, false);
}

void SkinText(CStaticST& text, Dialog& dialog, int id, const std::string& caption, COLORREF colour) {
    skin::Label(text, dialog.hwnd(), id, caption.c_str(), colour, dialog.DialogFont(15), dialog.Background());
}

void Place(Dialog& dialog, int id, int x, int y, int width, int height) {
    skin::Place(dialog.hwnd(), id, x, y, width < 1 ? -1 : width, height < 1 ? -1 : height);
}

}  // namespace config_skin
