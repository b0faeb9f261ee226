#include "ui/main/message_dialog_win.h"

#include "app/app_globals_win.h"
#include "app/resource.h"

namespace {

constexpr COLORREF kKey = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kSilver = RGB(0xC0, 0xC0, 0xC0);

// An image button with the skin's hot and normal files, its caption from the
// string table, white when hot and silver otherwise, at a pixel position.
void SkinButton(CButtonST& button, HWND dialog, int id, const char* hot, const char* normal, const char* key,
                int x, int y, HFONT font, HBITMAP background) {
    button.SubclassDlgItem(id, dialog);
    HBITMAP hotImage = LoadBitmapFile(SkinFile(hot));
    HBITMAP normalImage = LoadBitmapFile(SkinFile(normal));
    button.SetBitmaps(hotImage, kKey, normalImage, kKey);
    button.SizeToContent();
    button.SetAlign(CButtonST::ALIGN_OVERLAY, false);
    if (hotImage) DeleteObject(hotImage);  // the button keeps copies
    if (normalImage) DeleteObject(normalImage);
    button.SetColor(CButtonST::COLOR_FG_HOT, kWhite, false);
    button.SetColor(CButtonST::COLOR_FG_NORMAL, kSilver, false);
    char caption[64];
    LookUpText(key, caption, sizeof caption);
    SetWindowTextA(GetDlgItem(dialog, id), caption);
    button.SetFont(font, false);
    button.DrawTransparent();
    button.SetBk(background);
    SetWindowPos(GetDlgItem(dialog, id), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CMessageDialog::CMessageDialog(HWND owner, int mode, const char* text, int)
    : Dialog(IDD_MESSAGE), mode_(mode), text_(text ? text : "") {
    result_ = static_cast<int>(DoModal(owner));
}

BOOL CMessageDialog::OnInitDialog() {
    HWND dialog = hwnd();
    HFONT font = DialogFont(15);
    SetBackground(SkinFile("\\info\\info_bg.bmp"));
    MakeLayered(kKey);
    const SIZE size = BackgroundSize();

    title_.SubclassDlgItem(IDC_MSG_TITLE, dialog);
    char title[64];
    LookUpText("Str_SystemMessage", title, sizeof title);
    title_.SetText(title);
    title_.SetTextColor(kWhite, false);
    title_.SetFont(font, false);
    title_.DrawTransparent();
    title_.SetBk(Background());
    RECT r{};
    GetWindowRect(Item(IDC_MSG_TITLE), &r);
    SetWindowPos(Item(IDC_MSG_TITLE), nullptr, 0, 2, size.cx, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);

    const bool yesNo = mode_ == kYesNo;
    if (yesNo) {
        SkinButton(yes_, dialog, IDC_MSG_YES, "\\info\\info_01_11.bmp", "\\info\\info_02_11.bmp", "Str_Yes", 77, 100,
                   font, Background());
        SkinButton(no_, dialog, IDC_MSG_NO, "\\info\\info_01_13.bmp", "\\info\\info_02_13.bmp", "Str_No", 146, 100,
                   font, Background());
    } else {
        SkinButton(ok_, dialog, IDC_MSG_OK, "\\info\\info_03_13.bmp", "\\info\\info_04_13.bmp", "Str_OK", 112, 100,
                   font, Background());
    }
    ShowWindow(Item(IDC_MSG_OK), yesNo ? SW_HIDE : SW_SHOW);
    ShowWindow(Item(IDC_MSG_YES), yesNo ? SW_SHOW : SW_HIDE);
    ShowWindow(Item(IDC_MSG_NO), yesNo ? SW_SHOW : SW_HIDE);

    message_.SubclassDlgItem(IDC_MSG_TEXT, dialog);
    message_.SetText(text_);
    message_.SetTextColor(kWhite, false);
    message_.SetFont(font, false);
    message_.DrawTransparent();
    message_.SetBk(Background());
    GetWindowRect(Item(IDC_MSG_TEXT), &r);
    SetWindowPos(Item(IDC_MSG_TEXT), nullptr, 33, 50, 200, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);

    // Centred across, in the upper third of the primary screen.
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(dialog, nullptr, screenW / 2 - size.cx / 2, screenH / 3 - size.cy / 3, size.cx, size.cy,
                 SWP_NOZORDER);
    return TRUE;
}

bool CMessageDialog::OnCommand(int id, int code) {
    if (id == IDC_MSG_OK || id == IDC_MSG_YES) {
        End(1);
        return true;
    }
    if (id == IDC_MSG_NO) {
        End(2);
        return true;
    }
    return Dialog::OnCommand(id, code);
}

int ShowMessage(HWND owner, int mode, const char* text) { return CMessageDialog(owner, mode, text).Result(); }
