#pragma once

#include "Rhythm.h"
#include "Simulation.h"
#include "WaveEvent.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pulsavo {

// Measuring a frozen trace against the waves the simulation really laid. Times are ticks
// (10 ms, one panel column each); a point on the trace is the tick whose sample is drawn there.
namespace calipers {

// One small square of ECG paper: a measurement this close to the truth is right.
inline constexpr int toleranceMs = 40;

// What a caliper measures: the learner's choice.
enum class Kind : std::uint8_t { rr, pp, pr, qrs };
inline constexpr int kindCount = 4;

struct Caliper {
    std::int64_t from = 0;
    std::int64_t to = 0;
    Kind kind = Kind::rr;

    int ms() const { return static_cast<int>((to > from ? to - from : from - to) * tickMs); }
};

// The measurements a practice question may ask of a rhythm: the intervals that tell it from the
// rhythms it is confused with (the PR of the AV blocks, the pauses of sinus arrest and SA block,
// the width of a ventricular beat, the rate of a tachycardia). Empty where nothing can be
// measured: ventricular fibrillation has neither P waves nor complexes.
std::span<const Kind> tasksOf(Rhythm rhythm);
// The one a question asks: chosen by its seed, so an exam's question always asks the same.
std::optional<Kind> taskFor(Rhythm rhythm, std::uint32_t seed);
// The name a measurement is stored under: "rr", "pp", "pr" or "qrs".
const char* storedName(Kind kind);

// Beats per minute of an interval; none for an empty one.
std::optional<double> ratePerMinute(int ms);

// Where a caliper's label `textWidth` wide starts, so that neither of the caliper's own lines
// (at columns fromX and toX) runs through it: between them when it fits with `gap` to spare on
// each side, else after the later line, else before the earlier one, all within a panel
// `panelWidth` wide. Only a panel too narrow for any of these puts it across a line.
int labelLeft(int fromX, int toX, int textWidth, int panelWidth, int gap = 3);
// The same, clear also of every line in `lines` (the other calipers' lines run the panel's whole
// height, across every caliper's row): the first of those three places that crosses none, else
// the free stretch between lines nearest the caliper, else as above.
int labelLeft(int fromX, int toX, int textWidth, int panelWidth, std::span<const int> lines,
              int gap = 3);

// The caliper that gives a measurement of `task`: the selected one (`selected`, -1 for none) when
// it measures that, else the last one set for it; none when no caliper measures it.
std::optional<std::size_t> taskCaliper(std::span<const Caliper> set, int selected, Kind task);

constexpr bool isRight(int errorMs) {
    return errorMs >= -toleranceMs && errorMs <= toleranceMs;
}

// The points a teacher marks on a trace.
enum class MarkKind : std::uint8_t { pOnset, qrsOnset, rPeak, tEnd };

struct Mark {
    std::int64_t tick = 0;
    MarkKind kind = MarkKind::pOnset;
    bool operator==(const Mark&) const = default;
};

// Where a mark's letter is drawn: `lane` 0 beside the marks' short lines at the panel's foot,
// each further lane one text line above them.
struct LetterPlace {
    int left = 0;
    int lane = 0;
    bool operator==(const LetterPlace&) const = default;
};

// Places the letter of each mark (at `columns`, in increasing order) just after its own line
// (before it at the right edge of a panel `panelWidth` wide), in the lowest lane where it touches
// no other letter and, in lane 0, no other mark's line, so that marks a few pixels apart (a QRS
// onset and its R peak) stay readable without colour. Past `lanes` lanes a letter goes in the
// top one regardless.
std::vector<LetterPlace> letterPlaces(std::span<const int> columns, int letterWidth, int panelWidth,
                                      int lanes = 3);

// An interval that is really there, from one mark to another.
struct Interval {
    std::int64_t from = 0;
    std::int64_t to = 0;
    int ms() const { return static_cast<int>((to - from) * tickMs); }
    bool operator==(const Interval&) const = default;
};

// A wave leaves the baseline after the sample drawn just before its first step, and is back
// on it with its last step. A wide ventricular complex ends where its trace first crosses the
// baseline after its crest; what follows is its repolarisation.
std::int64_t onsetTick(const WaveEvent& event);
std::int64_t qrsEndTick(const WaveEvent& event);

// The marks of the waves whose points lie within [first, last], in tick order.
std::vector<Mark> marks(std::span<const WaveEvent> events, std::int64_t first, std::int64_t last);

// Every interval of `kind` lying wholly within [first, last], in order: RR from R peak to the
// next, PP from P onset to the next (blocked ones too), PR from a beat's P onset to its QRS
// onset, QRS from onset to end.
std::vector<Interval> intervals(Kind kind, std::span<const WaveEvent> events, std::int64_t first,
                                std::int64_t last);

struct Score {
    Interval truth;
    int measuredMs = 0;
    int errorMs = 0; // measured minus true
    bool right = false;
};

// Scores a caliper against the true interval of its kind lying nearest it (the smallest sum of
// the distances of the two ends); none when there is no such interval in view.
std::optional<Score> score(const Caliper& caliper, std::span<const Interval> truths);

} // namespace calipers
} // namespace pulsavo
