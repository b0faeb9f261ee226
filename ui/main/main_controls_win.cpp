#include "ui/main/main_controls_win.h"

#include <cstdio>

#include "core/app_globals_win.h"
#include "core/app_messages_win.h"
#include "ui/framework/dialog_win.h"
#include "ui/framework/skin_win.h"
#include "ui/main/main_model.h"

// ---- button label ----

void CStaticButtonST::SetHover(bool hover) {
    hover_ = hover;
    if (hover)
        StartTimer(kHoverTimer, kHoverCheckMs);
    else
        StopTimer(kHoverTimer);
    if (line_) ShowWindow(line_, hover ? SW_SHOWNOACTIVATE : SW_HIDE);
    SetTextColor(hover ? skin::kWhite : skin::kSilver);
}

void CStaticButtonST::OnTimer(UINT_PTR id) {
    if (id != kHoverTimer) return;
    if (!PointerOnControl()) SetHover(false);
}

LRESULT CStaticButtonST::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_MOUSEMOVE:
        if (!hover_) {
            SetHover(true);
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
            TrackMouseEvent(&track);
        }
        return 0;
    case WM_MOUSELEAVE:
        SetHover(false);
        return 0;
    case WM_LBUTTONDOWN:
        return 0;
    case WM_LBUTTONUP:
        app_messages::PostLabelClick(target_, {button_, false});
        return 0;
    case WM_LBUTTONDBLCLK:
        app_messages::PostLabelClick(target_, {button_, true});
        return 0;
    default:
        return CStaticST::WindowProc(message, wParam, lParam);
    }
}

// ---- logo ----

namespace {
int g_nLogoTick = 0;  // process-wide frame counter, 0..65
}

CLogoButtonST::~CLogoButtonST() { SetSharedImage(nullptr); }

void CLogoButtonST::ShowFrame(int frame) {
    if (frame == shown_) return;
    if (!frames_[frame]) {
        char name[64];
        std::snprintf(name, sizeof name, "\\Logo\\ball%04d.bmp", frame);
        HBITMAP bitmap = LoadBitmapFile(SkinFile(name));
        frames_[frame] = std::make_unique<controls::MaskedImage>();
        frames_[frame]->Create(bitmap, skin::kKey7F);  // a missing frame stays empty and shows nothing
        if (bitmap) DeleteObject(bitmap);
    }
    SetSharedImage(frames_[frame].get());  // the one image for both states
    shown_ = frame;
}

void CLogoButtonST::StartAnimation() {
    g_nLogoTick = 0;
    StartTimer(kTimer, 300);
}

void CLogoButtonST::ShowBusy(int frame) {
    ShowFrame(frame >= 0 ? frame : mainwin::LogoFrame(g_nLogoTick + mainwin::kLogoCycle - 1));
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    GdiFlush();
}

void CLogoButtonST::OnTimer(UINT_PTR id) {
    if (id != kTimer) return;
    ShowFrame(mainwin::LogoFrame(g_nLogoTick));
    g_nLogoTick = (g_nLogoTick + 1) % mainwin::kLogoCycle;
}
