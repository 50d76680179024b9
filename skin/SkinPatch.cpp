#include "skin/SkinPatch.h"

#include <algorithm>
#include <vector>

#include "base/LittleEndian.h"
#include "res/SkinLayout.h"

namespace {

constexpr std::size_t kBytesPerPixel = 3;
constexpr std::size_t kHeaderBytes = 10;   // magic, width, height, count
constexpr std::size_t kRectangleBytes = 8; // x, y, width, height

struct PatchRectangle {
    std::size_t x, y, width, height;
    std::size_t pixels; // offset of the first pixel in the patch
};

std::size_t Word(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return LoadLe16(bytes.data() + offset);
}

std::uint32_t Magic(std::span<const std::uint8_t> bytes) {
    return LoadLe32(bytes.data());
}

bool ImageIsWhole(const SkinImage& image) {
    if (image.width <= 0 || image.height <= 0) {
        return false;
    }
    const auto width = static_cast<std::size_t>(image.width);
    const auto height = static_cast<std::size_t>(image.height);
    return image.stride >= width * kBytesPerPixel && image.bits.size() / image.stride >= height;
}

// The rectangles of a patch that fits the image, or none with false.
bool ReadRectangles(std::span<const std::uint8_t> patch, const SkinImage& image, std::vector<PatchRectangle>& out) {
    if (patch.size() < kHeaderBytes || Magic(patch) != SKIN_PATCH_MAGIC ||
        Word(patch, 4) != static_cast<std::size_t>(image.width) ||
        Word(patch, 6) != static_cast<std::size_t>(image.height)) {
        return false;
    }
    const std::size_t count = Word(patch, 8);
    if (count > kSkinPatchMaxRectangles) {
        return false;
    }
    std::size_t offset = kHeaderBytes;
    for (std::size_t i = 0; i < count; ++i) {
        if (patch.size() - offset < kRectangleBytes) {
            return false;
        }
        PatchRectangle r{Word(patch, offset), Word(patch, offset + 2), Word(patch, offset + 4), Word(patch, offset + 6),
                         offset + kRectangleBytes};
        // Each value is below 2^16, so these sums and products cannot overflow.
        if (r.width == 0 || r.height == 0 || r.x + r.width > static_cast<std::size_t>(image.width) ||
            r.y + r.height > static_cast<std::size_t>(image.height) ||
            patch.size() - r.pixels < r.width * r.height * kBytesPerPixel) {
            return false;
        }
        offset = r.pixels + r.width * r.height * kBytesPerPixel;
        out.push_back(r);
    }
    return offset == patch.size();
}

} // namespace

bool ApplySkinPatch(std::span<const std::uint8_t> patch, const SkinImage& image) {
    std::vector<PatchRectangle> rectangles;
    if (!ImageIsWhole(image) || !ReadRectangles(patch, image, rectangles)) {
        return false;
    }
    const auto height = static_cast<std::size_t>(image.height);
    for (const PatchRectangle& r : rectangles) {
        const std::size_t rowBytes = r.width * kBytesPerPixel;
        for (std::size_t row = 0; row < r.height; ++row) {
            const std::size_t y = r.y + row;
            const std::size_t line = image.bottomUp ? height - 1 - y : y;
            const auto source = patch.subspan(r.pixels + row * rowBytes, rowBytes);
            const auto target = image.bits.subspan(line * image.stride + r.x * kBytesPerPixel, rowBytes);
            std::copy(source.begin(), source.end(), target.begin());
        }
    }
    return true;
}
