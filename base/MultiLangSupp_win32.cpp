#include "base/MultiLangSupp_win32.h"

#include <clocale>

#include "base/Language.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "message texts are UTF-16");

const CMultiLangSupp* CMultiLangSupp::s_instance = nullptr;

CMultiLangSupp::CMultiLangSupp() : CMultiLangSupp(GetSystemDefaultLangID()) {
    std::setlocale(LC_CTYPE, ".ACP");
}

CMultiLangSupp::CMultiLangSupp(LANGID systemLanguage) : m_language(LanguageIndexFor(systemLanguage)) {
    s_instance = this;
}

CMultiLangSupp::~CMultiLangSupp() {
    if (s_instance == this) {
        s_instance = nullptr;
    }
}

const wchar_t* CMultiLangSupp::GetString(std::int32_t id) const {
    return reinterpret_cast<const wchar_t*>(MessageText(m_language, id));
}

const wchar_t* Msg(std::int32_t id) {
    const CMultiLangSupp* lang = CMultiLangSupp::Instance();
    const wchar_t* text = lang ? lang->GetString(id) : nullptr;
    return text ? text : L"";
}

std::wstring MsgWith(std::int32_t id, std::wstring_view text) {
    std::wstring message = Msg(id);
    if (const std::size_t at = message.find(L"%s"); at != std::wstring::npos) {
        message.replace(at, 2, text);
    }
    return message;
}
