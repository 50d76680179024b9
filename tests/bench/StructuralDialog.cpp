// The second baseline of the start-up benchmark: a dialog program with Prismel.exe's structure and none of its
// work. It carries the program's own resources (manifest, main dialog template, skin bitmaps), imports the same
// DLLs, initialises COM before the entry point as the application object does, makes the same 33 child windows
// (the template's six controls and the 27 owner-drawn buttons at the control table's places, each the size of the
// face it draws, its normal image less the last column and row, which no button's outline keeps, and each leaving
// its erase to its paint), cuts its outline from the lighting page's background by the same key-colour rule, and
// paints once. What the program does beyond this (fonts, the tray icon, the buttons' images and outlines, the bus,
// the module table) is what the benchmark's ratio against this baseline measures.
#include <winsock2.h>

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cstdint>
#include <vector>

#include "framework/ComScope.h"
#include "framework/Gdi.h"
#include "skin/BmpRgnScan.h"
#include "tests/bench/StructuralLayout.h"

namespace {

// Prismel.exe imports these DLLs for work this baseline does not do (settings, shell, paths, sockets). One entry
// of each is linked, so that the loader maps the same DLLs before the entry point as it does for the program.
[[gnu::used]] const void* const kSameImports[] = {
    reinterpret_cast<const void*>(&RegCloseKey), reinterpret_cast<const void*>(&Shell_NotifyIconW),
    reinterpret_cast<const void*>(&PathFileExistsW), reinterpret_cast<const void*>(&WSAStartup)};

// COM for the whole process, from before the entry point until after it, as the application object holds it.
fw::ComScope g_com;

// The main window's outline keeps one pixel off every row's left end.
constexpr int kOutlineLeftInset = 1;
constexpr int kOutlineRightInset = 0;

// Gives the window the outline of the bitmap's pixels that are not the key colour, and the bitmap's size.
bool ShapeWindow(HWND window, HBITMAP bitmap) {
    BITMAP info{};
    if (GetObjectW(bitmap, sizeof info, &info) != sizeof info || info.bmWidth <= 0 || info.bmHeight <= 0) {
        return false;
    }
    const LONG size = info.bmWidthBytes * info.bmHeight;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(size));
    if (GetBitmapBits(bitmap, size, bits.data()) != size) {
        return false;
    }
    const BmpRgnPixels pixels{bits, info.bmWidth, info.bmHeight, info.bmWidthBytes, info.bmWidthBytes / info.bmWidth};
    std::vector<POINT> points;
    for (const BmpRgnVertex& vertex :
         ScanBmpRgnOutline(pixels, SKIN_COLOUR_KEY, kOutlineLeftInset, kOutlineRightInset)) {
        points.push_back({vertex.x, vertex.y});
    }
    fw::Region region(CreatePolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE));
    if (points.empty() || !region || !SetWindowRgn(window, region.Get(), FALSE)) {
        return false;
    }
    region.Release(); // the window's now
    return SetWindowPos(window, nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The template puts the window at the screen's corner; the program moves it to the middle of the work area.
void CentreInWorkArea(HWND window) {
    RECT work{}, rect{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, work.left + ((work.right - work.left) - (rect.right - rect.left)) / 2,
                 work.top + ((work.bottom - work.top) - (rect.bottom - rect.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The system button's own window procedure, which every button's replaced one passes on to.
WNDPROC g_buttonProcedure = nullptr;

// A button leaves its erase to its paint, which covers its whole face, as the program's buttons do: the system
// button would first fill it with its parent's button colour.
LRESULT CALLBACK ButtonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        return 1;
    }
    return CallWindowProcW(g_buttonProcedure, button, message, wParam, lParam);
}

void CreateButtons(HWND window) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (std::size_t i = 0; i < kButtonTable.size(); ++i) {
        const ButtonRow& row = kButtonTable[i];
        const DWORD visible = row.visibleAtStart ? WS_VISIBLE : 0;
        HWND button = CreateWindowExW(0, WC_BUTTONW, L"", WS_CHILD | WS_CLIPCHILDREN | BS_OWNERDRAW | visible, row.x,
                                      row.y, kButtonSizes[i].width - 1, kButtonSizes[i].height - 1, window,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
        const auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonProcedure)));
        if (!g_buttonProcedure) {
            g_buttonProcedure = previous;
        }
    }
}

// Copies the part of the background under `target` (client coordinates of the dialog) to `origin` in the device
// context.
void PaintBackground(HDC dc, HBITMAP background, const RECT& target, POINT origin) {
    fw::MemoryDC memory(dc);
    fw::SelectScope select(memory.Get(), background);
    BitBlt(dc, origin.x, origin.y, target.right - target.left, target.bottom - target.top, memory.Get(), target.left,
           target.top, SRCCOPY);
}

// What the dialog keeps while it runs: the background its outline is cut from and its face is painted with.
struct DialogState {
    fw::Bitmap background;
};

// Loads the background, shapes and places the window and makes the buttons, as the program's dialog does.
void Initialise(HWND window, DialogState& state) {
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    state.background.Reset(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_PAGE_LIGHTING)));
    ShapeWindow(window, state.background.Get());
    CentreInWorkArea(window);
    CreateButtons(window);
}

// The dialog's face, and each owner-drawn button's, is the background bitmap under it.
void PaintButton(HWND window, HBITMAP background, const DRAWITEMSTRUCT& item) {
    RECT place{};
    GetWindowRect(item.hwndItem, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    PaintBackground(item.hDC, background, place, POINT{0, 0});
}

INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* state = reinterpret_cast<const DialogState*>(GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        Initialise(window, *reinterpret_cast<DialogState*>(lParam));
        return TRUE;
    case WM_PAINT: {
        fw::PaintDC paint(window);
        PaintBackground(paint.Get(), state->background.Get(), RECT{0, 0, SKIN_PAGE_W, SKIN_PAGE_H}, POINT{0, 0});
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlType != ODT_BUTTON) {
            return FALSE;
        }
        PaintButton(window, state->background.Get(), item);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(window, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    DialogState state;
    return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_TESSAROHD_DIALOG), nullptr, Procedure,
                                            reinterpret_cast<LPARAM>(&state)));
}
