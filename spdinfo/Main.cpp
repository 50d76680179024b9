// spdinfo on Linux: file names are the file system's own bytes; there is no SMBus library to probe.
#include <iostream>

#include "spdinfo/SpdInfo.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    SpdInfoHost host;
    host.pathOf = [](const std::string& arg) { return std::filesystem::path(arg); };
    return RunSpdInfo(args, host, std::cout, std::cerr);
}
