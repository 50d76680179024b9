#include "base/SettingsStore_win32.h"

#include <string>

#include "framework/Utf16.h"

bool ReadSetting(LPCWSTR name, BYTE* data, DWORD* size, HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyW(root, kSettingsKey, &key) != ERROR_SUCCESS) {
        return false;
    }
    LONG result = RegQueryValueExW(key, name, nullptr, nullptr, data, size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool WriteSetting(LPCWSTR name, const BYTE* data, DWORD size, DWORD type, HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyW(root, kSettingsKey, &key) != ERROR_SUCCESS &&
        RegCreateKeyW(root, kSettingsKey, &key) != ERROR_SUCCESS) {
        return false;
    }
    LONG result = RegSetValueExW(key, name, 0, type, data, size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool CRegistrySettings::ReadValue(std::u16string_view name, std::uint8_t* data, std::uint32_t& size) {
    DWORD got = size;
    if (!ReadSetting(Wide(name).c_str(), data, &got, HKEY_LOCAL_MACHINE)) {
        return false;
    }
    size = got;
    return true;
}

bool CRegistrySettings::WriteDword(std::u16string_view name, std::uint32_t value) {
    DWORD data = value;
    return WriteSetting(Wide(name).c_str(), reinterpret_cast<const BYTE*>(&data), sizeof data, REG_DWORD,
                        HKEY_LOCAL_MACHINE);
}
