#include "ScenarioVitals.h"

#include <charconv>

namespace pulsavo {

namespace {

constexpr int systolicLow = 30;
constexpr int systolicHigh = 300;
constexpr int diastolicLow = 10;
constexpr int diastolicHigh = 250;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<int> wholeNumber(std::string_view text) {
    text = trimmed(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool readable(const BloodPressure& pressure) {
    return pressure.systolic >= systolicLow && pressure.systolic <= systolicHigh &&
           pressure.diastolic >= diastolicLow && pressure.diastolic <= diastolicHigh &&
           pressure.diastolic < pressure.systolic;
}

} // namespace

std::optional<BloodPressure> parseBloodPressure(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<int> systolic = wholeNumber(text.substr(0, slash));
    const std::optional<int> diastolic = wholeNumber(text.substr(slash + 1));
    if (!systolic || !diastolic) {
        return std::nullopt;
    }
    const BloodPressure pressure{*systolic, *diastolic, std::nullopt};
    return readable(pressure) ? std::optional(pressure) : std::nullopt;
}

std::string formatBloodPressure(const BloodPressure& pressure) {
    return std::to_string(pressure.systolic) + '/' + std::to_string(pressure.diastolic);
}

std::optional<std::string> vitalsProblem(const ScenarioVitals& vitals) {
    if (vitals.saturation && (*vitals.saturation < 0 || *vitals.saturation > 100)) {
        return "SpO2 " + std::to_string(*vitals.saturation) + " lies outside 0..100 %";
    }
    if (vitals.bloodPressure && !readable(*vitals.bloodPressure)) {
        return "NIBP " + formatBloodPressure(*vitals.bloodPressure) +
               " is not a pressure a cuff reads (systolic 30..300 above diastolic 10..250 mmHg)";
    }
    if (vitals.respirationRate && (*vitals.respirationRate < 0 ||
                                   *vitals.respirationRate > ScenarioVitals::maxRespirationRate)) {
        return "respiration rate " + std::to_string(*vitals.respirationRate) +
               " lies outside 0..99 /min";
    }
    return std::nullopt;
}

} // namespace pulsavo
