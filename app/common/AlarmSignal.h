#pragma once

#include "Alarms.h"
#include "Simulation.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace pulsavo {

// The alarm's sound as samples, apart from any audio device: the burst pattern of a priority
// played on, cycle after cycle, as 16-bit mono. Each pulse is a 440 Hz tone with four
// harmonics, rising and falling over 15 % of its length, so that it is heard through noise
// and its direction can be told (IEC 60601-1-8: 150 to 1000 Hz, at least four harmonics, rise
// and fall 10 to 20 % of the pulse). Between pulses, and while stopped, every sample is 0.
class AlarmSignal {
public:
    static constexpr int fundamentalHz = 440;
    static constexpr int harmonics = 5; // the fundamental and four above it

    explicit AlarmSignal(int sampleRate);

    // The pattern of `priority` from `phaseTicks` into its cycle (0: a burst's first pulse).
    void play(AlarmPriority priority, int phaseTicks);
    void stop() { playing = false; }
    bool isPlaying() const { return playing; }

    void render(std::int16_t* out, std::size_t frames);
    int rate() const { return sampleRate; }

private:
    double pulseSample(std::int64_t intoPulse, std::int64_t pulseFrames) const;

    int sampleRate;
    int framesPerTick;
    const AlarmPattern* pattern = nullptr;
    std::int64_t position = 0; // frames into the cycle
    bool playing = false;
};

// Whatever sounds the alarm: told which pattern to play and from where in its cycle, or to be
// still.
class AlarmSink {
public:
    virtual ~AlarmSink() = default;
    virtual void play(AlarmPriority priority, int phaseTicks) = 0;
    virtual void stop() = 0;
    // False once it is known that nothing can be heard (no output device, or it broke).
    virtual bool audible() const { return true; }
};

// Keeps a sink playing what the alarms sound, told after each batch of ticks: a new pattern or
// a burst started afresh is played from its place in the cycle; silenced or no alarm, still.
class AlarmFollower {
public:
    void follow(const Alarms& alarms, AlarmSink& sink);
    void reset() { *this = AlarmFollower(); }

private:
    std::optional<AlarmPriority> played;
    int starts = -1;
};

} // namespace pulsavo
