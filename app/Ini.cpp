#include "app/Ini.h"

#include "base/Utf8.h"

#include <filesystem>
#include <limits>
#include <new>
#include <string>
#include <system_error>

namespace {

bool IsSpace(char16_t unit) {
    return unit == u' ' || (unit >= 9 && unit <= 13);
}

// Value of a digit in bases up to 36; 36 for anything that is not a digit.
int DigitValue(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') {
        return unit - u'0';
    }
    const char16_t lower = FoldAsciiCase(unit);
    return lower >= u'a' && lower <= u'z' ? lower - u'a' + 10 : 36;
}

// The wide-string-to-long conversion on [p, end), saturating at the 32-bit limits.
std::int32_t ToInt32(const char16_t* p, const char16_t* end, int base) {
    while (p < end && IsSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (p < end && (*p == u'+' || *p == u'-')) {
        negative = *p == u'-';
        ++p;
    }
    if (base < 0 || base == 1 || base > 36) {
        return 0;
    }
    const bool hexPrefix = end - p >= 3 && p[0] == u'0' && FoldAsciiCase(p[1]) == u'x' && DigitValue(p[2]) < 16;
    if (base == 0) {
        base = hexPrefix ? 16 : (p < end && *p == u'0' ? 8 : 10);
    }
    if (base == 16 && hexPrefix) {
        p += 2;
    }
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    std::uint64_t magnitude = 0;
    bool overflow = false;
    for (; p < end && DigitValue(*p) < base; ++p) {
        magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(DigitValue(*p));
        if (magnitude > limit) {
            overflow = true;
            magnitude = limit;
        }
    }
    if (overflow) {
        return negative ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
    }
    const auto signedMagnitude = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -signedMagnitude : signedMagnitude);
}

} // namespace

void FileCloser::operator()(std::FILE* file) const noexcept {
    std::fclose(file);
}

std::optional<std::uint64_t> CStdioIniFiles::FindFile(std::u16string_view name) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(ToUtf8(name)), error);
    if (error) {
        return std::nullopt;
    }
    return size;
}

FilePtr CStdioIniFiles::OpenFile(std::u16string_view name) {
    return FilePtr(std::fopen(ToUtf8(name).c_str(), "rb"));
}

CIni::CIni(IIniFileSource& files, IIniDecoder* decoder) : m_files(files), m_decoder(decoder) {}

CIni::~CIni() {
    Close();
}

bool CIni::Load(std::u16string_view fileName, bool decode) {
    Close();
    try {
        const std::optional<std::uint64_t> size = m_files.FindFile(fileName);
        if (!size) {
            return false;
        }
        // The low 32 bits of the size, rounded down to whole code units: an odd last byte is not read.
        const std::uint32_t units = static_cast<std::uint32_t>(*size) / 2;
        m_file = m_files.OpenFile(fileName);
        if (m_file) {
            m_text.reset(new (std::nothrow) char16_t[units]);
        }
        if (m_text) {
            const std::size_t bytes = std::fread(m_text.get(), 1, std::size_t{units} * 2, m_file.get());
            m_length = static_cast<std::int32_t>(bytes / 2);
            if (m_length == static_cast<std::int32_t>(units)) {
                if (decode && m_decoder != nullptr) {
                    m_decoder->Decode(m_text.get(), m_length);
                }
                Parse();
                return true;
            }
        }
    } catch (const std::exception&) {
        // Out of memory while reading or building the tree: fail like an unreadable file.
    }
    Close();
    return false;
}

bool CIni::LoadText(std::u16string_view text) {
    Close();
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return false;
    }
    try {
        m_text.reset(new char16_t[text.size()]);
        text.copy(m_text.get(), text.size());
        m_length = static_cast<std::int32_t>(text.size());
        Parse();
        return true;
    } catch (const std::exception&) {
        Close();
        return false;
    }
}

bool CIni::Close() {
    m_tree.Clear();
    m_file.reset();
    m_text.reset();
    m_length = 0;
    return true;
}

// One pass over the text. Sections hang off the root in file order, keys off their section, and a value off
// its key. Every node is linked as soon as it is made, so whatever was built is released even if a later
// allocation fails.
void CIni::Parse() {
    enum class State { BetweenLines, InSectionName, InKey, InValue };
    State state = State::BetweenLines;
    Node* root = m_tree.NewRoot();
    Node* lastSection = nullptr;
    Node* lastKey = nullptr; // of lastSection; the key a value belongs to
    std::int32_t nameStart = 0;
    std::int32_t keyStart = 0;
    std::int32_t valueStart = 0;

    for (std::int32_t i = 0; i < m_length; ++i) {
        switch (m_text[i]) {
        case u'[':
            // Inside a section name a second "[" starts the name again; inside a key or value it is text.
            if (state == State::BetweenLines || state == State::InSectionName) {
                nameStart = i + 1;
                state = State::InSectionName;
            }
            break;
        case u']':
            if (state == State::InSectionName) {
                Node* section = m_tree.NewNode(NewSpan(nameStart, i - 1, true));
                (lastSection != nullptr ? lastSection->next : root->child) = section;
                lastSection = section;
                lastKey = nullptr;
                state = State::BetweenLines; // what follows on the line is read like a new line
            }
            break;
        case u'=':
            // Keys before the first section are dropped; further "=" belong to the value.
            if (state == State::InKey && lastSection != nullptr) {
                Node* key = m_tree.NewNode(NewSpan(keyStart, i - 1, true));
                (lastKey != nullptr ? lastKey->next : lastSection->child) = key;
                lastKey = key;
                valueStart = i + 1;
                state = State::InValue;
            }
            break;
        case u'\n':
        case u'\r':
            // A value ends at the first line-end unit and is kept untrimmed; unfinished names are dropped.
            if (state == State::InValue && lastKey != nullptr) {
                lastKey->child = m_tree.NewNode(NewSpan(valueStart, i - 1, false));
            }
            state = State::BetweenLines;
            break;
        case u'\uFEFF':
            // A byte-order mark is skipped; it never starts a key.
            break;
        default:
            if (state == State::BetweenLines) {
                keyStart = i;
                state = State::InKey;
            }
            break;
        }
    }
}

std::unique_ptr<CIni::DataStruct> CIni::NewSpan(std::int32_t start, std::int32_t end, bool isName) const {
    auto span = std::make_unique<DataStruct>(DataStruct{start, end});
    if (isName && m_trim) {
        TrimName(*span);
    }
    return span;
}

// Drops blanks (U+0020 only) on both sides of a name; a name of nothing but blanks is left as it is.
void CIni::TrimName(DataStruct& span) const {
    std::int32_t start = span.start;
    while (start <= span.end && m_text[start] == u' ') {
        ++start;
    }
    if (start > span.end) {
        return;
    }
    std::int32_t end = span.end;
    while (m_text[end] == u' ') {
        --end;
    }
    span.start = start;
    span.end = end;
}

// A name matches only when it equals the query in full, ignoring case unless the reader is case-sensitive.
bool CIni::CompareName(const DataStruct& span, std::u16string_view query) const {
    const std::u16string_view name(m_text.get() + span.start, static_cast<std::size_t>(span.end - span.start + 1));
    return m_caseSensitive ? name == query : EqualIgnoringCase(name, query);
}

const CIni::Node* CIni::FindChild(const Node* node, std::u16string_view query) const {
    if (node == nullptr) {
        return nullptr;
    }
    for (const Node* child = node->child; child != nullptr; child = child->next) {
        if (CompareName(*child->data, query)) {
            return child;
        }
    }
    return nullptr;
}

const CIni::DataStruct* CIni::FindValue(std::u16string_view section, std::u16string_view key) const {
    const Node* keyNode = FindChild(FindChild(m_tree.Root(), section), key);
    return keyNode != nullptr && keyNode->child != nullptr ? keyNode->child->data.get() : nullptr;
}

bool CIni::ReadString(std::u16string_view section, std::u16string_view key, char16_t* buffer,
                      std::size_t bufferSize) const {
    const DataStruct* value = FindValue(section, key);
    if (value == nullptr) {
        return false;
    }
    const auto length = static_cast<std::size_t>(value->end - value->start + 1);
    if (length >= bufferSize) {
        if (bufferSize > 0) {
            buffer[0] = u'\0';
        }
        return false;
    }
    std::u16string_view(m_text.get() + value->start, length).copy(buffer, length);
    buffer[length] = u'\0';
    return true;
}

bool CIni::ReadInt(std::u16string_view section, std::u16string_view key, std::int32_t& value, int base) const {
    const DataStruct* span = FindValue(section, key);
    if (span == nullptr) {
        return false;
    }
    value = ToInt32(m_text.get() + span->start, m_text.get() + span->end + 1, base);
    return true;
}
