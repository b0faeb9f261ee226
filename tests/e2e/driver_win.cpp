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
//   korelle-driver launch-stats EXE TIMEOUT_MS [IDLE_MS]
//                                                 (starts EXE in the current folder, prints
//                                                  the time to its first visible window and
//                                                  its peak working set, and with IDLE_MS
//                                                  its CPU use over that time while left
//                                                  alone, then ends it)
// CLASS or TITLE "-" matches any.
//
// The program's own windows are dialogs without titles; WIN names one by a
// control id it holds, "@1171" (a top-level window of this desktop with a
// child control 1171; a visible one is preferred over a hidden one).
//   korelle-driver wait WIN shown|hidden|gone TIMEOUT_MS
//   korelle-driver text WIN ID                     (prints the control's text)
//   korelle-driver check WIN ID                    (prints 1 when checked, else 0)
//   korelle-driver visible WIN ID                  (prints 1 when visible, else 0)
//   korelle-driver enabled WIN                     (prints 1 when enabled, else 0)
//   korelle-driver command WIN ID TIMEOUT_MS       (posts BN_CLICKED of control ID)
//   korelle-driver post WIN MSG WPARAM LPARAM      (posts any message)
//   korelle-driver click WIN ID [double]           (real pointer clicks on the control's middle)
//   korelle-driver rect WIN [ID]                   (prints left top right bottom on the screen)
//   korelle-driver layered WIN                     (prints "alpha A" or "key RRGGBB" or "none")
//   korelle-driver skinned-box TIMEOUT_MS ANSWER   (the skinned message box: prints its
//                                                  text, then presses ANSWER 1116, 1128
//                                                  or 1129)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

// A top-level window holding a child with the control id of "@ID"; a
// visible one first.
HWND FindBySpec(const char* spec) {
    if (spec[0] != '@') return nullptr;
    struct Search {
        int id;
        HWND visible, hidden;
    } search{std::atoi(spec + 1), nullptr, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (!GetDlgItem(w, s->id)) return TRUE;
            (IsWindowVisible(w) ? s->visible : s->hidden) = w;
            return s->visible ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.visible ? search.visible : search.hidden;
}

void Print(long value) {
    std::printf("%ld\n", value);
    std::fflush(stdout);
}

// Real input: moves the pointer and presses the left button there.
void ClickAt(POINT at, int times) {
    SetCursorPos(at.x, at.y);
    Sleep(50);
    for (int i = 0; i < times; ++i) {
        INPUT input[2]{};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
        Sleep(times > 1 ? 30 : 0);
    }
}

// Commands on the program's own windows; -1 when command is not one of them.
int WindowCommand(int argc, char** argv) {
    const std::string command = argv[1];
    if (argc < 3) return -1;
    HWND window = FindBySpec(argv[2]);
    if (command == "wait" && argc == 5) {
        const std::string state = argv[3];
        return Poll(std::atoi(argv[4]), [&] {
                   window = FindBySpec(argv[2]);
                   if (state == "gone") return window == nullptr;
                   if (!window) return false;
                   return (IsWindowVisible(window) != FALSE) == (state == "shown");
               })
                   ? 0
                   : 1;
    }
    if (command == "skinned-box" && argc == 4) {
        if (!Poll(std::atoi(argv[2]), [&] { return (window = FindBySpec("@1126")) && IsWindowVisible(window); }))
            return 1;
        std::printf("%s\n", TextOf(GetDlgItem(window, 1126)).c_str());
        std::fflush(stdout);
        const int answer = std::atoi(argv[3]);
        return PostMessageA(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                            reinterpret_cast<LPARAM>(GetDlgItem(window, answer)))
                   ? 0
                   : 1;
    }
    if (command == "command" && argc == 5) {
        const int id = std::atoi(argv[3]);
        if (!Poll(std::atoi(argv[4]), [&] { return (window = FindBySpec(argv[2])) != nullptr; })) return 1;
        return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)))
                   ? 0
                   : 1;
    }
    if (!window) {
        std::fprintf(stderr, "no window %s\n", argv[2]);
        return 1;
    }
    HWND control = argc >= 4 ? GetDlgItem(window, std::atoi(argv[3])) : nullptr;
    if (command == "text" && argc == 4 && control) {
        std::printf("%s\n", TextOf(control).c_str());
        return 0;
    }
    if (command == "check" && argc == 4 && control) {
        Print(static_cast<long>(SendMessageA(control, BM_GETCHECK, 0, 0)));
        return 0;
    }
    if (command == "visible" && argc == 4 && control) {
        Print(IsWindowVisible(control) ? 1 : 0);
        return 0;
    }
    if (command == "enabled" && argc == 3) {
        Print(IsWindowEnabled(window) ? 1 : 0);
        return 0;
    }
    if (command == "post" && argc == 6) {
        return PostMessageA(window, static_cast<UINT>(std::strtoul(argv[3], nullptr, 0)),
                            static_cast<WPARAM>(std::strtoull(argv[4], nullptr, 0)),
                            static_cast<LPARAM>(std::strtoll(argv[5], nullptr, 0)))
                   ? 0
                   : 1;
    }
    if (command == "click" && (argc == 4 || argc == 5) && control) {
        RECT r{};
        GetWindowRect(control, &r);
        ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, argc == 5 ? 2 : 1);
        return 0;
    }
    if (command == "rect" && (argc == 3 || (argc == 4 && control))) {
        RECT r{};
        GetWindowRect(control ? control : window, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    if (command == "layered" && argc == 3) {
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) ||
            !GetLayeredWindowAttributes(window, &key, &alpha, &flags))
            std::printf("none\n");
        else if (flags & LWA_COLORKEY)
            std::printf("key %02X%02X%02X\n", GetRValue(key), GetGValue(key), GetBValue(key));
        else
            std::printf("alpha %d\n", alpha);
        return 0;
    }
    return -1;
}

}  // namespace

// ---- Keyboard input, list boxes and clicks inside a control (macro editor) ----
//
//   korelle-driver type STEP...           real key input through SendInput, so that
//                                         low-level keyboard hooks see it: dVK presses
//                                         and uVK releases the key VK (hex), wMS waits
//                                         MS milliseconds; e.g. "d41 w300 u41"
//   korelle-driver list WIN ID            (prints the number of lines of a list
//                                         box, then every line)
//   korelle-driver click-at WIN ID X Y    (a real click at X, Y of the control)

namespace {

bool ExtendedKey(WORD vk) {
    switch (vk) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_LEFT: case VK_UP: case VK_RIGHT:
    case VK_DOWN: case VK_INSERT: case VK_DELETE: case VK_RCONTROL: case VK_RMENU: case VK_DIVIDE:
    case VK_NUMLOCK:
        return true;
    default:
        return false;
    }
}

int TypeKeys(int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        const char kind = argv[i][0];
        const unsigned long value = std::strtoul(argv[i] + 1, nullptr, kind == 'w' ? 10 : 16);
        if (kind == 'w') {
            Sleep(value);
            continue;
        }
        if ((kind != 'd' && kind != 'u') || value == 0 || value > 0xFE) return 2;
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(value);
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(static_cast<UINT>(value), MAPVK_VK_TO_VSC));
        input.ki.dwFlags = (kind == 'u' ? KEYEVENTF_KEYUP : 0) | (ExtendedKey(input.ki.wVk) ? KEYEVENTF_EXTENDEDKEY : 0);
        if (SendInput(1, &input, sizeof(INPUT)) != 1) return 1;
    }
    return 0;
}

// Commands of this block; -1 when the command is none of them.
int InputCommand(int argc, char** argv) {
    const std::string command = argv[1];
    if (command == "type") return TypeKeys(argc, argv);
    if (argc < 4 || argv[2][0] != '@' || (command != "list" && command != "click-at")) return -1;
    HWND window = FindBySpec(argv[2]);
    HWND control = window ? GetDlgItem(window, std::atoi(argv[3])) : nullptr;
    if (!control) {
        std::fprintf(stderr, "no control %s %s\n", argv[2], argv[3]);
        return 1;
    }
    if (command == "list" && argc == 4) {
        // Asked in wide characters: across processes the narrow reply
        // arrives in wide characters anyway.
        const int count = static_cast<int>(SendMessageW(control, LB_GETCOUNT, 0, 0));
        std::printf("%d\n", count);
        for (int i = 0; i < count; ++i) {
            const LRESULT n = SendMessageW(control, LB_GETTEXTLEN, i, 0);
            if (n < 0 || n > 4096) return 1;
            std::vector<wchar_t> text(static_cast<size_t>(n) + 1, L'\0');
            const LRESULT got = SendMessageW(control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            std::string line(2 * text.size(), '\0');
            const int bytes = got > 0 && got <= n ? WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(got),
                                                                        line.data(), static_cast<int>(line.size()),
                                                                        nullptr, nullptr)
                                                  : 0;
            std::printf("%.*s\n", bytes, line.c_str());
        }
        std::fflush(stdout);
        return 0;
    }
    if (command == "click-at" && argc == 6) {
        POINT at{std::atoi(argv[4]), std::atoi(argv[5])};
        ClientToScreen(control, &at);
        ClickAt(at, 1);
        return 0;
    }
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (const int result = InputCommand(argc, argv); result >= 0) return result;
    const std::string command = argv[1];
    if (argc >= 3 && (argv[2][0] == '@' || command == "skinned-box")) {
        const int result = WindowCommand(argc, argv);
        if (result >= 0) return result;
        return 2;
    }
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
    if (command == "launch-stats" && (argc == 4 || argc == 5)) {
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
        double idlePercent = -1;
        if (shown && argc == 5) {
            auto cpu100ns = [&] {
                FILETIME created, exited, kernel, user;
                GetProcessTimes(pi.hProcess, &created, &exited, &kernel, &user);
                auto value = [](FILETIME f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
                return value(kernel) + value(user);
            };
            const ULONGLONG before = cpu100ns();
            const DWORD idleMs = static_cast<DWORD>(std::atoi(argv[4]));
            Sleep(idleMs);
            idlePercent = static_cast<double>(cpu100ns() - before) / 100.0 / idleMs;  // 100 ns units to % of one core
        }
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(pi.hProcess, &memory, sizeof memory);
        TerminateProcess(pi.hProcess, 0);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        if (!shown) return 1;
        if (idlePercent >= 0) std::printf("idle-cpu-percent %.2f ", idlePercent);
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
