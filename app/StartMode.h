// Start modes chosen by the command line.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

enum StartMode : std::int32_t {
    kStartDefault = 0,
    kStartNormal = 2,
    kStartMinimize = 3,
    kStartSysTray = 4,
    kStartOnlyApplySettings = 5,
};

struct StartModeWord {
    std::u16string_view word;
    std::int32_t mode;
};

// Searched in this order; the whole command line must equal a word, ignoring case.
inline constexpr std::array<StartModeWord, 4> kStartModeTable = {{
    {u"Normal", kStartNormal},
    {u"Minimize", kStartMinimize},
    {u"SysTray", kStartSysTray},
    {u"OnlyApplySettings", kStartOnlyApplySettings},
}};

// The start mode of a command line (the text after the program name, leading blanks removed); null or empty
// and anything that is not exactly one of the words give kStartDefault.
std::int32_t ParseStartMode(const char16_t* commandLine);
