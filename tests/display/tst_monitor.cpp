#include "BeatAlignment.h"
#include "LadderPainter.h"
#include "Monitor.h"
#include "StripPainter.h"
#include "WaveRecorder.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <optional>
#include <set>
#include <vector>

using namespace pulsavo;

Q_DECLARE_METATYPE(pulsavo::Rhythm)

namespace {

constexpr int panelWidth = 599;
constexpr int panelHeight = 146;

std::vector<TickSample> record(Monitor& monitor, int ticks) {
    std::vector<TickSample> samples;
    for (int i = 0; i < ticks; ++i) {
        monitor.run();
        samples.push_back(monitor.lastSample());
    }
    return samples;
}

bool sameSamples(const std::vector<TickSample>& a, const std::vector<TickSample>& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const TickSample& x, const TickSample& y) {
            return x.fromY == y.fromY && x.y == y.y && x.red == y.red && x.beep == y.beep;
        });
}

int countColour(const QImage& image, QRgb colour) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32); // rows of whole pixels
    const auto* pixels = reinterpret_cast<const QRgb*>(rgb.constBits());
    return static_cast<int>(std::count(pixels, pixels + rgb.sizeInBytes() / 4, colour));
}

} // namespace

class TestMonitor : public QObject {
    Q_OBJECT
private slots:
    void restartIsAFreshStart();
    void restartKeepsArtifactAndPleth();
    void scenarioVitalsAreStampedAndKeepTheirAge();
    void wardSweepAndLeadOff();
    void pausedMonitorDoesNothing();
    void monitorsSideBySideStayApart();
    void historyIsTheLastSamplesOldestFirst_data();
    void historyIsTheLastSamplesOldestFirst();
    void markingOffDrawsAllGreen();
    void highlightSurvivesANewPanelSize();
    void batchRepaintsOnceWhatItsTicksTouched();
    void paperSquaresAreFortyAndTwoHundredMs();
    void eventHistoryFollowsRestarts();
    void qrsToneSoundsEveryComplexAtItsPeak_data();
    void qrsToneSoundsEveryComplexAtItsPeak();
    void theToneIsSeenAheadInEitherMode_data();
    void theToneIsSeenAheadInEitherMode();
    void columnsKnowTheTickDrawnThere();
    void trackedPaintingFollowsThePanel();
    void aNewSizeRedrawsTheTraceFromHistory_data();
    void aNewSizeRedrawsTheTraceFromHistory();
    void aComparedTraceLinesUpBeatForBeat_data();
    void aComparedTraceLinesUpBeatForBeat();
};

// A question restarted mid-trace must play exactly what a new monitor plays: no steps of the
// previous rhythm left in the queue, no counters carried over.
void TestMonitor::restartIsAFreshStart() {
    Monitor fresh(panelWidth, panelHeight);
    fresh.select(Rhythm::wenckebachBlock, 77);
    const std::vector<TickSample> expected = record(fresh, 1500);

    Monitor reused(panelWidth, panelHeight);
    reused.select(Rhythm::ventricularTachycardia, 5);
    record(reused, 437); // stops in the middle of a complex
    QVERIFY(reused.lastSample().y != baselineY || reused.simulation().restingLevel() != 0);
    reused.restart();
    QCOMPARE(reused.tickCount(), 0);
    QVERIFY(reused.history(10).empty());
    reused.select(Rhythm::wenckebachBlock, 77);
    QVERIFY(sameSamples(record(reused, 1500), expected));
    QCOMPARE(reused.selections().size(), std::size_t{1});
    QCOMPARE(reused.selections().front().tick, 1);
}

// The artifact laid and the pulse channel are the monitor's settings, not the question's: a
// restarted monitor plays what a new one with the same settings plays, trace and pulse alike.
void TestMonitor::restartKeepsArtifactAndPleth() {
    const auto played = [](Monitor& monitor) {
        std::vector<int> values;
        for (int i = 0; i < 800; ++i) {
            monitor.run();
            values.push_back(monitor.lastSample().y * 1000 + monitor.simulation().pleth());
        }
        return values;
    };
    const auto setUp = [](Monitor& monitor) {
        monitor.simulation().setArtifact(ArtifactKind::tremor, 6);
        monitor.simulation().enablePleth(true);
        monitor.simulation().setSaturation(91);
    };
    Monitor fresh(panelWidth, panelHeight);
    setUp(fresh);
    fresh.select(Rhythm::sinusRhythm, 7);
    const std::vector<int> expected = played(fresh);
    Monitor reused(panelWidth, panelHeight);
    setUp(reused);
    reused.select(Rhythm::ventricularTachycardia, 3);
    played(reused);
    reused.restart();
    reused.select(Rhythm::sinusRhythm, 7);
    QCOMPARE(played(reused), expected);
    QCOMPARE(reused.simulation().plethChannel().saturation(), std::optional<int>(91));
}

// An NIBP handed over without a tick is taken on the latest one and keeps its age through a
// restart; values no monitor shows are refused whole; the SpO2 goes to the oximeter.
void TestMonitor::scenarioVitalsAreStampedAndKeepTheirAge() {
    Monitor monitor(panelWidth, panelHeight);
    monitor.setWard(true);
    monitor.select(Rhythm::sinusRhythm, 7);
    record(monitor, 300);
    ScenarioVitals vitals;
    vitals.saturation = 86;
    vitals.bloodPressure = parseBloodPressure("84/46");
    vitals.respirationRate = 30;
    QVERIFY(monitor.setScenarioVitals(vitals));
    QCOMPARE(monitor.scenarioVitals().bloodPressure->takenAtTick, std::optional<std::int64_t>(300));
    QCOMPARE(monitor.simulation().plethChannel().saturationSetting(), 86);

    ScenarioVitals wrong = vitals;
    wrong.saturation = 40;
    wrong.respirationRate = 120;
    QVERIFY(!monitor.setScenarioVitals(wrong));
    QCOMPARE(monitor.scenarioVitals().respirationRate, std::optional<int>(30));
    QCOMPARE(monitor.simulation().plethChannel().saturationSetting(), 86);

    record(monitor, 200);
    monitor.restart();
    record(monitor, 100);
    const BloodPressure kept = *monitor.scenarioVitals().bloodPressure;
    QCOMPARE(monitor.tickCount() - *kept.takenAtTick, 300);
    QCOMPARE(kept.systolic, 84);
    QCOMPARE(monitor.simulation().plethChannel().saturationSetting(), 86);
}

// The pulse wave's sweep runs column for column under the ECG's, its gap where the ECG's is,
// though it starts later; a lead off silences the beat tone while the heart beats on.
void TestMonitor::wardSweepAndLeadOff() {
    QImage ecg(panelWidth, panelHeight, QImage::Format_RGB32);
    QImage pleth(panelWidth, 60, QImage::Format_RGB32);
    ecg.fill(Qt::black);
    pleth.fill(Qt::black);
    Monitor monitor(panelWidth, panelHeight);
    monitor.setSurface(&ecg);
    monitor.run(123);
    monitor.setPlethSurface(&pleth, panelWidth, 60);
    monitor.setWard(true);
    monitor.setToneMode(Monitor::ToneMode::qrs);
    int tones = 0;
    monitor.onTone = [&tones] { ++tones; };
    monitor.select(Rhythm::sinusRhythm, 4);
    monitor.run(700);
    const auto drawn = [](const QImage& image, int x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != qRgb(0, 0, 0)) {
                return true;
            }
        }
        return false;
    };
    for (int x = 0; x < panelWidth; ++x) {
        QCOMPARE(drawn(pleth, x), drawn(ecg, x));
    }
    QVERIFY(tones > 0 && monitor.heartRate().rate());
    monitor.simulation().setArtifact(ArtifactKind::leadOff, 5);
    tones = 0;
    monitor.run(500);
    QCOMPARE(tones, 0);
    QVERIFY(!monitor.heartRate().rate() && monitor.alarms().shows(Alarm::leadOff));
}

void TestMonitor::pausedMonitorDoesNothing() {
    QImage surface(panelWidth, panelHeight, QImage::Format_RGB32);
    surface.fill(Qt::black);
    Monitor monitor(panelWidth, panelHeight);
    monitor.setSurface(&surface);
    int tones = 0, silenced = 0;
    monitor.onTone = [&tones] { ++tones; };
    monitor.onSilence = [&silenced] { ++silenced; };
    monitor.select(Rhythm::ventricularTachycardia, 3);
    record(monitor, 500);
    const int tonesBefore = tones;
    const QImage before = surface.copy();
    const long long ticksBefore = monitor.tickCount();
    QVERIFY(tonesBefore > 0);

    QCOMPARE(silenced, 0);
    monitor.setPaused(true);
    QCOMPARE(silenced, 1); // a tone timed for the beat it showed coming must not sound
    QCOMPARE(monitor.run(300), 0);
    QCOMPARE(tones, tonesBefore);
    QCOMPARE(monitor.tickCount(), ticksBefore);
    QCOMPARE(surface, before);

    // Resumed, it goes on exactly as if the pause had not been.
    Monitor unpaused(panelWidth, panelHeight);
    unpaused.select(Rhythm::ventricularTachycardia, 3);
    record(unpaused, 500);
    monitor.setPaused(false);
    QVERIFY(sameSamples(record(monitor, 700), record(unpaused, 700)));
    monitor.restart();
    QCOMPARE(silenced, 2);
}

void TestMonitor::monitorsSideBySideStayApart() {
    Monitor a(panelWidth, panelHeight), b(300, 120), aAlone(panelWidth, panelHeight),
        bAlone(300, 120);
    a.select(Rhythm::atrialFibrillation, 11);
    b.select(Rhythm::mobitzBlock, 12);
    std::vector<TickSample> aSamples, bSamples;
    for (int i = 0; i < 2000; ++i) {
        aSamples.push_back((a.run(), a.lastSample()));
        bSamples.push_back((b.run(), b.lastSample()));
    }
    aAlone.select(Rhythm::atrialFibrillation, 11);
    bAlone.select(Rhythm::mobitzBlock, 12);
    QVERIFY(sameSamples(aSamples, record(aAlone, 2000)));
    QVERIFY(sameSamples(bSamples, record(bAlone, 2000)));
}

void TestMonitor::historyIsTheLastSamplesOldestFirst_data() {
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("asked");
    QTest::newRow("short history") << 50 << 100;
    QTest::newRow("exactly full") << 600 << 600;
    QTest::newRow("wrapped, part") << 1999 << 250;
    QTest::newRow("wrapped, all") << 1999 << 5000;
}

void TestMonitor::historyIsTheLastSamplesOldestFirst() {
    QFETCH(int, ticks);
    QFETCH(int, asked);
    Monitor monitor(panelWidth, panelHeight, 600);
    monitor.select(Rhythm::multifocalPvc, 9);
    const std::vector<TickSample> all = record(monitor, ticks);
    const int expectedCount = std::min({ticks, asked, 600});
    const std::vector<TickSample> history = monitor.history(asked);
    QCOMPARE(static_cast<int>(history.size()), expectedCount);
    QVERIFY(sameSamples(history, std::vector<TickSample>(all.end() - expectedCount, all.end())));
}

void TestMonitor::markingOffDrawsAllGreen() {
    QImage surface(panelWidth, panelHeight, QImage::Format_RGB32);
    surface.fill(Qt::black);
    Monitor monitor(panelWidth, panelHeight);
    monitor.setSurface(&surface);
    monitor.setMarking(false);
    monitor.select(Rhythm::atrialFlutter, 42);
    record(monitor, 500);
    QCOMPARE(countColour(surface, Sweep::alertColour.rgb()), 0);
    QVERIFY(countColour(surface, Sweep::normalColour.rgb()) > 500);
    const std::vector<TickSample> history = monitor.history(500);
    QVERIFY(std::any_of(history.begin(), history.end(), [](const TickSample& s) { return s.red; }));

    monitor.setMarking(true);
    record(monitor, 300);
    QVERIFY(countColour(surface, Sweep::alertColour.rgb()) > 100);
}

// The learner's choice of highlight stays when the panel is resized (a new sweep).
void TestMonitor::highlightSurvivesANewPanelSize() {
    QImage surface(panelWidth, panelHeight, QImage::Format_RGB32);
    surface.fill(Qt::black);
    Monitor monitor(1, 1);
    QCOMPARE(monitor.highlight(), Sweep::Highlight::red);
    monitor.setHighlight(Sweep::Highlight::colourBlindSafe);
    monitor.setPanelSize(panelWidth, panelHeight);
    QCOMPARE(monitor.highlight(), Sweep::Highlight::colourBlindSafe);
    monitor.setSurface(&surface);
    monitor.select(Rhythm::ventricularTachycardia, 42);
    record(monitor, 300);
    QCOMPARE(countColour(surface, Sweep::alertColour.rgb()), 0);
    QVERIFY(countColour(surface, Sweep::safeAlertColour.rgb()) > 300);
    // A strip saved from it is drawn in the same style, on paper and on black.
    for (const bool grid : {true, false}) {
        const QImage strip = renderImage(StripPainter(stripOfMonitor(
            monitor, 300, grid, false, std::nullopt, [](auto) { return QStringLiteral("VT"); })));
        QCOMPARE(countColour(strip, Sweep::alertColour.rgb()) + countColour(strip, qRgb(214, 0, 0)),
                 0);
        QVERIFY(countColour(strip, Sweep::safeAlertColour.rgb()) > 100);
    }
}

void TestMonitor::batchRepaintsOnceWhatItsTicksTouched() {
    QImage surface(panelWidth, panelHeight, QImage::Format_RGB32);
    Monitor monitor(panelWidth, panelHeight);
    monitor.setSurface(&surface);
    std::vector<QRegion> repaints;
    monitor.onRepaint = [&repaints](const QRegion& region) { repaints.push_back(region); };
    monitor.run(100);
    QCOMPARE(repaints.size(), std::size_t{1});
    // Columns 1..100 drawn, and the wipe runs 30 ahead of the last.
    QVERIFY(repaints.front().contains(QRect(1, 0, 130, panelHeight)));
    QVERIFY(!repaints.front().contains(QPoint(140, 10)));
    monitor.setPaused(true);
    monitor.run(5);
    QCOMPARE(repaints.size(), std::size_t{1});
}

// On ECG paper one column is 10 ms: small squares every 4 px (40 ms), large every 20 px
// (200 ms), whatever else is drawn.
void TestMonitor::paperSquaresAreFortyAndTwoHundredMs() {
    Monitor monitor(panelWidth, panelHeight);
    monitor.select(Rhythm::sinusRhythm, 1);
    record(monitor, 600);
    const QImage image = renderImage(StripPainter(stripOfMonitor(
        monitor, 600, true, false, std::nullopt, [](auto) { return QStringLiteral("sinus"); })));
    const QRgb large = qRgb(228, 120, 120);
    const QRgb small = qRgb(248, 200, 200);
    const QRgb paper = qRgb(255, 255, 255);
    int left = 0;
    int top = 0;
    for (top = 0; top < image.height() && image.pixel(image.width() / 2, top) != large; ++top) {
    }
    for (left = 0; left < image.width() && image.pixel(left, top + 2) != large; ++left) {
    }
    QVERIFY(top < image.height() && left < image.width());
    const int y = top + 2; // between grid lines, above every peak of a sinus beat
    for (int x = 0; x <= 600; ++x) {
        const QRgb expected = x % 20 == 0 ? large : (x % 4 == 0 ? small : paper);
        QVERIFY2(image.pixel(left + x, y) == expected, qPrintable(QString::number(x)));
    }
}

// The history holds what a simulation of its own reports, also across a restart, which replaces
// the simulation (waves numbered afresh); switched off, it holds nothing.
void TestMonitor::eventHistoryFollowsRestarts() {
    const auto expected = [](Rhythm rhythm, std::uint32_t seed, int ticks) {
        WaveRecorder recorder(10000);
        Simulation simulation;
        simulation.setWaveListener(&recorder);
        simulation.selectRhythm(rhythm, seed);
        for (int i = 0; i < ticks; ++i) {
            simulation.step();
        }
        simulation.setWaveListener(nullptr);
        return recorder.events(1, ticks + queueLength);
    };
    Monitor monitor(panelWidth, panelHeight);
    QVERIFY(!monitor.keepsEvents());
    monitor.select(Rhythm::mobitzBlock, 4);
    record(monitor, 300);
    QVERIFY(monitor.events(1, 1000).empty());

    monitor.setEventHistory(true);
    monitor.restart();
    monitor.select(Rhythm::mobitzBlock, 4);
    record(monitor, 1500);
    QCOMPARE(monitor.events(1, 1500 + queueLength), expected(Rhythm::mobitzBlock, 4, 1500));

    // The QRS tone hears the new simulation's waves too.
    monitor.setToneMode(Monitor::ToneMode::qrs);
    int tones = 0;
    monitor.onTone = [&tones] { ++tones; };
    monitor.restart();
    QVERIFY(monitor.events(1, 100000).empty());
    monitor.select(Rhythm::completeBlock, 8);
    record(monitor, 900);
    QCOMPARE(monitor.events(1, 900 + queueLength), expected(Rhythm::completeBlock, 8, 900));
    QCOMPARE(monitor.eventHistory()->completeFrom(), 1);
    QVERIFY(tones >= 900 / 200);

    monitor.setEventHistory(false);
    QVERIFY(monitor.eventHistory() == nullptr);
    record(monitor, 100);
    QVERIFY(monitor.events(1, 100000).empty());
}

void TestMonitor::qrsToneSoundsEveryComplexAtItsPeak_data() {
    QTest::addColumn<int>("index");
    for (const Rhythm rhythm : allRhythms) {
        QTest::addRow("%d", indexOf(rhythm)) << indexOf(rhythm);
    }
}

// In QRS mode the tone is the complexes: one at every QRS and ventricular peak that was drawn,
// and none anywhere else, upright or inverted, however close they follow one another. The event
// history, which a saved strip draws its ladder from, keeps every wave of the sample history and
// of the look-back before it, whatever the rhythm.
void TestMonitor::qrsToneSoundsEveryComplexAtItsPeak() {
    QFETCH(int, index);
    const int ticks = 3000;
    Monitor monitor(panelWidth, panelHeight, ticks);
    monitor.setEventHistory(true);
    monitor.setToneMode(Monitor::ToneMode::qrs);
    std::vector<long long> toneTicks;
    monitor.onTone = [&] { toneTicks.push_back(monitor.tickCount()); };
    monitor.select(rhythmAt(index), 1234);
    record(monitor, ticks);

    std::set<long long> peaks;
    int complexes = 0;
    for (const WaveEvent& event : monitor.events()) {
        if (isVentricularComplex(event.kind) && event.role != WaveRole::missing &&
            event.peakTick() <= ticks) {
            peaks.insert(event.peakTick());
            ++complexes;
        }
    }
    QCOMPARE(std::vector<long long>(peaks.begin(), peaks.end()), toneTicks);
    QCOMPARE(static_cast<int>(peaks.size()), complexes); // one tone per beat
    const Rhythm rhythm = *rhythmAt(index);
    if (rhythm != Rhythm::ventricularFibrillation) {
        QVERIFY(complexes >= 3000 / 200);
    }
    record(monitor, 3 * ticks);
    const long long firstShown = monitor.tickCount() - ticks + 1;
    QVERIFY(monitor.eventHistory()->completeFrom() <= firstShown - LadderPainter::lookBackTicks);
    QVERIFY(!monitor.events(firstShown, monitor.tickCount()).empty());

    // The threshold tone misses what the QRS tone hears in a ventricular tachycardia.
    if (rhythm == Rhythm::ventricularTachycardia) {
        Monitor classic(panelWidth, panelHeight);
        int classicTones = 0;
        classic.onTone = [&classicTones] { ++classicTones; };
        classic.select(rhythm, 1234);
        record(classic, ticks);
        QVERIFY2(classicTones < complexes / 2, "the threshold is silent after the first beat");
    }
}

void TestMonitor::theToneIsSeenAheadInEitherMode_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("qrs");
    for (const Rhythm rhythm : allRhythms) {
        for (const bool qrs : {false, true}) {
            QTest::addRow("%d %s", indexOf(rhythm), qrs ? "qrs" : "threshold")
                << indexOf(rhythm) << qrs;
        }
    }
}

// What the sound output is told after each batch: the tick the tone next sounds on. One tick
// ahead it is always right; a tone that starts a beep is shown well before it in a sinus rhythm,
// so that the output can time it.
void TestMonitor::theToneIsSeenAheadInEitherMode() {
    QFETCH(int, index);
    QFETCH(bool, qrs);
    Monitor monitor(panelWidth, panelHeight);
    monitor.setToneMode(qrs ? Monitor::ToneMode::qrs : Monitor::ToneMode::threshold);
    std::set<long long> tones;
    monitor.onTone = [&] { tones.insert(monitor.tickCount()); };
    std::vector<int> told;
    monitor.onUpcoming = [&](int ticks) { told.push_back(ticks); };
    monitor.select(rhythmAt(index), 99);
    const int ticks = 3000;
    for (int i = 0; i < ticks; ++i) {
        monitor.run();
        QCOMPARE(monitor.ticksUntilTone(), told.back());
    }
    told.insert(told.begin(), Monitor::noToneDue); // before tick 1 nothing was told
    int seenTones = 0;
    int shortestWarning = ticks;
    for (long long tick = 1; tick < ticks; ++tick) {
        const bool sounds = tones.count(tick) > 0;
        QCOMPARE(told[static_cast<std::size_t>(tick - 1)] == 1, sounds);
        if (!sounds || tones.count(tick - 1) > 0) {
            continue;
        }
        // How many ticks before this beep's first tick it was told exactly.
        int warning = 0;
        while (warning + 1 < tick &&
               told[static_cast<std::size_t>(tick - warning - 2)] == warning + 2) {
            ++warning;
        }
        shortestWarning = std::min(shortestWarning, warning + 1);
        ++seenTones;
    }
    QCOMPARE(seenTones > 0, !tones.empty());
    if (rhythmAt(index) == Rhythm::sinusRhythm) {
        QVERIFY(seenTones >= 10);
        QVERIFY2(shortestWarning >= 8, qPrintable(QString::number(shortestWarning)));
    }
}

// A frozen panel's column shows the tick whose segment ended there last; the wipe takes it.
void TestMonitor::columnsKnowTheTickDrawnThere() {
    const int width = 200;
    Monitor monitor(width, 100);
    QVERIFY(!monitor.tickAt(5).has_value());
    record(monitor, 150);
    QCOMPARE(monitor.tickAt(151).value(), 150); // the first segment ends on column 2
    QCOMPARE(monitor.tickAt(2).value(), 1);
    QVERIFY(!monitor.tickAt(152).has_value()); // wiped ahead of the cursor
    QVERIFY(!monitor.tickAt(width).has_value());
    record(monitor, 250); // 400 ticks: the third pass, cursor at column 2 + 399 % 198 = 5
    QCOMPARE(monitor.tickAt(5).value(), 400);
    QCOMPARE(monitor.tickAt(4).value(), 399);
    for (int column = 6; column < 34; ++column) { // the wipe covers columns 4 to 33
        QVERIFY(!monitor.tickAt(column).has_value());
    }
    // Drawn on the pass before: 198 ticks earlier than the same column on this pass.
    QCOMPARE(monitor.tickAt(34).value(), 400 - 198 + 29);
    QCOMPARE(monitor.tickAt(width - 2).value(), 400 - 198 + (width - 2 - 5));
    QVERIFY(!monitor.tickAt(width - 1).has_value()); // wiped as the cursor wrapped
    for (int column = 0; column <= width; ++column) {
        if (const std::optional<long long> tick = monitor.tickAt(column)) {
            QCOMPARE(monitor.columnOf(*tick).value(), column);
        }
    }
    QVERIFY(!monitor.columnOf(400 - 198 + 28).has_value());
    monitor.setPanelSize(300, 100);
    QVERIFY(!monitor.tickAt(5).has_value());
}

void TestMonitor::aComparedTraceLinesUpBeatForBeat_data() {
    QTest::addColumn<Rhythm>("question");
    QTest::addColumn<Rhythm>("compared");
    QTest::addColumn<uint>("seed");
    QTest::newRow("AF, flutter") << Rhythm::atrialFibrillation << Rhythm::atrialFlutter << 424242u;
    QTest::newRow("Mobitz, complete") << Rhythm::mobitzBlock << Rhythm::completeBlock << 31u;
    QTest::newRow("VT, PVC") << Rhythm::ventricularTachycardia << Rhythm::sporadicPvc << 5u;
    QTest::newRow("VF: nothing to line up")
        << Rhythm::ventricularFibrillation << Rhythm::ventricularTachycardia << 3u;
}

// Run ahead by its lead, the compared trace draws a complex in the column of the question's
// first; both sweeps stay in step.
void TestMonitor::aComparedTraceLinesUpBeatForBeat() {
    QFETCH(Rhythm, question);
    QFETCH(Rhythm, compared);
    QFETCH(uint, seed);
    const int lead = compareLead(question, compared, seed);
    Monitor asked(panelWidth, panelHeight);
    Monitor answer(panelWidth, panelHeight);
    std::set<long long> peaks[2];
    for (Monitor* monitor : {&asked, &answer}) {
        monitor->setEventHistory(true);
        monitor->select(monitor == &asked ? question : compared, seed);
        monitor->preRoll(monitor == &asked ? 0 : lead);
        monitor->run(500);
        for (const WaveEvent& wave : monitor->events()) {
            if (wave.kind == WaveKind::qrs || wave.kind == WaveKind::ventricularBeat) {
                peaks[monitor == &asked ? 0 : 1].insert(wave.peakTick());
            }
        }
    }
    QCOMPARE(answer.sweep().sweepX, asked.sweep().sweepX);
    if (peaks[0].empty()) {
        QCOMPARE(lead, 0);
        return;
    }
    const long long first = *peaks[0].begin();
    QVERIFY(peaks[1].contains(first + lead) && asked.columnOf(first).has_value());
    QCOMPARE(answer.columnOf(first + lead), asked.columnOf(first));
}

QTEST_MAIN(TestMonitor)
#include "tst_monitor.moc"

// The sweep clears only the rows it drew, yet its surface matches a full repaint of every tick
// through what happens to a panel: wrap, paper on and off, highlight and marking changed, ticks
// run without a surface, a restart, a surface refilled behind its back, a redraw at a new size.
void TestMonitor::trackedPaintingFollowsThePanel() {
    for (const int ratio : {1, 2}) {
        const auto blank = [ratio](int w, int h) {
            QImage image(QSize(w, h) * ratio, QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::blue);
            return image;
        };
        QImage surface = blank(150, panelHeight);
        QImage expected = surface.copy();
        Sweep reference(150, panelHeight);
        Monitor monitor(150, panelHeight);
        monitor.setSurface(&surface);
        monitor.select(Rhythm::ventricularFibrillation, 7);
        long long repainted = 0;
        monitor.onRepaint = [&](const QRegion&) { ++repainted; };
        const auto run = [&](int ticks) {
            for (int i = 0; i < ticks && surface == expected; ++i) {
                monitor.run();
                Sweep::Step shown = monitor.lastStep();
                shown.red = shown.red && monitor.showsMarking();
                reference.setHighlight(monitor.highlight());
                reference.paper = monitor.paper();
                QPainter painter(&expected);
                reference.paint(painter, shown);
            }
            return surface == expected;
        };
        QVERIFY(run(400));
        monitor.setPaper(Sweep::paperImage(150, panelHeight, ratio));
        monitor.setHighlight(Sweep::Highlight::thick);
        QVERIFY(run(300));
        monitor.setMarking(false);
        QVERIFY(run(100));
        monitor.setMarking(true);
        monitor.setHighlight(Sweep::Highlight::colourBlindSafe);
        monitor.setPaper(QImage());
        QVERIFY(run(250));
        monitor.setSurface(nullptr);
        monitor.run(77);
        monitor.setSurface(&surface);
        monitor.restart();
        monitor.select(Rhythm::atrialFlutter, 3);
        QVERIFY(run(180));
        surface.fill(Qt::white);
        expected.fill(Qt::white);
        monitor.surfaceChanged();
        QVERIFY(run(200));
        surface = blank(97, 80);
        monitor.redrawAt(97, 80);
        expected = surface.copy();
        reference = monitor.sweep();
        QVERIFY(run(300));
        QCOMPARE(repainted, 400 + 300 + 100 + 250 + 180 + 200 + 300);
    }
}

void TestMonitor::aNewSizeRedrawsTheTraceFromHistory_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("cursor");    // where the latest segment ends after the redraw
    QTest::addColumn<int>("firstSame"); // the first column left of it outside the wipe
    QTest::addColumn<int>("edgeAge");   // of the tick at the last column the wipe spares; -1: wiped
    QTest::newRow("wider") << 500 << 300 << 2 << 300;
    QTest::newRow("narrower, cursor in view") << 320 << 300 << 10 << -1;
    QTest::newRow("cursor beyond the new edge") << 200 << 199 << 28 << 1;
}

// What the learner was reading stays where it was: the columns up to the cursor show the same
// pixels and ticks as before (shifted left when the cursor no longer fits), and beyond the wipe
// the pass before is back.
void TestMonitor::aNewSizeRedrawsTheTraceFromHistory() {
    QFETCH(int, width);
    QFETCH(int, cursor);
    QFETCH(int, firstSame);
    QFETCH(int, edgeAge);
    QImage before(400, panelHeight, QImage::Format_RGB32);
    before.fill(Qt::black);
    Monitor monitor(400, panelHeight);
    monitor.setSurface(&before);
    monitor.select(Rhythm::multifocalPvc, 5);
    monitor.run(299 + 398 * 5); // the cursor at column 300 of 400
    QCOMPARE(monitor.sweep().sweepX, 300);
    std::vector<std::optional<long long>> ticks(400);
    for (int x = 0; x < 400; ++x) {
        ticks[std::size_t(x)] = monitor.tickAt(x);
    }
    QImage after(width, panelHeight, QImage::Format_RGB32);
    after.fill(Qt::black);
    monitor.setSurface(&after);
    monitor.redrawAt(width, panelHeight);
    const int shift = 300 - cursor;
    QCOMPARE(monitor.sweep().sweepX, cursor);
    const int span = cursor + 1 - firstSame;
    QCOMPARE(after.copy(firstSame, 0, span, panelHeight),
             before.copy(firstSame + shift, 0, span, panelHeight));
    for (int x = firstSame; x <= cursor; ++x) {
        QCOMPARE(monitor.tickAt(x), ticks[static_cast<std::size_t>(x + shift)]);
    }
    QCOMPARE(monitor.tickAt(width - 2),
             edgeAge < 0 ? std::nullopt : std::optional(monitor.tickCount() - edgeAge));
}
