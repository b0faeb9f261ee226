// The program icon (resource 165 of Korelle.exe).
#pragma once

#include <cstdint>
#include <vector>

namespace skin {

// The bytes of a .ico file holding 16, 32, 48 and 256 pixel images.
std::vector<uint8_t> EncodeProgramIcon();

}  // namespace skin
