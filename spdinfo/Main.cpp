// spdinfo on Linux: file names are the file system's own bytes; --sys reads the modules through the kernel's
// ee1004 (DDR4) and spd5118 (DDR5) drivers; there is no SMBus library to probe.
#include <malloc.h>

#include <iostream>

#include "spdinfo/SpdInfo.h"

int main(int argc, char** argv) {
    // Each module's decode makes and frees a few hundred small strings: let the C library take its heap in large
    // steps and keep it for the run, rather than growing and trimming it by system calls module after module.
    mallopt(M_TOP_PAD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    // The output is written through the streams only: let them buffer instead of writing through C's stdio.
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    SpdInfoHost host;
    host.pathOf = [](const std::string& arg) { return std::filesystem::path(arg); };
    host.readSys = [] { return ReadDriverModules(kSpdDriversFolder); };
    host.readStdin = [] { return ReadSpdStream(std::cin); };
    return RunSpdInfo(args, host, std::cout, std::cerr);
}
