// Helpers shared by the INI reader's tests.
#pragma once

#include "app/Ini.h"

#include <optional>
#include <string>

// A reader loaded from text in memory.
struct IniFromText {
    CStdioIniFiles files;
    CIni ini{files};

    explicit IniFromText(std::u16string_view text) { ini.LoadText(text); }

    std::optional<std::u16string> Read(std::u16string_view section, std::u16string_view key) const {
        char16_t buffer[128];
        if (!ini.ReadString(section, key, buffer)) {
            return std::nullopt;
        }
        return buffer;
    }
};
