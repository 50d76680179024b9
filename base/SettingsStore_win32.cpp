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

template <class Use> LSTATUS CRegistrySettings::WithKeptKey(bool create, Use use) {
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_key) {
            HKEY opened = nullptr;
            if (RegOpenKeyW(HKEY_LOCAL_MACHINE, kSettingsKey, &opened) == ERROR_SUCCESS ||
                (create && RegCreateKeyW(HKEY_LOCAL_MACHINE, kSettingsKey, &opened) == ERROR_SUCCESS)) {
                m_key.Reset(opened);
            } else {
                return ERROR_FILE_NOT_FOUND;
            }
        }
        status = use(m_key.Get());
        if (status != ERROR_KEY_DELETED) {
            return status;
        }
        m_key.Reset();
    }
    return status;
}

bool CRegistrySettings::ReadValue(std::u16string_view name, std::uint8_t* data, std::uint32_t& size) {
    const std::wstring wide = Wide(name);
    DWORD got = size;
    if (m_keepOpen) {
        const LSTATUS status = WithKeptKey(false, [&](HKEY key) {
            got = size;
            return RegQueryValueExW(key, wide.c_str(), nullptr, nullptr, data, &got);
        });
        if (status != ERROR_SUCCESS) {
            return false;
        }
    } else if (!ReadSetting(wide.c_str(), data, &got, HKEY_LOCAL_MACHINE)) {
        return false;
    }
    size = got;
    return true;
}

bool CRegistrySettings::WriteDword(std::u16string_view name, std::uint32_t value) {
    const std::wstring wide = Wide(name);
    DWORD data = value;
    const auto* bytes = reinterpret_cast<const BYTE*>(&data);
    if (m_keepOpen) {
        return WithKeptKey(true, [&](HKEY key) {
                   return RegSetValueExW(key, wide.c_str(), 0, REG_DWORD, bytes, sizeof data);
               }) == ERROR_SUCCESS;
    }
    return WriteSetting(wide.c_str(), bytes, sizeof data, REG_DWORD, HKEY_LOCAL_MACHINE);
}

CRegistryList::CRegistryList(std::u16string_view subkey) : m_path(std::wstring(kSettingsKey) + L"\\" + Wide(subkey)) {}

std::vector<NamedValue> CRegistryList::ReadAll(std::size_t maxValues, std::size_t maxNameUnits, std::size_t maxBytes) {
    std::vector<NamedValue> values;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, m_path.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return values;
    }
    const fw::UniqueKey key(opened);
    // One more unit and byte than allowed, so that a longer name or value shows as too long.
    std::wstring name(maxNameUnits + 2, L'\0');
    std::vector<std::uint8_t> data(maxBytes + 1);
    for (DWORD index = 0; values.size() < maxValues; ++index) {
        DWORD nameUnits = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LSTATUS status =
            RegEnumValueW(key.Get(), index, name.data(), &nameUnits, nullptr, &type, data.data(), &size);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        NamedValue value;
        if (status == ERROR_SUCCESS) {
            value.name = Utf16(std::wstring_view(name.data(), nameUnits));
            value.tooLong = nameUnits > maxNameUnits || size > maxBytes || type != REG_BINARY;
            if (!value.tooLong) {
                value.data.assign(data.begin(), data.begin() + size);
            }
        } else if (status == ERROR_MORE_DATA) {
            // A name or a value too long for the buffers: listed by as much of its name as is known, as damaged.
            value.name = Utf16(std::wstring_view(name.data(), std::min<std::size_t>(nameUnits, maxNameUnits)));
            value.tooLong = true;
        } else {
            break;
        }
        values.push_back(std::move(value));
    }
    return values;
}

bool CRegistryList::WriteBinary(std::u16string_view name, const std::vector<std::uint8_t>& data) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, m_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const fw::UniqueKey key(opened);
    return RegSetValueExW(key.Get(), Wide(name).c_str(), 0, REG_BINARY, data.data(), static_cast<DWORD>(data.size())) ==
           ERROR_SUCCESS;
}

bool CRegistryList::Remove(std::u16string_view name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, m_path.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) {
        return false;
    }
    const fw::UniqueKey key(opened);
    return RegDeleteValueW(key.Get(), Wide(name).c_str()) == ERROR_SUCCESS;
}
