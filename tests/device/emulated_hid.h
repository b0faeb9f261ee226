// The HID seam bound to an in-process emulated mouse, for the device-link
// suites and the benchmark. The entry points are plain functions, as the
// program binds them, so they reach the mouse through one current instance.
#pragma once

#include <cstring>
#include <functional>

#include "device/device_link.h"
#include "emulator/emulator.h"

namespace device_test {

struct EmulatedHid {
    emulator::Emulator* mouse = nullptr;
    bool forcedAbsent = false;  // unplugged without the mouse knowing
    std::function<void(bool isSet, bool ok, const protocol::Report& sent)> onReport;

    // Makes this instance the one the entry points reach.
    HidApi Bind() {
        Current() = this;
        return {IsDeviceExist, SetReport, GetReport};
    }
    // The link's whole environment over this mouse and the caller's state.
    DeviceLinkEnv Env(Sleeper& sleeper, MessageSink& messages, ProfileRecord& work, ProfileRecord& saved, int& cur) {
        DeviceLinkEnv env;
        env.hid = Bind();
        env.sleeper = &sleeper;
        env.messages = &messages;
        env.work = &work;
        env.saved = &saved;
        env.curProfile = &cur;
        return env;
    }
    void Unbind() {
        if (Current() == this) Current() = nullptr;
    }

private:
    static EmulatedHid*& Current() {
        static EmulatedHid* current = nullptr;
        return current;
    }
    static bool Usable() { return Current() && Current()->mouse && !Current()->forcedAbsent; }

    static int IsDeviceExist(unsigned short, unsigned short, unsigned char*) {
        return Usable() && Current()->mouse->IsPresent();
    }
    static int Exchange(bool isSet, unsigned char* bytes) {
        if (!Usable()) return 0;
        EmulatedHid& hid = *Current();
        protocol::Report report;
        std::memcpy(report.data(), bytes, report.size());
        const bool ok = isSet ? hid.mouse->SetReport(report) : hid.mouse->GetReport(report);
        if (ok && !isSet) std::memcpy(bytes, report.data(), report.size());
        if (hid.onReport) hid.onReport(isSet, ok, report);
        return ok;
    }
    static int SetReport(unsigned short, unsigned short, unsigned char* bytes) { return Exchange(true, bytes); }
    static int GetReport(unsigned short, unsigned short, unsigned char* bytes) { return Exchange(false, bytes); }
};

}  // namespace device_test
