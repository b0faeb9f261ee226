#include "ui/controls/transparent_list_box_win.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "ui/controls/list_model.h"
#include "ui/controls/scroll_model.h"
#include "ui/controls/skin_scroll_bar_win.h"

HWND RecreateWithoutScrollBars(HWND dialog, int id) {
    HWND old = GetDlgItem(dialog, id);
    if (!old) return nullptr;
    char cls[64] = "";
    if (!GetClassNameA(old, cls, sizeof cls)) return nullptr;
    RECT r{};
    GetWindowRect(old, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_STYLE)) & ~(WS_VSCROLL | WS_HSCROLL);
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_EXSTYLE));
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(old, WM_GETFONT, 0, 0));
    HWND list = CreateWindowExA(exStyle, cls, "", style, r.left, r.top, r.right - r.left, r.bottom - r.top, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), nullptr);
    if (!list) return nullptr;
    if (font) SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetWindowPos(list, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(old);
    return list;
}

CTransparentListBox::CTransparentListBox() = default;

CTransparentListBox::~CTransparentListBox() {
    HWND h = Detach();
    if (h && font_ && reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)) == font_)
        SendMessageA(h, WM_SETFONT, 0, FALSE);
    if (font_) DeleteObject(font_);
}

void CTransparentListBox::OnAttached() {
    SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, controls::kDefaultListItemHeight);
}

bool CTransparentListBox::SetFont(int size, const char* face, COLORREF normal, COLORREF selected, int weight,
                                  bool redraw) {
    text_colour_ = normal;
    selected_colour_ = selected;
    HFONT font = CreateFontA(size, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face ? face : "");
    if (!font) return false;
    HFONT old = font_;
    font_ = font;
    SetFont(font, redraw);  // measures the first item, see WM_SETFONT
    if (old) DeleteObject(old);
    return true;
}

void CTransparentListBox::SetColor(COLORREF text, COLORREF selected, COLORREF background, bool redraw) {
    text_colour_ = text;
    selected_colour_ = selected;
    background_colour_ = background;
    if (redraw) Invalidate();
}

void CTransparentListBox::SetBitmap(HBITMAP background) {
    bitmap_ = background;
    Invalidate();
}

void CTransparentListBox::MeasureItemHeight(const char* text) {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, FontForDrawing());
    SIZE size{0, 0};
    const int n = static_cast<int>(std::strlen(text));
    if (n == 0 || !GetTextExtentPoint32A(dc, text, n, &size) || size.cy <= 0) {
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        size.cy = tm.tmHeight;
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    if (size.cy > 0) SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, size.cy);
}

int CTransparentListBox::AddString(const char* text, DWORD data) {
    if (!hwnd_) return LB_ERR;
    if (!text) text = "";
    if (GetCount() == 0) MeasureItemHeight(text);
    const int index = static_cast<int>(SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    if (index >= 0) SetItemData(index, data);
    return index;
}

int CTransparentListBox::InsertString(int index, const char* text, DWORD data) {
    if (!hwnd_) return LB_ERR;
    if (!text) text = "";
    if (GetCount() == 0) MeasureItemHeight(text);
    const int at = static_cast<int>(SendMessageA(hwnd_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text)));
    if (at >= 0) SetItemData(at, data);
    return at;
}

int CTransparentListBox::DeleteString(int index) {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LB_DELETESTRING, index, 0)) : LB_ERR;
}

void CTransparentListBox::ResetContent() {
    if (hwnd_) SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
}

int CTransparentListBox::GetCount() const {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)) : 0;
}

int CTransparentListBox::GetCurSel() const {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0)) : LB_ERR;
}

int CTransparentListBox::SetCurSel(int index) {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LB_SETCURSEL, index, 0)) : LB_ERR;
}

DWORD CTransparentListBox::GetItemData(int index) const {
    return hwnd_ ? static_cast<DWORD>(SendMessageA(hwnd_, LB_GETITEMDATA, index, 0)) : 0;
}

int CTransparentListBox::SetItemData(int index, DWORD data) {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LB_SETITEMDATA, index, data)) : LB_ERR;
}

int CTransparentListBox::GetText(int index, char* buffer, int size) const {
    if (!hwnd_ || !buffer || size <= 0) return LB_ERR;
    const int n = static_cast<int>(SendMessageA(hwnd_, LB_GETTEXTLEN, index, 0));
    if (n < 0) return LB_ERR;
    std::string text(static_cast<size_t>(n) + 1, '\0');
    const int got = static_cast<int>(SendMessageA(hwnd_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data())));
    if (got < 0) return LB_ERR;
    const int copied = got < size - 1 ? got : size - 1;
    std::memcpy(buffer, text.data(), static_cast<size_t>(copied));
    buffer[copied] = '\0';
    return copied;
}

int CTransparentListBox::GetItemHeight() const {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LB_GETITEMHEIGHT, 0, 0)) : 0;
}

void CTransparentListBox::SetItemHeight(int height) {
    if (hwnd_ && height > 0) SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, height);
}

int CTransparentListBox::GetTopIndex() const {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LB_GETTOPINDEX, 0, 0)) : 0;
}

void CTransparentListBox::SetTopIndex(int index) {
    if (!hwnd_) return;
    // Turning drawing off and on again would show a hidden list: only for a shown one.
    const bool shown = (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0 && !redraw_off_;
    if (shown) SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(hwnd_, LB_SETTOPINDEX, index, 0);
    if (shown) {
        SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void CTransparentListBox::ScrollUp(int lines) {
    SetTopIndex(controls::ScrolledTopIndex(GetTopIndex(), -static_cast<long long>(lines), GetCount()));
}

void CTransparentListBox::ScrollDown(int lines) {
    SetTopIndex(controls::ScrolledTopIndex(GetTopIndex(), lines, GetCount()));
}

bool CTransparentListBox::HasSystemHorizontalBar() const {
    return hwnd_ && (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_HSCROLL) != 0;
}

int CTransparentListBox::ClientWidth() const {
    RECT r{};
    if (hwnd_) GetClientRect(hwnd_, &r);
    return r.right - r.left;
}

int CTransparentListBox::GetHorizontalOffset() const {
    if (!hwnd_) return 0;
    return HasSystemHorizontalBar() ? GetScrollPos(hwnd_, SB_HORZ) : horizontal_offset_;
}

void CTransparentListBox::SetHorizontalOffset(int pixels) {
    if (!hwnd_) return;
    if (HasSystemHorizontalBar()) {
        SendMessageA(hwnd_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::max(pixels, 0)), 0);
        return;
    }
    const int offset = controls::ClampScrollPos(pixels, horizontal_extent_, ClientWidth());
    if (offset == horizontal_offset_) return;
    horizontal_offset_ = offset;
    if (!redraw_off_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    SyncScrollBars();
}

void CTransparentListBox::ScrollSideways(int pixels) { SetHorizontalOffset(horizontal_offset_ + pixels); }

void CTransparentListBox::SetScrollBars(CSkinScrollBar* vertical, CSkinScrollBar* horizontal) {
    vertical_bar_ = vertical;
    horizontal_bar_ = horizontal;
    if (vertical_bar_) vertical_bar_->OnScroll([this](int pos) { SetTopIndex(pos); });
    if (horizontal_bar_) horizontal_bar_->OnScroll([this](int pos) { SetHorizontalOffset(pos); });
    SyncScrollBars();
}

void CTransparentListBox::SyncScrollBars() {
    if (!hwnd_) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (vertical_bar_) {
        const int height = GetItemHeight();
        // Rows wholly in view, as the list box pages by them.
        const int rows = height > 0 ? std::max(1, static_cast<int>(client.bottom / height)) : 1;
        vertical_bar_->SetRange({GetCount(), rows, GetTopIndex()});
    }
    if (horizontal_bar_) horizontal_bar_->SetRange({horizontal_extent_, client.right, GetHorizontalOffset()});
}

LRESULT CTransparentListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Sideways scrolling of a list without a system horizontal bar is ours:
    // the list box itself would not move the lines.
    if (!HasSystemHorizontalBar()) {
        switch (message) {
        case LB_SETHORIZONTALEXTENT: {
            horizontal_extent_ = static_cast<int>(wParam);
            const LRESULT r = Default(message, wParam, lParam);
            horizontal_offset_ = controls::ClampScrollPos(horizontal_offset_, horizontal_extent_, ClientWidth());
            Invalidate();
            SyncScrollBars();
            return r;
        }
        case LB_GETHORIZONTALEXTENT: return horizontal_extent_;
        case WM_HSCROLL: {
            const int page = ClientWidth();
            const int line = std::max(1, page / 20);
            switch (LOWORD(wParam)) {
            case SB_LINELEFT: ScrollSideways(-line); break;
            case SB_LINERIGHT: ScrollSideways(line); break;
            case SB_PAGELEFT: ScrollSideways(-page); break;
            case SB_PAGERIGHT: ScrollSideways(page); break;
            case SB_LEFT: SetHorizontalOffset(0); break;
            case SB_RIGHT: SetHorizontalOffset(horizontal_extent_); break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: SetHorizontalOffset(HIWORD(wParam)); break;
            }
            return 0;
        }
        case WM_MOUSEHWHEEL:
            ScrollSideways(GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? ClientWidth() / 10 : -ClientWidth() / 10);
            return 0;
        case WM_KEYDOWN:
            // Left and Right scroll the lines when they are wider than the list.
            if ((wParam == VK_LEFT || wParam == VK_RIGHT) && horizontal_extent_ > ClientWidth()) {
                ScrollSideways(wParam == VK_LEFT ? -std::max(1, ClientWidth() / 20) : std::max(1, ClientWidth() / 20));
                return 0;
            }
            break;
        }
    }
    // The list box paints parts of itself at once on these (selection,
    // focus, scrolling, new items); each is followed by a paint of ours.
    bool repaint = false, now = false;
    switch (message) {
    case WM_SETREDRAW: {
        redraw_off_ = !wParam;
        const LRESULT r = Default(message, wParam, lParam);
        if (wParam) Invalidate();
        return r;
    }
    case WM_SETFONT: {
        const LRESULT r = Default(message, wParam, lParam);
        if (GetCount() > 0) {
            char first[256];
            if (GetText(0, first, sizeof first) >= 0) MeasureItemHeight(first);
        }
        if (LOWORD(lParam)) Invalidate();
        return r;
    }
    case WM_MOUSEMOVE: repaint = now = (wParam & MK_LBUTTON) != 0; break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_TIMER:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SIZE: repaint = now = true; break;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETSEL:
    case LB_SETCURSEL:
    case LB_SELECTSTRING:
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX:
    case LB_SETTOPINDEX:
    case LB_SETITEMHEIGHT:
    case LB_SETCARETINDEX:
    case LB_SETCOUNT:
    case LB_DIR:
    case LB_ADDFILE:
    case LB_SETCOLUMNWIDTH:
    case LB_SETHORIZONTALEXTENT: repaint = true; break;
    default: return CSkinControl::WindowProc(message, wParam, lParam);
    }
    HWND self = hwnd_;
    const LRESULT r = Default(message, wParam, lParam);
    if (repaint && !redraw_off_ && IsWindow(self))
        RedrawWindow(self, nullptr, nullptr, RDW_INVALIDATE | (now ? RDW_UPDATENOW : 0));
    if (repaint && hwnd_ == self) SyncScrollBars();
    return r;
}

void CTransparentListBox::Draw(HDC dc, const RECT& client) {
    if (HasBackgroundSource()) {
        DrawBackground(dc, client);
    } else {
        HBRUSH brush = CreateSolidBrush(background_colour_);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
    }
    if (bitmap_) {
        BITMAP info{};
        if (GetObjectA(bitmap_, sizeof(info), &info)) {
            HDC mem = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(mem, bitmap_);
            BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
    }

    const int count = GetCount();
    const int height = GetItemHeight();
    const int top = GetTopIndex();
    const controls::VisibleRows rows = controls::RowsInView(top, count, height, client.bottom - client.top);
    const int offset = GetHorizontalOffset();  // the lines move left as the list scrolls sideways
    HGDIOBJ oldFont = SelectObject(dc, FontForDrawing());
    SetBkMode(dc, TRANSPARENT);
    for (int i = rows.first; i <= rows.last; ++i) {
        const int n = static_cast<int>(SendMessageA(hwnd_, LB_GETTEXTLEN, i, 0));
        if (n < 0) continue;
        std::string text(static_cast<size_t>(n) + 1, '\0');
        const int got = static_cast<int>(SendMessageA(hwnd_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data())));
        if (got <= 0) continue;
        text.resize(static_cast<size_t>(got));
        const bool selected = SendMessageA(hwnd_, LB_GETSEL, i, 0) > 0;
        ::SetTextColor(dc, selected ? selected_colour_ : text_colour_);
        RECT r{client.left + 2 - offset, client.top + (i - top) * height, client.right,
               client.top + (i - top + 1) * height};
        DrawTextA(dc, text.c_str(), got, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
}
