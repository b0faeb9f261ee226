// The real mouse through the system's HID services. The mouse offers several
// HID collections; the one that carries the 8-byte feature reports is found
// by vendor and product id and by its feature report length, opened (without
// read/write access when that is refused: the system keeps mice for itself,
// and feature reports still work), and kept open until a report fails or the
// interface disappears; the next call then looks for it again.
//
// A failed report is never repeated: the mouse's transfers are sequences, and
// a repeated data report would be taken as the next one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/quillon/backend.h"

namespace quillon {

using HidHandle = std::uintptr_t;
inline constexpr HidHandle kNoHandle = 0;

enum class HidAccess { ReadWrite, None };

struct HidCollectionInfo {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t featureReportLength = 0;  // including the report id byte
};

// The system's HID services (the set-up API and hid.dll on Windows).
class HidSystem {
public:
    virtual ~HidSystem() = default;
    // Device paths of the HID interfaces present now.
    virtual std::vector<std::string> InterfacePaths() = 0;
    // kNoHandle when the interface cannot be opened with that access.
    virtual HidHandle Open(const std::string& path, HidAccess access) = 0;
    virtual bool Describe(HidHandle handle, HidCollectionInfo& info) = 0;
    // The buffer is exactly the collection's feature report length.
    virtual bool SetFeature(HidHandle handle, const std::uint8_t* report, std::size_t length) = 0;
    virtual bool GetFeature(HidHandle handle, std::uint8_t* report, std::size_t length) = 0;
    virtual void Close(HidHandle handle) = 0;
};

// hid_system_win.cpp
std::unique_ptr<HidSystem> CreateWindowsHidSystem();

class HidMouse final : public Backend {
public:
    explicit HidMouse(std::unique_ptr<HidSystem> system) : system_(std::move(system)) {}
    ~HidMouse() override { Drop(); }
    HidMouse(const HidMouse&) = delete;
    HidMouse& operator=(const HidMouse&) = delete;

    // Looks at the interfaces present now, so an unplugged mouse is noticed
    // even while its collection is open.
    bool IsPresent(std::uint16_t vendorId, std::uint16_t productId) override;
    bool SetReport(std::uint16_t vendorId, std::uint16_t productId, const Report& report) override;
    bool GetReport(std::uint16_t vendorId, std::uint16_t productId, Report& report) override;

    // The open collection's path; empty when none is open.
    const std::string& openPath() const { return path_; }

private:
    bool Ensure(std::uint16_t vendorId, std::uint16_t productId);
    bool Find(std::uint16_t vendorId, std::uint16_t productId);
    void Drop();

    std::unique_ptr<HidSystem> system_;
    HidHandle handle_ = kNoHandle;
    std::string path_;
    std::uint16_t vendorId_ = 0;
    std::uint16_t productId_ = 0;
};

}  // namespace quillon
