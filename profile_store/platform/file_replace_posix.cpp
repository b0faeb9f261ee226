#include "profile_store/platform/file_replace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace platform {
namespace {

ReplaceHook g_hook = nullptr;

bool FlushPath(const char* path, int flags) {
    const int fd = ::open(path, flags);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

void SetReplaceHook(ReplaceHook hook) { g_hook = hook; }

bool ReplaceWithFlushed(const char* temp, const char* target) {
    if (!FlushPath(temp, O_RDONLY) || (g_hook && !g_hook(temp, target)) || std::rename(temp, target) != 0) {
        std::remove(temp);
        return false;
    }
    // The rename is durable once the folder's entry is on the disk; a folder
    // that cannot be flushed (some file systems refuse) does not undo it.
    FlushPath(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY);
    return true;
}

}  // namespace platform
