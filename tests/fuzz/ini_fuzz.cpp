// Fuzzes the INI reader: parsing any text, then string and integer look-ups of names taken from the input.
//
// Input layout: byte 0 the ReadString buffer size, byte 1 the ReadInt base, byte 2 the section query's length and
// byte 3 the key query's length (in code units, at most 8); the rest is UTF-16 little-endian text, whose first
// code units also give the two queries. ASCII values are checked against the C library's own conversion.
#include "app/Ini.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::int32_t RuntimeConversion(const std::u16string& value, int base) {
    std::wstring wide(value.begin(), value.end());
    const long result = std::wcstol(wide.c_str(), nullptr, base);
    return result > INT32_MAX ? INT32_MAX : result < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(result);
}

bool IsAscii(const std::u16string& text) {
    for (const char16_t unit : text) {
        if (unit == 0 || unit > 0x7F) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const std::size_t bufferSize = data[0] % 40;
    const int base = data[1] % 38;
    std::u16string text((size - 4) / 2, u'\0');
    std::memcpy(text.data(), data + 4, text.size() * 2);
    const std::size_t sectionLength = std::min<std::size_t>(data[2] % 9, text.size());
    const std::size_t keyLength = std::min<std::size_t>(data[3] % 9, text.size() - sectionLength);
    const std::u16string section = text.substr(0, sectionLength);
    const std::u16string key = text.substr(sectionLength, keyLength);

    CStdioIniFiles files;
    CIni ini(files);
    ini.LoadText(text);

    std::vector<char16_t> small(bufferSize + 1, u'#');
    if (ini.ReadString(section, key, small.data(), bufferSize)) {
        if (std::char_traits<char16_t>::find(small.data(), bufferSize, u'\0') == nullptr) {
            std::abort(); // a string that came back unterminated within its buffer
        }
    }
    if (small[bufferSize] != u'#') {
        std::abort(); // written past the buffer
    }

    std::vector<char16_t> whole(text.size() + 1);
    std::int32_t value = 0;
    const bool found = ini.ReadString(section, key, whole.data(), whole.size());
    if (ini.ReadInt(section, key, value, base) != found) {
        std::abort(); // the two look-ups disagree on whether the value exists
    }
    if (found) {
        const std::u16string valueText(whole.data());
        if (IsAscii(valueText) && value != RuntimeConversion(valueText, base)) {
            std::abort();
        }
    }

    ini.Close();
    if (ini.NodeCount() != 0 || ini.ReadInt(section, key, value, base)) {
        std::abort();
    }
    return 0;
}
