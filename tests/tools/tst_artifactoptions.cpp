#include "EventsCommand.h"
#include "TraceCommand.h"

#include "ToolRun.h"

#include <QTest>

#include <string>
#include <vector>

using namespace pulsavo;
using namespace pulsavo::strip;

class TestArtifactOptions : public QObject {
    Q_OBJECT

private slots:
    void layersReachBothCommands();
    void badValuesFailInOneLine_data();
    void badValuesFailInOneLine();
};

// --artifact and --pleth reach trace and events alike: the artifact's waves and the pulses among
// the events, a pleth column after the trace's own.
void TestArtifactOptions::layersReachBothCommands() {
    const std::vector<std::string_view> args{"--ticks",          "300",        "--select",
                                             "1:sinus_rhythm@7", "--artifact", "lead_off",
                                             "--artifact",       "cpr:3",      "--pleth"};
    const std::vector<WaveEvent> events = recordEvents(parseEventsOptions(args));
    const auto count = [&events](WaveKind kind) {
        return std::count_if(events.begin(), events.end(),
                             [kind](const WaveEvent& e) { return e.kind == kind; });
    };
    QCOMPARE(count(WaveKind::leadOff), 3);
    QVERIFY(count(WaveKind::cpr) >= 5);
    QCOMPARE(count(WaveKind::pulse), count(WaveKind::qrs));

    const QStringList lines = QString::fromStdString(traceCsv(parseTraceOptions(args))).split('\n');
    QCOMPARE(lines[0], QStringLiteral("tick,x,y,drawn_y,red,beep,pleth"));
    QCOMPARE(lines[5].section(',', 2, 2), QStringLiteral("85")); // lead off: the flat line
}

void TestArtifactOptions::badValuesFailInOneLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QStringList trace{"trace", "--ticks", "10", "--select", "1:0@1"};
    QTest::newRow("unknown kind") << (trace + QStringList{"--artifact", "noise"})
                                  << "unknown artifact 'noise' for --artifact";
    QTest::newRow("strength too high")
        << (QStringList{"events", "--ticks", "9", "--artifact", "tremor:11"})
        << "artifact strength must be a whole number from 1 to 10";
    QTest::newRow("kind twice") << (trace + QStringList{"--artifact", "cpr", "--artifact", "cpr:2"})
                                << "artifact cpr is given twice";
}

void TestArtifactOptions::badValuesFailInOneLine() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const pulsavo::testing::ToolRun run =
        pulsavo::testing::runTool(QStringLiteral(PULSAVO_STRIP), args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.startsWith(("pulsavo-strip: " + message).toUtf8()), run.err.constData());
    QCOMPARE(run.err.count('\n'), 1);
}

QTEST_GUILESS_MAIN(TestArtifactOptions)
#include "tst_artifactoptions.moc"
