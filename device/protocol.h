// The mouse's 8-byte report protocol: report layouts, the write-lock
// signature, segment numbering and the two checksums. The device link builds
// its reports with these helpers and the emulated mouse parses them with the
// same ones, so both sides agree byte for byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace protocol {

// The one supported device.
inline constexpr std::uint16_t kVendorId = 0x7A3D;
inline constexpr std::uint16_t kProductId = 0x006A;

// Every report is 8 bytes with the report id in byte 0.
inline constexpr std::size_t kReportSize = 8;
inline constexpr std::uint8_t kReportId = 5;
using Report = std::array<std::uint8_t, kReportSize>;

// Byte 1 of a command report.
inline constexpr std::uint8_t kCmdSegment = 0x07;
inline constexpr std::uint8_t kCmdWriteLock = 0x08;
inline constexpr std::uint8_t kCmdProfile = 0x09;

// Byte 3 of a segment command: the number of data reports of a write, or the
// read request marker.
inline constexpr std::uint8_t kSegmentDataReports = 9;
inline constexpr std::uint8_t kSegmentReadMarker = 0xFF;

// Byte 2 of a profile command: a profile index 0..4, or one of the queries.
inline constexpr std::uint8_t kQueryActiveProfile = 0xFF;
inline constexpr std::uint8_t kQueryDeviceInfo = 0xFE;

// Profile memory: five profiles of seven buttons in 36 segments of 64 bytes.
// Segment 0 holds the 8-byte profile headers (bytes 8p..8p+7 for profile p);
// segment 1 + p * 7 + b holds the 35-byte button block b of profile p.
inline constexpr std::size_t kProfileCount = 5;
inline constexpr std::size_t kButtonCount = 7;
inline constexpr std::size_t kProfileHeaderSize = 8;
inline constexpr std::size_t kButtonBlockSize = 35;
inline constexpr std::size_t kSegmentSize = 64;
inline constexpr std::size_t kSegmentCount = 1 + kProfileCount * kButtonCount;
inline constexpr std::size_t kDataBytesPerReport = 7;
// Bytes 0..62 travel; byte 63 is never sent and reads back as 0.
inline constexpr std::size_t kSegmentBytesSent = kSegmentDataReports * kDataBytesPerReport;
// The segment checksum covers block bytes 8..63.
inline constexpr std::size_t kSegmentChecksumFirst = 8;
using SegmentBlock = std::array<std::uint8_t, kSegmentSize>;

static_assert(kSegmentCount == 36);
static_assert(kSegmentBytesSent == kSegmentSize - 1);
static_assert(kProfileCount * kProfileHeaderSize <= kSegmentSize);
static_assert(kButtonBlockSize <= kSegmentBytesSent);

constexpr std::size_t ButtonSegment(std::size_t profile, std::size_t button) {
    return 1 + profile * kButtonCount + button;
}

// The write-profile lock reports carry this signature in bytes 3..7; the
// firmware refuses a lock report without it.
inline constexpr std::array<std::uint8_t, 5> kWriteLockSignature = {0x4B, 0x6F, 0x72, 0x65, 0x6C};
inline constexpr std::size_t kWriteLockSignatureOffset = 3;
static_assert(kWriteLockSignatureOffset + kWriteLockSignature.size() == kReportSize);

// The record checksum: four lower-case hex digits and a NUL in profile 0's
// header, bytes 3..7, so in the record at 283..287 and in segment 0 at 3..7.
inline constexpr std::size_t kRecordSize = 2070;
inline constexpr std::size_t kRecordChecksumOffset = 283;
inline constexpr std::size_t kRecordChecksumSize = 5;
inline constexpr std::size_t kSegment0ChecksumOffset = 3;
using RecordChecksumText = std::array<char, kRecordChecksumSize>;
static_assert(kSegment0ChecksumOffset + kRecordChecksumSize == kProfileHeaderSize);

// --- Checksums --------------------------------------------------------------

// 16-bit wrap-around sum of block bytes 8..63.
constexpr std::uint16_t SegmentChecksum(const SegmentBlock& block) {
    std::uint16_t sum = 0;
    for (std::size_t i = kSegmentChecksumFirst; i < kSegmentSize; ++i)
        sum = static_cast<std::uint16_t>(sum + block[i]);
    return sum;
}

// Weighted 16-bit sum over a whole record, weights 1..9 repeating, with the
// checksum's own five bytes counted as zero.
constexpr std::uint16_t RecordChecksumOf(std::span<const std::uint8_t, kRecordSize> record) {
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        const bool own = i >= kRecordChecksumOffset && i < kRecordChecksumOffset + kRecordChecksumSize;
        const unsigned weight = static_cast<unsigned>(i % 9) + 1;
        if (!own) sum = static_cast<std::uint16_t>(sum + record[i] * weight);
    }
    return sum;
}

// "%04x" and its NUL.
constexpr RecordChecksumText FormatRecordChecksum(std::uint16_t sum) {
    constexpr char kDigits[] = "0123456789abcdef";
    return {kDigits[(sum >> 12) & 0xF], kDigits[(sum >> 8) & 0xF], kDigits[(sum >> 4) & 0xF], kDigits[sum & 0xF],
            '\0'};
}

// --- Building reports -----------------------------------------------------

constexpr Report MakeWriteLockReport(bool take) {
    Report r{kReportId, kCmdWriteLock, static_cast<std::uint8_t>(take ? 1 : 0)};
    for (std::size_t i = 0; i < kWriteLockSignature.size(); ++i) r[kWriteLockSignatureOffset + i] = kWriteLockSignature[i];
    return r;
}
inline constexpr Report WriteLockOnReport = MakeWriteLockReport(true);
inline constexpr Report WriteLockOffReport = MakeWriteLockReport(false);

// 05 07 s 09 00 00 cL cH
constexpr Report SegmentWriteHeader(std::uint8_t segment, std::uint16_t checksum) {
    return {kReportId, kCmdSegment, segment, kSegmentDataReports, 0, 0,
            static_cast<std::uint8_t>(checksum & 0xFF), static_cast<std::uint8_t>(checksum >> 8)};
}

// Data report n (0..8): 05 and block bytes 7n..7n+6.
constexpr Report SegmentDataReport(const SegmentBlock& block, std::size_t n) {
    Report r{kReportId};
    for (std::size_t i = 0; i < kDataBytesPerReport; ++i) r[1 + i] = block[n * kDataBytesPerReport + i];
    return r;
}

// 05 07 s FF 00 00 00 00
constexpr Report SegmentReadRequest(std::uint8_t segment) {
    return {kReportId, kCmdSegment, segment, kSegmentReadMarker, 0, 0, 0, 0};
}

// The buffer of a segment read data get; the answer carries block bytes in 1..7.
inline constexpr Report SegmentReadDataGet = {kReportId, 0, 0, 0, 0, 0, 0, 0};

// Copies the seven bytes of read data answer n (0..8) into the block.
constexpr void StoreSegmentData(SegmentBlock& block, std::size_t n, const Report& answer) {
    for (std::size_t i = 0; i < kDataBytesPerReport; ++i) block[n * kDataBytesPerReport + i] = answer[1 + i];
}

// 05 09 p 00 00 00 00 00
constexpr Report SwitchProfileReport(std::uint8_t profile) { return {kReportId, kCmdProfile, profile, 0, 0, 0, 0, 0}; }
inline constexpr Report QueryActiveProfileReport = {kReportId, kCmdProfile, kQueryActiveProfile, 0, 0, 0, 0, 0};
inline constexpr Report QueryDeviceInfoReport = {kReportId, kCmdProfile, kQueryDeviceInfo, 0, 0, 0, 0, 0};
// The buffer of the get that follows either query.
inline constexpr Report QueryAnswerGet = {kReportId, kCmdProfile, 0, 0, 0, 0, 0, 0};

// --- Parsing --------------------------------------------------------------

enum class Command : std::uint8_t {
    Invalid,
    WriteLockOn,
    WriteLockOff,
    SegmentWrite,
    SegmentRead,
    SwitchProfile,
    QueryActiveProfile,
    QueryDeviceInfo,
};

struct ParsedCommand {
    Command command = Command::Invalid;
    std::uint8_t segment = 0;    // SegmentWrite, SegmentRead
    std::uint16_t checksum = 0;  // SegmentWrite
    std::uint8_t profile = 0;    // SwitchProfile
};

// Recognises a set report as one of the commands. Only the exact layouts are
// accepted: report id 5, known command bytes, a segment number below 36, a
// profile index 0..4, the lock signature, and zero in every unused byte.
constexpr ParsedCommand ParseCommand(const Report& r) {
    auto zeroFrom = [&r](std::size_t first) {
        for (std::size_t i = first; i < kReportSize; ++i)
            if (r[i] != 0) return false;
        return true;
    };
    ParsedCommand c;
    if (r[0] != kReportId) return c;
    switch (r[1]) {
    case kCmdWriteLock:
        if (r[2] > 1) return c;
        for (std::size_t i = 0; i < kWriteLockSignature.size(); ++i)
            if (r[kWriteLockSignatureOffset + i] != kWriteLockSignature[i]) return c;
        c.command = r[2] ? Command::WriteLockOn : Command::WriteLockOff;
        return c;
    case kCmdSegment:
        if (r[2] >= kSegmentCount) return c;
        c.segment = r[2];
        if (r[3] == kSegmentDataReports && r[4] == 0 && r[5] == 0) {
            c.command = Command::SegmentWrite;
            c.checksum = static_cast<std::uint16_t>(r[6] | (r[7] << 8));
        } else if (r[3] == kSegmentReadMarker && zeroFrom(4)) {
            c.command = Command::SegmentRead;
        }
        return c;
    case kCmdProfile:
        if (!zeroFrom(3)) return c;
        if (r[2] == kQueryActiveProfile) {
            c.command = Command::QueryActiveProfile;
        } else if (r[2] == kQueryDeviceInfo) {
            c.command = Command::QueryDeviceInfo;
        } else if (r[2] < kProfileCount) {
            c.command = Command::SwitchProfile;
            c.profile = r[2];
        }
        return c;
    default:
        return c;
    }
}

// Answer of the active-profile query: byte 2.
constexpr std::uint8_t ActiveProfileOf(const Report& answer) { return answer[2]; }

// Answer of the device-info query: hardware version in byte 2, firmware in 3.
struct DeviceVersions {
    std::uint8_t hardware = 0;
    std::uint8_t firmware = 0;
};
constexpr DeviceVersions DeviceVersionsOf(const Report& answer) { return {answer[2], answer[3]}; }

}  // namespace protocol
