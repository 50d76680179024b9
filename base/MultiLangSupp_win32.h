// CMultiLangSupp: the language object. One instance, built before the entry point after the application object;
// it picks the language from the system's default language once.
#pragma once

#include <string>
#include <string_view>

#include <windows.h>

#include <cstdint>

class CMultiLangSupp {
public:
    CMultiLangSupp();                               // from GetSystemDefaultLangID, then the C runtime's LC_CTYPE
    explicit CMultiLangSupp(LANGID systemLanguage); // as if the system's language were systemLanguage
    virtual ~CMultiLangSupp();
    CMultiLangSupp(const CMultiLangSupp&) = delete;
    CMultiLangSupp& operator=(const CMultiLangSupp&) = delete;

    // The text of message id in the current language; null outside 0-219. Owned by the table.
    const wchar_t* GetString(std::int32_t id) const;
    std::int32_t Language() const { return m_language; }

    // The program's language object (the most recently built one).
    static const CMultiLangSupp* Instance() { return s_instance; }

private:
    std::int32_t m_language;
    static const CMultiLangSupp* s_instance;
};

// Message id in the program's language; an empty text when no language object exists.
const wchar_t* Msg(std::int32_t id);
// Message id with its "%s" replaced by text (a name, which may hold '%' itself).
std::wstring MsgWith(std::int32_t id, std::wstring_view text);
