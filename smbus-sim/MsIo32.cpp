// The SMBus stand-in: a MsIo32.dll with the library's ten entry points, serving virtual modules from SPD image
// files and writing a journal of every call. It never touches hardware; it exists for tests and demonstrations.
//
// Configuration: the file named by the environment variable PRISMEL_SMBUS_CONFIG, or "smbus-sim.conf" beside the
// DLL. Without any configuration file the DLL serves nothing and answers CheckSPD with 0x06.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "smbus-sim/core/Journal.h"
#include "smbus-sim/core/SimConfig.h"
#include "smbus-sim/SimFiles_win32.h"

namespace {

using smbus_sim::FolderOf;
using smbus_sim::Journal;
using smbus_sim::Narrow;
using smbus_sim::ReadWholeFile;
using smbus_sim::Resolve;
using smbus_sim::Widen;

// Results carry their answer in the low byte; the bits above it are deliberately not zero, since callers must
// rely on the low byte only.
constexpr DWORD kResultNoise = 0x5A00;

// The journal file. A write that fails (disk full, folder not writable, file gone) is reported, never retried or
// waited for; the journal decides when to start the file anew, which also opens a file that could not be opened.
class FileSink final : public smbus_sim::JournalSink {
public:
    explicit FileSink(std::wstring path) : m_path(std::move(path)) { Open(); }
    ~FileSink() override { Close(); }
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    std::uint64_t Append(std::string_view text) override {
        if (!WriteAt(m_end, text)) {
            return kNotWritten;
        }
        std::uint64_t at = m_end;
        m_end += text.size();
        return at;
    }
    void Overwrite(std::uint64_t offset, std::string_view text) override { WriteAt(offset, text); }

    // Writes text over the start of the file before cutting it short, so that a reader finds either the old
    // journal or the new one, never an empty file.
    bool Restart(std::string_view text) override {
        if (m_file == INVALID_HANDLE_VALUE && !Open()) {
            return false;
        }
        if (!WriteAt(0, text)) {
            return false;
        }
        // A device such as NUL keeps nothing and cannot be cut.
        if (GetFileType(m_file) == FILE_TYPE_DISK) {
            LARGE_INTEGER end;
            end.QuadPart = static_cast<LONGLONG>(text.size());
            if (!SetFilePointerEx(m_file, end, nullptr, FILE_BEGIN) || !SetEndOfFile(m_file)) {
                return false;
            }
        }
        m_end = text.size();
        return true;
    }

private:
    bool Open() {
        Close();
        m_file = CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        m_end = 0;
        return m_file != INVALID_HANDLE_VALUE;
    }
    void Close() {
        if (m_file != INVALID_HANDLE_VALUE) {
            CloseHandle(m_file);
            m_file = INVALID_HANDLE_VALUE;
        }
    }
    bool WriteAt(std::uint64_t offset, std::string_view text) {
        if (m_file == INVALID_HANDLE_VALUE) {
            return false;
        }
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(offset);
        DWORD written = 0;
        return SetFilePointerEx(m_file, position, nullptr, FILE_BEGIN) &&
               WriteFile(m_file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
    }

    std::wstring m_path;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    std::uint64_t m_end = 0;
};

struct Simulator {
    smbus_sim::SimConfig config;
    smbus_sim::ModuleBus bus;
    std::unique_ptr<FileSink> sink;
    std::unique_ptr<Journal> journal;
    LARGE_INTEGER frequency{};
};

HMODULE g_self = nullptr;

double NowMs() {
    return smbus_sim::JournalClockMs();
}

// Loads the configuration and the module images into sim.
void Load(Simulator* sim) {
    QueryPerformanceFrequency(&sim->frequency);
    std::wstring dllFolder = smbus_sim::ModuleFolder(g_self);
    bool named = false;
    std::wstring configPath = smbus_sim::ConfigPath(dllFolder, &named);
    std::vector<std::uint8_t> text;
    bool haveConfig = ReadWholeFile(configPath, text);
    if (haveConfig) {
        sim->config =
            smbus_sim::ParseSimConfig(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    } else if (named) {
        sim->config.problems.push_back("configuration file \"" + Narrow(configPath) + "\" cannot be read");
    }
    std::wstring configFolder = FolderOf(configPath);
    std::wstring journalPath = smbus_sim::JournalPath(sim->config, configPath, dllFolder);
    sim->sink = std::make_unique<FileSink>(journalPath);
    sim->journal = std::make_unique<Journal>(*sim->sink, std::uint64_t{sim->config.journalMaxKb} * 1024);
    for (const auto& problem : sim->config.problems) {
        sim->journal->Problem(problem);
    }
    for (const auto& module : sim->config.modules) {
        std::wstring imagePath = Resolve(configFolder, Widen(module.file));
        std::vector<std::uint8_t> image;
        std::string where = "module " + std::to_string(module.first) + " " + std::to_string(module.second) + " \"" +
                            module.file + "\": ";
        if (!ReadWholeFile(imagePath, image)) {
            sim->journal->Problem(where + "image file cannot be read");
            continue;
        }
        std::string refused = sim->bus.Place(module.first, module.second, image);
        if (!refused.empty()) {
            sim->journal->Problem(where + refused);
        }
    }
}

// The simulator, loaded on the first call and kept until the DLL is unloaded.
Simulator& Sim() {
    static Simulator sim;
    static const bool loaded = (Load(&sim), true);
    (void)loaded;
    return sim;
}

// Models the time one SMBus transaction takes on a real bus.
double Transaction() {
    Simulator& sim = Sim();
    double delay = sim.config.delayMsPerTransaction;
    if (delay <= 0.0) {
        return 0.0;
    }
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    auto ticks = static_cast<LONGLONG>(delay * static_cast<double>(sim.frequency.QuadPart) / 1000.0);
    do {
        QueryPerformanceCounter(&now);
    } while (now.QuadPart - start.QuadPart < ticks);
    return delay;
}

// The shared SMBus mutex hardware tools take around each bus access, as the program names it.
constexpr wchar_t kBusMutexName[] = L"Global\\Access_SMBUS.HTP.Method";
constexpr wchar_t kBusMutexLocalName[] = L"Access_SMBUS.HTP.Method";

// Whether the calling thread owns the bus mutex, asked of the mutant object itself (NtQueryMutant's basic
// information carries "owned by caller"), so that asking changes nothing.
bool CallerOwnsBusMutex() {
    struct MutantBasicInformation {
        LONG currentCount;
        BOOLEAN ownedByCaller;
        BOOLEAN abandonedState;
    };
    using QueryMutant = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<QueryMutant>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryMutant")));
    // Opened once it exists and kept: the program makes it before its first call.
    static HANDLE mutex = nullptr;
    if (!mutex) {
        mutex = OpenMutexW(SYNCHRONIZE | MUTANT_QUERY_STATE, FALSE, kBusMutexName);
    }
    if (!mutex) {
        mutex = OpenMutexW(SYNCHRONIZE | MUTANT_QUERY_STATE, FALSE, kBusMutexLocalName);
    }
    MutantBasicInformation info{};
    return mutex && query && query(mutex, 0, &info, sizeof info, nullptr) >= 0 && info.ownedByCaller;
}

// With require_bus_mutex, a call made without the bus mutex is journalled before the call itself.
void CheckGuarded(const char* name) {
    Simulator& sim = Sim();
    if (sim.config.requireBusMutex && !CallerOwnsBusMutex()) {
        sim.journal->Call(NowMs(), std::string("UNGUARDED ") + name, "", 0);
    }
}

// The entry points the program must never call: journalled loudly.
DWORD NeverCalled(const char* name) {
    Sim().journal->Call(NowMs(), std::string("UNEXPECTED ") + name, "", 0);
    return 0;
}

} // namespace

extern "C" {

__declspec(dllexport) DWORD __stdcall InitializeSMB(DWORD libraryHandle) {
    CheckGuarded("InitializeSMB");
    Simulator& sim = Sim();
    DWORD result = kResultNoise | (sim.config.initializeFails ? 0u : 1u);
    sim.journal->Call(NowMs(), "InitializeSMB", Journal::Hex(libraryHandle, 8), result);
    return result;
}

__declspec(dllexport) DWORD __stdcall CheckSPD() {
    CheckGuarded("CheckSPD");
    Simulator& sim = Sim();
    DWORD result = kResultNoise | sim.config.checkSpdAnswer;
    sim.journal->Call(NowMs(), "CheckSPD", "", result);
    return result;
}

__declspec(dllexport) DWORD __stdcall ReadSPD(DWORD first, DWORD second, DWORD offset) {
    CheckGuarded("ReadSPD");
    Simulator& sim = Sim();
    double bus = Transaction();
    std::uint8_t value = sim.bus.Read(first, second, offset);
    sim.journal->ReadSpd(NowMs(), first, second, offset, bus);
    return kResultNoise | value;
}

__declspec(dllexport) DWORD __stdcall RGBI2CMode(DWORD command, DWORD data1, DWORD data2, DWORD data3) {
    CheckGuarded("RGBI2CMode");
    Simulator& sim = Sim();
    Transaction();
    sim.journal->RgbI2cMode(NowMs(), command, data1, data2, data3, kResultNoise | 1u);
    return kResultNoise | 1u;
}

__declspec(dllexport) DWORD __stdcall SetZorvaEffect(DWORD mode, DWORD speed, DWORD zero, DWORD colour) {
    CheckGuarded("SetZorvaEffect");
    Simulator& sim = Sim();
    Transaction();
    sim.journal->ZorvaEffect(NowMs(), mode, speed, zero, colour, kResultNoise | 1u);
    return kResultNoise | 1u;
}

__declspec(dllexport) DWORD __stdcall ShutdownSMB() {
    return NeverCalled("ShutdownSMB");
}
__declspec(dllexport) DWORD __stdcall RGBSMBCMD() {
    return NeverCalled("RGBSMBCMD");
}
__declspec(dllexport) DWORD __stdcall SetSWModeRGB() {
    return NeverCalled("SetSWModeRGB");
}
__declspec(dllexport) DWORD __stdcall SetSevenColor() {
    return NeverCalled("SetSevenColor");
}
__declspec(dllexport) DWORD __stdcall SetZorvaMCU() {
    return NeverCalled("SetZorvaMCU");
}

} // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
