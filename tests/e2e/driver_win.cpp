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
//
// The program's own windows are dialogs without titles; WIN names one by a
// control id it holds, "@1171" (a top-level window of this desktop with a
// child control 1171; a visible one is preferred over a hidden one).
//   korelle-driver wait WIN shown|hidden|gone TIMEOUT_MS
//   korelle-driver text WIN ID                     (prints the control's text)
//   korelle-driver check WIN ID                    (prints 1 when checked, else 0)
//   korelle-driver visible WIN ID                  (prints 1 when visible, else 0)
//   korelle-driver enabled WIN                     (prints 1 when enabled, else 0)
//   korelle-driver focus WIN ID TIMEOUT_MS         (waits until the control has the focus)
//   korelle-driver command WIN ID TIMEOUT_MS       (posts BN_CLICKED of control ID; what it
//                                                  changes may come after the driver returns)
//   korelle-driver post WIN MSG WPARAM LPARAM      (posts any message)
//   korelle-driver click WIN ID [double]           (real pointer clicks on the control's middle)
//   korelle-driver point WIN ID                    (moves the pointer onto the control's middle)
//   korelle-driver move WIN X Y                    (moves the window's top-left corner there)
//   korelle-driver rect WIN [ID]                   (prints left top right bottom on the screen)
//   korelle-driver layered WIN                     (prints "alpha A" or "key RRGGBB" or "none")
//   korelle-driver skinned-box TIMEOUT_MS ANSWER   (the skinned message box: prints its
//                                                  text, then presses ANSWER 1116, 1128
//                                                  or 1129)
//
// Side panels (see the block "Side panels" below):
//   korelle-driver spi get wheel|dblclick|speed    (prints the desktop setting)
//   korelle-driver spi set wheel|dblclick|speed V  (writes it to the user profile)
//   korelle-driver drag X1 Y1 X2 Y2                (real pointer input: press at the first
//                                                  screen point, move to the second, release)
//   korelle-driver pointer X Y                     (real pointer input: moves it there)
//   korelle-driver hook-area                       (prints "panel HWND drag N" from the shared
//                                                  hook area)
//   korelle-driver hash WIN [ID]                   (prints a hash of the pixels on the screen)
//   korelle-driver slide WIN ID PANEL CONTROL TIMEOUT_MS
//                                                  (posts command ID to WIN, then watches the
//                                                  window PANEL until its control CONTROL
//                                                  shows: prints the milliseconds taken and
//                                                  how many different pictures PANEL showed)
//
// Typing and list boxes (the configuration files dialog):
//   korelle-driver set-text WIN ID TEXT            (sets the control's text, as typing does)
//   korelle-driver field-text WIN ID               (prints an edit control's text: "text"
//                                                  reads only the window caption of another
//                                                  process's window)
//   korelle-driver list-items WIN ID               (prints each item of a list box on a line)
//   korelle-driver select WIN ID INDEX             (selects a list item as a click does: the
//                                                  selection, then LBN_SELCHANGE sent to the window)
//   korelle-driver top-index WIN ID                (prints the list box's top item)
//   korelle-driver key WIN ID VK                   (posts a key press and release to the
//                                                  control, or to the window for ID 0)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
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
HWND FindByControl(const char* name) {
    if (name[0] != '@') return nullptr;
    struct Search {
        int id;
        HWND visible, hidden;
    } search{std::atoi(name + 1), nullptr, nullptr};
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
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof move);
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

// ---- typing and list boxes (the configuration files dialog) ----

// -1 when command is not one of them.
int TextAndListCommand(const std::string& command, int argc, char** argv, HWND window) {
    HWND control = argc >= 4 ? GetDlgItem(window, std::atoi(argv[3])) : nullptr;
    if (command == "set-text" && argc == 5 && control)
        return SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : 1;
    if (command == "field-text" && argc == 4 && control) {
        wchar_t wide[512] = L"";
        SendMessageW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(wide));
        char text[1024] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        std::printf("%s\n", text);
        return 0;
    }
    if (command == "list-items" && argc == 4 && control) {
        // Wide calls: the ANSI item texts of another process's list box do not
        // come back whole under Wine.
        const int count = static_cast<int>(SendMessageW(control, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t wide[512] = L"";
            if (SendMessageW(control, LB_GETTEXTLEN, i, 0) < 512)
                SendMessageW(control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
            char text[1024] = "";
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
            std::printf("%s\n", text);
        }
        return 0;
    }
    if (command == "select" && argc == 5 && control) {
        if (SendMessageA(control, LB_SETCURSEL, std::atoi(argv[4]), 0) == LB_ERR) return 1;
        // Sent, not posted: the selection's effect is there when the command ends.
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
        return 0;
    }
    if (command == "top-index" && argc == 4 && control) {
        Print(static_cast<long>(SendMessageA(control, LB_GETTOPINDEX, 0, 0)));
        return 0;
    }
    if (command == "key" && argc == 5) {
        HWND target = std::atoi(argv[3]) == 0 ? window : control;
        const WPARAM vk = std::strtoul(argv[4], nullptr, 0);
        if (!target) return 1;
        return PostMessageA(target, WM_KEYDOWN, vk, 1) && PostMessageA(target, WM_KEYUP, vk, 0xC0000001) ? 0 : 1;
    }
    return -1;
}

// ---- end of typing and list boxes ----

// Commands on the program's own windows; -1 when command is not one of them.
int WindowCommand(int argc, char** argv) {
    const std::string command = argv[1];
    if (argc < 3) return -1;
    HWND window = FindByControl(argv[2]);
    if (command == "wait" && argc == 5) {
        const std::string state = argv[3];
        return Poll(std::atoi(argv[4]), [&] {
                   window = FindByControl(argv[2]);
                   if (state == "gone") return window == nullptr;
                   if (!window) return false;
                   return (IsWindowVisible(window) != FALSE) == (state == "shown");
               })
                   ? 0
                   : 1;
    }
    if (command == "skinned-box" && argc == 4) {
        if (!Poll(std::atoi(argv[2]), [&] { return (window = FindByControl("@1126")) && IsWindowVisible(window); }))
            return 1;
        std::printf("%s\n", TextOf(GetDlgItem(window, 1126)).c_str());
        std::fflush(stdout);
        const int answer = std::atoi(argv[3]);
        if (!PostMessageA(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                          reinterpret_cast<LPARAM>(GetDlgItem(window, answer))))
            return 1;
        // Answered: it goes, so a next box is not taken for this one.
        return Poll(std::atoi(argv[2]), [&] { return !IsWindow(window) || !IsWindowVisible(window); }) ? 0 : 1;
    }
    if (command == "command" && argc == 5) {
        const int id = std::atoi(argv[3]);
        if (!Poll(std::atoi(argv[4]), [&] { return (window = FindByControl(argv[2])) != nullptr; })) return 1;
        // Posted, as a click is: a modal loop that the command ends (or
        // opens) runs on as it would for the user.
        return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)))
                   ? 0
                   : 1;
    }
    if (!window) {
        std::fprintf(stderr, "no window %s\n", argv[2]);
        return 1;
    }
    if (const int typed = TextAndListCommand(command, argc, argv, window); typed >= 0) return typed;
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
    if (command == "focus" && argc == 5 && control) {
        // The control has the keyboard focus of its thread.
        const DWORD thread = GetWindowThreadProcessId(control, nullptr);
        return Poll(std::atoi(argv[4]), [&] {
                   GUITHREADINFO info{};
                   info.cbSize = sizeof info;
                   return GetGUIThreadInfo(thread, &info) && info.hwndFocus == control;
               })
                   ? 0
                   : 1;
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
    if ((command == "click" && (argc == 4 || argc == 5)) || (command == "point" && argc == 4)) {
        if (!control) return 1;
        RECT r{};
        GetWindowRect(control, &r);
        ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, command == "point" ? 0 : argc == 5 ? 2 : 1);
        return 0;
    }
    if (command == "move" && argc == 5) {
        return SetWindowPos(window, nullptr, std::atoi(argv[3]), std::atoi(argv[4]), 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
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


// ---- Side panels ---------------------------------------------------------
// Desktop settings, real pointer drags, the shared hook area, and watching a
// panel slide. Added for the side panels' end-to-end tests.

bool SettingAction(const std::string& name, UINT& get, UINT& set) {
    if (name == "wheel") {
        get = SPI_GETWHEELSCROLLLINES;
        set = SPI_SETWHEELSCROLLLINES;
    } else if (name == "dblclick") {
        get = 0;  // GetDoubleClickTime
        set = SPI_SETDOUBLECLICKTIME;
    } else if (name == "speed") {
        get = SPI_GETMOUSESPEED;
        set = SPI_SETMOUSESPEED;
    } else {
        return false;
    }
    return true;
}

int SettingCommand(int argc, char** argv) {
    UINT get = 0, set = 0;
    if (argc < 4 || !SettingAction(argv[3], get, set)) return 2;
    const std::string verb = argv[2];
    if (verb == "get" && argc == 4) {
        UINT value = 0;
        if (get == 0)
            value = GetDoubleClickTime();
        else if (!SystemParametersInfoA(get, 0, &value, 0))
            return 1;
        Print(static_cast<long>(value));
        return 0;
    }
    if (verb == "set" && argc == 5) {
        const UINT value = static_cast<UINT>(std::strtoul(argv[4], nullptr, 0));
        // The mouse speed travels as the pointer argument; Wine 8 reads it
        // from the first argument instead, so the driver passes it in both.
        const BOOL ok = set == SPI_SETMOUSESPEED
                            ? SystemParametersInfoA(set, value, reinterpret_cast<void*>(static_cast<UINT_PTR>(value)),
                                                    SPIF_UPDATEINIFILE)
                            : SystemParametersInfoA(set, value, nullptr, SPIF_UPDATEINIFILE);
        return ok ? 0 : 1;
    }
    return 2;
}

// An absolute move to a pixel of the primary screen: the normalised
// coordinate is rounded up so that scaling it back gives the pixel.
INPUT MouseTo(int x, int y) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((x * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>((y * 65536LL + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

void SendMouse(INPUT input) { SendInput(1, &input, sizeof input); }

// As a hand would: press, pause, move in small steps, pause, release.
void Drag(POINT from, POINT to) {
    SendMouse(MouseTo(from.x, from.y));
    Sleep(150);
    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendMouse(press);
    Sleep(200);
    constexpr int kSteps = 12;
    for (int i = 1; i <= kSteps; ++i) {
        SendMouse(MouseTo(from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps));
        Sleep(40);
    }
    Sleep(200);
    INPUT release{};
    release.type = INPUT_MOUSE;
    release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendMouse(release);
    Sleep(200);
}

// FNV-1a over the screen's pixels in the rectangle.
unsigned long long ScreenHash(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return 0;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    unsigned long long hash = 1469598103934665603ULL;
    const auto* p = static_cast<const unsigned char*>(bits);
    for (long i = 0; p && i < 4L * w * h; ++i) hash = (hash ^ p[i]) * 1099511628211ULL;
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return hash;
}

// Commands of the side panels; -1 when command is not one of them.
int PanelCommand(int argc, char** argv) {
    const std::string command = argv[1];
    if (command == "spi") return SettingCommand(argc, argv);
    if (command == "drag" && argc == 6) {
        Drag({std::atoi(argv[2]), std::atoi(argv[3])}, {std::atoi(argv[4]), std::atoi(argv[5])});
        return 0;
    }
    if (command == "pointer" && argc == 4) {
        SendMouse(MouseTo(std::atoi(argv[2]), std::atoi(argv[3])));
        Sleep(100);
        return 0;
    }
    if (command == "hook-area" && argc == 2) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "GamingMouseHookDataArea");
        if (!mapping) return 1;
        const auto* area = static_cast<const unsigned char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
        if (!area) {
            CloseHandle(mapping);
            return 1;
        }
        unsigned long long panel = 0;
        std::memcpy(&panel, area + 16, sizeof panel);
        std::printf("panel %llx drag %d\n", panel, area[24]);
        UnmapViewOfFile(area);
        CloseHandle(mapping);
        return 0;
    }
    if (argc < 3 || argv[2][0] != '@') return -1;
    HWND window = FindByControl(argv[2]);
    if (command == "hash" && (argc == 3 || argc == 4) && window) {
        HWND target = argc == 4 ? GetDlgItem(window, std::atoi(argv[3])) : window;
        if (!target) return 1;
        RECT r{};
        GetWindowRect(target, &r);
        std::printf("%016llx\n", ScreenHash(r));
        return 0;
    }
    if (command == "slide" && argc == 7 && window) {
        HWND panel = FindByControl(argv[4]);
        HWND control = panel ? GetDlgItem(panel, std::atoi(argv[5])) : nullptr;
        if (!control) return 1;
        const int id = std::atoi(argv[3]);
        const DWORD start = GetTickCount();
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
        int pictures = 0;
        unsigned long long last = 0;
        bool shown = false;
        // Polled more often than the frames change, to count them.
        while (!(shown = IsWindowVisible(control) != FALSE) && GetTickCount() - start < std::strtoul(argv[6], nullptr, 0)) {
            if (IsWindowVisible(panel)) {
                RECT r{};
                GetWindowRect(panel, &r);
                const unsigned long long hash = ScreenHash(r);
                if (hash != last) ++pictures;
                last = hash;
            }
            Sleep(5);
        }
        std::printf("%lu %d\n", static_cast<unsigned long>(GetTickCount() - start), pictures);
        return shown ? 0 : 1;
    }
    return -1;
}
// ---- end of side panels ----------------------------------------------------

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
    HWND window = FindByControl(argv[2]);
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

// Splits a command line into words as a shell does for quotes: '...' is
// literal, "..." keeps blanks, a backslash outside single quotes takes the
// next character as it is.
static std::vector<std::string> Words(const char* line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (const char* p = line; *p && *p != '\n' && *p != '\r'; ++p) {
        const char c = *p;
        if (quote == '\'') {
            if (c == '\'') quote = 0; else word += c;
        } else if (c == '\\' && p[1]) {
            word += *++p;
            inWord = true;
        } else if (quote == '"') {
            if (c == '"') quote = 0; else word += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

static int RunCommand(int argc, char** argv);

// "serve": one command per line on standard input, as shell words; after
// each, its output and then a line of the record separator (0x1E) and the
// command's exit code. Saves starting a Windows process per command.
int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "serve") == 0) {
        static char line[16384];
        while (std::fgets(line, sizeof line, stdin)) {
            std::vector<std::string> words = Words(line);
            std::vector<char*> args = {argv[0]};
            for (std::string& w : words) args.push_back(w.data());
            args.push_back(nullptr);
            const int code = words.empty() ? 2 : RunCommand(static_cast<int>(args.size()) - 1, args.data());
            std::printf("\x1e %d\n", code);
            std::fflush(stdout);
        }
        return 0;
    }
    return RunCommand(argc, argv);
}

// ---- files held open, as another program or a virus scanner does ----

// "hold-file PATH": opens the file for reading, sharing only reading, and
// keeps it open in this (serving) process until "release-file PATH". Meanwhile
// the file cannot be replaced or deleted. -1 when command is not one of them.
int FileCommand(int argc, char** argv) {
    static std::map<std::string, HANDLE> held;
    const std::string command = argv[1];
    if (command == "hold-file" && argc == 3) {
        if (held.count(argv[2])) return 1;
        const HANDLE file = CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        held[argv[2]] = file;
        return 0;
    }
    if (command == "release-file" && argc == 3) {
        const auto it = held.find(argv[2]);
        if (it == held.end()) return 1;
        CloseHandle(it->second);
        held.erase(it);
        return 0;
    }
    return -1;
}

static int RunCommand(int argc, char** argv) {
    if (argc < 2) return 2;
    if (const int result = InputCommand(argc, argv); result >= 0) return result;
    if (const int result = FileCommand(argc, argv); result >= 0) return result;
    const std::string command = argv[1];
    if (const int result = PanelCommand(argc, argv); result >= 0) return result;  // side panels
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
