// What reaches the program as a profile: a stored record from the settings key, and prismelctl's profile request
// and the answer to it. Any bytes decode to a checked value or are refused, and what was taken encodes back to
// exactly the bytes it came from.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "lighting/ProfileHandOver.h"
#include "lighting/Profiles.h"

namespace {

template <class Bytes> void SameOrAbort(const Bytes& again, std::span<const std::uint8_t> bytes) {
    if (again.size() != bytes.size() || !std::equal(again.begin(), again.end(), bytes.begin())) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    if (const auto lighting = DecodeProfile(bytes)) {
        SameOrAbort(EncodeProfile(*lighting), bytes);
    }
    if (const auto request = DecodeProfileRequest(bytes)) {
        SameOrAbort(EncodeProfileRequest(*request), bytes);
    }
    if (const auto answer = DecodeProfileAnswer(bytes)) {
        SameOrAbort(EncodeProfileAnswer(*answer), bytes);
    }
    return 0;
}
