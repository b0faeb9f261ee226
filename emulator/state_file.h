// The emulated mouse's state file: what the mouse keeps between runs, as
// text a person can read and a test can write.
//
//   korelle-emulated-mouse 1
//   hardware 1
//   firmware 1
//   active-profile 0
//   write-lock 0
//   segment 0 <128 hex digits>
//   ...
//   segment 35 <128 hex digits>
//
// Every line must appear exactly once, in any order after the first; blank
// lines and lines starting with '#' are skipped. Numbers are decimal 0..255
// (write-lock 0 or 1).
#pragma once

#include <string>
#include <string_view>

#include "emulator/firmware.h"

namespace emulator {

std::string FormatState(const MouseState& state);
// False with a reason in error when the text is not a complete state.
bool ParseState(std::string_view text, MouseState& state, std::string& error);

bool LoadStateFile(const std::string& path, MouseState& state, std::string& error);
// Writes a temporary file in the same folder and then replaces path with it,
// so the file is never left half-written.
bool SaveStateFile(const std::string& path, const MouseState& state, std::string& error);

}  // namespace emulator
