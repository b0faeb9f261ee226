// Profile memory built from a 2070-byte profile record: the profile headers
// in segment 0, each button block in its segment in file order, and in
// profile 0's header the record checksum, as the mouse holds them after the
// program has written that record to it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "emulator/firmware.h"

namespace emulator {

enum class FactoryChecksum {
    Computed,  // as the program computes it before a write
    AsInRecord,  // profile 0's Dummy bytes as the record has them
};

// The record is in file order, as a profile file loads. A computed checksum
// is taken over the record in slot order (ApplyButtonMap) with the checksum's
// own bytes zero. The record must describe 5 profiles of 7 buttons with a
// button map that is a permutation; otherwise the result is false with a
// reason in error and segments is unchanged.
bool SegmentsFromRecord(std::span<const std::uint8_t> record, Segments& segments, std::string& error,
                        FactoryChecksum checksum = FactoryChecksum::Computed);

}  // namespace emulator
