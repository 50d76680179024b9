// CVxButton: the push button of the skin. Its look is two bitmap resources (normal, and hot while hovered or
// pressed) with an optional white caption in one or two lines; its outline is cut from the normal image when the
// window is created, or when its owner asks, if the owner shares its images (ShareImages). It reports a click by
// posting WM_COMMAND / BN_CLICKED to its parent, and in colour-pick mode samples the pixel under a press.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Accessible.h"
#include "framework/Controls.h"
#include "base/SkinScale.h"
#include "framework/Gdi.h"
#include "res/SkinLayout.h"
#include "skin/SkinImages_win32.h"

// The image set of a skinned control: bitmap resource ids (0 = none) and a spare value kept for the owner.
class CVxWndBmp {
public:
    virtual ~CVxWndBmp() = default;

protected:
    int m_normalImageId = 0;
    int m_hotImageId = 0;
    int m_spareValue = 0;
};

// For the keyboard it is a focus stop that never takes the focus from a mouse press: the window moves the focus to
// it, and it draws a focus cue (an outline along its shape) while it has the focus and the window's UI state shows
// focus cues, which it does once the keyboard has been used. For screen readers it has a name, a role and a checked
// state of its own (a client object answered on WM_GETOBJECT), apart from the caption it draws.
class CVxButton : public CButton, public CVxWndBmp, private fw::AccessibleAnswers {
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
    // The normal image's size (0 x 0 without one): the size to Create the window at. It is the size SetScale
    // gave, when it gave one.
    SIZE NormalImageSize() const;
    // From now on the images come from `images`, which other buttons share and the owner empties while the window
    // does not show (each paint asks for them again), and creation cuts no outline: the owner calls Shape when it
    // makes its artwork. Creation then has nothing for the button to do (CreateThenAttach will do).
    void ShareImages(CSkinImages& images);
    // Cuts the outline from the normal image (after a change of scale too). The drawn face is the image's size
    // less its last column and row; an outline that covers all of that face gives the window no region, the
    // window being cut down to the face instead, which shows the same pixels and costs the system nothing to clip.
    void Shape();
    // The size Shape gives the window: the face alone, or the normal image's size (loads the normal image).
    SIZE WindowSize();
    // The scale the images are drawn at and the size they fill there (at 96 DPI their own size). Set it before
    // Create; an existing window takes its new outline and size from the normal image at once.
    void SetScale(const SkinScale& scale, SIZE size);
    void SetColorPick(BOOL on) { m_colourPick = on != FALSE; }
    COLORREF GetPickedColor() const { return m_pickedColour; }
    // A colour chosen elsewhere (a restore, prismelctl) shown as if picked.
    void SetPickedColour(COLORREF colour) { m_pickedColour = colour; }

    // What a screen reader is told: the name (in the program's language) and the role (ROLE_SYSTEM_*).
    void SetAccessible(std::wstring name, LONG role);
    // Shown chosen (the selected mode, speed or page, the power toggle on): a screen reader hears "checked".
    void SetChecked(bool checked);
    bool Checked() const { return m_checked; }
    // A press from the keyboard: the parent hears a click, as from the mouse.
    void PressByKey() const;
    // In colour-pick mode, the keyboard's pick: takes and marks the colour at a client point as a press there does,
    // on a face drawn afresh (the last pick's mark goes).
    void PickAt(POINT point);

    // Replaces the clock (null: the system tick count) and returns the previous one.
    static TickSource SetTickSource(TickSource source);

    // The button's own messages; everything else (a double-click's second press included) gets the system
    // button's processing.
    BEGIN_MSG_MAP(CVxButton)
    MESSAGE_CRACKED(WM_CREATE, OnCreate)
    MESSAGE_CRACKED(WM_ENABLE, OnEnable)
    MESSAGE_CRACKED(WM_SETTEXT, OnSetText)
    PAINT_CALL(OnPaint)
    MESSAGE_CRACKED(WM_SETFONT, OnSetFont)
    MESSAGE_CRACKED(WM_TIMER, OnTimer)
    MESSAGE_CRACKED(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_CRACKED(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_CRACKED(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_CRACKED(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_CRACKED(WM_NCPAINT, OnNcPaint)
    MESSAGE_CRACKED(WM_SETFOCUS, OnFocusChange)
    MESSAGE_CRACKED(WM_KILLFOCUS, OnFocusChange)
    MESSAGE_CRACKED(WM_UPDATEUISTATE, OnUpdateUiState)
    MESSAGE_CRACKED_OFFER(WM_GETOBJECT, m_accessible.Answer)
    END_MSG_MAP()

private:
    // Shapes the new window from the normal image.
    LRESULT OnCreate(const CREATESTRUCTW* create);
    LRESULT OnEnable(bool enabled);
    LRESULT OnSetText(const wchar_t* text);
    void OnSetFont(HFONT font, bool redraw);
    void OnTimer(UINT_PTR id);
    LRESULT OnEraseBackground(HDC dc);
    void OnNcPaint(HRGN region);
    void OnMouseMove(UINT keys, POINT point);
    void OnHoverTimer();
    void OnLButtonDown(UINT keys, POINT point);
    void OnLButtonUp(UINT keys, POINT point);
    void OnPaint();
    void DrawImage(HDC dc, int imageId, int width, int height) const;
    // The focus moved to or from the button: the cue follows (the system button would paint its own face).
    void OnFocusChange(HWND other);
    // The window's UI state changed (focus cues shown or hidden): kept as the default keeps it, then redrawn.
    void OnUpdateUiState(UINT action, UINT flags);
    bool ShowsFocusCue() const;
    void DrawFocusCue(HDC dc, int width, int height) const;

    // fw::AccessibleAnswers
    std::wstring AccessibleName() const override { return m_accessibleName; }
    LONG AccessibleRole() const override { return m_accessibleRole; }
    LONG AccessibleState() const override { return m_checked ? STATE_SYSTEM_CHECKED : 0; }
    bool DoAccessibleAction() override;
    HBITMAP Image(int imageId) const;
    void PickColour(int x, int y);
    // The size the face and the caption are laid out in: the image's, also where the window is the face alone.
    SIZE LayoutSize() const;
    bool IsUnderScreenPoint(POINT point) const { return ::WindowFromPoint(point) == m_hWnd; }
    void Redraw() const { Invalidate(false); }

    // The images, loaded once for the outline, the size and every paint: the button's own, or the shared ones.
    CSkinImages m_ownImages;
    CSkinImages* m_images = &m_ownImages;
    bool m_shapeOnCreate = true;
    SkinScale m_scale;
    SIZE m_imageSize{0, 0};
    SIZE m_layoutSize{0, 0}; // set while the window is the face alone: the image's size
    // Whether the outline of the normal image (of that id, at that scale and size) covers the face.
    struct Face {
        int imageId = 0;
        int dpi = 0;
        SIZE imageSize{0, 0};
        friend bool operator==(const Face& a, const Face& b) {
            return a.imageId == b.imageId && a.dpi == b.dpi && a.imageSize.cx == b.imageSize.cx &&
                   a.imageSize.cy == b.imageSize.cy;
        }
    };
    Face m_face;
    bool m_faceOnly = false;
    bool m_hasRegion = false;
    std::uint32_t m_pressTime = 0;
    bool m_hover = false;
    bool m_pressed = false;
    HFONT m_captionFont = nullptr; // not owned
    bool m_colourPick = false;
    COLORREF m_pickedColour = RGB(SKIN_DEFAULT_RED, SKIN_DEFAULT_GREEN, SKIN_DEFAULT_BLUE);
    std::wstring m_accessibleName;
    LONG m_accessibleRole = ROLE_SYSTEM_PUSHBUTTON;
    bool m_checked = false;
    // Focus cues hidden (UISF_HIDEFOCUS) until the window's UI state says otherwise: none for a mouse user.
    bool m_focusCueHidden = true;
    fw::AccessibleSlot m_accessible{m_hWnd, *this};

    static TickSource s_tickSource;
};
