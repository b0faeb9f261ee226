// CTail2Dialog: the right-hand panel. It slides out beside the main window
// and steps two settings of the desktop: the wheel's lines per notch and
// the double-click time, each on a bar that shows its level.
#pragma once

#include <cstdint>

#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/panels/desktop_settings_win.h"
#include "ui/panels/sliding_panel_win.h"

class CTail2Dialog : public SlidingPanel {
public:
    static constexpr UINT_PTR kSlideTimer = 260;

    explicit CTail2Dialog(panels::DesktopSettings& settings = panels::SystemSettings());

    // Rereads both settings and rebuilds both bars.
    void Refresh() override;

protected:
    BOOL OnInitDialog() override;
    void BuildControls() override;
    bool OnCommand(int id, int code) override;
    void StowControls() override;
    void OnSlidOut() override;
    void OnBackgroundChanged(HBITMAP background) override;

private:
    void ShowWheelBar(std::uint32_t lines);
    void ShowDoubleClickBar(std::uint32_t ms);
    void StepSensitivity(panels::Step step);

    CButtonST wheelMore_, wheelFewer_, doubleClickShorter_, doubleClickLonger_;
    CButtonST sensitivityLower_, sensitivityRaise_;  // never shown
    CStaticST scrollLabel_, sensitiveLabel_;         // never shown
};
