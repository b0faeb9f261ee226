#include "ui/panels/desktop_settings_win.h"

#include <cstdint>

namespace panels {

static_assert(SPI_GETWHEELSCROLLLINES == 104 && SPI_SETWHEELSCROLLLINES == 105 && SPI_SETDOUBLECLICKTIME == 32 &&
              SPI_GETMOUSESPEED == 112 && SPI_SETMOUSESPEED == 113);

namespace {
// Write to the user profile; no broadcast of the change.
constexpr UINT kUpdateProfile = SPIF_UPDATEINIFILE;
}  // namespace

std::uint32_t SystemDesktopSettings::WheelScrollLines() {
    UINT lines = 0;
    call_(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return lines;
}

void SystemDesktopSettings::SetWheelScrollLines(std::uint32_t lines) {
    call_(SPI_SETWHEELSCROLLLINES, lines, nullptr, kUpdateProfile);
}

std::uint32_t SystemDesktopSettings::DoubleClickTime() { return GetDoubleClickTime(); }

void SystemDesktopSettings::SetDoubleClickTime(std::uint32_t ms) {
    call_(SPI_SETDOUBLECLICKTIME, ms, nullptr, kUpdateProfile);
}

int SystemDesktopSettings::MouseSpeed() {
    int speed = 0;
    call_(SPI_GETMOUSESPEED, 0, &speed, 0);
    return speed;
}

void SystemDesktopSettings::SetMouseSpeed(int speed) {
    // The speed travels as the pointer argument itself.
    call_(SPI_SETMOUSESPEED, 0, reinterpret_cast<PVOID>(static_cast<std::intptr_t>(speed)), kUpdateProfile);
}

DesktopSettings& SystemSettings() {
    static SystemDesktopSettings settings;
    return settings;
}

}  // namespace panels
