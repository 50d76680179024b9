// The settings key HKEY_LOCAL_MACHINE "Software\Tessaro HD" (the 32-bit registry view on 64-bit Windows).
#pragma once

#include <windows.h>

#include <string>

#include "base/Settings.h"
#include "framework/Gdi.h"

inline constexpr wchar_t kSettingsKey[] = L"Software\\Tessaro HD";

// Opens the key afresh, queries the value into data; true when the query succeeded.
bool ReadSetting(LPCWSTR name, BYTE* data, DWORD* size, HKEY root);
// Opens (or creates) the key afresh and sets the value; true when setting succeeded.
bool WriteSetting(LPCWSTR name, const BYTE* data, DWORD size, DWORD type, HKEY root);

// The settings key under HKEY_LOCAL_MACHINE as the loading rules see it. Each value opens the key afresh, except
// between KeepOpen and EndKeepOpen: a start reads some thirty values and writes some back, and there the key is
// opened once, when first found (or made by a write), and kept. A key deleted meanwhile by another program is
// opened (or made) afresh, once, for the value that found it gone. One thread.
class CRegistrySettings final : public ISettingsRegistry {
public:
    bool ReadValue(std::u16string_view name, std::uint8_t* data, std::uint32_t& size) override;
    bool WriteDword(std::u16string_view name, std::uint32_t value) override;

    void KeepOpen() { m_keepOpen = true; }
    void EndKeepOpen() {
        m_keepOpen = false;
        m_key.Reset();
    }

private:
    // Runs `use` on the kept key (opened, or with `create` made, if need be); once more on a fresh key if the kept
    // one was deleted. The registry's status, or ERROR_FILE_NOT_FOUND when there is no key.
    template <class Use> LSTATUS WithKeptKey(bool create, Use use);

    bool m_keepOpen = false;
    fw::UniqueKey m_key;
};

// A subkey of the settings key holding named binary values.
class CRegistryList final : public ISettingsList {
public:
    explicit CRegistryList(std::u16string_view subkey);
    std::vector<NamedValue> ReadAll(std::size_t maxValues, std::size_t maxNameUnits, std::size_t maxBytes) override;
    bool WriteBinary(std::u16string_view name, const std::vector<std::uint8_t>& data) override;
    bool Remove(std::u16string_view name) override;

private:
    std::wstring m_path;
};
