// korelle-cli.exe: a console program beside Korelle.exe, reaching the mouse
// through the program folder's Quillon.dll as Korelle.exe does.
#include <io.h>
#include <windows.h>

#include <cstdio>

#include <iostream>
#include <string>
#include <vector>

#include "core/startup.h"
#include "cli/cli.h"

namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path, n < sizeof path ? n : 0);
    const std::size_t slash = s.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : s.substr(0, slash);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    cli::Env env;
    env.dataFolder = ProgramFolder();
    env.interactive = _isatty(_fileno(stderr)) != 0;
    bool wantsHelp = false;
    for (const std::string& a : args) wantsHelp |= a == "--help" || a == "-h";
    if (wantsHelp) return cli::Run(args, env, std::cout, std::cerr);

    // Korelle.exe may write the mouse at any moment (Apply, a profile
    // button): two programs sending segments at once would mix them.
    if (FindWindowA(kMarkerClass, kMarkerTitle)) {
        std::cerr << env.programName << ": Korelle.exe is running; close it first, so that only one program "
                     "talks to the mouse; nothing was sent\n";
        return cli::kBusy;
    }
    const std::string library = ProgramFolder() + "\\Quillon.dll";
    HMODULE quillon = LoadLibraryA(library.c_str());
    if (!quillon) {
        std::cerr << env.programName << ": " << CannotFindLibraryText(library, GetLastError()) << "\n";
        return cli::kNoMouse;
    }
    auto bind = [&](const char* name) {
        return reinterpret_cast<HidApi::Fn>(reinterpret_cast<void*>(GetProcAddress(quillon, name)));
    };
    for (const EntryPoint& e : kQuillonEntries) {
        if (!GetProcAddress(quillon, e.name)) {
            std::cerr << env.programName << ": " << e.missingText << "\n";
            FreeLibrary(quillon);
            return cli::kNoMouse;
        }
    }
    env.hid = {bind("QUILLON_IsDeviceExist"), bind("QUILLON_SetReport"), bind("QUILLON_GetReport")};
    const int rc = cli::Run(args, env, std::cout, std::cerr);
    std::cout.flush();
    FreeLibrary(quillon);
    return rc;
}
