// CAdvSetting: the advanced settings dialog of the main window's Configure
// command. Loads and saves named configurations through CMyFileDialog,
// resets the edited settings (g_WorkRecord) to the device's defaults, and
// says that the firmware cannot be updated. Nothing here talks to the mouse.
#pragma once

#include <functional>

#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/framework/dialog_win.h"

class CAdvSetting : public Dialog {
public:
    // refreshViews redraws the main window's view and its open side panels;
    // it runs after a load or a reset changed the edited settings. Run with
    // DoModal(mainWindow).
    explicit CAdvSetting(std::function<void()> refreshViews);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;

private:
    void ResetToDefault();

    std::function<void()> refreshViews_;
    CStaticST title_;
    CButtonST close_, load_, save_, reset_, firmware_, ok_;
};
