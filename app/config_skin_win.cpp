#include "app/config_skin_win.h"

#include "app/app_globals_win.h"
#include "profile_store/strings/xml_rw.h"

namespace config_skin {

std::string Text(const char* key) {
    char text[kResourceStringMax];
    LookUpText(key, text, sizeof text);
    return text;
}

void SkinButton(CButtonST& button, Dialog& dialog, int id, const char* normal, const char* hot,
                const std::string& caption, int align) {
    button.SubclassDlgItem(id, dialog.hwnd());
    HBITMAP hotImage = hot ? LoadBitmapFile(SkinFile(hot)) : nullptr;
    HBITMAP normalImage = normal ? LoadBitmapFile(SkinFile(normal)) : nullptr;
    if (hotImage) {
        button.SetBitmaps(hotImage, kKey, normalImage, kKey);
        button.SizeToContent();
    }
    if (hotImage) DeleteObject(hotImage);  // the button keeps copies
    if (normalImage) DeleteObject(normalImage);
    button.SetAlign(align, false);
    button.SetColor(CButtonST::COLOR_FG_HOT, kWhite, false);
    button.SetColor(CButtonST::COLOR_FG_NORMAL, kWhite, false);
    SetWindowTextA(dialog.Item(id), caption.c_str());
    button.SetFont(dialog.DialogFont(15), false);
    button.DrawTransparent();
    button.SetBk(dialog.Background());
}

void SkinText(CStaticST& text, Dialog& dialog, int id, const std::string& caption, COLORREF colour) {
    text.SubclassDlgItem(id, dialog.hwnd());
    text.SetText(caption.c_str());
    text.SetTextColor(colour, false);
    text.SetFont(dialog.DialogFont(15), false);
    text.DrawTransparent();
    text.SetBk(dialog.Background());
}

void Place(Dialog& dialog, int id, int x, int y, int width, int height) {
    HWND control = dialog.Item(id);
    RECT r{};
    GetWindowRect(control, &r);
    if (width < 1) width = r.right - r.left;
    if (height < 1) height = r.bottom - r.top;
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace config_skin
