#include "app/StartMode.h"

#include "base/TextCompare.h"

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
