// The settings key HKEY_LOCAL_MACHINE "Software\Tessaro HD" (the 32-bit registry view on 64-bit Windows).
#pragma once

#include <windows.h>

#include <string>

#include "base/Settings.h"

inline constexpr wchar_t kSettingsKey[] = L"Software\\Tessaro HD";

// Opens the key afresh, queries the value into data; true when the query succeeded.
bool ReadSetting(LPCWSTR name, BYTE* data, DWORD* size, HKEY root);
// Opens (or creates) the key afresh and sets the value; true when setting succeeded.
bool WriteSetting(LPCWSTR name, const BYTE* data, DWORD size, DWORD type, HKEY root);

// The settings key under HKEY_LOCAL_MACHINE as the loading rules see it.
class CRegistrySettings final : public ISettingsRegistry {
public:
    bool ReadValue(std::u16string_view name, std::uint8_t* data, std::uint32_t& size) override;
    bool WriteDword(std::u16string_view name, std::uint32_t value) override;
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
