// The macro editor's state and rules without its window: the key buffer of
// up to 32 events (key events at even positions, each followed by its delay
// event), the free-byte count, recording from hook messages, the label
// layout, loading from and saving to a button block, the two click flags and
// the selection that drives the delay dialog.
//
// One instance lives while the editor window is open; the window forwards
// its commands and hook messages here and redraws from the getters.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/hook_area.h"
#include "ui/macro/delay_dialog.h"
#include "ui/macro/macro_codec.h"

namespace macro {

// The keyboard messages the hook component forwards with MSG_HOOK_KEY.
using hook_area::kWmKeyDown;
using hook_area::kWmKeyUp;
using hook_area::kWmSysKeyDown;
using hook_area::kWmSysKeyUp;

// Kind bits of a key-buffer event.
inline constexpr std::uint8_t kKindPress = 0x80;
inline constexpr std::uint8_t kKindRelease = 0x40;
inline constexpr std::uint8_t kKindDelay = 0x20;
inline constexpr std::uint8_t kDelayAfterPress = kKindDelay | kKindPress;      // 0xA0
inline constexpr std::uint8_t kDelayAfterRelease = kKindDelay | kKindRelease;  // 0x60

struct KeyEvent {
    std::uint8_t Key = 0;   // virtual key; 0xFF for a delay
    std::uint8_t Kind = 0;
    // The usage Save stores for a key event: the key table's usage, or the
    // stored usage of a loaded key that has no virtual key.
    std::uint8_t UsageID = 0;
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    std::int32_t Minutes = 0, Seconds = 0, Milliseconds = 0;
    bool operator==(const KeyEvent&) const = default;
};

inline constexpr int kKeyBufferSize = 32;
inline constexpr int kInitialRemainCount = 31;

// Label layout in editor client pixels.
inline constexpr int kLeftMargin = 143;
inline constexpr int kFirstLine = 35;
inline constexpr int kRightLimit = 270;
inline constexpr int kLineGap = 4;

// Label control ids by key-buffer slot.
inline constexpr std::array<int, kKeyBufferSize> kLabelIds = {
    1008, 1009, 1027, 1026, 1013, 1012, 1015, 1014, 1017, 1016, 1019, 1018, 1021, 1020, 1023, 1022,
    1011, 1010, 1029, 1028, 1031, 1030, 1033, 1032, 1035, 1034, 1038, 1037, 1040, 1039, 1042, 1041};
// The slot of a label id, -1 for other ids.
int LabelSlot(int controlId);

enum class EditorMode { Macro = 1, SingleKey = 2 };

// A text's extent in the editor's 13-pixel font, measured by the view.
struct TextExtent {
    int width = 0;
    int height = 0;
};
using MeasureText = std::function<TextExtent(const char*)>;

std::string RemainText(int remainCount);  // "%02d" of RemainCount + 1
// "%d min" when minutes are not 0, then "%.2f sec ".
std::string DelayTooltip(int minutes, int seconds, int milliseconds);
// The label text of an event: its key's press or release text, "<tm>" for
// a delay, "?XX v" / "?XX ^" for a loaded usage XX without a key, "" for a
// free slot.
std::string EventText(const KeyEvent& e);
DelayValue DelayOf(const KeyEvent& e);

class MacroEditor {
public:
    // Measures every press text once: label widths and LineHeight.
    MacroEditor(EditorMode mode, MeasureText measure);

    EditorMode Mode() const { return mode_; }

    // Empties the key buffer, the flags, the selection and any dropped
    // press; RemainCount back to 31 and the layout back to its first line.
    void Reset();
    // Appends one event; false when nothing was added (unknown kind, a key
    // without texts or usage, a full buffer, or a kind that would break the
    // key/delay alternation).
    bool AddEvent(std::uint8_t kind, std::uint32_t delay, std::uint8_t key);
    // True when a delay of d ms still leaves room for one key event.
    bool DelayFits(std::uint32_t d) const;

    void Load(ConstButtonBlock block);
    // Writes the key slots, FunExt and the two flag bits of FunID. A loaded
    // macro whose steps were not changed is written back byte for byte.
    // Refused (false, the block untouched) while recording and when the
    // steps no longer fit the key slots.
    bool Save(ButtonBlock block) const;

    // Recording. StartRecording returns true when the delay dialog has to
    // be closed (an event was selected).
    bool StartRecording();
    void StopRecording();
    bool Recording() const { return captureMode_ != 0; }
    // The value for the hook area's CaptureMode: 0, or the mode recording.
    unsigned CaptureMode() const { return captureMode_; }
    // One MSG_HOOK_KEY; returns the handler's result, 1.
    int OnHookKey(unsigned message, std::uint8_t key, unsigned elapsed);

    // Apply, Cancel and View do nothing while recording.
    bool Idle() const { return !Recording(); }

    // The Continue and Toggle check boxes; each click toggles its own box
    // and clears the other. While recording neither box nor flag changes.
    void ClickContinue();
    void ClickToggle();
    bool ContinueChecked() const { return continueChecked_; }
    bool ToggleChecked() const { return toggleChecked_; }

    // Label clicks and what the delay dialog must do about them.
    DelayDialogRequest ClickDelayLabel(int slot);
    DelayDialogRequest ClickKeyLabel();
    // A slider moved in the delay dialog: applied to the selected delay.
    SliderChange MoveSlider(Slider s, int position);

    const std::array<KeyEvent, kKeyBufferSize>& KeyBuffer() const { return buffer_; }
    int CurKeyIndex() const { return curKeyIndex_; }
    int RemainCount() const { return remainCount_; }
    bool ContinueClickFlag() const { return continueClickFlag_; }
    bool ToggleClickFlag() const { return toggleClickFlag_; }
    std::uint8_t SingleKeyCode() const { return singleKeyCode_; }
    // A dropped press whose release is still to be dropped.
    bool SwallowRelease() const { return swallowed_.any(); }
    int SelectedTimeIndex() const { return selectedTimeIndex_; }
    int LineHeight() const { return lineHeight_; }

    std::string RemainText() const { return macro::RemainText(remainCount_); }
    // Text and tooltip of the label of a slot; the labels of slots
    // 0..CurKeyIndex-1 are shown at their events' rectangles.
    std::string LabelText(int slot) const;
    std::string LabelTooltip(int slot) const;

private:
    bool Add(std::uint8_t kind, std::uint32_t delay, std::uint8_t key, std::uint8_t usageID, int width);
    int LabelWidth(std::uint8_t key) const { return keyWidth_[key]; }
    TextExtent Measure(const char* text) const;
    void RecordMacro(bool press, std::uint8_t key, std::uint32_t d);
    void RecordSingleKey(bool press, std::uint8_t key, std::uint32_t d);
    bool ValidDelaySlot(int slot) const;
    // The key buffer as macro steps, with the stored encodings kept.
    std::vector<MacroStep> Steps() const;

    // What Load found, so that an unchanged macro is saved as it came.
    struct Loaded {
        std::vector<MacroStep> steps;
        std::array<unsigned char, kKeySlotBytes> slots{};
        std::uint8_t funExt = 0;
    };

    EditorMode mode_;
    MeasureText measure_;
    std::array<int, 256> keyWidth_{};
    int delayWidth_ = 0;
    int lineHeight_ = 0;

    std::array<KeyEvent, kKeyBufferSize> buffer_{};
    int curKeyIndex_ = 0;
    int remainCount_ = kInitialRemainCount;
    int x_ = kLeftMargin, y_ = kFirstLine;
    bool continueClickFlag_ = false, toggleClickFlag_ = false;
    bool continueChecked_ = false, toggleChecked_ = false;
    unsigned captureMode_ = 0;
    std::uint8_t singleKeyCode_ = 0;
    std::bitset<256> swallowed_;  // keys whose press was dropped for lack of room
    int selectedTimeIndex_ = -1;
    // The stored companion bytes of each loaded delay event, until it is
    // changed.
    std::array<std::vector<std::uint8_t>, kKeyBufferSize> stored_{};
    std::optional<Loaded> loaded_;
};

// The button block of a profile's button slot in a record, or nothing when
// the profile or button is out of range or the block would not lie wholly
// inside the record (g_nSelButton is -1 after a profile switch).
std::optional<ButtonBlock> SelectedButton(std::span<unsigned char, record::kSize> rec, int profile, int button);

}  // namespace macro
