// The "OnlyApplySettings" start with "RestoreLighting" on: the remembered lighting sent without a window.
#pragma once

#include <string>

class CSmbusLibrary;
class ISettingsRegistry;

// What the start ends with: 0 when the library was bound (whether or not anything was sent), this when it was not.
inline constexpr int kExitSmbusUnavailable = 2;

// Binds the SMBus library in folder, reads its flags and sends the remembered lighting if it is "off" or one of
// modes 1-6 (modes 7-10 need the running window's timer, so nothing is sent for them). Never shows a message box.
int SendRememberedLightingWithoutWindow(CSmbusLibrary& library, ISettingsRegistry& registry,
                                        const std::wstring& folder);
