// Korelle.exe started under Wine from a copy of the program folder: the
// single-instance rule and every start-up failure, read back from the
// screen by the driver; and the skinned message box in both modes, with
// screenshots. Run by the test command after the Windows suites, with
// KORELLE_DIST (the program folder), KORELLE_WINDOWS_BUILD (the Windows build
// folder), KORELLE_E2E_OUT (where screenshots go), WINEPREFIX and DISPLAY set.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/startup.h"

namespace fs = std::filesystem;

namespace {

constexpr int kTimeoutMs = 30000;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

const fs::path kWineRun = fs::path(KORELLE_SOURCE_DIR) / "scripts" / "wine-run";

// The Windows path of a host path, through drive Z:.
std::string WindowsPath(const fs::path& path) {
    std::string s = "Z:" + path.string();
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
}

// Starts a Windows program under Wine in folder; its output is dropped.
pid_t Start(const fs::path& program, const fs::path& folder, const std::vector<std::string>& args = {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        if (chdir(folder.c_str()) != 0) _exit(127);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> argv = {const_cast<char*>(kWineRun.c_str()), const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(kWineRun.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

// The exit code, or -1 when the program is still running after the time-out.
int WaitExit(pid_t pid, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        if (std::chrono::steady_clock::now() > deadline) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

struct DriverResult {
    int code;
    std::string out;
};

DriverResult Driver(const std::string& args) {
    const fs::path driver = fs::path(Env("KORELLE_WINDOWS_BUILD")) / "tests" / "e2e" / "korelle-driver.exe";
    const std::string command = "'" + kWineRun.string() + "' '" + driver.string() + "' " + args + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, ""};
    std::string out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    const int status = pclose(pipe);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

class Startup : public ::testing::Test {
protected:
    fs::path root;
    fs::path folder;
    std::vector<pid_t> running;

    void SetUp() override {
        ASSERT_FALSE(Env("KORELLE_DIST").empty()) << "run through the test command";
        root = fs::temp_directory_path() / ("korelle-e2e-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        UseFolder(root / "Korelle");
    }
    void TearDown() override {
        for (pid_t pid : running) {
            if (WaitExit(pid, 0) == -1) {
                kill(-pid, SIGKILL);
                WaitExit(pid, 5000);
            }
        }
        fs::remove_all(root);
    }

    // A fresh copy of the program folder at path.
    void UseFolder(const fs::path& path) {
        folder = path;
        fs::create_directories(folder);
        fs::copy(Env("KORELLE_DIST"), folder, fs::copy_options::recursive);
    }
    pid_t Run() {
        const pid_t pid = Start(folder / "Korelle.exe", folder);
        running.push_back(pid);
        return pid;
    }
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

// The whole virtual screen as a PNG in the test output folder.
void Screenshot(const std::string& name) {
    const fs::path out = Env("KORELLE_E2E_OUT");
    if (out.empty()) return;
    fs::create_directories(out);
    const std::string command = "import -window root '" + (out / name).string() + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << "screenshot " << name;
}

TEST_F(Startup, TheMessageBoxAnswersOneOrTwoAndIgnoresEscape) {
    const fs::path demo = fs::path(Env("KORELLE_WINDOWS_BUILD")) / "tests" / "e2e" / "message-demo.exe";
    const std::string wait = " " + std::to_string(kTimeoutMs);
    struct Case {
        const char* mode;
        const char* text;
        int press;
        int result;
        const char* shot;
    };
    const Case cases[] = {
        {"0", "The mouse was not found. Please check that it is connected.", 1116, 1, "message-ok.png"},
        {"1", "The settings have changed. Apply them to the mouse before closing?", 1129, 2, "message-yes-no.png"},
        {"1", "Yes ends it with 1.", 1128, 1, nullptr},
        {"7", "Any other mode is an OK box.", 1116, 1, nullptr},
        {"0", "", 1116, 1, nullptr},  // an empty text still waits for a button
    };
    for (const Case& c : cases) {
        const pid_t pid = Start(demo, folder, {c.mode, c.text});
        running.push_back(pid);
        ASSERT_EQ(Driver("wait-window '#32770' -" + wait).code, 0) << c.text;
        // Escape (the cancel command) leaves it open.
        EXPECT_EQ(Driver("press '#32770' - 2" + wait).code, 0);
        EXPECT_EQ(WaitExit(pid, 1000), -1) << "ended by Escape: " << c.text;
        if (c.shot) Screenshot(c.shot);
        EXPECT_EQ(Driver("press '#32770' - " + std::to_string(c.press) + wait).code, 0);
        EXPECT_EQ(WaitExit(pid, kTimeoutMs), c.result) << c.text;
    }
}

}  // namespace
