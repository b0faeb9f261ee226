#include "profile_store/platform/file_replace.h"

#include <windows.h>

namespace platform {
namespace {

ReplaceHook g_hook = nullptr;

bool FlushPath(const char* path) {
    const HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = FlushFileBuffers(file) != 0;
    return CloseHandle(file) != 0 && ok;
}

}  // namespace

void SetReplaceHook(ReplaceHook hook) { g_hook = hook; }

bool ReplaceWithFlushed(const char* temp, const char* target) {
    if (!FlushPath(temp) || (g_hook && !g_hook(temp, target)) ||
        !MoveFileExA(temp, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp);
        return false;
    }
    return true;
}

}  // namespace platform
