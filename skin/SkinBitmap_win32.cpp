#include "skin/SkinBitmap_win32.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <span>
#include <vector>

#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"
#include "res/SkinLayout.h"
#include "skin/SkinPatch.h"

namespace {

constexpr LANGID kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LONG kLargestSide = 4096; // no skin bitmap comes near it

// The resource language of the program's language.
LANGID ProgramLanguage() {
    const CMultiLangSupp* lang = CMultiLangSupp::Instance();
    switch (lang ? lang->Language() : kEnglish) {
    case kSimplifiedChinese:
        return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    case kTraditionalChinese:
        return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);
    default:
        return kEnglishUs;
    }
}

// The bytes of a resource in exactly this language; empty if it has none.
std::span<const std::uint8_t> ResourceBytes(HMODULE module, LPCWSTR type, UINT id, LANGID language) {
    HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        return {};
    }
    return {static_cast<const std::uint8_t*>(data), SizeofResource(module, found)};
}

// The English bitmap with the patch applied, or null if the bitmap is not a plain 24-bit one the patch fits.
fw::Bitmap PatchedBitmap(std::span<const std::uint8_t> dib, std::span<const std::uint8_t> patch) {
    BITMAPINFOHEADER header{};
    if (dib.size() < sizeof(header)) {
        return {};
    }
    std::memcpy(&header, dib.data(), sizeof(header));
    if (header.biSize < sizeof(header) || header.biSize > dib.size() || header.biPlanes != 1 ||
        header.biBitCount != 24 || header.biCompression != BI_RGB || header.biClrUsed != 0 || header.biWidth <= 0 ||
        header.biWidth > kLargestSide || header.biHeight == 0 || std::abs(header.biHeight) > kLargestSide) {
        return {};
    }
    SkinImage image{{}, header.biWidth, std::abs(header.biHeight), 0, header.biHeight > 0};
    image.stride = (static_cast<std::size_t>(image.width) * 3 + 3) / 4 * 4;
    const std::size_t size = image.stride * static_cast<std::size_t>(image.height);
    const auto source = dib.subspan(header.biSize);
    if (source.size() < size) {
        return {};
    }
    std::vector<std::uint8_t> bits;
    try {
        bits.assign(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(size));
    } catch (const std::bad_alloc&) {
        return {};
    }
    image.bits = bits;
    if (!ApplySkinPatch(patch, image)) {
        return {};
    }
    BITMAPINFO info{};
    info.bmiHeader = header;
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biSizeImage = 0;
    fw::WindowDC screen(nullptr);
    if (!screen) {
        return {};
    }
    return fw::Bitmap(CreateDIBitmap(screen.Get(), &info.bmiHeader, CBM_INIT, bits.data(), &info, DIB_RGB_COLORS));
}

} // namespace

fw::Bitmap LoadSkinBitmap(UINT bitmapId) {
    HMODULE module = GetModuleHandleW(nullptr);
    const LANGID language = ProgramLanguage();
    if (language != kEnglishUs) {
        const auto patch = ResourceBytes(module, MAKEINTRESOURCEW(SKIN_PATCH_RESOURCE_TYPE), bitmapId, language);
        const auto english = patch.empty() ? patch : ResourceBytes(module, RT_BITMAP, bitmapId, kEnglishUs);
        if (fw::Bitmap patched = english.empty() ? fw::Bitmap() : PatchedBitmap(english, patch)) {
            return patched;
        }
    }
    return fw::Bitmap(LoadBitmapW(module, MAKEINTRESOURCEW(bitmapId)));
}
