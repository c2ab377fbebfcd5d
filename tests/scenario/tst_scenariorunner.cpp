#include "DebriefLog.h"
#include "ScenarioRunner.h"
#include "Simulation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

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

// Plays `ticks` ticks, calling advance() just before the ticks listed.
std::vector<long long> stepStarts(ScenarioRunner& runner, Simulation& simulation,
                                  const DebriefLog& log, long long ticks,
                                  const std::vector<long long>& advanceAt) {
    for (long long t = 1; t <= ticks; ++t) {
        if (std::find(advanceAt.begin(), advanceAt.end(), t) != advanceAt.end()) {
            runner.advance();
        }
        runner.tick();
        simulation.step();
    }
    std::vector<long long> starts;
    for (const DebriefEntry& entry : log.entries()) {
        if (entry.kind == EntryKind::stepStarted) {
            starts.push_back(entry.tick);
        } else if (entry.kind == EntryKind::scenarioEnded) {
            starts.push_back(-entry.tick);
        }
    }
    return starts;
}

} // namespace

class TestScenarioRunner : public QObject {
    Q_OBJECT

private slots:
    void stepsStartWhenDue_data();
    void stepsStartWhenDue();
    void stepsReachTheModelAndTheLog();
    void oneSeedGivesOneTrace();
    void debriefExports();
};

void TestScenarioRunner::stepsStartWhenDue_data() {
    QTest::addColumn<std::vector<Step>>("steps");
    QTest::addColumn<bool>("headless");
    QTest::addColumn<std::vector<long long>>("advanceAt");
    QTest::addColumn<std::vector<long long>>("starts"); // negative: the scenario's end
    const auto a = Advance::automatic;
    const auto m = Advance::manual;
    const auto sinus = LibraryRhythm::sinusRhythm;
    const auto brady = LibraryRhythm::sinusBradycardia;
    QTest::newRow("automatic") << std::vector{step(sinus, a, 2), step(brady, a, 3), step(sinus, a, 1)}
                               << false << std::vector<long long>{}
                               << std::vector<long long>{1, 201, 501, -601};
    QTest::newRow("manual waits for the instructor")
        << std::vector{step(sinus, a, 2), step(brady, m, 5), step(sinus, a, 1)} << false
        << std::vector<long long>{900} << std::vector<long long>{1, 201, 900, -1000};
    QTest::newRow("manual waits however long")
        << std::vector{step(sinus, a, 2), step(brady, m, 1)} << false << std::vector<long long>{}
        << std::vector<long long>{1, 201};
    QTest::newRow("headless: the stated time")
        << std::vector{step(sinus, a, 2), step(brady, m, 5), step(sinus, a, 1)} << true
        << std::vector<long long>{} << std::vector<long long>{1, 201, 701, -801};
    QTest::newRow("headless: the default time")
        << std::vector{step(sinus, m, std::nullopt), step(brady, a, 1)} << true
        << std::vector<long long>{} << std::vector<long long>{1, 3001, -3101};
    QTest::newRow("next cuts an automatic step short")
        << std::vector{step(sinus, a, 20), step(brady, a, 1)} << false
        << std::vector<long long>{50, 60} << std::vector<long long>{1, 50, -60};
}

void TestScenarioRunner::stepsStartWhenDue() {
    QFETCH(std::vector<Step>, steps);
    QFETCH(bool, headless);
    QFETCH(std::vector<long long>, advanceAt);
    QFETCH(std::vector<long long>, starts);
    Scenario scenario;
    scenario.steps = steps;
    Simulation simulation;
    DebriefLog log;
    ScenarioRunner runner(scenario, simulation, 9, &log);
    runner.setHeadless(headless);
    QCOMPARE(stepStarts(runner, simulation, log, 4000, advanceAt), starts);
    QCOMPARE(runner.finished(), starts.back() < 0);
    QCOMPARE(simulation.rhythm(), std::optional(rhythmOf(steps[runner.currentStep()].rhythm)));
}

void TestScenarioRunner::stepsReachTheModelAndTheLog() {
    Scenario scenario;
    scenario.title.ja = QStringLiteral("徐脈");
    scenario.steps = {step(LibraryRhythm::sinusRhythm, Advance::automatic, 1),
                      step(LibraryRhythm::sinusBradycardia, Advance::automatic, 30)};
    scenario.steps[1].parameters = {{"atrial_rate", 40}};
    scenario.steps[1].rampSeconds = 10;
    scenario.steps[1].transition = "ramp";
    Simulation simulation;
    DebriefLog log;
    ScenarioRunner runner(scenario, simulation, 3, &log);
    for (int t = 0; t < 101; ++t) {
        runner.tick();
        simulation.step();
    }
    QCOMPARE(runner.currentStep(), 1);
    QCOMPARE(simulation.rhythm(), std::optional(rhythmOf(LibraryRhythm::sinusBradycardia)));
    QStringList kinds;
    for (const DebriefEntry& entry : log.entries()) {
        kinds << QString::fromLatin1(entryKindId(entry.kind).data()) + QLatin1Char(' ') +
                     entry.subject + QLatin1Char(' ') + entry.value + QLatin1Char(' ') +
                     entry.detail;
    }
    QCOMPARE(kinds, (QStringList{"scenario_started 徐脈  3", "step_started 手順 sinus_rhythm ",
                                 "rhythm cut sinus_rhythm ", "step_started 手順 sinus_bradycardia ",
                                 "rhythm ramp sinus_bradycardia ", "parameter atrial_rate 40 ramp 10 s"}));
}

void TestScenarioRunner::oneSeedGivesOneTrace() {
    Scenario scenario;
    scenario.steps = {step(LibraryRhythm::afRapid, Advance::automatic, 3),
                      step(LibraryRhythm::vtMonomorphic, Advance::automatic, 3)};
    const auto play = [&scenario](std::uint32_t seed) {
        Simulation simulation;
        Waves waves;
        simulation.setWaveListener(&waves);
        ScenarioRunner runner(scenario, simulation, seed);
        for (int t = 0; t < 600; ++t) {
            runner.tick();
            simulation.step();
        }
        simulation.setWaveListener(nullptr);
        return waves.events;
    };
    QVERIFY(play(11) == play(11));
    QVERIFY(play(11) != play(12));
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
    QCOMPARE(entries[0].toObject().value(QStringLiteral("step")).toInt(), 3);
    QCOMPARE(entries[0].toObject().value(QStringLiteral("subject")).toString(),
             QStringLiteral("=HYPERLINK(\"x\")"));
    QVERIFY(!entries[1].toObject().contains(QStringLiteral("step")));
}

QTEST_APPLESS_MAIN(TestScenarioRunner)
#include "tst_scenariorunner.moc"
