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

}  // namespace platform
