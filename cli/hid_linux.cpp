#include "cli/hid_linux.h"

#include <hidapi/hidapi.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "emulator/emulated_mouse.h"

namespace cli_hid {

namespace {

hid_device* g_device = nullptr;
bool g_initialised = false;

std::string Narrow(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}

// The path of the first configuration interface of the mouse; "" when none.
std::string FindInterface(unsigned short vendorId, unsigned short productId) {
    if (!g_initialised) {
        if (hid_init() != 0) return {};
        g_initialised = true;
    }
    std::string path;
    hid_device_info* all = hid_enumerate(vendorId, productId);
    for (hid_device_info* d = all; d; d = d->next)
        if (d->usage_page == kConfigUsagePage && d->path) {
            path = d->path;
            break;
        }
    hid_free_enumeration(all);
    return path;
}

void Close() {
    if (g_device) hid_close(g_device);
    g_device = nullptr;
}

bool Ensure(unsigned short vendorId, unsigned short productId) {
    if (g_device) return true;
    const std::string path = FindInterface(vendorId, productId);
    if (path.empty()) return false;
    g_device = hid_open_path(path.c_str());
    return g_device != nullptr;
}

int IsDeviceExist(unsigned short vendorId, unsigned short productId, unsigned char*) {
    // Looks at the interfaces present now, so an unplugged mouse is noticed
    // even while its node is open.
    if (FindInterface(vendorId, productId).empty()) {
        Close();
        return 0;
    }
    return Ensure(vendorId, productId) ? 1 : 0;
}

int SetReport(unsigned short vendorId, unsigned short productId, unsigned char* report) {
    if (!report || !Ensure(vendorId, productId)) return 0;
    if (hid_send_feature_report(g_device, report, protocol::kReportSize) == static_cast<int>(protocol::kReportSize))
        return 1;
    Close();  // never repeated: the next call finds the interface again
    return 0;
}

int GetReport(unsigned short vendorId, unsigned short productId, unsigned char* report) {
    if (!report || !Ensure(vendorId, productId)) return 0;
    unsigned char answer[protocol::kReportSize] = {report[0]};
    if (hid_get_feature_report(g_device, answer, sizeof answer) == static_cast<int>(sizeof answer)) {
        std::memcpy(report, answer, sizeof answer);
        return 1;
    }
    Close();
    return 0;
}

// ---- the emulated mouse ----

std::unique_ptr<emulator::EmulatedMouse> g_emulated;

std::string Variable(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

int EmulatedExist(unsigned short, unsigned short, unsigned char*) { return g_emulated && g_emulated->IsPresent(); }
int EmulatedSet(unsigned short, unsigned short, unsigned char* report) {
    if (!g_emulated || !report) return 0;
    protocol::Report r;
    std::memcpy(r.data(), report, r.size());
    return g_emulated->SetReport(r);
}
int EmulatedGet(unsigned short, unsigned short, unsigned char* report) {
    if (!g_emulated || !report) return 0;
    protocol::Report r;
    std::memcpy(r.data(), report, r.size());
    if (!g_emulated->GetReport(r)) return 0;
    std::memcpy(report, r.data(), r.size());
    return 1;
}

}  // namespace

HidApi HidapiBackend() { return {IsDeviceExist, SetReport, GetReport}; }

std::vector<std::string> ListConfigInterfaces() {
    std::vector<std::string> lines;
    if (!g_initialised) {
        if (hid_init() != 0) return lines;
        g_initialised = true;
    }
    hid_device_info* all = hid_enumerate(protocol::kVendorId, protocol::kProductId);
    for (hid_device_info* d = all; d; d = d->next) {
        if (d->usage_page != kConfigUsagePage) continue;
        lines.push_back(std::string(d->path ? d->path : "?") + "  " + Narrow(d->manufacturer_string) + " " +
                        Narrow(d->product_string) + " (interface " + std::to_string(d->interface_number) + ")");
    }
    hid_free_enumeration(all);
    return lines;
}

void Shutdown() {
    Close();
    g_emulated.reset();
    if (g_initialised) hid_exit();
    g_initialised = false;
}

bool EmulatorChosen() { return emulator::EmulatorChosen(Variable); }

bool EmulatorBackend(HidApi& api, std::string& error) {
    emulator::EmulatorSettings settings;
    if (!emulator::SettingsFromEnvironment(Variable, settings, error)) return false;
    g_emulated = emulator::EmulatedMouse::Open(settings, error);
    if (!g_emulated) return false;
    api = {EmulatedExist, EmulatedSet, EmulatedGet};
    return true;
}

}  // namespace cli_hid
