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

// The lists' font: fixed pitch at 16 pixels, so that their columns line up.
constexpr int kListFontHeight = 16;
constexpr int kRecordFontHeight = 14;

// The background's two recessed wells that hold the lists (client pixels);
// each list fills its well but for a margin and the strips of its bars.
constexpr RECT kBufferWell{10, 32, 442, 538};
constexpr RECT kButtonWell{450, 32, 790, 538};
constexpr int kWellMargin = 6, kBarWidth = 10, kBarGap = 2;

struct WellLayout {
    RECT list, vertical, horizontal;
};
WellLayout LayOutWell(const RECT& well) {
    const int left = well.left + kWellMargin, top = well.top + kWellMargin;
    const int right = well.right - kWellMargin, bottom = well.bottom - kWellMargin;
    const RECT list{left, top, right - kBarWidth - kBarGap, bottom - kBarWidth - kBarGap};
    return {list, {list.right + kBarGap, top, right, list.bottom}, {left, list.bottom + kBarGap, list.right, bottom}};
}

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

CDebugDlg::~CDebugDlg() {
    if (listFont_) DeleteObject(listFont_);
}

BOOL CDebugDlg::OnInitDialog() {
    listFont_ = CreateFixedPitchFont(kRecordFontHeight, FW_NORMAL);
    if (listFont_) SendMessageA(Item(IDC_DEBUG_LIST), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_), FALSE);
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

CDebugMacroDlg::~CDebugMacroDlg() {
    if (listFont_) DeleteObject(listFont_);
}

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
        const RECT& well;
        CSkinScrollBar& vertical;
        int verticalId;
        CSkinScrollBar& horizontal;
        int horizontalId;
    };
    listFont_ = CreateFixedPitchFont(kListFontHeight, FW_BOLD);
    for (const ListSetup& s :
         {ListSetup{buffer_, IDC_KEYVIEW_BUFFER, bufferLines_, kBufferWell, bufferVertical_, IDC_KEYVIEW_BUFFER_VBAR,
                    bufferHorizontal_, IDC_KEYVIEW_BUFFER_HBAR},
          ListSetup{button_, IDC_KEYVIEW_BUTTON, buttonLines_, kButtonWell, buttonVertical_, IDC_KEYVIEW_BUTTON_VBAR,
                    buttonHorizontal_, IDC_KEYVIEW_BUTTON_HBAR}}) {
        // The system's scroll bars go; skinned ones take their place in the well.
        const WellLayout at = LayOutWell(s.well);
        HWND list = RecreateWithoutScrollBars(dialog, s.id);
        if (!list) continue;
        SetWindowPos(list, nullptr, at.list.left, at.list.top, at.list.right - at.list.left,
                     at.list.bottom - at.list.top, SWP_NOZORDER | SWP_NOACTIVATE);
        s.list.Attach(list);
        s.list.SetFont(listFont_, false);
        s.list.SetColor(kWhite, kSelectedText, kWhite, false);
        s.list.DrawTransparent();
        s.list.SetBk(bg);
        for (const std::string& line : s.lines) s.list.AddString(line.c_str());
        WidenToLines(list, s.lines);
        for (CSkinScrollBar* bar : {&s.vertical, &s.horizontal}) {
            const bool vertical = bar == &s.vertical;
            bar->Create(dialog, vertical ? s.verticalId : s.horizontalId, vertical ? at.vertical : at.horizontal,
                        vertical ? CSkinScrollBar::Orientation::Vertical : CSkinScrollBar::Orientation::Horizontal);
            bar->DrawTransparent();
            bar->SetBk(bg);
        }
        s.list.SetScrollBars(&s.vertical, &s.horizontal);
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
