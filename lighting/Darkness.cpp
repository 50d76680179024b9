#include "lighting/Darkness.h"

#include <charconv>

DarkChange Darkness::Set(DarkReason reason, bool holds, bool toggleOn) {
    const bool wasDark = Dark();
    m_reasons = static_cast<std::uint8_t>(holds ? (m_reasons | reason) : (m_reasons & ~reason));
    if (wasDark == Dark() || !toggleOn) {
        // Nothing changes for the modules, or the user switched them off already: they stay off.
        return DarkChange::None;
    }
    return Dark() ? DarkChange::GoDark : DarkChange::Restore;
}

std::string DescribeDarkReasons(std::uint8_t reasons) {
    std::string text;
    for (std::size_t bit = 0; bit < kDarkReasonNames.size(); ++bit) {
        if (reasons & (1u << bit)) {
            text += text.empty() ? "" : ", ";
            text += kDarkReasonNames[bit];
        }
    }
    return text;
}

std::optional<NightWindow> NightWindowOf(std::optional<std::uint32_t> from, std::optional<std::uint32_t> to) {
    if (!from || !to || *from >= static_cast<std::uint32_t>(kMinutesPerDay) ||
        *to >= static_cast<std::uint32_t>(kMinutesPerDay) || *from == *to) {
        return std::nullopt;
    }
    return NightWindow{static_cast<std::int32_t>(*from), static_cast<std::int32_t>(*to)};
}

bool InNight(const NightWindow& night, std::int32_t minuteOfDay) {
    if (night.from < night.to) {
        return minuteOfDay >= night.from && minuteOfDay < night.to;
    }
    return minuteOfDay >= night.from || minuteOfDay < night.to; // across midnight
}

std::int32_t MinutesToNightBoundary(const NightWindow& night, std::int32_t minuteOfDay) {
    const auto ahead = [&](std::int32_t boundary) {
        const std::int32_t minutes = ((boundary - minuteOfDay) % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay;
        return minutes == 0 ? kMinutesPerDay : minutes;
    };
    const std::int32_t toFrom = ahead(night.from), toTo = ahead(night.to);
    return toFrom < toTo ? toFrom : toTo;
}

std::string NightText(const NightWindow& night) {
    const auto two = [](std::int32_t value) {
        return std::string{static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
    };
    return two(night.from / 60) + ":" + two(night.from % 60) + "-" + two(night.to / 60) + ":" + two(night.to % 60);
}

namespace {

std::optional<std::int32_t> ParseTime(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() - colon != 3) {
        return std::nullopt;
    }
    std::int32_t hours = 0, minutes = 0;
    const auto [hoursEnd, hoursError] = std::from_chars(text.data(), text.data() + colon, hours);
    const auto [minutesEnd, minutesError] =
        std::from_chars(text.data() + colon + 1, text.data() + text.size(), minutes);
    if (hoursError != std::errc() || hoursEnd != text.data() + colon || minutesError != std::errc() ||
        minutesEnd != text.data() + text.size() || hours < 0 || hours > 23 || minutes < 0 || minutes > 59) {
        return std::nullopt;
    }
    return hours * 60 + minutes;
}

} // namespace

std::optional<NightWindow> ParseNightText(std::string_view text) {
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos) {
        return std::nullopt;
    }
    const auto from = ParseTime(text.substr(0, dash));
    const auto to = ParseTime(text.substr(dash + 1));
    if (!from || !to) {
        return std::nullopt;
    }
    return NightWindowOf(static_cast<std::uint32_t>(*from), static_cast<std::uint32_t>(*to));
}

IdleCheck CheckIdle(std::uint32_t idleMinutes, std::uint32_t idleMs) {
    const std::uint64_t thresholdMs = std::uint64_t{idleMinutes} * 60'000;
    if (idleMs >= thresholdMs) {
        return {true, kIdleWakeCheckMs};
    }
    // The next look is when the threshold would be reached without input, never sooner than kIdleCheckMinMs.
    const std::uint64_t untilIdle = thresholdMs - idleMs;
    return {false, static_cast<std::uint32_t>(untilIdle < kIdleCheckMinMs ? kIdleCheckMinMs : untilIdle)};
}

DarkSettings ReadDarkSettings(ISettingsRegistry& registry) {
    const auto flag = [&](std::u16string_view name) { return ReadStoredDword(registry, name).value_or(0) != 0; };
    DarkSettings settings;
    settings.asleep = flag(kLightsOffWhileAsleepValue);
    settings.display = flag(kLightsOffWithDisplayValue);
    settings.locked = flag(kLightsOffWhileLockedValue);
    settings.idleMinutes = ReadStoredDword(registry, kLightsOffAfterIdleValue, 0, kIdleMinutesMax).value_or(0);
    settings.night = flag(kLightsOffAtNightValue);
    settings.nightWindow =
        NightWindowOf(ReadStoredDword(registry, kNightFromValue), ReadStoredDword(registry, kNightToValue))
            .value_or(NightWindow{});
    return settings;
}

bool WriteDarkSettings(ISettingsRegistry& registry, const DarkSettings& now, const DarkSettings& before) {
    bool written = true;
    const auto write = [&](std::u16string_view name, std::uint32_t value, std::uint32_t old) {
        if (value != old) {
            written = registry.WriteDword(name, value) && written;
        }
    };
    write(kLightsOffWhileAsleepValue, now.asleep, before.asleep);
    write(kLightsOffWithDisplayValue, now.display, before.display);
    write(kLightsOffWhileLockedValue, now.locked, before.locked);
    write(kLightsOffAfterIdleValue, now.idleMinutes, before.idleMinutes);
    write(kLightsOffAtNightValue, now.night, before.night);
    write(kNightFromValue, static_cast<std::uint32_t>(now.nightWindow.from),
          static_cast<std::uint32_t>(before.nightWindow.from));
    write(kNightToValue, static_cast<std::uint32_t>(now.nightWindow.to),
          static_cast<std::uint32_t>(before.nightWindow.to));
    return written;
}
