// The few process services the profile library needs from the system.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Writes the process's current directory, NUL-terminated, into buf. False
// when it does not fit or cannot be read; buf is then an empty text.
bool CurrentDirectory(char* buf, std::size_t size);

// Names of the files (not folders) in folder, in the order the file system
// returns them; empty when the folder cannot be read.
std::vector<std::string> FilesInFolder(const char* folder);

}  // namespace platform
