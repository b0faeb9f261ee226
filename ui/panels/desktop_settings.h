// The desktop's own mouse settings that the side panels change: wheel
// scroll lines, double-click time and pointer speed. The panels read them
// afresh before every step and never keep a copy, so a change made by
// another program is honoured. The Windows build reads and writes the
// system's values (desktop_settings_win.h); tests use a fake.
#pragma once

#include <cstdint>

namespace panels {

class DesktopSettings {
public:
    virtual ~DesktopSettings() = default;

    // Lines per wheel notch; 0xFFFFFFFF means a screen per notch.
    virtual std::uint32_t WheelScrollLines() = 0;
    virtual void SetWheelScrollLines(std::uint32_t lines) = 0;
    virtual std::uint32_t DoubleClickTime() = 0;  // milliseconds
    virtual void SetDoubleClickTime(std::uint32_t ms) = 0;
    virtual int MouseSpeed() = 0;  // 1 (slowest) to 20
    virtual void SetMouseSpeed(int speed) = 0;
};

}  // namespace panels
