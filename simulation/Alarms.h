#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pulsavo {

// Priorities of IEC 60601-1-8: high calls for an immediate response, medium a prompt one, low
// for awareness.
enum class AlarmPriority : std::uint8_t { low, medium, high };

enum class Alarm : std::uint8_t {
    asystole,
    ventricularFibrillation,
    ventricularTachycardia,
    extremeBradycardia,
    extremeTachycardia,
    heartRateLow,
    heartRateHigh,
    saturationLow,
    leadOff,
    noise, // artifact too strong to read the ECG well
};

inline constexpr int alarmCount = 10;

struct AlarmInfo {
    std::string_view id;
    AlarmPriority priority;
    // A latching alarm stays shown and sounding after its condition has gone, until silenced.
    bool latches;
    // Ticks the condition must hold before it alarms.
    int delayTicks;
};

const AlarmInfo& infoOf(Alarm alarm);

// An auditory alarm signal as IEC 60601-1-8 sets it out, in 10 ms ticks: the pulses of one
// burst, each pulseTicks long and starting at starts[i] from the burst's start, the burst
// repeated every repeatTicks. High: 10 pulses as 3 + 2, a pause, 3 + 2 (spacing 100 ms between
// pulses of a group, 2 × 100 ms + the pulse within the 3 + 2, 500 ms between the halves),
// every 8.3 s; medium: 3 pulses every 9 s; low: 2 pulses every 16.6 s.
struct AlarmPattern {
    int pulses = 0;
    int pulseTicks = 0;
    std::array<int, 10> starts{};
    int repeatTicks = 0;

    bool soundsAt(int phase) const;
};

const AlarmPattern& patternOf(AlarmPriority priority);

// Whether the alarm light of `priority` is lit on `tick`. High flashes red at 2 Hz and medium
// yellow at 0.625 Hz, each lit half its period (IEC 60601-1-8 asks 1.4 to 2.8 Hz and 0.4 to
// 0.8 Hz, lit 20 to 60 %); low stays lit, so priorities are told apart without sound too.
bool lampLit(AlarmPriority priority, std::int64_t tick);

// The limits a nurse sets, in beats per minute and percent.
struct AlarmLimits {
    int heartRateLow = 50;
    int heartRateHigh = 120;
    int extremeLow = 40;
    int extremeHigh = 160;
    int saturationLow = 90;

    bool operator==(const AlarmLimits&) const = default;
};

// What the monitor reads on one tick.
struct VitalSigns {
    std::optional<int> heartRate;
    bool asystole = false;
    bool fibrillation = false;
    bool ventricularTachycardia = false;
    bool leadOff = false;
    bool noise = false;
    std::optional<int> saturation;
};

// The alarm system, stepped once per tick with what the monitor reads. An alarm is shown
// while its condition holds (after its delay) and, if it latches, until silenced after that.
// The tone is the pattern of the highest priority shown, from a burst's start whenever that
// priority changes or a new alarm of it comes; silence() pauses the tone for two minutes for
// the alarms shown then, and an alarm that comes during the pause sounds at once. No sound is
// made here: toneOn() says whether the tick lies in a pulse.
class Alarms {
public:
    static constexpr int silenceTicks = 12000;

    explicit Alarms(const AlarmLimits& limits = {}) : limits(limits) {}
    void setLimits(const AlarmLimits& next) { limits = next; }
    const AlarmLimits& currentLimits() const { return limits; }

    void step(const VitalSigns& vitals);
    // The audio-paused key: pauses the tone and clears latched alarms whose condition is gone.
    void silence();
    void reset();

    bool shows(Alarm alarm) const { return (shown & bit(alarm)) != 0; }
    bool any() const { return shown != 0; }
    std::optional<AlarmPriority> highest() const;
    bool silenced() const { return silenceLeft > 0; }
    int silencedTicks() const { return silenceLeft; }
    bool toneOn() const { return tone; }
    // The pattern the tone plays (none while no alarm is shown or it is silenced), the tick of
    // its burst cycle this step lies on, and how often a burst started afresh so far: a sound
    // output follows these rather than asking toneOn() tick by tick.
    std::optional<AlarmPriority> soundingPattern() const;
    int burstPhase() const { return phase; }
    int burstStarts() const { return restarts; }

private:
    static constexpr unsigned bit(Alarm alarm) { return 1U << static_cast<unsigned>(alarm); }
    unsigned conditions(const VitalSigns& vitals) const;

    AlarmLimits limits;
    std::array<int, alarmCount> held{};
    unsigned holding = 0; // conditions that hold now
    unsigned shown = 0;
    unsigned latched = 0;
    unsigned silencedSet = 0;
    int silenceLeft = 0;
    std::optional<AlarmPriority> sounding;
    int phase = 0;
    int restarts = 0;
    bool tone = false;
};

} // namespace pulsavo
