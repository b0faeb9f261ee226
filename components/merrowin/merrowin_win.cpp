// Merrowin.dll: system-wide low-level keyboard and mouse hooks that report
// input to the program's windows named in the shared hook area.
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

// Guards the hooks, the section and the key clock. The hook procedures run
// on the installing thread; only the keyboard one takes the lock.
SRWLOCK g_lock = SRWLOCK_INIT;
HHOOK g_keyboardHook = nullptr;
HHOOK g_mouseHook = nullptr;
HANDLE g_mapping = nullptr;
hook_area::KeyClock g_keyClock;

// Set once the section is mapped; kept until the library is unloaded, so a
// hook procedure never reads an unmapped view.
std::atomic<const volatile HookArea*> g_area{nullptr};
std::atomic<DWORD> g_ownerProcess{0};

class Locked {
public:
    Locked() { AcquireSRWLockExclusive(&g_lock); }
    ~Locked() { ReleaseSRWLockExclusive(&g_lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

// Maps the program's section for reading. Called with the lock held.
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
    Locked lock;
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

// Runs for every mouse event of the system: outside a drag it costs a
// comparison and one byte read.
LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && hook_area::IsHookMouseMessage(wParam)) {
        const volatile HookArea* area = g_area.load(std::memory_order_acquire);
        if (area && area->DragActive == 1) {
            if (HWND panel = OwnWindow(area->LeftPanelWindow)) {
                const POINT at = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->pt;
                PostMessageA(panel, hook_area::MSG_HOOK_MOUSE, wParam,
                             static_cast<LPARAM>(hook_area::PackMouseParam(at.x, at.y)));
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Called with the lock held.
int Install(HHOOK& hook, int type, HOOKPROC procedure) {
    if (!OpenArea()) return 0;
    g_ownerProcess.store(GetCurrentProcessId(), std::memory_order_relaxed);
    if (!hook) hook = SetWindowsHookExA(type, procedure, g_module, 0);
    return hook ? 1 : 0;
}

int Remove(HHOOK& hook) {
    if (!hook) return 1;
    const BOOL removed = UnhookWindowsHookEx(hook);
    hook = nullptr;
    return removed ? 1 : 0;
}

}  // namespace

extern "C" {

MERROWIN_API int InitMouse() {
    Locked lock;
    return Install(g_mouseHook, WH_MOUSE_LL, MouseProc);
}

MERROWIN_API int UninitMouse() {
    Locked lock;
    return Remove(g_mouseHook);
}

MERROWIN_API int InitKeyboard() {
    Locked lock;
    // The first reported key event counts from here.
    g_keyClock.Start(GetTickCount());
    return Install(g_keyboardHook, WH_KEYBOARD_LL, KeyboardProc);
}

MERROWIN_API int UninitKeyboard() {
    Locked lock;
    return Remove(g_keyboardHook);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded while hooks are installed: a hook left behind would call
        // into unloaded code. (At process exit the system cleans up.)
        Remove(g_keyboardHook);
        Remove(g_mouseHook);
        CloseArea();
    }
    return TRUE;
}
}
