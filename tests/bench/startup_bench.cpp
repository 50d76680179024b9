// Start-up benchmark: the time from starting Prismel.exe until its main window shows its painted skin, against
// two baselines started the same way: the smallest dialog program, and a dialog with Prismel.exe's own structure
// (resources, imports, COM, 33 child windows, the outline from the 990 x 675 background, one paint) but none of
// its work. The SMBus stand-in serves two modules at 0.4 ms per transaction. Each run starts the three programs one
// after the other; medians are printed with the bus time the stand-in accounts for. A window has painted when its
// probe point on the screen shows what it paints there: for the two skinned programs, the lighting page's
// background colour (the dialog's erase, in its own colour, comes first and does not count); for the empty dialog,
// anything but the screen's black.
//
// With PRISMEL_BENCH_DPIS=96,144,192 it starts only Prismel.exe, at each of those screen DPIs in every run (the
// prefix's LogPixels, set before each start and put back to 96 at the end), and prints the program's own time at
// each against the first, and its private memory once painted.
//
// Then, in the tray, at 96 and at 192 DPI (PRISMEL_BENCH_TRAY_DPIS=list to choose, empty for none): each run starts
// Prismel.exe with SysTray and the empty dialog, and prints the program's private memory hidden after that start,
// shown from the tray, and hidden again after that, against the empty dialog's, and the time from the tray click to
// the painted window (its background and its buttons), the first time and once more after hiding it.
//
// Usage (under Wine): startup_bench.exe [runs]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/SettingsStore_win32.h"
#include "res/SkinLayout.h"
#include "res/resource.h"
#include "tools/soak/ProcessGauge.h"
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

// A program the benchmark starts: how, where and in what colour its painted window shows, and the command that
// ends it.
struct Subject {
    const char* name;
    LaunchOptions launch;
    POINT probe;
    WPARAM closeCommand;
    std::vector<double> ms;            // start to painted window, run by run
    std::vector<double> privateMb;     // private memory once painted, when measured
    std::vector<double> firstColourMs; // start to the probe's first colour but black, run by run
    bool measureMemory = false;
    // The colour the probe shows once the window has painted; none: any colour but the screen's black. A window
    // that paints a skin first erases its face in the dialog's own colour, which is not yet its painted window.
    std::optional<std::uint32_t> face;
};

Subject MakeSubject(const char* name, POINT probe, WPARAM closeCommand) {
    Subject subject{};
    subject.name = name;
    subject.probe = probe;
    subject.closeCommand = closeCommand;
    return subject;
}

// The screen's pixel at `probe` in the window, if it can be read.
std::optional<std::uint32_t> ProbePixel(HWND window, POINT probe) {
    RECT r = WindowRect(window);
    Image pixel = CaptureScreenRect(RECT{r.left + probe.x, r.top + probe.y, r.left + probe.x + 1, r.top + probe.y + 1});
    return pixel.pixels.empty() ? std::nullopt : std::optional<std::uint32_t>(pixel.pixels[0] & 0xFFFFFFu);
}

// Whether a probe's pixel shows `face`, or without one, no longer the screen's black.
bool Shows(std::optional<std::uint32_t> pixel, std::optional<std::uint32_t> face) {
    return pixel && (face ? *pixel == *face : *pixel != 0);
}

// Waits until a top-level window of the process is visible and its pixels at the probe points show that it has
// painted (see Shows). The time since start, or -1 after 30 s. With `firstColour`, also the time the first probe
// first showed anything but black (for a skinned window, its erase).
double WaitUntilPainted(const Process& process, POINT probe, double start, std::optional<POINT> second = {},
                        std::optional<std::uint32_t> face = {}, double* firstColour = nullptr) {
    if (firstColour) {
        *firstColour = -1;
    }
    for (;;) {
        for (HWND window : TopLevelWindows(process.Id(), kDialogClass)) {
            if (!IsWindowVisible(window)) {
                continue;
            }
            const auto pixel = ProbePixel(window, probe);
            if (firstColour && *firstColour < 0 && Shows(pixel, std::nullopt)) {
                *firstColour = NowMs() - start;
            }
            if (Shows(pixel, face) && (!second || Shows(ProbePixel(window, *second), std::nullopt))) {
                return NowMs() - start;
            }
        }
        if (NowMs() - start > 30000) {
            return -1;
        }
        Sleep(1);
    }
}

void ClearScreen() {
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

// Starts the subject on a black screen, records its time to a painted window and ends it. False if it cannot start.
bool TimeOneStart(Subject& subject) {
    ClearScreen();
    const double start = NowMs();
    auto process = Process::Start(subject.launch);
    if (!process) {
        std::fprintf(stderr, "cannot start %s\n", subject.name);
        return false;
    }
    double firstColour = -1;
    const double painted = WaitUntilPainted(*process, subject.probe, start, std::nullopt, subject.face, &firstColour);
    if (painted < 0) {
        std::fprintf(stderr, "%s did not paint its window within 30 s\n", subject.name);
        return false;
    }
    subject.ms.push_back(painted);
    subject.firstColourMs.push_back(firstColour);
    if (subject.measureMemory) {
        Sleep(500); // the rest of the first paint and the module page's set-up
        HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process->Id());
        PROCESS_MEMORY_COUNTERS memory{};
        if (handle && GetProcessMemoryInfo(handle, &memory, sizeof memory)) {
            subject.privateMb.push_back(static_cast<double>(memory.PagefileUsage) / (1024.0 * 1024.0));
        }
        if (handle) {
            CloseHandle(handle);
        }
    }
    if (HWND window = WaitForWindow(process->Id(), kDialogClass, 2000)) {
        PostMessageW(window, WM_COMMAND, subject.closeCommand, 0);
    }
    process->WaitForExit(10000);
    return true;
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

// The program's start-up trace, phase by phase, in the order the first run wrote them.
class Phases {
public:
    // Adds one run's trace: each line is the milliseconds since the process started, then the phase's name.
    void Add(const std::wstring& path) {
        std::istringstream lines(ReadTextFile(path));
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            const auto space = line.find(' ');
            if (space == std::string::npos) {
                continue;
            }
            const std::string phase = line.substr(space + 1);
            if (m_ms[phase].empty() && m_runs == 0) {
                m_order.push_back(phase);
            }
            m_ms[phase].push_back(std::atof(line.c_str()));
        }
        ++m_runs;
    }
    void Print() const {
        std::printf("start-up phases, milliseconds since the process started (median of %d runs):\n", m_runs);
        for (const std::string& phase : m_order) {
            std::printf("  %-20s %8.1f\n", phase.c_str(), Median(m_ms.at(phase)));
        }
    }

private:
    int m_runs = 0;
    std::vector<std::string> m_order;
    std::map<std::string, std::vector<double>> m_ms;
};

// Prismel.exe in a scratch folder with the stand-in serving two modules and the start-up trace on.
Subject ProgramSubject(const std::wstring& folder, const std::wstring& bin, const std::wstring& trace) {
    for (const wchar_t* file : {L"Prismel.exe", L"MsIo32.dll", L"DS-DIGI.ttf"}) {
        CopyFileTo(bin + L"\\" + file, folder + L"\\" + file);
    }
    std::string spd(bin.begin(), bin.end());
    WriteTextFile(folder + L"\\smbus-sim.conf", "module 0 0 = " + spd + "\\spd\\gskill-f4-3200c14d-32gtzr.bin\n" +
                                                    "module 0 2 = " + spd + "\\spd\\samsung-m378a2k43eb1-cwe.bin\n" +
                                                    "delay_ms = 0.4\njournal = smbus-sim.journal\n");
    Subject subject = MakeSubject("Prismel.exe", POINT{500, 20}, ID_TRAY_QUIT);
    subject.launch.program = folder + L"\\Prismel.exe";
    subject.launch.environment = {{kStandInConfigVariable, folder + L"\\smbus-sim.conf"},
                                  {L"PRISMEL_TRACE_STARTUP", trace}};
    return subject;
}

// A baseline program beside the benchmark.
Subject BaselineSubject(const char* name, const std::wstring& program, POINT probe) {
    Subject subject = MakeSubject(name, probe, IDCANCEL);
    subject.launch.program = program;
    return subject;
}

// A fresh settings key; with PRISMEL_BENCH_RESTORE=<mode 1-10> one that restores that mode at the fastest speed.
void PrepareSettings() {
    RemoveSettings();
    char restoreMode[8] = "";
    if (GetEnvironmentVariableA("PRISMEL_BENCH_RESTORE", restoreMode, sizeof restoreMode) > 0) {
        const wchar_t* key = kSettingsKey;
        PutRegistryDword(HKEY_LOCAL_MACHINE, key, L"RestoreLighting", 1);
        PutRegistryDword(HKEY_LOCAL_MACHINE, key, L"CurrentMode", static_cast<DWORD>(std::atoi(restoreMode)));
        PutRegistryDword(HKEY_LOCAL_MACHINE, key, L"CurrentSpeed", 0);
        PutRegistryDword(HKEY_LOCAL_MACHINE, key, L"LightsOn", 1);
    }
}

void PrintTimes(const Subject& subject) {
    std::printf("%-18s start to painted window: median %.1f ms (", subject.name, Median(subject.ms));
    for (double v : subject.ms) {
        std::printf(" %.1f", v);
    }
    std::printf(" )\n");
    if (subject.face) {
        std::printf("%-18s start to the probe's first colour (its erase): median %.1f ms\n", "",
                    Median(subject.firstColourMs));
    }
}

// Prismel.exe's own time (less the bus time) against a baseline of the same runs. Each run's programs start one
// after the other, so their difference and ratio share the machine's load of the moment: the median of the runs'
// differences and ratios is steadier than the difference or ratio of the medians.
void PrintAgainst(const std::vector<double>& own, const std::vector<double>& baseline, const std::string& name) {
    std::vector<double> beyond, ratio;
    for (std::size_t i = 0; i < own.size(); ++i) {
        beyond.push_back(own[i] - baseline[i]);
        ratio.push_back(baseline[i] > 0 ? own[i] / baseline[i] : 0.0);
    }
    std::printf("  %.2f times the %s (median of the runs' ratios); %.1f ms beyond it (median of the runs' "
                "differences)\n",
                Median(ratio), name.c_str(), Median(beyond));
}

// The program alone at several DPIs, each run starting it at each DPI in turn.
int CompareDpis(const std::string& list, int runs, Subject program, const std::wstring& folder) {
    std::vector<int> dpis;
    std::stringstream items(list);
    for (std::string item; std::getline(items, item, ',');) {
        if (int dpi = std::atoi(item.c_str()); dpi >= 48 && dpi <= 480) {
            dpis.push_back(dpi);
        }
    }
    if (dpis.empty()) {
        std::fprintf(stderr, "PRISMEL_BENCH_DPIS names no DPI\n");
        return 1;
    }
    program.measureMemory = true;
    std::vector<Subject> at(dpis.size(), program);
    std::vector<std::vector<double>> own(dpis.size());
    int transactions = 0;
    for (int run = 0; run < runs; ++run) {
        for (std::size_t i = 0; i < dpis.size(); ++i) {
            PrepareSettings();
            SetWineScreenDpi(dpis[i]);
            const bool started = TimeOneStart(at[i]);
            SetWineScreenDpi(96);
            if (!started) {
                return 1;
            }
            own[i].push_back(at[i].ms.back() - BusMs(folder + L"\\smbus-sim.journal", transactions));
        }
    }
    std::printf("runs: %d\n", runs);
    for (std::size_t i = 0; i < dpis.size(); ++i) {
        std::vector<double> ratio;
        for (std::size_t r = 0; r < own[i].size(); ++r) {
            ratio.push_back(own[0][r] > 0 ? own[i][r] / own[0][r] : 0.0);
        }
        std::printf("%3d DPI: own time median %.1f ms, %.2f times %d DPI's (median of the runs' ratios); private "
                    "memory once painted %.1f MB\n",
                    dpis[i], Median(own[i]), Median(ratio), dpis[0], Median(at[i].privateMb));
    }
    return 0;
}

// The private memory of a process in MB (under Wine: the Linux process's anonymous resident memory), found by
// the variable its environment holds; 0 if it cannot be read.
double PrivateMb(DWORD processId, const std::wstring& variable, const std::wstring& value) {
    const std::wstring pair = variable + L"=" + value;
    soak::ProcessGauge gauge(processId, soak::LinuxStatusPath(std::string(pair.begin(), pair.end())));
    const std::int64_t kb = gauge ? soak::At(gauge.Take(), soak::Measure::PrivateKb) : soak::kUnknown;
    return kb > 0 ? static_cast<double>(kb) / 1024.0 : 0.0;
}

// What a run in the tray measures at one DPI.
struct TrayFigures {
    std::vector<double> emptyMb, hiddenMb, shownMb, hiddenAgainMb, firstShowMs, againShowMs;
};

// Posts the tray icon's click and waits for the painted window: the background, and the Apply button's face.
double ShowFromTray(const Process& process, HWND window, int dpi) {
    const POINT background{MulDiv(500, dpi, 96), MulDiv(20, dpi, 96)};
    const POINT button{MulDiv(SKIN_APPLY_X + SKIN_APPLY_W / 4, dpi, 96),
                       MulDiv(SKIN_APPLY_Y + SKIN_APPLY_H / 4, dpi, 96)};
    ClearScreen();
    const double start = NowMs();
    PostTrayEvent(window, WM_TRAY_NOTIFY, IDI_TRAY, WM_LBUTTONDOWN);
    return WaitUntilPainted(process, background, start, button);
}

// One run at one DPI: the empty dialog's memory, then the program started in the tray, shown, hidden and ended.
bool TrayRun(Subject program, const Subject& empty, int dpi, TrayFigures& figures) {
    constexpr DWORD kSettleMs = 1000;
    const std::wstring variable = L"PRISMEL_BENCH_SUBJECT";
    PrepareSettings();
    SetWineScreenDpi(dpi);
    Subject dialog = empty;
    dialog.launch.environment.push_back({variable, L"empty"});
    auto baseline = Process::Start(dialog.launch);
    if (baseline && WaitForWindow(baseline->Id(), kDialogClass, 10000)) {
        Sleep(kSettleMs);
        figures.emptyMb.push_back(PrivateMb(baseline->Id(), variable, L"empty"));
        if (HWND window = WaitForWindow(baseline->Id(), kDialogClass, 2000)) {
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        }
        baseline->WaitForExit(10000);
    }
    program.launch.arguments = L"SysTray";
    program.launch.environment.push_back({variable, L"tray"});
    auto process = Process::Start(program.launch);
    HWND window = process ? WaitForWindow(process->Id(), kDialogClass, 10000) : nullptr;
    bool measured = window != nullptr;
    if (measured) {
        const double hiddenBy = NowMs() + 10000;
        while (IsWindowVisible(window) && NowMs() < hiddenBy) {
            Sleep(10);
        }
        Sleep(kSettleMs);
        figures.hiddenMb.push_back(PrivateMb(process->Id(), variable, L"tray"));
        figures.firstShowMs.push_back(ShowFromTray(*process, window, dpi));
        Sleep(kSettleMs);
        figures.shownMb.push_back(PrivateMb(process->Id(), variable, L"tray"));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_BTN_CLOSE, BN_CLICKED), 0);
        Sleep(kSettleMs);
        figures.hiddenAgainMb.push_back(PrivateMb(process->Id(), variable, L"tray"));
        figures.againShowMs.push_back(ShowFromTray(*process, window, dpi));
        PostMessageW(window, WM_COMMAND, ID_TRAY_QUIT, 0);
        process->WaitForExit(10000);
    }
    SetWineScreenDpi(96);
    return measured;
}

void PrintTray(int dpi, const TrayFigures& f) {
    const double empty = Median(f.emptyMb);
    const auto times = [empty](double mb) { return empty > 0 ? mb / empty : 0.0; };
    std::printf("%3d DPI in the tray: private memory, the empty dialog %.1f MB; Prismel.exe hidden after a SysTray "
                "start %.1f MB (%.2f times), shown %.1f MB (%.2f times), hidden again %.1f MB (%.2f times)\n",
                dpi, empty, Median(f.hiddenMb), times(Median(f.hiddenMb)), Median(f.shownMb), times(Median(f.shownMb)),
                Median(f.hiddenAgainMb), times(Median(f.hiddenAgainMb)));
    std::printf("%3d DPI in the tray: tray click to painted window, median %.1f ms the first time, %.1f ms again\n",
                dpi, Median(f.firstShowMs), Median(f.againShowMs));
}

int CompareTray(const std::string& list, int runs, const Subject& program, const Subject& empty) {
    std::vector<int> dpis;
    std::stringstream items(list);
    for (std::string item; std::getline(items, item, ',');) {
        if (int dpi = std::atoi(item.c_str()); dpi >= 48 && dpi <= 480) {
            dpis.push_back(dpi);
        }
    }
    std::vector<TrayFigures> figures(dpis.size());
    for (int run = 0; run < runs; ++run) {
        for (std::size_t i = 0; i < dpis.size(); ++i) {
            if (!TrayRun(program, empty, dpis[i], figures[i])) {
                std::fprintf(stderr, "the program started in the tray did not make its window\n");
                return 1;
            }
        }
    }
    for (std::size_t i = 0; i < dpis.size(); ++i) {
        PrintTray(dpis[i], figures[i]);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    BecomePerMonitorDpiAware(); // the windows' places and pixels as they are on the screen, at any DPI
    const std::wstring folder = MakeScratchFolder(L"bench");
    const std::wstring bin = ProgramFolder();
    const std::wstring trace = folder + L"\\startup-trace.txt";
    Subject program = ProgramSubject(folder, bin, trace);
    Subject empty = BaselineSubject("empty dialog", bin + L"\\empty_dialog.exe", POINT{300, 100});
    Subject structural = BaselineSubject("structural dialog", bin + L"\\structural_dialog.exe", program.probe);
    char dpis[64] = "";
    if (GetEnvironmentVariableA("PRISMEL_BENCH_DPIS", dpis, sizeof dpis) > 0) {
        return CompareDpis(dpis, runs, program, folder);
    }
    // Both skinned programs have painted when the probe shows the lighting page's background there, at this DPI. (At
    // other DPIs only the program runs, and it erases its face in black before it paints.)
    if (const Image skin = LoadBitmapImage(bin + L"\\Prismel.exe", IDB_PAGE_LIGHTING);
        skin.width > program.probe.x && skin.height > program.probe.y) {
        program.face = structural.face = skin.At(program.probe.x, program.probe.y) & 0xFFFFFFu;
    } else {
        std::fprintf(stderr, "cannot read the lighting page's background from Prismel.exe\n");
        return 1;
    }
    std::vector<double> bus;
    int transactions = 0;
    Phases phases;
    for (int run = 0; run < runs; ++run) {
        PrepareSettings();
        DeleteFileW(trace.c_str());
        if (!TimeOneStart(program) || !TimeOneStart(empty) || !TimeOneStart(structural)) {
            return 1;
        }
        bus.push_back(BusMs(folder + L"\\smbus-sim.journal", transactions));
        phases.Add(trace);
    }
    std::printf("runs: %d\n", runs);
    for (const Subject* subject : {&program, &empty, &structural}) {
        PrintTimes(*subject);
    }
    std::printf("SMBus stand-in bus time per start: median %.1f ms over %d ReadSPD transactions\n", Median(bus),
                transactions);
    std::vector<double> own;
    for (std::size_t i = 0; i < program.ms.size(); ++i) {
        own.push_back(program.ms[i] - bus[i]);
    }
    std::printf("Prismel.exe's own time (start to painted window less the bus time): median %.1f ms,\n", Median(own));
    PrintAgainst(own, empty.ms, empty.name);
    PrintAgainst(own, structural.ms, structural.name);
    // What the ratio would be with the baseline timed at its erase, which shows before its skin.
    PrintAgainst(own, structural.firstColourMs, std::string(structural.name) + "'s first colour");
    phases.Print();
    char tray[64] = "96,192";
    SetLastError(0);
    if (GetEnvironmentVariableA("PRISMEL_BENCH_TRAY_DPIS", tray, sizeof tray) == 0 &&
        GetLastError() != ERROR_ENVVAR_NOT_FOUND) {
        tray[0] = '\0';
    }
    return CompareTray(tray, runs, program, empty);
}
