// The words of the stand-in's journal that its writer and its readers share: the lighting commands whose last
// values make up the LEDs' state, and the lines that mark a journal continued after reaching its size limit.
//
// A journal that reaches its limit is started anew with a continuation block instead of being left to grow:
//   "<ms> CONTINUED part=2 dropped=0"                             the first line: not a program loading the stand-in
//   "<ms> STATE ReadSPD(0, 2) total count=01036 bus_ms=..."       ReadSPD transactions so far, per position
//   "PROBLEM <text>"                                              the stand-in's last complaint, if any
//   "<ms> STATE RGBI2CMode(0x01, 0x04, 0x00, 0x00) -> 0x..."      the calls that make up the LEDs' state, in the
//   "<ms> STATE SetZorvaEffect(...) -> 0x..."                     order they were made, with their own times
// "dropped" counts the lines the stand-in could not write since it was loaded: a journal that cannot be written
// starts anew as soon as it can, so the count reaches the file in the next continuation line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace smbus_sim {

inline constexpr int kLedCount = 5;

// RGBI2CMode's first argument.
inline constexpr std::uint32_t kSelectCommand = 0x01;
inline constexpr std::uint32_t kParameterCommand = 0x02;
inline constexpr std::uint32_t kFirstLedCommand = 0x10; // LED k is command 0x10 + k
inline constexpr std::uint32_t kSelectFrames = 4; // the system drives the LEDs frame by frame (or leaves them off)
// Parameter commands that count since the last select command: the journal carries and the view shows this many.
inline constexpr std::size_t kParametersKept = 8;

// The word after the timestamp of the journal's own lines.
inline constexpr std::string_view kContinuedWord = "CONTINUED";
inline constexpr std::string_view kStateWord = "STATE";
inline constexpr std::string_view kProblemPrefix = "PROBLEM ";

// Whether line is "<timestamp> <word>" or "<timestamp> <word> <rest>"; if so, rest is what follows the word.
inline bool SplitOwnLine(std::string_view line, std::string_view word, std::string_view& rest) {
    std::size_t i = 0;
    while (i < line.size() && ((line[i] >= '0' && line[i] <= '9') || line[i] == '.')) {
        ++i;
    }
    if (i == 0 || i >= line.size() || line[i] != ' ' || line.substr(i + 1, word.size()) != word) {
        return false;
    }
    rest = line.substr(i + 1 + word.size());
    if (!rest.empty() && rest.front() != ' ') {
        return false;
    }
    rest = rest.empty() ? rest : rest.substr(1);
    return true;
}

// Whether a journal's first line says that the journal continues an earlier part of the same run of the stand-in.
inline bool IsContinuationLine(std::string_view line) {
    std::string_view rest;
    return SplitOwnLine(line, kContinuedWord, rest);
}

} // namespace smbus_sim
