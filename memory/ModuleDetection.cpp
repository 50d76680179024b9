#include "memory/ModuleDetection.h"

namespace {

// Runs what with the bus taken through gate (when there is one); false when the bus was not got.
template <class What> bool WithBus(BusGate* gate, What what) {
    if (gate && !gate->Take(kStartBusWaitMs)) {
        return false;
    }
    what();
    if (gate) {
        gate->Give();
    }
    return true;
}

} // namespace

int DetectModules(const SpdByteReader& read, SpdImageStoreArray& store, BusGate* gate) {
    int count = 0;
    for (int first = 0; first < kFirstIndexCount; ++first) {
        for (int second = 0; second < kSecondIndexCount; ++second) {
            if (count == static_cast<int>(store.size())) {
                return count;
            }
            auto f = static_cast<std::uint8_t>(first);
            auto s = static_cast<std::uint8_t>(second);
            std::uint8_t firstByte = 0;
            if (!WithBus(gate, [&] { firstByte = read(f, s, 0); }) || firstByte != kDdr4SpdFirstByte) {
                continue;
            }
            SpdImage& image = store[static_cast<std::size_t>(count)];
            const bool copied = WithBus(gate, [&] {
                for (std::size_t offset = 0; offset < kSpdImageSize; ++offset) {
                    image[offset] = read(f, s, static_cast<std::uint16_t>(offset));
                }
            });
            if (copied) {
                ++count;
            }
        }
    }
    return count;
}
