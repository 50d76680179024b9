#include "app/IniFiles_win32.h"

#include <windows.h>

#include <string>

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring ToWide(std::u16string_view name) {
    return std::wstring(name.begin(), name.end());
}

} // namespace

std::optional<std::uint64_t> CWin32IniFiles::FindFile(std::u16string_view name) {
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileW(ToWide(name).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    FindClose(find);
    return (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
}

FilePtr CWin32IniFiles::OpenFile(std::u16string_view name) {
    return FilePtr(_wfopen(ToWide(name).c_str(), L"rb"));
}
