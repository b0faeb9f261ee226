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
    void OnDestroy() override;

private:
    HWND marker_ = nullptr;
};
