// Korelle.exe with the real Quillon.dll, under Wine inside the VM of the
// "hid" layer, against korelle-uhid-mouse: the device link's flows through
// the system's HID stack, checked with the device's trace as the emulator
// based tests check them (tests/e2e/main_e2e_test.cpp).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tests/test_support.h"

namespace {

using namespace e2e;

constexpr const char* kMain = KORELLE_WINDOW(IDC_MAIN_LOGO);
constexpr const char* kMenu = KORELLE_WINDOW(IDC_MENU_BUTTON_OFF);
// Wine under software emulation: a program's start takes far longer than
// the end-to-end layer's waits allow.
constexpr int kSlowMs = 300000;
const std::string kSlow = " " + std::to_string(kSlowMs);

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// One device for the whole suite, started by scripts/hid-inside.sh; each
// test gives it new memory, as a power cycle would.
class RealMouse : public ProgramFolderTest {
protected:
    // The mouse's memory made by the mouse tool ("create STATE ..."), read
    // by the device as at power-up, with an empty trace.
    void PlugMouse(const std::vector<std::string>& createArgs) {
        mouseState = Env("KORELLE_HID_DEVICE_STATE");
        control = Env("KORELLE_HID_DEVICE_CONTROL");
        ASSERT_FALSE(mouseState.empty() || control.empty()) << "run inside the VM (scripts/hid-inside.sh)";
        std::vector<std::string> args = {"create", mouseState.string()};
        args.insert(args.end(), createArgs.begin(), createArgs.end());
        if (createArgs == std::vector<std::string>{"default"}) args.push_back(folder.string());
        MouseTool(args);
        Command("reload");
        std::ofstream(TraceFile(), std::ios::trunc);
    }
    void Command(const std::string& text) {
        {
            std::ofstream out(control);
            out << text << "\n";
        }
        EXPECT_TRUE(WaitFor([&] { return !fs::exists(control); }, 5000)) << text;
    }

    void Start() {
        program = Run();
        WaitForMainWindow();
    }
    void WaitForMainWindow() {
        if (Driver("wait " KORELLE_WINDOW(IDC_MAIN_LOGO) " shown" + kSlow).code != 0)
            FAIL() << "no main window; " << Situation("no-main-window");
    }
    // What a wait that ran out saw: a screenshot, whether the program still
    // runs, a message in the way (its text; it is closed), the mouse's first
    // lines and the device's last reports.
    std::string Situation(const std::string& what) {
        Screenshot(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" + what + ".png");
        std::ostringstream s;
        s << "the program " << (program && WaitExit(program, 0) == -1 ? "runs" : "has ended")
          << "; the main window is " << (Driver("wait " + std::string(kMain) + " shown 0").code == 0 ? "" : "not ")
          << "shown; a message shows: \"" << Driver("skinned-box 1000 " KORELLE_ID(IDC_MSG_OK)).out << "\"\n";
        const std::string mouse = ShowMouse(), trace = ReadText(TraceFile());
        s << "the windows:\n" << Driver("windows").out << "\nas a new process sees them:\n"
          << Driver("windows", true).out << "\nthe mouse: " << mouse.substr(0, mouse.find('\n', mouse.find('\n') + 1))
          << "\nthe device's trace ends:\n" << trace.substr(trace.size() > 1500 ? trace.size() - 1500 : 0);
        return s.str();
    }
    void Quit() {
        EXPECT_EQ(Driver("quit" + kSlow).code, 0);
        EXPECT_EQ(WaitExit(program, kSlowMs), 0);
    }
    fs::path TraceFile() const { return fs::path(mouseState.string() + ".trace"); }
    fs::path WorkingFile() const { return DeviceFolder() / "__working.xml"; }
    // "set kind outcome" for every report of the trace.
    std::vector<std::string> Kinds() {
        std::vector<std::string> kinds;
        std::istringstream in(ReadText(TraceFile()));
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            std::string micros, direction, kind, sent, outcome;
            words >> micros >> direction >> kind >> sent >> outcome;
            kinds.push_back(direction + " " + kind + " " + outcome);
        }
        return kinds;
    }
    // The segments written ("segment-write") or asked for ("segment-read").
    std::vector<int> Segments(const std::string& kind) {
        std::vector<int> segments;
        std::istringstream in(ReadText(TraceFile()));
        for (std::string line; std::getline(in, line);) {
            const auto at = line.find(" set " + kind + " 0507");
            if (at != std::string::npos && line.find(" ok") != std::string::npos)
                segments.push_back(std::stoi(line.substr(at + 5 + kind.size() + 5, 2), nullptr, 16));
        }
        return segments;
    }
    // Label 3 (file position 5, segment 6) becomes RIGHT BUTTON, not applied.
    void ChangeOneButton() {
        ASSERT_TRUE(OpenFunctionMenu(3, kSlow)) << "no menu";
        DriverOut(std::string("command ") + kMenu + " " KORELLE_ID(IDC_MENU_RIGHT_BUTTON) + kWait);
        EXPECT_TRUE(WaitFor([&] {
            return DriverOut(std::string("text ") + kMain + " " KORELLE_ID(IDC_MAIN_LABEL_3)) == "RIGHT BUTTON";
        }));
    }
    void Apply() { DriverOut(std::string("command ") + kMain + " " KORELLE_ID(IDC_MAIN_APPLY) + kWait); }

    pid_t program = 0;
    fs::path control;
};

// The lock, segment 0 (nine gets) and the lock released: nothing more.
std::vector<std::string> OneSegmentRead() {
    std::vector<std::string> k = {"set lock-on ok", "set segment-read ok"};
    for (int i = 0; i < 9; ++i) k.push_back("get segment-read-data ok");
    k.push_back("set lock-off ok");
    return k;
}

TEST_F(RealMouse, AStartWithEqualChecksumsReadsOneSegment) {
    ASSERT_NO_FATAL_FAILURE(PlugMouse({"default"}));
    const std::string mouse = ShowMouse();
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(Driver("wait " KORELLE_WINDOW(IDC_MSG_TEXT) " gone 0").code, 0);  // no question
    Quit();
    EXPECT_EQ(Kinds(), OneSegmentRead());
    EXPECT_EQ(ShowMouse(), mouse);
}

TEST_F(RealMouse, ABlankMouseIsReadBackAndRewrittenInFull) {
    ASSERT_NO_FATAL_FAILURE(PlugMouse({"blank"}));
    program = Run();
    // Its data fails validation (DPI 0): the saved settings are rewritten.
    const DriverResult question = Driver("skinned-box" + kSlow + " " KORELLE_ID(IDC_MSG_OK));
    ASSERT_EQ(question.out, ShippedText("Str_SettingErr")) << Situation("no-question");
    // A copy of what the mouse held is kept first, and named.
    EXPECT_NE(DriverOut("skinned-box" + kSlow + " " KORELLE_ID(IDC_MSG_OK)).find("mouse-"), std::string::npos);
    ASSERT_NO_FATAL_FAILURE(WaitForMainWindow());
    // How evenly the reports came: the longest pause between two of them
    // is what the program's per-report time limit has to allow for.
    long long last = 0, longest = 0;
    std::size_t reports = 0;
    std::istringstream trace(ReadText(TraceFile()));
    for (std::string line; std::getline(trace, line); ++reports) {
        const long long micros = std::stoll(line);
        if (last) longest = std::max(longest, micros - last);
        last = micros;
    }
    std::cout << "[ reports  ] " << reports << ", longest pause " << longest / 1000 << " ms\n";
    std::vector<int> all;
    for (int s = 0; s <= 35; ++s) all.push_back(s);
    EXPECT_EQ(Segments("segment-read"), all);
    const std::vector<int> written = Segments("segment-write");
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.front(), 0);
    // The mouse now holds what a factory-fresh one holds.
    const fs::path reference = root / "reference.state";
    MouseTool({"create", reference.string(), "default", folder.string()});
    const std::string now = ShowMouse(), fresh = MouseTool({"show", reference.string()});
    EXPECT_EQ(now.substr(now.find('\n')), fresh.substr(fresh.find('\n')));
    EXPECT_EQ(Kinds().back(), "set switch ok");
}

TEST_F(RealMouse, OneButtonChangedAndAppliedWritesThatButton) {
    ASSERT_NO_FATAL_FAILURE(PlugMouse({"default"}));
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::string working = ReadText(WorkingFile());
    ChangeOneButton();
    fs::resize_file(TraceFile(), 0);
    Apply();
    ASSERT_TRUE(WaitFor([&] { return ReadText(WorkingFile()) != working; })) << "Apply saved nothing";
    EXPECT_EQ(Segments("segment-write"), (std::vector<int>{0, 6}));
    std::vector<std::string> expected = {"set lock-on ok"};
    for (int segment = 0; segment < 2; ++segment) {
        expected.push_back("set segment-write ok");
        for (int i = 0; i < 9; ++i) expected.push_back("set segment-data ok");
    }
    expected.push_back("set lock-off ok");
    expected.push_back("set switch ok");
    EXPECT_EQ(Kinds(), expected);
    EXPECT_NE(ShowMouse().find("button 5 (segment 6): index 5, function 0x02, parameter 0x00"), std::string::npos);
    Quit();
}

TEST_F(RealMouse, UnpluggedInTheMiddleOfApplyNothingIsLost) {
    ASSERT_NO_FATAL_FAILURE(PlugMouse({"default"}));
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::string working = ReadText(WorkingFile());
    const std::string mouse = ShowMouse();
    ChangeOneButton();
    fs::resize_file(TraceFile(), 0);
    // The lock, segment 0's header and two data reports arrive; the third
    // finds the mouse gone.
    Command("unplug-at 5");
    Apply();
    EXPECT_EQ(DriverOut("skinned-box" + kSlow + " " KORELLE_ID(IDC_MSG_OK)), ShippedText("Str_WriteHardwareErr"));
    EXPECT_EQ(Kinds(), (std::vector<std::string>{"set lock-on ok", "set segment-write ok", "set segment-data ok",
                                                  "set segment-data ok", "set segment-data unplugged"}));
    EXPECT_EQ(ReadText(WorkingFile()), working);
    EXPECT_EQ(ShowMouse(), mouse);
    EXPECT_EQ(DriverOut(std::string("text ") + kMain + " " KORELLE_ID(IDC_MAIN_LABEL_3)), "RIGHT BUTTON");

    // Plugged back: once Wine offers the mouse again (seconds later; asked
    // through the program's Quillon.dll), the same Apply writes the change.
    // An Apply before that would find no mouse and keep the change in the
    // working file only.
    Command("replug");
    // (Forward slashes: the driver's words lose their backslashes.)
    const DriverResult offered = Driver("mouse-present Z:" + (folder / "Quillon.dll").string() + " 60000");
    EXPECT_EQ(offered.code, 0) << "Wine does not offer the replugged mouse " << offered.out;
    fs::resize_file(TraceFile(), 0);
    Apply();
    ASSERT_TRUE(WaitFor([&] { return ReadText(WorkingFile()) != working; }, 60000)) << "Apply saved nothing";
    EXPECT_EQ(Segments("segment-write"), (std::vector<int>{0, 6}));
    EXPECT_NE(ShowMouse().find("button 5 (segment 6): index 5, function 0x02, parameter 0x00"), std::string::npos);
    Quit();
}

// The udev rule shipped for Linux users (assets/linux/70-korelle-mouse.rules,
// in force in the VM) tags this mouse's hidraw node for the seat's user.
TEST(UdevRule, TagsTheMouseNodeForTheSeatUser) {
    std::string node;
    for (const auto& entry : fs::directory_iterator("/sys/class/hidraw"))
        if (ReadText(entry.path() / "device" / "uevent").find("HID_ID=0003:00007A3D:0000006A") != std::string::npos)
            node = "/dev/" + entry.path().filename().string();
    ASSERT_FALSE(node.empty()) << "no hidraw node of the mouse";
    const test_support::ShellResult info = test_support::Shell("udevadm info --query=property --name=" + node);
    EXPECT_NE(info.out.find(":uaccess:"), std::string::npos) << info.out;
}

}  // namespace
