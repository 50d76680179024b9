#include "app/DarkMenu_win32.h"

#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"
#include "framework/Gdi.h"

namespace {

constexpr UINT kAfterFirstSeparator = 2;

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

} // namespace

HMENU MakeDarkSubmenu(const DarkSettings& rules) {
    fw::UniqueMenu menu(CreatePopupMenu());
    if (!menu) {
        return nullptr;
    }
    const std::uint32_t minutes = rules.idleMinutes ? rules.idleMinutes : kDefaultIdleMinutes;
    const struct {
        UINT id;
        std::wstring text;
        bool checked;
    } items[] = {
        {ID_TRAY_LIGHTS_OFF_ASLEEP, Msg(kMsgDarkAsleep), rules.asleep},
        {ID_TRAY_LIGHTS_OFF_DISPLAY, Msg(kMsgDarkDisplay), rules.display},
        {ID_TRAY_LIGHTS_OFF_LOCKED, Msg(kMsgDarkLocked), rules.locked},
        {ID_TRAY_LIGHTS_OFF_IDLE, MsgWith(kMsgDarkIdle, std::to_wstring(minutes)), rules.idleMinutes != 0},
        {ID_TRAY_LIGHTS_OFF_NIGHT, MsgWith(kMsgDarkNight, Wide(NightText(rules.nightWindow))), rules.night},
    };
    for (const auto& item : items) {
        AppendMenuW(menu.Get(), MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED), item.id, item.text.c_str());
    }
    return menu.Release();
}

std::wstring DarkTip(std::uint8_t reasons) {
    std::wstring tip = Msg(kMsgProductName);
    if (reasons == 0) {
        return tip;
    }
    // The reasons' words in the program's language, from the '|'-parted list.
    const std::wstring words = Msg(kMsgDarkReasons);
    std::wstring named;
    std::size_t start = 0;
    for (std::size_t bit = 0; bit < kDarkReasonNames.size() && start <= words.size(); ++bit) {
        const std::size_t end = std::min(words.find(L'|', start), words.size());
        if (reasons & (1u << bit)) {
            named += (named.empty() ? L"" : L", ") + words.substr(start, end - start);
        }
        start = end + 1;
    }
    return tip + L" \u2014 " + MsgWith(kMsgDarkTip, named);
}

void CDarkMenu::AddTo(HMENU popup) const {
    // Once inserted, the submenu belongs to the pop-up and goes with the tray menu.
    HMENU submenu = MakeDarkSubmenu(m_lighting.DarkRules());
    if (submenu && !InsertMenuW(popup, kAfterFirstSeparator, MF_BYPOSITION | MF_POPUP,
                                reinterpret_cast<UINT_PTR>(submenu), Msg(kMsgLightsOff))) {
        DestroyMenu(submenu);
    }
}
