#include "ToolRun.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

namespace {

using Run = pulsavo::testing::ToolRun;

Run runTool(const QStringList& args) {
    return pulsavo::testing::runTool(QStringLiteral(PULSAVO_STRIP), args);
}

} // namespace

class TestClassroomCommand : public QObject {
    Q_OBJECT

private slots:
    void joinWritesTheHostsWaves();
    void hostPlaysAScenario();
    void badInput_data();
    void badInput();
};

// A headless host and headless learners on loopback, one given the address and one finding it by
// the code: their waves are the events command's for the same rhythm and seed, and the host ends
// cleanly on SIGTERM.
void TestClassroomCommand::joinWritesTheHostsWaves() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress::AnyIPv4, 0));
    const QString discoveryPort = QString::number(probe.localPort());
    probe.close();
    QProcess host;
    host.start(QStringLiteral(PULSAVO_STRIP),
               {"classroom", "host", "--listen", "127.0.0.1:0", "--rhythm", "mobitz_1", "--seed",
                "31", "--code", "kx7-9qa", "--discovery-port", discoveryPort});
    QVERIFY(host.waitForStarted());
    QByteArray banner;
    QTRY_VERIFY_WITH_TIMEOUT((banner += host.readAllStandardOutput()).count('\n') >= 3, 20000);
    QVERIFY2(banner.startsWith("code KX79QA\njoin ws://127.0.0.1:"), banner.constData());
    const QString join = QString::fromUtf8(banner.split('\n').at(1).mid(5));
    const QString events = dir.filePath(QStringLiteral("learner.csv"));
    const Run learner =
        runTool({"classroom", "join", join, "KX79QA", "--events", events, "--ticks", "150"});
    QCOMPARE(learner.exitCode, 0);
    const Run reference = runTool({"events", "--ticks", "150", "--select", "1:mobitz_1@31"});
    QFile file(events);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), reference.out);
    QVERIFY(reference.out.count('\n') > 3);
    const QString found = dir.filePath(QStringLiteral("found.csv"));
    const Run byCode = runTool({"classroom", "join", "kx7-9qa", "--events", found, "--ticks", "150",
                                "--discovery-port", discoveryPort});
    QCOMPARE(byCode.exitCode, 0);
    QVERIFY2(byCode.err.contains("found " + join.toUtf8()), byCode.err.constData());
    QFile foundFile(found);
    QVERIFY(foundFile.open(QIODevice::ReadOnly));
    QCOMPARE(foundFile.readAll(), reference.out);
    const Run noHost = runTool({"classroom", "join", "ABC234", "--events", dir.filePath("no.csv"),
                                "--discovery-port", discoveryPort});
    QCOMPARE(noHost.exitCode, 1);
    QVERIFY2(noHost.err.contains("no class with code ABC234 answered"), noHost.err.constData());

    const Run wrongCode =
        runTool({"classroom", "join", join, "KX79QB", "--events", dir.filePath("no.csv")});
    QCOMPARE(wrongCode.exitCode, 2);
    QVERIFY2(wrongCode.err.contains("refused to let us join: code"), wrongCode.err.constData());
    QVERIFY(!QFile::exists(dir.filePath("no.csv")));

    host.terminate();
    QVERIFY(host.waitForFinished(20000));
    QCOMPARE(host.exitStatus(), QProcess::NormalExit);
    QCOMPARE(host.exitCode(), 0);
    const QByteArray log = host.readAllStandardError();
    QVERIFY2(log.contains("joined 1 pulsavo-strip") && log.contains("refused code"),
             log.constData());
}

// A scenario hosted headless reaches the learner step by step: sinus for its one second, then
// ventricular tachycardia.
void TestClassroomCommand::hostPlaysAScenario() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("two-steps.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"format": "pulsavo-scenario", "version": 1,
        "title": {"ja": "二段", "en": "Two steps"}, "seed": 5, "steps": [
        {"title": {"ja": "洞調律", "en": "Sinus"}, "rhythm": "sinus_rhythm",
         "advance": "auto", "duration_s": 1},
        {"title": {"ja": "心室頻拍", "en": "VT"}, "rhythm": "vt_monomorphic",
         "advance": "auto", "duration_s": 5}]})");
    file.close();
    QProcess host;
    host.start(QStringLiteral(PULSAVO_STRIP),
               {"classroom", "host", "--listen", "127.0.0.1:0", "--scenario", path});
    QVERIFY(host.waitForStarted());
    QByteArray banner;
    QTRY_VERIFY_WITH_TIMEOUT((banner += host.readAllStandardOutput()).count('\n') >= 3, 20000);
    const QString join = QString::fromUtf8(banner.split('\n').at(1).mid(5));
    const QString code = QString::fromUtf8(banner.split('\n').at(0).mid(5));
    const QString events = dir.filePath(QStringLiteral("learner.csv"));
    const Run learner =
        runTool({"classroom", "join", join, code, "--events", events, "--ticks", "300"});
    QCOMPARE(learner.exitCode, 0);
    QFile written(events);
    QVERIFY(written.open(QIODevice::ReadOnly));
    int sinusBeats = 0;
    int ventricularBeats = 0;
    for (const QByteArray& row : written.readAll().split('\n').mid(1)) {
        const QList<QByteArray> cells = row.split(',');
        if (cells.size() == 5) {
            const bool early = cells[0].toInt() <= 100;
            sinusBeats += early && cells[1] == "QRS" ? 1 : 0;
            ventricularBeats += cells[1] == "V" ? (early ? -100 : 1) : 0;
        }
    }
    QVERIFY(sinusBeats >= 1);
    QVERIFY2(ventricularBeats >= 3, qPrintable(QString::number(ventricularBeats)));
    host.terminate();
    QVERIFY(host.waitForFinished(20000));
    const QByteArray log = host.readAllStandardError();
    QVERIFY2(log.contains("step 1 ") && log.contains("step 2 "), log.constData());
}

void TestClassroomCommand::badInput_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no subcommand") << QStringList{"classroom"} << "classroom needs host or join";
    QTest::newRow("unknown subcommand")
        << QStringList{"classroom", "teach"} << "unknown classroom command";
    QTest::newRow("public address")
        << QStringList{"classroom", "host", "--listen", "8.8.8.8:80"} << "not on a local network";
    QTest::newRow("no port") << QStringList{"classroom", "host", "--listen", "127.0.0.1"}
                             << "not ADDR:PORT";
    QTest::newRow("port too large")
        << QStringList{"classroom", "host", "--listen", "127.0.0.1:70000"} << "not ADDR:PORT";
    QTest::newRow("bad code") << QStringList{"classroom", "host", "--code", "ABC1O0"}
                              << "not a class code";
    QTest::newRow("unknown rhythm")
        << QStringList{"classroom", "host", "--rhythm", "x"} << "names no rhythm";
    QTest::newRow("rhythm and scenario")
        << QStringList{"classroom", "host", "--rhythm", "mobitz_1", "--scenario", "x.json"}
        << "cannot be given together";
    QTest::newRow("damaged scenario")
        << QStringList{"classroom", "host", "--scenario", "/nonexistent/x.json"} << "x.json";
    QTest::newRow("seed twice") << QStringList{"classroom", "host", "--seed", "1", "--seed", "2"}
                                << "given twice";
    QTest::newRow("join without events")
        << QStringList{"classroom", "join", "127.0.0.1:9", "ABC234"} << "needs --events";
    QTest::newRow("join without code")
        << QStringList{"classroom", "join", "127.0.0.1:9", "--events", "-"}
        << "needs ADDR:PORT and CODE";
    QTest::newRow("discovery port 0")
        << QStringList{"classroom", "host", "--discovery-port", "0"} << "--discovery-port";
    QTest::newRow("join by a code with a discovery port too large")
        << QStringList{"classroom", "join", "ABC234", "--events", "-", "--discovery-port", "65536"}
        << "--discovery-port";
    QTest::newRow("join with a control character in the name")
        << QStringList{"classroom", "join", "127.0.0.1:9", "ABC234",
                       "--events",  "-",    "--name",      "a\x01"}
        << "control characters";
    QTest::newRow("join an address that is none")
        << QStringList{"classroom", "join", "ws://", "ABC234", "--events", "-"} << "not an address";
}

void TestClassroomCommand::badInput() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const Run run = runTool(args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
    QVERIFY(run.out.isEmpty());
}

QTEST_GUILESS_MAIN(TestClassroomCommand)
#include "tst_classroomcommand.moc"
