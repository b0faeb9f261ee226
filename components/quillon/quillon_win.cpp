// The exports of Quillon.dll. The back end is chosen at the first call: the
// emulated mouse when KORELLE_EMULATOR_STATE names a state file, the real
// mouse through the HID services otherwise. Calls are serialised, every
// buffer is checked before use, and no exception leaves the library.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "components/quillon/backend.h"
#include "components/quillon/emulated_backend.h"
#include "components/quillon/hid_mouse.h"
#include "components/quillon/quillon_api.h"

namespace {

using quillon::Backend;
using quillon::Report;

std::mutex g_lock;
std::unique_ptr<Backend> g_backend;

std::string EnvironmentValue(const char* name) {
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0) return {};
    std::string value(size, '\0');
    const DWORD n = GetEnvironmentVariableA(name, value.data(), size);
    if (n == 0 || n >= size) return {};
    value.resize(n);
    return value;
}

std::unique_ptr<Backend> ChooseBackend() {
    if (!emulator::EmulatorChosen(EnvironmentValue))
        return std::make_unique<quillon::HidMouse>(quillon::CreateWindowsHidSystem());
    emulator::EmulatorSettings settings;
    std::string error;
    if (emulator::SettingsFromEnvironment(EnvironmentValue, settings, error)) {
        if (auto mouse = emulator::EmulatedMouse::Open(settings, error))
            return std::make_unique<quillon::EmulatedBackend>(std::move(mouse));
    }
    OutputDebugStringA(("Quillon: no emulated mouse: " + error + "\n").c_str());
    return std::make_unique<quillon::AbsentMouse>();
}

// Whether n bytes at p lie in committed memory that may be read (and
// written). A buffer that runs into memory it may not touch is refused
// instead of faulting.
bool Accessible(const void* p, std::size_t n, bool write) {
    if (!p) return false;
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    constexpr DWORD kWritable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    auto at = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t end = at + n;
    if (end < at) return false;
    while (at < end) {
        MEMORY_BASIC_INFORMATION region;
        if (VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) == 0) return false;
        if (region.State != MEM_COMMIT || (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) ||
            !(region.Protect & (write ? kWritable : kReadable)))
            return false;
        at = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

template <class Call>
int Serialised(Call call) {
    try {
        std::lock_guard<std::mutex> hold(g_lock);
        if (!g_backend) g_backend = ChooseBackend();
        return call(*g_backend) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

}  // namespace

extern "C" {

QUILLON_API int QUILLON_IsDeviceExist(unsigned short vendorId, unsigned short productId, unsigned char* scratch) {
    if (!Accessible(scratch, protocol::kReportSize, true)) return 0;
    return Serialised([&](Backend& b) { return b.IsPresent(vendorId, productId); });
}

QUILLON_API int QUILLON_SetReport(unsigned short vendorId, unsigned short productId, unsigned char* report) {
    if (!Accessible(report, protocol::kReportSize, false)) return 0;
    Report r;
    std::memcpy(r.data(), report, r.size());
    return Serialised([&](Backend& b) { return b.SetReport(vendorId, productId, r); });
}

QUILLON_API int QUILLON_GetReport(unsigned short vendorId, unsigned short productId, unsigned char* report) {
    if (!Accessible(report, protocol::kReportSize, true)) return 0;
    Report r;
    std::memcpy(r.data(), report, r.size());
    return Serialised([&](Backend& b) {
        if (!b.GetReport(vendorId, productId, r)) return false;
        std::memcpy(report, r.data(), r.size());
        return true;
    });
}

}  // extern "C"
