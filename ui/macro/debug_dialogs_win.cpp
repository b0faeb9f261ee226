#include "ui/macro/debug_dialogs_win.h"

#include <algorithm>

#include "core/app_globals_win.h"
#include "core/resource.h"
#include "ui/framework/skin_win.h"
#include "ui/macro/diagnostic_lines.h"

using namespace skin;

namespace {

constexpr COLORREF kSelectedText = RGB(0x00, 0xFF, 0xFF);  // 0xFFFF00

// The key-buffer view's layout in client pixels: the two lists' captions,
// and OK this far in from the left and up from the bottom.
constexpr Spot kKeyViewCaptions[] = {{IDC_KEYVIEW_BUFFER_CAPTION, 10, 6}, {IDC_KEYVIEW_BUTTON_CAPTION, 450, 6}};
constexpr int kOkX = 320;
constexpr int kOkFromBottom = 50;

// The horizontal extent that shows the widest line in the list's font.
void WidenToLines(HWND list, const std::vector<std::string>& lines) {
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const std::string& line : lines) {
        SIZE size{};
        if (GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size))
            widest = std::max(widest, size.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    // The items are drawn 2 pixels in from the left; keep the same margin on the right.
    SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 4), 0);
}

}  // namespace

void FillListBox(HWND list, const std::vector<std::string>& lines) {
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : lines) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    WidenToLines(list, lines);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// ---- record view ----

CDebugDlg::CDebugDlg(const ProfileRecord& record) : Dialog(IDD_DEBUG), record_(record) {}

BOOL CDebugDlg::OnInitDialog() {
    FillListBox(Item(IDC_DEBUG_LIST), macro::RecordTextLines(record_.bytes));
    return TRUE;
}

bool CDebugDlg::OnCommand(int id, int code) {
    if (id == IDC_DEBUG_TEXT) {
        FillListBox(Item(IDC_DEBUG_LIST), macro::RecordTextLines(record_.bytes));
        return true;
    }
    if (id == IDC_DEBUG_HEX) {
        FillListBox(Item(IDC_DEBUG_LIST), macro::RecordHexLines(record_.bytes));
        return true;
    }
    return Dialog::OnCommand(id, code);
}

bool CDebugDlg::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    // The view has no button that ends it: its caption's close box does.
    // (Escape still does nothing.)
    if (msg != WM_CLOSE) return false;
    End(IDCANCEL);
    result = 0;
    return true;
}

// ---- key-buffer view ----

CDebugMacroDlg::CDebugMacroDlg(const macro::MacroEditor& editor, const Block& stored)
    : Dialog(IDD_DEBUG_MACRO),
      bufferLines_(macro::KeyBufferLines(editor)),
      buttonLines_(macro::StoredButtonLines(macro::ConstButtonBlock(stored))) {}

BOOL CDebugMacroDlg::OnInitDialog() {
    HWND dialog = hwnd();
    HFONT font = SetUpWindow(*this, {.background = "\\macro\\800_600.bmp"});
    const SIZE size = BackgroundSize();
    HBITMAP bg = Background();

    Label(bufferCaption_, dialog, IDC_KEYVIEW_BUFFER_CAPTION, "Macro/Single Key", kWhite, font, bg);
    bufferCaption_.SetBold(true);
    Label(buttonCaption_, dialog, IDC_KEYVIEW_BUTTON_CAPTION, "Macro/Single Button", kWhite, font, bg);
    buttonCaption_.SetBold(true);
    Place(dialog, kKeyViewCaptions);

    struct ListSetup {
        CTransparentListBox& list;
        int id;
        const std::vector<std::string>& lines;
    };
    for (const ListSetup& s : {ListSetup{buffer_, IDC_KEYVIEW_BUFFER, bufferLines_},
                               ListSetup{button_, IDC_KEYVIEW_BUTTON, buttonLines_}}) {
        s.list.SubclassDlgItem(s.id, dialog);
        s.list.SetFont(16, "MS Gothic", kWhite, kSelectedText);
        s.list.DrawTransparent();
        s.list.SetBk(bg);
        for (const std::string& line : s.lines) s.list.AddString(line.c_str());
        WidenToLines(Item(s.id), s.lines);
    }

    Button(ok_, dialog, IDC_KEYVIEW_OK, {"\\macro\\macro_02_21.bmp", "\\macro\\macro_01_21.bmp"}, nullptr, font, bg);
    Place(dialog, IDC_KEYVIEW_OK, kOkX, size.cy - kOkFromBottom);

    SetWindowPos(dialog, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2 - size.cx / 2,
                 GetSystemMetrics(SM_CYSCREEN) / 2 - size.cy / 2, size.cx, size.cy, SWP_NOZORDER);
    return TRUE;
}

bool CDebugMacroDlg::OnCommand(int id, int code) {
    if (id == IDC_KEYVIEW_OK) {
        End(IDOK);
        return true;
    }
    return Dialog::OnCommand(id, code);
}
