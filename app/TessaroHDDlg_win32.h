// CTessaroHDDlg: the program's one window. A captionless dialog shaped to its 990 x 675 skin, with the 27 bitmap
// buttons, three pages (lighting, module information, about), a tray icon and its menu. Closing or minimising it
// never ends the program; only the tray menu's Quit does.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "app/ControlAccessibility_win32.h"
#include "app/ControlTable.h"
#include "app/KeyboardNavigator_win32.h"
#include "base/SkinScale.h"
#include "lighting/HandOverWindow_win32.h"
#include "lighting/LightingPage_win32.h"
#include "app/DarkMenu_win32.h"
#include "app/PageSwitch.h"
#include "app/ProfileMenu_win32.h"
#include "app/TrayEvents.h"
#include "app/WindowArtwork_win32.h"
#include "base/TrayIcon_win32.h"
#include "sdk/SdkServer_win32.h"
#include "memory/ModuleInfoPage_win32.h"
#include "res/resource.h"
#include "skin/MyComboBox_win32.h"
#include "skin/VxButton_win32.h"

class CTessaroHDApp;

class CTessaroHDDlg : public CDialog, public ILightingWindow, private IKeyboardWindow {
public:
    // The main window of app, which has made the fonts and read the settings and the start mode.
    explicit CTessaroHDDlg(CTessaroHDApp& app, CWnd* parent = nullptr);
    ~CTessaroHDDlg() override;

    // Gives the window the outline and face of a skin bitmap and repaints it.
    void SetSkin(int skinId);
    // Tray icon, the bitmap buttons, the colour wheel's pick mode, the template controls' places.
    void CreateControls();

    CVxButton& Button(int id) override { return m_buttons[static_cast<std::size_t>(id - kFirstButtonId)]; }
    int SkinId() const { return m_artwork.SkinId(); }

    BEGIN_MSG_MAP(CTessaroHDDlg)
    MESSAGE_CRACKED_OFFER(WM_SYSCOMMAND, OnSysCommand)
    PAINT_CALL(OnPaint)
    MESSAGE_CRACKED(WM_QUERYDRAGICON, OnQueryDragIcon)
    MESSAGE_CRACKED_OFFER(WM_NCHITTEST, OnNcHitTest)
    MESSAGE_CRACKED(WM_TRAY_NOTIFY, OnTrayNotify)
    SIGNAL_CALL(TaskbarCreatedMessage(), OnTaskbarCreated)
    MESSAGE_CRACKED(WM_DPICHANGED, OnDpiChanged)
    MESSAGE_CRACKED_OBSERVER(WM_SHOWWINDOW, OnShowWindow)
    MESSAGE_CRACKED_OBSERVER(WM_SIZE, OnSize)
    MESSAGE_CRACKED_OFFER(WM_TIMER, OnTimer)
    CTLCOLOR_CRACKED(OnCtlColor)
    BUTTON_CLICK_CALL(IDC_BTN_CLOSE, HideToTray)
    BUTTON_CLICK_CALL(IDC_BTN_MINIMISE, OnMinimise)
    BUTTON_CLICK_CALL(IDC_BTN_WEB, OnWebLink)
    BUTTON_CLICK_CALL(IDC_BTN_TAB_LIGHTING, OnLightingTab)
    BUTTON_CLICK_CALL(IDC_BTN_TAB_MODULE_INFO, OnModuleInfoTab)
    BUTTON_CLICK_CALL(IDC_BTN_TAB_ABOUT, OnAboutTab)
    BUTTON_CLICK_CALL(IDC_BTN_SUBPAGE_BACK, OnSubPageBack)
    BUTTON_CLICK_CALL(IDC_BTN_SUBPAGE_FORWARD, OnSubPageForward)
    COMMAND_ID_CALL(ID_TRAY_MAIN_WINDOW, ShowMainWindow)
    COMMAND_ID_CALL(ID_TRAY_QUIT, OnQuit)
    COMMAND_ID_CALL(ID_TRAY_ABOUT, RunAboutBox)
    COMMAND_ID_CALL(ID_TRAY_RESTORE_LIGHTING, OnRestoreLightingItem)
    COMMAND_ID_CALL(IDOK, OnSwallowedCommand)
    COMMAND_ID_CALL(IDCANCEL, OnSwallowedCommand)
    COMMAND_CODE_CALL(ID_HELP_COMMAND, 0, OnSwallowedCommand)
    CHAIN_MSG_MAP_MEMBER(m_lighting)
    CHAIN_MSG_MAP_MEMBER(m_handOver)
    CHAIN_MSG_MAP_MEMBER(m_profileMenu)
    CHAIN_MSG_MAP_MEMBER(m_darkMenu)
    CHAIN_MSG_MAP_MEMBER(m_sdkServer)
    CHAIN_MSG_MAP_MEMBER(m_moduleInfo)
    CHAIN_MSG_MAP(CDialog)
    END_MSG_MAP()

protected:
    // The start-up steps of the window, in their order.
    bool OnInitDialog() override;
    bool PreTranslateMessage(MSG* message) override;

private:
    // Start-up steps.
    void MarkAsMainWindow();
    // The window's icons for the taskbar and the switcher, once.
    void SetIcons();
    void AddAboutToSystemMenu();
    void CentreInWorkArea();
    void CreateBitmapButtons();
    // Gives a button the window's scale and the size its images fill there; its place at that scale.
    SkinRect ScaleButton(const ButtonRow& row);
    void PlaceTemplateControls();
    void PlaceHiddenTemplateControls();

    void ApplyStartMode();
    // Binds the SMBus library and reads its flags; on failure says so and returns false.
    bool BindSmbus();
    // Start-up without the library: prismelctl and SDK clients are answered, and told that it did not start.
    void OpenWithoutLibrary();
    void ShowFirstModule();
    void SetUpModuleSelector();
    // What the start leaves until the first page has painted, since nothing on that page shows it: the window's
    // icons (for the taskbar), the focus cues' state, the module page's controls placed, its table filled and its
    // selector set up. Done a moment after that paint (a timer comes after every paint, and one that is not due at
    // once lets the thread wait first, which is when the system puts what was painted on the screen), or when the
    // module page first opens.
    static constexpr UINT_PTR kFinishStartTimerId = 28;
    static constexpr UINT kFinishStartDelayMs = 50;
    void FinishStart();
    std::optional<LRESULT> OnTimer(UINT_PTR id);

    // The system menu's about item, and its close command, which hides the window as the close button does.
    std::optional<LRESULT> OnSysCommand(UINT command);
    // The skin, then the page's own drawing.
    void OnPaint();
    void PaintIcon(HDC dc) const;
    HICON OnQueryDragIcon() const { return m_icon; }
    // Pressing anywhere on the window's face drags it.
    std::optional<LRESULT> OnNcHitTest(POINT cursor);
    // Left button (or Enter on the icon) shows the window; right button (or Shift+F10) opens the tray menu.
    void OnTrayNotify(UINT event, POINT anchor);
    void OpenTrayMenu(POINT at);
    // The template controls' colours: the colour boxes the lighting page's, the others the skin's.
    HBRUSH OnCtlColor(UINT message, HDC dc, HWND control);
    // The window's own buttons: close hides it to the tray, minimise, the maker's site, the tabs, the sub-pages.
    void HideToTray();
    void OnMinimise();
    void OnWebLink();
    void OnLightingTab() { SwitchPage(Page::Lighting); }
    void OnModuleInfoTab() { SwitchPage(Page::ModuleInfo); }
    void OnAboutTab() { SwitchPage(Page::About); }
    void OnSubPageBack();
    void OnSubPageForward();
    void ShowMainWindow();
    // Removes the tray icon and ends the program.
    void OnQuit();
    // The tray's "Restore lighting at start" turns the setting over and stores it at once.
    void OnRestoreLightingItem();
    // Explorer started again (after a crash or an update): the tray icon is put back.
    void OnTaskbarCreated();
    // The window moved to a screen of another DPI, or that screen's scale changed: the artwork, fonts, places and
    // outline follow, and the window goes where the system suggests.
    void OnDpiChanged(UINT dpi, const RECT* suggested);
    // The artwork is made as the window is to show and let go as it hides or is minimised (made again at the next
    // paint); a start in the tray shows the window only for the moment before its hiding click, and makes none.
    void OnShowWindow(bool shown, UINT status);
    void OnSize(UINT type);
    void Rescale(int dpi);
    // The template controls' font at the window's scale (the dialog's own font is made at the system's DPI).
    void ScaleControlFont();
    // Enter and Escape never end this dialog, and there is no help.
    void OnSwallowedCommand() {}

    // ILightingWindow: what the lighting page is given of this window.
    CWnd& Window() override { return *this; }
    HFONT Font(FontSlot slot) const override;
    const SkinScale& Scale() const override { return m_scale; }
    void ShowSelectedMode(std::int32_t mode) override;
    void ShowSelectedSpeed(std::int32_t speedIndex) override;
    bool ModuleInfoShowing() const override { return m_moduleInfoPage; }
    void ShowDarkness(std::uint8_t reasons) override;

    // IKeyboardWindow: what the keys are given of this window.
    HWND KeyWindow() const override { return m_hWnd; }
    CVxButton* BitmapButton(int id) override;
    Page ShownPage() const override;
    void ShowPage(Page page) override { SwitchPage(page); }
    const SkinScale& KeyScale() const override { return m_scale; }
    // Names and roles for screen readers; the module page's text as the selector's description.
    void NameControls();

    // The program's language, which the module page's words are in.
    std::int32_t Language() const;
    void SwitchPage(Page page);
    void RunAboutBox();
    void DeleteUserSettingsUnlessKept() const;
    void ShowControl(int id, bool show);

    CTessaroHDApp& m_app;
    // Which page shows: the module information page, the about page, or (neither) the lighting page; the module
    // information view's sub-page, 1-3.
    bool m_moduleInfoPage = false;
    bool m_aboutPage = false;
    std::int32_t m_subPage = 1;
    CLightingPage m_lighting;
    CHandOverWindow m_handOver{*this, m_lighting, m_lighting.Profiles()};
    CProfileMenu m_profileMenu{*this, m_lighting};
    CDarkMenu m_darkMenu{m_lighting};
    std::uint8_t m_darkReasons = 0; // shown in the tray tip
    CSdkServer m_sdkServer;
    HICON m_icon = nullptr;
    std::array<CVxButton, kButtonCount> m_buttons;
    CWindowArtwork m_artwork{m_buttons};
    bool m_trayAtStart = false;        // started in the tray: hidden by the start's own click, which is still to come
    bool m_startFinished = true;       // FinishStart has nothing (more) to do
    bool m_moduleSetUpPending = false; // the module table and selector wait for FinishStart
    bool m_iconsSet = false;
    bool m_finishTimerSet = false;
    SkinScale m_scale;
    fw::Font m_controlFont; // the template's font at the window's scale, once it differs from the system's
    fw::Brush m_controlBrush;
    CListCtrl m_moduleInfoTable;
    CComboBox m_shadowModuleList;
    CImageList m_moduleIcons;
    CMyComboBox m_moduleSelector;
    CModuleInfoPage m_moduleInfo;
    CKeyboardNavigator m_keyboard{*this};
    TrayEvents m_trayEvents;
    CControlAccessibility m_accessibility;
};
