// The desktop settings as the system holds them, through the
// system-parameters service. Every call asks the system; nothing is kept.
#pragma once

#include <windows.h>

#include "ui/panels/desktop_settings.h"

namespace panels {

class SystemDesktopSettings : public DesktopSettings {
public:
    // The system-parameters call; tests and the panel demo pass one that
    // records the calls before making them.
    using ParametersCall = BOOL(WINAPI*)(UINT action, UINT uiParam, PVOID pvParam, UINT flags);

    explicit SystemDesktopSettings(ParametersCall call = SystemParametersInfoA) : call_(call) {}

    std::uint32_t WheelScrollLines() override;
    void SetWheelScrollLines(std::uint32_t lines) override;
    std::uint32_t DoubleClickTime() override;
    void SetDoubleClickTime(std::uint32_t ms) override;
    int MouseSpeed() override;
    void SetMouseSpeed(int speed) override;

private:
    ParametersCall call_;
};

// The one the program's panels use.
DesktopSettings& SystemSettings();

}  // namespace panels
