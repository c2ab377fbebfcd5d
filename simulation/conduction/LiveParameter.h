#pragma once

#include "Preset.h"
#include "RhythmLibrary.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace pulsavo::conduction {

// The numbers an instructor may change while a library rhythm plays, in the units a user
// speaks. The ids are what scenario files, the console and the classroom protocol store and
// send: they are never renamed, and new ones are added at the end.
enum class LiveParameterId : int {
    atrialRate,       // /min: sinus node, atrial focus or flutter waves
    ventricularRate,  // /min: the lower pacemaker, or the mean response to fibrillating atria
    prMs,             // ms
    qrsMs,            // ms: supraventricular QRS width
    blockRatio,       // atrial impulses per group: N:1 (fixed ratio) or N:(N-1) (Mobitz I/II)
    ectopyKind,       // choice: none, pac, pjc, pvc
    ectopyEvery,      // an ectopic beat after every N normal beats
    ectopyPattern,    // choice: random, bigeminy, trigeminy, couplets, runs
    pacingMode,       // choice: off, atrial, ventricular, dual
    pacingRate,       // /min
    pacingOutput,     // mA
    captureThreshold, // mA: the pacer captures while its output is at least this
    vfAmplitude,      // mm, the fibrillation waves' mean peak-to-trough height
};

inline constexpr int liveParameterCount = 13;

struct LiveParameter {
    LiveParameterId which;
    std::string_view id;   // snake_case, stable
    std::string_view unit; // "/min", "ms", "mA", "mm", "beats", ":1" or "" for a choice
    double lo;             // valid range in `unit`, both ends included
    double hi;
    double step; // the finest change that makes a difference to the model
    // A choice's values by name, in the order of its numeric value (0, 1, …); empty for a
    // number. Choices change at a beat boundary; numbers move linearly in a ramp.
    std::span<const std::string_view> choices;

    bool isChoice() const { return !choices.empty(); }
};

const std::array<LiveParameter, liveParameterCount>& liveParameters();
const LiveParameter& liveParameter(LiveParameterId which);
std::optional<LiveParameterId> liveParameterOf(std::string_view id);
// A choice's value by name, or nullopt when the name is not one of its choices.
std::optional<int> liveChoiceOf(LiveParameterId which, std::string_view name);

// Whether the parameter means anything for the rhythm these values play (a PR where the atria
// conduct, a block ratio where the AV node blocks in groups …).
bool appliesTo(LiveParameterId which, const Params& params);
// The same for a library rhythm as its preset plays it.
bool appliesTo(LiveParameterId which, LibraryRhythm rhythm);

// The parameter's present value in its unit (a choice: its index).
double liveValue(const Params& params, LiveParameterId which);
// `params` with the parameter set to `value`, clamped to its range and rounded to its step;
// a change that needs companions (PVCs added to a sinus rhythm need a coupling interval)
// brings them. A parameter that does not apply is still stored and takes effect once it does.
Params withLiveValue(Params params, LiveParameterId which, double value);

} // namespace pulsavo::conduction
