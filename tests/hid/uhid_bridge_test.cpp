// The device behind /dev/uhid without the kernel: its report descriptor,
// its commands, and what reaches the firmware of a set or a get request.
#include <gtest/gtest.h>

#include <fstream>

#include "emulator/state_file.h"
#include "tests/test_support.h"
#include "uhid_mouse/bridge.h"

namespace {

using uhid_mouse::Bridge;
using uhid_mouse::Command;
using uhid_mouse::ParseCommand;

// Feature report bits per report id, summed over the descriptor's main
// items, as the host's parser counts them.
TEST(UhidDescriptor, GivesOneVendorFeatureReportOfEightBytesWithId5) {
    const auto d = uhid_mouse::ReportDescriptor();
    unsigned usagePage = 0, reportId = 0, size = 0, count = 0, featureBits = 0, inputOrOutput = 0, depth = 0;
    for (std::size_t i = 0; i < d.size();) {
        const unsigned prefix = d[i];
        const unsigned n = (prefix & 3) == 3 ? 4 : prefix & 3;
        ASSERT_LE(i + 1 + n, d.size());
        unsigned value = 0;
        for (unsigned b = 0; b < n; ++b) value |= static_cast<unsigned>(d[i + 1 + b]) << (8 * b);
        switch (prefix & 0xFC) {
            case 0x04: usagePage = value; break;
            case 0x84: reportId = value; break;
            case 0x74: size = value; break;
            case 0x94: count = value; break;
            case 0xB0: EXPECT_EQ(reportId, 5u); featureBits += size * count; break;
            case 0x80: case 0x90: ++inputOrOutput; break;
            case 0xA0: ++depth; break;
            case 0xC0: --depth; break;
        }
        i += 1 + n;
    }
    EXPECT_EQ(usagePage, 0xFF00u);
    EXPECT_EQ(featureBits / 8 + 1, protocol::kReportSize);
    EXPECT_EQ(inputOrOutput, 0u);
    EXPECT_EQ(depth, 0u);
}

TEST(UhidCommands, ParseTheirWordsAndRefuseTheRest) {
    EXPECT_EQ(ParseCommand("unplug")->kind, Command::Kind::Unplug);
    EXPECT_EQ(ParseCommand(" replug ")->kind, Command::Kind::Replug);
    EXPECT_EQ(ParseCommand("reload")->kind, Command::Kind::Reload);
    const auto at = ParseCommand("unplug-at 12");
    ASSERT_TRUE(at);
    EXPECT_EQ(at->kind, Command::Kind::UnplugAt);
    EXPECT_EQ(at->at, 12u);
    const auto mute = ParseCommand("mute get");
    ASSERT_TRUE(mute);
    EXPECT_TRUE(mute->muteGets);
    EXPECT_FALSE(mute->muteSets);
    EXPECT_TRUE(ParseCommand("mute all")->muteSets);
    for (const char* bad : {"", "mute", "mute both", "unplug-at", "unplug-at 0", "unplug-at 3x", "unplug now", "stop"})
        EXPECT_FALSE(ParseCommand(bad)) << bad;
}

class UhidBridge : public ::testing::Test {
protected:
    UhidBridge() {
        emulator::MouseState state;
        state.writeLocked = true;
        state.hardwareVersion = 2;
        state.firmwareVersion = 9;
        std::string error;
        EXPECT_TRUE(emulator::SaveStateFile(settings.statePath, state, error)) << error;
    }
    std::vector<std::string> Trace() {
        std::vector<std::string> lines;
        std::ifstream in(settings.tracePath);
        for (std::string line; std::getline(in, line);) lines.push_back(line.substr(line.find(' ') + 1));
        return lines;
    }

    test_support::TempDir dir;
    emulator::EmulatorSettings settings{dir.file("m.state"), dir.file("m.trace"), {}};
};

TEST_F(UhidBridge, PowerUpDropsTheLockAndASetCarriesTheWholeReport) {
    Bridge bridge(settings);
    std::string error;
    ASSERT_TRUE(bridge.PowerUp(std::nullopt, error)) << error;
    emulator::MouseState state;
    ASSERT_TRUE(emulator::LoadStateFile(settings.statePath, state, error));
    EXPECT_FALSE(state.writeLocked);

    // As the kernel hands it over: report id first.
    const std::uint8_t query[] = {0x05, 0x09, 0xFE, 0, 0, 0, 0, 0};
    EXPECT_TRUE(bridge.SetFeature(5, query)->ok);
    // A get carries its report id and nothing else: the firmware is asked
    // for what it has pending.
    const auto answer = bridge.GetFeature(5, 64);
    ASSERT_TRUE(answer && answer->ok);
    EXPECT_EQ(answer->data, (std::vector<std::uint8_t>{0x05, 0x09, 2, 9, 0, 0, 0, 0}));
    // Nothing pending: refused, but answered.
    EXPECT_FALSE(bridge.GetFeature(5, 64)->ok);
    // A report of the wrong length never reaches the firmware.
    const std::uint8_t shortReport[] = {0x05, 0x09, 0xFE};
    EXPECT_FALSE(bridge.SetFeature(5, shortReport)->ok);
    EXPECT_EQ(Trace(), (std::vector<std::string>{"set query-info 0509fe0000000000 ok",
                                                 "get query-answer 0509000000000000 ok 0509020900000000",
                                                 "get unknown 0500000000000000 refused"}));
}

TEST_F(UhidBridge, MutedRequestsGetNoReplyAndUnplugAtEndsPresence) {
    Bridge bridge(settings);
    std::string error;
    ASSERT_TRUE(bridge.PowerUp(2, error)) << error;
    const std::uint8_t query[] = {0x05, 0x09, 0xFF, 0, 0, 0, 0, 0};
    bridge.Mute(true, false);
    EXPECT_TRUE(bridge.SetFeature(5, query)->ok);
    EXPECT_FALSE(bridge.GetFeature(5, 8));
    bridge.Mute(false, true);
    EXPECT_FALSE(bridge.SetFeature(5, query));
    bridge.Mute(false, false);
    EXPECT_TRUE(bridge.present());
    // The second report since power-up is the unplug point.
    EXPECT_FALSE(bridge.SetFeature(5, query)->ok);
    EXPECT_FALSE(bridge.present());
    bridge.PowerDown();
    EXPECT_FALSE(bridge.powered());
    EXPECT_FALSE(bridge.SetFeature(5, query)->ok);
}

}  // namespace
