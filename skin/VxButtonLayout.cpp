#include "skin/VxButtonLayout.h"

bool IsVxClick(std::uint32_t pressTick, std::uint32_t releaseTick) noexcept {
    // Unsigned subtraction wraps; the conversion to a signed value is exact (modular) since C++20. Comparing both
    // bounds avoids taking the absolute value of INT32_MIN.
    const auto held = static_cast<std::int32_t>(releaseTick - pressTick);
    return held > -kVxClickLimitMs && held < kVxClickLimitMs;
}
