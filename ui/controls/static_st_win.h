// CStaticST: the transparent text. Attached to a STATIC control of a dialog,
// it paints the control's text (its window text, so SetWindowText works) in
// its own colour and optionally bold, over the parent's background when drawn
// transparent or over its background colour otherwise, with an optional icon
// before the text. Given a click message, it takes the mouse and posts that
// message (wParam the control id, lParam the control) when pressed; without
// one, clicks fall through to the dialog as for any plain static.
#pragma once

#include <windows.h>

#include "ui/controls/controls_api.h"
#include "ui/controls/skin_control_win.h"

class KORELLE_CONTROLS_API CStaticST : public CSkinControl {
public:
    CStaticST();
    ~CStaticST() override;

    void SetTextColor(COLORREF colour, bool repaint = true);
    COLORREF GetTextColor() const;
    void SetBkColor(COLORREF colour, bool repaint = true);
    COLORREF GetBkColor() const;
    void SetColors(COLORREF text, COLORREF background, bool repaint = true);
    // Draws the text in a bold (weight 700) copy of the control's font.
    void SetBold(bool bold = true, bool repaint = true);
    bool GetBold() const;
    // An icon drawn before the text; the caller owns it.
    void SetIcon(HICON icon, bool repaint = true);
    void SetText(const char* text);
    // Posts message to target on every left-button press; a null target or
    // message 0 stops it.
    void SetMessageClick(HWND target, UINT message);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDetaching() override;
    void Draw(HDC dc, const RECT& client) override;

private:
    HFONT BoldFont();
    void DropBoldFont();

    COLORREF text_colour_;
    COLORREF bk_colour_;
    bool bold_ = false;
    HFONT bold_font_ = nullptr;  // ours, made from bold_source_
    HFONT bold_source_ = nullptr;
    HICON icon_ = nullptr;
    HWND click_target_ = nullptr;
    UINT click_message_ = 0;
};
