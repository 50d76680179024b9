// The hand-over records from outside the program: any bytes decode to a checked record or a refusal, and a record
// that was taken encodes back to exactly the bytes it came from.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <variant>

#include "lighting/HandOver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto request = DecodeRequest(bytes);
    if (const auto* taken = std::get_if<HandOverRequest>(&request)) {
        const RequestBytes again = EncodeRequest(*taken);
        if (size != again.size() || !std::equal(again.begin(), again.end(), data)) {
            std::abort();
        }
    }
    const auto status = DecodeStatus(bytes);
    if (const auto* taken = std::get_if<HandOverStatus>(&status)) {
        const StatusBytes again = EncodeStatus(*taken);
        if (size != again.size() || !std::equal(again.begin(), again.end(), data)) {
            std::abort();
        }
    }
    return 0;
}
