// Quillon.dll's Windows HID path through a real HID stack: the library is
// called through its exports with no emulator variable, so its reports go
// through the set-up API, hid.dll, Wine's HID services and the kernel's
// hidraw to korelle-uhid-mouse, which serves our firmware model. Run inside
// the VM of scripts/hid-vm.sh (scripts/hid-inside.sh starts the device).
//   KORELLE_DIST          folder holding Quillon.dll
//   KORELLE_HID_STATE     the device's state file (its trace beside it)
//   KORELLE_HID_CONTROL   the device's control file (commands: uhid_mouse/bridge.h)
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "components/quillon/quillon_api.h"
#include "device/protocol.h"
#include "emulator/emulator.h"
#include "emulator/state_file.h"
#include "tests/test_support.h"

using protocol::Report;
using protocol::SegmentBlock;

namespace {

constexpr unsigned short kVid = protocol::kVendorId;
constexpr unsigned short kPid = protocol::kProductId;
// Wine notices a device node that comes or goes within a second or two; a
// loaded machine running the VM under software emulation needs longer.
constexpr int kPlugWaitMs = 30000;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class RealStack : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(Env("KORELLE_HID_CONTROL").empty()) << "run inside the VM (scripts/hid-inside.sh)";
        // Nothing may send this library to the emulated mouse.
        ASSERT_TRUE(Env("KORELLE_EMULATOR_STATE").empty());
        module = LoadLibraryA((test_support::ProgramFolder() + "\\Quillon.dll").c_str());
        ASSERT_NE(module, nullptr);
        exists = reinterpret_cast<QuillonIsDeviceExistFn>(reinterpret_cast<void*>(GetProcAddress(module, "QUILLON_IsDeviceExist")));
        set = reinterpret_cast<QuillonSetReportFn>(reinterpret_cast<void*>(GetProcAddress(module, "QUILLON_SetReport")));
        get = reinterpret_cast<QuillonGetReportFn>(reinterpret_cast<void*>(GetProcAddress(module, "QUILLON_GetReport")));
        ASSERT_TRUE(exists && set && get);
        if (mouseAtStart) {
            ASSERT_TRUE(WaitPresence(true)) << "the mouse is not there at the start";
        }
        traceStart = TraceLines().size();
    }
    void TearDown() override {
        Command("answer\nreplug");
        if (module) FreeLibrary(module);
    }

    int Exists(unsigned short vid = kVid, unsigned short pid = kPid) {
        unsigned char scratch[8] = {};
        return exists(vid, pid, scratch);
    }
    int Set(Report r) { return set(kVid, kPid, r.data()); }
    int Get(Report& r) { return get(kVid, kPid, r.data()); }

    // Hands the device a command and waits until it was carried out.
    void Command(const std::string& text) {
        const std::string control = Env("KORELLE_HID_CONTROL");
        {
            // One write: the device acts on the file once it ends with a line end.
            std::ofstream out(control, std::ios::binary);
            out << text + "\n" << std::flush;
        }
        for (int i = 0; i < 500 && GetFileAttributesA(control.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(10);
        EXPECT_EQ(GetFileAttributesA(control.c_str()), INVALID_FILE_ATTRIBUTES) << "the device did not take " << text;
    }
    bool WaitPresence(bool present) {
        const long long end = NowMs() + kPlugWaitMs;
        do {
            if ((Exists() == 1) == present) return true;
            Sleep(100);
        } while (NowMs() < end);
        return false;
    }
    // Sends a query of device info and returns the answer's byte 2 and 3 as
    // hardware * 256 + firmware, or -1.
    int DeviceInfo() {
        if (Set({0x05, 0x09, 0xFE, 0, 0, 0, 0, 0}) != 1) return -1;
        Report answer = protocol::QueryAnswerGet;
        if (Get(answer) != 1) return -1;
        return answer[2] * 256 + answer[3];
    }
    emulator::MouseState Saved() {
        emulator::MouseState s;
        std::string error;
        EXPECT_TRUE(emulator::LoadStateFile(Env("KORELLE_HID_STATE"), s, error)) << error;
        return s;
    }
    std::vector<emulator::TraceEntry> TraceLines() {
        std::vector<emulator::TraceEntry> lines;
        std::ifstream in(Env("KORELLE_HID_STATE") + ".trace");
        for (std::string line; std::getline(in, line);) {
            auto e = emulator::ParseTraceLine(line);
            EXPECT_TRUE(e) << line;
            if (e) lines.push_back(*e);
        }
        return lines;
    }
    // "kind outcome" for every trace line since the test started.
    std::vector<std::string> TraceSinceStart() {
        std::vector<std::string> out;
        const auto lines = TraceLines();
        for (std::size_t i = traceStart; i < lines.size(); ++i)
            out.push_back(std::string(lines[i].isSet ? "set " : "get ") + emulator::KindName(lines[i].kind) + " " +
                          emulator::OutcomeName(lines[i].outcome));
        return out;
    }

    bool mouseAtStart = true;
    HMODULE module = nullptr;
    QuillonIsDeviceExistFn exists = nullptr;
    QuillonSetReportFn set = nullptr;
    QuillonGetReportFn get = nullptr;
    std::size_t traceStart = 0;
};

TEST_F(RealStack, FindsTheMouseByVendorAndProductOnly) {
    EXPECT_EQ(Exists(), 1);
    EXPECT_EQ(Exists(kVid, kPid + 1), 0);
    EXPECT_EQ(Exists(kVid + 1, kPid), 0);
    EXPECT_EQ(Exists(), 1);
    // Finding the mouse sends it nothing.
    EXPECT_TRUE(TraceSinceStart().empty());
}

TEST_F(RealStack, EveryReportKindTravelsBothWays) {
    SegmentBlock block{};
    for (std::size_t i = 0; i < 35; ++i) block[i] = static_cast<std::uint8_t>(0x30 + 3 * i);
    EXPECT_EQ(Set(protocol::WriteLockOnReport), 1);
    EXPECT_EQ(Set(protocol::SegmentWriteHeader(12, protocol::SegmentChecksum(block))), 1);
    for (std::size_t n = 0; n < 9; ++n) EXPECT_EQ(Set(protocol::SegmentDataReport(block, n)), 1) << n;
    EXPECT_EQ(Set(protocol::WriteLockOffReport), 1);
    EXPECT_EQ(Saved().segments[12], block);

    EXPECT_EQ(Set(protocol::SegmentReadRequest(12)), 1);
    SegmentBlock back{};
    for (std::size_t n = 0; n < 9; ++n) {
        Report r = protocol::SegmentReadDataGet;
        EXPECT_EQ(Get(r), 1) << n;
        EXPECT_EQ(r[0], 5);
        protocol::StoreSegmentData(back, n, r);
    }
    EXPECT_EQ(back, block);

    EXPECT_EQ(Set({0x05, 0x09, 0x03, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(Set(protocol::QueryActiveProfileReport), 1);
    Report answer = protocol::QueryAnswerGet;
    EXPECT_EQ(Get(answer), 1);
    EXPECT_EQ(answer[2], 3);
    const emulator::MouseState saved = Saved();
    EXPECT_EQ(DeviceInfo(), saved.hardwareVersion * 256 + saved.firmwareVersion);
    // A get with nothing to answer fails and leaves the buffer alone.
    Report refused = {0x05, 0x09, 0x77, 0, 0, 0, 0, 0};
    EXPECT_EQ(Get(refused), 0);
    EXPECT_EQ(refused, (Report{0x05, 0x09, 0x77, 0, 0, 0, 0, 0}));
    // The device's answer is back after the failure.
    EXPECT_EQ(DeviceInfo(), saved.hardwareVersion * 256 + saved.firmwareVersion);

    std::vector<std::string> expected = {"set lock-on ok", "set segment-write ok"};
    for (int n = 0; n < 9; ++n) expected.push_back("set segment-data ok");
    expected.push_back("set lock-off ok");
    expected.push_back("set segment-read ok");
    for (int n = 0; n < 9; ++n) expected.push_back("get segment-read-data ok");
    for (const char* line : {"set switch ok", "set query-profile ok", "get query-answer ok", "set query-info ok",
                             "get query-answer ok", "get unknown refused", "set query-info ok", "get query-answer ok"})
        expected.push_back(line);
    EXPECT_EQ(TraceSinceStart(), expected);
}

TEST_F(RealStack, UnplugBetweenReportsAndReplug) {
    EXPECT_EQ(Set(protocol::WriteLockOnReport), 1);
    EXPECT_TRUE(Saved().writeLocked);
    Command("unplug");
    // The collection the library holds open is gone: the next report fails
    // at once, and the mouse is reported absent.
    EXPECT_EQ(Set(protocol::QueryActiveProfileReport), 0);
    EXPECT_TRUE(WaitPresence(false));
    // Plugged back, it is found again under a new interface path, and
    // answers: power was lost with the lock.
    Command("replug");
    EXPECT_FALSE(Saved().writeLocked);
    ASSERT_TRUE(WaitPresence(true)) << "the replugged mouse is not offered again";
    const emulator::MouseState saved = Saved();
    EXPECT_EQ(DeviceInfo(), saved.hardwareVersion * 256 + saved.firmwareVersion);
}

TEST_F(RealStack, AGetNeverAnsweredEndsWithinTheCancel) {
    EXPECT_EQ(Set(protocol::QueryDeviceInfoReport), 1);
    Command("mute get");
    Report answer = protocol::QueryAnswerGet;
    const long long t0 = NowMs();
    EXPECT_EQ(Get(answer), 0);
    const long long took = NowMs() - t0;
    EXPECT_LT(took, 2000) << "the get took " << took << " ms";
    Command("answer");
    // The device answers again once the kernel gave up on the lost request.
    const long long end = NowMs() + kPlugWaitMs;
    int info = -1;
    while ((info = DeviceInfo()) < 0 && NowMs() < end) Sleep(200);
    EXPECT_GE(info, 0);
}

TEST_F(RealStack, ASetNeverAnsweredEndsWithinTheCancel) {
    Command("mute set");
    const long long t0 = NowMs();
    EXPECT_EQ(Set(protocol::QueryDeviceInfoReport), 0);
    const long long took = NowMs() - t0;
    EXPECT_LT(took, 2000) << "the set took " << took << " ms";
    Command("answer");
    const long long end = NowMs() + kPlugWaitMs;
    int info = -1;
    while ((info = DeviceInfo()) < 0 && NowMs() < end) Sleep(200);
    EXPECT_GE(info, 0);
}

// The user may read the mouse's hidraw node but not write it (a missing
// udev rule): scripts/hid-inside.sh makes the node read-only before the Wine
// session starts. Wine's HID services then do not offer the mouse at all, so
// the library's fallback of opening the collection without access never
// comes into play: the mouse is absent. With the node writable and the
// mouse plugged in again, it is found.
class ReadOnlyNode : public RealStack {
protected:
    ReadOnlyNode() { mouseAtStart = false; }
};

TEST_F(ReadOnlyNode, IsNoMouseUntilWritableAndReplugged) {
    EXPECT_EQ(Exists(), 0);
    EXPECT_EQ(Set(protocol::QueryActiveProfileReport), 0);
    EXPECT_TRUE(TraceSinceStart().empty());
    Command("read-write\nunplug\nreplug");
    ASSERT_TRUE(WaitPresence(true)) << "the mouse is not offered once its node is writable";
    EXPECT_EQ(Set(protocol::QueryActiveProfileReport), 1);
}

}  // namespace
