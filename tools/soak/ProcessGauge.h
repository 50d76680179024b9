// What the soak measures of a running program: its private and resident memory, its handles, its GDI objects and
// its USER objects. Where the system's own counters answer 0 (under Wine: GetGuiResources, and the memory
// counters of another process, and GetProcessHandleCount), the memory comes from the Linux process's /proc status,
// the handles from the system's list of all handles, the GDI objects are the used entries of the program's GDI
// handle table and the USER objects are its windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "tools/soak/SoakReport.h"

namespace soak {

// The /proc status file (as a Windows path on drive Z:) of the Linux process whose environment holds the given
// "NAME=value" variable; empty when there is none, or no /proc.
std::wstring LinuxStatusPath(const std::string& variable);

class ProcessGauge {
public:
    // linuxStatus: the program's LinuxStatusPath, or empty.
    ProcessGauge(DWORD processId, std::wstring linuxStatus);
    ~ProcessGauge();
    ProcessGauge(const ProcessGauge&) = delete;
    ProcessGauge& operator=(const ProcessGauge&) = delete;

    explicit operator bool() const { return process_ != nullptr; }
    // The figures now; kUnknown for what cannot be had.
    Figures Take() const;
    // The program's bitmaps now, where its GDI handle table can be read (under Wine); else kUnknown.
    std::int64_t Bitmaps() const;

private:
    std::int64_t HandleCountFromSystemList() const;
    std::int64_t GdiTableCount(std::optional<std::uint8_t> type = std::nullopt) const;
    std::uint64_t GdiTableAddress() const;
    std::int64_t WindowCount() const;
    template <class T> bool Read(std::uint64_t address, T& value) const;

    DWORD id_;
    HANDLE process_;
    std::wstring linuxStatus_;
    mutable std::uint64_t gdiTable_ = 0;
};

} // namespace soak
