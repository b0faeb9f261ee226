// The emulated mouse kept in a state file, so that it behaves as the same
// mouse across program runs, with its trace appended to a file. The HID
// library uses it when the environment names a state file.
#pragma once

#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "emulator/emulator.h"

namespace emulator {

// The environment variables that choose and configure the emulated mouse.
inline constexpr char kStateVariable[] = "KORELLE_EMULATOR_STATE";      // state file; chooses the emulator
inline constexpr char kTraceVariable[] = "KORELLE_EMULATOR_TRACE";      // trace file, default <state>.trace
inline constexpr char kFailSetVariable[] = "KORELLE_EMULATOR_FAIL_SET";  // "3" or "3,12": these sets fail
inline constexpr char kFailGetVariable[] = "KORELLE_EMULATOR_FAIL_GET";  // the same for gets
inline constexpr char kFailKindVariable[] = "KORELLE_EMULATOR_FAIL_KIND";  // "lock-on,switch": kinds that fail
inline constexpr char kUnplugAtVariable[] = "KORELLE_EMULATOR_UNPLUG_AT";  // unplugged from this report on; 0: absent

struct EmulatorSettings {
    std::string statePath;
    std::string tracePath;
    Faults faults;
};

// Reads one environment variable; an empty text when it is not set.
using EnvironmentLookup = std::function<std::string(const char* name)>;

// True when the environment names a state file.
bool EmulatorChosen(const EnvironmentLookup& lookup);
// False with a reason when a setting is malformed or no state file is named.
bool SettingsFromEnvironment(const EnvironmentLookup& lookup, EmulatorSettings& settings, std::string& error);

class EmulatedMouse {
public:
    // Loads the state file and opens the trace for appending; null with a
    // reason when either fails.
    static std::unique_ptr<EmulatedMouse> Open(const EmulatorSettings& settings, std::string& error,
                                               Emulator::Clock clock = SystemMicros);

    // The emulator's trace goes to this object, so it stays where it is.
    EmulatedMouse(const EmulatedMouse&) = delete;
    EmulatedMouse& operator=(const EmulatedMouse&) = delete;

    bool IsPresent() const { return emulator_.IsPresent(); }
    // A report that changes what the mouse keeps saves the state file before
    // it succeeds; when saving fails the change is undone and the report
    // fails.
    bool SetReport(const Report& report);
    bool GetReport(Report& report);
    Report PendingGetRequest() const { return emulator_.PendingGetRequest(); }

    const MouseState& state() const { return emulator_.state(); }
    const std::string& lastError() const { return lastError_; }

private:
    EmulatedMouse(const EmulatorSettings& settings, const MouseState& state, Emulator::Clock clock);
    // Saves a changed state, then writes the report's trace line.
    bool Finish(bool delivered);

    Emulator emulator_;
    std::string statePath_;
    MouseState saved_;
    std::ofstream trace_;
    TraceEntry last_;
    std::string lastError_;
};

}  // namespace emulator
