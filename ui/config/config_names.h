// The configuration files dialog's rules without its window: which names of
// the profile library's ProfileNameList the user sees, which names typed by
// the user may become a file of the device folder, and what the OK action
// does with a name in load and in save mode.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace config_files {

// The dialog's modes, as the caller sets them.
enum class Mode { Save = 0, Load = 1 };

// A typed name may have this many characters, so that name + ".xml" fits a
// 32-byte slot of the name list with its NUL.
inline constexpr std::size_t kMaxNameLength = 27;

// The files the program keeps for itself: never listed to the user.
bool IsReservedFile(const std::string& file);

// The user's profile files of a ProfileNameList (32-byte slots, ended by a
// slot whose first byte is 0, at most size bytes), in list order, without
// the reserved files. A slot without a NUL counts as its 32 bytes.
std::vector<std::string> UserProfileFiles(const unsigned char* list, std::size_t size);

// How a file is listed: its name up to the first ".".
std::string ListedName(const std::string& file);

// A typed name that can become a file of the device folder: no path
// separator, drive colon or other character Windows forbids in file names,
// no control character, no reserved device name (CON, NUL, COM1 ... also
// before a "."), no leading or trailing blank or dot, at most
// kMaxNameLength characters. The empty name is not valid either.
bool IsValidName(const std::string& name);

// What the OK action does.
enum class Outcome {
    Nothing,       // empty name: the dialog stays open
    InvalidName,   // "Str_InvalidName"; the dialog stays open
    Reserved,      // save over the device description: "Str_ExitAlready" told, never
                   // asked, nothing is written; the dialog stays open
    FileNotFound,  // load: "Str_FileNotFound", then the dialog ends as cancelled
    Load,          // load file
    AskOverwrite,  // save: "Str_ExitAlready" Yes/No; only Yes saves file
    Save,          // save file
};

struct Decision {
    Outcome outcome = Outcome::Nothing;
    std::string file;  // name + ".xml" for Load, AskOverwrite and Save
};

// The OK action for a typed name, given the user's profile files of the
// folder (UserProfileFiles) and whether a file of that name exists in the
// folder at all (a list that was cut short may miss one).
//
// Load: a reserved file is loaded without the list check; any other name
// must be in the list exactly, and a listed one loads even with blanks at
// its ends. Save: the device description is refused as a reserved name;
// another reserved file, a listed file or one that exists is asked about
// first. Names are compared as Windows compares file names (ASCII
// case ignored) before anything is overwritten.
Decision DecideOk(Mode mode, const std::string& name, const std::vector<std::string>& userFiles,
                  bool fileExists = false);

}  // namespace config_files
