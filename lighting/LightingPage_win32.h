// The lighting page of the main window: the mode and speed buttons, Apply, Reset, the power toggle, the colour
// wheel and the colour boxes, the lighting timer and the power broadcast. Its map is chained into the main
// window's; the decisions are in LightingSequences and LightingControls, the calls go to the SMBus library.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "base/FontTable.h"
#include "framework/Gdi.h"
#include "framework/MessageMap.h"
#include "framework/Wnd.h"
#include "lighting/BusBatch.h"
#include "lighting/HandOver.h"
#include "lighting/LightingControls.h"
#include "lighting/LightingSequences.h"
#include "lighting/RememberedLighting.h"
#include "res/resource.h"
#include "base/SkinScale.h"

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
    // Whether the module information page is showing, and how many modules were detected.
    virtual bool ModuleInfoShowing() const = 0;
    virtual int ModuleCount() const = 0;
};

class CLightingPage : public CMessageMap, private LightingPort {
public:
    explicit CLightingPage(ILightingWindow& window) : m_window(window) {}

    BEGIN_MSG_MAP(CLightingPage)
    BUTTON_RANGE_CLICK_CALL(IDC_BTN_MODE_FIRST, IDC_BTN_MODE_LAST, OnModeButton)
    BUTTON_RANGE_CLICK_CALL(IDC_BTN_SPEED_FIRST, IDC_BTN_SPEED_LAST, OnSpeedButton)
    BUTTON_CLICK_CALL(IDC_BTN_APPLY, OnApply)
    BUTTON_CLICK_CALL(IDC_BTN_RESET, OnReset)
    BUTTON_CLICK_CALL(IDC_BTN_POWER, OnPowerToggle)
    BUTTON_CLICK_CALL(IDC_BTN_COLOUR_WHEEL, OnColourWheel)
    COMMAND_RANGE_CODE_CALL(IDC_RED_BOX, IDC_BLUE_BOX, EN_CHANGE, OnColourBoxChange)
    MESSAGE_OBSERVER(WM_TIMER, OnTimer)
    MESSAGE_OBSERVER(WM_POWERBROADCAST, OnPowerBroadcast)
    MESSAGE_CALL(WM_COPYDATA, OnHandOver)
    END_MSG_MAP()

    // Sends CurrentMode with the colour in the boxes and SpeedValue.
    void ApplyLighting();
    // Selects mode 6 and sends it at once.
    void ResetLighting();
    void SwitchOffLighting();
    // One tick of the lighting timer.
    void StepAnimation();
    void SendLedColor(std::int32_t k);
    // Fills the swatch with the boxes' colour at once, unless the module information page is showing.
    void PreviewColor();
    // The lighting page's share of the window's paint: the swatch and the hexadecimal text of the wheel's colour.
    void Paint(HDC dc);

    // Puts the colour the program starts with in the colour boxes.
    void ShowDefaultColour();
    // The colour boxes belong to the skin: dark fields without a frame of their own in the wells the artwork draws
    // around their places, one line of text high, at the window's scale. When the window is made and at each scale.
    void PlaceColourBoxes();
    // A colour box's colours (light text on the wells' colour) and its brush; null for any other control.
    HBRUSH ColourBoxColours(HDC dc, int id);
    // The power toggle's state: on unless the user switched the lights off.
    bool PowerOn() const { return m_state.PowerOn; }

    const LightingState& State() const { return m_state; }

    // At start, after detection: reads what the settings key remembers and, when restore is on, shows it and sends
    // it as Apply (or the power toggle turning off) would. Lets prismelctl's hand-over reach the window.
    void StartWithRememberedLighting(bool restore);
    // What a hand-over request asks, done as the buttons would do it.
    void ApplyRequest(const HandOverRequest& request);
    // The lighting the window shows, for prismelctl.
    HandOverStatus Status() const;
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
    bool InDirect() const { return m_direct; }
    // "LightsOffWhileAsleep": the off sequence at suspend, the lighting back at resume. Written at once.
    bool LightsOffWhileAsleep() const { return m_lightsOffWhileAsleep; }
    void SetLightsOffWhileAsleep(bool on);
    // The colour in the boxes.
    std::uint32_t BoxColour() const { return ColourRefOf(m_state.Boxes.red, m_state.Boxes.green, m_state.Boxes.blue); }

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
    // The lighting timer's tick; the message goes on to the default processing.
    void OnTimer(WPARAM id);
    // Any power event sends what the user last chose again (the off sequence while the toggle is off), and
    // once more kResumeResendDelayMs after a resume; with LightsOffWhileAsleep, suspending sends the off sequence.
    void OnPowerBroadcast(WPARAM event);
    void ResendChoice();
    // A request from prismelctl: taken only with its tag, size and ranges right; answered with the status.
    LRESULT OnHandOver(WPARAM sender, LPARAM data);

    // The power toggle's two halves, as its click does them.
    void TurnOn();
    void TurnOff();
    // Puts a choice on the buttons, the colour boxes, the wheel's colour and the swatch; nothing is sent.
    void ShowChoice(const LightingChoice& choice);
    // Stores what was just sent, the fields that changed only.
    void Remember();
    // A user's Apply, Reset or power click ends a client's Direct frames.
    void LeaveDirect();
    void SendDirectFrame();

    // LightingPort: the SMBus library and the window's timer.
    void RgbI2cMode(std::uint8_t command, std::uint8_t a, std::uint8_t b, std::uint8_t c) override;
    void SetZorvaEffect(std::uint8_t mode, std::uint16_t speed, std::uint8_t zero, std::uint32_t argb) override;
    void StartLightingTimer(std::int32_t periodMs) override;
    void StopLightingTimer() override;

    std::int32_t ReadBox(int id) const;
    // Apply's read of the three boxes into the model: the one place the page reads them all.
    void ReadBoxes();
    // Writes a colour into the model and the boxes.
    void ShowBoxes(ColourBoxValues boxes);
    void ShowModeButtonsApplyReset(bool show);
    void FillSwatch(HDC dc, std::uint32_t colour) const;
    void FillSwatchNow(std::uint32_t colour) const;
    void InvalidateHexText() const;
    // Sets the model's power state and shows it on the toggle.
    void SetPower(bool on);

    // The calls of the sequences that run inside it go out as one command when the outermost scope ends.
    class CommandScope {
    public:
        explicit CommandScope(CLightingPage& page);
        ~CommandScope();
        CommandScope(const CommandScope&) = delete;
        CommandScope& operator=(const CommandScope&) = delete;

    private:
        CLightingPage& m_page;
    };
    // Merges the gathered batch into the pending command and sends that with the bus held, or leaves it pending.
    void SendCommand();
    void SendPending();
    static void SendBatch(const std::vector<BusCall>& calls);

    ILightingWindow& m_window;
    LightingState m_state;
    RememberedLighting m_remembered;
    fw::Brush m_colourBoxBrush;
    bool m_direct = false;
    bool m_directTimerRunning = false;
    bool m_framePending = false;
    std::array<LedColour, kLedCount> m_pendingFrame{};
    bool m_lightsOffWhileAsleep = false;
    int m_commandDepth = 0;
    std::vector<BusCall> m_batch;   // the calls of the sequence running now
    std::vector<BusCall> m_pending; // a command still waiting for the bus
};
