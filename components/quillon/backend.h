// What the exports of Quillon.dll talk to: the real mouse through the
// system's HID services, or the emulated mouse.
#pragma once

#include <cstdint>

#include "device/protocol.h"

namespace quillon {

using protocol::Report;

class Backend {
public:
    virtual ~Backend() = default;
    virtual bool IsPresent(std::uint16_t vendorId, std::uint16_t productId) = 0;
    virtual bool SetReport(std::uint16_t vendorId, std::uint16_t productId, const Report& report) = 0;
    // On success report holds the answer; on failure it may hold anything.
    virtual bool GetReport(std::uint16_t vendorId, std::uint16_t productId, Report& report) = 0;
};

// A mouse that is never there: the emulator was asked for but could not be
// started.
class AbsentMouse final : public Backend {
public:
    bool IsPresent(std::uint16_t, std::uint16_t) override { return false; }
    bool SetReport(std::uint16_t, std::uint16_t, const Report&) override { return false; }
    bool GetReport(std::uint16_t, std::uint16_t, Report&) override { return false; }
};

}  // namespace quillon
