// The device link as the program's windows run it: the bound Quillon.dll
// entry points, real waits at one-millisecond timer resolution, the skinned
// message box owned by the calling window, and the program's globals.
#pragma once

#include <windows.h>

#include <functional>

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
