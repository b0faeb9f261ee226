// A program folder of its own, an emulated mouse behind the HID seam, a
// sleeper and message boxes that only record, and the two records: what the
// device-link suites start from.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "emulator/emulator.h"
#include "emulator/factory.h"
#include "profile_store/profiles/vantor.h"
#include "tests/device/emulated_hid.h"
#include "tests/test_support.h"

namespace device_test {

using emulator::MouseState;
namespace fs = std::filesystem;

class RecordingSleeper : public Sleeper {
public:
    std::vector<std::string>* log = nullptr;
    std::function<void(unsigned)> onSleep;
    void SleepMs(unsigned ms) override {
        if (log) log->push_back("sleep " + std::to_string(ms));
        if (onSleep) onSleep(ms);
    }
};

class RecordingMessages : public MessageSink {
public:
    std::vector<std::string> keys;
    int answer = 2;  // No
    void ShowOk(const char* key, const char*) override { keys.push_back(key); }
    int AskYesNo(const char* key, const char*) override {
        keys.push_back(key);
        return answer;
    }
};

// Fault settings of the emulated mouse: every report of a kind, or the nth
// set or get from the time it is plugged.
inline emulator::Faults FailKind(emulator::ReportKind kind) {
    emulator::Faults f;
    f.failKinds = {kind};
    return f;
}
inline emulator::Faults FailSet(std::uint32_t n) {
    emulator::Faults f;
    f.failSets = {n};
    return f;
}
inline emulator::Faults FailGet(std::uint32_t n) {
    emulator::Faults f;
    f.failGets = {n};
    return f;
}

class DeviceFixture : public ::testing::Test {
protected:
    test_support::TempDir dir;
    fs::path device = dir.path() / "Database" / "VID7a3d_PID006a";
    std::unique_ptr<test_support::ScopedCurrentDir> cwd;
    std::unique_ptr<Vantor> vantor;
    ProfileRecord work, saved;
    int cur = 0;
    RecordingSleeper sleeper;
    RecordingMessages messages;
    std::unique_ptr<emulator::Emulator> mouse;
    std::unique_ptr<DeviceLink> link;
    DeviceContext* context = nullptr;
    std::vector<std::string> log;
    EmulatedHid hid;

    void SetUp() override {
        hid.onReport = [this](bool isSet, bool ok, const protocol::Report& sent) { Note(isSet, ok, sent); };
        fs::create_directories(device);
        cwd = std::make_unique<test_support::ScopedCurrentDir>(dir.path());
        vantor.reset(CreateQXClassInstance(0x7A3D, 0x006A));
        ResetFiles();
        Plug(FactoryState());
    }

    void TearDown() override {
        Stop();
        vantor.reset();
        cwd.reset();
        hid.Unbind();
    }

    // The shipped device files, and the working file as a first start finds it.
    void ResetFiles() {
        Stop();
        // Removed first: mingw's copy_file does not honour overwrite_existing.
        for (const char* f : {"__DeviceInfo.xml", "__default.xml", "__working.xml"}) fs::remove(device / f);
        for (const char* f : {"__DeviceInfo.xml", "__default.xml"})
            fs::copy_file(test_support::ShippedDeviceFolder() / f, device / f);
        fs::copy_file(device / "__default.xml", device / "__working.xml");
        work = ProfileRecord{};
        saved = ProfileRecord{};
        cur = 0;
        hid.forcedAbsent = false;
        sleeper.onSleep = nullptr;
        ResetMessages();
        ClearEvents();
    }

    void WriteDeviceFile(const char* name, const std::string& text) {
        test_support::WriteFile((device / name).string(), text);
    }
    std::string WorkingFile() const { return test_support::ReadFile((device / "__working.xml").string()); }

    // The mouse as it leaves the factory: "__default.xml" written to it.
    MouseState FactoryState() {
        ProfileRecord r;
        EXPECT_EQ(vantor->LoadVantorInfo(r.data()), 1);
        EXPECT_EQ(vantor->LoadVantorProfile(r.data(), Name("__default.xml")), 1);
        MouseState state;
        std::string error;
        EXPECT_TRUE(emulator::SegmentsFromRecord(r.bytes, state.segments, error)) << error;
        return state;
    }

    void Plug(const MouseState& state, const emulator::Faults& faults = {}) {
        mouse = std::make_unique<emulator::Emulator>(state, faults, [] { return std::uint64_t{0}; });
        hid.mouse = mouse.get();
        hid.forcedAbsent = false;
    }
    // The same mouse with other faults and fresh report counts.
    void Replug(const emulator::Faults& faults) { Plug(mouse->state(), faults); }
    void Unplug() { hid.forcedAbsent = true; }
    // Unplugs the mouse during the nth wait of ms milliseconds from now on.
    void UnplugAtSleep(unsigned ms, int nth) {
        auto count = std::make_shared<int>(0);
        sleeper.onSleep = [this, ms, nth, count](unsigned slept) {
            if (slept == ms && ++*count == nth) hid.forcedAbsent = true;
        };
    }

    // The time the names of mouse copies carry.
    std::string stamp = "2026-12-08-1030";
    DeviceLinkEnv Env() {
        DeviceLinkEnv env = hid.Env(sleeper, messages, work, saved, cur);
        env.stamp = [this] { return stamp; };
        return env;
    }

    // The main window's start-up: the device context and the read-back.
    void Start() {
        sleeper.log = &log;
        link = std::make_unique<DeviceLink>(Env());
        context = link->CreateDeviceContext(CreateQXClassInstance);
    }
    void Stop() {
        DeviceLink::DestroyDeviceContext(context);
        context = nullptr;
    }

    void ResetMessages() { messages.keys.clear(); }
    void ClearEvents() { log.clear(); }

    // The reports and waits since the last clear; a report and the wait after
    // it, repeated n times, read "report xn wait".
    std::vector<std::string> Events() const {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < log.size();) {
            std::size_t n = 1;
            while (log[i].rfind("sleep", 0) != 0 && i + 2 * n + 1 < log.size() && log[i + 2 * n] == log[i] && log[i + 2 * n + 1] == log[i + 1]) ++n;
            if (n > 1) {
                out.push_back(log[i] + " x" + std::to_string(n) + " " + log[i + 1]);
                i += 2 * n;
            } else {
                out.push_back(log[i]);
                ++i;
            }
        }
        return out;
    }
    int CountEvents(const std::string& kind) const {
        int n = 0;
        for (const std::string& e : log) n += e == kind || e.rfind(kind + " ", 0) == 0;
        return n;
    }

    // The mouse holds the record (slot order) as the program writes it.
    bool MouseAgreesWith(const ProfileRecord& r) const {
        ProfileRecord fileOrder = r;
        RevertButtonMap(fileOrder.data());
        emulator::Segments expected;
        std::string error;
        if (!emulator::SegmentsFromRecord(fileOrder.bytes, expected, error, emulator::FactoryChecksum::AsInRecord))
            return false;
        return mouse->state().segments == expected;
    }
    // "__working.xml" loads back into the record.
    bool FileAgreesWith(const ProfileRecord& r) const {
        ProfileRecord loaded;
        std::unique_ptr<Vantor> reader(CreateQXClassInstance(0x7A3D, 0x006A));
        if (!reader->LoadVantorInfo(loaded.data())) return false;
        if (!reader->LoadVantorProfile(loaded.data(), Name("__working.xml"))) return false;
        ApplyButtonMap(loaded.data());
        return loaded == r;
    }

    static unsigned char* Name(const char* text) { return reinterpret_cast<unsigned char*>(const_cast<char*>(text)); }

private:
    void Note(bool isSet, bool ok, const protocol::Report& sent) {
        const emulator::TraceEntry& e = mouse->trace().back();
        std::string text = emulator::KindName(e.kind);
        if (isSet && (e.kind == emulator::ReportKind::SegmentWrite || e.kind == emulator::ReportKind::SegmentRead ||
                      e.kind == emulator::ReportKind::SwitchProfile))
            text += " " + std::to_string(sent[2]);
        if (!ok) text += " failed";
        log.push_back(text);
    }
};

}  // namespace device_test
