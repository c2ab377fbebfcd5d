#include "Simulation.h"
#include "conduction/LiveParameter.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace pulsavo;
using namespace pulsavo::conduction;

// Live control of a library rhythm, measured from what it plays: ramps stay in physiology and
// reach their target, transitions and instructor events show in the wave events.

namespace {

struct Run : WaveListener {
    void onWave(const WaveEvent& event) override { events.push_back(event); }
    std::vector<WaveEvent> events;
    std::vector<TickSample> samples;
    Simulation sim;

    Run(LibraryRhythm rhythm, std::uint32_t seed) {
        sim.setWaveListener(this);
        sim.selectRhythm(rhythmOf(rhythm), seed);
    }
    void play(int ticks) {
        for (int t = 0; t < ticks; ++t) {
            samples.push_back(sim.step());
        }
    }
    // The largest step of the trace between two ticks in [from, to).
    int largestStep(std::int64_t from, std::int64_t to) const {
        int most = 0;
        to = std::min<std::int64_t>(to, std::int64_t(samples.size()));
        for (auto t = std::max<std::int64_t>(from, 1); t < to; ++t) {
            most = std::max(most, std::abs(samples[t].y - samples[t - 1].y));
        }
        return most;
    }
    std::vector<WaveEvent> of(auto predicate, std::int64_t from = 0) const {
        std::vector<WaveEvent> out;
        std::copy_if(events.begin(), events.end(), std::back_inserter(out),
                     [&](const WaveEvent& e) { return e.tick >= from && predicate(e); });
        return out;
    }
};

bool beats(const WaveEvent& e) {
    return isVentricularComplex(e.kind) && e.length < 40; // torsades' sine waves have no R–R
}

// The first R–R shorter than the ventricles' refractory period (200 ms), or 0.
std::int64_t tooEarly(const std::vector<WaveEvent>& complexes) {
    for (std::size_t i = 1; i < complexes.size(); ++i) {
        if (complexes[i].tick - complexes[i - 1].tick < 20) {
            return complexes[i].tick;
        }
    }
    return 0;
}

} // namespace

Q_DECLARE_METATYPE(LibraryRhythm)

class TestLive : public QObject {
    Q_OBJECT
private slots:
    void table_data();
    void table();
    void ramps_data();
    void ramps();
    void transitions_data();
    void transitions();
    void captureFollowsOutput();
    void determinism();
};

void TestLive::table_data() {
    QTest::addColumn<LibraryRhythm>("rhythm");
    QTest::addColumn<QString>("id");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("stored"); // what reads back: clamped, rounded to the step
    QTest::addColumn<bool>("applies");
    using enum LibraryRhythm;
    QTest::newRow("sinus rate") << sinusRhythm << "atrial_rate" << 48.0 << 48.0 << true;
    QTest::newRow("rate clamped") << sinusRhythm << "atrial_rate" << 900.0 << 353.0 << true;
    QTest::newRow("PR in 10 ms") << avBlock1 << "pr_ms" << 243.0 << 240.0 << true;
    QTest::newRow("no PR in VT") << vtMonomorphic << "pr_ms" << 200.0 << 200.0 << false;
    QTest::newRow("escape rate") << chbWide << "ventricular_rate" << 32.0 << 32.0 << true;
    QTest::newRow("AF response") << afRapid << "ventricular_rate" << 90.0 << 90.0 << true;
    QTest::newRow("flutter 4:1") << flutter2to1 << "block_ratio" << 4.0 << 4.0 << true;
    QTest::newRow("Wenckebach 5:4") << mobitz1 << "block_ratio" << 5.0 << 5.0 << true;
    QTest::newRow("PVCs added") << sinusRhythm << "ectopy_kind" << 3.0 << 3.0 << true;
    QTest::newRow("bigeminy") << pvcUnifocal << "ectopy_pattern" << 1.0 << 1.0 << true;
    QTest::newRow("pacing off") << sinusBradycardia << "pacing_output" << 90.0 << 90.0 << false;
    QTest::newRow("VF fine") << vfCoarse << "vf_amplitude" << 1.2 << 1.0 << true;
    QTest::newRow("VF too big") << vfCoarse << "vf_amplitude" << 40.0 << 12.0 << true;
}

// Ids read back, values are stored in the parameter's unit and range, and each applies where
// a user would look for it.
void TestLive::table() {
    QFETCH(LibraryRhythm, rhythm);
    QFETCH(QString, id);
    QFETCH(double, value);
    QFETCH(double, stored);
    QFETCH(bool, applies);
    const auto which = liveParameterOf(id.toStdString());
    QVERIFY(which && liveParameter(*which).id == id.toStdString());
    QCOMPARE(appliesTo(*which, rhythm), applies);
    Run run(rhythm, 7);
    const Params changed = withLiveValue(run.sim.libraryParameters(), *which, value);
    // Rates are kept as whole ticks per beat: the rate read back is the nearest one.
    QCOMPARE(liveValue(changed, *which), stored);
    for (int k = 0; k < transitionKindCount; ++k) {
        const auto kind = static_cast<TransitionKind>(k);
        QCOMPARE(transitionKindOf(transitionKindId(kind)), kind);
    }
}

void TestLive::ramps_data() {
    QTest::addColumn<LibraryRhythm>("rhythm");
    QTest::addColumn<QString>("id");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("measured"); // the kind of wave whose onsets give the rate, or -1
    using enum LibraryRhythm;
    const int p = int(WaveKind::p);
    QTest::newRow("sinus 80 to 40") << sinusRhythm << "atrial_rate" << 80.0 << 40.0 << 20 << p;
    QTest::newRow("sinus 60 to 150") << sinusRhythm << "atrial_rate" << 60.0 << 150.0 << 10 << p;
    QTest::newRow("Wenckebach faster") << mobitz1 << "atrial_rate" << 60.0 << 110.0 << 8 << p;
    QTest::newRow("escape to 60") << chbWide << "ventricular_rate" << 30.0 << 60.0 << 10
                                  << int(WaveKind::ventricularBeat);
    QTest::newRow("VT to the limit") << vtMonomorphic << "ventricular_rate" << 150.0 << 300.0 << 5
                                     << int(WaveKind::ventricularBeat);
    QTest::newRow("pacing up") << pacedVentricular << "pacing_rate" << 60.0 << 120.0 << 10
                               << int(WaveKind::pacingVentricular);
    QTest::newRow("PR shortens") << avBlock1 << "pr_ms" << 360.0 << 120.0 << 5 << -1;
    QTest::newRow("AF response") << afControlled << "ventricular_rate" << 70.0 << 140.0 << 10 << -1;
}

// A ramp moves its number a step each beat, never past either end; no R–R is shorter than the
// ventricles' refractory period; the trace steps no more than the waves themselves make it; the
// rate is the target's within a beat of the ramp's end.
void TestLive::ramps() {
    QFETCH(LibraryRhythm, rhythm);
    QFETCH(QString, id);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, seconds);
    QFETCH(int, measured);
    const LiveParameterId which = *liveParameterOf(id.toStdString());
    Run run(rhythm, 11);
    run.sim.changeLibraryParameters(withLiveValue(run.sim.libraryParameters(), which, from));
    run.play(1500);
    const auto start = run.sim.tickCount + 1 + Heart::lookahead;
    const int ticks = seconds * ticksPerSecond;
    const Params target = withLiveValue(run.sim.libraryTarget(), which, to);
    QVERIFY(run.sim.rampLibraryParameters(target, ticks));
    QVERIFY(run.sim.libraryRamp().has_value());
    run.play(ticks + 1500);
    QVERIFY(!run.sim.libraryRamp());
    QCOMPARE(liveValue(run.sim.libraryParameters(), which), liveValue(target, which));

    QCOMPARE(tooEarly(run.of(beats)), 0);
    const int steady = std::max(run.largestStep(1, start), run.largestStep(start + ticks, 4000));
    QVERIFY(run.largestStep(start, start + ticks) <= steady);
    QCOMPARE(run.sim.restingLevel(), baselineY);
    if (measured < 0) {
        return;
    }
    const auto waves =
        run.of([&](const WaveEvent& e) { return int(e.kind) == measured; }, start - 200);
    const double slow = 6000 / std::min(from, to) + 1, fast = 6000 / std::max(from, to) - 1;
    double last = 6000 / from;
    for (std::size_t i = 1; i < waves.size(); ++i) {
        const auto cycle = double(waves[i].tick - waves[i - 1].tick);
        QVERIFY(cycle >= fast && cycle <= slow);
        // Monotone: no beat comes back towards where the ramp started.
        QVERIFY(from > to ? cycle >= last - 1 : cycle <= last + 1);
        last = cycle;
        // Halfway through, a cycle is halfway, give or take a quarter of the way.
        const auto middle = waves[i - 1].tick + waves[i].tick - 2 * start - ticks;
        if (std::abs(middle) < ticks / 5) {
            QVERIFY(std::abs(6000 / cycle - (from + to) / 2) <= std::abs(to - from) / 4);
        }
        const auto ended = waves[i - 1].tick - (start + ticks);
        if (ended > 6000 / to) {
            QVERIFY(std::abs(cycle - 6000 / to) <= 1);
        }
    }
}

void TestLive::transitions_data() {
    QTest::addColumn<LibraryRhythm>("from");
    QTest::addColumn<LibraryRhythm>("to");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("triggerKind"); // the first wave of its kind and role after the call
    QTest::addColumn<int>("triggerRole");
    QTest::addColumn<int>("nextKind"); // the next ventricular wave of another beat after it
    QTest::addColumn<int>("nextRole");
    QTest::addColumn<int>("gap"); // ticks at least from the ventricles' last wave before it
    using enum LibraryRhythm;
    const int v = int(WaveKind::ventricularBeat), qrs = int(WaveKind::qrs), p = int(WaveKind::p);
    const int vf = int(WaveKind::ventricularFibrillation), shock = int(WaveKind::shock);
    const int sv = int(WaveRole::supraventricular), ventricular = int(WaveRole::ventricular);
    const int escape = int(WaveRole::escape), conducted = int(WaveRole::conducted);
    QTest::newRow("R on T, VF") << sinusRhythm << vfCoarse << "r_on_t" << v << ventricular << vf
                                << ventricular << 30;
    QTest::newRow("R on T, torsades")
        << sinusBradycardia << torsades << "r_on_t" << v << ventricular << v << ventricular << 45;
    QTest::newRow("PAC, AVNRT") << sinusRhythm << svtAvnrt << "pac" << p << sv << qrs << sv << 30;
    QTest::newRow("PAC, AF") << sinusRhythm << afRapid << "pac" << p << sv << qrs << conducted
                             << 30;
    QTest::newRow("pause, junctional escape") << sinusRhythm << acceleratedJunctional << "pause"
                                              << p << int(WaveRole::missing) << qrs << escape << 60;
    QTest::newRow("pause, ventricular escape")
        << sinusRhythm << chbWide << "pause" << p << int(WaveRole::blocked) << v << escape << 150;
    QTest::newRow("shock, sinus") << vfCoarse << sinusRhythm << "shock" << shock
                                  << int(WaveRole::artifact) << qrs << conducted << 150;
    QTest::newRow("PVC now") << sinusRhythm << sinusRhythm << "pvc" << v << ventricular << qrs
                             << conducted << 110;
    QTest::newRow("blocked beat") << sinusRhythm << sinusRhythm << "block" << p
                                  << int(WaveRole::blocked) << qrs << conducted << 110;
}

// Each transition and event is told by its trigger wave and what follows it.
void TestLive::transitions() {
    QFETCH(LibraryRhythm, from);
    QFETCH(LibraryRhythm, to);
    QFETCH(QString, how);
    QFETCH(int, triggerKind);
    QFETCH(int, triggerRole);
    QFETCH(int, nextKind);
    QFETCH(int, nextRole);
    QFETCH(int, gap);
    Run run(from, 23);
    run.play(1000);
    const auto called = run.sim.tickCount;
    if (const auto kind = transitionKindOf(how.toStdString())) {
        QVERIFY(run.sim.transitionTo(to, 5, {*kind, 0}));
        QCOMPARE(run.sim.pendingTransition(), kind);
    } else if (how == "shock") {
        run.sim.defibrillate({to, 5, 150});
    } else {
        QVERIFY(how == "pvc" ? run.sim.pvcNow() : run.sim.blockNextBeat());
    }
    run.play(1500);
    QVERIFY(!run.sim.pendingTransition());
    QCOMPARE(run.sim.rhythm(), std::optional(rhythmOf(to)));
    const auto triggers = run.of(
        [&](auto& e) { return int(e.kind) == triggerKind && int(e.role) == triggerRole; }, called);
    QVERIFY(!triggers.empty());
    const WaveEvent trigger = triggers.front();
    QVERIFY(trigger.tick <= called + 400);
    const auto ventricles = run.of([&](auto& e) {
        return e.beat != trigger.beat &&
               (isVentricularComplex(e.kind) || e.kind == WaveKind::ventricularFibrillation);
    });
    const auto next = std::find_if(ventricles.begin(), ventricles.end(),
                                   [&](auto& e) { return e.tick > trigger.tick; });
    QVERIFY(next != ventricles.begin() && next != ventricles.end());
    QCOMPARE(int(next->kind), nextKind);
    QCOMPARE(int(next->role), nextRole);
    QVERIFY(next->tick - std::prev(next)->tick >= gap);
    if (how == "r_on_t") {
        const auto onT = run.of([&](auto& e) {
            return e.kind == WaveKind::t && e.tick < trigger.tick &&
                   trigger.tick < e.tick + e.length;
        });
        QCOMPARE(onT.size(), std::size_t(1));
    }
    QCOMPARE(tooEarly(run.of(beats)), 0);
    QCOMPARE(run.sim.restingLevel(), baselineY);
}

// Spikes below the capture threshold depolarise nothing; at a higher output every one captures.
void TestLive::captureFollowsOutput() {
    Run run(LibraryRhythm::pacedVentricular, 3);
    QVERIFY(run.sim.setPacing(Pacer::ventricular, 70, 30));
    run.play(1000);
    const auto counts = [&](std::int64_t from) {
        const auto spikes =
            run.of([](auto& e) { return e.kind == WaveKind::pacingVentricular; }, from);
        const auto captured = run.of(
            [](auto& e) {
                return e.kind == WaveKind::ventricularBeat && e.role == WaveRole::paced;
            },
            from);
        return std::pair(spikes.size(), captured.size());
    };
    QCOMPARE(counts(200).second, std::size_t(0));
    QVERIFY(counts(200).first >= 8);
    QVERIFY(run.sim.setPacing(Pacer::ventricular, 70, 80));
    run.play(1000);
    const auto after = counts(1100);
    QVERIFY(after.first >= 8);
    QCOMPARE(after.second, after.first);
}

// The same selection and the same calls on the same ticks give the same waves and trace.
void TestLive::determinism() {
    const auto script = [] {
        auto run = std::make_unique<Run>(LibraryRhythm::sinusRhythm, 99);
        run->play(700);
        run->sim.rampLibraryParameters(
            withLiveValue(run->sim.libraryTarget(), LiveParameterId::atrialRate, 130), 600);
        run->play(900);
        run->sim.pvcNow();
        run->play(300);
        run->sim.transitionTo(LibraryRhythm::vfCoarse, 4, {TransitionKind::rOnT, 0});
        run->play(800);
        run->sim.defibrillate({LibraryRhythm::sinusRhythm, 8, 120});
        run->play(800);
        return run;
    };
    const auto a = script();
    const auto b = script();
    QVERIFY(a->events.size() > 100);
    QVERIFY(a->events == b->events);
    QVERIFY(std::equal(a->samples.begin(), a->samples.end(), b->samples.begin(),
                       [](auto& x, auto& y) { return x.y == y.y && x.red == y.red; }));
}

QTEST_APPLESS_MAIN(TestLive)
#include "tst_live.moc"
