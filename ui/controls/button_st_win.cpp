#include "ui/controls/button_st_win.h"

#include <mmsystem.h>
#include <shellapi.h>
#include <windowsx.h>

#include <vector>

using controls::ButtonKind;

namespace {
constexpr UINT_PTR kAutofireTimer = 0x4B41;
constexpr UINT_PTR kHoverTimer = 0x4B48;  // the hover check, while hot
constexpr LONG_PTR kTypeMask = 0xF;    // BS_TYPEMASK
constexpr LRESULT kStateHot = 0x200;  // BST_HOT
}  // namespace

CButtonST::CButtonST() { SetDefaultColors(false); }

CButtonST::~CButtonST() { Detach(); }

void CButtonST::OnAttached() {
    const LONG_PTR style = GetWindowLongPtrA(hwnd_, GWL_STYLE);
    original_type_ = style & kTypeMask;
    kind_ = controls::ButtonKindFromStyle(static_cast<std::uint32_t>(style));
    default_push_ = original_type_ == BS_DEFPUSHBUTTON;
    checked_ = Default(BM_GETCHECK, 0, 0) == BST_CHECKED;
    // From now on the class neither paints nor checks by itself.
    SetWindowLongPtrA(hwnd_, GWL_STYLE, (style & ~kTypeMask) | BS_OWNERDRAW);
}

void CButtonST::OnDetaching() {
    KillTimer(hwnd_, kAutofireTimer);
    KillTimer(hwnd_, kHoverTimer);
    if (GetCapture() == hwnd_) ReleaseCapture();
    const LONG_PTR style = GetWindowLongPtrA(hwnd_, GWL_STYLE);
    SetWindowLongPtrA(hwnd_, GWL_STYLE, (style & ~kTypeMask) | original_type_);
    tracking_ = pressed_ = hover_ = space_down_ = false;
}

bool CButtonST::SetBitmaps(HBITMAP hot, COLORREF hotKey, HBITMAP normal, COLORREF normalKey) {
    const bool ok = images_[controls::kHotImage].Create(hot, hotKey) &&
                    images_[controls::kNormalImage].Create(normal, normalKey);
    Invalidate();
    return ok;
}

bool CButtonST::SetColor(int index, COLORREF colour, bool repaint) {
    if (index < 0 || index >= COLOR_COUNT) return false;
    colours_[index] = colour;
    if (repaint) Invalidate();
    return true;
}

COLORREF CButtonST::GetColor(int index) const {
    return index >= 0 && index < COLOR_COUNT ? colours_[index] : CLR_INVALID;
}

void CButtonST::SetDefaultColors(bool repaint) {
    for (int i = 0; i < COLOR_COUNT; ++i)
        colours_[i] = GetSysColor(i % 2 == 0 ? COLOR_BTNFACE : COLOR_BTNTEXT);
    if (repaint) Invalidate();
}

void CButtonST::SetCheck(int state, bool repaint) {
    checked_ = state != 0;
    if (checked_ && kind_ == ButtonKind::Radio) UncheckGroup();
    if (repaint) Invalidate();
}

int CButtonST::GetCheck() const { return checked_ ? 1 : 0; }

void CButtonST::SetFlat(bool flat, bool repaint) {
    flat_ = flat;
    if (repaint) Invalidate();
}

void CButtonST::SetAlign(int align, bool repaint) {
    if (align < ALIGN_HORIZ || align > ALIGN_OVERLAY) return;
    align_ = align;
    if (repaint) Invalidate();
}

void CButtonST::SetPressedStyle(int style, bool repaint) {
    if (style < PRESSED_NONE || style > PRESSED_TOPBOTTOM) return;
    pressed_style_ = style;
    if (repaint) Invalidate();
}

void CButtonST::SetBtnCursor(HCURSOR cursor) { cursor_ = cursor; }

void CButtonST::SetHandCursor(bool hand) { cursor_ = hand ? LoadCursorA(nullptr, IDC_HAND) : nullptr; }

void CButtonST::SetAlwaysTrack(bool always) { always_track_ = always; }

void CButtonST::SetSound(const char* sound, HMODULE module, bool onClick) {
    sound_ = sound ? sound : "";
    sound_module_ = module;
    sound_on_click_ = onClick;
}

void CButtonST::SetSharedImage(const controls::MaskedImage* image) {
    shared_ = image;
    Invalidate();
}

void CButtonST::SetURL(const char* url) { url_ = url ? url : ""; }

void CButtonST::SetMenu(HMENU menu) { menu_ = menu; }

void CButtonST::SizeToContent() {
    const controls::MaskedImage& img = images_[controls::kHotImage];
    if (!hwnd_ || !img.valid()) return;
    const int border = flat_ ? 0 : 4;
    SetWindowPos(hwnd_, nullptr, 0, 0, img.width() + border, img.height() + border,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

void CButtonST::SetAutofire(bool on, UINT delayMs, UINT periodMs) {
    autofire_ = on;
    autofire_delay_ = delayMs;
    autofire_period_ = periodMs;
}

ButtonKind CButtonST::GetKind() const { return kind_; }

controls::ButtonLook CButtonST::Look() const {
    controls::ButtonLook look;
    look.hover = hover_;
    look.pressed = pressed_;
    look.checked = checked_;
    look.focused = hwnd_ && GetFocus() == hwnd_;
    look.kind = kind_;
    look.has_normal_image = images_[controls::kNormalImage].valid();
    return look;
}

bool CButtonST::IsHot() const { return controls::IsHot(Look()); }

bool CButtonST::PointInside(LPARAM lParam) const {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return PtInRect(&rc, pt) != FALSE;
}

void CButtonST::PlaySoundFor(bool click) const {
    if (sound_.empty() || click != sound_on_click_) return;
    PlaySoundA(sound_.c_str(), sound_module_,
               (sound_module_ ? SND_RESOURCE : SND_FILENAME) | SND_ASYNC | SND_NODEFAULT);
}

void CButtonST::TrackHover(WPARAM wParam, LPARAM lParam) {
    // Moves with the left button held are not ours unless the button is hot.
    if ((wParam & MK_LBUTTON) && !hover_ && !tracking_) return;
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd_, &pt);
    const bool over = WindowFromPoint(pt) == hwnd_ && (always_track_ || IsAppActive());
    if (over && !hover_) {
        SetHover(true);
        PlaySoundFor(false);
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        TrackMouseEvent(&tme);
    } else if (!over && hover_) {
        SetHover(false);
    }
}

void CButtonST::SetHover(bool hover) {
    hover_ = hover;
    if (hover)
        SetTimer(hwnd_, kHoverTimer, kHoverCheckMs, nullptr);
    else
        KillTimer(hwnd_, kHoverTimer);
    Invalidate();
}

void CButtonST::EndPress() {
    KillTimer(hwnd_, kAutofireTimer);
    tracking_ = false;
    pressed_ = false;
    Invalidate();
}

void CButtonST::Notify(WORD code) {
    SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), code), reinterpret_cast<LPARAM>(hwnd_));
}

void CButtonST::UncheckGroup() {
    HWND parent = GetParent(hwnd_);
    if (!parent) return;
    std::vector<HWND> windows;
    std::vector<controls::DialogControl> controls;
    size_t self = 0;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == hwnd_) self = windows.size();
        const bool radio = w == hwnd_ || (SendMessageA(w, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON);
        controls.push_back({(GetWindowLongPtrA(w, GWL_STYLE) & WS_GROUP) != 0, radio});
        windows.push_back(w);
    }
    for (size_t i : controls::RadioPeersToUncheck(controls, self))
        SendMessageA(windows[i], BM_SETCHECK, BST_UNCHECKED, 0);
}

void CButtonST::Click() {
    checked_ = controls::CheckedAfterClick(kind_, checked_);
    if (kind_ == ButtonKind::Radio) UncheckGroup();
    Invalidate();
    if (kind_ == ButtonKind::Push) {
        PlaySoundFor(true);
        if (menu_) {
            RECT r;
            GetWindowRect(hwnd_, &r);
            const UINT cmd = static_cast<UINT>(TrackPopupMenu(
                menu_, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, r.left, r.bottom, 0, hwnd_, nullptr));
            if (cmd) PostMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
            return;
        }
        if (!url_.empty()) {
            ShellExecuteA(nullptr, "open", url_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            return;
        }
    }
    Notify(BN_CLICKED);  // the parent may destroy this button: nothing after it
}

LRESULT CButtonST::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!IsWindowEnabled(hwnd_)) return 0;
        if (GetFocus() != hwnd_) SetFocus(hwnd_);
        SetCapture(hwnd_);
        tracking_ = pressed_ = true;
        if (autofire_) SetTimer(hwnd_, kAutofireTimer, autofire_delay_, nullptr);
        Invalidate();
        return 0;
    case WM_MOUSEMOVE:
        if (tracking_ && PointInside(lParam) != pressed_) {
            pressed_ = !pressed_;
            Invalidate();
        }
        TrackHover(wParam, lParam);
        return 0;
    case WM_MOUSELEAVE:
        if (hover_) SetHover(false);
        return 0;
    case WM_LBUTTONUP: {
        if (!tracking_) return 0;
        const bool inside = PointInside(lParam);
        EndPress();
        if (GetCapture() == hwnd_) ReleaseCapture();
        if (inside) Click();
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (tracking_ && reinterpret_cast<HWND>(lParam) != hwnd_) EndPress();
        return 0;
    case WM_TIMER:
        if (wParam == kHoverTimer) {
            if (!PointerOnControl()) SetHover(false);
            return 0;
        }
        if (wParam != kAutofireTimer) break;
        if (tracking_ && pressed_) {
            SetTimer(hwnd_, kAutofireTimer, autofire_period_, nullptr);
            Notify(BN_CLICKED);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam != VK_SPACE) break;
        if (!tracking_ && !space_down_) {
            space_down_ = pressed_ = true;
            Invalidate();
        }
        return 0;
    case WM_KEYUP:
        if (wParam != VK_SPACE) break;
        if (space_down_) {
            space_down_ = pressed_ = false;
            Click();
        }
        return 0;
    case WM_SETFOCUS:
        Invalidate();
        return 0;
    case WM_KILLFOCUS:
        if (tracking_ && GetCapture() == hwnd_) ReleaseCapture();
        tracking_ = space_down_ = pressed_ = false;
        Invalidate();
        return 0;
    case WM_ENABLE:
        if (!wParam) {
            pressed_ = false;
            if (hover_) SetHover(false);
        }
        Invalidate();
        return 0;
    case WM_SETCURSOR:
        if (cursor_ && LOWORD(lParam) == HTCLIENT) {
            SetCursor(cursor_);
            return TRUE;
        }
        break;
    case WM_GETDLGCODE:
        switch (kind_) {
        case ButtonKind::Radio: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case ButtonKind::CheckBox: return DLGC_BUTTON;
        case ButtonKind::Push: return DLGC_BUTTON | (default_push_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        }
        break;
    case WM_SETTEXT: return SetTextQuietly(wParam, lParam);
    case WM_SETFONT:
    case WM_UPDATEUISTATE: {
        const LRESULT r = Default(message, wParam, lParam);
        Invalidate();
        return r;
    }
    case BM_CLICK:
        if (IsWindowEnabled(hwnd_)) Click();
        return 0;
    case BM_SETCHECK: SetCheck(wParam == BST_UNCHECKED ? 0 : 1, true); return 0;
    case BM_GETCHECK: return checked_ ? BST_CHECKED : BST_UNCHECKED;
    case BM_GETSTATE:
        return (checked_ ? BST_CHECKED : 0) | (pressed_ ? BST_PUSHED : 0) | (GetFocus() == hwnd_ ? BST_FOCUS : 0) |
               (hover_ ? kStateHot : 0);
    case BM_SETSTATE:
        pressed_ = wParam != 0;
        Invalidate();
        return 0;
    case BM_SETSTYLE:
        // The dialog manager moves the default-button look with this; the
        // control stays owner-drawn.
        if (kind_ == ButtonKind::Push) default_push_ = (wParam & kTypeMask) == BS_DEFPUSHBUTTON;
        if (LOWORD(lParam)) Invalidate();
        return 0;
    }
    return CSkinControl::WindowProc(message, wParam, lParam);
}

void CButtonST::Draw(HDC dc, const RECT& client) {
    const controls::ButtonLook look = Look();
    const controls::ColourState state = controls::ChooseColours(look);
    const int pair = state == controls::ColourState::Hot      ? COLOR_BK_HOT
                     : state == controls::ColourState::Focus ? COLOR_BK_FOCUS
                                                             : COLOR_BK_NORMAL;
    if (transparent_) {
        DrawBackground(dc, client);
    } else {
        HBRUSH brush = CreateSolidBrush(colours_[pair]);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
    }

    RECT content = client;
    if (!flat_) {
        RECT edge = client;
        DrawEdge(dc, &edge, pressed_ ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        InflateRect(&content, -2, -2);
    }

    const controls::MaskedImage* image = shared_;
    if (!image) {
        image = &images_[controls::ChooseImage(look)];
        if (!image->valid()) image = &images_[controls::kHotImage];
        if (!image->valid()) image = &images_[controls::kNormalImage];
    }

    const std::string text = WindowText();
    // No font for an image alone: selecting one makes Wine realise it.
    HGDIOBJ oldFont = text.empty() ? nullptr : SelectObject(dc, FontForDrawing());
    RECT measure{0, 0, 0, 0};
    if (!text.empty()) DrawTextA(dc, text.c_str(), -1, &measure, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);

    int dx = 0, dy = 0;
    if (!flat_ && pressed_) {
        if (pressed_style_ == PRESSED_LEFTRIGHT) dx = dy = 1;
        if (pressed_style_ == PRESSED_TOPBOTTOM) dy = 2;
    }
    const controls::ImageAlign align = align_ == ALIGN_VERT          ? controls::ImageAlign::Vertical
                                       : align_ == ALIGN_HORIZ_RIGHT ? controls::ImageAlign::HorizontalRight
                                       : align_ == ALIGN_OVERLAY     ? controls::ImageAlign::Overlay
                                                                     : controls::ImageAlign::Horizontal;
    const controls::ButtonLayout layout =
        controls::LayoutButton({content.left, content.top, content.right, content.bottom}, image->width(),
                               image->height(), !text.empty(), measure.bottom, align, dx, dy);

    const bool enabled = IsWindowEnabled(hwnd_) != FALSE;
    if (image->valid()) {
        if (enabled)
            image->Draw(dc, layout.image.left, layout.image.top);
        else
            image->DrawDisabled(dc, layout.image.left, layout.image.top);
    }
    if (!text.empty()) {
        RECT tr{layout.text.left, layout.text.top, layout.text.right, layout.text.bottom};
        const UINT h = layout.text_align == controls::TextAlign::Left    ? DT_LEFT
                       : layout.text_align == controls::TextAlign::Right ? DT_RIGHT
                                                                         : DT_CENTER;
        SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, enabled ? colours_[pair + 1] : GetSysColor(COLOR_GRAYTEXT));
        // Only the button's own edge cuts the caption: the room is where it is centred.
        DrawControlText(dc, text, tr, h | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    if (oldFont) SelectObject(dc, oldFont);

    if (!flat_ && look.focused) {
        RECT focus = client;
        InflateRect(&focus, -3, -3);
        ::DrawFocusRect(dc, &focus);
    }
}
