#include "prismelctl/CtlCommand.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

#include "base/Utf8.h"
#include "lighting/LightingSequences.h"

namespace {

// A whole decimal number within lowest-highest.
std::optional<unsigned> Number(std::string_view word, unsigned lowest, unsigned highest) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || error != std::errc() || end != word.data() + word.size() || value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::array<std::uint8_t, 3>> Colour(std::string_view word) {
    std::array<std::uint8_t, 3> colour{};
    if (word.size() == 6 && word.find(',') == std::string_view::npos) {
        for (std::size_t i = 0; i < 3; ++i) {
            unsigned value = 0;
            const char* first = word.data() + 2 * i;
            const auto [end, error] = std::from_chars(first, first + 2, value, 16);
            if (error != std::errc() || end != first + 2) {
                return std::nullopt;
            }
            colour[i] = static_cast<std::uint8_t>(value);
        }
        return colour;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t comma = word.find(',');
        if ((i < 2) != (comma != std::string_view::npos)) {
            return std::nullopt;
        }
        auto value = Number(word.substr(0, comma), 0, 255);
        if (!value) {
            return std::nullopt;
        }
        colour[i] = static_cast<std::uint8_t>(*value);
        word = i < 2 ? word.substr(comma + 1) : std::string_view{};
    }
    return colour;
}

CtlParse Refuse(std::string reason) {
    return {std::nullopt, std::move(reason)};
}

CtlParse ParseMode(std::span<const std::string_view> args) {
    if (args.empty()) {
        return Refuse("mode needs a name or a number 1-10");
    }
    CtlCommand command{CtlCommand::Action::Send, {HandOverCommand::Mode}, false, {}, {}};
    command.request.mode = static_cast<std::uint8_t>(ModeByWord(args[0]));
    if (command.request.mode == 0) {
        return Refuse("unknown mode '" + std::string(args[0]) + "' (a name as on the buttons, or 1-10)");
    }
    for (std::size_t i = 1; i < args.size(); i += 2) {
        const std::string_view option = args[i];
        if (option != "--colour" && option != "--color" && option != "--speed") {
            return Refuse("unknown option '" + std::string(option) + "'");
        }
        if (i + 1 >= args.size()) {
            return Refuse(std::string(option) + " needs a value");
        }
        const std::string_view value = args[i + 1];
        if (option == "--speed") {
            auto speed = Number(value, 1, kSpeedStepCount);
            if (!speed) {
                return Refuse("speed '" + std::string(value) + "' out of range (1-5)");
            }
            command.request.speed = static_cast<std::uint8_t>(*speed);
        } else {
            auto colour = Colour(value);
            if (!colour) {
                return Refuse("bad colour '" + std::string(value) + "' (RRGGBB or R,G,B with 0-255)");
            }
            command.request.hasColour = true;
            command.request.colour = *colour;
        }
    }
    return {command, {}};
}

std::string NameProblem(ProfileNameProblem problem) {
    switch (problem) {
    case ProfileNameProblem::Empty:
        return "a profile name cannot be empty";
    case ProfileNameProblem::TooLong:
        return "a profile name has at most 64 characters";
    case ProfileNameProblem::ControlCharacter:
        return "a profile name cannot hold control characters";
    case ProfileNameProblem::Backslash:
        return "a profile name cannot hold '\\'";
    case ProfileNameProblem::NotText:
    case ProfileNameProblem::None:
        break;
    }
    return "a profile name must be valid text";
}

CtlParse ParseProfile(std::span<const std::string_view> args) {
    constexpr struct {
        std::string_view word;
        ProfileCommand command;
    } kVerbs[] = {{"list", ProfileCommand::List},
                  {"save", ProfileCommand::Save},
                  {"load", ProfileCommand::Load},
                  {"delete", ProfileCommand::Delete}};
    if (args.empty()) {
        return Refuse("profile needs list, save NAME, load NAME or delete NAME");
    }
    for (const auto& verb : kVerbs) {
        if (args[0] != verb.word) {
            continue;
        }
        CtlCommand command{CtlCommand::Action::Profile, {}, false, {verb.command, {}}, {}};
        if (verb.command == ProfileCommand::List) {
            command.json = args.size() == 2 && args[1] == "--json";
            if (args.size() > 1 && !command.json) {
                return Refuse("unexpected '" + std::string(args[1]) + "' after profile list");
            }
            return {command, {}};
        }
        if (args.size() != 2) {
            return Refuse("profile " + std::string(verb.word) + " needs one NAME (in quotes when it has blanks)");
        }
        const std::optional<std::u16string> name = FromUtf8(args[1]);
        const ProfileNameProblem problem = name ? CheckProfileName(*name) : ProfileNameProblem::NotText;
        if (problem != ProfileNameProblem::None) {
            return Refuse(NameProblem(problem));
        }
        command.profile.name = *name;
        return {command, {}};
    }
    return Refuse("unknown profile command '" + std::string(args[0]) + "' (list, save, load or delete)");
}

CtlParse ParseDark(std::span<const std::string_view> args) {
    CtlCommand command{CtlCommand::Action::Dark, {}, false, {}, {}};
    if (args.empty() || (args.size() == 1 && args[0] == "--json")) {
        command.json = !args.empty();
        return {command, {}};
    }
    constexpr struct {
        std::string_view word;
        DarkRule rule;
    } kRules[] = {{"asleep", DarkRule::Asleep},
                  {"display", DarkRule::Display},
                  {"locked", DarkRule::Locked},
                  {"idle", DarkRule::Idle},
                  {"night", DarkRule::Night}};
    const auto rule =
        std::find_if(std::begin(kRules), std::end(kRules), [&](const auto& r) { return r.word == args[0]; });
    if (rule == std::end(kRules)) {
        return Refuse("unknown dark rule '" + std::string(args[0]) + "' (asleep, display, locked, idle or night)");
    }
    if (args.size() != 2) {
        return Refuse("dark " + std::string(rule->word) + " needs one value");
    }
    DarkRequest& request = command.dark;
    request.rule = rule->rule;
    const std::string_view value = args[1];
    if (value == "on" || value == "off") {
        request.on = value == "on";
        if (request.rule == DarkRule::Idle && request.on) {
            request.minutes = kDefaultIdleMinutes;
        }
        return {command, {}};
    }
    if (request.rule == DarkRule::Idle) {
        const auto minutes = Number(value, 1, kIdleMinutesMax);
        if (!minutes) {
            return Refuse("idle needs minutes 1-1440, or off");
        }
        request.on = true;
        request.minutes = static_cast<std::uint16_t>(*minutes);
        return {command, {}};
    }
    if (request.rule == DarkRule::Night) {
        const auto window = ParseNightText(value);
        if (!window) {
            return Refuse("night needs HH:MM-HH:MM (two different times 00:00-23:59), on or off");
        }
        request.on = true;
        request.from = static_cast<std::uint16_t>(window->from);
        request.to = static_cast<std::uint16_t>(window->to);
        return {command, {}};
    }
    return Refuse(std::string(rule->word) + " is on or off");
}

// The dark reasons as the items of a JSON list: "display off", "locked".
std::string JsonReasons(std::uint8_t reasons) {
    std::string list;
    for (std::size_t bit = 0; bit < kDarkReasonNames.size(); ++bit) {
        if (reasons & (1u << bit)) {
            list.append(list.empty() ? "\"" : ", \"").append(kDarkReasonNames[bit]).append("\"");
        }
    }
    return list;
}

// A name in a JSON string: quotes, backslashes and control characters escaped.
std::string JsonString(std::u16string_view name) {
    std::string out(1, '"');
    for (char c : ToUtf8(name)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escaped;
        } else {
            out += c;
        }
    }
    out.push_back('"');
    return out;
}

} // namespace

std::string DescribeDarkAnswer(const DarkAnswer& answer, bool json) {
    const DarkSettings& rules = answer.rules;
    const auto onOff = [](bool on) { return std::string(on ? "on" : "off"); };
    const std::string idle = rules.idleMinutes ? std::to_string(rules.idleMinutes) : "off";
    const std::string night = NightText(rules.nightWindow);
    const std::string reasons = DescribeDarkReasons(answer.reasons);
    if (json) {
        const std::string list = JsonReasons(answer.reasons);
        return "{\"asleep\": " + std::string(rules.asleep ? "true" : "false") +
               ", \"display\": " + (rules.display ? "true" : "false") +
               ", \"locked\": " + (rules.locked ? "true" : "false") +
               ", \"idleMinutes\": " + std::to_string(rules.idleMinutes) +
               ", \"night\": " + (rules.night ? "true" : "false") + ", \"nightFrom\": \"" + night.substr(0, 5) +
               "\", \"nightTo\": \"" + night.substr(6) + "\", \"dark\": [" + list + "]}";
    }
    return "asleep " + onOff(rules.asleep) + ", display " + onOff(rules.display) + ", locked " + onOff(rules.locked) +
           ", idle " + idle + ", night " + (rules.night ? night : "off (" + night + ")") +
           "; dark now: " + (reasons.empty() ? "no" : reasons);
}

std::string WithDarkness(const std::string& statusLine, std::uint8_t reasons, bool json) {
    if (json) {
        const std::string list = JsonReasons(reasons);
        std::string object = statusLine.substr(0, statusLine.size() - 1); // without its closing brace
        return object.append(", \"dark\": [").append(list).append("]}");
    }
    return reasons ? statusLine + "; dark: " + DescribeDarkReasons(reasons) : statusLine;
}

CtlProfileOutput DescribeProfileAnswer(const ProfileRequest& request, const ProfileAnswer& answer, bool json) {
    std::string name(1, '"');
    name.append(ToUtf8(request.name)).push_back('"');
    switch (answer.result) {
    case ProfileResult::Done:
        break;
    case ProfileResult::UnknownName:
        return {{}, "no profile named " + name};
    case ProfileResult::BadName:
        return {{}, NameProblem(CheckProfileName(request.name))};
    case ProfileResult::Full:
        return {{}, "there are 100 profiles already: delete one before saving another"};
    case ProfileResult::Damaged:
        return {{}, "the profile " + name + " is damaged and cannot be loaded (save it again or delete it)"};
    case ProfileResult::NotStored:
        return {{}, "the settings could not be written"};
    }
    switch (request.command) {
    case ProfileCommand::Save:
        return {"saved the profile " + name, {}};
    case ProfileCommand::Delete:
        return {"deleted the profile " + name, {}};
    case ProfileCommand::Load:
        return {"loaded the profile " + name, {}};
    case ProfileCommand::List:
        break;
    }
    std::string out;
    if (json) {
        out = "{\"profiles\": [";
        for (std::size_t i = 0; i < answer.profiles.size(); ++i) {
            const ListedProfile& profile = answer.profiles[i];
            out.append(i ? ", {\"name\": " : "{\"name\": ").append(JsonString(profile.name));
            out.append(", \"current\": ").append(profile.current ? "true" : "false");
            out.append(", \"damaged\": ").append(profile.damaged ? "true" : "false").append("}");
        }
        return {out + "]}", {}};
    }
    for (const ListedProfile& profile : answer.profiles) {
        out.append(profile.current ? "* " : "  ").append(ToUtf8(profile.name));
        out.append(profile.damaged ? " (damaged)\n" : "\n");
    }
    if (!out.empty()) {
        out.pop_back();
    }
    return {out, {}};
}

CtlParse ParseCtlArgs(std::span<const std::string_view> args) {
    if (args.empty()) {
        return Refuse("no command (try --help)");
    }
    const std::string_view verb = args[0];
    const auto rest = args.subspan(1);
    if (verb == "--help" || verb == "-h") {
        return {CtlCommand{CtlCommand::Action::Help, {}, false, {}, {}}, {}};
    }
    if (verb == "--version") {
        return {CtlCommand{CtlCommand::Action::Version, {}, false, {}, {}}, {}};
    }
    if (verb == "mode") {
        return ParseMode(rest);
    }
    if (verb == "profile") {
        return ParseProfile(rest);
    }
    if (verb == "dark") {
        return ParseDark(rest);
    }
    struct Simple {
        std::string_view word;
        HandOverCommand command;
    };
    constexpr Simple kSimple[] = {{"on", HandOverCommand::On},
                                  {"off", HandOverCommand::Off},
                                  {"reset", HandOverCommand::Reset},
                                  {"status", HandOverCommand::Status}};
    for (const Simple& simple : kSimple) {
        if (verb != simple.word) {
            continue;
        }
        CtlCommand command{CtlCommand::Action::Send, {simple.command}, false, {}, {}};
        const bool json = simple.command == HandOverCommand::Status && rest.size() == 1 && rest[0] == "--json";
        if (!rest.empty() && !json) {
            return Refuse("unexpected '" + std::string(rest[0]) + "' after " + std::string(verb));
        }
        command.json = json;
        return {command, {}};
    }
    return Refuse("unknown command '" + std::string(verb) + "' (try --help)");
}

std::string DescribeStatus(const HandOverStatus& status, bool json) {
    char colour[8];
    std::snprintf(colour, sizeof colour, "%02X%02X%02X", status.colour[0], status.colour[1], status.colour[2]);
    const std::string name(ModeName(status.mode));
    if (json) {
        return "{\"mode\": " + std::to_string(status.mode) + ", \"modeName\": \"" + name +
               "\", \"speed\": " + std::to_string(status.speed) + ", \"colour\": \"" + colour +
               "\", \"on\": " + (status.on ? "true" : "false") +
               ", \"useRGBI2CMode\": " + (status.useRgbI2cMode ? "true" : "false") +
               ", \"useSetZorvaEffect\": " + (status.useSetZorvaEffect ? "true" : "false") +
               ", \"modules\": " + std::to_string(status.modules) + "}";
    }
    return std::string(status.on ? "on" : "off") + ": mode " + std::to_string(status.mode) + " " + name + ", speed " +
           std::to_string(status.speed) + ", colour " + colour + "; RGBI2CMode " +
           (status.useRgbI2cMode ? "yes" : "no") + ", SetZorvaEffect " + (status.useSetZorvaEffect ? "yes" : "no") +
           "; " + std::to_string(status.modules) + " module(s)";
}

std::string CtlUsage() {
    return "usage: prismelctl mode NAME|1-10 [--colour RRGGBB|R,G,B] [--speed 1-5]\n"
           "       prismelctl on | off | reset | status [--json]\n"
           "       prismelctl profile list [--json] | save NAME | load NAME | delete NAME\n"
           "       prismelctl dark [--json] | dark asleep|display|locked on|off | dark idle MINUTES|off\n"
           "                  | dark night HH:MM-HH:MM|on|off\n"
           "       prismelctl --help | --version\n"
           "modes: Static, Breathing, Single-flash, Double-flash, Rainbow, Prismel, Meteor, Marquee, Twinkle,\n"
           "       Colour-cycle (any case); speed 5 is the fastest.\n"
           "Hands the request to the running Zorva Prismel (starting it in the tray if none runs) and prints what\n"
           "is applied.\n";
}
