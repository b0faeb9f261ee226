// The invisible owner dialog that keeps the process alive: it creates the
// marker window that later starts look for, then the right panel, the left
// panel and the main window, each owned by the one before.
#pragma once

#include "ui/framework/dialog_win.h"

class CBackDialog : public Dialog {
public:
    CBackDialog();

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;

private:
    static constexpr UINT kFinishPanels = WM_APP + 1;
    HWND marker_ = nullptr;
};
