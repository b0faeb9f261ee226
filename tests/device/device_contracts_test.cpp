// The device link's answers that only a message or an output number shows:
// the profile switch's two failures, the device-information query's outputs,
// the active-profile query, and entry points the HID library lacks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/device_link.h"
#include "tests/device/device_fixture.h"

using device_test::DeviceFixture;
using device_test::FailKind;
using emulator::ReportKind;

namespace {

using Keys = std::vector<std::string>;

class DeviceContracts : public DeviceFixture {
protected:
    // A link whose HID library lacks the named entry points.
    DeviceLink LinkWithout(bool exist, bool set, bool get) {
        DeviceLinkEnv env = Env();
        if (!exist) env.hid.isDeviceExist = nullptr;
        if (!set) env.hid.setReport = nullptr;
        if (!get) env.hid.getReport = nullptr;
        return DeviceLink(env);
    }
    std::size_t Reports() const { return mouse->trace().size(); }
};

TEST_F(DeviceContracts, SwitchProfileSaysWhetherTheMouseIsAwayOrRefused) {
    Start();
    ResetMessages();
    cur = 3;
    EXPECT_EQ(link->SwitchProfile(), 1);
    EXPECT_TRUE(messages.keys.empty());
    EXPECT_EQ(mouse->state().activeProfile, 3);

    Replug(FailKind(ReportKind::SwitchProfile));
    cur = 1;
    EXPECT_EQ(link->SwitchProfile(), 0);
    EXPECT_EQ(messages.keys, Keys{"Str_SwitchErr"});
    EXPECT_EQ(mouse->state().activeProfile, 3);

    Replug({});
    Unplug();
    ResetMessages();
    EXPECT_EQ(link->SwitchProfile(), 0);
    EXPECT_EQ(messages.keys, Keys{"Str_NotFindHardware"});
    EXPECT_EQ(mouse->state().activeProfile, 3);
}

TEST_F(DeviceContracts, AFailedDeviceInfoQueryLeavesBothVersionsZero) {
    emulator::MouseState state = FactoryState();
    state.hardwareVersion = 9;
    state.firmwareVersion = 201;
    Plug(state);
    Start();
    for (ReportKind failing : {ReportKind::QueryDeviceInfo, ReportKind::QueryAnswer}) {
        SCOPED_TRACE(emulator::KindName(failing));
        Replug(FailKind(failing));
        ResetMessages();
        int hardware = 77, firmware = 77;
        EXPECT_EQ(link->QueryDeviceInfo(hardware, firmware), 0);
        EXPECT_EQ(hardware, 0);
        EXPECT_EQ(firmware, 0);
        EXPECT_EQ(messages.keys, Keys{"Str_InfoErr"});
    }
    Replug({});
    Unplug();
    ResetMessages();
    int hardware = 77, firmware = 77;
    EXPECT_EQ(link->QueryDeviceInfo(hardware, firmware), 0);
    EXPECT_EQ(hardware, 0);
    EXPECT_EQ(firmware, 0);
    EXPECT_TRUE(messages.keys.empty());
}

TEST_F(DeviceContracts, QueriesAskWithTheirOwnBytesAndReadTheAnswer) {
    emulator::MouseState state = FactoryState();
    state.activeProfile = 3;
    state.hardwareVersion = 4;
    state.firmwareVersion = 17;
    Plug(state);
    Start();
    EXPECT_EQ(link->QueryActiveProfile(), 3);
    int hardware = 0, firmware = 0;
    EXPECT_EQ(link->QueryDeviceInfo(hardware, firmware), 1);
    EXPECT_EQ(hardware, 4);
    EXPECT_EQ(firmware, 17);
}

TEST_F(DeviceContracts, AMissingEntryPointIsAFailedCall) {
    emulator::MouseState state = FactoryState();
    state.activeProfile = 3;
    Plug(state);
    Start();
    const std::size_t before = Reports();
    int hardware = 77, firmware = 77;

    // No presence test: the mouse counts as away.
    ResetMessages();
    DeviceLink noExist = LinkWithout(false, true, true);
    EXPECT_EQ(noExist.SwitchProfile(), 0);
    EXPECT_EQ(messages.keys, Keys{"Str_NotFindHardware"});
    ResetMessages();
    EXPECT_EQ(noExist.QueryDeviceInfo(hardware, firmware), 0);
    EXPECT_TRUE(messages.keys.empty());

    // No set: the switch and the queries fail without reaching the mouse.
    ResetMessages();
    DeviceLink noSet = LinkWithout(true, false, true);
    EXPECT_EQ(noSet.SwitchProfile(), 0);
    EXPECT_EQ(messages.keys, Keys{"Str_SwitchErr"});
    ResetMessages();
    EXPECT_EQ(noSet.QueryDeviceInfo(hardware, firmware), 0);
    EXPECT_EQ(messages.keys, Keys{"Str_InfoErr"});
    EXPECT_EQ(noSet.QueryActiveProfile(), 0);

    // No get: the query is not even asked.
    ResetMessages();
    DeviceLink noGet = LinkWithout(true, true, false);
    EXPECT_EQ(noGet.QueryActiveProfile(), 0);
    EXPECT_EQ(Reports(), before);
    EXPECT_EQ(noGet.QueryDeviceInfo(hardware, firmware), 0);
    EXPECT_EQ(messages.keys, Keys{"Str_InfoErr"});
    EXPECT_EQ(hardware, 0);
    EXPECT_EQ(firmware, 0);
}

}  // namespace
