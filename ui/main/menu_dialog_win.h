// CMenuDialog: the fading pop-up beside the main window that lists the
// functions a button can have. The main window shows and hides it; an item
// gives its function to the selected button through the main window.
#pragma once

#include "ui/controls/button_st_win.h"
#include "ui/framework/dialog_win.h"
#include "ui/main/main_model.h"

class CMenuDialog : public Dialog {
public:
    static constexpr UINT_PTR kFadeTimer = 258;

    CMenuDialog();
    // Sets the fade request (MenuFade::kFadeIn and so on), from step 0 when
    // fromStart, and starts the fade timer.
    void StartFade(mainwin::FadeFlags request, bool fromStart = false);
    const mainwin::MenuFade& Fade() const { return fade_; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    void OnTimer(UINT_PTR id) override;
    void OnOK() override {}  // the menu never closes itself

private:
    mainwin::MenuFade fade_;
    CButtonST items_[12];
};
