// korelle-cli on Linux: the mouse through hidapi's hidraw back end, or the
// emulated mouse when KORELLE_EMULATOR_STATE names its state file.
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/hid_linux.h"

namespace {

std::string DefaultDataFolder() {
    if (const char* data = std::getenv("KORELLE_DATA"); data && *data) return data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/korelle";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/korelle";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    cli::Env env;
    env.dataFolder = DefaultDataFolder();
    env.factoryFolder = KORELLE_FACTORY_FOLDER;
    env.interactive = isatty(2) != 0;
    bool wantsHelp = false;
    for (const std::string& a : args) wantsHelp |= a == "--help" || a == "-h";
    if (cli_hid::EmulatorChosen() && !wantsHelp) {
        std::string error;
        if (!cli_hid::EmulatorBackend(env.hid, error)) {
            std::cerr << env.programName << ": no emulated mouse: " << error << "\n";
            return cli::kNoMouse;
        }
    } else {
        env.hid = cli_hid::HidapiBackend();
        env.listMice = cli_hid::ListConfigInterfaces;
    }
    const int rc = cli::Run(args, env, std::cout, std::cerr);
    cli_hid::Shutdown();
    return rc;
}
