// The memory modules as one SDK controller: its modes from the lighting page's modes and the command sets present,
// what the page shows now, and what a client's mode index means to the page.
#pragma once

#include <cstdint>
#include <optional>

#include <string_view>

#include "lighting/LightingControls.h"
#include "lighting/LightingSequences.h"
#include "memory/SmbusBinding.h"
#include "sdk/SdkProtocol.h"

namespace sdk {

// The SDK's speeds are the speed buttons' numbers, 1 (slowest) to 5 (fastest).
inline constexpr std::uint32_t kSpeedFirst = 1;
inline constexpr std::uint32_t kSpeedLast = kSpeedStepCount;
// Mode values the page has no number for.
inline constexpr std::int32_t kValueDirect = 0;
inline constexpr std::int32_t kValueOff = kModeCount + 1;

// What the modules show: the lighting last applied.
struct LightingSnapshot {
    SmbusFlags flags;
    std::int32_t mode = kModeNone; // the mode last applied, else the one chosen
    std::int32_t speedIndex = 0;   // the speed button of the speed last applied, else the one chosen
    std::uint32_t colour = 0;      // COLORREF of the colour last applied
    bool powerOn = true;
    bool direct = false;
    std::array<LedColour, kLedCount> leds{};
    bool libraryStarted = true; // false: the SMBus library did not start, and nothing reaches the modules
};

// The snapshot of the lighting model. Before anything was applied, the mode and speed are those chosen.
LightingSnapshot SnapshotOf(const LightingState& lighting, SmbusFlags flags, bool libraryStarted);

// What a client is told when the SMBus library did not start.
inline constexpr std::string_view kLibraryNotStarted = "the SMBus library did not start";

ControllerDescription DescribeController(const LightingSnapshot& lighting);

// What a client's mode choice asks of the lighting page.
struct ModeTarget {
    enum class Kind { Direct, Mode, Off } kind = Kind::Mode;
    std::int32_t mode = kModeNone;       // for Mode: 1-10
    std::int32_t speedIndex = 0;         // for Mode: 0-4, kept from the page when the mode has no speed
    std::optional<std::uint32_t> colour; // for Mode: COLORREF, for the modes with a colour
    friend bool operator==(const ModeTarget&, const ModeTarget&) = default;
};

std::uint32_t ModeCount(SmbusFlags flags);
// The request's mode index (below ModeCount) as the page's choice; the speed is clamped to 1-5.
ModeTarget TargetOf(SmbusFlags flags, const ModeRequest& request, std::int32_t currentSpeedIndex);

} // namespace sdk
