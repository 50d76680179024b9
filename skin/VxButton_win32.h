// CVxButton: the push button of the skin. Its look is two bitmap resources (normal, and hot while hovered or
// pressed) with an optional white caption in one or two lines; its outline is cut from the normal image when the
// window is created. It reports a click by posting WM_COMMAND / BN_CLICKED to its parent, and in colour-pick mode
// samples the pixel under a press.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/Controls.h"

// The image set of a skinned control: bitmap resource ids (0 = none) and a spare value kept for the owner.
class CVxWndBmp {
public:
    virtual ~CVxWndBmp() = default;

protected:
    int m_normalImageId = 0;
    int m_hotImageId = 0;
    int m_spareValue = 0;
};

class CVxButton : public CButton, public CVxWndBmp {
public:
    // The clock that press and release are timed with. Replaceable so that tests can present exact durations.
    using TickSource = std::uint32_t (*)();
    static constexpr UINT_PTR kHoverTimerId = 3;
    static constexpr UINT kHoverTimerMs = 200;

    CVxButton() = default;
    ~CVxButton() override = default;

    // Stores the images (set them before Create: creation shapes the window from the normal image); an existing
    // window is redrawn. The same id twice gives a button that looks the same in every state.
    void SetBitmaps(int normalImageId, int hotImageId, int spareValue);
    // Each output may be null.
    void GetBitmaps(int* normalImageId, int* hotImageId, int* spareValue) const;
    void SetColorPick(BOOL on) { m_colourPick = on != FALSE; }
    COLORREF GetPickedColor() const { return m_pickedColour; }

    // Replaces the clock (null: the system tick count) and returns the previous one.
    static TickSource SetTickSource(TickSource source);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(WPARAM keys, LPARAM point);
    void OnHoverTimer();
    void OnLButtonDown(LPARAM point);
    void OnLButtonUp();
    void OnPaint();
    void DrawImage(HDC dc, int imageId, int width, int height) const;
    void PickColour(int x, int y);
    bool IsUnderScreenPoint(POINT point) const { return ::WindowFromPoint(point) == m_hWnd; }
    void Redraw() const { Invalidate(false); }

    std::uint32_t m_pressTime = 0;
    bool m_hover = false;
    bool m_pressed = false;
    HFONT m_captionFont = nullptr; // not owned
    bool m_colourPick = false;
    COLORREF m_pickedColour = RGB(61, 69, 255);

    static TickSource s_tickSource;
};
