// CWindowArtwork: what the main window draws with and can make again from its resources: the page's background,
// from which the window's outline is cut too, and the buttons' images, each loaded once and shared by the buttons
// that show it. It is made when the window is to show and let go while the window does not show (hidden to the
// tray or minimised), so that the program in the tray holds none of it, and a start in the tray makes none of it
// until the window first shows. Outlines, once cut, stay on their windows.
#pragma once

#include <windows.h>

#include <span>

#include "base/SkinScale.h"
#include "framework/Gdi.h"
#include "skin/SkinImages_win32.h"
#include "skin/VxButton_win32.h"

class CWindowArtwork {
public:
    // The buttons take their images from the artwork from now on (before they are created).
    explicit CWindowArtwork(std::span<CVxButton> buttons);

    // The page whose background the window shows at `scale`; loaded now, and the window shaped from it, while the
    // artwork is made.
    void SetSkin(HWND window, int skinId, const SkinScale& scale);
    // Makes what is missing: the background (and the window's outline if it was cut for another page or scale)
    // and the outlines of the buttons that have windows and none yet.
    void Make(HWND window);
    // Lets the background and every button image go until the next Make.
    void Release(HWND window);
    // The buttons were given a new scale, and with it their outlines.
    void ButtonsRescaled();

    bool Made() const { return m_made; }
    int SkinId() const { return m_skinId; }
    HBITMAP Background() const { return m_background.Get(); }

private:
    struct Cut {
        int skinId = 0;
        int dpi = 0;
        friend bool operator==(const Cut&, const Cut&) = default;
    };
    void MakeBackground(HWND window);

    std::span<CVxButton> m_buttons;
    CSkinImages m_images;
    fw::Bitmap m_background;
    Cut m_backgroundCut; // what the background was loaded for
    Cut m_outlineCut;    // what the window's outline was cut for
    bool m_buttonsShaped = false;
    bool m_made = false;
    int m_skinId = 0;
    SkinScale m_scale;
};
