// The finished look of every window: each shown text fits its control as the
// control draws it, and each window looks as its reference picture does.
// The windows are opened one after another in one run of Korelle.exe; each
// is saved as "<window>-<language>.png" in the test output folder.
// KORELLE_UPDATE_REFERENCES=1 writes the pictures of this run as the new
// references (tests/e2e/reference/) after a deliberate change of the look.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <pugixml.hpp>

#include "tests/e2e/e2e_support.h"
#include "ui/macro/macro_editor.h"

namespace {

using namespace e2e;

constexpr const char* kMain = KORELLE_WINDOW(IDC_MAIN_LOGO);
constexpr const char* kMenu = KORELLE_WINDOW(IDC_MENU_BUTTON_OFF);
constexpr const char* kDpiDialog = KORELLE_WINDOW(IDC_DPI_APPLY);
constexpr const char* kProfileDialog = KORELLE_WINDOW(IDC_PROFILE_APPLY);
constexpr const char* kLeftPanel = KORELLE_WINDOW(IDC_LEFT_SPEED_LABEL);
constexpr const char* kRightPanel = KORELLE_WINDOW(IDC_RIGHT_WHEEL_MORE);
constexpr const char* kAdvanced = KORELLE_WINDOW(IDC_ADV_LOAD);
constexpr const char* kFiles = KORELLE_WINDOW(IDC_FILES_NAME);
constexpr const char* kEditor = KORELLE_WINDOW(IDC_MACRO_VIEW);
constexpr const char* kDelayDialog = KORELLE_WINDOW(IDC_DELAY_MINUTES);
constexpr const char* kKeyView = KORELLE_WINDOW(IDC_KEYVIEW_BUFFER);
constexpr const char* kRecordView = KORELLE_WINDOW(IDC_DEBUG_TEXT);
constexpr const char* kMessage = KORELLE_WINDOW(IDC_MSG_TEXT);

// The shipped defaults with a macro on the button of label 3 (the sixth in
// the file): A down for 0.30 s, A up 0.20 s, B down 0.06 s, B up 0.02 s.
std::string WithMacro(std::string xml) {
    const std::string button = "<Button6 BtnIndex=\"0x5\" FunID=\"0x4\"";
    const auto at = xml.find(button);
    if (at == std::string::npos) return xml;
    xml.replace(at, button.size(), "<Button6 BtnIndex=\"0x5\" FunID=\"0x9\"");
    const char* keys[4][2] = {{"0x04", "0x9E"}, {"0x04", "0x14"}, {"0x05", "0x86"}, {"0x05", "0x02"}};
    auto slot = at;
    for (const auto& key : keys) {
        const std::string empty = "UsageID=\"0x00\" Usage=\"0x00\"";
        slot = xml.find(empty, slot);
        if (slot == std::string::npos) break;
        xml.replace(slot, empty.size(), std::string("UsageID=\"") + key[0] + "\" Usage=\"" + key[1] + "\"");
    }
    return xml;
}

// Pixels that may differ from the reference, as a share of the window, and
// how far a colour may move before its pixel counts (font smoothing).
constexpr double kDifferentShare = 0.0005;
constexpr const char* kFuzz = "12%";

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

Rect WindowRect(const std::string& window) {
    Rect r;
    std::istringstream(DriverOut("rect " + window)) >> r.left >> r.top >> r.right >> r.bottom;
    return r;
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

int Shell(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()); }

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class Look : public KorelleTest {
protected:
    std::string language = "English";
    const Language* shipped = nullptr;  // null for English
    std::vector<std::string> overflowing;  // "window: what the driver's fit said"

    fs::path OutFolder() const {
        const fs::path out = Env("KORELLE_E2E_OUT");
        return out.empty() ? root / "shots" : out;
    }

    // Checks every text of the window, then saves its picture and compares
    // it with the reference; a region of moving pixels (the logo) is blanked
    // in both.
    void Check(const std::string& name, const std::string& window, const std::string& still = "") {
        ASSERT_EQ(Driver("wait " + window + " shown" + kWait).code, 0) << "no " << name;
        Driver("pointer 0 0");  // nothing lit up under the pointer
        if (window == kMain) {  // a label lit by the pointer shows its line until the pointer has left
            for (int line = IDC_MAIN_LINE_0; line <= IDC_MAIN_LINE_6; ++line) {
                EXPECT_TRUE(WaitFor([&] { return DriverOut("visible " + window + " " + std::to_string(line)) == "0"; }))
                    << "line " << line << " stays lit";
            }
        }
        if (still.empty()) WaitStill(window);
        const DriverResult fit = Driver("fit " + window);
        EXPECT_NE(fit.out.find("checked"), std::string::npos) << name << ": " << fit.out;
        if (fit.code != 0) overflowing.push_back(name + ": " + fit.out);

        const Rect r = WindowRect(window);
        ASSERT_GT(r.Width(), 0) << name;
        fs::create_directories(OutFolder());
        const fs::path shot = OutFolder() / (name + "-" + language + ".png");
        std::string blank;
        if (!still.empty()) {
            std::istringstream in(DriverOut("rect " + still));
            Rect s;
            in >> s.left >> s.top >> s.right >> s.bottom;
            blank = " -fill black -draw 'rectangle " + std::to_string(s.left - r.left) + "," +
                    std::to_string(s.top - r.top) + " " + std::to_string(s.right - r.left - 1) + "," +
                    std::to_string(s.bottom - r.top - 1) + "'";
        }
        const std::string crop = std::to_string(r.Width()) + "x" + std::to_string(r.Height()) + "+" +
                                 std::to_string(r.left) + "+" + std::to_string(r.top);
        ASSERT_EQ(Shell("import -window root -crop " + crop + " +repage " + Quoted(shot)), 0) << name;
        if (!blank.empty()) {
            ASSERT_EQ(Shell("mogrify" + blank + " " + Quoted(shot)), 0) << name;
        }
        if (language != "English") return;  // the references are of the English look

        const fs::path reference = fs::path(KORELLE_SOURCE_DIR) / "tests/e2e/reference" / (name + ".png");
        if (Env("KORELLE_UPDATE_REFERENCES") == "1") {
            fs::create_directories(reference.parent_path());
            fs::copy_file(shot, reference, fs::copy_options::overwrite_existing);
            return;
        }
        ASSERT_TRUE(fs::exists(reference)) << "no reference picture " << reference;
        // compare prints the number of differing pixels; a different size is an error.
        const fs::path count = root / "compare.txt";
        const std::string compare = "compare -metric AE -fuzz " + std::string(kFuzz) + " " + Quoted(reference) + " " +
                                    Quoted(shot) + " null: 2>" + Quoted(count);
        std::system(compare.c_str());  // exits 1 when the pictures differ at all
        const std::string text = ReadText(count);
        double different = -1;
        ASSERT_EQ(std::sscanf(text.c_str(), "%lf", &different), 1) << name << ": " << text;
        EXPECT_LE(different, kDifferentShare * r.Width() * r.Height())
            << name << " looks different from its reference: " << different << " pixels; see " << shot;
    }

    // Until two pictures of the window a moment apart are the same: a fade
    // or a slide has ended.
    void WaitStill(const std::string& window) {
        std::string last;
        for (int i = 0; i < 40; ++i) {
            const std::string now = DriverOut("hash " + window);
            if (now == last) return;
            last = now;
            Pause(250);
        }
        ADD_FAILURE() << window << " never stood still";
    }
    // The controls show the language file's texts, read back in its code page.
    struct Shown {
        int id;
        const char* key;
    };
    void ExpectTexts(const std::string& window, std::initializer_list<Shown> texts) {
        for (const Shown& t : texts) {
            std::string text = DriverOut("text " + window + " " + std::to_string(t.id));
            text.erase(0, text.find_first_not_of(' '));  // skinned buttons put blanks before their caption
            EXPECT_EQ(text, shipped ? ShippedText(t.key, *shipped) : ShippedText(t.key)) << language << ": " << t.key;
        }
    }
    void Command(const char* window, int id) {
        EXPECT_EQ(Driver(std::string("command ") + window + " " + std::to_string(id) + kWait).code, 0) << id;
    }
    bool Gone(const char* window) { return Driver(std::string("wait ") + window + " gone" + kWait).code == 0; }
    // A real click on a label opens the menu.
    bool OpenMenu(int button) {
        if (!OpenFunctionMenu(button)) return false;
        Driver("pointer 0 0");  // the windows the choice opens do not come up under it
        return true;
    }
    void Choose(int button, int item) {
        ASSERT_TRUE(OpenMenu(button)) << "no menu";
        Command(kMenu, item);
    }
};

// The same windows in each shipped language, under a locale of its code
// page: the English look is compared with the references.
class LookIn : public Look, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        Look::SetUp();
        language = GetParam();
        for (const Language& l : kLanguages)
            if (language == l.folder) shipped = &l;
        if (shipped) UseLanguage(*shipped);
    }
};

TEST_P(LookIn, EveryWindowsTextsFitAndItLooksAsItsReference) {
    WriteText(DeviceFolder() / "macro.xml", WithMacro(ReadText(DeviceFolder() / "__default.xml")));
    Driver("pointer 0 0");  // not over a label of the window to come
    Start();
    Check("main", kMain, KORELLE_WINDOW(IDC_MAIN_LOGO) " " KORELLE_ID(IDC_MAIN_LOGO));
    ExpectTexts(kMain, {{IDC_MAIN_LABEL_0, "Str_Click"},
                        {IDC_MAIN_LABEL_1, "Str_RightButton"},
                        {IDC_MAIN_TITLE_CONFIG, "Str_Config"},
                        {IDC_MAIN_TITLE_PROFILE, "Str_Profile"},
                        {IDC_MAIN_APPLY, "Str_Apply"},
                        {IDC_MAIN_ABANDON, "Str_Abandon"},
                        {IDC_MAIN_ADVANCED, "Str_SaveLoad"}});
    ASSERT_TRUE(OpenMenu(3)) << "no menu";
    Check("menu", kMenu);
    ExpectTexts(kMenu, {{IDC_MENU_BUTTON_OFF, "Str_ButtonOff"}, {IDC_MENU_SELECT_PROFILE, "Str_SelectProfile"}});

    Command(kMenu, IDC_MENU_SWITCH_DPI);
    Check("dpi-dialog", kDpiDialog);
    Command(kDpiDialog, IDC_DPI_CLOSE);
    ASSERT_TRUE(Gone(kDpiDialog));
    Choose(2, IDC_MENU_SELECT_PROFILE);
    Check("profile-dialog", kProfileDialog);
    Command(kProfileDialog, IDC_PROFILE_CANCEL);
    ASSERT_TRUE(Gone(kProfileDialog));

    Command(kMain, IDC_MAIN_LEFT_TOGGLE);
    Command(kMain, IDC_MAIN_RIGHT_TOGGLE);
    ASSERT_EQ(Driver(std::string("wait ") + kRightPanel + " shown" + kWait).code, 0);
    Check("left-panel", kLeftPanel);
    Check("right-panel", kRightPanel);
    ExpectTexts(kRightPanel, {{IDC_RIGHT_WHEEL_MORE, "Str_Scroll"}, {IDC_RIGHT_DBLCLICK_LONGER, "Str_ClickSpeed"}});
    ExpectTexts(kLeftPanel, {{IDC_LEFT_SPEED_LABEL, "Str_WindowPointerSpeed"}});
    Command(kMain, IDC_MAIN_LEFT_TOGGLE);
    Command(kMain, IDC_MAIN_RIGHT_TOGGLE);
    EXPECT_EQ(Driver(std::string("wait ") + kLeftPanel + " hidden" + kWait).code, 0);
    EXPECT_EQ(Driver(std::string("wait ") + kRightPanel + " hidden" + kWait).code, 0);

    Command(kMain, IDC_MAIN_ADVANCED);
    Check("advanced", kAdvanced);
    ExpectTexts(kAdvanced, {{IDC_ADV_TITLE, "Str_AdvancedConfig"}, {IDC_ADV_RESET, "Str_ResetDefault"}});
    Command(kAdvanced, IDC_ADV_LOAD);
    Check("files", kFiles);
    Command(kFiles, IDC_FILES_CANCEL);
    ASSERT_TRUE(Gone(kFiles));
    Command(kAdvanced, IDC_ADV_CLOSE);
    ASSERT_TRUE(Gone(kAdvanced));

    // The macro editor with a stored macro, its delay dialog, and the view
    // of its key buffer.
    LoadConfiguration("macro");
    Choose(3, IDC_MENU_MACRO);
    Check("macro-editor", kEditor);
    Command(kEditor, macro::kLabelIds[1]);
    Check("delay-dialog", kDelayDialog);
    Command(kEditor, IDC_MACRO_VIEW);
    Check("key-buffer-view", kKeyView);
    Command(kKeyView, IDC_KEYVIEW_OK);
    ASSERT_TRUE(Gone(kKeyView));
    Command(kEditor, IDC_MACRO_CANCEL);
    ASSERT_TRUE(Gone(kEditor));

    // The OK box: the only left click refused another function.
    Choose(0, IDC_MENU_BUTTON_OFF);
    Check("message-ok", kMessage);
    Command(kMessage, IDC_MSG_OK);
    ASSERT_TRUE(Gone(kMessage));

    // The yes/no box: Close with a change asks; No ends the program.
    Command(kMain, IDC_MAIN_POLLING_0);
    Command(kMain, IDC_MAIN_CLOSE);
    Check("message-yes-no", kMessage);
    Command(kMessage, IDC_MSG_NO);
    EXPECT_EQ(WaitExit(program, kTimeoutMs), 0);

    for (const std::string& o : overflowing) ADD_FAILURE() << "a text does not fit: " << o;
}

// The record view of the diagnostic mode, which About opens instead of the
// product page.
TEST_F(Look, TheRecordViewLooksAsItsReference) {
    WriteText(folder / "debug.xml", "<Debug/>\n");
    Start();
    Command(kMain, IDC_MAIN_ABOUT);
    Check("record-view", kRecordView);
    for (const std::string& o : overflowing) ADD_FAILURE() << "a text does not fit: " << o;
}

// The longest texts of the string file, each in the message box, where the
// longest ones show: every wrapped line within the box.
TEST_P(LookIn, TheLongestTextsFitTheMessageBox) {
    pugi::xml_document strings;
    ASSERT_TRUE(strings.load_file((folder / "String" / language / "Korelle.xml").c_str()));
    std::vector<std::string> texts;
    for (pugi::xml_node s : strings.child("Strings").children("String")) texts.push_back(s.text().get());
    std::sort(texts.begin(), texts.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    texts.resize(std::min<size_t>(texts.size(), 4));
    // One program shows them one after the other.
    std::vector<std::string> args = {"0"};
    args.insert(args.end(), texts.begin(), texts.end());
    const pid_t pid = RunProgram(WindowsBuildFile("tests/e2e/message-demo.exe"), args);
    for (const std::string& text : texts) {
        ASSERT_EQ(Driver(std::string("wait ") + kMessage + " shown" + kWait).code, 0) << text;
        const DriverResult fit = Driver(std::string("fit ") + kMessage);
        EXPECT_EQ(fit.code, 0) << text << "\n" << fit.out;
        EXPECT_NE(fit.out.find("checked 3 "), std::string::npos) << "the title, the text and OK: " << fit.out;
        EXPECT_EQ(Driver(std::string("command ") + kMessage + " " KORELLE_ID(IDC_MSG_OK) + kWait).code, 0);
        EXPECT_EQ(Driver(std::string("wait ") + kMessage + " gone" + kWait).code, 0) << text;
    }
    EXPECT_EQ(WaitExit(pid, kTimeoutMs), 1);
}

INSTANTIATE_TEST_SUITE_P(Languages, LookIn,
                         ::testing::Values("English", "German", "French", "Spanish", "Russian", "Chinese"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
