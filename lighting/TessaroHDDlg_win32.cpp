#include "lighting/TessaroHDDlg_win32.h"

#include <shellapi.h>

#include "app/Language.h"
#include "app/MultiLangSupp_win32.h"
#include "app/TessaroHDApp_win32.h"
#include "lighting/AboutDlg_win32.h"
#include "lighting/TrayMenu_win32.h"
#include "memory/SmbusLibrary_win32.h"
#include "skin/BmpRgn_win32.h"

bool g_moduleInfoPage = false;
bool g_aboutPage = false;
std::int32_t ModuleInfoPage = 1;

namespace {

constexpr wchar_t kBackgroundProperty[] = L"VxBmpProp";
constexpr wchar_t kMakerSite[] = L"https://www.zorva-prismel.example/";
constexpr UINT kAboutCommand = IDM_ABOUTBOX;
constexpr WORD kHelpCommand = 57670;

// The dialog class's background brush: red, made once per process.
HBRUSH RedClassBrush() {
    static fw::Brush brush(CreateSolidBrush(RGB(255, 0, 0)));
    return brush.Get();
}

} // namespace

CTessaroHDDlg::CTessaroHDDlg(CWnd* parent) : CDialog(IDD_TESSAROHD_DIALOG, parent) {
    m_icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    // The owner-drawn selector measures its items while the dialog is being created.
    BindControl(IDC_MODULE_SELECTOR, m_moduleSelector);
}

CTessaroHDDlg::~CTessaroHDDlg() = default;

void CTessaroHDDlg::DoDataExchange(CDataExchange* exchange) {
    CDialog::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_MODULE_INFO_TABLE, m_moduleInfoTable);
    DDX_Control(exchange, IDC_SHADOW_MODULE_LIST, m_shadowModuleList);
    DDX_Control(exchange, IDC_MODULE_SELECTOR, m_moduleSelector);
}

bool CTessaroHDDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // A second copy of the program finds this window by this property and brings it forward.
    SetPropW(m_hWnd, kMainWindowProperty, reinterpret_cast<HANDLE>(1));

    if (HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        wchar_t about[128] = {};
        if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, about, 128) > 0) {
            AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(systemMenu, MF_STRING, kAboutCommand, about);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));

    SetSkin(IDB_PAGE_LIGHTING);
    // The template puts the window at the screen's corner; a user expects it in the middle of the work area.
    RECT work{}, window{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(m_hWnd, &window);
    SetWindowPos(m_hWnd, nullptr, work.left + ((work.right - work.left) - (window.right - window.left)) / 2,
                 work.top + ((work.bottom - work.top) - (window.bottom - window.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateControls();

    switch (TheApp() ? TheApp()->StartMode() : 0) {
    case 3:
        ShowWindow(SW_MINIMIZE);
        break;
    case 4:
        // The posted click hides the window once initialisation is over, leaving only the tray icon.
        ::PostMessageW(Button(IDC_BTN_CLOSE).m_hWnd, WM_LBUTTONDOWN, 0, 0);
        ::PostMessageW(Button(IDC_BTN_CLOSE).m_hWnd, WM_LBUTTONUP, 0, 0);
        break;
    default:
        break;
    }

    if (!BindSmbusLibrary(m_hWnd)) {
        return false;
    }
    ReadSmbusFlags();

    m_moduleInfoTable.SetExtendedStyle(m_moduleInfoTable.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_moduleInfo.SetUpModuleInfoTable();
    m_moduleInfo.DetectModules();
    m_shadowModuleList.SetCurSel(0);
    m_moduleInfo.DecodeSelectedModule();

    ::SetDlgItemTextW(m_hWnd, IDC_RED_BOX, L"61");
    ::SetDlgItemTextW(m_hWnd, IDC_GREEN_BOX, L"69");
    ::SetDlgItemTextW(m_hWnd, IDC_BLUE_BOX, L"255");

    SetClassLongPtrW(m_hWnd, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(RedClassBrush()));

    if (m_moduleIcons.Create(16, 16, ILC_COLOR32 | ILC_MASK, 6, 6)) {
        for (int i = 0; i < 6; ++i) {
            m_moduleIcons.Add(m_icon);
        }
    }
    m_moduleSelector.SetImageList(m_moduleIcons);
    // The dialog's font resized the selection field before the selector was attached; give it its 30 pixels.
    m_moduleSelector.SetItemHeight(-1, SKIN_MODULE_SELECTOR_ITEM_H);
    m_moduleSelector.SetCurSel(0);
    m_moduleSelector.ShowWindow(SW_HIDE);

    m_controlBrush.Reset(CreateSolidBrush(RGB(0, 0, 0)));
    return true;
}

void CTessaroHDDlg::SetSkin(int skinId) {
    m_skinId = skinId;
    // The face is painted from the same bitmap the outline is cut from: loaded once.
    CBmpRgn region;
    region.SetInsets(1, 0);
    region.ShapeWindow(m_hWnd, static_cast<UINT>(skinId));
    m_background.Reset(region.ReleaseBitmap());
    SetPropW(m_hWnd, kBackgroundProperty, m_background.Get());
    Invalidate(false);
}

void CTessaroHDDlg::CreateControls() {
    AddTrayIcon(m_hWnd);
    for (const ButtonRow& row : kButtonTable) {
        CVxButton& button = Button(row.id);
        button.SetBitmaps(row.normalImage, row.hotImage, row.spare);
        // Creating the button cuts its outline from its normal image and gives it that image's size, so the image
        // is not loaded here a second time to learn the size.
        RECT rect{row.x, row.y, row.x, row.y};
        button.Create(row.caption >= 0 ? Msg(row.caption) : L"", WS_VISIBLE | WS_CHILD | WS_CLIPCHILDREN, rect, m_hWnd,
                      static_cast<UINT>(row.id));
        HFONT font = TheApp() ? TheApp()->GetFont(row.fontSlot) : nullptr;
        button.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    Button(IDC_BTN_COLOUR_WHEEL).SetColorPick(TRUE);

    struct Place {
        int id, x, y, w, h;
    };
    const Place places[] = {
        {IDC_SHADOW_MODULE_LIST, 0, 0, 20, 20},
        {IDC_MODULE_SELECTOR, SKIN_MODULE_SELECTOR_X, SKIN_MODULE_SELECTOR_Y, SKIN_MODULE_SELECTOR_W,
         SKIN_MODULE_SELECTOR_H},
        {IDC_RED_BOX, SKIN_RED_BOX_X, SKIN_COLOUR_BOX_Y, SKIN_COLOUR_BOX_W, SKIN_COLOUR_BOX_H},
        {IDC_GREEN_BOX, SKIN_GREEN_BOX_X, SKIN_COLOUR_BOX_Y, SKIN_COLOUR_BOX_W, SKIN_COLOUR_BOX_H},
        {IDC_BLUE_BOX, SKIN_BLUE_BOX_X, SKIN_COLOUR_BOX_Y, SKIN_COLOUR_BOX_W, SKIN_COLOUR_BOX_H},
    };
    for (const Place& place : places) {
        ::MoveWindow(GetDlgItem(place.id), place.x, place.y, place.w, place.h, TRUE);
    }
    for (int id : {IDC_BTN_SUBPAGE_FORWARD, IDC_BTN_SUBPAGE_BACK, IDC_BTN_WEB}) {
        Button(id).ShowWindow(SW_HIDE);
    }
}

bool CTessaroHDDlg::PreTranslateMessage(MSG* message) {
    if (message->message == WM_KEYDOWN && (message->wParam == VK_ESCAPE || message->wParam == VK_RETURN)) {
        return true;
    }
    return CDialog::PreTranslateMessage(message);
}

bool CTessaroHDDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == kHelpCommand && HIWORD(wParam) == 0) {
        return true;
    }
    if (HIWORD(wParam) == BN_CLICKED && lParam != 0 && OnShellButton(reinterpret_cast<HWND>(lParam))) {
        return true;
    }
    return CDialog::OnCommand(wParam, lParam);
}

bool CTessaroHDDlg::OnShellButton(HWND control) {
    auto is = [&](int id) { return control == Button(id).m_hWnd; };
    if (is(IDC_BTN_CLOSE)) {
        HideToTray();
        return false;
    }
    if (is(IDC_BTN_MINIMISE)) {
        ShowWindow(SW_MINIMIZE);
        return false;
    }
    if (is(IDC_BTN_WEB)) {
        ShellExecuteW(nullptr, L"Open", L"IExplore.exe", kMakerSite, nullptr, SW_SHOW);
        return true;
    }
    if (is(IDC_BTN_TAB_ABOUT)) {
        SwitchPage(Page::About);
        return true;
    }
    if (is(IDC_BTN_TAB_MODULE_INFO)) {
        SwitchPage(Page::ModuleInfo);
        return true;
    }
    if (is(IDC_BTN_TAB_LIGHTING)) {
        SwitchPage(Page::Lighting);
        return true;
    }
    if (is(IDC_BTN_SUBPAGE_BACK) || is(IDC_BTN_SUBPAGE_FORWARD)) {
        ModuleInfoPage = is(IDC_BTN_SUBPAGE_BACK) ? SubPageBack(ModuleInfoPage) : SubPageForward(ModuleInfoPage);
        Invalidate(false);
        return false;
    }
    return false;
}

void CTessaroHDDlg::DeleteUserSettingsUnlessKept() const {
    if (TheApp() && !TheApp()->RestoreSettingsFlag()) {
        DeleteFileW(L"UserSettings.txt");
    }
}

void CTessaroHDDlg::HideToTray() {
    DeleteUserSettingsUnlessKept();
    ShowWindow(SW_HIDE);
}

void CTessaroHDDlg::ShowControl(int id, bool show) {
    ::ShowWindow(GetDlgItem(id), show ? SW_SHOW : SW_HIDE);
}

void CTessaroHDDlg::SwitchPage(Page page) {
    int powerImage = 0;
    Button(IDC_BTN_POWER).GetBitmaps(&powerImage, nullptr, nullptr);
    PagePlan plan = PlanPageSwitch(page, powerImage == IDB_POWER_ON);
    g_moduleInfoPage = plan.moduleInfoPage;
    g_aboutPage = plan.aboutPage;
    for (const TabImages& tab : plan.tabs) {
        Button(tab.id).SetBitmaps(tab.normal, tab.hot, 0);
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

LRESULT CTessaroHDDlg::OnSysCommand(UINT, WPARAM wParam, LPARAM, bool& handled) {
    if ((wParam & 0xFFF0) == kAboutCommand) {
        RunAboutBox();
        return 0;
    }
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        // Closing hides the window to the tray, as the close button does.
        HWND close = Button(IDC_BTN_CLOSE).m_hWnd;
        ::SendMessageW(close, WM_LBUTTONDOWN, 0, 0);
        ::SendMessageW(close, WM_LBUTTONUP, 0, 0);
        return 0;
    }
    handled = false;
    return 0;
}

LRESULT CTessaroHDDlg::OnPaint(UINT, WPARAM, LPARAM, bool&) {
    fw::PaintDC paint(m_hWnd);
    HDC dc = paint.Get();
    if (IsIconic(m_hWnd)) {
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client{};
        GetClientRect(m_hWnd, &client);
        int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
        int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, m_icon);
        return 0;
    }
    if (m_background) {
        BITMAP info{};
        GetObjectW(m_background.Get(), sizeof info, &info);
        fw::MemoryDC memory(dc);
        fw::SelectScope select(memory.Get(), m_background.Get());
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
    }
    SetBkMode(dc, TRANSPARENT);
    if (g_moduleInfoPage) {
        m_moduleInfo.Paint(dc, ModuleInfoPage);
    } else if (!g_aboutPage) {
        m_lighting.Paint(dc);
    }
    return 0;
}

LRESULT CTessaroHDDlg::OnQueryDragIcon(UINT, WPARAM, LPARAM, bool&) {
    return reinterpret_cast<LRESULT>(m_icon);
}

LRESULT CTessaroHDDlg::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool& handled) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(m_hWnd, &placement);
    int cursorY = static_cast<short>(HIWORD(lParam));
    if (IsDragPoint(static_cast<int>(placement.showCmd), cursorY, placement.rcNormalPosition.top)) {
        return HTCAPTION;
    }
    handled = false;
    return 0;
}

LRESULT CTessaroHDDlg::OnTrayNotify(UINT, WPARAM, LPARAM lParam, bool&) {
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
        ShowWindow(SW_SHOW);
        SetForegroundWindow(m_hWnd);
        break;
    case WM_RBUTTONDOWN: {
        POINT cursor{};
        GetCursorPos(&cursor);
        TrayMenu tray = LoadTrayMenu();
        if (tray.popup) {
            TrackPopupMenu(tray.popup, 0, cursor.x, cursor.y, 0, m_hWnd, nullptr);
        }
        break;
    }
    default:
        break;
    }
    return 0;
}

LRESULT CTessaroHDDlg::OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT defaultBrush = DefWindowProc(message, wParam, lParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    int id = control && control != m_hWnd ? ::GetDlgCtrlID(control) : 0;
    if (id == IDC_SHADOW_MODULE_LIST) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkMode(dc, TRANSPARENT);
        SetBkColor(dc, RGB(44, 95, 109));
        return defaultBrush;
    }
    if (id == IDC_RED_BOX || id == IDC_GREEN_BOX || id == IDC_BLUE_BOX || !m_controlBrush) {
        return defaultBrush;
    }
    return reinterpret_cast<LRESULT>(m_controlBrush.Get());
}

LRESULT CTessaroHDDlg::OnShowMainWindow(WORD, WORD, HWND, bool&) {
    ShowWindow(SW_SHOW);
    SetForegroundWindow(m_hWnd);
    return 0;
}

LRESULT CTessaroHDDlg::OnQuit(WORD, WORD, HWND, bool&) {
    RemoveTrayIcon(m_hWnd);
    DeleteUserSettingsUnlessKept();
    PostQuitMessage(0);
    return 0;
}

LRESULT CTessaroHDDlg::OnAbout(WORD, WORD, HWND, bool&) {
    RunAboutBox();
    return 0;
}

LRESULT CTessaroHDDlg::OnSwallowedCommand(WORD, WORD, HWND, bool&) {
    return 0;
}
