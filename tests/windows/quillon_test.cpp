// Quillon.dll from the program folder, bound by name and called exactly as
// Korelle.exe calls it, against the emulated mouse named by the environment.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>

#include "components/quillon/quillon_api.h"
#include "device/protocol.h"
#include "emulator/state_file.h"
#include "tests/test_support.h"

using protocol::Report;
using protocol::SegmentBlock;
using test_support::ProgramFolder;
using test_support::TempDir;

namespace {

constexpr unsigned short kVid = 0x7A3D;
constexpr unsigned short kPid = 0x006A;

const char* const kVariables[] = {"KORELLE_EMULATOR_STATE",     "KORELLE_EMULATOR_TRACE",
                                  "KORELLE_EMULATOR_FAIL_SET",  "KORELLE_EMULATOR_FAIL_GET",
                                  "KORELLE_EMULATOR_FAIL_KIND", "KORELLE_EMULATOR_UNPLUG_AT"};

class QuillonExports : public ::testing::Test {
protected:
    QuillonExports() {
        emulator::MouseState mouse;
        mouse.hardwareVersion = 3;
        mouse.firmwareVersion = 14;
        std::string error;
        EXPECT_TRUE(emulator::SaveStateFile(state, mouse, error)) << error;
        for (const char* name : kVariables) SetEnvironmentVariableA(name, nullptr);
        SetEnvironmentVariableA("KORELLE_EMULATOR_STATE", state.c_str());
    }
    ~QuillonExports() override {
        Unload();
        for (const char* name : kVariables) SetEnvironmentVariableA(name, nullptr);
    }

    // The library reads the environment at its first call after loading.
    void Load() {
        module = LoadLibraryA((ProgramFolder() + "\\Quillon.dll").c_str());
        ASSERT_NE(module, nullptr) << "Quillon.dll not found in " << ProgramFolder();
        exists = reinterpret_cast<QuillonIsDeviceExistFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "QUILLON_IsDeviceExist")));
        set = reinterpret_cast<QuillonSetReportFn>(reinterpret_cast<void*>(GetProcAddress(module, "QUILLON_SetReport")));
        get = reinterpret_cast<QuillonGetReportFn>(reinterpret_cast<void*>(GetProcAddress(module, "QUILLON_GetReport")));
        ASSERT_NE(exists, nullptr);
        ASSERT_NE(set, nullptr);
        ASSERT_NE(get, nullptr);
    }
    void Unload() {
        if (module) FreeLibrary(module);
        module = nullptr;
    }

    int Set(Report r) { return set(kVid, kPid, r.data()); }
    int Get(Report& r) { return get(kVid, kPid, r.data()); }
    emulator::MouseState Saved() {
        emulator::MouseState s;
        std::string error;
        EXPECT_TRUE(emulator::LoadStateFile(state, s, error)) << error;
        return s;
    }

    TempDir dir;
    const std::string state = dir.file("mouse.state");
    HMODULE module = nullptr;
    QuillonIsDeviceExistFn exists = nullptr;
    QuillonSetReportFn set = nullptr;
    QuillonGetReportFn get = nullptr;
};

TEST_F(QuillonExports, WritesAndReadsBackASegment) {
    ASSERT_NO_FATAL_FAILURE(Load());
    unsigned char scratch[8] = {};
    EXPECT_EQ(exists(kVid, kPid, scratch), 1);

    SegmentBlock block{};
    for (std::size_t i = 0; i < 35; ++i) block[i] = static_cast<std::uint8_t>(0xA0 + i);
    const std::uint16_t sum = protocol::SegmentChecksum(block);
    EXPECT_EQ(Set({0x05, 0x08, 0x01, 0x4B, 0x6F, 0x72, 0x65, 0x6C}), 1);
    EXPECT_EQ(Set({0x05, 0x07, 0x0C, 0x09, 0x00, 0x00, static_cast<std::uint8_t>(sum), static_cast<std::uint8_t>(sum >> 8)}), 1);
    for (std::size_t n = 0; n < 9; ++n) EXPECT_EQ(Set(protocol::SegmentDataReport(block, n)), 1) << n;
    EXPECT_EQ(Set({0x05, 0x08, 0x00, 0x4B, 0x6F, 0x72, 0x65, 0x6C}), 1);

    EXPECT_EQ(Set({0x05, 0x07, 0x0C, 0xFF, 0, 0, 0, 0}), 1);
    Report first = {0x05, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Get(first), 1);
    EXPECT_EQ(first, (Report{0x05, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6}));
    SegmentBlock back{};
    protocol::StoreSegmentData(back, 0, first);
    for (std::size_t n = 1; n < 9; ++n) {
        Report r = protocol::SegmentReadDataGet;
        EXPECT_EQ(Get(r), 1) << n;
        protocol::StoreSegmentData(back, n, r);
    }
    EXPECT_EQ(back, block);
    Unload();

    EXPECT_EQ(Saved().segments[12], block);
    // 1 + 10 + 1 sets, 1 + 9 for the read.
    std::ifstream trace(state + ".trace");
    int lines = 0;
    for (std::string line; std::getline(trace, line);) ++lines;
    EXPECT_EQ(lines, 22);
}

TEST_F(QuillonExports, SwitchesProfileAndAnswersBothQueries) {
    ASSERT_NO_FATAL_FAILURE(Load());
    EXPECT_EQ(Set({0x05, 0x09, 0x03, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(Set({0x05, 0x09, 0xFF, 0, 0, 0, 0, 0}), 1);
    Report answer = {0x05, 0x09, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Get(answer), 1);
    EXPECT_EQ(answer, (Report{0x05, 0x09, 0x03, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Set({0x05, 0x09, 0xFE, 0, 0, 0, 0, 0}), 1);
    answer = {0x05, 0x09, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Get(answer), 1);
    EXPECT_EQ(answer, (Report{0x05, 0x09, 3, 14, 0, 0, 0, 0}));
    // A refused get leaves the buffer as it was.
    Report refused = {0x05, 0x09, 0x77, 0, 0, 0, 0, 0};
    EXPECT_EQ(Get(refused), 0);
    EXPECT_EQ(refused, (Report{0x05, 0x09, 0x77, 0, 0, 0, 0, 0}));

    // The same mouse after the library (or the program) starts again.
    Unload();
    ASSERT_NO_FATAL_FAILURE(Load());
    EXPECT_EQ(Set(protocol::QueryActiveProfileReport), 1);
    answer = protocol::QueryAnswerGet;
    EXPECT_EQ(Get(answer), 1);
    EXPECT_EQ(answer[2], 3);
}

TEST_F(QuillonExports, OtherIdsAreNotTheMouse) {
    ASSERT_NO_FATAL_FAILURE(Load());
    unsigned char scratch[8] = {};
    EXPECT_EQ(exists(0x1234, kPid, scratch), 0);
    Report r = protocol::SwitchProfileReport(2);
    EXPECT_EQ(set(kVid, 0x006B, r.data()), 0);
    EXPECT_EQ(Saved().activeProfile, 0);
}

TEST_F(QuillonExports, RefusesNullAndShortBuffers) {
    ASSERT_NO_FATAL_FAILURE(Load());
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const std::size_t page = info.dwPageSize;
    // A readable page followed by one that may not be touched.
    auto* pages = static_cast<unsigned char*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(pages + page, page, PAGE_NOACCESS, &old));
    unsigned char* shortBuffer = pages + page - 4;
    std::memcpy(shortBuffer, "\x05\x09\x01\x00", 4);

    EXPECT_EQ(exists(kVid, kPid, nullptr), 0);
    EXPECT_EQ(set(kVid, kPid, nullptr), 0);
    EXPECT_EQ(get(kVid, kPid, nullptr), 0);
    EXPECT_EQ(exists(kVid, kPid, shortBuffer), 0);
    EXPECT_EQ(set(kVid, kPid, shortBuffer), 0);
    EXPECT_EQ(get(kVid, kPid, shortBuffer), 0);

    // A get writes its answer, so a read-only buffer is refused; a set only reads.
    unsigned char* readOnly = pages;
    std::memcpy(readOnly, "\x05\x09\xFF\x00\x00\x00\x00\x00", 8);
    ASSERT_TRUE(VirtualProtect(pages, page, PAGE_READONLY, &old));
    EXPECT_EQ(set(kVid, kPid, readOnly), 1);
    EXPECT_EQ(get(kVid, kPid, readOnly), 0);
    VirtualFree(pages, 0, MEM_RELEASE);
    EXPECT_EQ(Saved().activeProfile, 0);
}

TEST_F(QuillonExports, FaultsComeFromTheEnvironment) {
    SetEnvironmentVariableA("KORELLE_EMULATOR_FAIL_SET", "2");
    SetEnvironmentVariableA("KORELLE_EMULATOR_UNPLUG_AT", "4");
    ASSERT_NO_FATAL_FAILURE(Load());
    unsigned char scratch[8] = {};
    EXPECT_EQ(Set(protocol::SwitchProfileReport(1)), 1);
    EXPECT_EQ(Set(protocol::SwitchProfileReport(2)), 0);
    EXPECT_EQ(Set(protocol::SwitchProfileReport(3)), 1);
    EXPECT_EQ(exists(kVid, kPid, scratch), 1);
    EXPECT_EQ(Set(protocol::SwitchProfileReport(4)), 0);
    EXPECT_EQ(exists(kVid, kPid, scratch), 0);
    Unload();
    EXPECT_EQ(Saved().activeProfile, 3);

    // A setting it cannot read, or no state file: no mouse.
    SetEnvironmentVariableA("KORELLE_EMULATOR_FAIL_SET", "two");
    ASSERT_NO_FATAL_FAILURE(Load());
    EXPECT_EQ(exists(kVid, kPid, scratch), 0);
    Unload();
    SetEnvironmentVariableA("KORELLE_EMULATOR_FAIL_SET", nullptr);
    SetEnvironmentVariableA("KORELLE_EMULATOR_STATE", dir.file("none.state").c_str());
    ASSERT_NO_FATAL_FAILURE(Load());
    EXPECT_EQ(exists(kVid, kPid, scratch), 0);
    EXPECT_EQ(Set(protocol::WriteLockOnReport), 0);
}

// Without the emulator the library looks for the real mouse through the
// set-up API and hid.dll; Wine has none, and it says so at once.
TEST_F(QuillonExports, TheHidPathFindsNoMouseHere) {
    SetEnvironmentVariableA("KORELLE_EMULATOR_STATE", nullptr);
    ASSERT_NO_FATAL_FAILURE(Load());
    unsigned char scratch[8] = {};
    EXPECT_EQ(exists(kVid, kPid, scratch), 0);
    EXPECT_EQ(Set(protocol::WriteLockOnReport), 0);
    Report r = protocol::QueryAnswerGet;
    EXPECT_EQ(Get(r), 0);
}

}  // namespace
