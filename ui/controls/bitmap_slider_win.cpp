#include "ui/controls/bitmap_slider_win.h"

#include <windowsx.h>

#include "ui/controls/control_messages_win.h"

using controls::SliderKey;

namespace {

SliderKey KeyFromVirtualKey(WPARAM vk) {
    switch (vk) {
    case VK_PRIOR: return SliderKey::PageUp;
    case VK_NEXT: return SliderKey::PageDown;
    case VK_END: return SliderKey::End;
    case VK_HOME: return SliderKey::Home;
    case VK_LEFT: return SliderKey::Left;
    case VK_UP: return SliderKey::Up;
    case VK_RIGHT: return SliderKey::Right;
    case VK_DOWN: return SliderKey::Down;
    }
    return SliderKey::Other;
}

HBITMAP LoadBitmapResource(HINSTANCE module, UINT id) {
    if (!id) return nullptr;
    return static_cast<HBITMAP>(LoadImageA(module ? module : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

CBitmapSlider::CBitmapSlider() = default;

CBitmapSlider::~CBitmapSlider() { Detach(); }

void CBitmapSlider::OnAttached() {
    if (channel_.valid() && resize_to_channel_)
        SetWindowPos(hwnd_, nullptr, 0, 0, channel_.width(), channel_.height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    else if (!channel_.valid())
        SizeFromClient();
    model_.SetEnabled(IsWindowEnabled(hwnd_) != FALSE);
}

void CBitmapSlider::OnDetaching() {
    if (GetCapture() == hwnd_) ReleaseCapture();
}

void CBitmapSlider::SizeFromClient() {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    model_.SetChannelSize(rc.right, rc.bottom);
}

bool CBitmapSlider::SetBitmapChannel(HBITMAP channel, HBITMAP active, bool transparent, COLORREF key, bool resize) {
    const bool ok = channel_.Create(channel, key, transparent) && channel_active_.Create(active, key, transparent);
    resize_to_channel_ = resize;
    if (channel_.valid()) {
        model_.SetChannelSize(channel_.width(), channel_.height());
        if (!vertical_set_) model_.SetVertical(channel_.height() > channel_.width());
        if (resize && hwnd_)
            SetWindowPos(hwnd_, nullptr, 0, 0, channel_.width(), channel_.height(),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (hwnd_) {
        SizeFromClient();
    }
    Invalidate();
    return ok;
}

bool CBitmapSlider::SetBitmapChannel(UINT channelId, UINT activeId, bool transparent, COLORREF key, bool resize,
                                     HINSTANCE module) {
    HBITMAP channel = LoadBitmapResource(module, channelId);
    HBITMAP active = LoadBitmapResource(module, activeId);
    const bool ok = (channel || !channelId) && (active || !activeId) &&
                    SetBitmapChannel(channel, active, transparent, key, resize);
    if (channel) DeleteObject(channel);
    if (active) DeleteObject(active);
    return ok;
}

bool CBitmapSlider::SetBitmapThumb(HBITMAP thumb, HBITMAP active, bool transparent, COLORREF key) {
    const bool ok = thumb_.Create(thumb, key, transparent) && thumb_active_.Create(active, key, transparent);
    model_.SetThumbSize(thumb_.width(), thumb_.height());
    Invalidate();
    return ok;
}

bool CBitmapSlider::SetBitmapThumb(UINT thumbId, UINT activeId, bool transparent, COLORREF key, HINSTANCE module) {
    HBITMAP thumb = LoadBitmapResource(module, thumbId);
    HBITMAP active = LoadBitmapResource(module, activeId);
    const bool ok = (thumb || !thumbId) && (active || !activeId) && SetBitmapThumb(thumb, active, transparent, key);
    if (thumb) DeleteObject(thumb);
    if (active) DeleteObject(active);
    return ok;
}

void CBitmapSlider::SetRange(int min, int max, bool redraw) {
    model_.SetRange(min, max);
    if (redraw) Invalidate();
}

void CBitmapSlider::SetRangeMin(int min, bool redraw) { SetRange(min, model_.max(), redraw); }

void CBitmapSlider::SetRangeMax(int max, bool redraw) { SetRange(model_.min(), max, redraw); }

void CBitmapSlider::GetRange(int& min, int& max) const {
    min = model_.min();
    max = model_.max();
}

int CBitmapSlider::GetRangeMin() const { return model_.min(); }

int CBitmapSlider::GetRangeMax() const { return model_.max(); }

void CBitmapSlider::SetPos(int pos) {
    model_.SetPos(pos);
    Invalidate();
}

int CBitmapSlider::GetPos() const { return model_.pos(); }

int CBitmapSlider::SetPageSize(int page) { return model_.SetPageSize(page); }

int CBitmapSlider::GetPageSize() const { return model_.page(); }

void CBitmapSlider::SetMargin(int left, int top, int right, int bottom, bool redraw) {
    model_.SetMargin(left, top, right, bottom);
    if (redraw) Invalidate();
}

void CBitmapSlider::SetMarginLeft(int margin, bool redraw) {
    model_.SetMarginLeft(margin);
    if (redraw) Invalidate();
}

void CBitmapSlider::SetMarginTop(int margin, bool redraw) {
    model_.SetMarginTop(margin);
    if (redraw) Invalidate();
}

void CBitmapSlider::SetMarginRight(int margin, bool redraw) {
    model_.SetMarginRight(margin);
    if (redraw) Invalidate();
}

void CBitmapSlider::SetMarginBottom(int margin, bool redraw) {
    model_.SetMarginBottom(margin);
    if (redraw) Invalidate();
}

void CBitmapSlider::SetVertical(bool vertical, bool redraw) {
    vertical_set_ = true;
    model_.SetVertical(vertical);
    if (redraw) Invalidate();
}

bool CBitmapSlider::IsVertical() const { return model_.vertical(); }

void CBitmapSlider::Enable(bool on) {
    Apply(model_.SetEnabled(on));
    if (hwnd_) EnableWindow(hwnd_, on);
}

bool CBitmapSlider::IsEnabled() const { return model_.enabled(); }

void CBitmapSlider::DrawFocusRect(bool draw, bool redraw) {
    focus_rect_ = draw;
    if (redraw) Invalidate();
}

bool CBitmapSlider::IsDragging() const { return model_.dragging(); }

controls::SliderKeyRule CBitmapSlider::KeyRule() const { return controls::SliderKeyRule::AllKeys; }

void CBitmapSlider::Apply(const controls::SliderEffect& e) {
    if (!hwnd_) return;
    HWND parent = GetParent(hwnd_);
    const int id = GetDlgCtrlID();
    if (e.capture) SetCapture(hwnd_);
    if (e.release && GetCapture() == hwnd_) ReleaseCapture();
    if (e.repaint) Invalidate();
    for (int i = 0; i < e.count; ++i) controls::PostSliderNotice(parent, e.notes[i].message, id, e.notes[i].position);
}

LRESULT CBitmapSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST: return HTCLIENT;
    case WM_GETDLGCODE:
        // Arrow keys are the slider's, except while Tab is held.
        return GetKeyState(VK_TAB) < 0 ? 0 : DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!model_.enabled()) return 0;
        if (GetFocus() != hwnd_) SetFocus(hwnd_);
        Apply(model_.Press(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_MOUSEMOVE: Apply(model_.Move(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))); return 0;
    case WM_LBUTTONUP: Apply(model_.Release()); return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd_) Apply(model_.CaptureLost());
        return 0;
    case WM_KEYDOWN: {
        const controls::SliderEffect e = model_.Key(KeyFromVirtualKey(wParam), KeyRule());
        if (!e.handled) break;
        Apply(e);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); return 0;
    case WM_ENABLE: Apply(model_.SetEnabled(wParam != 0)); return 0;
    case WM_SIZE:
        if (!channel_.valid()) SizeFromClient();
        break;
    case WM_SETTEXT: return SetTextQuietly(wParam, lParam);
    }
    return CSkinControl::WindowProc(message, wParam, lParam);
}

void CBitmapSlider::Draw(HDC dc, const RECT& client) {
    DrawBackground(dc, client);
    const controls::MaskedImage& channel = model_.enabled() && channel_active_.valid() ? channel_active_ : channel_;
    channel.Draw(dc, 0, 0);
    const bool focused = GetFocus() == hwnd_;
    const bool active = model_.enabled() && (model_.dragging() || focused);
    const controls::MaskedImage& thumb = active && thumb_active_.valid() ? thumb_active_ : thumb_;
    const controls::SliderRect r = model_.ThumbRect();
    thumb.Draw(dc, r.left, r.top);
    if (focus_rect_ && focused) ::DrawFocusRect(dc, &client);
}

CMySlider::CMySlider() = default;

CMySlider::~CMySlider() { Detach(); }

controls::SliderKeyRule CMySlider::KeyRule() const { return controls::SliderKeyRule::ArrowsAlsoPostMoving; }
