// Merrowin.dll from the program folder, bound by name as the program binds
// it, with the shared section created as the program creates it and input
// injected through SendInput.
//
// The test installs hooks of its own before the library's. Low-level hooks
// run newest first, so when the test's hook sees an event the library's hook
// has handled it and passed it on: whatever the library posted is then in
// this thread's queue, and an empty queue means nothing was reported.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "components/merrowin/merrowin_api.h"
#include "tests/merrowin/merrowin_fixture_win.h"
#include "core/hook_area.h"
#include "tests/test_support.h"

using hook_area::HookArea;
using hook_area::MSG_HOOK_KEY;
using hook_area::MSG_HOOK_MOUSE;

namespace {

constexpr DWORD kTimeoutMs = 5000;
constexpr char kForeignWindowSwitch[] = "--merrowin-foreign-window";

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// What the test's own hooks saw, after the library's hook.
struct Observed {
    WPARAM message;
    DWORD key;  // virtual key, or 0 for mouse events
};
std::vector<Observed> g_observed;

LRESULT CALLBACK ObserveKeyboard(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) g_observed.push_back({wParam, reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ObserveMouse(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) g_observed.push_back({wParam, 0});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INPUT Key(WORD vk, bool release, DWORD time) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    input.ki.time = time;
    return input;
}

// An absolute move to a pixel of the primary screen: the normalised
// coordinate is rounded up so that scaling it back gives the pixel.
INPUT MoveTo(int x, int y) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((x * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>((y * 65536LL + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

INPUT LeftUp() {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return input;
}

// A window of another process: this executable started again with the
// switch. The child writes its window handle to its output, counts the hook
// messages the window receives, and ends with that count when it is closed.
class ForeignWindow {
public:
    ForeignWindow() {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE read = nullptr, write = nullptr;
        if (!CreatePipe(&read, &write, &inherit, 0)) return;
        SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, sizeof path);
        std::string command = std::string("\"") + path + "\" " + kForeignWindowSwitch;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = write;
        PROCESS_INFORMATION info{};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
            process_ = info.hProcess;
            CloseHandle(info.hThread);
        }
        CloseHandle(write);
        char line[32] = {};
        DWORD n = 0;
        if (process_ && ReadFile(read, line, sizeof line - 1, &n, nullptr))
            window_ = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoull(line, nullptr, 16)));
        CloseHandle(read);
    }
    ~ForeignWindow() {
        if (process_ && Close() < 0) TerminateProcess(process_, 1000);
        if (process_) CloseHandle(process_);
    }
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;

    HWND window() const { return window_; }
    // Closes the window; the number of hook messages it received, or -1
    // when the child did not end in time.
    int Close() {
        if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
        DWORD code = 0;
        if (WaitForSingleObject(process_, kTimeoutMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(process_, &code))
            return -1;
        return static_cast<int>(code);
    }

private:
    HANDLE process_ = nullptr;
    HWND window_ = nullptr;
};

int g_foreignHookMessages = 0;

LRESULT CALLBACK ForeignWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MSG_HOOK_KEY || message == MSG_HOOK_MOUSE) ++g_foreignHookMessages;
    if (message == WM_DESTROY) PostQuitMessage(g_foreignHookMessages);
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunForeignWindow() {
    HWND window = CreateTestWindow("MerrowinForeignWindow", ForeignWindowProc);
    char line[32];
    const int length = std::snprintf(line, sizeof line, "%llx\n",
                                     static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
    MSG msg;
    while (window && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return window ? static_cast<int>(msg.wParam) : 1000;
}

class MerrowinHooks : public MerrowinFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MapAreaAndWindow());

        g_observed.clear();
        observeKeyboard = SetWindowsHookExA(WH_KEYBOARD_LL, ObserveKeyboard, GetModuleHandleA(nullptr), 0);
        observeMouse = SetWindowsHookExA(WH_MOUSE_LL, ObserveMouse, GetModuleHandleA(nullptr), 0);
        ASSERT_NE(observeKeyboard, nullptr);
        ASSERT_NE(observeMouse, nullptr);

        ASSERT_NO_FATAL_FAILURE(LoadMerrowin());

        SetWindow(&HookArea::EditorWindow, window);
        SetWindow(&HookArea::LeftPanelWindow, window);
    }

    void TearDown() override {
        UnloadMerrowin();
        if (observeKeyboard) UnhookWindowsHookEx(observeKeyboard);
        if (observeMouse) UnhookWindowsHookEx(observeMouse);
        if (window) DestroyWindow(window);
        Pump([] { return false; }, 0);
        UnmapArea();
    }

    // Pumps this thread's messages until done() holds or the time is up;
    // hook messages are collected, whatever window (or none) they name.
    bool Pump(const std::function<bool()>& done, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == MSG_HOOK_KEY || msg.message == MSG_HOOK_MOUSE)
                    seen.push_back({msg.hwnd, msg.message, msg.wParam, msg.lParam});
                else
                    DispatchMessageA(&msg);
            }
            if (done()) return true;
            const DWORD spent = GetTickCount() - start;
            if (spent >= timeoutMs) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - spent, QS_ALLINPUT);
        }
    }

    // Injects the events and waits until the test's hooks have seen them
    // all, that is, until the library's hook has handled them.
    void Inject(std::vector<INPUT> inputs) {
        const std::size_t expected = g_observed.size() + inputs.size();
        ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
        ASSERT_TRUE(Pump([&] { return g_observed.size() >= expected; }, kTimeoutMs))
            << "the test's own hooks saw " << g_observed.size() << " of " << expected
            << " events: the library did not pass them on, or no low-level hook ran";
        Pump([] { return false; }, 0);  // collect what was posted meanwhile
    }

    std::vector<Seen> Hook(UINT message) const {
        std::vector<Seen> result;
        for (const Seen& s : seen)
            if (s.message == message) result.push_back(s);
        return result;
    }

    HHOOK observeKeyboard = nullptr;
    HHOOK observeMouse = nullptr;
    std::vector<Seen> seen;
};

TEST_F(MerrowinHooks, KeyEventsReachTheEditorWithTheirDelays) {
    area->CaptureMode = 1;
    const DWORD before = GetTickCount();
    ASSERT_EQ(initKeyboard(), 1);
    const DWORD after = GetTickCount();

    // Event times given explicitly, so the delays are known.
    const DWORD press = after + 300;
    Inject({Key('A', false, press), Key('A', true, press + 1234), Key('B', false, press + 1234 + 70000)});

    const auto keys = Hook(MSG_HOOK_KEY);
    ASSERT_EQ(keys.size(), 3u);
    for (const Seen& k : keys) EXPECT_EQ(k.window, window);
    EXPECT_EQ(keys[0].wParam, 0x100u);
    EXPECT_EQ(keys[1].wParam, 0x101u);
    EXPECT_EQ(keys[2].wParam, 0x100u);
    const auto first = hook_area::UnpackKeyParam(keys[0].lParam);
    const auto second = hook_area::UnpackKeyParam(keys[1].lParam);
    const auto third = hook_area::UnpackKeyParam(keys[2].lParam);
    EXPECT_EQ(first.virtualKey, 'A');
    EXPECT_EQ(second.virtualKey, 'A');
    EXPECT_EQ(third.virtualKey, 'B');
    // The first counts from InitKeyboard, each later one from the previous.
    EXPECT_GE(first.elapsedMs, 300u);
    EXPECT_LE(first.elapsedMs, 300u + (after - before));
    EXPECT_EQ(second.elapsedMs, 1234u);
    EXPECT_EQ(third.elapsedMs, 65535u);
    EXPECT_TRUE(Hook(MSG_HOOK_MOUSE).empty());
}

// Key events while CaptureMode is 0 are not reported and do not restart the
// clock: the next reported event still counts from InitKeyboard.
TEST_F(MerrowinHooks, NothingReachesTheEditorWhileCaptureModeIsZero) {
    const DWORD before = GetTickCount();
    ASSERT_EQ(initKeyboard(), 1);
    const DWORD after = GetTickCount();
    Inject({Key('C', false, after + 500), Key('C', true, after + 600)});
    EXPECT_TRUE(seen.empty());

    area->CaptureMode = 2;
    Inject({Key('D', false, after + 1000)});
    const auto keys = Hook(MSG_HOOK_KEY);
    ASSERT_EQ(keys.size(), 1u);
    const auto key = hook_area::UnpackKeyParam(keys[0].lParam);
    EXPECT_EQ(key.virtualKey, 'D');
    EXPECT_GE(key.elapsedMs, 1000u);
    EXPECT_LE(key.elapsedMs, 1000u + (after - before));
}

TEST_F(MerrowinHooks, MouseReachesThePanelOnlyWhileDragging) {
    ASSERT_EQ(initMouse(), 1);
    area->DragActive = 1;
    Inject({MoveTo(200, 150), LeftUp()});
    auto mouse = Hook(MSG_HOOK_MOUSE);
    ASSERT_EQ(mouse.size(), 2u);
    EXPECT_EQ(mouse[0].window, window);
    EXPECT_EQ(mouse[0].wParam, 0x200u);
    EXPECT_EQ(mouse[1].wParam, 0x202u);
    for (const Seen& m : mouse) {
        const auto at = hook_area::UnpackMouseParam(m.lParam);
        EXPECT_EQ(at.x, 200);
        EXPECT_EQ(at.y, 150);
    }

    seen.clear();
    area->DragActive = 0;
    Inject({MoveTo(300, 252), LeftUp()});
    EXPECT_TRUE(seen.empty());

    // Any value but 1 means no drag.
    area->DragActive = 2;
    Inject({MoveTo(310, 240)});
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(Hook(MSG_HOOK_KEY).empty());
}

// Handles read from the area that are not windows of this process: none is
// used, nothing crashes, and the hooks keep working for a valid one.
TEST_F(MerrowinHooks, HandlesThatAreNotOwnWindowsAreIgnored) {
    HWND destroyed = CreateTestWindow();
    ASSERT_NE(destroyed, nullptr);
    DestroyWindow(destroyed);
    ForeignWindow foreign;
    ASSERT_NE(foreign.window(), nullptr);
    DWORD foreignProcess = 0;
    GetWindowThreadProcessId(foreign.window(), &foreignProcess);
    ASSERT_NE(foreignProcess, GetCurrentProcessId());

    const std::uint64_t handles[] = {
        0,       // a post would become a message to this thread
        0xFFFF,  // a post would go to every top-level window (Wine posts it to none)
        hook_area::StoredWindow(reinterpret_cast<std::uintptr_t>(destroyed)),
        0xDEADBEEF12345678ull,
        hook_area::StoredWindow(reinterpret_cast<std::uintptr_t>(foreign.window())),
    };
    ASSERT_EQ(initKeyboard(), 1);
    ASSERT_EQ(initMouse(), 1);
    area->CaptureMode = 1;
    area->DragActive = 1;
    for (const std::uint64_t handle : handles) {
        area->EditorWindow = handle;
        area->LeftPanelWindow = handle;
        Inject({Key('E', false, 0), Key('E', true, 0), MoveTo(120, 90), LeftUp()});
        EXPECT_TRUE(seen.empty()) << "handle " << std::hex << handle;
    }
    EXPECT_EQ(foreign.Close(), 0) << "hook messages reached the other process's window";

    SetWindow(&HookArea::EditorWindow, window);
    SetWindow(&HookArea::LeftPanelWindow, window);
    Inject({Key('E', false, 0), MoveTo(121, 91)});
    EXPECT_EQ(Hook(MSG_HOOK_KEY).size(), 1u);
    EXPECT_EQ(Hook(MSG_HOOK_MOUSE).size(), 1u);
}

// A second Init installs no second hook; Uninit removes the hook, and
// Init installs it again.
TEST_F(MerrowinHooks, UninitRemovesTheHooks) {
    area->CaptureMode = 1;
    area->DragActive = 1;
    ASSERT_EQ(initKeyboard(), 1);
    ASSERT_EQ(initKeyboard(), 1);
    ASSERT_EQ(initMouse(), 1);
    ASSERT_EQ(initMouse(), 1);
    Inject({Key('F', false, 0), MoveTo(130, 100)});
    EXPECT_EQ(Hook(MSG_HOOK_KEY).size(), 1u);
    EXPECT_EQ(Hook(MSG_HOOK_MOUSE).size(), 1u);

    seen.clear();
    EXPECT_EQ(uninitKeyboard(), 1);
    EXPECT_EQ(uninitMouse(), 1);
    Inject({Key('F', true, 0), MoveTo(140, 110), LeftUp()});
    EXPECT_TRUE(seen.empty());

    ASSERT_EQ(initKeyboard(), 1);
    Inject({Key('G', false, 0), MoveTo(150, 120)});
    EXPECT_EQ(Hook(MSG_HOOK_KEY).size(), 1u);
    EXPECT_TRUE(Hook(MSG_HOOK_MOUSE).empty());
}

// Without the program's section there is nothing to report to.
TEST(MerrowinWithoutArea, InitInstallsNothing) {
    HMODULE module = LoadLibraryA((test_support::ProgramFolder() + "\\Merrowin.dll").c_str());
    ASSERT_NE(module, nullptr);
    auto init = reinterpret_cast<MerrowinHookFn>(reinterpret_cast<void*>(GetProcAddress(module, "InitKeyboard")));
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(init(), 0);
    FreeLibrary(module);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], kForeignWindowSwitch) == 0) return RunForeignWindow();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
