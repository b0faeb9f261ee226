// The mouse's configuration interface on Linux through hidapi's hidraw back
// end: found by vendor and product id and by its vendor-defined usage page
// (0xFF00), whose feature report 5 carries the 8-byte reports. Bound to the
// device link's three-function seam.
#pragma once

#include <string>
#include <vector>

#include "device/device_link.h"

namespace cli_hid {

inline constexpr unsigned short kConfigUsagePage = 0xFF00;

// The hidapi entry points; the first call opens the interface, a failed
// report closes it so that the next call looks for it again.
HidApi HidapiBackend();
// One line per configuration interface present: its hidraw path and names.
std::vector<std::string> ListConfigInterfaces();
// Releases hidapi.
void Shutdown();

// The emulated mouse of KORELLE_EMULATOR_STATE (and its fault variables),
// as Quillon.dll offers it on Windows. False with a reason when the
// settings or the state file cannot be used.
bool EmulatorChosen();
bool EmulatorBackend(HidApi& api, std::string& error);

}  // namespace cli_hid
