#include "smbus-sim/core/LedModel.h"

#include <charconv>
#include <cstdio>

#include "lighting/LightingSequences.h"

namespace smbus_sim {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "0x" and one to eight hex digits.
std::optional<std::uint32_t> ParseHex(std::string_view s) {
    if (s.size() < 3 || s.size() > 10 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    auto [end, ec] = std::from_chars(s.data() + 2, s.data() + s.size(), value, 16);
    if (ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return value;
}

bool ParseArguments(std::string_view text, std::vector<std::uint32_t>& out) {
    if (text.empty()) {
        return true;
    }
    while (true) {
        auto comma = text.find(',');
        auto value = ParseHex(text.substr(0, comma));
        if (!value) {
            return false;
        }
        out.push_back(*value);
        if (comma == std::string_view::npos) {
            return true;
        }
        text.remove_prefix(comma + 1);
        if (text.empty() || text.front() != ' ') {
            return false;
        }
        text.remove_prefix(1);
    }
}

} // namespace

std::optional<JournalCall> ParseJournalCall(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    // The timestamp: milliseconds with a decimal point.
    std::size_t i = 0;
    while (i < line.size() && (IsDigit(line[i]) || line[i] == '.')) {
        ++i;
    }
    if (i == 0 || i >= line.size() || line[i] != ' ') {
        return std::nullopt;
    }
    std::string_view rest = line.substr(i + 1);
    auto open = rest.find('(');
    auto close = rest.find(") -> ");
    if (open == 0 || open == std::string_view::npos || close == std::string_view::npos || close < open ||
        !ParseHex(rest.substr(close + 5))) {
        return std::nullopt;
    }
    JournalCall call;
    call.name = std::string(rest.substr(0, open));
    if (!ParseArguments(rest.substr(open + 1, close - open - 1), call.arguments)) {
        return std::nullopt;
    }
    return call;
}

std::string_view EffectModeName(std::uint32_t mode) {
    return mode < kModeNames.size() ? kModeNames[mode] : std::string_view();
}

bool LedModel::Apply(std::string_view line) {
    if (line.starts_with(kProblemPrefix)) {
        m_problem = std::string(line.substr(kProblemPrefix.size()));
        return true;
    }
    if (std::string_view rest; SplitOwnLine(line, kContinuedWord, rest)) {
        return ApplyContinued(rest);
    }
    auto call = ParseJournalCall(line);
    if (std::string statePrefix = std::string(kStateWord) + " "; call && call->name.starts_with(statePrefix)) {
        call->name.erase(0, statePrefix.size());
    }
    if (!call) {
        // A lighting call that does not read as one is counted; any other line (ReadSPD runs, blank lines) is not
        // about the lighting.
        bool lighting = line.find("RGBI2CMode(") != std::string_view::npos ||
                        line.find("SetZorvaEffect(") != std::string_view::npos;
        return lighting && Refuse();
    }
    if (call->name.starts_with("UNEXPECTED ")) {
        m_problem = "called " + call->name.substr(11);
        return true;
    }
    if (call->name == "RGBI2CMode") {
        return call->arguments.size() == 4 ? ApplyCommandSet(call->arguments) : Refuse();
    }
    if (call->name == "SetZorvaEffect") {
        return call->arguments.size() == 4 ? ApplyEffect(call->arguments) : Refuse();
    }
    return false;
}

bool LedModel::ApplyCommandSet(const std::vector<std::uint32_t>& a) {
    std::uint32_t command = a[0];
    if (command >= kFirstLedCommand && command < kFirstLedCommand + kLedCount) {
        if (a[1] > 0xFF || a[2] > 0xFF || a[3] > 0xFF) {
            return Refuse(); // a module takes a byte per colour: such a frame cannot be shown as sent
        }
        m_leds[command - kFirstLedCommand] = {static_cast<std::uint8_t>(a[1]), static_cast<std::uint8_t>(a[2]),
                                              static_cast<std::uint8_t>(a[3])};
        return true;
    }
    if (command == kSelectCommand) {
        m_select = a[1];
        m_parameters.clear();
        m_ownEffect = a[1] != kSelectFrames;
        if (a[1] == kSelectFrames) {
            m_leds = {}; // dark until the first frame arrives
        }
        return true;
    }
    if (command == kParameterCommand) {
        if (m_parameters.size() == kParametersShown) {
            m_parameters.erase(m_parameters.begin());
        }
        m_parameters.emplace_back(a[1], a[2]);
        return true;
    }
    return Refuse();
}

bool LedModel::ApplyEffect(const std::vector<std::uint32_t>& a) {
    std::uint32_t mode = a[0];
    std::uint32_t colour = a[3];
    std::string_view name = EffectModeName(mode);
    char text[160];
    std::snprintf(text, sizeof text, "Effect: mode %u %s, speed %u, ", static_cast<unsigned>(mode),
                  name.empty() ? "(unknown)" : std::string(name).c_str(), static_cast<unsigned>(a[1]));
    m_effect = text;
    if (colour >> 24 == 0xFF) {
        std::snprintf(text, sizeof text, "colour #%06X", static_cast<unsigned>(colour & 0xFFFFFF));
    } else if (colour == 0) {
        std::snprintf(text, sizeof text, "no colour");
    } else {
        std::snprintf(text, sizeof text, "colour 0x%08X (not opaque)", static_cast<unsigned>(colour));
    }
    m_effect += text;
    m_ownEffect = mode != 0;
    return true;
}

// "part=N dropped=N": the dropped count is the only thing shown.
bool LedModel::ApplyContinued(std::string_view rest) {
    constexpr std::string_view kDropped = "dropped=";
    auto at = rest.find(kDropped);
    if (at == std::string_view::npos) {
        return false;
    }
    std::string_view digits = rest.substr(at + kDropped.size());
    std::uint64_t dropped = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), dropped);
    if (ec != std::errc() || (end != digits.data() + digits.size() && *end != ' ') || dropped == m_dropped) {
        return false;
    }
    m_dropped = dropped;
    return true;
}

bool LedModel::Refuse() {
    ++m_notUnderstood;
    return true;
}

std::string LedModel::CommandSetCaption() const {
    if (!m_select && m_parameters.empty()) {
        return {};
    }
    std::string text = "Command set: ";
    if (m_select) {
        text += "select " + std::to_string(*m_select);
    }
    if (!m_parameters.empty()) {
        text += m_select ? "; parameters " : "parameters ";
        for (std::size_t i = 0; i < m_parameters.size(); ++i) {
            text +=
                (i ? ", " : "") + std::to_string(m_parameters[i].first) + "=" + std::to_string(m_parameters[i].second);
        }
    }
    return text;
}

bool LedJournal::Poll(JournalSource& source) {
    bool changed = false;
    auto poll = m_follower.Follow(source, [&](std::string_view line) { changed = m_model.Apply(line) || changed; });
    if (poll.restarted) {
        m_model.Reset();
        changed = true;
    }
    return changed;
}

} // namespace smbus_sim
