#include "emulator/firmware.h"

#include <cstring>

namespace emulator {

using namespace protocol;

namespace {

// The gets this firmware answers, byte for byte. Written out here rather
// than taken from the link's protocol header, so that a link sending other
// bytes is refused instead of agreeing with itself.
constexpr Report kReadDataRequest = {0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr Report kAnswerRequest = {0x05, 0x09, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

struct KindEntry {
    ReportKind kind;
    const char* name;
};

constexpr KindEntry kKindNames[] = {
    {ReportKind::WriteLockOn, "lock-on"},
    {ReportKind::WriteLockOff, "lock-off"},
    {ReportKind::SegmentWrite, "segment-write"},
    {ReportKind::SegmentData, "segment-data"},
    {ReportKind::SegmentRead, "segment-read"},
    {ReportKind::SegmentReadData, "segment-read-data"},
    {ReportKind::SwitchProfile, "switch"},
    {ReportKind::QueryActiveProfile, "query-profile"},
    {ReportKind::QueryDeviceInfo, "query-info"},
    {ReportKind::QueryAnswer, "query-answer"},
    {ReportKind::Unknown, "unknown"},
};

}  // namespace

const char* KindName(ReportKind kind) {
    for (const auto& e : kKindNames)
        if (e.kind == kind) return e.name;
    return "unknown";
}

bool KindFromName(const char* name, ReportKind& kind) {
    if (!name) return false;
    for (const auto& e : kKindNames) {
        if (std::strcmp(e.name, name) == 0) {
            kind = e.kind;
            return true;
        }
    }
    return false;
}

ReportKind Firmware::KindOfSet(const Report& report) const {
    if (pending_ == Pending::WriteData) return ReportKind::SegmentData;
    switch (ParseCommand(report).command) {
    case Command::WriteLockOn: return ReportKind::WriteLockOn;
    case Command::WriteLockOff: return ReportKind::WriteLockOff;
    case Command::SegmentWrite: return ReportKind::SegmentWrite;
    case Command::SegmentRead: return ReportKind::SegmentRead;
    case Command::SwitchProfile: return ReportKind::SwitchProfile;
    case Command::QueryActiveProfile: return ReportKind::QueryActiveProfile;
    case Command::QueryDeviceInfo: return ReportKind::QueryDeviceInfo;
    case Command::Invalid: break;
    }
    return ReportKind::Unknown;
}

ReportKind Firmware::KindOfGet(const Report& report) const {
    if (report[0] != kReportId) return ReportKind::Unknown;
    if (pending_ == Pending::ReadData) return ReportKind::SegmentReadData;
    if (pending_ == Pending::Answer) return ReportKind::QueryAnswer;
    return ReportKind::Unknown;
}

bool Firmware::Set(const Report& report) {
    if (pending_ == Pending::WriteData) return WriteData(report);
    return Command(report);
}

bool Firmware::Command(const Report& report) {
    // A new command replaces a read or an answer that was not collected.
    pending_ = Pending::None;
    const ParsedCommand c = ParseCommand(report);
    switch (c.command) {
    case Command::WriteLockOn:
        state_.writeLocked = true;
        return true;
    case Command::WriteLockOff:
        state_.writeLocked = false;
        return true;
    case Command::SegmentWrite:
        pending_ = Pending::WriteData;
        segment_ = c.segment;
        checksum_ = c.checksum;
        reportsDone_ = 0;
        incoming_.fill(0);
        return true;
    case Command::SegmentRead:
        pending_ = Pending::ReadData;
        segment_ = c.segment;
        reportsDone_ = 0;
        return true;
    case Command::SwitchProfile:
        state_.activeProfile = c.profile;
        return true;
    case Command::QueryActiveProfile:
        pending_ = Pending::Answer;
        answer_ = {kReportId, kCmdProfile, state_.activeProfile, 0, 0, 0, 0, 0};
        return true;
    case Command::QueryDeviceInfo:
        pending_ = Pending::Answer;
        answer_ = {kReportId, kCmdProfile, state_.hardwareVersion, state_.firmwareVersion, 0, 0, 0, 0};
        return true;
    case Command::Invalid:
        break;
    }
    return false;
}

bool Firmware::WriteData(const Report& report) {
    // Byte 0 is the report id of every report; only 1..7 carry data.
    if (report[0] != kReportId) {
        pending_ = Pending::None;
        return false;
    }
    for (std::size_t i = 0; i < kDataBytesPerReport; ++i) incoming_[reportsDone_ * kDataBytesPerReport + i] = report[1 + i];
    if (++reportsDone_ < kSegmentDataReports) return true;

    pending_ = Pending::None;  // byte 63 is never sent and stays 0 from the header
    if (!state_.writeLocked || SegmentChecksum(incoming_) != checksum_) return false;
    state_.segments[segment_] = incoming_;
    return true;
}

bool Firmware::Get(Report& report) {
    // Like a strict firmware, it answers only the get it expects: read data
    // is asked for with 05 00 00.., a query's answer with 05 09 00..; any
    // other request is refused and ends the read or drops the answer.
    if (pending_ == Pending::ReadData && report == kReadDataRequest) {
        const SegmentBlock& block = state_.segments[segment_];
        report[0] = kReportId;
        for (std::size_t i = 0; i < kDataBytesPerReport; ++i) report[1 + i] = block[reportsDone_ * kDataBytesPerReport + i];
        if (++reportsDone_ == kSegmentDataReports) pending_ = Pending::None;
        return true;
    }
    if (pending_ == Pending::Answer && report == kAnswerRequest) {
        report = answer_;
        pending_ = Pending::None;
        return true;
    }
    pending_ = Pending::None;
    return false;
}

Report Firmware::PendingGetRequest() const {
    return pending_ == Pending::Answer ? kAnswerRequest : kReadDataRequest;
}

void Firmware::PowerLoss() {
    pending_ = Pending::None;
    state_.writeLocked = false;
}

}  // namespace emulator
