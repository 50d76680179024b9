#include "base/SettingsStore_win32.h"

#include <string>

#include "framework/Gdi.h"
#include "framework/Utf16.h"

bool ReadSetting(LPCWSTR name, BYTE* data, DWORD* size, HKEY root) {
    HKEY opened = nullptr;
    if (RegOpenKeyW(root, kSettingsKey, &opened) != ERROR_SUCCESS) {
        return false;
    }
    const fw::UniqueKey key(opened);
    return RegQueryValueExW(key.Get(), name, nullptr, nullptr, data, size) == ERROR_SUCCESS;
}

bool WriteSetting(LPCWSTR name, const BYTE* data, DWORD size, DWORD type, HKEY root) {
    HKEY opened = nullptr;
    if (RegOpenKeyW(root, kSettingsKey, &opened) != ERROR_SUCCESS &&
        RegCreateKeyW(root, kSettingsKey, &opened) != ERROR_SUCCESS) {
        return false;
    }
    const fw::UniqueKey key(opened);
    return RegSetValueExW(key.Get(), name, 0, type, data, size) == ERROR_SUCCESS;
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
