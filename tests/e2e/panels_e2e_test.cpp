// The two side panels under Wine: panel-demo.exe creates them as Korelle.exe
// does, beside a stand-in for the main window whose toggles (IDC_MAIN_RIGHT_TOGGLE,
// IDC_MAIN_LEFT_TOGGLE) open and close them. The driver watches the slides, steps the
// bars, drags the pointer-speed thumb with real pointer input, and reads
// the desktop settings back; screenshots go to the output folder.
//
// Wine keeps a process's copy of a desktop setting from its first read, so
// each test sets the values it starts from before the demo starts.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace {

using namespace e2e;

struct Rect {
    long left = 0, top = 0, right = 0, bottom = 0;
    long width() const { return right - left; }
    long height() const { return bottom - top; }
};

class Panels : public ProgramFolderTest {
protected:
    // The panels' windows are found by a control each holds.
    static constexpr const char* kMain = KORELLE_WINDOW(IDC_MAIN_RIGHT_TOGGLE);
    static constexpr const char* kRight = KORELLE_WINDOW(IDC_RIGHT_WHEEL_MORE);
    static constexpr const char* kLeft = KORELLE_WINDOW(IDC_LEFT_SPEED_LABEL);

    void SetDesktop(int wheelLines, int doubleClickMs, int speed) {
        DriverOut("spi set wheel " + std::to_string(wheelLines));
        DriverOut("spi set dblclick " + std::to_string(doubleClickMs));
        DriverOut("spi set speed " + std::to_string(speed));
    }

    // The prefix is shared by the run's tests: leave the settings as Wine's defaults.
    void TearDown() override {
        SetDesktop(3, 500, 10);
        ProgramFolderTest::TearDown();
    }

    void StartDemo() {
        demo = RunProgram(WindowsBuildFile("tests/e2e/panel-demo.exe"));
        ASSERT_EQ(Driver(std::string("wait ") + kMain + " shown" + kWait).code, 0) << "no stand-in main window";
        main = RectOf(kMain);
    }

    // Closes the stand-in; the demo then destroys the panels and ends with 0
    // when the left panel cleared its fields of the hook area.
    void QuitDemo() {
        DriverOut(std::string("post ") + kMain + " 0x10 0 0");
        EXPECT_EQ(WaitExit(demo, kTimeoutMs), 0);
    }

    Rect RectOf(const std::string& window, int id = 0) {
        std::istringstream in(DriverOut("rect " + window + (id ? " " + std::to_string(id) : "")));
        Rect r;
        in >> r.left >> r.top >> r.right >> r.bottom;
        return r;
    }

    struct SlideSeen {
        long ms = 0;
        int pictures = 0;
    };
    // Presses a toggle of the stand-in and watches the panel until the
    // control shows.
    SlideSeen Toggle(int toggle, const char* panel, int control) {
        const DriverResult r = Driver("slide " + std::string(kMain) + " " + std::to_string(toggle) + " " + panel + " " +
                                      std::to_string(control) + kWait);
        EXPECT_EQ(r.code, 0) << "the panel's controls never showed";
        SlideSeen seen;
        std::istringstream(r.out) >> seen.ms >> seen.pictures;
        return seen;
    }

    bool Visible(const char* window, int id) { return DriverOut(std::string("visible ") + window + " " + std::to_string(id)) == "1"; }
    int Setting(const char* name) { return std::stoi(DriverOut(std::string("spi get ") + name)); }
    void Command(const char* window, int id) {
        DriverOut(std::string("command ") + window + " " + std::to_string(id) + kWait);
    }
    std::string Hash(const char* window, int id) { return DriverOut(std::string("hash ") + window + " " + std::to_string(id)); }

    // The settings the panels wrote, as "ACTION UIPARAM PVPARAM FLAGS".
    std::vector<std::string> Writes() {
        std::vector<std::string> lines;
        std::ifstream in(folder / "panel-demo-calls.txt");
        for (std::string line; std::getline(in, line);)
            if (!line.empty()) lines.push_back(line.back() == '\r' ? line.substr(0, line.size() - 1) : line);
        return lines;
    }

    // The hook area names a window and no thumb drag is in progress.
    bool DragFlagClear() {
        const std::string area = DriverOut("hook-area");
        return area.rfind("panel ", 0) == 0 && area.find("panel 0 ") == std::string::npos &&
               area.size() > 7 && area.substr(area.size() - 7) == " drag 0";
    }

    pid_t demo = 0;
    Rect main;
};

TEST_F(Panels, EachToggleSlidesItsPanelOutBesideTheMainWindowAndBackIn) {
    SetDesktop(3, 500, 10);
    StartDemo();
    EXPECT_FALSE(Visible(kRight, IDC_RIGHT_WHEEL_MORE));

    const SlideSeen right = Toggle(IDC_MAIN_RIGHT_TOGGLE, kRight, IDC_RIGHT_WHEEL_MORE);
    // The driver saw the panel change picture while it slid out.
    EXPECT_GE(right.pictures, 5) << right.ms << " ms";
    const Rect r = RectOf(kRight);
    EXPECT_EQ(r.left, main.left + 380);
    EXPECT_EQ(r.top, main.top + 220);
    EXPECT_EQ(r.width(), 272);
    EXPECT_EQ(r.height(), 322);
    EXPECT_EQ(DriverOut(std::string("layered ") + kRight), "key 00FF7F");  // 0x7FFF00 as a colour value
    for (int id : {IDC_RIGHT_DBLCLICK_SHORTER, IDC_RIGHT_DBLCLICK_LONGER, IDC_RIGHT_WHEEL_MORE, IDC_RIGHT_WHEEL_FEWER})
        EXPECT_TRUE(Visible(kRight, id)) << id;
    for (int id : {IDC_RIGHT_SENSITIVE_RAISE, IDC_RIGHT_SENSITIVE_LOWER, IDC_RIGHT_SENSITIVE_ON, IDC_RIGHT_SCROLL_ON,
                   IDC_RIGHT_SHOW_ON_SCREEN, IDC_RIGHT_SCROLL_LABEL, IDC_RIGHT_SENSITIVE_LABEL})
        EXPECT_FALSE(Visible(kRight, id)) << id;
    EXPECT_EQ(DriverOut(std::string("text ") + kRight + " " KORELLE_ID(IDC_RIGHT_WHEEL_MORE)), "SCROLL");
    EXPECT_EQ(DriverOut(std::string("text ") + kRight + " " KORELLE_ID(IDC_RIGHT_DBLCLICK_LONGER)), "CLICK SPEED");

    const SlideSeen left = Toggle(IDC_MAIN_LEFT_TOGGLE, kLeft, IDC_LEFT_SPEED_LABEL);
    EXPECT_GE(left.pictures, 3) << left.ms << " ms";
    const Rect l = RectOf(kLeft);
    EXPECT_EQ(l.left, main.left - 115);
    EXPECT_EQ(l.top, main.top + 50);
    EXPECT_EQ(l.width(), 200);
    EXPECT_EQ(l.height(), 270);
    EXPECT_EQ(DriverOut(std::string("layered ") + kLeft), "key 808080");
    EXPECT_EQ(DriverOut(std::string("text ") + kLeft + " " KORELLE_ID(IDC_LEFT_SPEED_LABEL)), "POINTER SPEED");
    // Speed 10 is level 4 of the track.
    const Rect thumb = RectOf(kLeft, IDC_LEFT_SPEED_THUMB);
    EXPECT_EQ(thumb.left - l.left, 74);
    EXPECT_EQ(thumb.top - l.top, 77);
    for (int id : {IDC_LEFT_Y_RATE_THUMB, IDC_LEFT_X_RATE_THUMB, IDC_LEFT_ENABLE_XY})
        EXPECT_FALSE(Visible(kLeft, id)) << id;
    Screenshot("panels-both-open.png");
    std::cout << "slide out: right " << right.ms << " ms (" << right.pictures << " pictures seen), left " << left.ms
              << " ms (" << left.pictures << ")\n";

    // Both follow the main window when it moves.
    DriverOut(std::string("move ") + kMain + " 300 180");
    EXPECT_EQ(Driver(std::string("wait ") + kMain + " shown" + kWait).code, 0);
    const Rect moved = RectOf(kMain);
    ASSERT_EQ(moved.left, 300);
    bool followed = false;
    for (int i = 0; i < 20 && !followed; ++i)
        followed = RectOf(kRight).left == 300 + 400 && RectOf(kLeft).left == 300 - 115;
    EXPECT_TRUE(followed);
    EXPECT_EQ(RectOf(kRight).top, 180 + 220);
    EXPECT_EQ(RectOf(kLeft).top, 180 + 50);

    Command(kMain, IDC_MAIN_RIGHT_TOGGLE);
    Command(kMain, IDC_MAIN_LEFT_TOGGLE);
    EXPECT_EQ(Driver(std::string("wait ") + kRight + " hidden" + kWait).code, 0);
    EXPECT_EQ(Driver(std::string("wait ") + kLeft + " hidden" + kWait).code, 0);
    // And out again from closed.
    Toggle(IDC_MAIN_RIGHT_TOGGLE, kRight, IDC_RIGHT_WHEEL_MORE);
    EXPECT_EQ(RectOf(kRight).left, 300 + 380);
    QuitDemo();
}

TEST_F(Panels, BarStepsChangeWhatTheSystemReports) {
    SetDesktop(3, 250, 10);
    StartDemo();
    Toggle(IDC_MAIN_RIGHT_TOGGLE, kRight, IDC_RIGHT_WHEEL_MORE);
    DriverOut("pointer 5 5");  // off the bars: they show their normal images

    std::string bar = Hash(kRight, IDC_RIGHT_WHEEL_MORE);
    Command(kRight, IDC_RIGHT_WHEEL_MORE);
    EXPECT_EQ(Setting("wheel"), 5);
    const std::string frame2 = Hash(kRight, IDC_RIGHT_WHEEL_MORE);
    EXPECT_NE(frame2, bar) << "the wheel bar kept its frame";
    Command(kRight, IDC_RIGHT_DBLCLICK_SHORTER);
    EXPECT_EQ(Setting("dblclick"), 200);
    Command(kRight, IDC_RIGHT_DBLCLICK_SHORTER);
    EXPECT_EQ(Setting("dblclick"), 200);

    // Up to 20 lines, where the bar stops at its last frame.
    for (int i = 0; i < 8; ++i) Command(kRight, IDC_RIGHT_WHEEL_MORE);
    EXPECT_EQ(Setting("wheel"), 20);
    bar = Hash(kRight, IDC_RIGHT_WHEEL_MORE);
    Command(kRight, IDC_RIGHT_WHEEL_MORE);
    EXPECT_EQ(Setting("wheel"), 20);
    EXPECT_EQ(Hash(kRight, IDC_RIGHT_WHEEL_MORE), bar);
    Command(kRight, IDC_RIGHT_WHEEL_FEWER);
    EXPECT_EQ(Setting("wheel"), 18);
    Screenshot("panels-right-open.png");

    // Real clicks on the double-click bar's buttons. Under Wine the main
    // window's see-through pixels do not let clicks through to the panel
    // below, so the panel is moved out from under it first.
    DriverOut(std::string("move ") + kRight + " " + std::to_string(main.right + 10) + " " + std::to_string(main.top));
    DriverOut(std::string("click ") + kRight + " " KORELLE_ID(IDC_RIGHT_DBLCLICK_LONGER));
    EXPECT_EQ(Setting("dblclick"), 300);
    DriverOut(std::string("click ") + kRight + " " KORELLE_ID(IDC_RIGHT_DBLCLICK_SHORTER));
    EXPECT_EQ(Setting("dblclick"), 200);

    const std::vector<std::string> writes = Writes();
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.front(), "105 5 0 1");  // action 105, the lines first, update the profile
    EXPECT_EQ(writes.back(), "32 200 0 1");
    QuitDemo();
}

TEST_F(Panels, DraggingThePointerThumbWritesTheSpeedOfItsLevel) {
    SetDesktop(3, 500, 10);
    StartDemo();
    Toggle(IDC_MAIN_LEFT_TOGGLE, kLeft, IDC_LEFT_SPEED_LABEL);
    const Rect panel = RectOf(kLeft);
    EXPECT_TRUE(DragFlagClear());

    // A hook message while no thumb is dragged moves nothing and writes nothing.
    const long levelZeroY = panel.top + 200;
    const std::string point = std::to_string((panel.left + 50) << 16 | levelZeroY);
    DriverOut(std::string("post ") + kLeft + " 0x465 0x200 " + point);
    DriverOut(std::string("post ") + kLeft + " 0x465 0x202 " + point);
    Rect thumb = RectOf(kLeft, IDC_LEFT_SPEED_THUMB);
    EXPECT_EQ(thumb.top - panel.top, 77);
    EXPECT_TRUE(Writes().empty());

    // Pressed on the thumb's middle and dropped at client y 54: level 7.
    DriverOut("drag " + std::to_string((thumb.left + thumb.right) / 2) + " " + std::to_string((thumb.top + thumb.bottom) / 2) +
              " " + std::to_string(panel.left + 120) + " " + std::to_string(panel.top + 54));
    thumb = RectOf(kLeft, IDC_LEFT_SPEED_THUMB);
    EXPECT_EQ(thumb.left - panel.left, 102);
    EXPECT_EQ(thumb.top - panel.top, 51);
    EXPECT_EQ(Writes(), std::vector<std::string>{"113 0 16 1"});  // speed 2 x 7 + 2, as the pointer argument
    EXPECT_TRUE(DragFlagClear());
    Screenshot("panels-left-open.png");

    // A click on the thumb without moving it writes nothing.
    DriverOut(std::string("click ") + kLeft + " " KORELLE_ID(IDC_LEFT_SPEED_THUMB));
    EXPECT_EQ(Writes().size(), 1u);
    EXPECT_EQ(RectOf(kLeft, IDC_LEFT_SPEED_THUMB).top - panel.top, 51);

    // Above the track's top: level 9, speed 20.
    const std::string middle = std::to_string((thumb.left + thumb.right) / 2) + " " + std::to_string((thumb.top + thumb.bottom) / 2);
    DriverOut("drag " + middle + " " + std::to_string(panel.left + 150) + " " + std::to_string(panel.top + 10));
    thumb = RectOf(kLeft, IDC_LEFT_SPEED_THUMB);
    EXPECT_EQ(thumb.left - panel.left, 124);
    EXPECT_EQ(thumb.top - panel.top, 36);
    const std::vector<std::string> writes = Writes();
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.back(), "113 0 20 1");
    QuitDemo();
}

TEST_F(Panels, TheHiddenCheckBoxAnswersThatTheFunctionIsNotSupported) {
    SetDesktop(3, 500, 10);
    StartDemo();
    Toggle(IDC_MAIN_LEFT_TOGGLE, kLeft, IDC_LEFT_SPEED_LABEL);
    Command(kLeft, IDC_LEFT_ENABLE_XY);
    EXPECT_EQ(DriverOut("skinned-box" + kWait + " " KORELLE_ID(IDC_MSG_OK)), "This function is not supported.");
    EXPECT_EQ(Driver(std::string("wait " KORELLE_WINDOW(IDC_MSG_TEXT) " gone") + kWait).code, 0);
    EXPECT_FALSE(Visible(kLeft, IDC_LEFT_ENABLE_XY));
    EXPECT_TRUE(Visible(kLeft, IDC_LEFT_SPEED_LABEL));
    QuitDemo();
}

TEST_F(Panels, KorelleCreatesBothPanelsHiddenAndNamesTheLeftOneInTheHookArea) {
    UseEmulatedMouse();
    const pid_t pid = Run();
    EXPECT_EQ(Driver(std::string("wait ") + kRight + " hidden" + kWait).code, 0);
    EXPECT_EQ(Driver(std::string("wait ") + kLeft + " hidden" + kWait).code, 0);
    // The left panel names itself while it initialises.
    EXPECT_TRUE(WaitFor([&] { return DragFlagClear(); })) << DriverOut("hook-area");
    // Made after the main window, the panels still own it in a chain and
    // lie below it: main, left, right.
    auto owner = [](const char* window) {  // the window, its owner, its place
        std::istringstream words(DriverOut(std::string("owner ") + window));
        std::vector<std::string> out(3);
        words >> out[0] >> out[1] >> out[2];
        return out;
    };
    const auto chained = [&] {
        const auto main = owner(kMain), left = owner(kLeft), right = owner(kRight);
        return main[1] == left[0] && left[1] == right[0] && main[2] == "above" && left[2] == "above";
    };
    EXPECT_TRUE(WaitFor(chained)) << "main, left, right: " << DriverOut(std::string("owner ") + kMain) << "; "
                                  << DriverOut(std::string("owner ") + kLeft) << "; "
                                  << DriverOut(std::string("owner ") + kRight);
    EXPECT_EQ(Driver("quit" + kWait).code, 0);
    EXPECT_EQ(WaitExit(pid, kTimeoutMs), 0);
}

}  // namespace
