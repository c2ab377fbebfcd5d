#pragma once

#include "RandomSource.h"
#include "RhythmLibrary.h"

namespace pulsavo::conduction {

// What drives the atria.
enum class Atria { sinus, focal, multifocal, flutter, fibrillation, silent };
// How the AV node passes atrial impulses on.
enum class AvNode { normal, wenckebach, mobitz2, ratio, variableRatio, fibrillation, complete };
// The lower pacemaker: it fires whenever the ventricles have been quiet for its cycle, as an
// escape rhythm or, with a short cycle, as the rhythm itself.
enum class Lower { none, junctional, ventricular, torsades, flutter };
enum class Ectopy { none, pac, pjc, pvc };
enum class Pattern { random, bigeminy, trigeminy, couplets, runs };
enum class Qrs { narrow, bundleBranch, preExcited };
enum class Pacer { none, atrial, ventricular, dual };

// What a learner should notice, drawn red.
enum Mark : unsigned {
    markNone = 0,
    markEctopic = 1U << 0,     // premature beats and runs
    markBlockedP = 1U << 1,    // P waves that do not conduct
    markPause = 1U << 2,       // the flat line where a sinus beat was due
    markPr = 1U << 3,          // P wave and PR segment
    markAtrialWaves = 1U << 4, // flutter and fibrillation waves, ectopic atrial P waves
    markQrs = 1U << 5,         // a QRS that is abnormal in itself (delta wave, bundle branch)
    markAll = 1U << 6,         // the whole trace
    markSpikes = 1U << 7,      // every pacing spike
    markLostSpikes = 1U << 8,  // pacing spikes that did not capture
    markAllP = 1U << 9,        // every P wave (dissociation)
    markLower = 1U << 10,      // the lower pacemaker's beats
};

// A library rhythm as it plays after one seed's draws: rates as cycle lengths in ticks,
// intervals in ticks. Everything the model reads lives here, so that a later change of a
// parameter while it plays is a change of this value.
struct Params {
    Atria atria = Atria::sinus;
    int atrialCycle = 75;
    int cycleJitter = 0;    // percent, multifocal atria
    int breathDepth = 0;    // percent of the cycle, sinus arrhythmia
    int breathPeriod = 400; // ticks
    int arrestEveryLo = 0;  // sinus arrest after every lo..hi beats (0: never)
    int arrestEveryHi = 0;
    int dropEveryLo = 0; // sinoatrial exit block after every lo..hi beats (0: never)
    int dropEveryHi = 0;
    int pShapes = 1; // multifocal atria: shapes in use

    AvNode av = AvNode::normal;
    int pr = 16;
    int prIncrement = 0; // Wenckebach: the first (largest) increment
    int groupLo = 0;     // conducted beats before a block
    int groupHi = 0;
    int ratio = 1;
    int flutterDelay = 24;   // flutter wave onset to QRS
    int fibrillationRr = 80; // mean R–R in atrial fibrillation

    Lower lower = Lower::none;
    int lowerCycle = 0;
    bool lowerStartsAnywhere = false; // dissociated: its first beat falls anywhere in a cycle
    bool retrogradeP = false;
    int retrogradeDelay = 0; // QRS onset to the retrograde P

    Ectopy ectopy = Ectopy::none;
    Pattern pattern = Pattern::random;
    int everyLo = 0; // ectopic beat after every lo..hi normal beats
    int everyHi = 0;
    int couplingLo = 0; // ticks after the preceding QRS (PAC: after the preceding P)
    int couplingHi = 0;
    int ectopicShapes = 1;
    int runLo = 0;
    int runHi = 0;
    int runCycle = 0;

    bool fibrillatingVentricles = false; // ventricular fibrillation
    int chaosCycleLo = 0;
    int chaosCycleHi = 0;
    int amplitudeLo = 0; // pixels, half the peak-to-trough height
    int amplitudeHi = 0;
    int twistBeats = 0; // torsades: beats from one polarity to the other

    Pacer pacer = Pacer::none;
    int pacerCycle = 0;
    int avDelay = 0;        // dual chamber: atrial spike to ventricular spike
    int captureEveryLo = 0; // failure to capture: a lost spike after lo..hi captured ones
    int captureEveryHi = 0;
    bool pacerSenses = true;
    // The pacer captures while its output reaches the threshold (mA, as on a transcutaneous
    // pacer's dial); the presets always capture at these.
    int pacingOutput = 70;
    int captureThreshold = 50;

    // The ventricles' electrical activity ejects no blood: PEA, pulseless VT.
    bool pulseless = false;

    Qrs qrs = Qrs::narrow;
    int qrsWidth = 9;
    int ventricularWidth = 14; // ventricular and paced complexes
    unsigned marks = markNone;
};

// Draws a library rhythm's parameters from its ranges; one seed always gives one set.
Params drawPreset(LibraryRhythm rhythm, RandomSource& random);

// A uniform draw from lo..hi inclusive.
int uniform(RandomSource& random, int lo, int hi);
// Ticks per beat for a rate drawn from lo..hi per minute.
int cycleForRate(RandomSource& random, int lo, int hi);

} // namespace pulsavo::conduction
