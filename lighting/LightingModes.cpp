#include "lighting/LightingModes.h"

#include <charconv>
#include <string>

namespace {

// The word folded for comparing names: ASCII letters in lower case, blanks, '-' and '_' dropped, and the American
// spelling of "colour" taken as the British one.
std::string Folded(std::string_view word) {
    std::string folded;
    for (char c : word) {
        if (c == ' ' || c == '-' || c == '_') {
            continue;
        }
        folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    if (const std::size_t color = folded.find("color"); color != std::string::npos) {
        folded.replace(color, 5, "colour");
    }
    return folded;
}

} // namespace

std::string_view ModeName(std::int32_t mode) {
    return mode >= kModeNone && mode <= kModeCount ? kModeNames[static_cast<std::size_t>(mode)] : kModeNames[0];
}

std::int32_t ModeByWord(std::string_view word) {
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (!word.empty() && error == std::errc() && end == word.data() + word.size()) {
        return number >= kModeStatic && number <= kModeCount ? number : kModeNone;
    }
    const std::string folded = Folded(word);
    for (std::int32_t mode = kModeStatic; mode <= kModeCount; ++mode) {
        if (folded == Folded(kModeNames[static_cast<std::size_t>(mode)])) {
            return mode;
        }
    }
    return kModeNone;
}
