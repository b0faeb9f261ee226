// The system's HID services on Windows: interfaces from the set-up API,
// collections opened with CreateFile (overlapped), attributes and capabilities
// through hid.dll, feature reports as HID class requests that are cancelled
// when the device does not answer in time.
#include <windows.h>

#include <setupapi.h>
// mingw-w64's HID header declares C functions without a C++ guard.
extern "C" {
#include <hidclass.h>
#include <hidsdi.h>
}

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "components/quillon/hid_mouse.h"

namespace quillon {

namespace {

// A device that stops answering must not hang the program: a feature
// report that takes longer than this is cancelled.
constexpr DWORD kReportTimeLimitMs = 1000;

void LogFailure(const char* call) {
    const DWORD code = GetLastError();
    const std::string text = std::string("Quillon: ") + call + " failed, error " + std::to_string(code) + "\n";
    OutputDebugStringA(text.c_str());
}

HANDLE ToHandle(HidHandle h) { return reinterpret_cast<HANDLE>(h); }

// One feature report request in flight on an overlapped handle. A request
// the device does not answer within the time limit is cancelled and the
// call fails; cancelling synchronous I/O from a timer (the obvious way) does
// not reach a HID request under Wine, which then waits for the kernel's own
// 5 s limit. A cancelled request that the driver has not finished yet keeps
// its buffer until it does (see Abandoned).
struct Request {
    OVERLAPPED overlapped{};
    std::vector<std::uint8_t> buffer;
};

// Cancelled requests still in the driver's hands, freed once finished.
std::vector<Request*> g_abandoned;

void ReapAbandoned() {
    for (auto it = g_abandoned.begin(); it != g_abandoned.end();) {
        if (HasOverlappedIoCompleted(&(*it)->overlapped)) {
            CloseHandle((*it)->overlapped.hEvent);
            delete *it;
            it = g_abandoned.erase(it);
        } else {
            ++it;
        }
    }
}

// Sends one feature report request; true when the device answered in time.
// On success request.buffer holds what came back.
bool Transfer(HANDLE handle, DWORD code, std::unique_ptr<Request>& request, const char* call) {
    ReapAbandoned();
    request->overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!request->overlapped.hEvent) {
        LogFailure("CreateEvent");
        return false;
    }
    const DWORD length = static_cast<DWORD>(request->buffer.size());
    DWORD done = 0;
    const bool get = code == IOCTL_HID_GET_FEATURE;
    BOOL ok = DeviceIoControl(handle, code, request->buffer.data(), length, get ? request->buffer.data() : nullptr,
                              get ? length : 0, &done, &request->overlapped);
    if (!ok && GetLastError() == ERROR_IO_PENDING) {
        if (WaitForSingleObject(request->overlapped.hEvent, kReportTimeLimitMs) != WAIT_OBJECT_0) {
            CancelIoEx(handle, &request->overlapped);
            // A driver that honours the cancel finishes at once; one that
            // does not keeps the buffer, which must then outlive this call.
            if (WaitForSingleObject(request->overlapped.hEvent, 50) != WAIT_OBJECT_0) {
                g_abandoned.push_back(request.release());
                SetLastError(ERROR_TIMEOUT);
                LogFailure(call);
                return false;
            }
        }
        ok = GetOverlappedResult(handle, &request->overlapped, &done, FALSE);
    }
    CloseHandle(request->overlapped.hEvent);
    request->overlapped.hEvent = nullptr;
    if (!ok) LogFailure(call);
    return ok != FALSE;
}

class WindowsHidSystem final : public HidSystem {
public:
    std::vector<std::string> InterfacePaths() override {
        std::vector<std::string> paths;
        GUID hidGuid;
        HidD_GetHidGuid(&hidGuid);
        HDEVINFO set = SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE) {
            LogFailure("SetupDiGetClassDevs");
            return paths;
        }
        SP_DEVICE_INTERFACE_DATA iface = {};
        iface.cbSize = sizeof iface;
        for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, i, &iface); ++i) {
            DWORD needed = 0;
            SetupDiGetDeviceInterfaceDetailA(set, &iface, nullptr, 0, &needed, nullptr);
            if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) continue;
            // DWORD elements keep the detail structure aligned.
            std::vector<DWORD> storage((needed + sizeof(DWORD) - 1) / sizeof(DWORD));
            auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
            if (SetupDiGetDeviceInterfaceDetailA(set, &iface, detail, needed, nullptr, nullptr))
                paths.emplace_back(detail->DevicePath);
        }
        SetupDiDestroyDeviceInfoList(set);
        return paths;
    }

    HidHandle Open(const std::string& path, HidAccess access) override {
        const DWORD rights = access == HidAccess::ReadWrite ? GENERIC_READ | GENERIC_WRITE : 0;
        HANDLE h = CreateFileA(path.c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED, nullptr);
        if (h == INVALID_HANDLE_VALUE) return kNoHandle;
        return reinterpret_cast<HidHandle>(h);
    }

    bool Describe(HidHandle handle, HidCollectionInfo& info) override {
        HIDD_ATTRIBUTES attributes = {};
        attributes.Size = sizeof attributes;
        if (!HidD_GetAttributes(ToHandle(handle), &attributes)) {
            LogFailure("HidD_GetAttributes");
            return false;
        }
        PHIDP_PREPARSED_DATA preparsed = nullptr;
        if (!HidD_GetPreparsedData(ToHandle(handle), &preparsed)) {
            LogFailure("HidD_GetPreparsedData");
            return false;
        }
        HIDP_CAPS caps = {};
        const bool described = HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS;
        HidD_FreePreparsedData(preparsed);
        if (!described) return false;
        info.vendorId = attributes.VendorID;
        info.productId = attributes.ProductID;
        info.featureReportLength = caps.FeatureReportByteLength;
        return true;
    }

    bool SetFeature(HidHandle handle, const std::uint8_t* report, std::size_t length) override {
        auto request = std::make_unique<Request>();
        request->buffer.assign(report, report + length);
        return Transfer(ToHandle(handle), IOCTL_HID_SET_FEATURE, request, "IOCTL_HID_SET_FEATURE");
    }

    bool GetFeature(HidHandle handle, std::uint8_t* report, std::size_t length) override {
        auto request = std::make_unique<Request>();
        request->buffer.assign(report, report + length);  // the report id travels in byte 0
        if (!Transfer(ToHandle(handle), IOCTL_HID_GET_FEATURE, request, "IOCTL_HID_GET_FEATURE")) return false;
        std::copy(request->buffer.begin(), request->buffer.end(), report);
        return true;
    }

    void Close(HidHandle handle) override { CloseHandle(ToHandle(handle)); }
};

}  // namespace

std::unique_ptr<HidSystem> CreateWindowsHidSystem() { return std::make_unique<WindowsHidSystem>(); }

}  // namespace quillon
