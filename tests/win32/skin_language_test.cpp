// Skin bitmaps in the program's language: the language object's choice picks the artwork, English for a bitmap
// without words, exactly as the skin generator drew it.
#include "skin/SkinBitmap_win32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/MultiLangSupp_win32.h"
#include "res/SkinLayout.h"
#include "tests/win32/skin_test_ids.h"

namespace {

// A device bitmap's size and its pixels as the screen's device holds them.
struct Pixels {
    LONG width = 0;
    LONG height = 0;
    std::vector<std::uint8_t> bits;
    bool operator==(const Pixels&) const = default;
};

Pixels Read(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) {
        return {};
    }
    Pixels out{info.bmWidth, info.bmHeight, std::vector<std::uint8_t>(info.bmWidthBytes * info.bmHeight)};
    GetBitmapBits(bitmap, static_cast<LONG>(out.bits.size()), out.bits.data());
    return out;
}

TEST(SkinLanguage, ShowsTheArtworkOfTheProgramsLanguageAndEnglishWhereThereAreNoWords) {
    const struct {
        LANGID system;
        UINT bitmap;
        const char* expected; // as the skin generator wrote it; null for the bitmap as stored
    } cases[] = {
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), IDB_PAGE_ABOUT, "page_about.zh-Hans.bmp"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), IDB_PAGE_ABOUT, "page_about.zh-Hant.bmp"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_HONGKONG), IDB_MODE_STATIC_HOT, "mode_static_hot.zh-Hant.bmp"},
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), IDB_PAGE_ABOUT, "page_about.bmp"},
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), IDB_WEB_HOT, "web_hot.bmp"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), IDB_COLOUR_WHEEL, "colour_wheel.bmp"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), IDB_TEST_NORMAL, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "language " << std::hex << c.system << ", bitmap " << std::dec << c.bitmap);
        const CMultiLangSupp language(c.system);
        const fw::Bitmap loaded = LoadSkinBitmap(c.bitmap);
        const std::string file = std::string(PRISMEL_SKIN_DIR "/") + (c.expected ? c.expected : "");
        const fw::Bitmap expected(static_cast<HBITMAP>(
            c.expected ? LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)
                       : LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(c.bitmap), IMAGE_BITMAP, 0, 0, 0)));
        const auto want = Read(expected.Get());
        ASSERT_GT(want.width, 0) << file;
        EXPECT_TRUE(Read(loaded.Get()) == want);
    }
    EXPECT_FALSE(LoadSkinBitmap(IDB_TEST_MISSING));
}

} // namespace
