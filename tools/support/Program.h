// Prismel.exe as tests, benchmarks and tools start it: copied with the stand-in and the font into a folder of its
// own, started with the stand-in's configuration, and its main window told apart from its message boxes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "tools/support/Driver.h"
#include "tools/support/StandIn.h"

namespace support {

// Copies Prismel.exe, MsIo32.dll and (unless withFont is false, which removes it) the font from bin into folder.
// Empty when all went; otherwise the name of the file that could not be copied.
std::wstring InstallProgram(const std::wstring& bin, const std::wstring& folder, bool withFont = true);

// How to start a Prismel.exe against the stand-in's configuration.
LaunchOptions ProgramLaunch(const std::wstring& program, const StandInFiles& standIn,
                            const std::wstring& arguments = L"");

// The main window is the dialog that holds the close button.
bool IsMainWindow(HWND window);
// How long a start may take on a loaded machine before the wait for its main window gives up.
inline constexpr DWORD kProgramStartTimeoutMs = 60000;
// Waits until the process has made its main window; null as soon as the process has ended without one, or after
// the time-out.
HWND WaitForMainWindow(const Process& process, DWORD timeoutMs = kProgramStartTimeoutMs);
// Waits until the window's start-up is over: the colour boxes have their texts.
bool WaitUntilInitialised(HWND main, DWORD timeoutMs = 10000);
// Removes the program's settings key, so that it starts as on a fresh machine.
void RemoveSettings();

} // namespace support
