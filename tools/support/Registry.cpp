#include "tools/support/Registry.h"

#include <algorithm>

namespace support {

std::vector<std::wstring> RegistryValueNames(HKEY root, const wchar_t* key) {
    std::vector<std::wstring> names;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return names;
    }
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumValueW(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    RegCloseKey(opened);
    std::sort(names.begin(), names.end());
    return names;
}

bool PutRegistryValue(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool set = RegSetValueExW(opened, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return set;
}

bool PutRegistryDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value) {
    return PutRegistryValue(root, key, name, REG_DWORD, &value, sizeof value);
}

std::optional<DWORD> GetRegistryDword(HKEY root, const wchar_t* key, const wchar_t* name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(root, key, name, RRF_RT_ANY, nullptr, &value, &size) != ERROR_SUCCESS || size != sizeof value) {
        return std::nullopt;
    }
    return value;
}

bool SetWineScreenDpi(int dpi) {
    const auto value = static_cast<DWORD>(dpi);
    return PutRegistryDword(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", value) &&
           PutRegistryDword(HKEY_CURRENT_USER, L"Software\\Wine\\Fonts", L"LogPixels", value) &&
           PutRegistryDword(HKEY_LOCAL_MACHINE,
                            L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts", L"LogPixels",
                            value);
}

} // namespace support
