#include "base/TrayIcon_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <iterator>

#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"
#include "base/SkinScale.h"
#include "res/resource.h"

namespace {

// The first, shortest layout of the notification record: the one every version of the shell takes (152 bytes in
// a 32-bit program, 160 in a 64-bit one).
constexpr DWORD kNotifyRecordSize = NOTIFYICONDATAW_V1_SIZE;
// The balloon needs the second layout, which every shell since the balloons came takes.
constexpr DWORD kBalloonRecordSize = NOTIFYICONDATAW_V2_SIZE;

NOTIFYICONDATAW Record(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = kNotifyRecordSize;
    data.hWnd = window;
    data.uID = IDI_TRAY;
    return data;
}

// LoadIconWithScaleDown from the common controls the program uses (the import library does not name it).
using LoadIconWithScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
LoadIconWithScaleDownFn LoadIconWithScaleDownFunction() {
    const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    return controls ? reinterpret_cast<LoadIconWithScaleDownFn>(
                          reinterpret_cast<void (*)()>(GetProcAddress(controls, "LoadIconWithScaleDown")))
                    : nullptr;
}

// The program's icon at the small-icon size of a DPI (16 pixels at 96 DPI, 20, 24, 32 and 40 at 125-250 %),
// which the icon resource holds drawn at each of those sizes. The shell keeps its own copy.
struct TrayIconImage {
    // The system's loaders of an icon for a size: the small-icon metric's (LoadIconMetric), or the size of another
    // screen's scale (LoadIconWithScaleDown); the plain loader where those fail.
    explicit TrayIconImage(int dpi) {
        const HINSTANCE program = GetModuleHandleW(nullptr);
        const int size = SkinScale(dpi).Px(kSmallIconSize);
        HRESULT loaded = E_FAIL;
        if (size == GetSystemMetrics(SM_CXSMICON)) {
            loaded = LoadIconMetric(program, MAKEINTRESOURCEW(IDR_MAINFRAME), LIM_SMALL, &icon);
        } else if (const auto scaleDown = LoadIconWithScaleDownFunction()) {
            loaded = scaleDown(program, MAKEINTRESOURCEW(IDR_MAINFRAME), size, size, &icon);
        }
        if (FAILED(loaded) || !icon) {
            icon = static_cast<HICON>(
                LoadImageW(program, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        }
    }
    ~TrayIconImage() {
        if (icon) {
            DestroyIcon(icon);
        }
    }
    TrayIconImage(const TrayIconImage&) = delete;
    TrayIconImage& operator=(const TrayIconImage&) = delete;
    static constexpr int kSmallIconSize = 16;
    HICON icon = nullptr;
};

} // namespace

void AddTrayIcon(HWND window, int dpi) {
    const TrayIconImage image(dpi);
    NOTIFYICONDATAW data = Record(window);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP; // version 4 shows the tip only when asked
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = image.icon;
    wcsncpy_s(data.szTip, 64, Msg(kMsgProductName), _TRUNCATE);
    Shell_NotifyIconW(NIM_ADD, &data);
    // Version 4: NIN_SELECT, NIN_KEYSELECT and WM_CONTEXTMENU, so that the icon works from the keyboard. The
    // version's field is in the second layout of the record.
    NOTIFYICONDATAW version = Record(window);
    version.cbSize = kBalloonRecordSize;
    version.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &version);
}

void ModifyTrayIcon(HWND window, int dpi) {
    const TrayIconImage image(dpi);
    NOTIFYICONDATAW data = Record(window);
    data.uFlags = NIF_ICON;
    data.hIcon = image.icon;
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void SetTrayTip(HWND window, const wchar_t* tip) {
    NOTIFYICONDATAW data = Record(window);
    data.uFlags = NIF_TIP | NIF_SHOWTIP; // as when the icon was added
    wcsncpy_s(data.szTip, std::size(data.szTip), tip, _TRUNCATE);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void RemoveTrayIcon(HWND window) {
    NOTIFYICONDATAW data = Record(window);
    Shell_NotifyIconW(NIM_DELETE, &data);
}

void ShowTrayBalloon(HWND window, const wchar_t* text) {
    NOTIFYICONDATAW data = Record(window);
    data.cbSize = kBalloonRecordSize;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_WARNING;
    wcsncpy_s(data.szInfo, std::size(data.szInfo), text, _TRUNCATE);
    wcsncpy_s(data.szInfoTitle, std::size(data.szInfoTitle), Msg(kMsgProductName), _TRUNCATE);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void InsertTrayCheckItem(HMENU popup, UINT id, const wchar_t* text, bool checked) {
    constexpr UINT kAfterFirstSeparator = 2;
    InsertMenuW(popup, kAfterFirstSeparator, MF_BYPOSITION | MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), id,
                text);
}
