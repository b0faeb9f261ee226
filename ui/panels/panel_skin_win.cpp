#include "ui/panels/panel_skin_win.h"

#include <algorithm>
#include <string>

#include "app/app_globals_win.h"
#include "ui/framework/dialog_win.h"
#include "ui/main/skin_win.h"

namespace panel_skin {

void AttachButton(CButtonST& button, HWND dialog, int id, HFONT font, COLORREF textColour, HBITMAP background) {
    button.SubclassDlgItem(id, dialog);
    for (int slot : {CButtonST::COLOR_FG_HOT, CButtonST::COLOR_FG_NORMAL, CButtonST::COLOR_FG_FOCUS})
        button.SetColor(slot, textColour, false);
    button.SetFont(font, false);
    button.DrawTransparent();
    button.SetBk(background);
}

void SetImages(CButtonST& button, const char* hotFile, const char* normalFile, COLORREF key) {
    HBITMAP hot = LoadBitmapFile(SkinFile(hotFile));
    HBITMAP normal = LoadBitmapFile(SkinFile(normalFile));
    button.SetBitmaps(hot, key, normal, key);
    if (hot) DeleteObject(hot);  // the button keeps copies
    if (normal) DeleteObject(normal);
}

void AttachText(CStaticST& text, HWND dialog, int id, HFONT font, COLORREF colour, HBITMAP background) {
    skin::Label(text, dialog, id, nullptr, colour, font, background);
}

void SetCaption(HWND dialog, int id, const char* key, const char* prefix) {
    SetWindowTextA(GetDlgItem(dialog, id), (std::string(prefix) + skin::Text(key)).c_str());
}

void FitImageAndCaption(CButtonST& button, HFONT font) {
    HWND control = button.GetSafeHwnd();
    if (!control) return;
    button.SizeToContent();
    char caption[128] = "";
    GetWindowTextA(control, caption, sizeof caption);
    if (!caption[0]) return;
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE text{};
    GetTextExtentPoint32A(dc, caption, lstrlenA(caption), &text);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT r{};
    GetClientRect(control, &r);
    SetWindowPos(control, nullptr, 0, 0, r.right + text.cx + 2, std::max<LONG>(r.bottom, text.cy),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveControl(HWND dialog, int id, panels::Point at) {
    SetWindowPos(GetDlgItem(dialog, id), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace panel_skin
