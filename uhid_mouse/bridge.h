// The emulated mouse as a USB HID device would present it to the kernel:
// its report descriptor, and what it does with the feature report requests
// and the commands of the test that drives it. Kept apart from /dev/uhid so
// the rules can be tested on a machine without uhid.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "emulator/emulated_mouse.h"

namespace uhid_mouse {

inline constexpr std::uint16_t kVendorId = 0x7A3D;
inline constexpr std::uint16_t kProductId = 0x006A;

// The configuration interface: one vendor-defined collection whose only
// report is feature report 5 with seven data bytes, so that the host's
// feature report length (report id included) is the protocol's 8 bytes.
std::span<const std::uint8_t> ReportDescriptor();

// What the test can tell the device (one command a line):
//   unplug          the device is destroyed; memory stays, the lock and a
//                   transfer in progress are lost
//   replug          the device is created again (nothing when plugged)
//   reload          the state file is read again, as after a power cycle,
//                   while the host keeps seeing the same device
//   unplug-at N     plugged, and unplugged when the N-th report from now
//                   arrives (that report fails)
//   mute get|set|all  requests of that direction are never answered
//   answer          requests are answered again
//   read-only / read-write   the mode of the device's hidraw node (0400 or
//                   0600; left alone when it has it already)
//   quit            the device is destroyed and the program ends
struct Command {
    enum class Kind { Unplug, Replug, Reload, UnplugAt, Mute, Answer, ReadOnly, ReadWrite, Quit } kind;
    std::uint32_t at = 0;       // UnplugAt
    bool muteGets = false;      // Mute
    bool muteSets = false;
};
std::optional<Command> ParseCommand(const std::string& line);

// The reply to one feature report request; nothing when the device is told
// not to answer.
struct Reply {
    bool ok = false;
    std::vector<std::uint8_t> data;  // a get's answer, report id first
};

// The firmware and its state file behind the requests. The kernel hands a
// set request the whole report (report id first) but a get request only its
// report id: the other bytes the host prepared never reach the device.
class Bridge {
public:
    explicit Bridge(emulator::EmulatorSettings settings) : settings_(std::move(settings)) {}

    // Loads the state file as the mouse powers up: the lock and any transfer
    // in progress are gone. unplugAt: as in Faults, counted from now.
    bool PowerUp(std::optional<std::uint32_t> unplugAt, std::string& error);
    void PowerDown() { mouse_.reset(); }
    bool powered() const { return mouse_ != nullptr; }
    // False once an unplug-at point was reached: the device must go.
    bool present() const { return mouse_ && mouse_->IsPresent(); }

    void Mute(bool gets, bool sets) { muteGets_ = gets; muteSets_ = sets; }

    std::optional<Reply> SetFeature(std::uint8_t reportId, std::span<const std::uint8_t> data);
    std::optional<Reply> GetFeature(std::uint8_t reportId, std::size_t length);

private:
    emulator::EmulatorSettings settings_;
    std::unique_ptr<emulator::EmulatedMouse> mouse_;
    bool muteGets_ = false;
    bool muteSets_ = false;
};

}  // namespace uhid_mouse
