#include "memory/SmbusLibrary_win32.h"

namespace {

// The library's calling convention: __stdcall, narrow arguments zero-extended to 32 bits.
using InitializeFn = DWORD(WINAPI*)(DWORD);
using CheckSpdFn = DWORD(WINAPI*)();
using ReadSpdFn = DWORD(WINAPI*)(DWORD, DWORD, DWORD);
using RgbI2cModeFn = DWORD(WINAPI*)(DWORD, DWORD, DWORD, DWORD);
using SetZorvaEffectFn = DWORD(WINAPI*)(DWORD, DWORD, DWORD, DWORD);

template <class F> F As(FARPROC entry) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(entry));
}

} // namespace

CSmbusLibrary::BindResult CSmbusLibrary::Load(const std::wstring& folder) {
    if (!m_module) {
        if (folder.empty()) {
            return BindResult::LoadFailed;
        }
        // By full path only: the program runs elevated, and a library of that name elsewhere on the search path
        // must never be loaded in its place. Its own dependencies are looked for beside it.
        std::wstring path = folder + L"\\MsIo32.dll";
        m_module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (!m_module) {
            return BindResult::LoadFailed;
        }
        for (int entry = 0; entry < kSmbusEntryCount; ++entry) {
            m_entries[static_cast<std::size_t>(entry)] =
                GetProcAddress(m_module, kSmbusEntryNames[static_cast<std::size_t>(entry)]);
        }
    }
    if (!Has(kInitializeSMB)) {
        return BindResult::InitFailed;
    }
    DWORD handle = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(m_module));
    // A bus that stays busy past the wait is a tool that hung holding it: the library is started regardless.
    const CBusMutex::Hold bus = m_bus.Take(kStartBusWaitMs);
    m_started = SmbusReady(As<InitializeFn>(m_entries[kInitializeSMB])(handle));
    return m_started ? BindResult::Ready : BindResult::InitFailed;
}

void CSmbusLibrary::ShareBusAsStored(ISettingsRegistry& registry) {
    m_bus.SetShared(ReadStoredDword(registry, kSharedSmbusAccessValue).value_or(1) != 0);
}

SmbusFlags CSmbusLibrary::ReadFlags() {
    const CBusMutex::Hold bus = m_bus.Take(kStartBusWaitMs);
    m_flags = Has(kCheckSPD) ? FlagsFromCheckSpd(As<CheckSpdFn>(m_entries[kCheckSPD])()) : SmbusFlags{};
    return m_flags;
}

std::uint8_t CSmbusLibrary::ReadSpd(std::uint8_t first, std::uint8_t second, std::uint16_t offset) const {
    if (!Has(kReadSPD)) {
        return 0xFF;
    }
    return static_cast<std::uint8_t>(As<ReadSpdFn>(m_entries[kReadSPD])(first, second, offset) & 0xFFu);
}

void CSmbusLibrary::RgbI2cMode(std::uint8_t command, std::uint8_t data1, std::uint8_t data2, std::uint8_t data3) {
    if (Has(kRGBI2CMode)) {
        As<RgbI2cModeFn>(m_entries[kRGBI2CMode])(command, data1, data2, data3);
    }
}

void CSmbusLibrary::SetZorvaEffect(std::uint8_t mode, std::uint16_t speed, std::uint8_t zero, std::uint32_t argb) {
    if (Has(kSetZorvaEffect)) {
        As<SetZorvaEffectFn>(m_entries[kSetZorvaEffect])(mode, speed, zero, argb);
    }
}
