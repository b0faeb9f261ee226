// The macro editor's model: recording, the free-byte count, the label
// layout, loading and saving a button block, the flags and the delay labels.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>

#include "ui/macro/diagnostic_lines.h"
#include "ui/macro/key_tables.h"

namespace macro_test {

using namespace macro;
using Editor = macro::MacroEditor;
using Block = std::array<unsigned char, 35>;

namespace {

// 6 pixels a character; texts longer than 6 characters are 14 high.
TextExtent FixedPitch(const char* text) {
    const int n = static_cast<int>(std::strlen(text));
    return {6 * n, n > 6 ? 14 : 13};
}

// Named after the module, so that its cases run as MacroEditor.*.
class MacroEditor : public ::testing::Test {
protected:
    Editor editor{EditorMode::Macro, FixedPitch};
    Block block = {0x23, 0xE9};  // BtnIndex, FunID 9 with bits 7, 6 and 5

    void Press(std::uint8_t key, unsigned ms = 0) { editor.OnHookKey(kWmKeyDown, key, ms); }
    void Release(std::uint8_t key, unsigned ms = 0) { editor.OnHookKey(kWmKeyUp, key, ms); }
    // n events of key B, 10 ms apart, starting with a press.
    void Taps(int n) {
        for (int i = 0; i < n; ++i) (i % 2 ? Release('B', 10) : Press('B', 10));
    }
};

}  // namespace

TEST_F(MacroEditor, WorkedExampleRecordsFourEventsAndApplyWritesThreeSlots) {
    editor.StartRecording();
    Press('A', 5000);
    Release('A', 1234);
    EXPECT_FALSE(editor.Save(block));  // Apply does nothing while recording
    editor.StopRecording();
    ASSERT_EQ(editor.CurKeyIndex(), 4);
    const auto& b = editor.KeyBuffer();
    EXPECT_EQ(b[1].Kind, kDelayAfterPress);
    EXPECT_EQ(DelayOf(b[1]), (DelayValue{0, 1, 23}));
    EXPECT_EQ(b[3].Kind, kDelayAfterRelease);
    EXPECT_EQ(b[3].Milliseconds, 20);
    EXPECT_EQ(editor.RemainCount(), 25);
    EXPECT_EQ(editor.RemainText(), "26");
    ASSERT_TRUE(editor.Save(block));
    const Block expected = {0x23, 0x89, 6, 0x04, 0x97, 0xFF, 0x42, 0x04, 0x02};  // flags cleared by recording
    EXPECT_EQ(block, expected);
}

TEST_F(MacroEditor, RecordsOnlyKeysWithAUsageAndGapsOfAtLeastTenMs) {
    Press('A');  // not recording yet
    editor.StartRecording();
    for (std::uint8_t k : {vk::kLeftWin, vk::kRightWin, vk::kApps, vk::kClear, vk::kDelay}) Press(k, 100);
    editor.OnHookKey(258, 'A', 100);  // WM_CHAR
    EXPECT_EQ(editor.CurKeyIndex(), 0);
    Release('Q', 700);  // held before recording: first, with no delay in front
    editor.OnHookKey(kWmSysKeyDown, 0xA4, 3);
    Release(0xA4, 62500);
    editor.StopRecording();
    EXPECT_EQ(editor.LabelText(0), "Q ^");
    EXPECT_EQ(editor.LabelTooltip(1), "0.01 sec ");
    EXPECT_EQ(editor.LabelTooltip(3), "1 min2.50 sec ");
    EXPECT_EQ(editor.CurKeyIndex(), 6);
}

TEST_F(MacroEditor, APressWithoutRoomDropsItsOwnReleaseOnly) {
    editor.StartRecording();
    Taps(20);  // sixteen 10 ms steps fill the slots; further keys are dropped
    editor.StopRecording();
    EXPECT_EQ(editor.CurKeyIndex(), 32);
    EXPECT_EQ(editor.RemainText(), "00");

    editor.StartRecording();
    Press(0xA0);  // left Shift
    Taps(14);
    ASSERT_EQ(editor.RemainCount(), 2);
    Press('A', 600);    // its delay costs 3 bytes: dropped
    Release(0xA0, 10);  // another key's release is still recorded
    EXPECT_EQ(editor.LabelText(30), "LShft ^");
    Release('A', 10);
    EXPECT_FALSE(editor.SwallowRelease());

    editor.StartRecording();  // a repeat that gets in owns its release again
    Taps(14);
    Press('A', 60500);
    Press('A', 30);
    Release('A', 10);
    EXPECT_EQ(editor.LabelText(30), "A ^");

    editor.StartRecording();  // a drop pending at the stop ends with it
    Taps(15);
    Press('A', 600);
    editor.StopRecording();
    editor.StartRecording();
    Release('A', 10);
    EXPECT_EQ(editor.LabelText(0), "A ^");
}

TEST_F(MacroEditor, SingleKeyModeTakesOnePressAndItsOwnRelease) {
    Editor single{EditorMode::SingleKey, FixedPitch};
    const auto key = [&](unsigned msg, std::uint8_t k, unsigned ms) { single.OnHookKey(msg, k, ms); };
    single.StartRecording();
    key(kWmKeyUp, 'A', 50);
    key(kWmKeyDown, 'A', 50);
    key(kWmKeyDown, 'B', 50);
    key(kWmKeyUp, 'B', 50);
    key(kWmKeyUp, 'A', 300);
    key(kWmKeyDown, 'C', 50);
    single.StopRecording();
    ASSERT_EQ(single.CurKeyIndex(), 4);
    EXPECT_EQ(single.KeyBuffer()[1].Milliseconds, 300);
    EXPECT_EQ(single.LabelText(2), "A ^");

    single.StartRecording();  // the release never comes
    key(kWmKeyDown, 'F', 50);
    single.StopRecording();
    EXPECT_EQ(single.LabelText(2), "F ^");
    EXPECT_EQ(single.KeyBuffer()[1].Milliseconds + single.KeyBuffer()[3].Milliseconds, 40);
}

TEST_F(MacroEditor, ContinueAndToggleExcludeEachOtherAndHoldStillWhileRecording) {
    editor.Load(block);  // both bits: both shown checked
    EXPECT_TRUE(editor.ContinueChecked() && editor.ToggleChecked());
    editor.ClickContinue();
    EXPECT_FALSE(editor.ContinueClickFlag() || editor.ToggleClickFlag());
    editor.ClickContinue();
    editor.ClickToggle();
    EXPECT_TRUE(editor.ToggleClickFlag() && !editor.ContinueClickFlag() && !editor.ContinueChecked());
    ASSERT_TRUE(editor.Save(block));
    EXPECT_EQ(block[1], 0xA9);  // bit 7 and the code kept

    editor.StartRecording();
    editor.ClickContinue();
    EXPECT_FALSE(editor.ContinueChecked() || editor.ContinueClickFlag());
    editor.StopRecording();  // an empty recording: no closing delay
    block.fill(0x5A);
    ASSERT_TRUE(editor.Save(block));
    EXPECT_EQ(std::count(block.begin() + 2, block.end(), 0), 33);
}

TEST_F(MacroEditor, LabelsWrapOnlyWhenTheNextOneWouldPassTheRightLimit) {
    editor.StartRecording();
    Press(0x24);  // "Home v" is 38 wide: with "<tm>", "Home ^", "<tm>" the line ends at 270
    Release(0x24, 10);
    for (int i = 0; i < 16; ++i) (i % 2 ? Release(0x61 + i / 2, 10) : Press(0x61 + i / 2, 10));
    const auto& b = editor.KeyBuffer();
    EXPECT_EQ(b[3].Right, kRightLimit);
    EXPECT_EQ(b[4].Top, kFirstLine + 14 + kLineGap);  // LineHeight is the tallest press text
    for (int i = 1; i < editor.CurKeyIndex(); ++i) {
        EXPECT_LE(b[i].Right, kRightLimit);
        if (b[i].Top == b[i - 1].Top) {
            EXPECT_EQ(b[i].Left, b[i - 1].Right + 1) << i;
        } else {
            EXPECT_EQ(b[i].Left, kLeftMargin);
            EXPECT_GT(b[i - 1].Right + 1 + (b[i].Right - b[i].Left), kRightLimit) << "needless wrap at " << i;
        }
    }
}

TEST_F(MacroEditor, StoredKeysWithoutAKeyAndZeroDelaysKeepTheirPlace) {
    const Block stored{0x01, 0x09, 0x08, 0x68, 0x85, 0x58, 0x80, 0xFF, 0x05, 0x04, 0x02};
    editor.Load(stored);
    ASSERT_EQ(editor.CurKeyIndex(), 6);
    EXPECT_EQ(editor.LabelText(0), "?68 v");
    EXPECT_EQ(editor.LabelText(2), "Ret v");  // keypad Enter
    EXPECT_EQ(editor.KeyBuffer()[3].Milliseconds, 50);
    // Four slots in use: the second step's zero and its continuation count.
    EXPECT_EQ(editor.RemainCount(), 31 - 2 * 3 - 2);
    EXPECT_EQ(KeyBufferLines(editor)[1], "01 00(68)     ?68 v MK " + std::string(8, ' ') + "  00  00  000");
    Block saved = stored;
    saved[2] = 0;
    ASSERT_TRUE(editor.Save(saved));
    EXPECT_EQ(saved, stored);  // unchanged: byte for byte, FunExt too

    // A change stores the macro afresh: keypad Enter as Return, the delay
    // of the second step in one slot.
    editor.ClickDelayLabel(3);
    ASSERT_EQ(editor.MoveSlider(Slider::Hundredths, 99 - 3).outcome, SliderChange::Accepted);
    EXPECT_EQ(editor.RemainCount(), 31 - 2 * 3);
    ASSERT_TRUE(editor.Save(saved));
    EXPECT_EQ(saved, (Block{0x01, 0x09, 0x06, 0x68, 0x85, 0x28, 0x83, 0x04, 0x02}));

    Block zeros{};  // sixteen steps with no delay take all 32 bytes
    for (int k = 0; k < 16; ++k) zeros[3 + 2 * k] = 0x04;
    editor.Load(zeros);
    EXPECT_EQ(editor.CurKeyIndex(), 32);
    EXPECT_EQ(editor.RemainText(), "00");
}

TEST_F(MacroEditor, AFullStoredMacroWithLongCountsOpensAndAppliesWhole) {
    // Sixteen presses of A with count 63 (630 ms), which a fresh encoding
    // would need 32 slots for.
    Block stored{0x01, 0x09, 0x20};
    for (int k = 0; k < 16; ++k) {
        stored[3 + 2 * k] = 0x04;
        stored[4 + 2 * k] = 0x80 | 63;
    }
    editor.Load(stored);
    EXPECT_EQ(editor.CurKeyIndex(), 32);
    EXPECT_EQ(editor.RemainCount(), -1);
    Block saved{0x01, 0x09};
    ASSERT_TRUE(editor.Save(saved));
    EXPECT_EQ(saved, stored);

    // Any longer delay no longer fits: refused, and the block keeps its macro.
    editor.ClickDelayLabel(1);
    EXPECT_EQ(editor.MoveSlider(Slider::Hundredths, 99 - 64).outcome, SliderChange::Refused);
    EXPECT_EQ(editor.RemainCount(), -1);
    // Shorter is fine, and is stored in the one slot 630 ms took.
    ASSERT_EQ(editor.MoveSlider(Slider::Hundredths, 99 - 20).outcome, SliderChange::Accepted);
    EXPECT_EQ(editor.RemainCount(), -1);
    ASSERT_TRUE(editor.Save(saved));
    EXPECT_EQ(saved[4], 0x80 | 20);
    EXPECT_TRUE(std::equal(saved.begin() + 5, saved.end(), stored.begin() + 5));
}

TEST_F(MacroEditor, DelayLabelsDriveTheDelayDialogAndItsSliders) {
    editor.StartRecording();
    Press('B');
    Release('B', 1000);
    Press('B', 10);
    EXPECT_EQ(editor.ClickDelayLabel(1), DelayDialogRequest::None);  // recording
    editor.StopRecording();
    EXPECT_EQ(editor.ClickDelayLabel(2), DelayDialogRequest::None);  // a key label
    EXPECT_EQ(editor.ClickDelayLabel(7), DelayDialogRequest::None);  // no event there
    EXPECT_EQ(editor.MoveSlider(Slider::Hundredths, 0).outcome, SliderChange::Refused);  // nothing selected
    EXPECT_EQ(editor.ClickDelayLabel(1), DelayDialogRequest::Open);
    EXPECT_EQ(editor.ClickDelayLabel(3), DelayDialogRequest::Switch);
    EXPECT_EQ(editor.ClickDelayLabel(3), DelayDialogRequest::Close);
    EXPECT_EQ(editor.ClickKeyLabel(), DelayDialogRequest::None);
    editor.ClickDelayLabel(1);
    EXPECT_EQ(editor.MoveSlider(Slider::Hundredths, 99 - 80).outcome, SliderChange::Accepted);
    EXPECT_EQ(editor.RemainCount(), 25 - 4);
    EXPECT_EQ(editor.LabelTooltip(1), "1.80 sec ");
    ASSERT_TRUE(editor.Save(block));
    EXPECT_EQ(DecodeMacro(SlotsOf(ButtonBlock(block)))[0].delay, 1800u);
    EXPECT_TRUE(editor.StartRecording());  // the dialog closes
    EXPECT_EQ(editor.SelectedTimeIndex(), -1);
}

TEST_F(MacroEditor, GeneratedRecordingsKeepEveryInvariantAndLoadBack) {
    std::mt19937 rng(99);
    const std::uint8_t keys[] = {'A', 'B', 0xA0, 0x0D, 0x5B, 0x0C, 0x70};
    const unsigned gaps[] = {0, 9, 10, 490, 510, 999, 1234, 31000, 65535};
    for (int round = 0; round < 2000; ++round) {
        Editor e{round % 4 ? EditorMode::Macro : EditorMode::SingleKey, FixedPitch};
        e.StartRecording();
        for (int i = static_cast<int>(rng() % 60); i > 0; --i)
            e.OnHookKey(rng() % 2 ? kWmKeyDown : kWmKeyUp, keys[rng() % std::size(keys)],
                        rng() % 3 ? gaps[rng() % std::size(gaps)] : static_cast<unsigned>(rng() % 65536));
        e.StopRecording();
        ASSERT_EQ(e.CurKeyIndex() % 2, 0);
        for (int i = 0; i < kKeyBufferSize; ++i)
            ASSERT_EQ(e.KeyBuffer()[i].Key == vk::kDelay, i < e.CurKeyIndex() && i % 2 == 1) << "round " << round;

        std::array<unsigned char, 39> guarded;
        guarded.fill(0xEE);
        const ButtonBlock saved(guarded.data() + 2, 35);
        ASSERT_TRUE(e.Save(saved));
        ASSERT_EQ(guarded[0] + guarded[1] + guarded[37] + guarded[38], 4 * 0xEE);
        ASSERT_EQ(e.RemainCount() + 1, 32 - saved[2]) << "round " << round;  // free bytes shown are free

        Editor loaded{EditorMode::Macro, FixedPitch};
        loaded.Load(saved);
        ASSERT_EQ(loaded.RemainCount(), e.RemainCount());
        Block again;
        std::copy(saved.begin(), saved.end(), again.begin());
        loaded.Save(again);
        ASSERT_TRUE(std::equal(again.begin(), again.end(), saved.begin())) << "round " << round;
    }
}

TEST_F(MacroEditor, AddEventRefusesWhatWouldBreakTheAlternation) {
    EXPECT_FALSE(editor.AddEvent(kDelayAfterRelease, 100, vk::kDelay));  // no key before it
    EXPECT_FALSE(editor.AddEvent(kKindPress, 0, vk::kClear));             // texts but no usage
    EXPECT_TRUE(editor.AddEvent(kKindPress, 0, 'A'));
    EXPECT_FALSE(editor.AddEvent(kKindRelease, 0, 'A'));  // where its delay belongs
    EXPECT_EQ(editor.CurKeyIndex(), 1);
}

TEST_F(MacroEditor, SelectedButtonStaysInsideTheRecord) {
    ProfileRecord r;
    r.bytes[record::kProfileNum] = 5;
    r.bytes[record::kButtonNum] = 7;
    EXPECT_EQ(SelectedButton(r.bytes, 4, 6).value().data(), r.data() + 1292 + 8 + 6 * 35);
    EXPECT_FALSE(SelectedButton(r.bytes, 0, -1) || SelectedButton(r.bytes, 5, 0) || SelectedButton(r.bytes, 0, 7));
    r.bytes[record::kButtonNum] = 200;            // a garbage count
    EXPECT_TRUE(SelectedButton(r.bytes, 0, 49));  // ends at byte 2037
    EXPECT_FALSE(SelectedButton(r.bytes, 0, 50));
}

}  // namespace macro_test
