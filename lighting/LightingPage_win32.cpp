#include "lighting/LightingPage_win32.h"

#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <utility>
#include <variant>

#include "base/SettingsStore_win32.h"
#include "framework/Gdi.h"
#include "memory/SmbusLibrary_win32.h"
#include "base/SkinScale_win32.h"
#include "skin/VxButton_win32.h"

namespace {

constexpr RECT kSwatch{SKIN_SWATCH_LEFT, SKIN_SWATCH_TOP, SKIN_SWATCH_RIGHT, SKIN_SWATCH_BOTTOM};
constexpr RECT kHexText{SKIN_HEX_TEXT_LEFT, SKIN_HEX_TEXT_TOP, SKIN_HEX_TEXT_RIGHT, SKIN_HEX_TEXT_BOTTOM};
// How long the answer to prismelctl may take to be taken.
constexpr UINT kHandOverAnswerMs = 2000;

SmbusFlags Flags() {
    return SmbusLibrary().Flags();
}

ColourBoxValues BoxesOf(std::uint32_t colour) {
    return {static_cast<std::int32_t>(GetRValue(colour)), static_cast<std::int32_t>(GetGValue(colour)),
            static_cast<std::int32_t>(GetBValue(colour))};
}

} // namespace

// ---- The command sequences, with the boxes and the flags read here --------------------------------------------
// Each sequence's library calls are gathered into one batch and sent with the shared bus held (CommandScope).

CLightingPage::CommandScope::CommandScope(CLightingPage& page) : m_page(page) {
    ++m_page.m_commandDepth;
}

CLightingPage::CommandScope::~CommandScope() {
    if (--m_page.m_commandDepth == 0) {
        m_page.SendCommand();
    }
}

void CLightingPage::ApplyLighting() {
    CommandScope command(*this);
    ::ApplyLighting(m_state, Flags(), m_state.Boxes, *this);
}

void CLightingPage::ResetLighting() {
    CommandScope command(*this);
    ::ResetLighting(m_state, Flags(), *this);
}

void CLightingPage::SwitchOffLighting() {
    CommandScope command(*this);
    ::SwitchOffLighting(*this);
}

void CLightingPage::StepAnimation() {
    // A frame waits only for part of its period; a frame that cannot get the bus by then is skipped, and so is
    // every frame while a command is still waiting for the bus (it must go out first).
    if (!m_pending.empty()) {
        return;
    }
    ::StepAnimation(m_state, *this);
    const DWORD slot = static_cast<DWORD>(std::clamp(m_state.TimerPeriod / 2, 1, kFrameBusWaitMs));
    if (const CBusMutex::Hold bus = SmbusLibrary().Bus().Take(slot)) {
        SendBatch(m_batch);
    }
    m_batch.clear();
}

void CLightingPage::SendLedColor(std::int32_t k) {
    CommandScope command(*this);
    ::SendLedColor(m_state, k, *this);
}

void CLightingPage::RgbI2cMode(std::uint8_t command, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    m_batch.push_back({false, command, a, b, c, 0, 0});
}

void CLightingPage::SetZorvaEffect(std::uint8_t mode, std::uint16_t speed, std::uint8_t zero, std::uint32_t argb) {
    m_batch.push_back({true, mode, zero, 0, 0, speed, argb});
}

void CLightingPage::SendBatch(const std::vector<BusCall>& calls) {
    const CSmbusLibrary& library = SmbusLibrary();
    for (const BusCall& call : calls) {
        if (call.effect) {
            library.SetZorvaEffect(call.a, call.speed, call.b, call.argb);
        } else {
            library.RgbI2cMode(call.a, call.b, call.c, call.d);
        }
    }
}

void CLightingPage::SendCommand() {
    if (m_batch.empty()) {
        return;
    }
    MergePending(m_pending, m_batch);
    m_batch.clear();
    SendPending();
}

void CLightingPage::SendPending() {
    if (const CBusMutex::Hold bus = SmbusLibrary().Bus().Take(kCommandBusWaitMs)) {
        SendBatch(m_pending);
        m_pending.clear();
        m_window.Window().KillTimer(kBusRetryTimerId);
        return;
    }
    // The bus is busy: the window goes on answering, and the command goes out as soon as the bus is free.
    m_window.Window().SetTimer(kBusRetryTimerId, kBusRetryPeriodMs);
}

void CLightingPage::StartLightingTimer(std::int32_t periodMs) {
    m_window.Window().SetTimer(kLightingTimerId, static_cast<UINT>(periodMs));
}

void CLightingPage::StopLightingTimer() {
    m_window.Window().KillTimer(kLightingTimerId);
}

// ---- Controls ---------------------------------------------------------------------------------------------------

std::int32_t CLightingPage::ReadBox(int id) const {
    wchar_t text[64] = {};
    ::GetDlgItemTextW(m_window.Window().m_hWnd, id, text, static_cast<int>(std::size(text)));
    return StrToIntW(text);
}

void CLightingPage::ReadBoxes() {
    m_state.Boxes = {ReadBox(IDC_RED_BOX), ReadBox(IDC_GREEN_BOX), ReadBox(IDC_BLUE_BOX)};
}

void CLightingPage::ShowBoxes(ColourBoxValues boxes) {
    const std::int32_t values[] = {boxes.red, boxes.green, boxes.blue};
    for (std::size_t i = 0; i < kColourBoxIds.size(); ++i) {
        ::SetDlgItemInt(m_window.Window().m_hWnd, kColourBoxIds[i], static_cast<UINT>(values[i]), FALSE);
    }
    // Each box's change notification has read its number back already; the model holds what was written.
    m_state.Boxes = boxes;
}

void CLightingPage::SetPower(bool on) {
    m_state.PowerOn = on;
    m_window.Button(IDC_BTN_POWER).SetBitmaps(PowerImageOf(on), PowerImageOf(on), 0);
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
    m_state.SelectedMode = ModeOfButton(id);
    SetPower(true);
    m_window.ShowSelectedMode(m_state.SelectedMode);
}

void CLightingPage::OnSpeedButton(int id) {
    m_state.SpeedIndex = SpeedIndexOfButton(id);
    m_window.ShowSelectedSpeed(m_state.SpeedIndex);
}

void CLightingPage::OnApply() {
    LeaveDirect();
    m_state.CurrentMode = m_state.SelectedMode;
    m_state.SpeedValue = SpeedValueFor(m_state.SpeedIndex);
    ReadBoxes();
    ApplyLighting();
    Remember();
}

void CLightingPage::OnReset() {
    LeaveDirect();
    ResetLighting();
    ShowModeButtonsApplyReset(true);
    SetPower(true);
    m_window.ShowSelectedMode(m_state.SelectedMode);
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
    const ColourBoxValues& boxes = m_state.Boxes;
    const LightingChoice now{m_state.CurrentMode,
                             {static_cast<std::uint8_t>(boxes.red & 0xFF),
                              static_cast<std::uint8_t>(boxes.green & 0xFF),
                              static_cast<std::uint8_t>(boxes.blue & 0xFF)},
                             m_state.SpeedValue,
                             m_state.PowerOn};
    CRegistrySettings registry;
    WriteRememberedLighting(registry, now, m_remembered);
}

void CLightingPage::ShowChoice(const LightingChoice& choice) {
    OnModeButton(IDC_BTN_MODE_FIRST + choice.mode - 1);
    OnSpeedButton(IDC_BTN_SPEED_FIRST + SpeedIndexOfStep(choice.speedStep));
    ShowBoxes({choice.colour[0], choice.colour[1], choice.colour[2]});
    m_window.Button(IDC_BTN_COLOUR_WHEEL)
        .SetPickedColour(ColourRefOf(choice.colour[0], choice.colour[1], choice.colour[2]));
    InvalidateHexText();
}

void CLightingPage::StartWithRememberedLighting(bool restore) {
    CRegistrySettings registry;
    m_remembered = ReadRememberedLighting(registry);
    m_lightsOffWhileAsleep = ReadStoredDword(registry, kLightsOffWhileAsleepValue).value_or(0) != 0;
    ::ChangeWindowMessageFilterEx(m_window.Window().m_hWnd, WM_COPYDATA, MSGFLT_ALLOW, nullptr);
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

void CLightingPage::ApplyRequest(const HandOverRequest& request) {
    switch (request.command) {
    case HandOverCommand::Mode:
        OnModeButton(IDC_BTN_MODE_FIRST + request.mode - 1);
        if (request.speed != 0) {
            OnSpeedButton(IDC_BTN_SPEED_FIRST + request.speed - 1);
        }
        if (request.hasColour) {
            LightingChoice shown{request.mode, request.colour, SpeedValueFor(m_state.SpeedIndex), true};
            ShowChoice(shown);
        }
        TurnOn();
        break;
    case HandOverCommand::On:
        TurnOn();
        break;
    case HandOverCommand::Off:
        TurnOff();
        break;
    case HandOverCommand::Reset:
        OnReset();
        break;
    case HandOverCommand::Status:
        break;
    }
}

HandOverStatus CLightingPage::Status() const {
    const int modules = m_window.ModuleCount();
    HandOverStatus status;
    status.mode = static_cast<std::uint8_t>(m_state.CurrentMode);
    status.speed = static_cast<std::uint8_t>(SpeedIndexOfStep(m_state.SpeedValue) + 1);
    status.colour = {static_cast<std::uint8_t>(m_state.CurrentColor & 0xFFu),
                     static_cast<std::uint8_t>((m_state.CurrentColor >> 8) & 0xFFu),
                     static_cast<std::uint8_t>((m_state.CurrentColor >> 16) & 0xFFu)};
    status.on = m_state.PowerOn;
    status.useRgbI2cMode = Flags().useRgbI2cMode;
    status.useSetZorvaEffect = Flags().useSetZorvaEffect;
    status.modules = static_cast<std::uint8_t>(modules > 0 && modules <= kMaxModules ? modules : 0);
    return status;
}

LRESULT CLightingPage::OnHandOver(WPARAM sender, LPARAM data) {
    const auto* message = reinterpret_cast<const COPYDATASTRUCT*>(data);
    if (!message || message->dwData != kHandOverRequestTag || !message->lpData) {
        return 0;
    }
    const auto decoded = DecodeRequest({static_cast<const std::uint8_t*>(message->lpData), message->cbData});
    const auto* request = std::get_if<HandOverRequest>(&decoded);
    if (!request) {
        return 0;
    }
    ApplyRequest(*request);
    // The answer goes to the caller's window, if it named one; a caller that does not answer is not waited for.
    HWND caller = reinterpret_cast<HWND>(sender);
    if (caller && ::IsWindow(caller)) {
        const StatusBytes status = EncodeStatus(Status());
        COPYDATASTRUCT answer{kHandOverStatusTag, static_cast<DWORD>(status.size()),
                              const_cast<std::uint8_t*>(status.data())};
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(caller, WM_COPYDATA, reinterpret_cast<WPARAM>(m_window.Window().m_hWnd),
                              reinterpret_cast<LPARAM>(&answer), SMTO_ABORTIFHUNG | SMTO_BLOCK, kHandOverAnswerMs,
                              &ignored);
    }
    return kHandOverTaken;
}

void CLightingPage::OnColourWheel() {
    std::optional<std::uint32_t> picked = WheelPick(m_window.Button(IDC_BTN_COLOUR_WHEEL).GetPickedColor());
    if (!picked) {
        return;
    }
    FillSwatchNow(*picked);
    m_state.CurrentColor = *picked;
    ShowBoxes(BoxesOf(*picked));
    InvalidateHexText();
}

void CLightingPage::OnColourBoxChange(int id) {
    ClampedBox box = ClampColourBox(ReadBox(id));
    if (box.writeBack) {
        ::SetDlgItemInt(m_window.Window().m_hWnd, id, static_cast<UINT>(box.value), FALSE);
    }
    // The box the user typed in: its number (as read, before clamping, as Apply would read it) joins the model.
    std::int32_t* const channel[] = {&m_state.Boxes.red, &m_state.Boxes.green, &m_state.Boxes.blue};
    *channel[id - IDC_RED_BOX] = ReadBox(id);
    PreviewColor();
}

void CLightingPage::OnTimer(WPARAM id) {
    if (id == kLightingTimerId) {
        StepAnimation();
    } else if (id == kBusRetryTimerId) {
        SendPending();
    } else if (id == kResumeResendTimerId) {
        m_window.Window().KillTimer(kResumeResendTimerId);
        ResendChoice();
    } else if (id == kDirectFrameTimerId) {
        if (m_framePending) {
            SendDirectFrame();
        } else {
            m_window.Window().KillTimer(kDirectFrameTimerId);
            m_directTimerRunning = false;
        }
    }
}

void CLightingPage::OnPowerBroadcast(WPARAM event) {
    if (event == PBT_APMSUSPEND && m_lightsOffWhileAsleep) {
        SwitchOffLighting();
        return;
    }
    ResendChoice();
    // Modules that wake on their power-up pattern may miss the first commands: once more a little later.
    if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) {
        m_window.Window().SetTimer(kResumeResendTimerId, kResumeResendDelayMs);
    }
}

void CLightingPage::ResendChoice() {
    CommandScope command(*this);
    if (!m_state.PowerOn) {
        SwitchOffLighting();
    } else if (m_direct) {
        RgbI2cMode(kCommandSelect, kSelectFrames, 0, 0);
        for (std::int32_t k = 0; k < kLedCount; ++k) {
            SendLedColor(k);
        }
    } else {
        ApplyLighting();
    }
}

void CLightingPage::SetLightsOffWhileAsleep(bool on) {
    m_lightsOffWhileAsleep = on;
    CRegistrySettings registry;
    registry.WriteDword(kLightsOffWhileAsleepValue, on ? 1u : 0u);
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
    if (m_direct) {
        return;
    }
    CommandScope command(*this);
    StopLightingTimer();
    RgbI2cMode(kCommandSelect, kSelectFrames, 0, 0);
    m_direct = true;
    m_pendingFrame = m_state.LedColors;
    if (!m_state.PowerOn) {
        SetPower(true);
        ShowModeButtonsApplyReset(true);
    }
}

void CLightingPage::QueueDirectFrame(const std::array<LedColour, kLedCount>& leds, std::size_t first,
                                     std::size_t count) {
    CommandScope command(*this);
    EnterDirect();
    for (std::size_t k = first; k < first + count && k < kLedCount; ++k) {
        m_pendingFrame[k] = leds[k];
    }
    m_framePending = true;
    if (!m_directTimerRunning) {
        SendDirectFrame();
        m_window.Window().SetTimer(kDirectFrameTimerId, static_cast<UINT>(kDirectFramePeriodMs));
        m_directTimerRunning = true;
    }
}

void CLightingPage::SendDirectFrame() {
    CommandScope command(*this);
    m_framePending = false;
    m_state.LedColors = m_pendingFrame;
    for (std::int32_t k = 0; k < kLedCount; ++k) {
        SendLedColor(k);
    }
}

void CLightingPage::LeaveDirect() {
    if (m_directTimerRunning) {
        m_window.Window().KillTimer(kDirectFrameTimerId);
        m_directTimerRunning = false;
    }
    m_direct = false;
    m_framePending = false;
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
    FillSwatchNow(BoxColour());
}

void CLightingPage::Paint(HDC dc) {
    std::uint32_t colour = m_window.Button(IDC_BTN_COLOUR_WHEEL).GetPickedColor();
    FillSwatch(dc, colour);
    wchar_t text[16];
    int length =
        std::swprintf(text, std::size(text), L"#%02x%02x%02x", GetRValue(colour), GetGValue(colour), GetBValue(colour));
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
