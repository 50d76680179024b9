#include "tools/soak/SoakReport.h"

#include <algorithm>
#include <cstdio>

namespace soak {

const char* MeasureName(Measure measure) {
    switch (measure) {
    case Measure::PrivateKb:
        return "private KiB";
    case Measure::ResidentKb:
        return "resident KiB";
    case Measure::Handles:
        return "handles";
    case Measure::GdiObjects:
        return "GDI objects";
    case Measure::UserObjects:
        return "USER objects";
    }
    return "?";
}

Figures AllowedGrowth(const std::vector<Figures>& idle, const NoiseRule& rule) {
    Figures allowed{};
    for (std::size_t m = 0; m < kMeasureCount; ++m) {
        std::int64_t low = 0, high = 0;
        bool known = !idle.empty();
        for (std::size_t i = 0; i < idle.size() && known; ++i) {
            const std::int64_t value = idle[i][m];
            known = value != kUnknown;
            low = i == 0 ? value : std::min(low, value);
            high = i == 0 ? value : std::max(high, value);
        }
        allowed[m] = known ? std::max(rule.floor[m], rule.spreadFactor * (high - low)) : kUnknown;
    }
    return allowed;
}

std::vector<Growth> Excesses(const std::vector<Sample>& samples, const Figures& allowed) {
    std::vector<Growth> excesses;
    if (samples.empty()) {
        return excesses;
    }
    const Figures& start = samples.front().figures;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        for (std::size_t m = 0; m < kMeasureCount; ++m) {
            const std::int64_t now = samples[i].figures[m];
            if (now == kUnknown || start[m] == kUnknown || allowed[m] == kUnknown) {
                continue;
            }
            if (now - start[m] <= allowed[m]) {
                continue;
            }
            const Growth growth{static_cast<Measure>(m), samples[i].label, now - start[m], allowed[m]};
            auto same = std::find_if(excesses.begin(), excesses.end(),
                                     [&](const Growth& g) { return g.measure == growth.measure; });
            if (same == excesses.end()) {
                excesses.push_back(growth);
            } else if (growth.grown > same->grown) {
                *same = growth;
            }
        }
    }
    std::sort(excesses.begin(), excesses.end(), [](const Growth& a, const Growth& b) { return a.measure < b.measure; });
    return excesses;
}

namespace {

std::string Cell(std::int64_t value) {
    return value == kUnknown ? std::string("n/a") : std::to_string(value);
}

std::string Line(const std::string& label, const std::string& iterations, const std::string& seconds,
                 const Figures& figures) {
    char text[256];
    std::snprintf(text, sizeof text, "%-22s %10s %9s %12s %13s %8s %12s %13s\n", label.c_str(), iterations.c_str(),
                  seconds.c_str(), Cell(figures[0]).c_str(), Cell(figures[1]).c_str(), Cell(figures[2]).c_str(),
                  Cell(figures[3]).c_str(), Cell(figures[4]).c_str());
    return text;
}

} // namespace

std::string FormatTable(const std::vector<Sample>& samples, const Figures& allowed) {
    char header[256];
    std::snprintf(header, sizeof header, "%-22s %10s %9s %12s %13s %8s %12s %13s\n", "sample", "iterations", "seconds",
                  MeasureName(Measure::PrivateKb), MeasureName(Measure::ResidentKb), MeasureName(Measure::Handles),
                  MeasureName(Measure::GdiObjects), MeasureName(Measure::UserObjects));
    std::string table = header;
    for (const Sample& sample : samples) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f", sample.seconds);
        table += Line(sample.label, std::to_string(sample.iterations), seconds, sample.figures);
    }
    table += Line("allowed growth", "", "", allowed);
    return table;
}

std::string VerdictLine(const std::vector<Growth>& excesses) {
    if (excesses.empty()) {
        return "soak: PASS: nothing grew beyond start-up noise";
    }
    std::string line = "soak: FAIL:";
    for (std::size_t i = 0; i < excesses.size(); ++i) {
        const Growth& g = excesses[i];
        line += (i == 0 ? " " : "; ") + std::string(MeasureName(g.measure)) + " grew by " + std::to_string(g.grown) +
                " (allowed " + std::to_string(g.allowed) + ") at " + g.at;
    }
    return line;
}

} // namespace soak
