// The advanced settings and configuration files dialogs under Wine, run by
// config-demo.exe from a stand-in main window over the emulated mouse: what
// a load, a save and a reset do to the edited and saved records, to the
// files of the device folder and to the mouse, the questions and refusals,
// placement, keys, and screenshots of both dialogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace {

using namespace e2e;

using Record = std::vector<unsigned char>;

constexpr int kXRate = 277;          // software section
constexpr int kProfile1Dpi = 281;    // header of the first profile block
constexpr char kAdvanced[] = KORELLE_WINDOW(IDC_ADV_LOAD);
constexpr char kFiles[] = KORELLE_WINDOW(IDC_FILES_NAME);
constexpr int kLoadButton = IDC_ADV_LOAD, kSaveButton = IDC_ADV_SAVE, kResetButton = IDC_ADV_RESET,
              kFirmwareButton = IDC_ADV_FIRMWARE;

std::string Quote(const std::string& word) {
    std::string out = "'";
    for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The profile file text with one attribute value replaced at its first use.
std::string WithValue(std::string xml, const std::string& attribute, const std::string& from, const std::string& to) {
    const std::string old = attribute + "=\"" + from + "\"";
    const auto at = xml.find(old);
    EXPECT_NE(at, std::string::npos) << old;
    if (at != std::string::npos) xml.replace(at, old.size(), attribute + "=\"" + to + "\"");
    return xml;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class ConfigDialogs : public ProgramFolderTest {
protected:
    pid_t demo = 0;

    void SetUp() override {
        ProgramFolderTest::SetUp();
        UseEmulatedMouse();
    }

    fs::path Device(const std::string& file) const { return DeviceFolder() / file; }
    std::string DefaultXml() const { return ReadText(Device("__default.xml")); }

    // The shipped English text of a key (the texts used here hold no entities).
    std::string StringText(const std::string& key) const {
        const std::string table = ReadText(folder / "String" / "English" / "Korelle.xml");
        std::smatch m;
        return std::regex_search(table, m, std::regex("Key=\"" + key + "\">([^<&]*)<")) ? m[1].str() : "?" + key;
    }

    void StartDemo(const std::vector<std::string>& args = {}) {
        demo = RunProgram(WindowsBuildFile("tests/e2e/config-demo.exe"), args);
        ASSERT_EQ(Driver(std::string("wait ") + kAdvanced + " shown" + kWait).code, 0) << "no advanced settings";
    }
    void CloseDemo(int button = IDC_ADV_OK) {
        EXPECT_EQ(Driver(std::string("command ") + kAdvanced + " " + std::to_string(button) + kWait).code, 0);
        EXPECT_EQ(WaitExit(demo, kTimeoutMs), 0);
    }

    void Press(const char* window, int id) {
        ASSERT_EQ(Driver(std::string("command ") + window + " " + std::to_string(id) + kWait).code, 0) << id;
    }
    void OpenFiles(int button) {
        Press(kAdvanced, button);
        ASSERT_EQ(Driver(std::string("wait ") + kFiles + " shown" + kWait).code, 0) << "no files dialog";
    }
    // Types the name and presses OK.
    void Submit(const std::string& name) {
        ASSERT_EQ(Driver(std::string("set-text ") + kFiles + " " KORELLE_ID(IDC_FILES_NAME) " " + Quote(name)).code, 0);
        Press(kFiles, IDC_FILES_OK);
    }
    // The skinned box's text, answered with IDC_MSG_OK, IDC_MSG_YES or IDC_MSG_NO.
    std::string Answer(int button) { return DriverOut("skinned-box " + std::to_string(kTimeoutMs) + " " + std::to_string(button)); }
    bool FilesDialogGone() { return Driver(std::string("wait ") + kFiles + " gone" + kWait).code == 0; }
    bool FilesDialogStaysOpen() {
        return Driver(std::string("wait ") + kFiles + " gone 700").code != 0 &&
               DriverOut(std::string("enabled ") + kFiles) == "1";
    }
    std::vector<std::string> Listed() {
        return Lines(DriverOut(std::string("list-items ") + kFiles + " " KORELLE_ID(IDC_FILES_LIST)));
    }

    Record ReadRecord(const char* which) const {
        const std::string bytes = ReadText(folder / (std::string("config-demo.") + which));
        return Record(bytes.begin(), bytes.end());
    }
    int Refreshes() const { return std::stoi("0" + ReadText(folder / "config-demo.refreshes")); }
    size_t MouseReports() { return Lines(MouseTool({"trace", mouseState.string() + ".trace"})).size(); }

    // Every file below the test's folder but the demo's own outputs and the mouse's.
    std::set<std::string> FilesOnDisk() const {
        std::set<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("config-demo.", 0) == 0 || name.rfind("mouse.state", 0) == 0) continue;
            files.insert(fs::relative(entry.path(), root).string());
        }
        return files;
    }
};

TEST_F(ConfigDialogs, SaveUnderANewNameWritesTheFileAndTheNextOpenListsIt) {
    StartDemo();
    const Record work = ReadRecord("work");
    ASSERT_EQ(work.size(), 2070u);

    OpenFiles(kSaveButton);
    EXPECT_EQ(DriverOut(std::string("text ") + kFiles + " " KORELLE_ID(IDC_FILES_TITLE)), StringText("Str_SaveConfig"));
    EXPECT_EQ(DriverOut(std::string("text ") + kFiles + " " KORELLE_ID(IDC_FILES_OK)),
              "     " + StringText("Str_Save"));
    const auto before = Listed();
    EXPECT_TRUE(before.empty()) << "the reserved files are not listed";
    ASSERT_EQ(Driver(std::string("set-text ") + kFiles + " " KORELLE_ID(IDC_FILES_NAME) " 'Race Night'").code, 0);
    Screenshot("config-files-save.png");
    Press(kFiles, IDC_FILES_OK);
    ASSERT_TRUE(FilesDialogGone());
    EXPECT_TRUE(fs::exists(Device("Race Night.xml")));

    OpenFiles(kLoadButton);
    EXPECT_EQ(DriverOut(std::string("text ") + kFiles + " " KORELLE_ID(IDC_FILES_TITLE)), StringText("Str_LoadConfig"));
    EXPECT_EQ(Listed(), std::vector<std::string>{"Race Night"});
    ASSERT_EQ(Driver(std::string("select ") + kFiles + " " KORELLE_ID(IDC_FILES_LIST) " 0").code, 0);
    EXPECT_EQ(DriverOut(std::string("field-text ") + kFiles + " " KORELLE_ID(IDC_FILES_NAME)), "Race Night")
        << "selection goes to the name";
    Screenshot("config-files-load.png");
    // What was saved loads back to the same settings.
    Press(kFiles, IDC_FILES_OK);
    ASSERT_TRUE(FilesDialogGone());
    EXPECT_EQ(Refreshes(), 1);
    EXPECT_EQ(ReadRecord("work"), work);
    CloseDemo();
}

TEST_F(ConfigDialogs, SavingOverAnExistingOrReservedNameAsksAndNoWritesNothing) {
    const std::string mine = WithValue(DefaultXml(), "X_Rate", "0x5", "0x8");
    WriteText(Device("mine.xml"), mine);
    const std::string defaults = DefaultXml();
    StartDemo();
    const auto files = FilesOnDisk();

    // Windows names ignore case: "MINE" is the same file.
    for (const char* name : {"mine", "MINE", "__default", "__working"}) {
        OpenFiles(kSaveButton);
        Submit(name);
        EXPECT_EQ(Answer(IDC_MSG_NO), StringText("Str_ExitAlready")) << name;
        EXPECT_TRUE(FilesDialogGone()) << name;
    }
    // The device description is reserved: told so, never asked, not written.
    OpenFiles(kSaveButton);
    Submit("__DeviceInfo");
    EXPECT_EQ(Answer(IDC_MSG_OK), StringText("Str_ExitAlready"));
    EXPECT_TRUE(FilesDialogStaysOpen());
    Press(kFiles, IDC_FILES_CANCEL);
    ASSERT_TRUE(FilesDialogGone());
    EXPECT_EQ(ReadText(Device("mine.xml")), mine);
    EXPECT_EQ(ReadText(Device("__default.xml")), defaults);
    EXPECT_EQ(FilesOnDisk(), files);

    OpenFiles(kSaveButton);
    Submit("mine");
    EXPECT_EQ(Answer(IDC_MSG_YES), StringText("Str_ExitAlready"));
    ASSERT_TRUE(FilesDialogGone());
    EXPECT_EQ(ReadText(Device("mine.xml")).find("X_Rate=\"0x8\""), std::string::npos) << "Yes overwrites";
    CloseDemo();
}

TEST_F(ConfigDialogs, LoadingChangesOnlyTheEditedRecordAndDefaultsNeedNoListing) {
    WriteText(Device("__working.xml"), WithValue(DefaultXml(), "X_Rate", "0x5", "0x9"));
    WriteText(Device("mine.xml"), WithValue(WithValue(DefaultXml(), "X_Rate", "0x5", "0x8"), "DPI", "0x1", "0x3"));
    const std::string working = ReadText(Device("__working.xml"));
    StartDemo();
    const Record work = ReadRecord("work"), saved = ReadRecord("saved");
    ASSERT_EQ(work[kXRate], 0x9);
    const size_t reports = MouseReports();
    ASSERT_GT(reports, 0u) << "the start-up asks the mouse: the trace is live";

    OpenFiles(kLoadButton);
    Submit("__default");
    ASSERT_TRUE(FilesDialogGone());
    EXPECT_EQ(ReadRecord("work")[kXRate], 0x5);

    OpenFiles(kLoadButton);
    ASSERT_EQ(Listed(), std::vector<std::string>{"mine"});
    ASSERT_EQ(Driver(std::string("select ") + kFiles + " " KORELLE_ID(IDC_FILES_LIST) " 0").code, 0);
    Press(kFiles, IDC_FILES_OK);
    ASSERT_TRUE(FilesDialogGone());
    Record expected = work;  // in slot order, every button where it was
    expected[kXRate] = 0x8;
    expected[kProfile1Dpi] = 0x3;
    EXPECT_EQ(ReadRecord("work"), expected);

    Press(kAdvanced, kResetButton);
    ASSERT_EQ(Driver(std::string("wait ") + kAdvanced + " shown" + kWait).code, 0);
    CloseDemo(IDC_ADV_CLOSE);  // undoes nothing
    EXPECT_EQ(Refreshes(), 3);
    expected[kXRate] = 0x5;
    expected[kProfile1Dpi] = 0x1;
    EXPECT_EQ(ReadRecord("work"), expected);
    // The main window shows unapplied changes; Abandon would copy the saved record back.
    EXPECT_EQ(ReadRecord("saved"), saved);
    EXPECT_EQ(MouseReports(), reports) << "the mouse is untouched until Apply";
    EXPECT_EQ(ReadText(Device("__working.xml")), working);
}

TEST_F(ConfigDialogs, ADottedFileIsListedByItsFirstPartAndLoadingThatNameIsNotFound) {
    WriteText(Device("a.b.xml"), DefaultXml());
    for (int i = 0; i < 12; ++i) WriteText(Device("cfg" + std::to_string(i) + ".xml"), DefaultXml());
    StartDemo();
    const Record work = ReadRecord("work");

    OpenFiles(kLoadButton);
    const auto listed = Listed();
    EXPECT_EQ(listed.size(), 13u);
    const auto a = std::find(listed.begin(), listed.end(), "a");
    ASSERT_NE(a, listed.end());
    // The scroll buttons move the list by one item, not above its top. The
    // presses are posted: the list is read until it has moved.
    const auto top = [&] { return DriverOut(std::string("top-index ") + kFiles + " " KORELLE_ID(IDC_FILES_LIST)); };
    Press(kFiles, IDC_FILES_DOWN);
    EXPECT_TRUE(WaitFor([&] { return top() == "1"; })) << top();
    Press(kFiles, IDC_FILES_UP);
    Press(kFiles, IDC_FILES_UP);
    EXPECT_TRUE(WaitFor([&] { return top() == "0"; })) << top();

    ASSERT_EQ(Driver(std::string("select ") + kFiles + " " KORELLE_ID(IDC_FILES_LIST) " " +
                     std::to_string(a - listed.begin()))
                  .code,
              0);
    Press(kFiles, IDC_FILES_OK);
    EXPECT_EQ(Answer(IDC_MSG_OK), StringText("Str_FileNotFound"));
    EXPECT_TRUE(FilesDialogGone()) << "ends as cancelled";
    EXPECT_EQ(Refreshes(), 0);
    EXPECT_EQ(ReadRecord("work"), work);
    CloseDemo();
}

TEST_F(ConfigDialogs, NamesThatCannotBeFilesOfTheDeviceFolderAreRefused) {
    StartDemo();
    const auto files = FilesOnDisk();
    const std::string refused = StringText("Str_InvalidName");
    OpenFiles(kSaveButton);
    const std::string names[] = {"..\\x", "..\\..\\x", "con", "Nul.txt", "C:x", "x.", " x", "a*b", std::string(28, 'n')};
    for (const std::string& name : names) {
        Submit(name);
        if (&name == names) {
            ASSERT_EQ(Driver("wait " KORELLE_WINDOW(IDC_MSG_TEXT) " shown" + kWait).code, 0);
            Screenshot("config-invalid-name.png");
        }
        EXPECT_EQ(Answer(IDC_MSG_OK), refused) << name;
        EXPECT_TRUE(FilesDialogStaysOpen()) << name;
    }
    Press(kFiles, IDC_FILES_CANCEL);
    ASSERT_TRUE(FilesDialogGone());

    OpenFiles(kLoadButton);
    Submit("..\\__default");
    EXPECT_EQ(Answer(IDC_MSG_OK), refused);
    EXPECT_TRUE(FilesDialogStaysOpen());
    Press(kFiles, IDC_FILES_CANCEL);
    ASSERT_TRUE(FilesDialogGone());
    EXPECT_EQ(FilesOnDisk(), files) << "no file appeared";
    EXPECT_EQ(Refreshes(), 0);
    CloseDemo();
}

TEST_F(ConfigDialogs, FailuresInsideTheProfileLibraryAreReportedAndChangeNothing) {
    WriteText(Device("broken.xml"), "<Vantor><Software><Software X_Rate=\"0x9\"/></Software><Profile1>");
    StartDemo();
    const Record work = ReadRecord("work");

    OpenFiles(kLoadButton);
    Submit("broken");
    EXPECT_EQ(Answer(IDC_MSG_OK), StringText("Str_LoadConfigErr"));
    EXPECT_TRUE(FilesDialogStaysOpen());
    Press(kFiles, IDC_FILES_CANCEL);
    ASSERT_TRUE(FilesDialogGone());
    EXPECT_EQ(Refreshes(), 0);
    EXPECT_EQ(ReadRecord("work"), work);

    // Without the template nothing can be saved, and there are no defaults.
    fs::remove(Device("__default.xml"));
    OpenFiles(kSaveButton);
    Submit("fresh");
    EXPECT_EQ(Answer(IDC_MSG_OK), StringText("Str_SaveConfigErr"));
    EXPECT_TRUE(FilesDialogStaysOpen());
    Press(kFiles, IDC_FILES_CANCEL);
    ASSERT_TRUE(FilesDialogGone());
    EXPECT_FALSE(fs::exists(Device("fresh.xml")));

    Press(kAdvanced, kResetButton);
    EXPECT_EQ(Answer(IDC_MSG_OK), StringText("Str_LoadConfigErr"));
    CloseDemo();
    EXPECT_EQ(Refreshes(), 1) << "a reset refreshes the views in any case";
    EXPECT_EQ(ReadRecord("work"), work);
}

TEST_F(ConfigDialogs, PlacementKeysAndTheFirmwareButtonThatNeverTouchesTheMouse) {
    StartDemo({"150", "420"});
    const auto rect = [](const std::string& window) {
        std::istringstream in(DriverOut("rect " + window));
        std::vector<long> r(4);
        in >> r[0] >> r[1] >> r[2] >> r[3];
        return r;
    };
    const auto host = rect("@4001");
    const auto adv = rect(kAdvanced);
    EXPECT_EQ(adv[0], host[0] + 70);
    EXPECT_EQ(adv[1], host[1] + 60);
    EXPECT_EQ(DriverOut(std::string("layered ") + kAdvanced), "key 808080");
    EXPECT_EQ(DriverOut(std::string("text ") + kAdvanced + " " KORELLE_ID(IDC_ADV_TITLE)),
              StringText("Str_AdvancedConfig"));
    Screenshot("config-advanced.png");

    const size_t reports = MouseReports();
    const Record work = ReadRecord("work");
    Press(kAdvanced, kFirmwareButton);
    EXPECT_EQ(Answer(IDC_MSG_OK), StringText("Str_CannotUpgrade"));
    EXPECT_EQ(MouseReports(), reports);

    // The files dialog goes above its owner when there is room.
    OpenFiles(kSaveButton);
    const auto files = rect(kFiles);
    EXPECT_EQ(files[0], adv[0] + 70);
    EXPECT_EQ(files[3], adv[1] - 10);
    EXPECT_EQ(DriverOut(std::string("layered ") + kFiles), "key 808080");
    // Escape leaves both open; Enter runs OK, which does nothing without a name.
    ASSERT_EQ(Driver(std::string("key ") + kFiles + " " KORELLE_ID(IDC_FILES_NAME) " 0x1B").code, 0);
    EXPECT_TRUE(FilesDialogStaysOpen());
    ASSERT_EQ(Driver(std::string("key ") + kFiles + " " KORELLE_ID(IDC_FILES_NAME) " 0x0D").code, 0);
    EXPECT_TRUE(FilesDialogStaysOpen());
    Press(kFiles, IDC_FILES_CANCEL);
    ASSERT_TRUE(FilesDialogGone());
    ASSERT_EQ(Driver(std::string("key ") + kAdvanced + " 0 0x1B").code, 0);
    EXPECT_EQ(WaitExit(demo, 700), -1) << "Escape closed the dialog";
    ASSERT_EQ(Driver(std::string("key ") + kAdvanced + " 0 0x0D").code, 0);
    EXPECT_EQ(WaitExit(demo, kTimeoutMs), 0) << "Enter closes";
    EXPECT_EQ(MouseReports(), reports);
    EXPECT_EQ(ReadRecord("work"), work);

    // No room above: below the owner.
    StartDemo({"150", "0"});
    const auto top = rect(kAdvanced);
    OpenFiles(kLoadButton);
    EXPECT_EQ(rect(kFiles)[1], top[3] + 10);
    ASSERT_EQ(Driver(std::string("set-text ") + kFiles + " " KORELLE_ID(IDC_FILES_NAME) " __working").code, 0);
    ASSERT_EQ(Driver(std::string("key ") + kFiles + " " KORELLE_ID(IDC_FILES_NAME) " 0x0D").code, 0);
    EXPECT_TRUE(FilesDialogGone()) << "Enter runs OK";
    EXPECT_EQ(Refreshes(), 1);
    CloseDemo(IDC_ADV_CLOSE);
}

}  // namespace
