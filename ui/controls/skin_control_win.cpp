#include "ui/controls/skin_control_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/controls/masked_image_win.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x4B53;  // one subclass of ours per window
constexpr char kOwnerProp[] = "KorelleSkinControl";  // marks a window one of ours has

// The tooltip class, registered when the first tooltip is made: no window
// at start-up uses a common control, and registering them costs time.
void EnsureTooltipClass() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

// A 32-bit bitmap to draw a control off screen. Unlike a bitmap compatible
// with the window's device context, making and selecting it asks the
// display driver nothing: under Wine that is six requests to the wine server
// fewer at every paint of every control.
HBITMAP NewBuffer(HDC dc, int width, int height) {
    BITMAPINFO bmi = controls::TopDown32(width, height);
    void* bits = nullptr;
    return CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
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
    if (fitFont_) DeleteObject(fitFont_);
}

bool CSkinControl::SubclassDlgItem(int id, HWND dialog) {
    return Attach(GetDlgItem(dialog, id));
}

bool CSkinControl::Attach(HWND control) {
    if (hwnd_ || !control || !IsWindow(control)) return false;
    if (GetPropA(control, kOwnerProp)) return false;  // another object has it
    if (!SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    SetPropA(control, kOwnerProp, reinterpret_cast<HANDLE>(this));
    hwnd_ = control;
    ForgetTextAndFont();
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
    const LRESULT result = self->WindowProc(message, wParam, lParam);
    if (message == WM_SETTEXT || message == WM_SETFONT) self->ForgetTextAndFont();
    return result;
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

// How far the text, drawn by DrawText into room with format in the font
// selected in dc, reaches past what shows of it: the room within the
// client area, or the whole client area with DT_NOCLIP. Across it is the
// lines' cells; up and down it is their ink, which may use the cells'
// blank top and bottom.
SIZE Overflow(HDC dc, const std::string& text, const RECT& room, const RECT& client, UINT format) {
    RECT need = room;
    if (format & DT_SINGLELINE) need.right = need.left;  // its one line's width
    DrawTextA(dc, text.c_str(), -1, &need, (format & ~(DT_VCENTER | DT_BOTTOM | DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
    const int width = need.right - need.left, height = need.bottom - need.top;
    RECT shown = client;
    if (!(format & DT_NOCLIP)) IntersectRect(&shown, &room, &client);
    int left = room.left;
    if (format & DT_CENTER) left += (room.right - room.left - width) / 2;
    if (format & DT_RIGHT) left = room.right - width;
    int top = room.top;
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER)) top += (room.bottom - room.top - height) / 2;
    SIZE over{std::max(0L, shown.left - left) + std::max(0L, left + width - shown.right), 0};
    if (top >= shown.top && top + height <= shown.bottom) return over;
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    int above = 0, below = 0;
    InkExtent(dc, text, above, below);
    const int lines = tm.tmHeight > 0 ? std::max(1, height / static_cast<int>(tm.tmHeight)) : 1;
    const int inkTop = top + tm.tmAscent - above;
    const int inkBottom = top + (lines - 1) * tm.tmHeight + tm.tmAscent + below;
    over.cy = std::max(0L, shown.top - inkTop) + std::max(0L, inkBottom - shown.bottom);
    return over;
}

// Text is drawn no smaller than this, however little room it has.
constexpr int kSmallestTextHeight = 10;

}  // namespace

HFONT CSkinControl::FittingFont(HDC dc, const std::string& text, const RECT& room, UINT format) {
    HFONT base = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
    RECT client{};
    GetClientRect(hwnd_, &client);
    const std::string key = text + '\n' + std::to_string(room.right - room.left) + ' ' +
                            std::to_string(room.bottom - room.top) + ' ' + std::to_string(client.right) + ' ' +
                            std::to_string(client.bottom) + ' ' + std::to_string(format) + ' ' +
                            std::to_string(reinterpret_cast<std::uintptr_t>(base));
    if (key == fitKey_) return fitFont_ ? fitFont_ : base;
    fitKey_ = key;
    if (fitFont_) DeleteObject(fitFont_);
    fitFont_ = nullptr;
    SIZE over = Overflow(dc, text, room, client, format);
    LOGFONTA lf{};
    if ((over.cx == 0 && over.cy == 0) || !GetObjectA(base, sizeof lf, &lf)) return base;
    // A text that does not fit is drawn in the largest smaller size of its
    // face that fits, down to the smallest; there it is cut.
    for (int height = std::abs(static_cast<int>(lf.lfHeight)) - 1; height >= kSmallestTextHeight; --height) {
        lf.lfHeight = lf.lfHeight < 0 ? -height : height;
        lf.lfWidth = 0;
        if (fitFont_) DeleteObject(fitFont_);
        fitFont_ = CreateFontIndirectA(&lf);
        if (!fitFont_) break;
        HGDIOBJ old = SelectObject(dc, fitFont_);
        over = Overflow(dc, text, room, client, format);
        SelectObject(dc, old);
        if (over.cx == 0 && over.cy == 0) break;
    }
    return fitFont_ ? fitFont_ : base;
}

void CSkinControl::DrawControlText(HDC dc, const std::string& text, RECT room, UINT format) {
    HFONT font = FittingFont(dc, text, room, format);
    HGDIOBJ old = SelectObject(dc, font);
    text_ = {true, room, format, font};
    DrawTextA(dc, text.c_str(), -1, &room, format);
    SelectObject(dc, old);
}

SIZE CSkinControl::TextOverflow() {
    SIZE over{-1, -1};
    RECT rc{};
    if (!hwnd_ || !GetClientRect(hwnd_, &rc)) return over;
    // Drawn once more, off screen, to learn where the text goes now.
    text_.drawn = false;
    HDC screen = GetDC(hwnd_);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = NewBuffer(screen, std::max(1L, rc.right), std::max(1L, rc.bottom));
    HGDIOBJ old = SelectObject(mem, bmp);
    Draw(mem, rc);
    if (text_.drawn) {
        HGDIOBJ oldFont = SelectObject(mem, text_.font);
        over = Overflow(mem, WindowText(), text_.room, rc, text_.format);
        SelectObject(mem, oldFont);
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(hwnd_, screen);
    return over;
}

std::string CSkinControl::WindowText() const {
    if (!hwnd_) return {};
    if (!text_known_) {
        const int n = GetWindowTextLengthA(hwnd_);
        text_cache_.assign(static_cast<size_t>(n) + 1, '\0');
        text_cache_.resize(static_cast<size_t>(GetWindowTextA(hwnd_, text_cache_.data(), n + 1)));
        text_known_ = true;
    }
    return text_cache_;
}

void CSkinControl::ForgetTextAndFont() {
    text_known_ = font_known_ = false;
    text_cache_.clear();
    font_cache_ = nullptr;
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
        HBITMAP bmp = NewBuffer(dc, w, h);
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
    if (!hwnd_) return nullptr;
    if (!font_known_) {
        font_cache_ = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
        font_known_ = true;
    }
    return font_cache_;
}

HFONT CSkinControl::FontForDrawing() const {
    HFONT font = GetFont();
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

bool CSkinControl::PointerOnControl() const {
    POINT at{};
    return GetCursorPos(&at) && WindowFromPoint(at) == hwnd_;
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
        EnsureTooltipClass();
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
