#include "lighting/LightingPage_win32.h"

#include <shlwapi.h>

#include <cwchar>
#include <optional>

#include "app/TessaroHDApp_win32.h"
#include "framework/Gdi.h"
#include "lighting/TessaroHDDlg_win32.h"
#include "memory/SmbusLibrary_win32.h"

namespace {

constexpr int kColourBoxes[] = {IDC_RED_BOX, IDC_GREEN_BOX, IDC_BLUE_BOX};
constexpr RECT kSwatch{SKIN_SWATCH_LEFT, SKIN_SWATCH_TOP, SKIN_SWATCH_RIGHT, SKIN_SWATCH_BOTTOM};
constexpr RECT kHexText{SKIN_HEX_TEXT_LEFT, SKIN_HEX_TEXT_TOP, SKIN_HEX_TEXT_RIGHT, SKIN_HEX_TEXT_BOTTOM};

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

bool CLightingPage::PowerOn() const {
    int normal = 0;
    m_dialog.Button(IDC_BTN_POWER).GetBitmaps(&normal, nullptr, nullptr);
    return PowerIsOn(normal);
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

LRESULT CLightingPage::OnModeButton(WORD, WORD id, HWND, bool&) {
    m_state.SelectedMode = ModeOfButton(id);
    m_dialog.Button(IDC_BTN_POWER).SetBitmaps(IDB_POWER_ON, IDB_POWER_ON, 0);
    ShowModeSelection();
    return 0;
}

LRESULT CLightingPage::OnSpeedButton(WORD, WORD id, HWND, bool&) {
    m_state.SpeedIndex = SpeedIndexOfButton(id);
    for (const ButtonImages& images : SpeedButtonImages(m_state.SpeedIndex)) {
        m_dialog.Button(images.id).SetBitmaps(images.normal, images.hot, 0);
    }
    return 0;
}

LRESULT CLightingPage::OnApply(WORD, WORD, HWND, bool&) {
    m_state.CurrentMode = m_state.SelectedMode;
    m_state.SpeedValue = SpeedValueFor(m_state.SpeedIndex);
    ApplyLighting();
    return 0;
}

LRESULT CLightingPage::OnReset(WORD, WORD, HWND, bool&) {
    ResetLighting();
    ShowModeButtonsApplyReset(true);
    m_dialog.Button(IDC_BTN_POWER).SetBitmaps(IDB_POWER_ON, IDB_POWER_ON, 0);
    ShowModeSelection();
    m_dialog.Invalidate(false);
    return 0;
}

LRESULT CLightingPage::OnPowerToggle(WORD, WORD, HWND, bool&) {
    int normal = 0;
    m_dialog.Button(IDC_BTN_POWER).GetBitmaps(&normal, nullptr, nullptr);
    int next = PowerImageAfterClick(normal);
    m_dialog.Button(IDC_BTN_POWER).SetBitmaps(next, next, 0);
    if (PowerIsOn(next)) {
        ShowModeButtonsApplyReset(true);
        m_state.CurrentMode = m_state.SelectedMode;
        m_state.SpeedValue = SpeedValueFor(m_state.SpeedIndex);
        ApplyLighting();
    } else {
        SwitchOffLighting();
        ShowModeButtonsApplyReset(false);
    }
    return 0;
}

LRESULT CLightingPage::OnColourWheel(WORD, WORD, HWND, bool&) {
    std::optional<std::uint32_t> picked = WheelPick(m_dialog.Button(IDC_BTN_COLOUR_WHEEL).GetPickedColor());
    if (!picked) {
        return 0;
    }
    FillSwatchNow(*picked);
    m_state.CurrentColor = *picked;
    const std::uint32_t channels[] = {GetRValue(*picked), GetGValue(*picked), GetBValue(*picked)};
    for (int i = 0; i < 3; ++i) {
        ::SetDlgItemInt(m_dialog.m_hWnd, kColourBoxes[i], channels[i], FALSE);
    }
    ::InvalidateRect(m_dialog.m_hWnd, &kHexText, TRUE);
    return 0;
}

LRESULT CLightingPage::OnColourBoxChange(WORD, WORD id, HWND, bool&) {
    ClampedBox box = ClampColourBox(ReadBox(id));
    if (box.writeBack) {
        ::SetDlgItemInt(m_dialog.m_hWnd, id, static_cast<UINT>(box.value), FALSE);
    }
    PreviewColor();
    return 0;
}

LRESULT CLightingPage::OnTimer(UINT, WPARAM wParam, LPARAM, bool& handled) {
    if (wParam == kLightingTimerId) {
        StepAnimation();
    }
    handled = false;
    return 0;
}

LRESULT CLightingPage::OnPowerBroadcast(UINT, WPARAM, LPARAM, bool& handled) {
    ApplyLighting();
    handled = false;
    return 0;
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
    HFONT font = TheApp() ? TheApp()->GetFont(0) : nullptr;
    fw::SelectScope select(dc, font);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, SKIN_HEX_TEXT_X, SKIN_HEX_TEXT_Y, text, length > 0 ? length : 0);
}
