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
