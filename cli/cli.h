// korelle-cli: the mouse's settings from a command line, over the portable
// core (the profile files of the device folder, the profile record, the
// device link with its lock, waits, failure table and validation). The HID
// access comes in through the same three-function seam as in the program:
// Quillon.dll on Windows, hidapi (or the emulated mouse) on Linux.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "device/device_link.h"

namespace cli {

// Exit codes, also listed by --help.
enum Exit : int {
    kOk = 0,
    kDiffers = 1,        // diff: the file and the mouse differ
    kUsage = 2,          // bad command line or a value out of range; nothing sent
    kNoMouse = 3,        // no mouse attached (or no HID access)
    kDeviceFailed = 4,   // a report failed; what was left as it was is printed
    kFileFailed = 5,     // a profile file could not be read or written
    kInvalidData = 6,    // the settings fail validation; nothing sent
    kBusy = 7,           // Korelle.exe is running and may talk to the mouse; nothing sent
};

struct Env {
    HidApi hid;
    Sleeper* sleeper = nullptr;
    // The program folder that holds Database/VID7a3d_PID006a (and, when
    // present, String/English/Korelle.xml for the messages). Made the current
    // directory while a command runs, as the profile library works there.
    std::string dataFolder;
    // "YYYY-MM-DD-HHMM" for the names of mouse copies; local time when unset.
    std::function<std::string()> stamp;
    // The attached mice as lines for "list"; when unset, the device link's
    // presence test stands for the one supported mouse.
    std::function<std::vector<std::string>()> listMice;
    // Where the shipped device files come from when the data folder has none
    // (__DeviceInfo.xml and __default.xml); empty: no such folder.
    std::string factoryFolder;
    // Progress lines are redrawn in place on a terminal; otherwise each
    // transfer gets one line.
    bool interactive = false;
    // The name the help text shows.
    std::string programName = "korelle-cli";
};

// Runs one command line (without the program name). Writes results to out,
// progress and errors to err.
int Run(const std::vector<std::string>& args, Env& env, std::ostream& out, std::ostream& err);

// The usage text of --help.
std::string HelpText(const std::string& programName);

// Parsed values, exposed for the tests of their ranges.
struct ButtonFunction {
    unsigned code = 0;     // FunID's function code
    unsigned char ext = 0; // FunExt
};
// "off", "click", "right", "middle", "button4", "button5", "double-click",
// "dpi" with 800|1600|2000|up|down, "profile" with 1..5. Macros, single keys
// and "dynamic-sensitive" are refused with a reason.
bool ParseButtonFunction(const std::string& name, const std::string& value, ButtonFunction& out, std::string& why);
// The profile-wide DPI step 1..3 (or 800, 1600, 2000) and polling index 0..2
// (or 100, 500, 1000).
bool ParseDpiStep(const std::string& text, unsigned& step, std::string& why);
bool ParsePolling(const std::string& text, unsigned& index, std::string& why);
// A 1-based number from 1 to max.
bool ParseIndex(const std::string& text, unsigned max, unsigned& zeroBased, const char* what, std::string& why);

}  // namespace cli
