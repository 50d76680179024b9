// What the modules' LEDs were last told, rebuilt from the stand-in's journal line by line. Lighting commands name
// no module, so one state stands for every fitted module: the five LEDs of the last frame, and captions for the
// commands that change the modules' behaviour rather than their colours.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "smbus-sim/core/JournalFollower.h"
#include "smbus-sim/core/JournalFormat.h"

namespace smbus_sim {

struct LedColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    // (0, 0, 0) is how an unlit LED is sent.
    bool Lit() const { return red != 0 || green != 0 || blue != 0; }
    bool operator==(const LedColour&) const = default;
};

// One call line of the journal: "<ms timestamp> Name(0x.., 0x..) -> 0x........".
struct JournalCall {
    std::string name;
    std::vector<std::uint32_t> arguments;
};
// The call a line records, or nothing for any other line (problems, ReadSPD runs, damaged lines).
std::optional<JournalCall> ParseJournalCall(std::string_view line);

// The name of an effect mode 1-10, "none" for 0, empty for any other number.
std::string_view EffectModeName(std::uint32_t mode);

class LedModel {
public:
    // Takes one complete journal line (without its line end). Returns true when anything shown changed. The
    // state lines of a continued journal are taken as the calls they repeat: whoever read the earlier part is
    // told nothing new, whoever did not learns the state.
    bool Apply(std::string_view line);
    // Back to the state before any command: the journal was started again.
    void Reset() { *this = LedModel(); }

    const std::array<LedColour, kLedCount>& Leds() const { return m_leds; }
    // "Command set: select 3; parameters 1=2, 0=1, 16=0", or empty before the first select or parameter command.
    std::string CommandSetCaption() const;
    // "Effect: mode 2 Breathing, speed 300, colour #3D45FF", or empty before the first effect call.
    const std::string& EffectCaption() const { return m_effect; }
    // True while the modules run an effect of their own (built-in, colour effect or effect call): what they show
    // then is not the frame drawn.
    bool ModulesOwnEffect() const { return m_ownEffect; }
    // Lighting lines that could not be understood (unknown commands, out-of-range values, damaged call lines).
    std::uint32_t NotUnderstood() const { return m_notUnderstood; }
    // The stand-in's last complaint: a PROBLEM line or a call the program must never make; empty if none.
    const std::string& LastProblem() const { return m_problem; }
    // Journal lines the stand-in could not write, as its last continuation line says.
    std::uint64_t DroppedLines() const { return m_dropped; }

    // Parameter commands kept for the caption since the last select command.
    static constexpr std::size_t kParametersShown = kParametersKept;

private:
    bool ApplyCommandSet(const std::vector<std::uint32_t>& a);
    bool ApplyEffect(const std::vector<std::uint32_t>& a);
    bool ApplyContinued(std::string_view rest);
    bool Refuse();

    std::array<LedColour, kLedCount> m_leds{};
    std::optional<std::uint32_t> m_select;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_parameters;
    std::string m_effect;
    bool m_ownEffect = false;
    std::uint32_t m_notUnderstood = 0;
    std::string m_problem;
    std::uint64_t m_dropped = 0;
};

// The LED state kept up to date from a journal being written: what the view polls.
class LedJournal {
public:
    // Reads what the journal gained since the last poll; true when anything shown changed. A journal started
    // again (or gone) clears everything shown before its new lines are read; one continued after reaching its
    // size limit clears nothing.
    bool Poll(JournalSource& source);
    const LedModel& Model() const { return m_model; }

private:
    JournalFollower m_follower;
    LedModel m_model;
};

} // namespace smbus_sim
