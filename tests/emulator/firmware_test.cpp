// The report protocol and the emulated firmware, byte for byte.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "device/protocol.h"
#include "emulator/emulator.h"
#include "emulator/hex.h"
#include "tests/emulator/mouse_host.h"

using emulator::Emulator;
using emulator::MouseState;
using mouse_host::Pattern;
using mouse_host::ReadSegment;
using mouse_host::WriteSegment;
using protocol::Report;
using protocol::SegmentBlock;

namespace {

constexpr Report kLockOn = {0x05, 0x08, 0x01, 0x4B, 0x6F, 0x72, 0x65, 0x6C};
constexpr Report kLockOff = {0x05, 0x08, 0x00, 0x4B, 0x6F, 0x72, 0x65, 0x6C};
constexpr Report kAnswerGet = {0x05, 0x09, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

TEST(ProtocolReports, BuildersGiveTheExactBytes) {
    EXPECT_EQ(protocol::WriteLockOnReport, kLockOn);
    EXPECT_EQ(protocol::WriteLockOffReport, kLockOff);
    EXPECT_EQ(protocol::SegmentWriteHeader(12, 0x1234), (Report{0x05, 0x07, 0x0C, 0x09, 0x00, 0x00, 0x34, 0x12}));
    EXPECT_EQ(protocol::SegmentReadRequest(35), (Report{0x05, 0x07, 0x23, 0xFF, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(protocol::SegmentReadDataGet, (Report{0x05, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(protocol::SwitchProfileReport(4), (Report{0x05, 0x09, 0x04, 0, 0, 0, 0, 0}));
    EXPECT_EQ(protocol::QueryActiveProfileReport, (Report{0x05, 0x09, 0xFF, 0, 0, 0, 0, 0}));
    EXPECT_EQ(protocol::QueryDeviceInfoReport, (Report{0x05, 0x09, 0xFE, 0, 0, 0, 0, 0}));
    EXPECT_EQ(protocol::QueryAnswerGet, kAnswerGet);
    const SegmentBlock block = Pattern(0);  // byte i = 3i + 1
    EXPECT_EQ(protocol::SegmentDataReport(block, 0), (Report{0x05, 1, 4, 7, 10, 13, 16, 19}));
    EXPECT_EQ(protocol::SegmentDataReport(block, 8), (Report{0x05, 169, 172, 175, 178, 181, 184, 187}));
    EXPECT_EQ(protocol::ButtonSegment(1, 0), 8u);
    EXPECT_EQ(protocol::ButtonSegment(4, 6), 35u);
}

TEST(ProtocolChecksums, SegmentChecksumCoversBytes8To63) {
    SegmentBlock headerOnly{};
    for (std::size_t i = 0; i < 8; ++i) headerOnly[i] = 0xAB;
    EXPECT_EQ(protocol::SegmentChecksum(headerOnly), 0);
    SegmentBlock button{};
    for (std::size_t i = 0; i < 35; ++i) button[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(protocol::SegmentChecksum(button), 567);  // 8 + 9 + ... + 34
    SegmentBlock full;
    full.fill(0xFF);
    EXPECT_EQ(protocol::SegmentChecksum(full), 56 * 255);
}

TEST(ProtocolChecksums, RecordChecksumWeighsOneToNineAndSkipsItsOwnBytes) {
    std::array<std::uint8_t, protocol::kRecordSize> record{};
    EXPECT_EQ(protocol::FormatRecordChecksum(protocol::RecordChecksumOf(record)),
              (protocol::RecordChecksumText{'0', '0', '0', '0', '\0'}));
    record[8] = 2;  // weight 9
    record[9] = 1;  // weight 1 again
    record[283] = record[287] = 0x7F;  // the checksum's own bytes do not count
    EXPECT_EQ(protocol::RecordChecksumOf(record), 19);
    record.fill(0xFF);
    // 255 x (230 x 45 - (5 + 6 + 7 + 8 + 9)) = 2630325, 0x22B5 after wrapping.
    EXPECT_EQ(protocol::FormatRecordChecksum(protocol::RecordChecksumOf(record)),
              (protocol::RecordChecksumText{'2', '2', 'b', '5', '\0'}));
}

class Firmware : public ::testing::Test {
protected:
    Report Get(Report sent, bool expectOk = true) {
        EXPECT_EQ(mouse.GetReport(sent), expectOk);
        return sent;
    }
    Emulator mouse;
};

TEST_F(Firmware, WrittenSegmentReadsBackIdentically) {
    ASSERT_TRUE(mouse.SetReport(kLockOn));
    SegmentBlock block = Pattern(5);
    const std::uint16_t sum = protocol::SegmentChecksum(block);
    block[63] = 0x77;  // never travels
    // 05 07 0C 09 00 00 cL cH, then nine data reports.
    ASSERT_TRUE(mouse.SetReport({0x05, 0x07, 0x0C, 0x09, 0x00, 0x00, static_cast<std::uint8_t>(sum),
                                 static_cast<std::uint8_t>(sum >> 8)}));
    for (std::size_t n = 0; n < 9; ++n) EXPECT_TRUE(mouse.SetReport(protocol::SegmentDataReport(block, n))) << n;
    ASSERT_TRUE(mouse.SetReport(kLockOff));

    block[63] = 0;
    EXPECT_EQ(mouse.state().segments[12], block);
    ASSERT_TRUE(mouse.SetReport({0x05, 0x07, 0x0C, 0xFF, 0, 0, 0, 0}));
    EXPECT_EQ(Get(protocol::SegmentReadDataGet), (Report{0x05, 6, 9, 12, 15, 18, 21, 24}));
    SegmentBlock back{};
    protocol::StoreSegmentData(back, 0, Report{0x05, 6, 9, 12, 15, 18, 21, 24});
    for (std::size_t n = 1; n < 9; ++n) protocol::StoreSegmentData(back, n, Get(protocol::SegmentReadDataGet));
    EXPECT_EQ(back, block);
    // The read is over after nine gets.
    Get(protocol::SegmentReadDataGet, false);
}

TEST_F(Firmware, ByteSixtyThreeNeverTravelsAndReadsBackZero) {
    mouse.state().segments[0].fill(0xEE);  // held data with byte 63 set
    const auto back = ReadSegment(mouse, 0);
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)[62], 0xEE);
    EXPECT_EQ((*back)[63], 0);
}

TEST_F(Firmware, ABadChecksumIsRefusedAtTheNinthDataReport) {
    ASSERT_TRUE(mouse.SetReport(kLockOn));
    const SegmentBlock before = mouse.state().segments[3];
    const SegmentBlock block = Pattern(9);
    const auto results = WriteSegment(mouse, 3, block, protocol::SegmentChecksum(block) + 1);
    EXPECT_EQ(results, (std::vector<bool>{true, true, true, true, true, true, true, true, true, false}));
    EXPECT_EQ(mouse.state().segments[3], before);
    // The next report is a command again.
    EXPECT_TRUE(mouse.SetReport(kLockOff));
    EXPECT_FALSE(mouse.state().writeLocked);
}

TEST_F(Firmware, AWriteWithoutTheLockIsRefusedAtTheNinthDataReport) {
    const SegmentBlock block = Pattern(1);
    EXPECT_EQ(WriteSegment(mouse, 1, block, protocol::SegmentChecksum(block)),
              (std::vector<bool>{true, true, true, true, true, true, true, true, true, false}));
    ASSERT_TRUE(mouse.SetReport(kLockOn));
    ASSERT_TRUE(mouse.SetReport(kLockOff));
    EXPECT_FALSE(WriteSegment(mouse, 1, block));
    EXPECT_EQ(mouse.state().segments[1], SegmentBlock{});
}

TEST_F(Firmware, ALockReportWithAWrongSignatureIsRefusedAndChangesNothing) {
    Report wrong = kLockOn;
    wrong[7] ^= 0x01;
    EXPECT_FALSE(mouse.SetReport(wrong));
    EXPECT_FALSE(mouse.state().writeLocked);
    EXPECT_FALSE(WriteSegment(mouse, 2, Pattern(2)));

    ASSERT_TRUE(mouse.SetReport(kLockOn));
    Report wrongOff = kLockOff;
    wrongOff[3] = 0;
    EXPECT_FALSE(mouse.SetReport(wrongOff));
    EXPECT_TRUE(mouse.state().writeLocked);
    EXPECT_FALSE(mouse.SetReport({0x05, 0x08, 0x02, 0x4B, 0x6F, 0x72, 0x65, 0x6C}));
    EXPECT_TRUE(WriteSegment(mouse, 2, Pattern(2)));
}

TEST_F(Firmware, TheLockCanBeTakenAgainAndReleasedWhenFree) {
    EXPECT_TRUE(mouse.SetReport(kLockOff));
    EXPECT_TRUE(mouse.SetReport(kLockOn));
    EXPECT_TRUE(mouse.SetReport(kLockOn));
    EXPECT_TRUE(WriteSegment(mouse, 35, Pattern(4)));
    EXPECT_TRUE(mouse.SetReport(kLockOff));
    EXPECT_FALSE(mouse.state().writeLocked);
}

TEST_F(Firmware, DuringAWriteEveryReportIsData) {
    ASSERT_TRUE(mouse.SetReport(kLockOn));
    SegmentBlock block{};
    block[0] = 0x09;  // the first data report reads 05 09 03 00 ..., like a profile switch
    block[1] = 0x03;
    block[8] = 0x01;
    ASSERT_TRUE(WriteSegment(mouse, 4, block));
    EXPECT_EQ(mouse.state().activeProfile, 0);
    EXPECT_EQ(mouse.state().segments[4], block);
}

TEST_F(Firmware, SwitchAndQueriesAnswerInByteTwoAndThree) {
    mouse.state().hardwareVersion = 0x21;
    mouse.state().firmwareVersion = 0xC4;
    ASSERT_TRUE(mouse.SetReport({0x05, 0x09, 0x03, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(mouse.SetReport({0x05, 0x09, 0xFF, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Get(kAnswerGet), (Report{0x05, 0x09, 0x03, 0, 0, 0, 0, 0}));
    Get(kAnswerGet, false);  // answered once
    ASSERT_TRUE(mouse.SetReport({0x05, 0x09, 0xFE, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Get(kAnswerGet), (Report{0x05, 0x09, 0x21, 0xC4, 0, 0, 0, 0}));
    // Profiles are 0..4, but held data may say otherwise and is answered as held.
    EXPECT_FALSE(mouse.SetReport({0x05, 0x09, 0x05, 0, 0, 0, 0, 0}));
    EXPECT_EQ(mouse.state().activeProfile, 3);
    mouse.state().activeProfile = 7;
    ASSERT_TRUE(mouse.SetReport(protocol::QueryActiveProfileReport));
    EXPECT_EQ(protocol::ActiveProfileOf(Get(kAnswerGet)), 7);
}

TEST_F(Firmware, RefusesWhatIsNoReportOfTheProtocol) {
    const Report refused[] = {
        {0x04, 0x09, 0x01, 0, 0, 0, 0, 0},     // report id 4
        {0x05, 0x0A, 0x00, 0, 0, 0, 0, 0},     // unknown command
        {0x05, 0x09, 0x01, 0, 0, 0, 0, 0x01},  // stray byte after a switch
        {0x05, 0x07, 0x24, 0x09, 0, 0, 0, 0},  // segment 36
        {0x05, 0x07, 0x01, 0x08, 0, 0, 0, 0},  // eight data reports
        {0x05, 0x07, 0x01, 0xFF, 0, 0, 1, 0},  // stray byte after a read request
        {0x05, 0x09, 0xFD, 0, 0, 0, 0, 0},     // no such query
    };
    for (const Report& r : refused) EXPECT_FALSE(mouse.SetReport(r)) << emulator::ToHex(r);
    Get(kAnswerGet, false);  // nothing to answer
    ASSERT_TRUE(mouse.SetReport(protocol::QueryActiveProfileReport));
    Get({0x04, 0x09, 0, 0, 0, 0, 0, 0}, false);  // report id 4
    EXPECT_EQ(mouse.state(), MouseState{});
}

TEST_F(Firmware, AnswersOnlyAGetCarryingTheRequestBytesOfWhatItCollects) {
    mouse.state().segments[2] = Pattern(2);
    mouse.state().hardwareVersion = 0x11;
    // Read data asked for with the query answer's bytes, or with a stray byte.
    for (const Report& wrong : {kAnswerGet, Report{0x05, 0, 0, 0, 0, 0, 0, 0x01}}) {
        ASSERT_TRUE(mouse.SetReport({0x05, 0x07, 0x02, 0xFF, 0, 0, 0, 0}));
        Get(wrong, false);
        Get({0x05, 0, 0, 0, 0, 0, 0, 0}, false);  // the read ended with the refusal
    }
    ASSERT_TRUE(mouse.SetReport({0x05, 0x07, 0x02, 0xFF, 0, 0, 0, 0}));
    EXPECT_EQ(Get({0x05, 0, 0, 0, 0, 0, 0, 0}), (Report{0x05, 3, 6, 9, 12, 15, 18, 21}));

    // A query's answer asked for with read-data bytes, or with a stray byte.
    for (const Report& wrong : {Report{0x05, 0, 0, 0, 0, 0, 0, 0}, Report{0x05, 0x09, 0xFE, 0, 0, 0, 0, 0}}) {
        ASSERT_TRUE(mouse.SetReport({0x05, 0x09, 0xFE, 0, 0, 0, 0, 0}));
        Get(wrong, false);
        Get(kAnswerGet, false);  // the answer was dropped
    }
    ASSERT_TRUE(mouse.SetReport({0x05, 0x09, 0xFE, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Get(kAnswerGet), (Report{0x05, 0x09, 0x11, 0x01, 0, 0, 0, 0}));
}

TEST_F(Firmware, AGetInTheMiddleOfAWriteEndsTheWrite) {
    ASSERT_TRUE(mouse.SetReport(kLockOn));
    const SegmentBlock block = Pattern(3);
    ASSERT_TRUE(mouse.SetReport(protocol::SegmentWriteHeader(5, protocol::SegmentChecksum(block))));
    ASSERT_TRUE(mouse.SetReport(protocol::SegmentDataReport(block, 0)));
    Get(protocol::SegmentReadDataGet, false);
    // The following reports are commands again.
    EXPECT_TRUE(mouse.SetReport(protocol::SwitchProfileReport(2)));
    EXPECT_EQ(mouse.state().activeProfile, 2);
    EXPECT_EQ(mouse.state().segments[5], SegmentBlock{});
}

}  // namespace
