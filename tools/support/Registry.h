// The registry as tests and tools read and set it: the names of a key's values, and one value set.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace support {

// The names of the values under root\key, sorted; none when the key cannot be opened.
std::vector<std::wstring> RegistryValueNames(HKEY root, const wchar_t* key);
// Sets a value under root\key, making the key when there is none; true when it was set.
bool PutRegistryValue(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD size);
bool PutRegistryDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value);
// A value of 4 bytes under root\key, or nothing when there is none of that size.
std::optional<DWORD> GetRegistryDword(HKEY root, const wchar_t* key, const wchar_t* name);
// The screen DPI Wine gives the programs started from now on: LogPixels where Wine reads it (the same keys as
// tools/wine/common.sh's prismel_prefix_dpi). True when every key was set.
bool SetWineScreenDpi(int dpi);

} // namespace support
