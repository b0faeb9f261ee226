// The system's HID services on Windows: interfaces from the set-up API,
// collections opened with CreateFile, feature reports through hid.dll.
#include <windows.h>

#include <setupapi.h>
// mingw-w64's HID header declares C functions without a C++ guard.
extern "C" {
#include <hidsdi.h>
}

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

// Cancels the calling thread's synchronous I/O once the time limit passes.
// The destructor waits for a timer callback in flight, so the cancellation
// can never reach a later call.
class IoWatchdog {
public:
    IoWatchdog() {
        if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread_, 0, FALSE,
                             DUPLICATE_SAME_ACCESS)) {
            thread_ = nullptr;
            return;
        }
        if (!CreateTimerQueueTimer(&timer_, nullptr, &IoWatchdog::Fire, thread_, kReportTimeLimitMs, 0,
                                   WT_EXECUTEONLYONCE))
            timer_ = nullptr;
    }
    ~IoWatchdog() {
        if (timer_) DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
        if (thread_) CloseHandle(thread_);
    }
    IoWatchdog(const IoWatchdog&) = delete;
    IoWatchdog& operator=(const IoWatchdog&) = delete;

private:
    static VOID CALLBACK Fire(PVOID thread, BOOLEAN) { CancelSynchronousIo(static_cast<HANDLE>(thread)); }

    HANDLE thread_ = nullptr;
    HANDLE timer_ = nullptr;
};

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
        HANDLE h = CreateFileA(path.c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
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
        std::vector<std::uint8_t> buffer(report, report + length);  // the call takes a non-const buffer
        IoWatchdog watchdog;
        if (HidD_SetFeature(ToHandle(handle), buffer.data(), static_cast<ULONG>(length))) return true;
        LogFailure("HidD_SetFeature");
        return false;
    }

    bool GetFeature(HidHandle handle, std::uint8_t* report, std::size_t length) override {
        IoWatchdog watchdog;
        if (HidD_GetFeature(ToHandle(handle), report, static_cast<ULONG>(length))) return true;
        LogFailure("HidD_GetFeature");
        return false;
    }

    void Close(HidHandle handle) override { CloseHandle(ToHandle(handle)); }
};

}  // namespace

std::unique_ptr<HidSystem> CreateWindowsHidSystem() { return std::make_unique<WindowsHidSystem>(); }

}  // namespace quillon
