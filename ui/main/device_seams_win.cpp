#include "ui/main/device_seams_win.h"

#include <mmsystem.h>

#include "core/app_globals_win.h"
#include "device/device_globals.h"
#include "ui/framework/message_dialog_win.h"

void DialogMessages::ShowOk(const char*, const char* text) { ShowMessage(owner_, CMessageDialog::kOk, text); }

int DialogMessages::AskYesNo(const char*, const char* text) { return ShowMessage(owner_, CMessageDialog::kYesNo, text); }

PreciseSleeper::PreciseSleeper(Painter painter) : painter_(std::move(painter)), cue_(GetTickCount()) {}

PreciseSleeper::~PreciseSleeper() {
    if (painter_ && cue_.Shown()) painter_(-1);
}

void PreciseSleeper::SleepMs(unsigned ms) {
    if (painter_) {
        const int frame = cue_.FrameAt(GetTickCount());
        if (frame >= 0) painter_(frame);
    }
    timeBeginPeriod(1);
    Sleep(ms);
    timeEndPeriod(1);
}

namespace {
HidApi BoundHid() { return {g_pfnIsDeviceExist, g_pfnSetReport, g_pfnGetReport}; }
}  // namespace

DeviceLinkEnv ProgramDeviceLinkEnv(MessageSink* messages, Sleeper* sleeper) {
    DeviceLinkEnv env;
    env.hid = BoundHid();
    env.sleeper = sleeper;
    env.messages = messages;
    env.strings = g_pXmlRW;
    env.work = &g_WorkRecord;
    env.saved = &g_SavedRecord;
    env.curProfile = &g_nCurProfile;
    return env;
}

namespace startup_read {
namespace {

HANDLE g_thread = nullptr;
ReadOpening g_opening;

// Only the HID seam and the waits: the worker touches no record, string or
// window.
DeviceLink HidOnlyLink(Sleeper& sleeper) {
    DeviceLinkEnv env;
    env.hid = BoundHid();
    env.sleeper = &sleeper;
    return DeviceLink(env);
}

DWORD WINAPI Run(void*) {
    PreciseSleeper sleeper;
    g_opening = HidOnlyLink(sleeper).OpenRead();
    return 0;
}

}  // namespace

void Begin() {
    if (!g_thread) g_thread = CreateThread(nullptr, 0, Run, nullptr, 0, nullptr);
}

std::optional<ReadOpening> Take() {
    if (!g_thread) return std::nullopt;
    WaitForSingleObject(g_thread, INFINITE);
    CloseHandle(g_thread);
    g_thread = nullptr;
    return g_opening;
}

void End() {
    if (const std::optional<ReadOpening> opening = Take()) {
        PreciseSleeper sleeper;
        HidOnlyLink(sleeper).AbandonRead(*opening);
    }
}

}  // namespace startup_read
