// prismelctl's requests carried out on the lighting: the decoded request becomes the page's own operations, done
// as its buttons do them, and the answer is the status after them. Portable: bytes in, bytes out; the Win32 side
// (HandOverWindow_win32) only moves them in and out of WM_COPYDATA messages.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "lighting/DarkHandOver.h"
#include "lighting/HandOver.h"
#include "lighting/ProfileHandOver.h"
#include "lighting/Profiles.h"
#include "lighting/LightingSequences.h"
#include "memory/SmbusBinding.h"

// What a request may do to the lighting: the lighting page's operations.
class HandOverTarget {
public:
    virtual ~HandOverTarget() = default;
    // The mode button, the speed button (1-5; 0 keeps the one shown) and the colour when given, then the power
    // toggle turning on (the lights go on with that mode, as Apply sends it).
    virtual void ChooseAndTurnOn(std::int32_t mode, std::int32_t speedButton,
                                 const std::optional<std::array<std::uint8_t, 3>>& colour) = 0;
    virtual void TurnOn() = 0;
    virtual void TurnOff() = 0;
    virtual void Reset() = 0;
    // A profile's lighting: its mode, speed and colour chosen and applied (or the power toggle turning off), as
    // the buttons would do it.
    virtual void LoadLighting(const LightingChoice& lighting) = 0;
    // The lighting applied now, as a profile keeps it (before anything was applied: the modules' own effect).
    virtual LightingChoice AppliedLighting() const = 0;
    // What the modules show now.
    virtual HandOverStatus Status() const = 0;
    // Whether the SMBus library started; when it did not, no request is carried out.
    virtual bool LibraryStarted() const = 0;
    // The dark rules, stored at once when set, and the reasons that hold now.
    virtual const DarkSettings& DarkRules() const = 0;
    virtual void SetDarkRules(const DarkSettings& rules) = 0;
    virtual std::uint8_t DarkReasons() const = 0;
};

// The status of the lighting model: what was applied (never what the controls show but was not applied), the
// command sets and the modules detected.
HandOverStatus StatusOf(const LightingState& lighting, SmbusFlags flags, int modules);

struct HandOverAnswer {
    enum class Kind {
        Refused,           // the bytes are no request: nothing done, no answer
        LibraryNotStarted, // a request, not carried out: the library did not start
        Taken,             // carried out; status says what the modules show now
    } kind = Kind::Refused;
    StatusBytes status{};
};

// A request's bytes carried out on target.
HandOverAnswer TakeHandOver(std::span<const std::uint8_t> bytes, HandOverTarget& target);

// A profile request's bytes carried out with the book and on target (a load as its buttons would); the answer's
// bytes, or nothing (and nothing done) when the bytes are refused or the library did not start.
std::optional<std::vector<std::uint8_t>> TakeProfileHandOver(std::span<const std::uint8_t> bytes, ProfileBook& book,
                                                             HandOverTarget& target);
// The book's profiles as an answer lists them, the one holding the applied lighting marked current.
std::vector<ListedProfile> ListProfiles(const ProfileBook& book, const LightingChoice& applied);

// A dark-rules request's bytes carried out on target; the answer's bytes (every rule and the reasons holding now), or
// nothing (and nothing done) when the bytes are refused.
std::optional<DarkRecord> TakeDarkHandOver(std::span<const std::uint8_t> bytes, HandOverTarget& target);
