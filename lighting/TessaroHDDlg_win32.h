// CTessaroHDDlg: the program's one window. A captionless dialog shaped to its 990 x 675 skin, with the 27 bitmap
// buttons, three pages (lighting, module information, about), a tray icon and its menu. Closing or minimising it
// never ends the program; only the tray menu's Quit does.
#pragma once

#include <array>
#include <cstdint>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "lighting/ControlTable.h"
#include "lighting/LightingPage_win32.h"
#include "lighting/PageSwitch.h"
#include "memory/ModuleInfoPage_win32.h"
#include "res/resource.h"
#include "skin/MyComboBox_win32.h"
#include "skin/VxButton_win32.h"

// Which page shows: the module information page, the about page, or (neither) the lighting page.
extern bool g_moduleInfoPage;
extern bool g_aboutPage;
// The module information view's sub-page, 1-3.
extern std::int32_t ModuleInfoPage;

class CTessaroHDDlg : public CDialog {
public:
    explicit CTessaroHDDlg(CWnd* parent = nullptr);
    ~CTessaroHDDlg() override;

    // Gives the window the outline and face of a skin bitmap and repaints it.
    void SetSkin(int skinId);
    // Tray icon, the bitmap buttons, the colour wheel's pick mode, the template controls' places.
    void CreateControls();

    CVxButton& Button(int id) { return m_buttons[static_cast<std::size_t>(id - kFirstButtonId)]; }
    int SkinId() const { return m_skinId; }

    BEGIN_MSG_MAP(CTessaroHDDlg)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_QUERYDRAGICON, OnQueryDragIcon)
    MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
    MESSAGE_HANDLER(WM_TRAY_NOTIFY, OnTrayNotify)
    MESSAGE_RANGE_HANDLER(WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, OnCtlColor)
    COMMAND_ID_HANDLER(ID_TRAY_MAIN_WINDOW, OnShowMainWindow)
    COMMAND_ID_HANDLER(ID_TRAY_QUIT, OnQuit)
    COMMAND_ID_HANDLER(ID_TRAY_ABOUT, OnAbout)
    COMMAND_ID_HANDLER(IDOK, OnSwallowedCommand)
    COMMAND_ID_HANDLER(IDCANCEL, OnSwallowedCommand)
    CHAIN_MSG_MAP_MEMBER(m_lighting)
    CHAIN_MSG_MAP_MEMBER(m_moduleInfo)
    CHAIN_MSG_MAP(CDialog)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    bool PreTranslateMessage(MSG* message) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // The system menu's about item, the tray, the window's own buttons.
    LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // The skin, then the page's own drawing.
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnQueryDragIcon(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // Pressing anywhere on the window's face drags it.
    LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // Left button shows the window; right button opens the tray menu.
    LRESULT OnTrayNotify(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnShowMainWindow(WORD code, WORD id, HWND control, bool& handled);
    // Removes the tray icon and ends the program.
    LRESULT OnQuit(WORD code, WORD id, HWND control, bool& handled);
    LRESULT OnAbout(WORD code, WORD id, HWND control, bool& handled);
    // Enter and Escape never end this dialog.
    LRESULT OnSwallowedCommand(WORD code, WORD id, HWND control, bool& handled);

    // Shell buttons; true when the command is done with.
    bool OnShellButton(HWND control);
    void HideToTray();
    void SwitchPage(Page page);
    void RunAboutBox();
    void DeleteUserSettingsUnlessKept() const;
    void ShowControl(int id, bool show);

    CLightingPage m_lighting{*this};
    HICON m_icon = nullptr;
    std::array<CVxButton, kButtonCount> m_buttons;
    fw::Bitmap m_background;
    int m_skinId = IDB_PAGE_LIGHTING;
    fw::Brush m_controlBrush;
    CListCtrl m_moduleInfoTable;
    CComboBox m_shadowModuleList;
    CImageList m_moduleIcons;
    CMyComboBox m_moduleSelector;
    CModuleInfoPage m_moduleInfo{*this, m_moduleInfoTable, m_shadowModuleList, m_moduleSelector};
};
