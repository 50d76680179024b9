// prismelctl's profile requests and the program's answers: two more versioned records in WM_COPYDATA messages
// under their own tags, beside the lighting request and status of HandOver.h. Request: version (2 bytes,
// little-endian), command, the name's length in UTF-16 units (0-128), the name (UTF-16, little-endian). Answer:
// version, result, the number of profiles listed (0-200), then per profile its flags (bit 0 damaged, bit 1 the
// lighting applied now), its name's length and the name. Bytes in, a checked struct or nothing out.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "lighting/Profiles.h"

// "PPQ1" and "PPA1".
inline constexpr std::uint32_t kProfileRequestTag = 0x31515050u;
inline constexpr std::uint32_t kProfileAnswerTag = 0x31415050u;
inline constexpr std::uint16_t kProfileHandOverVersion = 1;
inline constexpr std::size_t kMaxListedProfiles = 2 * kMaxProfiles;

enum class ProfileCommand : std::uint8_t { List = 1, Save = 2, Load = 3, Delete = 4 };

struct ProfileRequest {
    ProfileCommand command = ProfileCommand::List;
    std::u16string name; // empty for List
    friend bool operator==(const ProfileRequest&, const ProfileRequest&) = default;
};

struct ListedProfile {
    std::u16string name;
    bool damaged = false;
    bool current = false;
    friend bool operator==(const ListedProfile&, const ListedProfile&) = default;
};

struct ProfileAnswer {
    ProfileResult result = ProfileResult::Done;
    std::vector<ListedProfile> profiles; // for List
    friend bool operator==(const ProfileAnswer&, const ProfileAnswer&) = default;
};

std::vector<std::uint8_t> EncodeProfileRequest(const ProfileRequest& request);
// Nothing for bytes of another size or version, an unknown command, a name longer than the bound, or a name given
// to List (or missing for the others).
std::optional<ProfileRequest> DecodeProfileRequest(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> EncodeProfileAnswer(const ProfileAnswer& answer);
std::optional<ProfileAnswer> DecodeProfileAnswer(std::span<const std::uint8_t> bytes);
