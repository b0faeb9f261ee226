// Helpers shared by the test suites of both builds.
#pragma once

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace test_support {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with its
// content at the end of the test.
class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        const auto stamp = std::to_string(fs::file_time_type::clock::now().time_since_epoch().count());
        path_ = fs::temp_directory_path() / ("korelle-test-" + stamp + "-" + std::to_string(counter++));
        fs::create_directories(path_);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    // The 8-bit path of a file in the folder, as the library takes it.
    std::string file(std::string_view name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

inline void WriteFile(const std::string& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Changes the current directory for one scope.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const fs::path& dir) : saved_(fs::current_path()) { fs::current_path(dir); }
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;
    ~ScopedCurrentDir() { fs::current_path(saved_); }

private:
    fs::path saved_;
};

// The installed program folder (Windows build, under Wine: KORELLE_DIST
// holds its host path, reached through drive Z:).
inline std::string ProgramFolder() {
    const char* dist = std::getenv("KORELLE_DIST");
    std::string path = std::string("Z:") + (dist ? dist : "");
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// The device's shipped data files: the installed copy in the Windows build,
// the source copy natively.
inline fs::path ShippedDeviceFolder() {
#ifdef _WIN32
    return fs::path(ProgramFolder()) / "Database" / "VID7a3d_PID006a";
#else
    return fs::path(KORELLE_SOURCE_DIR) / "assets" / "database" / "VID7a3d_PID006a";
#endif
}

// The shipped help pages, likewise: natively the Help folder the build makes.
inline fs::path ShippedHelpFolder() {
#ifdef _WIN32
    return fs::path(ProgramFolder()) / "Help";
#else
    return fs::path(KORELLE_HELP_DIR);
#endif
}

#ifndef _WIN32
struct ShellResult {
    int code = -1;  // the exit code; -1 when it did not exit normally
    std::string out;  // standard output and error
};

// Runs a shell command line and collects what it printed.
inline ShellResult Shell(const std::string& command) {
    ShellResult r;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) r.out += buffer;
    const int status = pclose(pipe);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}
#endif

}  // namespace test_support
