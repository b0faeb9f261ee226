#include "ui/controls/skin_scroll_bar_win.h"

#include <windowsx.h>

using controls::ScrollRange;
using controls::ThumbSpan;
using controls::TrackPart;

namespace {

// The skin's colours: the recessed well, its rim, the plates' steel and the accent.
constexpr COLORREF kTrack = RGB(0x0b, 0x0c, 0x0f);
constexpr COLORREF kRim = RGB(0x2c, 0x31, 0x3a);
constexpr COLORREF kThumb = RGB(0x33, 0x39, 0x43);
constexpr COLORREF kThumbRim = RGB(0x45, 0x4d, 0x5a);
constexpr COLORREF kGrip = RGB(0x6b, 0x74, 0x82);
constexpr COLORREF kAccent = RGB(0xff, 0x60, 0x20);

constexpr UINT kFirstRepeatMs = 350, kRepeatMs = 60;

void FillRound(HDC dc, const RECT& r, COLORREF fill, COLORREF rim, int radius) {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, rim);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    RoundRect(dc, r.left, r.top, r.right, r.bottom, radius, radius);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

}  // namespace

CSkinScrollBar::CSkinScrollBar() = default;

CSkinScrollBar::~CSkinScrollBar() { Detach(); }

bool CSkinScrollBar::Create(HWND parent, int id, const RECT& r, Orientation orientation) {
    if (GetSafeHwnd()) return false;
    orientation_ = orientation;
    // A notifying static takes the pointer (a plain one lets it through).
    HWND bar = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    if (!bar) return false;
    if (!Attach(bar)) {
        DestroyWindow(bar);
        return false;
    }
    return true;
}

void CSkinScrollBar::SetRange(const ScrollRange& range) {
    if (range == range_) return;
    range_ = range;
    if (!controls::CanScroll(range_) && dragging_) EndPress();
    Invalidate();
}

int CSkinScrollBar::Track() const {
    RECT r{};
    if (hwnd_) GetClientRect(hwnd_, &r);
    return orientation_ == Orientation::Vertical ? r.bottom : r.right;
}

int CSkinScrollBar::Along(LPARAM lParam) const {
    return orientation_ == Orientation::Vertical ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
}

void CSkinScrollBar::Ask(int pos) {
    pos = controls::ClampScrollPos(pos, range_.total, range_.page);
    if (pos != range_.pos && scrolled_) scrolled_(pos);
}

void CSkinScrollBar::PageTowardsPointer() {
    // Pages only while the pointer stays on that side of the thumb.
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(hwnd_, &p);
    const int at = orientation_ == Orientation::Vertical ? p.y : p.x;
    if (controls::PartAt(at, Track(), range_, kMinThumb) != paging_) return;
    Ask(controls::PagedPos(range_, paging_ == TrackPart::Before ? -1 : +1));
}

void CSkinScrollBar::EndPress() {
    dragging_ = false;
    paging_ = TrackPart::None;
    StopTimer(kRepeatTimer);
    if (hwnd_ && GetCapture() == hwnd_) ReleaseCapture();
    Invalidate();
}

void CSkinScrollBar::OnTimer(UINT_PTR id) {
    if (id != kRepeatTimer || paging_ == TrackPart::None) return;
    StartTimer(kRepeatTimer, kRepeatMs);
    PageTowardsPointer();
}

LRESULT CSkinScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST: return HTCLIENT;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const int at = Along(lParam);
        const TrackPart part = controls::PartAt(at, Track(), range_, kMinThumb);
        if (part == TrackPart::None) return 0;
        SetCapture(hwnd_);
        if (part == TrackPart::Thumb) {
            dragging_ = true;
            grab_ = at - controls::ThumbOf(Track(), range_, kMinThumb).start;
            Invalidate();
        } else {
            paging_ = part;
            Ask(controls::PagedPos(range_, part == TrackPart::Before ? -1 : +1));
            StartTimer(kRepeatTimer, kFirstRepeatMs);
        }
        return 0;
    }
    case WM_MOUSEMOVE: {
        if (!hot_) {
            hot_ = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
            TrackMouseEvent(&track);
            Invalidate();
        }
        if (dragging_) Ask(controls::PosForThumb(Along(lParam) - grab_, Track(), range_, kMinThumb));
        return 0;
    }
    case WM_MOUSELEAVE:
        hot_ = false;
        Invalidate();
        return 0;
    case WM_LBUTTONUP: EndPress(); return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd_ && (dragging_ || paging_ != TrackPart::None)) {
            dragging_ = false;
            paging_ = TrackPart::None;
            StopTimer(kRepeatTimer);
            Invalidate();
        }
        return 0;
    case WM_SIZE: Invalidate(); break;
    case WM_SETTEXT: return SetTextQuietly(wParam, lParam);
    }
    return CSkinControl::WindowProc(message, wParam, lParam);
}

void CSkinScrollBar::Draw(HDC dc, const RECT& client) {
    DrawBackground(dc, client);
    const bool vertical = orientation_ == Orientation::Vertical;
    const int across = vertical ? client.right : client.bottom;
    FillRound(dc, client, kTrack, kRim, across / 2 + 1);
    const ThumbSpan thumb = controls::ThumbOf(Track(), range_, kMinThumb);
    if (thumb.length == 0) return;  // nothing to scroll: the empty track
    RECT t = vertical ? RECT{1, thumb.start, client.right - 1, thumb.start + thumb.length}
                      : RECT{thumb.start, 1, thumb.start + thumb.length, client.bottom - 1};
    const bool lit = dragging_ || hot_;
    FillRound(dc, t, kThumb, lit ? kAccent : kThumbRim, across / 2);
    // A grip across the middle of the thumb: accent when lit, steel at rest.
    const int mid = thumb.start + thumb.length / 2;
    RECT grip = vertical ? RECT{3, mid - 1, client.right - 3, mid + 1} : RECT{mid - 1, 3, mid + 1, client.bottom - 3};
    HBRUSH brush = CreateSolidBrush(lit ? kAccent : kGrip);
    FillRect(dc, &grip, brush);
    DeleteObject(brush);
}
