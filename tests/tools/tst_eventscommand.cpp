#include "EventsCommand.h"
#include "OutputFile.h"
#include "TraceCommand.h"

#include "ToolRun.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

using namespace pulsavo;
using namespace pulsavo::strip;

namespace {

using Run = pulsavo::testing::ToolRun;

Run runTool(const QStringList& args) {
    return pulsavo::testing::runTool(QStringLiteral(PULSAVO_STRIP), args);
}

} // namespace

class TestEventsCommand : public QObject {
    Q_OBJECT

private slots:
    void csvListsTheWavesByTick();
    void streamedCsvIsTheWholeCsv_data();
    void streamedCsvIsTheWholeCsv();
    void libraryRhythmsPlayByTheirIds();
    void toolWritesCsvFileOrStdout();
    void toolFailsCleanlyOnBadInput_data();
    void toolFailsCleanlyOnBadInput();
};

void TestEventsCommand::csvListsTheWavesByTick() {
    const std::string csv = eventsCsv(parseEventsOptions(std::vector<std::string_view>{
        "--ticks", "330", "--select", "1:0@42", "--select", "250:17@1"}));
    // Sinus at 100 ticks a beat from seed 42; the complete block's first escape QRS and blocked
    // P come together on the tick after its selection, while the sinus beat's T plays out.
    QCOMPARE(QString::fromStdString(csv), QStringLiteral("tick,kind,beat,length,role\n"
                                                         "102,P,1,8,conducted\n"
                                                         "114,QRS,1,8,conducted\n"
                                                         "122,T,1,28,conducted\n"
                                                         "202,P,2,8,conducted\n"
                                                         "214,QRS,2,8,conducted\n"
                                                         "222,T,2,28,conducted\n"
                                                         "251,QRS,3,8,escape\n"
                                                         "251,P,4,8,blocked\n"
                                                         "259,T,3,28,escape\n"));
}

void TestEventsCommand::streamedCsvIsTheWholeCsv_data() {
    QTest::addColumn<QStringList>("selections");
    for (int rhythm = 0; rhythm < 18; ++rhythm) {
        QTest::addRow("classic %d", rhythm) << QStringList{QStringLiteral("1:%1@7").arg(rhythm)};
    }
    for (const char* id : {"mobitz_1", "sinus_bradycardia", "af_rapid", "torsades", "paced_av"}) {
        QTest::newRow(id) << QStringList{QStringLiteral("1:%1@3").arg(QLatin1String(id))};
    }
    QTest::newRow("switching mid-beat")
        << QStringList{"1:4@1", "777:10@2", "1500:none", "2100:6@5"};
}

// Rows written as the simulation steps hold exactly what sorting every wave at the end gave.
void TestEventsCommand::streamedCsvIsTheWholeCsv() {
    QFETCH(QStringList, selections);
    std::vector<std::string> text{"--ticks", "3000"};
    for (const QString& selection : selections) {
        text.insert(text.end(), {"--select", selection.toStdString()});
    }
    const EventsOptions options =
        parseEventsOptions(std::vector<std::string_view>(text.begin(), text.end()));
    QTemporaryDir dir;
    QFile written(dir.filePath("events.csv"));
    {
        OutputFile file(QFile::encodeName(written.fileName()).toStdString());
        file.open();
        writeEventsCsv(options, file);
        commitTogether({&file});
    }
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray streamed = written.readAll();
    QVERIFY(streamed.count('\n') > 10);
    QCOMPARE(streamed, QByteArray::fromStdString(eventsCsv(options)));
}

// A library rhythm by its id: the pacemaker's spikes come first in each beat.
void TestEventsCommand::libraryRhythmsPlayByTheirIds() {
    const Run out = runTool({"events", "--ticks", "400", "--select", "1:paced_av@3"});
    const QByteArrayList lines = out.out.split('\n');
    QVERIFY2(out.exitCode == 0 && lines.size() > 5 && lines[1].contains(",SA,1,2,paced") &&
                 lines[2].contains(",P,1,") && lines[3].contains(",SV,1,2,paced"),
             out.out.constData());
    const Run unknown = runTool({"events", "--ticks", "400", "--select", "1:paced_xx@3"});
    QVERIFY(unknown.exitCode == 2 && unknown.out.isEmpty());
}

void TestEventsCommand::toolWritesCsvFileOrStdout() {
    const Run out = runTool({"events", "--ticks", "2000", "--select", "1:15@3"});
    QCOMPARE(out.exitCode, 0);
    QVERIFY(out.err.isEmpty());
    QVERIFY(out.out.contains(",P,4,8,blocked\n"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("events.csv"));
    const Run toFile = runTool({"events", "--select", "1:15@3", "--csv", path, "--ticks", "2000"});
    QCOMPARE(toFile.exitCode, 0);
    QVERIFY(toFile.out.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), out.out);
}

void TestEventsCommand::toolFailsCleanlyOnBadInput_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("status");
    QTest::newRow("no ticks") << QStringList{"events", "--select", "1:0@1"}
                              << "events needs --ticks N" << 2;
    QTest::newRow("image option") << QStringList{"events", "--ticks", "10", "--png", "x.png"}
                                  << "unknown option '--png' for events" << 2;
    QTest::newRow("rhythm out of range")
        << QStringList{"events", "--ticks", "10", "--select", "1:18"}
        << "rhythm must be a whole number from 0 to 17, not '18'" << 2;
    QTest::newRow("selections out of order")
        << QStringList{"events", "--ticks", "10", "--select", "5:0@1", "--select", "2:1@1"}
        << "selections must be in increasing tick order ('2:1@1')" << 2;
    QTest::newRow("missing value")
        << QStringList{"events", "--ticks"} << "option --ticks needs a value" << 2;
    QTest::newRow("unwritable file")
        << QStringList{"events", "--ticks", "10", "--csv", "/nonexistent/dir/e.csv"}
        << "cannot write '/nonexistent/dir/e.csv'" << 1;
}

void TestEventsCommand::toolFailsCleanlyOnBadInput() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QFETCH(int, status);
    const Run run = runTool(args);
    QCOMPARE(run.exitCode, status);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.startsWith(("pulsavo-strip: " + message).toUtf8()), run.err.constData());
    QCOMPARE(run.err.count('\n'), 1);
}

QTEST_GUILESS_MAIN(TestEventsCommand)
#include "tst_eventscommand.moc"
