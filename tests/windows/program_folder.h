// Where the tests find the assembled program folder: KORELLE_DIST holds its
// host path, reached under Wine through drive Z:.
#pragma once

#include <cstdlib>
#include <string>

inline std::string ProgramFolder() {
    const char* dist = std::getenv("KORELLE_DIST");
    std::string path = std::string("Z:") + (dist ? dist : "");
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}
