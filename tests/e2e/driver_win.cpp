// Drives a running Korelle.exe for the end-to-end tests: finds its windows,
// reads and answers message boxes, and asks it to end. Every wait polls
// with a time-out. Prints what it found on standard output; exit code 0 for
// success, 1 for a time-out or a failed check, 2 for wrong usage.
//
//   korelle-driver wait-window CLASS TITLE TIMEOUT_MS
//   korelle-driver no-window CLASS TITLE MS        (fails if it appears)
//   korelle-driver message-box CAPTION TIMEOUT_MS  (prints the text, presses OK)
//   korelle-driver quit TIMEOUT_MS                 (ends the running program)
//   korelle-driver press CLASS TITLE ID TIMEOUT_MS (posts the command ID to the window)
//   korelle-driver launch-stats EXE TIMEOUT_MS     (starts EXE in the current folder, prints
//                                                  the time to its first visible window and
//                                                  its peak working set, then ends it)
// CLASS or TITLE "-" matches any.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* Arg(const char* text) { return std::strcmp(text, "-") == 0 ? nullptr : text; }

template <class Found>
bool Poll(DWORD timeoutMs, Found found) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (found()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(50);
    }
}

std::string TextOf(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The message text of a system message box: its static control that is
// not an icon.
std::string MessageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM out) -> BOOL {
            char cls[32] = "";
            GetClassNameA(child, cls, sizeof cls);
            if (_stricmp(cls, "Static") == 0 && !(GetWindowLongA(child, GWL_STYLE) & SS_ICON)) {
                const std::string t = TextOf(child);
                if (!t.empty()) {
                    *reinterpret_cast<std::string*>(out) = t;
                    return FALSE;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string command = argv[1];
    if (command == "wait-window" && argc == 5) {
        HWND found = nullptr;
        const bool ok = Poll(std::atoi(argv[4]), [&] { return (found = FindWindowA(Arg(argv[2]), Arg(argv[3]))); });
        if (ok) std::printf("found %p owner %p\n", static_cast<void*>(found), static_cast<void*>(GetWindow(found, GW_OWNER)));
        return ok ? 0 : 1;
    }
    if (command == "no-window" && argc == 5) {
        const bool appeared = Poll(std::atoi(argv[4]), [&] { return FindWindowA(Arg(argv[2]), Arg(argv[3])) != nullptr; });
        if (appeared) std::printf("appeared\n");
        return appeared ? 1 : 0;
    }
    if (command == "message-box" && argc == 4) {
        HWND box = nullptr;
        if (!Poll(std::atoi(argv[3]), [&] { return (box = FindWindowA("#32770", argv[2])); })) return 1;
        // The box may still be filling in its controls.
        std::string text;
        Poll(2000, [&] { return !(text = MessageBoxText(box)).empty(); });
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    if (command == "press" && argc == 6) {
        HWND window = nullptr;
        if (!Poll(std::atoi(argv[5]), [&] { return (window = FindWindowA(Arg(argv[2]), Arg(argv[3]))); })) return 1;
        return PostMessageA(window, WM_COMMAND, std::atoi(argv[4]), 0) ? 0 : 1;
    }
    if (command == "launch-stats" && argc == 4) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        LARGE_INTEGER frequency, t0, t1;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&t0);
        if (!CreateProcessA(argv[2], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 1;
        struct Search {
            DWORD pid;
            HWND found;
        } search{pi.dwProcessId, nullptr};
        const bool shown = Poll(std::atoi(argv[3]), [&] {
            EnumWindows(
                [](HWND w, LPARAM p) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(p);
                    DWORD pid = 0;
                    GetWindowThreadProcessId(w, &pid);
                    if (pid == s->pid && IsWindowVisible(w)) {
                        RECT r{};
                        GetWindowRect(w, &r);
                        if (r.right - r.left > 20 && r.bottom - r.top > 20) s->found = w;
                    }
                    return s->found ? FALSE : TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        });
        QueryPerformanceCounter(&t1);
        Sleep(1000);  // settle, then read the peak
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(pi.hProcess, &memory, sizeof memory);
        TerminateProcess(pi.hProcess, 0);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        if (!shown) return 1;
        std::printf("first-window-ms %.1f peak-working-set-kb %lu\n",
                    1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(frequency.QuadPart),
                    static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024));
        return 0;
    }
    if (command == "quit" && argc == 3) {
        HWND marker = nullptr;
        if (!Poll(std::atoi(argv[2]), [&] { return (marker = FindWindowA("OblentVantor", "OblentVantorManager")); }))
            return 1;
        // The program's message loops end on a quit message to its thread.
        const DWORD thread = GetWindowThreadProcessId(marker, nullptr);
        return PostThreadMessageA(thread, WM_QUIT, 0, 0) ? 0 : 1;
    }
    return 2;
}
