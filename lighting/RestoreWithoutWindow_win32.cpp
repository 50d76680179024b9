#include "lighting/RestoreWithoutWindow_win32.h"

#include "base/StartupTrace.h"
#include "lighting/Darkness.h"
#include "lighting/DarknessWatch_win32.h"
#include "lighting/LightingControls.h"
#include "lighting/RememberedLighting.h"
#include "memory/SmbusLibrary_win32.h"

namespace {

// The library's two lighting calls; there is no window, so no timer either.
class CLibraryPort final : public LightingPort {
public:
    explicit CLibraryPort(SmbusLightingCalls& library) : m_library(library) {}
    void RgbI2cMode(std::uint8_t command, std::uint8_t a, std::uint8_t b, std::uint8_t c) override {
        m_library.RgbI2cMode(command, a, b, c);
    }
    void SetZorvaEffect(std::uint8_t mode, std::uint16_t speed, std::uint8_t zero, std::uint32_t argb) override {
        m_library.SetZorvaEffect(mode, speed, zero, argb);
    }
    void StartLightingTimer(std::int32_t) override {}
    void StopLightingTimer() override {}

private:
    SmbusLightingCalls& m_library;
};

} // namespace

int SendRememberedLightingWithoutWindow(CSmbusLibrary& library, ISettingsRegistry& registry,
                                        const std::wstring& folder) {
    library.ShareBusAsStored(registry);
    if (library.Load(folder) != CSmbusLibrary::BindResult::Ready) {
        return kExitSmbusUnavailable;
    }
    library.ReadFlags();
    const std::optional<LightingChoice> choice = PlanRestore(ReadRememberedLighting(registry), StartingChoice());
    if (!choice || !SendableWithoutWindow(*choice)) {
        return 0;
    }
    // Nobody is looking: a locked session (started at log-on before the user unlocked), or the night.
    const DarkSettings dark = ReadDarkSettings(registry);
    if (dark.locked && SessionLocked()) {
        StartupPhase("dark: the session is locked, nothing applied");
        return 0;
    }
    if (dark.night && InNight(dark.nightWindow, LocalMinuteOfDay())) {
        StartupPhase("dark: it is night, nothing applied");
        return 0;
    }
    CLibraryPort port(library);
    // One command, with the bus held; a bus that stays busy past the wait is a tool that hung holding it.
    const CBusMutex::Hold bus = library.Bus().Take(kStartBusWaitMs);
    if (!choice->on) {
        SwitchOffLighting(port);
        return 0;
    }
    LightingState state;
    state.CurrentMode = choice->mode;
    state.SpeedValue = choice->speedStep;
    ApplyLighting(state, library.Flags(), {choice->colour[0], choice->colour[1], choice->colour[2]}, port);
    return 0;
}
