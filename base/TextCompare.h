// Comparing names the way the program's files and command line do: ASCII letters without regard to case.
#pragma once

#include <string_view>

// A-Z folded to a-z; every other code unit as it is.
constexpr char16_t FoldAsciiCase(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

// Whether a equals b, ignoring the case of ASCII letters.
constexpr bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) {
            return false;
        }
    }
    return true;
}
