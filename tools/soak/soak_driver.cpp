// The soak driver: starts Prismel.exe with two virtual modules and works it the way a day in the tray does, as
// fast as the program takes it: the lighting timer of modes 7-10, repaints of every page and sub-page, page
// switches, module choices, power toggles, colour-wheel picks, and the window hidden and shown. Before, between and
// after the phases it samples the program's private and resident memory, its handles, its GDI objects and its USER
// objects, then prints a table and one PASS or FAIL line (exit status 0 or 1; 2 when the soak itself could not run).
//
// Usage (under Wine): soak_driver.exe [--bin FOLDER] [--scale F] [--phases NAME,...]
//   --bin     the folder with Prismel.exe, MsIo32.dll, the font and spd\ (default: this program's folder)
//   --scale   multiplies every phase's count (default 1: what a user's hours look like)
//   --phases  ticks, repaint, pages, modules, power, wheel, showhide (default: all, in that order)
//
// How each figure is had, under Wine too: ProcessGauge.h.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lighting/LightingSequences.h"
#include "res/resource.h"
#include "tools/soak/ProcessGauge.h"
#include "tools/soak/SoakReport.h"
#include "tools/support/Clock.h"
#include "tools/support/Program.h"

namespace {

using namespace support;
using soak::Figures;
using soak::Measure;

// ---- Working the program --------------------------------------------------------------------------------------

double NowSeconds() {
    return NowMs() / 1000.0;
}

enum class View { Lighting, ModuleFacts, ModuleJedec, ModuleXmp, About };

// Posts to the program's window thread in batches; after each batch it waits until the thread has handled all of
// it, so the posted-message queue never fills. A sent message would not do for that wait: a thread takes sent
// messages before posted ones. So a marker goes through the queue instead, behind the batch: the hidden module
// table's hot item, which nothing shows or uses, set by a posted LVM_SETHOTITEM and read back with a sent one.
class Operator {
public:
    static constexpr int kBatch = 200;

    explicit Operator(HWND main) : main_(main), table_(GetDlgItem(main, IDC_MODULE_INFO_TABLE)) {}

    HWND Main() const { return main_; }
    HWND Control(int id) const { return GetDlgItem(main_, id); }
    std::uint64_t Refused() const { return refused_; }
    bool Stuck() const { return stuck_; }

    void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (!PostMessageW(window, message, wParam, lParam)) {
            ++refused_;
        }
        if (++pending_ >= kBatch) {
            Drain();
        }
    }
    // A press and release at a client point: the skin's buttons take that as a click.
    void Click(int id, int x = 0, int y = 0) {
        HWND control = Control(id);
        Post(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        Post(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    // Waits until everything posted so far has been handled, and what that posted in turn (a button's click
    // reaches the window as a WM_COMMAND posted by the button): two markers, one behind the other.
    void Drain() {
        pending_ = 0;
        for (int round = 0; round < 2 && !stuck_; ++round) {
            const WPARAM marker = static_cast<WPARAM>(++marker_ % 1000000);
            if (!PostMessageW(table_, LVM_SETHOTITEM, marker, 0)) {
                ++refused_;
            }
            const double start = NowSeconds();
            for (;;) {
                DWORD_PTR hot = 0;
                if (SendMessageTimeoutW(table_, LVM_GETHOTITEM, 0, 0, SMTO_BLOCK, 30000, &hot) &&
                    static_cast<WPARAM>(hot) == marker) {
                    break;
                }
                if (NowSeconds() - start > 60) {
                    stuck_ = true; // the program no longer takes its messages
                    break;
                }
                Sleep(1);
            }
        }
    }

    // Everything handled and painted: what a sample should see, with no paint's objects half made.
    void Settle() {
        Drain();
        RedrawWindow(main_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Drain();
    }

    void Show(View view) {
        switch (view) {
        case View::Lighting:
            Click(IDC_BTN_TAB_LIGHTING);
            break;
        case View::About:
            Click(IDC_BTN_TAB_ABOUT);
            break;
        case View::ModuleFacts:
        case View::ModuleJedec:
        case View::ModuleXmp:
            Click(IDC_BTN_TAB_MODULE_INFO);
            Drain();
            Click(IDC_BTN_SUBPAGE_BACK);
            Click(IDC_BTN_SUBPAGE_BACK);
            for (View at = View::ModuleFacts; at != view; at = static_cast<View>(static_cast<int>(at) + 1)) {
                Click(IDC_BTN_SUBPAGE_FORWARD);
            }
            break;
        }
        Drain();
    }

private:
    HWND main_;
    HWND table_;
    int pending_ = 0;
    std::uint64_t marker_ = 0;
    std::uint64_t refused_ = 0;
    bool stuck_ = false;
};

// One phase: its label in the table, and what it does n times.
struct Phase {
    std::string family; // the --phases name
    std::string label;
    std::uint64_t count;
    std::function<void(Operator&, std::uint64_t)> run;
};

// Mode m (7-10) at the fastest speed, applied by clicks, then n lighting-timer ticks as the timer delivers them.
void LightingTicks(Operator& op, int mode, std::uint64_t n) {
    op.Show(View::Lighting);
    op.Click(IDC_BTN_MODE_FIRST + mode - 1);
    op.Click(IDC_BTN_SPEED_LAST);
    op.Click(IDC_BTN_APPLY);
    op.Drain();
    for (std::uint64_t i = 0; i < n; ++i) {
        op.Post(op.Main(), WM_TIMER, kLightingTimerId, 0);
    }
    op.Drain();
}

// n repaints of the whole window, its buttons included, each painted before the next.
void Repaints(Operator& op, View view, std::uint64_t n) {
    op.Show(view);
    for (std::uint64_t i = 0; i < n; ++i) {
        RedrawWindow(op.Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (i % Operator::kBatch == 0) {
            op.Drain();
        }
    }
    op.Drain();
}

// n tab clicks: module information, about, lighting, and round again.
void PageSwitches(Operator& op, std::uint64_t n) {
    constexpr int kTabs[] = {IDC_BTN_TAB_MODULE_INFO, IDC_BTN_TAB_ABOUT, IDC_BTN_TAB_LIGHTING};
    op.Show(View::Lighting);
    for (std::uint64_t i = 0; i < n; ++i) {
        op.Click(kTabs[i % 3]);
    }
    op.Drain();
    op.Show(View::Lighting);
}

// n choices in the module selector, DIMM1 and DIMM0 in turn, on the module information page.
void ModuleChoices(Operator& op, std::uint64_t n) {
    op.Show(View::ModuleFacts);
    HWND selector = op.Control(IDC_MODULE_SELECTOR);
    for (std::uint64_t i = 0; i < n; ++i) {
        op.Post(selector, CB_SETCURSEL, (i + 1) % 2, 0);
        op.Post(op.Main(), WM_COMMAND, MAKEWPARAM(IDC_MODULE_SELECTOR, CBN_SELCHANGE),
                reinterpret_cast<LPARAM>(selector));
    }
    op.Drain();
    op.Show(View::Lighting);
}

// n clicks on the power toggle (an even n leaves the lights on).
void PowerToggles(Operator& op, std::uint64_t n) {
    op.Show(View::Lighting);
    for (std::uint64_t i = 0; i < n; ++i) {
        op.Click(IDC_BTN_POWER);
    }
    op.Drain();
}

// n picks on the colour wheel, at points spread over its disc (centre 84, 84; radius up to 74).
void WheelPicks(Operator& op, std::uint64_t n) {
    op.Show(View::Lighting);
    for (std::uint64_t i = 0; i < n; ++i) {
        const double angle = 2.39996 * static_cast<double>(i);
        const double radius = 4.0 + static_cast<double>((i * 37) % 71);
        const int x = 84 + static_cast<int>(std::lround(radius * std::cos(angle)));
        const int y = 84 + static_cast<int>(std::lround(radius * std::sin(angle)));
        op.Click(IDC_BTN_COLOUR_WHEEL, x, y);
    }
    op.Drain();
}

// n times: the window hidden and shown again, painted each time: closed to the tray and shown by the tray icon,
// then minimised by its button and restored, in turn. Each time the artwork is let go and made again.
void ShowHideCycles(Operator& op, std::uint64_t n) {
    op.Show(View::Lighting);
    for (std::uint64_t i = 0; i < n; ++i) {
        if (i % 2 == 0) {
            op.Click(IDC_BTN_CLOSE);
            op.Drain();
            op.Post(op.Main(), WM_TRAY_NOTIFY, IDI_TRAY, WM_LBUTTONDOWN);
        } else {
            op.Click(IDC_BTN_MINIMISE);
            op.Drain();
            ShowWindow(op.Main(), SW_RESTORE);
        }
        op.Settle();
    }
}

std::vector<Phase> AllPhases() {
    std::vector<Phase> phases;
    for (int mode = kModeMeteor; mode <= kModeColourCycle; ++mode) {
        char label[32];
        std::snprintf(label, sizeof label, "ticks, mode %d", mode);
        phases.push_back(
            {"ticks", label, 100000, [mode](Operator& op, std::uint64_t n) { LightingTicks(op, mode, n); }});
    }
    const std::pair<View, const char*> views[] = {{View::Lighting, "repaint, lighting"},
                                                  {View::ModuleFacts, "repaint, modules 1"},
                                                  {View::ModuleJedec, "repaint, modules 2"},
                                                  {View::ModuleXmp, "repaint, modules 3"},
                                                  {View::About, "repaint, about"}};
    for (auto [view, label] : views) {
        phases.push_back(
            {"repaint", label, 10000, [view = view](Operator& op, std::uint64_t n) { Repaints(op, view, n); }});
    }
    phases.push_back({"pages", "page switches", 1000, PageSwitches});
    phases.push_back({"modules", "module choices", 1000, ModuleChoices});
    phases.push_back({"power", "power toggles", 1000, PowerToggles});
    phases.push_back({"wheel", "wheel picks", 1000, WheelPicks});
    phases.push_back({"showhide", "hide and show", 1000, ShowHideCycles});
    return phases;
}

// ---- The run --------------------------------------------------------------------------------------------------

struct Options {
    std::wstring bin = ProgramFolder();
    double scale = 1.0;
    std::vector<std::string> families; // empty: all
};

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            return std::nullopt;
        }
        const std::string value = argv[++i];
        if (arg == "--bin") {
            options.bin = std::wstring(value.begin(), value.end());
        } else if (arg == "--scale") {
            options.scale = std::atof(value.c_str());
            if (!(options.scale > 0.0)) {
                return std::nullopt;
            }
        } else if (arg == "--phases") {
            for (std::size_t start = 0; start <= value.size();) {
                std::size_t comma = value.find(',', start);
                if (comma == std::string::npos) {
                    comma = value.size();
                }
                options.families.push_back(value.substr(start, comma - start));
                start = comma + 1;
            }
        } else {
            return std::nullopt;
        }
    }
    return options;
}

std::uint64_t Scaled(std::uint64_t count, double scale) {
    return std::max<std::uint64_t>(1, static_cast<std::uint64_t>(std::llround(static_cast<double>(count) * scale)));
}

// The stand-in's files in the soak's folder, with a journal that goes nowhere: hours of frames would fill a disk.
StandInFiles SoakStandIn(const std::wstring& folder) {
    return StandInFiles(folder, L"smbus-sim.conf", L"NUL");
}

// The variable that names the stand-in's configuration in the soak's folder, as "NAME=value". The path makes it
// the soak's own: it finds the program's Linux process too.
std::string ConfigVariable(const std::wstring& folder) {
    const auto [name, value] = SoakStandIn(folder).Variable();
    const std::wstring variable = name + L"=" + value;
    return std::string(variable.begin(), variable.end());
}

// Prismel.exe, the stand-in and the font in a folder of their own, with two virtual modules and both command sets
// (the animated modes run only with them).
std::optional<Process> StartProgram(const std::wstring& bin, const std::wstring& folder) {
    const std::wstring missing = InstallProgram(bin, folder);
    if (!missing.empty()) {
        std::fprintf(stderr, "soak: cannot copy %ls from %ls\n", missing.c_str(), bin.c_str());
        return std::nullopt;
    }
    const StandInFiles standIn = SoakStandIn(folder);
    standIn.WriteConfig(ModuleLine(0, 0, SpdImage(bin, "gskill-f4-3200c14d-32gtzr.bin")) +
                        ModuleLine(0, 2, SpdImage(bin, "samsung-m378a2k43eb1-cwe.bin")) +
                        "checkspd = 6\ndelay_ms = 0\n");
    RemoveSettings();
    LaunchOptions launch = ProgramLaunch(folder + L"\\Prismel.exe", standIn);
    launch.workingFolder = folder;
    return Process::Start(launch);
}

// What the program's figures may grow by, from what clean runs measured. Memory: three clean full soaks grew by 20,
// 20 and 84 KiB (private and resident alike, the 84 during the lighting page's repaints, which the other two ran
// with 4 KiB), and 20,000 wheel picks alone by 20 KiB: growth that levels off, not one that follows the count. The
// private floor is three times the largest, 256 KiB: over a phase of 100,000 ticks that still catches 3 bytes lost
// per tick, over 10,000 repaints 26 bytes. Resident memory also counts code first paged in late, so it gets twice
// that. Counts: clean runs kept handles, GDI objects and windows exactly level once paints had finished; a sample
// taken during a paint saw 3 more GDI objects (its device context, bitmap and brush), hence 8 GDI objects, 4
// handles, 1 window. Where the idle samples after the warm-up vary, three times their spread counts if that is
// more.
constexpr soak::NoiseRule kNoise{{256, 512, 4, 8, 1}, 3};

} // namespace

int main(int argc, char** argv) {
    std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: soak_driver.exe [--bin FOLDER] [--scale F] [--phases NAME,...]\n");
        return 2;
    }
    std::vector<Phase> phases = AllPhases();
    if (!options->families.empty()) {
        std::erase_if(phases, [&](const Phase& p) {
            return std::find(options->families.begin(), options->families.end(), p.family) == options->families.end();
        });
    }
    if (phases.empty()) {
        std::fprintf(stderr, "soak: no such phase\n");
        return 2;
    }

    const std::wstring folder = MakeScratchFolder(L"soak");
    std::optional<Process> program = StartProgram(options->bin, folder);
    if (!program) {
        std::fprintf(stderr, "soak: cannot start Prismel.exe\n");
        return 2;
    }
    HWND main = WaitForMainWindow(*program, 30000);
    if (!main || !WaitUntilInitialised(main, 10000)) {
        std::fprintf(stderr, "soak: the program's window did not come up\n");
        return 2;
    }
    soak::ProcessGauge gauge(program->Id(), soak::LinuxStatusPath(ConfigVariable(folder)));
    if (!gauge) {
        std::fprintf(stderr, "soak: cannot open the program's process\n");
        return 2;
    }
    Operator op(main);

    // A warm-up of every phase, so that what the program and the system make once is there before the start. The
    // window lets its artwork go each time it hides and makes a page's again as that page shows, so the hiding phase
    // warms up first: what the other phases then make stays until the measured hiding phase lets it go.
    std::vector<const Phase*> warmUp;
    for (const Phase& phase : phases) {
        warmUp.push_back(&phase);
    }
    std::stable_partition(warmUp.begin(), warmUp.end(), [](const Phase* p) { return p->family == "showhide"; });
    for (const Phase* phase : warmUp) {
        phase->run(op, std::max<std::uint64_t>(20, phase->count / 200));
    }
    op.Show(View::Lighting);
    // The idle spread: samples a moment apart while nothing happens.
    std::vector<Figures> idle;
    for (int i = 0; i < 6; ++i) {
        Sleep(500);
        op.Settle();
        idle.push_back(gauge.Take());
    }

    std::vector<soak::Sample> samples;
    samples.push_back({"start", 0, 0.0, idle.back()});
    for (const Phase& phase : phases) {
        const std::uint64_t n = Scaled(phase.count, options->scale);
        const double start = NowSeconds();
        phase.run(op, n);
        op.Settle();
        const double seconds = NowSeconds() - start;
        if (op.Stuck() || !program->Running()) {
            std::fprintf(stderr, "soak: the program stopped taking messages during \"%s\"\n", phase.label.c_str());
            std::printf("soak: FAIL: the program stopped during %s\n", phase.label.c_str());
            return 1;
        }
        samples.push_back({phase.label, n, seconds, gauge.Take()});
        std::fprintf(stderr, "soak: %-20s %8llu in %7.1f s (%.0f per second)\n", phase.label.c_str(),
                     static_cast<unsigned long long>(n), seconds, static_cast<double>(n) / std::max(seconds, 1e-3));
    }
    op.Show(View::Lighting);
    Sleep(2000);
    op.Settle();
    samples.push_back({"end", 0, 0.0, gauge.Take()});

    if (op.Refused() > 0) {
        std::fprintf(stderr, "soak: %llu posted messages were refused\n",
                     static_cast<unsigned long long>(op.Refused()));
        return 2;
    }
    const Figures allowed = soak::AllowedGrowth(idle, kNoise);
    std::printf("%s", soak::FormatTable(samples, allowed).c_str());
    const std::vector<soak::Growth> excesses = soak::Excesses(samples, allowed);
    std::printf("%s\n", soak::VerdictLine(excesses).c_str());
    PostMessageW(main, WM_COMMAND, ID_TRAY_QUIT, 0);
    program->WaitForExit(10000);
    return excesses.empty() ? 0 : 1;
}
