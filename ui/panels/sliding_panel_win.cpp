#include "ui/panels/sliding_panel_win.h"

#include <cstdio>

#include "core/app_globals_win.h"
#include "ui/framework/skin_win.h"

SlidingPanel::SlidingPanel(UINT templateId, const char* framePattern, int lastFrame, UINT_PTR timerId,
                           panels::DesktopSettings& settings)
    : SidePanel(templateId), framePattern_(framePattern), timerId_(timerId), settings_(settings), slide_(lastFrame) {}

SlidingPanel::~SlidingPanel() {
    if (hwnd()) StopTimer(timerId_);
    if (pending_) DeleteObject(pending_);
    if (shown_) DeleteObject(shown_);
}

HBITMAP SlidingPanel::LoadFrame(int frame) const {
    char name[128];
    std::snprintf(name, sizeof name, framePattern_.c_str(), frame);
    return LoadBitmapFile(SkinFile(name));
}

void SlidingPanel::SetUpWindow(COLORREF key) {
    shown_ = LoadFrame(0);
    BITMAP info{};
    if (shown_ && GetObjectA(shown_, sizeof info, &info))
        SetWindowPos(hwnd(), nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame is painted around the controls, never over them.
    SetWindowLongPtrA(hwnd(), GWL_STYLE, GetWindowLongPtrA(hwnd(), GWL_STYLE) | WS_CLIPCHILDREN);
    skin::SetUpWindow(*this, {.key = key, .dragOnlyInDebug = true, .followsMainWindow = true});
}

void SlidingPanel::FinishSetUp() {
    if (built_ || !hwnd()) return;
    built_ = true;
    BuildControls();
}

void SlidingPanel::Open(int x, int y) {
    FinishSetUp();
    slide_.Open();
    StowControls();
    SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    StartTimer(timerId_, panels::kSlideTimerMs);
}

void SlidingPanel::Close() {
    slide_.Close();
    StartTimer(timerId_, panels::kSlideTimerMs);
}

void SlidingPanel::Repaint() { RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN); }

void SlidingPanel::ShowFrame(HBITMAP frame) {
    if (frame == shown_) return;
    HBITMAP old = shown_;
    shown_ = frame;
    OnBackgroundChanged(shown_);  // before the old one goes: the controls read it
    if (old) DeleteObject(old);
}

void SlidingPanel::OnTimer(UINT_PTR id) {
    if (id != timerId_) return;
    const panels::SlideStep step = slide_.Tick();
    if (step.stopTimer) StopTimer(timerId_);
    if (step.closed) {
        ShowFrame(LoadFrame(step.frame));
        SetWindowPos(hwnd(), nullptr, GetSystemMetrics(SM_CXSCREEN), 0, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        return;
    }
    if (step.frame >= 0) {
        if (pending_) DeleteObject(pending_);
        pending_ = LoadFrame(step.frame);
        if (!pending_) slide_.FramePainted();  // a missing frame: nothing to wait for
    }
    if (step.showPanel && !IsWindowVisible(hwnd())) ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    if (step.stowControls) StowControls();
    if (step.opened) OnSlidOut();
    if (step.frame >= 0 || step.opened) Repaint();
}

void SlidingPanel::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    if (pending_) {
        ShowFrame(pending_);
        pending_ = nullptr;
        slide_.FramePainted();
    }
    if (shown_) {
        HDC frameDc = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(frameDc, shown_);
        BITMAP info{};
        GetObjectA(shown_, sizeof info, &info);
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, frameDc, 0, 0, SRCCOPY);
        SelectObject(frameDc, old);
        DeleteDC(frameDc);
        PaintOver(dc);
    }
    EndPaint(hwnd(), &ps);
}

bool SlidingPanel::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = 1;  // the paint covers the whole client area
        return true;
    default:
        return false;
    }
}
