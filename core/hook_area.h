// The shared hook area: the named section through which the program tells
// Merrowin.dll where to send input events, and the two messages the DLL
// sends back. The program creates and writes the section; the DLL only
// reads it.
//
// The section is named and writable by any process of the user, so a value
// read from it is never trusted: the window fields hold window handles (not
// addresses), and a reader checks each handle before using it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace hook_area {

inline constexpr char kSectionName[] = "GamingMouseHookDataArea";

// Layout of the section. Readers and writers go through a volatile view,
// because another process may change any field at any time; each field is
// read once into a local and checked there.
struct HookArea {
    std::uint64_t EditorWindow;     // the macro editor's window handle, 0 for none
    std::int32_t CaptureMode;       // 0 idle, 1 macro recording, 2 single-key recording
    std::int32_t Reserved;
    std::uint64_t LeftPanelWindow;  // the left panel's window handle, 0 for none
    std::uint8_t DragActive;        // 1 while a thumb of the left panel is dragged
};

inline constexpr std::size_t kEditorWindowOffset = 0;
inline constexpr std::size_t kCaptureModeOffset = 8;
inline constexpr std::size_t kReservedOffset = 12;
inline constexpr std::size_t kLeftPanelWindowOffset = 16;
inline constexpr std::size_t kDragActiveOffset = 24;
static_assert(offsetof(HookArea, EditorWindow) == kEditorWindowOffset);
static_assert(offsetof(HookArea, CaptureMode) == kCaptureModeOffset);
static_assert(offsetof(HookArea, Reserved) == kReservedOffset);
static_assert(offsetof(HookArea, LeftPanelWindow) == kLeftPanelWindowOffset);
static_assert(offsetof(HookArea, DragActive) == kDragActiveOffset);

// The size the program creates the section with: the whole structure, so
// that DragActive (offset 24) lies inside it.
inline constexpr std::size_t kSectionSize = sizeof(HookArea);
static_assert(kSectionSize >= kDragActiveOffset + 1);

// A window handle as stored in the area, and back. Handles are stored
// zero-extended to 64 bits.
inline std::uint64_t StoredWindow(std::uintptr_t handle) { return static_cast<std::uint64_t>(handle); }
inline std::uintptr_t WindowFromStored(std::uint64_t stored) { return static_cast<std::uintptr_t>(stored); }

// Messages from the DLL.
// MSG_HOOK_KEY to the macro editor: wParam the keyboard message (see
// IsHookKeyMessage), lParam see PackKeyParam.
inline constexpr unsigned MSG_HOOK_KEY = 0x464;
// MSG_HOOK_MOUSE to the left panel: wParam the mouse message (see
// IsHookMouseMessage), lParam see PackMouseParam.
inline constexpr unsigned MSG_HOOK_MOUSE = 0x465;

inline constexpr unsigned kWmKeyDown = 0x100;
inline constexpr unsigned kWmKeyUp = 0x101;
inline constexpr unsigned kWmSysKeyDown = 0x104;
inline constexpr unsigned kWmSysKeyUp = 0x105;
inline constexpr unsigned kWmMouseMove = 0x200;
inline constexpr unsigned kWmLButtonUp = 0x202;
inline constexpr unsigned kWmNcMouseMove = 0xA0;
inline constexpr unsigned kWmNcLButtonUp = 0xA2;

inline constexpr bool IsHookKeyMessage(std::uint64_t message) {
    return message == kWmKeyDown || message == kWmKeyUp || message == kWmSysKeyDown || message == kWmSysKeyUp;
}
inline constexpr bool IsHookMouseMessage(std::uint64_t message) {
    return message == kWmMouseMove || message == kWmLButtonUp || message == kWmNcMouseMove ||
           message == kWmNcLButtonUp;
}

// Key events: bits 0..7 the virtual key, bits 16..31 the milliseconds since
// the previous reported key event, at most 65535.
inline constexpr std::uint32_t kMaxElapsedMs = 0xFFFF;

struct KeyParam {
    std::uint8_t virtualKey;
    std::uint32_t elapsedMs;
};

inline constexpr std::uint32_t PackKeyParam(std::uint32_t virtualKey, std::uint32_t elapsedMs) {
    return (virtualKey & 0xFF) | (std::min(elapsedMs, kMaxElapsedMs) << 16);
}
// Only the low 32 bits of the message parameter carry the event.
inline constexpr KeyParam UnpackKeyParam(std::uint64_t lParam) {
    return {static_cast<std::uint8_t>(lParam & 0xFF), static_cast<std::uint32_t>((lParam >> 16) & 0xFFFF)};
}

// Mouse events: the cursor in screen pixels, x in bits 16..31 and y in bits
// 0..15, each a signed 16-bit value so that monitors left of or above the
// primary one (negative coordinates) survive. Coordinates beyond the 16-bit
// range are clamped rather than wrapped to the other side of the screen.
struct MouseParam {
    std::int32_t x;
    std::int32_t y;
};

inline constexpr std::uint16_t ClampToInt16(std::int32_t v) {
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767)));
}
inline constexpr std::uint32_t PackMouseParam(std::int32_t x, std::int32_t y) {
    return (static_cast<std::uint32_t>(ClampToInt16(x)) << 16) | ClampToInt16(y);
}
inline constexpr MouseParam UnpackMouseParam(std::uint64_t lParam) {
    return {static_cast<std::int16_t>((lParam >> 16) & 0xFFFF), static_cast<std::int16_t>(lParam & 0xFFFF)};
}

// Milliseconds from tick `since` to tick `now` of the system's 32-bit
// millisecond counter, across its wrap-around every 49.7 days. A `now` up to
// a minute before `since` (an event stamped just before the clock started)
// gives 0 instead of a gap of almost 49.7 days.
inline constexpr std::uint32_t kEarlyWindowMs = 60000;
inline constexpr std::uint32_t ElapsedMs(std::uint32_t since, std::uint32_t now) {
    const std::uint32_t difference = now - since;
    return difference > 0xFFFFFFFFu - kEarlyWindowMs ? 0 : difference;
}

// The time base of MSG_HOOK_KEY: the time of the previous reported key event,
// or of InitKeyboard before the first one. Key events that are not reported
// (CaptureMode 0, no valid editor window) leave it alone, so a reported delay
// always spans the time since the last event the editor saw.
class KeyClock {
public:
    void Start(std::uint32_t now) { base_ = now; }
    // The delay of an event reported at `eventTime`, which becomes the new
    // base. An event stamped before the base does not move it back.
    std::uint32_t Report(std::uint32_t eventTime) {
        const std::uint32_t elapsed = ElapsedMs(base_, eventTime);
        base_ += elapsed;
        return elapsed;
    }

private:
    std::uint32_t base_ = 0;
};

}  // namespace hook_area
