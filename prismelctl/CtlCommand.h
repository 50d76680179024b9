// prismelctl's portable part: its command line into a hand-over request, and the program's answer into the one
// line it prints.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "lighting/HandOver.h"
#include "lighting/LightingModes.h"
#include "lighting/DarkHandOver.h"
#include "lighting/ProfileHandOver.h"

struct CtlCommand {
    enum class Action { Send, Profile, Dark, Help, Version };
    Action action = Action::Help;
    HandOverRequest request;
    bool json = false;      // status and profile list only
    ProfileRequest profile; // for Profile
    DarkRequest dark{};     // for Dark
};

// The command, or the one-line reason (without the program's name) why the words were refused.
struct CtlParse {
    std::optional<CtlCommand> command;
    std::string error;
};

// The words after the program's name.
CtlParse ParseCtlArgs(std::span<const std::string_view> args);

// The line printed for the program's answer: what is applied, or with json the same as one JSON object.
std::string DescribeStatus(const HandOverStatus& status, bool json);
std::string CtlUsage();
// The lines printed for a profile answer to request: the list (with json one JSON object), or what was done; an
// answer that refuses gets its one line (for stderr) in `refusal` instead.
struct CtlProfileOutput {
    std::string output;
    std::string refusal;
};
// The dark rules and whether the modules are dark now: one line, or with json one JSON object.
std::string DescribeDarkAnswer(const DarkAnswer& answer, bool json);
// What prismelctl status adds to its line while the modules are dark ("; dark: display off"), or to its JSON
// object (the reasons as a list, empty when none).
std::string WithDarkness(const std::string& statusLine, std::uint8_t reasons, bool json);
CtlProfileOutput DescribeProfileAnswer(const ProfileRequest& request, const ProfileAnswer& answer, bool json);
// The line printed when the running program's SMBus library did not start (exit code 1).
inline constexpr std::string_view kCtlLibraryNotStarted = "the SMBus library did not start";
