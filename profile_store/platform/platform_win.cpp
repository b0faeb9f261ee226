#include <windows.h>

#include "profile_store/platform/platform.h"

namespace platform {

bool CurrentDirectory(char* buf, std::size_t size) {
    if (!buf || size == 0) return false;
    const DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(size), buf);
    if (n > 0 && n < size) return true;  // n >= size: the buffer was too small
    buf[0] = '\0';
    return false;
}

std::vector<std::string> FilesInFolder(const char* folder) {
    std::vector<std::string> names;
    if (!folder) return names;
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

}  // namespace platform
