// What the main window and the configuration dialogs ask of a side panel:
// slide open beside the main window, slide closed, and show the system's
// and the record's current values again.
#pragma once

#include "ui/framework/dialog_win.h"

class SidePanel : public Dialog {
public:
    explicit SidePanel(UINT templateId) : Dialog(templateId) { SetFollowsMoves(true); }

    // Slides the panel open at the screen point (x, y).
    virtual void Open(int x, int y) = 0;
    // Slides it closed.
    virtual void Close() = 0;
    // Rereads what it shows and repaints.
    virtual void Refresh() = 0;
    // Completes a set-up left for after the main window has shown.
    virtual void FinishSetUp() {}
};
