#include "lighting/Profiles.h"

#include <algorithm>

#include "base/LittleEndian.h"
#include "lighting/LightingModes.h"
#include "lighting/LightingSequences.h"

namespace {

constexpr std::uint8_t kFlagOn = 0x01;

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// A capital letter of the Latin, Greek or Cyrillic alphabets as its small letter; anything else as it is.
char16_t Folded(char16_t u) {
    if ((u >= u'A' && u <= u'Z') || (u >= 0x00C0 && u <= 0x00DE && u != 0x00D7) ||
        (u >= 0x0391 && u <= 0x03AB && u != 0x03A2) || (u >= 0x0410 && u <= 0x042F)) {
        return static_cast<char16_t>(u + 0x20);
    }
    if (u >= 0x0400 && u <= 0x040F) {
        return static_cast<char16_t>(u + 0x50);
    }
    // Latin Extended-A: capitals and small letters in pairs.
    if ((u >= 0x0100 && u <= 0x0137 && u % 2 == 0) || (u >= 0x0139 && u <= 0x0148 && u % 2 == 1) ||
        (u >= 0x014A && u <= 0x0177 && u % 2 == 0) || (u >= 0x0179 && u <= 0x017E && u % 2 == 1)) {
        return static_cast<char16_t>(u + 1);
    }
    return u;
}

std::u16string FoldedName(std::u16string_view name) {
    std::u16string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), Folded);
    return folded;
}

} // namespace

ProfileRecord EncodeProfile(const LightingChoice& lighting) {
    ProfileRecord record{};
    StoreLe16(record.data(), kProfileRecordVersion);
    record[2] = lighting.on ? kFlagOn : 0;
    record[3] = static_cast<std::uint8_t>(lighting.mode);
    record[4] = lighting.speedStep;
    std::copy(lighting.colour.begin(), lighting.colour.end(), record.begin() + 5);
    return record;
}

std::optional<LightingChoice> DecodeProfile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kProfileRecordSize || LoadLe16(bytes.data()) != kProfileRecordVersion ||
        (bytes[2] & ~kFlagOn) != 0 || bytes[3] < kModeStatic || bytes[3] > kModeCount || bytes[4] >= kSpeedStepCount) {
        return std::nullopt;
    }
    return LightingChoice{bytes[3], {bytes[5], bytes[6], bytes[7]}, bytes[4], (bytes[2] & kFlagOn) != 0};
}

ProfileNameProblem CheckProfileName(std::u16string_view name) {
    if (name.empty()) {
        return ProfileNameProblem::Empty;
    }
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i];
        if (unit < 0x20 || (unit >= 0x7F && unit <= 0x9F)) {
            return ProfileNameProblem::ControlCharacter;
        }
        if (unit == u'\\') {
            return ProfileNameProblem::Backslash;
        }
        if (IsHighSurrogate(unit) && i + 1 < name.size() && IsLowSurrogate(name[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            return ProfileNameProblem::NotText;
        }
        if (++characters > kProfileNameMaxCharacters) {
            return ProfileNameProblem::TooLong;
        }
    }
    return ProfileNameProblem::None;
}

bool SameProfileName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && FoldedName(a) == FoldedName(b);
}

std::vector<Profile> ProfileBook::List() const {
    std::vector<Profile> profiles;
    for (NamedValue& value : m_store.ReadAll(2 * kMaxProfiles, kProfileNameMaxUnits, kProfileRecordSize)) {
        Profile profile{std::move(value.name), std::nullopt};
        if (!value.tooLong && CheckProfileName(profile.name) == ProfileNameProblem::None) {
            profile.lighting = DecodeProfile(value.data);
        }
        profiles.push_back(std::move(profile));
    }
    std::sort(profiles.begin(), profiles.end(),
              [](const Profile& a, const Profile& b) { return FoldedName(a.name) < FoldedName(b.name); });
    return profiles;
}

std::optional<Profile> ProfileBook::Find(std::u16string_view name) const {
    for (Profile& profile : List()) {
        if (SameProfileName(profile.name, name)) {
            return std::move(profile);
        }
    }
    return std::nullopt;
}

ProfileResult ProfileBook::Save(std::u16string_view name, const LightingChoice& lighting) {
    if (CheckProfileName(name) != ProfileNameProblem::None) {
        return ProfileResult::BadName;
    }
    const std::vector<Profile> profiles = List();
    const auto same = std::find_if(profiles.begin(), profiles.end(),
                                   [&](const Profile& profile) { return SameProfileName(profile.name, name); });
    if (same == profiles.end() && profiles.size() >= kMaxProfiles) {
        return ProfileResult::Full;
    }
    // A new spelling of the name replaces the old one.
    if (same != profiles.end() && same->name != name && !m_store.Remove(same->name)) {
        return ProfileResult::NotStored;
    }
    const ProfileRecord record = EncodeProfile(lighting);
    return m_store.WriteBinary(name, {record.begin(), record.end()}) ? ProfileResult::Done : ProfileResult::NotStored;
}

ProfileResult ProfileBook::Load(std::u16string_view name, LightingChoice& lighting) const {
    const std::optional<Profile> profile = Find(name);
    if (!profile) {
        return ProfileResult::UnknownName;
    }
    if (!profile->lighting) {
        return ProfileResult::Damaged;
    }
    lighting = *profile->lighting;
    return ProfileResult::Done;
}

ProfileResult ProfileBook::Delete(std::u16string_view name) {
    const std::optional<Profile> profile = Find(name);
    if (!profile) {
        return ProfileResult::UnknownName;
    }
    return m_store.Remove(profile->name) ? ProfileResult::Done : ProfileResult::NotStored;
}
