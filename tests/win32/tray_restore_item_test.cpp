// The tray menu's "Restore lighting at start", added when the menu opens: its place, its text in each language
// and its check mark.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/MultiLangSupp_win32.h"
#include "app/TrayMenu_win32.h"
#include "res/resource.h"

namespace {

TEST(TrayMenuRestoreItem, BetweenTheFirstSeparatorsInTheLanguageCheckedAsTheSetting) {
    struct Case {
        LANGID language;
        const wchar_t* text;
        bool checked;
    } cases[] = {{0x0409, L"Restore lighting at start", false},
                 {0x0804, L"启动时恢复灯光", true},
                 {0x0404, L"啟動時恢復燈光", false}};
    for (const auto& c : cases) {
        CMultiLangSupp language(c.language);
        TrayMenu tray = LoadTrayMenu();
        ASSERT_NE(tray.popup, nullptr);
        AddRestoreLightingItem(tray.popup, c.checked);
        ASSERT_EQ(GetMenuItemCount(tray.popup), 7);
        EXPECT_EQ(GetMenuItemID(tray.popup, 2), static_cast<UINT>(ID_TRAY_RESTORE_LIGHTING));
        wchar_t text[64] = {};
        GetMenuStringW(tray.popup, 2, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, c.text);
        EXPECT_EQ((GetMenuState(tray.popup, 2, MF_BYPOSITION) & MF_CHECKED) != 0, c.checked);
        for (int separator : {1, 3}) {
            EXPECT_NE(GetMenuState(tray.popup, static_cast<UINT>(separator), MF_BYPOSITION) & MF_SEPARATOR, 0u);
        }
        EXPECT_EQ(GetMenuItemID(tray.popup, 4), static_cast<UINT>(ID_TRAY_ABOUT));
    }
}

} // namespace
