// The skinned controls attached to a real dialog (made from an in-memory
// template), driven through window messages as the dialog manager and a user
// would, and drawn into bitmaps whose pixels are checked: key-coloured image
// pixels must show the parent's background.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <utility>
#include <vector>

#include "ui/controls/bitmap_slider_win.h"
#include "ui/controls/button_st_win.h"
#include "ui/controls/control_messages_win.h"
#include "ui/controls/skin_scroll_bar_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/controls/transparent_list_box_win.h"

namespace {

constexpr COLORREF kKey = RGB(128, 128, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

enum : int {
    kRadioA = 101,  // group start
    kRadioB = 102,
    kPlainRadio = 103,   // a system radio button, never attached
    kHiddenRadio = 104,  // hidden member of the group
    kCheck = 105,        // next group
    kOtherRadio = 106,   // a radio button of the check box's group
    kPush = 107,
    kText = 108,
    kList = 109,
    kSlider = 110,
    kDelaySlider = 111,
};

struct Place {
    int id;
    RECT r;  // client pixels of the dialog
};
const Place kPlaces[] = {
    {kRadioA, {10, 10, 70, 30}},    {kRadioB, {10, 35, 70, 55}},     {kPlainRadio, {10, 60, 70, 80}},
    {kHiddenRadio, {10, 85, 70, 105}}, {kCheck, {100, 10, 160, 30}}, {kOtherRadio, {100, 35, 160, 55}},
    {kPush, {100, 60, 140, 80}},    {kText, {10, 110, 130, 135}},    {kList, {170, 90, 290, 170}},
    {kSlider, {10, 150, 40, 160}},  {kDelaySlider, {300, 10, 310, 20}},
};

RECT PlaceOf(int id) {
    for (const Place& p : kPlaces)
        if (p.id == id) return p.r;
    return {};
}

// The parent's background: a pattern that tells every pixel's place.
COLORREF BackgroundAt(int x, int y) { return RGB((x * 3) & 255, (y * 5) & 255, 64); }

HBITMAP NewBitmap(int w, int h, const std::function<COLORREF(int x, int y)>& colour) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<DWORD*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = colour(x, y);
            px[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    return bmp;
}

HBITMAP Solid(int w, int h, COLORREF c) {
    return NewBitmap(w, h, [c](int, int) { return c; });
}

// A 20 x 10 button image: its left half is the key colour, its right half colour.
HBITMAP HalfKeyed(COLORREF colour) {
    return NewBitmap(20, 10, [colour](int x, int) { return x < 10 ? kKey : colour; });
}

struct Pixels {
    int w = 0, h = 0;
    std::vector<DWORD> px;
    COLORREF at(int x, int y) const {
        const DWORD p = px[static_cast<size_t>(y) * w + x];
        return RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
    }
    int Count(COLORREF c, RECT r) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += at(x, y) == c;
        return n;
    }
    int Count(COLORREF c) const { return Count(c, {0, 0, w, h}); }
};

// Draws a control into a bitmap: through WM_PRINTCLIENT, or as it stands on
// the screen after painting itself.
Pixels Render(HWND control, bool fromScreen = false) {
    RECT rc;
    GetClientRect(control, &rc);
    Pixels out;
    out.w = rc.right;
    out.h = rc.bottom;
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), out.w, -out.h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, dib);
    PatBlt(mem, 0, 0, out.w, out.h, BLACKNESS);
    if (fromScreen) {
        HDC dc = GetDC(control);
        BitBlt(mem, 0, 0, out.w, out.h, dc, 0, 0, SRCCOPY);
        ReleaseDC(control, dc);
    } else {
        SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    }
    GdiFlush();
    out.px.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + out.w * out.h);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    return out;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// An in-memory dialog template: a header, then DWORD-aligned items.
class DialogTemplate {
public:
    explicit DialogTemplate(DWORD style) {
        PutDword(style);
        PutDword(0);
        count_at_ = words_.size();
        words_.push_back(0);
        for (int i = 0; i < 4; ++i) words_.push_back(0);  // x, y, cx, cy
        words_.insert(words_.end(), {0, 0, 0});           // no menu, default class, no title
    }
    void Add(WORD atom, const wchar_t* text, DWORD style, int id) {
        if (words_.size() % 2) words_.push_back(0);
        PutDword(style | WS_CHILD);
        PutDword(0);
        words_.insert(words_.end(), {0, 0, 10, 10, static_cast<WORD>(id), 0xFFFF, atom});
        for (const wchar_t* c = text; *c; ++c) words_.push_back(static_cast<WORD>(*c));
        words_.push_back(0);
        words_.push_back(0);  // no creation data
        ++words_[count_at_];
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void PutDword(DWORD v) {
        words_.push_back(LOWORD(v));
        words_.push_back(HIWORD(v));
    }
    std::vector<WORD> words_;
    size_t count_at_ = 0;
};

HBITMAP g_background = nullptr;
std::vector<std::pair<int, int>> g_commands;  // (id, notification) of WM_COMMAND

INT_PTR CALLBACK DialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND: g_commands.emplace_back(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, g_background);
        BitBlt(dc, 0, 0, 320, 220, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        SetWindowLongPtrA(dlg, DWLP_MSGRESULT, 1);
        return TRUE;
    }
    }
    return FALSE;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// One shown top-level window for the whole suite (under Wine, destroying a
// shown top-level window waits for the display), and per test a fresh dialog
// as its child.
class SkinnedControls : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KorelleControlsTestHost";
        RegisterClassA(&wc);
        host_ = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 60, 60, 320, 220,
                                nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(host_);
        PumpMessages();
    }
    static void TearDownTestSuite() {
        DestroyWindow(host_);
        host_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(host_, nullptr);
        g_background = NewBitmap(320, 220, BackgroundAt);
        g_commands.clear();
        DialogTemplate t(WS_CHILD | WS_VISIBLE | DS_CONTROL | DS_NOIDLEMSG);
        const WORD button = 0x0080, staticClass = 0x0082, listbox = 0x0083;
        t.Add(button, L"A", WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, kRadioA);
        t.Add(button, L"B", WS_VISIBLE | BS_AUTORADIOBUTTON, kRadioB);
        t.Add(button, L"C", WS_VISIBLE | BS_AUTORADIOBUTTON, kPlainRadio);
        t.Add(button, L"D", BS_RADIOBUTTON, kHiddenRadio);
        t.Add(button, L"Check", WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, kCheck);
        t.Add(button, L"E", WS_VISIBLE | BS_AUTORADIOBUTTON, kOtherRadio);
        t.Add(button, L"", WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, kPush);
        t.Add(staticClass, L"Hello", WS_VISIBLE | WS_GROUP | SS_LEFT, kText);
        t.Add(listbox, L"", WS_VISIBLE | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kList);
        t.Add(staticClass, L"", WS_VISIBLE | WS_GROUP, kSlider);
        t.Add(staticClass, L"", WS_VISIBLE, kDelaySlider);
        dlg_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.get(), host_, DialogProc, 0);
        ASSERT_NE(dlg_, nullptr);
        for (const Place& p : kPlaces)
            MoveWindow(GetDlgItem(dlg_, p.id), p.r.left, p.r.top, p.r.right - p.r.left, p.r.bottom - p.r.top, FALSE);
        SetWindowPos(dlg_, HWND_TOP, 0, 0, 320, 220, SWP_SHOWWINDOW);
        PumpMessages();
    }
    void TearDown() override {
        if (dlg_) DestroyWindow(dlg_);
        PumpMessages();
        DeleteObject(g_background);
    }

    HWND Item(int id) const { return GetDlgItem(dlg_, id); }

    // The slider notifications posted to the dialog, in order.
    std::vector<std::pair<UINT, controls::SliderNotice>> TakeNotices() {
        std::vector<std::pair<UINT, controls::SliderNotice>> out;
        MSG msg;
        while (PeekMessageA(&msg, dlg_, controls::WM_SLIDER_MOVING, controls::WM_SLIDER_MOVED, PM_REMOVE))
            out.push_back({msg.message, controls::ReadSliderNotice(msg.wParam, msg.lParam)});
        return out;
    }

    void Click(HWND w, int x, int y) {
        SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
        SendMessageA(w, WM_LBUTTONUP, 0, At(x, y));
    }

    // Checks that a drawn control shows the parent's background where its
    // image is key-coloured (the image's left half at image_x, image_y).
    void ExpectKeyShowsBackground(const Pixels& p, int id, int image_x, int image_y) {
        const RECT place = PlaceOf(id);
        for (int y = image_y; y < image_y + 10; y += 3)
            for (int x = image_x; x < image_x + 10; x += 3)
                ASSERT_EQ(p.at(x, y), BackgroundAt(place.left + x, place.top + y)) << x << "," << y;
    }

    static HWND host_;
    HWND dlg_ = nullptr;
};

HWND SkinnedControls::host_ = nullptr;

const std::pair<UINT, controls::SliderNotice> Note(UINT message, int id, int pos) { return {message, {id, pos}}; }

}  // namespace

TEST_F(SkinnedControls, RadioButtonsUncheckTheRestOfTheirDialogGroup) {
    CButtonST a, b, hidden, other;
    ASSERT_TRUE(a.SubclassDlgItem(kRadioA, dlg_));
    ASSERT_TRUE(b.SubclassDlgItem(kRadioB, dlg_));
    ASSERT_TRUE(hidden.SubclassDlgItem(kHiddenRadio, dlg_));
    ASSERT_TRUE(other.SubclassDlgItem(kOtherRadio, dlg_));
    EXPECT_FALSE(CButtonST().SubclassDlgItem(kRadioA, dlg_));  // already attached
    EXPECT_EQ(a.GetKind(), controls::ButtonKind::Radio);
    EXPECT_EQ(GetWindowLongPtrA(Item(kRadioA), GWL_STYLE) & 0xF, BS_OWNERDRAW);
    EXPECT_TRUE(SendMessageA(Item(kRadioA), WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON);

    controls::SetButtonCheck(Item(kRadioA), true);
    controls::SetButtonCheck(Item(kPlainRadio), true);
    hidden.SetCheck(1);
    other.SetCheck(1);
    EXPECT_FALSE(controls::IsButtonChecked(Item(kRadioA)));  // checking the hidden one took it
    EXPECT_FALSE(controls::IsButtonChecked(Item(kPlainRadio)));

    controls::SetButtonCheck(Item(kPlainRadio), true);
    b.SetCheck(1, false);
    EXPECT_EQ(b.GetCheck(), 1);
    EXPECT_FALSE(controls::IsButtonChecked(Item(kRadioA)));
    EXPECT_FALSE(controls::IsButtonChecked(Item(kPlainRadio)));  // a system radio button is unchecked too
    EXPECT_EQ(hidden.GetCheck(), 0);
    EXPECT_EQ(other.GetCheck(), 1);  // another group

    Click(Item(kRadioA), 5, 5);
    EXPECT_EQ(a.GetCheck(), 1);
    EXPECT_EQ(b.GetCheck(), 0);
    EXPECT_EQ(other.GetCheck(), 1);
    Click(Item(kRadioA), 5, 5);  // a checked radio button stays checked
    EXPECT_EQ(a.GetCheck(), 1);
    EXPECT_EQ(g_commands, (std::vector<std::pair<int, int>>{{kRadioA, BN_CLICKED}, {kRadioA, BN_CLICKED}}));
}

TEST_F(SkinnedControls, CheckBoxTogglesOnClicksAndSpaceButNotOnAPressDraggedAway) {
    CButtonST check;
    ASSERT_TRUE(check.SubclassDlgItem(kCheck, dlg_));
    EXPECT_EQ(check.GetKind(), controls::ButtonKind::CheckBox);
    Click(Item(kCheck), 10, 10);
    EXPECT_TRUE(controls::IsButtonChecked(Item(kCheck)));
    Click(Item(kCheck), 10, 10);
    EXPECT_FALSE(controls::IsButtonChecked(Item(kCheck)));

    SendMessageA(Item(kCheck), WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    EXPECT_EQ(GetCapture(), Item(kCheck));
    EXPECT_TRUE(SendMessageA(Item(kCheck), BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageA(Item(kCheck), WM_MOUSEMOVE, MK_LBUTTON, At(200, 10));
    EXPECT_FALSE(SendMessageA(Item(kCheck), BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageA(Item(kCheck), WM_LBUTTONUP, 0, At(200, 10));
    EXPECT_NE(GetCapture(), Item(kCheck));
    EXPECT_EQ(check.GetCheck(), 0);

    SendMessageA(Item(kCheck), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(Item(kCheck), WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(check.GetCheck(), 1);
    SendMessageA(Item(kCheck), BM_CLICK, 0, 0);
    EXPECT_EQ(check.GetCheck(), 0);
    EXPECT_EQ(g_commands.size(), 4u);
}

TEST_F(SkinnedControls, ButtonDrawsTheStatesImageWithKeyPixelsShowingTheParent) {
    HBITMAP hot = HalfKeyed(kRed), normal = HalfKeyed(kBlue);
    CButtonST push, check, onlyHot;
    ASSERT_TRUE(push.SubclassDlgItem(kPush, dlg_));
    ASSERT_TRUE(check.SubclassDlgItem(kCheck, dlg_));
    ASSERT_TRUE(onlyHot.SubclassDlgItem(kRadioA, dlg_));
    ASSERT_TRUE(push.SetBitmaps(hot, kKey, normal, kKey));
    ASSERT_TRUE(check.SetBitmaps(hot, kKey, normal, kKey));
    ASSERT_TRUE(onlyHot.SetBitmaps(hot, kKey));
    DeleteObject(hot);  // the buttons keep copies
    DeleteObject(normal);
    for (CButtonST* b : {&push, &check, &onlyHot}) {
        b->DrawTransparent();
        b->SetBk(g_background);
    }

    // The push button is 40 x 20 with no caption: the image is centred at (10, 5).
    Pixels p = Render(Item(kPush));
    ExpectKeyShowsBackground(p, kPush, 10, 5);
    EXPECT_EQ(p.Count(kBlue, {20, 5, 30, 15}), 100);
    EXPECT_EQ(p.at(0, 0), BackgroundAt(100, 60));  // outside the image
    SendMessageA(Item(kPush), BM_SETSTATE, TRUE, 0);
    p = Render(Item(kPush));
    EXPECT_EQ(p.Count(kRed, {20, 5, 30, 15}), 100);
    ExpectKeyShowsBackground(p, kPush, 10, 5);

    // The check box: with a caption its image sits at the left edge, without
    // one it is centred; checked, it shows the hot image.
    EXPECT_EQ(Render(Item(kCheck)).Count(kBlue, {10, 5, 20, 15}), 100);
    SetWindowTextA(Item(kCheck), "");
    EXPECT_EQ(Render(Item(kCheck)).Count(kBlue), 100);
    check.SetCheck(1);
    p = Render(Item(kCheck));
    EXPECT_EQ(p.Count(kRed, {30, 5, 40, 15}), 100);
    EXPECT_EQ(p.Count(kBlue), 0);
    ExpectKeyShowsBackground(p, kCheck, 20, 5);

    // Only a hot image: shown in every state.
    SetWindowTextA(Item(kRadioA), "");
    EXPECT_EQ(Render(Item(kRadioA)).Count(kRed), 100);

    // Not transparent: the state's background colour fills behind the image.
    CButtonST plain;
    ASSERT_TRUE(plain.SubclassDlgItem(kRadioB, dlg_));
    HBITMAP img = HalfKeyed(kBlue);
    plain.SetBitmaps(img, kKey);
    DeleteObject(img);
    SetWindowTextA(Item(kRadioB), "");
    plain.SetColor(CButtonST::COLOR_BK_NORMAL, kGreen);
    p = Render(Item(kRadioB));
    EXPECT_EQ(p.Count(kGreen), 60 * 20 - 100);
}

TEST_F(SkinnedControls, BackgroundCopiedFromAParentDeviceContextAndOnScreen) {
    CButtonST push;
    ASSERT_TRUE(push.SubclassDlgItem(kPush, dlg_));
    HBITMAP img = HalfKeyed(kRed);
    push.SetBitmaps(img, kKey);
    DeleteObject(img);
    push.DrawTransparent();

    // A parent's painted client area: green, with a yellow patch under the push button.
    HBITMAP painted = Solid(320, 220, kGreen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, painted);
    RECT patch = PlaceOf(kPush);
    HBRUSH yellow = CreateSolidBrush(kYellow);
    FillRect(dc, &patch, yellow);
    DeleteObject(yellow);
    push.SetBk(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(painted);  // the button made its own copy

    Pixels p = Render(Item(kPush));
    EXPECT_EQ(p.Count(kYellow), 40 * 20 - 100);
    EXPECT_EQ(p.Count(kRed), 100);

    // The button's own painting, read back from the window.
    push.SetBk(g_background);
    RedrawWindow(dlg_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    p = Render(Item(kPush), true);
    EXPECT_EQ(p.Count(kRed), 100);
    ExpectKeyShowsBackground(p, kPush, 10, 5);
}

TEST_F(SkinnedControls, ButtonTurnsHotUnderThePointerAndBackWhenItLeaves) {
    CButtonST push;
    ASSERT_TRUE(push.SubclassDlgItem(kPush, dlg_));
    push.SetAlwaysTrack();
    // A move that arrives with the button held down from elsewhere is ignored.
    SendMessageA(Item(kPush), WM_MOUSEMOVE, MK_LBUTTON, At(20, 10));
    EXPECT_FALSE(push.IsHot());
    SendMessageA(Item(kPush), WM_MOUSEMOVE, 0, At(20, 10));
    EXPECT_TRUE(push.IsHot());
    EXPECT_TRUE(SendMessageA(Item(kPush), BM_GETSTATE, 0, 0) & 0x200);
    SendMessageA(Item(kPush), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(push.IsHot());

    // Hot, and the leave notice never comes: the button goes cold by itself
    // once it finds the pointer elsewhere.
    SetCursorPos(0, 0);
    SendMessageA(Item(kPush), WM_MOUSEMOVE, 0, At(20, 10));
    ASSERT_TRUE(push.IsHot());
    MSG leave;
    while (PeekMessageA(&leave, Item(kPush), WM_MOUSELEAVE, WM_MOUSELEAVE, PM_REMOVE)) {
    }
    for (int i = 0; i < 30 && push.IsHot(); ++i) {
        Sleep(20);
        PumpMessages();
    }
    EXPECT_FALSE(push.IsHot());
}

TEST_F(SkinnedControls, PushButtonSendsItsCommandAndStaysOwnerDrawnAsDefaultButton) {
    CButtonST push;
    ASSERT_TRUE(push.SubclassDlgItem(kPush, dlg_));
    EXPECT_EQ(SendMessageA(Item(kPush), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    SendMessageA(Item(kPush), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(SendMessageA(Item(kPush), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongPtrA(Item(kPush), GWL_STYLE) & 0xF, BS_OWNERDRAW);
    Click(Item(kPush), 3, 3);
    push.SetCheck(1);
    Click(Item(kPush), 3, 3);
    EXPECT_EQ(g_commands, (std::vector<std::pair<int, int>>{{kPush, BN_CLICKED}, {kPush, BN_CLICKED}}));

    push.SetHandCursor();
    const WPARAM over = reinterpret_cast<WPARAM>(Item(kPush));
    EXPECT_EQ(SendMessageA(Item(kPush), WM_SETCURSOR, over, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));

    // The tooltip is one tool for the button, its text replaced, gone with the button.
    push.SetTooltipText("Hint");
    push.SetTooltipText("Apply now");
    HWND tip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[32] = {};
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = dlg_;
    ti.uId = reinterpret_cast<UINT_PTR>(Item(kPush));
    ti.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, "Apply now");

    EXPECT_EQ(push.Detach(), Item(kPush));
    EXPECT_EQ(GetWindowLongPtrA(Item(kPush), GWL_STYLE) & 0xF, BS_PUSHBUTTON);
    EXPECT_FALSE(IsWindow(tip));
}

TEST_F(SkinnedControls, DisabledButtonDrawsItsImageGreyedWithKeyPixelsStillShowingTheParent) {
    CButtonST push;
    ASSERT_TRUE(push.SubclassDlgItem(kPush, dlg_));
    HBITMAP img = HalfKeyed(kRed);
    push.SetBitmaps(img, kKey);
    DeleteObject(img);
    push.DrawTransparent();
    push.SetBk(g_background);
    EnableWindow(Item(kPush), FALSE);
    Pixels p = Render(Item(kPush));
    EXPECT_EQ(p.Count(kRed), 0);
    ExpectKeyShowsBackground(p, kPush, 10, 5);
    EXPECT_NE(p.at(25, 10), BackgroundAt(125, 70));  // the image's shape is still drawn
}

TEST_F(SkinnedControls, StaticTextPostsItsClickAndDrawsOverTheParent) {
    CStaticST text;
    ASSERT_TRUE(text.SubclassDlgItem(kText, dlg_));
    EXPECT_EQ(SendMessageA(Item(kText), WM_NCHITTEST, 0, At(70, 180)), HTTRANSPARENT);  // falls through
    const UINT kClicked = WM_APP + 7;
    text.SetMessageClick(dlg_, kClicked);
    EXPECT_EQ(SendMessageA(Item(kText), WM_NCHITTEST, 0, At(70, 180)), HTCLIENT);
    SendMessageA(Item(kText), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, dlg_, kClicked, kClicked, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(kText));
    EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(Item(kText)));

    // Drawn in the dialog's font first: a new font takes over from it.
    text.SetColors(kYellow, kBlue);
    const int dialogFont = Render(Item(kText)).Count(kYellow);
    HFONT font =
        CreateFontA(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Tahoma");
    text.SetFont(font);
    Pixels p = Render(Item(kText));
    EXPECT_GT(p.Count(kBlue), 0);
    const int normal = p.Count(kYellow);
    EXPECT_GT(normal, dialogFont + 20);

    text.DrawTransparent();
    text.SetBk(g_background);
    text.SetBold();
    p = Render(Item(kText));
    EXPECT_EQ(p.Count(kBlue), 0);
    EXPECT_EQ(p.at(118, 22), BackgroundAt(128, 132));
    EXPECT_GT(p.Count(kYellow), normal);  // bold strokes are wider

    SetWindowTextA(Item(kText), "");
    EXPECT_EQ(Render(Item(kText)).Count(kYellow), 0);
    DestroyWindow(dlg_);  // the font outlives the window
    dlg_ = nullptr;
    DeleteObject(font);
}

TEST_F(SkinnedControls, ListBoxLinesMoveSidewaysAndSkinnedBarsScrollTheList) {
    CTransparentListBox list;
    ASSERT_TRUE(list.SubclassDlgItem(kList, dlg_));  // 120 x 80, no system scroll bars
    ASSERT_TRUE(list.SetFont(14, "Courier New", kWhite, kYellow));
    HBITMAP black = Solid(120, 80, RGB(0, 0, 0));
    list.SetBitmap(black);
    for (int i = 0; i < 12; ++i) list.AddString(i % 2 ? "W.i.W.i.W.i.W.i.W.i.W.i.W.i.W.i" : "iWi WWi iiW W.W iWi WWi iiW W.W");
    SendMessageA(Item(kList), LB_SETHORIZONTALEXTENT, 400, 0);
    CSkinScrollBar vertical, horizontal;
    ASSERT_TRUE(vertical.Create(dlg_, 201, {292, 90, 302, 170}, CSkinScrollBar::Orientation::Vertical));
    ASSERT_TRUE(horizontal.Create(dlg_, 202, {170, 172, 290, 182}, CSkinScrollBar::Orientation::Horizontal));
    list.SetScrollBars(&vertical, &horizontal);
    const int rows = 80 / list.GetItemHeight();
    EXPECT_EQ(vertical.Range(), (controls::ScrollRange{12, rows, 0}));
    EXPECT_EQ(horizontal.Range(), (controls::ScrollRange{400, 120, 0}));

    // Sideways, the lines move left by the offset: where the first rows
    // have white pixels now, they had them that many pixels further right.
    const auto whiteRows = [&](const Pixels& p) {
        std::vector<std::vector<bool>> mask(2 * list.GetItemHeight(), std::vector<bool>(120));
        for (size_t y = 0; y < mask.size(); ++y)
            for (int x = 0; x < 120; ++x) mask[y][x] = p.at(x, static_cast<int>(y)) == kWhite;
        return mask;
    };
    const auto before = whiteRows(Render(Item(kList)));
    SendMessageA(Item(kList), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30), 0);
    EXPECT_EQ(list.GetHorizontalOffset(), 30);
    EXPECT_EQ(horizontal.Range().pos, 30);
    const auto after = whiteRows(Render(Item(kList)));
    int inked = 0;
    for (size_t y = 0; y < after.size(); ++y)
        for (int x = 0; x < 90; ++x) {
            ASSERT_EQ(after[y][x], before[y][x + 30]) << x << "," << y;
            inked += after[y][x];
        }
    EXPECT_GT(inked, 50);

    // A press right of the thumb pages right; the offset stops at the
    // extent's end. Right arrow scrolls too and leaves the selection alone.
    Click(horizontal.GetSafeHwnd(), 117, 5);
    EXPECT_EQ(list.GetHorizontalOffset(), 150);
    Click(horizontal.GetSafeHwnd(), 117, 5);
    Click(horizontal.GetSafeHwnd(), 117, 5);
    EXPECT_EQ(list.GetHorizontalOffset(), 400 - 120);
    SendMessageA(Item(kList), WM_HSCROLL, SB_LEFT, 0);
    list.SetCurSel(1);
    SendMessageA(Item(kList), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(list.GetHorizontalOffset(), 6);
    EXPECT_EQ(list.GetCurSel(), 1);
    // Lines narrower than the list after all: back to the left edge.
    SendMessageA(Item(kList), LB_SETHORIZONTALEXTENT, 100, 0);
    EXPECT_EQ(list.GetHorizontalOffset(), 0);
    EXPECT_EQ(horizontal.Range(), (controls::ScrollRange{100, 120, 0}));

    // Dragging the vertical thumb to the bottom shows the last rows; the
    // bar follows the list when something else scrolls it.
    const controls::ThumbSpan thumb = controls::ThumbOf(80, vertical.Range(), CSkinScrollBar::kMinThumb);
    ASSERT_GT(thumb.length, 0);
    SendMessageA(vertical.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, thumb.start + 2));
    SendMessageA(vertical.GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, At(5, 200));
    SendMessageA(vertical.GetSafeHwnd(), WM_LBUTTONUP, 0, At(5, 200));
    EXPECT_EQ(list.GetTopIndex(), 12 - rows);
    EXPECT_EQ(vertical.Range().pos, 12 - rows);
    list.SetTopIndex(1);
    EXPECT_EQ(vertical.Range().pos, 1);
    // Its thumb is drawn where the range puts it, at rest once the pointer left.
    SendMessageA(vertical.GetSafeHwnd(), WM_MOUSELEAVE, 0, 0);
    const Pixels bar = Render(vertical.GetSafeHwnd());
    const controls::ThumbSpan now = controls::ThumbOf(80, vertical.Range(), CSkinScrollBar::kMinThumb);
    EXPECT_EQ(bar.at(5, now.start + now.length / 2), RGB(0x6b, 0x74, 0x82)) << "the grip";
    EXPECT_EQ(bar.at(5, now.start + now.length + 2 < 80 ? now.start + now.length + 2 : now.start - 2),
              RGB(0x0b, 0x0c, 0x0f)) << "the track beside it";
    DestroyWindow(dlg_);
    dlg_ = nullptr;
    DeleteObject(black);
}

TEST_F(SkinnedControls, ListBoxKeepsItemsWithDataScrollsAndDrawsOverItsBackground) {
    CTransparentListBox list;
    ASSERT_TRUE(list.SubclassDlgItem(kList, dlg_));
    EXPECT_EQ(list.GetItemHeight(), 20);
    ASSERT_TRUE(list.SetFont(14, "Tahoma", kWhite, kYellow));
    const char* names[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta", "iota", "kappa"};
    for (DWORD i = 0; i < 10; ++i) EXPECT_EQ(list.AddString(names[i], 1000 + i), static_cast<int>(i));

    // The item height is the first item's text height in the list's font.
    HDC dc = GetDC(Item(kList));
    HGDIOBJ old = SelectObject(dc, list.GetFont());
    SIZE size;
    GetTextExtentPoint32A(dc, "alpha", 5, &size);
    SelectObject(dc, old);
    ReleaseDC(Item(kList), dc);
    EXPECT_EQ(list.GetItemHeight(), size.cy);
    EXPECT_EQ(list.GetCount(), 10);
    EXPECT_EQ(list.GetItemData(3), 1003u);
    EXPECT_EQ(SendMessageA(Item(kList), LB_GETITEMDATA, 9, 0), 1009);
    char text[4];
    EXPECT_EQ(list.GetText(4, text, sizeof text), 3);
    EXPECT_STREQ(text, "eps");
    EXPECT_EQ(list.InsertString(1, "first", 7), 1);
    EXPECT_EQ(list.GetItemData(2), 1001u);

    list.SetTopIndex(3);
    EXPECT_EQ(list.GetTopIndex(), 3);
    list.ScrollDown(2);
    EXPECT_EQ(list.GetTopIndex(), 5);
    list.ScrollUp(10);
    EXPECT_EQ(list.GetTopIndex(), 0);

    // Own background bitmap, white items, the selected one yellow.
    HBITMAP own = Solid(120, 80, kGreen);
    list.SetBitmap(own);
    list.SetCurSel(1);
    const int h = list.GetItemHeight();
    Pixels p = Render(Item(kList));
    EXPECT_EQ(p.at(118, 78), kGreen);
    EXPECT_GT(p.Count(kYellow, {0, h, 120, 2 * h}), 5);
    EXPECT_EQ(p.Count(kYellow, {0, 0, 120, h}), 0);
    EXPECT_GT(p.Count(kWhite, {0, 0, 120, h}), 5);
    EXPECT_EQ(p.Count(kWhite, {0, h, 120, 2 * h}), 0);

    // Without it, the parent's background under the list, also on the
    // screen after the list box handled a click itself.
    list.SetBitmap(nullptr);
    list.SetBk(g_background);
    p = Render(Item(kList));
    EXPECT_EQ(p.at(118, 78), BackgroundAt(288, 168));
    SendMessageA(Item(kList), WM_LBUTTONDOWN, MK_LBUTTON, At(10, 2 * h + h / 2));
    SendMessageA(Item(kList), WM_LBUTTONUP, 0, At(10, 2 * h + h / 2));
    EXPECT_EQ(list.GetCurSel(), 2);
    UpdateWindow(Item(kList));
    p = Render(Item(kList), true);
    EXPECT_EQ(p.at(118, 2 * h + 1), BackgroundAt(288, 90 + 2 * h + 1));
    EXPECT_GT(p.Count(kYellow, {0, 2 * h, 120, 3 * h}), 5);
    EXPECT_EQ(p.Count(kYellow, {0, h, 120, 2 * h}), 0);
    EXPECT_EQ(p.Count(GetSysColor(COLOR_HIGHLIGHT)), 0);

    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
    list.SetItemHeight(30);
    list.AddString("x", 5);  // an empty list measures its first item again
    EXPECT_EQ(list.GetItemHeight(), size.cy);
    DestroyWindow(dlg_);
    dlg_ = nullptr;
    DeleteObject(own);
}

namespace {
// A 120 x 20 channel: green with key-coloured end caps; an 11 x 20 red thumb
// whose first column is the key colour.
HBITMAP Channel(bool vertical) {
    if (vertical)
        return NewBitmap(20, 120, [](int, int y) { return y < 2 || y >= 118 ? kKey : kGreen; });
    return NewBitmap(120, 20, [](int x, int) { return x < 2 || x >= 118 ? kKey : kGreen; });
}
HBITMAP Thumb(bool vertical) {
    if (vertical) return NewBitmap(20, 11, [](int, int y) { return y == 0 ? kKey : kRed; });
    return NewBitmap(11, 20, [](int x, int) { return x == 0 ? kKey : kRed; });
}
}  // namespace

TEST_F(SkinnedControls, SliderFollowsTheMouseAndKeysAndPostsItsNotifications) {
    using controls::WM_SLIDER_MOVED;
    using controls::WM_SLIDER_MOVING;
    CBitmapSlider slider;
    ASSERT_TRUE(slider.SubclassDlgItem(kSlider, dlg_));
    HBITMAP channel = Channel(false), thumb = Thumb(false);
    ASSERT_TRUE(slider.SetBitmapChannel(channel, nullptr, true, kKey));
    ASSERT_TRUE(slider.SetBitmapThumb(thumb, nullptr, true, kKey));
    DeleteObject(channel);
    DeleteObject(thumb);
    RECT rc;
    GetClientRect(Item(kSlider), &rc);
    EXPECT_EQ(rc.right, 120);  // took the channel's size
    EXPECT_EQ(rc.bottom, 20);
    EXPECT_FALSE(slider.IsVertical());
    slider.SetMargin(4, 0, 5, 0);
    slider.SetRange(0, 50);
    EXPECT_TRUE(SendMessageA(Item(kSlider), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS);
    EXPECT_EQ(SendMessageA(Item(kSlider), WM_NCHITTEST, 0, 0), HTCLIENT);

    HWND s = Item(kSlider);
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, At(59, 5));
    EXPECT_EQ(GetCapture(), s);
    EXPECT_EQ(GetFocus(), s);
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, At(79, 50));
    SendMessageA(s, WM_LBUTTONUP, 0, At(79, 50));
    EXPECT_NE(GetCapture(), s);
    EXPECT_EQ(TakeNotices(), (std::vector<std::pair<UINT, controls::SliderNotice>>{
                                 Note(WM_SLIDER_MOVING, kSlider, 25), Note(WM_SLIDER_MOVING, kSlider, 35),
                                 Note(WM_SLIDER_MOVED, kSlider, 35)}));

    // Thumb at pixel 79: its key column shows the channel, the channel's key
    // caps show the parent.
    slider.SetBk(g_background);
    Pixels p = Render(s);
    EXPECT_EQ(p.Count(kRed), 10 * 20);
    EXPECT_EQ(p.Count(kRed, {75, 0, 85, 20}), 10 * 20);
    EXPECT_EQ(p.at(74, 10), kGreen);
    EXPECT_EQ(p.at(1, 10), BackgroundAt(11, 160));
    EXPECT_EQ(p.at(119, 3), BackgroundAt(129, 153));

    slider.SetPos(0);
    EXPECT_TRUE(TakeNotices().empty());  // SetPos posts nothing
    SendMessageA(s, WM_KEYDOWN, VK_PRIOR, 0);
    SendMessageA(s, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageA(s, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(TakeNotices(), (std::vector<std::pair<UINT, controls::SliderNotice>>{
                                 Note(WM_SLIDER_MOVED, kSlider, 0), Note(WM_SLIDER_MOVED, kSlider, 0)}));

    // Disabling in the middle of a drag ends it; then nothing moves it.
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 5));
    TakeNotices();
    slider.Enable(false);
    EXPECT_NE(GetCapture(), s);
    EXPECT_FALSE(slider.IsDragging());
    EXPECT_FALSE(IsWindowEnabled(s));
    const int pos = slider.GetPos();
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, At(100, 5));
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, At(100, 5));
    SendMessageA(s, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_NE(GetCapture(), s);
    EXPECT_TRUE(TakeNotices().empty());
    EXPECT_EQ(slider.GetPos(), pos);
    slider.Enable(true);
    SendMessageA(s, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(TakeNotices(), (std::vector<std::pair<UINT, controls::SliderNotice>>{Note(WM_SLIDER_MOVED, kSlider, 0)}));
}

TEST_F(SkinnedControls, DelaySliderIsVerticalAndTakesOnlyArrowKeys) {
    using controls::WM_SLIDER_MOVED;
    using controls::WM_SLIDER_MOVING;
    CMySlider slider;
    ASSERT_TRUE(slider.SubclassDlgItem(kDelaySlider, dlg_));
    HBITMAP channel = Channel(true), thumb = Thumb(true);
    slider.SetBitmapChannel(channel, nullptr, true, kKey);
    slider.SetBitmapThumb(thumb, nullptr, true, kKey);
    DeleteObject(channel);
    DeleteObject(thumb);
    EXPECT_TRUE(slider.IsVertical());
    slider.SetRange(0, 59);
    slider.SetPos(10);
    HWND s = Item(kDelaySlider);
    SendMessageA(s, WM_KEYDOWN, VK_UP, 0);
    SendMessageA(s, WM_KEYDOWN, VK_PRIOR, 0);
    SendMessageA(s, WM_KEYDOWN, VK_END, 0);
    SendMessageA(s, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(TakeNotices(), (std::vector<std::pair<UINT, controls::SliderNotice>>{
                                 Note(WM_SLIDER_MOVED, kDelaySlider, 9), Note(WM_SLIDER_MOVING, kDelaySlider, 9),
                                 Note(WM_SLIDER_MOVED, kDelaySlider, 10), Note(WM_SLIDER_MOVING, kDelaySlider, 10)}));

    // Dragged along its height to the bottom: the maximum.
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 60));
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, At(-40, 400));
    SendMessageA(s, WM_LBUTTONUP, 0, At(-40, 400));
    const auto notes = TakeNotices();
    ASSERT_FALSE(notes.empty());
    EXPECT_TRUE(notes.back() == Note(WM_SLIDER_MOVED, kDelaySlider, 59));
    Pixels p = Render(s);
    EXPECT_EQ(p.Count(kRed, {0, 120 - 10, 20, 120}), 20 * 10);  // thumb at the bottom end
}

TEST(SkinnedControlExports, TheProgramExportsTheControlClassesUnderTheirNames) {
    HMODULE self = GetModuleHandleA(nullptr);
    const char* names[] = {
        "_ZN9CButtonSTC1Ev",
        "_ZN9CButtonSTD1Ev",
        "_ZN9CButtonST8SetCheckEib",
        "_ZN9CStaticSTC1Ev",
        "_ZN9CStaticST15SetMessageClickEP6HWND__j",
        "_ZN19CTransparentListBoxC1Ev",
        "_ZN19CTransparentListBox9AddStringEPKcm",
        "_ZN13CBitmapSliderC1Ev",
        "_ZN13CBitmapSlider6SetPosEi",
        "_ZN9CMySliderC1Ev",
    };
    for (const char* name : names) EXPECT_NE(GetProcAddress(self, name), nullptr) << name;
}
