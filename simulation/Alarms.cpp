#include "Alarms.h"

namespace pulsavo {

namespace {

using enum AlarmPriority;

// Arrest alarms latch so that a rhythm that came and went is still seen; the SpO2 alarm waits
// 10 s so that a moving finger does not set it off.
constexpr std::array<AlarmInfo, alarmCount> infos{{
    {"asystole", high, true, 0},
    {"vf", high, true, 0},
    {"vt", high, true, 0},
    {"extreme_brady", high, false, 0},
    {"extreme_tachy", high, false, 0},
    {"hr_low", medium, false, 0},
    {"hr_high", medium, false, 0},
    {"spo2_low", medium, false, 1000},
    {"lead_off", medium, false, 0},
    {"noise", low, false, 0},
}};

constexpr std::array<AlarmPattern, 3> patterns{{
    {2, 20, {0, 40}, 1660},
    {3, 20, {0, 40, 80}, 900},
    {10, 15, {0, 25, 50, 100, 125, 190, 215, 240, 290, 315}, 830},
}};

} // namespace

const AlarmInfo& infoOf(Alarm alarm) {
    return infos[static_cast<std::size_t>(alarm)];
}

const AlarmPattern& patternOf(AlarmPriority priority) {
    return patterns[static_cast<std::size_t>(priority)];
}

bool AlarmPattern::soundsAt(int at) const {
    for (int i = 0; i < pulses; ++i) {
        const int start = starts[static_cast<std::size_t>(i)];
        if (at >= start && at < start + pulseTicks) {
            return true;
        }
    }
    return false;
}

unsigned Alarms::conditions(const VitalSigns& vitals) const {
    unsigned now = 0;
    const auto set = [&now](Alarm alarm, bool condition) { now |= condition ? bit(alarm) : 0U; };
    if (vitals.saturation) {
        set(Alarm::saturationLow, *vitals.saturation < limits.saturationLow);
    }
    if (vitals.leadOff) {
        // Nothing the ECG would tell can be called without it.
        set(Alarm::leadOff, true);
        return now;
    }
    set(Alarm::noise, vitals.noise);
    set(Alarm::asystole, vitals.asystole);
    set(Alarm::ventricularFibrillation, vitals.fibrillation);
    set(Alarm::ventricularTachycardia, vitals.ventricularTachycardia && !vitals.fibrillation);
    if (vitals.heartRate && !vitals.ventricularTachycardia) {
        const int rate = *vitals.heartRate;
        // The extreme alarm stands in for the limit alarm it exceeds, the VT alarm for both.
        set(Alarm::extremeBradycardia, rate < limits.extremeLow);
        set(Alarm::extremeTachycardia, rate > limits.extremeHigh);
        set(Alarm::heartRateLow, rate < limits.heartRateLow && rate >= limits.extremeLow);
        set(Alarm::heartRateHigh, rate > limits.heartRateHigh && rate <= limits.extremeHigh);
    }
    return now;
}

void Alarms::step(const VitalSigns& vitals) {
    const unsigned raw = conditions(vitals);
    unsigned now = 0;
    for (int i = 0; i < alarmCount; ++i) {
        const auto alarm = static_cast<Alarm>(i);
        int& ticks = held[static_cast<std::size_t>(i)];
        ticks = (raw & bit(alarm)) != 0 ? ticks + 1 : 0;
        if (ticks > infoOf(alarm).delayTicks) {
            now |= bit(alarm);
            if (infoOf(alarm).latches) {
                latched |= bit(alarm);
            }
        }
    }
    const unsigned before = shown;
    holding = now;
    shown = now | latched;
    const unsigned arrived = shown & ~before;
    if (silenceLeft > 0) {
        --silenceLeft;
        if ((arrived & ~silencedSet) != 0) {
            silenceLeft = 0;
        }
    }
    const std::optional<AlarmPriority> top = highest();
    bool restart = top != sounding;
    for (int i = 0; i < alarmCount && top && !restart; ++i) {
        const auto alarm = static_cast<Alarm>(i);
        restart = (arrived & bit(alarm)) != 0 && infoOf(alarm).priority == *top;
    }
    sounding = top;
    phase = restart ? 0 : phase + 1;
    restarts += restart && top ? 1 : 0;
    if (!top) {
        tone = false;
        return;
    }
    const AlarmPattern& pattern = patternOf(*top);
    phase %= pattern.repeatTicks;
    tone = silenceLeft == 0 && pattern.soundsAt(phase);
}

void Alarms::silence() {
    latched &= holding;
    shown = holding | latched;
    silencedSet = shown;
    silenceLeft = silenceTicks;
    tone = false;
}

void Alarms::reset() {
    *this = Alarms(limits);
}

std::optional<AlarmPriority> Alarms::soundingPattern() const {
    return silenceLeft > 0 ? std::nullopt : sounding;
}

bool lampLit(AlarmPriority priority, std::int64_t tick) {
    switch (priority) {
    case AlarmPriority::high:
        return tick % 50 < 25;
    case AlarmPriority::medium:
        return tick % 160 < 80;
    case AlarmPriority::low:
        break;
    }
    return true;
}

std::optional<AlarmPriority> Alarms::highest() const {
    std::optional<AlarmPriority> top;
    for (int i = 0; i < alarmCount; ++i) {
        const auto alarm = static_cast<Alarm>(i);
        if ((shown & bit(alarm)) != 0 && (!top || infoOf(alarm).priority > *top)) {
            top = infoOf(alarm).priority;
        }
    }
    return top;
}

} // namespace pulsavo
