#include "app/StartMode.h"

namespace {

char16_t FoldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

std::int32_t ParseStartMode(const char16_t* commandLine) {
    if (!commandLine || !*commandLine) {
        return kStartDefault;
    }
    std::u16string_view text(commandLine);
    for (const auto& row : kStartModeTable) {
        if (EqualIgnoringCase(text, row.word)) {
            return row.mode;
        }
    }
    return kStartDefault;
}
