// The library calls of one lighting command, gathered while its sequence runs and sent together while the shared
// SMBus mutex is held. A command that cannot get the bus waits as the pending batch; what came later wins.
#pragma once

#include <cstdint>
#include <vector>

#include "lighting/LightingSequences.h"

struct BusCall {
    bool effect = false; // SetZorvaEffect(a, speed, b, argb); otherwise RGBI2CMode(a, b, c, d)
    std::uint8_t a = 0, b = 0, c = 0, d = 0;
    std::uint16_t speed = 0;
    std::uint32_t argb = 0;
    friend bool operator==(const BusCall&, const BusCall&) = default;
};

inline constexpr bool IsLedCall(const BusCall& call) {
    return !call.effect && call.a >= kCommandFirstLed && call.a < kCommandFirstLed + kLedCount;
}

// A later command replaces the pending one, except that a batch of LED frames (a client's Direct frame) replaces
// only the frames at the pending batch's end: the select before them must still go out.
inline void MergePending(std::vector<BusCall>& pending, const std::vector<BusCall>& next) {
    if (next.empty()) {
        return;
    }
    if (!IsLedCall(next.front())) {
        pending = next;
        return;
    }
    while (!pending.empty() && IsLedCall(pending.back())) {
        pending.pop_back();
    }
    pending.insert(pending.end(), next.begin(), next.end());
}
