// korelle-cli's commands against the emulated mouse, through the same HID
// seam as the device-link suites: values refused before anything is sent,
// backup and restore to the same bytes, only changed segments written, the
// working file kept as Apply keeps it, and what failures leave behind. Built
// natively (pugixml) and for Windows (MSXML, run under Wine).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "device/record_copies.h"
#include "emulator/factory.h"
#include "tests/device/device_fixture.h"
#include "ui/macro/macro_codec.h"

using namespace record;
using device_test::DeviceFixture;
using device_test::FailKind;
using emulator::MouseState;
using emulator::ReportKind;

namespace {

namespace fs = std::filesystem;

class CliTest : public DeviceFixture {
protected:
    std::string out, err;

    void SetUp() override {
        DeviceFixture::SetUp();
        sleeper.log = &log;
    }

    int Cli(const std::vector<std::string>& args) {
        cli::Env env;
        env.hid = hid.Bind();
        env.sleeper = &sleeper;
        env.dataFolder = dir.path().string();
        env.stamp = [this] { return stamp; };
        std::ostringstream o, e;
        ClearEvents();
        const int rc = cli::Run(args, env, o, e);
        out = o.str();
        err = e.str();
        return rc;
    }

    // Segments written (header and data accepted), in order.
    std::vector<int> WrittenSegments() const {
        std::vector<int> segments;
        for (const std::string& e : log)
            if (e.rfind("segment-write ", 0) == 0 && e.find("failed") == std::string::npos)
                segments.push_back(std::stoi(e.substr(14)));
        return segments;
    }
    bool AnythingWritten() const {
        return CountEvents("lock-on") + CountEvents("segment-write") + CountEvents("switch") > 0 && !WrittenSegments().empty();
    }
    // The slot (as the tool numbers buttons, from 0) of a file position.
    unsigned SlotOf(unsigned filePosition) {
        ProfileRecord r;
        EXPECT_EQ(vantor->LoadVantorInfo(r.data()), 1);
        return MapEntry(r.data(), filePosition);
    }
    std::string Path(const char* name) const { return (dir.path() / name).string(); }

    // A mouse holding other valid settings: DPI, a double click, a profile
    // switch button and a two-step macro.
    MouseState ChangedMouse() {
        MouseState state = FactoryState();
        state.segments[0][8 * 2 + kDPI] = 1;
        state.segments[0][8 * 4 + kSensorPollRate] = 2;
        state.segments[protocol::ButtonSegment(1, 3)][kFunID] = 6;
        auto& sw = state.segments[protocol::ButtonSegment(3, 5)];
        sw.fill(0);
        sw[kBtnIndex] = 5;
        sw[kFunID] = 8;
        sw[kFunExt] = 2;
        auto& m = state.segments[protocol::ButtonSegment(0, 6)];
        std::fill(m.begin() + 1, m.end(), 0);
        m[kFunID] = 9;
        const macro::MacroStep steps[] = {macro::StepForKey(0x41, true, 120), macro::StepForKey(0x41, false, 10)};
        EXPECT_TRUE(macro::EncodeMacro(steps, macro::KeySlots(m.data() + kKeySlots, macro::kKeySlotBytes)));
        // The checksum a program computes for these bytes.
        ProfileRecord r;
        EXPECT_EQ(vantor->LoadVantorInfo(r.data()), 1);
        EXPECT_EQ(vantor->LoadVantorProfile(r.data(), Name("__default.xml")), 1);
        for (unsigned p = 0; p < 5; ++p) std::memcpy(r.data() + ProfileOffset(r.data(), p), &state.segments[0][8 * p], 8);
        for (unsigned p = 0; p < 5; ++p)
            for (unsigned b = 0; b < 7; ++b)
                std::memcpy(r.data() + ButtonOffset(r.data(), p, b), state.segments[protocol::ButtonSegment(p, b)].data(), 35);
        MouseState computed;
        std::string error;
        EXPECT_TRUE(emulator::SegmentsFromRecord(r.bytes, computed.segments, error)) << error;
        return computed;
    }
};

// ---- the command line and its values ----

TEST(CliValues, RangesAndNamesAreCheckedExactly) {
    unsigned v = 0;
    std::string why;
    EXPECT_TRUE(cli::ParseDpiStep("1", v, why));
    EXPECT_EQ(v, 1u);
    EXPECT_TRUE(cli::ParseDpiStep("2000", v, why));
    EXPECT_EQ(v, 3u);
    for (const char* bad : {"0", "4", "400", "-1", "", "2x", "99999999"}) EXPECT_FALSE(cli::ParseDpiStep(bad, v, why)) << bad;
    EXPECT_NE(why.find("out of range"), std::string::npos);
    EXPECT_TRUE(cli::ParsePolling("0", v, why));
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(cli::ParsePolling("1000", v, why));
    EXPECT_EQ(v, 2u);
    for (const char* bad : {"3", "125", "x"}) EXPECT_FALSE(cli::ParsePolling(bad, v, why)) << bad;
    EXPECT_TRUE(cli::ParseIndex("5", 5, v, "profile", why));
    EXPECT_EQ(v, 4u);
    EXPECT_FALSE(cli::ParseIndex("0", 5, v, "profile", why));
    EXPECT_FALSE(cli::ParseIndex("6", 5, v, "profile", why));

    cli::ButtonFunction f;
    EXPECT_TRUE(cli::ParseButtonFunction("dpi", "up", f, why));
    EXPECT_EQ(f.code, 7u);
    EXPECT_EQ(f.ext, 0x08);
    EXPECT_TRUE(cli::ParseButtonFunction("dpi", "down", f, why));
    EXPECT_EQ(f.ext, 0x04);
    EXPECT_TRUE(cli::ParseButtonFunction("profile", "5", f, why));
    EXPECT_EQ(f.code, 8u);
    EXPECT_EQ(f.ext, 4);
    EXPECT_TRUE(cli::ParseButtonFunction("double-click", "", f, why));
    EXPECT_EQ(f.code, 6u);
    EXPECT_FALSE(cli::ParseButtonFunction("dpi", "400", f, why));
    EXPECT_FALSE(cli::ParseButtonFunction("profile", "6", f, why));
    EXPECT_FALSE(cli::ParseButtonFunction("click", "2", f, why));
    EXPECT_FALSE(cli::ParseButtonFunction("macro", "", f, why));
    EXPECT_FALSE(cli::ParseButtonFunction("dynamic-sensitive", "", f, why));
}

TEST_F(CliTest, HelpAndBadCommandLinesSendNothing) {
    EXPECT_EQ(Cli({"--help"}), cli::kOk);
    EXPECT_NE(out.find("Usage: korelle-cli"), std::string::npos);
    EXPECT_NE(out.find("restore CONFIG"), std::string::npos);
    EXPECT_TRUE(log.empty());

    const MouseState before = mouse->state();
    const std::vector<std::vector<std::string>> refused = {
        {},
        {"frobnicate"},
        {"set", "dpi", "1", "4"},
        {"set", "dpi", "6", "2"},
        {"set", "polling", "1", "3"},
        {"set", "button", "1", "8", "click"},
        {"set", "button", "1", "2", "dpi", "3000"},
        {"set", "button", "1", "2", "macro"},
        {"switch", "0"},
        {"restore"},
        {"show", "--bogus"},
        {"restore", "x", "--force"},
    };
    for (const auto& args : refused) {
        EXPECT_EQ(Cli(args), cli::kUsage) << ::testing::PrintToString(args);
        EXPECT_NE(err.find("nothing was sent"), std::string::npos) << err;
        EXPECT_TRUE(log.empty()) << "a report for " << ::testing::PrintToString(args);
    }
    EXPECT_EQ(mouse->state(), before);
}

// ---- reading ----

TEST_F(CliTest, ShowNamesFunctionsAndSpellsOutMacros) {
    Plug(ChangedMouse());
    ASSERT_EQ(Cli({"show"}), cli::kOk) << err;
    EXPECT_NE(out.find("profile 3: DPI step 1 (800 dpi), polling 1 (500 T/S)"), std::string::npos) << out;
    EXPECT_NE(out.find("profile 5: DPI step 2 (1600 dpi), polling 2 (1000 T/S)"), std::string::npos);
    EXPECT_NE(out.find("DOUBLE CLICK"), std::string::npos);
    EXPECT_NE(out.find("SELECT PROFILE (profile 3)"), std::string::npos);
    EXPECT_NE(out.find("MACRO\n      A v, then 120 ms\n      A ^, then 10 ms\n"), std::string::npos) << out;
    EXPECT_NE(err.find("reading the mouse's 36 segments: done"), std::string::npos) << err;
    // Read under the lock, released at the end; nothing written.
    EXPECT_EQ(CountEvents("lock-on"), 1);
    EXPECT_EQ(CountEvents("lock-off"), 1);
    EXPECT_EQ(CountEvents("segment-read"), 36);
    EXPECT_TRUE(WrittenSegments().empty());
}

TEST_F(CliTest, AMissingMouseIsReportedAndNothingChanges) {
    Unplug();
    const std::string working = WorkingFile();
    EXPECT_EQ(Cli({"restore", "__default"}), cli::kNoMouse);
    EXPECT_NE(err.find("Nothing was read or written"), std::string::npos) << err;
    EXPECT_EQ(Cli({"list"}), cli::kNoMouse);
    EXPECT_EQ(WorkingFile(), working);
}

// ---- backup, restore, diff ----

TEST_F(CliTest, BackupThenRestoreGivesAnotherMouseTheSameBytes) {
    Plug(ChangedMouse());
    const MouseState original = mouse->state();
    ASSERT_EQ(Cli({"backup", Path("team.xml")}), cli::kOk) << err;
    ASSERT_TRUE(fs::exists(Path("team.xml")));
    EXPECT_EQ(Cli({"backup", Path("team.xml")}), cli::kFileFailed) << "replaced without --force";

    Plug(FactoryState());
    ASSERT_EQ(Cli({"restore", Path("team.xml")}), cli::kOk) << err;
    EXPECT_EQ(mouse->state().segments, original.segments);
    // Only the segments that differ from the factory content went out.
    EXPECT_EQ(WrittenSegments(), (std::vector<int>{0, protocol::ButtonSegment(0, 6), protocol::ButtonSegment(1, 3),
                                                   protocol::ButtonSegment(3, 5)}));
    EXPECT_EQ(Cli({"diff", Path("team.xml")}), cli::kOk) << out;
    EXPECT_NE(out.find("holds the settings"), std::string::npos);
}

TEST_F(CliTest, RestoreUpdatesTheWorkingFileAsApplyDoes) {
    ASSERT_EQ(Cli({"restore", "__default"}), cli::kOk) << err;
    EXPECT_TRUE(WrittenSegments().empty()) << "a factory mouse holds the defaults already";

    // A configuration saved by the profile library, as the program saves one.
    ProfileRecord r;
    ASSERT_EQ(vantor->LoadVantorInfo(r.data()), 1);
    ASSERT_EQ(vantor->LoadVantorProfile(r.data(), Name("__default.xml")), 1);
    r.data()[ProfileOffset(r.data(), 1) + kDPI] = 1;
    r.data()[kXRate] = 7;  // a software setting the mouse never holds
    ASSERT_EQ(vantor->SaveVantorProfile(r.data(), Name("desk.xml")), 1);

    ASSERT_EQ(Cli({"restore", "desk"}), cli::kOk) << err;
    EXPECT_EQ(WrittenSegments(), std::vector<int>{0});
    // The mouse holds what the program's Apply of that file would write.
    emulator::Segments expected;
    std::string error;
    ASSERT_TRUE(emulator::SegmentsFromRecord(r.bytes, expected, error)) << error;
    EXPECT_EQ(mouse->state().segments, expected);
    // The working file holds the file's settings and the mouse's checksum,
    // so the program's next start reads one segment and asks nothing.
    ProfileRecord working;
    ASSERT_EQ(vantor->LoadVantorInfo(working.data()), 1);
    ASSERT_EQ(vantor->LoadVantorProfile(working.data(), Name("__working.xml")), 1);
    EXPECT_EQ(working.data()[kXRate], 7);
    EXPECT_EQ(std::memcmp(working.data() + ProfileOffset(working.data(), 0) + kDummy, &expected[0][kDummy], 5), 0);
    EXPECT_EQ(working.data()[ProfileOffset(working.data(), 1) + kDPI], 1);
    // The switch back to the active profile follows the write.
    EXPECT_EQ(CountEvents("switch"), 1);
}

TEST_F(CliTest, DiffNamesWhatDiffersAndWhatRestoreWouldWrite) {
    Plug(ChangedMouse());
    EXPECT_EQ(Cli({"diff", "__default"}), cli::kDiffers);
    EXPECT_NE(out.find("profile 3: DPI step: file 3 (2000 dpi), mouse 1 (800 dpi)"), std::string::npos) << out;
    EXPECT_NE(out.find("profile 5: polling: file 100 T/S, mouse 1000 T/S"), std::string::npos) << out;
    EXPECT_NE(out.find("profile 2 button " + std::to_string(SlotOf(3) + 1) + ": file"), std::string::npos) << out;
    EXPECT_NE(out.find("mouse DOUBLE CLICK"), std::string::npos) << out;
    EXPECT_NE(out.find("restore would write segments: 0, 7, 11, 27"), std::string::npos) << out;
    EXPECT_TRUE(WrittenSegments().empty());
    EXPECT_EQ(Cli({"diff", "no-such-config"}), cli::kFileFailed);
    EXPECT_EQ(Cli({"diff", Path("missing/file.xml")}), cli::kFileFailed);
}

TEST_F(CliTest, AFileThatLacksProfilesChangesOnlyWhatItHolds) {
    // The factory file cut after Profile1, with profile 1's DPI step changed.
    std::string xml = test_support::ReadFile((device / "__default.xml").string());
    const std::size_t cut = xml.find("<Profile2");
    const std::size_t end = xml.rfind("</");
    ASSERT_NE(cut, std::string::npos);
    xml = xml.substr(0, cut) + xml.substr(end);
    const std::size_t dpi = xml.find("DPI=\"0x1\"");
    ASSERT_NE(dpi, std::string::npos);
    xml.replace(dpi, 9, "DPI=\"0x2\"");
    test_support::WriteFile(Path("one.xml"), xml);
    const MouseState before = mouse->state();
    ASSERT_EQ(Cli({"restore", Path("one.xml")}), cli::kOk) << err;
    EXPECT_EQ(WrittenSegments(), std::vector<int>{0});
    EXPECT_EQ(mouse->state().segments[0][kDPI], 2);
    EXPECT_EQ(std::memcmp(&mouse->state().segments[0][8], &before.segments[0][8], 32), 0);
}

TEST_F(CliTest, AnInvalidFileIsRefusedBeforeTheMouseIsRead) {
    ProfileRecord r;
    ASSERT_EQ(vantor->LoadVantorInfo(r.data()), 1);
    ASSERT_EQ(vantor->LoadVantorProfile(r.data(), Name("__default.xml")), 1);
    r.data()[ProfileOffset(r.data(), 2) + kDPI] = 9;
    ASSERT_EQ(vantor->SaveVantorProfile(r.data(), Name("broken.xml")), 1);
    const std::string working = WorkingFile();
    EXPECT_EQ(Cli({"restore", "broken"}), cli::kInvalidData);
    EXPECT_NE(err.find("Nothing was sent"), std::string::npos) << err;
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(WorkingFile(), working);
    test_support::WriteFile(Path("garbage.xml"), "<Vantor><Software");
    EXPECT_EQ(Cli({"restore", Path("garbage.xml")}), cli::kFileFailed);
    EXPECT_TRUE(log.empty());
}

TEST_F(CliTest, AMouseHoldingUnsavedSettingsIsCopiedBeforeItIsOverwritten) {
    Plug(ChangedMouse());
    const MouseState original = mouse->state();
    ASSERT_EQ(Cli({"restore", "__default"}), cli::kOk) << err;
    EXPECT_NE(err.find("mouse-2026-12-08-1030"), std::string::npos) << err;
    ASSERT_TRUE(fs::exists(device / "mouse-2026-12-08-1030.xml"));
    // The copy restores the mouse byte for byte.
    ASSERT_EQ(Cli({"restore", "mouse-2026-12-08-1030"}), cli::kOk) << err;
    EXPECT_EQ(mouse->state().segments, original.segments);
    // What was saved here last is not copied again.
    ASSERT_EQ(Cli({"set", "dpi", "1", "2"}), cli::kOk) << err;
    EXPECT_FALSE(fs::exists(device / "mouse-2026-12-08-1030-2.xml"));
}

// ---- set and switch ----

TEST_F(CliTest, SetWritesOnlyTheChangedButtonAndTheHeaders) {
    ASSERT_EQ(Cli({"set", "button", "2", "5", "dpi", "up"}), cli::kOk) << err;
    ASSERT_EQ(WrittenSegments().size(), 2u);
    EXPECT_EQ(WrittenSegments()[0], 0);
    ASSERT_EQ(Cli({"show"}), cli::kOk);
    const std::size_t profile2 = out.find("profile 2");
    ASSERT_NE(profile2, std::string::npos);
    EXPECT_NE(out.find("button 5: SWITCH DPI (up)", profile2), std::string::npos) << out;

    ASSERT_EQ(Cli({"set", "polling", "4", "1000"}), cli::kOk) << err;
    EXPECT_EQ(WrittenSegments(), std::vector<int>{0});
    EXPECT_EQ(mouse->state().segments[0][8 * 3 + kSensorPollRate], 2);
    ASSERT_EQ(Cli({"set", "dpi", "5", "800"}), cli::kOk) << err;
    EXPECT_EQ(mouse->state().segments[0][8 * 4 + kDPI], 1);
    // Setting what the mouse holds writes nothing.
    ASSERT_EQ(Cli({"set", "dpi", "5", "1"}), cli::kOk) << err;
    EXPECT_TRUE(WrittenSegments().empty());
}

TEST_F(CliTest, TheLastClickOfAProfileStays) {
    // Which slot holds profile 1's only CLICK, as the tool shows it.
    ASSERT_EQ(Cli({"show"}), cli::kOk);
    const std::size_t at = out.find(": CLICK\n");
    ASSERT_NE(at, std::string::npos) << out;
    const std::string button(1, out[at - 1]);
    const MouseState before = mouse->state();
    EXPECT_EQ(Cli({"set", "button", "1", button, "off"}), cli::kUsage);
    EXPECT_NE(err.find("CLICK"), std::string::npos) << err;
    EXPECT_TRUE(WrittenSegments().empty());
    EXPECT_EQ(mouse->state(), before);
}

TEST_F(CliTest, SwitchMakesAProfileActive) {
    ASSERT_EQ(Cli({"switch", "4"}), cli::kOk) << err;
    EXPECT_EQ(mouse->state().activeProfile, 3);
    EXPECT_EQ(Cli({"list"}), cli::kOk);
    EXPECT_NE(out.find("active profile 4"), std::string::npos) << out;
    Replug(FailKind(ReportKind::SwitchProfile));
    EXPECT_EQ(Cli({"switch", "2"}), cli::kDeviceFailed);
    EXPECT_NE(err.find("left as it was"), std::string::npos);
    EXPECT_EQ(mouse->state().activeProfile, 3);
}

// ---- failures while writing ----

TEST_F(CliTest, AWriteThatFailsSaysWhatWasWrittenAndKeepsTheWorkingFile) {
    const std::string working = WorkingFile();
    ProfileRecord r;
    ASSERT_EQ(vantor->LoadVantorInfo(r.data()), 1);
    ASSERT_EQ(vantor->LoadVantorProfile(r.data(), Name("__default.xml")), 1);
    r.data()[ButtonOffset(r.data(), 4, 2) + kFunID] = 6;
    ASSERT_EQ(vantor->SaveVantorProfile(r.data(), Name("five.xml")), 1);
    // Every data report of a segment write is refused: the first segment
    // (the headers, for the new checksum) fails.
    Replug(FailKind(ReportKind::SegmentData));
    EXPECT_EQ(Cli({"restore", "five"}), cli::kDeviceFailed);
    EXPECT_NE(err.find("segments written: none; not written: 0, 31"), std::string::npos) << err;
    EXPECT_NE(err.find("The working file was left as it was"), std::string::npos);
    EXPECT_EQ(WorkingFile(), working);
    EXPECT_FALSE(mouse->state().writeLocked) << "the lock is given back";

    Replug(FailKind(ReportKind::WriteLockOn));
    EXPECT_EQ(Cli({"restore", "five"}), cli::kDeviceFailed);
    EXPECT_NE(err.find("refused the write lock"), std::string::npos) << err;
    EXPECT_EQ(WorkingFile(), working);

    Replug({});
    EXPECT_EQ(Cli({"restore", "five"}), cli::kOk) << err;
    EXPECT_NE(WorkingFile(), working);
}

}  // namespace
