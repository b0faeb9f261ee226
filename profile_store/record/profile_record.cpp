#include "profile_store/record/profile_record.h"

#include <cstring>

namespace record {

bool LayoutFits(const unsigned char* r) {
    return ButtonNum(r) <= kMapEntries && kProfiles + ProfileNum(r) * BlockSize(r) <= kSize;
}

bool MapIsPermutation(const unsigned char* r) {
    bool seen[kMapEntries] = {};
    const unsigned n = ButtonNum(r);
    if (n > kMapEntries) return false;
    for (unsigned k = 0; k < n; ++k) {
        const std::uint32_t slot = MapEntry(r, k);
        if (slot >= n || seen[slot]) return false;
        seen[slot] = true;
    }
    return true;
}

}  // namespace record

namespace {

// Moves button k of every profile block to position to[k].
void MoveButtons(unsigned char* r, const unsigned (&to)[record::kMapEntries]) {
    using namespace record;
    unsigned char scratch[kHeaderSize + kButtonSize * kMapEntries];
    const std::size_t size = BlockSize(r);
    for (unsigned p = 0; p < ProfileNum(r); ++p) {
        unsigned char* block = r + ProfileOffset(r, p);
        std::memset(scratch, 0, sizeof scratch);
        std::memcpy(scratch, block, kHeaderSize);
        for (unsigned k = 0; k < ButtonNum(r); ++k)
            std::memcpy(scratch + kHeaderSize + kButtonSize * to[k], block + kHeaderSize + kButtonSize * k,
                        kButtonSize);
        std::memcpy(block, scratch, size);
    }
}

bool MapUsable(const unsigned char* r) { return r && record::LayoutFits(r) && record::MapIsPermutation(r); }

}  // namespace

bool ApplyButtonMap(unsigned char* r) {
    if (!MapUsable(r)) return false;
    unsigned to[record::kMapEntries] = {};
    for (unsigned k = 0; k < record::ButtonNum(r); ++k) to[k] = record::MapEntry(r, k);
    MoveButtons(r, to);
    return true;
}

bool RevertButtonMap(unsigned char* r) {
    if (!MapUsable(r)) return false;
    // Slot s goes back to the file position k whose map entry is s.
    unsigned to[record::kMapEntries] = {};
    for (unsigned k = 0; k < record::ButtonNum(r); ++k) to[record::MapEntry(r, k)] = k;
    MoveButtons(r, to);
    return true;
}
