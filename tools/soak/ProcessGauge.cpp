#include "tools/soak/ProcessGauge.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <utility>
#include <vector>

#include "tools/support/Driver.h"

namespace soak {
namespace {

// A 32-bit thread's TEB names its 64-bit TEB (in the GdiBatchCount field, under Wine as under WOW64); a 64-bit
// thread's TEB is its 64-bit TEB. That one's PEB field names the 64-bit PEB, which holds the address of the
// process's GDI handle table. The gauge and the program it measures are of the same build, so of one kind.
constexpr std::size_t kTebTeb64Offset = 0xF70;
constexpr std::uint64_t kHighestAddress = sizeof(void*) == 8 ? ~std::uint64_t{0} : 0xFFFFFFFFu;
constexpr std::size_t kTeb64PebOffset = 0x60;
constexpr std::size_t kPeb64GdiTableOffset = 0xF8;
// Wine's table: 65536 entries of 24 bytes (object, owner, unique, type, flags, user pointer); type 0 is free.
constexpr std::size_t kGdiTableEntries = 0x10000;
constexpr std::size_t kGdiEntrySize = 24;
constexpr std::size_t kGdiEntryTypeOffset = 14;
constexpr std::uint8_t kGdiBitmapType = 0x09; // a bitmap's type in the table

// A "Name:   1234 kB" line of a Linux /proc status file, in KiB; unknown if absent.
std::int64_t StatusKb(const std::string& status, const char* name) {
    const std::string key = std::string("\n") + name + ":";
    const std::size_t at = ("\n" + status).find(key);
    return at == std::string::npos ? kUnknown : std::atoll(status.c_str() + at + key.size() - 1);
}

BOOL CALLBACK CountWindow(HWND, LPARAM counter) {
    ++*reinterpret_cast<std::int64_t*>(counter);
    return TRUE;
}

void Set(Figures& figures, Measure measure, std::int64_t value) {
    figures[static_cast<std::size_t>(measure)] = value;
}

} // namespace

// The Linux process that runs a Wine program is the one whose environment holds the variable.
std::wstring LinuxStatusPath(const std::string& variable) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::wstring path;
    do {
        const std::wstring name = found.cFileName;
        if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) {
            continue;
        }
        const std::string environment = support::ReadTextFile(L"Z:\\proc\\" + name + L"\\environ");
        if (environment.find(std::string(1, '\0') + variable + '\0') != std::string::npos ||
            environment.rfind(variable + '\0', 0) == 0) {
            path = L"Z:\\proc\\" + name + L"\\status";
            break;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return path;
}

ProcessGauge::ProcessGauge(DWORD processId, std::wstring linuxStatus)
    : id_(processId), process_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)),
      linuxStatus_(std::move(linuxStatus)) {}

ProcessGauge::~ProcessGauge() {
    if (process_) {
        CloseHandle(process_);
    }
}

Figures ProcessGauge::Take() const {
    Figures figures{};
    figures.fill(kUnknown);
    // Memory: the private bytes and the working set, or where the system gives 0 for another process (Wine),
    // the anonymous and the whole resident memory of the Linux process.
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process_, &memory, sizeof memory) && memory.PagefileUsage > 0) {
        Set(figures, Measure::PrivateKb, static_cast<std::int64_t>(memory.PagefileUsage / 1024));
        Set(figures, Measure::ResidentKb, static_cast<std::int64_t>(memory.WorkingSetSize / 1024));
    } else if (!linuxStatus_.empty()) {
        const std::string status = support::ReadTextFile(linuxStatus_);
        Set(figures, Measure::PrivateKb, StatusKb(status, "RssAnon"));
        Set(figures, Measure::ResidentKb, StatusKb(status, "VmRSS"));
    }
    DWORD handles = 0;
    if (GetProcessHandleCount(process_, &handles) && handles > 0) {
        Set(figures, Measure::Handles, handles);
    } else {
        Set(figures, Measure::Handles, HandleCountFromSystemList());
    }
    const DWORD gdi = GetGuiResources(process_, GR_GDIOBJECTS);
    Set(figures, Measure::GdiObjects, gdi > 0 ? static_cast<std::int64_t>(gdi) : GdiTableCount());
    const DWORD user = GetGuiResources(process_, GR_USEROBJECTS);
    Set(figures, Measure::UserObjects, user > 0 ? static_cast<std::int64_t>(user) : WindowCount());
    return figures;
}

// The program's open handles in the system's list of all handles (class 16, SystemHandleInformation).
std::int64_t ProcessGauge::HandleCountFromSystemList() const {
    constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
    constexpr NTSTATUS kLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
    struct Entry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        void* object;
        ULONG access;
    };
    struct List {
        ULONG count;
        Entry entries[1];
    };
    std::vector<std::uint8_t> buffer(1 << 16);
    NTSTATUS status = kLengthMismatch;
    while (status == kLengthMismatch && buffer.size() <= (1u << 26)) {
        ULONG needed = 0;
        status = NtQuerySystemInformation(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                                          &needed);
        if (status == kLengthMismatch) {
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed));
        }
    }
    if (status != 0) {
        return kUnknown;
    }
    const auto* list = reinterpret_cast<const List*>(buffer.data());
    const std::size_t fit = (buffer.size() - offsetof(List, entries)) / sizeof(Entry);
    std::int64_t count = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(list->count, fit); ++i) {
        count += list->entries[i].ownerPid == id_ ? 1 : 0;
    }
    return count > 0 ? count : kUnknown;
}

std::int64_t ProcessGauge::Bitmaps() const {
    return GdiTableCount(kGdiBitmapType);
}

// The in-use entries of the program's GDI handle table (of one type, or any); unknown where there is no table to
// be found.
std::int64_t ProcessGauge::GdiTableCount(std::optional<std::uint8_t> type) const {
    const std::uint64_t table = GdiTableAddress();
    if (table == 0) {
        return kUnknown;
    }
    SIZE_T read = 0;
    std::vector<std::uint8_t> entries(kGdiTableEntries * kGdiEntrySize);
    if (!ReadProcessMemory(process_, reinterpret_cast<LPCVOID>(static_cast<UINT_PTR>(table)), entries.data(),
                           entries.size(), &read) ||
        read != entries.size()) {
        return kUnknown;
    }
    std::int64_t used = 0;
    for (std::size_t i = 0; i < kGdiTableEntries; ++i) {
        const std::uint8_t entryType = entries[i * kGdiEntrySize + kGdiEntryTypeOffset];
        used += entryType != 0 && (!type || entryType == *type) ? 1 : 0;
    }
    return used;
}

template <class T> bool ProcessGauge::Read(std::uint64_t address, T& value) const {
    SIZE_T read = 0;
    return ReadProcessMemory(process_, reinterpret_cast<LPCVOID>(static_cast<UINT_PTR>(address)), &value, sizeof value,
                             &read) &&
           read == sizeof value;
}

// Where the program's GDI handle table is, found the way its own GDI finds it: one of its threads' TEB names
// the 64-bit TEB, that names the 64-bit PEB, and that holds the table's address. 0 if any step fails.
std::uint64_t ProcessGauge::GdiTableAddress() const {
    if (gdiTable_ != 0) {
        return gdiTable_;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    DWORD threadId = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more && threadId == 0; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == id_) {
            threadId = entry.th32ThreadID;
        }
    }
    CloseHandle(snapshot);
    HANDLE thread = threadId ? OpenThread(THREAD_QUERY_INFORMATION, FALSE, threadId) : nullptr;
    if (!thread) {
        return 0;
    }
    // The layout of ThreadBasicInformation's answer.
    struct ThreadBasics {
        NTSTATUS exitStatus;
        void* teb;
        CLIENT_ID client;
        ULONG_PTR affinity;
        LONG priority;
        LONG basePriority;
    } basics{};
    const bool known =
        NtQueryInformationThread(thread, ThreadBasicInformation, &basics, sizeof basics, nullptr) == 0 && basics.teb;
    CloseHandle(thread);
    const std::uint64_t teb = known ? reinterpret_cast<UINT_PTR>(basics.teb) : 0;
    std::uint64_t teb64 = 0, peb64 = 0, table = 0;
    if constexpr (sizeof(void*) == 8) {
        teb64 = teb;
    } else {
        DWORD named = 0;
        teb64 = teb != 0 && Read(teb + kTebTeb64Offset, named) ? named : 0;
    }
    if (teb64 != 0 && Read(teb64 + kTeb64PebOffset, peb64) && peb64 != 0 && peb64 <= kHighestAddress &&
        Read(peb64 + kPeb64GdiTableOffset, table) && table <= kHighestAddress) {
        gdiTable_ = table;
    }
    return gdiTable_;
}

// The program's windows: its top-level windows and all their descendants.
std::int64_t ProcessGauge::WindowCount() const {
    std::int64_t count = 0;
    for (HWND top : support::TopLevelWindows(id_)) {
        ++count;
        EnumChildWindows(top, &CountWindow, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

} // namespace soak
