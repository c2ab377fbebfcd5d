#include "DebriefLog.h"
#include "ScenarioRunner.h"
#include "Simulation.h"
#include "conduction/LiveParameter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace pulsavo;
using namespace pulsavo::scenario;

namespace {

class Waves : public WaveListener {
public:
    void onWave(const WaveEvent& event) override { events.push_back(event); }
    std::vector<WaveEvent> events;
};

Step step(LibraryRhythm rhythm, Advance advance, std::optional<int> seconds) {
    Step s;
    s.title = {QStringLiteral("手順"), QStringLiteral("Step")};
    s.rhythm = rhythm;
    s.advance = advance;
    s.seconds = seconds;
    return s;
}

// "a2 m5 m": automatic 2 s, manual 5 s, manual with no time, on alternating rhythms.
std::vector<Step> steps(const QString& text) {
    std::vector<Step> out;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const bool manual = word.front() == QLatin1Char('m');
        out.push_back(
            step(out.size() % 2 ? LibraryRhythm::sinusBradycardia : LibraryRhythm::sinusRhythm,
                 manual ? Advance::manual : Advance::automatic,
                 word.size() > 1 ? std::optional(word.mid(1).toInt()) : std::nullopt));
    }
    return out;
}

// Ticks 1 to `ticks`, the runner before the simulation, advance() just before the ticks listed.
void play(ScenarioRunner& runner, Simulation& simulation, long long ticks,
          const std::vector<long long>& advanceAt = {}) {
    for (long long t = simulation.tickCount + 1; t <= ticks; ++t) {
        if (std::find(advanceAt.begin(), advanceAt.end(), t) != advanceAt.end()) {
            runner.advance();
        }
        runner.tick();
        simulation.step();
    }
}

} // namespace

class TestScenarioRunner : public QObject {
    Q_OBJECT

private slots:
    void stepsStartWhenDue_data();
    void stepsStartWhenDue();
    void stepsReachTheModel_data();
    void stepsReachTheModel();
    void debriefExports();
};

void TestScenarioRunner::stepsStartWhenDue_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("headless");
    QTest::addColumn<std::vector<long long>>("advanceAt");
    QTest::addColumn<std::vector<long long>>("starts"); // negative: the scenario's end
    using Ticks = std::vector<long long>;
    QTest::newRow("automatic") << "a2 a3 a1" << false << Ticks{} << Ticks{1, 201, 501, -601};
    QTest::newRow("manual waits for next")
        << "a2 m5 a1" << false << Ticks{900} << Ticks{1, 201, 900, -1000};
    QTest::newRow("manual last step waits") << "a2 m1" << false << Ticks{} << Ticks{1, 201};
    QTest::newRow("headless: the stated time")
        << "a2 m5 a1" << true << Ticks{} << Ticks{1, 201, 701, -801};
    QTest::newRow("headless: the default time")
        << "m a1" << true << Ticks{} << Ticks{1, 3001, -3101};
    QTest::newRow("next cuts a step short")
        << "a20 a1" << false << Ticks{50, 60} << Ticks{1, 50, -60};
}

void TestScenarioRunner::stepsStartWhenDue() {
    QFETCH(QString, steps);
    QFETCH(bool, headless);
    QFETCH(std::vector<long long>, advanceAt);
    QFETCH(std::vector<long long>, starts);
    Scenario scenario;
    scenario.steps = ::steps(steps);
    Simulation simulation;
    DebriefLog log;
    ScenarioRunner runner(scenario, simulation, 9, &log);
    runner.setHeadless(headless);
    play(runner, simulation, 4000, advanceAt);
    std::vector<long long> seen;
    for (const DebriefEntry& e : log.entries()) {
        if (e.kind == EntryKind::stepStarted || e.kind == EntryKind::scenarioEnded) {
            seen.push_back(e.kind == EntryKind::stepStarted ? e.tick : -e.tick);
        }
    }
    QCOMPARE(seen, starts);
    QCOMPARE(runner.finished(), starts.back() < 0);
    QCOMPARE(simulation.rhythm(),
             std::optional(rhythmOf(scenario.steps[runner.currentStep()].rhythm)));
}

void TestScenarioRunner::stepsReachTheModel_data() {
    QTest::addColumn<Step>("second");
    QTest::addColumn<WaveKind>("shows");     // a wave of the second step's rhythm or its trigger
    QTest::addColumn<QStringList>("logged"); // the second step's entries
    Step ramp = step(LibraryRhythm::sinusBradycardia, Advance::automatic, 30);
    ramp.parameters = {{"atrial_rate", 40}};
    ramp.rampSeconds = 10;
    ramp.transition = "ramp";
    QTest::newRow("ramp") << ramp << WaveKind::p
                          << QStringList{"step_started sinus_bradycardia @0",
                                         "rhythm ramp sinus_bradycardia ramp 10 s @0",
                                         "parameter atrial_rate 40 ramp 10 s @0"};
    Step ront = step(LibraryRhythm::vfCoarse, Advance::automatic, 30);
    ront.transition = "r_on_t";
    ront.parameters = {{"vf_amplitude", 3}};
    QTest::newRow("R on T, then the amplitude")
        << ront << WaveKind::ventricularFibrillation
        << QStringList{"step_started vf_coarse @0", "rhythm r_on_t vf_coarse @0",
                       "parameter vf_amplitude 3 @later"};
    Step shock = step(LibraryRhythm::sinusRhythm, Advance::automatic, 30);
    shock.events = {"defibrillate", "pvc"};
    shock.parameters = {{"pacing_mode", 2}, {"atrial_rate", 70}};
    QTest::newRow("shock to sinus, a PVC")
        << shock << WaveKind::shock
        << QStringList{"step_started sinus_rhythm @0", "event defibrillate sinus_rhythm @0",
                       "event pvc @0", "parameter pacing_mode ventricular @later",
                       "parameter atrial_rate 70 @later"};
}

void TestScenarioRunner::stepsReachTheModel() {
    QFETCH(Step, second);
    QFETCH(WaveKind, shows);
    QFETCH(QStringList, logged);
    Scenario scenario;
    const auto firstRhythm =
        second.events.empty() ? LibraryRhythm::sinusRhythm : LibraryRhythm::vfCoarse;
    scenario.steps = {step(firstRhythm, Advance::automatic, 2), second};
    Simulation simulation;
    Waves waves;
    simulation.setWaveListener(&waves);
    DebriefLog log;
    ScenarioRunner runner(scenario, simulation, 3, &log);
    play(runner, simulation, 201);
    if (second.rampSeconds > 0) {
        const auto ramp = simulation.libraryRamp();
        QVERIFY(ramp.has_value());
        QCOMPARE(ramp->endTick - ramp->startTick, 1000);
        QCOMPARE(conduction::liveValue(ramp->target, conduction::LiveParameterId::atrialRate),
                 40.0);
    }
    play(runner, simulation, 1201);
    simulation.setWaveListener(nullptr);
    QCOMPARE(simulation.rhythm(), std::optional(rhythmOf(second.rhythm)));
    QVERIFY(std::any_of(waves.events.begin(), waves.events.end(),
                        [shows](const WaveEvent& e) { return e.tick > 201 && e.kind == shows; }));
    for (const ParameterSetting& setting : second.parameters) {
        QCOMPARE(conduction::liveValue(simulation.libraryTarget(),
                                       *conduction::liveParameterOf(setting.id)),
                 setting.value);
    }
    QStringList entries;
    for (const DebriefEntry& e : log.entries()) {
        if (e.step == 1) {
            entries << (QStringList{QString::fromLatin1(entryKindId(e.kind).data()),
                                    e.kind == EntryKind::stepStarted ? e.value : e.subject,
                                    e.kind == EntryKind::stepStarted ? QString() : e.value,
                                    e.detail, e.tick == 201 ? "@0" : "@later"})
                           .join(QLatin1Char(' '))
                           .simplified();
        }
    }
    QCOMPARE(entries, logged);
}

void TestScenarioRunner::debriefExports() {
    DebriefLog log;
    log.add({150, EntryKind::answer, 2, QStringLiteral("=HYPERLINK(\"x\")"),
             QStringLiteral("vf_coarse"), QStringLiteral("正解, 速い")});
    log.add({3, EntryKind::freeze, -1, {}, {}, {}});
    QCOMPARE(log.csv(), QByteArray("seconds,tick,kind,step,subject,value,detail\n"
                                   "1.50,150,answer,3,\"'=HYPERLINK(\"\"x\"\")\",\"vf_coarse\","
                                   "\"正解, 速い\"\n"
                                   "0.03,3,freeze,,\"\",\"\",\"\"\n"));
    const QJsonArray entries =
        QJsonDocument::fromJson(log.json()).object().value(QStringLiteral("entries")).toArray();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0].toObject().value(QStringLiteral("subject")).toString(),
             QStringLiteral("=HYPERLINK(\"x\")"));
    QCOMPARE(entries[0].toObject().value(QStringLiteral("step")).toInt(), 3);
    QVERIFY(!entries[1].toObject().contains(QStringLiteral("step")));
}

QTEST_APPLESS_MAIN(TestScenarioRunner)
#include "tst_scenariorunner.moc"
