// Korelle.exe started under Wine from a copy of the program folder: the
// single-instance rule and every start-up failure, read back from the
// screen by the driver; and the skinned message box in both modes, with
// screenshots. Run by the test command after the Windows suites, with
// KORELLE_DIST (the program folder), KORELLE_WINDOWS_BUILD (the Windows build
// folder), KORELLE_E2E_OUT (where screenshots go), WINEPREFIX and DISPLAY set.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>

#include "core/startup.h"
#include "tests/e2e/e2e_support.h"

namespace {

using namespace e2e;

class Startup : public ProgramFolderTest {
protected:
    fs::path Stub(const std::string& name) const {
        return fs::path(Env("KORELLE_WINDOWS_BUILD")) / "e2e-stubs" / (name + ".dll");
    }

    // Starts the program, reads its one message box, and checks that it
    // then ends by itself.
    std::string FailureText() {
        const pid_t pid = Run();
        const DriverResult box = Driver(std::string("message-box ") + kAppCaption + " " + std::to_string(kTimeoutMs));
        EXPECT_EQ(box.code, 0) << "no message box";
        EXPECT_EQ(WaitExit(pid, kTimeoutMs), 0) << "the program did not end after its message";
        return box.out;
    }
};

TEST_F(Startup, EachMissingLibraryIsNamedWithItsPath) {
    for (const char* library : {"Quillon.dll", "Silvex.dll", "Merrowin.dll"}) {
        fs::remove_all(folder);
        UseFolder(folder);
        fs::remove(folder / library);
        EXPECT_EQ(FailureText(), CannotFindLibraryText(WindowsPath(folder / library), 0x7e)) << library;
    }
}

TEST_F(Startup, EachMissingEntryPointHasItsOwnMessage) {
    struct Library {
        const char* file;
        const char* stub;
        const EntryPoint* entries;
        int count;
    };
    const Library libraries[] = {
        {"Quillon.dll", "stub_quillon_", kQuillonEntries, 3},
        {"Silvex.dll", "stub_silvex_", kSilvexEntries, 2},
        {"Merrowin.dll", "stub_merrowin_", kMerrowinEntries, 4},
    };
    for (const Library& library : libraries) {
        for (int i = 0; i < library.count; ++i) {
            fs::remove_all(folder);
            UseFolder(folder);
            fs::remove(folder / library.file);
            fs::copy_file(Stub(library.stub + std::to_string(i + 1)), folder / library.file);
            EXPECT_EQ(FailureText(), library.entries[i].missingText);
        }
    }
}

TEST_F(Startup, AProgramFolderTooLongForItsBuffersIsRefused) {
    fs::path deep = root;
    while (WindowsPath(deep).size() <= 102) deep /= "long-folder-name";
    fs::remove_all(folder);
    UseFolder(deep);
    EXPECT_EQ(FailureText(), kFolderTooLong);
}

TEST_F(Startup, ALanguageNameTooLongIsNamedAsTheLanguageSetting) {
    WriteText(folder / "Setup.ini", "[SystemInfo.Desc]\r\nLanguage=" + std::string(121, 'L') + "\r\n");
    EXPECT_EQ(FailureText(), kLanguageTooLong);
}

TEST_F(Startup, ASecondStartEndsAtOnceWithoutAWindow) {
    const pid_t first = Run();
    const DriverResult marker = Driver(std::string("wait-window ") + kMarkerClass + " " + kMarkerTitle + " " +
                                       std::to_string(kTimeoutMs));
    ASSERT_EQ(marker.code, 0) << "the first start shows no marker window";

    const pid_t second = Run();
    EXPECT_EQ(WaitExit(second, kTimeoutMs), 0);
    EXPECT_EQ(Driver(std::string("no-window '#32770' ") + kAppCaption + " 500").code, 0) << "a message appeared";

    EXPECT_EQ(Driver("quit " + std::to_string(kTimeoutMs)).code, 0);
    EXPECT_EQ(WaitExit(first, kTimeoutMs), 0);
}

TEST_F(Startup, TheMessageBoxAnswersOneOrTwoAndIgnoresEscape) {
    const fs::path demo = WindowsBuildFile("tests/e2e/message-demo.exe");
    const std::string& wait = kWait;
    // The box is a window before its controls are made: wait for its text,
    // shown, so that nothing is read or pressed half built.
    const std::string shown = "wait " KORELLE_WINDOW(IDC_MSG_TEXT) " shown" + wait;
    struct Case {
        const char* mode;
        const char* text;
        int press;
        int result;
        const char* shot;
    };
    const Case cases[] = {
        {"0", "The mouse was not found. Please check that it is connected.", IDC_MSG_OK, 1, "message-ok.png"},
        {"1", "The settings have changed. Apply them to the mouse before closing?", IDC_MSG_NO, 2,
         "message-yes-no.png"},
        {"1", "Yes ends it with 1.", IDC_MSG_YES, 1, nullptr},
        {"7", "Any other mode is an OK box.", IDC_MSG_OK, 1, nullptr},
        {"0", "", IDC_MSG_OK, 1, nullptr},  // an empty text still waits for a button
    };
    for (const Case& c : cases) {
        const pid_t pid = RunProgram(demo, {c.mode, c.text});
        ASSERT_EQ(Driver(shown).code, 0) << c.text;
        // Escape (the cancel command) leaves it open.
        EXPECT_EQ(Driver("press '#32770' - 2" + wait).code, 0);
        EXPECT_EQ(WaitExit(pid, 1000), -1) << "ended by Escape: " << c.text;
        if (c.shot) Screenshot(c.shot);
        EXPECT_EQ(Driver("press '#32770' - " + std::to_string(c.press) + wait).code, 0);
        EXPECT_EQ(WaitExit(pid, kTimeoutMs), c.result) << c.text;
    }
}

}  // namespace

namespace {

// The language of Setup.ini picks the string file; a function name the file
// lacks keeps its English default.
TEST_F(Startup, FunctionNamesComeFromTheChosenLanguageWithDefaultsForMissingKeys) {
    UseEmulatedMouse();
    fs::create_directories(folder / "String" / "Custom");
    {
        std::ofstream(folder / "String" / "Custom" / "Korelle.xml")
            << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Strings>\n"
               "\t<String Key=\"Str_RightButton\">SECONDARY</String>\n</Strings>\n";
        std::ofstream(folder / "Setup.ini") << "[SystemInfo.Desc]\r\nLanguage=Custom\r\n";
    }
    const pid_t pid = Run();
    ASSERT_EQ(Driver("wait " KORELLE_WINDOW(IDC_MAIN_LOGO) " shown" + kWait).code, 0);
    EXPECT_EQ(DriverOut("text " KORELLE_WINDOW(IDC_MAIN_LOGO) " " KORELLE_ID(IDC_MAIN_LABEL_0)), "CLICK");
    EXPECT_EQ(DriverOut("text " KORELLE_WINDOW(IDC_MAIN_LOGO) " " KORELLE_ID(IDC_MAIN_LABEL_1)), "SECONDARY");
    EXPECT_EQ(Driver("quit" + kWait).code, 0);
    EXPECT_EQ(WaitExit(pid, kTimeoutMs), 0);
}

}  // namespace

namespace {

// Each shipped language under a locale of its code page: the windows show
// the file's texts, read back in that code page, with screenshots of each
// window. How wide each text is against its control is printed, not judged.
TEST_F(Startup, EachLanguageShowsItsOwnTextsInItsCodePage) {
    constexpr const char* kMain = KORELLE_WINDOW(IDC_MAIN_LOGO);
    constexpr const char* kMenu = KORELLE_WINDOW(IDC_MENU_BUTTON_OFF);
    constexpr const char* kRight = KORELLE_WINDOW(IDC_RIGHT_WHEEL_MORE);
    constexpr const char* kLeft = KORELLE_WINDOW(IDC_LEFT_SPEED_LABEL);
    constexpr const char* kAdvanced = KORELLE_WINDOW(IDC_ADV_LOAD);
    struct Shown {
        const char* window;
        int id;
        const char* key;
    };
    const Shown main[] = {
        {kMain, IDC_MAIN_LABEL_0, "Str_Click"},        {kMain, IDC_MAIN_LABEL_1, "Str_RightButton"},
        {kMain, IDC_MAIN_LABEL_2, "Str_MiddleButton"}, {kMain, IDC_MAIN_TITLE_CONFIG, "Str_Config"},
        {kMain, IDC_MAIN_TITLE_POLLING, "Str_Polling"}, {kMain, IDC_MAIN_TITLE_PROFILE, "Str_Profile"},
        {kMain, IDC_MAIN_APPLY, "Str_Apply"},           {kMain, IDC_MAIN_ABANDON, "Str_Abandon"},
        {kMain, IDC_MAIN_ADVANCED, "Str_SaveLoad"},
    };
    const Shown menu[] = {{kMenu, IDC_MENU_BUTTON_OFF, "Str_ButtonOff"},
                          {kMenu, IDC_MENU_SELECT_PROFILE, "Str_SelectProfile"},
                          {kMenu, IDC_MENU_SINGLE, "Str_Single"}};
    const Shown panels[] = {{kRight, IDC_RIGHT_WHEEL_MORE, "Str_Scroll"},
                            {kRight, IDC_RIGHT_WHEEL_FEWER, "Str_Speed"},
                            {kRight, IDC_RIGHT_DBLCLICK_SHORTER, "Str_Double"},
                            {kRight, IDC_RIGHT_DBLCLICK_LONGER, "Str_ClickSpeed"},
                            {kLeft, IDC_LEFT_SPEED_LABEL, "Str_WindowPointerSpeed"}};
    const Shown advanced[] = {{kAdvanced, IDC_ADV_TITLE, "Str_AdvancedConfig"},
                              {kAdvanced, IDC_ADV_LOAD, "Str_LoadConfig"},
                              {kAdvanced, IDC_ADV_RESET, "Str_ResetDefault"},
                              {kAdvanced, IDC_ADV_FIRMWARE, "Str_UpdateFirmware"}};
    const auto check = [](const Language& language, const auto& texts) {
        for (const Shown& t : texts) {
            std::string shown = DriverOut(std::string("text ") + t.window + " " + std::to_string(t.id));
            shown.erase(0, shown.find_first_not_of(' '));  // skinned buttons put blanks before their caption
            EXPECT_EQ(shown, ShippedText(t.key, language)) << language.folder << ": " << t.key;
            const TextExtent e = MeasureText(t.window, t.id);
            std::printf("fit %s %s: text %d wide, control %d\n", language.folder, t.key, e.line, e.width);
        }
    };

    UseEmulatedMouse();
    for (const Language& language : kLanguages) {
        UseLanguage(language);
        const std::string name = language.folder;
        const pid_t pid = Run();
        ASSERT_EQ(Driver(std::string("wait ") + kMain + " shown" + kWait).code, 0) << name;
        check(language, main);
        Screenshot("main-" + name + ".png");

        // The function menu of the third button (a lost click is repeated).
        bool open = false;
        for (int attempt = 0; attempt < 3 && !open; ++attempt) {
            DriverOut(std::string("click ") + kMain + " " KORELLE_ID(IDC_MAIN_LABEL_2));
            open = Driver(std::string("wait ") + kMenu + " shown 5000").code == 0;
        }
        EXPECT_TRUE(open) << name << ": no menu";
        if (open) {
            EXPECT_TRUE(WaitFor([&] { return DriverOut(std::string("layered ") + kMenu) == "key 808080"; }));
            check(language, menu);
            Screenshot("menu-" + name + ".png");
            DriverOut(std::string("click ") + kMain + " " KORELLE_ID(IDC_MAIN_LABEL_2));
            EXPECT_EQ(Driver(std::string("wait ") + kMenu + " hidden" + kWait).code, 0) << name;
        }

        for (const auto& [toggle, panel, control] : {std::tuple{IDC_MAIN_RIGHT_TOGGLE, kRight, IDC_RIGHT_WHEEL_MORE},
                                                     std::tuple{IDC_MAIN_LEFT_TOGGLE, kLeft, IDC_LEFT_SPEED_LABEL}})
            EXPECT_EQ(Driver(std::string("slide ") + kMain + " " + std::to_string(toggle) + " " + panel + " " +
                             std::to_string(control) + kWait)
                          .code,
                      0)
                << name;
        check(language, panels);
        Screenshot("panels-" + name + ".png");

        EXPECT_EQ(Driver(std::string("command ") + kMain + " " KORELLE_ID(IDC_MAIN_ADVANCED) + kWait).code, 0);
        ASSERT_EQ(Driver(std::string("wait ") + kAdvanced + " shown" + kWait).code, 0) << name;
        check(language, advanced);
        Screenshot("advanced-" + name + ".png");
        EXPECT_EQ(Driver(std::string("command ") + kAdvanced + " " KORELLE_ID(IDC_ADV_CLOSE) + kWait).code, 0);
        EXPECT_EQ(Driver(std::string("wait ") + kAdvanced + " gone" + kWait).code, 0) << name;

        EXPECT_EQ(Driver("quit" + kWait).code, 0);
        EXPECT_EQ(WaitExit(pid, kTimeoutMs), 0) << name;
    }
}

}  // namespace
