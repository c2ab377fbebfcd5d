#pragma once

#include "Alarms.h"
#include "HeartRateMeter.h"
#include "QrsTone.h"
#include "Rhythm.h"
#include "ScenarioVitals.h"
#include "Simulation.h"
#include "Sweep.h"
#include "WaveEvent.h"
#include "WaveRecorder.h"

#include <QRegion>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QImage;

namespace pulsavo {

// One monitor: a simulation and the sweep that draws it, advanced one 10 ms tick at a time.
// It holds no widgets and no clock; whoever owns it decides when ticks happen (a timer in the
// trainer, a loop in pulsavo-strip and the benchmarks), so several can run side by side.
class Monitor {
public:
    // When the beat tone sounds: threshold is the classic tone (the trace rising past the
    // rhythm's level); qrs sounds once at the peak of every QRS complex and ventricular beat.
    enum class ToneMode { threshold, qrs };

    // A decision as the monitor took it: applied just before tick `tick` was drawn.
    struct Selection {
        long long tick = 1;
        std::optional<Rhythm> rhythm;
        std::uint32_t seed = 0;
    };

    static constexpr int defaultHistoryTicks = 60 * 100;

    Monitor(int width, int height, int historyTicks = defaultHistoryTicks);
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;
    ~Monitor() = default;

    // A new panel size: the sweep starts again at column 1; the simulation runs on.
    void setPanelSize(int width, int height);
    // A new panel size that keeps the trace in view: the last pass is drawn again from the
    // history onto the surface (already of the new size), the cursor in the same column where
    // it still fits, else at the right edge. Nothing is stepped, sounded or repainted: the
    // owner shows the whole surface afterwards.
    void redrawAt(int width, int height);

    // The image the sweep paints into, in panel pixels; none for a headless monitor. The
    // monitor does not own it, and it must outlive the monitor or be unset first. Only the
    // sweep draws on it; whoever changes its pixels otherwise says so with surfaceChanged().
    void setSurface(QImage* image);
    void surfaceChanged();

    // Whether segments marked for notice are drawn in the alert colour. The history keeps the
    // marking either way.
    void setMarking(bool on) { marking = on; }
    bool showsMarking() const { return marking; }

    // How marked segments stand out; kept across panel sizes. Red unless set.
    void setHighlight(Sweep::Highlight style);
    Sweep::Highlight highlight() const { return scope.highlight(); }

    void select(std::optional<Rhythm> rhythm, std::uint32_t seed);

    // Back to a fresh start for a new question: queue empty, trace at rest, no rhythm, no
    // history, the ward readings cleared. The sweep keeps its column so the panel sweeps on
    // without a jump; the artifact laid, the pulse channel and its saturation stay as set.
    void restart();
    // A fresh simulation in place of the one playing, its tick count going on: nothing of the
    // rhythm before is left in the queue, the trace and history so far stay. What restart()
    // keeps is kept here too; a model told to others (onLive) stays told.
    void renewModel();

    // The ward monitor's readings, off by default: the pulse channel on, and each tick the
    // heart-rate numeric and the alarms read what was drawn.
    void setWard(bool on);
    bool showsWard() const { return ward; }
    const HeartRateMeter& heartRate() const { return meter; }
    Alarms& alarms() { return alarmSystem; }
    const Alarms& alarms() const { return alarmSystem; }
    // Numerics a scenario or an instructor sets: the SpO2 goes to the oximeter, an NIBP with no
    // tick of its own is taken on the latest tick. Values vitalsProblem() finds fault with are
    // refused (false) and nothing changes. They outlast restart().
    bool setScenarioVitals(const ScenarioVitals& vitals);
    const ScenarioVitals& scenarioVitals() const { return entered; }
    // Artifact this strong in any kind but wander and lead-off makes the ECG hard to read.
    static constexpr int noiseStrength = 8;

    // The pulse wave's own sweep, column for column under the ECG's, painted into `image`
    // (nullptr: none) of `width` x `height` panel pixels; it starts empty. The sample's
    // percent of a full pulse is drawn from the bottom up, a full pulse plethHeadroom pixels
    // under the top.
    void setPlethSurface(QImage* image, int width, int height);
    static constexpr int plethHeadroom = 6;
    inline static const QColor plethColour{0, 200, 255};
    std::function<void(const QRegion&)> onPlethRepaint;

    // A paused monitor ignores ticks: no steps, no tone, and the picture stays as it is.
    void setPaused(bool on);
    bool isPaused() const { return paused; }

    void setToneMode(ToneMode mode) { tone = mode; }
    ToneMode toneMode() const { return tone; }

    // ECG paper for the wipe to restore instead of black; a null image wipes to black.
    void setPaper(const QImage& paper);
    const QImage& paper() const { return scope.paper; }

    // The tick whose segment ends at panel column `column`, drawn there most recently and not
    // wiped since; none for a wiped, never drawn or out-of-range column.
    std::optional<long long> tickAt(int column) const;
    // The column showing `tick`, if it is still on the panel.
    std::optional<int> columnOf(long long tick) const;

    // Runs `count` ticks in order, each: simulation step, sweep painted onto the surface,
    // sample kept in the history, tone on a beep tick. Then one repaint of all they touched
    // and one look ahead for the next beep.
    // Returns the number run (0 when paused).
    int run(int count = 1);
    // Runs the simulation `count` ticks unseen, before anything is shown: nothing drawn, kept
    // in the history or sounded, the sweep where it was. The tick count moves on with it, so
    // the waves laid keep their ticks. A compared trace starts so at a beat matching another's.
    void preRoll(int count);

    // How many ticks after the latest tick run the tone next sounds in the current tone mode,
    // as far as the queue shows (1: on the next tick), or nothingDue (also named noToneDue).
    static constexpr int noToneDue = nothingDue;
    int ticksUntilTone() const;

    // Before each tick's simulation step: whoever plays a script on the monitor (a scenario's
    // runner) applies what is due on that tick, so its changes land on exact ticks.
    std::function<void()> beforeStep;
    std::function<void()> onTone;
    // After each batch of ticks: ticksUntilTone(), so that a sound output can rest between
    // beats and time the tone to the tick that sounds it.
    std::function<void(int)> onUpcoming;
    std::function<void(const QRegion&)> onRepaint;
    // When the monitor is paused or restarted: the beat it showed coming will not come.
    std::function<void()> onSilence;
    // When it is paused or resumed; the clock that drives it listens here, to sleep while every
    // monitor it drives is paused.
    std::function<void(bool paused)> onPausedChanged;

    long long tickCount() const { return ticks; }
    const TickSample& lastSample() const { return latestSample; }
    const Sweep::Step& lastStep() const { return latestStep; }

    // Up to the last `count` samples, oldest first; fewer when the history is shorter.
    std::vector<TickSample> history(int count) const;
    int historyCapacity() const { return static_cast<int>(ring.size()); }
    const std::vector<Selection>& selections() const { return decisions; }

    // The waves behind about the last historyCapacity() ticks, for a ladder diagram, calipers
    // scored against the true timings, or a saved strip. Off by default. Turning it on starts
    // an empty history; off drops it.
    void setEventHistory(bool on);
    bool keepsEvents() const { return recorder != nullptr; }
    // Nullptr while off. Its completeFrom() says from which tick on the waves are all there.
    const WaveRecorder* eventHistory() const { return recorder.get(); }
    // The waves starting on a tick in [firstTick, lastTick], in tick order; empty while off.
    // Waves already laid for ticks not yet drawn are included.
    std::vector<WaveEvent> events(long long firstTick, long long lastTick) const;
    // Every wave kept, in tick order.
    std::vector<WaveEvent> events() const;

    Simulation& simulation() { return model; }
    const Simulation& simulation() const { return model; }
    const Sweep& sweep() const { return scope; }

private:
    // Hears every wave the simulation lays: the QRS tone and the event history.
    class Listener : public WaveListener {
    public:
        explicit Listener(Monitor& owner) : owner(owner) {}
        void onWave(const WaveEvent& event) override;

    private:
        Monitor& owner;
    };

    void freshModel(long long tick);
    void step(QImage* painted, Sweep::Changes& changed);
    void show(const TickSample& sample, long long tick, QImage* painted, Sweep::Changes& changed);
    void noteColumns(const Sweep::Step& drawn, long long tick);
    void readWard();
    void showPleth(Sweep::Changes& changed);

    Simulation model;
    Sweep scope;
    QImage* surface = nullptr;
    bool marking = true;
    bool paused = false;
    long long ticks = 0;
    TickSample latestSample;
    Sweep::Step latestStep;
    std::vector<TickSample> ring;
    std::size_t ringNext = 0;
    std::size_t ringSize = 0;
    std::vector<Selection> decisions;
    ToneMode tone = ToneMode::threshold;
    QrsTone qrsTone;
    std::unique_ptr<WaveRecorder> recorder; // the event history, while it is on
    std::vector<long long> columnTicks;     // 0: nothing drawn there
    Listener listener{*this};
    bool ward = false;
    HeartRateMeter meter;
    Alarms alarmSystem;
    ScenarioVitals entered;
    Sweep plethScope{0, 0};
    QImage* plethSurface = nullptr;
    int plethY = 0;
    bool plethAligned = false;
};

} // namespace pulsavo
