// CSkinImages: the skin bitmaps a window's controls show, each loaded once for the window's scale and shared by
// every control that shows it. The owner lets them all go while the window does not show; the next use loads
// again.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

#include "base/SkinScale.h"
#include "framework/Gdi.h"

class CSkinImages {
public:
    CSkinImages() = default;
    CSkinImages(const CSkinImages&) = delete;
    CSkinImages& operator=(const CSkinImages&) = delete;

    // Bitmap resource `id` at `scale`, exactly `size` pixels (0 x 0: its own size), as LoadSkinBitmap makes it:
    // loaded on the first call and kept; null for id 0 or a bitmap that cannot be loaded.
    HBITMAP Get(int id, const SkinScale& scale, SIZE size);
    // Lets every bitmap go.
    void Release() { m_images.clear(); }
    // Closed, it lets every bitmap go and loads none (Get gives null) until opened again: for a window that does
    // not show, whose paints show nothing.
    void Close() {
        Release();
        m_open = false;
    }
    void Open() { m_open = true; }
    // How many bitmaps are held.
    std::size_t Count() const { return m_images.size(); }

private:
    struct Image {
        int id = 0;
        int dpi = 0;
        SIZE size{0, 0};
        fw::Bitmap bitmap;
    };
    std::vector<Image> m_images;
    bool m_open = true;
};
