// The Linux korelle-cli on the real HID stack: hidapi's hidraw back end
// against korelle-uhid-mouse inside the VM of the "hid" layer
// (scripts/hid-inside.sh starts the device and names its state file and
// control file). Nothing here goes through the emulator variable.
#include <gtest/gtest.h>


#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "emulator/factory.h"
#include "emulator/state_file.h"
#include "profile_store/profiles/vantor.h"
#include "profile_store/record/profile_record.h"
#include "tests/test_support.h"

namespace {

namespace fs = std::filesystem;

using Result = test_support::ShellResult;

class CliOnHidraw : public ::testing::Test {
protected:
    test_support::TempDir data;
    std::string state, control;

    void SetUp() override {
        const char* s = std::getenv("KORELLE_HID_DEVICE_STATE");
        const char* c = std::getenv("KORELLE_HID_DEVICE_CONTROL");
        ASSERT_TRUE(s && c) << "run inside the VM (scripts/hid-inside.sh)";
        state = s;
        control = c;
        unsetenv("KORELLE_EMULATOR_STATE");
    }

    Result Cli(const std::string& args) {
        return test_support::Shell(std::string(KORELLE_CLI_TOOL) + " --data '" + data.path().string() + "' " + args);
    }
    // A command to the device (see uhid_mouse/bridge.h), taken when the
    // device removes the file.
    void Command(const std::string& text) {
        {
            std::ofstream out(control + ".new");
            out << text << "\n";
        }
        fs::rename(control + ".new", control);
        for (int i = 0; i < 500 && fs::exists(control); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_FALSE(fs::exists(control)) << text;
    }
    emulator::MouseState Mouse() {
        emulator::MouseState m;
        std::string error;
        EXPECT_TRUE(emulator::LoadStateFile(state, m, error)) << error;
        return m;
    }
    std::size_t TraceLines() {
        std::ifstream in(state + ".trace");
        std::size_t n = 0;
        for (std::string line; std::getline(in, line);) ++n;
        return n;
    }
    // The mouse's memory after the program's Apply of the factory file.
    emulator::Segments FactorySegments() {
        test_support::ScopedCurrentDir cwd(data.path());
        std::unique_ptr<Vantor> v(CreateQXClassInstance(0x7A3D, 0x006A));
        ProfileRecord r;
        EXPECT_EQ(v->LoadVantorInfo(r.data()), 1);
        EXPECT_EQ(v->LoadVantorProfile(r.data(), reinterpret_cast<unsigned char*>(const_cast<char*>("__default.xml"))), 1);
        emulator::Segments s{};
        std::string error;
        EXPECT_TRUE(emulator::SegmentsFromRecord(r.bytes, s, error)) << error;
        return s;
    }
};

TEST_F(CliOnHidraw, FindsTheConfigurationInterfaceAndWritesAndReadsThroughIt) {
    const Result list = Cli("list");
    ASSERT_EQ(list.code, 0) << list.out;
    EXPECT_NE(list.out.find("/dev/hidraw"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("firmware 14  hardware 3"), std::string::npos) << list.out;

    // The VM's mouse starts blank: everything is written, after a copy.
    const Result restore = Cli("restore __default");
    ASSERT_EQ(restore.code, 0) << restore.out;
    EXPECT_NE(restore.out.find("kept as the configuration mouse-"), std::string::npos) << restore.out;
    EXPECT_EQ(Mouse().segments, FactorySegments());
    EXPECT_EQ(Cli("diff __default").code, 0);

    const Result set = Cli("set button 2 3 double-click");
    ASSERT_EQ(set.code, 0) << set.out;
    EXPECT_NE(set.out.find("segments written: 0, "), std::string::npos) << set.out;
    const Result show = Cli("show");
    ASSERT_EQ(show.code, 0) << show.out;
    const std::size_t profile2 = show.out.find("profile 2");
    EXPECT_NE(show.out.find("button 3: DOUBLE CLICK", profile2), std::string::npos) << show.out;

    const fs::path backup = data.path() / "backup.xml";
    ASSERT_EQ(Cli("backup '" + backup.string() + "'").code, 0);
    EXPECT_EQ(Cli("diff '" + backup.string() + "'").code, 0);
    EXPECT_EQ(Cli("diff __default").code, 1);
}

TEST_F(CliOnHidraw, ValuesOutOfRangeSendNothing) {
    const std::size_t before = TraceLines();
    for (const char* args : {"set dpi 1 9", "set polling 2 7", "set button 1 9 click", "switch 6"}) {
        const Result r = Cli(args);
        EXPECT_EQ(r.code, 2) << args << "\n" << r.out;
    }
    EXPECT_EQ(TraceLines(), before);
}

// Last: the device goes away and comes back as a new hidraw node.
TEST_F(CliOnHidraw, AnUnpluggedMouseIsAbsentAndFoundAgainWhenReplugged) {
    Command("unplug");
    const Result absent = Cli("show");
    EXPECT_EQ(absent.code, 3) << absent.out;
    EXPECT_NE(absent.out.find("Nothing was read or written"), std::string::npos) << absent.out;
    Command("replug");
    bool found = false;
    for (int i = 0; i < 50 && !found; ++i) {
        found = Cli("list").code == 0;
        if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(Cli("switch 3").code, 0);
    EXPECT_EQ(Mouse().activeProfile, 2);
}

}  // namespace
