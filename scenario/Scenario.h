#pragma once

#include "RhythmLibrary.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pulsavo::scenario {

// The file format's own version; a file of a newer one is refused rather than half understood.
inline constexpr int formatVersion = 1;

// Caps that keep a hostile file from costing memory or time; generous for any real class.
inline constexpr qint64 maxFileBytes = qint64{1} << 20;
inline constexpr int maxSteps = 100;
inline constexpr int maxTitleLength = 120;
inline constexpr int maxTextLength = 2000;
inline constexpr int maxNesting = 8;
inline constexpr int maxStepSeconds = 3600;
inline constexpr int maxRampSeconds = 600;
// A manual step's time in headless play when the file states none.
inline constexpr int defaultManualSeconds = 30;

struct Title {
    QString ja;
    QString en;
    const QString& in(bool english) const { return english && !en.isEmpty() ? en : ja; }
    bool operator==(const Title&) const = default;
};

struct ParameterSetting {
    std::string id;   // a live parameter's id
    double value = 0; // in the parameter's unit; a choice's index
    bool operator==(const ParameterSetting&) const = default;
};

struct Vitals {
    std::optional<int> spo2;            // percent
    std::optional<int> systolic;        // mmHg, with diastolic: NIBP "120/80"
    std::optional<int> diastolic;       // mmHg
    std::optional<int> respirationRate; // breaths per minute
    bool operator==(const Vitals&) const = default;
};

enum class Advance { automatic, manual };

struct Step {
    Title title;
    LibraryRhythm rhythm = LibraryRhythm::sinusRhythm;
    std::vector<ParameterSetting> parameters;
    std::string transition = "direct"; // a transition kind's id
    int rampSeconds = 0;               // parameters move to their values over this time
    Advance advance = Advance::automatic;
    // Automatic: the step's length. Manual: how long headless play waits before advancing.
    std::optional<int> seconds;
    std::vector<std::string> events; // instructor events fired as the step starts
    QString notes;
    QString expectedAction;
    Vitals vitals;
    bool operator==(const Step&) const = default;

    // Ticks the step plays when nobody advances it by hand.
    long long headlessTicks() const;
};

struct Scenario {
    int version = formatVersion;
    Title title;
    Title description;
    std::optional<std::uint32_t> seed; // the seed play uses when none is given
    std::vector<Step> steps;
    bool operator==(const Scenario&) const = default;

    long long headlessTicks() const;
};

} // namespace pulsavo::scenario
