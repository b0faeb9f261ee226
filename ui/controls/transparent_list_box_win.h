// CTransparentListBox: the transparent list box. Attached to a LISTBOX control
// of a dialog, it keeps the list box's own items, selection and messages
// (LB_GETCURSEL, LB_GETTEXT ... work as usual) and replaces its painting: the
// background is the list's own bitmap if it has one, else the parent's
// background under the list, else the background colour; items are drawn over
// it without an opaque background, in the normal or the selected colour.
#pragma once

#include <windows.h>

#include "ui/controls/controls_api.h"
#include "ui/controls/skin_control_win.h"

class CSkinScrollBar;

// Replaces the dialog's list box control id by a new one of the same class,
// styles, place, font and z-order, but without system scroll bars (a list
// box made with them keeps showing them). The new window, or null.
KORELLE_CONTROLS_API HWND RecreateWithoutScrollBars(HWND dialog, int id);

class KORELLE_CONTROLS_API CTransparentListBox : public CSkinControl {
public:
    CTransparentListBox();
    ~CTransparentListBox() override;

    using CSkinControl::SetFont;
    // Creates the list's font (height size, the face, weight 700 unless told)
    // and sets the text colours. When the list holds items, the item height
    // becomes the first item's text height in that font.
    bool SetFont(int size, const char* face, COLORREF normal, COLORREF selected, int weight = FW_BOLD,
                 bool redraw = true);
    void SetColor(COLORREF text, COLORREF selected, COLORREF background, bool redraw = true);
    // A background drawn at the list's top-left corner; the caller keeps it.
    void SetBitmap(HBITMAP background);

    // Adding to an empty list first sets the item height from the new item's
    // text. Both return the item's index, or LB_ERR / LB_ERRSPACE.
    int AddString(const char* text, DWORD data = 0);
    int InsertString(int index, const char* text, DWORD data = 0);
    int DeleteString(int index);
    void ResetContent();

    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    DWORD GetItemData(int index) const;
    int SetItemData(int index, DWORD data);
    // Copies item text (8-bit, zero-terminated, cut to size); returns its
    // length, or LB_ERR.
    int GetText(int index, char* buffer, int size) const;
    int GetItemHeight() const;
    void SetItemHeight(int height);

    int GetTopIndex() const;
    // Moves the top item with drawing suspended, then redraws the list once.
    void SetTopIndex(int index);
    void ScrollUp(int lines = 1);
    void ScrollDown(int lines = 1);

    // How far the lines are scrolled to the left, in pixels: the system
    // scroll bar's position for a list that has one, else the list's own,
    // kept within 0..horizontal extent - client width.
    int GetHorizontalOffset() const;
    void SetHorizontalOffset(int pixels);
    // Skinned bars that show and move the list (either may be null); the
    // caller keeps them. They follow every change of the list.
    void SetScrollBars(CSkinScrollBar* vertical, CSkinScrollBar* horizontal);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnAttached() override;
    void Draw(HDC dc, const RECT& client) override;

private:
    void MeasureItemHeight(const char* text);
    bool HasSystemHorizontalBar() const;
    int ClientWidth() const;
    // Scrolls sideways by pixels (negative: to the left) without a system bar.
    void ScrollSideways(int pixels);
    void SyncScrollBars();

    COLORREF text_colour_ = RGB(0, 0, 0);
    COLORREF selected_colour_ = RGB(255, 0, 0);
    COLORREF background_colour_ = RGB(0, 0, 0);
    HFONT font_ = nullptr;  // ours, from SetFont(size, face ...)
    HBITMAP bitmap_ = nullptr;
    bool redraw_off_ = false;  // the caller turned drawing off with WM_SETREDRAW
    int horizontal_extent_ = 0;  // LB_SETHORIZONTALEXTENT
    int horizontal_offset_ = 0;  // without a system horizontal bar
    CSkinScrollBar* vertical_bar_ = nullptr;
    CSkinScrollBar* horizontal_bar_ = nullptr;
};
