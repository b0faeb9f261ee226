#include "ui/main/detail_dialogs_win.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/app_globals_win.h"
#include "core/resource.h"
#include "device/device_globals.h"
#include "ui/framework/skin_win.h"
#include "ui/main/main_model.h"
#include "ui/main/main_window_win.h"

using namespace skin;

namespace {

constexpr int kDpiIds[6] = {IDC_DPI_400, IDC_DPI_800, IDC_DPI_1600, IDC_DPI_2000, IDC_DPI_UP, IDC_DPI_DOWN};
constexpr int kProfileIds[5] = {IDC_PROFILE_CHOICE_0, IDC_PROFILE_CHOICE_1, IDC_PROFILE_CHOICE_2,
                                IDC_PROFILE_CHOICE_3, IDC_PROFILE_CHOICE_4};

// The layouts in client pixels; both dialogs have Apply, Cancel and the
// close box in the same places.
constexpr Spot kDpiLayout[] = {
    {IDC_DPI_TITLE_BUTTON, 30, 47, 109 - 30 - 2},  // ends before the number beside it
    {IDC_DPI_BUTTON_NUMBER, 109, 49},
    {IDC_DPI_APPLY, 100, 178},
    {IDC_DPI_CANCEL, 214, 178},
    {IDC_DPI_CLOSE, 357, 21},
    {IDC_DPI_400, 301, 106, 100, 30},
    {IDC_DPI_800, 57, 106, 100, 30},
    {IDC_DPI_1600, 148, 106, 100, 30},
    {IDC_DPI_2000, 245, 106, 100, 30},
    {IDC_DPI_UP, 57, 147, 190, 30},
    {IDC_DPI_DOWN, 240, 147, 190, 30},
    {IDC_DPI_TITLE_MODE, 30, 87},
    {IDC_DPI_TITLE_OPTION, 30, 129},
};
// The options' captions, in the order of kDpiIds.
constexpr const char* kDpiOptionKeys[6] = {"Str_400DPI",  "Str_800DPI", "Str_1600DPI",
                                           "Str_2000DPI", "Str_DPIUp",  "Str_DPIDown"};

constexpr Spot kProfileLayout[] = {
    {IDC_PROFILE_APPLY, 100, 178},    {IDC_PROFILE_CANCEL, 214, 178},   {IDC_PROFILE_CLOSE, 357, 21},
    {IDC_PROFILE_CHOICE_0, 80, 109},  {IDC_PROFILE_CHOICE_1, 140, 109}, {IDC_PROFILE_CHOICE_2, 200, 109},
    {IDC_PROFILE_CHOICE_3, 260, 109}, {IDC_PROFILE_CHOICE_4, 320, 109},
};

// The profile dialog's title reaches at most to here, the close box's column.
constexpr int kProfileTitleRight = 357;
// The title's mark and the gap before its text.
constexpr int kTitleMarkWidth = 24;

// Both dialogs open at this point of the main window.
constexpr POINT kFromMain{70, 60};

unsigned char* SelectedButton() {
    return mainwin::Button(g_WorkRecord, g_nCurProfile, g_nSelButton < 0 ? 0 : g_nSelButton);
}

void PlaceBesideMain(Dialog& dialog) {
    RECT main{};
    if (g_pMainDlg) GetWindowRect(g_pMainDlg->hwnd(), &main);
    const SIZE size = dialog.BackgroundSize();
    SetWindowPos(dialog.hwnd(), nullptr, main.left + kFromMain.x, main.top + kFromMain.y, size.cx, size.cy,
                 SWP_NOZORDER);
}

// Checks item index of the group and unchecks the rest; no index matches
// when it is out of range.
template <std::size_t N>
void CheckOnly(CButtonST (&buttons)[N], int index) {
    for (int i = 0; i < static_cast<int>(N); ++i) buttons[i].SetCheck(i == index ? BST_CHECKED : BST_UNCHECKED);
}

// A title: a mark image with its text after it, in one colour in every state.
void Title(CButtonST& title, HWND dialog, int id, const char* image, const char* key, COLORREF colour, HFONT font,
           HBITMAP background) {
    ButtonLook look{image, image};
    look.hotText = look.normalText = colour;
    look.sizeToImage = false;
    Button(title, dialog, id, look, Text(key).c_str(), font, background);
}

// Widens a title to hold its mark and its text on one line, up to right.
void WidenToText(HWND dialog, int id, int right) {
    HWND control = GetDlgItem(dialog, id);
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const int width = std::min<int>(kTitleMarkWidth + LineWidth(control), right - r.left);
    if (width > r.right - r.left) Place(dialog, id, r.left, r.top, width);
}

}  // namespace

CDpiDialog::CDpiDialog() : Dialog(IDD_DPI_OPTION) {}

BOOL CDpiDialog::OnInitDialog() {
    HWND dialog = hwnd();
    HFONT font = SetUpWindow(*this, {.background = "\\dpi\\dpi_bg.bmp"});
    HBITMAP bg = Background();

    Title(titleButton_, dialog, IDC_DPI_TITLE_BUTTON, "\\dpi\\dpi_02_12.bmp", "Str_Button", RGB(0x81, 0x81, 0x81), font,
          bg);
    Label(number_, dialog, IDC_DPI_BUTTON_NUMBER, "1", kWhite, font, bg);
    Button(apply_, dialog, IDC_DPI_APPLY, {"\\dpi\\dpi_02_19.bmp", "\\dpi\\dpi_01_19.bmp"}, Text("Str_Apply").c_str(),
           font, bg);
    Button(cancel_, dialog, IDC_DPI_CANCEL, {"\\dpi\\dpi_02_21.bmp", "\\dpi\\dpi_01_21.bmp"},
           Text("Str_Cancel").c_str(), font, bg);
    Button(close_, dialog, IDC_DPI_CLOSE, {"\\dpi\\dpi_02_04.bmp", "\\dpi\\dpi_01_04.bmp"}, "", font, bg);

    for (int i = 0; i < 6; ++i) {
        // The text follows the mark image, clear of it.
        ButtonLook look{"\\dpi\\dpi_02_12.bmp", "\\dpi\\dpi_01_12.bmp"};
        look.sizeToImage = false;
        Button(options_[i], dialog, kDpiIds[i], look, (" " + Text(kDpiOptionKeys[i])).c_str(), font, bg);
    }
    Title(titleMode_, dialog, IDC_DPI_TITLE_MODE, "\\right\\right_b_01_05.bmp", "Str_SetDPIMode", kWhite, font, bg);
    Title(titleOption_, dialog, IDC_DPI_TITLE_OPTION, "\\right\\right_b_01_05.bmp", "Str_Option", kWhite, font, bg);
    Place(dialog, kDpiLayout);

    choice_ = mainwin::DpiChoiceFromFunExt(SelectedButton()[record::kFunExt]);
    CheckOnly(options_, choice_);
    const int number = mainwin::ButtonNumberOfSlot(g_WorkRecord, g_nSelButton);
    SetWindowTextA(Item(IDC_DPI_BUTTON_NUMBER), std::to_string(number).c_str());
    PlaceBesideMain(*this);
    return FALSE;
}

bool CDpiDialog::OnCommand(int id, int code) {
    for (int i = 0; i < 6; ++i) {
        if (id == kDpiIds[i]) {
            choice_ = i;
            CheckOnly(options_, i);
            return true;
        }
    }
    if (id == IDC_DPI_APPLY) {
        SelectedButton()[record::kFunExt] = static_cast<unsigned char>(mainwin::FunExtFromDpiChoice(choice_));
        End(IDOK);
        return true;
    }
    if (id == IDC_DPI_CANCEL || id == IDC_DPI_CLOSE) {
        End(IDCANCEL);
        return true;
    }
    return Dialog::OnCommand(id, code);
}

CProfileDialog::CProfileDialog() : Dialog(IDD_PROFILE_ASSIGN) {}

BOOL CProfileDialog::OnInitDialog() {
    HWND dialog = hwnd();
    HFONT font = SetUpWindow(*this, {.background = "\\profile\\profile_bg.bmp"});
    HBITMAP bg = Background();

    Title(title_, dialog, IDC_PROFILE_TITLE, "\\right\\right_b_01_05.bmp", "Str_AssignProfile", kWhite, font, bg);
    WidenToText(dialog, IDC_PROFILE_TITLE, kProfileTitleRight);
    Button(apply_, dialog, IDC_PROFILE_APPLY, {"\\profile\\profile_02_19.bmp", "\\profile\\profile_01_19.bmp"},
           Text("Str_Apply").c_str(), font, bg);
    Button(cancel_, dialog, IDC_PROFILE_CANCEL, {"\\profile\\profile_02_21.bmp", "\\profile\\profile_01_21.bmp"},
           Text("Str_Cancel").c_str(), font, bg);
    Button(close_, dialog, IDC_PROFILE_CLOSE, {"\\profile\\profile_02_18.bmp", "\\profile\\profile_01_18.bmp"}, "",
           font, bg);
    for (int i = 0; i < 5; ++i) {
        char hot[64], normal[64];
        std::snprintf(hot, sizeof hot, "\\profile\\profile_02_%02d.bmp", i);
        std::snprintf(normal, sizeof normal, "\\profile\\profile_01_%02d.bmp", i);
        Button(profiles_[i], dialog, kProfileIds[i], {hot, normal}, "", font, bg);  // the number is in the image
    }
    Place(dialog, kProfileLayout);

    // A FunExt outside 0..4 has no button to preselect: none is checked and
    // Apply without a choice keeps it.
    choice_ = SelectedButton()[record::kFunExt];
    CheckOnly(profiles_, choice_);
    PlaceBesideMain(*this);
    return FALSE;
}

bool CProfileDialog::OnCommand(int id, int code) {
    for (int i = 0; i < 5; ++i) {
        if (id == kProfileIds[i]) {
            choice_ = i;
            CheckOnly(profiles_, i);
            return true;
        }
    }
    if (id == IDC_PROFILE_APPLY) {
        SelectedButton()[record::kFunExt] = static_cast<unsigned char>(choice_);
        End(IDOK);
        return true;
    }
    if (id == IDC_PROFILE_CANCEL || id == IDC_PROFILE_CLOSE) {
        End(IDCANCEL);
        return true;
    }
    return Dialog::OnCommand(id, code);
}
