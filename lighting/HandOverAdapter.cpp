#include "lighting/HandOverAdapter.h"

#include <variant>

#include "lighting/LightingControls.h"

HandOverStatus StatusOf(const LightingState& lighting, SmbusFlags flags, int modules) {
    HandOverStatus status;
    status.mode = static_cast<std::uint8_t>(lighting.CurrentMode);
    status.speed = static_cast<std::uint8_t>(SpeedIndexOfStep(lighting.SpeedValue) + 1);
    status.colour = BytesOf(lighting.CurrentColor);
    status.on = lighting.PowerOn;
    status.useRgbI2cMode = flags.useRgbI2cMode;
    status.useSetZorvaEffect = flags.useSetZorvaEffect;
    status.modules = static_cast<std::uint8_t>(modules > 0 && modules <= kMaxModules ? modules : 0);
    return status;
}

namespace {

void CarryOut(const HandOverRequest& request, HandOverTarget& target) {
    switch (request.command) {
    case HandOverCommand::Mode:
        target.ChooseAndTurnOn(request.mode, request.speed,
                               request.hasColour ? std::optional(request.colour) : std::nullopt);
        break;
    case HandOverCommand::On:
        target.TurnOn();
        break;
    case HandOverCommand::Off:
        target.TurnOff();
        break;
    case HandOverCommand::Reset:
        target.Reset();
        break;
    case HandOverCommand::Status:
        break;
    }
}

} // namespace

HandOverAnswer TakeHandOver(std::span<const std::uint8_t> bytes, HandOverTarget& target) {
    const auto decoded = DecodeRequest(bytes);
    const auto* request = std::get_if<HandOverRequest>(&decoded);
    if (!request) {
        return {};
    }
    if (!target.LibraryStarted()) {
        return {HandOverAnswer::Kind::LibraryNotStarted, {}};
    }
    CarryOut(*request, target);
    return {HandOverAnswer::Kind::Taken, EncodeStatus(target.Status())};
}

std::vector<ListedProfile> ListProfiles(const ProfileBook& book, const LightingChoice& applied) {
    std::vector<ListedProfile> listed;
    for (const Profile& profile : book.List()) {
        listed.push_back({profile.name, !profile.lighting, profile.lighting == applied});
    }
    return listed;
}

std::optional<std::vector<std::uint8_t>> TakeProfileHandOver(std::span<const std::uint8_t> bytes, ProfileBook& book,
                                                             HandOverTarget& target) {
    const std::optional<ProfileRequest> request = DecodeProfileRequest(bytes);
    if (!request || !target.LibraryStarted()) {
        return std::nullopt;
    }
    ProfileAnswer answer;
    switch (request->command) {
    case ProfileCommand::List:
        answer.profiles = ListProfiles(book, target.AppliedLighting());
        break;
    case ProfileCommand::Save:
        answer.result = book.Save(request->name, target.AppliedLighting());
        break;
    case ProfileCommand::Load: {
        LightingChoice lighting;
        answer.result = book.Load(request->name, lighting);
        if (answer.result == ProfileResult::Done) {
            target.LoadLighting(lighting);
        }
        break;
    }
    case ProfileCommand::Delete:
        answer.result = book.Delete(request->name);
        break;
    }
    return EncodeProfileAnswer(answer);
}

std::optional<DarkRecord> TakeDarkHandOver(std::span<const std::uint8_t> bytes, HandOverTarget& target) {
    const std::optional<DarkRequest> request = DecodeDarkRequest(bytes);
    if (!request) {
        return std::nullopt;
    }
    if (request->rule != DarkRule::None) {
        target.SetDarkRules(ApplyDarkRequest(target.DarkRules(), *request));
    }
    return EncodeDarkAnswer({target.DarkReasons(), target.DarkRules()});
}
