// The device link: the reports, segment transfers, the write-profile lock and
// the checksums, and the two flows that keep the mouse's memory, the working
// profile file and the program's two records in step. Portable: the HID
// library, the fixed waits and the message boxes come in through seams.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "device/protocol.h"
#include "profile_store/record/profile_record.h"

class Vantor;
class XmlRW;

// The three entry points of Quillon.dll, bound by name; a null one counts as
// a failed call wherever it is used.
struct HidApi {
    using Fn = int (*)(unsigned short vendorId, unsigned short productId, unsigned char* report);
    Fn isDeviceExist = nullptr;
    Fn setReport = nullptr;
    Fn getReport = nullptr;
};

// The fixed waits of the protocol.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void SleepMs(unsigned ms) = 0;
};

// Really waits (the program and the benchmark).
class RealSleeper : public Sleeper {
public:
    void SleepMs(unsigned ms) override;
};

// The owner window's message boxes. The text is the string table's text for
// the key (empty when the table has none); the key is passed along for
// tests and logs.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowOk(const char* key, const char* text) = 0;
    // 1 for Yes, anything else for No.
    virtual int AskYesNo(const char* key, const char* text) = 0;
};

struct DeviceIds {
    std::uint16_t vendorId;
    std::uint16_t productId;
};

struct DeviceContext {
    DeviceIds* pIds = nullptr;
    Vantor* pProfile = nullptr;
    std::uint16_t wVendorID = protocol::kVendorId;
    std::uint16_t wProductID = protocol::kProductId;
};

// Everything the link works on: the seams, the string table, the two records
// and the active profile. The program passes its globals; tests their own.
struct DeviceLinkEnv {
    HidApi hid;
    Sleeper* sleeper = nullptr;
    MessageSink* messages = nullptr;
    XmlRW* strings = nullptr;
    ProfileRecord* work = nullptr;   // g_WorkRecord, slot order
    ProfileRecord* saved = nullptr;  // g_SavedRecord, slot order
    int* curProfile = nullptr;       // g_nCurProfile
    // "YYYY-MM-DD-HHMM" for the names of the mouse copies; the local time
    // when not set.
    std::function<std::string()> stamp;
};

// The start of a read from the mouse, which needs neither the records nor the
// user: the mouse's presence, the write-profile lock and segment 0 (the
// headers with the record's checksum). The program takes it on a thread of
// its own while its windows are made; ReadFromDevice goes on from it.
struct ReadOpening {
    bool present = false;
    bool locked = false;
    bool headersRead = false;
    protocol::SegmentBlock headers{};
};

class DeviceLink {
public:
    explicit DeviceLink(const DeviceLinkEnv& env) : env_(env) {}

    // Creates the device context: the profile object, the device section of
    // the working record, the 5-profiles-of-7-buttons check (null and a
    // message on failure), then the working file, the button map, the saved
    // copy and ReadFromDevice, from opening when one was taken ahead.
    DeviceContext* CreateDeviceContext(Vantor* (*createProfile)(int vendorId, int productId),
                                       const ReadOpening* opening = nullptr);
    static void DestroyDeviceContext(DeviceContext* context);

    bool IsDeviceExist();
    bool SetReport(const protocol::Report& report);
    bool GetReport(protocol::Report& report);

    bool WriteSegment(std::uint8_t segment, const protocol::SegmentBlock& block);
    bool ReadSegment(std::uint8_t segment, protocol::SegmentBlock& block);

    int SwitchProfile();
    int QueryActiveProfile();
    int QueryDeviceInfo(int& hardware, int& firmware);
    void ComputeRecordChecksum();

    void WriteToDevice(DeviceContext* context);
    // Stops at the first report that fails; sends nothing after it.
    ReadOpening OpenRead();
    // Releases the lock of an opening no read went on from.
    void AbandonRead(const ReadOpening& opening);
    int ReadFromDevice(DeviceContext* context, const ReadOpening* opening = nullptr);

    void Message(const char* key);
    // The key's text with its "%s" replaced by detail.
    void Message(const char* key, const std::string& detail);
    bool Ask(const char* key);

private:
    // Saves what the mouse holds (the working record, slot order) as a
    // named configuration before the mouse is overwritten, keeps the newest
    // copies and tells the user where it went. False when it could not be
    // saved: the mouse must then stay as it is.
    bool KeepMouseCopy(DeviceContext* context);
    // ReadFromDevice's end when the mouse's data differs from the saved.
    void SettleDifference(DeviceContext* context);
    // Writes the saved record to the mouse from nothing: every segment that
    // is not all zero, the switch, and the working file.
    void RestoreAndRewrite(DeviceContext* context);
    bool SaveWorkingFile(DeviceContext* context, const ProfileRecord& slotOrder);
    std::string Text(const char* key) const;

    DeviceLinkEnv env_;
};

// A message text with its "%s" replaced by detail.
std::string WithDetail(std::string text, const std::string& detail);

// Loads a profile file of the device folder into work (slot order). The
// file's content goes in in file order, so whatever the file lacks keeps the
// value it had. All or nothing: false leaves work as it was.
bool LoadProfileFile(Vantor& profiles, ProfileRecord& work, const char* file);

// The device's data in slot order is usable: every profile's header and
// button fields are in range. 1 valid, 0 invalid.
int ValidateDeviceRecord(const unsigned char* record);

// A user profile file of that name exists in the device folder (the reserved
// files do not count). 1 or 0.
int ProfileFileExists(DeviceContext* context, unsigned char* record, const char* name);
