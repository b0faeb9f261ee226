// The detail dialogs of two functions, run modally by the main window for
// the selected button: CDpiDialog sets a "SWITCH DPI" button's step or
// direction, CProfileDialog a "SELECT PROFILE" button's profile. Both write
// only the button's FunExt, and only on Apply.
#pragma once

#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/framework/dialog_win.h"

class CDpiDialog : public Dialog {
public:
    CDpiDialog();
    int Choice() const { return choice_; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    void OnOK() override {}  // Enter neither applies nor closes

private:
    int choice_ = 0;  // 0..5: 400, 800, 1600, 2000, up, down
    CButtonST options_[6], apply_, cancel_, close_;
    CButtonST titleButton_, titleMode_, titleOption_;
    CStaticST number_;
};

class CProfileDialog : public Dialog {
public:
    CProfileDialog();
    int Choice() const { return choice_; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    void OnOK() override {}

private:
    int choice_ = 0;  // profile index 0..4
    CButtonST profiles_[5], apply_, cancel_, close_, title_;
};
