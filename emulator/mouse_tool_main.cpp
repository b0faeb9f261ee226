#include <iostream>

#include "emulator/mouse_tool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return emulator::RunMouseTool(args, std::cout, std::cerr);
}
