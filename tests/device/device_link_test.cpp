// The device link against the emulated mouse: reports and waits in their
// exact order, and what every failure leaves in the two records, the working
// file and the mouse.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "emulator/emulator.h"
#include "emulator/factory.h"
#include "profile_store/profiles/vantor.h"
#include "tests/device/device_fixture.h"

using namespace record;
using device_test::DeviceFixture;
using device_test::FailGet;
using device_test::FailKind;
using device_test::FailSet;
using emulator::MouseState;
using emulator::ReportKind;

namespace {

class DeviceLinkTest : public DeviceFixture {};

// ---- checksums and validation ----

TEST(RecordChecksum, ZeroRecordAndHandComputedRecords) {
    ProfileRecord work, saved;
    int cur = 0;
    DeviceLinkEnv env;
    env.work = &work;
    env.saved = &saved;
    env.curProfile = &cur;
    DeviceLink link(env);
    link.ComputeRecordChecksum();
    EXPECT_STREQ(reinterpret_cast<const char*>(work.data() + 283), "0000");

    // Weights 1..9 by position; the checksum's own bytes count as zero.
    work = ProfileRecord{};
    work.bytes[0] = 1;       // weight 1
    work.bytes[1] = 2;       // weight 2
    work.bytes[9] = 3;       // weight 1 again
    work.bytes[285] = 0xFF;  // inside the checksum field
    work.bytes[2069] = 0x10;  // weight 9
    link.ComputeRecordChecksum();
    EXPECT_STREQ(reinterpret_cast<const char*>(work.data() + 283), "0098");

    // The sum wraps at 16 bits: 255 x (10350 - 35) = 0x2822b5.
    work.bytes.fill(0xFF);
    link.ComputeRecordChecksum();
    EXPECT_STREQ(reinterpret_cast<const char*>(work.data() + 283), "22b5");
    EXPECT_EQ(work.bytes[282], 0xFF);
    EXPECT_EQ(work.bytes[288], 0xFF);
}

TEST_F(DeviceLinkTest, ShippedFilesCarryTheChecksumOfTheirRecord) {
    for (const char* file : {"__default.xml", "__working.xml"}) {
        ProfileRecord r;
        ASSERT_EQ(vantor->LoadVantorInfo(r.data()), 1);
        ASSERT_EQ(vantor->LoadVantorProfile(r.data(), reinterpret_cast<unsigned char*>(const_cast<char*>(file))), 1);
        ASSERT_TRUE(ApplyButtonMap(r.data()));
        const std::string stored(reinterpret_cast<const char*>(r.data() + 283));
        ProfileRecord work = r, saved;
        int cur = 0;
        DeviceLinkEnv env;
        env.work = &work;
        env.saved = &saved;
        env.curProfile = &cur;
        DeviceLink(env).ComputeRecordChecksum();
        EXPECT_EQ(stored, reinterpret_cast<const char*>(work.data() + 283)) << file;
        EXPECT_EQ(work, r) << file;
    }
}

TEST(ValidateDeviceRecord, ChecksEveryProfileAndButton) {
    ProfileRecord r;
    r.bytes[kProfileNum] = 5;
    r.bytes[kButtonNum] = 7;
    for (unsigned p = 0; p < 5; ++p) r.bytes[ProfileOffset(r.data(), p) + kDPI] = 1;
    EXPECT_EQ(ValidateDeviceRecord(r.data()), 1);

    struct Case {
        std::size_t at;
        unsigned char value;
        int valid;
    };
    const std::size_t header4 = ProfileOffset(r.data(), 4);
    const std::size_t button = ButtonOffset(r.data(), 3, 6);
    const Case cases[] = {
        {header4 + kDPI, 0, 0},           {header4 + kDPI, 4, 0},          {header4 + kDPI, 3, 1},
        {header4 + kSensorPollRate, 3, 0}, {header4 + kProfileIndex, 5, 0}, {button + kFunID, 12, 0},
        {button + kFunID, 0x2B, 1},       {button + kBtnIndex, 7, 0},      {button + kBtnIndex, 0x26, 1},
    };
    for (const Case& c : cases) {
        ProfileRecord t = r;
        t.bytes[c.at] = c.value;
        EXPECT_EQ(ValidateDeviceRecord(t.data()), c.valid) << c.at << " = " << int(c.value);
    }

    // FunExt of the DPI and profile functions: what the dialogs write, and
    // the two firmware values.
    auto withFunction = [&](unsigned char function, unsigned char ext) {
        ProfileRecord t = r;
        t.bytes[button + kFunID] = function;
        t.bytes[button + kFunExt] = ext;
        return ValidateDeviceRecord(t.data());
    };
    for (unsigned char ext : {0, 1, 2, 3, 0x04, 0x08, 0x40, 0x80}) EXPECT_EQ(withFunction(7, ext), 1) << int(ext);
    for (unsigned char ext : {4, 5, 0x0C, 0x10, 0xFF}) EXPECT_EQ(withFunction(7, ext), ext == 4 ? 1 : 0) << int(ext);
    for (unsigned char ext : {0, 1, 2, 3, 4, 0x40, 0x80}) EXPECT_EQ(withFunction(8, ext), 1) << int(ext);
    for (unsigned char ext : {5, 0x08, 0xFF}) EXPECT_EQ(withFunction(8, ext), 0) << int(ext);
    EXPECT_EQ(withFunction(9, 0xFF), 1);  // other functions' parameters are not checked

    r.bytes[kProfileNum] = 0;
    r.bytes[ProfileOffset(r.data(), 0) + kDPI] = 0;
    EXPECT_EQ(ValidateDeviceRecord(r.data()), 1);
}

// ---- start-up ----

TEST_F(DeviceLinkTest, FirstStartAgainstAFactoryMouseAsksNothing) {
    Start();
    ASSERT_NE(context, nullptr);
    EXPECT_TRUE(messages.keys.empty());
    // One segment read, the lock around it, nothing else.
    EXPECT_EQ(Events(), (std::vector<std::string>{"lock-on", "segment-read 0", "sleep 5", "segment-read-data x9 sleep 5",
                                                  "lock-off"}));
    EXPECT_EQ(work, saved);
    EXPECT_EQ(cur, 0);
}

TEST_F(DeviceLinkTest, StartRefusesADeviceThatIsNotFiveBySeven) {
    WriteDeviceFile("__DeviceInfo.xml",
                    "<V><Device><Device ProfileNum=\"0x5\" ButtonNum=\"0x6\" VendorID=\"0x7a3d\" ProductID=\"0x6a\"/>"
                    "<Buttons B0=\"0\" B1=\"1\" B2=\"2\" B3=\"3\" B4=\"4\" B5=\"5\"/></Device></V>");
    Start();
    EXPECT_EQ(context, nullptr);
    EXPECT_EQ(messages.keys, (std::vector<std::string>{"Str_ProfileError"}));
    EXPECT_TRUE(Events().empty());

    ResetMessages();
    context = link->CreateDeviceContext(nullptr);  // no profile library: no device section
    EXPECT_EQ(context, nullptr);
    EXPECT_EQ(messages.keys, (std::vector<std::string>{"Str_ProfileError"}));
}

TEST_F(DeviceLinkTest, StartWithAMouseHoldingInvalidDataRewritesIt) {
    MouseState state = FactoryState();
    state.segments[0][8 * 2 + kDPI] = 0;  // profile 2's DPI step
    state.segments[0][kDummy] = 'f';       // and a different checksum
    Plug(state);
    Start();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(messages.keys, (std::vector<std::string>{"Str_SettingErr", "Str_MouseCopySaved"}));
    // Every segment that is not all zero went out again: all 36 here.
    EXPECT_EQ(CountEvents("segment-write"), 36);
    EXPECT_EQ(mouse->state().segments, FactoryState().segments);
    EXPECT_EQ(work, saved);
    EXPECT_FALSE(mouse->state().writeLocked);
}

TEST_F(DeviceLinkTest, StartWithValidDifferentDataAsksWhichToKeep) {
    MouseState state = FactoryState();
    state.segments[protocol::ButtonSegment(1, 3)][kFunID] = 6;  // a double click instead of DPI up
    state.segments[0][kDummy] = '0';
    for (bool keepMouse : {true, false}) {
        ResetFiles();
        Plug(state);
        messages.answer = keepMouse ? 1 : 2;
        Start();
        ASSERT_NE(context, nullptr);
        EXPECT_EQ(messages.keys, (keepMouse ? std::vector<std::string>{"Str_SettingMismatch"}
                                            : std::vector<std::string>{"Str_SettingMismatch", "Str_MouseCopySaved"}));
        if (keepMouse) {
            // The mouse's settings are changes not yet applied.
            EXPECT_NE(work, saved);
            EXPECT_EQ(work.bytes[ButtonOffset(work.data(), 1, 5) + kFunID], 6);  // file position 3 is slot 5
            EXPECT_EQ(mouse->state().segments, state.segments);
        } else {
            EXPECT_EQ(work, saved);
            EXPECT_EQ(mouse->state().segments, FactoryState().segments);
        }
        Stop();
    }
}

TEST_F(DeviceLinkTest, StartQueriesTheActiveProfileWhenTheMouseDiffered) {
    MouseState state = FactoryState();
    state.segments[0][kDummy] = '0';  // only the checksum differs: reads, finds equal records
    state.activeProfile = 3;
    Plug(state);
    messages.answer = 1;  // keep the mouse's (equal) settings
    Start();
    EXPECT_EQ(cur, 3);
    EXPECT_EQ(CountEvents("segment-read"), 36);
    EXPECT_EQ(Events().back(), "switch 3");

    for (auto fault : {std::string("active 7"), std::string("get"), std::string("set")}) {
        MouseState s = state;
        emulator::Faults faults;
        if (fault == "active 7") s.activeProfile = 7;
        if (fault == "get") faults = FailKind(ReportKind::QueryAnswer);
        if (fault == "set") faults = FailKind(ReportKind::QueryActiveProfile);
        Stop();
        ResetFiles();
        Plug(s, faults);
        messages.answer = 1;
        Start();
        EXPECT_EQ(cur, 0) << fault;
    }
}

// The program takes the read's opening on a thread of its own before the
// working file is loaded; the start that goes on from it must send, ask,
// keep and save exactly what the start that reads for itself does.
TEST_F(DeviceLinkTest, StartFromAnOpeningTakenAheadMatchesTheStartThatReadsItself) {
    struct Outcome {
        std::vector<std::string> events, keys;
        ProfileRecord work, saved;
        bool locked;
        emulator::Segments segments;
        std::string file;
        int cur;
        bool operator==(const Outcome&) const = default;
    };
    MouseState differing = FactoryState();
    differing.segments[0][kDummy] = '0';
    differing.segments[12][kFunID] = 6;
    MouseState invalid = FactoryState();
    invalid.segments[0][8 * 2 + kDPI] = 0;
    invalid.segments[0][kDummy] = 'f';
    emulator::Faults absent;
    absent.unplugAt = 0;
    struct Case {
        const char* what;
        MouseState state;
        emulator::Faults faults;
        int answer;
    };
    const Case cases[] = {
        {"factory mouse", FactoryState(), {}, 2},
        {"different, keep the mouse's", differing, {}, 1},
        {"different, restore", differing, {}, 2},
        {"invalid", invalid, {}, 2},
        {"absent", FactoryState(), absent, 2},
        {"lock refused", FactoryState(), FailKind(ReportKind::WriteLockOn), 2},
        {"segment 0", FactoryState(), FailGet(4), 2},
        {"release", FactoryState(), FailKind(ReportKind::WriteLockOff), 2},
        {"button segment", differing, FailGet(9 + 11 * 9 + 3), 2},
    };
    for (const Case& c : cases) {
        Outcome outcomes[2];
        for (bool ahead : {false, true}) {
            ResetFiles();
            Plug(c.state, c.faults);
            messages.answer = c.answer;
            sleeper.log = &log;
            link = std::make_unique<DeviceLink>(Env());
            if (ahead) {
                const ReadOpening opening = link->OpenRead();
                context = link->CreateDeviceContext(CreateQXClassInstance, &opening);
            } else {
                context = link->CreateDeviceContext(CreateQXClassInstance);
            }
            ASSERT_NE(context, nullptr) << c.what;
            outcomes[ahead] = {Events(), messages.keys,          work,        saved,
                               mouse->state().writeLocked, mouse->state().segments, WorkingFile(), cur};
            Stop();
        }
        EXPECT_TRUE(outcomes[0] == outcomes[1]) << c.what << ": reads itself " << ::testing::PrintToString(outcomes[0].events)
                                               << ", from the opening " << ::testing::PrintToString(outcomes[1].events);
    }
}

TEST_F(DeviceLinkTest, AnOpeningNoStartWentOnFromReleasesTheLock) {
    // The device section is not five by seven: the start stops before its
    // read, and the lock the opening took must not stay on the mouse.
    WriteDeviceFile("__DeviceInfo.xml",
                    "<V><Device><Device ProfileNum=\"0x5\" ButtonNum=\"0x6\" VendorID=\"0x7a3d\" ProductID=\"0x6a\"/>"
                    "<Buttons B0=\"0\" B1=\"1\" B2=\"2\" B3=\"3\" B4=\"4\" B5=\"5\"/></Device></V>");
    sleeper.log = &log;
    link = std::make_unique<DeviceLink>(Env());
    const ReadOpening opening = link->OpenRead();
    EXPECT_TRUE(opening.present && opening.locked && opening.headersRead);
    EXPECT_TRUE(mouse->state().writeLocked);
    context = link->CreateDeviceContext(CreateQXClassInstance, &opening);
    EXPECT_EQ(context, nullptr);
    EXPECT_EQ(messages.keys, (std::vector<std::string>{"Str_ProfileError"}));
    EXPECT_FALSE(mouse->state().writeLocked);
    EXPECT_EQ(Events().back(), "lock-off");

    // An opening that took no lock releases nothing; one whose headers failed
    // still releases its lock.
    Replug(FailKind(ReportKind::WriteLockOn));
    ClearEvents();
    const ReadOpening refused = link->OpenRead();
    EXPECT_TRUE(refused.present && !refused.locked && !refused.headersRead);
    link->AbandonRead(refused);
    EXPECT_EQ(Events(), (std::vector<std::string>{"lock-on failed"}));
    Replug(FailGet(1));
    const ReadOpening broken = link->OpenRead();
    EXPECT_TRUE(broken.locked && !broken.headersRead);
    link->AbandonRead(broken);
    EXPECT_FALSE(mouse->state().writeLocked);
}

// ---- Apply ----

TEST_F(DeviceLinkTest, ApplyWithoutAChangeSendsAndWritesNothing) {
    Start();
    const std::string before = WorkingFile();
    ClearEvents();
    link->WriteToDevice(context);
    EXPECT_TRUE(Events().empty());
    EXPECT_TRUE(messages.keys.empty());
    EXPECT_EQ(WorkingFile(), before);
}

TEST_F(DeviceLinkTest, ASoftwareSectionChangeWritesSegmentZeroAndSaves) {
    Start();
    ClearEvents();
    work.bytes[kXRate] = 9;
    link->WriteToDevice(context);
    EXPECT_EQ(Events(), (std::vector<std::string>{"lock-on", "segment-write 0", "sleep 1",
                                                  "segment-data x9 sleep 1", "sleep 100", "lock-off", "sleep 100",
                                                  "switch 0"}));
    EXPECT_EQ(saved, work);
    EXPECT_TRUE(MouseAgreesWith(work));
    EXPECT_TRUE(FileAgreesWith(work));
}

TEST_F(DeviceLinkTest, OneChangedButtonSendsExactlyItsSegment) {
    Start();
    ClearEvents();
    cur = 2;
    work.bytes[ButtonOffset(work.data(), 2, 4) + kFunID] = 6;  // slot 4 is file position 6: segment 1 + 14 + 6
    link->WriteToDevice(context);
    EXPECT_EQ(Events(), (std::vector<std::string>{"lock-on", "segment-write 0", "sleep 1", "segment-data x9 sleep 1",
                                                  "sleep 100", "segment-write 21", "sleep 1",
                                                  "segment-data x9 sleep 1", "sleep 100", "lock-off", "sleep 100",
                                                  "switch 2"}));
    EXPECT_TRUE(messages.keys.empty());
    EXPECT_TRUE(MouseAgreesWith(work));
    EXPECT_TRUE(FileAgreesWith(work));
    EXPECT_EQ(saved, work);
}

TEST_F(DeviceLinkTest, ApplyWithTheMouseUnpluggedSavesAndThenSendsNothing) {
    Start();
    Unplug();
    ClearEvents();
    work.bytes[ButtonOffset(work.data(), 0, 1) + kFunID] = 3;
    link->WriteToDevice(context);
    EXPECT_EQ(messages.keys, (std::vector<std::string>{"Str_NotFindHardware"}));
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(saved, work);
    EXPECT_TRUE(FileAgreesWith(work));

    const std::string file = WorkingFile();
    ResetMessages();
    link->WriteToDevice(context);
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(WorkingFile(), file);
}

// Each failure of an Apply, at its exact point: the message, what the mouse
// and the lock are left with, and that nothing is saved.
TEST_F(DeviceLinkTest, ApplyFailuresStopWhereTheyHappen) {
    struct Case {
        const char* what;
        emulator::Faults faults;
        const char* key;
        bool lockHeld;
    };
    const Case cases[] = {
        {"lock before segment 0", FailKind(ReportKind::WriteLockOn), "Str_WriteProfileErr", false},
        {"segment 0 header", FailKind(ReportKind::SegmentWrite), "Str_WriteHardwareErr", true},
        {"segment 0 data", FailSet(5), "Str_WriteHardwareErr", true},
        {"button segment data", FailSet(12 + 4), "Str_WriteHardwareErr", true},
        {"release", FailKind(ReportKind::WriteLockOff), "Str_WriteHardwareErr", true},
    };
    for (const Case& c : cases) {
        ResetFiles();
        Plug(FactoryState());
        Start();
        const ProfileRecord before = saved;
        const std::string file = WorkingFile();
        const MouseState mouseBefore = mouse->state();
        Replug(c.faults);
        work.bytes[ButtonOffset(work.data(), 4, 0) + kFunExt] = 1;
        link->WriteToDevice(context);
        EXPECT_EQ(messages.keys, (std::vector<std::string>{c.key})) << c.what;
        EXPECT_EQ(saved, before) << c.what;
        EXPECT_EQ(WorkingFile(), file) << c.what;
        EXPECT_EQ(mouse->state().writeLocked, c.lockHeld) << c.what;
        EXPECT_EQ(CountEvents("switch"), 0) << c.what;
        if (std::string(c.what) == "lock before segment 0") {
            EXPECT_EQ(mouse->state(), mouseBefore);
        }

        // The next Apply on a healthy mouse sends the same segments and agrees.
        Replug({});
        ResetMessages();
        link->WriteToDevice(context);
        EXPECT_TRUE(messages.keys.empty()) << c.what;
        EXPECT_TRUE(MouseAgreesWith(work)) << c.what;
        EXPECT_TRUE(FileAgreesWith(work)) << c.what;
        EXPECT_FALSE(mouse->state().writeLocked) << c.what;
        Stop();
    }
}

// Only a checksum collision leaves the headers alone while a button changes:
// then the lock is taken in the button loop, and its failure is a write error.
TEST_F(DeviceLinkTest, LockTakenForAButtonWhenTheHeadersAreUnchanged) {
    Start();
    work.bytes[ButtonOffset(work.data(), 0, 2) + kFunID] = 4;
    ProfileRecord probe = work;
    DeviceLinkEnv env = Env();
    env.work = &probe;
    DeviceLink(env).ComputeRecordChecksum();
    std::memcpy(saved.data() + 283, probe.data() + 283, 5);  // the saved side claims the new checksum
    Replug(FailKind(ReportKind::WriteLockOn));
    ClearEvents();
    link->WriteToDevice(context);
    EXPECT_EQ(messages.keys, (std::vector<std::string>{"Str_WriteHardwareErr"}));
    EXPECT_EQ(Events(), (std::vector<std::string>{"lock-on failed"}));
}

TEST_F(DeviceLinkTest, SwitchAndPresenceFailuresAfterTheWriteStillSave) {
    Start();
    Replug(FailKind(ReportKind::SwitchProfile));
    work.bytes[ButtonOffset(work.data(), 1, 1) + kFunID] = 5;
    link->WriteToDevice(context);
    EXPECT_EQ(messages.keys, (std::vector<std::string>{"Str_SwitchErr"}));
    EXPECT_EQ(saved, work);
    EXPECT_TRUE(FileAgreesWith(work));
    EXPECT_TRUE(MouseAgreesWith(work));

    Replug({});
    ResetMessages();
    UnplugAtSleep(100, 3);  // gone during the wait before the switch
    work.bytes[ButtonOffset(work.data(), 1, 1) + kFunID] = 4;
    link->WriteToDevice(context);
    EXPECT_EQ(messages.keys, (std::vector<std::string>{"Str_NotFindHardware"}));
    EXPECT_EQ(saved, work);
    EXPECT_TRUE(FileAgreesWith(work));
}

TEST_F(DeviceLinkTest, AFailedSaveKeepsTheSavedRecord) {
    Start();
    std::filesystem::remove(device / "__default.xml");  // the template of every save
    const ProfileRecord before = saved;
    work.bytes[ButtonOffset(work.data(), 3, 3) + kFunID] = 2;
    link->WriteToDevice(context);
    EXPECT_EQ(messages.keys, (std::vector<std::string>{"Str_SaveTmpProfileErr"}));
    EXPECT_EQ(saved, before);
    EXPECT_TRUE(MouseAgreesWith(work));  // the mouse was written
}

// ---- start-up failures ----

TEST_F(DeviceLinkTest, StartFailuresKeepTheWorkingFile) {
    struct Case {
        const char* what;
        emulator::Faults faults;
        bool differentMouse;
        const char* key;
        bool lockHeld;
    };
    emulator::Faults absent;
    absent.unplugAt = 0;
    const Case cases[] = {
        {"mouse absent", absent, false, "Str_NotFindHardware", false},
        {"lock", FailKind(ReportKind::WriteLockOn), false, "Str_WriteProfileLockErr", false},
        {"segment 0", FailGet(4), false, "Str_ReadData1Err", false},
        {"release after equal checksums", FailKind(ReportKind::WriteLockOff), false, "Str_WriteProfileLock0Err", true},
        {"button segment 12", FailGet(9 + 11 * 9 + 3), true, "Str_ReadData2Err", true},
        {"release after reading", FailKind(ReportKind::WriteLockOff), true, "Str_WriteProfileLock0Err", true},
    };
    for (const Case& c : cases) {
        ResetFiles();
        MouseState state = FactoryState();
        if (c.differentMouse) {
            state.segments[0][kDummy] = '0';
            state.segments[12][kFunID] = 6;
        }
        Plug(state, c.faults);
        Start();
        ASSERT_NE(context, nullptr) << c.what;
        EXPECT_EQ(messages.keys, (std::vector<std::string>{c.key})) << c.what;
        EXPECT_EQ(work, saved) << c.what;
        EXPECT_TRUE(FileAgreesWith(work)) << c.what;
        EXPECT_EQ(mouse->state().writeLocked, c.lockHeld) << c.what;
        Stop();
    }
}

TEST_F(DeviceLinkTest, ProfileFileExistsIgnoresTheReservedFiles) {
    Start();
    WriteDeviceFile("Mine.xml", "<x/>");
    EXPECT_EQ(ProfileFileExists(context, work.data(), "Mine.xml"), 1);
    EXPECT_EQ(ProfileFileExists(context, work.data(), "mine.xml"), 0);
    EXPECT_EQ(ProfileFileExists(context, work.data(), "__default.xml"), 0);
    EXPECT_EQ(ProfileFileExists(context, work.data(), "__working.xml"), 0);
    EXPECT_EQ(ProfileFileExists(context, work.data(), "Other.xml"), 0);
    EXPECT_EQ(ProfileFileExists(nullptr, work.data(), "Mine.xml"), 0);
}

TEST_F(DeviceLinkTest, DeviceInfoQuery) {
    MouseState state = FactoryState();
    state.hardwareVersion = 3;
    state.firmwareVersion = 214;
    Plug(state);
    Start();
    int hardware = -1, firmware = -1;
    EXPECT_EQ(link->QueryDeviceInfo(hardware, firmware), 1);
    EXPECT_EQ(hardware, 3);
    EXPECT_EQ(firmware, 214);

    Replug(FailKind(ReportKind::QueryAnswer));
    EXPECT_EQ(link->QueryDeviceInfo(hardware, firmware), 0);
    EXPECT_EQ(hardware, 0);
    EXPECT_EQ(messages.keys, (std::vector<std::string>{"Str_InfoErr"}));

    Unplug();
    ResetMessages();
    EXPECT_EQ(link->QueryDeviceInfo(hardware, firmware), 0);
    EXPECT_TRUE(messages.keys.empty());
}

}  // namespace
