// input-probe.exe FOLDER: measures how long mouse input injected from this
// process takes to get through the system's low-level mouse hooks.
//
// It installs a low-level mouse hook of its own first, so that a program
// started afterwards hooks in ahead of it (the newest hook runs first): an
// event reaches this hook only after every later hook has passed it on. It
// then writes FOLDER\probe-ready and waits for FOLDER\probe-go. From then
// until FOLDER\probe-stop appears it injects one-pixel moves, one at a time,
// and times each from the SendInput call to its return and to its arrival
// at the hook. FOLDER\probe-result.txt gets one line per move,
// "send-ms SEND seen-ms SEEN" (SEEN -1 when the move had not arrived 3 s
// after it was sent: a hook that timed out drops it), and then "done". Exit code 0, or 1 when the hook or a file failed.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Marks the probe's own events in dwExtraInfo; the low bits count them.
constexpr ULONG_PTR kMarker = 0x4B50000;
constexpr ULONG_PTR kMarkerMask = ~static_cast<ULONG_PTR>(0xFFFF);
constexpr double kArrivalTimeoutMs = 3000;
constexpr DWORD kPauseMs = 20;

LARGE_INTEGER g_frequency;
ULONG_PTR g_awaited = 0;
LONGLONG g_arrivedAt = 0;

LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Ms(LONGLONG ticks) { return 1000.0 * static_cast<double>(ticks) / static_cast<double>(g_frequency.QuadPart); }

LRESULT CALLBACK Observe(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        if ((event->dwExtraInfo & kMarkerMask) == kMarker && event->dwExtraInfo == g_awaited) g_arrivedAt = Now();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteWhole(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

// Runs this thread's messages (and so its hook) until the awaited event
// arrived or the time is up.
void PumpUntilArrived(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        if (g_arrivedAt) return;
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - spent, QS_ALLINPUT);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = argv[1];
    QueryPerformanceFrequency(&g_frequency);
    HHOOK hook = SetWindowsHookExA(WH_MOUSE_LL, Observe, GetModuleHandleA(nullptr), 0);
    if (!hook || !WriteWhole(folder + "\\probe-ready", "")) return 1;

    // Waiting, this thread keeps its messages moving: its hook is in the
    // system's chain from now on.
    while (!Exists(folder + "\\probe-go")) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }

    std::string result;
    for (ULONG_PTR n = 0; !Exists(folder + "\\probe-stop") && n < 0xFFFF; ++n) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = n % 2 ? -1 : 1;  // back and forth: the pointer stays put
        input.mi.dwFlags = MOUSEEVENTF_MOVE;
        input.mi.dwExtraInfo = kMarker | n;
        g_awaited = input.mi.dwExtraInfo;
        g_arrivedAt = 0;
        const LONGLONG start = Now();
        const UINT sent = SendInput(1, &input, sizeof input);
        const LONGLONG returned = Now();
        const double spent = Ms(returned - start);
        if (sent == 1 && spent < kArrivalTimeoutMs) PumpUntilArrived(static_cast<DWORD>(kArrivalTimeoutMs - spent));
        char line[64];
        std::snprintf(line, sizeof line, "send-ms %.1f seen-ms %.1f\n", Ms(returned - start),
                      g_arrivedAt ? Ms(g_arrivedAt - start) : -1.0);
        result += line;
        Sleep(kPauseMs);
    }
    UnhookWindowsHookEx(hook);
    return WriteWhole(folder + "\\probe-result.txt", result + "done\n") ? 0 : 1;
}
