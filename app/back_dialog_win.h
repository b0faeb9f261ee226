// The invisible owner dialog that keeps the process alive: it creates the
// marker window that later starts look for, the main window, then the right
// panel and the left panel; the main window ends up owned by the left panel,
// the left panel by the right one.
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
    void MakePanels();
    void PlaceMainOverPanels();

    static constexpr UINT kMakePanels = WM_APP + 1;
    HWND marker_ = nullptr;
};
