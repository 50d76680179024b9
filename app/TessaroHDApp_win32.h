// CTessaroHDApp: the application object. Built before the entry point (COM, defaults, registry settings); its
// InitInstance runs start-up and the main window, and always returns false so the process ends afterwards.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "base/Fonts_win32.h"
#include "base/Settings.h"
#include "base/SettingsStore_win32.h"
#include "framework/Gdi.h"
#include "framework/WinApp.h"
#include "lighting/Profiles.h"
#include "memory/SmbusLibrary_win32.h"
#include "skin/SkinBitmap_win32.h"

class ISettingsRegistry;

class CTessaroHDApp : public CWinApp {
public:
    CTessaroHDApp();                                     // loads the settings from the registry
    explicit CTessaroHDApp(ISettingsRegistry& registry); // loads them from another store (tests)
    ~CTessaroHDApp() override;

    bool InitInstance() override;
    // The exit code of a start that ends without the window.
    int ExitInstance() override;

    HFONT GetFont(int slot) const { return m_fonts[static_cast<std::size_t>(slot)].Get(); }
    // The language the program speaks (a LanguageIndex): the language object's, English when there is none.
    std::int32_t Language() const;
    std::int32_t StartMode() const { return m_startMode; }
    bool RestoreSettingsFlag() const { return m_settings.RestoreUserSettings; }
    const AppSettings& Settings() const { return m_settings; }
    // "RestoreLighting": send the remembered lighting at start.
    bool RestoreLightingFlag() const { return m_restoreLighting; }
    // Turns it on or off and writes it to the settings key at once.
    void SetRestoreLighting(bool on);
    const std::wstring& ProgramDirectory() const { return m_programDirectory; }
    // The settings key, as the window and its pages read and write it.
    ISettingsRegistry& SettingsStore() { return m_settingsStore; }
    // The settings key's named lighting profiles.
    ISettingsList& ProfileStore() { return m_profileStore; }
    // The SMBus library of the process: bound once by the window (or the OnlyApplySettings start), never unloaded.
    CSmbusLibrary& Smbus() { return m_smbus; }

    enum class InstanceCheck { FirstInstance, AnotherInstanceRuns, MutexUnavailable };

    // The steps of InitInstance, in their order.
    void MakeProgramDirectoryCurrent();
    void ReadStartMode(LPCWSTR commandLine);
    InstanceCheck CheckSingleInstance();
    void RunLegacyRestore();
    // The font table at the system's DPI, the one the window starts at.
    bool CreateFonts();
    // The font table made anew at another DPI (the window moved to another screen); the fonts handed out before
    // are gone.
    void ScaleFonts(int dpi);
    // The window has started: what only the start needed is let go, the art decoded ahead for it (the decoding
    // thread's work ends) and the settings key kept open for its run of reads.
    void EndStart() {
        m_artPrefetch.reset();
        m_settingsStore.EndKeepOpen();
    }

    // Runs the main window modally; returns when its loop ends.
    virtual void RunMainWindow();

private:
    void Construct(ISettingsRegistry& registry);

    CRegistrySettings m_settingsStore;
    CRegistryList m_profileStore{kProfilesSubkey};
    CSmbusLibrary m_smbus;
    AppSettings m_settings;
    bool m_restoreLighting = false;
    int m_startExitCode = 0;
    std::int32_t m_startMode = 0;
    fw::UniqueHandle m_instanceMutex;
    FontSlots m_fonts;
    std::optional<CSkinArtPrefetch> m_artPrefetch; // the window's first artwork, decoded beside the start-up
    std::wstring m_programDirectory;
    bool m_comInitialised = false;
};

// The name of the instance mutex, shared by every logon session of the machine.
inline constexpr wchar_t kInstanceMutexName[] = L"Global\\Prismel_Mutex";
