// Times the device link's flows against the emulated mouse with real waits,
// and compares each with the floor its fixed waits set alone:
//   one-button Apply, a full rewrite of all 36 segments, and start-up with
//   equal and with different checksums.
// Run from anywhere: it builds its own program folder from the shipped
// device files in a temporary folder.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "device/device_link.h"
#include "emulator/emulator.h"
#include "emulator/factory.h"
#include "profile_store/profiles/vantor.h"
#include "tests/device/emulated_hid.h"

namespace fs = std::filesystem;
using namespace record;

namespace {

// Really waits, and adds up what was asked for.
class FloorSleeper : public RealSleeper {
public:
    unsigned long long askedMs = 0;
    void SleepMs(unsigned ms) override {
        askedMs += ms;
        RealSleeper::SleepMs(ms);
    }
};

class Silent : public MessageSink {
public:
    int answer = 1;
    void ShowOk(const char*, const char*) override {}
    int AskYesNo(const char*, const char*) override { return answer; }
};

unsigned char* Name(const char* text) { return reinterpret_cast<unsigned char*>(const_cast<char*>(text)); }

struct Bench {
    ProfileRecord work, saved;
    int cur = 0;
    FloorSleeper sleeper;
    Silent messages;
    device_test::EmulatedHid hid;
    std::unique_ptr<emulator::Emulator> mouse;
    DeviceContext* context = nullptr;
    std::unique_ptr<DeviceLink> link;

    DeviceLinkEnv Env() { return hid.Env(sleeper, messages, work, saved, cur); }
    void Plug(const emulator::MouseState& state) {
        mouse = std::make_unique<emulator::Emulator>(state);
        hid.mouse = mouse.get();
    }
    void Start() {
        DeviceLink::DestroyDeviceContext(context);
        work = saved = ProfileRecord{};
        link = std::make_unique<DeviceLink>(Env());
        context = link->CreateDeviceContext(CreateQXClassInstance);
    }
    ~Bench() { DeviceLink::DestroyDeviceContext(context); }
};

template <class Flow>
void Measure(const char* name, Bench& bench, Flow flow) {
    bench.sleeper.askedMs = 0;
    const auto t0 = std::chrono::steady_clock::now();
    flow();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    const double floor = static_cast<double>(bench.sleeper.askedMs);
    const bool within = ms <= floor * 1.03 + 5.0;
    std::printf("%-34s %9.1f ms   floor %6.0f ms   ratio %.4f   %s\n", name, ms, floor, floor > 0 ? ms / floor : 0.0,
                within ? "within 3% + 5 ms" : "OVER TARGET");
}

}  // namespace

int main() {
    const fs::path work = fs::temp_directory_path() / "korelle-device-bench";
    const fs::path device = work / "Database" / "VID7a3d_PID006a";
    fs::remove_all(work);
    fs::create_directories(device);
    const fs::path shipped = fs::path(KORELLE_SOURCE_DIR) / "assets" / "database" / "VID7a3d_PID006a";
    fs::copy_file(shipped / "__DeviceInfo.xml", device / "__DeviceInfo.xml");
    fs::copy_file(shipped / "__default.xml", device / "__default.xml");
    fs::copy_file(shipped / "__default.xml", device / "__working.xml");
    fs::current_path(work);

    emulator::MouseState factory;
    {
        std::unique_ptr<Vantor> vantor(CreateQXClassInstance(0x7A3D, 0x006A));
        ProfileRecord r;
        vantor->LoadVantorInfo(r.data());
        vantor->LoadVantorProfile(r.data(), Name("__default.xml"));
        std::string error;
        if (!emulator::SegmentsFromRecord(r.bytes, factory.segments, error)) {
            std::fprintf(stderr, "factory memory: %s\n", error.c_str());
            return 1;
        }
    }

    Bench bench;
    bench.Plug(factory);
    Measure("start-up, equal checksums", bench, [&] { bench.Start(); });

    emulator::MouseState different = factory;
    different.segments[0][kDummy] = '0';
    bench.Plug(different);
    bench.messages.answer = 1;  // keep the mouse's settings: no rewrite
    Measure("start-up, different checksums", bench, [&] { bench.Start(); });

    bench.Plug(factory);
    bench.Start();
    bench.work.bytes[ButtonOffset(bench.work.data(), 2, 4) + kFunID] = 6;
    Measure("Apply, one changed button", bench, [&] { bench.link->WriteToDevice(bench.context); });

    // The rewrite after a refused read-back: the saved blocks are zero.
    bench.saved = ProfileRecord{};
    std::copy_n(bench.work.bytes.begin(), kProfiles, bench.saved.bytes.begin());
    Measure("Apply, full rewrite of 36 segments", bench, [&] { bench.link->WriteToDevice(bench.context); });

    fs::current_path(fs::temp_directory_path());
    fs::remove_all(work);
    return 0;
}
