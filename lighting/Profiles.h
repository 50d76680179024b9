// Named lighting profiles: a name and the lighting the remembered lighting keeps (power, mode, speed step, colour),
// kept as one small versioned binary value per profile in the settings key's "Profiles" subkey. Portable: the
// record codec, the name rules and the book of profiles over a settings list.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Settings.h"
#include "lighting/RememberedLighting.h"

inline constexpr std::u16string_view kProfilesSubkey = u"Profiles";
// A name has 1-64 characters (a surrogate pair is one character).
inline constexpr std::size_t kProfileNameMaxCharacters = 64;
inline constexpr std::size_t kProfileNameMaxUnits = 2 * kProfileNameMaxCharacters;
inline constexpr std::size_t kMaxProfiles = 100;

// ---- The record ----------------------------------------------------------------------------------------------
// Version (2 bytes, little-endian), flags (bit 0: on), mode 1-10, speed step 0-4, red, green, blue: 8 bytes.
inline constexpr std::uint16_t kProfileRecordVersion = 1;
inline constexpr std::size_t kProfileRecordSize = 8;
using ProfileRecord = std::array<std::uint8_t, kProfileRecordSize>;

ProfileRecord EncodeProfile(const LightingChoice& lighting);
// The lighting of a record, or nothing for a record of another size or version, or with a field out of range.
std::optional<LightingChoice> DecodeProfile(std::span<const std::uint8_t> bytes);

// ---- Names ---------------------------------------------------------------------------------------------------
enum class ProfileNameProblem { None, Empty, TooLong, ControlCharacter, Backslash, NotText };
// Any language; no control characters (C0, DEL, C1), no '\' and no unpaired surrogate.
ProfileNameProblem CheckProfileName(std::u16string_view name);
// Names are compared without case, as the registry compares value names (letters of the Latin, Greek and Cyrillic
// alphabets; scripts without case compare as they are).
bool SameProfileName(std::u16string_view a, std::u16string_view b);

// ---- The book ------------------------------------------------------------------------------------------------
struct Profile {
    std::u16string name;
    std::optional<LightingChoice> lighting; // nothing: the stored record is damaged, and it is never loaded
};

// Carried in prismelctl's answers under these numbers.
enum class ProfileResult : std::uint8_t {
    Done = 0,
    UnknownName = 1, // no profile of that name
    BadName = 2,     // the name breaks the name rules
    Full = 3,        // kMaxProfiles profiles exist already and the name is new
    Damaged = 4,     // the profile's record does not decode
    NotStored = 5,   // the settings key could not be written
};

class ProfileBook {
public:
    explicit ProfileBook(ISettingsList& store) : m_store(store) {}

    // Every stored profile, in the order of their names (without case); at most kMaxProfiles * 2 are read.
    std::vector<Profile> List() const;
    // The profile of that name (without case), if there is one.
    std::optional<Profile> Find(std::u16string_view name) const;
    // Saves lighting under name, replacing a profile of the same name (without case) under the new spelling.
    ProfileResult Save(std::u16string_view name, const LightingChoice& lighting);
    // The lighting to load, or why there is none.
    ProfileResult Load(std::u16string_view name, LightingChoice& lighting) const;
    ProfileResult Delete(std::u16string_view name);

private:
    ISettingsList& m_store;
};
