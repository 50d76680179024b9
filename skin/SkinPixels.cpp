#include "skin/SkinPixels.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

constexpr std::size_t kChannels = 4;
constexpr std::uint8_t kNearWhite = 253;
constexpr std::uint8_t kPulledWhite = 250;

// Catmull-Rom: the cubic through the neighbouring samples, exact on constant and linear runs.
double CubicWeight(double x) {
    x = std::fabs(x);
    if (x < 1.0) {
        return 1.5 * x * x * x - 2.5 * x * x + 1.0;
    }
    if (x < 2.0) {
        return -0.5 * x * x * x + 2.5 * x * x - 4.0 * x + 2.0;
    }
    return 0.0;
}

// For each output position, its first source index and the normalised weights of the source pixels from there.
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<double> weights; // `span` per output position
    int span = 0;
};

Taps MakeTaps(int sourceSize, int outSize) {
    Taps taps;
    const double ratio = static_cast<double>(sourceSize) / outSize;
    const double widen = std::max(1.0, ratio);
    const double support = 2.0 * widen;
    taps.span = static_cast<int>(std::ceil(support)) * 2 + 1;
    taps.first.resize(static_cast<std::size_t>(outSize));
    taps.count.resize(static_cast<std::size_t>(outSize));
    taps.weights.assign(static_cast<std::size_t>(outSize) * static_cast<std::size_t>(taps.span), 0.0);
    for (int i = 0; i < outSize; ++i) {
        const double centre = (i + 0.5) * ratio;
        const int lo = std::max(0, static_cast<int>(std::floor(centre - support)));
        const int hi = std::min(sourceSize, static_cast<int>(std::ceil(centre + support)));
        double* w = &taps.weights[static_cast<std::size_t>(i) * static_cast<std::size_t>(taps.span)];
        double total = 0.0;
        int n = 0;
        for (int s = lo; s < hi && n < taps.span; ++s, ++n) {
            w[n] = CubicWeight((s + 0.5 - centre) / widen);
            total += w[n];
        }
        for (int k = 0; k < n; ++k) {
            w[k] = total != 0.0 ? w[k] / total : 0.0;
        }
        if (total == 0.0 && n > 0) {
            w[0] = 1.0;
        }
        taps.first[static_cast<std::size_t>(i)] = lo;
        taps.count[static_cast<std::size_t>(i)] = n;
    }
    return taps;
}

std::uint8_t ToByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

} // namespace

bool ApplyAlphaPatch(SkinPixels& image, const SkinPixels& patch) {
    if (!image.IsWhole() || !patch.IsWhole() || image.width != patch.width || image.height != patch.height) {
        return false;
    }
    for (std::size_t p = 3; p < patch.bits.size(); p += kChannels) {
        if (patch.bits[p] != 0 && patch.bits[p] != 255) {
            return false;
        }
    }
    for (std::size_t p = 0; p < patch.bits.size(); p += kChannels) {
        if (patch.bits[p + 3] == 255) {
            std::copy_n(patch.bits.begin() + static_cast<std::ptrdiff_t>(p), 3,
                        image.bits.begin() + static_cast<std::ptrdiff_t>(p));
        }
    }
    return true;
}

bool ResampleSkinPixels(const SkinPixels& source, int width, int height, SkinPixels& out) {
    if (!source.IsWhole() || width < 1 || height < 1 || width > kSkinPixelsLargestSide ||
        height > kSkinPixelsLargestSide) {
        return false;
    }
    try {
        const Taps across = MakeTaps(source.width, width);
        const Taps down = MakeTaps(source.height, height);
        // Across first, into rows of doubles, then down.
        std::vector<double> rows(static_cast<std::size_t>(width) * static_cast<std::size_t>(source.height) * 3);
        for (int y = 0; y < source.height; ++y) {
            const std::uint8_t* in = &source.bits[static_cast<std::size_t>(y) * source.width * kChannels];
            double* row = &rows[static_cast<std::size_t>(y) * width * 3];
            for (int x = 0; x < width; ++x) {
                const double* w = &across.weights[static_cast<std::size_t>(x) * across.span];
                const int first = across.first[static_cast<std::size_t>(x)];
                double sum[3] = {};
                for (int k = 0; k < across.count[static_cast<std::size_t>(x)]; ++k) {
                    const std::uint8_t* px = in + static_cast<std::size_t>(first + k) * kChannels;
                    for (int c = 0; c < 3; ++c) {
                        sum[c] += w[k] * px[c];
                    }
                }
                std::copy_n(sum, 3, row + static_cast<std::size_t>(x) * 3);
            }
        }
        SkinPixels result;
        result.width = width;
        result.height = height;
        result.bits.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * kChannels);
        for (int y = 0; y < height; ++y) {
            const double* w = &down.weights[static_cast<std::size_t>(y) * down.span];
            const int first = down.first[static_cast<std::size_t>(y)];
            for (int x = 0; x < width; ++x) {
                double sum[3] = {};
                for (int k = 0; k < down.count[static_cast<std::size_t>(y)]; ++k) {
                    const double* px = &rows[(static_cast<std::size_t>(first + k) * width + x) * 3];
                    for (int c = 0; c < 3; ++c) {
                        sum[c] += w[k] * px[c];
                    }
                }
                std::uint8_t* px = &result.bits[(static_cast<std::size_t>(y) * width + x) * kChannels];
                for (int c = 0; c < 3; ++c) {
                    px[c] = ToByte(sum[c]);
                }
                if (px[0] >= kNearWhite && px[1] >= kNearWhite && px[2] >= kNearWhite) {
                    px[0] = px[1] = px[2] = kPulledWhite;
                }
                px[3] = 255;
            }
        }
        out = std::move(result);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
