// The message parameters of the hook component and its key clock.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/hook_area.h"

using namespace hook_area;

TEST(HookKeyParam, PacksKeyLowAndElapsedHigh) {
    EXPECT_EQ(PackKeyParam(0x41, 1234), 0x04D20041u);
    // Only the low byte of the key code travels.
    EXPECT_EQ(PackKeyParam(0x1A5, 0), 0xA5u);

    const KeyParam key = UnpackKeyParam(PackKeyParam(0xDE, 65535));
    EXPECT_EQ(key.virtualKey, 0xDE);
    EXPECT_EQ(key.elapsedMs, 65535u);
}

TEST(HookKeyParam, CapsElapsedAt65535) {
    EXPECT_EQ(UnpackKeyParam(PackKeyParam(0x20, 65536)).elapsedMs, 65535u);
    EXPECT_EQ(UnpackKeyParam(PackKeyParam(0x20, 0xFFFFFFFFu)).elapsedMs, 65535u);
    // The cap never spills into the key byte.
    EXPECT_EQ(UnpackKeyParam(PackKeyParam(0x20, 0xFFFFFFFFu)).virtualKey, 0x20);
}


TEST(HookMouseParam, PacksXHighAndYLow) {
    EXPECT_EQ(PackMouseParam(0x123, 0x456), 0x01230456u);
    const MouseParam at = UnpackMouseParam(PackMouseParam(1919, 1079));
    EXPECT_EQ(at.x, 1919);
    EXPECT_EQ(at.y, 1079);
}

// A monitor left of or above the primary one has negative coordinates.
TEST(HookMouseParam, NegativeCoordinatesSurvive) {
    EXPECT_EQ(PackMouseParam(-1920, -5), 0xF880FFFBu);
    for (const auto& [x, y] : {std::pair{-1920, 300}, {640, -1}, {-1, -1080}, {-32768, 32767}}) {
        const MouseParam at = UnpackMouseParam(PackMouseParam(x, y));
        EXPECT_EQ(at.x, x);
        EXPECT_EQ(at.y, y);
    }
    // A receiver may hold the parameter sign-extended to 64 bits.
    const auto extended = static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int32_t>(0xF880FFFBu)));
    EXPECT_EQ(UnpackMouseParam(extended).x, -1920);
    EXPECT_EQ(UnpackMouseParam(extended).y, -5);
}

TEST(HookMouseParam, ClampsBeyondSixteenBits) {
    const MouseParam high = UnpackMouseParam(PackMouseParam(40000, 32768));
    EXPECT_EQ(high.x, 32767);
    EXPECT_EQ(high.y, 32767);
    const MouseParam low = UnpackMouseParam(PackMouseParam(-40000, -32769));
    EXPECT_EQ(low.x, -32768);
    EXPECT_EQ(low.y, -32768);
}

TEST(HookElapsed, CountsAcrossTheTickWrapAround) {
    EXPECT_EQ(ElapsedMs(1000, 2234), 1234u);
    EXPECT_EQ(ElapsedMs(0xFFFFFF00u, 0x100u), 0x200u);
    EXPECT_EQ(ElapsedMs(0xFFFFFFFFu, 0), 1u);
    // Long gaps are returned whole; the message parameter caps them.
    EXPECT_EQ(ElapsedMs(0xFFFF0000u, 0x00010000u), 0x20000u);
    EXPECT_EQ(ElapsedMs(5, 5 + 0xFFFFFFFFu - kEarlyWindowMs), 0xFFFFFFFFu - kEarlyWindowMs);
}

TEST(HookElapsed, AnEventStampedBeforeTheStartCountsZero) {
    EXPECT_EQ(ElapsedMs(1000, 999), 0u);
    EXPECT_EQ(ElapsedMs(1000, 1000 - kEarlyWindowMs), 0u);
    EXPECT_EQ(ElapsedMs(0x10, 0xFFFFFFF0u), 0u);  // before the start, across the wrap
}

TEST(HookKeyClock, MeasuresFromStartThenFromEachReportedEvent) {
    KeyClock clock;
    clock.Start(0xFFFFFF00u);
    EXPECT_EQ(clock.Report(0xFFFFFFF0u), 0xF0u);
    EXPECT_EQ(clock.Report(0x000004C2u), 0x4D2u);  // across the wrap
    EXPECT_EQ(clock.Report(0x000004C2u), 0u);
    clock.Start(5000);
    EXPECT_EQ(clock.Report(5100), 100u);
}

TEST(HookKeyClock, AnEarlyEventDoesNotMoveTheBaseBack) {
    KeyClock clock;
    clock.Start(1000);
    EXPECT_EQ(clock.Report(990), 0u);
    EXPECT_EQ(clock.Report(1050), 50u);
}
