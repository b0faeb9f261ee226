// Profile memory built from a profile record.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "device/protocol.h"
#include "emulator/factory.h"

using emulator::Segments;
using protocol::kRecordSize;

namespace {

constexpr std::size_t kBlock = 253;  // 8 + 35 x 7

std::size_t ButtonAt(std::size_t p, std::size_t b) { return 280 + p * kBlock + 8 + 35 * b; }

// 5 profiles of 7 buttons with the identity button map; every header and
// button block filled with its own values.
std::vector<std::uint8_t> Record() {
    std::vector<std::uint8_t> r(kRecordSize);
    r[146] = 5;
    r[147] = 7;
    for (std::uint32_t k = 0; k < 7; ++k) r[148 + 4 * k] = static_cast<std::uint8_t>(k);
    for (std::size_t p = 0; p < 5; ++p) {
        std::uint8_t* header = &r[280 + p * kBlock];
        header[0] = static_cast<std::uint8_t>(p);
        header[1] = 2;
        header[2] = 1;
        std::memcpy(header + 3, "beef", 5);  // an old checksum text
        for (std::size_t b = 0; b < 7; ++b)
            for (std::size_t i = 0; i < 35; ++i) r[ButtonAt(p, b) + i] = static_cast<std::uint8_t>(p * 50 + b * 7 + i);
    }
    return r;
}

std::string ChecksumIn(const Segments& s) { return std::string(reinterpret_cast<const char*>(&s[0][3]), 4); }

TEST(Factory, PlacesHeadersAndButtonsInTheirSegments) {
    const auto record = Record();
    Segments s;
    std::string error;
    ASSERT_TRUE(emulator::SegmentsFromRecord(record, s, error)) << error;
    for (std::size_t p = 0; p < 5; ++p) {
        EXPECT_EQ(s[0][8 * p], p);
        EXPECT_EQ(s[0][8 * p + 1], 2);
        EXPECT_EQ(s[0][8 * p + 2], 1);
        for (std::size_t b = 0; b < 7; ++b) {
            const auto& seg = s[1 + p * 7 + b];
            EXPECT_EQ(0, std::memcmp(seg.data(), &record[ButtonAt(p, b)], 35)) << p << ' ' << b;
            for (std::size_t i = 35; i < 64; ++i) EXPECT_EQ(seg[i], 0);
        }
    }
    for (std::size_t i = 40; i < 64; ++i) EXPECT_EQ(s[0][i], 0);
    // Profiles 1..4 keep their own header bytes; profile 0 gets the checksum.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&s[0][8 + 3]), 4), "beef");
    EXPECT_EQ(s[0][7], 0);
}

TEST(Factory, ChecksumOfAnEmptyRecordByHand) {
    std::vector<std::uint8_t> r(kRecordSize);
    r[146] = 5;  // weight 3
    r[147] = 7;  // weight 4
    for (std::uint32_t k = 0; k < 7; ++k) r[148 + 4 * k] = static_cast<std::uint8_t>(k);
    // 15 + 28 + map bytes 1x9 + 2x4 + 3x8 + 4x3 + 5x7 + 6x2 = 143
    Segments s;
    std::string error;
    ASSERT_TRUE(emulator::SegmentsFromRecord(r, s, error)) << error;
    EXPECT_EQ(ChecksumIn(s), "008f");
    EXPECT_EQ(s[0][7], 0);
}

TEST(Factory, ChecksumIsTakenOverTheRecordInSlotOrder) {
    // File positions 0 and 1 swap slots: in slot order their blocks trade places.
    auto record = Record();
    record[148] = 1;
    record[152] = 0;
    auto slotOrder = record;
    for (std::size_t p = 0; p < 5; ++p) {
        std::memcpy(&slotOrder[ButtonAt(p, 0)], &record[ButtonAt(p, 1)], 35);
        std::memcpy(&slotOrder[ButtonAt(p, 1)], &record[ButtonAt(p, 0)], 35);
    }
    const auto expected = protocol::FormatRecordChecksum(
        protocol::RecordChecksumOf(std::span<const std::uint8_t, kRecordSize>(slotOrder.data(), kRecordSize)));
    const auto fileOrder = protocol::FormatRecordChecksum(
        protocol::RecordChecksumOf(std::span<const std::uint8_t, kRecordSize>(record.data(), kRecordSize)));
    ASSERT_NE(expected, fileOrder);
    Segments s;
    std::string error;
    ASSERT_TRUE(emulator::SegmentsFromRecord(record, s, error)) << error;
    EXPECT_EQ(ChecksumIn(s), std::string(expected.data(), 4));
    // The segments themselves stay in file order.
    EXPECT_EQ(0, std::memcmp(s[1].data(), &record[ButtonAt(0, 0)], 35));
}

TEST(Factory, RefusesRecordsThatDoNotFitTheMouse) {
    Segments s;
    s[0][0] = 0x5A;
    std::string error;
    auto record = Record();
    EXPECT_FALSE(emulator::SegmentsFromRecord(std::span(record).first(2069), s, error));
    record[146] = 4;
    EXPECT_FALSE(emulator::SegmentsFromRecord(record, s, error));
    record = Record();
    record[148 + 4 * 6] = 0;  // slot 0 twice
    EXPECT_FALSE(emulator::SegmentsFromRecord(record, s, error));
    record = Record();
    record[148 + 4 * 6 + 3] = 1;  // slot 6 + 2^24
    EXPECT_FALSE(emulator::SegmentsFromRecord(record, s, error));
    EXPECT_NE(error.find("permutation"), std::string::npos);
    EXPECT_EQ(s[0][0], 0x5A);  // untouched
}

}  // namespace
