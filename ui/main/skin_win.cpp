#include "ui/main/skin_win.h"

#include "app/app_globals_win.h"
#include "profile_store/strings/xml_rw.h"
#include "ui/framework/dialog_win.h"

namespace skin {

std::string Text(const char* key) {
    char text[kResourceStringMax] = "";
    LookUpText(key, text, sizeof text);
    return text;
}

void Place(HWND dialog, int id, int x, int y, int width, int height) {
    HWND control = GetDlgItem(dialog, id);
    RECT r{};
    GetWindowRect(control, &r);
    if (width < 0) width = r.right - r.left;
    if (height < 0) height = r.bottom - r.top;
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int HeightOf(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    return r.bottom - r.top;
}

void Button(CButtonST& button, HWND dialog, int id, const ButtonLook& look, const char* caption, HFONT font,
            HBITMAP background) {
    button.SubclassDlgItem(id, dialog);
    if (look.hot) {
        HBITMAP hot = LoadBitmapFile(SkinFile(look.hot));
        HBITMAP normal = LoadBitmapFile(SkinFile(look.normal ? look.normal : look.hot));
        button.SetBitmaps(hot, look.key, normal, look.key);
        if (hot) DeleteObject(hot);
        if (normal) DeleteObject(normal);
        if (look.sizeToImage) button.SizeToContent();
        button.SetAlign(look.sizeToImage ? CButtonST::ALIGN_OVERLAY : CButtonST::ALIGN_HORIZ, false);
    }
    button.SetColor(CButtonST::COLOR_FG_HOT, look.hotText, false);
    button.SetColor(CButtonST::COLOR_FG_NORMAL, look.normalText, false);
    button.SetColor(CButtonST::COLOR_FG_FOCUS, look.normalText, false);
    if (caption) SetWindowTextA(GetDlgItem(dialog, id), caption);
    button.SetFont(font, false);
    button.DrawTransparent();
    button.SetBk(background);
}

void Label(CStaticST& label, HWND dialog, int id, const char* text, COLORREF colour, HFONT font, HBITMAP background) {
    label.SubclassDlgItem(id, dialog);
    if (text) label.SetText(text);
    label.SetTextColor(colour, false);
    label.SetFont(font, false);
    label.DrawTransparent();
    label.SetBk(background);
}

}  // namespace skin
