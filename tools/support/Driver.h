// The driver of the end-to-end tests, the benchmarks and the soak: starts a program, finds its windows by process
// id, works its controls from outside the way a user's input would reach them, and reads back texts, visibility,
// rectangles, message boxes and pixels. Every wait has a time-out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/support/Files.h"

namespace support {

// The window classes of dialogs (message boxes too) and of pop-up menus.
inline constexpr wchar_t kDialogClass[] = L"#32770";
inline constexpr wchar_t kMenuClass[] = L"#32768";

// Waits until predicate() holds, polling every few milliseconds; false on time-out.
template <class Predicate> bool WaitFor(Predicate predicate, DWORD timeoutMs = 10000) {
    DWORD start = GetTickCount();
    while (!predicate()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

struct LaunchOptions {
    std::wstring program;   // full path
    std::wstring arguments; // the command line after the program name
    std::wstring workingFolder;
    std::vector<std::pair<std::wstring, std::wstring>> environment; // added to (or replacing in) ours
};

// A started program. The destructor ends it if it still runs, so no test leaves a process behind.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;

    static std::optional<Process> Start(const LaunchOptions& options);
    // The same with the program's standard output and error written to two files.
    static std::optional<Process> Start(const LaunchOptions& options, const std::wstring& outputFile,
                                        const std::wstring& errorFile);

    DWORD Id() const { return m_id; }
    bool Running() const;
    // Waits for the end; the exit code, or nothing on time-out.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = 10000) const;
    void Kill();

private:
    HANDLE m_handle = nullptr;
    DWORD m_id = 0;
};

// A console program run to its end with its output in files: its exit code and what it wrote.
struct ConsoleRun {
    DWORD exitCode = 0;
    std::string output;
    std::string error;
};
// Runs a program with its output in the two files; nothing when it cannot start or does not end within the time.
std::optional<ConsoleRun> RunConsoleProgram(const LaunchOptions& options, const std::wstring& outputFile,
                                            const std::wstring& errorFile, DWORD timeoutMs = 30000);

// Top-level windows of a process with a given class (kDialogClass for dialogs and message boxes).
std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className = nullptr);
// The first top-level window of the class that satisfies pick, waited for.
HWND WaitForWindow(DWORD processId, const wchar_t* className, bool (*pick)(HWND), DWORD timeoutMs = 10000);
HWND WaitForWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs = 10000);

struct MessageBoxInfo {
    HWND window = nullptr;
    std::wstring text;
    std::wstring caption;
    std::vector<int> buttons; // ids of the visible push buttons (IDOK, IDCANCEL, ...)
    UINT icon = 0;            // MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK or 0
};
bool IsMessageBox(HWND window);
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs = 10000);
// Presses a message box button (IDOK by default).
void DismissMessageBox(const MessageBoxInfo& box, int button = IDOK);

// A click as a skinned button sees one: button-down then button-up at client point (0, 0), posted.
void Click(HWND control);
// A click of the mouse itself at a point of the screen, as the system's input would deliver it.
void ClickScreenPoint(POINT point);
// Sends a message whose lParam points to a RECT (WM_DPICHANGED's suggested place) to a window of another process:
// the RECT is written into that process first, as the system's own message would carry it there.
LRESULT SendMessageWithRect(HWND window, UINT message, WPARAM wParam, const RECT& rect);
// Makes the calling process per-monitor DPI aware, so that it sees other windows' sizes and pixels unscaled.
void BecomePerMonitorDpiAware();
void PostTrayEvent(HWND window, UINT trayMessage, UINT iconId, UINT mouseMessage);
std::wstring GetText(HWND window);
bool IsVisible(HWND window);
RECT WindowRect(HWND window);

// The keyboard, as a user presses it: the input goes to the foreground window's focus.
enum KeyModifier : unsigned { kNoModifier = 0, kShift = 1, kCtrl = 2 };
// Brings a top-level window to the front, so that the keys go to it; false when it did not come.
bool BringToFront(HWND window);
// Presses and releases a key (SendInput), with Shift and Ctrl held around it when asked.
void PressKey(WORD key, unsigned modifiers = kNoModifier);
// The window that has the keyboard focus in the thread of window (a control of it, or itself); null for none.
HWND FocusedWindow(HWND window);

// What a screen reader reads of a window's client object from another process, through the accessibility API
// (AccessibleObjectFromWindow, then the object's name, role, state, value and description).
struct AccessibleFacts {
    std::wstring name;
    LONG role = 0;
    LONG state = 0;
    std::wstring value;
    std::wstring description;
};
std::optional<AccessibleFacts> ReadAccessible(HWND window);

// Pixels of a screen area, top row first, one COLORREF (red in the low byte) per pixel.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool SaveBmp(const std::wstring& path) const;
};
// Captures the screen area of a window (its whole window rectangle).
Image CaptureWindow(HWND window);
Image CaptureScreenRect(const RECT& rect);
// A bitmap resource of a program or library file, as 32-bit pixels; empty when it cannot be loaded.
Image LoadBitmapImage(const std::wstring& module, int id);

} // namespace support
