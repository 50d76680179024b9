// The soak's figures and its verdict, apart from Windows: the samples of the program's resources taken before,
// between and after the phases, the limits that start-up noise allows, and the table and the one-line verdict.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace soak {

// What is measured of the program's process. Memory in KiB; the rest are counts.
enum class Measure : std::size_t { PrivateKb, ResidentKb, Handles, GdiObjects, UserObjects };
inline constexpr std::size_t kMeasureCount = 5;
// A figure the system did not give.
inline constexpr std::int64_t kUnknown = -1;

using Figures = std::array<std::int64_t, kMeasureCount>;

inline std::int64_t At(const Figures& figures, Measure measure) {
    return figures[static_cast<std::size_t>(measure)];
}

struct Sample {
    std::string label;            // "start", a phase's name, "end"
    std::uint64_t iterations = 0; // what the phase did (messages, repaints, clicks)
    double seconds = 0.0;         // how long it took
    Figures figures{};
};

// How much a measure may grow above its start-up figure: the larger of a floor (what clean runs showed) and
// spreadFactor times the spread seen while the program sat idle after its warm-up.
struct NoiseRule {
    Figures floor{};
    std::int64_t spreadFactor = 3;
};

// The allowed growth of each measure: from the idle samples' spread (largest minus smallest figure) and the
// rule. A measure unknown in any idle sample stays unknown.
Figures AllowedGrowth(const std::vector<Figures>& idle, const NoiseRule& rule);

struct Growth {
    Measure measure;
    std::string at; // the sample's label
    std::int64_t grown = 0;
    std::int64_t allowed = 0;
};

// Every sample after the first, measure by measure, against the first: for each measure that grew beyond what is
// allowed, its largest growth, in the order of the measures. A measure is judged only where both figures and its
// allowance are known.
std::vector<Growth> Excesses(const std::vector<Sample>& samples, const Figures& allowed);

// The samples as a table, one line per sample, with the allowed growth as its last line.
std::string FormatTable(const std::vector<Sample>& samples, const Figures& allowed);
// "soak: PASS ..." or "soak: FAIL: <measure> grew by N (allowed M) at <label>; ...".
std::string VerdictLine(const std::vector<Growth>& excesses);

const char* MeasureName(Measure measure);

} // namespace soak
