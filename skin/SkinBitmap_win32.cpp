#include "skin/SkinBitmap_win32.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <span>
#include <vector>

#include <wincodec.h>

#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"
#include "res/SkinLayout.h"
#include "framework/Unique.h"
#include "skin/SkinPatch.h"
#include "skin/SkinPixels.h"

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

// A 32-bit top-down DIB section of width x height with `bits` (laid out as `format` says) copied in, converted as
// the system converts them. Every skin bitmap is one: its pixels live in memory of its own, given back whole when
// it is deleted, where a bitmap made compatible with the screen is kept on a heap, which holds on to what it frees
// (the program hidden in the tray would keep the size of every image it had shown).
fw::Bitmap SectionOf(int width, int height, const void* bits, const BITMAPINFO& format) {
    const BITMAPINFO section = fw::TopDownBgra(width, height);
    void* pixels = nullptr;
    fw::Bitmap bitmap(CreateDIBSection(nullptr, &section, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap || !pixels) {
        return {};
    }
    const bool same = format.bmiHeader.biBitCount == 32 && format.bmiHeader.biCompression == BI_RGB &&
                      format.bmiHeader.biHeight == -height;
    if (same) {
        std::memcpy(pixels, bits, static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
        return bitmap;
    }
    fw::MemoryDC memory(nullptr);
    if (!memory ||
        SetDIBits(memory.Get(), bitmap.Get(), 0, static_cast<UINT>(height), bits, &format, DIB_RGB_COLORS) != height) {
        return {};
    }
    return bitmap;
}

// The bitmap resource's own bytes (a packed DIB of 24 or 32 bits per pixel, as every skin bitmap is) as a
// section; null when they are not such a DIB.
fw::Bitmap SectionOfDib(std::span<const std::uint8_t> dib) {
    BITMAPINFOHEADER header{};
    if (dib.size() < sizeof(header)) {
        return {};
    }
    std::memcpy(&header, dib.data(), sizeof(header));
    if (header.biSize < sizeof(header) || header.biSize > dib.size() || header.biPlanes != 1 || header.biWidth <= 0 ||
        header.biWidth > kLargestSide || header.biHeight == 0 || std::abs(header.biHeight) > kLargestSide ||
        header.biCompression != BI_RGB || header.biClrUsed != 0 ||
        (header.biBitCount != 24 && header.biBitCount != 32)) {
        return {};
    }
    const std::size_t stride = (static_cast<std::size_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
    if (dib.size() - header.biSize < stride * static_cast<std::size_t>(std::abs(header.biHeight))) {
        return {};
    }
    BITMAPINFO format{};
    format.bmiHeader = header;
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biSizeImage = 0;
    return SectionOf(header.biWidth, std::abs(header.biHeight), dib.data() + header.biSize, format);
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
    return SectionOf(image.width, image.height, bits.data(), info);
}

// The imaging component's factory and the one pixel format we read, named here so that nothing links its import
// library: the component is reached through COM alone.
constexpr CLSID kImagingFactoryClass = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
constexpr GUID kPixelFormatBgra = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0f}};

// The interface a COM call hands out through its last argument, owned; empty when the call fails.
template <class Interface, class Call> fw::ComRef<Interface> Obtain(Call call) {
    Interface* raw = nullptr;
    return fw::ComRef<Interface>(SUCCEEDED(call(&raw)) ? raw : nullptr);
}

} // namespace

SkinPixels DecodeSkinImage(std::span<const std::uint8_t> bytes) {
    SkinPixels pixels;
    if (bytes.empty() || bytes.size() > 64u * 1024u * 1024u) {
        return pixels;
    }
    const auto factory = Obtain<IWICImagingFactory>([](IWICImagingFactory** out) {
        return CoCreateInstance(kImagingFactoryClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWICImagingFactory),
                                reinterpret_cast<void**>(out));
    });
    const auto stream = factory ? Obtain<IWICStream>([&](IWICStream** out) { return factory.Get()->CreateStream(out); })
                                : fw::ComRef<IWICStream>();
    // The component only reads the resource's bytes, which stay mapped for the life of the module.
    if (!stream ||
        FAILED(stream.Get()->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())))) {
        return pixels;
    }
    const auto decoder = Obtain<IWICBitmapDecoder>([&](IWICBitmapDecoder** out) {
        return factory.Get()->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, out);
    });
    const auto frame = decoder ? Obtain<IWICBitmapFrameDecode>(
                                     [&](IWICBitmapFrameDecode** out) { return decoder.Get()->GetFrame(0, out); })
                               : fw::ComRef<IWICBitmapFrameDecode>();
    const auto converter = frame ? Obtain<IWICFormatConverter>([&](IWICFormatConverter** out) {
        return factory.Get()->CreateFormatConverter(out);
    })
                                 : fw::ComRef<IWICFormatConverter>();
    if (!converter) {
        return pixels;
    }
    UINT width = 0, height = 0;
    if (FAILED(converter.Get()->Initialize(frame.Get(), kPixelFormatBgra, WICBitmapDitherTypeNone, nullptr, 0.0,
                                           WICBitmapPaletteTypeCustom)) ||
        FAILED(converter.Get()->GetSize(&width, &height)) || width == 0 || height == 0 ||
        width > static_cast<UINT>(kSkinPixelsLargestSide) || height > static_cast<UINT>(kSkinPixelsLargestSide)) {
        return pixels;
    }
    try {
        pixels.bits.resize(static_cast<std::size_t>(width) * height * 4);
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (FAILED(converter.Get()->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.bits.size()),
                                           pixels.bits.data()))) {
        return {};
    }
    pixels.width = static_cast<int>(width);
    pixels.height = static_cast<int>(height);
    return pixels;
}

namespace {

// The scaled drawing of a step, in the program's language (English where the language's patch is missing or does
// not fit).
SkinPixels ScaledDrawing(HMODULE module, UINT bitmapId, int resourceType) {
    const LPCWSTR type = MAKEINTRESOURCEW(resourceType);
    SkinPixels english = DecodeSkinImage(ResourceBytes(module, type, bitmapId, kEnglishUs));
    const LANGID language = ProgramLanguage();
    if (english.IsWhole() && language != kEnglishUs) {
        const SkinPixels patch = DecodeSkinImage(ResourceBytes(module, type, bitmapId, language));
        ApplyAlphaPatch(english, patch);
    }
    return english;
}

// The pixels of a bitmap, read back as 32-bit top-down rows.
SkinPixels PixelsOf(HBITMAP bitmap) {
    SkinPixels pixels;
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof info, &info) != sizeof info || info.bmWidth <= 0 || info.bmHeight <= 0 ||
        info.bmWidth > kSkinPixelsLargestSide || info.bmHeight > kSkinPixelsLargestSide) {
        return pixels;
    }
    BITMAPINFO format = fw::TopDownBgra(info.bmWidth, info.bmHeight);
    try {
        pixels.bits.resize(static_cast<std::size_t>(info.bmWidth) * static_cast<std::size_t>(info.bmHeight) * 4);
    } catch (const std::bad_alloc&) {
        return {};
    }
    fw::WindowDC screen(nullptr);
    if (!screen || GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.bits.data(), &format,
                             DIB_RGB_COLORS) != info.bmHeight) {
        return {};
    }
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    return pixels;
}

fw::Bitmap BitmapOf(const SkinPixels& pixels) {
    if (!pixels.IsWhole()) {
        return {};
    }
    return SectionOf(pixels.width, pixels.height, pixels.bits.data(), fw::TopDownBgra(pixels.width, pixels.height));
}

} // namespace

// ---- The prefetch ---------------------------------------------------------------------------------------------

struct CSkinArtPrefetch::State {
    struct Entry {
        UINT id = 0;
        bool decoded = false;
        bool taken = false;
        SkinPixels pixels;
    };
    int resourceType = 0;
    std::vector<Entry> entries;
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE decoded = CONDITION_VARIABLE_INIT;
    bool stop = false;
};

namespace {

// The prefetch LoadSkinBitmap asks, if one runs; only the program's thread sets and reads it.
CSkinArtPrefetch::State* g_prefetch = nullptr;

DWORD WINAPI DecodeAhead(void* parameter) {
    auto* state = static_cast<CSkinArtPrefetch::State*>(parameter);
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    for (auto& entry : state->entries) {
        AcquireSRWLockShared(&state->lock);
        const bool stop = state->stop || entry.taken;
        ReleaseSRWLockShared(&state->lock);
        if (stop) {
            break;
        }
        SkinPixels pixels = ScaledDrawing(GetModuleHandleW(nullptr), entry.id, state->resourceType);
        AcquireSRWLockExclusive(&state->lock);
        entry.pixels = std::move(pixels);
        entry.decoded = true;
        ReleaseSRWLockExclusive(&state->lock);
        WakeAllConditionVariable(&state->decoded);
    }
    AcquireSRWLockExclusive(&state->lock);
    for (auto& entry : state->entries) {
        entry.decoded = true; // what the thread will not decode now, the program's thread decodes itself
    }
    ReleaseSRWLockExclusive(&state->lock);
    WakeAllConditionVariable(&state->decoded);
    if (com) {
        CoUninitialize();
    }
    return 0;
}

// The prefetched drawing of `bitmapId` at `resourceType`, waited for; empty when it was not asked for, was taken
// already, or did not decode.
SkinPixels TakePrefetched(UINT bitmapId, int resourceType) {
    CSkinArtPrefetch::State* state = g_prefetch;
    if (!state || state->resourceType != resourceType) {
        return {};
    }
    SkinPixels pixels;
    AcquireSRWLockExclusive(&state->lock);
    for (auto& entry : state->entries) {
        if (entry.id != bitmapId || entry.taken) {
            continue;
        }
        while (!entry.decoded) {
            SleepConditionVariableSRW(&state->decoded, &state->lock, INFINITE, 0);
        }
        entry.taken = true;
        pixels = std::move(entry.pixels);
        break;
    }
    ReleaseSRWLockExclusive(&state->lock);
    return pixels;
}

} // namespace

CSkinArtPrefetch::CSkinArtPrefetch(const SkinScale& scale, std::span<const UINT> ids) {
    const SkinArtChoice choice = ChooseSkinArt(scale);
    if (choice.resourceType == 0 || g_prefetch || ids.empty()) {
        return;
    }
    try {
        auto state = std::make_unique<State>();
        state->resourceType = choice.resourceType;
        for (UINT id : ids) {
            state->entries.push_back({id, false, false, {}});
        }
        m_state = std::move(state);
    } catch (const std::bad_alloc&) {
        return;
    }
    m_thread.Reset(CreateThread(nullptr, 0, DecodeAhead, m_state.get(), 0, nullptr));
    if (!m_thread) {
        m_state.reset();
        return;
    }
    g_prefetch = m_state.get();
}

CSkinArtPrefetch::~CSkinArtPrefetch() {
    if (!m_state) {
        return;
    }
    AcquireSRWLockExclusive(&m_state->lock);
    m_state->stop = true;
    ReleaseSRWLockExclusive(&m_state->lock);
    WaitForSingleObject(m_thread.Get(), INFINITE);
    g_prefetch = nullptr;
}

SIZE SkinBitmapSize(UINT bitmapId) {
    const auto dib = ResourceBytes(GetModuleHandleW(nullptr), RT_BITMAP, bitmapId, kEnglishUs);
    BITMAPINFOHEADER header{};
    if (dib.size() < sizeof(header)) {
        return {0, 0};
    }
    std::memcpy(&header, dib.data(), sizeof(header));
    return {header.biWidth, std::abs(header.biHeight)};
}

fw::Bitmap LoadSkinBitmap(UINT bitmapId, const SkinScale& scale, SIZE size) {
    if (scale.IsBase()) {
        return LoadSkinBitmap(bitmapId);
    }
    const SkinArtChoice choice = ChooseSkinArt(scale);
    SkinPixels drawing;
    if (choice.resourceType != 0) {
        drawing = TakePrefetched(bitmapId, choice.resourceType);
        if (!drawing.IsWhole()) {
            drawing = ScaledDrawing(GetModuleHandleW(nullptr), bitmapId, choice.resourceType);
        }
    }
    if (!drawing.IsWhole()) {
        fw::Bitmap base = LoadSkinBitmap(bitmapId);
        drawing = PixelsOf(base.Get());
        if (!drawing.IsWhole()) {
            return base;
        }
    }
    if (size.cx > 0 && size.cy > 0 && (drawing.width != size.cx || drawing.height != size.cy)) {
        SkinPixels resized;
        if (ResampleSkinPixels(drawing, size.cx, size.cy, resized)) {
            drawing = std::move(resized);
        }
    }
    return BitmapOf(drawing);
}

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
    if (fw::Bitmap english = SectionOfDib(ResourceBytes(module, RT_BITMAP, bitmapId, kEnglishUs))) {
        return english;
    }
    return fw::Bitmap(LoadBitmapW(module, MAKEINTRESOURCEW(bitmapId))); // another format, or in another language
}
