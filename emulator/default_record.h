// The factory profiles of a program folder: its "__default.xml" read into a
// record the way the program reads it, through the profile library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace emulator {

// Fills the record's device section from the folder's device description and
// its profiles from "__default.xml" (file order). The profile library works
// in the current folder, so the current folder is the program folder during
// the call and is restored afterwards.
bool LoadDefaultRecord(const std::string& programFolder, std::vector<std::uint8_t>& record, std::string& error);

}  // namespace emulator
