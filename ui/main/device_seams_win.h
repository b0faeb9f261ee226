// The device link as the program's windows run it: the bound Quillon.dll
// entry points, real waits at one-millisecond timer resolution, the skinned
// message box owned by the calling window, and the program's globals.
#pragma once

#include <windows.h>

#include "device/device_link.h"

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
// 1 ms waits are not stretched to the default tick of about 15.6 ms.
class PreciseSleeper : public Sleeper {
public:
    void SleepMs(unsigned ms) override;
};

DeviceLinkEnv ProgramDeviceLinkEnv(MessageSink* messages, Sleeper* sleeper);

// Runs fn(DeviceLink&) with a link over the program's globals whose
// messages are owned by owner.
template <class Fn>
auto WithDeviceLink(HWND owner, Fn fn) {
    DialogMessages messages(owner);
    PreciseSleeper sleeper;
    DeviceLink link(ProgramDeviceLinkEnv(&messages, &sleeper));
    return fn(link);
}
