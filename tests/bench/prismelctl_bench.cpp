// prismelctl's latency: from starting "prismelctl mode meteor" until the SMBus stand-in journals the select
// command it causes, with Prismel.exe already running. Prints each run and the median.
//
// Usage (under Wine): prismelctl_bench.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "smbus-sim/SimFiles_win32.h"
#include "tools/support/Program.h"

namespace {

using namespace support;

// The time of the first frames select journalled at or after `after`, waited for.
double FirstSelectAfter(const StandInFiles& standIn, double after) {
    for (int tries = 0; tries < 1000; ++tries) {
        for (const std::string& line : standIn.Journal()) {
            if (CallOf(line) == "RGBI2CMode(0x01, 0x04, 0x00, 0x00)" && TimeOf(line) >= after) {
                return TimeOf(line);
            }
        }
        Sleep(5);
    }
    return -1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 10;
    const std::wstring folder = MakeScratchFolder(L"bench-prismelctl");
    const std::wstring bin = ProgramFolder();
    if (!InstallProgram(bin, folder).empty() || !CopyFileTo(bin + L"\\prismelctl.exe", folder + L"\\prismelctl.exe")) {
        std::fprintf(stderr, "cannot install the programs\n");
        return 1;
    }
    StandInFiles standIn(folder);
    standIn.WriteConfig(ModuleLine(0, 0, SpdImage(bin, "gskill-f4-3200c14d-32gtzr.bin")));
    RemoveSettings();
    std::optional<Process> program = Process::Start(ProgramLaunch(folder + L"\\Prismel.exe", standIn));
    HWND main = program ? WaitForMainWindow(*program) : nullptr;
    if (!main || !WaitUntilInitialised(main)) {
        std::fprintf(stderr, "Prismel.exe did not start\n");
        return 1;
    }
    std::vector<double> latencies;
    for (int run = 0; run < runs; ++run) {
        LaunchOptions ctl{folder + L"\\prismelctl.exe", L"mode meteor", folder, {standIn.Variable()}};
        const double start = smbus_sim::JournalClockMs();
        std::optional<ConsoleRun> done = RunConsoleProgram(ctl, folder + L"\\ctl.out", folder + L"\\ctl.err");
        const double selected = FirstSelectAfter(standIn, start);
        if (!done || done->exitCode != 0 || selected < 0) {
            std::fprintf(stderr, "run %d: prismelctl failed\n", run + 1);
            return 1;
        }
        latencies.push_back(selected - start);
        std::printf("run %2d: %.1f ms\n", run + 1, latencies.back());
    }
    PostMessageW(main, WM_COMMAND, ID_TRAY_QUIT, 0);
    program->WaitForExit(5000);
    RemoveSettings();
    std::sort(latencies.begin(), latencies.end());
    const std::size_t n = latencies.size();
    const double median = n % 2 ? latencies[n / 2] : (latencies[n / 2 - 1] + latencies[n / 2]) / 2.0;
    std::printf("prismelctl mode meteor -> first select in the journal: median %.1f ms of %zu runs (min %.1f, max "
                "%.1f)\n",
                median, n, latencies.front(), latencies.back());
    return 0;
}
