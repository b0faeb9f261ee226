// Drives a running Korelle.exe for the end-to-end tests: finds its windows,
// reads and answers message boxes, gives real pointer and key input, and
// asks the program to end. Every wait polls with a time-out. Prints what it
// found on standard output; exit code 0 for success, 1 for a time-out or a
// failed check, 2 for wrong usage. "korelle-driver help" lists the commands
// (the table kCommands below); "korelle-driver serve" reads one command per
// line.
//
// The program's own windows are dialogs without titles; WIN names one by a
// control id it holds, "@1171" (a top-level window of this desktop with a
// child control 1171; a visible one is preferred over a hidden one). CLASS
// or TITLE "-" matches any.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "components/quillon/quillon_api.h"
#include "core/hook_area.h"
#include "core/resource.h"
#include "device/protocol.h"

// An id of core/resource.h as the text the commands take.
#define ID_TEXT_OF(id) #id
#define ID_TEXT(id) ID_TEXT_OF(id)

namespace {

const char* Arg(const char* text) { return std::strcmp(text, "-") == 0 ? nullptr : text; }
int Int(const char* text) { return std::atoi(text); }
DWORD Ms(const char* text) { return static_cast<DWORD>(std::strtoul(text, nullptr, 0)); }

template <class Found>
bool Poll(DWORD timeoutMs, Found found) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (found()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(50);
    }
}

// A top-level window holding a child with the control id of "@ID"; a
// visible one first.
HWND FindByControl(const char* name) {
    if (name[0] != '@') return nullptr;
    struct Search {
        int id;
        HWND visible, hidden;
    } search{Int(name + 1), nullptr, nullptr};
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

// The window named by WIN, or null with a note on standard error.
HWND WindowArg(const char* name) {
    HWND window = FindByControl(name);
    if (!window) std::fprintf(stderr, "no window %s\n", name);
    return window;
}

// The control ID of the window named by WIN, or null with a note.
HWND ControlArg(const char* name, const char* id) {
    HWND window = WindowArg(name);
    HWND control = window ? GetDlgItem(window, Int(id)) : nullptr;
    if (window && !control) std::fprintf(stderr, "no control %s %s\n", name, id);
    return control;
}

void Print(long value) {
    std::printf("%ld\n", value);
    std::fflush(stdout);
}

// Posts BN_CLICKED of control id, as a click does: a modal loop that the
// command ends (or opens) runs on as it would for the user.
bool PostClicked(HWND window, int id) {
    return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// ---- real input ----------------------------------------------------------

// Real pointer input, through SendInput so that low-level hooks see it.
// Absolute moves to a pixel of the primary screen: the normalised
// coordinate is rounded up so that scaling it back gives the pixel.
void SendPointer(DWORD flags, POINT at = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = static_cast<LONG>((at.x * 65536LL + width - 1) / width);
        input.mi.dy = static_cast<LONG>((at.y * 65536LL + height - 1) / height);
        input.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
    }
    SendInput(1, &input, sizeof input);
}

// Moves the pointer there and presses the left button times times. Each
// press and release carries the point too: under Wine a window just shown
// under the pointer reports the pointer's old place when its program reads
// its X events, which may come after the move, and a press without a point
// then lands there (a program's first click went to the label the pointer
// had been on before the program started).
void ClickAt(POINT at, int times) {
    SetCursorPos(at.x, at.y);
    SendPointer(MOUSEEVENTF_MOVE, at);
    Sleep(50);
    for (int i = 0; i < times; ++i) {
        SendPointer(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, at);
        SendPointer(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, at);
        Sleep(times > 1 ? 30 : 0);
    }
}

// As a hand would: press, pause, move in small steps, pause, release (the
// press and the release at their points, as a click's).
void Drag(POINT from, POINT to) {
    SendPointer(MOUSEEVENTF_MOVE, from);
    Sleep(150);
    SendPointer(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, from);
    Sleep(200);
    constexpr int kSteps = 12;
    for (int i = 1; i <= kSteps; ++i) {
        SendPointer(MOUSEEVENTF_MOVE,
                    {from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps});
        Sleep(40);
    }
    Sleep(200);
    SendPointer(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, to);
    Sleep(200);
}

POINT MiddleOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

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

// dVK presses and uVK releases the key VK (hex), wMS waits MS milliseconds.
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

// ---- reading another process's controls ----------------------------------

std::string TextOf(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Wide text in the ANSI code page.
std::string Narrow(const wchar_t* text, int length) {
    std::string out(4 * static_cast<size_t>(length) + 4, '\0');
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(bytes > 0 ? static_cast<size_t>(bytes) : 0);
    return out;
}

// The items of a list box. Asked in wide characters: the ANSI item texts of
// another process's list box do not come back whole under Wine.
bool ListItems(HWND list, std::vector<std::string>& items) {
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        if (n < 0 || n > 4096) return false;
        std::vector<wchar_t> text(static_cast<size_t>(n) + 1, L'\0');
        const LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        items.push_back(got > 0 && got <= n ? Narrow(text.data(), static_cast<int>(got)) : "");
    }
    return true;
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

// The screen's pixels in the rectangle, row by row (0x00RRGGBB).
std::vector<unsigned> ScreenPixels(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<unsigned> pixels;
    if (w <= 0 || h <= 0) return pixels;
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
    if (bits) {
        const auto* p = static_cast<const unsigned*>(bits);
        pixels.assign(p, p + static_cast<size_t>(w) * h);
        for (unsigned& px : pixels) px &= 0xFFFFFF;
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// FNV-1a over the screen's pixels in the rectangle.
unsigned long long ScreenHash(const RECT& r) {
    unsigned long long hash = 1469598103934665603ULL;
    for (unsigned px : ScreenPixels(r))
        for (int byte = 0; byte < 4; ++byte) hash = (hash ^ ((px >> (8 * byte)) & 0xFF)) * 1099511628211ULL;
    return hash;
}

// ---- desktop settings -----------------------------------------------------

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

// ---- the commands ---------------------------------------------------------

int WaitWindow(int, char** argv) {
    HWND found = nullptr;
    const bool ok = Poll(Ms(argv[4]), [&] { return (found = FindWindowA(Arg(argv[2]), Arg(argv[3]))) != nullptr; });
    if (ok) std::printf("found %p owner %p\n", static_cast<void*>(found), static_cast<void*>(GetWindow(found, GW_OWNER)));
    return ok ? 0 : 1;
}

int NoWindow(int, char** argv) {
    const bool appeared = Poll(Ms(argv[4]), [&] { return FindWindowA(Arg(argv[2]), Arg(argv[3])) != nullptr; });
    if (appeared) std::printf("appeared\n");
    return appeared ? 1 : 0;
}

// Every top-level window: handle, process, class, title, shown, rectangle,
// and the ids of the program's windows it holds (as WIN names them).
int Windows(int, char**) {
    std::printf("desktop window %p\n", static_cast<void*>(GetDesktopWindow()));
    EnumWindows(
        [](HWND w, LPARAM) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            char name[128] = "";
            GetClassNameA(w, name, sizeof name);
            RECT r{};
            GetWindowRect(w, &r);
            std::printf("%p pid %lu class %s title \"%s\" %s %ld %ld %ld %ld", static_cast<void*>(w), pid, name,
                        TextOf(w).c_str(), IsWindowVisible(w) ? "shown" : "hidden", r.left, r.top, r.right, r.bottom);
            for (int id : {IDC_MAIN_LOGO, IDC_MSG_TEXT})
                if (GetDlgItem(w, id)) std::printf(" @%d", id);
            std::printf("\n");
            return TRUE;
        },
        0);
    std::fflush(stdout);
    return 0;
}

// A window, its owner, and whether it lies above its owner in the z-order.
int Owner(int, char** argv) {
    HWND window = WindowArg(argv[2]);
    if (!window) return 1;
    HWND owner = GetWindow(window, GW_OWNER);
    bool above = false;
    for (HWND w = GetWindow(window, GW_HWNDNEXT); w && !above; w = GetWindow(w, GW_HWNDNEXT)) above = w == owner;
    std::printf("%p %p %s\n", static_cast<void*>(window), static_cast<void*>(owner), above ? "above" : "below");
    return 0;
}

int AnswerMessageBox(int, char** argv) {
    HWND box = nullptr;
    if (!Poll(Ms(argv[3]), [&] { return (box = FindWindowA("#32770", argv[2])) != nullptr; })) return 1;
    // The box may still be filling in its controls.
    std::string text;
    Poll(2000, [&] { return !(text = MessageBoxText(box)).empty(); });
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
}

int Press(int, char** argv) {
    HWND window = nullptr;
    if (!Poll(Ms(argv[5]), [&] { return (window = FindWindowA(Arg(argv[2]), Arg(argv[3]))) != nullptr; })) return 1;
    return PostMessageA(window, WM_COMMAND, Int(argv[4]), 0) ? 0 : 1;
}

// Whether a top-level window of the launched program's first thread is
// shown with more than 20 pixels each way. Wine sends no event when a window
// is shown, so launch-stats looks every kShownPollMs at that thread's few
// windows. Enumerating the whole desktop that often, looking every 1 or 2 ms,
// or following the program's window creation events loads the wine server
// enough to slow the program measured by a third or more.
constexpr DWORD kShownPollMs = 10;

bool ThreadWindowShown(DWORD thread) {
    bool shown = false;
    EnumThreadWindows(
        thread,
        [](HWND w, LPARAM p) -> BOOL {
            RECT r{};
            if (IsWindowVisible(w) && GetWindowRect(w, &r) && r.right - r.left > 20 && r.bottom - r.top > 20)
                *reinterpret_cast<bool*>(p) = true;
            return !*reinterpret_cast<bool*>(p);
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
}

int LaunchStats(int argc, char** argv) {
    std::string commandLine = std::string("\"") + argv[2] + "\"";
    if (argc == 5) commandLine += std::string(" ") + argv[4];
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // The driver's own display connection, made now rather than while the
    // program is shown.
    ReleaseDC(nullptr, GetDC(nullptr));
    LARGE_INTEGER frequency, t0, t1;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&t0);
    if (!CreateProcessA(argv[2], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 1;
    const DWORD start = GetTickCount(), limit = Ms(argv[3]);
    bool shown = false;
    while (!(shown = ThreadWindowShown(pi.dwThreadId)) && GetTickCount() - start < limit) Sleep(kShownPollMs);
    QueryPerformanceCounter(&t1);
    Sleep(1000);  // settle, then read the peak
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(pi.hProcess, &memory, sizeof memory);
    TerminateProcess(pi.hProcess, 0);
    // Ended before the next launch, which would otherwise share the machine
    // with its tear-down.
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (!shown) return 1;
    std::printf("first-window-ms %.1f peak-working-set-kb %lu\n",
                1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(frequency.QuadPart),
                static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024));
    return 0;
}

// Keeps the Wine session's desktop open until the driver is ended. Wine
// closes a desktop when its count of threads on it falls to the thread count
// of the desktop's manager, which a manager thread without the desktop
// upsets (seen in the HID layer's VM: the desktop closed while a program of
// the test still used it). Several threads here keep the count above it.
DWORD WINAPI SleepForever(void*) {
    Sleep(INFINITE);
    return 0;
}

int HoldDesktop(int, char**) {
    GetDesktopWindow();  // the desktop and its manager, started now
    for (int i = 0; i < 3; ++i) CloseHandle(CreateThread(nullptr, 0, SleepForever, nullptr, 0, nullptr));
    std::printf("holding\n");
    std::fflush(stdout);
    Sleep(INFINITE);
    return 0;
}

// Whether the mouse is offered, asked as the program asks: through
// QUILLON_IsDeviceExist of the Quillon.dll named.
int MousePresent(int, char** argv) {
    HMODULE quillon = LoadLibraryA(argv[2]);
    if (!quillon) {
        std::printf("cannot load %s: error %lu\n", argv[2], GetLastError());
        return 2;
    }
    auto exists = reinterpret_cast<QuillonIsDeviceExistFn>(
        reinterpret_cast<void*>(GetProcAddress(quillon, "QUILLON_IsDeviceExist")));
    unsigned char scratch[8] = {};
    const bool present =
        exists && Poll(Ms(argv[3]), [&] { return exists(protocol::kVendorId, protocol::kProductId, scratch) == 1; });
    FreeLibrary(quillon);
    return present ? 0 : 1;
}

int Quit(int, char** argv) {
    HWND marker = nullptr;
    if (!Poll(Ms(argv[2]), [&] { return (marker = FindWindowA("OblentVantor", "OblentVantorManager")) != nullptr; }))
        return 1;
    // The program's message loops end on a quit message to its thread.
    const DWORD thread = GetWindowThreadProcessId(marker, nullptr);
    return PostThreadMessageA(thread, WM_QUIT, 0, 0) ? 0 : 1;
}

int Wait(int, char** argv) {
    const std::string state = argv[3];
    return Poll(Ms(argv[4]), [&] {
               HWND window = FindByControl(argv[2]);
               if (state == "gone") return window == nullptr;
               return window && (IsWindowVisible(window) != FALSE) == (state == "shown");
           })
               ? 0
               : 1;
}

// The skinned message box: prints its text, then presses ANSWER.
int SkinnedBox(int, char** argv) {
    HWND box = nullptr;
    if (!Poll(Ms(argv[2]), [&] { return (box = FindByControl("@" ID_TEXT(IDC_MSG_TEXT))) && IsWindowVisible(box); }))
        return 1;
    std::printf("%s\n", TextOf(GetDlgItem(box, IDC_MSG_TEXT)).c_str());
    std::fflush(stdout);
    if (!PostClicked(box, Int(argv[3]))) return 1;
    // Answered: it goes, so a next box is not taken for this one.
    return Poll(Ms(argv[2]), [&] { return !IsWindow(box) || !IsWindowVisible(box); }) ? 0 : 1;
}

int Command(int, char** argv) {
    HWND window = nullptr;
    if (!Poll(Ms(argv[4]), [&] { return (window = FindByControl(argv[2])) != nullptr; })) return 1;
    return PostClicked(window, Int(argv[3])) ? 0 : 1;
}

int Text(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control) return 1;
    std::printf("%s\n", TextOf(control).c_str());
    return 0;
}

int Check(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control) return 1;
    Print(static_cast<long>(SendMessageA(control, BM_GETCHECK, 0, 0)));
    return 0;
}

int Visible(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control) return 1;
    Print(IsWindowVisible(control) ? 1 : 0);
    return 0;
}

int Enabled(int, char** argv) {
    HWND window = WindowArg(argv[2]);
    if (!window) return 1;
    Print(IsWindowEnabled(window) ? 1 : 0);
    return 0;
}

// Waits until the control has the keyboard focus of its thread.
int Focus(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control) return 1;
    const DWORD thread = GetWindowThreadProcessId(control, nullptr);
    return Poll(Ms(argv[4]), [&] {
               GUITHREADINFO info{};
               info.cbSize = sizeof info;
               return GetGUIThreadInfo(thread, &info) && info.hwndFocus == control;
           })
               ? 0
               : 1;
}

int Post(int, char** argv) {
    HWND window = WindowArg(argv[2]);
    return window && PostMessageA(window, static_cast<UINT>(std::strtoul(argv[3], nullptr, 0)),
                                  static_cast<WPARAM>(std::strtoull(argv[4], nullptr, 0)),
                                  static_cast<LPARAM>(std::strtoll(argv[5], nullptr, 0)))
               ? 0
               : 1;
}

// Prints what a click met, for a test to report when the click's effect
// never comes: the window under the pointer after it (the control, another
// window's class and ID, or none) and how long the control's window then
// took to answer a message.
void ReportClick(HWND control, POINT at) {
    HWND under = WindowFromPoint(at);
    char what[96] = "control";
    if (under != control) {
        char name[64] = "";
        if (under) GetClassNameA(under, name, sizeof name);
        std::snprintf(what, sizeof what, "%s:%d", under ? name : "none", under ? GetDlgCtrlID(under) : 0);
    }
    const ULONGLONG start = GetTickCount64();
    DWORD_PTR ignored = 0;
    const bool answered =
        SendMessageTimeoutA(GetAncestor(control, GA_ROOT), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored) != 0;
    std::printf("under %s answered %s\n", what,
                answered ? (std::to_string(GetTickCount64() - start) + " ms").c_str() : "never");
}

int Click(int argc, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control) return 1;
    const POINT at = MiddleOf(control);
    ClickAt(at, argc == 5 ? 2 : 1);
    ReportClick(control, at);
    return 0;
}

int Point(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control) return 1;
    ClickAt(MiddleOf(control), 0);
    return 0;
}

int ClickInside(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control) return 1;
    POINT at{Int(argv[4]), Int(argv[5])};
    ClientToScreen(control, &at);
    ClickAt(at, 1);
    return 0;
}

int Move(int, char** argv) {
    HWND window = WindowArg(argv[2]);
    return window && SetWindowPos(window, nullptr, Int(argv[3]), Int(argv[4]), 0, 0,
                                  SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 1;
}

int Rect(int argc, char** argv) {
    HWND target = argc == 4 ? ControlArg(argv[2], argv[3]) : WindowArg(argv[2]);
    if (!target) return 1;
    RECT r{};
    GetWindowRect(target, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
}

// The control's text measured as the skin draws it (the dialogs' face at
// 15 pixels; a font handle cannot cross processes): its width on one line
// and its height wrapped to the control's width, then the control's size.
int TextExtent(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control) return 1;
    RECT client{};
    GetClientRect(control, &client);
    const std::string text = TextOf(control);
    HFONT font = CreateFontA(15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT line{}, wrapped{0, 0, client.right, 0};
    DrawTextA(dc, text.c_str(), -1, &line, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    DrawTextA(dc, text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    std::printf("%ld %ld %ld %ld\n", line.right, wrapped.bottom, client.right, client.bottom);
    return 0;
}

int Layered(int, char** argv) {
    HWND window = WindowArg(argv[2]);
    if (!window) return 1;
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) || !GetLayeredWindowAttributes(window, &key, &alpha, &flags))
        std::printf("none\n");
    else if (flags & LWA_COLORKEY)
        std::printf("key %02X%02X%02X\n", GetRValue(key), GetGValue(key), GetBValue(key));
    else
        std::printf("alpha %d\n", alpha);
    return 0;
}

int SetText(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    return control && SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : 1;
}

// An edit control's text: "text" reads only the window caption of another
// process's window.
int FieldText(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control) return 1;
    wchar_t wide[512] = L"";
    SendMessageW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(wide));
    std::printf("%s\n", Narrow(wide, lstrlenW(wide)).c_str());
    return 0;
}

// "list-items" prints the items, "list" their number first.
int PrintList(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    std::vector<std::string> items;
    if (!control || !ListItems(control, items)) return 1;
    if (std::strcmp(argv[1], "list") == 0) std::printf("%d\n", static_cast<int>(items.size()));
    for (const std::string& item : items) std::printf("%s\n", item.c_str());
    std::fflush(stdout);
    return 0;
}

// Selects a list item as a click does: the selection, then LBN_SELCHANGE
// sent (not posted: its effect is there when the command ends).
int Select(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control || SendMessageA(control, LB_SETCURSEL, Int(argv[4]), 0) == LB_ERR) return 1;
    SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
    return 0;
}

// Where each item row of a list box in view has ink on the screen: pixels
// whose brightness stands out from the row's most common one. "INDEX LEFT
// RIGHT" in client pixels, or "INDEX - -" for a row without any.
int Ink(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control) return 1;
    RECT client{};
    GetClientRect(control, &client);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const int w = client.right - client.left, h = client.bottom - client.top;
    const std::vector<unsigned> pixels = ScreenPixels(client);
    const int top = static_cast<int>(SendMessageA(control, LB_GETTOPINDEX, 0, 0));
    const int count = static_cast<int>(SendMessageA(control, LB_GETCOUNT, 0, 0));
    const int height = static_cast<int>(SendMessageA(control, LB_GETITEMHEIGHT, 0, 0));
    if (pixels.empty() || height <= 0) return 1;
    const auto brightness = [](unsigned px) { return static_cast<int>(((px >> 16 & 255) + (px >> 8 & 255) + (px & 255)) / 3); };
    for (int i = top; i < count && (i - top) * height < h; ++i) {
        const int y0 = (i - top) * height, y1 = std::min(h, y0 + height);
        int histogram[256] = {};
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < w; ++x) ++histogram[brightness(pixels[static_cast<size_t>(y) * w + x])];
        int background = 0;
        for (int b = 1; b < 256; ++b)
            if (histogram[b] > histogram[background]) background = b;
        int left = w, right = -1;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < w; ++x)
                if (std::abs(brightness(pixels[static_cast<size_t>(y) * w + x]) - background) > 96) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        if (right < 0)
            std::printf("%d - -\n", i);
        else
            std::printf("%d %d %d\n", i, left, right);
    }
    std::fflush(stdout);
    return 0;
}

// "1 1" when the control has system scroll bars, vertical then horizontal.
int ScrollBars(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control) return 1;
    const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    std::printf("%d %d\n", (style & WS_VSCROLL) ? 1 : 0, (style & WS_HSCROLL) ? 1 : 0);
    return 0;
}

// Posts BN_CLICKED of ID to WIN, waits until window WATCH has moved MOVES
// times, and posts it again: a second click while the first one's
// movement runs. Prints WATCH's top and whether it was visible then.
int CommandMidMove(int, char** argv) {
    HWND window = WindowArg(argv[2]);
    HWND watch = FindByControl(argv[4]);
    if (!window || !watch) return 1;
    const int id = Int(argv[3]), moves = Int(argv[5]);
    RECT last{};
    GetWindowRect(watch, &last);
    if (!PostClicked(window, id)) return 1;
    // Watched closely: the movements step every 30 ms.
    int seen = 0;
    for (const DWORD start = GetTickCount(); seen < moves; Sleep(2)) {
        if (GetTickCount() - start >= Ms(argv[6])) return 1;
        RECT now{};
        GetWindowRect(watch, &now);
        if (!EqualRect(&now, &last)) ++seen, last = now;
    }
    if (!PostClicked(window, id)) return 1;
    std::printf("%ld %d\n", last.top, IsWindowVisible(watch) ? 1 : 0);
    return 0;
}

int TopIndex(int, char** argv) {
    HWND control = ControlArg(argv[2], argv[3]);
    if (!control) return 1;
    Print(static_cast<long>(SendMessageA(control, LB_GETTOPINDEX, 0, 0)));
    return 0;
}

// Posts a key press and release to the control, or to the window for ID 0.
int Key(int, char** argv) {
    HWND target = Int(argv[3]) == 0 ? WindowArg(argv[2]) : ControlArg(argv[2], argv[3]);
    const WPARAM vk = std::strtoul(argv[4], nullptr, 0);
    if (!target) return 1;
    return PostMessageA(target, WM_KEYDOWN, vk, 1) && PostMessageA(target, WM_KEYUP, vk, 0xC0000001) ? 0 : 1;
}

int Setting(int argc, char** argv) {
    UINT get = 0, set = 0;
    if (!SettingAction(argv[3], get, set)) return 2;
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

int DragCommand(int, char** argv) {
    Drag({Int(argv[2]), Int(argv[3])}, {Int(argv[4]), Int(argv[5])});
    return 0;
}

int Pointer(int, char** argv) {
    SetCursorPos(Int(argv[2]), Int(argv[3]));  // as ClickAt: the input alone may leave the cursor where it was
    SendPointer(MOUSEEVENTF_MOVE, {Int(argv[2]), Int(argv[3])});
    Sleep(100);
    return 0;
}

// The left panel's window and the drag flag from the shared hook area.
int HookAreaCommand(int, char**) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, hook_area::kSectionName);
    if (!mapping) return 1;
    const auto* area = static_cast<const volatile hook_area::HookArea*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    if (!area) {
        CloseHandle(mapping);
        return 1;
    }
    std::printf("panel %llx drag %d\n", static_cast<unsigned long long>(area->LeftPanelWindow), area->DragActive);
    UnmapViewOfFile(const_cast<hook_area::HookArea*>(area));
    CloseHandle(mapping);
    return 0;
}

// A hash of the pixels on the screen under the window or its control.
int Hash(int argc, char** argv) {
    HWND target = argc == 4 ? ControlArg(argv[2], argv[3]) : WindowArg(argv[2]);
    if (!target) return 1;
    RECT r{};
    GetWindowRect(target, &r);
    std::printf("%016llx\n", ScreenHash(r));
    return 0;
}

// Asks every shown skinned control of WIN whether its text, as it draws
// it, fits: prints "ID over CX CY TEXT" for each that does not, then
// "checked N over M". Exits 1 when any is over.
int Fit(int, char** argv) {
    HWND window = WindowArg(argv[2]);
    if (!window) return 1;
    struct Count {
        UINT message;
        int checked = 0, over = 0;
    } count{RegisterWindowMessageA("Korelle.TextOverflow")};
    EnumChildWindows(
        window,
        [](HWND control, LPARAM data) -> BOOL {
            auto& c = *reinterpret_cast<Count*>(data);
            if (!IsWindowVisible(control)) return TRUE;
            DWORD_PTR answer = 0;
            if (!SendMessageTimeoutA(control, c.message, 0, 0, SMTO_NORMAL, 2000, &answer) || answer == 0) return TRUE;
            ++c.checked;
            const int cx = LOWORD(answer) - 1, cy = HIWORD(answer) - 1;
            if (cx > 0 || cy > 0) {
                ++c.over;
                std::printf("%d over %d %d %s\n", GetDlgCtrlID(control), cx, cy, TextOf(control).c_str());
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    std::printf("checked %d over %d\n", count.checked, count.over);
    return count.over ? 1 : 0;
}

// Posts command ID to WIN, then, until WIN answers messages again, counts
// the different pictures of its control SHOWN while it does not: the cue of
// a window whose thread is busy. Prints "busy MS pictures N".
int Busy(int, char** argv) {
    HWND window = WindowArg(argv[2]);
    HWND control = window ? GetDlgItem(window, Int(argv[4])) : nullptr;
    if (!control) return 1;
    PostClicked(window, Int(argv[3]));
    const DWORD start = GetTickCount();
    DWORD busy = 0;
    std::set<unsigned long long> pictures;
    while (GetTickCount() - start < Ms(argv[5])) {
        DWORD_PTR answer = 0;
        const DWORD asked = GetTickCount();
        if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 50, &answer)) {
            if (busy) break;  // it was busy and answers again: the work is over
            Sleep(20);
            continue;
        }
        busy += GetTickCount() - asked;
        RECT r{};
        GetWindowRect(control, &r);
        pictures.insert(ScreenHash(r));
    }
    std::printf("busy %lu pictures %zu\n", busy, pictures.size());
    return 0;
}

// Posts command ID to WIN, then watches the window PANEL until its control
// CONTROL shows: prints the milliseconds taken and how many different
// pictures PANEL showed.
int Slide(int, char** argv) {
    HWND window = WindowArg(argv[2]);
    HWND panel = FindByControl(argv[4]);
    HWND control = panel ? GetDlgItem(panel, Int(argv[5])) : nullptr;
    if (!window || !control) return 1;
    const DWORD start = GetTickCount();
    PostClicked(window, Int(argv[3]));
    int pictures = 0;
    unsigned long long last = 0;
    bool shown = false;
    // Polled more often than the frames change, to count them.
    while (!(shown = IsWindowVisible(control) != FALSE) && GetTickCount() - start < Ms(argv[6])) {
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

// Files held open, as another program or a virus scanner does: opened for
// reading, sharing only reading, and kept open in this (serving) process
// until released. Meanwhile the file cannot be replaced or deleted.
std::map<std::string, HANDLE> g_held;

int HoldFile(int, char** argv) {
    if (g_held.count(argv[2])) return 1;
    const HANDLE file =
        CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    g_held[argv[2]] = file;
    return 0;
}

int ReleaseFile(int, char** argv) {
    const auto it = g_held.find(argv[2]);
    if (it == g_held.end()) return 1;
    CloseHandle(it->second);
    g_held.erase(it);
    return 0;
}

int Help(int, char**);

struct CommandEntry {
    const char* name;
    int minArgs, maxArgs;  // the words after the name; maxArgs -1: any number
    int (*run)(int argc, char** argv);
    const char* usage;
};

constexpr char kSkinnedBoxHelp[] = "TIMEOUT_MS ANSWER: prints the skinned box's text, presses " ID_TEXT(
    IDC_MSG_OK) " (OK), " ID_TEXT(IDC_MSG_YES) " (Yes) or " ID_TEXT(IDC_MSG_NO) " (No)";

const CommandEntry kCommands[] = {
    {"help", 0, 0, Help, "lists the commands"},
    // Windows found by class and title.
    {"wait-window", 3, 3, WaitWindow, "CLASS TITLE TIMEOUT_MS: waits for the window"},
    {"no-window", 3, 3, NoWindow, "CLASS TITLE MS: fails if the window appears"},
    {"message-box", 2, 2, AnswerMessageBox, "CAPTION TIMEOUT_MS: prints the system box's text, presses OK"},
    {"owner", 1, 1, Owner, "WIN: prints the window, its owner, and \"above\" or \"below\" it in the z-order"},
    {"windows", 0, 0, Windows, "lists the top-level windows: handle, process, class, title, shown, rectangle, ids"},
    {"press", 4, 4, Press, "CLASS TITLE ID TIMEOUT_MS: posts the command ID to the window"},
    {"launch-stats", 2, 3, LaunchStats,
     "EXE TIMEOUT_MS [ARG]: starts EXE, prints the time to its first visible window and its peak working set, ends it"},
    {"quit", 1, 1, Quit, "TIMEOUT_MS: ends the running program"},
    {"hold-desktop", 0, 0, HoldDesktop, "keeps the session's desktop open until the driver is ended"},
    {"mouse-present", 2, 2, MousePresent, "QUILLON_DLL TIMEOUT_MS: waits until that Quillon.dll finds the mouse"},
    // The program's own windows.
    {"wait", 3, 3, Wait, "WIN shown|hidden|gone TIMEOUT_MS"},
    {"skinned-box", 2, 2, SkinnedBox, kSkinnedBoxHelp},
    {"command", 3, 3, Command, "WIN ID TIMEOUT_MS: posts BN_CLICKED of control ID (its effect may come later)"},
    {"text", 2, 2, Text, "WIN ID: prints the control's text"},
    {"check", 2, 2, Check, "WIN ID: prints 1 when checked, else 0"},
    {"visible", 2, 2, Visible, "WIN ID: prints 1 when visible, else 0"},
    {"enabled", 1, 1, Enabled, "WIN: prints 1 when enabled, else 0"},
    {"focus", 3, 3, Focus, "WIN ID TIMEOUT_MS: waits until the control has the focus"},
    {"post", 4, 4, Post, "WIN MSG WPARAM LPARAM: posts any message"},
    {"move", 3, 3, Move, "WIN X Y: moves the window's top-left corner there"},
    {"rect", 1, 2, Rect, "WIN [ID]: prints left top right bottom on the screen"},
    {"text-extent", 2, 2, TextExtent,
     "WIN ID: prints the text's one-line width and wrapped height, then the control's size"},
    {"layered", 1, 1, Layered, "WIN: prints \"alpha A\", \"key RRGGBB\" or \"none\""},
    {"hash", 1, 2, Hash, "WIN [ID]: prints a hash of the pixels on the screen"},
    {"fit", 1, 1, Fit, "WIN: lists the shown skinned controls whose text does not fit; 1 when any"},
    {"busy", 4, 4, Busy, "WIN ID SHOWN TIMEOUT_MS: posts ID, counts SHOWN's pictures while WIN is busy"},
    {"slide", 5, 5, Slide, "WIN ID PANEL CONTROL TIMEOUT_MS: posts ID, times the panel until CONTROL shows"},
    // Typing and list boxes.
    {"set-text", 3, 3, SetText, "WIN ID TEXT: sets the control's text, as typing does"},
    {"field-text", 2, 2, FieldText, "WIN ID: prints an edit control's text"},
    {"list-items", 2, 2, PrintList, "WIN ID: prints each item of a list box on a line"},
    {"list", 2, 2, PrintList, "WIN ID: prints the number of items of a list box, then each"},
    {"select", 3, 3, Select, "WIN ID INDEX: selects a list item as a click does"},
    {"top-index", 2, 2, TopIndex, "WIN ID: prints the list box's top item"},
    {"ink", 2, 2, Ink, "WIN ID: prints \"INDEX LEFT RIGHT\" of the ink of each list row in view"},
    {"scroll-bars", 2, 2, ScrollBars, "WIN ID: prints whether the control has system scroll bars, \"V H\""},
    {"command-mid-move", 5, 5, CommandMidMove,
     "WIN ID WATCH MOVES TIMEOUT_MS: posts ID, again once WATCH moved MOVES times; prints WATCH's top, shown"},
    {"key", 3, 3, Key, "WIN ID VK: posts a key press and release to the control (the window for ID 0)"},
    // Real input, seen by low-level hooks.
    {"click", 2, 3, Click,
     "WIN ID [double]: real clicks on the control's middle; prints what was under the pointer and how long the "
     "window took to answer after"},
    {"point", 2, 2, Point, "WIN ID: moves the pointer onto the control's middle"},
    {"click-at", 4, 4, ClickInside, "WIN ID X Y: a real click at X, Y of the control"},
    {"drag", 4, 4, DragCommand, "X1 Y1 X2 Y2: press at the first screen point, move to the second, release"},
    {"pointer", 2, 2, Pointer, "X Y: moves the pointer there"},
    {"type", 0, -1, TypeKeys, "STEP...: dVK presses and uVK releases key VK (hex), wMS waits; e.g. \"d41 w300 u41\""},
    // The desktop, the hook area and files.
    {"spi", 2, 3, Setting, "get|set wheel|dblclick|speed [V]: reads or writes the desktop setting"},
    {"hook-area", 0, 0, HookAreaCommand, "prints \"panel HWND drag N\" from the shared hook area"},
    {"hold-file", 1, 1, HoldFile, "PATH: keeps the file open for reading, sharing only reading"},
    {"release-file", 1, 1, ReleaseFile, "PATH: closes a file held open"},
};

int Help(int, char**) {
    for (const CommandEntry& c : kCommands) std::printf("%-13s %s\n", c.name, c.usage);
    return 0;
}

int RunCommand(int argc, char** argv) {
    if (argc < 2) return 2;
    const int args = argc - 2;
    for (const CommandEntry& c : kCommands)
        if (std::strcmp(c.name, argv[1]) == 0)
            return args >= c.minArgs && (c.maxArgs < 0 || args <= c.maxArgs) ? c.run(argc, argv) : 2;
    return 2;
}

// Splits a command line into words as a shell does for quotes: '...' is
// literal, "..." keeps blanks, a backslash outside single quotes takes the
// next character as it is.
std::vector<std::string> Words(const char* line) {
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

}  // namespace

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
