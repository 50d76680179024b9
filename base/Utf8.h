// UTF-16 text to UTF-8, for file names handed to the C runtime and for text written to a terminal or a pipe.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// An unpaired surrogate becomes U+FFFD, so the result is always valid UTF-8.
std::string ToUtf8(std::u16string_view text);
// Appends the UTF-8 encoding of a code point that is known to be valid (at most U+10FFFF, not a surrogate).
void AppendUtf8(std::string& out, char32_t c);
// UTF-8 text to UTF-16; nothing when the bytes are not valid UTF-8 (overlong forms, surrogates and code points
// above U+10FFFF included).
std::optional<std::u16string> FromUtf8(std::string_view text);
