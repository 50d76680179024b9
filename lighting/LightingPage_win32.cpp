#include "lighting/LightingPage_win32.h"

#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <utility>

#include "base/Colour.h"
#include "base/SkinScale_win32.h"
#include "framework/Gdi.h"
#include "skin/VxButton_win32.h"

namespace {

constexpr RECT kSwatch{SKIN_SWATCH_LEFT, SKIN_SWATCH_TOP, SKIN_SWATCH_RIGHT, SKIN_SWATCH_BOTTOM};
constexpr RECT kHexText{SKIN_HEX_TEXT_LEFT, SKIN_HEX_TEXT_TOP, SKIN_HEX_TEXT_RIGHT, SKIN_HEX_TEXT_BOTTOM};

ColourBoxValues BoxesOf(std::uint32_t colour) {
    return {RedOf(colour), GreenOf(colour), BlueOf(colour)};
}

} // namespace

CLightingPage::CLightingPage(ILightingWindow& window, CSmbusLibrary& library, CBusMutex& bus,
                             ISettingsRegistry& settings, ISettingsList& profiles)
    : m_window(window), m_library(library), m_settings(settings), m_busGate(bus), m_sender(library, m_busGate, *this),
      m_profiles(profiles), m_watch(window.Window(), *this) {}

// ---- The command sequences, with the boxes and the flags read here --------------------------------------------
// Each sequence's library calls go out as one command, with the shared bus held (CommandSender::Scope).

void CLightingPage::ApplyLighting() {
    CommandSender::Scope command(m_sender);
    ::ApplyLighting(m_state, Flags(), m_state.Shown.Boxes, Port());
}

void CLightingPage::ResetLighting() {
    CommandSender::Scope command(m_sender);
    ::ResetLighting(m_state, Flags(), Port());
}

void CLightingPage::SwitchOffLighting() {
    CommandSender::Scope command(m_sender);
    ::SwitchOffLighting(Port());
}

void CLightingPage::StepAnimation() {
    // Every frame waits while a command is still waiting for the bus (it must go out first).
    if (!m_sender.FrameMayGo()) {
        return;
    }
    ::StepAnimation(m_state, Port());
    m_sender.SendFrame(m_state.TimerPeriod);
}

void CLightingPage::SetTimer(unsigned id, unsigned periodMs) {
    m_window.Window().SetTimer(id, periodMs);
}

void CLightingPage::KillTimer(unsigned id) {
    m_window.Window().KillTimer(id);
}

// ---- Controls ---------------------------------------------------------------------------------------------------

std::int32_t CLightingPage::ReadBox(int id) const {
    wchar_t text[64] = {};
    ::GetDlgItemTextW(m_window.Window().m_hWnd, id, text, static_cast<int>(std::size(text)));
    return StrToIntW(text);
}

void CLightingPage::ReadBoxes() {
    m_state.Shown.Boxes = {ReadBox(IDC_RED_BOX), ReadBox(IDC_GREEN_BOX), ReadBox(IDC_BLUE_BOX)};
}

void CLightingPage::ShowBoxes(ColourBoxValues boxes) {
    const std::int32_t values[] = {boxes.red, boxes.green, boxes.blue};
    for (std::size_t i = 0; i < kColourBoxIds.size(); ++i) {
        ::SetDlgItemInt(m_window.Window().m_hWnd, kColourBoxIds[i], static_cast<UINT>(values[i]), FALSE);
    }
    // Each box's change notification has read its number back already; the model holds what was written.
    m_state.Shown.Boxes = boxes;
}

void CLightingPage::SetPower(bool on) {
    m_state.PowerOn = on;
    m_window.Button(IDC_BTN_POWER).SetBitmaps(PowerImageOf(on), PowerImageOf(on), 0);
    m_window.Button(IDC_BTN_POWER).SetChecked(on);
}

void CLightingPage::ShowDefaultColour() {
    ShowBoxes({kDefaultColour[0], kDefaultColour[1], kDefaultColour[2]});
}

void CLightingPage::ShowModeButtonsApplyReset(bool show) {
    for (int id = IDC_BTN_MODE_FIRST; id <= IDC_BTN_MODE_LAST; ++id) {
        m_window.Button(id).ShowWindow(show ? SW_SHOW : SW_HIDE);
    }
    m_window.Button(IDC_BTN_APPLY).ShowWindow(show ? SW_SHOW : SW_HIDE);
    m_window.Button(IDC_BTN_RESET).ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CLightingPage::OnModeButton(int id) {
    m_state.Shown.SelectedMode = ModeOfButton(id);
    SetPower(true);
    m_window.ShowSelectedMode(m_state.Shown.SelectedMode);
}

void CLightingPage::OnSpeedButton(int id) {
    m_state.Shown.SpeedIndex = SpeedIndexOfButton(id);
    m_window.ShowSelectedSpeed(m_state.Shown.SpeedIndex);
}

void CLightingPage::OnApply() {
    LeaveDirect();
    m_state.CurrentMode = m_state.Shown.SelectedMode;
    m_state.SpeedValue = SpeedValueFor(m_state.Shown.SpeedIndex);
    ReadBoxes();
    ApplyLighting();
    Remember();
}

void CLightingPage::OnReset() {
    LeaveDirect();
    ResetLighting();
    ShowModeButtonsApplyReset(true);
    SetPower(true);
    m_window.ShowSelectedMode(m_state.Shown.SelectedMode);
    m_window.Window().Invalidate(false);
    Remember();
}

void CLightingPage::OnPowerToggle() {
    LeaveDirect();
    if (!m_state.PowerOn) {
        TurnOn();
    } else {
        TurnOff();
    }
}

void CLightingPage::TurnOn() {
    SetPower(true);
    ShowModeButtonsApplyReset(true);
    OnApply();
}

void CLightingPage::TurnOff() {
    SetPower(false);
    SwitchOffLighting();
    ShowModeButtonsApplyReset(false);
    Remember();
}

// ---- Remembered lighting and prismelctl's requests ------------------------------------------------------------------

void CLightingPage::Remember() {
    const LightingChoice now{m_state.CurrentMode, BytesOf(m_state.CurrentColor), m_state.SpeedValue, m_state.PowerOn};
    WriteRememberedLighting(m_settings, now, m_remembered);
}

void CLightingPage::ShowChoice(const LightingChoice& choice) {
    OnModeButton(IDC_BTN_MODE_FIRST + choice.mode - 1);
    OnSpeedButton(IDC_BTN_SPEED_FIRST + SpeedIndexOfStep(choice.speedStep));
    ShowBoxes({choice.colour[0], choice.colour[1], choice.colour[2]});
    m_state.Shown.WheelColour = ColourRefOf(choice.colour);
    m_window.Button(IDC_BTN_COLOUR_WHEEL).SetPickedColour(m_state.Shown.WheelColour);
    InvalidateHexText();
}

void CLightingPage::Start(bool restore, int moduleCount) {
    m_started = true;
    m_moduleCount = moduleCount;
    m_remembered = ReadRememberedLighting(m_settings);
    // The dark reasons first: a restore while the session is locked or at night goes out when darkness ends.
    m_darkSettings = ReadDarkSettings(m_settings);
    m_watch.Watch(m_darkSettings);
    const std::optional<LightingChoice> choice = restore ? PlanRestore(m_remembered, StartingChoice()) : std::nullopt;
    if (!choice) {
        return;
    }
    ShowChoice(*choice);
    if (choice->on) {
        TurnOn();
    } else {
        // Off as the toggle sends it; the mode stays chosen (not applied) for the toggle turning on again.
        TurnOff();
    }
}

void CLightingPage::ChooseAndTurnOn(std::int32_t mode, std::int32_t speedButton,
                                    const std::optional<std::array<std::uint8_t, 3>>& colour) {
    OnModeButton(IDC_BTN_MODE_FIRST + mode - 1);
    if (speedButton != 0) {
        OnSpeedButton(IDC_BTN_SPEED_FIRST + speedButton - 1);
    }
    if (colour) {
        ShowChoice({mode, *colour, SpeedValueFor(m_state.Shown.SpeedIndex), true});
    }
    TurnOn();
}

void CLightingPage::LoadLighting(const LightingChoice& lighting) {
    LeaveDirect();
    ShowChoice(lighting);
    if (lighting.on) {
        TurnOn();
    } else {
        TurnOff();
    }
}

LightingChoice CLightingPage::AppliedLighting() const {
    // Before anything was applied the modules run their own effect, which Prismel (and Reset) sends.
    const std::int32_t mode = m_state.CurrentMode != kModeNone ? m_state.CurrentMode : kModePrismel;
    return {mode, BytesOf(m_state.CurrentColor), m_state.SpeedValue, m_state.PowerOn};
}

HandOverStatus CLightingPage::Status() const {
    return StatusOf(m_state, Flags(), m_moduleCount);
}

void CLightingPage::OnColourWheel() {
    // The wheel took the colour under the cursor when it was pressed: the swatch and its text show it from now on.
    m_state.Shown.WheelColour = m_window.Button(IDC_BTN_COLOUR_WHEEL).GetPickedColor();
    std::optional<std::uint32_t> picked = WheelPick(m_state.Shown.WheelColour);
    if (!picked) {
        return;
    }
    FillSwatchNow(*picked);
    ShowBoxes(BoxesOf(*picked));
    InvalidateHexText();
}

void CLightingPage::OnColourBoxChange(int id) {
    ClampedBox box = ClampColourBox(ReadBox(id));
    if (box.writeBack) {
        ::SetDlgItemInt(m_window.Window().m_hWnd, id, static_cast<UINT>(box.value), FALSE);
    }
    // The box the user typed in: its number (as read, before clamping, as Apply would read it) joins the model.
    ColourBoxValues& boxes = m_state.Shown.Boxes;
    std::int32_t* const channel[] = {&boxes.red, &boxes.green, &boxes.blue};
    *channel[id - IDC_RED_BOX] = ReadBox(id);
    PreviewColor();
}

void CLightingPage::OnTimer(UINT_PTR id) {
    if (id == kLightingTimerId) {
        StepAnimation();
    } else if (id == kBusRetryTimerId) {
        m_sender.RetryPending();
    } else if (id == kResumeResendTimerId) {
        KillTimer(kResumeResendTimerId);
        ResendChoice();
    } else if (id == kDirectFrameTimerId && m_sender.DirectFrameDue()) {
        SendDirectFrame();
    } else {
        m_watch.OnTimer(id);
    }
}

void CLightingPage::OnPowerBroadcast(UINT event, const POWERBROADCAST_SETTING* setting) {
    m_watch.OnPowerEvent(event, setting);
    if (event == PBT_POWERSETTINGCHANGE) {
        return; // a setting the darkness watch asked for, not a power event of the PC
    }
    const bool resume = event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND;
    if (event == PBT_APMSUSPEND && m_darkSettings.asleep) {
        SetDarkReason(kDarkAsleep, true);
        return;
    }
    if (resume) {
        // Awake again: the resending below (and its second time later) brings the lighting back.
        m_darkness.Set(kDarkAsleep, false, m_state.PowerOn);
        m_window.ShowDarkness(m_darkness.Reasons());
    }
    ResendChoice();
    // Modules that wake on their power-up pattern may miss the first commands: once more a little later.
    if (resume) {
        m_window.Window().SetTimer(kResumeResendTimerId, kResumeResendDelayMs);
    }
}

void CLightingPage::ResendChoice() {
    if (!m_started) {
        return;
    }
    CommandSender::Scope command(m_sender);
    if (!m_state.PowerOn || m_darkness.Dark()) {
        // The modules may have woken with their own pattern: dark is sent as dark.
        ::SwitchOffLighting(m_sender);
    } else if (m_state.Direct) {
        m_sender.RgbI2cMode(kCommandSelect, kSelectFrames, 0, 0);
        for (std::int32_t k = 0; k < kLedCount; ++k) {
            ::SendLedColor(m_state, k, m_sender);
        }
    } else {
        ApplyLighting();
    }
}

// ---- Darkness ----------------------------------------------------------------------------------------------------

void CLightingPage::SetDarkReason(DarkReason reason, bool holds) {
    const DarkChange change = m_darkness.Set(reason, holds, m_state.PowerOn && m_started);
    if (change == DarkChange::GoDark) {
        // Really off, not a frozen frame: the animation stops and the off sequence goes out.
        CommandSender::Scope command(m_sender);
        ::SwitchOffLighting(m_sender);
    } else if (change == DarkChange::Restore) {
        RestoreChoice();
    }
    m_window.ShowDarkness(m_darkness.Reasons());
}

void CLightingPage::RestoreChoice() {
    CommandSender::Scope command(m_sender);
    if (m_state.Direct) {
        // A client's last Direct frame comes back.
        m_sender.RgbI2cMode(kCommandSelect, kSelectFrames, 0, 0);
        for (std::int32_t k = 0; k < kLedCount; ++k) {
            ::SendLedColor(m_state, k, m_sender);
        }
        return;
    }
    // What was last chosen: the applied mode with its speed and colour, whatever the boxes show since.
    ::ApplyLighting(m_state, Flags(), BoxesOf(m_state.CurrentColor), m_sender);
}

void CLightingPage::SetDarkRules(const DarkSettings& rules) {
    WriteDarkSettings(m_settings, rules, m_darkSettings);
    m_darkSettings = rules;
    if (!rules.asleep) {
        SetDarkReason(kDarkAsleep, false);
    }
    m_watch.Watch(rules);
}

void CLightingPage::SetLightsOffWhileAsleep(bool on) {
    DarkSettings rules = m_darkSettings;
    rules.asleep = on;
    SetDarkRules(rules);
}

// ---- An SDK client's requests -----------------------------------------------------------------------------------

void CLightingPage::ChooseAndApply(std::int32_t mode, std::int32_t speedIndex, std::optional<std::uint32_t> colour) {
    if (colour) {
        ShowBoxes(BoxesOf(*colour));
    }
    OnModeButton(IDC_BTN_MODE_FIRST + mode - 1);
    OnSpeedButton(IDC_BTN_SPEED_FIRST + speedIndex);
    ShowModeButtonsApplyReset(true);
    OnApply();
}

void CLightingPage::SwitchOffByToggle() {
    if (m_state.PowerOn) {
        OnPowerToggle();
    }
}

void CLightingPage::EnterDirect() {
    if (m_state.Direct) {
        return;
    }
    CommandSender::Scope command(m_sender);
    m_sender.StopLightingTimer();
    Port().RgbI2cMode(kCommandSelect, kSelectFrames, 0, 0);
    m_state.Direct = true;
    m_directFrame = m_state.LedColors;
    if (!m_state.PowerOn) {
        SetPower(true);
        ShowModeButtonsApplyReset(true);
    }
}

void CLightingPage::QueueDirectFrame(const std::array<LedColour, kLedCount>& leds, std::size_t first,
                                     std::size_t count) {
    CommandSender::Scope command(m_sender);
    EnterDirect();
    for (std::size_t k = first; k < first + count && k < kLedCount; ++k) {
        m_directFrame[k] = leds[k];
    }
    if (m_sender.OfferDirectFrame()) {
        SendDirectFrame();
    }
}

void CLightingPage::SendDirectFrame() {
    CommandSender::Scope command(m_sender);
    m_state.LedColors = m_directFrame;
    for (std::int32_t k = 0; k < kLedCount; ++k) {
        ::SendLedColor(m_state, k, Port());
    }
}

void CLightingPage::LeaveDirect() {
    m_sender.StopDirectFrames();
    m_state.Direct = false;
}

// ---- The swatch -------------------------------------------------------------------------------------------------

void CLightingPage::FillSwatch(HDC dc, std::uint32_t colour) const {
    fw::Brush brush(CreateSolidBrush(colour));
    if (brush) {
        const RECT swatch = ScaledRect(m_window.Scale(), kSwatch);
        FillRect(dc, &swatch, brush.Get());
    }
}

void CLightingPage::FillSwatchNow(std::uint32_t colour) const {
    fw::WindowDC dc(m_window.Window().m_hWnd);
    if (dc) {
        FillSwatch(dc.Get(), colour);
    }
}

void CLightingPage::PreviewColor() {
    if (m_window.ModuleInfoShowing()) {
        return;
    }
    const ColourBoxValues& boxes = m_state.Shown.Boxes;
    FillSwatchNow(ColourRefOf(boxes.red, boxes.green, boxes.blue));
}

void CLightingPage::Paint(HDC dc) {
    const std::uint32_t colour = m_state.Shown.WheelColour;
    FillSwatch(dc, colour);
    wchar_t text[16];
    int length = std::swprintf(text, std::size(text), L"#%02x%02x%02x", RedOf(colour), GreenOf(colour), BlueOf(colour));
    fw::SelectScope select(dc, m_window.Font(kFontText));
    SetTextColor(dc, SKIN_COLOUR_CONTROL_TEXT);
    SetBkMode(dc, TRANSPARENT);
    const SkinScale& scale = m_window.Scale();
    TextOutW(dc, scale.Px(SKIN_HEX_TEXT_X), scale.Px(SKIN_HEX_TEXT_Y), text, length > 0 ? length : 0);
}

void CLightingPage::InvalidateHexText() const {
    const RECT hexText = ScaledRect(m_window.Scale(), kHexText);
    ::InvalidateRect(m_window.Window().m_hWnd, &hexText, TRUE);
}

// ---- The colour boxes -------------------------------------------------------------------------------------------

void CLightingPage::PlaceColourBoxes() {
    const SkinScale& scale = m_window.Scale();
    for (const auto& [id, x] : {std::pair{IDC_RED_BOX, SKIN_RED_BOX_X}, std::pair{IDC_GREEN_BOX, SKIN_GREEN_BOX_X},
                                std::pair{IDC_BLUE_BOX, SKIN_BLUE_BOX_X}}) {
        HWND box = ::GetDlgItem(m_window.Window().m_hWnd, id);
        const LONG_PTR style = GetWindowLongPtrW(box, GWL_STYLE);
        const LONG_PTR exStyle = GetWindowLongPtrW(box, GWL_EXSTYLE);
        if ((style & WS_BORDER) || (exStyle & WS_EX_CLIENTEDGE)) {
            SetWindowLongPtrW(box, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_BORDER));
            SetWindowLongPtrW(box, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
            SetWindowPos(box, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        // As high as a line of its font, in the middle of its place, so that the number sits centred in the well.
        const SkinRect place = scale.Rect({x, SKIN_COLOUR_BOX_Y, SKIN_COLOUR_BOX_W, SKIN_COLOUR_BOX_H});
        int height = place.h;
        fw::WindowDC dc(box);
        TEXTMETRICW metrics{};
        if (HFONT font = reinterpret_cast<HFONT>(::SendMessageW(box, WM_GETFONT, 0, 0)); dc && font) {
            fw::SelectScope select(dc.Get(), font);
            if (GetTextMetricsW(dc.Get(), &metrics)) {
                height = std::min(place.h, static_cast<int>(metrics.tmHeight) + scale.Px(2));
            }
        }
        ::SendMessageW(box, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(scale.Px(4), scale.Px(4)));
        ::MoveWindow(box, place.x, place.y + (place.h - height) / 2, place.w, height, TRUE);
    }
}

HBRUSH CLightingPage::ColourBoxColours(HDC dc, int id) {
    if (!IsColourBox(id)) {
        return nullptr;
    }
    if (!m_colourBoxBrush) {
        m_colourBoxBrush.Reset(CreateSolidBrush(SKIN_COLOUR_WELL));
    }
    SetTextColor(dc, SKIN_COLOUR_BRIGHT_TEXT);
    SetBkColor(dc, SKIN_COLOUR_WELL);
    return m_colourBoxBrush.Get();
}
