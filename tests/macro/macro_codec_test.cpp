// The key-slot encoding: delay parts and sizes, the worked example, stored
// data the encoder never writes, and round trips over generated macros.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "ui/macro/key_tables.h"
#include "ui/macro/macro_codec.h"

using namespace macro;

namespace {
constexpr DelayPart Ms(std::uint8_t n) { return {false, n}; }
constexpr DelayPart Half(std::uint8_t n) { return {true, n}; }

std::array<unsigned char, 32> Encoded(const std::vector<MacroStep>& steps, std::size_t* used = nullptr) {
    std::array<unsigned char, 32> s{};
    const std::optional<std::size_t> n = EncodeMacro(steps, s);
    if (used) *used = n.value_or(99);
    return s;
}
}  // namespace

TEST(MacroCodec, SizeTableRowByRow) {
    const struct {
        std::uint32_t delay;
        std::vector<DelayPart> parts;
        int size;
    } rows[] = {
        {10, {Ms(1)}, 1},          {500, {Ms(50)}, 1},
        {510, {Ms(50), Ms(1)}, 3}, {990, {Ms(50), Ms(49)}, 3},
        {1000, {Half(2)}, 1},      {1250, {Ms(25), Half(2)}, 3},
        {30000, {Half(60)}, 1},    {30500, {Ms(50), Half(60)}, 3},
        {31000, {Half(60), Half(2)}, 3}, {60000, {Half(60), Half(60)}, 3},
        {60500, {Ms(50), Half(60), Half(60)}, 5}, {120000, {Half(60), Half(60), Half(60), Half(60)}, 7},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(SplitDelay(r.delay + 9), r.parts) << r.delay;  // rounded down to 10 ms
        EXPECT_EQ(DelaySize(r.delay), r.size) << r.delay;
    }
    EXPECT_EQ(DelaySize(0), 1);  // a zero delay still fills its key's companion byte
}

TEST(MacroCodec, WorkedExampleEncodesAndDecodes) {
    const std::vector<MacroStep> steps = {StepForKey('A', true, 1230), StepForKey('A', false, 20)};
    std::size_t used = 0;
    const std::array<unsigned char, 32> expected = {0x04, 0x97, 0xFF, 0x42, 0x04, 0x02};
    EXPECT_EQ(Encoded(steps, &used), expected);
    EXPECT_EQ(used, 3u);
    EXPECT_EQ(DecodeMacro(expected), steps);
}

TEST(MacroCodec, DecodesStoredDataTheEncoderNeverWrites) {
    // A leading continuation, counts of 63 in both bases, keypad Enter, a
    // usage without a key, then the end marker with data behind it.
    const std::array<unsigned char, 32> s = {0xFF, 0x45, 0x04, 0xBF, 0xFF, 0x7F, 0x58, 0x80,
                                             0x68, 0x01, 0x00, 0x00, 0x05, 0x81};
    const std::vector<MacroStep> expected = {
        {'A', 0x04, true, 630 + 31500, {}}, {vk::kReturn, usage::kKeypadEnter, true, 0, {}}, {0, 0x68, false, 10, {}}};
    EXPECT_EQ(DecodeMacro(s), expected);
}

TEST(MacroCodec, MacrosThatDoNotFitAreNeverCut) {
    std::array<unsigned char, 40> guard;  // a write past the slots would show
    guard.fill(0xEE);
    std::vector<MacroStep> steps(15, StepForKey('B', true, 10));
    steps.push_back(StepForKey('C', false, 120000));  // four parts, one slot left
    EXPECT_EQ(EncodeMacro(steps, KeySlots(guard.data() + 4, 32)), std::nullopt);
    EXPECT_EQ(std::count(guard.begin(), guard.end(), 0xEE), 40);  // nothing written at all
    steps.back().delay = 10;
    EXPECT_EQ(EncodeMacro(steps, KeySlots(guard.data() + 4, 32)), 16u);
    EXPECT_EQ(std::count(guard.begin(), guard.end(), 0xEE), 8);
    // Usages that cannot stand in a key entry are left out.
    const auto s =
        Encoded({MacroStep{0, 0x00, true, 10, {}}, MacroStep{0xFF, 0xFF, true, 10, {}}, StepForKey('E', true, 10)});
    EXPECT_EQ(s[0], 0x08);
    EXPECT_EQ(s[2], 0x00);
}

TEST(MacroCodec, StoredCountsAboveSixtyEncodeBackToTheirOwnBytes) {
    // Sixteen presses of A, each with count 63 in the 10 ms base (630 ms),
    // which a fresh encoding would split into two slots.
    std::array<unsigned char, 32> full;
    for (int i = 0; i < 16; ++i) {
        full[2 * i] = 0x04;
        full[2 * i + 1] = 0x80 | 63;
    }
    std::vector<MacroStep> steps = DecodeMacro(full);
    ASSERT_EQ(steps.size(), 16u);
    EXPECT_EQ(steps[0].delay, 630u);
    EXPECT_EQ(StepSlots(steps[0]), 1u);
    EXPECT_EQ(DelaySize(steps[0]), 1);
    std::size_t used = 0;
    EXPECT_EQ(Encoded(steps, &used), full);
    EXPECT_EQ(used, 16u);

    // A continuation with the press bit set, 63 in the 500 ms base: kept too.
    const std::array<unsigned char, 32> odd = {0x05, 0x7F, 0xFF, 0xC1, 0x05, 0x80};
    EXPECT_EQ(Encoded(DecodeMacro(odd)), odd);

    // A changed delay or press is stored afresh, and then needs two slots.
    steps[3].delay = 640;
    steps[5].press = false;
    Encoded(steps, &used);
    EXPECT_EQ(used, 99u);  // 18 slots: refused
    steps.resize(10);
    const auto shorter = Encoded(steps, &used);
    EXPECT_EQ(used, 12u);
    const std::array<unsigned char, 10> step3and5 = {0x04, 0x80 | 50, 0xFF, 14, 0x04, 0x80 | 63, 0x04, 50, 0xFF, 13};
    EXPECT_TRUE(std::equal(step3and5.begin(), step3and5.end(), shorter.begin() + 6));
}

TEST(MacroCodec, GeneratedMacrosRoundTripAfterRoundingTo10ms) {
    std::mt19937 rng(20240611);
    std::vector<std::uint8_t> keys;
    for (int k = 0; k < 256; ++k)
        if (IsRecordable(static_cast<std::uint8_t>(k))) keys.push_back(static_cast<std::uint8_t>(k));
    const std::uint32_t scale[] = {990, 59999, 600000};
    for (int round = 0; round < 3000; ++round) {
        std::vector<MacroStep> steps(rng() % 17), rounded;
        std::size_t slots = 0, used = 0;
        for (MacroStep& s : steps) {
            s = StepForKey(keys[rng() % keys.size()], rng() % 2, rng() % (scale[rng() % 3] + 1));
            rounded.push_back(s);
            rounded.back().delay -= s.delay % 10;
            slots += StepSlots(s.delay);
        }
        const auto encoded = Encoded(steps, &used);
        if (slots > 16) {
            ASSERT_EQ(used, 99u) << "round " << round;  // refused, never cut
            continue;
        }
        ASSERT_EQ(used, slots) << "round " << round;
        for (std::size_t i = 0; i < 16; ++i) {
            ASSERT_LE(encoded[2 * i + 1] & kCountMask, kLargestEncodedCount) << "round " << round;
            ASSERT_TRUE(i < used || encoded[2 * i] == 0) << "round " << round;
        }
        ASSERT_EQ(DecodeMacro(encoded), rounded) << "round " << round;
    }
}

TEST(MacroCodec, DecodingAnyThirtyTwoBytesStaysInsideTheSlots) {
    std::mt19937 rng(7);
    const unsigned char common[] = {0x00, 0xFF, 0x04, 0x58, 0x68, 0x7F, 0xBF};
    for (int round = 0; round < 5000; ++round) {
        // Exactly 32 bytes on the heap: the sanitized build reports any read past them.
        auto bytes = std::make_unique<unsigned char[]>(32);
        for (int i = 0; i < 32; ++i)
            bytes[i] = rng() % 3 ? common[rng() % std::size(common)] : static_cast<unsigned char>(rng());
        const std::vector<MacroStep> steps = DecodeMacro(ConstKeySlots(bytes.get(), 32));
        ASSERT_LE(steps.size(), 16u);
        std::size_t slots = 0;
        for (const MacroStep& s : steps) {
            ASSERT_TRUE(s.usageID != 0x00 && s.usageID != 0xFF && s.key == UsageToKey[s.usageID]);
            slots += StepSlots(s.delay);
        }
        // Decoded steps keep their stored encoding: they always fit again,
        // and give back the bytes up to the end of the last step.
        std::size_t used = 0, kept = 0;
        const auto again = Encoded(steps, &used);
        ASSERT_NE(used, 99u) << "round " << round;
        ASSERT_EQ(DecodeMacro(again), steps) << "round " << round;
        for (const MacroStep& s : steps) kept += StepSlots(s);
        ASSERT_EQ(used, kept) << "round " << round;
        (void)slots;
    }
}
