#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = pulsavo::testing::ToolRun;

const QByteArray shortScenario = R"({"format": "pulsavo-scenario", "version": 1,
 "title": {"ja": "短い", "en": "Short"},
 "steps": [
  {"title": {"ja": "頻拍", "en": "Fast"}, "rhythm": "sinus_tachycardia", "duration_s": 3},
  {"title": {"ja": "徐脈", "en": "Slow"}, "rhythm": "sinus_bradycardia",
   "parameters": {"atrial_rate": 40}, "transition": {"kind": "ramp", "ramp_s": 2},
   "advance": "manual", "duration_s": 4}]})";

Run strip(const QStringList& args, const QString& directory) {
    pulsavo::testing::ToolSetup setup;
    setup.directory = directory;
    return pulsavo::testing::runTool(QStringLiteral(PULSAVO_STRIP), args, setup);
}

void write(const QString& path, const QByteArray& data) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
}

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestScenarioCommand : public QObject {
    Q_OBJECT

private slots:
    void checkExitsWithTheStepAndReason_data();
    void checkExitsWithTheStepAndReason();
    void playIsOneTracePerSeed();
    void refusedPlayWritesNothing_data();
    void refusedPlayWritesNothing();
};

void TestScenarioCommand::checkExitsWithTheStepAndReason_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output"); // standard output on success, standard error else
    QTest::newRow("valid") << shortScenario << 0 << QByteArray("'s.json': 2 steps, 7 s headless\n");
    QTest::newRow("out of range")
        << QByteArray(shortScenario).replace("\"atrial_rate\": 40", "\"atrial_rate\": 4") << 2
        << QByteArray("pulsavo-strip: 's.json': step 2 (Slow): “atrial_rate” must be from 20 "
                      "to 350 (4 is out of range)\n");
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n", 8) << 2
                            << QByteArray("pulsavo-strip: 's.json': not readable as JSON");
}

void TestScenarioCommand::checkExitsWithTheStepAndReason() {
    QFETCH(QByteArray, data);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, output);
    const QTemporaryDir dir;
    write(dir.filePath(QStringLiteral("s.json")), data);
    const Run run = strip({"scenario", "check", "s.json"}, dir.path());
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((exitCode == 0 ? run.out : run.err).startsWith(output), run.err.constData());
    QVERIFY(exitCode == 0 ? run.err.isEmpty() : run.out.isEmpty());
}

void TestScenarioCommand::playIsOneTracePerSeed() {
    const QTemporaryDir dir;
    write(dir.filePath(QStringLiteral("s.json")), shortScenario);
    const auto play = [&dir](const QString& seed, const QString& name) -> QByteArray {
        const Run run = strip({"scenario", "play", "s.json", "--seed", seed, "--csv", name + ".csv",
                               "--log", name + ".log", "--png", name + ".png"},
                              dir.path());
        return run.exitCode == 0 ? read(dir.filePath(name + QStringLiteral(".csv"))) : run.err;
    };
    const QByteArray first = play(QStringLiteral("5"), QStringLiteral("a"));
    QCOMPARE(first.count('\n'), 701); // the header and 7 s of ticks, the manual step's 4 s
    QCOMPARE(play(QStringLiteral("5"), QStringLiteral("b")), first);
    QVERIFY(play(QStringLiteral("6"), QStringLiteral("c")) != first);
    QCOMPARE(read(dir.filePath(QStringLiteral("a.log"))),
             read(dir.filePath(QStringLiteral("b.log"))));
    QVERIFY(read(dir.filePath(QStringLiteral("a.log")))
                .contains("3.01,301,step_started,2,\"徐脈\",\"sinus_bradycardia\""));
    QVERIFY(read(dir.filePath(QStringLiteral("a.png"))).startsWith("\x89PNG"));
}

void TestScenarioCommand::refusedPlayWritesNothing_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("damaged file") << QByteArray(shortScenario).replace("manual", "later")
                                  << QStringList{"--csv", "t.csv", "--log", "l.csv"};
    QTest::newRow("log over the scenario")
        << shortScenario << QStringList{"--csv", "t.csv", "--log", "s.json"};
    QTest::newRow("log and trace in one file")
        << shortScenario << QStringList{"--csv", "t.csv", "--log", "./t.csv"};
    QTest::newRow("unknown option")
        << shortScenario << QStringList{"--csv", "t.csv", "--ticks", "5"};
}

void TestScenarioCommand::refusedPlayWritesNothing() {
    QFETCH(QByteArray, data);
    QFETCH(QStringList, options);
    const QTemporaryDir dir;
    write(dir.filePath(QStringLiteral("s.json")), data);
    const Run run = strip(QStringList{"scenario", "play", "s.json"} + options, dir.path());
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err.count('\n'), 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"s.json"});
    QCOMPARE(read(dir.filePath(QStringLiteral("s.json"))), data);
}

QTEST_GUILESS_MAIN(TestScenarioCommand)
#include "tst_scenariocommand.moc"
