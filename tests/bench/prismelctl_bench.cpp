// prismelctl's latency: from starting "prismelctl mode meteor" until the SMBus stand-in journals the select
// command it causes, with Prismel.exe already running; and in the same runs the same for "prismelctl profile load"
// of a profile that holds Meteor. Prints each run and the medians.
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
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 11;
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
    const auto ctl = [&](const wchar_t* words) {
        LaunchOptions options{folder + L"\\prismelctl.exe", words, folder, {standIn.Variable()}};
        std::optional<ConsoleRun> done = RunConsoleProgram(options, folder + L"\\ctl.out", folder + L"\\ctl.err");
        return done && done->exitCode == 0;
    };
    // One request's time to its select; negative when it failed.
    const auto measure = [&](const wchar_t* words) {
        const double start = smbus_sim::JournalClockMs();
        const bool done = ctl(words);
        const double selected = FirstSelectAfter(standIn, start);
        return done && selected >= 0 ? selected - start : -1.0;
    };
    if (measure(L"mode meteor") < 0 || !ctl(L"profile save bench")) {
        std::fprintf(stderr, "prismelctl failed before the runs\n");
        return 1;
    }
    std::vector<double> latencies, profileLatencies;
    for (int run = 0; run < runs; ++run) {
        latencies.push_back(measure(L"mode meteor"));
        profileLatencies.push_back(measure(L"profile load bench"));
        if (latencies.back() < 0 || profileLatencies.back() < 0) {
            std::fprintf(stderr, "run %d: prismelctl failed\n", run + 1);
            return 1;
        }
        std::printf("run %2d: mode %.1f ms, profile load %.1f ms\n", run + 1, latencies.back(),
                    profileLatencies.back());
    }
    PostMessageW(main, WM_COMMAND, ID_TRAY_QUIT, 0);
    program->WaitForExit(5000);
    RemoveSettings();
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        const std::size_t n = values.size();
        return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    };
    const double mode = median(latencies), profile = median(profileLatencies);
    std::printf("prismelctl mode meteor -> first select in the journal: median %.1f ms of %zu runs (min %.1f, max "
                "%.1f)\n",
                mode, latencies.size(), *std::min_element(latencies.begin(), latencies.end()),
                *std::max_element(latencies.begin(), latencies.end()));
    std::printf("prismelctl profile load -> first select in the journal: median %.1f ms of the same runs (%.2f times "
                "mode)\n",
                profile, mode > 0 ? profile / mode : 0.0);
    return 0;
}
