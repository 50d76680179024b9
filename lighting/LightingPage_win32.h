// The lighting page of the main window: the mode and speed buttons, Apply, Reset, the power toggle, the colour
// wheel and the colour boxes, the lighting timer and the power broadcast. Its map is chained into the main
// window's. The page keeps the one lighting model (LightingState) and draws from it; the decisions are in
// LightingSequences and LightingControls, and the commands reach the modules through the CommandSender.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "base/FontTable.h"
#include "base/Settings.h"
#include "base/SkinScale.h"
#include "framework/Gdi.h"
#include "framework/MessageMap.h"
#include "framework/Wnd.h"
#include "lighting/CommandSender.h"
#include "lighting/Darkness.h"
#include "lighting/DarknessWatch_win32.h"
#include "lighting/HandOverAdapter.h"
#include "lighting/LightingControls.h"
#include "lighting/LightingSequences.h"
#include "lighting/Profiles.h"
#include "lighting/RememberedLighting.h"
#include "memory/BusMutex_win32.h"
#include "memory/SmbusLibrary_win32.h"
#include "res/resource.h"

class CVxButton;

// What the lighting page needs of the window that holds it, handed to the page when it is made.
class ILightingWindow {
public:
    virtual ~ILightingWindow() = default;
    virtual CWnd& Window() = 0;
    virtual CVxButton& Button(int id) = 0;
    virtual HFONT Font(FontSlot slot) const = 0;
    // The scale the window is drawn at.
    virtual const SkinScale& Scale() const = 0;
    // The mode buttons with mode shown selected; the speed buttons with speed button index shown selected.
    virtual void ShowSelectedMode(std::int32_t mode) = 0;
    virtual void ShowSelectedSpeed(std::int32_t speedIndex) = 0;
    // Whether the module information page is showing (the swatch is not drawn then).
    virtual bool ModuleInfoShowing() const = 0;
    // The dark reasons that hold now (none: the modules show what the user chose), for the tray tip.
    virtual void ShowDarkness(std::uint8_t reasons) = 0;
};

class CLightingPage : public CMessageMap, public HandOverTarget, public DarknessSink, private LightingTimers {
public:
    // The page sends through library (its flags say which command sets the modules take), holding the shared bus
    // through bus, keeps what it sends in settings and its named profiles in profiles.
    CLightingPage(ILightingWindow& window, CSmbusLibrary& library, CBusMutex& bus, ISettingsRegistry& settings,
                  ISettingsList& profiles);

    BEGIN_MSG_MAP(CLightingPage)
    BUTTON_RANGE_CLICK_CALL(IDC_BTN_MODE_FIRST, IDC_BTN_MODE_LAST, OnModeButton)
    BUTTON_RANGE_CLICK_CALL(IDC_BTN_SPEED_FIRST, IDC_BTN_SPEED_LAST, OnSpeedButton)
    BUTTON_CLICK_CALL(IDC_BTN_APPLY, OnApply)
    BUTTON_CLICK_CALL(IDC_BTN_RESET, OnReset)
    BUTTON_CLICK_CALL(IDC_BTN_POWER, OnPowerToggle)
    BUTTON_CLICK_CALL(IDC_BTN_COLOUR_WHEEL, OnColourWheel)
    COMMAND_RANGE_CODE_CALL(IDC_RED_BOX, IDC_BLUE_BOX, EN_CHANGE, OnColourBoxChange)
    MESSAGE_CRACKED_OBSERVER(WM_TIMER, OnTimer)
    MESSAGE_CRACKED_OBSERVER(WM_POWERBROADCAST, OnPowerBroadcast)
    CHAIN_MSG_MAP_MEMBER(m_watch)
    END_MSG_MAP()

    // At start, after detection (moduleCount modules found): reads what the settings key remembers and, when
    // restore is on, shows it and sends it as Apply (or the power toggle turning off) would. Until then, and when
    // the SMBus library did not start, the page sends nothing.
    void Start(bool restore, int moduleCount);

    // Puts the colour the program starts with in the colour boxes.
    void ShowDefaultColour();
    // The colour boxes belong to the skin: dark fields without a frame of their own in the wells the artwork draws
    // around their places, one line of text high, at the window's scale. When the window is made and at each scale.
    void PlaceColourBoxes();
    // A colour box's colours (light text on the wells' colour) and its brush; null for any other control.
    HBRUSH ColourBoxColours(HDC dc, int id);
    // The lighting page's share of the window's paint: the swatch and the hexadecimal text of the wheel's colour.
    void Paint(HDC dc);

    // The one lighting model: what was applied, and what the controls show besides.
    const LightingState& State() const { return m_state; }
    SmbusFlags Flags() const { return m_library.Flags(); }
    // Whether the page was started with a library that started: lighting commands reach the modules.
    bool Started() const { return m_started; }

    // HandOverTarget: what prismelctl asks, done as the buttons would do it.
    void ChooseAndTurnOn(std::int32_t mode, std::int32_t speedButton,
                         const std::optional<std::array<std::uint8_t, 3>>& colour) override;
    void TurnOn() override;
    void TurnOff() override;
    void Reset() override { OnReset(); }
    void LoadLighting(const LightingChoice& lighting) override;
    LightingChoice AppliedLighting() const override;
    HandOverStatus Status() const override;
    bool LibraryStarted() const override { return m_started; }

    // The named profiles: the tray menu, prismelctl and SDK clients save, load and delete them here.
    ProfileBook& Profiles() { return m_profiles; }

    // ---- What an SDK client asks, done as the buttons would do it ----
    // The colour into the boxes (when given), the mode and speed buttons, then Apply.
    void ChooseAndApply(std::int32_t mode, std::int32_t speedIndex, std::optional<std::uint32_t> colour);
    // The power toggle turning the lights off; nothing when they are off already.
    void SwitchOffByToggle();
    // Frames from a client: select 4 once on entering, the lighting timer stopped.
    void EnterDirect();
    // LEDs first to first + count - 1 of the next frame; frames go out at most once per kDirectFramePeriodMs,
    // the latest one each time.
    void QueueDirectFrame(const std::array<LedColour, kLedCount>& leds, std::size_t first, std::size_t count);

    // "LightsOffWhileAsleep": the off sequence at suspend, the lighting back at resume. Written at once.
    bool LightsOffWhileAsleep() const { return m_darkSettings.asleep; }
    void SetLightsOffWhileAsleep(bool on);
    // The dark rules the user turned on, and the reasons that hold now. Setting them writes them at once.
    const DarkSettings& DarkRules() const override { return m_darkSettings; }
    void SetDarkRules(const DarkSettings& rules) override;
    std::uint8_t DarkReasons() const override { return m_darkness.Reasons(); }
    // DarknessSink: a reason begins or ends (the off sequence when the modules go dark, the user's lighting when
    // the last reason ends).
    void SetDarkReason(DarkReason reason, bool holds) override;

private:
    // A mode button: remembered, shown selected; nothing is sent.
    void OnModeButton(int id);
    // A speed button: remembered, shown selected; nothing is sent.
    void OnSpeedButton(int id);
    // Apply sends the chosen mode and speed with the boxes' colour.
    void OnApply();
    // Reset goes back to the modules' own effect.
    void OnReset();
    // The power toggle switches the lights off, or on again with the chosen mode.
    void OnPowerToggle();
    // A pick on the colour wheel goes into the boxes and the swatch; nothing is sent.
    void OnColourWheel();
    // A colour box keeps its number within 0-255 and previews the colour.
    void OnColourBoxChange(int id);
    // The page's timers; the message goes on to the default processing.
    void OnTimer(UINT_PTR id);
    // Any power event sends what the user last chose again (the off sequence while the toggle is off), and
    // once more kResumeResendDelayMs after a resume; with LightsOffWhileAsleep, suspending sends the off sequence.
    void OnPowerBroadcast(UINT event, const POWERBROADCAST_SETTING* setting);
    void ResendChoice();
    // Darkness ended: what the user last chose goes out.
    void RestoreChoice();
    // Where the sequences send: the modules, or nowhere while dark (the model still follows the user's choices).
    LightingPort& Port() { return m_darkness.Dark() ? static_cast<LightingPort&>(m_discard) : m_sender; }

    // The command sequences, each one command to the modules.
    void ApplyLighting();
    void ResetLighting();
    void SwitchOffLighting();
    // One tick of the lighting timer.
    void StepAnimation();
    // Puts a choice on the buttons, the colour boxes, the wheel's colour and the swatch; nothing is sent.
    void ShowChoice(const LightingChoice& choice);
    // Stores what was just sent, the fields that changed only.
    void Remember();
    // A user's Apply, Reset or power click ends a client's Direct frames.
    void LeaveDirect();
    void SendDirectFrame();

    // LightingTimers: the window's.
    void SetTimer(unsigned id, unsigned periodMs) override;
    void KillTimer(unsigned id) override;

    std::int32_t ReadBox(int id) const;
    // Apply's read of the three boxes into the model: the one place the page reads them all.
    void ReadBoxes();
    // Writes a colour into the model and the boxes.
    void ShowBoxes(ColourBoxValues boxes);
    void ShowModeButtonsApplyReset(bool show);
    // Fills the swatch with the boxes' colour at once, unless the module information page is showing.
    void PreviewColor();
    void FillSwatch(HDC dc, std::uint32_t colour) const;
    void FillSwatchNow(std::uint32_t colour) const;
    void InvalidateHexText() const;
    // Sets the model's power state and shows it on the toggle.
    void SetPower(bool on);

    ILightingWindow& m_window;
    CSmbusLibrary& m_library;
    ISettingsRegistry& m_settings;
    CBusMutexGate m_busGate;
    CommandSender m_sender;
    LightingState m_state;
    RememberedLighting m_remembered;
    ProfileBook m_profiles;
    std::array<LedColour, kLedCount> m_directFrame{}; // a client's next frame
    Darkness m_darkness;
    DarkSettings m_darkSettings;
    CDarknessWatch m_watch;
    // Calls made while dark go nowhere; no timer starts.
    class DiscardPort final : public LightingPort {
    public:
        void RgbI2cMode(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override {}
        void SetZorvaEffect(std::uint8_t, std::uint16_t, std::uint8_t, std::uint32_t) override {}
        void StartLightingTimer(std::int32_t) override {}
        void StopLightingTimer() override {}
    } m_discard;
    bool m_started = false;
    int m_moduleCount = 0;
    fw::Brush m_colourBoxBrush;
};
