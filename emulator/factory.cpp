#include "emulator/factory.h"

#include <cstring>

#include "profile_store/record/profile_record.h"

namespace emulator {

using namespace protocol;

static_assert(record::kSize == kRecordSize);
static_assert(record::kProfiles + record::kDummy == kRecordChecksumOffset);
static_assert(record::kHeaderSize == kProfileHeaderSize && record::kButtonSize == kButtonBlockSize);

bool SegmentsFromRecord(std::span<const std::uint8_t> bytes, Segments& segments, std::string& error,
                        FactoryChecksum checksum) {
    if (bytes.size() != kRecordSize) {
        error = "a profile record has " + std::to_string(kRecordSize) + " bytes, not " + std::to_string(bytes.size());
        return false;
    }
    ProfileRecord fileOrder;
    std::memcpy(fileOrder.data(), bytes.data(), kRecordSize);
    const unsigned char* r = fileOrder.data();
    if (record::ProfileNum(r) != kProfileCount || record::ButtonNum(r) != kButtonCount) {
        error = "the record describes " + std::to_string(record::ProfileNum(r)) + " profiles of " +
                std::to_string(record::ButtonNum(r)) + " buttons, the mouse has 5 of 7";
        return false;
    }
    ProfileRecord slotOrder = fileOrder;
    if (!ApplyButtonMap(slotOrder.data())) {
        error = "the record's button map is not a permutation of 0..6";
        return false;
    }

    Segments out{};
    for (std::size_t p = 0; p < kProfileCount; ++p) {
        std::memcpy(&out[0][p * kProfileHeaderSize], r + record::ProfileOffset(r, p), kProfileHeaderSize);
        for (std::size_t b = 0; b < kButtonCount; ++b)
            std::memcpy(out[ButtonSegment(p, b)].data(), r + record::ButtonOffset(r, p, b), kButtonBlockSize);
    }
    if (checksum == FactoryChecksum::Computed) {
        const RecordChecksumText text = FormatRecordChecksum(RecordChecksumOf(slotOrder.bytes));
        std::memcpy(&out[0][kSegment0ChecksumOffset], text.data(), text.size());
    }
    segments = out;
    return true;
}

}  // namespace emulator
