// The device link as the program's windows run it: the bound Quillon.dll
// entry points, real waits at one-millisecond timer resolution, the skinned
// message box owned by the calling window, and the program's globals.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "device/device_link.h"
#include "ui/main/main_model.h"

// Shows the link's messages and questions in the skinned message box.
class DialogMessages : public MessageSink {
public:
    explicit DialogMessages(HWND owner) : owner_(owner) {}
    void ShowOk(const char* key, const char* text) override;
    int AskYesNo(const char* key, const char* text) override;

private:
    HWND owner_;
};

// Raises the system timer resolution around each wait, so the protocol's
// 1 ms waits are not stretched to the default tick of about 15.6 ms. The
// work runs on the window's thread, which paints nothing else meanwhile:
// before each wait, the painter gets the busy cue's frame when one is due,
// and -1 once at the end when it painted any.
class PreciseSleeper : public Sleeper {
public:
    using Painter = std::function<void(int frame)>;
    explicit PreciseSleeper(Painter painter = nullptr);
    ~PreciseSleeper() override;
    void SleepMs(unsigned ms) override;

private:
    Painter painter_;
    mainwin::BusyCue cue_;
};

DeviceLinkEnv ProgramDeviceLinkEnv(MessageSink* messages, Sleeper* sleeper);

// Runs fn(DeviceLink&) with a link over the program's globals whose
// messages are owned by owner; painter, if any, paints the busy cue.
template <class Fn>
auto WithDeviceLink(HWND owner, Fn fn, PreciseSleeper::Painter painter = nullptr) {
    DialogMessages messages(owner);
    PreciseSleeper sleeper(std::move(painter));
    DeviceLink link(ProgramDeviceLinkEnv(&messages, &sleeper));
    return fn(link);
}

// The start-up read's opening (presence, lock, segment 0 with its fixed
// waits) runs on a thread of its own from the time Quillon.dll is bound,
// while the components, the back dialog and the main window are made: its
// waits no longer hold up the first window. Nothing else talks to the mouse
// until the main window's start takes the result.
namespace startup_read {
void Begin();
// Waits for the opening; none when it was not begun or was already taken.
std::optional<ReadOpening> Take();
// At the end: waits for an opening nobody took and releases its lock.
void End();
}  // namespace startup_read
