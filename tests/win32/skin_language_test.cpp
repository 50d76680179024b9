// Skin bitmaps in the program's language: the language object's choice picks the artwork, English for a bitmap
// without words, exactly as the skin generator drew it.
#include "skin/SkinBitmap_win32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/MultiLangSupp_win32.h"
#include "res/SkinLayout.h"
#include "tests/win32/skin_test_ids.h"

namespace {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> bgrx;
};

// A bitmap's pixels, top row first, read back through the screen's device context.
Pixels Read(HBITMAP bitmap) {
    Pixels out;
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) {
        return out;
    }
    out.width = info.bmWidth;
    out.height = info.bmHeight;
    out.bgrx.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), out.width, -out.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    fw::WindowDC screen(nullptr);
    if (GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(out.height), out.bgrx.data(), &format, DIB_RGB_COLORS) !=
        out.height) {
        out.bgrx.clear();
    }
    return out;
}

// A file the skin generator wrote into the build tree.
fw::Bitmap Generated(const char* name) {
    const std::string path = std::string(PRISMEL_SKIN_DIR) + "/" + name;
    return fw::Bitmap(static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
}

TEST(SkinLanguage, ShowsTheArtworkOfTheProgramsLanguageAndEnglishWhereThereAreNoWords) {
    const struct {
        LANGID system;
        UINT bitmap;
        const char* expected;
    } cases[] = {
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), IDB_PAGE_ABOUT, "page_about.zh-Hans.bmp"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), IDB_PAGE_ABOUT, "page_about.zh-Hant.bmp"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_HONGKONG), IDB_MODE_STATIC_HOT, "mode_static_hot.zh-Hant.bmp"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), IDB_TAB_LIGHTING, "tab_lighting.zh-Hans.bmp"},
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), IDB_PAGE_ABOUT, "page_about.bmp"},
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), IDB_WEB_HOT, "web_hot.bmp"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), IDB_COLOUR_WHEEL, "colour_wheel.bmp"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), IDB_TEST_NORMAL, nullptr}, // a test bitmap, as stored
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "language " << std::hex << c.system << ", bitmap " << std::dec << c.bitmap);
        const CMultiLangSupp language(c.system);
        const fw::Bitmap loaded = LoadSkinBitmap(c.bitmap);
        const fw::Bitmap expected =
            c.expected ? Generated(c.expected)
                       : fw::Bitmap(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(c.bitmap)));
        ASSERT_TRUE(loaded);
        ASSERT_TRUE(expected) << (c.expected ? c.expected : "");
        const Pixels got = Read(loaded.Get());
        const Pixels want = Read(expected.Get());
        ASSERT_FALSE(want.bgrx.empty());
        EXPECT_EQ(got.width, want.width);
        EXPECT_EQ(got.height, want.height);
        EXPECT_TRUE(got.bgrx == want.bgrx);
    }
}

TEST(SkinLanguage, AMissingBitmapIsNullInEveryLanguage) {
    for (LANGID system :
         {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)}) {
        const CMultiLangSupp language(system);
        EXPECT_FALSE(LoadSkinBitmap(IDB_TEST_MISSING));
    }
}

} // namespace
