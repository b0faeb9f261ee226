// The panels' desktop settings against the system (under Wine): the values
// that come back after the panels' steps, and the exact system-parameters
// calls the settings make.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/panels/desktop_settings_win.h"
#include "ui/panels/panel_model.h"

using namespace panels;

namespace {

struct Call {
    UINT action;
    UINT uiParam;
    std::uintptr_t pvParam;  // the pointer argument as a number
    UINT flags;
    bool operator==(const Call&) const = default;
};

std::vector<Call> g_calls;

// Records the call; a get is answered with 7.
BOOL WINAPI RecordCall(UINT action, UINT uiParam, PVOID pvParam, UINT flags) {
    g_calls.push_back({action, uiParam, reinterpret_cast<std::uintptr_t>(pvParam), flags});
    if (action == SPI_GETWHEELSCROLLLINES) *static_cast<UINT*>(pvParam) = 7;
    if (action == SPI_GETMOUSESPEED) *static_cast<int*>(pvParam) = 7;
    return TRUE;
}

// Puts the user's settings back after a test that changes them.
class SystemSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines_, 0);
        doubleClick_ = GetDoubleClickTime();
    }
    void TearDown() override {
        SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines_, nullptr, SPIF_UPDATEINIFILE);
        SystemParametersInfoA(SPI_SETDOUBLECLICKTIME, doubleClick_, nullptr, SPIF_UPDATEINIFILE);
    }

private:
    UINT lines_ = 3;
    UINT doubleClick_ = 500;
};

}  // namespace

TEST(DesktopSettingsCalls, EachSettingIsOneSystemParametersCallWithItsArguments) {
    g_calls.clear();
    SystemDesktopSettings settings(RecordCall);
    EXPECT_EQ(settings.WheelScrollLines(), 7u);
    settings.SetWheelScrollLines(5);
    settings.SetDoubleClickTime(300);
    EXPECT_EQ(settings.MouseSpeed(), 7);
    settings.SetMouseSpeed(16);
    ASSERT_EQ(g_calls.size(), 5u);
    EXPECT_EQ(g_calls[0].action, 104u);
    EXPECT_EQ(g_calls[1], (Call{105, 5, 0, 1}));
    EXPECT_EQ(g_calls[2], (Call{32, 300, 0, 1}));
    EXPECT_EQ(g_calls[3].action, 112u);
    // The speed is the pointer argument itself, not the first argument.
    EXPECT_EQ(g_calls[4], (Call{113, 0, 16, 1}));
}

TEST_F(SystemSettingsTest, StepsChangeTheValuesTheSystemThenReports) {
    SystemDesktopSettings settings;
    settings.SetWheelScrollLines(3);
    EXPECT_EQ(StepWheelLines(settings, Step::Up), 5u);
    UINT reported = 0;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &reported, 0);
    EXPECT_EQ(reported, 5u);
    settings.SetWheelScrollLines(20);
    EXPECT_EQ(StepWheelLines(settings, Step::Up), 20u);

    settings.SetDoubleClickTime(250);
    EXPECT_EQ(StepDoubleClickTime(settings, Step::Down), 200u);
    EXPECT_EQ(GetDoubleClickTime(), 200u);
    settings.SetDoubleClickTime(850);
    EXPECT_EQ(StepDoubleClickTime(settings, Step::Up), 900u);
    EXPECT_EQ(GetDoubleClickTime(), 900u);
}
