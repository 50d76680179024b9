// The LED view's window: its names, its timer, and where captions, rows and LEDs sit in its client area.
// Shared by the window and by the test that looks at it.
#pragma once

namespace ledview {

inline constexpr wchar_t kWindowClass[] = L"PrismelLedView";
inline constexpr wchar_t kTitle[] = L"Prismel LED view (simulator)";

inline constexpr unsigned kPollTimer = 1;
inline constexpr unsigned kPollMs = 16; // the journal is read this often

inline constexpr int kClientWidth = 420;
inline constexpr int kMargin = 6;
inline constexpr int kCaptionLineHeight = 15;
inline constexpr int kCaptionLines = 3; // command set, effect, what the LEDs mean
inline constexpr int kRowsTop = kMargin + kCaptionLines * kCaptionLineHeight + 3;
inline constexpr int kRowHeight = 40;
inline constexpr int kLabelWidth = 96;
inline constexpr int kLedDiameter = 30;
inline constexpr int kLedPitch = 52;

// The centre of LED k (0-4, left to right) in a row, in client coordinates.
constexpr int LedCentreX(int led) {
    return kMargin + kLabelWidth + led * kLedPitch + kLedDiameter / 2;
}
constexpr int LedCentreY(int row) {
    return kRowsTop + row * kRowHeight + kRowHeight / 2;
}
constexpr int ClientHeight(int rows) {
    return kRowsTop + rows * kRowHeight + kMargin / 2;
}

} // namespace ledview
