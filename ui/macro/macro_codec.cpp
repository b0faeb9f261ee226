#include "ui/macro/macro_codec.h"

#include "ui/macro/key_tables.h"

namespace macro {

MacroStep StepForKey(std::uint8_t key, bool press, std::uint32_t delay) {
    return MacroStep{key, KeyToUsage[key], press, delay, {}};
}

namespace {

struct DelayFields {
    std::uint32_t minutes, seconds, hundredths;
};

DelayFields FieldsOf(std::uint32_t delay) {
    const std::uint32_t t = delay - delay % 10;
    return {t / 60000, (t / 1000) % 60, (t % 1000) / 10};
}

// Calls emit(part) for each part in storage order and stops early when emit
// returns false.
template <typename Emit>
void ForEachPart(std::uint32_t delay, Emit emit) {
    const DelayFields f = FieldsOf(delay);
    if (f.hundredths > 50) {
        if (!emit(DelayPart{false, 50})) return;
        if (!emit(DelayPart{false, static_cast<std::uint8_t>(f.hundredths - 50)})) return;
    } else if (f.hundredths > 0) {
        if (!emit(DelayPart{false, static_cast<std::uint8_t>(f.hundredths)})) return;
    }
    if (f.seconds > 30) {
        if (!emit(DelayPart{true, kLargestEncodedCount})) return;
        if (!emit(DelayPart{true, static_cast<std::uint8_t>(2 * (f.seconds - 30))})) return;
    } else if (f.seconds > 0) {
        if (!emit(DelayPart{true, static_cast<std::uint8_t>(2 * f.seconds)})) return;
    }
    for (std::uint32_t m = 0; m < 2 * f.minutes; ++m)
        if (!emit(DelayPart{true, kLargestEncodedCount})) return;
}

std::uint8_t PartBits(const DelayPart& p) {
    return static_cast<std::uint8_t>((p.halfSeconds ? kHalfSecondBase : 0) | (p.count & kCountMask));
}

}  // namespace

std::vector<DelayPart> SplitDelay(std::uint32_t delay) {
    std::vector<DelayPart> parts;
    ForEachPart(delay, [&](const DelayPart& p) {
        parts.push_back(p);
        return true;
    });
    return parts;
}

std::size_t DelayPartCount(std::uint32_t delay) {
    const DelayFields f = FieldsOf(delay);
    std::size_t n = 2 * static_cast<std::size_t>(f.minutes);
    n += f.hundredths > 50 ? 2 : f.hundredths > 0 ? 1 : 0;
    n += f.seconds > 30 ? 2 : f.seconds > 0 ? 1 : 0;
    return n;
}

int DelaySize(std::uint32_t delay) {
    return static_cast<int>(2 * StepSlots(delay) - 1);
}

std::size_t StepSlots(std::uint32_t delay) {
    const std::size_t parts = DelayPartCount(delay);
    return parts == 0 ? 1 : parts;
}

bool KeepsStoredEncoding(const MacroStep& step) {
    if (step.stored.empty() || step.stored.size() > record::kKeySlotCount) return false;
    if (((step.stored[0] & kPressBit) != 0) != step.press) return false;
    std::uint32_t sum = 0;
    for (const std::uint8_t u : step.stored)
        sum += DelayPart{(u & kHalfSecondBase) != 0, static_cast<std::uint8_t>(u & kCountMask)}.Milliseconds();
    return sum == step.delay;
}

std::size_t StepSlots(const MacroStep& step) {
    return KeepsStoredEncoding(step) ? step.stored.size() : StepSlots(step.delay);
}

int DelaySize(const MacroStep& step) {
    return static_cast<int>(2 * StepSlots(step) - 1);
}

std::optional<std::size_t> EncodeMacro(std::span<const MacroStep> steps, KeySlots slots) {
    const auto storable = [](const MacroStep& step) {
        return step.usageID != usage::kEnd && step.usageID != usage::kContinuation;
    };
    std::size_t needed = 0;
    for (const MacroStep& step : steps)
        if (storable(step)) needed += StepSlots(step);
    if (needed > record::kKeySlotCount) return std::nullopt;

    for (unsigned char& b : slots) b = 0;
    std::size_t used = 0;
    const auto next = [&]() { return slots.data() + record::kKeySlotSize * used++; };
    for (const MacroStep& step : steps) {
        if (!storable(step)) continue;
        unsigned char* entry = next();
        entry[0] = step.usageID;
        if (KeepsStoredEncoding(step)) {
            entry[1] = step.stored[0];
            for (std::size_t i = 1; i < step.stored.size(); ++i) {
                unsigned char* cont = next();
                cont[0] = usage::kContinuation;
                cont[1] = step.stored[i];
            }
            continue;
        }
        entry[1] = step.press ? kPressBit : 0;
        bool first = true;
        ForEachPart(step.delay, [&](const DelayPart& p) {
            if (first) {
                entry[1] |= PartBits(p);
                first = false;
                return true;
            }
            unsigned char* cont = next();
            cont[0] = usage::kContinuation;
            cont[1] = PartBits(p);
            return true;
        });
    }
    return used;
}

std::vector<MacroStep> DecodeMacro(ConstKeySlots slots) {
    std::vector<MacroStep> steps;
    const auto usageAt = [&](std::size_t i) { return slots[record::kKeySlotSize * i]; };
    const auto delayAt = [&](std::size_t i) {
        const std::uint8_t u = slots[record::kKeySlotSize * i + 1];
        return DelayPart{(u & kHalfSecondBase) != 0, static_cast<std::uint8_t>(u & kCountMask)}.Milliseconds();
    };
    std::size_t i = 0;
    while (i < record::kKeySlotCount && usageAt(i) != usage::kEnd) {
        if (usageAt(i) == usage::kContinuation) {  // no key before it
            ++i;
            continue;
        }
        MacroStep step;
        step.usageID = usageAt(i);
        step.key = UsageToKey[step.usageID];
        step.press = (slots[record::kKeySlotSize * i + 1] & kPressBit) != 0;
        step.delay = delayAt(i);
        step.stored.push_back(slots[record::kKeySlotSize * i + 1]);
        for (++i; i < record::kKeySlotCount && usageAt(i) == usage::kContinuation; ++i) {
            step.delay += delayAt(i);
            step.stored.push_back(slots[record::kKeySlotSize * i + 1]);
        }
        steps.push_back(step);
    }
    return steps;
}

}  // namespace macro
