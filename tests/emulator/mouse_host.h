// The host side of the report protocol for tests: segment writes and reads
// as the device link sends them, against anything with SetReport/GetReport
// (the emulator, the file-backed mouse).
#pragma once

#include <optional>
#include <vector>

#include "device/protocol.h"

namespace mouse_host {

using protocol::Report;
using protocol::SegmentBlock;

// A block whose bytes 0..62 are all different and non-zero.
inline SegmentBlock Pattern(std::uint8_t seed) {
    SegmentBlock b{};
    for (std::size_t i = 0; i < protocol::kSegmentBytesSent; ++i) b[i] = static_cast<std::uint8_t>(seed + 3 * i + 1);
    return b;
}

// The results of the header and the nine data reports, in order.
template <class Mouse>
std::vector<bool> WriteSegment(Mouse& mouse, std::uint8_t segment, const SegmentBlock& block, std::uint16_t checksum) {
    std::vector<bool> results{mouse.SetReport(protocol::SegmentWriteHeader(segment, checksum))};
    for (std::size_t n = 0; n < protocol::kSegmentDataReports; ++n)
        results.push_back(mouse.SetReport(protocol::SegmentDataReport(block, n)));
    return results;
}

template <class Mouse>
bool WriteSegment(Mouse& mouse, std::uint8_t segment, const SegmentBlock& block) {
    const auto results = WriteSegment(mouse, segment, block, protocol::SegmentChecksum(block));
    for (bool ok : results)
        if (!ok) return false;
    return true;
}

template <class Mouse>
std::optional<SegmentBlock> ReadSegment(Mouse& mouse, std::uint8_t segment) {
    if (!mouse.SetReport(protocol::SegmentReadRequest(segment))) return std::nullopt;
    SegmentBlock block{};
    for (std::size_t n = 0; n < protocol::kSegmentDataReports; ++n) {
        Report r = protocol::SegmentReadDataGet;
        if (!mouse.GetReport(r)) return std::nullopt;
        protocol::StoreSegmentData(block, n, r);
    }
    return block;
}

}  // namespace mouse_host
