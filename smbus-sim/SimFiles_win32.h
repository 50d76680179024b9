// Where the stand-in's files are and how they are read, shared by the stand-in DLL and the LED view so that both
// find the same configuration and journal: the configuration is the file named by PRISMEL_SMBUS_CONFIG, or
// "smbus-sim.conf" in the stand-in's folder; relative names in it start in its own folder.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "smbus-sim/core/SimConfig.h"

namespace smbus_sim {

// The journal's clock: milliseconds since 1970 from the system time, so that other programs can compare.
inline double JournalClockMs() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    // 100 ns units since 1601 to milliseconds since 1970.
    return static_cast<double>(t.QuadPart - 116444736000000000ULL) / 10000.0;
}

inline std::wstring Widen(const std::string& s) {
    if (s.empty()) {
        return {};
    }
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

inline std::string Narrow(const std::wstring& w) {
    if (w.empty()) {
        return {};
    }
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// The folder part of a path, with its trailing separator; empty for a bare name.
inline std::wstring FolderOf(const std::wstring& path) {
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

inline std::wstring Resolve(const std::wstring& folder, const std::wstring& name) {
    bool absolute = (name.size() > 1 && name[1] == L':') || (!name.empty() && (name[0] == L'\\' || name[0] == L'/'));
    return absolute ? name : folder + name;
}

// The folder of a loaded module (null: the program), with its trailing separator.
inline std::wstring ModuleFolder(HMODULE module) {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(module, path, static_cast<DWORD>(std::size(path)));
    return FolderOf(path);
}

// A small file read whole (at most 1 MiB); false if it cannot be read.
inline bool ReadWholeFile(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (1 << 20);
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        ok = bytes.empty() ||
             (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size());
    }
    CloseHandle(file);
    return ok;
}

// The configuration's path: PRISMEL_SMBUS_CONFIG if set, else "smbus-sim.conf" in folder.
inline std::wstring ConfigPath(const std::wstring& folder, bool* fromEnvironment = nullptr) {
    wchar_t envPath[MAX_PATH * 2] = {};
    DWORD envLength = GetEnvironmentVariableW(L"PRISMEL_SMBUS_CONFIG", envPath, static_cast<DWORD>(std::size(envPath)));
    bool named = envLength > 0 && envLength < std::size(envPath);
    if (fromEnvironment) {
        *fromEnvironment = envLength > 0;
    }
    return named ? std::wstring(envPath) : folder + L"smbus-sim.conf";
}

// The journal's path for a configuration read from configPath: its "journal" key, else beside the stand-in.
inline std::wstring JournalPath(const SimConfig& config, const std::wstring& configPath, const std::wstring& folder) {
    return config.journalPath.empty() ? folder + L"smbus-sim.journal"
                                      : Resolve(FolderOf(configPath), Widen(config.journalPath));
}

} // namespace smbus_sim
