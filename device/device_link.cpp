#include "device/device_link.h"

#include <chrono>
#include <cstring>
#include <new>
#include <thread>

#include "device/record_copies.h"
#include "profile_store/profiles/vantor.h"
#include "profile_store/strings/xml_rw.h"

using namespace record;
using protocol::Report;
using protocol::SegmentBlock;

namespace {

constexpr unsigned kSegmentWriteWaitMs = 1;
constexpr unsigned kSegmentReadWaitMs = 5;
constexpr unsigned kSettleWaitMs = 100;
constexpr std::size_t kSectionsSize = kProfiles;  // device and software sections

unsigned char* Name(const char* text) { return reinterpret_cast<unsigned char*>(const_cast<char*>(text)); }

// Segment 0: the profile headers of r, bytes 8p..8p+7 for profile p.
SegmentBlock HeaderSegment(const unsigned char* r) {
    SegmentBlock block{};
    for (unsigned p = 0; p < ProfileNum(r) && (p + 1) * kHeaderSize <= block.size(); ++p)
        std::memcpy(block.data() + kHeaderSize * p, r + ProfileOffset(r, p), kHeaderSize);
    return block;
}

// A button segment: the 35-byte button block in bytes 0..34.
SegmentBlock ButtonSegment(const unsigned char* r, unsigned p, unsigned b) {
    SegmentBlock block{};
    std::memcpy(block.data(), r + ButtonOffset(r, p, b), kButtonSize);
    return block;
}

bool HeadersDiffer(const unsigned char* a, const unsigned char* b) {
    for (unsigned p = 0; p < ProfileNum(a); ++p)
        if (std::memcmp(a + ProfileOffset(a, p), b + ProfileOffset(a, p), kHeaderSize) != 0) return true;
    return false;
}

// A Dummy field as the files can carry it: printable ASCII text, ended by a
// NUL within the field, zero after it. Anything else would not come back
// the same from a profile file.
bool DummyValid(const unsigned char* d) {
    std::size_t n = 0;
    for (; n < kDummySize && d[n] != 0; ++n)
        if (d[n] < 0x20 || d[n] > 0x7E) return false;
    if (n == kDummySize) return false;
    for (; n < kDummySize; ++n)
        if (d[n] != 0) return false;
    return true;
}

// The `FunExt` values the program's own dialogs write: DPI steps 0..3, one
// step down (0x04) or up (0x08); profiles 0..4; and the two values the
// device firmware knows besides.
bool FunExtValid(unsigned function, unsigned ext) {
    if (ext == 0x40 || ext == 0x80) return true;
    if (function == 7) return ext <= 3 || ext == 0x04 || ext == 0x08;
    if (function == 8) return ext <= 4;
    return true;
}

}  // namespace

void RealSleeper::SleepMs(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// ---- messages ----

std::string DeviceLink::Text(const char* key) const {
    char text[kResourceStringMax] = "";
    if (env_.strings) env_.strings->GetResourceString(key, text, sizeof text);
    return text;
}

void DeviceLink::Message(const char* key) {
    if (env_.messages) env_.messages->ShowOk(key, Text(key).c_str());
}

void DeviceLink::Message(const char* key, const std::string& detail) {
    if (env_.messages) env_.messages->ShowOk(key, WithDetail(Text(key), detail).c_str());
}

bool DeviceLink::Ask(const char* key) {
    return env_.messages && env_.messages->AskYesNo(key, Text(key).c_str()) == 1;
}

// ---- reports ----

bool DeviceLink::IsDeviceExist() {
    unsigned char scratch[protocol::kReportSize] = {};
    return env_.hid.isDeviceExist &&
           env_.hid.isDeviceExist(protocol::kVendorId, protocol::kProductId, scratch) != 0;
}

bool DeviceLink::SetReport(const Report& report) {
    Report copy = report;  // the library takes a writable buffer
    return env_.hid.setReport && env_.hid.setReport(protocol::kVendorId, protocol::kProductId, copy.data()) != 0;
}

bool DeviceLink::GetReport(Report& report) {
    return env_.hid.getReport && env_.hid.getReport(protocol::kVendorId, protocol::kProductId, report.data()) != 0;
}

bool DeviceLink::WriteSegment(std::uint8_t segment, const SegmentBlock& block) {
    if (!SetReport(protocol::SegmentWriteHeader(segment, protocol::SegmentChecksum(block)))) return false;
    env_.sleeper->SleepMs(kSegmentWriteWaitMs);
    for (std::size_t n = 0; n < protocol::kSegmentDataReports; ++n) {
        if (!SetReport(protocol::SegmentDataReport(block, n))) return false;
        env_.sleeper->SleepMs(kSegmentWriteWaitMs);
    }
    return true;
}

bool DeviceLink::ReadSegment(std::uint8_t segment, SegmentBlock& block) {
    block.fill(0);
    if (!SetReport(protocol::SegmentReadRequest(segment))) return false;
    env_.sleeper->SleepMs(kSegmentReadWaitMs);
    for (std::size_t n = 0; n < protocol::kSegmentDataReports; ++n) {
        Report answer = protocol::SegmentReadDataGet;
        if (!GetReport(answer)) return false;
        protocol::StoreSegmentData(block, n, answer);
        env_.sleeper->SleepMs(kSegmentReadWaitMs);
    }
    return true;
}

int DeviceLink::SwitchProfile() {
    if (!IsDeviceExist()) {
        Message("Str_NotFindHardware");
        return 0;
    }
    if (!SetReport(protocol::SwitchProfileReport(static_cast<std::uint8_t>(*env_.curProfile)))) {
        Message("Str_SwitchErr");
        return 0;
    }
    return 1;
}

int DeviceLink::QueryActiveProfile() {
    if (!env_.hid.setReport || !env_.hid.getReport || !SetReport(protocol::QueryActiveProfileReport)) return 0;
    Report answer = protocol::QueryAnswerGet;
    const int profile = GetReport(answer) ? protocol::ActiveProfileOf(answer) : -1;
    return profile < 0 || profile > 4 ? 0 : profile;
}

int DeviceLink::QueryDeviceInfo(int& hardware, int& firmware) {
    hardware = 0;
    firmware = 0;
    if (!IsDeviceExist()) return 0;
    Report answer = protocol::QueryAnswerGet;
    if (!SetReport(protocol::QueryDeviceInfoReport) || !GetReport(answer)) {
        Message("Str_InfoErr");
        return 0;
    }
    const protocol::DeviceVersions versions = protocol::DeviceVersionsOf(answer);
    hardware = versions.hardware;
    firmware = versions.firmware;
    return 1;
}

void DeviceLink::ComputeRecordChecksum() {
    unsigned char* r = env_.work->data();
    const auto text = protocol::FormatRecordChecksum(
        protocol::RecordChecksumOf(std::span<const std::uint8_t, protocol::kRecordSize>(r, protocol::kRecordSize)));
    std::memcpy(r + protocol::kRecordChecksumOffset, text.data(), text.size());
}

// ---- the device context ----

DeviceContext* DeviceLink::CreateDeviceContext(Vantor* (*createProfile)(int vendorId, int productId),
                                               const ReadOpening* opening) {
    ProfileRecord& work = *env_.work;
    DeviceContext* context = new (std::nothrow) DeviceContext;
    // A start that stops before its read releases the lock its opening took.
    auto fail = [&](const char* key) -> DeviceContext* {
        if (opening) AbandonRead(*opening);
        Message(key);
        DestroyDeviceContext(context);
        return nullptr;
    };
    if (!context) return fail("Str_CannotCreateProfile");
    context->pProfile = createProfile ? createProfile(protocol::kVendorId, protocol::kProductId) : nullptr;
    if (context->pProfile) context->pProfile->LoadVantorInfo(work.data());
    context->pIds = new (std::nothrow) DeviceIds{protocol::kVendorId, protocol::kProductId};
    if (!context->pIds) return fail("Str_CannotCreateHardware");
    if (ProfileNum(work.data()) != protocol::kProfileCount || ButtonNum(work.data()) != protocol::kButtonCount)
        return fail("Str_ProfileError");
    // A lost or broken working file must not start the program from nothing
    // (an all-zero record, which a rewrite would put on the mouse): the
    // factory settings stand in for it, the mouse is compared with them, and
    // the working file is written again.
    bool workingLost = false;
    if (context->pProfile && !LoadProfileFile(*context->pProfile, work, "__working.xml")) {
        workingLost = true;
        LoadProfileFile(*context->pProfile, work, "__default.xml");
        Message("Str_WorkingFileErr");
    }
    *env_.saved = work;
    const ProfileRecord started = work;
    ReadFromDevice(context, opening);
    // Unless the read-back settled on other settings (and saved them).
    if (workingLost && *env_.saved == started && ValidateDeviceRecord(started.data())) {
        ProfileRecord check = *env_.saved;
        const bool rewritten = LoadProfileFile(*context->pProfile, check, "__working.xml");
        if (!rewritten && !SaveWorkingFile(context, *env_.saved)) Message("Str_SaveTmpProfileErr");
    }
    return context;
}

void DeviceLink::DestroyDeviceContext(DeviceContext* context) {
    if (!context) return;
    delete context->pProfile;
    delete context->pIds;
    delete context;
}

// ---- synchronisation ----

void DeviceLink::WriteToDevice(DeviceContext* context) {
    ComputeRecordChecksum();
    // The mouse never gets a record its own firmware contract refuses (a
    // load or a broken file can carry one); nothing is sent or saved.
    if (!ValidateDeviceRecord(env_.work->data())) {
        Message("Str_InvalidSettings");
        return;
    }
    const bool present = IsDeviceExist();
    if (!present) Message("Str_NotFindHardware");

    // Both records in file order: that is what the mouse holds.
    ProfileRecord w = *env_.work;
    ProfileRecord s = *env_.saved;
    RevertButtonMap(w.data());
    RevertButtonMap(s.data());
    const bool sectionsChanged = std::memcmp(w.data(), s.data(), kSectionsSize) != 0;
    bool profilesChanged = HeadersDiffer(w.data(), s.data());
    bool locked = false;

    if (profilesChanged && present) {
        if (!SetReport(protocol::WriteLockOnReport)) {
            Message("Str_WriteProfileErr");
            return;
        }
        locked = true;
        if (!WriteSegment(0, HeaderSegment(w.data()))) {
            Message("Str_WriteHardwareErr");
            return;
        }
    }
    for (unsigned p = 0; p < ProfileNum(w.data()); ++p) {
        for (unsigned b = 0; b < ButtonNum(w.data()); ++b) {
            if (std::memcmp(w.data() + ButtonOffset(w.data(), p, b), s.data() + ButtonOffset(w.data(), p, b),
                            kButtonSize) == 0)
                continue;
            profilesChanged = true;
            if (!present) continue;
            if (!locked) {
                if (!SetReport(protocol::WriteLockOnReport)) {
                    Message("Str_WriteHardwareErr");
                    return;
                }
                locked = true;
            }
            env_.sleeper->SleepMs(kSettleWaitMs);
            const auto segment = static_cast<std::uint8_t>(1 + p * ButtonNum(w.data()) + b);
            if (!WriteSegment(segment, ButtonSegment(w.data(), p, b))) {
                Message("Str_WriteHardwareErr");
                return;
            }
        }
    }
    if (locked) {
        env_.sleeper->SleepMs(kSettleWaitMs);
        if (!SetReport(protocol::WriteLockOffReport)) {
            Message("Str_WriteHardwareErr");
            return;
        }
    }
    if (profilesChanged && present) {
        env_.sleeper->SleepMs(kSettleWaitMs);
        if (!IsDeviceExist())
            Message("Str_NotFindHardware");
        else if (!SetReport(protocol::SwitchProfileReport(static_cast<std::uint8_t>(*env_.curProfile))))
            Message("Str_SwitchErr");
    }
    if (sectionsChanged || profilesChanged) {
        if (SaveWorkingFile(context, *env_.work))
            *env_.saved = *env_.work;
        else
            Message("Str_SaveTmpProfileErr");
    }
}

bool DeviceLink::SaveWorkingFile(DeviceContext* context, const ProfileRecord& slotOrder) {
    if (!context || !context->pProfile) return false;
    ProfileRecord w = slotOrder;
    RevertButtonMap(w.data());
    return context->pProfile->SaveVantorProfile(w.data(), Name("__working.xml")) != 0;
}

ReadOpening DeviceLink::OpenRead() {
    ReadOpening opening;
    opening.present = IsDeviceExist();
    opening.locked = opening.present && SetReport(protocol::WriteLockOnReport);
    opening.headersRead = opening.locked && ReadSegment(0, opening.headers);
    return opening;
}

void DeviceLink::AbandonRead(const ReadOpening& opening) {
    if (opening.locked) SetReport(protocol::WriteLockOffReport);
}

int DeviceLink::ReadFromDevice(DeviceContext* context, const ReadOpening* opening) {
    ProfileRecord& work = *env_.work;
    ProfileRecord& saved = *env_.saved;
    const ReadOpening opened = opening ? *opening : OpenRead();
    if (!opened.present) {
        Message("Str_NotFindHardware");
        return 0;
    }
    if (!opened.locked) {
        Message("Str_WriteProfileLockErr");
        return 0;
    }
    work = ProfileRecord{};
    std::memcpy(work.data(), saved.data(), kSectionsSize);

    SegmentBlock block = opened.headers;
    if (!opened.headersRead) {
        Message("Str_ReadData1Err");
        work = saved;
        SetReport(protocol::WriteLockOffReport);
        return 0;
    }
    for (unsigned p = 0; p < ProfileNum(work.data()) && (p + 1) * kHeaderSize <= block.size(); ++p)
        std::memcpy(work.data() + ProfileOffset(work.data(), p), block.data() + kHeaderSize * p, kHeaderSize);

    if (std::memcmp(work.data() + protocol::kRecordChecksumOffset, saved.data() + protocol::kRecordChecksumOffset,
                    protocol::kRecordChecksumSize) == 0) {
        work = saved;
        if (!SetReport(protocol::WriteLockOffReport)) {
            Message("Str_WriteProfileLock0Err");
            return 0;
        }
        return 1;
    }

    for (unsigned p = 0; p < ProfileNum(work.data()); ++p) {
        for (unsigned b = 0; b < ButtonNum(work.data()); ++b) {
            const auto segment = static_cast<std::uint8_t>(1 + p * ButtonNum(work.data()) + b);
            if (!ReadSegment(segment, block)) {
                Message("Str_ReadData2Err");
                work = saved;
                return 0;
            }
            std::memcpy(work.data() + ButtonOffset(work.data(), p, b), block.data(), kButtonSize);
        }
    }
    if (!SetReport(protocol::WriteLockOffReport)) {
        Message("Str_WriteProfileLock0Err");
        work = saved;
        return 0;
    }
    ApplyButtonMap(work.data());

    if (work != saved) SettleDifference(context);
    *env_.curProfile = QueryActiveProfile();
    SwitchProfile();
    return 1;
}

void DeviceLink::SettleDifference(DeviceContext* context) {
    ProfileRecord& work = *env_.work;
    ProfileRecord& saved = *env_.saved;
    const bool deviceValid = ValidateDeviceRecord(work.data()) != 0;
    if (!ValidateDeviceRecord(saved.data())) {
        // Nothing usable was saved (no working file and no defaults): the
        // mouse's settings become the saved ones. Nothing is written to it.
        if (deviceValid) {
            saved = work;
            if (!SaveWorkingFile(context, saved)) Message("Str_SaveTmpProfileErr");
        }
        return;
    }
    if (!deviceValid)
        Message("Str_SettingErr");
    else if (Ask("Str_SettingMismatch"))
        return;  // the mouse's settings stay as changes not yet applied
    if (KeepMouseCopy(context)) {
        RestoreAndRewrite(context);
    } else if (!deviceValid) {
        // Without a copy the mouse is not overwritten now; the next Apply
        // writes the saved settings whole.
        work = saved;
        saved = ProfileRecord{};
        std::memcpy(saved.data(), work.data(), kSectionsSize);
    }
    // A valid mouse without a copy keeps its settings as unapplied changes.
}

void DeviceLink::RestoreAndRewrite(DeviceContext* context) {
    // With the saved blocks zeroed, every non-zero segment goes out again.
    ProfileRecord& work = *env_.work;
    ProfileRecord& saved = *env_.saved;
    work = saved;
    saved = ProfileRecord{};
    std::memcpy(saved.data(), work.data(), kSectionsSize);
    WriteToDevice(context);
}

bool DeviceLink::KeepMouseCopy(DeviceContext* context) {
    std::string name;
    if (context && context->pProfile) {
        const std::string stamp = env_.stamp ? env_.stamp() : record_copies::LocalStamp();
        name = record_copies::SaveCopy(*context->pProfile, *env_.work, record_copies::kMousePrefix, stamp);
    }
    if (name.empty()) {
        Message("Str_MouseCopyErr");
        return false;
    }
    record_copies::PruneCopies(*context->pProfile, *env_.work, record_copies::kMousePrefix,
                               record_copies::kMouseCopiesKept);
    Message("Str_MouseCopySaved", name);
    return true;
}

int ValidateDeviceRecord(const unsigned char* r) {
    if (!r || !LayoutFits(r)) return 0;
    for (unsigned p = 0; p < ProfileNum(r); ++p) {
        const unsigned char* header = r + ProfileOffset(r, p);
        if (header[kProfileIndex] > 4) return 0;
        if (header[kDPI] < 1 || header[kDPI] > 3) return 0;
        if (header[kSensorPollRate] > 2) return 0;
        if (!DummyValid(header + kDummy)) return 0;
        for (unsigned b = 0; b < ButtonNum(r); ++b) {
            const unsigned char* button = r + ButtonOffset(r, p, b);
            const unsigned function = FunIdOf(button).Code();
            if (function > 11) return 0;
            if (!FunExtValid(function, button[kFunExt])) return 0;
            if ((button[kBtnIndex] & kButtonNumberMask) > 6) return 0;
        }
    }
    return 1;
}

std::string WithDetail(std::string text, const std::string& detail) {
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, detail);
    return text;
}

bool LoadProfileFile(Vantor& profiles, ProfileRecord& work, const char* file) {
    ProfileRecord loaded = work;
    RevertButtonMap(loaded.data());
    if (!profiles.LoadVantorProfile(loaded.data(), Name(file))) return false;
    ApplyButtonMap(loaded.data());
    work = loaded;
    return true;
}

int ProfileFileExists(DeviceContext* context, unsigned char* record, const char* name) {
    if (!context || !context->pProfile || !record || !name) return 0;
    unsigned char list[kProfileNameSize * kProfileNameSlots] = {};
    context->pProfile->GetAllProfileName(record, list);
    for (int i = 0; i < kProfileNameSlots && list[kProfileNameSize * i]; ++i) {
        const char* slot = reinterpret_cast<const char*>(list + kProfileNameSize * i);
        if (std::strcmp(slot, "__DeviceInfo.xml") == 0 || std::strcmp(slot, "__working.xml") == 0 ||
            std::strcmp(slot, "__default.xml") == 0)
            continue;
        if (std::strncmp(slot, name, kProfileNameSize) == 0 && std::strlen(name) < kProfileNameSize) return 1;
    }
    return 0;
}
