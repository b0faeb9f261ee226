// The wrapper shared by the skinned controls. A control object attaches to
// an existing child window of a dialog (a template control) through a window
// subclass, handles its messages in one virtual WindowProc and paints the
// whole control itself, double-buffered, in WM_PAINT and WM_PRINTCLIENT.
//
// Background: a control drawn transparent shows what lies under it in its
// parent. The parent hands it over in one of two ways:
//   SetBk(bitmap)       the parent's background bitmap; the control reads the
//                       part under its own current position (or under an
//                       explicit offset) at every paint. The bitmap stays the
//                       caller's, must outlive the control's use of it, and
//                       must not be selected into a device context while the
//                       control paints.
//   SetBk(dc)           copies now, from a device context holding the
//                       parent's painted client area, the part under the
//                       control into the control's own bitmap.
// Without either, a transparent control fills with the parent's control
// brush (WM_CTLCOLORSTATIC), else the button face colour.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/controls/controls_api.h"

class KORELLE_CONTROLS_API CSkinControl {
public:
    CSkinControl();
    virtual ~CSkinControl();
    CSkinControl(const CSkinControl&) = delete;
    CSkinControl& operator=(const CSkinControl&) = delete;

    // Attaches to the dialog's control with this id; false when there is no
    // such control or this object is already attached.
    bool SubclassDlgItem(int id, HWND dialog);
    bool Attach(HWND control);
    // Gives the window back to its own window procedure.
    HWND Detach();
    HWND GetSafeHwnd() const;
    int GetDlgCtrlID() const;

    void SetBk(HDC parentDc);
    void SetBk(HBITMAP parentBackground);
    // x, y: where the control's client origin lies in the bitmap.
    void SetBk(HBITMAP parentBackground, int x, int y);
    void DrawTransparent(bool repaint = false);
    bool GetDrawTransparent() const;

    // The control's font (WM_SETFONT); the caller keeps ownership. Read from
    // the window once and again after each WM_SETFONT, like the text.
    void SetFont(HFONT font, bool redraw = true);
    HFONT GetFont() const;

    // A tooltip shown over the control; an empty text removes nothing but
    // shows no tip.
    void SetTooltipText(const char* text, bool activate = true);
    void ActivateTooltip(bool activate = true);

    // A timer of the control: its ticks go to OnTimer, and it stops by
    // itself when the window goes.
    void StartTimer(UINT_PTR id, UINT ms);
    void StopTimer(UINT_PTR id);

    // Draws the whole control into dc at (0, 0), as its painting does.
    void DrawTo(HDC dc);
    // How far the control's text, drawn as the control draws it, reaches
    // past the room it gets: {0, 0} when it fits, {-1, -1} when the control
    // draws no text. The control also answers the registered message
    // kTextOverflowMessage with it: 0 for no text, else MAKELRESULT(cx + 1, cy + 1).
    SIZE TextOverflow();
    static constexpr const char* kTextOverflowMessage = "Korelle.TextOverflow";
    void Invalidate(bool now = false);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's own handling of the message (the next subclass or its class).
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // Sets the window text without the class's own immediate painting.
    LRESULT SetTextQuietly(WPARAM wParam, LPARAM lParam);
    virtual void OnAttached() {}
    virtual void OnDetaching() {}
    // A tick of a timer started with StartTimer.
    virtual void OnTimer(UINT_PTR) {}
    virtual void Draw(HDC dc, const RECT& client) = 0;

    // What lies under the control: the given background when there is one
    // (true), else the fill described above (false).
    bool DrawBackground(HDC dc, const RECT& client);
    bool HasBackgroundSource() const;
    HFONT FontForDrawing() const;
    // DrawText with the font selected in dc, or a smaller size of it when
    // the text would not fit (FittingFont), noting where and how the text
    // went for TextOverflow.
    void DrawControlText(HDC dc, const std::string& text, RECT room, UINT format);
    // The window text, read from the window once and again after each
    // WM_SETTEXT: each message to a subclassed window costs a property
    // lookup (under Wine, a request to the wine server), and a paint should
    // cost none.
    std::string WindowText() const;
    bool IsAppActive() const;
    // A lit control looks this often whether the pointer is still on it: the
    // leave notice does not come when the pointer left before the tracking
    // started (a window made under the pointer) or while the window was
    // disabled.
    static constexpr UINT kHoverCheckMs = 100;
    bool PointerOnControl() const;
    bool HasTooltip() const { return tooltip_ != nullptr; }

    HWND hwnd_ = nullptr;
    bool transparent_ = false;

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void PaintBuffered();
    void DestroyTooltip();
    void ForgetTextAndFont();

    HBITMAP parent_bitmap_ = nullptr;  // the caller's
    bool offset_given_ = false;
    POINT offset_{};
    HBITMAP captured_ = nullptr;  // ours, from SetBk(dc)
    HWND tooltip_ = nullptr;
    std::vector<UINT_PTR> timers_;  // the ids started with StartTimer
    mutable std::string text_cache_;
    mutable bool text_known_ = false;
    mutable HFONT font_cache_ = nullptr;
    mutable bool font_known_ = false;
    // The font the text is drawn in: the one selected in dc, or the largest
    // smaller size of it that fits; kept while text, room and font stay.
    HFONT FittingFont(HDC dc, const std::string& text, const RECT& room, UINT format);
    std::string fitKey_;
    HFONT fitFont_ = nullptr;  // ours
    struct DrawnText {
        bool drawn = false;
        RECT room{};
        UINT format = 0;
        HFONT font = nullptr;
    } text_;
};
