// Fault settings, the trace, and the settings read from the environment.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "device/protocol.h"
#include "emulator/emulated_mouse.h"
#include "emulator/emulator.h"
#include "tests/emulator/mouse_host.h"

using emulator::Emulator;
using emulator::Faults;
using emulator::Outcome;
using emulator::ReportKind;
using emulator::TraceEntry;
using mouse_host::Pattern;
using mouse_host::ReadSegment;
using protocol::Report;

namespace {

// A clock that advances 250 us per reading.
Emulator::Clock Ticking() {
    auto now = std::make_shared<std::uint64_t>(1'000'000);
    return [now] { return *now += 250; };
}

std::vector<Outcome> Outcomes(const Emulator& mouse) {
    std::vector<Outcome> out;
    for (const auto& e : mouse.trace()) out.push_back(e.outcome);
    return out;
}

TEST(Faults, TheNthSetFailsWithoutReachingTheFirmware) {
    Faults faults;
    faults.failSets = {2, 4};
    Emulator mouse({}, faults);
    EXPECT_TRUE(mouse.SetReport(protocol::SwitchProfileReport(1)));
    EXPECT_FALSE(mouse.SetReport(protocol::SwitchProfileReport(2)));
    EXPECT_EQ(mouse.state().activeProfile, 1);
    EXPECT_TRUE(mouse.SetReport(protocol::SwitchProfileReport(3)));
    EXPECT_FALSE(mouse.SetReport(protocol::WriteLockOnReport));
    EXPECT_FALSE(mouse.state().writeLocked);
    // Gets are counted apart from sets.
    EXPECT_TRUE(mouse.SetReport(protocol::QueryActiveProfileReport));
    Report answer = protocol::QueryAnswerGet;
    EXPECT_TRUE(mouse.GetReport(answer));
    EXPECT_EQ(answer[2], 3);
}

TEST(Faults, TheNthGetFailsAndEndsTheRead) {
    Faults faults;
    faults.failGets = {2};
    Emulator mouse({}, faults);
    EXPECT_FALSE(ReadSegment(mouse, 0));
    Report get = protocol::SegmentReadDataGet;
    EXPECT_FALSE(mouse.GetReport(get));  // no read in progress any more
    EXPECT_EQ(Outcomes(mouse), (std::vector<Outcome>{Outcome::Ok, Outcome::Ok, Outcome::Injected, Outcome::Refused}));
    EXPECT_TRUE(ReadSegment(mouse, 0));
}

TEST(Faults, EveryReportOfAKindFails) {
    Faults faults;
    faults.failKinds = {ReportKind::SegmentData, ReportKind::QueryAnswer};
    Emulator mouse({}, faults);
    ASSERT_TRUE(mouse.SetReport(protocol::WriteLockOnReport));
    const protocol::SegmentBlock block = Pattern(6);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_TRUE(mouse.SetReport(protocol::SegmentWriteHeader(6, protocol::SegmentChecksum(block))));
        EXPECT_FALSE(mouse.SetReport(protocol::SegmentDataReport(block, 0)));
    }
    EXPECT_EQ(mouse.trace()[2].kind, ReportKind::SegmentData);
    EXPECT_EQ(mouse.trace()[2].outcome, Outcome::Injected);
    EXPECT_EQ(mouse.state().segments[6], protocol::SegmentBlock{});
    ASSERT_TRUE(mouse.SetReport(protocol::QueryDeviceInfoReport));
    Report answer = protocol::QueryAnswerGet;
    EXPECT_FALSE(mouse.GetReport(answer));
    EXPECT_TRUE(ReadSegment(mouse, 6));  // other kinds still work
}

TEST(Faults, UnpluggedFromTheNthReportOn) {
    Faults faults;
    faults.unplugAt = 3;
    Emulator mouse({}, faults);
    EXPECT_TRUE(mouse.SetReport(protocol::WriteLockOnReport));
    EXPECT_TRUE(mouse.SetReport(protocol::SwitchProfileReport(4)));
    EXPECT_TRUE(mouse.IsPresent());
    Report get = protocol::QueryAnswerGet;
    EXPECT_FALSE(mouse.GetReport(get));
    EXPECT_FALSE(mouse.IsPresent());
    EXPECT_FALSE(mouse.SetReport(protocol::SwitchProfileReport(1)));
    // Memory survives; the lock does not.
    EXPECT_EQ(mouse.state().activeProfile, 4);
    EXPECT_FALSE(mouse.state().writeLocked);
    EXPECT_EQ(Outcomes(mouse),
              (std::vector<Outcome>{Outcome::Ok, Outcome::Ok, Outcome::Unplugged, Outcome::Unplugged}));
}

TEST(Faults, UnpluggedFromTheStart) {
    Faults faults;
    faults.unplugAt = 0;
    Emulator mouse({}, faults);
    EXPECT_FALSE(mouse.IsPresent());
    EXPECT_FALSE(mouse.SetReport(protocol::WriteLockOnReport));
}

TEST(Trace, RecordsEveryReportWithItsTimeKindAndAnswer) {
    Emulator mouse({}, {}, Ticking());
    mouse.SetReport(protocol::QueryActiveProfileReport);
    Report get = protocol::QueryAnswerGet;
    mouse.GetReport(get);
    mouse.SetReport({0x05, 0x0A, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(mouse.trace().size(), 3u);
    EXPECT_EQ(mouse.trace()[0], (TraceEntry{1'000'250, true, ReportKind::QueryActiveProfile,
                                            protocol::QueryActiveProfileReport, Outcome::Ok, {}}));
    EXPECT_EQ(emulator::FormatTraceLine(mouse.trace()[1]),
              "1000500 get query-answer 0509000000000000 ok 0509000000000000");
    EXPECT_EQ(emulator::FormatTraceLine(mouse.trace()[2]), "1000750 set unknown 050a000000000000 refused");
    for (const auto& e : mouse.trace()) EXPECT_EQ(emulator::ParseTraceLine(emulator::FormatTraceLine(e)), e);
    EXPECT_FALSE(emulator::ParseTraceLine("1000 get query-answer 0509000000000000 ok"));  // answer missing
    EXPECT_FALSE(emulator::ParseTraceLine("1000 set switch 05090100000000 ok"));           // 7 bytes
}

TEST(FaultSettings, ComeFromTheEnvironment) {
    std::map<std::string, std::string> env = {
        {"KORELLE_EMULATOR_STATE", "m.state"},
        {"KORELLE_EMULATOR_FAIL_SET", "5"},
        {"KORELLE_EMULATOR_FAIL_GET", "2,9"},
        {"KORELLE_EMULATOR_FAIL_KIND", "switch,segment-read-data"},
        {"KORELLE_EMULATOR_UNPLUG_AT", "40"},
    };
    auto lookup = [&env](const char* name) {
        auto it = env.find(name);
        return it == env.end() ? std::string() : it->second;
    };
    emulator::EmulatorSettings settings;
    std::string error;
    ASSERT_TRUE(emulator::EmulatorChosen(lookup));
    ASSERT_TRUE(emulator::SettingsFromEnvironment(lookup, settings, error)) << error;
    EXPECT_EQ(settings.statePath, "m.state");
    EXPECT_EQ(settings.tracePath, "m.state.trace");
    Faults expected;
    expected.failSets = {5};
    expected.failGets = {2, 9};
    expected.failKinds = {ReportKind::SwitchProfile, ReportKind::SegmentReadData};
    expected.unplugAt = 40;
    EXPECT_EQ(settings.faults, expected);

    env["KORELLE_EMULATOR_TRACE"] = "t.txt";
    env["KORELLE_EMULATOR_FAIL_KIND"] = "switch,lock";
    EXPECT_FALSE(emulator::SettingsFromEnvironment(lookup, settings, error));
    EXPECT_NE(error.find("KORELLE_EMULATOR_FAIL_KIND"), std::string::npos) << error;
    env.erase("KORELLE_EMULATOR_FAIL_KIND");
    ASSERT_TRUE(emulator::SettingsFromEnvironment(lookup, settings, error));
    EXPECT_EQ(settings.tracePath, "t.txt");

    for (const char* bad : {"0", "3,,4", "x", "-1", "3,", "4294967296"}) {
        env["KORELLE_EMULATOR_FAIL_GET"] = bad;
        EXPECT_FALSE(emulator::SettingsFromEnvironment(lookup, settings, error)) << bad;
    }
    env.erase("KORELLE_EMULATOR_STATE");
    EXPECT_FALSE(emulator::EmulatorChosen(lookup));
}

}  // namespace
