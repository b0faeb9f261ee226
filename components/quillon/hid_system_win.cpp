// The system's HID services on Windows: interfaces from the set-up API,
// collections opened with CreateFile, feature reports through hid.dll on a
// thread of their own, so that a device that does not answer costs the
// caller no more than the time limit.
#include <windows.h>

#include <setupapi.h>
// mingw-w64's HID header declares C functions without a C++ guard.
extern "C" {
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

// A feature report request runs on a thread of its own, and the caller waits
// for it no longer than the time limit. Under Wine neither cancelling the
// caller's synchronous I/O nor cancelling an overlapped request frees a
// caller whose request the device never answers: the call returns only when
// the kernel gives up (5 s). A request left behind keeps its own copy of
// the buffer and of the handle, and its own reference on this library, so
// it can finish after the caller has gone, the handle was closed or the
// library was released.
struct Job {
    HANDLE device = nullptr;  // duplicated for the job
    bool get = false;
    std::vector<std::uint8_t> buffer;
    bool ok = false;
    DWORD error = 0;
};

DWORD WINAPI RunJob(void* parameter) {
    auto* held = static_cast<std::shared_ptr<Job>*>(parameter);
    Job& job = **held;
    const ULONG length = static_cast<ULONG>(job.buffer.size());
    job.ok = job.get ? HidD_GetFeature(job.device, job.buffer.data(), length) != FALSE
                     : HidD_SetFeature(job.device, job.buffer.data(), length) != FALSE;
    job.error = job.ok ? 0 : GetLastError();
    CloseHandle(job.device);
    delete held;
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&RunJob), &self);
    FreeLibraryAndExitThread(self, 0);
}

// True when the device answered within the time limit; buffer then holds
// what came back.
bool Transfer(HANDLE device, bool get, std::vector<std::uint8_t>& buffer, const char* call) {
    auto job = std::make_shared<Job>();
    job->get = get;
    job->buffer = buffer;
    if (!DuplicateHandle(GetCurrentProcess(), device, GetCurrentProcess(), &job->device, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        LogFailure("DuplicateHandle");
        return false;
    }
    // The thread's reference on this library, released as it ends.
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&RunJob), &self)) {
        LogFailure("GetModuleHandleEx");
        CloseHandle(job->device);
        return false;
    }
    auto* held = new std::shared_ptr<Job>(job);
    HANDLE thread = CreateThread(nullptr, 0, &RunJob, held, 0, nullptr);
    if (!thread) {
        LogFailure("CreateThread");
        delete held;
        CloseHandle(job->device);
        FreeLibrary(self);
        return false;
    }
    const bool finished = WaitForSingleObject(thread, kReportTimeLimitMs) == WAIT_OBJECT_0;
    CloseHandle(thread);
    if (!finished) {
        SetLastError(ERROR_TIMEOUT);
        LogFailure(call);
        return false;
    }
    if (!job->ok) {
        SetLastError(job->error);
        LogFailure(call);
        return false;
    }
    buffer = job->buffer;
    return true;
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
        std::vector<std::uint8_t> buffer(report, report + length);
        return Transfer(ToHandle(handle), false, buffer, "HidD_SetFeature");
    }

    bool GetFeature(HidHandle handle, std::uint8_t* report, std::size_t length) override {
        std::vector<std::uint8_t> buffer(report, report + length);  // the report id travels in byte 0
        if (!Transfer(ToHandle(handle), true, buffer, "HidD_GetFeature")) return false;
        std::copy(buffer.begin(), buffer.end(), report);
        return true;
    }

    void Close(HidHandle handle) override { CloseHandle(ToHandle(handle)); }
};

}  // namespace

std::unique_ptr<HidSystem> CreateWindowsHidSystem() { return std::make_unique<WindowsHidSystem>(); }

}  // namespace quillon
