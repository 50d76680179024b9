#include "lighting/LightingPage_win32.h"

#include <shlwapi.h>

#include <cwchar>
#include <optional>
#include <variant>

#include "app/SettingsStore_win32.h"
#include "app/TessaroHDApp_win32.h"
#include "framework/Gdi.h"
#include "lighting/TessaroHDDlg_win32.h"
#include "memory/SmbusLibrary_win32.h"

namespace {

constexpr RECT kSwatch{SKIN_SWATCH_LEFT, SKIN_SWATCH_TOP, SKIN_SWATCH_RIGHT, SKIN_SWATCH_BOTTOM};
constexpr RECT kHexText{SKIN_HEX_TEXT_LEFT, SKIN_HEX_TEXT_TOP, SKIN_HEX_TEXT_RIGHT, SKIN_HEX_TEXT_BOTTOM};
// How long the answer to prismelctl may take to be taken.
constexpr UINT kHandOverAnswerMs = 2000;

SmbusFlags Flags() {
    return {UseRGBI2CMode, UseSetZorvaEffect};
}

} // namespace

// ---- The command sequences, with the boxes and the flags read here --------------------------------------------

void CLightingPage::ApplyLighting() {
    ::ApplyLighting(m_state, Flags(), ReadBoxes(), *this);
}

void CLightingPage::ResetLighting() {
    ::ResetLighting(m_state, Flags(), *this);
}

void CLightingPage::SwitchOffLighting() {
    ::SwitchOffLighting(*this);
}

void CLightingPage::StepAnimation() {
    ::StepAnimation(m_state, *this);
}

void CLightingPage::SendLedColor(std::int32_t k) {
    ::SendLedColor(m_state, k, *this);
}

void CLightingPage::RgbI2cMode(std::uint8_t command, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    SmbusLibrary().RgbI2cMode(command, a, b, c);
}

void CLightingPage::SetZorvaEffect(std::uint8_t mode, std::uint16_t speed, std::uint8_t zero, std::uint32_t argb) {
    SmbusLibrary().SetZorvaEffect(mode, speed, zero, argb);
}

void CLightingPage::StartLightingTimer(std::int32_t periodMs) {
    m_dialog.SetTimer(kLightingTimerId, static_cast<UINT>(periodMs));
}

void CLightingPage::StopLightingTimer() {
    m_dialog.KillTimer(kLightingTimerId);
}

// ---- Controls ---------------------------------------------------------------------------------------------------

std::int32_t CLightingPage::ReadBox(int id) const {
    wchar_t text[64] = {};
    ::GetDlgItemTextW(m_dialog.m_hWnd, id, text, static_cast<int>(std::size(text)));
    return StrToIntW(text);
}

ColourBoxValues CLightingPage::ReadBoxes() const {
    return {ReadBox(IDC_RED_BOX), ReadBox(IDC_GREEN_BOX), ReadBox(IDC_BLUE_BOX)};
}

int CLightingPage::PowerImage() const {
    int normal = 0;
    m_dialog.Button(IDC_BTN_POWER).GetBitmaps(&normal, nullptr, nullptr);
    return normal;
}

bool CLightingPage::PowerOn() const {
    return PowerIsOn(PowerImage());
}

void CLightingPage::SetPowerImage(int image) const {
    m_dialog.Button(IDC_BTN_POWER).SetBitmaps(image, image, 0);
}

void CLightingPage::ShowDefaultColour() const {
    for (std::size_t i = 0; i < kColourBoxIds.size(); ++i) {
        ::SetDlgItemInt(m_dialog.m_hWnd, kColourBoxIds[i], static_cast<UINT>(kDefaultColour[i]), FALSE);
    }
}

void CLightingPage::ShowModeButtonsApplyReset(bool show) const {
    for (int id = IDC_BTN_MODE_FIRST; id <= IDC_BTN_MODE_LAST; ++id) {
        m_dialog.Button(id).ShowWindow(show ? SW_SHOW : SW_HIDE);
    }
    m_dialog.Button(IDC_BTN_APPLY).ShowWindow(show ? SW_SHOW : SW_HIDE);
    m_dialog.Button(IDC_BTN_RESET).ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CLightingPage::ShowModeSelection() const {
    for (const ButtonImages& images : ModeButtonImages(m_state.SelectedMode)) {
        m_dialog.Button(images.id).SetBitmaps(images.normal, images.hot, 0);
    }
}

void CLightingPage::OnModeButton(int id) {
    m_state.SelectedMode = ModeOfButton(id);
    SetPowerImage(IDB_POWER_ON);
    ShowModeSelection();
}

void CLightingPage::OnSpeedButton(int id) {
    m_state.SpeedIndex = SpeedIndexOfButton(id);
    for (const ButtonImages& images : SpeedButtonImages(m_state.SpeedIndex)) {
        m_dialog.Button(images.id).SetBitmaps(images.normal, images.hot, 0);
    }
}

void CLightingPage::OnApply() {
    LeaveDirect();
    m_state.CurrentMode = m_state.SelectedMode;
    m_state.SpeedValue = SpeedValueFor(m_state.SpeedIndex);
    ApplyLighting();
    Remember();
}

void CLightingPage::OnReset() {
    LeaveDirect();
    ResetLighting();
    ShowModeButtonsApplyReset(true);
    SetPowerImage(IDB_POWER_ON);
    ShowModeSelection();
    m_dialog.Invalidate(false);
    Remember();
}

void CLightingPage::OnPowerToggle() {
    LeaveDirect();
    if (PowerIsOn(PowerImageAfterClick(PowerImage()))) {
        TurnOn();
    } else {
        TurnOff();
    }
}

void CLightingPage::TurnOn() {
    SetPowerImage(IDB_POWER_ON);
    ShowModeButtonsApplyReset(true);
    OnApply();
}

void CLightingPage::TurnOff() {
    SetPowerImage(IDB_POWER_OFF);
    SwitchOffLighting();
    ShowModeButtonsApplyReset(false);
    Remember();
}

// ---- Remembered lighting and prismelctl's requests ------------------------------------------------------------------

void CLightingPage::Remember() {
    const ColourBoxValues boxes = ReadBoxes();
    const LightingChoice now{m_state.CurrentMode,
                             {static_cast<std::uint8_t>(boxes.red & 0xFF),
                              static_cast<std::uint8_t>(boxes.green & 0xFF),
                              static_cast<std::uint8_t>(boxes.blue & 0xFF)},
                             m_state.SpeedValue,
                             PowerOn()};
    CRegistrySettings registry;
    WriteRememberedLighting(registry, now, m_remembered);
}

void CLightingPage::ShowChoice(const LightingChoice& choice) {
    OnModeButton(IDC_BTN_MODE_FIRST + choice.mode - 1);
    OnSpeedButton(IDC_BTN_SPEED_FIRST + SpeedIndexOfStep(choice.speedStep));
    for (std::size_t i = 0; i < kColourBoxIds.size(); ++i) {
        ::SetDlgItemInt(m_dialog.m_hWnd, kColourBoxIds[i], choice.colour[i], FALSE);
    }
    m_dialog.Button(IDC_BTN_COLOUR_WHEEL)
        .SetPickedColor(ColorRefOf(choice.colour[0], choice.colour[1], choice.colour[2]));
    ::InvalidateRect(m_dialog.m_hWnd, &kHexText, TRUE);
}

void CLightingPage::StartWithRememberedLighting(bool restore) {
    CRegistrySettings registry;
    m_remembered = ReadRememberedLighting(registry);
    ::ChangeWindowMessageFilterEx(m_dialog.m_hWnd, WM_COPYDATA, MSGFLT_ALLOW, nullptr);
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
    const LRESULT modules = ::SendDlgItemMessageW(m_dialog.m_hWnd, IDC_SHADOW_MODULE_LIST, CB_GETCOUNT, 0, 0);
    HandOverStatus status;
    status.mode = static_cast<std::uint8_t>(m_state.CurrentMode);
    status.speed = static_cast<std::uint8_t>(SpeedIndexOfStep(m_state.SpeedValue) + 1);
    status.colour = {static_cast<std::uint8_t>(m_state.CurrentColor & 0xFFu),
                     static_cast<std::uint8_t>((m_state.CurrentColor >> 8) & 0xFFu),
                     static_cast<std::uint8_t>((m_state.CurrentColor >> 16) & 0xFFu)};
    status.on = PowerOn();
    status.useRgbI2cMode = UseRGBI2CMode;
    status.useSetZorvaEffect = UseSetZorvaEffect;
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
        ::SendMessageTimeoutW(caller, WM_COPYDATA, reinterpret_cast<WPARAM>(m_dialog.m_hWnd),
                              reinterpret_cast<LPARAM>(&answer), SMTO_ABORTIFHUNG | SMTO_BLOCK, kHandOverAnswerMs,
                              &ignored);
    }
    return kHandOverTaken;
}

void CLightingPage::OnColourWheel() {
    std::optional<std::uint32_t> picked = WheelPick(m_dialog.Button(IDC_BTN_COLOUR_WHEEL).GetPickedColor());
    if (!picked) {
        return;
    }
    FillSwatchNow(*picked);
    m_state.CurrentColor = *picked;
    const std::uint32_t channels[] = {GetRValue(*picked), GetGValue(*picked), GetBValue(*picked)};
    for (std::size_t i = 0; i < kColourBoxIds.size(); ++i) {
        ::SetDlgItemInt(m_dialog.m_hWnd, kColourBoxIds[i], channels[i], FALSE);
    }
    ::InvalidateRect(m_dialog.m_hWnd, &kHexText, TRUE);
}

void CLightingPage::OnColourBoxChange(int id) {
    ClampedBox box = ClampColourBox(ReadBox(id));
    if (box.writeBack) {
        ::SetDlgItemInt(m_dialog.m_hWnd, id, static_cast<UINT>(box.value), FALSE);
    }
    PreviewColor();
}

void CLightingPage::OnTimer(WPARAM id) {
    if (id == kLightingTimerId) {
        StepAnimation();
    } else if (id == kDirectFrameTimerId) {
        if (m_framePending) {
            SendDirectFrame();
        } else {
            m_dialog.KillTimer(kDirectFrameTimerId);
            m_directTimerRunning = false;
        }
    }
}

void CLightingPage::OnPowerBroadcast(WPARAM) {
    ApplyLighting();
}

// ---- An SDK client's requests -----------------------------------------------------------------------------------

std::uint32_t CLightingPage::BoxColour() const {
    ColourBoxValues boxes = ReadBoxes();
    return ColorRefOf(boxes.red, boxes.green, boxes.blue);
}

void CLightingPage::ChooseAndApply(std::int32_t mode, std::int32_t speedIndex, std::optional<std::uint32_t> colour) {
    if (colour) {
        const std::uint32_t channels[] = {GetRValue(*colour), GetGValue(*colour), GetBValue(*colour)};
        for (std::size_t i = 0; i < kColourBoxIds.size(); ++i) {
            ::SetDlgItemInt(m_dialog.m_hWnd, kColourBoxIds[i], channels[i], FALSE);
        }
    }
    OnModeButton(IDC_BTN_MODE_FIRST + mode - 1);
    OnSpeedButton(IDC_BTN_SPEED_FIRST + speedIndex);
    ShowModeButtonsApplyReset(true);
    OnApply();
}

void CLightingPage::SwitchOffByToggle() {
    if (PowerOn()) {
        OnPowerToggle();
    }
}

void CLightingPage::EnterDirect() {
    if (m_direct) {
        return;
    }
    StopLightingTimer();
    RgbI2cMode(kCommandSelect, kSelectFrames, 0, 0);
    m_direct = true;
    m_pendingFrame = m_state.LedColors;
    if (!PowerOn()) {
        SetPowerImage(IDB_POWER_ON);
        ShowModeButtonsApplyReset(true);
    }
}

void CLightingPage::QueueDirectFrame(const std::array<LedColor, kLedCount>& leds, std::size_t first,
                                     std::size_t count) {
    EnterDirect();
    for (std::size_t k = first; k < first + count && k < kLedCount; ++k) {
        m_pendingFrame[k] = leds[k];
    }
    m_framePending = true;
    if (!m_directTimerRunning) {
        SendDirectFrame();
        m_dialog.SetTimer(kDirectFrameTimerId, static_cast<UINT>(kDirectFramePeriodMs));
        m_directTimerRunning = true;
    }
}

void CLightingPage::SendDirectFrame() {
    m_framePending = false;
    m_state.LedColors = m_pendingFrame;
    for (std::int32_t k = 0; k < kLedCount; ++k) {
        SendLedColor(k);
    }
}

void CLightingPage::LeaveDirect() {
    if (m_directTimerRunning) {
        m_dialog.KillTimer(kDirectFrameTimerId);
        m_directTimerRunning = false;
    }
    m_direct = false;
    m_framePending = false;
}

// ---- The swatch -------------------------------------------------------------------------------------------------

void CLightingPage::FillSwatch(HDC dc, std::uint32_t colour) const {
    fw::Brush brush(CreateSolidBrush(colour));
    if (brush) {
        FillRect(dc, &kSwatch, brush.Get());
    }
}

void CLightingPage::FillSwatchNow(std::uint32_t colour) const {
    fw::WindowDC dc(m_dialog.m_hWnd);
    if (dc) {
        FillSwatch(dc.Get(), colour);
    }
}

void CLightingPage::PreviewColor() {
    if (g_moduleInfoPage) {
        return;
    }
    ColourBoxValues boxes = ReadBoxes();
    FillSwatchNow(ColorRefOf(boxes.red, boxes.green, boxes.blue));
}

void CLightingPage::Paint(HDC dc) {
    std::uint32_t colour = m_dialog.Button(IDC_BTN_COLOUR_WHEEL).GetPickedColor();
    FillSwatch(dc, colour);
    wchar_t text[16];
    int length =
        std::swprintf(text, std::size(text), L"#%02x%02x%02x", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    fw::SelectScope select(dc, AppFont(kFontText));
    SetTextColor(dc, SKIN_COLOUR_CONTROL_TEXT);
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, SKIN_HEX_TEXT_X, SKIN_HEX_TEXT_Y, text, length > 0 ? length : 0);
}
