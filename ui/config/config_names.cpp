#include "ui/config/config_names.h"

#include <algorithm>
#include <cstring>

namespace config_files {

namespace {

constexpr std::size_t kSlotSize = 32;
constexpr const char* kReserved[] = {"__DeviceInfo.xml", "__working.xml", "__default.xml"};
constexpr const char* kDeviceInfo = "__DeviceInfo.xml";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Windows compares file names without regard to ASCII case.
bool SameFile(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return Lower(x) == Lower(y);
           });
}

bool IsReservedFileAnyCase(const std::string& file) {
    return std::any_of(std::begin(kReserved), std::end(kReserved), [&](const char* r) { return SameFile(file, r); });
}

// CON, PRN, AUX, NUL, COM0..9 and LPT0..9 (with the superscript digits 1, 2
// and 3 of the ANSI code page), CONIN$ and CONOUT$: Windows opens the device
// instead of a file, also with any extension.
bool IsDeviceName(std::string base) {
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"})
        if (SameFile(base, device)) return true;
    if (base.size() != 4) return false;
    const std::string stem = base.substr(0, 3);
    if (!SameFile(stem, "com") && !SameFile(stem, "lpt")) return false;
    const auto digit = static_cast<unsigned char>(base[3]);
    return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

}  // namespace

bool IsReservedFile(const std::string& file) {
    return std::any_of(std::begin(kReserved), std::end(kReserved), [&](const char* r) { return file == r; });
}

std::vector<std::string> UserProfileFiles(const unsigned char* list, std::size_t size) {
    std::vector<std::string> files;
    if (!list) return files;
    for (std::size_t at = 0; at + kSlotSize <= size && list[at] != 0; at += kSlotSize) {
        const char* slot = reinterpret_cast<const char*>(list + at);
        const void* nul = std::memchr(slot, 0, kSlotSize);
        std::string file(slot, nul ? static_cast<const char*>(nul) - slot : kSlotSize);
        if (!IsReservedFile(file)) files.push_back(std::move(file));
    }
    return files;
}

std::string ListedName(const std::string& file) { return file.substr(0, file.find('.')); }

namespace {

// A name that stays inside the device folder: no separator, drive colon,
// forbidden or control character, no device name, not too long. Blanks at
// its ends are allowed: a file may have them before its ".xml".
bool StaysInFolder(const std::string& name) {
    if (name.empty() || name.size() > kMaxNameLength) return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20) return false;
        if (std::strchr("<>:\"/\\|?*", c)) return false;
    }
    if (name == "." || name == "..") return false;
    return !IsDeviceName(name.substr(0, name.find('.')));
}

}  // namespace

bool IsValidName(const std::string& name) {
    if (!StaysInFolder(name)) return false;
    const char first = name.front(), last = name.back();
    return first != ' ' && first != '.' && last != ' ' && last != '.';
}

Decision DecideOk(Mode mode, const std::string& name, const std::vector<std::string>& userFiles, bool fileExists) {
    if (name.empty()) return {Outcome::Nothing, {}};
    const std::string file = name + ".xml";
    if (mode == Mode::Load) {
        // A listed name loads as it is listed, blanks at its ends included:
        // the list shows the folder's files untrimmed.
        const bool listed = std::find(userFiles.begin(), userFiles.end(), file) != userFiles.end();
        if (listed && StaysInFolder(name)) return {Outcome::Load, file};
        if (!IsValidName(name)) return {Outcome::InvalidName, {}};
        if (!IsReservedFile(file)) return {Outcome::FileNotFound, file};
        return {Outcome::Load, file};
    }
    if (!IsValidName(name)) return {Outcome::InvalidName, {}};
    // The device description is not a configuration: writing one over it
    // would stop the program from starting again.
    if (SameFile(file, kDeviceInfo)) return {Outcome::Reserved, {}};
    const bool taken = fileExists || IsReservedFileAnyCase(file) ||
                       std::any_of(userFiles.begin(), userFiles.end(), [&](const std::string& f) { return SameFile(f, file); });
    return {taken ? Outcome::AskOverwrite : Outcome::Save, file};
}

}  // namespace config_files
