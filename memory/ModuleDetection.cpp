#include "memory/ModuleDetection.h"

int DetectModules(const SpdByteReader& read, SpdImageStoreArray& store) {
    int count = 0;
    for (int first = 0; first < kFirstIndexCount; ++first) {
        for (int second = 0; second < kSecondIndexCount; ++second) {
            if (count == static_cast<int>(store.size())) {
                return count;
            }
            auto f = static_cast<std::uint8_t>(first);
            auto s = static_cast<std::uint8_t>(second);
            if (read(f, s, 0) != kDdr4SpdFirstByte) {
                continue;
            }
            SpdImage& image = store[static_cast<std::size_t>(count)];
            for (std::size_t offset = 0; offset < kSpdImageSize; ++offset) {
                image[offset] = read(f, s, static_cast<std::uint16_t>(offset));
            }
            ++count;
        }
    }
    return count;
}
