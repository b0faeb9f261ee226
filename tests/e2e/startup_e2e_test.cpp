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
