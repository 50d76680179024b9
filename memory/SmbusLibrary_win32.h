// The SMBus library MsIo32.dll: loaded once from the program's own folder while the main window initialises,
// never unloaded. Every call goes through here; an entry point that the library lacks is never called.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "base/Settings.h"
#include "memory/BusMutex_win32.h"
#include "memory/SmbusBinding.h"

// The application object holds the one library of the process and hands it to what sends through it.
class CSmbusLibrary final : public SmbusLightingCalls {
public:
    enum class BindResult { Ready, LoadFailed, InitFailed };

    // Loads folder\MsIo32.dll by its full path, resolves the ten entry points in order and calls InitializeSMB
    // with the library's module handle. A library without InitializeSMB cannot be initialised (InitFailed).
    BindResult Load(const std::wstring& folder);
    // Asks CheckSPD once for the command sets the modules take and keeps the answer; both flags stay false when
    // the library has no CheckSPD.
    SmbusFlags ReadFlags();
    // UseRGBI2CMode and UseSetZorvaEffect, as CheckSPD last answered: the one home of the two flags.
    SmbusFlags Flags() const { return m_flags; }

    // The shared bus mutex callers hold around the calls that form one command (Load and ReadFlags take it
    // themselves).
    CBusMutex& Bus() { return m_bus; }
    // "SharedSmbusAccess": the bus mutex is taken unless the value is 0 (missing: taken).
    void ShareBusAsStored(ISettingsRegistry& registry);

    bool Loaded() const { return m_module != nullptr; }
    bool Has(SmbusEntry entry) const { return m_entries[entry] != nullptr; }
    HMODULE Module() const { return m_module; }

    // ReadSPD's byte (the low byte of its answer); 0xFF, "no answer", without the entry point.
    std::uint8_t ReadSpd(std::uint8_t first, std::uint8_t second, std::uint16_t offset) const;
    void RgbI2cMode(std::uint8_t command, std::uint8_t data1, std::uint8_t data2, std::uint8_t data3) override;
    void SetZorvaEffect(std::uint8_t mode, std::uint16_t speed, std::uint8_t zero, std::uint32_t argb) override;
    // Whether Load answered Ready: the library started, and lighting commands reach the modules.
    bool Started() const { return m_started; }

private:
    using Entry = FARPROC;
    HMODULE m_module = nullptr;
    std::array<Entry, kSmbusEntryCount> m_entries{};
    SmbusFlags m_flags{};
    bool m_started = false;
    CBusMutex m_bus;
};
