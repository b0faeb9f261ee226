// A thin layer over the Win32 dialog manager: one dialog class that stores
// its object at WM_INITDIALOG and dispatches to named handlers, modal and
// modeless creation from resource templates, per-window timers, the skin
// (background bitmap, colour key or alpha, the 15-high dialog font) and
// dragging the window by its background.
#pragma once

#include <windows.h>

#include <string>

class Dialog {
public:
    explicit Dialog(UINT templateId) : templateId_(templateId) {}
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    // Runs the dialog modally; the result is what End was given, or -1 when
    // the template could not be created.
    INT_PTR DoModal(HWND owner);
    // Creates the dialog modelessly; false when the template could not be created.
    bool CreateModeless(HWND owner);
    // Ends a modal dialog with the result, or destroys a modeless one.
    void End(INT_PTR result);

    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

    void StartTimer(UINT_PTR id, UINT ms) { SetTimer(hwnd_, id, ms, nullptr); }
    void StopTimer(UINT_PTR id) { KillTimer(hwnd_, id); }

    // Paints this bitmap file as the whole client area and sizes the window
    // to it. False when the file cannot be loaded.
    bool SetBackground(const std::string& file);
    SIZE BackgroundSize() const { return backgroundSize_; }
    HBITMAP Background() const { return background_; }
    // Pixels of the key colour become see-through; alpha 255 is opaque.
    void MakeLayered(COLORREF key);
    void SetAlpha(BYTE alpha);
    // The dialog's own font at the given height, created once.
    HFONT DialogFont(int height = 15);
    void SetBackgroundDrag(bool on) { backgroundDrag_ = on; }
    // An attached window follows the main window: it is posted WM_MOVE with
    // the screen point to go to (MovePoint) and moves there at its own size.
    void SetFollowsMoves(bool on) { followsMoves_ = on; }

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual bool OnCommand(int id, int code);
    virtual void OnOK() { End(IDOK); }
    // Escape and the close box never end a dialog unless a window says so.
    virtual void OnCancel() {}
    virtual void OnTimer(UINT_PTR) {}
    virtual void OnDestroy() {}
    // Any other message; true when handled, with the result in result.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    bool backgroundDrag_ = true;
    bool followsMoves_ = false;
    HBITMAP background_ = nullptr;
    SIZE backgroundSize_{};
    HFONT font_ = nullptr;
    int fontHeight_ = 0;
};

// The move message an attached window is posted: the screen point it goes to.
inline LPARAM MovePoint(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }
inline void PostMoveTo(HWND window, int x, int y) { PostMessageA(window, WM_MOVE, 0, MovePoint(x, y)); }

// Loads a bitmap file (24-bit BMP) as a DIB section; null when it cannot.
HBITMAP LoadBitmapFile(const std::string& path);
