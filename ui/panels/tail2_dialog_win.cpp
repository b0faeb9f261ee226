#include "ui/panels/tail2_dialog_win.h"

#include <cstdio>
#include <initializer_list>
#include <string>

#include "core/resource.h"
#include "device/device_globals.h"
#include "profile_store/record/profile_record.h"
#include "ui/framework/skin_win.h"

namespace {

// Colour values as the system writes them (0x00BBGGRR).
constexpr COLORREF kWindowKey = 0x7FFF00;
constexpr COLORREF kButtonKey = 0x80FF00;
constexpr COLORREF kGreen = 0x00FF00;

// The four controls the open panel shows, and their places in client pixels.
constexpr skin::Spot kBars[] = {{IDC_RIGHT_DBLCLICK_SHORTER, 102, 146},
                                {IDC_RIGHT_DBLCLICK_LONGER, 102, 200},
                                {IDC_RIGHT_WHEEL_MORE, 14, 216},
                                {IDC_RIGHT_WHEEL_FEWER, 14, 262}};

std::string FrameFile(const char* pattern, int frame) {
    char name[96];
    std::snprintf(name, sizeof name, pattern, frame);
    return name;
}

void SetBarImages(CButtonST& bar, const char* hotPattern, const char* normalPattern, int frame) {
    skin::SetImages(bar, FrameFile(hotPattern, frame).c_str(), FrameFile(normalPattern, frame).c_str(),
                          kButtonKey);
}

}  // namespace

CTail2Dialog::CTail2Dialog(panels::DesktopSettings& settings)
    : SlidingPanel(IDD_RIGHT_PANEL, "\\right\\right_a\\right_a%04d.bmp", panels::kRightPanelLastFrame, kSlideTimer,
                   settings) {}

BOOL CTail2Dialog::OnInitDialog() {
    SetUpWindow(kWindowKey);
    return TRUE;
}

void CTail2Dialog::BuildControls() {
    HWND dialog = hwnd();
    HFONT font = DialogFont(15);
    HBITMAP background = ShownFrame();

    skin::Button(wheelMore_, dialog, IDC_RIGHT_WHEEL_MORE, skin::kWhiteText, nullptr, font, background);
    skin::Button(wheelFewer_, dialog, IDC_RIGHT_WHEEL_FEWER, skin::kWhiteText, nullptr, font, background);
    skin::Button(doubleClickShorter_, dialog, IDC_RIGHT_DBLCLICK_SHORTER, skin::kWhiteText, nullptr, font, background);
    skin::Button(doubleClickLonger_, dialog, IDC_RIGHT_DBLCLICK_LONGER, skin::kWhiteText, nullptr, font, background);
    skin::SetImages(wheelFewer_, "\\right\\bar01_02\\right_b_03_0001.bmp", "\\right\\bar01_02\\right_b_01_0001.bmp",
              kButtonKey);
    skin::SetImages(doubleClickLonger_, "\\right\\bar02_02\\right_c_03_0001.bmp",
                    "\\right\\bar02_02\\right_c_01_0001.bmp", kButtonKey);
    skin::Caption(dialog, IDC_RIGHT_WHEEL_FEWER, "Str_Speed");
    skin::Caption(dialog, IDC_RIGHT_DBLCLICK_LONGER, "Str_ClickSpeed");
    skin::FitImageAndCaption(wheelFewer_, font);
    skin::FitImageAndCaption(doubleClickLonger_, font);
    skin::Place(dialog, kBars);
    // The two bars get their images and captions from the system's values.
    Refresh();

    // Controls the panel holds but never shows.
    skin::Button(sensitivityLower_, dialog, IDC_RIGHT_SENSITIVE_LOWER, skin::kWhiteText, nullptr, font, background);
    skin::Button(sensitivityRaise_, dialog, IDC_RIGHT_SENSITIVE_RAISE, skin::kWhiteText, nullptr, font, background);
    skin::SetImages(sensitivityLower_, "\\right\\bar03_01\\right_d_02_0003.bmp",
                    "\\right\\bar03_01\\right_d_01_0003.bmp", kButtonKey);
    skin::Caption(dialog, IDC_RIGHT_SENSITIVE_LOWER, "Str_Sensitive");
    skin::Caption(dialog, IDC_RIGHT_SENSITIVE_RAISE, "Str_Option");
    skin::Caption(dialog, IDC_RIGHT_SCROLL_ON, "Str_On", "  ");
    skin::Caption(dialog, IDC_RIGHT_SENSITIVE_ON, "Str_On", "  ");
    skin::Caption(dialog, IDC_RIGHT_SHOW_ON_SCREEN, "Str_ShowOnScreen");
    skin::Label(scrollLabel_, dialog, IDC_RIGHT_SCROLL_LABEL, nullptr, kGreen, font, background);
    skin::Label(sensitiveLabel_, dialog, IDC_RIGHT_SENSITIVE_LABEL, nullptr, kGreen, font, background);
    skin::Caption(dialog, IDC_RIGHT_SCROLL_LABEL, "Str_UniversalScroll");
    skin::Caption(dialog, IDC_RIGHT_SENSITIVE_LABEL, "Str_DynamicSensitive");

    StowControls();
}

void CTail2Dialog::Refresh() {
    ShowWheelBar(settings().WheelScrollLines());
    ShowDoubleClickBar(settings().DoubleClickTime());
    skin::Caption(hwnd(), IDC_RIGHT_WHEEL_FEWER, "Str_Speed");
    skin::Caption(hwnd(), IDC_RIGHT_DBLCLICK_LONGER, "Str_ClickSpeed");
    Repaint();
}

void CTail2Dialog::ShowWheelBar(std::uint32_t lines) {
    SetBarImages(wheelMore_, "\\right\\bar01_01\\right_b_02_%04d.bmp", "\\right\\bar01_01\\right_b_01_%04d.bmp",
                 panels::WheelFrame(lines));
    skin::Caption(hwnd(), IDC_RIGHT_WHEEL_MORE, "Str_Scroll");
    skin::FitImageAndCaption(wheelMore_, DialogFont(15));
    wheelMore_.Invalidate();
}

void CTail2Dialog::ShowDoubleClickBar(std::uint32_t ms) {
    SetBarImages(doubleClickShorter_, "\\right\\bar02_01\\right_c_02_%04d.bmp", "\\right\\bar02_01\\right_c_01_%04d.bmp",
                 panels::DoubleClickFrame(ms));
    skin::Caption(hwnd(), IDC_RIGHT_DBLCLICK_SHORTER, "Str_Double");
    skin::FitImageAndCaption(doubleClickShorter_, DialogFont(15));
    doubleClickShorter_.Invalidate();
}

void CTail2Dialog::StepSensitivity(panels::Step step) {
    unsigned char& rate = g_WorkRecord.data()[record::kXYSensitiveRate];
    rate = static_cast<unsigned char>(panels::SensitiveRateAfter(rate, step));
}

bool CTail2Dialog::OnCommand(int id, int code) {
    switch (id) {
    case IDC_RIGHT_WHEEL_MORE: ShowWheelBar(panels::StepWheelLines(settings(), panels::Step::Up)); return true;
    case IDC_RIGHT_WHEEL_FEWER: ShowWheelBar(panels::StepWheelLines(settings(), panels::Step::Down)); return true;
    case IDC_RIGHT_DBLCLICK_SHORTER:
        ShowDoubleClickBar(panels::StepDoubleClickTime(settings(), panels::Step::Down));
        return true;
    case IDC_RIGHT_DBLCLICK_LONGER:
        ShowDoubleClickBar(panels::StepDoubleClickTime(settings(), panels::Step::Up));
        return true;
    case IDC_RIGHT_SENSITIVE_LOWER: StepSensitivity(panels::Step::Down); return true;
    case IDC_RIGHT_SENSITIVE_RAISE: StepSensitivity(panels::Step::Up); return true;
    case IDC_RIGHT_SCROLL_ON:
    case IDC_RIGHT_SENSITIVE_ON:
    case IDC_RIGHT_SHOW_ON_SCREEN: return true;  // they do nothing
    default: return SlidingPanel::OnCommand(id, code);
    }
}

void CTail2Dialog::StowControls() {
    for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ShowWindow(child, SW_HIDE);
}

void CTail2Dialog::OnSlidOut() {
    Refresh();
    for (const skin::Spot& bar : kBars) ShowWindow(Item(bar.id), SW_SHOWNA);
}

void CTail2Dialog::OnBackgroundChanged(HBITMAP background) {
    for (CSkinControl* control : std::initializer_list<CSkinControl*>{
             &wheelMore_, &wheelFewer_, &doubleClickShorter_, &doubleClickLonger_, &sensitivityLower_,
             &sensitivityRaise_, &scrollLabel_, &sensitiveLabel_})
        control->SetBk(background);
}
