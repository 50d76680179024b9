// LedView.exe: shows, without hardware, what the SMBus stand-in's journal says the modules' LEDs were told. It
// follows the journal file while the program under test writes it, draws each fitted module as a row of five
// LEDs (every row alike: lighting commands name no module) and names the commands it cannot draw. It never loads
// the stand-in and never talks to the program.
//
// Command line: LedView.exe [configuration or journal]. Without one it reads the stand-in's configuration where
// the stand-in itself does (PRISMEL_SMBUS_CONFIG, or smbus-sim.conf beside this program).
#include <windows.h>
#include <shellapi.h>

#include <array>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/SkinScale.h"
#include "framework/Dpi.h"
#include "framework/Gdi.h"
#include "smbus-sim/SimFiles_win32.h"
#include "smbus-sim/core/LedModel.h"
#include "smbus-sim/core/LedViewSetup.h"
#include "smbus-sim/ledview/LedViewLayout.h"

namespace {

using namespace ledview;

constexpr COLORREF kBackground = RGB(24, 24, 28);
constexpr COLORREF kText = RGB(225, 225, 225);
constexpr COLORREF kNote = RGB(255, 190, 80);
constexpr COLORREF kUnlitLed = RGB(48, 48, 52);
constexpr COLORREF kLedRim = RGB(110, 110, 118);

// The journal, opened afresh for one poll with full sharing: the stand-in may write, truncate, re-create or
// delete it at any time, and the view never holds it between polls.
class JournalFile final : public smbus_sim::JournalSource {
public:
    explicit JournalFile(const std::wstring& path)
        : m_file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

    std::optional<std::uint64_t> Size() override {
        LARGE_INTEGER size{};
        if (!m_file || !GetFileSizeEx(m_file.Get(), &size)) {
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(size.QuadPart);
    }
    std::size_t ReadAt(std::uint64_t offset, char* out, std::size_t size) override {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        return m_file && ReadFile(m_file.Get(), out, static_cast<DWORD>(size), &got, &at) ? got : 0;
    }

private:
    fw::UniqueHandle m_file;
};

struct Setup {
    std::wstring journal;
    std::vector<std::wstring> rowLabels;
};

struct LocalFreeDeleter {
    void operator()(LPWSTR* p) const { LocalFree(p); }
};

// The path named on the command line, made absolute; empty if none.
std::wstring ArgumentPath() {
    int count = 0;
    std::unique_ptr<LPWSTR, LocalFreeDeleter> argv(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!argv || count < 2) {
        return {};
    }
    wchar_t full[MAX_PATH * 2] = {};
    DWORD n = GetFullPathNameW(argv.get()[1], static_cast<DWORD>(std::size(full)), full, nullptr);
    return n > 0 && n < std::size(full) ? std::wstring(full) : std::wstring(argv.get()[1]);
}

smbus_sim::SimConfig ReadConfig(const std::wstring& path) {
    std::vector<std::uint8_t> text;
    if (!smbus_sim::ReadWholeFile(path, text)) {
        return {};
    }
    return smbus_sim::ParseSimConfig(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

// Finds the journal and the module rows the way the stand-in finds its configuration.
Setup FindSetup() {
    std::wstring folder = smbus_sim::ModuleFolder(nullptr);
    std::wstring configPath = smbus_sim::ConfigPath(folder);
    std::wstring journal;
    if (std::wstring argument = ArgumentPath(); !argument.empty()) {
        std::vector<std::uint8_t> text;
        smbus_sim::ReadWholeFile(argument, text);
        std::string_view content(reinterpret_cast<const char*>(text.data()), text.size());
        if (smbus_sim::IsConfigFile(smbus_sim::Narrow(argument), content)) {
            configPath = argument;
        } else {
            journal = argument;
        }
    }
    smbus_sim::SimConfig config = ReadConfig(configPath);
    Setup setup;
    setup.journal = journal.empty() ? smbus_sim::JournalPath(config, configPath, folder) : journal;
    for (const auto& position : smbus_sim::ModuleRows(config)) {
        wchar_t label[32];
        std::swprintf(label, std::size(label), L"Module %d %d", position.first, position.second);
        setup.rowLabels.emplace_back(label);
    }
    if (setup.rowLabels.empty()) {
        setup.rowLabels.emplace_back(L"All modules");
    }
    return setup;
}

class LedViewWindow {
public:
    explicit LedViewWindow(Setup setup) : m_setup(std::move(setup)) {}
    LedViewWindow(const LedViewWindow&) = delete;
    LedViewWindow& operator=(const LedViewWindow&) = delete;

    bool Create(HINSTANCE instance);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Reads what the journal gained and redraws when anything shown changed.
    void OnTimer();
    // Draws captions and rows into a back buffer and copies it onto the window in one piece.
    void OnPaint();
    void DrawCaptions(HDC dc) const;
    void DrawRows(HDC dc) const;
    int Rows() const { return static_cast<int>(m_setup.rowLabels.size()); }
    // The window's outer size for its client area at the view's scale.
    SIZE WindowSize() const;
    // Moved to a screen of another DPI: the view is drawn at that scale, where the system suggests.
    void OnDpiChanged(WPARAM dpi, const RECT* suggested);

    Setup m_setup;
    smbus_sim::LedJournal m_journal;
    fw::Font m_font;
    HWND m_window = nullptr;
    SkinScale m_scale; // the layout is one of 96 DPI, drawn through a transform of this scale
};

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

SIZE LedViewWindow::WindowSize() const {
    RECT frame{0, 0, m_scale.Px(kClientWidth), m_scale.Px(ClientHeight(Rows()))};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void LedViewWindow::OnDpiChanged(WPARAM dpi, const RECT* suggested) {
    m_scale = SkinScale(LOWORD(dpi));
    const SIZE size = WindowSize();
    if (suggested) {
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(m_window, nullptr, FALSE);
}

bool LedViewWindow::Create(HINSTANCE instance) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = Procedure;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    cls.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    cls.lpszClassName = kWindowClass;
    if (!RegisterClassW(&cls)) {
        return false;
    }
    m_font.Reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma"));

    // Bottom-left of the work area, clear of the program's window centred on a 1280 x 1024 screen.
    m_scale = SkinScale(fw::SystemDpi());
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = WindowSize().cx;
    const int height = WindowSize().cy;
    HWND window = CreateWindowExW(0, kWindowClass, kTitle, kStyle, work.left, work.bottom - height, width, height,
                                  nullptr, nullptr, instance, this);
    if (!window) {
        return false;
    }
    // Beside the program under test, without taking the focus from it.
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return true;
}

LRESULT CALLBACK LedViewWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<LedViewWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<LedViewWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT LedViewWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        SetTimer(m_window, kPollTimer, kPollMs, nullptr);
        OnTimer();
        return 0;
    case WM_TIMER:
        if (wParam == kPollTimer) {
            OnTimer();
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel
    case WM_DPICHANGED:
        OnDpiChanged(wParam, reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_DESTROY:
        KillTimer(m_window, kPollTimer);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void LedViewWindow::OnTimer() {
    JournalFile file(m_setup.journal);
    if (m_journal.Poll(file)) {
        InvalidateRect(m_window, nullptr, FALSE);
    }
}

void LedViewWindow::OnPaint() {
    fw::PaintDC paint(m_window);
    RECT client{};
    GetClientRect(m_window, &client);
    fw::MemoryDC back(paint.Get());
    fw::Bitmap buffer(CreateCompatibleBitmap(paint.Get(), client.right, client.bottom));
    if (!back || !buffer) {
        return;
    }
    fw::SelectScope useBuffer(back.Get(), buffer.Get());
    fw::Brush background(CreateSolidBrush(kBackground));
    FillRect(back.Get(), &client, background.Get());
    // The layout's 96 DPI coordinates, scaled as a whole: text and shapes are drawn at the screen's pixels.
    SetGraphicsMode(back.Get(), GM_ADVANCED);
    const auto factor = static_cast<FLOAT>(m_scale.Dpi()) / SKIN_BASE_DPI;
    const XFORM scale{factor, 0.0F, 0.0F, factor, 0.0F, 0.0F};
    SetWorldTransform(back.Get(), &scale);
    fw::SelectScope useFont(back.Get(), m_font.Get());
    SetBkMode(back.Get(), TRANSPARENT);
    DrawCaptions(back.Get());
    DrawRows(back.Get());
    ModifyWorldTransform(back.Get(), nullptr, MWT_IDENTITY); // the copy is pixel for pixel
    BitBlt(paint.Get(), 0, 0, client.right, client.bottom, back.Get(), 0, 0, SRCCOPY);
}

void LedViewWindow::DrawCaptions(HDC dc) const {
    const smbus_sim::LedModel& model = m_journal.Model();
    std::string commandSet = model.CommandSetCaption();
    std::array<std::wstring, kCaptionLines> lines = {
        commandSet.empty() ? L"Command set: nothing sent" : smbus_sim::Widen(commandSet),
        model.EffectCaption().empty() ? L"Effect: nothing sent" : smbus_sim::Widen(model.EffectCaption()),
        model.ModulesOwnEffect() ? L"Module's own effect \u2014 not drawn (LEDs: last frame sent)"
                                 : L"LEDs drawn as sent",
    };
    if (!model.LastProblem().empty()) {
        lines[2] += L"; stand-in: " + smbus_sim::Widen(model.LastProblem());
    }
    if (model.NotUnderstood() > 0) {
        lines[2] += L"; lines not understood: " + std::to_wstring(model.NotUnderstood());
    }
    if (model.DroppedLines() > 0) {
        lines[2] += L"; journal lines dropped: " + std::to_wstring(model.DroppedLines());
    }
    for (int i = 0; i < kCaptionLines; ++i) {
        RECT line{kMargin, kMargin + i * kCaptionLineHeight, kClientWidth - kMargin,
                  kMargin + (i + 1) * kCaptionLineHeight};
        SetTextColor(dc, i == 2 && model.ModulesOwnEffect() ? kNote : kText);
        DrawTextW(dc, lines[static_cast<std::size_t>(i)].c_str(), -1, &line,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
}

void LedViewWindow::DrawRows(HDC dc) const {
    const auto& leds = m_journal.Model().Leds();
    fw::Pen rim(CreatePen(PS_SOLID, 1, kLedRim));
    fw::SelectScope useRim(dc, rim.Get());
    SetTextColor(dc, kText);
    for (int row = 0; row < Rows(); ++row) {
        RECT label{kMargin, kRowsTop + row * kRowHeight, kMargin + kLabelWidth, kRowsTop + (row + 1) * kRowHeight};
        DrawTextW(dc, m_setup.rowLabels[static_cast<std::size_t>(row)].c_str(), -1, &label,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
        for (int k = 0; k < smbus_sim::kLedCount; ++k) {
            const smbus_sim::LedColour& led = leds[static_cast<std::size_t>(k)];
            fw::Brush fill(CreateSolidBrush(led.Lit() ? RGB(led.red, led.green, led.blue) : kUnlitLed));
            fw::SelectScope useFill(dc, fill.Get());
            int x = LedCentreX(k) - kLedDiameter / 2;
            int y = LedCentreY(row) - kLedDiameter / 2;
            Ellipse(dc, x, y, x + kLedDiameter, y + kLedDiameter);
        }
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    LedViewWindow view(FindSetup());
    if (!view.Create(instance)) {
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
