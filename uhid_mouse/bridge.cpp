#include "uhid_mouse/bridge.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <sstream>

#include "emulator/state_file.h"

namespace uhid_mouse {

namespace {

constexpr std::array<std::uint8_t, 23> kDescriptor = {
    0x06, 0x00, 0xFF,  // Usage Page (vendor defined 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x05,        //   Report ID (5)
    0x09, 0x01,        //   Usage (1)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x07,        //   Report Count (7)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute)
    0xC0,              // End Collection
};

bool Number(const std::string& text, std::uint32_t& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && out > 0;
}

}  // namespace

std::span<const std::uint8_t> ReportDescriptor() { return kDescriptor; }

std::optional<Command> ParseCommand(const std::string& line) {
    std::istringstream in(line);
    std::string word, arg, extra;
    if (!(in >> word)) return std::nullopt;
    in >> arg;
    if (in >> extra) return std::nullopt;
    Command c{};
    if (word == "mute") {
        c.kind = Command::Kind::Mute;
        c.muteGets = arg == "get" || arg == "all";
        c.muteSets = arg == "set" || arg == "all";
        if (!c.muteGets && !c.muteSets) return std::nullopt;
        return c;
    }
    if (word == "unplug-at") {
        c.kind = Command::Kind::UnplugAt;
        if (!Number(arg, c.at)) return std::nullopt;
        return c;
    }
    if (!arg.empty()) return std::nullopt;
    static const std::pair<const char*, Command::Kind> kPlain[] = {
        {"unplug", Command::Kind::Unplug},       {"replug", Command::Kind::Replug},
        {"reload", Command::Kind::Reload},
        {"answer", Command::Kind::Answer},       {"read-only", Command::Kind::ReadOnly},
        {"read-write", Command::Kind::ReadWrite}, {"quit", Command::Kind::Quit},
    };
    for (const auto& [name, kind] : kPlain) {
        if (word == name) {
            c.kind = kind;
            return c;
        }
    }
    return std::nullopt;
}

bool Bridge::PowerUp(std::optional<std::uint32_t> unplugAt, std::string& error) {
    mouse_.reset();
    emulator::MouseState state;
    if (!emulator::LoadStateFile(settings_.statePath, state, error)) return false;
    if (state.writeLocked) {
        state.writeLocked = false;
        if (!emulator::SaveStateFile(settings_.statePath, state, error)) return false;
    }
    emulator::EmulatorSettings settings = settings_;
    settings.faults.unplugAt = unplugAt;
    mouse_ = emulator::EmulatedMouse::Open(settings, error);
    return mouse_ != nullptr;
}

std::optional<Reply> Bridge::SetFeature(std::uint8_t reportId, std::span<const std::uint8_t> data) {
    if (muteSets_) return std::nullopt;
    Reply reply;
    if (!mouse_) return reply;
    // The kernel passes the report with its id in front; accept the bare
    // data too.
    if (!data.empty() && data[0] == reportId) data = data.subspan(1);
    protocol::Report report{};
    if (data.size() != report.size() - 1) return reply;
    report[0] = reportId;
    std::copy(data.begin(), data.end(), report.begin() + 1);
    reply.ok = mouse_->SetReport(report);
    return reply;
}

std::optional<Reply> Bridge::GetFeature(std::uint8_t reportId, std::size_t length) {
    if (muteGets_) return std::nullopt;
    Reply reply;
    if (!mouse_) return reply;
    // All a get request over HID carries is its report id; the device
    // answers from its own state. The firmware model wants the request
    // bytes of what it answers, so it is asked with those.
    protocol::Report report = mouse_->PendingGetRequest();
    report[0] = reportId;
    if (!mouse_->GetReport(report)) return reply;
    reply.ok = true;
    reply.data.assign(report.begin(), report.begin() + std::min(length, report.size()));
    return reply;
}

}  // namespace uhid_mouse
