// The skinned replacement for the system message box: an OK box or a Yes/No
// box over the caller's text. Results: 1 for OK and Yes, 2 for No.
#pragma once

#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/framework/dialog_win.h"

class CMessageDialog : public Dialog {
public:
    enum Mode { kOk = 0, kYesNo = 1 };

    // Runs the box modally at once; the result is then in Result(). The
    // fourth argument has no effect.
    CMessageDialog(HWND owner, int mode, const char* text, int unused = 0);
    int Result() const { return result_; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    void OnOK() override {}  // Enter picks no answer

private:
    int mode_;
    const char* text_;
    int result_ = 0;
    CButtonST ok_, yes_, no_;
    CStaticST title_, message_;
};

// Shows a box and returns its result.
int ShowMessage(HWND owner, int mode, const char* text);
