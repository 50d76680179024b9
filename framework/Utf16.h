// The portable core's UTF-16 texts (char16_t) and the Win32 API's (wchar_t, also UTF-16 here) into each other.
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 texts are UTF-16");

inline std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}
inline std::u16string Utf16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}
