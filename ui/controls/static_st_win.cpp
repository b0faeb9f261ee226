#include "ui/controls/static_st_win.h"

#include <string>

#include "ui/controls/control_messages_win.h"

CStaticST::CStaticST() : text_colour_(GetSysColor(COLOR_BTNTEXT)), bk_colour_(GetSysColor(COLOR_BTNFACE)) {}

CStaticST::~CStaticST() {
    Detach();
    DropBoldFont();
}

void CStaticST::OnDetaching() { DropBoldFont(); }

void CStaticST::SetTextColor(COLORREF colour, bool repaint) {
    text_colour_ = colour;
    if (repaint) Invalidate();
}

COLORREF CStaticST::GetTextColor() const { return text_colour_; }

void CStaticST::SetBkColor(COLORREF colour, bool repaint) {
    bk_colour_ = colour;
    if (repaint) Invalidate();
}

COLORREF CStaticST::GetBkColor() const { return bk_colour_; }

void CStaticST::SetColors(COLORREF text, COLORREF background, bool repaint) {
    text_colour_ = text;
    bk_colour_ = background;
    if (repaint) Invalidate();
}

void CStaticST::SetBold(bool bold, bool repaint) {
    bold_ = bold;
    if (repaint) Invalidate();
}

bool CStaticST::GetBold() const { return bold_; }

void CStaticST::SetIcon(HICON icon, bool repaint) {
    icon_ = icon;
    if (repaint) Invalidate();
}

void CStaticST::SetText(const char* text) {
    if (hwnd_) SetWindowTextA(hwnd_, text ? text : "");
}

void CStaticST::SetMessageClick(HWND target, UINT message) {
    click_target_ = target;
    click_message_ = message;
}

void CStaticST::DropBoldFont() {
    if (bold_font_) DeleteObject(bold_font_);
    bold_font_ = nullptr;
    bold_source_ = nullptr;
}

HFONT CStaticST::BoldFont() {
    HFONT source = FontForDrawing();
    if (bold_font_ && bold_source_ == source) return bold_font_;
    DropBoldFont();
    LOGFONTA lf{};
    if (!GetObjectA(source, sizeof(lf), &lf)) return source;
    lf.lfWeight = FW_BOLD;
    bold_font_ = CreateFontIndirectA(&lf);
    bold_source_ = source;
    return bold_font_ ? bold_font_ : source;
}

LRESULT CStaticST::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        // A plain static lets the mouse through to the dialog (which may drag
        // the window); a clickable one keeps it.
        if ((click_target_ && click_message_) || HasTooltip()) return HTCLIENT;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (click_target_ && click_message_) controls::PostStaticClick(click_target_, click_message_, hwnd_);
        break;
    case WM_SETTEXT: return SetTextQuietly(wParam, lParam);
    case WM_ENABLE: Invalidate(); return 0;
    case WM_SETFONT: {
        DropBoldFont();
        const LRESULT r = Default(message, wParam, lParam);
        Invalidate();
        return r;
    }
    }
    return CSkinControl::WindowProc(message, wParam, lParam);
}

void CStaticST::Draw(HDC dc, const RECT& client) {
    if (transparent_) {
        DrawBackground(dc, client);
    } else {
        HBRUSH brush = CreateSolidBrush(bk_colour_);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
    }

    RECT textRect = client;
    if (icon_) {
        ICONINFO info{};
        int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
        if (GetIconInfo(icon_, &info)) {
            BITMAP bm{};
            if (GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm)) {
                w = bm.bmWidth;
                h = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
            }
            if (info.hbmColor) DeleteObject(info.hbmColor);
            if (info.hbmMask) DeleteObject(info.hbmMask);
        }
        DrawIconEx(dc, client.left, client.top + (client.bottom - client.top - h) / 2, icon_, w, h, 0, nullptr,
                   DI_NORMAL);
        textRect.left += w + 2;
    }

    const std::string text = WindowText();
    if (text.empty()) return;

    const LONG_PTR style = GetWindowLongPtrA(hwnd_, GWL_STYLE);
    UINT format = DT_WORDBREAK;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: format = DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format = DT_RIGHT | DT_WORDBREAK; break;
    case SS_LEFTNOWORDWRAP:
    case SS_SIMPLE: format = DT_LEFT | DT_SINGLELINE; break;
    }
    if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;

    HGDIOBJ oldFont = SelectObject(dc, bold_ ? BoldFont() : FontForDrawing());
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, IsWindowEnabled(hwnd_) ? text_colour_ : GetSysColor(COLOR_GRAYTEXT));
    DrawControlText(dc, text, textRect, format);
    SelectObject(dc, oldFont);
}
