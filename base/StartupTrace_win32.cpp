#include "base/StartupTrace.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "framework/Gdi.h"

namespace {

struct Trace {
    bool on = false;
    fw::UniqueHandle file;
    std::vector<const char*> written;
};

void Open(Trace& trace) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"PRISMEL_TRACE_STARTUP", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        trace.file.Reset(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        trace.on = static_cast<bool>(trace.file);
    }
}

Trace& TheTrace() {
    static Trace trace;
    static const bool opened = (Open(trace), true);
    (void)opened;
    return trace;
}

std::uint64_t Ticks(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// Milliseconds from the process's creation to now.
double SinceProcessStart() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    return static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;
}

} // namespace

void StartupPhase(const char* phase) {
    Trace& trace = TheTrace();
    if (!trace.on) {
        return;
    }
    for (const char* seen : trace.written) {
        if (std::strcmp(seen, phase) == 0) {
            return;
        }
    }
    trace.written.push_back(phase);
    char line[128];
    const int length = std::snprintf(line, sizeof line, "%.1f %s\r\n", SinceProcessStart(), phase);
    DWORD wrote = 0;
    if (length > 0) {
        WriteFile(trace.file.Get(), line, static_cast<DWORD>(std::min<int>(length, sizeof line - 1)), &wrote, nullptr);
    }
}
