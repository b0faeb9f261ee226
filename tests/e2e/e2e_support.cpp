#include "tests/e2e/e2e_support.h"

#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include <pugixml.hpp>

namespace e2e {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

namespace {

const fs::path kWineRun = fs::path(KORELLE_SOURCE_DIR) / "scripts" / "wine-run";

std::string Quote(const std::string& word) {
    std::string out = "'";
    for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string Capture(const std::string& command, int& code) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        code = -1;
        return "";
    }
    std::string out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    const int status = pclose(pipe);
    code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

}  // namespace

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string WindowsPath(const fs::path& path) {
    std::string s = "Z:" + path.string();
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
}

pid_t Start(const fs::path& program, const fs::path& folder, const std::vector<std::string>& args,
            const fs::path& output) {
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        if (chdir(folder.c_str()) != 0) _exit(127);
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(out, 1);
        dup2(out, 2);
        std::vector<char*> argv = {const_cast<char*>(kWineRun.c_str()), const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(kWineRun.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

int WaitExit(pid_t pid, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        if (std::chrono::steady_clock::now() > deadline) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::string ShippedText(const char* key) {
    pugi::xml_document strings;
    strings.load_file((fs::path(Env("KORELLE_DIST")) / "String" / "English" / "Korelle.xml").c_str());
    return strings.child("Strings").find_child_by_attribute("String", "Key", key).text().get();
}

std::string ShippedText(const char* key, const Language& language) {
    pugi::xml_document strings;
    strings.load_file((fs::path(Env("KORELLE_DIST")) / "String" / language.folder / "Korelle.xml").c_str());
    std::string utf8 = strings.child("Strings").find_child_by_attribute("String", "Key", key).text().get();
    const iconv_t cd = iconv_open(language.codePage, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "(no " + std::string(language.codePage) + ")";
    std::string out(2 * utf8.size() + 1, '\0');
    char* src = utf8.data();
    char* dst = out.data();
    size_t srcLeft = utf8.size(), dstLeft = out.size();
    const bool whole = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return whole ? out : "(not in " + std::string(language.codePage) + ")";
}

void UseLocale(const std::string& locale) {
    // The run's own value, kept from the first change.
    static const bool hadLocale = std::getenv("LC_ALL") != nullptr;
    static const std::string runLocale = Env("LC_ALL");
    if (!locale.empty())
        setenv("LC_ALL", locale.c_str(), 1);
    else if (hadLocale)
        setenv("LC_ALL", runLocale.c_str(), 1);
    else
        unsetenv("LC_ALL");
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

fs::path WindowsBuildFile(const std::string& relative) { return fs::path(Env("KORELLE_WINDOWS_BUILD")) / relative; }

namespace {

// One driver process for the whole test run ("korelle-driver serve"): a
// command per line in, its output and a line "\x1e CODE" out.
class DriverServer {
public:
    ~DriverServer() { Stop(); }

    bool Run(const std::string& args, DriverResult& result) {
        // Its code page is fixed at its start: a new locale needs a new server.
        if (to_ && locale_ != Env("LC_ALL")) Stop();
        if (!to_ && !Start()) return false;
        if (std::fprintf(to_, "%s\n", args.c_str()) < 0 || std::fflush(to_) != 0) return Restart();
        std::string out;
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, from_)) {
            std::string line = buffer;
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
            if (!line.empty() && line[0] == '\x1e') {
                result.code = std::atoi(line.c_str() + 1);
                result.out = out;
                while (!result.out.empty() && result.out.back() == '\n') result.out.pop_back();
                return true;
            }
            out += line + "\n";
        }
        return Restart();  // the server ended: the caller runs the command on its own
    }

private:
    bool Start() {
        signal(SIGPIPE, SIG_IGN);  // a server that ended shows as a failed write, not a signal
        int in[2], out[2];
        if (pipe(in) != 0) return false;
        if (pipe(out) != 0) {
            close(in[0]);
            close(in[1]);
            return false;
        }
        const std::string driver = WindowsBuildFile("tests/e2e/korelle-driver.exe").string();
        locale_ = Env("LC_ALL");
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 2);
            close(in[1]);
            close(out[0]);
            execl(kWineRun.c_str(), kWineRun.c_str(), driver.c_str(), "serve", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        to_ = fdopen(in[1], "w");
        from_ = fdopen(out[0], "r");
        return pid_ > 0 && to_ && from_;
    }
    bool Restart() {
        Stop();
        return false;
    }
    void Stop() {
        if (to_) std::fclose(to_);
        if (from_) std::fclose(from_);
        to_ = from_ = nullptr;
        if (pid_ > 0 && WaitExit(pid_, 5000) == -1) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }

    pid_t pid_ = -1;
    std::string locale_;
    FILE* to_ = nullptr;
    FILE* from_ = nullptr;
};

}  // namespace

DriverResult Driver(const std::string& args, bool ownProcess) {
    static DriverServer server;
    DriverResult result{};
    // Wine keeps a process's copy of the desktop settings from its first
    // read: reading them back needs a process of its own.
    ownProcess = ownProcess || args.rfind("spi ", 0) == 0;
    if (!ownProcess && server.Run(args, result)) return result;
    const fs::path driver = WindowsBuildFile("tests/e2e/korelle-driver.exe");
    result.out = Capture(Quote(kWineRun.string()) + " " + Quote(driver.string()) + " " + args + " 2>/dev/null",
                         result.code);
    return result;
}

std::string DriverOut(const std::string& args) {
    const DriverResult result = Driver(args);
    EXPECT_EQ(result.code, 0) << "driver " << args;
    return result.out;
}

bool ClickAndWait(const std::string& click, const std::string& wait) {
    const std::string seen = Driver("click " + click).out;
    const auto start = std::chrono::steady_clock::now();
    const bool done = Driver(wait).code == 0;
    const long long ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    if (!done || ms > 5000)
        std::fprintf(stderr, "%s click %s: %s; its effect %s after %lld ms\n", done ? "slow" : "lost", click.c_str(),
                     seen.c_str(), done ? "came" : "not seen", ms);
    return done;
}

bool OpenFunctionMenu(int button, const std::string& limit) {
    const std::string menu = KORELLE_WINDOW(IDC_MENU_BUTTON_OFF);
    if (Driver("wait " + menu + " shown 0").code == 0 && Driver("wait " + menu + " hidden" + limit).code != 0) {
        std::fprintf(stderr, "the menu never went\n");
        return false;
    }
    return ClickAndWait(KORELLE_WINDOW(IDC_MAIN_LOGO) " " + std::to_string(IDC_MAIN_LABEL_0 + button),
                        "wait " + menu + " shown" + limit);
}

TextExtent MeasureText(const std::string& window, int id) {
    TextExtent e;
    const std::string out = DriverOut("text-extent " + window + " " + std::to_string(id));
    EXPECT_EQ(std::sscanf(out.c_str(), "%d %d %d %d", &e.line, &e.wrapped, &e.width, &e.height), 4) << out;
    return e;
}

void Screenshot(const std::string& name) {
    const fs::path out = Env("KORELLE_E2E_OUT");
    if (out.empty()) return;
    fs::create_directories(out);
    const std::string command = "import -window root " + Quote((out / name).string()) + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << "screenshot " << name;
}

void ProgramFolderTest::SetUp() {
    ASSERT_FALSE(Env("KORELLE_DIST").empty()) << "run through the test command";
    root = fs::temp_directory_path() / ("korelle-e2e-" + std::to_string(getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    UseFolder(root / "Korelle");
}

void ProgramFolderTest::TearDown() {
    for (pid_t pid : running) {
        if (WaitExit(pid, 0) == -1) {
            kill(-pid, SIGKILL);
            WaitExit(pid, 5000);
        }
    }
    // What the programs and Wine printed (a crash's backtrace above all),
    // for a test that failed.
    const std::string output = ReadText(ProgramOutput());
    if (HasFailure() && !output.empty())
        std::printf("-- what the programs printed:\n%s-- end\n",
                    output.substr(output.size() > 6000 ? output.size() - 6000 : 0).c_str());
    unsetenv("KORELLE_EMULATOR_STATE");
    UseLocale("");
    fs::remove_all(root);
}

void ProgramFolderTest::UseFolder(const fs::path& path) {
    folder = path;
    fs::create_directories(folder);
    fs::copy(Env("KORELLE_DIST"), folder, fs::copy_options::recursive);
}

void ProgramFolderTest::UseLanguage(const Language& language) {
    // The shipped file with its language line replaced; the rest stays.
    std::istringstream in(ReadText(folder / "Setup.ini"));
    std::string text, line;
    bool named = false;
    while (std::getline(in, line)) {
        if (line.rfind("Language=", 0) == 0) {
            line = std::string("Language=") + language.folder;
            named = true;
        }
        text += line + "\n";
    }
    if (!named) text = std::string("[SystemInfo.Desc]\nLanguage=") + language.folder + "\n" + text;
    WriteText(folder / "Setup.ini", text);
    UseLocale(language.locale);
}

pid_t ProgramFolderTest::Run() { return RunProgram(folder / "Korelle.exe"); }

pid_t ProgramFolderTest::RunProgram(const fs::path& program, const std::vector<std::string>& args) {
    const pid_t pid = Start(program, folder, args, ProgramOutput());
    running.push_back(pid);
    return pid;
}

std::string ProgramFolderTest::MouseTool(const std::vector<std::string>& args) {
    std::string command = Quote(KORELLE_MOUSE_TOOL);
    for (const std::string& a : args) command += " " + Quote(a);
    int code = 0;
    const std::string out = Capture(command + " 2>&1", code);
    EXPECT_EQ(code, 0) << command << "\n" << out;
    return out;
}

void ProgramFolderTest::UseEmulatedMouse(const std::vector<std::string>& createArgs) {
    mouseState = root / "mouse.state";
    std::vector<std::string> args = {"create", mouseState.string()};
    args.insert(args.end(), createArgs.begin(), createArgs.end());
    if (createArgs.size() == 1 && createArgs[0] == "default") args.push_back(folder.string());
    MouseTool(args);
    setenv("KORELLE_EMULATOR_STATE", WindowsPath(mouseState).c_str(), 1);
}

void KorelleTest::SetUp() {
    ProgramFolderTest::SetUp();
    UseEmulatedMouse();
}

void KorelleTest::Start() {
    program = Run();
    ASSERT_EQ(Driver("wait " KORELLE_WINDOW(IDC_MAIN_LOGO) " shown" + kWait).code, 0) << "no main window";
    // The panels are made just after the main window shows; the program
    // takes no input before, but a test looking for them could.
    ASSERT_EQ(Driver("wait " KORELLE_WINDOW(IDC_LEFT_SPEED_LABEL) " hidden" + kWait).code, 0) << "no left panel";
}

void KorelleTest::LoadConfiguration(const std::string& name) {
    const std::string advanced = KORELLE_WINDOW(IDC_ADV_LOAD), files = KORELLE_WINDOW(IDC_FILES_NAME);
    auto command = [](const std::string& window, int id) {
        EXPECT_EQ(Driver("command " + window + " " + std::to_string(id) + kWait).code, 0) << id;
    };
    command(KORELLE_WINDOW(IDC_MAIN_LOGO), IDC_MAIN_ADVANCED);
    ASSERT_EQ(Driver("wait " + advanced + " shown" + kWait).code, 0) << "no advanced settings";
    command(advanced, IDC_ADV_LOAD);
    ASSERT_EQ(Driver("wait " + files + " shown" + kWait).code, 0) << "no files dialog";
    ASSERT_EQ(Driver("set-text " + files + " " KORELLE_ID(IDC_FILES_NAME) " '" + name + "'").code, 0);
    command(files, IDC_FILES_OK);
    command(advanced, IDC_ADV_OK);
    ASSERT_EQ(Driver("wait " + advanced + " gone" + kWait).code, 0);
}

void KorelleTest::Quit() {
    EXPECT_EQ(Driver("quit" + kWait).code, 0);
    EXPECT_EQ(WaitExit(program, kTimeoutMs), 0);
}

}  // namespace e2e
