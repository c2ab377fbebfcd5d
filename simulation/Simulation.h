#pragma once

#include "Artifact.h"
#include "DeltaQueue.h"
#include "LiveAction.h"
#include "Pleth.h"
#include "RandomSource.h"
#include "Rhythm.h"
#include "RhythmLibrary.h"
#include "WaveEvent.h"
#include "conduction/Heart.h"
#include "conduction/Transition.h"

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace pulsavo {

inline constexpr int baselineY = 85;
inline constexpr int queueLength = 210;

// What one tick hands to the display: the segment from fromY to y, its pen, and the beat tone.
struct TickSample {
    int fromY = baselineY;
    int y = baselineY;
    bool red = false;
    bool beep = false;
};

// The one heartbeat of every monitor: a step of the simulation, a column of the sweep.
inline constexpr int tickMs = 10;
inline constexpr int ticksPerSecond = 1000 / tickMs;
// What a look ahead for the next beep or tone gives when the queue shows none coming.
inline constexpr int nothingDue = -1;

// The simulated monitor, free of pixels, clocks and widgets: it is stepped once per 10 ms tick.
// The trace is the running sum of the steps pending in deltaQueue; generators lay beat
// templates into the queue ahead of the present tick. Every wave laid is reported to the wave
// listener, if one is set, with the tick its first step will be drawn on.
class Simulation {
public:
    static constexpr std::array<int, 8> pWave{-2, -1, -1, 0, 0, 1, 1, 2};
    static constexpr std::array<int, 8> qrsComplex{2, 1, -20, -25, 23, 30, -6, -5};
    static constexpr std::array<int, 28> tWave{0,  0, 0,  -1, 0,  -1, 0, -1, -1, 0, -1, -1, -1, -2,
                                               -1, 0, -1, 0,  -1, 0,  0, 1,  0,  1, 1,  2,  3,  4};
    static constexpr std::array<int, 46> ventricularBeat{
        -9, -9, -9, -11, -7, -5, 6, 6, 6, 6,  6,  6,  5,  4,  4,  4,  4,  1,  0,  1,  0,  1, 1,
        3,  6,  3,  2,   3,  2,  1, 1, 0, -1, -1, -2, -4, -3, -6, -6, -4, -1, -1, -1, -1, 0, -1};
    static constexpr std::array<int, 40> fibrillationWave{
        -1, 0, -1, -2, -1, -2, -2, -2, -3, -3, -3, -2, -1, -1, 1,  1,  1,  2,  3,  3,
        4,  9, 4,  4,  4,  3,  1,  2,  1,  0,  0,  -1, -1, -2, -2, -3, -3, -3, -2, -2};

    // One tick: draws the head of the queue into traceY, tests the beat tone, shifts the queue
    // and runs the selected rhythm's generator. The pen returned is the one the previous tick's
    // generator chose, so colours follow a generator's decision one tick late.
    // Inline, so that the sample's fields reach the caller in registers: returned from another
    // unit, the sample was stored field by field and read back whole, a stall every tick.
    TickSample step() {
        ++tickCount;
        const bool red = alertColour;
        int fromY = traceY;
        traceY += deltaQueue[0];
        int y = traceY;
        bool beep = traceY < beepLevel;
        deltaQueue.advance();
        runGenerator();
        if (artifactShown || artifact.any()) {
            layArtifact(fromY, y, beep);
        }
        if (plethOn) {
            plethLevel = plethWave.step(tickCount);
        }
        return {fromY, y, red, beep};
    }

    // The simulation side of a decision: reseed, reset the counters, and give rhythm `index`
    // its randomised starting values: a classic generator for 0..17, the conduction model with
    // a library preset after them. Any other index leaves no rhythm selected.
    // Neither the queue nor traceY is touched: pending steps of the previous rhythm play out.
    void selectRhythm(int index, std::uint32_t seed);
    void selectRhythm(std::optional<Rhythm> rhythm, std::uint32_t seed) {
        selectRhythm(rhythm ? indexOf(*rhythm) : noRhythm, seed);
    }

    void runGenerator();

    // Receives every wave laid from now on; nullptr (the default) listens to none and costs
    // one test per wave laid. The listener must outlive the simulation or be unset first.
    void setWaveListener(WaveListener* listener) { waveListener = listener; }
    // Told of every selection, live change, transition and event made from outside, before it
    // takes effect (the simulation's state is still the one it acts on); the calls these make
    // on their own (a transition from a classic rhythm selects) are not told again.
    std::function<void(const LiveAction&)> onLive;

    int ticksForRate(int lo, int hi) { return 6000 / random.drawInRange(lo, hi); }

    template <std::size_t N> void addTemplate(const std::array<int, N>& wave, int offset) {
        assert(offset >= 0 && offset + static_cast<int>(N) <= queueLength);
        for (std::size_t i = 0; i < N; ++i) {
            deltaQueue[offset + i] += wave[i];
        }
    }

    template <std::size_t N> void subtractTemplate(const std::array<int, N>& wave, int offset) {
        assert(offset >= 0 && offset + static_cast<int>(N) <= queueLength);
        for (std::size_t i = 0; i < N; ++i) {
            deltaQueue[offset + i] -= wave[i];
        }
    }

    void addQrsT(int qrsAt, int tAt);

    void tickSinusRhythm(int interval);
    void tickSupraventricularPremature(int interval);
    void tickAtrialTachycardia(int interval);
    void tickJunctionalTachycardia(int interval);
    void tickAtrialFibrillation();
    void tickAtrialFlutter(int interval, int ratio);
    void tickSporadicPvc(int interval);
    void tickMultifocalPvc(int interval);
    void tickROnT(int interval);
    void tickShortRun(int interval);
    void tickVentricularTachycardia(int interval);
    void tickVentricularFibrillation();
    void tickSinusArrest();
    void tickSinoatrialBlock(int interval);
    void tickFirstDegreeBlock(int interval);
    void tickMobitzBlock(int interval);
    void tickWenckebachBlock(int interval);
    void tickCompleteBlock(int ventricularInterval, int atrialInterval);

    bool hasRhythm() const { return anyRhythmAt(rhythmIndex).has_value(); }
    std::optional<Rhythm> rhythm() const { return anyRhythmAt(rhythmIndex); }
    bool playsLibrary() const { return rhythmIndex >= rhythmCount && hasRhythm(); }
    // The library rhythm's values playing: as drawn at selection, then as changed live (a ramp
    // moves them at each beat); meaningless for a classic one.
    const conduction::Params& libraryParameters() const { return heart.parameters(); }
    // A live change of the library rhythm playing (an instructor's control); ignored otherwise.
    void changeLibraryParameters(const conduction::Params& params) {
        rampLibraryParameters(params, 0);
    }

    // Live control of a library rhythm. While a classic rhythm or none plays these do nothing
    // and return false, except where said. Every change is decided `Heart::lookahead` ticks
    // ahead of the trace, like every beat of the model: waves already planned play out.

    // The values the rhythm is heading for: the ramp's target while one runs, else those
    // playing. Pending changes are collected on a copy of this and handed over together.
    conduction::Params libraryTarget() const;
    // Moves the rhythm's numbers linearly to `target` over `ticks` (0: at once), one step at
    // each beat the heart decides; choices (the AV node's kind, ectopy, pacing mode …) change
    // at the next beat. A ramp started while one runs starts from where that one has got to.
    bool rampLibraryParameters(const conduction::Params& target, int ticks);
    // The ramp in progress; nullopt once it has reached its target.
    std::optional<conduction::ParameterRamp> libraryRamp() const;

    // Gives way to library rhythm `next`, its values drawn from `seed`, as `how` says, keeping
    // the queue and the heart's timing; rhythm() names `next` at once. From a classic rhythm or
    // none it is selectRhythm's hard cut (and returns false).
    bool transitionTo(LibraryRhythm next, std::uint32_t seed, conduction::Transition how);
    // The kind of a transition still waiting for its trigger (the R-on-T PVC, the PAC, the end
    // of the beat before a pause); nullopt once it has happened.
    std::optional<conduction::TransitionKind> pendingTransition() const;

    // Instructor events.
    // A PVC as soon as the ventricles can take one, with its compensatory pause.
    bool pvcNow();
    // The next atrial impulse that would conduct is blocked (a dropped beat); false where no
    // atrial impulse conducts (ventricular rhythms, complete block).
    bool blockNextBeat();
    // A shock: its artifact (a WaveKind::shock event, role artifact) on the next decided tick,
    // then the flat line of the stunned heart and what follows. Works on any rhythm; after a
    // classic one, `after` is selected as a hard cut.
    void defibrillate(const conduction::Shock& shock);
    // Pacing on (a demand pacer in `mode`), off (Pacer::none), its rate and output (mA); it
    // captures while the output reaches the rhythm's capture threshold.
    bool setPacing(conduction::Pacer mode, int ratePerMin, int outputMa);

    // Artifact over the trace, kind by kind (strength 0 takes it off). It draws from the seed of
    // each selection but does not restart with it; without it the trace is as it always was.
    void setArtifact(ArtifactKind kind, int strength) { artifact.set(kind, strength); }
    const Artifact& artifactLayer() const { return artifact; }

    // The pulse wave channel, off until enabled: then every ventricular complex that perfuses
    // is followed by a pulse, reported as a wave, and pleth() is its sample on the tick stepped.
    void enablePleth(bool on);
    bool plethEnabled() const { return plethOn; }
    int pleth() const { return plethLevel; }
    const Pleth& plethChannel() const { return plethWave; }
    void setSaturation(int percent) { plethWave.setSaturation(percent); }
    // Whether the rhythm playing has no pulse at all (PEA, pulseless VT).
    bool pulseless() const { return playsLibrary() && heart.parameters().pulseless; }

    // For the conduction model: report a wave it laid, number a new beat.
    void reportWave(const WaveEvent& event) {
        if (waveListener != nullptr || plethOn) {
            deliver(event);
        }
    }
    std::int64_t newBeat() { return nextBeat(); }

    // traceY once every pending step has been drawn; 85 unless a step was ever lost.
    int restingLevel() const;

    // How many ticks ahead the next beep is as the queue stands: 0 when the next step beeps,
    // nothingDue when no pending step takes the trace below the beep level. Steps laid or a beep
    // level set by later ticks can bring a beep forward or put it off.
    int ticksUntilBeep() const;

    DeltaQueue<queueLength> deltaQueue;
    int rhythmIndex = noRhythm;
    bool alertColour = false;
    int beatTicks = 0;
    int auxCount = 0;
    int runLength = 0;
    int beatInterval = 0;
    int auxInterval = 0;
    int traceY = baselineY;
    int beepLevel = 0;
    RandomSource random;
    // step() calls so far: during and after the n-th call it is n, so a template added at
    // offset k by that call's generator has its step i drawn on tick tickCount + 1 + k + i.
    std::int64_t tickCount = 0;
    // Beats numbered so far, across selections; a wave event carries its beat's number.
    std::int64_t beatCount = 0;

private:
    // Tells onLive of an outside call for as long as it lasts; inner calls stay untold.
    class LiveCall {
    public:
        LiveCall(Simulation& owner, const LiveAction& action) : owner(owner) {
            if (owner.liveDepth++ == 0 && owner.onLive) {
                owner.onLive(action);
            }
        }
        ~LiveCall() { --owner.liveDepth; }
        LiveCall(const LiveCall&) = delete;
        LiveCall& operator=(const LiveCall&) = delete;

    private:
        Simulation& owner;
    };

    std::int64_t nextBeat() { return ++beatCount; }
    void report(WaveKind kind, WaveRole role, int offset, std::int64_t beat,
                bool inverted = false) {
        if (waveListener != nullptr || plethOn) {
            deliver({tickCount + 1 + offset, kind, role, waveLength(kind), beat, inverted});
        }
    }
    void deliver(const WaveEvent& event);
    void layArtifact(int& fromY, int& y, bool& beep);
    // A P wave (when pAt >= 0), a QRS and its T wave as one new beat.
    void reportBeat(WaveRole role, int pAt, int qrsAt, int tAt);

    void layEctopicBeat(bool mayMirror);
    void finishEctopicTick(int interval);
    void conductOrDropBeat(int interval, bool keepsPWave);
    int drawConductedBeats() { return random.drawInRange(1, 5); }

    WaveListener* waveListener = nullptr;
    int liveDepth = 0; // calls from outside under way: only the outermost is told
    conduction::Heart heart;
    Artifact artifact;
    int shownY = baselineY; // the trace as drawn with artifact on the last tick
    bool artifactShown = false;
    Pleth plethWave;
    int plethLevel = 0;
    bool plethOn = false;
    // Sinus arrest: the tick of the last beat and the cycle that ended with it (0 while unknown).
    std::int64_t arrestBeatTick = 0;
    std::int64_t arrestCycle = 0;
};

} // namespace pulsavo
