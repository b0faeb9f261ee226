#include "ui/macro/macro_editor.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ui/macro/key_tables.h"

namespace macro {

namespace {
constexpr std::uint32_t kClosingDelayMs = 20;
constexpr std::uint32_t kShortestGapMs = 10;

std::string UnknownKeyText(std::uint8_t usageID, bool press) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "?%02X %s", usageID, press ? "v" : "^");
    return buf;
}
}  // namespace

int LabelSlot(int controlId) {
    const auto it = std::find(kLabelIds.begin(), kLabelIds.end(), controlId);
    return it == kLabelIds.end() ? -1 : static_cast<int>(it - kLabelIds.begin());
}

std::string RemainText(int remainCount) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", remainCount + 1);
    return buf;
}

std::string DelayTooltip(int minutes, int seconds, int milliseconds) {
    char buf[64];
    int n = 0;
    if (minutes != 0) n = std::snprintf(buf, sizeof buf, "%d min", minutes);
    std::snprintf(buf + n, sizeof buf - n, "%.2f sec ", seconds + milliseconds / 1000.0);
    return buf;
}

std::string EventText(const KeyEvent& e) {
    const bool press = (e.Kind & kKindPress) != 0;
    if (e.Key == 0 && e.UsageID != 0) return UnknownKeyText(e.UsageID, press);
    return press ? PressText[e.Key] : ReleaseText[e.Key];
}

DelayValue DelayOf(const KeyEvent& e) {
    return {e.Minutes, e.Seconds, e.Milliseconds / 10};
}

MacroEditor::MacroEditor(EditorMode mode, MeasureText measure) : mode_(mode), measure_(std::move(measure)) {
    for (int k = 0; k < 256; ++k) {
        if (*PressText[k] == '\0') continue;
        const TextExtent ext = Measure(PressText[k]);
        keyWidth_[k] = ext.width + 2;
        lineHeight_ = std::max(lineHeight_, ext.height);
    }
    delayWidth_ = Measure(PressText[vk::kDelay]).width;
}

TextExtent MacroEditor::Measure(const char* text) const {
    return measure_ ? measure_(text) : TextExtent{};
}

void MacroEditor::Reset() {
    x_ = kLeftMargin;
    y_ = kFirstLine;
    curKeyIndex_ = 0;
    buffer_.fill(KeyEvent{});
    remainCount_ = kInitialRemainCount;
    continueClickFlag_ = toggleClickFlag_ = false;
    continueChecked_ = toggleChecked_ = false;
    // A swallowed press of an earlier recording must not drop a release of
    // the next one, and a selection cannot outlive the events.
    swallowed_.reset();
    singleKeyCode_ = 0;
    selectedTimeIndex_ = -1;
    for (auto& stored : stored_) stored.clear();
    loaded_.reset();
}

bool MacroEditor::AddEvent(std::uint8_t kind, std::uint32_t delay, std::uint8_t key) {
    if (*PressText[key] == '\0' || *ReleaseText[key] == '\0') return false;
    if (!(kind & kKindDelay) && KeyToUsage[key] == 0) return false;  // it would end the stored macro
    return Add(kind, delay, key, KeyToUsage[key], (kind & kKindDelay) ? delayWidth_ : LabelWidth(key));
}

bool MacroEditor::Add(std::uint8_t kind, std::uint32_t delay, std::uint8_t key, std::uint8_t usageID, int width) {
    const bool isDelay = (kind & kKindDelay) != 0;
    if (!isDelay && !(kind & (kKindPress | kKindRelease))) return false;
    if (curKeyIndex_ >= kKeyBufferSize) return false;
    // Keys stand at even positions, their delays at the odd ones after them.
    if (isDelay != (curKeyIndex_ % 2 == 1)) return false;
    if (isDelay && key != vk::kDelay) return false;

    if (x_ + width > kRightLimit) {
        x_ = kLeftMargin;
        y_ += lineHeight_ + kLineGap;
    }
    KeyEvent& e = buffer_[curKeyIndex_];
    e = KeyEvent{};
    e.Key = key;
    e.Kind = kind;
    e.UsageID = usageID;
    e.Left = x_;
    e.Top = y_;
    e.Right = x_ + width;
    e.Bottom = y_ + lineHeight_;
    x_ = e.Right + 1;
    if (isDelay) {
        const std::uint32_t t = delay - delay % 10;
        e.Minutes = static_cast<std::int32_t>(t / 60000);
        e.Seconds = static_cast<std::int32_t>((t / 1000) % 60);
        e.Milliseconds = static_cast<std::int32_t>(t % 1000);
        remainCount_ -= DelaySize(t);
    } else {
        remainCount_ -= 1;
    }
    ++curKeyIndex_;
    return true;
}

bool MacroEditor::DelayFits(std::uint32_t d) const {
    return remainCount_ - DelaySize(d) >= 1;
}

void MacroEditor::Load(ConstButtonBlock block) {
    Reset();
    for (const MacroStep& step : DecodeMacro(SlotsOf(block))) {
        const std::uint8_t kind = step.press ? kKindPress : kKindRelease;
        bool added;
        if (step.key != 0) {
            added = AddEvent(kind, 0, step.key);
        } else {
            // A usage without a key keeps its place and its stored usage,
            // so the key/delay alternation holds and Save writes it back.
            const std::string text = UnknownKeyText(step.usageID, step.press);
            added = Add(kind, 0, 0, step.usageID, Measure(text.c_str()).width + 2);
        }
        if (added && AddEvent(kKindDelay | kind, step.delay, vk::kDelay)) {
            // The delay costs what its stored encoding takes, which may be
            // less than a fresh one (counts of 61..63).
            stored_[curKeyIndex_ - 1] = step.stored;
            remainCount_ += DelaySize(step.delay) - DelaySize(step);
        }
    }
    const record::FunId funID = record::FunIdOf(block.data());
    continueClickFlag_ = continueChecked_ = funID.ContinueClick();
    toggleClickFlag_ = toggleChecked_ = funID.ToggleClick();
    Loaded loaded;
    loaded.steps = Steps();
    std::copy(block.begin() + record::kKeySlots, block.begin() + record::kKeySlots + kKeySlotBytes,
              loaded.slots.begin());
    loaded.funExt = block[record::kFunExt];
    loaded_ = std::move(loaded);
}

std::vector<MacroStep> MacroEditor::Steps() const {
    std::vector<MacroStep> steps;
    for (int i = 0; i < curKeyIndex_; i += 2) {
        const KeyEvent& key = buffer_[i];
        MacroStep step{key.Key, key.UsageID, (key.Kind & kKindPress) != 0, 0, {}};
        if (i + 1 < curKeyIndex_ && (buffer_[i + 1].Kind & kKindDelay)) {
            const KeyEvent& d = buffer_[i + 1];
            step.delay = static_cast<std::uint32_t>(std::max(d.Minutes, 0)) * 60000u +
                         static_cast<std::uint32_t>(std::max(d.Seconds, 0)) * 1000u +
                         static_cast<std::uint32_t>(std::max(d.Milliseconds, 0));
            step.stored = stored_[i + 1];
        }
        steps.push_back(step);
    }
    return steps;
}

bool MacroEditor::Save(ButtonBlock block) const {
    if (Recording()) return false;
    const std::vector<MacroStep> steps = Steps();
    if (loaded_ && steps == loaded_->steps) {
        // Unchanged: the key slots and FunExt go back exactly as they came,
        // including whatever the decoder skipped.
        std::copy(loaded_->slots.begin(), loaded_->slots.end(), block.begin() + record::kKeySlots);
        block[record::kFunExt] = loaded_->funExt;
    } else {
        std::array<unsigned char, kKeySlotBytes> slots{};
        const std::optional<std::size_t> used = EncodeMacro(steps, slots);
        if (!used) return false;  // never cut: the block keeps its macro
        std::copy(slots.begin(), slots.end(), block.begin() + record::kKeySlots);
        block[record::kFunExt] = static_cast<unsigned char>(2 * *used);
    }
    record::SetFunId(block.data(), record::FunIdOf(block.data()).WithClickFlags(continueClickFlag_, toggleClickFlag_));
    return true;
}

bool MacroEditor::StartRecording() {
    const bool closeDelayDialog = selectedTimeIndex_ != -1;
    Reset();
    captureMode_ = static_cast<unsigned>(mode_);
    return closeDelayDialog;
}

void MacroEditor::StopRecording() {
    if (!Recording()) return;
    const bool singleKey = captureMode_ == static_cast<unsigned>(EditorMode::SingleKey);
    captureMode_ = 0;
    if (curKeyIndex_ == 0) return;
    if (singleKey && curKeyIndex_ == 1) {  // the release never came
        AddEvent(kDelayAfterPress, kClosingDelayMs, vk::kDelay);
        AddEvent(kKindRelease, 0, buffer_[0].Key);
    }
    AddEvent(kDelayAfterRelease, kClosingDelayMs, vk::kDelay);
}

int MacroEditor::OnHookKey(unsigned message, std::uint8_t key, unsigned elapsed) {
    if (!Recording()) return 1;
    bool press;
    if (message == kWmKeyDown || message == kWmSysKeyDown) press = true;
    else if (message == kWmKeyUp || message == kWmSysKeyUp) press = false;
    else return 1;
    if (!IsRecordable(key)) return 1;
    const std::uint32_t d = std::max<std::uint32_t>(elapsed, kShortestGapMs);
    if (mode_ == EditorMode::SingleKey) RecordSingleKey(press, key, d);
    else RecordMacro(press, key, d);
    return 1;
}

void MacroEditor::RecordMacro(bool press, std::uint8_t key, std::uint32_t d) {
    constexpr int kLastKeySlot = kKeyBufferSize - 1;
    if (!press && swallowed_.test(key)) {
        // The press of this key was dropped for lack of room; so is its
        // release. A release of another key is still recorded.
        swallowed_.reset(key);
        return;
    }
    if (curKeyIndex_ >= kLastKeySlot) return;
    if (curKeyIndex_ > 0) {
        if (!DelayFits(d)) {
            if (press) swallowed_.set(key);
            return;
        }
        AddEvent(press ? kDelayAfterRelease : kDelayAfterPress, d, vk::kDelay);
    }
    if (curKeyIndex_ < kLastKeySlot && remainCount_ >= 1) {
        // A repeat of a swallowed press that got in owns the release again.
        if (AddEvent(press ? kKindPress : kKindRelease, 0, key) && press) swallowed_.reset(key);
    }
}

void MacroEditor::RecordSingleKey(bool press, std::uint8_t key, std::uint32_t d) {
    if (press) {
        if (curKeyIndex_ != 0) return;
        singleKeyCode_ = key;
        AddEvent(kKindPress, 0, key);
        return;
    }
    if (curKeyIndex_ != 1 || !DelayFits(d) || key != singleKeyCode_) return;
    AddEvent(kDelayAfterPress, d, vk::kDelay);
    AddEvent(kKindRelease, 0, key);
}

void MacroEditor::ClickContinue() {
    if (Recording()) return;
    continueChecked_ = !continueChecked_;
    if (toggleChecked_) {
        toggleChecked_ = false;
        toggleClickFlag_ = false;
    }
    continueClickFlag_ = continueChecked_;
}

void MacroEditor::ClickToggle() {
    if (Recording()) return;
    toggleChecked_ = !toggleChecked_;
    if (continueChecked_) {
        continueChecked_ = false;
        continueClickFlag_ = false;
    }
    toggleClickFlag_ = toggleChecked_;
}

bool MacroEditor::ValidDelaySlot(int slot) const {
    return slot >= 0 && slot < curKeyIndex_ && slot % 2 == 1 && (buffer_[slot].Kind & kKindDelay);
}

DelayDialogRequest MacroEditor::ClickDelayLabel(int slot) {
    if (Recording() || !ValidDelaySlot(slot)) return DelayDialogRequest::None;
    if (selectedTimeIndex_ == -1) {
        selectedTimeIndex_ = slot;
        return DelayDialogRequest::Open;
    }
    if (selectedTimeIndex_ == slot) {
        selectedTimeIndex_ = -1;
        return DelayDialogRequest::Close;
    }
    selectedTimeIndex_ = slot;
    return DelayDialogRequest::Switch;
}

DelayDialogRequest MacroEditor::ClickKeyLabel() {
    if (selectedTimeIndex_ == -1) return DelayDialogRequest::None;
    selectedTimeIndex_ = -1;
    return DelayDialogRequest::Close;
}

SliderChange MacroEditor::MoveSlider(Slider s, int position) {
    if (!ValidDelaySlot(selectedTimeIndex_))
        return {SliderChange::Refused, DelayValue{}, remainCount_, position};
    KeyEvent& e = buffer_[selectedTimeIndex_];
    // The delay's cost is what it takes now, its stored encoding included;
    // an accepted change is stored afresh.
    std::vector<std::uint8_t>& stored = stored_[selectedTimeIndex_];
    const std::vector<MacroStep> steps = Steps();
    const MacroStep& step = steps[selectedTimeIndex_ / 2];
    const SliderChange change = ChangeSlider(DelayOf(e), s, position, remainCount_, DelaySize(step));
    if (change.outcome == SliderChange::Accepted) {
        stored.clear();
        remainCount_ = change.remainCount;
        e.Minutes = change.value.minutes;
        e.Seconds = change.value.seconds;
        e.Milliseconds = change.value.hundredths * 10;
    }
    return change;
}

std::string MacroEditor::LabelText(int slot) const {
    if (slot < 0 || slot >= curKeyIndex_) return "";
    return EventText(buffer_[slot]);
}

std::string MacroEditor::LabelTooltip(int slot) const {
    if (slot < 0 || slot >= curKeyIndex_ || !(buffer_[slot].Kind & kKindDelay)) return "";
    const KeyEvent& e = buffer_[slot];
    return DelayTooltip(e.Minutes, e.Seconds, e.Milliseconds);
}

std::optional<ButtonBlock> SelectedButton(std::span<unsigned char, record::kSize> rec, int profile, int button) {
    const unsigned char* r = rec.data();
    if (profile < 0 || button < 0) return std::nullopt;
    if (static_cast<unsigned>(profile) >= record::ProfileNum(r) || static_cast<unsigned>(button) >= record::ButtonNum(r))
        return std::nullopt;
    const std::size_t at = record::ButtonOffset(r, static_cast<std::size_t>(profile), static_cast<std::size_t>(button));
    if (at + record::kButtonSize > record::kSize) return std::nullopt;
    return rec.subspan(at).first<record::kButtonSize>();
}

}  // namespace macro
