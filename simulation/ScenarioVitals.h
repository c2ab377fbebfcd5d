#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pulsavo {

// A non-invasive blood pressure as the cuff last read it, and the monitor tick it was taken on
// (nullopt: whenever it is handed to the monitor).
struct BloodPressure {
    int systolic = 0;
    int diastolic = 0;
    std::optional<std::int64_t> takenAtTick;

    bool operator==(const BloodPressure&) const = default;
};

// The numerics a scenario or an instructor sets on a ward monitor besides what it measures from
// the trace: the SpO2 the oximeter reads while it sees pulses, the last NIBP and the respiration
// rate. Each is optional; one left unset keeps its value (SpO2) or shows as not measured.
struct ScenarioVitals {
    static constexpr int maxRespirationRate = 99;

    std::optional<int> saturation;
    std::optional<BloodPressure> bloodPressure;
    std::optional<int> respirationRate;

    bool operator==(const ScenarioVitals&) const = default;
};

// "120/80" with optional spaces around the slash; nullopt for anything else, for a diastolic
// not below the systolic, or for values no cuff reads (systolic 30..300, diastolic 10..250).
std::optional<BloodPressure> parseBloodPressure(std::string_view text);
std::string formatBloodPressure(const BloodPressure& pressure);

// What is wrong with the values, in one line of English, or nullopt when every value set lies
// in the range a monitor shows (SpO2 0..100 %, respiration 0..99 /min, a readable NIBP).
std::optional<std::string> vitalsProblem(const ScenarioVitals& vitals);

} // namespace pulsavo
