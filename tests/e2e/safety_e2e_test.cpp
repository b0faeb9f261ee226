// Korelle.exe under Wine on the emulated mouse, on the paths where a setting
// could be lost: a configuration that lacks profiles, a working file that is
// gone or broken, the copy of the mouse taken before the program overwrites
// it (and put back byte for byte), and a change the mouse refuses at Close.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace {

using namespace e2e;

constexpr const char* kMain = KORELLE_WINDOW(IDC_MAIN_LOGO);
constexpr const char* kAdvanced = KORELLE_WINDOW(IDC_ADV_LOAD);
constexpr const char* kFiles = KORELLE_WINDOW(IDC_FILES_NAME);

// The mouse's memory: the "segment" lines of its state file, with the record
// checksum (segment 0, bytes 3 to 7) left out, since every write renews it.
std::vector<std::string> Memory(const fs::path& state) {
    std::vector<std::string> lines;
    std::istringstream in(ReadText(state));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("segment ", 0) != 0) continue;
        if (line.rfind("segment 0 ", 0) == 0) line.replace(10 + 6, 10, "..........");
        lines.push_back(line);
    }
    return lines;
}

class Safety : public KorelleTest {
protected:
    fs::path Device(const std::string& file) const { return DeviceFolder() / file; }

    void Press(const char* window, int id) {
        ASSERT_EQ(Driver(std::string("command ") + window + " " + std::to_string(id) + kWait).code, 0) << id;
    }
    std::string Answer(int button) { return DriverOut("skinned-box" + kWait + " " + std::to_string(button)); }
    bool MainShown() { return Driver(std::string("wait ") + kMain + " shown" + kWait).code == 0; }

    // Configure, Load, the name, OK; then the advanced settings closed.
    void LoadConfiguration(const std::string& name) {
        Press(kMain, IDC_MAIN_ADVANCED);
        ASSERT_EQ(Driver(std::string("wait ") + kAdvanced + " shown" + kWait).code, 0);
        Press(kAdvanced, IDC_ADV_LOAD);
        ASSERT_EQ(Driver(std::string("wait ") + kFiles + " shown" + kWait).code, 0);
        ASSERT_EQ(Driver(std::string("set-text ") + kFiles + " " KORELLE_ID(IDC_FILES_NAME) " " + name).code, 0);
        Press(kFiles, IDC_FILES_OK);
        ASSERT_EQ(Driver(std::string("wait ") + kFiles + " gone" + kWait).code, 0);
        Press(kAdvanced, IDC_ADV_CLOSE);
        ASSERT_EQ(Driver(std::string("wait ") + kAdvanced + " gone" + kWait).code, 0);
    }
    // Apply, done when the working file changed.
    void ApplyAndWait() {
        const std::string working = ReadText(Device("__working.xml"));
        Press(kMain, IDC_MAIN_APPLY);
        ASSERT_TRUE(WaitFor([&] { return ReadText(Device("__working.xml")) != working; })) << "Apply saved nothing";
    }
    // The files of the device folder whose names start with prefix.
    std::vector<std::string> FilesStartingWith(const std::string& prefix) const {
        std::vector<std::string> files;
        for (const auto& e : fs::directory_iterator(DeviceFolder()))
            if (e.path().filename().string().rfind(prefix, 0) == 0) files.push_back(e.path().filename().string());
        return files;
    }
    // A mouse holding valid settings other than the working file's: two
    // buttons, a DPI step and another checksum.
    void GiveTheMouseOtherSettings() {
        MouseTool({"set", mouseState.string(), "segment", "6", "1", "02", "00"});
        MouseTool({"set", mouseState.string(), "segment", "20", "1", "06"});
        MouseTool({"set", mouseState.string(), "segment", "0", "25", "03"});
        MouseTool({"set", mouseState.string(), "segment", "0", "3", "31", "32", "33", "34"});
    }
};

// A configuration file holding only Profile1: the other four profiles keep
// every button where it was, and Apply writes exactly profile 1's change.
TEST_F(Safety, AConfigurationThatLacksProfilesChangesOnlyWhatItHolds) {
    std::string xml = ReadText(Device("__default.xml"));
    const auto from = xml.find("<Profile2"), to = xml.find("</Profile5>") + std::string("</Profile5>").size();
    ASSERT_NE(from, std::string::npos);
    xml.erase(from, to - from);
    const std::string dpi = "DPI=\"0x1\"";
    ASSERT_NE(xml.find(dpi), std::string::npos);
    xml.replace(xml.find(dpi), dpi.size(), "DPI=\"0x3\"");
    WriteText(Device("only-profile1.xml"), xml);
    Start();
    std::vector<std::string> expected = Memory(mouseState);
    expected[0].replace(10 + 2, 2, "03");  // profile 0's DPI step

    LoadConfiguration("only-profile1");
    ApplyAndWait();
    EXPECT_EQ(Memory(mouseState), expected);
    Quit();
}

// Without a working file the program starts from the factory settings and
// says so; the mouse, which holds other settings, is asked about, copied
// before it is overwritten, and the working file is written again. A broken
// working file is treated the same way.
TEST_F(Safety, AWorkingFileThatIsGoneOrBrokenStartsFromTheDefaults) {
    GiveTheMouseOtherSettings();
    const std::vector<std::string> mine = Memory(mouseState);
    for (const char* broken : {"", "<Vantor><Software>"}) {
        WriteText(Device("__working.xml"), broken);
        if (!*broken) fs::remove(Device("__working.xml"));
        program = Run();
        EXPECT_EQ(Answer(IDC_MSG_OK), ShippedText("Str_WorkingFileErr"));
        EXPECT_EQ(Answer(IDC_MSG_YES), ShippedText("Str_SettingMismatch"));  // keep the mouse's
        ASSERT_TRUE(MainShown());
        EXPECT_EQ(Memory(mouseState), mine) << "kept, and not written";
        EXPECT_NE(ReadText(Device("__working.xml")).find("<Profile5>"), std::string::npos) << "written again";
        Quit();
    }
    // No: the mouse gets the defaults, after a copy.
    fs::remove(Device("__working.xml"));
    program = Run();
    EXPECT_EQ(Answer(IDC_MSG_OK), ShippedText("Str_WorkingFileErr"));
    EXPECT_EQ(Answer(IDC_MSG_NO), ShippedText("Str_SettingMismatch"));
    EXPECT_NE(Answer(IDC_MSG_OK).find("mouse-"), std::string::npos);
    ASSERT_TRUE(MainShown());
    EXPECT_EQ(FilesStartingWith("mouse-").size(), 1u);
    EXPECT_NE(Memory(mouseState), mine);
    Quit();
}

// No to "Str_SettingMismatch" overwrites the mouse, but only after its
// settings were saved as a configuration; loading that one and Apply put
// the mouse back exactly as it was.
TEST_F(Safety, NoToAMismatchLeavesACopyThatPutsTheMouseBack) {
    GiveTheMouseOtherSettings();
    const std::vector<std::string> mine = Memory(mouseState);
    program = Run();
    EXPECT_EQ(Answer(IDC_MSG_NO), ShippedText("Str_SettingMismatch"));
    const std::string told = Answer(IDC_MSG_OK);
    ASSERT_TRUE(MainShown());
    const std::vector<std::string> copies = FilesStartingWith("mouse-");
    ASSERT_EQ(copies.size(), 1u);
    const std::string name = copies[0].substr(0, copies[0].size() - 4);
    EXPECT_NE(told.find(name), std::string::npos) << told;
    EXPECT_NE(Memory(mouseState), mine) << "the working file's settings were written";

    LoadConfiguration(name);
    ApplyAndWait();
    EXPECT_EQ(Memory(mouseState), mine);
    Quit();
}

// Invalid data in the mouse is copied too before the rewrite.
TEST_F(Safety, InvalidMouseDataIsCopiedBeforeTheRewrite) {
    MouseTool({"set", mouseState.string(), "segment", "0", "17", "00"});  // profile 2's DPI step 0
    MouseTool({"set", mouseState.string(), "segment", "0", "3", "31", "32", "33", "34"});
    program = Run();
    EXPECT_EQ(Answer(IDC_MSG_OK), ShippedText("Str_SettingErr"));
    EXPECT_NE(Answer(IDC_MSG_OK).find("mouse-"), std::string::npos);
    ASSERT_TRUE(MainShown());
    EXPECT_EQ(FilesStartingWith("mouse-").size(), 1u);
    EXPECT_NE(ShowMouse().find("profile 2: index 2, DPI 3"), std::string::npos) << "rewritten";
    Quit();
}

// Yes to "Str_DataChange" while the mouse refuses every segment write: the
// change is kept as a configuration (once, however often Close fails), so
// that No afterwards loses nothing; loaded on a working mouse, it applies.
TEST_F(Safety, AChangeTheMouseRefusesAtCloseIsKeptAsAConfiguration) {
    setenv("KORELLE_EMULATOR_FAIL_KIND", "segment-write", 1);
    Start();
    unsetenv("KORELLE_EMULATOR_FAIL_KIND");
    Press(kMain, IDC_MAIN_POLLING_0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        Press(kMain, IDC_MAIN_CLOSE);
        EXPECT_EQ(Answer(IDC_MSG_YES), ShippedText("Str_DataChange"));
        EXPECT_EQ(Answer(IDC_MSG_OK), ShippedText("Str_WriteHardwareErr"));
        EXPECT_NE(Answer(IDC_MSG_OK).find("unsaved-"), std::string::npos);
    }
    EXPECT_EQ(WaitExit(program, 1000), -1) << "ended although nothing was written";
    const std::vector<std::string> kept = FilesStartingWith("unsaved-");
    ASSERT_EQ(kept.size(), 1u);
    Press(kMain, IDC_MAIN_CLOSE);
    EXPECT_EQ(Answer(IDC_MSG_NO), ShippedText("Str_DataChange"));
    EXPECT_EQ(WaitExit(program, kTimeoutMs), 0);

    Start();
    LoadConfiguration(kept[0].substr(0, kept[0].size() - 4));
    ApplyAndWait();
    EXPECT_EQ(ShowMouse().find("profile 0: index 0, DPI 1, poll rate 2"), std::string::npos) << "polling unchanged";
    Quit();
}

}  // namespace
