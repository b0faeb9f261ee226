// The key tables, checked through their properties and the keys the editor
// treats specially.
#include <gtest/gtest.h>

#include <string>

#include "ui/macro/key_tables.h"

using namespace macro;

TEST(KeyTables, AHundredKeysCanBeRecorded) {
    int recordable = 0;
    for (int k = 0; k < 256; ++k) recordable += IsRecordable(static_cast<std::uint8_t>(k));
    EXPECT_EQ(recordable, 100);
    for (std::uint8_t k : {vk::kClear, vk::kLeftWin, vk::kRightWin, vk::kApps, vk::kDelay, std::uint8_t{0}})
        EXPECT_FALSE(IsRecordable(k)) << int(k);
    EXPECT_EQ(std::string(PressText[vk::kClear]), "Clr v");  // texts, but no usage
}

TEST(KeyTables, PressAndReleaseTextsNameTheSameKey) {
    for (int k = 0; k < 0xFF; ++k) {
        const std::string press = PressText[k], release = ReleaseText[k];
        if (press.empty()) {
            EXPECT_TRUE(release.empty() && KeyToUsage[k] == 0) << k;
            continue;
        }
        ASSERT_EQ(press.substr(press.size() - 2), " v");
        const std::string name = press.substr(0, press.size() - 2);
        EXPECT_EQ(release, k == vk::kSnapshot ? "PrtScr v" : name + " ^") << k;
    }
    EXPECT_EQ(std::string(ReleaseText[vk::kDelay]), "<tm>");
}

TEST(KeyTables, UsageToKeyInvertsKeyToUsageAndReadsKeypadEnterAsReturn) {
    int mapped = 0;
    for (int u = 1; u < 256; ++u) {
        if (UsageToKey[u] == 0) continue;
        ++mapped;
        EXPECT_EQ(KeyToUsage[UsageToKey[u]], u == usage::kKeypadEnter ? 0x28 : u) << u;
    }
    EXPECT_EQ(mapped, 102);  // 100 keys, the delay marker and keypad Enter
    EXPECT_EQ(UsageToKey[usage::kKeypadEnter], vk::kReturn);
    // Runs of keys follow the HID keyboard page.
    for (int i = 0; i < 26; ++i) EXPECT_EQ(KeyToUsage['A' + i], 0x04 + i);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(KeyToUsage['1' + i % 9 - (i == 9)], 0x1E + i);  // 1..9, 0
    for (int i = 0; i < 12; ++i) EXPECT_EQ(KeyToUsage[0x70 + i], 0x3A + i);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(KeyToUsage[0x61 + i % 9 - (i == 9)], 0x59 + i);  // keypad 1..9, 0
}
