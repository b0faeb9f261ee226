// The three key tables of the macro editor: the texts shown for a key going
// down ("v") or up ("^"), the virtual-key to HID-usage table used when a
// macro is stored, and its inverse used when a stored macro is read back.
// All four tables have 256 entries so that any byte indexes them safely.
#pragma once

#include <array>
#include <cstdint>

namespace macro {

// Virtual-key codes the macro code names (the portable core has no
// windows.h to take them from).
namespace vk {
inline constexpr std::uint8_t kClear = 0x0C;
inline constexpr std::uint8_t kReturn = 0x0D;
inline constexpr std::uint8_t kSnapshot = 0x2C;  // Print Screen
inline constexpr std::uint8_t kLeftWin = 0x5B;
inline constexpr std::uint8_t kRightWin = 0x5C;
inline constexpr std::uint8_t kApps = 0x5D;
inline constexpr std::uint8_t kDelay = 0xFF;     // delay events carry this key
}  // namespace vk

// HID usage ids with a meaning of their own in the key slots.
namespace usage {
inline constexpr std::uint8_t kEnd = 0x00;           // end of the macro
inline constexpr std::uint8_t kKeypadEnter = 0x58;   // read back as Return
inline constexpr std::uint8_t kContinuation = 0xFF;  // more delay for the key before
}  // namespace usage

// Label text of a key going down / up; "" for keys the editor does not know.
extern const std::array<const char*, 256> PressText;
extern const std::array<const char*, 256> ReleaseText;
// HID usage of a virtual key; 0 when the key cannot be recorded.
extern const std::array<std::uint8_t, 256> KeyToUsage;
// Virtual key of a HID usage; 0 (empty texts) for usages without a key.
extern const std::array<std::uint8_t, 256> UsageToKey;

// True for a key the recorder accepts: it has a usage and is not the delay
// marker (a key event carrying 0xFF would be stored as a continuation).
inline bool IsRecordable(std::uint8_t key) {
    return key != vk::kDelay && KeyToUsage[key] != 0;
}

}  // namespace macro
