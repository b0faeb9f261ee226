#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "profile_store/platform/platform.h"

namespace platform {

bool CurrentDirectory(char* buf, std::size_t size) {
    if (!buf || size == 0) return false;
    if (getcwd(buf, size)) return true;
    buf[0] = '\0';
    return false;
}

std::vector<std::string> FilesInFolder(const char* folder) {
    std::vector<std::string> names;
    DIR* dir = folder ? opendir(folder) : nullptr;
    if (!dir) return names;
    const std::string base = std::string(folder) + "/";
    while (const dirent* entry = readdir(dir)) {
        struct stat info;
        if (stat((base + entry->d_name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) names.push_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

}  // namespace platform
