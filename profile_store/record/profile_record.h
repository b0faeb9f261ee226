// The profile record: the 2070-byte packed little-endian buffer that the
// program and the profile library exchange. Every position is computed from
// the record's own ButtonNum (and ProfileNum for the extent), so these
// helpers take the raw bytes rather than a compiler-laid structure.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace record {

inline constexpr std::size_t kSize = 2070;

// Device section.
inline constexpr std::size_t kVendorID = 0;            // u16
inline constexpr std::size_t kProductID = 2;           // u16
inline constexpr std::size_t kType = 4;                // char[10]
inline constexpr std::size_t kTypeSize = 10;
inline constexpr std::size_t kName = 14;               // char[128]
inline constexpr std::size_t kNameSize = 128;
inline constexpr std::size_t kFlag = 142;              // u32, unaligned
inline constexpr std::size_t kProfileNum = 146;        // u8
inline constexpr std::size_t kButtonNum = 147;         // u8
inline constexpr std::size_t kButtonMap = 148;         // u32 x 7: B0..B6
inline constexpr std::size_t kMapEntries = 7;
inline constexpr std::size_t kDeviceSectionEnd = 276;  // 176..275 reserved

// Software section.
inline constexpr std::size_t kEnableXYFlag = 276;
inline constexpr std::size_t kXRate = 277;
inline constexpr std::size_t kYRate = 278;
inline constexpr std::size_t kXYSensitiveRate = 279;

// Profile blocks: an 8-byte header, then ButtonNum button blocks.
inline constexpr std::size_t kProfiles = 280;
inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kProfileIndex = 0;  // within the header
inline constexpr std::size_t kDPI = 1;
inline constexpr std::size_t kSensorPollRate = 2;
inline constexpr std::size_t kDummy = 3;         // char[5]
inline constexpr std::size_t kDummySize = 5;

// Button block: BtnIndex, FunID, FunExt, then 16 key slots of two bytes.
inline constexpr std::size_t kButtonSize = 35;
inline constexpr std::size_t kBtnIndex = 0;
inline constexpr std::size_t kFunID = 1;
inline constexpr std::size_t kFunExt = 2;
inline constexpr std::size_t kKeySlots = 3;
inline constexpr std::size_t kKeySlotCount = 16;
inline constexpr std::size_t kKeySlotSize = 2;  // UsageID, Usage

static_assert(kKeySlots + kKeySlotCount * kKeySlotSize == kButtonSize);
static_assert(kButtonMap + 4 * kMapEntries == 176);

inline std::uint16_t Get16(const unsigned char* r, std::size_t at) {
    return static_cast<std::uint16_t>(r[at] | r[at + 1] << 8);
}
inline void Set16(unsigned char* r, std::size_t at, std::uint16_t v) {
    r[at] = static_cast<unsigned char>(v);
    r[at + 1] = static_cast<unsigned char>(v >> 8);
}
inline std::uint32_t Get32(const unsigned char* r, std::size_t at) {
    return static_cast<std::uint32_t>(r[at]) | static_cast<std::uint32_t>(r[at + 1]) << 8 |
           static_cast<std::uint32_t>(r[at + 2]) << 16 | static_cast<std::uint32_t>(r[at + 3]) << 24;
}
inline void Set32(unsigned char* r, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) r[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

inline unsigned ProfileNum(const unsigned char* r) { return r[kProfileNum]; }
inline unsigned ButtonNum(const unsigned char* r) { return r[kButtonNum]; }
inline std::uint32_t MapEntry(const unsigned char* r, std::size_t k) { return Get32(r, kButtonMap + 4 * k); }

inline std::size_t BlockSize(const unsigned char* r) { return kHeaderSize + kButtonSize * ButtonNum(r); }
inline std::size_t ProfileOffset(const unsigned char* r, std::size_t p) { return kProfiles + p * BlockSize(r); }
inline std::size_t ButtonOffset(const unsigned char* r, std::size_t p, std::size_t b) {
    return ProfileOffset(r, p) + kHeaderSize + kButtonSize * b;
}
inline std::size_t KeyOffset(const unsigned char* r, std::size_t p, std::size_t b, std::size_t k) {
    return ButtonOffset(r, p, b) + kKeySlots + kKeySlotSize * k;
}

// A button's FunID byte: the function code in bits 0..4, the toggle-click
// flag in bit 5, the continue-click flag in bit 6; bit 7 is carried as it is.
class FunId {
public:
    static constexpr std::uint8_t kCodeMask = 0x1F;
    static constexpr std::uint8_t kToggleBit = 0x20;
    static constexpr std::uint8_t kContinueBit = 0x40;

    constexpr explicit FunId(std::uint8_t raw) : raw_(raw) {}
    constexpr std::uint8_t Raw() const { return raw_; }
    constexpr unsigned Code() const { return raw_ & kCodeMask; }
    constexpr bool ToggleClick() const { return (raw_ & kToggleBit) != 0; }
    constexpr bool ContinueClick() const { return (raw_ & kContinueBit) != 0; }
    // The same byte with both click flags set as given.
    constexpr FunId WithClickFlags(bool continueClick, bool toggleClick) const {
        return FunId(static_cast<std::uint8_t>((raw_ & ~(kContinueBit | kToggleBit)) |
                                               (continueClick ? kContinueBit : 0) | (toggleClick ? kToggleBit : 0)));
    }
    // A fresh FunID holding only a function code.
    static constexpr FunId OfCode(unsigned code) { return FunId(static_cast<std::uint8_t>(code & kCodeMask)); }

private:
    std::uint8_t raw_;
};

inline FunId FunIdOf(const unsigned char* button) { return FunId(button[kFunID]); }
inline void SetFunId(unsigned char* button, FunId id) { button[kFunID] = id.Raw(); }

// The physical button number in the low five bits of BtnIndex.
inline constexpr std::uint8_t kButtonNumberMask = 0x1F;

// True when ProfileNum blocks of ButtonNum buttons end inside the record and
// the button map has an entry for every button.
bool LayoutFits(const unsigned char* r);

// True when the first ButtonNum map entries are a permutation of
// 0..ButtonNum-1.
bool MapIsPermutation(const unsigned char* r);

}  // namespace record

// The program's copies of the record (the working and the saved one).
struct ProfileRecord {
    std::array<unsigned char, record::kSize> bytes{};
    unsigned char* data() { return bytes.data(); }
    const unsigned char* data() const { return bytes.data(); }
    bool operator==(const ProfileRecord&) const = default;
};

// Rearrange the button blocks of every profile from file order into slot
// order (ApplyButtonMap) and back (RevertButtonMap). A record whose layout
// does not fit or whose map is not a permutation is refused: the result is
// false and the record stays exactly as it was.
bool ApplyButtonMap(unsigned char* r);
bool RevertButtonMap(unsigned char* r);
