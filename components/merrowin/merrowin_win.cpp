// Merrowin.dll: system-wide low-level keyboard and mouse hooks that report
// input to the program's windows named in the shared hook area.
//
// The hooks run on a thread of the library's own, which does nothing but
// wait for input and answer requests, so the system's input never waits for
// the program's window thread (which sleeps through every device wait). The
// thread is started by the first Init and ended by the Uninit that removes
// the last hook; Init and Uninit return once the hook is in place or gone.
//
// The area is opened read-only and never trusted: a window handle read from
// it is used only if it names a window of the process that installed the
// hooks, and each field is read once. Events are posted, never sent, so a
// busy window cannot stall the system's input, and every event is passed on
// to the next hook.
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "components/merrowin/merrowin_api.h"
#include "core/hook_area.h"

namespace {

using hook_area::HookArea;

HINSTANCE g_module = nullptr;

// Serialises Init and Uninit: the section, the hook thread and its
// requests. Never taken by a hook procedure.
SRWLOCK g_control = SRWLOCK_INIT;
HANDLE g_mapping = nullptr;

// Guards the key clock, which Init and the keyboard hook both use.
SRWLOCK g_clockLock = SRWLOCK_INIT;
hook_area::KeyClock g_keyClock;

// Set once the section is mapped; kept until the library is unloaded, so a
// hook procedure never reads an unmapped view.
std::atomic<const volatile HookArea*> g_area{nullptr};
std::atomic<DWORD> g_ownerProcess{0};

class Exclusive {
public:
    explicit Exclusive(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~Exclusive() { ReleaseSRWLockExclusive(&lock_); }
    Exclusive(const Exclusive&) = delete;
    Exclusive& operator=(const Exclusive&) = delete;

private:
    SRWLOCK& lock_;
};

// Maps the program's section for reading. Called under g_control.
bool OpenArea() {
    if (g_area.load(std::memory_order_acquire)) return true;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, hook_area::kSectionName);
    if (!mapping) return false;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    // The view must cover the whole area, whatever size the section has.
    MEMORY_BASIC_INFORMATION region{};
    if (!view || VirtualQuery(view, &region, sizeof region) != sizeof region ||
        region.RegionSize < hook_area::kSectionSize) {
        if (view) UnmapViewOfFile(view);
        CloseHandle(mapping);
        return false;
    }
    g_mapping = mapping;
    g_area.store(static_cast<const volatile HookArea*>(view), std::memory_order_release);
    return true;
}

void CloseArea() {
    if (const volatile HookArea* area = g_area.exchange(nullptr)) UnmapViewOfFile(const_cast<HookArea*>(area));
    if (g_mapping) CloseHandle(g_mapping);
    g_mapping = nullptr;
}

// The window named by a value read from the area, or null unless it is a
// window of the process that installed the hooks.
HWND OwnWindow(std::uint64_t stored) {
    HWND window = reinterpret_cast<HWND>(hook_area::WindowFromStored(stored));
    if (!window || !IsWindow(window)) return nullptr;
    DWORD process = 0;
    if (!GetWindowThreadProcessId(window, &process)) return nullptr;
    return process == g_ownerProcess.load(std::memory_order_relaxed) ? window : nullptr;
}

void ReportKey(WPARAM message, const KBDLLHOOKSTRUCT& event) {
    const volatile HookArea* area = g_area.load(std::memory_order_acquire);
    if (!area || area->CaptureMode == 0) return;
    HWND editor = OwnWindow(area->EditorWindow);
    if (!editor) return;
    Exclusive lock(g_clockLock);
    // The clock moves only when the event really reaches the editor.
    hook_area::KeyClock clock = g_keyClock;
    const std::uint32_t elapsed = clock.Report(event.time);
    if (PostMessageA(editor, hook_area::MSG_HOOK_KEY, message, hook_area::PackKeyParam(event.vkCode, elapsed)))
        g_keyClock = clock;
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && hook_area::IsHookKeyMessage(wParam))
        ReportKey(wParam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ReportMouse(const volatile HookArea* area, WPARAM message, POINT at) {
    if (HWND panel = OwnWindow(area->LeftPanelWindow))
        PostMessageA(panel, hook_area::MSG_HOOK_MOUSE, message, static_cast<LPARAM>(hook_area::PackMouseParam(at.x, at.y)));
}

// A press and its release can both pass the hook before the panel's thread
// has taken in the press and set DragActive (a quick click, or a thread
// busy elsewhere). Such a release is held, and handed over once DragActive
// is 1, so that a drag never stays on without its release. Only the hook
// thread uses these.
constexpr unsigned kWmLButtonDown = 0x201;
constexpr DWORD kReleaseHeldMs = 1000;
constexpr UINT_PTR kHeldCheckMs = 10;
DWORD g_pressedAt = 0;
bool g_pressed = false;
struct HeldRelease {
    bool held = false;
    WPARAM message = 0;
    POINT at{};
    DWORD since = 0;
} g_heldRelease;
UINT_PTR g_heldTimer = 0;

void DropHeldRelease() {
    g_heldRelease.held = false;
    if (g_heldTimer) KillTimer(nullptr, g_heldTimer);
    g_heldTimer = 0;
}

// Hands the held release over once the drag is on; drops it when the press
// started no drag in time.
void CheckHeldRelease() {
    if (!g_heldRelease.held) return;
    const volatile HookArea* area = g_area.load(std::memory_order_acquire);
    if (area && area->DragActive == 1) {
        ReportMouse(area, g_heldRelease.message, g_heldRelease.at);
        DropHeldRelease();
    } else if (!area || GetTickCount() - g_heldRelease.since >= kReleaseHeldMs) {
        DropHeldRelease();
    }
}

// Runs for every mouse event of the system: outside a drag it costs a
// comparison and one byte read.
LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        CheckHeldRelease();  // events reach the panel in their order
        const POINT at = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->pt;
        const volatile HookArea* area = g_area.load(std::memory_order_acquire);
        if (wParam == kWmLButtonDown) {
            DropHeldRelease();  // a new press: an older release belongs to no drag
            g_pressed = true;
            g_pressedAt = GetTickCount();
        } else if (hook_area::IsHookMouseMessage(wParam) && area) {
            const bool release = wParam == hook_area::kWmLButtonUp;
            if (area->DragActive == 1) {
                ReportMouse(area, wParam, at);
            } else if (release && g_pressed && GetTickCount() - g_pressedAt < kReleaseHeldMs) {
                g_heldRelease = {true, wParam, at, GetTickCount()};
                if (!g_heldTimer) g_heldTimer = SetTimer(nullptr, 0, kHeldCheckMs, nullptr);
            }
            if (release) g_pressed = false;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// ---- the hook thread ----

enum Hook : WPARAM { kMouse = 0, kKeyboard = 1 };

// Thread messages the hook thread answers; wParam names the hook. The
// answer is g_answer, with g_answered set.
constexpr UINT kInstallRequest = WM_APP + 1;
constexpr UINT kRemoveRequest = WM_APP + 2;
// The exit code of the quit message that asks the thread to end without
// the loader (the library is being unloaded under the loader lock).
constexpr WPARAM kEndForUnload = 1;

// Owned by the hook thread while it runs.
HHOOK g_hooks[2] = {nullptr, nullptr};

// Under g_control.
HANDLE g_thread = nullptr;
DWORD g_threadId = 0;
HANDLE g_answered = nullptr;  // auto-reset
int g_answer = 0;

int InstallOnThread(Hook which) {
    if (!g_hooks[which])
        g_hooks[which] = which == kMouse ? SetWindowsHookExA(WH_MOUSE_LL, MouseProc, g_module, 0)
                                         : SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, g_module, 0);
    return g_hooks[which] ? 1 : 0;
}

int RemoveOnThread(Hook which) {
    if (which == kMouse) DropHeldRelease();
    if (!g_hooks[which]) return 1;
    const BOOL removed = UnhookWindowsHookEx(g_hooks[which]);
    g_hooks[which] = nullptr;
    return removed ? 1 : 0;
}

DWORD WINAPI HookThread(void*) {
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the queue exists from here
    SetEvent(g_answered);
    // The low-level hooks are called from within GetMessage.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd) {
            DispatchMessageA(&msg);
            continue;
        }
        if (msg.message == WM_TIMER) {
            CheckHeldRelease();
            continue;
        }
        const Hook which = msg.wParam == kKeyboard ? kKeyboard : kMouse;
        if (msg.message == kInstallRequest) {
            g_answer = InstallOnThread(which);
            SetEvent(g_answered);
        } else if (msg.message == kRemoveRequest) {
            g_answer = RemoveOnThread(which);
            SetEvent(g_answered);
        }
    }
    RemoveOnThread(kKeyboard);
    RemoveOnThread(kMouse);
    // Ending normally would wait for the loader lock, which the thread
    // unloading the library holds while it waits for this one: end here,
    // holding nothing, without running any more of the library's code.
    if (msg.wParam == kEndForUnload) TerminateThread(GetCurrentThread(), 0);
    return 0;
}

// Under g_control.
bool StartThread() {
    if (g_thread) return true;
    if (!g_answered && !(g_answered = CreateEventA(nullptr, FALSE, FALSE, nullptr))) return false;
    ResetEvent(g_answered);
    g_thread = CreateThread(nullptr, 0, HookThread, nullptr, 0, &g_threadId);
    if (!g_thread) return false;
    // Its work per event is tiny, and the system's input waits for it.
    SetThreadPriority(g_thread, THREAD_PRIORITY_HIGHEST);
    HANDLE waits[2] = {g_answered, g_thread};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) return true;
    CloseHandle(g_thread);
    g_thread = nullptr;
    return false;
}

// Under g_control; waits for the thread to end, at most waitMs.
void StopThread(WPARAM exitCode, DWORD waitMs) {
    if (!g_thread) return;
    if (PostThreadMessageA(g_threadId, WM_QUIT, exitCode, 0)) WaitForSingleObject(g_thread, waitMs);
    CloseHandle(g_thread);
    g_thread = nullptr;
    g_threadId = 0;
}

// Under g_control: the thread's answer to a request, 0 when it could not
// be asked or ended without answering.
int Ask(UINT request, Hook which) {
    if (!g_thread || !PostThreadMessageA(g_threadId, request, which, 0)) return 0;
    HANDLE waits[2] = {g_answered, g_thread};
    return WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 ? g_answer : 0;
}

int Install(Hook which) {
    Exclusive lock(g_control);
    if (!OpenArea()) return 0;
    g_ownerProcess.store(GetCurrentProcessId(), std::memory_order_relaxed);
    if (which == kKeyboard) {
        // The first reported key event counts from here.
        Exclusive clock(g_clockLock);
        g_keyClock.Start(GetTickCount());
    }
    if (!StartThread()) return 0;
    const int installed = Ask(kInstallRequest, which);
    // A thread left without hooks has nothing to do.
    if (!installed && !g_hooks[kMouse] && !g_hooks[kKeyboard]) StopThread(0, INFINITE);
    return installed;
}

int Remove(Hook which) {
    Exclusive lock(g_control);
    if (!g_thread) return 1;
    const int removed = Ask(kRemoveRequest, which);
    // The thread has answered and waits for the next message: its hooks
    // are read safely here.
    if (!g_hooks[kMouse] && !g_hooks[kKeyboard]) StopThread(0, INFINITE);
    return removed;
}

}  // namespace

extern "C" {

MERROWIN_API int InitMouse() { return Install(kMouse); }

MERROWIN_API int UninitMouse() { return Remove(kMouse); }

MERROWIN_API int InitKeyboard() { return Install(kKeyboard); }

MERROWIN_API int UninitKeyboard() { return Remove(kKeyboard); }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded while hooks are installed: a hook or a thread left behind
        // would run unloaded code. The thread removes its hooks and ends
        // without the loader lock this call holds. (At process exit the
        // system has ended the thread and cleans up.)
        StopThread(kEndForUnload, 5000);
        CloseArea();
        if (g_answered) CloseHandle(g_answered);
        g_answered = nullptr;
    }
    return TRUE;
}
}
