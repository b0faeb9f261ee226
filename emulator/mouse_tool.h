// korelle-mouse: creates, shows and changes emulated mouse state files and
// prints their traces. The commands are in kUsage.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace emulator {

inline constexpr char kUsage[] =
    "usage:\n"
    "  korelle-mouse create STATE blank [--hardware N] [--firmware N]\n"
    "  korelle-mouse create STATE default FOLDER [--record-dummy] [--hardware N] [--firmware N]\n"
    "      FOLDER: a program folder; its Database\\VID7a3d_PID006a\\__default.xml is the content\n"
    "  korelle-mouse create STATE factory RECORD [--record-dummy] [--hardware N] [--firmware N]\n"
    "      RECORD: a 2070-byte profile record file in file order\n"
    "      profile 0 holds the record checksum the program computes, or with\n"
    "      --record-dummy the record's own Dummy bytes\n"
    "  korelle-mouse show STATE\n"
    "  korelle-mouse set STATE segment S OFFSET HEX...   e.g. set s.state segment 0 1 00 (DPI 0)\n"
    "  korelle-mouse set STATE active-profile|hardware|firmware|write-lock N\n"
    "  korelle-mouse trace TRACE   (TRACE or TRACE.trace; the emulator writes STATE.trace)\n";

// Runs one command (arguments without the program name); 0 on success.
int RunMouseTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace emulator
