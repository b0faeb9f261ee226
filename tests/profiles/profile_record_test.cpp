// The record layout and the button maps.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "profile_store/record/profile_record.h"

using namespace record;

namespace {

// A record of 5 profiles of 7 buttons whose bytes are all distinct-ish
// noise, with the given map.
ProfileRecord Noisy(const std::uint32_t (&map)[7], unsigned profiles = 5, unsigned buttons = 7) {
    ProfileRecord r;
    std::mt19937 rng(42);
    for (auto& b : r.bytes) b = static_cast<unsigned char>(rng());
    r.bytes[kProfileNum] = static_cast<unsigned char>(profiles);
    r.bytes[kButtonNum] = static_cast<unsigned char>(buttons);
    for (std::size_t k = 0; k < 7; ++k) Set32(r.data(), kButtonMap + 4 * k, map[k]);
    return r;
}

constexpr std::uint32_t kShippedMap[7] = {0, 1, 2, 5, 6, 3, 4};

TEST(ProfileRecord, PositionsFollowTheCountsInTheRecord) {
    ProfileRecord r;
    r.bytes[kProfileNum] = 5;
    r.bytes[kButtonNum] = 7;
    const std::size_t starts[5] = {280, 533, 786, 1039, 1292};
    for (std::size_t p = 0; p < 5; ++p) EXPECT_EQ(ProfileOffset(r.data(), p), starts[p]);
    EXPECT_EQ(ProfileOffset(r.data(), 4) + BlockSize(r.data()) - 1, 1544u);  // last used byte
    EXPECT_EQ(ButtonOffset(r.data(), 1, 2), 533u + 8 + 70);
    EXPECT_EQ(KeyOffset(r.data(), 1, 2, 15), 533u + 8 + 70 + 3 + 30);
    EXPECT_TRUE(LayoutFits(r.data()));

    r.bytes[kButtonNum] = 3;  // a smaller device packs its blocks tighter
    EXPECT_EQ(ProfileOffset(r.data(), 1), 280u + 8 + 105);
}

TEST(ProfileRecord, MultiByteFieldsAreLittleEndianAndUnaligned) {
    ProfileRecord r;
    Set32(r.data(), kFlag, 0x11223344);
    EXPECT_EQ(r.bytes[142], 0x44);
    EXPECT_EQ(r.bytes[143], 0x33);
    EXPECT_EQ(r.bytes[144], 0x22);
    EXPECT_EQ(r.bytes[145], 0x11);
    EXPECT_EQ(Get32(r.data(), kFlag), 0x11223344u);
    EXPECT_EQ(r.bytes[141], 0);
    EXPECT_EQ(r.bytes[146], 0);
    Set16(r.data(), kProductID, 0x006a);
    EXPECT_EQ(r.bytes[2], 0x6a);
    EXPECT_EQ(r.bytes[3], 0x00);
}

TEST(ButtonMap, ApplyMovesEachButtonWholeToItsSlotAndRevertUndoesIt) {
    const ProfileRecord start = Noisy(kShippedMap);
    ProfileRecord r = start;
    ASSERT_TRUE(ApplyButtonMap(r.data()));
    for (unsigned p = 0; p < 5; ++p) {
        EXPECT_EQ(0, std::memcmp(r.data() + ProfileOffset(r.data(), p), start.data() + ProfileOffset(r.data(), p), 8));
        for (unsigned k = 0; k < 7; ++k)
            EXPECT_EQ(0, std::memcmp(r.data() + ButtonOffset(r.data(), p, kShippedMap[k]),
                                     start.data() + ButtonOffset(r.data(), p, k), kButtonSize))
                << "profile " << p << " file position " << k;
    }
    // Nothing before the blocks or behind the last one moves.
    EXPECT_EQ(0, std::memcmp(r.data(), start.data(), kProfiles));
    EXPECT_EQ(0, std::memcmp(r.data() + 1545, start.data() + 1545, kSize - 1545));

    ASSERT_TRUE(RevertButtonMap(r.data()));
    EXPECT_EQ(r, start);
}

TEST(ButtonMap, IdentityMapChangesNothing) {
    const std::uint32_t identity[7] = {0, 1, 2, 3, 4, 5, 6};
    const ProfileRecord start = Noisy(identity);
    ProfileRecord r = start;
    ASSERT_TRUE(ApplyButtonMap(r.data()));
    EXPECT_EQ(r, start);
    ASSERT_TRUE(RevertButtonMap(r.data()));
    EXPECT_EQ(r, start);
}

TEST(ButtonMap, FewerButtonsUseOnlyTheirEntries) {
    const std::uint32_t map[7] = {2, 0, 1, 99, 99, 99, 99};  // entries past ButtonNum are not read
    const ProfileRecord start = Noisy(map, 5, 3);
    ProfileRecord r = start;
    ASSERT_TRUE(ApplyButtonMap(r.data()));
    EXPECT_EQ(0, std::memcmp(r.data() + ButtonOffset(r.data(), 0, 2), start.data() + ButtonOffset(r.data(), 0, 0),
                             kButtonSize));
    ASSERT_TRUE(RevertButtonMap(r.data()));
    EXPECT_EQ(r, start);
}

TEST(ButtonMap, UnusableRecordsAreRefusedUntouched) {
    struct Case {
        const char* what;
        std::uint32_t map[7];
        unsigned profiles, buttons;
    };
    const Case cases[] = {
        {"repeated slot", {0, 1, 2, 5, 5, 3, 4}, 5, 7},
        {"slot past the buttons", {0, 1, 2, 7, 6, 3, 4}, 5, 7},
        {"huge slot", {0, 1, 2, 0xFFFFFFFF, 6, 3, 4}, 5, 7},
        {"blocks past the record", {0, 1, 2, 5, 6, 3, 4}, 8, 7},
        {"more buttons than map entries", {0, 1, 2, 5, 6, 3, 4}, 5, 8},
    };
    for (const Case& c : cases) {
        const ProfileRecord start = Noisy(c.map, c.profiles, c.buttons);
        ProfileRecord r = start;
        EXPECT_FALSE(ApplyButtonMap(r.data())) << c.what;
        EXPECT_FALSE(RevertButtonMap(r.data())) << c.what;
        EXPECT_EQ(r, start) << c.what;
    }
}

}  // namespace
