#include "ui/framework/message_dialog_win.h"

#include <algorithm>

#include "core/app_globals_win.h"
#include "core/resource.h"
#include "ui/framework/skin_win.h"

namespace {

using namespace skin;

// The layout in client pixels: the title inside the frame's header band
// (clear of its chamfered corners), the text between the header and the
// rule above the answers, and Yes and No or OK under it.
constexpr Spot kTitle{IDC_MSG_TITLE, 20, 3, 236, 16};
constexpr int kTextX = 33, kTextWidth = 222;
constexpr int kTextTop = 26, kTextBottom = 92;

// Yes, No and OK: their skin files, white text when hot, silver otherwise.
struct Answer {
    int id;
    const char* hot;
    const char* normal;
    const char* key;
    int x, y;
};
constexpr Answer kYesAnswer{IDC_MSG_YES, "\\info\\info_01_11.bmp", "\\info\\info_02_11.bmp", "Str_Yes", 77, 100};
constexpr Answer kNoAnswer{IDC_MSG_NO, "\\info\\info_01_13.bmp", "\\info\\info_02_13.bmp", "Str_No", 146, 100};
constexpr Answer kOkAnswer{IDC_MSG_OK, "\\info\\info_03_13.bmp", "\\info\\info_04_13.bmp", "Str_OK", 112, 100};

void AnswerButton(CButtonST& button, HWND dialog, const Answer& answer, HFONT font, HBITMAP background) {
    Button(button, dialog, answer.id, {answer.hot, answer.normal}, Text(answer.key).c_str(), font, background);
    Place(dialog, answer.id, answer.x, answer.y);
}

}  // namespace

CMessageDialog::CMessageDialog(HWND owner, int mode, const char* text, int)
    : Dialog(IDD_MESSAGE), mode_(mode), text_(text ? text : "") {
    result_ = static_cast<int>(DoModal(owner));
}

BOOL CMessageDialog::OnInitDialog() {
    HWND dialog = hwnd();
    HFONT font = SetUpWindow(*this, {.background = "\\info\\info_bg.bmp"});
    const SIZE size = BackgroundSize();

    Label(title_, dialog, IDC_MSG_TITLE, Text("Str_SystemMessage").c_str(), kWhite, font, Background());
    Place(dialog, kTitle);

    const bool yesNo = mode_ == kYesNo;
    if (yesNo) {
        AnswerButton(yes_, dialog, kYesAnswer, font, Background());
        AnswerButton(no_, dialog, kNoAnswer, font, Background());
    } else {
        AnswerButton(ok_, dialog, kOkAnswer, font, Background());
    }
    ShowWindow(Item(IDC_MSG_OK), yesNo ? SW_HIDE : SW_SHOW);
    ShowWindow(Item(IDC_MSG_YES), yesNo ? SW_SHOW : SW_HIDE);
    ShowWindow(Item(IDC_MSG_NO), yesNo ? SW_SHOW : SW_HIDE);

    Label(message_, dialog, IDC_MSG_TEXT, text_, kWhite, font, Background());
    // As tall as the wrapped text, centred in its area; a text longer than
    // the area keeps its top line at the area's top.
    const int height = std::min(WrappedTextHeight(Item(IDC_MSG_TEXT), kTextWidth), kTextBottom - kTextTop);
    Place(dialog, IDC_MSG_TEXT, kTextX, kTextTop + (kTextBottom - kTextTop - height) / 2, kTextWidth,
          std::max(height, 1));

    // Centred across, in the upper third of the primary screen.
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(dialog, nullptr, screenW / 2 - size.cx / 2, screenH / 3 - size.cy / 3, size.cx, size.cy,
                 SWP_NOZORDER);
    return TRUE;
}

bool CMessageDialog::OnCommand(int id, int code) {
    if (id == IDC_MSG_OK || id == IDC_MSG_YES) {
        End(1);
        return true;
    }
    if (id == IDC_MSG_NO) {
        End(2);
        return true;
    }
    return Dialog::OnCommand(id, code);
}

int ShowMessage(HWND owner, int mode, const char* text) { return CMessageDialog(owner, mode, text).Result(); }
