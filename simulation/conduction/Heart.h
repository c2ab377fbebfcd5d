#pragma once

#include "LiveParameter.h"
#include "Preset.h"
#include "RhythmLibrary.h"
#include "Transition.h"
#include "WaveEvent.h"
#include "Waveform.h"

#include <array>
#include <cstdint>
#include <optional>

namespace pulsavo {
class Simulation;
}

namespace pulsavo::conduction {

// The conduction model behind the rhythm library: the heart's pacemakers and pathways as state,
// waves as output. The sinus node, an atrial focus, flutter or fibrillating atria, the AV node,
// the junction, the ventricles and an implanted pacemaker each decide when they fire; an impulse
// crosses the AV node or not by the node's own rule and reaches the ventricles unless they are
// still refractory. Decisions are taken `lookahead` ticks before they show, so that a beat's
// QRS can be planned when its P wave is, and every wave is laid into the simulation's queue on
// the tick its first step is due there, in tick order.
class Heart {
public:
    static constexpr int lookahead = 30;
    // A shock's artifact: its ticks and how far below the baseline it throws the trace (px).
    static constexpr int shockLength = 48;
    static constexpr float shockDepth = 55;

    void select(LibraryRhythm rhythm, Simulation& sim);
    // After the simulation's queue has moved on by one tick.
    void tick(Simulation& sim);
    // Ticks from the next step to the next beat tone already laid, or -1.
    int ticksUntilBeep(std::int64_t tickCount) const;

    const Params& parameters() const { return p; }
    // Changes the rhythm while it plays: each pacemaker and pathway follows the new values from
    // its next decision on; waves already planned play out as they were. Ends a ramp and drops
    // a transition still waiting for its trigger, as the other changes below do.
    void setParameters(const Params& next);
    // The numbers move to `target` a step at each decision over `ticks`; choices change at once.
    void ramp(const Params& target, int ticks);
    // The ramp still running at the last decision, if any.
    const std::optional<ParameterRamp>& currentRamp() const { return rampState; }
    Params target() const { return rampState ? rampState->target : p; }
    // One parameter changed at once, in the values playing and in a ramp's or a pending
    // transition's as well, so that neither undoes it.
    void setLive(LiveParameterId which, double value);

    void transition(const Params& next, Transition how);
    std::optional<TransitionKind> pendingTransition() const;
    void pvcNow() {
        pvcPending = true;
        wake = 0;
    }
    void blockNextBeat() { blockPending = true; }
    // A shock laid on the next tick decided; `after` starts once `pauseTicks` have passed.
    void shock(const Params& after, int pauseTicks);

private:
    enum class Origin { supraventricular, ventricular, paced };

    struct Planned {
        std::int64_t tick = 0;
        Waveform wave;
        float gain = 1;
        WaveKind kind = WaveKind::p;
        WaveRole role = WaveRole::conducted;
        std::int64_t beat = 0;
        bool marked = false;
        bool green = false;
        enum class Entry { wave, missing, span } entry = Entry::wave;
        int span = 0; // Entry::span: ticks marked red from `tick` on
    };
    struct Span {
        std::int64_t from = 0;
        std::int64_t to = 0; // exclusive
        bool green = false;  // keeps its ticks green over red spans (a QRS through flutter waves)
    };

    // Each returns the entry's place in the plan, valid until the next tick lays waves.
    int plan(const Planned& wave);
    int planWave(std::int64_t tick, const Waveform& wave, WaveKind kind, WaveRole role,
                 std::int64_t beat, bool marked, float gain = 1);
    void planMissing(std::int64_t tick);
    void planSpan(std::int64_t from, std::int64_t to);
    void lay(Simulation& sim, const Planned& wave);

    // From `start` on, every pacemaker starts afresh with the values playing.
    void startPacemakers(std::int64_t start);
    // The values to decide with from `horizon` on, the heart's state kept.
    void apply(const Params& next, std::int64_t horizon);
    void decide(std::int64_t horizon);
    // A pending transition's trigger: the beat that starts the new rhythm.
    void triggerPending(std::int64_t horizon);
    void triggerPvc(std::int64_t at);
    void triggerPac(std::int64_t at);
    void armROnT(std::int64_t tAt, int tLength);
    void layDue(Simulation& sim, std::int64_t horizon);
    std::int64_t nextWake() const;
    // The pen for `tick`, dropping the spans that have ended; sets colourUntil.
    bool colourAt(std::int64_t tick);

    void fireSinus(std::int64_t at);
    void fireFocus(std::int64_t at);
    void fireFlutterWave(std::int64_t at);
    void fireFibrillationWave(std::int64_t at);
    void fireLower(std::int64_t at);
    void firePacer(std::int64_t at);
    void fireChaos(std::int64_t at);

    // An atrial impulse at `at` with the P wave already planned; returns the QRS tick or -1.
    std::int64_t conduct(int pEntry, int pr, WaveRole role);
    // The AV node's own verdict for the next impulse: the PR, or -1 for a block.
    int avVerdict(int pr);
    void activate(std::int64_t at, Origin origin, WaveRole role, std::int64_t beat, bool marked,
                  int shape = 0);
    void afterNormalBeat(std::int64_t pAt, std::int64_t qrsAt);
    void planPvc(std::int64_t at, int shape, bool first);

    Waveform qrsShape() const;
    Waveform ventricularShape(int shape, bool paced) const;
    int draw(int lo, int hi);
    std::int64_t newBeat();
    bool marks(unsigned mark) const { return (p.marks & mark) != 0; }

    Params p;
    std::optional<ParameterRamp> rampState;
    struct Pending {
        TransitionKind kind = TransitionKind::direct;
        Params next;
        std::int64_t deadline = 0;   // without a trigger by this horizon tick, one is made
        std::int64_t triggerAt = -1; // the trigger's tick once planned
    };
    std::optional<Pending> pending;
    bool pvcPending = false;
    bool blockPending = false;
    bool escapePending = false; // the next beat of the lower pacemaker ends a pause
    RandomSource* random = nullptr;
    Simulation* owner = nullptr;

    std::array<Planned, 48> planned{};
    int plannedCount = 0;
    std::int64_t nextPlanned = 0;

    std::array<Span, 32> spans{};
    int spanCount = 0;
    std::array<std::int64_t, 16> beeps{};
    int beepCount = 0;

    std::int64_t wake = 0;           // the next horizon tick at which anything is due
    std::int64_t decidedThrough = 0; // the last horizon tick decided
    std::int64_t colourUntil = 0;    // the pen stays as it is before this tick
    std::int64_t atrialNext = 0;
    std::int64_t pacerNext = 0;
    std::int64_t chaosNext = 0;
    std::int64_t lastV = 0;     // latest ventricular activation planned
    std::int64_t ventReady = 0; // ventricles accept an impulse from this tick on
    std::int64_t avReady = 0;   // fibrillation: the node conducts again from this tick on
    std::int64_t lastNormalQrs = 0;
    std::int64_t lastSpike = 0;     // the ventricular pacer's
    std::int64_t lastIntrinsic = 0; // the latest ventricular activation not paced
    std::int64_t lastP = 0;
    int countdown = 0;     // sinus arrest, exit block
    int groupPosition = 0; // Wenckebach, Mobitz II, ratios
    int groupSize = 0;
    int normalBeats = 0; // since the last ectopic beat
    int ectopicDue = 0;
    int captureCountdown = 0;
    int lowerBeats = 0;
};

} // namespace pulsavo::conduction
