#include "QrsTone.h"
#include "Simulation.h"

#include <QStringList>
#include <QTest>

#include <algorithm>
#include <map>
#include <set>
#include <span>
#include <vector>

using namespace pulsavo;

namespace {

struct Selection {
    int tick;
    int rhythm;
};

// What one run showed: samples[t - 1] is tick t, events are in the order they were laid.
struct Run {
    std::vector<TickSample> samples;
    std::vector<WaveEvent> events;
    std::vector<std::int64_t> toneTicks;
    int reportedLate = 0; // events whose first step was already drawn or lay beyond the queue
};

class Recorder : public WaveListener {
public:
    explicit Recorder(const Simulation& simulation, Run& run) : sim(simulation), out(run) {}
    void onWave(const WaveEvent& event) override {
        if (event.tick <= sim.tickCount ||
            event.tick + event.length - 1 > sim.tickCount + queueLength) {
            ++out.reportedLate;
        }
        out.events.push_back(event);
        tone.onWave(event);
    }
    const Simulation& sim;
    Run& out;
    QrsTone tone;
};

Run play(int ticks, const std::vector<Selection>& selections, std::uint32_t seed) {
    Run run;
    Simulation sim;
    Recorder recorder(sim, run);
    sim.setWaveListener(&recorder);
    auto next = selections.begin();
    for (int tick = 1; tick <= ticks; ++tick) {
        if (next != selections.end() && next->tick == tick) {
            sim.selectRhythm(next->rhythm, seed);
            ++next;
        }
        run.samples.push_back(sim.step());
        if (recorder.tone.sounds(sim.tickCount)) {
            run.toneTicks.push_back(sim.tickCount);
        }
    }
    return run;
}

std::span<const int> templateOf(WaveKind kind) {
    switch (kind) {
    case WaveKind::p:
    case WaveKind::atrialFibrillation:
        return Simulation::pWave;
    case WaveKind::qrs:
        return Simulation::qrsComplex;
    case WaveKind::t:
    case WaveKind::atrialFlutter:
        return Simulation::tWave;
    case WaveKind::ventricularBeat:
        return Simulation::ventricularBeat;
    case WaveKind::ventricularFibrillation:
        return Simulation::fibrillationWave;
    case WaveKind::pacingAtrial:
    case WaveKind::pacingVentricular:
        break; // only the library paces
    case WaveKind::wander:
    case WaveKind::tremor:
    case WaveKind::mains:
    case WaveKind::motion:
    case WaveKind::leadOff:
    case WaveKind::cpr:
    case WaveKind::pulse:
    case WaveKind::shock:
        break; // no template: not laid into the queue
    }
    return {};
}

int yAt(const Run& run, std::int64_t tick) {
    return run.samples[static_cast<std::size_t>(tick - 1)].y;
}

std::map<std::int64_t, std::vector<WaveEvent>> byBeat(const Run& run) {
    std::map<std::int64_t, std::vector<WaveEvent>> beats;
    for (const WaveEvent& event : run.events) {
        beats[event.beat].push_back(event);
    }
    return beats;
}

std::vector<WaveEvent> ofKind(const Run& run, WaveKind kind) {
    std::vector<WaveEvent> found;
    std::copy_if(run.events.begin(), run.events.end(), std::back_inserter(found),
                 [kind](const WaveEvent& event) { return event.kind == kind; });
    return found;
}

constexpr int ticks = 6000;

// Every rhythm with several seeds, and switches that leave a rhythm's waves pending under the
// next one's.
void addRuns() {
    QTest::addColumn<std::vector<Selection>>("selections");
    QTest::addColumn<std::uint32_t>("seed");
    for (int rhythm = 0; rhythm < rhythmCount; ++rhythm) {
        for (const std::uint32_t seed : {1u, 4242u, 2147483647u, 90210u}) {
            QTest::addRow("%d@%u", rhythm, seed) << std::vector<Selection>{{1, rhythm}} << seed;
        }
    }
    QTest::newRow("short run, then sinus while the run plays")
        << std::vector<Selection>{{1, 9}, {2000, 0}, {3000, 9}, {3400, 10}} << 5u;
    QTest::newRow("flutter, Mobitz, complete block, none")
        << std::vector<Selection>{{1, 5}, {1500, 15}, {3000, 17}, {4500, noRhythm}} << 11u;
    QTest::newRow("fibrillation to arrest to sinoatrial block")
        << std::vector<Selection>{{1, 11}, {1000, 12}, {3000, 13}} << 3u;
}

} // namespace

Q_DECLARE_METATYPE(std::vector<Selection>)

class TestEvents : public QObject {
    Q_OBJECT

private slots:
    void eventsRebuildTheTrace_data() { addRuns(); }
    void eventsRebuildTheTrace();
    void peakIsTheExtremeOfItsComplex_data() { addRuns(); }
    void peakIsTheExtremeOfItsComplex();
    void qrsToneSoundsOncePerBeatAtItsPeak_data() { addRuns(); }
    void qrsToneSoundsOncePerBeatAtItsPeak();
    void beatsHoldOneRoleAndBlockedBeatsNoQrs_data() { addRuns(); }
    void beatsHoldOneRoleAndBlockedBeatsNoQrs();
    void listeningLeavesTheTraceAlone();
    void qrsToneHearsWhatTheThresholdMisses();
    void qrsToneOrdersAndMergesPeaks();
    void rolesOfEachRhythm_data();
    void rolesOfEachRhythm();
    void mobitzBlocksAPWaveAtItsRegularTime();
    void wenckebachLengthensThePrOverFourBeats();
    void sinoatrialBlockMissesABeatAtItsRegularTime();
    void sinusArrestMissesTheBeatDueOneCycleOn();
};

void TestEvents::eventsRebuildTheTrace() {
    QFETCH(std::vector<Selection>, selections);
    QFETCH(std::uint32_t, seed);
    const Run run = play(ticks, selections, seed);
    QCOMPARE(run.reportedLate, 0);
    std::vector<int> rebuilt(ticks + 1, 0);
    for (const WaveEvent& event : run.events) {
        const std::span<const int> steps = templateOf(event.kind);
        QCOMPARE(event.length, static_cast<int>(steps.size()));
        if (event.role == WaveRole::missing) {
            continue;
        }
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const std::int64_t tick = event.tick + static_cast<std::int64_t>(i);
            if (tick <= ticks) {
                rebuilt[static_cast<std::size_t>(tick)] += event.inverted ? -steps[i] : steps[i];
            }
        }
    }
    for (int tick = 1; tick <= ticks; ++tick) {
        const TickSample& sample = run.samples[static_cast<std::size_t>(tick - 1)];
        if (sample.y - sample.fromY != rebuilt[static_cast<std::size_t>(tick)]) {
            QFAIL(qPrintable(QStringLiteral("tick %1 steps %2, the events give %3")
                                 .arg(tick)
                                 .arg(sample.y - sample.fromY)
                                 .arg(rebuilt[static_cast<std::size_t>(tick)])));
        }
    }
}

void TestEvents::peakIsTheExtremeOfItsComplex() {
    QFETCH(std::vector<Selection>, selections);
    QFETCH(std::uint32_t, seed);
    const Run run = play(ticks, selections, seed);
    int checked = 0;
    for (const WaveEvent& event : run.events) {
        if (!isVentricularComplex(event.kind)) {
            continue;
        }
        // The main deflection: the narrow QRS whole, the wide one until it is back at the
        // baseline (the rest of a ventricular beat is its repolarisation).
        const int span = event.kind == WaveKind::qrs ? 8 : 14;
        if (event.tick + span - 1 > ticks) {
            continue;
        }
        int extreme = yAt(run, event.tick);
        for (int i = 1; i < span; ++i) {
            const int y = yAt(run, event.tick + i);
            extreme = event.inverted ? std::max(extreme, y) : std::min(extreme, y);
        }
        QVERIFY2(yAt(run, event.peakTick()) == extreme,
                 qPrintable(QStringLiteral("complex at tick %1").arg(event.tick)));
        ++checked;
    }
    QVERIFY(checked > 0 || selections.front().rhythm == 11);
}

void TestEvents::qrsToneSoundsOncePerBeatAtItsPeak() {
    QFETCH(std::vector<Selection>, selections);
    QFETCH(std::uint32_t, seed);
    const Run run = play(ticks, selections, seed);
    std::vector<std::int64_t> peaks;
    for (const auto& [beat, events] : byBeat(run)) {
        const auto complexes = std::count_if(events.begin(), events.end(), [](const auto& e) {
            return isVentricularComplex(e.kind);
        });
        QVERIFY2(complexes <= 1, qPrintable(QStringLiteral("beat %1").arg(beat)));
        for (const WaveEvent& event : events) {
            if (isVentricularComplex(event.kind) && event.peakTick() <= ticks) {
                peaks.push_back(event.peakTick());
            }
        }
    }
    std::sort(peaks.begin(), peaks.end());
    QVERIFY2(std::adjacent_find(peaks.begin(), peaks.end()) == peaks.end(),
             "two beats peak on one tick");
    QCOMPARE(run.toneTicks, peaks);
}

void TestEvents::beatsHoldOneRoleAndBlockedBeatsNoQrs() {
    QFETCH(std::vector<Selection>, selections);
    QFETCH(std::uint32_t, seed);
    const Run run = play(ticks, selections, seed);
    std::int64_t previous = 0;
    for (const WaveEvent& event : run.events) {
        QVERIFY(event.beat == previous || event.beat == previous + 1);
        previous = event.beat;
    }
    for (const auto& [beat, events] : byBeat(run)) {
        const WaveRole role = events.front().role;
        for (const WaveEvent& event : events) {
            QCOMPARE(event.role, role);
        }
        if (role == WaveRole::blocked) {
            QCOMPARE(events.size(), std::size_t(1));
            const WaveKind kind = events.front().kind;
            QVERIFY(kind == WaveKind::p || kind == WaveKind::atrialFibrillation ||
                    kind == WaveKind::atrialFlutter);
        }
        if (role == WaveRole::missing) {
            QCOMPARE(events.size(), std::size_t(1));
            QCOMPARE(events.front().kind, WaveKind::p);
        }
    }
}

void TestEvents::listeningLeavesTheTraceAlone() {
    for (int rhythm = 0; rhythm < rhythmCount; ++rhythm) {
        Simulation quiet;
        Simulation heard;
        QrsTone tone;
        heard.setWaveListener(&tone);
        quiet.selectRhythm(rhythm, 99);
        heard.selectRhythm(rhythm, 99);
        for (int tick = 1; tick <= 3000; ++tick) {
            const TickSample a = quiet.step();
            const TickSample b = heard.step();
            QVERIFY(a.y == b.y && a.fromY == b.fromY && a.red == b.red && a.beep == b.beep);
        }
        QCOMPARE(heard.tickCount, std::int64_t(3000));
        QCOMPARE(heard.beatCount, quiet.beatCount);
    }
}

void TestEvents::qrsToneHearsWhatTheThresholdMisses() {
    const Run tachycardia = play(ticks, {{1, 10}}, 4242);
    const auto beats = ofKind(tachycardia, WaveKind::ventricularBeat);
    const auto heard = std::count_if(beats.begin(), beats.end(),
                                     [](const WaveEvent& e) { return e.peakTick() <= ticks; });
    QVERIFY(heard > 150);
    QCOMPARE(static_cast<long>(tachycardia.toneTicks.size()), static_cast<long>(heard));
    const auto thresholdBeeps =
        std::count_if(tachycardia.samples.begin(), tachycardia.samples.end(),
                      [](const TickSample& s) { return s.beep; });
    QVERIFY(thresholdBeeps <= 1);

    int inverted = 0;
    for (std::uint32_t seed = 1; seed <= 5 && inverted == 0; ++seed) {
        const Run multifocal = play(ticks, {{1, 7}}, seed);
        for (const WaveEvent& event : ofKind(multifocal, WaveKind::ventricularBeat)) {
            if (!event.inverted || event.peakTick() > ticks) {
                continue;
            }
            ++inverted;
            QVERIFY(std::binary_search(multifocal.toneTicks.begin(), multifocal.toneTicks.end(),
                                       event.peakTick()));
            QCOMPARE(yAt(multifocal, event.peakTick()), baselineY + 50);
            for (int i = 0; i < event.length; ++i) {
                QVERIFY(!multifocal.samples[static_cast<std::size_t>(event.tick + i - 1)].beep);
            }
        }
    }
    QVERIFY(inverted > 0);
}

void TestEvents::qrsToneOrdersAndMergesPeaks() {
    QrsTone tone;
    const auto wave = [](std::int64_t tick, WaveKind kind, WaveRole role = WaveRole::conducted) {
        return WaveEvent{tick, kind, role, waveLength(kind), 1, false};
    };
    tone.onWave(wave(200, WaveKind::ventricularBeat)); // peak 205
    tone.onWave(wave(100, WaveKind::qrs));             // peak 103, laid later but drawn first
    tone.onWave(wave(100, WaveKind::qrs));             // the same peak again
    tone.onWave(wave(202, WaveKind::qrs));             // peak 205, with the ventricular beat
    tone.onWave(wave(50, WaveKind::p));
    tone.onWave(wave(60, WaveKind::p, WaveRole::missing));
    tone.onWave(wave(70, WaveKind::t));
    QCOMPARE(tone.pending(), 2);
    std::vector<std::int64_t> sounded;
    for (std::int64_t tick = 1; tick <= 300; tick += (tick < 149 ? 1 : 2)) { // 205 is asked
        if (tone.sounds(tick)) {
            sounded.push_back(tick);
        }
    }
    QCOMPARE(sounded, (std::vector<std::int64_t>{103, 205}));
    QCOMPARE(tone.pending(), 0);
    tone.onWave(wave(10, WaveKind::qrs));
    QVERIFY(!tone.sounds(400)); // a peak already passed is forgotten, not sounded late
    QCOMPARE(tone.pending(), 0);
}

void TestEvents::rolesOfEachRhythm_data() {
    QTest::addColumn<int>("rhythm");
    QTest::addColumn<QString>("roles");
    const QString sinus = QStringLiteral("P conducted, QRS conducted, T conducted");
    const QString ectopic = sinus + QStringLiteral(", V ventricular");
    QTest::newRow("0 sinus") << 0 << sinus;
    QTest::newRow("1 premature") << 1
                                 << sinus + QStringLiteral(", P supraventricular, "
                                                           "QRS supraventricular, "
                                                           "T supraventricular");
    QTest::newRow("2 atrial tachycardia")
        << 2 << QStringLiteral("P supraventricular, QRS supraventricular, T supraventricular");
    QTest::newRow("3 junctional") << 3
                                  << QStringLiteral("QRS supraventricular, T supraventricular");
    QTest::newRow("4 atrial fibrillation")
        << 4 << QStringLiteral("QRS conducted, T conducted, f blocked");
    QTest::newRow("5 atrial flutter")
        << 5 << QStringLiteral("QRS conducted, F conducted, F blocked");
    QTest::newRow("6 sporadic") << 6 << ectopic;
    QTest::newRow("7 multifocal") << 7 << ectopic;
    QTest::newRow("8 R on T") << 8 << ectopic;
    QTest::newRow("9 short run") << 9 << ectopic;
    QTest::newRow("10 ventricular tachycardia") << 10 << QStringLiteral("V ventricular");
    QTest::newRow("11 ventricular fibrillation") << 11 << QStringLiteral("VF ventricular");
    QTest::newRow("12 sinus arrest") << 12 << sinus + QStringLiteral(", P missing");
    QTest::newRow("13 sinoatrial block") << 13 << QStringLiteral("P missing, ") + sinus;
    QTest::newRow("14 first degree") << 14 << sinus;
    QTest::newRow("15 Mobitz") << 15 << sinus + QStringLiteral(", P blocked");
    QTest::newRow("16 Wenckebach") << 16 << sinus + QStringLiteral(", P blocked");
    QTest::newRow("17 complete block") << 17 << QStringLiteral("QRS escape, T escape, P blocked");
}

void TestEvents::rolesOfEachRhythm() {
    QFETCH(int, rhythm);
    QFETCH(QString, roles);
    // A seed whose flutter conducts 1 of 3, so that it shows blocked waves too.
    const Run run = play(30000, {{1, rhythm}}, 3);
    std::set<QString> seen;
    for (const WaveEvent& event : run.events) {
        seen.insert(QStringLiteral("%1 %2")
                        .arg(QString::fromLatin1(waveKindName(event.kind).data(),
                                                 qsizetype(waveKindName(event.kind).size())))
                        .arg(QString::fromLatin1(waveRoleName(event.role).data(),
                                                 qsizetype(waveRoleName(event.role).size()))));
    }
    const QStringList listed = roles.split(QStringLiteral(", "));
    const std::set<QString> expected(listed.begin(), listed.end());
    QCOMPARE(QStringList(seen.begin(), seen.end()), QStringList(expected.begin(), expected.end()));
}

void TestEvents::mobitzBlocksAPWaveAtItsRegularTime() {
    Simulation probe;
    probe.selectRhythm(15, 8);
    const int interval = probe.beatInterval;
    const Run run = play(ticks, {{1, 15}}, 8);
    const auto beats = byBeat(run);
    int conductedRun = 0;
    int blocked = 0;
    std::int64_t lastP = 0;
    WaveRole lastRole = WaveRole::conducted;
    for (const auto& [beat, events] : beats) {
        const WaveEvent& p = events.front();
        QCOMPARE(p.kind, WaveKind::p);
        if (lastP != 0) {
            // The sinus node keeps its pace: a blocked P wave comes when a beat is due.
            QCOMPARE(p.tick - lastP, lastRole == WaveRole::blocked ? interval : interval - 1);
        }
        if (p.role == WaveRole::conducted) {
            QCOMPARE(events.size(), std::size_t(3));
            QCOMPARE(events[1].tick - p.tick, std::int64_t(12)); // a constant PR
            ++conductedRun;
        } else {
            QCOMPARE(p.role, WaveRole::blocked);
            QVERIFY(conductedRun >= 1 && conductedRun <= 5);
            conductedRun = 0;
            ++blocked;
        }
        lastP = p.tick;
        lastRole = p.role;
    }
    QVERIFY(blocked >= 10);
}

void TestEvents::wenckebachLengthensThePrOverFourBeats() {
    const Run run = play(ticks, {{1, 16}}, 21);
    QStringList cycle;
    for (const auto& [beat, events] : byBeat(run)) {
        if (events.front().role == WaveRole::blocked) {
            cycle << QStringLiteral("blocked");
            continue;
        }
        cycle << QString::number(events[1].tick - events[0].tick);
    }
    const QString pattern = cycle.join(' ');
    QVERIFY2(pattern.startsWith(QStringLiteral("12 16 20 24 blocked 12 16 20 24 blocked 12")),
             qPrintable(pattern));
    QCOMPARE(pattern.count(QStringLiteral("blocked")), pattern.count(QStringLiteral("24")));
}

void TestEvents::sinoatrialBlockMissesABeatAtItsRegularTime() {
    Simulation probe;
    probe.selectRhythm(13, 8);
    const int interval = probe.beatInterval;
    const Run run = play(ticks, {{1, 13}}, 8);
    const auto ps = ofKind(run, WaveKind::p);
    QCOMPARE(ps.front().role, WaveRole::missing); // the first beat place after a selection
    QCOMPARE(ps.front().tick, std::int64_t(interval) + 2);
    int missing = 0;
    for (std::size_t i = 1; i < ps.size(); ++i) {
        const std::int64_t gap = ps[i].tick - ps[i - 1].tick;
        QCOMPARE(gap, ps[i - 1].role == WaveRole::missing ? interval : interval - 1);
        if (ps[i].role == WaveRole::missing) {
            QCOMPARE(ps[i - 1].role, WaveRole::conducted);
            ++missing;
        }
    }
    QVERIFY(missing >= 10);
}

void TestEvents::sinusArrestMissesTheBeatDueOneCycleOn() {
    const Run run = play(30000, {{1, 12}}, 5);
    std::vector<WaveEvent> beats;
    std::vector<WaveEvent> missing;
    for (const WaveEvent& p : ofKind(run, WaveKind::p)) {
        (p.role == WaveRole::missing ? missing : beats).push_back(p);
    }
    std::size_t next = 0;
    for (std::size_t i = 2; i < beats.size(); ++i) {
        const std::int64_t cycle = beats[i - 1].tick - beats[i - 2].tick;
        const std::int64_t pause = beats[i].tick - beats[i - 1].tick;
        if (2 * pause >= 3 * cycle) {
            QVERIFY(next < missing.size());
            QCOMPARE(missing[next].tick, beats[i - 1].tick + cycle);
            QVERIFY(missing[next].beat > beats[i - 1].beat && missing[next].beat < beats[i].beat);
            ++next;
        }
    }
    QVERIFY(next >= 10);
    QCOMPARE(next, missing.size());
}

QTEST_APPLESS_MAIN(TestEvents)
#include "tst_events.moc"
