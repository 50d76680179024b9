// Pieces of the main window that are checked in-process: the tray menu in each language, the resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/MultiLangSupp_win32.h"
#include "app/TrayMenu_win32.h"
#include "res/resource.h"

namespace {

std::wstring ItemText(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

UINT ItemId(HMENU menu, int position) {
    return GetMenuItemID(menu, position);
}

TEST(TrayMenu, TextsFollowTheLanguageAndIdsStay) {
    struct Case {
        LANGID language;
        const wchar_t *main, *about, *quit;
    } cases[] = {{0x0409, L"Main window", L"About", L"Quit"},
                 {0x0804, L"主窗口", L"关于", L"退出"},
                 {0x0404, L"主窗口", L"關於", L"退出"}};
    for (const auto& c : cases) {
        CMultiLangSupp language(c.language);
        TrayMenu tray = LoadTrayMenu();
        ASSERT_NE(tray.popup, nullptr);
        ASSERT_EQ(GetMenuItemCount(tray.popup), 6);
        EXPECT_EQ(ItemText(tray.popup, 0), c.main);
        EXPECT_EQ(ItemText(tray.popup, 3), c.about);
        EXPECT_EQ(ItemText(tray.popup, 5), c.quit);
        EXPECT_EQ(ItemId(tray.popup, 0), static_cast<UINT>(ID_TRAY_MAIN_WINDOW));
        EXPECT_EQ(ItemId(tray.popup, 3), static_cast<UINT>(ID_TRAY_ABOUT));
        EXPECT_EQ(ItemId(tray.popup, 5), static_cast<UINT>(ID_TRAY_QUIT));
        for (int separator : {1, 2, 4}) {
            EXPECT_EQ(GetMenuState(tray.popup, static_cast<UINT>(separator), MF_BYPOSITION) & MF_SEPARATOR,
                      static_cast<UINT>(MF_SEPARATOR));
        }
    }
}

TEST(ShellResources, TemplatesCarryTheirStyles) {
    HINSTANCE self = GetModuleHandleW(nullptr);
    HRSRC main = FindResourceW(self, MAKEINTRESOURCEW(IDD_TESSAROHD_DIALOG), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    ASSERT_NE(main, nullptr);
    // DLGTEMPLATEEX: dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy.
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(self, main)));
    ASSERT_NE(words, nullptr);
    ASSERT_EQ(words[1], 0xFFFF);
    DWORD exStyle = *reinterpret_cast<const DWORD*>(words + 4);
    DWORD style = *reinterpret_cast<const DWORD*>(words + 6);
    EXPECT_EQ(style, 0x96080040u);
    EXPECT_EQ(exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(words[8], 6) << "six template controls";
    EXPECT_EQ(words[11], 390);
    EXPECT_EQ(words[12], 153);

    wchar_t about[64] = {};
    EXPECT_GT(LoadStringW(self, IDS_ABOUTBOX, about, 64), 0);
    EXPECT_STREQ(about, L"关于 Tessaro HD(&A)...");
    EXPECT_NE(LoadIconW(self, MAKEINTRESOURCEW(IDR_MAINFRAME)), nullptr);
}

} // namespace
