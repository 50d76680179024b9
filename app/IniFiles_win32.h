// The INI reader's files on Win32: found with FindFirstFileW and opened with _wfopen, so any file name works.
#pragma once

#include "app/Ini.h"

class CWin32IniFiles final : public IIniFileSource {
public:
    std::optional<std::uint64_t> FindFile(std::u16string_view name) override;
    FilePtr OpenFile(std::u16string_view name) override;
};
