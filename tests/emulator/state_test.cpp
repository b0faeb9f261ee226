// The state file and the mouse kept in it across runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "emulator/emulated_mouse.h"
#include "emulator/state_file.h"
#include "profile_store/platform/file_replace.h"
#include "tests/emulator/mouse_host.h"
#include "tests/test_support.h"

using emulator::EmulatedMouse;
using emulator::EmulatorSettings;
using emulator::MouseState;
using mouse_host::Pattern;
using mouse_host::ReadSegment;
using mouse_host::WriteSegment;
using test_support::TempDir;

namespace {

MouseState OddState() {
    MouseState s;
    s.activeProfile = 7;  // invalid on purpose: a state may hold anything
    s.hardwareVersion = 255;
    s.firmwareVersion = 0;
    s.writeLocked = true;
    s.segments[0].fill(0xFF);
    s.segments[35] = Pattern(35);
    return s;
}

TEST(StateFile, HoldsEveryValueExactly) {
    const MouseState s = OddState();
    MouseState back;
    std::string error;
    ASSERT_TRUE(emulator::ParseState(emulator::FormatState(s), back, error)) << error;
    EXPECT_EQ(back, s);
}

TEST(StateFile, RefusesIncompleteOrMalformedText) {
    const std::string good = emulator::FormatState(OddState());
    auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string segment7 = good.substr(good.find("segment 7 "), 139);
    const std::pair<std::string, const char*> cases[] = {
        {replaced(segment7, ""), "segment 7 is missing"},
        {good + segment7, "segment 7 appears twice"},
        {replaced("segment 7 00", "segment 7 0"), "segment 7 needs 128 hex digits"},
        {replaced("segment 7 00", "segment 7 0g"), "segment 7 needs 128 hex digits"},
        {replaced("write-lock 1", "write-lock 2"), "write-lock needs a number from 0 to 1"},
        {replaced("hardware 255", "hardware 256"), "hardware needs a number"},
        {replaced("hardware 255", "colour 3"), "unknown entry"},
        {replaced("active-profile 7\n", ""), "are all needed"},
        {replaced("korelle-emulated-mouse 1", "korelle-emulated-mouse 2"), "not an emulated mouse state"},
        {"", "empty state"},
    };
    for (const auto& [text, reason] : cases) {
        MouseState s;
        std::string error;
        EXPECT_FALSE(emulator::ParseState(text, s, error)) << reason;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
    // Comments and blank lines are fine.
    MouseState s;
    std::string error;
    EXPECT_TRUE(emulator::ParseState("# a mouse\n\n" + good, s, error)) << error;
}

TEST(StateFile, SavingReplacesTheFileAndLeavesNoTemporary) {
    TempDir dir;
    const std::string path = dir.file("m.state");
    test_support::WriteFile(path, "old content");
    std::string error;
    ASSERT_TRUE(emulator::SaveStateFile(path, OddState(), error)) << error;
    MouseState back;
    ASSERT_TRUE(emulator::LoadStateFile(path, back, error)) << error;
    EXPECT_EQ(back, OddState());
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
    EXPECT_FALSE(emulator::LoadStateFile(dir.file("none.state"), back, error));
}

// Stops a save after its temporary file is written, as a power loss would.
std::string g_seenTemp, g_seenTarget;
bool StopBeforeReplace(const char* temp, const char* target) {
    g_seenTemp = test_support::ReadFile(temp);
    g_seenTarget = test_support::ReadFile(target);
    return false;
}

TEST(StateFile, SaveInterruptedBeforeTheReplaceKeepsTheOldState) {
    TempDir dir;
    const std::string path = dir.file("m.state");
    std::string error;
    ASSERT_TRUE(emulator::SaveStateFile(path, MouseState{}, error)) << error;
    const std::string before = test_support::ReadFile(path);

    platform::SetReplaceHook(&StopBeforeReplace);
    const bool saved = emulator::SaveStateFile(path, OddState(), error);
    platform::SetReplaceHook(nullptr);
    EXPECT_FALSE(saved);
    EXPECT_EQ(g_seenTarget, before);
    MouseState written;
    EXPECT_TRUE(emulator::ParseState(g_seenTemp, written, error)) << error;
    EXPECT_EQ(written, OddState());
    EXPECT_EQ(test_support::ReadFile(path), before);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

class FileMouse : public ::testing::Test {
protected:
    FileMouse() {
        settings.statePath = dir.file("mouse.state");
        settings.tracePath = dir.file("mouse.trace");
        std::string error;
        EXPECT_TRUE(emulator::SaveStateFile(settings.statePath, MouseState{}, error)) << error;
    }
    std::unique_ptr<EmulatedMouse> Open() {
        std::string error;
        auto mouse = EmulatedMouse::Open(settings, error);
        EXPECT_TRUE(mouse) << error;
        return mouse;
    }

    TempDir dir;
    EmulatorSettings settings;
};

TEST_F(FileMouse, IsTheSameMouseAfterARestart) {
    {
        auto mouse = Open();
        ASSERT_TRUE(mouse);
        ASSERT_TRUE(mouse->SetReport(protocol::WriteLockOnReport));
        ASSERT_TRUE(WriteSegment(*mouse, 9, Pattern(9)));
        ASSERT_TRUE(mouse->SetReport(protocol::SwitchProfileReport(2)));
    }
    auto mouse = Open();
    ASSERT_TRUE(mouse);
    EXPECT_EQ(ReadSegment(*mouse, 9), Pattern(9));
    EXPECT_EQ(mouse->state().activeProfile, 2);
    EXPECT_TRUE(mouse->state().writeLocked);  // never released
    // Each run appended its reports: 1 + 10 + 1, then 1 + 9.
    std::ifstream trace(settings.tracePath);
    std::string line;
    int lines = 0;
    while (std::getline(trace, line)) {
        EXPECT_TRUE(emulator::ParseTraceLine(line)) << line;
        ++lines;
    }
    EXPECT_EQ(lines, 22);
}

TEST_F(FileMouse, AChangeThatCannotBeSavedIsUndoneAndFails) {
    settings.tracePath = (dir.path().parent_path() / (dir.path().filename().string() + ".trace")).string();
    auto mouse = Open();
    ASSERT_TRUE(mouse);
    ASSERT_TRUE(mouse->SetReport(protocol::WriteLockOnReport));
    std::filesystem::remove_all(dir.path());  // nowhere to save now
    EXPECT_FALSE(mouse->SetReport(protocol::SwitchProfileReport(3)));
    EXPECT_EQ(mouse->state().activeProfile, 0);
    EXPECT_FALSE(mouse->lastError().empty());
    mouse.reset();
    std::ifstream trace(settings.tracePath);
    std::string first, second;
    std::getline(trace, first);
    std::getline(trace, second);
    const auto entry = emulator::ParseTraceLine(second);
    ASSERT_TRUE(entry) << second;
    EXPECT_EQ(entry->outcome, emulator::Outcome::NotSaved);
    trace.close();
    std::filesystem::remove(settings.tracePath);
}

TEST_F(FileMouse, WillNotStartFromABrokenStateFile) {
    test_support::WriteFile(settings.statePath, "korelle-emulated-mouse 1\nhardware 1\n");
    std::string error;
    EXPECT_FALSE(EmulatedMouse::Open(settings, error));
    EXPECT_NE(error.find("mouse.state"), std::string::npos) << error;
}

}  // namespace
