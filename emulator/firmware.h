// The mouse's firmware behind the 8-byte reports: profile memory, the
// write-profile lock, segment transfers, profile switch and the two queries.
//
// Rules of this firmware (the device link relies on none of them beyond the
// report protocol, but tests do):
// - A set report is either data of a segment write in progress or a command;
//   a command must match its layout exactly (see protocol::ParseCommand),
//   anything else is refused.
// - A segment write is a header and nine data reports. While it is in
//   progress every set report is taken as data. The segment is stored only if
//   the write-profile lock is held and the checksum of block bytes 8..63
//   (byte 63 is 0) equals the header's; otherwise the ninth data report is
//   refused and the segment keeps its content.
// - A segment read request is answered by nine gets of seven bytes each.
//   Reading does not need the lock.
// - A query is answered by the next get, once. A get with no read or query
//   answer pending is refused.
// - A get must carry the request bytes of what it collects: 05 00 00 00 00
//   00 00 00 for read data, 05 09 00 00 00 00 00 00 for a query's answer.
//   Any other get is refused and ends the read or drops the answer.
// - Taking the lock while it is held, or releasing it while it is free,
//   succeeds. A lock report with a wrong signature is refused and changes
//   nothing.
// - A failed report of any kind ends a transfer in progress, as a device does
//   when it stalls a request; so does losing power.
#pragma once

#include <array>
#include <cstdint>

#include "device/protocol.h"

namespace emulator {

using protocol::Report;
using protocol::SegmentBlock;
using Segments = std::array<SegmentBlock, protocol::kSegmentCount>;

// What the mouse keeps while unplugged; the emulator's state file holds it.
// Any byte values are allowed, so a test can make the mouse hold invalid data.
struct MouseState {
    Segments segments{};
    std::uint8_t activeProfile = 0;
    std::uint8_t hardwareVersion = 1;
    std::uint8_t firmwareVersion = 1;
    bool writeLocked = false;

    bool operator==(const MouseState&) const = default;
};

// What a report is taken as, given the firmware's state when it arrives.
enum class ReportKind : std::uint8_t {
    WriteLockOn,
    WriteLockOff,
    SegmentWrite,      // segment write header
    SegmentData,       // one of the nine data reports of a write
    SegmentRead,       // segment read request
    SegmentReadData,   // get of seven segment bytes
    SwitchProfile,
    QueryActiveProfile,
    QueryDeviceInfo,
    QueryAnswer,       // get of a query's answer
    Unknown,           // a set that is no command, or a get with nothing to answer
};

// Names used by the fault settings and the trace.
const char* KindName(ReportKind kind);
bool KindFromName(const char* name, ReportKind& kind);

class Firmware {
public:
    explicit Firmware(const MouseState& state = {}) : state_(state) {}

    ReportKind KindOfSet(const Report& report) const;
    ReportKind KindOfGet(const Report& report) const;

    // Handle one report; false when the firmware refuses it. A get fills all
    // eight bytes of the report with the answer.
    bool Set(const Report& report);
    bool Get(Report& report);
    // The request bytes of the get the firmware would answer now. Over real
    // HID a get carries only its report id and the device answers from its
    // own state; a bridge from such a stack asks with these.
    Report PendingGetRequest() const;

    // Drops a transfer or answer in progress (a failed report).
    void AbandonTransfer() { pending_ = Pending::None; }
    // Unplugged: the transfer in progress and the lock are lost, memory stays.
    void PowerLoss();

    MouseState& state() { return state_; }
    const MouseState& state() const { return state_; }

private:
    enum class Pending : std::uint8_t { None, WriteData, ReadData, Answer };

    bool Command(const Report& report);
    bool WriteData(const Report& report);

    MouseState state_;
    Pending pending_ = Pending::None;
    std::uint8_t segment_ = 0;
    std::uint16_t checksum_ = 0;
    std::size_t reportsDone_ = 0;
    SegmentBlock incoming_{};
    Report answer_{};
};

}  // namespace emulator
