// Start-up benchmark: the time from starting Prismel.exe until its main window shows its painted skin, against
// the smallest dialog program started the same way, with the SMBus stand-in serving two modules at 0.4 ms per
// transaction. Runs alternate between the two programs; medians are printed with the bus time the stand-in
// accounts for.
//
// Usage (under Wine): startup_bench.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/SettingsStore_win32.h"
#include "res/resource.h"
#include "tools/support/Clock.h"
#include "tools/support/Program.h"
#include "tools/support/Registry.h"

namespace {

using namespace support;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n == 0 ? 0.0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0);
}

// Waits until a top-level window of the process is visible and the pixel at (x, y) of it is no longer the
// screen's black: the window has painted.
double WaitUntilPainted(const Process& process, int x, int y, double start) {
    for (;;) {
        for (HWND window : TopLevelWindows(process.Id(), kDialogClass)) {
            if (!IsWindowVisible(window)) {
                continue;
            }
            RECT r = WindowRect(window);
            Image pixel = CaptureScreenRect(RECT{r.left + x, r.top + y, r.left + x + 1, r.top + y + 1});
            if (!pixel.pixels.empty() && pixel.pixels[0] != 0) {
                return NowMs() - start;
            }
        }
        if (NowMs() - start > 30000) {
            return -1;
        }
        Sleep(1);
    }
}

// The bus time in a journal: every counted ReadSPD run's bus_ms.
double BusMs(const std::wstring& journal, int& transactions) {
    double total = 0.0;
    transactions = 0;
    for (const std::string& line : ReadJournal(journal)) {
        auto count = line.find("count=");
        auto bus = line.find("bus_ms=");
        if (count != std::string::npos && bus != std::string::npos) {
            transactions += std::atoi(line.c_str() + count + 6);
            total += std::atof(line.c_str() + bus + 7);
        }
    }
    return total;
}

// The program's start-up trace: each phase's milliseconds since its process started, in the order written.
std::vector<std::pair<std::string, double>> ReadTrace(const std::wstring& path) {
    std::vector<std::pair<std::string, double>> phases;
    std::istringstream lines(ReadTextFile(path));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const auto space = line.find(' ');
        if (space != std::string::npos) {
            phases.emplace_back(line.substr(space + 1), std::atof(line.c_str()));
        }
    }
    return phases;
}

void ClearScreenUnder(const RECT&) {
    // Xvfb leaves closed windows' pixels behind; a fresh black full-screen window paints them over.
    HWND cover = CreateWindowExW(WS_EX_TOPMOST, L"Static", L"", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, 0, 0,
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                 nullptr, nullptr);
    UpdateWindow(cover);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    DestroyWindow(cover);
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::wstring folder = MakeScratchFolder(L"bench");
    std::wstring bin = ProgramFolder();
    for (const wchar_t* file : {L"Prismel.exe", L"MsIo32.dll", L"DS-DIGI.ttf"}) {
        CopyFileTo(bin + L"\\" + file, folder + L"\\" + file);
    }
    std::string spd(bin.begin(), bin.end());
    WriteTextFile(folder + L"\\smbus-sim.conf", "module 0 0 = " + spd + "\\spd\\gskill-f4-3200c14d-32gtzr.bin\n" +
                                                    "module 0 2 = " + spd + "\\spd\\samsung-m378a2k43eb1-cwe.bin\n" +
                                                    "delay_ms = 0.4\njournal = smbus-sim.journal\n");
    std::vector<double> prismel, empty, bus;
    std::vector<std::string> phaseOrder;
    std::map<std::string, std::vector<double>> phases;
    int transactions = 0;
    const std::wstring trace = folder + L"\\startup-trace.txt";
    // PRISMEL_BENCH_RESTORE=<mode 1-10>: every start restores that mode at the fastest speed.
    char restoreMode[8] = "";
    const bool restore = GetEnvironmentVariableA("PRISMEL_BENCH_RESTORE", restoreMode, sizeof restoreMode) > 0;
    for (int run = 0; run < runs; ++run) {
        RemoveSettings();
        if (restore) {
            const wchar_t* key = kSettingsKey;
            PutRegistryDword(HKEY_LOCAL_MACHINE, key, L"RestoreLighting", 1);
            PutRegistryDword(HKEY_LOCAL_MACHINE, key, L"CurrentMode", static_cast<DWORD>(std::atoi(restoreMode)));
            PutRegistryDword(HKEY_LOCAL_MACHINE, key, L"CurrentSpeed", 0);
            PutRegistryDword(HKEY_LOCAL_MACHINE, key, L"LightsOn", 1);
        }
        ClearScreenUnder(RECT{});
        LaunchOptions options;
        options.program = folder + L"\\Prismel.exe";
        options.environment = {{kStandInConfigVariable, folder + L"\\smbus-sim.conf"},
                               {L"PRISMEL_TRACE_STARTUP", trace}};
        DeleteFileW(trace.c_str());
        double start = NowMs();
        auto process = Process::Start(options);
        if (!process) {
            std::fprintf(stderr, "cannot start Prismel.exe\n");
            return 1;
        }
        prismel.push_back(WaitUntilPainted(*process, 500, 20, start));
        if (HWND main = WaitForWindow(process->Id(), kDialogClass, 2000)) {
            PostMessageW(main, WM_COMMAND, ID_TRAY_QUIT, 0);
        }
        process->WaitForExit(10000);
        bus.push_back(BusMs(folder + L"\\smbus-sim.journal", transactions));
        for (const auto& [phase, ms] : ReadTrace(trace)) {
            if (phases[phase].empty() && run == 0) {
                phaseOrder.push_back(phase);
            }
            phases[phase].push_back(ms);
        }

        ClearScreenUnder(RECT{});
        LaunchOptions baseline;
        baseline.program = bin + L"\\empty_dialog.exe";
        start = NowMs();
        auto other = Process::Start(baseline);
        if (!other) {
            std::fprintf(stderr, "cannot start empty_dialog.exe\n");
            return 1;
        }
        empty.push_back(WaitUntilPainted(*other, 300, 100, start));
        if (HWND dialog = WaitForWindow(other->Id(), kDialogClass, 2000)) {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        other->WaitForExit(10000);
    }
    std::printf("runs: %d\n", runs);
    std::printf("Prismel.exe  start to painted window: median %.1f ms (", Median(prismel));
    for (double v : prismel) {
        std::printf(" %.1f", v);
    }
    std::printf(" )\nempty dialog start to painted window: median %.1f ms (", Median(empty));
    for (double v : empty) {
        std::printf(" %.1f", v);
    }
    std::printf(" )\nSMBus stand-in bus time per start: median %.1f ms over %d ReadSPD transactions\n", Median(bus),
                transactions);
    // Each run's Prismel.exe and empty dialog start one after the other, so their difference shares the machine's
    // load of the moment: the median difference is steadier than the difference of the medians.
    std::vector<double> beyond;
    for (std::size_t i = 0; i < prismel.size(); ++i) {
        beyond.push_back(prismel[i] - empty[i] - bus[i]);
    }
    std::printf("Prismel.exe beyond the empty dialog and the bus time, run by run: median %.1f ms\n", Median(beyond));
    std::vector<double> own, ratio;
    for (std::size_t i = 0; i < prismel.size(); ++i) {
        own.push_back(prismel[i] - bus[i]);
        ratio.push_back(empty[i] > 0 ? (prismel[i] - bus[i]) / empty[i] : 0.0);
    }
    std::printf("Prismel.exe's own time (start to painted window less the bus time): median %.1f ms, %.2f times "
                "the empty dialog (median of the runs' ratios)\n",
                Median(own), Median(ratio));
    std::printf("start-up phases, milliseconds since the process started (median of %d runs):\n", runs);
    for (const std::string& phase : phaseOrder) {
        std::printf("  %-20s %8.1f\n", phase.c_str(), Median(phases[phase]));
    }
    return 0;
}
