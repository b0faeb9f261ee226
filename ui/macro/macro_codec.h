// The byte encoding of a macro in the 16 key slots of a button block.
//
// A step is a key going down or up followed by a delay. Its key entry holds
// the HID usage and, in the companion byte, the press bit and the first part
// of the delay; each further part of the delay takes a continuation slot
// (usage 0xFF). A part is a count of 0..63 in a 10 ms or a 500 ms base.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "profile_store/record/profile_record.h"

namespace macro {

inline constexpr std::size_t kKeySlotBytes = record::kKeySlotCount * record::kKeySlotSize;  // 32

using KeySlots = std::span<unsigned char, kKeySlotBytes>;
using ConstKeySlots = std::span<const unsigned char, kKeySlotBytes>;
using ButtonBlock = std::span<unsigned char, record::kButtonSize>;
using ConstButtonBlock = std::span<const unsigned char, record::kButtonSize>;

// Bits of a key slot's companion byte (Usage).
inline constexpr std::uint8_t kPressBit = 0x80;
inline constexpr std::uint8_t kHalfSecondBase = 0x40;
inline constexpr std::uint8_t kCountMask = 0x3F;
inline constexpr std::uint8_t kLargestEncodedCount = 60;

struct DelayPart {
    bool halfSeconds;     // base 500 ms, else 10 ms
    std::uint8_t count;   // 0..63
    std::uint32_t Milliseconds() const { return count * (halfSeconds ? 500u : 10u); }
    bool operator==(const DelayPart&) const = default;
};

struct MacroStep {
    std::uint8_t key = 0;      // virtual key (UsageToKey of usageID when decoded)
    std::uint8_t usageID = 0;  // what the key entry stores
    bool press = false;
    std::uint32_t delay = 0;   // milliseconds
    // A decoded step's companion bytes as stored: its key entry's, then its
    // continuations'. The encoder writes them back as long as they still
    // give the step's press and delay, so stored data the encoder would cut
    // differently (a count of 61..63) keeps its bytes and its size.
    std::vector<std::uint8_t> stored;
    // Steps are equal when they mean the same: how they are stored is not
    // part of it.
    bool operator==(const MacroStep& o) const {
        return key == o.key && usageID == o.usageID && press == o.press && delay == o.delay;
    }
};

// A step for a virtual key; its usage comes from the key table.
MacroStep StepForKey(std::uint8_t key, bool press, std::uint32_t delay);

// The delay rounded down to 10 ms, cut into hundredths, seconds and minutes
// parts in that order. A delay under 10 ms has no parts.
std::vector<DelayPart> SplitDelay(std::uint32_t delay);
std::size_t DelayPartCount(std::uint32_t delay);

// Bytes of key slots a delay costs beyond its key's usage byte: one for the
// first part (it shares the key's slot) and two for each further part. A
// zero delay still occupies the key's companion byte and so costs 1, which
// keeps "free bytes = 32 - 2 x slots used" exact.
int DelaySize(std::uint32_t delay);

// Slots a step takes: one per delay part, at least one.
std::size_t StepSlots(std::uint32_t delay);
// The same for a step, counting its stored encoding when it is kept.
std::size_t StepSlots(const MacroStep& step);
// The stored encoding is still the step's: its sum is the delay and its
// first byte carries the step's press bit.
bool KeepsStoredEncoding(const MacroStep& step);
// DelaySize of the step's delay as it will be stored.
int DelaySize(const MacroStep& step);

// Clears the 32 bytes and writes the steps in order; returns the number of
// slots used. A step whose usage cannot stand in a key entry (0 ends the
// macro, 0xFF is a continuation) is left out. Steps that do not fit the 16
// slots are never cut: nothing is written and the result is empty.
std::optional<std::size_t> EncodeMacro(std::span<const MacroStep> steps, KeySlots slots);

// Reads steps from slot 0 until a usage of 0 or the end of the 16 slots;
// a continuation with no key before it is skipped.
std::vector<MacroStep> DecodeMacro(ConstKeySlots slots);

inline KeySlots SlotsOf(ButtonBlock b) { return b.subspan<record::kKeySlots, kKeySlotBytes>(); }
inline ConstKeySlots SlotsOf(ConstButtonBlock b) { return b.subspan<record::kKeySlots, kKeySlotBytes>(); }

}  // namespace macro
