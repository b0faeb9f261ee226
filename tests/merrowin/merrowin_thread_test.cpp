// Merrowin.dll runs its hooks on a thread of its own: input gets through
// while the thread that installed them is busy, the hooks outlive that
// thread, and the library's thread ends with the last hook and when the
// library is unloaded.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdint>

#include "components/merrowin/merrowin_api.h"
#include "tests/merrowin/merrowin_fixture_win.h"
#include "core/hook_area.h"
#include "tests/test_support.h"

using hook_area::HookArea;

namespace {

constexpr DWORD kTimeoutMs = 5000;

// Threads of this process.
int ThreadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

// A thread that hooks in before the library (so its hook runs after the
// library's), then injects one move on request and times its arrival.
class Injector {
public:
    Injector() {
        ready_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, Run, this, 0, &id_);
        WaitForSingleObject(ready_, kTimeoutMs);
    }
    ~Injector() {
        PostThreadMessageA(id_, WM_QUIT, 0, 0);
        WaitForSingleObject(thread_, kTimeoutMs);
        CloseHandle(thread_);
        CloseHandle(ready_);
        CloseHandle(done_);
    }
    Injector(const Injector&) = delete;
    Injector& operator=(const Injector&) = delete;

    bool hooked() const { return hooked_; }
    // Starts a move to (x, y), or a left click (press and release in one
    // call) where the pointer is; Arrival waits for them to reach the hook.
    void Inject(int x, int y) { PostThreadMessageA(id_, WM_APP, static_cast<WPARAM>(x), static_cast<LPARAM>(y)); }
    void Click() { PostThreadMessageA(id_, WM_APP + 1, 0, 0); }
    // Milliseconds from SendInput until the hook saw all its events, or -1.
    long Arrival() { return WaitForSingleObject(done_, 3 * kTimeoutMs) == WAIT_OBJECT_0 ? arrivalMs_ : -1; }

private:
    static Injector* self_;

    static LRESULT CALLBACK Observe(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HC_ACTION && self_ && self_->sentAt_ && !self_->arrivedAt_ && --self_->awaited_ == 0)
            self_->arrivedAt_ = GetTickCount();
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static DWORD WINAPI Run(void* param) {
        auto* me = static_cast<Injector*>(param);
        self_ = me;
        HHOOK hook = SetWindowsHookExA(WH_MOUSE_LL, Observe, GetModuleHandleA(nullptr), 0);
        me->hooked_ = hook != nullptr;
        MSG msg;
        PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        SetEvent(me->ready_);
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (msg.message != WM_APP && msg.message != WM_APP + 1) continue;
            const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
            INPUT inputs[2]{};
            inputs[0].type = inputs[1].type = INPUT_MOUSE;
            if (msg.message == WM_APP) {
                inputs[0].mi.dx = static_cast<LONG>((static_cast<long long>(msg.wParam) * 65536 + width - 1) / width);
                inputs[0].mi.dy = static_cast<LONG>((static_cast<long long>(msg.lParam) * 65536 + height - 1) / height);
                inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            } else {
                inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
                inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
            }
            const UINT count = msg.message == WM_APP ? 1 : 2;
            me->awaited_ = static_cast<int>(count);
            me->arrivedAt_ = 0;
            me->sentAt_ = GetTickCount();
            SendInput(count, inputs, sizeof(INPUT));
            while (!me->arrivedAt_ && GetTickCount() - me->sentAt_ < 2 * kTimeoutMs) {
                while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            }
            me->arrivalMs_ = me->arrivedAt_ ? static_cast<long>(me->arrivedAt_ - me->sentAt_) : -1;
            me->sentAt_ = 0;
            SetEvent(me->done_);
        }
        if (hook) UnhookWindowsHookEx(hook);
        return 0;
    }

    HANDLE thread_ = nullptr, ready_ = nullptr, done_ = nullptr;
    DWORD id_ = 0;
    bool hooked_ = false;
    DWORD sentAt_ = 0;
    int awaited_ = 0;
    std::atomic<DWORD> arrivedAt_{0};
    long arrivalMs_ = -1;
};
Injector* Injector::self_ = nullptr;

class MerrowinThread : public MerrowinFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MapAreaAndWindow());
        SetWindow(&HookArea::LeftPanelWindow, window);
        area->DragActive = 1;
        ASSERT_TRUE(injector.hooked());
        threadsBefore = ThreadCount();
        ASSERT_NO_FATAL_FAILURE(LoadMerrowin());
    }
    void TearDown() override {
        UnloadMerrowin();
        if (window) DestroyWindow(window);
        UnmapArea();
    }

    struct Report {
        WPARAM message;
        std::pair<int, int> at;
    };
    // The hook messages in this thread's queue.
    std::vector<Report> TakeReports() {
        std::vector<Report> reports;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == hook_area::MSG_HOOK_MOUSE && msg.hwnd == window) {
                const auto at = hook_area::UnpackMouseParam(msg.lParam);
                reports.push_back({msg.wParam, {at.x, at.y}});
            } else {
                DispatchMessageA(&msg);
            }
        }
        return reports;
    }

    Injector injector;
    int threadsBefore = 0;
};

// The thread that installed the hook sleeps as the program's window thread
// does through a device wait: the move gets through at once, and what the
// hook posted waits in that thread's queue.
TEST_F(MerrowinThread, InputGetsThroughWhileTheInstallingThreadSleeps) {
    ASSERT_EQ(initMouse(), 1);
    injector.Inject(210, 160);
    const DWORD sleptFrom = GetTickCount();
    Sleep(1500);
    const long arrival = injector.Arrival();
    EXPECT_GE(arrival, 0) << "the move never reached the later hook";
    EXPECT_LT(arrival, 250) << "the move waited for the sleeping thread";
    EXPECT_GE(GetTickCount() - sleptFrom, 1400u);
    const auto reports = TakeReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].at, std::make_pair(210, 160));
}

// The hook belongs to the library's thread: it keeps reporting after the
// thread that installed it has ended, until it is removed from another one.
TEST_F(MerrowinThread, TheHookOutlivesTheThreadThatInstalledIt) {
    struct Call {
        MerrowinHookFn fn;
        int result;
    } call{initMouse, -1};
    HANDLE caller = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* c = static_cast<Call*>(p);
            c->result = c->fn();
            return 0;
        },
        &call, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(caller, kTimeoutMs), WAIT_OBJECT_0);
    CloseHandle(caller);
    ASSERT_EQ(call.result, 1);
    injector.Inject(220, 170);
    EXPECT_GE(injector.Arrival(), 0);
    EXPECT_EQ(TakeReports().size(), 1u);

    EXPECT_EQ(uninitMouse(), 1);
    injector.Inject(230, 180);
    EXPECT_GE(injector.Arrival(), 0);
    EXPECT_TRUE(TakeReports().empty());
}

// One thread serves both hooks; it ends with the last of them, so that
// nothing of the library runs while no hook is installed.
TEST_F(MerrowinThread, TheLibrarysThreadEndsWithTheLastHook) {
    ASSERT_EQ(initMouse(), 1);
    EXPECT_EQ(ThreadCount(), threadsBefore + 1);
    ASSERT_EQ(initKeyboard(), 1);
    EXPECT_EQ(ThreadCount(), threadsBefore + 1);
    EXPECT_EQ(uninitMouse(), 1);
    EXPECT_EQ(ThreadCount(), threadsBefore + 1) << "ended while the keyboard hook was in place";
    EXPECT_EQ(uninitKeyboard(), 1);
    EXPECT_EQ(ThreadCount(), threadsBefore);
    EXPECT_EQ(uninitKeyboard(), 1);  // nothing left to remove

    // And starts again.
    ASSERT_EQ(initMouse(), 1);
    injector.Inject(240, 190);
    EXPECT_GE(injector.Arrival(), 0);
    EXPECT_EQ(TakeReports().size(), 1u);
}

// Unloaded with both hooks in place: FreeLibrary returns promptly, the
// thread is gone with its hooks, input still flows, and the library loads
// and hooks again.
TEST_F(MerrowinThread, UnloadingTheLibraryEndsItsThreadAndHooks) {
    ASSERT_EQ(initMouse(), 1);
    ASSERT_EQ(initKeyboard(), 1);
    const DWORD start = GetTickCount();
    ASSERT_TRUE(FreeLibrary(module));
    module = nullptr;
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_EQ(ThreadCount(), threadsBefore);
    injector.Inject(250, 200);
    const long arrival = injector.Arrival();
    EXPECT_GE(arrival, 0);
    EXPECT_LT(arrival, 250);
    EXPECT_TRUE(TakeReports().empty());

    ASSERT_NO_FATAL_FAILURE(LoadMerrowin());
    ASSERT_EQ(initMouse(), 1);
    injector.Inject(260, 210);
    EXPECT_GE(injector.Arrival(), 0);
    const auto reports = TakeReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].at, std::make_pair(260, 210));
}

// A quick click on a thumb: press and release both pass the hook before
// the panel's thread has taken in the press and set DragActive. The release
// is handed over once the drag is on, so that it does not stay on; the
// release of a click that starts no drag is dropped and ends no later drag.
TEST_F(MerrowinThread, AReleaseAheadOfThePanelIsHandedOverOnceTheDragIsOn) {
    area->DragActive = 0;
    ASSERT_EQ(initMouse(), 1);
    injector.Inject(280, 230);
    EXPECT_GE(injector.Arrival(), 0);
    injector.Click();
    EXPECT_GE(injector.Arrival(), 0);
    EXPECT_TRUE(TakeReports().empty());
    area->DragActive = 1;  // the panel takes in the press
    Sleep(200);
    auto reports = TakeReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].message, static_cast<WPARAM>(hook_area::kWmLButtonUp));
    EXPECT_EQ(reports[0].at, std::make_pair(280, 230));

    area->DragActive = 0;  // the panel took the release
    injector.Click();
    EXPECT_GE(injector.Arrival(), 0);
    Sleep(1300);
    area->DragActive = 1;
    Sleep(200);
    EXPECT_TRUE(TakeReports().empty());
}

}  // namespace
