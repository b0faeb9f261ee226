#include "emulator/emulated_mouse.h"

#include "emulator/state_file.h"

namespace emulator {

bool EmulatorChosen(const EnvironmentLookup& lookup) { return !lookup(kStateVariable).empty(); }

bool SettingsFromEnvironment(const EnvironmentLookup& lookup, EmulatorSettings& settings, std::string& error) {
    EmulatorSettings s;
    s.statePath = lookup(kStateVariable);
    if (s.statePath.empty()) {
        error = std::string(kStateVariable) + " names no state file";
        return false;
    }
    s.tracePath = lookup(kTraceVariable);
    if (s.tracePath.empty()) s.tracePath = s.statePath + ".trace";
    auto bad = [&error](const char* name, const std::string& value) {
        error = std::string(name) + "=\"" + value + "\" is not understood";
        return false;
    };
    const std::string failSet = lookup(kFailSetVariable);
    if (!ParseReportNumbers(failSet, s.faults.failSets)) return bad(kFailSetVariable, failSet);
    const std::string failGet = lookup(kFailGetVariable);
    if (!ParseReportNumbers(failGet, s.faults.failGets)) return bad(kFailGetVariable, failGet);
    const std::string failKind = lookup(kFailKindVariable);
    if (!ParseKinds(failKind, s.faults.failKinds)) return bad(kFailKindVariable, failKind);
    const std::string unplugAt = lookup(kUnplugAtVariable);
    if (!ParseUnplugAt(unplugAt, s.faults.unplugAt)) return bad(kUnplugAtVariable, unplugAt);
    settings = std::move(s);
    return true;
}

std::unique_ptr<EmulatedMouse> EmulatedMouse::Open(const EmulatorSettings& settings, std::string& error,
                                                   Emulator::Clock clock) {
    MouseState state;
    if (!LoadStateFile(settings.statePath, state, error)) return nullptr;
    std::unique_ptr<EmulatedMouse> mouse(new EmulatedMouse(settings, state, std::move(clock)));
    if (!mouse->trace_) {
        error = settings.tracePath + ": cannot be opened for the trace";
        return nullptr;
    }
    return mouse;
}

EmulatedMouse::EmulatedMouse(const EmulatorSettings& settings, const MouseState& state, Emulator::Clock clock)
    : emulator_(state, settings.faults, std::move(clock)),
      statePath_(settings.statePath),
      saved_(state),
      trace_(settings.tracePath, std::ios::binary | std::ios::app) {
    emulator_.SetTraceSink([this](const TraceEntry& e) { last_ = e; });
}

bool EmulatedMouse::SetReport(const Report& report) { return Finish(emulator_.SetReport(report)); }

bool EmulatedMouse::GetReport(Report& report) {
    Report answer = report;
    const bool ok = Finish(emulator_.GetReport(answer));
    if (ok) report = answer;
    return ok;
}

bool EmulatedMouse::Finish(bool delivered) {
    if (emulator_.state() != saved_) {
        std::string error;
        if (SaveStateFile(statePath_, emulator_.state(), error)) {
            saved_ = emulator_.state();
        } else {
            emulator_.state() = saved_;
            lastError_ = error;
            last_.outcome = Outcome::NotSaved;
            delivered = false;
        }
    }
    trace_ << FormatTraceLine(last_) << '\n' << std::flush;
    return delivered;
}

}  // namespace emulator
