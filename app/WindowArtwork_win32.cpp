#include "app/WindowArtwork_win32.h"

#include "res/SkinLayout.h"
#include "skin/BmpRgn_win32.h"
#include "skin/SkinBitmap_win32.h"

namespace {

// Where the background's handle is kept on the window, for whoever paints with it.
constexpr wchar_t kBackgroundProperty[] = L"VxBmpProp";

} // namespace

CWindowArtwork::CWindowArtwork(std::span<CVxButton> buttons) : m_buttons(buttons) {
    m_images.Close(); // until the first Make
    for (CVxButton& button : m_buttons) {
        button.ShareImages(m_images);
    }
}

void CWindowArtwork::SetSkin(HWND window, int skinId, const SkinScale& scale) {
    m_skinId = skinId;
    m_scale = scale;
    if (m_made) {
        MakeBackground(window);
    } else if (m_outlineCut == Cut{}) {
        // Not shaped yet: the size the outline will give it, so that it is placed as it will show.
        RECT frame{}, client{};
        GetWindowRect(window, &frame);
        GetClientRect(window, &client);
        SetWindowPos(window, nullptr, 0, 0, scale.Px(SKIN_PAGE_W) + (frame.right - frame.left) - client.right,
                     scale.Px(SKIN_PAGE_H) + (frame.bottom - frame.top) - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CWindowArtwork::Make(HWND window) {
    m_made = true;
    m_images.Open();
    MakeBackground(window);
    if (m_buttonsShaped) {
        return;
    }
    bool all = true;
    for (CVxButton& button : m_buttons) {
        if (button.m_hWnd) {
            button.Shape();
        } else {
            all = false;
        }
    }
    m_buttonsShaped = all;
}

void CWindowArtwork::Release(HWND window) {
    m_made = false;
    m_images.Close();
    m_background.Reset();
    m_backgroundCut = {};
    RemovePropW(window, kBackgroundProperty);
}

void CWindowArtwork::ButtonsRescaled() {
    m_images.Release(); // the images of the old scale
    m_buttonsShaped = true;
}

// The face is painted from the same bitmap the outline is cut from: loaded once.
void CWindowArtwork::MakeBackground(HWND window) {
    const Cut wanted{m_skinId, m_scale.Dpi()};
    if (!m_background || !(m_backgroundCut == wanted)) {
        m_background =
            LoadSkinBitmap(static_cast<UINT>(m_skinId), m_scale, {m_scale.Px(SKIN_PAGE_W), m_scale.Px(SKIN_PAGE_H)});
        m_backgroundCut = wanted;
        SetPropW(window, kBackgroundProperty, m_background.Get());
        InvalidateRect(window, nullptr, FALSE);
    }
    if (m_background && !(m_outlineCut == wanted)) {
        m_outlineCut = wanted;
        CBmpRgn region;
        region.SetInsets(m_scale.Px(1), 0);
        region.ShapeWindow(window, m_background.Get());
    }
}
