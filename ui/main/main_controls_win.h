// The main window's own controls: the button labels, which report clicks to
// the main window, and the animated logo.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/main/main_model.h"

// A button label: a transparent text that lights up its connecting line
// while the pointer is over it and reports single and double clicks.
class CStaticButtonST : public CStaticST {
public:
    // The window told of clicks (by app_messages::PostLabelClick).
    void SetTarget(HWND target) { target_ = target; }
    void SetLine(HWND line) { line_ = line; }
    void SetButton(int button, int code) {
        button_ = button;
        code_ = code;
    }
    int Code() const { return code_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

private:
    static constexpr UINT_PTR kHoverTimer = 257;  // the hover check, while lit
    void SetHover(bool hover);

    HWND target_ = nullptr;
    HWND line_ = nullptr;
    int button_ = 0, code_ = 0;
    bool hover_ = false;
};

// The animated logo: frame 0 for 22 ticks, then frames 22 to 65, every 300 ms.
class CLogoButtonST : public CButtonST {
public:
    static constexpr UINT_PTR kTimer = 256;
    ~CLogoButtonST() override;
    void StartAnimation();
    // Paints frame at once, without the message loop, for the busy cue;
    // -1 goes back to the animation's frame.
    void ShowBusy(int frame);

protected:
    void OnTimer(UINT_PTR id) override;

private:
    void ShowFrame(int frame);

    // Each frame, read and masked when first shown and kept: the animation
    // runs for as long as the program does, and a frame is then only drawn.
    std::unique_ptr<controls::MaskedImage> frames_[mainwin::kLogoCycle];
    int shown_ = -1;
};
