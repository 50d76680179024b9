#include "lighting/ProfileHandOver.h"

#include "base/LittleEndian.h"

namespace {

constexpr std::uint8_t kFlagDamaged = 0x01;
constexpr std::uint8_t kFlagCurrent = 0x02;
constexpr std::uint8_t kLastResult = static_cast<std::uint8_t>(ProfileResult::NotStored);

void PutName(std::vector<std::uint8_t>& out, std::u16string_view name) {
    const std::size_t units = std::min(name.size(), kProfileNameMaxUnits);
    out.push_back(static_cast<std::uint8_t>(units));
    for (std::size_t i = 0; i < units; ++i) {
        out.push_back(static_cast<std::uint8_t>(name[i] & 0xFF));
        out.push_back(static_cast<std::uint8_t>(name[i] >> 8));
    }
}

// Reads a name at `at` (its length, then its units), moving `at` past it; nothing when it does not fit.
std::optional<std::u16string> TakeName(std::span<const std::uint8_t> bytes, std::size_t& at) {
    if (at >= bytes.size()) {
        return std::nullopt;
    }
    const std::size_t units = bytes[at++];
    if (units > kProfileNameMaxUnits || bytes.size() - at < 2 * units) {
        return std::nullopt;
    }
    std::u16string name(units, u'\0');
    for (std::size_t i = 0; i < units; ++i, at += 2) {
        name[i] = static_cast<char16_t>(LoadLe16(bytes.data() + at));
    }
    return name;
}

std::vector<std::uint8_t> Head(std::uint8_t second) {
    std::vector<std::uint8_t> out(2);
    StoreLe16(out.data(), kProfileHandOverVersion);
    out.push_back(second);
    return out;
}

bool VersionMatches(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 4 && LoadLe16(bytes.data()) == kProfileHandOverVersion;
}

} // namespace

std::vector<std::uint8_t> EncodeProfileRequest(const ProfileRequest& request) {
    std::vector<std::uint8_t> out = Head(static_cast<std::uint8_t>(request.command));
    PutName(out, request.name);
    return out;
}

std::optional<ProfileRequest> DecodeProfileRequest(std::span<const std::uint8_t> bytes) {
    if (!VersionMatches(bytes) || bytes[2] < static_cast<std::uint8_t>(ProfileCommand::List) ||
        bytes[2] > static_cast<std::uint8_t>(ProfileCommand::Delete)) {
        return std::nullopt;
    }
    ProfileRequest request{static_cast<ProfileCommand>(bytes[2]), {}};
    std::size_t at = 3;
    std::optional<std::u16string> name = TakeName(bytes, at);
    if (!name || at != bytes.size() || (request.command == ProfileCommand::List) != name->empty()) {
        return std::nullopt;
    }
    request.name = std::move(*name);
    return request;
}

std::vector<std::uint8_t> EncodeProfileAnswer(const ProfileAnswer& answer) {
    std::vector<std::uint8_t> out = Head(static_cast<std::uint8_t>(answer.result));
    const std::size_t count = std::min(answer.profiles.size(), kMaxListedProfiles);
    out.push_back(static_cast<std::uint8_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const ListedProfile& profile = answer.profiles[i];
        out.push_back(
            static_cast<std::uint8_t>((profile.damaged ? kFlagDamaged : 0) | (profile.current ? kFlagCurrent : 0)));
        PutName(out, profile.name);
    }
    return out;
}

std::optional<ProfileAnswer> DecodeProfileAnswer(std::span<const std::uint8_t> bytes) {
    if (!VersionMatches(bytes) || bytes[2] > kLastResult || bytes[3] > kMaxListedProfiles) {
        return std::nullopt;
    }
    ProfileAnswer answer{static_cast<ProfileResult>(bytes[2]), {}};
    std::size_t at = 4;
    for (std::size_t i = 0; i < bytes[3]; ++i) {
        if (at >= bytes.size() || (bytes[at] & ~(kFlagDamaged | kFlagCurrent)) != 0) {
            return std::nullopt;
        }
        const std::uint8_t flags = bytes[at++];
        std::optional<std::u16string> name = TakeName(bytes, at);
        if (!name) {
            return std::nullopt;
        }
        answer.profiles.push_back({std::move(*name), (flags & kFlagDamaged) != 0, (flags & kFlagCurrent) != 0});
    }
    if (at != bytes.size()) {
        return std::nullopt;
    }
    return answer;
}
