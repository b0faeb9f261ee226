// The diagnostic views' lines, character for character, and their bounds on
// records with bad counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/macro/diagnostic_lines.h"

using namespace macro;
using Lines = std::vector<std::string>;

namespace {

// 5 profiles of 7 buttons; profile 0 button 0 holds the worked-example macro.
ProfileRecord ExampleRecord() {
    ProfileRecord r;
    unsigned char* d = r.data();
    record::Set16(d, record::kVendorID, 0x7A3D);
    d[record::kProfileNum] = 5;
    d[record::kButtonNum] = 7;
    const std::uint32_t map[7] = {0, 1, 2, 5, 6, 3, 4};
    for (int k = 0; k < 7; ++k) record::Set32(d, record::kButtonMap + 4 * k, map[k]);
    std::memcpy(d + record::kProfiles + record::kDummy, "1a2b", 5);
    const unsigned char button[] = {0x41, 0x49, 0x06, 0x04, 0x97, 0xFF, 0x42, 0x04, 0x02};
    std::memcpy(d + record::ButtonOffset(d, 0, 0), button, sizeof button);
    return r;
}

// The n lines after the first line equal to marker.
Lines After(const Lines& lines, const std::string& marker, std::size_t n) {
    const auto it = std::find(lines.begin(), lines.end(), marker);
    if (it == lines.end() || lines.end() - it <= static_cast<std::ptrdiff_t>(n)) return {};
    return Lines(it + 1, it + 1 + n);
}

}  // namespace

TEST(DiagnosticLines, KeyBufferListsAllThirtyTwoSlotsFreeOnesIncluded) {
    MacroEditor editor{EditorMode::Macro, nullptr};
    editor.StartRecording();
    editor.OnHookKey(kWmKeyDown, 'A', 0);
    editor.OnHookKey(kWmKeyUp, 'A', 1234);
    editor.StopRecording();
    const Lines lines = KeyBufferLines(editor);
    ASSERT_EQ(lines.size(), 1u + 32 + 3);
    EXPECT_EQ(lines[1], "01 41(04)       A v MK " + std::string(8, ' ') + "  00  00  000");
    EXPECT_EQ(lines[2], "02 ff(ff)      <tm> MK      TM   00  01  230");
    EXPECT_EQ(lines[3], "03 41(04)       A ^     BK       00  00  000");
    EXPECT_EQ(lines[4], "04 ff(ff)      <tm>     BK  TM   00  00  020");
    EXPECT_EQ(lines[32], "32 00(00)  " + std::string(8, ' ') + std::string(12, ' ') + "  00  00  000");
    EXPECT_EQ(Lines(lines.end() - 3, lines.end()),
              (Lines{"Continue Click Flag = 0", "Toggle Click Flag = 0", "CurKeyIndex = 4 (Zero Base)"}));
}

TEST(DiagnosticLines, StoredButtonListsItsSixteenSlotsAndItsFlags) {
    const ProfileRecord r = ExampleRecord();
    const Lines lines = StoredButtonLines(ConstButtonBlock(r.data() + record::ButtonOffset(r.data(), 0, 0), 35));
    ASSERT_EQ(lines.size(), 1u + 16 + 2);
    EXPECT_EQ(Lines(lines.begin() + 1, lines.begin() + 4),
              (Lines{"01 04(41)      A v  0.01s  023 ", "02 ff(ff)     <tm>  0.50s  002 ", "03 04(41)      A ^  0.01s  002 "}));
    EXPECT_EQ(lines[16], "16 00(00)           0.01s  000 ");
    EXPECT_EQ(lines[17], "Continue Click: On");
    EXPECT_EQ(lines[18], "ToggleClick Click: Off");
}

TEST(DiagnosticLines, RecordViewShowsMakeBreakBaseAndCountOfEachSlot) {
    const Lines text = RecordTextLines(ExampleRecord().bytes);
    const Lines button0 = {
        "Endpoint : 2", "Button ID: 1", "Continue Click: yes", "Toggle Click  : no", "Function Name : Macro Key",
        "Function Ext  : 06h", "--------- Macro Key ---------------------------",
        // a press entry with a 10 ms base, then a release continuation with a 500 ms base
        "  Usage ID    : 04h         (key:0)", "  Make/Break  :  v", "  Time Base   : 10ms", "  Time Count  : 23",
        "  Usage ID    : ffh         (key:1)", "  Make/Break  :  ^", "  Time Base   : 0.5sec", "  Time Count  : 2"};
    EXPECT_EQ(After(text, "------------ Profile: 0, Button: 0 SegmentID = 1-------------------------", 15), button0);
    EXPECT_EQ(text[7], "Screen Btn  : 00 01 02 05 06 03 04 00");
    EXPECT_EQ(text[8], std::string(20, ' ') + "00 00 00 00 00 00 00 00");
    EXPECT_EQ(After(text, "===============Profile: 0 =======================", 4),
              (Lines{"Profile ID           : 0", "DPI          : 0", "Sensor       : 0", "CheckSum     : 1a2b"}));
    EXPECT_EQ(text.size(), 11u + 5 * (5 + 7 * (8 + 4 * 16 + 1) + 1));
    EXPECT_EQ(text[text.size() - 74], "------------ Profile: 4, Button: 6 SegmentID = 35-------------------------");

    const Lines hex = RecordHexLines(ExampleRecord().bytes);
    EXPECT_EQ(After(hex, "===============Profile: 0 =======================", 4), (Lines{"00", "00", "00", "31 61 32 62 00 "}));
    EXPECT_EQ(After(hex, "------------ Profile: 0, Button: 0 SegmentID = 1-----------------", 6),
              (Lines{"41", "49", "06", "--------- Macro Key ---------------------------", "04  97       (key:0)",
                     "ff  42       (key:1)"}));
}

TEST(DiagnosticLines, RecordViewNeverReadsOutsideTheRecord) {
    // Exactly 2070 bytes on the heap, text fields without their NUL, and
    // counts far larger than the record holds.
    std::vector<unsigned char> r(record::kSize, 'x');
    r[record::kProfileNum] = 255;
    r[record::kButtonNum] = 255;
    const Lines text = RecordTextLines(ConstRecord(r.data(), record::kSize));
    EXPECT_EQ(text[2], "DeviceType  : " + std::string(10, 'x'));
    EXPECT_EQ(text[3], "nAppName    : " + std::string(128, 'x'));
    EXPECT_EQ(After(text, "------------ Profile: 0, Button: 0 SegmentID = 1-------------------------", 5)[4],
              "Function Name : Unknown");
    // Profile 0 and the 50 buttons that end inside the record.
    EXPECT_EQ(RecordHexLines(ConstRecord(r.data(), record::kSize)).size(), 11u + 5 + 50 * (5 + 16 + 1) + 1);
}
