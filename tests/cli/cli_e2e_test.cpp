// The two builds of korelle-cli exchange profile files: one saved by the
// Windows tool (MSXML, under Wine, through the program folder's Quillon.dll
// and its emulated mouse) restores through the Linux tool (pugixml) to the
// same bytes on the mouse, and the other way round; a configuration that
// Korelle.exe saved restores through the Linux tool. Part of the end-to-end
// test program, so it runs after the Windows build with a Wine prefix.

#include <cstdio>
#include <map>
#include <sstream>

#include "tests/e2e/e2e_support.h"
#include "tests/test_support.h"

namespace {

using namespace e2e;

using Result = test_support::ShellResult;
using test_support::Shell;

std::string Quote(const std::string& word) {
    std::string out = "'";
    for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}


// The Windows tool of the program folder on the emulated mouse of state.
Result WindowsTool(const fs::path& folder, const fs::path& state, const std::string& args) {
    const std::string wineRun = (fs::path(KORELLE_SOURCE_DIR) / "scripts" / "wine-run").string();
    return Shell("cd " + Quote(folder.string()) + " && KORELLE_EMULATOR_STATE=" + Quote(WindowsPath(state)) + " " +
                 Quote(wineRun) + " " + Quote((folder / "korelle-cli.exe").string()) + " " + args);
}
// The Linux tool on the same program folder.
Result LinuxTool(const fs::path& folder, const fs::path& state, const std::string& args) {
    return Shell("KORELLE_EMULATOR_STATE=" + Quote(state.string()) + " " + Quote(KORELLE_CLI_TOOL) + " --data " +
                 Quote(folder.string()) + " " + args);
}
// The emulated mouse's segments as its state file holds them.
std::map<int, std::string> Segments(const fs::path& state) {
    std::map<int, std::string> segments;
    std::istringstream in(ReadText(state));
    std::string word, hex;
    int n = 0;
    while (in >> word) {
        if (word == "segment" && in >> n >> hex) segments[n] = hex;
    }
    return segments;
}

// Segment 0 without the record checksum (bytes 3..7), which every write renews.
std::map<int, std::string> WithoutChecksum(std::map<int, std::string> s) {
    if (s[0].size() >= 16) s[0].replace(6, 10, "..........");
    return s;
}

class CliExchange : public ProgramFolderTest {
protected:
    Result Windows(const fs::path& state, const std::string& args) { return WindowsTool(folder, state, args); }
    Result Linux(const fs::path& state, const std::string& args) { return LinuxTool(folder, state, args); }
    fs::path NewMouse(const std::string& name) {
        const fs::path state = root / (name + ".state");
        MouseTool({"create", state.string(), "default", folder.string()});
        return state;
    }
    // A mouse whose settings differ from the factory's in three profiles.
    fs::path ChangedMouse(const std::string& name) {
        const fs::path state = NewMouse(name);
        MouseTool({"set", state.string(), "segment", "0", "17", "01"});   // profile 3: DPI step 1
        MouseTool({"set", state.string(), "segment", "0", "34", "02"});   // profile 5: polling 1000
        MouseTool({"set", state.string(), "segment", "11", "1", "06"});   // a double click
        MouseTool({"set", state.string(), "segment", "7", "1", "09002c8400"});  // a macro: Space down
        return state;
    }
};

TEST_F(CliExchange, HelpWorksInBothBuilds) {
    const Result windows = Windows(root / "none.state", "--help");
    EXPECT_EQ(windows.code, 0) << windows.out;
    EXPECT_NE(windows.out.find("Usage: korelle-cli"), std::string::npos) << windows.out;
    EXPECT_NE(windows.out.find("the folder of this program"), std::string::npos);
    const Result linux = Linux(root / "none.state", "--help");
    EXPECT_EQ(linux.code, 0) << linux.out;
    EXPECT_NE(linux.out.find("Usage: korelle-cli"), std::string::npos);
    // The Windows tool refuses a bad value before it looks for a mouse.
    const Result refused = Windows(root / "none.state", "set dpi 1 7");
    EXPECT_EQ(refused.code, 2) << refused.out;
    EXPECT_NE(refused.out.find("out of range"), std::string::npos) << refused.out;
}

TEST_F(CliExchange, AFileSavedOnWindowsRestoresOnLinuxToTheSameBytes) {
    const fs::path original = ChangedMouse("original");
    const Result backup = Windows(original, "backup team");
    ASSERT_EQ(backup.code, 0) << backup.out;
    ASSERT_TRUE(fs::exists(DeviceFolder() / "team.xml"));

    const fs::path viaLinux = NewMouse("via-linux");
    const Result restore = Linux(viaLinux, "restore team");
    ASSERT_EQ(restore.code, 0) << restore.out;
    EXPECT_EQ(WithoutChecksum(Segments(viaLinux)), WithoutChecksum(Segments(original)));
    // The Windows tool restoring the same file gives the very same bytes,
    // the record checksum included.
    const fs::path viaWindows = NewMouse("via-windows");
    const Result again = Windows(viaWindows, "restore team");
    ASSERT_EQ(again.code, 0) << again.out;
    EXPECT_EQ(Segments(viaLinux), Segments(viaWindows));
    EXPECT_EQ(Linux(viaWindows, "diff team").code, 0);
}

TEST_F(CliExchange, AFileBackedUpOnLinuxLoadsInTheWindowsBuild) {
    const fs::path original = ChangedMouse("original");
    const fs::path outside = root / "shared" / "lan party.xml";
    fs::create_directories(outside.parent_path());
    const Result backup = Linux(original, "backup " + Quote(outside.string()));
    ASSERT_EQ(backup.code, 0) << backup.out;

    const fs::path viaWindows = NewMouse("via-windows");
    const Result diff = Windows(viaWindows, "diff " + Quote(WindowsPath(outside)));
    EXPECT_EQ(diff.code, 1) << diff.out;
    EXPECT_NE(diff.out.find("restore would write segments: 0, 7, 11"), std::string::npos) << diff.out;
    const Result restore = Windows(viaWindows, "restore " + Quote(WindowsPath(outside)));
    ASSERT_EQ(restore.code, 0) << restore.out;
    EXPECT_EQ(WithoutChecksum(Segments(viaWindows)), WithoutChecksum(Segments(original)));
    const fs::path viaLinux = NewMouse("via-linux");
    ASSERT_EQ(Linux(viaLinux, "restore " + Quote(outside.string())).code, 0);
    EXPECT_EQ(Segments(viaLinux), Segments(viaWindows));
}

// Korelle.exe itself saves a configuration; the Linux tool restores it to
// the bytes Korelle.exe's Apply put on its mouse. While Korelle.exe runs, the
// Windows tool refuses to talk to the mouse.
class CliWithKorelle : public KorelleTest {
protected:
    fs::path Device(const std::string& file) const { return DeviceFolder() / file; }
    void Command(const char* window, int id) {
        ASSERT_EQ(Driver(std::string("command ") + window + " " + std::to_string(id) + kWait).code, 0) << id;
    }
};

TEST_F(CliWithKorelle, AConfigurationSavedByKorelleRestoresThroughTheLinuxTool) {
    Start();
    const Result busy = WindowsTool(folder, mouseState, "show");
    EXPECT_EQ(busy.code, 7) << busy.out;
    EXPECT_NE(busy.out.find("Korelle.exe is running"), std::string::npos) << busy.out;

    const std::string working = ReadText(Device("__working.xml"));
    Command("@1182", 1163);  // profile 1: the 1600 dpi step
    Command("@1182", 1171);  // Apply
    ASSERT_TRUE(WaitFor([&] { return ReadText(Device("__working.xml")) != working; })) << "Apply saved nothing";
    Command("@1182", 1108);  // advanced settings, Save
    ASSERT_EQ(Driver("wait @1109 shown" + kWait).code, 0);
    Command("@1109", 1110);
    ASSERT_EQ(Driver("wait @1124 shown" + kWait).code, 0);
    ASSERT_EQ(Driver("set-text @1124 1124 team").code, 0);
    Command("@1124", 1116);
    ASSERT_TRUE(WaitFor([&] { return fs::exists(Device("team.xml")); })) << "Korelle.exe saved no configuration";
    ASSERT_EQ(Driver("wait @1124 gone" + kWait).code, 0);
    Command("@1109", 1116);
    Quit();

    const fs::path fresh = root / "fresh.state";
    MouseTool({"create", fresh.string(), "default", folder.string()});
    const Result restore = LinuxTool(folder, fresh, "restore team");
    ASSERT_EQ(restore.code, 0) << restore.out;
    EXPECT_EQ(Segments(fresh), Segments(mouseState));
}

// A backup the Linux tool made of another mouse (with a data folder of its
// own) loads in Korelle.exe: Configure, Load and Apply put exactly that
// mouse's settings on Korelle's.
TEST_F(CliWithKorelle, ABackupOfTheLinuxToolLoadsInKorelle) {
    const fs::path other = root / "other.state", data = root / "linux-data", backup = root / "lan.xml";
    MouseTool({"create", other.string(), "default", folder.string()});
    for (const char* change : {"set dpi 3 1600", "set polling 5 1000", "set button 2 6 profile 3"}) {
        const Result set = LinuxTool(data, other, change);
        ASSERT_EQ(set.code, 0) << change << ": " << set.out;
    }
    const Result saved = LinuxTool(data, other, "backup " + Quote(backup.string()));
    ASSERT_EQ(saved.code, 0) << saved.out;
    fs::copy_file(backup, Device("lan.xml"));
    ASSERT_NE(WithoutChecksum(Segments(other)), WithoutChecksum(Segments(mouseState)));

    Start();
    Command(KORELLE_WINDOW(IDC_MAIN_LOGO), IDC_MAIN_ADVANCED);
    ASSERT_EQ(Driver("wait " KORELLE_WINDOW(IDC_ADV_LOAD) " shown" + kWait).code, 0);
    Command(KORELLE_WINDOW(IDC_ADV_LOAD), IDC_ADV_LOAD);
    ASSERT_EQ(Driver("wait " KORELLE_WINDOW(IDC_FILES_NAME) " shown" + kWait).code, 0);
    ASSERT_EQ(Driver("set-text " KORELLE_WINDOW(IDC_FILES_NAME) " " KORELLE_ID(IDC_FILES_NAME) " lan").code, 0);
    Command(KORELLE_WINDOW(IDC_FILES_NAME), IDC_FILES_OK);
    ASSERT_EQ(Driver("wait " KORELLE_WINDOW(IDC_FILES_NAME) " gone" + kWait).code, 0);
    Command(KORELLE_WINDOW(IDC_ADV_LOAD), IDC_ADV_CLOSE);
    const std::string working = ReadText(Device("__working.xml"));
    Command(KORELLE_WINDOW(IDC_MAIN_LOGO), IDC_MAIN_APPLY);
    ASSERT_TRUE(WaitFor([&] { return ReadText(Device("__working.xml")) != working; })) << "Apply saved nothing";
    Quit();
    EXPECT_EQ(WithoutChecksum(Segments(mouseState)), WithoutChecksum(Segments(other)));
}

}  // namespace
