#include "skin/SkinImages_win32.h"

#include <new>

#include "skin/SkinBitmap_win32.h"

HBITMAP CSkinImages::Get(int id, const SkinScale& scale, SIZE size) {
    if (id == 0 || !m_open) {
        return nullptr;
    }
    for (const Image& image : m_images) {
        if (image.id == id && image.dpi == scale.Dpi() && image.size.cx == size.cx && image.size.cy == size.cy) {
            return image.bitmap.Get();
        }
    }
    fw::Bitmap bitmap = LoadSkinBitmap(static_cast<UINT>(id), scale, size);
    if (!bitmap) {
        return nullptr; // asked again next time: a failure is not kept
    }
    try {
        m_images.push_back({id, scale.Dpi(), size, std::move(bitmap)});
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return m_images.back().bitmap.Get();
}
