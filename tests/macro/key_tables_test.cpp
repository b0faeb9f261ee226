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

// The design's key table, row by row, written out here by hand: virtual key,
// press text, release text, HID usage. Not derived from the code under test,
// so a moved or renamed key cannot agree with itself.
struct DesignKey {
    int key;
    const char* press;
    const char* release;
    int usage;
};
constexpr DesignKey kDesignKeys[] = {
    {0x08, "Bck v", "Bck ^", 0x2A},
    {0x09, "Tab v", "Tab ^", 0x2B},
    {0x0C, "Clr v", "Clr ^", 0x00},
    {0x0D, "Ret v", "Ret ^", 0x28},
    {0x13, "Pause v", "Pause ^", 0x48},
    {0x14, "CapLK v", "CapLK ^", 0x39},
    {0x1B, "Esc v", "Esc ^", 0x29},
    {0x20, "Spc v", "Spc ^", 0x2C},
    {0x21, "PgUp v", "PgUp ^", 0x4B},
    {0x22, "PgDn v", "PgDn ^", 0x4E},
    {0x23, "End v", "End ^", 0x4D},
    {0x24, "Home v", "Home ^", 0x4A},
    {0x25, "Lft v", "Lft ^", 0x50},
    {0x26, "Up v", "Up ^", 0x52},
    {0x27, "Rht v", "Rht ^", 0x4F},
    {0x28, "Down v", "Down ^", 0x51},
    {0x2C, "PrtScr v", "PrtScr v", 0x46},
    {0x2D, "Ins v", "Ins ^", 0x49},
    {0x2E, "Del v", "Del ^", 0x4C},
    {0x30, "0 v", "0 ^", 0x27},
    {0x31, "1 v", "1 ^", 0x1E},
    {0x32, "2 v", "2 ^", 0x1F},
    {0x33, "3 v", "3 ^", 0x20},
    {0x34, "4 v", "4 ^", 0x21},
    {0x35, "5 v", "5 ^", 0x22},
    {0x36, "6 v", "6 ^", 0x23},
    {0x37, "7 v", "7 ^", 0x24},
    {0x38, "8 v", "8 ^", 0x25},
    {0x39, "9 v", "9 ^", 0x26},
    {0x41, "A v", "A ^", 0x04},
    {0x42, "B v", "B ^", 0x05},
    {0x43, "C v", "C ^", 0x06},
    {0x44, "D v", "D ^", 0x07},
    {0x45, "E v", "E ^", 0x08},
    {0x46, "F v", "F ^", 0x09},
    {0x47, "G v", "G ^", 0x0A},
    {0x48, "H v", "H ^", 0x0B},
    {0x49, "I v", "I ^", 0x0C},
    {0x4A, "J v", "J ^", 0x0D},
    {0x4B, "K v", "K ^", 0x0E},
    {0x4C, "L v", "L ^", 0x0F},
    {0x4D, "M v", "M ^", 0x10},
    {0x4E, "N v", "N ^", 0x11},
    {0x4F, "O v", "O ^", 0x12},
    {0x50, "P v", "P ^", 0x13},
    {0x51, "Q v", "Q ^", 0x14},
    {0x52, "R v", "R ^", 0x15},
    {0x53, "S v", "S ^", 0x16},
    {0x54, "T v", "T ^", 0x17},
    {0x55, "U v", "U ^", 0x18},
    {0x56, "V v", "V ^", 0x19},
    {0x57, "W v", "W ^", 0x1A},
    {0x58, "X v", "X ^", 0x1B},
    {0x59, "Y v", "Y ^", 0x1C},
    {0x5A, "Z v", "Z ^", 0x1D},
    {0x60, "0(num) v", "0(num) ^", 0x62},
    {0x61, "1(num) v", "1(num) ^", 0x59},
    {0x62, "2(num) v", "2(num) ^", 0x5A},
    {0x63, "3(num) v", "3(num) ^", 0x5B},
    {0x64, "4(num) v", "4(num) ^", 0x5C},
    {0x65, "5(num) v", "5(num) ^", 0x5D},
    {0x66, "6(num) v", "6(num) ^", 0x5E},
    {0x67, "7(num) v", "7(num) ^", 0x5F},
    {0x68, "8(num) v", "8(num) ^", 0x60},
    {0x69, "9(num) v", "9(num) ^", 0x61},
    {0x6A, "*(num) v", "*(num) ^", 0x55},
    {0x6B, "+(num) v", "+(num) ^", 0x57},
    {0x6D, "-(num) v", "-(num) ^", 0x56},
    {0x6E, ".(num) v", ".(num) ^", 0x63},
    {0x6F, "/(num) v", "/(num) ^", 0x54},
    {0x70, "F1 v", "F1 ^", 0x3A},
    {0x71, "F2 v", "F2 ^", 0x3B},
    {0x72, "F3 v", "F3 ^", 0x3C},
    {0x73, "F4 v", "F4 ^", 0x3D},
    {0x74, "F5 v", "F5 ^", 0x3E},
    {0x75, "F6 v", "F6 ^", 0x3F},
    {0x76, "F7 v", "F7 ^", 0x40},
    {0x77, "F8 v", "F8 ^", 0x41},
    {0x78, "F9 v", "F9 ^", 0x42},
    {0x79, "F10 v", "F10 ^", 0x43},
    {0x7A, "F11 v", "F11 ^", 0x44},
    {0x7B, "F12 v", "F12 ^", 0x45},
    {0x90, "Num v", "Num ^", 0x53},
    {0x91, "ScrLK v", "ScrLK ^", 0x47},
    {0xA0, "LShft v", "LShft ^", 0xE1},
    {0xA1, "RShft v", "RShft ^", 0xE5},
    {0xA2, "LCtrl v", "LCtrl ^", 0xE0},
    {0xA3, "RCtrl v", "RCtrl ^", 0xE4},
    {0xA4, "LAlt v", "LAlt ^", 0xE2},
    {0xA5, "RAlt v", "RAlt ^", 0xE6},
    {0xBA, "; v", "; ^", 0x33},
    {0xBB, "= v", "= ^", 0x2E},
    {0xBC, ", v", ", ^", 0x36},
    {0xBD, "- v", "- ^", 0x2D},
    {0xBE, ". v", ". ^", 0x37},
    {0xBF, "/ v", "/ ^", 0x38},
    {0xC0, "` v", "` ^", 0x35},
    {0xDB, "[ v", "[ ^", 0x2F},
    {0xDC, "\\ v", "\\ ^", 0x31},
    {0xDD, "] v", "] ^", 0x30},
    {0xDE, "' v", "' ^", 0x34},
    {0xFF, "<tm>", "<tm>", 0xFF},
};

TEST(KeyTables, EveryRowMatchesTheDesignTableAndNoOtherKeyIsKnown) {
    bool listed[256] = {};
    for (const DesignKey& row : kDesignKeys) {
        SCOPED_TRACE(row.key);
        listed[row.key] = true;
        EXPECT_STREQ(PressText[row.key], row.press);
        EXPECT_STREQ(ReleaseText[row.key], row.release);
        EXPECT_EQ(KeyToUsage[row.key], row.usage);
        // Reading back: every usage leads to its own key (Clear has none).
        if (row.usage != 0) {
            EXPECT_EQ(UsageToKey[row.usage], row.key);
        }
    }
    EXPECT_EQ(sizeof kDesignKeys / sizeof kDesignKeys[0], 102u);
    for (int k = 0; k < 256; ++k) {
        if (listed[k]) continue;
        EXPECT_STREQ(PressText[k], "") << k;
        EXPECT_STREQ(ReleaseText[k], "") << k;
        EXPECT_EQ(KeyToUsage[k], 0) << k;
    }
    // Usages of no listed key read back as no key, except keypad Enter.
    bool usageListed[256] = {};
    for (const DesignKey& row : kDesignKeys) usageListed[row.usage] = true;
    for (int u = 1; u < 256; ++u)
        if (!usageListed[u]) {
            EXPECT_EQ(UsageToKey[u], u == 0x58 ? 0x0D : 0) << u;
        }
}
