// The tray menu's "Profiles" submenu: the profiles in their order (the applied one checked, a damaged one greyed
// and marked), save and delete, in each of the program's languages.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/ProfileMenu_win32.h"
#include "base/MultiLangSupp_win32.h"
#include "framework/Gdi.h"
#include "res/resource.h"

namespace {

std::wstring ItemText(HMENU menu, int position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

TEST(TrayProfiles, ListsSavesAndDeletesInTheProgramsLanguage) {
    const LightingChoice meteor{kModeMeteor, {0, 255, 0}, 0, true};
    const std::vector<Profile> profiles = {{u"Gaming", meteor}, {u"夜間", LightingChoice{}}, {u"old", std::nullopt}};
    const struct {
        LANGID language;
        const wchar_t* damaged;
        const wchar_t* save;
        const wchar_t* remove;
    } cases[] = {{0x0409, L"old (damaged)", L"Save current lighting as…", L"Delete"},
                 {0x0804, L"old（已损坏）", L"将当前灯光另存为…", L"删除"},
                 {0x0404, L"old（已損毀）", L"將目前燈光另存為…", L"刪除"}};
    for (const auto& c : cases) {
        CMultiLangSupp language(c.language);
        fw::UniqueMenu menu(MakeProfileSubmenu(profiles, meteor));
        ASSERT_TRUE(menu);
        HMENU list = menu.Get();
        ASSERT_EQ(GetMenuItemCount(list), 6);
        EXPECT_EQ(ItemText(list, 0), L"Gaming");
        EXPECT_EQ(ItemText(list, 1), L"夜間");
        EXPECT_EQ(ItemText(list, 2), c.damaged);
        EXPECT_NE(GetMenuState(list, 0, MF_BYPOSITION) & MF_CHECKED, 0u) << "the applied lighting";
        EXPECT_EQ(GetMenuState(list, 1, MF_BYPOSITION) & MF_CHECKED, 0u);
        EXPECT_NE(GetMenuState(list, 2, MF_BYPOSITION) & MF_GRAYED, 0u) << "a damaged profile is never loaded";
        EXPECT_EQ(GetMenuItemID(list, 1), static_cast<UINT>(ID_TRAY_PROFILE_LOAD_FIRST + 1));
        EXPECT_NE(GetMenuState(list, 3, MF_BYPOSITION) & MF_SEPARATOR, 0u);
        EXPECT_EQ(ItemText(list, 4), c.save);
        EXPECT_EQ(GetMenuItemID(list, 4), static_cast<UINT>(ID_TRAY_PROFILE_SAVE));
        EXPECT_EQ(ItemText(list, 5), c.remove);
        HMENU remove = GetSubMenu(list, 5);
        ASSERT_NE(remove, nullptr);
        ASSERT_EQ(GetMenuItemCount(remove), 3);
        EXPECT_EQ(GetMenuItemID(remove, 2), static_cast<UINT>(ID_TRAY_PROFILE_DELETE_FIRST + 2));
        EXPECT_EQ(ItemText(remove, 2), c.damaged) << "a damaged profile can be deleted";
    }
    CMultiLangSupp english(0x0409);
    fw::UniqueMenu empty(MakeProfileSubmenu({}, meteor));
    ASSERT_EQ(GetMenuItemCount(empty.Get()), 2) << "save and delete only";
    EXPECT_NE(GetMenuState(empty.Get(), 1, MF_BYPOSITION) & MF_GRAYED, 0u) << "nothing to delete";
}

} // namespace
