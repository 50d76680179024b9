#include "app/TessaroHDDlg_win32.h"

#include <shellapi.h>

#include "app/AboutDlg_win32.h"
#include "app/StartMode.h"
#include "app/TessaroHDApp_win32.h"
#include "app/TrayMenu_win32.h"
#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"
#include "framework/Dpi.h"
#include "base/StartupTrace.h"
#include "framework/ProgramFolder.h"
#include "lighting/RunningCopy_win32.h"
#include "skin/SkinBitmap_win32.h"

namespace {

constexpr wchar_t kMakerSite[] = L"https://www.zorva-prismel.example/";
constexpr int kModuleIconCount = 6;
constexpr int kModuleIconSize = 16;

// The dialog class's background brush, made once per process.
HBRUSH DialogClassBrush() {
    static fw::Brush brush(CreateSolidBrush(SKIN_COLOUR_DIALOG_CLASS));
    return brush.Get();
}

} // namespace

CTessaroHDDlg::CTessaroHDDlg(CTessaroHDApp& app, CWnd* parent)
    : CDialog(IDD_TESSAROHD_DIALOG, parent), m_app(app),
      m_lighting(*this, app.Smbus(), app.Smbus().Bus(), app.SettingsStore(), app.ProfileStore()),
      m_sdkServer(*this, m_lighting, app.SettingsStore()),
      m_moduleInfo(*this, app.Smbus(), m_moduleInfoTable, m_shadowModuleList, m_moduleSelector, Font(kFontText),
                   ModuleLabelsIn(Language())) {
    m_icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    // The owner-drawn selector measures its items while the dialog is being created.
    BindControl(IDC_MODULE_SELECTOR, m_moduleSelector);
    BindControl(IDC_MODULE_INFO_TABLE, m_moduleInfoTable);
    BindControl(IDC_SHADOW_MODULE_LIST, m_shadowModuleList);
}

CTessaroHDDlg::~CTessaroHDDlg() = default;

bool CTessaroHDDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    StartupPhase("dialog created");
    MarkAsMainWindow();
    AddAboutToSystemMenu();
    m_startFinished = false;
    m_scale = SkinScale(fw::WindowDpi(m_hWnd));
    if (m_scale.Dpi() != fw::SystemDpi()) {
        m_app.ScaleFonts(m_scale.Dpi());
        ScaleControlFont();
    }
    m_moduleSelector.SetItemHeights(m_scale.Px(SKIN_MODULE_SELECTOR_ITEM_H)); // before the modules are listed
    SetSkin(IDB_PAGE_LIGHTING);
    m_trayAtStart = m_app.StartMode() == kStartSysTray;
    if (!m_trayAtStart) {
        m_artwork.Make(m_hWnd);
    }
    StartupPhase("window shaped");
    CentreInWorkArea();
    CreateControls();
    StartupPhase("controls created");
    ApplyStartMode();
    if (!BindSmbus()) {
        return false;
    }
    StartupPhase("library bound");
    ShowFirstModule();
    StartupPhase("first module decoded");
    m_lighting.ShowDefaultColour();
    m_lighting.Start(m_app.RestoreLightingFlag(), m_moduleInfo.ModuleCount());
    StartupPhase("lighting restored");
    SetClassLongPtrW(m_hWnd, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(DialogClassBrush()));
    m_moduleSelector.ShowWindow(SW_HIDE); // the lighting page shows first
    m_moduleSetUpPending = true;
    NameControls();
    m_controlBrush.Reset(CreateSolidBrush(SKIN_COLOUR_CONTROL_BACKGROUND));
    m_sdkServer.StartIfAllowed();
    m_app.EndStart();
    m_handOver.Open();
    if (m_trayAtStart) {
        FinishStart(); // no page paints first: what waits for it is done now, none of it artwork
    }
    StartupPhase("window initialised");
    return true;
}

void CTessaroHDDlg::SetIcons() {
    if (!m_iconsSet) {
        m_iconsSet = true;
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    }
}

// A second copy of the program finds this window by this property and brings it forward.
void CTessaroHDDlg::MarkAsMainWindow() {
    SetPropW(m_hWnd, kMainWindowProperty, reinterpret_cast<HANDLE>(1));
}

void CTessaroHDDlg::AddAboutToSystemMenu() {
    HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
    wchar_t about[128] = {};
    if (systemMenu && LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, about, 128) > 0) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
    }
}

// The template puts the window at the screen's corner; a user expects it in the middle of the work area.
void CTessaroHDDlg::CentreInWorkArea() {
    RECT work{}, window{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(m_hWnd, &window);
    SetWindowPos(m_hWnd, nullptr, work.left + ((work.right - work.left) - (window.right - window.left)) / 2,
                 work.top + ((work.bottom - work.top) - (window.bottom - window.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTessaroHDDlg::ApplyStartMode() {
    switch (m_app.StartMode()) {
    case kStartMinimize:
        ShowWindow(SW_MINIMIZE);
        break;
    case kStartSysTray:
        // The posted click hides the window once initialisation is over, leaving only the tray icon.
        ::PostMessageW(Button(IDC_BTN_CLOSE).m_hWnd, WM_LBUTTONDOWN, 0, 0);
        ::PostMessageW(Button(IDC_BTN_CLOSE).m_hWnd, WM_LBUTTONUP, 0, 0);
        break;
    default:
        break;
    }
}

bool CTessaroHDDlg::BindSmbus() {
    CSmbusLibrary& library = m_app.Smbus();
    library.ShareBusAsStored(m_app.SettingsStore());
    switch (library.Load(ProgramFolder())) {
    case CSmbusLibrary::BindResult::Ready:
        library.ReadFlags();
        return true;
    case CSmbusLibrary::BindResult::LoadFailed:
        OpenWithoutLibrary();
        MessageBoxW(m_hWnd, L"Load Dll failure!", Msg(kMsgProductName), MB_OK);
        PostQuitMessage(0);
        return false;
    case CSmbusLibrary::BindResult::InitFailed:
        OpenWithoutLibrary();
        MessageBoxW(m_hWnd, L"Can't load MsIo(SMB)!", L"Error", MB_OK | MB_ICONSTOP);
        return false;
    }
    return false;
}

// The start-up ends at the failure, and what it would have done last is done now: what only the start needed is
// let go, and prismelctl and SDK clients get an answer that says the library did not start instead of silence.
void CTessaroHDDlg::OpenWithoutLibrary() {
    m_app.EndStart();
    m_sdkServer.StartIfAllowed();
    m_handOver.Open();
}

// The module table, the modules on the bus, and the first of them decoded.
void CTessaroHDDlg::ShowFirstModule() {
    m_moduleInfo.DetectModules();
    StartupPhase("modules read");
    m_shadowModuleList.SetCurSel(0);
    m_moduleInfo.DecodeFirstModule();
}

void CTessaroHDDlg::SetUpModuleSelector() {
    const int iconSize = m_scale.Px(kModuleIconSize);
    if (m_moduleIcons.Create(iconSize, iconSize, ILC_COLOR32 | ILC_MASK, kModuleIconCount, kModuleIconCount)) {
        m_moduleIcons.AddCopies(m_icon, kModuleIconCount);
    }
    m_moduleSelector.SetImageList(m_moduleIcons);
    // The dialog's font resized the selection field before the selector was attached; give it its 30 pixels.
    m_moduleSelector.SetTextIndent(m_scale.Px(10));
    m_moduleSelector.SetItemHeights(m_scale.Px(SKIN_MODULE_SELECTOR_ITEM_H));
    m_moduleSelector.SetCurSel(0);
    m_moduleSelector.ShowWindow(SW_HIDE);
}

std::optional<LRESULT> CTessaroHDDlg::OnTimer(UINT_PTR id) {
    if (id != kFinishStartTimerId) {
        return std::nullopt;
    }
    ::KillTimer(m_hWnd, kFinishStartTimerId);
    FinishStart();
    return 0;
}

void CTessaroHDDlg::FinishStart() {
    if (m_startFinished) {
        return;
    }
    m_startFinished = true;
    SetIcons();
    m_keyboard.HideFocusCues();
    PlaceHiddenTemplateControls();
    if (m_moduleSetUpPending) {
        m_moduleSetUpPending = false;
        m_moduleInfo.FillTable();
        SetUpModuleSelector();
    }
}

void CTessaroHDDlg::SetSkin(int skinId) {
    m_artwork.SetSkin(m_hWnd, skinId, m_scale);
    Invalidate(false);
}

void CTessaroHDDlg::CreateControls() {
    AddTrayIcon(m_hWnd, m_scale.Dpi());
    StartupPhase("tray icon added");
    CreateBitmapButtons();
    if (m_artwork.Made()) {
        m_artwork.Make(m_hWnd); // the buttons' outlines
    }
    StartupPhase("buttons created");
    Button(IDC_BTN_COLOUR_WHEEL).SetColorPick(TRUE);
    m_lighting.PlaceColourBoxes(); // the module page's controls are placed once the first page has painted
}

SkinRect CTessaroHDDlg::ScaleButton(const ButtonRow& row) {
    const SIZE size = SkinBitmapSize(static_cast<UINT>(row.normalImage));
    const SkinRect place = m_scale.Rect({row.x, row.y, size.cx, size.cy});
    Button(row.id).SetScale(m_scale, {place.w, place.h});
    return place;
}

void CTessaroHDDlg::CreateBitmapButtons() {
    for (const ButtonRow& row : kButtonTable) {
        CVxButton& button = Button(row.id);
        button.SetBitmaps(row.normalImage, row.hotImage, row.spare);
        const SkinRect place = ScaleButton(row);
        // Made at the size its outline gives it when the artwork is made now, else at its image's size until then.
        const SIZE size = m_artwork.Made() ? button.WindowSize() : SIZE{place.w, place.h};
        RECT rect{place.x, place.y, place.x + size.cx, place.y + size.cy};
        // The sub-page buttons and the web link are made hidden: the lighting page shows first.
        const DWORD visible = row.visibleAtStart ? WS_VISIBLE : 0;
        // Its images are the artwork's, which shapes it: nothing for the button to do while its window is made.
        button.CreateThenAttach(row.caption != kNoCaption ? Msg(row.caption) : L"",
                                visible | WS_CHILD | WS_CLIPCHILDREN, rect, m_hWnd, static_cast<UINT>(row.id));
        button.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(Font(static_cast<FontSlot>(row.fontSlot))), FALSE);
    }
}

void CTessaroHDDlg::PlaceTemplateControls() {
    PlaceHiddenTemplateControls();
    m_lighting.PlaceColourBoxes();
}

void CTessaroHDDlg::PlaceHiddenTemplateControls() {
    struct Place {
        int id, x, y, w, h;
    };
    const Place places[] = {
        {IDC_SHADOW_MODULE_LIST, 0, 0, SKIN_SHADOW_LIST_SIZE, SKIN_SHADOW_LIST_SIZE},
        {IDC_MODULE_SELECTOR, SKIN_MODULE_SELECTOR_X, SKIN_MODULE_SELECTOR_Y, SKIN_MODULE_SELECTOR_W,
         SKIN_MODULE_SELECTOR_H},
    };
    for (const Place& place : places) {
        const SkinRect r = m_scale.Rect({place.x, place.y, place.w, place.h});
        ::MoveWindow(GetDlgItem(place.id), r.x, r.y, r.w, r.h, TRUE);
    }
}

void CTessaroHDDlg::ScaleControlFont() {
    HFONT current = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
    LOGFONTW font{};
    if (!current || GetObjectW(current, sizeof font, &font) != sizeof font) {
        return;
    }
    // The dialog keeps the font the system made from its template at the system's DPI.
    font.lfHeight = MulDiv(font.lfHeight, m_scale.Dpi(), fw::SystemDpi());
    m_controlFont.Reset(CreateFontIndirectW(&font));
    for (int id : {IDC_RED_BOX, IDC_GREEN_BOX, IDC_BLUE_BOX, IDC_SHADOW_MODULE_LIST, IDC_MODULE_SELECTOR}) {
        ::SendMessageW(GetDlgItem(id), WM_SETFONT, reinterpret_cast<WPARAM>(m_controlFont.Get()), TRUE);
    }
}

bool CTessaroHDDlg::PreTranslateMessage(MSG* message) {
    if (m_keyboard.PreTranslate(*message)) {
        return true;
    }
    if (message->message == WM_KEYDOWN && (message->wParam == VK_ESCAPE || message->wParam == VK_RETURN)) {
        return true;
    }
    return CDialog::PreTranslateMessage(message);
}

void CTessaroHDDlg::OnMinimise() {
    ShowWindow(SW_MINIMIZE);
}

void CTessaroHDDlg::OnWebLink() {
    ShellExecuteW(nullptr, L"Open", L"IExplore.exe", kMakerSite, nullptr, SW_SHOW);
}

// Another sub-page: the selector's description (the sub-page's text, for screen readers) changes with it.
void CTessaroHDDlg::OnSubPageBack() {
    m_subPage = SubPageBack(m_subPage);
    Invalidate(false);
    fw::RaiseDescriptionChange(m_moduleSelector.m_hWnd);
}

void CTessaroHDDlg::OnSubPageForward() {
    m_subPage = SubPageForward(m_subPage);
    Invalidate(false);
    fw::RaiseDescriptionChange(m_moduleSelector.m_hWnd);
}

void CTessaroHDDlg::DeleteUserSettingsUnlessKept() const {
    if (!m_app.RestoreSettingsFlag()) {
        DeleteFileW(L"UserSettings.txt");
    }
}

void CTessaroHDDlg::HideToTray() {
    DeleteUserSettingsUnlessKept();
    m_trayAtStart = false;
    ShowWindow(SW_HIDE);
}

void CTessaroHDDlg::OnShowWindow(bool shown, UINT status) {
    if (status != 0) {
        return; // an owner or a screen of windows hiding or showing: not this window's own
    }
    if (!shown) {
        m_artwork.Release(m_hWnd);
    } else if (!m_trayAtStart) {
        m_artwork.Make(m_hWnd);
    }
}

void CTessaroHDDlg::OnSize(UINT type) {
    if (type == SIZE_MINIMIZED) {
        m_artwork.Release(m_hWnd);
    } else if (type == SIZE_RESTORED && !m_artwork.Made() && !m_trayAtStart && IsWindowVisible()) {
        m_artwork.Make(m_hWnd); // back from minimised, before anything paints
    }
}

HFONT CTessaroHDDlg::Font(FontSlot slot) const {
    return m_app.GetFont(slot);
}

std::int32_t CTessaroHDDlg::Language() const {
    return m_app.Language();
}

// A run's button shown selected (its hot image as both images) is checked for screen readers too.
void CTessaroHDDlg::ShowSelectedMode(std::int32_t mode) {
    for (const ButtonImages& images : ModeButtonImages(mode)) {
        Button(images.id).SetBitmaps(images.normal, images.hot, 0);
        Button(images.id).SetChecked(images.normal == images.hot);
    }
}

void CTessaroHDDlg::ShowSelectedSpeed(std::int32_t speedIndex) {
    for (const ButtonImages& images : SpeedButtonImages(speedIndex)) {
        Button(images.id).SetBitmaps(images.normal, images.hot, 0);
        Button(images.id).SetChecked(images.normal == images.hot);
    }
}

CVxButton* CTessaroHDDlg::BitmapButton(int id) {
    return id >= kFirstButtonId && id < kFirstButtonId + kButtonCount ? &Button(id) : nullptr;
}

Page CTessaroHDDlg::ShownPage() const {
    return m_moduleInfoPage ? Page::ModuleInfo : m_aboutPage ? Page::About : Page::Lighting;
}

void CTessaroHDDlg::NameControls() {
    m_accessibility.NameControls(
        m_hWnd, [this](int id) -> CVxButton& { return Button(id); }, m_moduleSelector, Language());
    m_moduleSelector.SetAccessibleDescription([this] {
        FinishStart();
        return m_moduleInfo.Text(m_subPage);
    });
}

void CTessaroHDDlg::ShowControl(int id, bool show) {
    ::ShowWindow(GetDlgItem(id), show ? SW_SHOW : SW_HIDE);
}

void CTessaroHDDlg::SwitchPage(Page page) {
    if (page == Page::ModuleInfo) {
        FinishStart();
    }
    PagePlan plan = PlanPageSwitch(page, m_lighting.State().PowerOn);
    m_moduleInfoPage = plan.moduleInfoPage;
    m_aboutPage = plan.aboutPage;
    for (const TabImages& tab : plan.tabs) {
        Button(tab.id).SetBitmaps(tab.normal, tab.hot, 0);
        Button(tab.id).SetChecked(tab.normal == tab.hot);
    }
    for (int id : plan.hide) {
        ShowControl(id, false);
    }
    SetSkin(plan.skin);
    for (int id : plan.show) {
        ShowControl(id, true);
    }
}

void CTessaroHDDlg::RunAboutBox() {
    CAboutDlg about(this);
    about.DoModal();
}

std::optional<LRESULT> CTessaroHDDlg::OnSysCommand(UINT command) {
    if (command == IDM_ABOUTBOX) {
        RunAboutBox();
        return 0;
    }
    if (command == SC_CLOSE) {
        // Closing hides the window to the tray, as the close button does.
        HWND close = Button(IDC_BTN_CLOSE).m_hWnd;
        ::SendMessageW(close, WM_LBUTTONDOWN, 0, 0);
        ::SendMessageW(close, WM_LBUTTONUP, 0, 0);
        return 0;
    }
    return std::nullopt;
}

void CTessaroHDDlg::OnPaint() {
    fw::PaintDC paint(m_hWnd);
    HDC dc = paint.Get();
    if (IsIconic(m_hWnd)) {
        PaintIcon(dc);
        return;
    }
    if (!m_artwork.Made() && !m_trayAtStart) {
        m_artwork.Make(m_hWnd); // back from minimised
    }
    if (HBITMAP background = m_artwork.Background()) {
        BITMAP info{};
        GetObjectW(background, sizeof info, &info);
        fw::MemoryDC memory(dc);
        fw::SelectScope select(memory.Get(), background);
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
    }
    SetBkMode(dc, TRANSPARENT);
    if (m_moduleInfoPage) {
        m_moduleInfo.Paint(dc, m_subPage, m_scale);
    } else if (!m_aboutPage) {
        m_lighting.Paint(dc);
    }
    StartupPhase("window painted");
    if (!m_startFinished && !m_finishTimerSet) {
        m_finishTimerSet = ::SetTimer(m_hWnd, kFinishStartTimerId, kFinishStartDelayMs, nullptr) != 0;
    }
}

void CTessaroHDDlg::PaintIcon(HDC dc) const {
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_icon);
}

std::optional<LRESULT> CTessaroHDDlg::OnNcHitTest(POINT cursor) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(m_hWnd, &placement);
    if (IsDragPoint(static_cast<int>(placement.showCmd), cursor.y, placement.rcNormalPosition.top, m_scale)) {
        return HTCAPTION;
    }
    return std::nullopt;
}

void CTessaroHDDlg::OnTrayNotify(UINT event, POINT anchor) {
    switch (m_trayEvents.On(event)) {
    case TrayAction::ShowWindow:
        ShowMainWindow();
        break;
    case TrayAction::OpenMenu:
        if (event == WM_CONTEXTMENU) {
            OpenTrayMenu(anchor); // from the keyboard: at the icon
        } else {
            POINT cursor{};
            GetCursorPos(&cursor);
            OpenTrayMenu(cursor);
        }
        break;
    case TrayAction::None:
        break;
    }
}

void CTessaroHDDlg::OpenTrayMenu(POINT at) {
    TrayMenu tray = LoadTrayMenu();
    if (!tray.popup) {
        return;
    }
    m_profileMenu.AddTo(tray.popup);
    m_sdkServer.AddTrayItem(tray.popup);
    m_darkMenu.AddTo(tray.popup);
    AddRestoreLightingItem(tray.popup, m_app.RestoreLightingFlag());
    // The menu closes when the user clicks elsewhere only if its owner is the foreground window, and the message
    // after it lets the next opening work (the shell's documented rule for tray menus).
    SetForegroundWindow(m_hWnd);
    TrackPopupMenu(tray.popup, 0, at.x, at.y, 0, m_hWnd, nullptr);
    PostMessage(WM_NULL, 0, 0);
}

HBRUSH CTessaroHDDlg::OnCtlColor(UINT message, HDC dc, HWND control) {
    const auto defaultBrush = reinterpret_cast<HBRUSH>(
        DefWindowProc(message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    int id = control && control != m_hWnd ? ::GetDlgCtrlID(control) : 0;
    if (id == IDC_SHADOW_MODULE_LIST) {
        SetTextColor(dc, SKIN_COLOUR_CONTROL_TEXT);
        SetBkMode(dc, TRANSPARENT);
        SetBkColor(dc, SKIN_COLOUR_SHADOW_LIST);
        return defaultBrush;
    }
    if (HBRUSH box = m_lighting.ColourBoxColours(dc, id)) {
        return box;
    }
    return m_controlBrush ? m_controlBrush.Get() : defaultBrush;
}

void CTessaroHDDlg::ShowMainWindow() {
    ShowWindow(SW_SHOW);
    SetForegroundWindow(m_hWnd);
}

void CTessaroHDDlg::ShowDarkness(std::uint8_t reasons) {
    if (reasons != m_darkReasons) {
        m_darkReasons = reasons;
        SetTrayTip(m_hWnd, DarkTip(reasons).c_str());
    }
}

void CTessaroHDDlg::OnDpiChanged(UINT dpi, const RECT* suggested) {
    Rescale(static_cast<int>(dpi));
    if (suggested) {
        // The size is the skin's at the new scale, which the outline has set; the place is the system's.
        SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CTessaroHDDlg::Rescale(int dpi) {
    if (SkinScale(dpi) == m_scale) {
        return;
    }
    m_scale = SkinScale(dpi);
    m_app.ScaleFonts(m_scale.Dpi());
    SetSkin(SkinId());
    m_artwork.ButtonsRescaled();
    for (const ButtonRow& row : kButtonTable) {
        CVxButton& button = Button(row.id);
        const SkinRect place = ScaleButton(row);
        ::SetWindowPos(button.m_hWnd, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        button.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(Font(static_cast<FontSlot>(row.fontSlot))), FALSE);
    }
    ScaleControlFont();
    PlaceTemplateControls();
    m_moduleSelector.SetTextIndent(m_scale.Px(10));
    m_moduleSelector.SetItemHeights(m_scale.Px(SKIN_MODULE_SELECTOR_ITEM_H));
    m_moduleInfo.SetViewFont(Font(kFontText));
    ModifyTrayIcon(m_hWnd, m_scale.Dpi());
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CTessaroHDDlg::OnTaskbarCreated() {
    AddTrayIcon(m_hWnd, m_scale.Dpi());
    SetTrayTip(m_hWnd, DarkTip(m_darkReasons).c_str());
}

void CTessaroHDDlg::OnRestoreLightingItem() {
    m_app.SetRestoreLighting(!m_app.RestoreLightingFlag());
}

void CTessaroHDDlg::OnQuit() {
    RemoveTrayIcon(m_hWnd);
    DeleteUserSettingsUnlessKept();
    PostQuitMessage(0);
}
