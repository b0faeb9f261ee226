#include <unistd.h>

#include "profile_store/platform/platform.h"

namespace platform {

bool CurrentDirectory(char* buf, std::size_t size) {
    if (!buf || size == 0) return false;
    if (getcwd(buf, size)) return true;
    buf[0] = '\0';
    return false;
}

}  // namespace platform
