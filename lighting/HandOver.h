// The hand-over between prismelctl and the running program: a request (what to do to the lighting) and the
// program's answer (the lighting it now shows). Both are small, versioned, fixed-size records carried in a
// WM_COPYDATA message under their own tags; this codec turns bytes into a checked struct or a reason for refusing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

// The WM_COPYDATA tags ("PRQ1", "PRS1") and the layout version both records carry.
inline constexpr std::uint32_t kHandOverRequestTag = 0x31515250u;
inline constexpr std::uint32_t kHandOverStatusTag = 0x31535250u;
inline constexpr std::uint16_t kHandOverVersion = 1;
inline constexpr std::size_t kHandOverRequestSize = 12;
inline constexpr std::size_t kHandOverStatusSize = 12;
// What the program answers to a request it took (the message's result); anything else means it was not taken.
inline constexpr std::intptr_t kHandOverTaken = 0x50524D4C;
// The answer of a program whose SMBus library did not start: the request was read and nothing was done.
inline constexpr std::intptr_t kHandOverLibraryNotStarted = 0x50524D46;
// The most modules a status names: the twelve SMBus positions.
inline constexpr std::uint8_t kMaxModules = 12;

enum class HandOverCommand : std::uint8_t {
    Mode = 1,   // apply a mode, with the colour and speed if given
    On = 2,     // the power toggle turning on
    Off = 3,    // the power toggle turning off
    Reset = 4,  // the Reset button
    Status = 5, // nothing changes; the answer says what is shown
};

struct HandOverRequest {
    HandOverCommand command = HandOverCommand::Status;
    std::uint8_t mode = 0; // 1-10 for Mode, else 0
    bool hasColour = false;
    std::array<std::uint8_t, 3> colour{}; // red, green, blue; zero unless hasColour
    std::uint8_t speed = 0;               // speed button 1-5 (5 the fastest), or 0 for the current one
    friend bool operator==(const HandOverRequest&, const HandOverRequest&) = default;
};

struct HandOverStatus {
    std::uint8_t mode = 0;  // 0 (none applied yet) or 1-10
    std::uint8_t speed = 1; // speed button 1-5
    std::array<std::uint8_t, 3> colour{};
    bool on = true;
    bool useRgbI2cMode = false;
    bool useSetZorvaEffect = false;
    std::uint8_t modules = 0; // 0-12
    friend bool operator==(const HandOverStatus&, const HandOverStatus&) = default;
};

enum class HandOverRefusal { WrongSize, WrongVersion, UnknownCommand, BadMode, BadSpeed, BadFlags, NonzeroPadding };

using RequestBytes = std::array<std::uint8_t, kHandOverRequestSize>;
using StatusBytes = std::array<std::uint8_t, kHandOverStatusSize>;

RequestBytes EncodeRequest(const HandOverRequest& request);
std::variant<HandOverRequest, HandOverRefusal> DecodeRequest(std::span<const std::uint8_t> bytes);
StatusBytes EncodeStatus(const HandOverStatus& status);
std::variant<HandOverStatus, HandOverRefusal> DecodeStatus(std::span<const std::uint8_t> bytes);
