#include "ui/controls/skin_control_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace {

constexpr UINT_PTR kSubclassId = 0x4B53;  // one subclass of ours per window
constexpr char kOwnerProp[] = "KorelleSkinControl";  // marks a window one of ours has

void EnsureCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

void BlitBitmap(HDC dc, const RECT& r, HBITMAP bmp, int srcX, int srcY) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bmp);
    if (old) {
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, mem, srcX, srcY, SRCCOPY);
        SelectObject(mem, old);
    }
    DeleteDC(mem);
}

TTTOOLINFOA ToolInfo(HWND control) {
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = GetParent(control);
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    return ti;
}

}  // namespace

CSkinControl::CSkinControl() = default;

CSkinControl::~CSkinControl() {
    Detach();
    if (captured_) DeleteObject(captured_);
}

bool CSkinControl::SubclassDlgItem(int id, HWND dialog) {
    return Attach(GetDlgItem(dialog, id));
}

bool CSkinControl::Attach(HWND control) {
    if (hwnd_ || !control || !IsWindow(control)) return false;
    EnsureCommonControls();
    if (GetPropA(control, kOwnerProp)) return false;  // another object has it
    if (!SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    SetPropA(control, kOwnerProp, reinterpret_cast<HANDLE>(this));
    hwnd_ = control;
    OnAttached();
    Invalidate();
    return true;
}

HWND CSkinControl::Detach() {
    HWND h = hwnd_;
    if (!h) return nullptr;
    OnDetaching();
    DestroyTooltip();
    RemoveWindowSubclass(h, SubclassProc, kSubclassId);
    RemovePropA(h, kOwnerProp);
    hwnd_ = nullptr;
    InvalidateRect(h, nullptr, TRUE);
    return h;
}

HWND CSkinControl::GetSafeHwnd() const { return hwnd_; }

int CSkinControl::GetDlgCtrlID() const { return hwnd_ ? ::GetDlgCtrlID(hwnd_) : 0; }

LRESULT CALLBACK CSkinControl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR ref) {
    auto* self = reinterpret_cast<CSkinControl*>(ref);
    if (message == WM_TIMER && std::find(self->timers_.begin(), self->timers_.end(), wParam) != self->timers_.end()) {
        self->OnTimer(wParam);
        return 0;
    }
    if (message == WM_DESTROY)
        while (!self->timers_.empty()) self->StopTimer(self->timers_.back());
    if (message == WM_NCDESTROY) {
        self->OnDetaching();
        self->DestroyTooltip();
        RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        RemovePropA(hwnd, kOwnerProp);
        self->hwnd_ = nullptr;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return self->WindowProc(message, wParam, lParam);
}

void CSkinControl::StartTimer(UINT_PTR id, UINT ms) {
    if (!hwnd_ || !SetTimer(hwnd_, id, ms, nullptr)) return;
    if (std::find(timers_.begin(), timers_.end(), id) == timers_.end()) timers_.push_back(id);
}

void CSkinControl::StopTimer(UINT_PTR id) {
    const auto it = std::find(timers_.begin(), timers_.end(), id);
    if (it == timers_.end()) return;
    if (hwnd_) KillTimer(hwnd_, id);
    timers_.erase(it);
}

LRESULT CSkinControl::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT CSkinControl::SetTextQuietly(WPARAM wParam, LPARAM lParam) {
    // The subclass makes the window a Unicode one: the text arrives converted.
    const LRESULT r = IsWindowUnicode(hwnd_) ? DefWindowProcW(hwnd_, WM_SETTEXT, wParam, lParam)
                                             : DefWindowProcA(hwnd_, WM_SETTEXT, wParam, lParam);
    Invalidate();
    return r;
}

void CSkinControl::DrawControlText(HDC dc, const std::string& text, RECT room, UINT format) {
    text_ = {true, room, format, static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT))};
    DrawTextA(dc, text.c_str(), -1, &room, format);
}

namespace {

// How far the ink of the text's characters reaches above and below the
// baseline in the font selected in dc.
void InkExtent(HDC dc, const std::string& text, int& above, int& below) {
    above = below = 0;
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(n, 1)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    for (wchar_t c : wide) {
        GLYPHMETRICS gm{};
        if (c <= L' ' || GetGlyphOutlineW(dc, c, GGO_METRICS, &gm, 0, nullptr, &identity) == GDI_ERROR) continue;
        above = std::max(above, static_cast<int>(gm.gmptGlyphOrigin.y));
        below = std::max(below, static_cast<int>(gm.gmBlackBoxY) - static_cast<int>(gm.gmptGlyphOrigin.y));
    }
}

}  // namespace

SIZE CSkinControl::TextOverflow() {
    SIZE over{-1, -1};
    RECT rc{};
    if (!hwnd_ || !GetClientRect(hwnd_, &rc)) return over;
    // Drawn once more, off screen, to learn where the text goes now.
    text_.drawn = false;
    HDC screen = GetDC(hwnd_);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, std::max(1L, rc.right), std::max(1L, rc.bottom));
    HGDIOBJ old = SelectObject(mem, bmp);
    Draw(mem, rc);
    if (text_.drawn) {
        const int n = GetWindowTextLengthA(hwnd_);
        std::string text(static_cast<size_t>(n) + 1, '\0');
        text.resize(static_cast<size_t>(GetWindowTextA(hwnd_, text.data(), n + 1)));
        HGDIOBJ oldFont = SelectObject(mem, text_.font);
        const RECT room = text_.room;
        RECT need = room;
        if (text_.format & DT_SINGLELINE) need.right = need.left;  // its one line's width
        DrawTextA(mem, text.c_str(), -1, &need, (text_.format & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
        // The lines' ink, placed as DrawText places them, against what is
        // shown of the room: the room within the control.
        TEXTMETRICA tm{};
        GetTextMetricsA(mem, &tm);
        int above = 0, below = 0;
        InkExtent(mem, text, above, below);
        SelectObject(mem, oldFont);
        const int height = need.bottom - need.top;
        const int lines = tm.tmHeight > 0 ? std::max(1, height / static_cast<int>(tm.tmHeight)) : 1;
        int top = room.top;
        if ((text_.format & DT_SINGLELINE) && (text_.format & DT_VCENTER))
            top += (room.bottom - room.top - height) / 2;
        const int inkTop = top + tm.tmAscent - above;
        const int inkBottom = top + (lines - 1) * tm.tmHeight + tm.tmAscent + below;
        RECT shown{};
        IntersectRect(&shown, &room, &rc);
        over.cx = std::max(0L, (need.right - need.left) - (shown.right - shown.left));
        over.cy = std::max(0L, shown.top - inkTop) + std::max(0L, inkBottom - shown.bottom);
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(hwnd_, screen);
    return over;
}

LRESULT CSkinControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT overflowMessage = RegisterWindowMessageA(kTextOverflowMessage);
    if (message == overflowMessage) {
        const SIZE over = TextOverflow();
        return over.cx < 0 ? 0 : MAKELRESULT(over.cx + 1, over.cy + 1);
    }
    switch (message) {
    case WM_PAINT: PaintBuffered(); return 0;
    case WM_PRINTCLIENT:
        DrawTo(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND: return 1;
    }
    return Default(message, wParam, lParam);
}

void CSkinControl::PaintBuffered() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (dc && w > 0 && h > 0) {
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
        HGDIOBJ old = SelectObject(mem, bmp);
        Draw(mem, rc);
        BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
    }
    EndPaint(hwnd_, &ps);
}

void CSkinControl::DrawTo(HDC dc) {
    if (!hwnd_ || !dc) return;
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const int saved = SaveDC(dc);
    Draw(dc, rc);
    RestoreDC(dc, saved);
}

void CSkinControl::Invalidate(bool now) {
    if (!hwnd_) return;
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (now) UpdateWindow(hwnd_);
}

void CSkinControl::SetBk(HDC parentDc) {
    if (!hwnd_ || !parentDc) return;
    RECT rc;
    GetClientRect(hwnd_, &rc);
    POINT origin{0, 0};
    MapWindowPoints(hwnd_, GetParent(hwnd_), &origin, 1);
    const int w = rc.right, h = rc.bottom;
    if (w <= 0 || h <= 0) return;
    HBITMAP copy = CreateCompatibleBitmap(parentDc, w, h);
    if (!copy) return;
    HDC mem = CreateCompatibleDC(parentDc);
    HGDIOBJ old = SelectObject(mem, copy);
    BitBlt(mem, 0, 0, w, h, parentDc, origin.x, origin.y, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    if (captured_) DeleteObject(captured_);
    captured_ = copy;
    parent_bitmap_ = nullptr;  // the latest background given wins
    Invalidate();
}

void CSkinControl::SetBk(HBITMAP parentBackground) {
    SetBk(parentBackground, 0, 0);
    offset_given_ = false;
}

void CSkinControl::SetBk(HBITMAP parentBackground, int x, int y) {
    if (captured_) DeleteObject(captured_);
    captured_ = nullptr;
    parent_bitmap_ = parentBackground;
    offset_given_ = true;
    offset_ = {x, y};
    Invalidate();
}

void CSkinControl::DrawTransparent(bool repaint) {
    transparent_ = true;
    if (repaint) Invalidate();
}

bool CSkinControl::GetDrawTransparent() const { return transparent_; }

bool CSkinControl::HasBackgroundSource() const { return captured_ || parent_bitmap_; }

bool CSkinControl::DrawBackground(HDC dc, const RECT& client) {
    if (captured_) {
        // What the capture does not cover (the control grew) gets the fill.
        BITMAP info{};
        GetObjectA(captured_, sizeof(info), &info);
        if (info.bmWidth < client.right || info.bmHeight < client.bottom) {
            HBRUSH brush = GetSysColorBrush(COLOR_BTNFACE);
            FillRect(dc, &client, brush);
        }
        BlitBitmap(dc, client, captured_, client.left, client.top);
        return true;
    }
    if (parent_bitmap_) {
        POINT o = offset_;
        if (!offset_given_) {
            o = {0, 0};
            MapWindowPoints(hwnd_, GetParent(hwnd_), &o, 1);
        }
        BlitBitmap(dc, client, parent_bitmap_, o.x + client.left, o.y + client.top);
        return true;
    }
    HWND parent = GetParent(hwnd_);
    auto brush = reinterpret_cast<HBRUSH>(
        parent ? SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_))
               : 0);
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    return false;
}

void CSkinControl::SetFont(HFONT font, bool redraw) {
    if (hwnd_) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

HFONT CSkinControl::GetFont() const {
    return hwnd_ ? reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)) : nullptr;
}

HFONT CSkinControl::FontForDrawing() const {
    HFONT font = GetFont();
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

bool CSkinControl::IsAppActive() const {
    HWND active = GetActiveWindow();
    return active && GetAncestor(active, GA_ROOTOWNER) == GetAncestor(hwnd_, GA_ROOTOWNER);
}

void CSkinControl::SetTooltipText(const char* text, bool activate) {
    if (!hwnd_) return;
    std::string copy = text ? text : "";
    TTTOOLINFOA ti = ToolInfo(hwnd_);
    ti.lpszText = copy.data();
    if (!tooltip_) {
        tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        if (!tooltip_) return;
        SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    } else {
        SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    ActivateTooltip(activate);
}

void CSkinControl::ActivateTooltip(bool activate) {
    if (tooltip_) SendMessageA(tooltip_, TTM_ACTIVATE, activate, 0);
}

void CSkinControl::DestroyTooltip() {
    if (tooltip_) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
}
