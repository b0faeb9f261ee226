// libFuzzer target over the macro decoder: the 32 key-slot bytes come from
// the mouse or from a profile file, so any value can reach it. Decoding must
// stay within the slots and give steps the encoder can take back; encoding
// them writes nothing beyond the 32 bytes.
#include <algorithm>
#include <array>
#include <optional>
#include <cstdint>
#include <cstring>
#include <vector>

#include "ui/macro/key_tables.h"
#include "ui/macro/macro_codec.h"

namespace {

void Require(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::array<unsigned char, macro::kKeySlotBytes> slots{};
    std::memcpy(slots.data(), data, std::min(size, slots.size()));
    const std::vector<macro::MacroStep> steps = macro::DecodeMacro(macro::ConstKeySlots(slots));

    Require(steps.size() <= 16);
    for (const macro::MacroStep& s : steps) {
        // A key entry is never the end mark or a continuation, and its
        // delay is at most 16 slots of the largest count.
        Require(s.usageID != macro::usage::kEnd && s.usageID != macro::usage::kContinuation);
        Require(s.key == macro::UsageToKey[s.usageID]);
        Require(s.delay <= 16u * 63u * 500u);
        Require(macro::DelaySize(s.delay) >= 0);
        Require(macro::StepSlots(s.delay) >= 1);
    }

    // The steps encoded again into slots with guard bytes around them.
    std::array<unsigned char, macro::kKeySlotBytes + 16> guarded;
    guarded.fill(0x5A);
    // Decoded steps keep their stored encoding, so they always fit again.
    const std::optional<std::size_t> used =
        macro::EncodeMacro(steps, macro::KeySlots(guarded.data() + 8, macro::kKeySlotBytes));
    Require(used.has_value() && *used <= 16);
    for (std::size_t i = 0; i < 8; ++i) Require(guarded[i] == 0x5A && guarded[8 + macro::kKeySlotBytes + i] == 0x5A);
    // What was encoded decodes to steps of the same stored usages, in order
    // (a decoded step keeps the usage it was read with).
    const std::vector<macro::MacroStep> again =
        macro::DecodeMacro(macro::ConstKeySlots(guarded.data() + 8, macro::kKeySlotBytes));
    Require(again.size() <= steps.size());
    for (std::size_t i = 0; i < again.size(); ++i)
        Require(again[i].usageID == steps[i].usageID && again[i].press == steps[i].press);
    return 0;
}
