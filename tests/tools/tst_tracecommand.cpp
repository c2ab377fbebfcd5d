#include "TraceCommand.h"

#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

using namespace pulsavo;
using namespace pulsavo::strip;

namespace {

struct Row {
    int tick, x, y, drawnY, red, beep;
};

std::vector<Row> parseCsv(const std::string& csv) {
    std::vector<Row> rows;
    const QStringList lines = QString::fromStdString(csv).split('\n', Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList f = lines[i].split(',');
        rows.push_back(
            {f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()});
    }
    return rows;
}

std::vector<Row> trace(std::vector<std::string_view> args) {
    return parseCsv(traceCsv(parseTraceOptions(args)));
}

using Run = pulsavo::testing::ToolRun;

Run runTool(const QStringList& args) {
    return pulsavo::testing::runTool(QStringLiteral(PULSAVO_STRIP), args);
}

} // namespace

class TestTraceCommand : public QObject {
    Q_OBJECT

private slots:
    void sinusTraceBeepsOncePerBeat();
    void csvColumnsFollowTheSweep();
    void selectionsApplyJustBeforeTheirTick();
    void badArgumentsAreRejected_data();
    void badArgumentsAreRejected();
    void toolWritesCsvFileOrStdout();
    void toolFailsCleanlyOnBadInput_data();
    void toolFailsCleanlyOnBadInput();
    void languageFollowsTheSessionUnlessGiven_data();
    void languageFollowsTheSessionUnlessGiven();
};

void TestTraceCommand::sinusTraceBeepsOncePerBeat() {
    const std::string csv = traceCsv(
        parseTraceOptions(std::vector<std::string_view>{"--ticks", "600", "--select", "1:0@42"}));
    QVERIFY(csv.starts_with("tick,x,y,drawn_y,red,beep\n"));
    const auto rows = parseCsv(csv);
    QCOMPARE(rows.size(), std::size_t(600));
    Simulation reference;
    reference.selectRhythm(0, 42);
    std::vector<int> beeps;
    for (const Row& row : rows) {
        QCOMPARE(row.red, 0);
        if (row.beep) {
            QCOMPARE(row.y, 43);
            beeps.push_back(row.tick);
        }
    }
    QCOMPARE(beeps.size(), std::size_t(5));
    for (std::size_t i = 1; i < beeps.size(); ++i) {
        QCOMPARE(beeps[i] - beeps[i - 1], reference.beatInterval);
    }
}

void TestTraceCommand::csvColumnsFollowTheSweep() {
    const auto rows =
        trace({"--ticks", "200", "--width", "64", "--height", "40", "--select", "1:10@3"});
    for (const Row& row : rows) {
        QVERIFY(row.x >= 2 && row.x <= 63);
        QCOMPARE(row.drawnY, std::clamp(row.y, 0, 40));
        QCOMPARE(row.red, 1); // ventricular tachycardia is red throughout
    }
    QCOMPARE(rows[0].x, 2);
    QCOMPARE(rows[61].x, 63);
    QCOMPARE(rows[62].x, 2); // wrapped: the segment starts again at column 1
    QVERIFY(std::any_of(rows.begin(), rows.end(), [](const Row& r) { return r.y > 40; }));
}

void TestTraceCommand::selectionsApplyJustBeforeTheirTick() {
    // Atrial tachycardia from tick 100 on: red from its first segment; nothing before it.
    auto rows = trace({"--ticks", "400", "--select", "100:2@5", "--select", "300:none@5"});
    for (const Row& row : rows) {
        QCOMPARE(row.red, row.tick >= 100 && row.tick < 300 ? 1 : 0);
    }
    QVERIFY(std::all_of(rows.begin(), rows.begin() + 99, [](const Row& r) { return r.y == 85; }));
    QVERIFY(std::none_of(rows.begin() + 299, rows.end(), [](const Row& r) { return r.beep; }));
    QCOMPARE(rows.back().y, 85);
}

void TestTraceCommand::badArgumentsAreRejected_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no ticks") << QStringList{"--select", "1:0@1"};
    QTest::newRow("zero ticks") << QStringList{"--ticks", "0"};
    QTest::newRow("negative ticks") << QStringList{"--ticks", "-5"};
    QTest::newRow("absurd ticks") << QStringList{"--ticks", "99999999999"};
    QTest::newRow("ticks not a number") << QStringList{"--ticks", "12abc"};
    QTest::newRow("missing value") << QStringList{"--ticks"};
    QTest::newRow("unknown option") << QStringList{"--ticks", "5", "--colour", "red"};
    QTest::newRow("rhythm 18") << QStringList{"--ticks", "5", "--select", "1:18"};
    QTest::newRow("rhythm -1") << QStringList{"--ticks", "5", "--select", "1:-1"};
    QTest::newRow("no colon") << QStringList{"--ticks", "5", "--select", "1"};
    QTest::newRow("empty seed") << QStringList{"--ticks", "5", "--select", "1:0@"};
    QTest::newRow("seed too big") << QStringList{"--ticks", "5", "--select", "1:0@4294967296"};
    QTest::newRow("tick 0") << QStringList{"--ticks", "5", "--select", "0:0@1"};
    QTest::newRow("tick past the end") << QStringList{"--ticks", "5", "--select", "6:0@1"};
    QTest::newRow("unordered") << QStringList{"--ticks", "9",        "--select",
                                              "5:0@1",   "--select", "3:1@1"};
    QTest::newRow("same tick twice")
        << QStringList{"--ticks", "9", "--select", "5:0@1", "--select", "5:1@1"};
    QTest::newRow("narrow panel") << QStringList{"--ticks", "5", "--width", "30"};
    QTest::newRow("zero height") << QStringList{"--ticks", "5", "--height", "0"};
    QTest::newRow("unknown language") << QStringList{"--ticks", "5", "--lang", "de"};
    QTest::newRow("language without a value") << QStringList{"--ticks", "5", "--lang"};
}

void TestTraceCommand::badArgumentsAreRejected() {
    QFETCH(QStringList, args);
    std::vector<std::string> storage;
    for (const QString& arg : args) {
        storage.push_back(arg.toStdString());
    }
    const std::vector<std::string_view> views(storage.begin(), storage.end());
    QVERIFY_THROWS_EXCEPTION(UsageError, parseTraceOptions(views));
}

void TestTraceCommand::toolWritesCsvFileOrStdout() {
    QTemporaryDir dir;
    const QString path = dir.filePath("sinus.csv");
    const Run toFile = runTool({"trace", "--ticks", "600", "--select", "1:0@42", "--csv", path});
    QCOMPARE(toFile.exitCode, 0);
    QVERIFY(toFile.out.isEmpty());
    const Run toStdout = runTool({"trace", "--ticks", "600", "--select", "1:0@42"});
    QCOMPARE(toStdout.exitCode, 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), toStdout.out);
    QCOMPARE(toStdout.out.count('\n'), 601);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"sinus.csv"});
}

void TestTraceCommand::toolFailsCleanlyOnBadInput_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("no command") << QStringList{} << "missing command" << 2;
    QTest::newRow("unknown command") << QStringList{"draw"} << "unknown command 'draw'" << 2;
    QTest::newRow("rhythm out of range")
        << QStringList{"trace", "--ticks", "5", "--select", "1:42"} << "rhythm must be" << 2;
    // The system refusing a file is an I/O failure, not a mistake in the command line.
    QTest::newRow("unwritable output")
        << QStringList{"trace", "--ticks", "5", "--csv", "/nonexistent/dir/out.csv"}
        << "cannot write '/nonexistent/dir/out.csv': No such file or directory" << 1;
}

void TestTraceCommand::toolFailsCleanlyOnBadInput() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QFETCH(int, exitCode);
    const Run run = runTool(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(run.err.startsWith("pulsavo-strip: ") && run.err.contains(message.toUtf8()),
             run.err.constData());
}

void TestTraceCommand::languageFollowsTheSessionUnlessGiven_data() {
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("english");
    QTest::newRow("Japanese session") << QByteArray("ja_JP.UTF-8") << QStringList() << false;
    QTest::newRow("C session") << QByteArray("C") << QStringList() << true;
    QTest::newRow("--lang en in a Japanese session")
        << QByteArray("ja_JP.UTF-8") << QStringList{"--lang", "en"} << true;
    QTest::newRow("--lang ja in an English session")
        << QByteArray("en_US.UTF-8") << QStringList{"--lang", "ja"} << false;
}

void TestTraceCommand::languageFollowsTheSessionUnlessGiven() {
    QFETCH(QByteArray, lang);
    QFETCH(QStringList, args);
    QFETCH(bool, english);
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
        qunsetenv(variable);
    }
    qputenv("LANG", lang);
    std::vector<std::string> owned{"--ticks", "5"};
    for (const QString& arg : args) {
        owned.push_back(arg.toStdString());
    }
    const std::vector<std::string_view> views(owned.begin(), owned.end());
    QCOMPARE(parseTraceOptions(views).language,
             english ? catalogue::Language::english : catalogue::Language::japanese);
}

QTEST_APPLESS_MAIN(TestTraceCommand)
#include "tst_tracecommand.moc"
