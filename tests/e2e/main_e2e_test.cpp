// The main window under Wine on the emulated mouse: the label clicks and
// the function menu, the last-left-click refusal, a function applied to the
// mouse and the working file, the DPI and profile dialogs, the profile
// buttons, Abandon, Close, and the start against a mouse holding other
// settings. Real pointer clicks for the labels; commands for the buttons.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "tests/e2e/e2e_support.h"

namespace {

using namespace e2e;

constexpr const char* kMain = KORELLE_WINDOW(IDC_MAIN_LOGO);     // the logo: only the main window has it
constexpr const char* kMenu = KORELLE_WINDOW(IDC_MENU_BUTTON_OFF);
constexpr const char* kDpiDialog = KORELLE_WINDOW(IDC_DPI_APPLY);
constexpr const char* kProfileDialog = KORELLE_WINDOW(IDC_PROFILE_APPLY);

std::string Label(int button) { return std::to_string(IDC_MAIN_LABEL_0 + button); }

// "path@attribute old -> new" for every attribute two documents of the same
// shape disagree on.
std::vector<std::string> AttributeChanges(const std::string& before, const std::string& after) {
    pugi::xml_document a, b;
    a.load_string(before.c_str());
    b.load_string(after.c_str());
    std::vector<std::string> changes;
    struct Walk {
        std::vector<std::string>& out;
        void operator()(pugi::xml_node x, pugi::xml_node y, const std::string& path) {
            for (pugi::xml_attribute at : x.attributes()) {
                const std::string other = y.attribute(at.name()).value();
                if (other != at.value()) out.push_back(path + "@" + at.name() + " " + at.value() + " -> " + other);
            }
            pugi::xml_node cy = y.first_child();
            int i = 0;
            for (pugi::xml_node cx = x.first_child(); cx; cx = cx.next_sibling(), cy = cy.next_sibling(), ++i)
                (*this)(cx, cy, path + "/" + cx.name() + "[" + std::to_string(i) + "]");
        }
    } walk{changes};
    walk(a.document_element(), b.document_element(), a.document_element().name());
    return changes;
}

// Lines of one text that the other lacks.
std::vector<std::string> ChangedLines(const std::string& before, const std::string& after) {
    std::multiset<std::string> old;
    std::istringstream in(before), out(after);
    for (std::string line; std::getline(in, line);) old.insert(line);
    std::vector<std::string> changed;
    for (std::string line; std::getline(out, line);) {
        auto it = old.find(line);
        if (it == old.end())
            changed.push_back(line);
        else
            old.erase(it);
    }
    return changed;
}

class MainWindow : public KorelleTest {
protected:
    fs::path TraceFile() const { return fs::path(mouseState.string() + ".trace"); }
    fs::path WorkingFile() const { return DeviceFolder() / "__working.xml"; }
    // The segments the program wrote ("segment-write") or asked for
    // ("segment-read") since the trace was last cleared.
    std::vector<int> Segments(const std::string& kind) {
        std::vector<int> segments;
        std::istringstream trace(MouseTool({"trace", TraceFile().string()}));
        for (std::string line; std::getline(trace, line);) {
            const auto at = line.find(" set 05 07 ");
            if (at != std::string::npos && line.find(" " + kind + " ") != std::string::npos)
                segments.push_back(std::stoi(line.substr(at + 11, 2), nullptr, 16));
        }
        return segments;
    }
    std::string LabelText(int button) { return DriverOut(std::string("text ") + kMain + " " + Label(button)); }
    void ClickLabel(int button, bool twice = false) {
        DriverOut(std::string("click ") + kMain + " " + Label(button) + (twice ? " double" : ""));
    }
    void Command(const char* window, int id) {
        DriverOut(std::string("command ") + window + " " + std::to_string(id) + kWait);
    }
    bool ClickAndWait(int button, bool twice, const std::string& wait) {
        return e2e::ClickAndWait(std::string(kMain) + " " + Label(button) + (twice ? " double" : ""), wait);
    }
    // Opens the menu on a label and chooses an item.
    void Choose(int button, int item) {
        ASSERT_TRUE(OpenFunctionMenu(button)) << "no menu";
        Command(kMenu, item);
    }
    bool MouseShows(const std::string& text) { return ShowMouse().find(text) != std::string::npos; }
};

TEST_F(MainWindow, LabelClicksShowAndHideTheMenuAndTheLastLeftClickIsKept) {
    Start();
    EXPECT_EQ(LabelText(0), "CLICK");
    Screenshot("main-window.png");

    ASSERT_TRUE(OpenFunctionMenu(3));
    // The fade ends in colour-key transparency, fully opaque.
    EXPECT_TRUE(WaitFor([&] { return DriverOut(std::string("layered ") + kMenu) == "key 808080"; }));
    Screenshot("main-menu.png");

    // The menu follows the main window; a label under the pointer lights
    // its line, and only that one.
    const std::string at = DriverOut(std::string("rect ") + kMain);
    int left = 0, top = 0;
    std::sscanf(at.c_str(), "%d %d", &left, &top);
    DriverOut(std::string("move ") + kMain + " " + std::to_string(left + 40) + " " + std::to_string(top + 30));
    const std::string expected = std::to_string(left + 40 + 192) + " " + std::to_string(top + 30 + 80);
    EXPECT_TRUE(WaitFor([&] { return DriverOut(std::string("rect ") + kMenu).rfind(expected, 0) == 0; }))
        << DriverOut(std::string("rect ") + kMenu) << " expected at " << expected;
    DriverOut(std::string("point ") + kMain + " " + Label(4));
    EXPECT_TRUE(
        WaitFor([&] { return DriverOut(std::string("visible ") + kMain + " " KORELLE_ID(IDC_MAIN_LINE_4)) == "1"; }));
    for (int line = IDC_MAIN_LINE_0; line <= IDC_MAIN_LINE_6; ++line) {
        const std::string shown = line == IDC_MAIN_LINE_4 ? "1" : "0";
        EXPECT_EQ(DriverOut(std::string("visible ") + kMain + " " + std::to_string(line)), shown) << line;
    }

    EXPECT_TRUE(ClickAndWait(3, false, std::string("wait ") + kMenu + " hidden" + kWait));

    // BUTTON OFF for the profile's only CLICK button is refused.
    const std::string mouse = ShowMouse();
    Choose(0, IDC_MENU_BUTTON_OFF);
    EXPECT_EQ(DriverOut("skinned-box" + kWait + " " KORELLE_ID(IDC_MSG_OK)), ShippedText("Str_Need1Button"));
    EXPECT_EQ(LabelText(0), "CLICK");
    Command(kMain, IDC_MAIN_APPLY);  // nothing to write
    Quit();
    EXPECT_EQ(ShowMouse(), mouse);
}

TEST_F(MainWindow, ARightButtonAppliedWritesExactlyThatButton) {
    Start();
    const std::string mouse = ShowMouse();
    const std::string working = ReadText(WorkingFile());
    // Label 3 shows slot 3, which the button map puts at file position 5.
    EXPECT_EQ(LabelText(3), "BUTTON 4");
    Choose(3, IDC_MENU_RIGHT_BUTTON);
    EXPECT_TRUE(WaitFor([&] { return LabelText(3) == "RIGHT BUTTON"; }));
    // The running emulator appends to its trace: empty it in place.
    fs::resize_file(TraceFile(), 0);
    Command(kMain, IDC_MAIN_APPLY);
    ASSERT_TRUE(WaitFor([&] { return ReadText(WorkingFile()) != working; })) << "Apply saved nothing";

    // Segment 0 (the checksum) and the button's own segment, nothing else.
    EXPECT_EQ(Segments("segment-write"), (std::vector<int>{0, 6}));
    const std::vector<std::string> lines = ChangedLines(mouse, ShowMouse());
    ASSERT_EQ(lines.size(), 2u) << ShowMouse();
    EXPECT_EQ(lines[0].rfind("profile 0: index 0, DPI 1, poll rate 2, checksum", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "  button 5 (segment 6): index 5, function 0x02, parameter 0x00");
    const std::vector<std::string> file = AttributeChanges(working, ReadText(WorkingFile()));
    ASSERT_EQ(file.size(), 2u);
    EXPECT_NE(file[0].find("/Profile1[1]/HardWareDesc[0]@Dummy 5317 -> "), std::string::npos) << file[0];
    EXPECT_NE(file[1].find("/Profile1[1]/Buttons[1]/Button6[5]@FunID 0x4 -> 0x2"), std::string::npos) << file[1];
    Quit();
}

TEST_F(MainWindow, SwitchDpiOpensItsDialogAndARestartFindsTheMouseInStep) {
    Start();
    Choose(1, IDC_MENU_SWITCH_DPI);
    ASSERT_EQ(Driver(std::string("wait ") + kDpiDialog + " shown" + kWait).code, 0) << "no DPI dialog";
    EXPECT_EQ(DriverOut(std::string("check ") + kDpiDialog + " " KORELLE_ID(IDC_DPI_800)),
              "1");  // a fresh button shows 800
    EXPECT_EQ(DriverOut(std::string("text ") + kDpiDialog + " " KORELLE_ID(IDC_DPI_BUTTON_NUMBER)), "2");
    // The menu goes and takes no clicks while the dialog is open; a choice
    // that still arrives changes nothing and opens no second dialog.
    EXPECT_EQ(Driver(std::string("wait ") + kMenu + " hidden" + kWait).code, 0) << "the menu stays up";
    EXPECT_EQ(DriverOut(std::string("enabled ") + kMenu), "0");
    Command(kMenu, IDC_MENU_SELECT_PROFILE);
    EXPECT_NE(Driver(std::string("wait ") + kProfileDialog + " shown 500").code, 0) << "a second dialog opened";
    EXPECT_EQ(LabelText(1), "SWITCH DPI");
    Screenshot("dpi-dialog.png");
    Command(kDpiDialog, IDC_DPI_UP);
    EXPECT_TRUE(
        WaitFor([&] { return DriverOut(std::string("check ") + kDpiDialog + " " KORELLE_ID(IDC_DPI_UP)) == "1"; }));
    Command(kDpiDialog, IDC_DPI_APPLY);
    EXPECT_EQ(Driver(std::string("wait ") + kDpiDialog + " gone" + kWait).code, 0);
    Command(kMain, IDC_MAIN_APPLY);
    EXPECT_TRUE(WaitFor([&] { return MouseShows("button 1 (segment 2): index 1, function 0x07, parameter 0x08"); }));
    Quit();

    // Equal checksums: the start reads segment 0 only and asks nothing.
    fs::remove(TraceFile());
    Start();
    EXPECT_EQ(Segments("segment-read"), std::vector<int>{0});
    EXPECT_EQ(Driver("wait " KORELLE_WINDOW(IDC_MSG_TEXT) " gone 0").code, 0);
    EXPECT_EQ(LabelText(1), "SWITCH DPI");

    // A double click opens the detail dialog without showing the menu.
    ASSERT_TRUE(ClickAndWait(1, true, std::string("wait ") + kDpiDialog + " shown" + kWait));
    EXPECT_EQ(DriverOut(std::string("check ") + kDpiDialog + " " KORELLE_ID(IDC_DPI_UP)), "1");
    EXPECT_NE(Driver(std::string("wait ") + kMenu + " shown 0").code, 0);
    Command(kDpiDialog, IDC_DPI_CLOSE);
    EXPECT_EQ(Driver(std::string("wait ") + kDpiDialog + " gone" + kWait).code, 0);
    Quit();
}

TEST_F(MainWindow, ProfileDialogProfileButtonsAndAbandon) {
    Start();
    Choose(2, IDC_MENU_SELECT_PROFILE);
    ASSERT_EQ(Driver(std::string("wait ") + kProfileDialog + " shown" + kWait).code, 0) << "no profile dialog";
    EXPECT_EQ(DriverOut(std::string("check ") + kProfileDialog + " " KORELLE_ID(IDC_PROFILE_CHOICE_0)), "1");
    Screenshot("profile-dialog.png");
    // The title holds its mark (14 pixels) and its whole text on one line.
    const TextExtent title = MeasureText(kProfileDialog, IDC_PROFILE_TITLE);
    EXPECT_LE(title.line + 14, title.width) << "the title is cut";
    Command(kProfileDialog, IDC_PROFILE_CANCEL);
    EXPECT_EQ(Driver(std::string("wait ") + kProfileDialog + " gone" + kWait).code, 0);
    EXPECT_EQ(LabelText(2), "SELECT PROFILE");

    Command(kMain, IDC_MAIN_ABANDON);
    EXPECT_TRUE(WaitFor([&] { return LabelText(2) == "MIDDLE BUTTON"; }));

    Command(kMain, IDC_MAIN_PROFILE_2);  // profile 3
    EXPECT_TRUE(WaitFor([&] { return MouseShows("active profile 2"); }));
    EXPECT_EQ(DriverOut(std::string("check ") + kMain + " " KORELLE_ID(IDC_MAIN_PROFILE_2)), "1");
    EXPECT_EQ(DriverOut(std::string("check ") + kMain + " " KORELLE_ID(IDC_MAIN_PROFILE_0)), "0");
    Quit();
}

TEST_F(MainWindow, CloseWithAChangeAsksAndNoQuitsWithoutWriting) {
    Start();
    const std::string mouse = ShowMouse();
    const std::string working = ReadText(WorkingFile());
    Command(kMain, IDC_MAIN_POLLING_0);  // polling 100
    Command(kMain, IDC_MAIN_CLOSE);
    EXPECT_EQ(DriverOut("skinned-box" + kWait + " " KORELLE_ID(IDC_MSG_NO)), ShippedText("Str_DataChange"));
    EXPECT_EQ(WaitExit(program, kTimeoutMs), 0);
    EXPECT_EQ(ShowMouse(), mouse);
    EXPECT_EQ(ReadText(WorkingFile()), working);
}

// A write of many buttons keeps the window's thread in its waits for
// seconds: the logo turns meanwhile, so the window does not look hung.
TEST_F(MainWindow, ALongWriteTurnsTheLogoWhileTheWindowIsBusy) {
    // Every middle and fifth button off: ten segments, each after its settle wait.
    std::string xml = ReadText(DeviceFolder() / "__default.xml");
    for (const std::string from : {"FunID=\"0x3\"", "FunID=\"0x5\""})
        for (auto at = xml.find(from); at != std::string::npos; at = xml.find(from, at))
            xml.replace(at, from.size(), "FunID=\"0x0\"");
    WriteText(DeviceFolder() / "quiet.xml", xml);
    Start();
    LoadConfiguration("quiet");
    ASSERT_EQ(LabelText(2), "BUTTON OFF");
    fs::resize_file(TraceFile(), 0);
    const std::string out = DriverOut(std::string("busy ") + kMain + " " KORELLE_ID(IDC_MAIN_APPLY) " " +
                                      KORELLE_ID(IDC_MAIN_LOGO) + kWait);
    unsigned long busyMs = 0, pictures = 0;
    ASSERT_EQ(std::sscanf(out.c_str(), "busy %lu pictures %lu", &busyMs, &pictures), 2) << out;
    EXPECT_GT(busyMs, 700u) << "the write was not long: " << out;
    EXPECT_GE(pictures, 3u) << "the logo stood still: " << out;
    EXPECT_EQ(Segments("segment-write").size(), 11u) << "the ten buttons and the header";
    Quit();
}

// The defaults from the advanced settings are an unapplied change of the
// edited settings: the mouse keeps its own until Apply, Abandon restores.
TEST_F(MainWindow, ResetToDefaultIsAnUnappliedChange) {
    Start();
    Choose(3, IDC_MENU_RIGHT_BUTTON);
    EXPECT_TRUE(WaitFor([&] { return LabelText(3) == "RIGHT BUTTON"; }));
    const std::string working = ReadText(WorkingFile());
    Command(kMain, IDC_MAIN_APPLY);
    ASSERT_TRUE(WaitFor([&] { return ReadText(WorkingFile()) != working; })) << "Apply saved nothing";
    const std::string mouse = ShowMouse();

    Command(kMain, IDC_MAIN_ADVANCED);
    ASSERT_EQ(Driver("wait " KORELLE_WINDOW(IDC_ADV_LOAD) " shown" + kWait).code, 0) << "no advanced settings";
    Screenshot("advanced-over-main.png");
    Command(KORELLE_WINDOW(IDC_ADV_LOAD), IDC_ADV_RESET);
    EXPECT_TRUE(WaitFor([&] { return LabelText(3) == "BUTTON 4"; }));
    Command(KORELLE_WINDOW(IDC_ADV_LOAD), IDC_ADV_CLOSE);
    EXPECT_EQ(Driver("wait " KORELLE_WINDOW(IDC_ADV_LOAD) " gone" + kWait).code, 0);
    EXPECT_EQ(ShowMouse(), mouse);

    Command(kMain, IDC_MAIN_ABANDON);
    EXPECT_TRUE(WaitFor([&] { return LabelText(3) == "RIGHT BUTTON"; }));
    Quit();
}

// The toggles slide the panels out beside the main window and back.
TEST_F(MainWindow, TogglesSlideBothPanelsOutAndBack) {
    Start();
    int left = 0, top = 0;
    std::sscanf(DriverOut(std::string("rect ") + kMain).c_str(), "%d %d", &left, &top);
    // Each slide ends when the panel shows its controls.
    constexpr char kRightSlide[] = " " KORELLE_ID(IDC_MAIN_RIGHT_TOGGLE) " " KORELLE_WINDOW(
        IDC_RIGHT_WHEEL_MORE) " " KORELLE_ID(IDC_RIGHT_WHEEL_MORE);
    EXPECT_EQ(Driver(std::string("slide ") + kMain + kRightSlide + kWait).code, 0) << "right panel";
    EXPECT_EQ(DriverOut(std::string("check ") + kMain + " " KORELLE_ID(IDC_MAIN_RIGHT_TOGGLE)), "1");
    EXPECT_EQ(DriverOut("rect " KORELLE_WINDOW(IDC_RIGHT_WHEEL_MORE))
                  .rfind(std::to_string(left + 380) + " " + std::to_string(top + 220) + " ", 0),
              0u);
    constexpr char kLeftSlide[] = " " KORELLE_ID(IDC_MAIN_LEFT_TOGGLE) " " KORELLE_WINDOW(
        IDC_LEFT_SPEED_LABEL) " " KORELLE_ID(IDC_LEFT_SPEED_LABEL);
    EXPECT_EQ(Driver(std::string("slide ") + kMain + kLeftSlide + kWait).code, 0) << "left panel";
    EXPECT_EQ(DriverOut("rect " KORELLE_WINDOW(IDC_LEFT_SPEED_LABEL))
                  .rfind(std::to_string(left - 115) + " " + std::to_string(top + 50) + " ", 0),
              0u);
    Screenshot("panels-beside-main.png");

    Command(kMain, IDC_MAIN_RIGHT_TOGGLE);
    Command(kMain, IDC_MAIN_LEFT_TOGGLE);
    EXPECT_EQ(Driver("wait " KORELLE_WINDOW(IDC_RIGHT_WHEEL_MORE) " hidden" + kWait).code, 0);
    EXPECT_EQ(Driver("wait " KORELLE_WINDOW(IDC_LEFT_SPEED_LABEL) " hidden" + kWait).code, 0);
    EXPECT_EQ(DriverOut(std::string("check ") + kMain + " " KORELLE_ID(IDC_MAIN_LEFT_TOGGLE)), "0");
    Quit();
}

// Yes to the question, but the mouse refuses the write: the failure is
// shown and the window stays, so the change is not lost.
TEST_F(MainWindow, CloseWithAFailedWriteStaysOpen) {
    setenv("KORELLE_EMULATOR_FAIL_KIND", "segment-write", 1);
    Start();
    unsetenv("KORELLE_EMULATOR_FAIL_KIND");
    const std::string mouse = ShowMouse();
    Command(kMain, IDC_MAIN_POLLING_0);  // polling 100
    Command(kMain, IDC_MAIN_CLOSE);
    EXPECT_EQ(DriverOut("skinned-box" + kWait + " " KORELLE_ID(IDC_MSG_YES)), ShippedText("Str_DataChange"));
    EXPECT_EQ(DriverOut("skinned-box" + kWait + " " KORELLE_ID(IDC_MSG_OK)), ShippedText("Str_WriteHardwareErr"));
    EXPECT_NE(DriverOut("skinned-box" + kWait + " " KORELLE_ID(IDC_MSG_OK)).find("unsaved-"),
              std::string::npos);  // kept as a file
    EXPECT_EQ(WaitExit(program, 1000), -1) << "ended although nothing was saved";
    EXPECT_EQ(DriverOut(std::string("check ") + kMain + " " KORELLE_ID(IDC_MAIN_POLLING_0)), "1");
    // Closing again and answering No ends it without writing.
    Command(kMain, IDC_MAIN_CLOSE);
    EXPECT_EQ(DriverOut("skinned-box" + kWait + " " KORELLE_ID(IDC_MSG_NO)), ShippedText("Str_DataChange"));
    EXPECT_EQ(WaitExit(program, kTimeoutMs), 0);
    EXPECT_EQ(ShowMouse().substr(ShowMouse().find('\n')), mouse.substr(mouse.find('\n')));
}

TEST_F(MainWindow, AMouseHoldingOtherSettingsAsksWhichToKeep) {
    // The button at file position 5 (label 3) as RIGHT BUTTON, and a
    // checksum the program's saved settings do not have.
    MouseTool({"set", mouseState.string(), "segment", "6", "1", "02", "00"});
    MouseTool({"set", mouseState.string(), "segment", "0", "3", "31", "32", "33", "34"});
    Run();
    EXPECT_EQ(DriverOut("skinned-box" + kWait + " " KORELLE_ID(IDC_MSG_YES)), ShippedText("Str_SettingMismatch"));
    ASSERT_EQ(Driver(std::string("wait ") + kMain + " shown" + kWait).code, 0);
    EXPECT_EQ(LabelText(3), "RIGHT BUTTON");
}

}  // namespace
