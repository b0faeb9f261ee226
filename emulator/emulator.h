// The emulated mouse as the HID library sees it: the firmware behind a USB
// connection that can be told to fail reports or to be unplugged, with every
// report recorded in a trace.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "emulator/firmware.h"

namespace emulator {

// Faults to inject. Reports are counted from 1 in the order they arrive;
// sets and gets each have their own count for failSets and failGets, and
// unplugAt counts both together.
struct Faults {
    std::vector<std::uint32_t> failSets;  // these sets fail
    std::vector<std::uint32_t> failGets;  // these gets fail
    std::vector<ReportKind> failKinds;    // every report of these kinds fails
    // The mouse is unplugged when this report arrives (it and all later ones
    // fail); 0: unplugged from the start.
    std::optional<std::uint32_t> unplugAt;

    bool operator==(const Faults&) const = default;
};

// Parses the text forms of the fault settings: comma-separated report numbers
// ("3" or "3,12"), comma-separated kind names ("lock-on,segment-read-data"),
// and one number for the unplug point. Empty text means no such fault.
bool ParseReportNumbers(const std::string& text, std::vector<std::uint32_t>& out);
bool ParseKinds(const std::string& text, std::vector<ReportKind>& out);
bool ParseUnplugAt(const std::string& text, std::optional<std::uint32_t>& out);

enum class Outcome : std::uint8_t {
    Ok,
    Refused,    // the firmware refused it
    Injected,   // failed by a fault setting
    Unplugged,  // the mouse is unplugged
    NotSaved,   // taken, but the state file could not be written, so undone
};
const char* OutcomeName(Outcome outcome);

struct TraceEntry {
    std::uint64_t micros = 0;  // time of arrival
    bool isSet = true;
    ReportKind kind = ReportKind::Unknown;
    Report sent{};      // the report as the host passed it
    Outcome outcome = Outcome::Ok;
    Report returned{};  // a successful get's answer; zero otherwise

    bool operator==(const TraceEntry&) const = default;
};

// One line of the trace file, without the line end:
//   <micros> set <kind> <16 hex digits> <outcome>
//   <micros> get <kind> <16 hex digits> <outcome> [<16 hex digits answered>]
std::string FormatTraceLine(const TraceEntry& entry);
std::optional<TraceEntry> ParseTraceLine(const std::string& line);

// Microseconds since 1970 from the system clock.
std::uint64_t SystemMicros();

class Emulator {
public:
    using Clock = std::function<std::uint64_t()>;
    using TraceSink = std::function<void(const TraceEntry&)>;

    explicit Emulator(const MouseState& state = {}, Faults faults = {}, Clock clock = SystemMicros);

    // Whether the mouse is attached.
    bool IsPresent() const { return !unplugged_; }
    bool SetReport(const Report& report);
    bool GetReport(Report& report);

    Report PendingGetRequest() const { return firmware_.PendingGetRequest(); }
    MouseState& state() { return firmware_.state(); }
    const MouseState& state() const { return firmware_.state(); }

    // Entries are kept in trace() unless a sink takes them.
    const std::vector<TraceEntry>& trace() const { return trace_; }
    void SetTraceSink(TraceSink sink) { sink_ = std::move(sink); }

private:
    // Decides the fate of one report before the firmware sees it.
    Outcome Gate(bool isSet, ReportKind kind);
    void Record(const TraceEntry& entry);

    Firmware firmware_;
    Faults faults_;
    Clock clock_;
    TraceSink sink_;
    std::vector<TraceEntry> trace_;
    std::uint32_t reports_ = 0;
    std::uint32_t sets_ = 0;
    std::uint32_t gets_ = 0;
    bool unplugged_ = false;
};

}  // namespace emulator
