// What the end-to-end tests share: starting Windows programs under Wine,
// the driver, screenshots, and a fixture that prepares a fresh copy of the
// program folder (optionally with an emulated mouse) and ends whatever it
// started. Run by the test command with KORELLE_DIST (the program folder),
// KORELLE_WINDOWS_BUILD (the Windows build folder), KORELLE_E2E_OUT (where
// screenshots go), WINEPREFIX and DISPLAY set.
#pragma once

#include <gtest/gtest.h>

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/resource.h"

// The driver's name of a program window: "@" and the id of a control only
// that window holds, e.g. KORELLE_WINDOW(IDC_MAIN_LOGO) is "@1182";
// KORELLE_ID(IDC_MSG_OK) is "1116", for the ids in the driver's commands.
#define KORELLE_ID_TEXT(id) #id
#define KORELLE_ID(id) KORELLE_ID_TEXT(id)
#define KORELLE_WINDOW(id) "@" KORELLE_ID(id)

namespace e2e {

namespace fs = std::filesystem;

constexpr int kTimeoutMs = 30000;
inline const std::string kWait = " " + std::to_string(kTimeoutMs);

std::string Env(const char* name);
// The Windows path of a host path, through drive Z:.
std::string WindowsPath(const fs::path& path);
// Starts a Windows program under Wine in folder; its output and Wine's are
// added to the file output.
pid_t Start(const fs::path& program, const fs::path& folder, const std::vector<std::string>& args = {},
            const fs::path& output = "/dev/null");
// The exit code, or -1 when the program is still running after the time-out.
int WaitExit(pid_t pid, int timeoutMs);

struct DriverResult {
    int code;
    std::string out;
};
// Runs korelle-driver.exe with the arguments (shell words) and returns its
// exit code and output without the final line end; in a process of its own
// for ownProcess, else through one long-running driver.
DriverResult Driver(const std::string& args, bool ownProcess = false);
// The driver's output, expecting success.
std::string DriverOut(const std::string& args);
// One real click on a control (WIN ID [double], as the driver's "click"),
// then the driver's wait for what it does, which names its own time limit.
// A click whose effect the wait missed goes to standard error with what the
// driver saw under the pointer and how long the window took to answer; so
// does one whose effect came after more than 5 s.
bool ClickAndWait(const std::string& click, const std::string& wait);
// Opens the function menu with a real click on the main window's label of
// the button (as ClickAndWait). A menu still fading out after the last choice
// counts as shown, and a click shows the menu only after the double-click
// time: an item chosen from the old menu would go to its button. So the
// click waits until that menu has gone. Each wait takes at most limit
// (" MS", as kWait).
bool OpenFunctionMenu(int button, const std::string& limit = kWait);
// A control's text as the skin draws it (the driver's text-extent): its
// width on one line, its height wrapped to the control, the control's size.
struct TextExtent {
    int line = 0, wrapped = 0, width = 0, height = 0;
};
TextExtent MeasureText(const std::string& window, int id);
// A file's bytes ("" when it cannot be read), and a file written whole.
std::string ReadText(const fs::path& path);
void WriteText(const fs::path& path, const std::string& text);
// The whole virtual screen as a PNG in the test output folder.
void Screenshot(const std::string& name);
// The shipped English text of a string key.
std::string ShippedText(const char* key);

// A shipped language: its folder under String, a Unix locale whose ANSI code
// page Wine gives the programs (the one the language's users have), and
// that code page's name for iconv.
struct Language {
    const char* folder;
    const char* locale;
    const char* codePage;
};
inline constexpr Language kLanguages[] = {
    {"German", "de_DE.UTF-8", "CP1252"},  {"French", "fr_FR.UTF-8", "CP1252"}, {"Spanish", "es_ES.UTF-8", "CP1252"},
    {"Russian", "ru_RU.UTF-8", "CP1251"}, {"Chinese", "zh_CN.UTF-8", "CP936"},
};
// The shipped text of a string key in a language, in its code page: what
// the driver reads back from the program's windows.
std::string ShippedText(const char* key, const Language& language);
// The Unix locale of the Wine programs started from now on ("" the run's
// own); Wine takes their ANSI code page from it. The driver is restarted
// under it, so that it reads texts back in the same code page.
void UseLocale(const std::string& locale);
// Polls the condition every 50 ms until it holds (true) or the time is up.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = kTimeoutMs);
// A program of the Windows build, by its path below the build folder.
fs::path WindowsBuildFile(const std::string& relative);

// A fresh copy of the program folder per test, removed afterwards with
// every program the test started.
class ProgramFolderTest : public ::testing::Test {
protected:
    fs::path root;
    fs::path folder;
    std::vector<pid_t> running;

    void SetUp() override;
    void TearDown() override;

    void UseFolder(const fs::path& path);
    // Setup.ini names the language, and the programs started from now on
    // run under its locale (until the test ends).
    void UseLanguage(const Language& language);
    // Starts Korelle.exe (or another program) in the folder.
    pid_t Run();
    pid_t RunProgram(const fs::path& program, const std::vector<std::string>& args = {});
    // Where the programs started here write; shown when the test fails.
    fs::path ProgramOutput() const { return root / "programs.log"; }

    // The emulated mouse: a state file in the test's folder, made by the
    // mouse tool with the given arguments after "create STATE", and named
    // to the programs started afterwards.
    fs::path mouseState;
    void UseEmulatedMouse(const std::vector<std::string>& createArgs = {"default"});
    // Runs the mouse tool; its output.
    std::string MouseTool(const std::vector<std::string>& args);
    // The emulated mouse's memory as the tool shows it.
    std::string ShowMouse() { return MouseTool({"show", mouseState.string()}); }
    fs::path DeviceFolder() const { return folder / "Database" / "VID7a3d_PID006a"; }
};

// Korelle.exe on a factory-fresh emulated mouse: started until its main
// window (KORELLE_WINDOW(IDC_MAIN_LOGO), the logo) shows, and asked to quit.
class KorelleTest : public ProgramFolderTest {
protected:
    pid_t program = 0;

    void SetUp() override;
    void Start();
    void Quit();
    // Loads the named configuration of the device folder through the
    // advanced settings of the running program, as a user does.
    void LoadConfiguration(const std::string& name);
};

}  // namespace e2e
