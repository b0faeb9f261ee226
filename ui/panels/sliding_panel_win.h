// What both side panels share: a window the size of its first background
// frame, layered with a colour key, that slides out and in by showing its
// numbered frames one per tick of a 30 ms timer. A frame is loaded by the
// timer and painted by WM_PAINT; the timer waits until it has been painted.
// The last frame painted stays as the background (uncovering the panel
// repaints it) and is handed to the skinned controls as theirs.
#pragma once

#include <string>

#include "ui/framework/side_panel_win.h"
#include "ui/panels/desktop_settings.h"
#include "ui/panels/panel_model.h"

class SlidingPanel : public SidePanel {
public:
    // framePattern: the skin file of frame n, "%04d" in it.
    SlidingPanel(UINT templateId, const char* framePattern, int lastFrame, UINT_PTR timerId,
                 panels::DesktopSettings& settings);
    ~SlidingPanel() override;

    void Open(int x, int y) override;
    void Close() override;
    // Skins the panel's controls, once: at start-up after the main window has
    // shown (the panel is hidden until then), or when it first opens.
    void FinishSetUp() override;

    const panels::Slide& slide() const { return slide_; }

protected:
    // At initialisation: frame 0 as the background, the window sized to it,
    // layered with the key; a press on the background drags the panel only
    // in debug mode.
    void SetUpWindow(COLORREF key);
    HBITMAP ShownFrame() const { return shown_; }
    panels::DesktopSettings& settings() { return settings_; }

    // The controls' skins, captions and places (FinishSetUp calls it once).
    virtual void BuildControls() = 0;
    // Controls out of sight: before sliding out and at each frame sliding in.
    virtual void StowControls() = 0;
    // The panel has slid out: refresh and bring out the controls.
    virtual void OnSlidOut() = 0;
    // The background the controls draw over has changed.
    virtual void OnBackgroundChanged(HBITMAP background) = 0;
    // Painted after the background frame, into the paint's device context.
    virtual void PaintOver(HDC) {}

    // Enter never ends a panel.
    void OnOK() override {}
    void OnTimer(UINT_PTR id) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Repaint();

private:
    HBITMAP LoadFrame(int frame) const;
    void ShowFrame(HBITMAP frame);  // becomes the background, the old one goes
    void Paint();

    std::string framePattern_;
    UINT_PTR timerId_;
    panels::DesktopSettings& settings_;
    panels::Slide slide_;
    bool built_ = false;         // BuildControls has run
    HBITMAP pending_ = nullptr;  // loaded by the timer, not painted yet
    HBITMAP shown_ = nullptr;    // on the screen
};
