// The tray menu's "Lights off" submenu and the tray tip while dark, in each of the program's languages.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/DarkMenu_win32.h"
#include "base/MultiLangSupp_win32.h"
#include "framework/Gdi.h"
#include "res/resource.h"

namespace {

TEST(TrayDark, TheRulesCheckedWithTheirMinutesAndTimesInTheProgramsLanguage) {
    DarkSettings rules;
    rules.display = true;
    rules.idleMinutes = 15;
    rules.nightWindow = {22 * 60 + 30, 6 * 60};
    const struct {
        LANGID language;
        std::vector<std::wstring> items;
        const wchar_t* tip;
    } cases[] = {
        {0x0409,
         {L"While the PC sleeps", L"While the display is off", L"While the PC is locked",
          L"After 15 minutes without input", L"At night (22:30-06:00)"},
         L"Zorva Prismel \u2014 dark: display off, night"},
        {0x0804,
         {L"电脑睡眠时", L"显示器关闭时", L"电脑锁定时", L"15 分钟无输入后", L"夜间（22:30-06:00）"},
         L"Zorva Prismel \u2014 已关灯：显示器关闭, 夜间"},
        {0x0404,
         {L"電腦睡眠時", L"顯示器關閉時", L"電腦鎖定時", L"15 分鐘無輸入後", L"夜間（22:30-06:00）"},
         L"Zorva Prismel \u2014 已關燈：顯示器關閉, 夜間"},
    };
    const UINT ids[] = {ID_TRAY_LIGHTS_OFF_ASLEEP, ID_TRAY_LIGHTS_OFF_DISPLAY, ID_TRAY_LIGHTS_OFF_LOCKED,
                        ID_TRAY_LIGHTS_OFF_IDLE, ID_TRAY_LIGHTS_OFF_NIGHT};
    const bool checked[] = {false, true, false, true, false};
    for (const auto& c : cases) {
        CMultiLangSupp language(c.language);
        fw::UniqueMenu menu(MakeDarkSubmenu(rules));
        ASSERT_TRUE(menu);
        ASSERT_EQ(GetMenuItemCount(menu.Get()), 5);
        for (int i = 0; i < 5; ++i) {
            wchar_t text[128] = {};
            GetMenuStringW(menu.Get(), static_cast<UINT>(i), text, 128, MF_BYPOSITION);
            EXPECT_EQ(text, c.items[static_cast<std::size_t>(i)]);
            EXPECT_EQ(GetMenuItemID(menu.Get(), i), ids[i]);
            EXPECT_EQ((GetMenuState(menu.Get(), static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0, checked[i]);
        }
        EXPECT_EQ(DarkTip(kDarkDisplayOff | kDarkNight), c.tip);
        EXPECT_EQ(DarkTip(0), L"Zorva Prismel");
    }
    CMultiLangSupp english(0x0409);
    fw::UniqueMenu defaults(MakeDarkSubmenu({}));
    wchar_t text[128] = {};
    GetMenuStringW(defaults.Get(), 3, text, 128, MF_BYPOSITION);
    EXPECT_STREQ(text, L"After 10 minutes without input") << "the default minutes while the rule is off";
}

} // namespace
