// The high-resolution clock that tests, benchmarks and tools time things with.
#pragma once

namespace support {

// Milliseconds on the performance counter, from an arbitrary start: only differences mean anything.
double NowMs();

} // namespace support
