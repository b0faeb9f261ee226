// Contracts a user only sees through the program: a working file that cannot
// be written, a profile button pressed with the mouse refusing or away, and
// the version numbers the About page is given. Korelle.exe under Wine on the
// emulated mouse.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <pugixml.hpp>

#include "tests/e2e/e2e_support.h"

namespace {

using namespace e2e;

constexpr const char* kMain = KORELLE_WINDOW(IDC_MAIN_LOGO);

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Contracts : public KorelleTest {
protected:
    fs::path WorkingFile() const { return DeviceFolder() / "__working.xml"; }
    fs::path TraceFile() const { return fs::path(mouseState.string() + ".trace"); }
    void Command(int id) { DriverOut(std::string("command ") + kMain + " " + std::to_string(id) + kWait); }
    std::string Box() { return DriverOut("skinned-box" + kWait + " " KORELLE_ID(IDC_MSG_OK)); }
    // Reports the mouse has been sent so far, one trace line each.
    int ReportsSoFar() {
        std::istringstream trace(ReadText(TraceFile()));
        int n = 0;
        for (std::string line; std::getline(trace, line);) n += line.find_first_not_of(" \r") != std::string::npos;
        return n;
    }
    // An attribute of the About page's Mouse element.
    std::string AboutValue(const char* name) {
        pugi::xml_document doc;
        if (!doc.load_file((folder / "Help" / "About" / "file.xml").c_str())) return "(unreadable)";
        return doc.select_node("//Mouse").node().attribute(name).value();
    }
    // The About page (Help\about.xml) of this folder or of the shipped one:
    // the text of the element with this id, and data-reported.
    static std::string PageCell(const fs::path& page, const char* id) {
        pugi::xml_document doc;
        if (!doc.load_file(page.c_str())) return "(unreadable)";
        const pugi::xml_node cell = doc.find_node([&](pugi::xml_node n) { return std::string(n.attribute("id").value()) == id; });
        return cell ? cell.child_value() : "(absent)";
    }
    static std::string Reported(const fs::path& page) {
        pugi::xml_document doc;
        if (!doc.load_file(page.c_str())) return "(unreadable)";
        return doc.find_node([](pugi::xml_node n) { return std::string(n.attribute("id").value()) == "device"; })
            .attribute("data-reported").value();
    }
    // Every text of the page but the four values, in document order.
    static void OtherText(pugi::xml_node node, std::string& out) {
        for (pugi::xml_node n : node.children()) {
            const std::string id = n.attribute("id").value();
            if (id == "ProductName" || id == "File" || id == "FirmWare" || id == "HardWare") continue;
            if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) out += n.value();
            OtherText(n, out);
        }
    }
    static std::string OtherText(const fs::path& page) {
        pugi::xml_document doc;
        if (!doc.load_file(page.c_str(), pugi::parse_default | pugi::parse_ws_pcdata)) return "(unreadable)";
        std::string out;
        OtherText(doc, out);
        return out;
    }
    fs::path Page() const { return folder / "Help" / "about.xml"; }
};

// The mouse takes the change but "__working.xml" cannot be replaced (another
// program holds it open): the failure is shown, and the settings last saved
// stay the saved ones, so the next Apply writes the file once it can.
TEST_F(Contracts, AFailedWorkingFileWriteIsShownAndWrittenAgainLater) {
    Start();
    const std::string before = ReadText(WorkingFile());
    const std::string mouse = ShowMouse();
    const std::string held = "'" + WindowsPath(WorkingFile()) + "'";  // quoted: the driver reads \ as an escape
    DriverOut("hold-file " + held);
    Command(IDC_MAIN_POLLING_0);
    Command(IDC_MAIN_APPLY);
    EXPECT_EQ(Box(), ShippedText("Str_SaveTmpProfileErr"));
    EXPECT_TRUE(ReadText(WorkingFile()) == before) << "the working file changed";
    EXPECT_NE(ShowMouse(), mouse);  // the mouse was written

    DriverOut("release-file " + held);
    Command(IDC_MAIN_APPLY);  // no new change: only the unsaved one
    EXPECT_TRUE(WaitFor([&] { return ReadText(WorkingFile()) != before; })) << "the change was taken as saved";
    Quit();
}

// A profile button pressed while the mouse refuses the switch, then again
// once it is gone: each failure names its cause and the profile stays.
TEST_F(Contracts, ProfileButtonsSayWhetherTheMouseRefusedOrIsAway) {
    setenv("KORELLE_EMULATOR_FAIL_KIND", "switch", 1);
    Start();
    unsetenv("KORELLE_EMULATOR_FAIL_KIND");
    Command(IDC_MAIN_PROFILE_2);  // profile 3
    EXPECT_EQ(Box(), ShippedText("Str_SwitchErr"));
    Quit();
    EXPECT_NE(ShowMouse().find("active profile 0"), std::string::npos) << ShowMouse();

    // Unplugged from the first report after the start: the switch's own
    // report finds it gone, and the next button finds no mouse at all.
    fs::remove(TraceFile());
    Start();
    const int started = ReportsSoFar();
    Quit();
    ASSERT_GT(started, 0);
    fs::remove(TraceFile());
    setenv("KORELLE_EMULATOR_UNPLUG_AT", std::to_string(started + 1).c_str(), 1);
    Start();
    unsetenv("KORELLE_EMULATOR_UNPLUG_AT");
    ASSERT_EQ(ReportsSoFar(), started);
    Command(IDC_MAIN_PROFILE_3);  // profile 4
    EXPECT_EQ(Box(), ShippedText("Str_SwitchErr"));
    Command(IDC_MAIN_PROFILE_4);  // profile 5
    EXPECT_EQ(Box(), ShippedText("Str_NotFindHardware"));
    Quit();
    EXPECT_NE(ShowMouse().find("active profile 0"), std::string::npos) << ShowMouse();
}

// About hands the page the mouse's own version numbers, each in its place,
// and zeros when the mouse does not answer.
TEST_F(Contracts, AboutWritesTheFirmwareAndHardwareNumbersEachInItsPlace) {
    MouseTool({"set", mouseState.string(), "hardware", "5"});
    MouseTool({"set", mouseState.string(), "firmware", "23"});
    Start();
    Command(IDC_MAIN_ABOUT);
    EXPECT_TRUE(WaitFor([&] { return AboutValue("FirmWare") == "23"; })) << AboutValue("FirmWare");
    EXPECT_EQ(AboutValue("HardWare"), "5");
    EXPECT_EQ(AboutValue("File"), "1.14");
    // The page opened shows them, and everything else it showed as shipped
    // (the rewrite through MSXML lost no text, not even a space).
    EXPECT_TRUE(WaitFor([&] { return PageCell(Page(), "FirmWare") == "23"; })) << PageCell(Page(), "FirmWare");
    EXPECT_EQ(PageCell(Page(), "HardWare"), "5");
    EXPECT_EQ(PageCell(Page(), "File"), "1.14");
    EXPECT_EQ(PageCell(Page(), "ProductName"), PageCell(fs::path(Env("KORELLE_DIST")) / "Help" / "about.xml", "ProductName"));
    EXPECT_EQ(Reported(Page()), "yes");
    EXPECT_EQ(OtherText(Page()), OtherText(fs::path(Env("KORELLE_DIST")) / "Help" / "about.xml"));
    // Kept to be looked at: the page as the program wrote it.
    std::error_code ignored;
    fs::copy_file(Page(), fs::path(Env("KORELLE_E2E_OUT")) / "about-written.xml", fs::copy_options::overwrite_existing,
                  ignored);
    Quit();

    setenv("KORELLE_EMULATOR_FAIL_KIND", "query-answer", 1);
    Start();
    unsetenv("KORELLE_EMULATOR_FAIL_KIND");
    Command(IDC_MAIN_ABOUT);
    EXPECT_EQ(Box(), ShippedText("Str_InfoErr"));
    EXPECT_TRUE(WaitFor([&] { return AboutValue("FirmWare") == "0"; })) << AboutValue("FirmWare");
    EXPECT_EQ(AboutValue("HardWare"), "0");
    EXPECT_TRUE(WaitFor([&] { return PageCell(Page(), "FirmWare").empty(); })) << PageCell(Page(), "FirmWare");
    EXPECT_EQ(PageCell(Page(), "HardWare"), "");
    EXPECT_EQ(Reported(Page()), "no");
    Quit();
}

}  // namespace
