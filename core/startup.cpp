#include "core/startup.h"

#include <cstdio>
#include <cstring>

namespace {

// snprintf that reports whether the whole text fitted.
template <class... Args>
bool Format(char (&out)[kPathBuffer], const char* format, Args... args) {
    const int n = std::snprintf(out, sizeof out, format, args...);
    return n >= 0 && static_cast<std::size_t>(n) < sizeof out;
}

}  // namespace

bool BuildProgramFolders(const char* appPath, const char* language, ProgramFolders& out) {
    out = ProgramFolders{};
    if (!appPath || !language) return false;
    // The resource folder is the longest of the three and must still fit.
    const bool ok = Format(out.appPath, "%s", appPath) && Format(out.setupIni, "%s\\Setup.ini", appPath) &&
                    Format(out.resPath, "%s%s", appPath, kResourceFolder) &&
                    Format(out.langPath, "String\\%s", language);
    if (!ok) out = ProgramFolders{};
    return ok;
}

const char* FolderFailureText(const char* appPath, const char* language) {
    ProgramFolders folders;
    const bool folderFits = appPath && BuildProgramFolders(appPath, "", folders);
    return folderFits && language ? kLanguageTooLong : kFolderTooLong;
}

std::string StringTablePath(const char* langPath) { return std::string(langPath) + "\\Korelle.xml"; }

std::string CannotFindLibraryText(const std::string& path, unsigned long error) {
    char text[256];
    std::snprintf(text, sizeof text, "Cannot find %s, Error(0x%08lx) !", path.c_str(), error);
    return text;
}
