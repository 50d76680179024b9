// spdinfo on Linux: file names are the file system's own bytes; --sys reads the modules through the kernel's
// ee1004 driver; there is no SMBus library to probe.
#include <iostream>

#include "spdinfo/SpdInfo.h"

int main(int argc, char** argv) {
    // The output is written through the streams only: let them buffer instead of writing through C's stdio.
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    SpdInfoHost host;
    host.pathOf = [](const std::string& arg) { return std::filesystem::path(arg); };
    host.readSys = [] { return ReadEe1004Modules(kEe1004DriverFolder); };
    host.readStdin = [] { return ReadSpdStream(std::cin); };
    return RunSpdInfo(args, host, std::cout, std::cerr);
}
