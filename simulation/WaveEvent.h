#pragma once

#include <cstdint>
#include <string_view>

namespace pulsavo {

// What a wave laid into the queue shows. Each kind is played by one template, which fixes its
// length and the step of its peak.
enum class WaveKind : std::uint8_t {
    p,                       // P wave (pWave)
    qrs,                     // narrow QRS complex (qrsComplex)
    t,                       // T wave after a narrow QRS (tWave)
    ventricularBeat,         // wide ventricular complex with its own repolarisation
    atrialFibrillation,      // one f wave of atrial fibrillation (pWave)
    atrialFlutter,           // one F wave of atrial flutter (tWave)
    ventricularFibrillation, // one wave of ventricular fibrillation (fibrillationWave)
    pacingAtrial,            // an atrial pacing spike
    pacingVentricular,       // a ventricular pacing spike
    // Not the heart's: what the electrodes pick up besides it (role artifact, length its own).
    wander,  // baseline wander, one breath
    tremor,  // muscle tremor, one stretch of even intensity
    mains,   // mains interference, one second of it
    motion,  // electrode motion, one burst
    leadOff, // a lead off: the trace flat, one second of it
    cpr,     // one chest compression
    // The pulse wave at the finger that a perfusing ventricular beat gives (the pleth channel's);
    // its beat and role are those of the beat.
    pulse,
    // A defibrillator's shock on the trace (role artifact, length its own).
    shock,
};

inline constexpr int waveKindCount = 17;

// Where the impulse behind a wave came from and what became of it. All waves of one beat share
// the role of that beat.
enum class WaveRole : std::uint8_t {
    conducted,        // a sinus impulse (or one of fibrillating or fluttering atria) reaching
                      // the ventricles
    blocked,          // an atrial wave that does not reach the ventricles: no QRS in its beat
    missing,          // no wave at all: where a sinus beat was due and none came (length and
                      // kind are those of the P wave it would have had)
    supraventricular, // ectopic or premature, from the atria or the junction
    ventricular,      // ectopic or premature, from the ventricles
    escape,           // a subsidiary pacemaker taking over when the atria do not conduct
    paced,            // started by an implanted pacemaker's spike
    artifact,         // not the heart's at all
};

inline constexpr int waveRoleCount = 8;

// One wave as the simulation lays it: its first step is drawn on `tick` (ticks count step()
// calls from 1), its last on tick + length - 1.
struct WaveEvent {
    std::int64_t tick = 0;
    WaveKind kind = WaveKind::p;
    WaveRole role = WaveRole::conducted;
    int length = 0;
    // Numbers the beats from 1 in the order they are laid; every wave of one beat carries it.
    std::int64_t beat = 0;
    // Laid as the mirror image of its template (the multifocal ventricular beats).
    bool inverted = false;
    // The step of the wave's peak when its shape is its own (the rhythm library's waves, whose
    // widths and heights vary); -1 for the kind's fixed template.
    int peak = -1;

    std::int64_t peakTick() const;
    bool operator==(const WaveEvent&) const = default;
};

// Receives every wave at the moment it is laid, before any of its steps is drawn.
class WaveListener {
public:
    virtual ~WaveListener() = default;
    virtual void onWave(const WaveEvent& event) = 0;

protected:
    WaveListener() = default;
    WaveListener(const WaveListener&) = default;
    WaveListener& operator=(const WaveListener&) = default;
};

// The steps a wave of this kind is long, and the step (counted from 0) at which its trace lies
// farthest from the baseline: the R peak of a QRS, the crest of a ventricular beat.
int waveLength(WaveKind kind);
int peakStep(WaveKind kind);

inline std::int64_t WaveEvent::peakTick() const {
    return tick + (peak >= 0 ? peak : peakStep(kind));
}

// Names used in the events CSV: P, QRS, T, V, f, F, VF, SA, SV, BW, MT, AC, EM, LO, CPR, PULSE,
// SHOCK and conducted, blocked, missing, supraventricular, ventricular, escape, paced, artifact.
std::string_view waveKindName(WaveKind kind);
std::string_view waveRoleName(WaveRole role);

// A ventricular depolarisation: what a QRS-synchronised tone sounds for and what a caliper's
// RR measures between.
constexpr bool isVentricularComplex(WaveKind kind) {
    return kind == WaveKind::qrs || kind == WaveKind::ventricularBeat;
}

// A wave of the heart's own electrical activity on the ECG: what the ladder, calipers and
// strip facts read. Artifact and the pulse wave are not.
constexpr bool isCardiacWave(WaveKind kind) {
    return kind < WaveKind::wander;
}

} // namespace pulsavo
