#include "Catalogue.h"
#include "EventsCommand.h"
#include "Monitor.h"
#include "StripPainter.h"
#include "TraceCommand.h"

#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <string_view>
#include <vector>

using namespace pulsavo;
using namespace pulsavo::strip;

namespace {

const QRgb black = qRgb(0, 0, 0);

// Captions in Japanese, whatever the session's language.
TraceOptions parse(const QStringList& arguments) {
    std::vector<std::string> text;
    for (const QString& argument : arguments + QStringList{"--lang", "ja"}) {
        text.push_back(argument.toStdString());
    }
    const std::vector<std::string_view> args(text.begin(), text.end());
    return parseTraceOptions(args);
}

QImage decodePng(const QByteArray& png) {
    QImage image;
    image.loadFromData(png, "PNG");
    return image.convertToFormat(QImage::Format_RGB32);
}

using Run = pulsavo::testing::ToolRun;

Run runStrip(const QStringList& arguments, const QString& directory) {
    pulsavo::testing::ToolSetup setup;
    setup.directory = directory;
    return pulsavo::testing::runTool(QStringLiteral(PULSAVO_STRIP),
                                     QStringList{QStringLiteral("trace")} + arguments, setup);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestStrip : public QObject {
    Q_OBJECT

private slots:
    void monitorStyleIsThePanelAfterTheLastTick_data();
    void monitorStyleIsThePanelAfterTheLastTick();
    void stripHasOneColumnPerTickInRows_data();
    void stripHasOneColumnPerTickInRows();
    void captionNamesEverySelectionAndSeed();
    void stripOfAMonitorEqualsTheToolsStrip_data();
    void stripOfAMonitorEqualsTheToolsStrip();
    void ladderStripDrawsTheWavesOfItsTicks();
    void writesEachFormat_data();
    void writesEachFormat();
    void sameSeedGivesTheSamePng();
    void badOutputIsRefusedAndLeavesNoFile_data();
    void badOutputIsRefusedAndLeavesNoFile();
};

void TestStrip::monitorStyleIsThePanelAfterTheLastTick_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("flat line, first pass") << QStringList{"--ticks", "200"};
    QTest::newRow("atrial flutter, third pass")
        << QStringList{"--ticks", "1500", "--select", "1:5@42"};
    QTest::newRow("wipe split at the edge")
        << QStringList{"--ticks", "1186", "--select", "1:0@7", "--select", "500:10@3"};
    QTest::newRow("narrow low panel, clamped VF")
        << QStringList{"--ticks", "777", "--width", "64", "--height", "40", "--select", "1:11@9"};
}

void TestStrip::monitorStyleIsThePanelAfterTheLastTick() {
    QFETCH(QStringList, arguments);
    const TraceOptions options = parse(arguments + QStringList{"--style", "monitor", "--png", "x"});
    const StripPainter strip = stripFor(options);
    const QImage image = decodePng(renderPng(strip));
    QCOMPARE(image.size(), QSize(options.width, options.height));

    // Every tick painted onto the panel, as the trainer does from black.
    QImage panel(options.width, options.height, QImage::Format_RGB32);
    panel.fill(black);
    Sweep sweep(options.width, options.height);
    std::vector<TraceTick> ticks;
    {
        QPainter painter(&panel);
        runTrace(options, [&](const TraceTick& t) {
            sweep.paint(painter, t.step);
            ticks.push_back(t);
        });
    }
    QCOMPARE(image, panel);

    // The gap ahead of the last segment is black over the full height, however it is split.
    const Sweep::Step& last = ticks.back().step;
    int gapColumns = 0;
    for (const QRect& wipe : last.wipe) {
        for (int x = wipe.left(); x <= wipe.right(); ++x) {
            if (x > last.to.x() + 1 || x < last.from.x() - 1) {
                ++gapColumns;
                for (int y = 0; y < image.height(); ++y) {
                    QCOMPARE(image.pixel(x, y), black);
                }
            }
        }
    }
    QVERIFY(gapColumns >= Sweep::wipeWidth - 3);

    // Columns of the last pass carry their segment's colour where both neighbours share it.
    const long long lastPass =
        std::min<long long>(ticks.size(), options.width - 2 - Sweep::wipeWidth);
    int checked = 0;
    for (std::size_t i = ticks.size() - lastPass + 1; i + 2 < ticks.size(); ++i) {
        const bool red = ticks[i].step.red;
        if (ticks[i - 1].step.red != red || ticks[i + 1].step.red != red) {
            continue;
        }
        const int x = ticks[i].step.from.x();
        bool hasOwn = false;
        for (int y = 0; y < image.height(); ++y) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY2(pixel == black ||
                         pixel == (red ? Sweep::alertColour : Sweep::normalColour).rgb(),
                     qPrintable(QStringLiteral("column %1 row %2").arg(x).arg(y)));
            hasOwn = hasOwn || pixel != black;
        }
        QVERIFY(hasOwn);
        ++checked;
    }
    QVERIFY(checked > 0);
}

void TestStrip::stripHasOneColumnPerTickInRows_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("lastRowTicks");
    QTest::newRow("exactly one row") << QStringList{"--ticks", "600"} << 1 << 600;
    QTest::newRow("one tick into the second row") << QStringList{"--ticks", "601"} << 2 << 1;
    QTest::newRow("from tick 401") << QStringList{"--ticks", "1000", "--from", "401"} << 1 << 600;
    QTest::newRow("one-second rows")
        << QStringList{"--ticks", "250", "--row-seconds", "1"} << 3 << 50;
    QTest::newRow("one-second rows with a ladder")
        << QStringList{"--ticks", "250", "--row-seconds", "1", "--ladder"} << 3 << 50;
    QTest::newRow("one-minute row")
        << QStringList{"--ticks", "5999", "--row-seconds", "60"} << 1 << 5999;
}

// No rhythm is chosen, so each row shows a flat green line exactly as long as its ticks.
void TestStrip::stripHasOneColumnPerTickInRows() {
    QFETCH(QStringList, arguments);
    QFETCH(int, rows);
    QFETCH(int, lastRowTicks);
    const TraceOptions options = parse(arguments + QStringList{"--png", "x"});
    const StripPainter strip = stripFor(options);
    const QImage image = decodePng(renderPng(strip));
    QCOMPARE(image.size(), strip.size);
    const int columns = options.image.rowSeconds * ticksPerSecond;
    QVERIFY(image.width() > columns);

    QList<int> lengths;
    bool inLine = false;
    for (int y = 0; y < image.height(); ++y) {
        int length = 0;
        for (int x = 0; x < image.width(); ++x) {
            length += image.pixel(x, y) == Sweep::normalColour.rgb() ? 1 : 0;
        }
        if (length > 0 && !inLine) {
            lengths << length;
        }
        inLine = length > 0;
    }
    QCOMPARE(lengths.size(), rows);
    for (int row = 0; row < rows; ++row) {
        const int ticks = row + 1 == rows ? lastRowTicks : columns;
        QCOMPARE(lengths[row], ticks);
    }
}

void TestStrip::captionNamesEverySelectionAndSeed() {
    const StripPainter one =
        stripFor(parse({"--ticks", "600", "--select", "1:5@42", "--png", "x"}));
    QCOMPARE(one.description().caption, QStringList{"心房粗動(ＡＦ)  seed 42  ticks 1–600"});

    const StripPainter several =
        stripFor(parse({"--ticks", "900", "--select", "1:0@7", "--select", "301:17@4", "--select",
                        "700:none", "--from", "101", "--height", "120", "--png", "x"}));
    QCOMPARE(several.description().caption,
             (QStringList{"洞調律  seed 7  ticks 101–900  height 120",
                          "tick 301: 房室ブロック　Ⅲ度  seed 4",
                          several.description().caption.value(2)}));
    QVERIFY(several.description().caption.value(2).startsWith(
        "tick 700: 波形が選択されていません  seed "));
}

void TestStrip::stripOfAMonitorEqualsTheToolsStrip_data() {
    QTest::addColumn<bool>("grid");
    QTest::addColumn<int>("height");
    QTest::newRow("paper, usual height") << true << 146;
    QTest::newRow("black, taller panel") << false << 156;
}

// What the trainer saves from its monitor is the strip pulsavo-strip draws for the same
// rhythms, seeds and ticks, pixel for pixel.
void TestStrip::stripOfAMonitorEqualsTheToolsStrip() {
    QFETCH(bool, grid);
    QFETCH(int, height);
    Monitor monitor(599, height);
    monitor.run(40);
    monitor.select(Rhythm::mobitzBlock, 4242);
    monitor.run(900);
    monitor.select(Rhythm::sinusRhythm, 7);
    monitor.run(260);
    const auto name = [](std::optional<Rhythm> rhythm) {
        const std::string_view text =
            rhythm ? catalogue::nameOf(*rhythm)
                   : catalogue::noSelectionMessage(catalogue::Language::japanese);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    };
    const StripPainter fromMonitor(stripOfMonitor(
        monitor, 1000, grid, false, height != 146 ? std::optional(height) : std::nullopt, name));
    QStringList arguments{"--ticks", "1200",   "--select", "41:15@4242", "--select",
                          "941:0@7", "--from", "201",      "--height",   QString::number(height),
                          "--png",   "x"};
    if (grid) {
        arguments << "--grid";
    }
    const StripPainter fromTool = stripFor(parse(arguments));
    QCOMPARE(fromMonitor.description().caption, fromTool.description().caption);
    QCOMPARE(renderImage(fromMonitor), renderImage(fromTool));
}

// The ladder under the rows is drawn from every wave of the ticks shown and of those just before
// (an AV line starting in the previous row), and takes its tiers' height under each row.
void TestStrip::ladderStripDrawsTheWavesOfItsTicks() {
    const QStringList common{"--ticks", "1000",     "--from",   "301",   "--select",
                             "1:16@3",  "--select", "500:15@4", "--png", "x"};
    const StripPainter plain = stripFor(parse(common));
    const StripPainter ladder = stripFor(parse(common + QStringList{"--ladder"}));
    QVERIFY(plain.description().events.empty());

    EventsOptions events;
    events.ticks = 1000;
    events.selections = {{1, anyRhythmAt(16), 3}, {500, anyRhythmAt(15), 4}};
    std::vector<WaveEvent> expected = recordEvents(events);
    std::erase_if(expected,
                  [](const WaveEvent& e) { return e.tick < 301 - LadderPainter::lookBackTicks; });
    std::vector<WaveEvent> drawn = ladder.description().events;
    std::stable_sort(drawn.begin(), drawn.end(),
                     [](const WaveEvent& a, const WaveEvent& b) { return a.tick < b.tick; });
    QCOMPARE(drawn, expected);
    QVERIFY(std::any_of(drawn.begin(), drawn.end(),
                        [](const WaveEvent& e) { return e.role == WaveRole::blocked; }));

    QCOMPARE(ladder.size.height() - plain.size.height(), 2 * 70); // two rows
    QVERIFY(ladder.size.width() > plain.size.width());
    // The rows added below are drawn on, not left black.
    const QImage withLadder = decodePng(renderPng(ladder));
    int inked = 0;
    for (int y = plain.size.height() - 70; y < withLadder.height(); ++y) {
        for (int x = 0; x < withLadder.width(); ++x) {
            inked += withLadder.pixel(x, y) != black ? 1 : 0;
        }
    }
    QVERIFY(inked > 500);
}

void TestStrip::writesEachFormat_data() {
    QTest::addColumn<QStringList>("style");
    QTest::newRow("strip") << QStringList{};
    QTest::newRow("strip on paper") << QStringList{"--grid", "--row-seconds", "3"};
    QTest::newRow("monitor") << QStringList{"--style", "monitor"};
    QTest::newRow("ladder on paper") << QStringList{"--ladder", "--grid"};
}

void TestStrip::writesEachFormat() {
    QFETCH(QStringList, style);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList common{"--ticks", "1200", "--select", "1:5@42"};
    const Run run =
        runStrip(common + style + QStringList{"--png", "a.png", "--svg", "a.svg", "--pdf", "a.pdf"},
                 dir.path());
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.isEmpty(), "the CSV goes out only with --csv");
    QVERIFY(readFile(dir.filePath("a.png")).startsWith("\x89PNG\r\n\x1a\n"));
    const QByteArray svg = readFile(dir.filePath("a.svg"));
    QVERIFY(svg.startsWith("<?xml") && svg.contains("<svg"));
    const QByteArray pdf = readFile(dir.filePath("a.pdf"));
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY2(pdf.contains("/MediaBox [0 0 842"), "A4 landscape");

    const Run withCsv =
        runStrip(common + style + QStringList{"--png", "b.png", "--csv", "-"}, dir.path());
    QCOMPARE(withCsv.exitCode, 0);
    QVERIFY(withCsv.out.startsWith("tick,x,y,drawn_y,red,beep\n1,2,85,85,1,0\n"));
    QCOMPARE(withCsv.out.count('\n'), 1201);
    QCOMPARE(readFile(dir.filePath("b.png")), readFile(dir.filePath("a.png")));
}

void TestStrip::sameSeedGivesTheSamePng() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList common{"--ticks", "1800", "--grid", "--select", "1:4@2024"};
    QCOMPARE(runStrip(common + QStringList{"--png", "first.png"}, dir.path()).exitCode, 0);
    QCOMPARE(runStrip(common + QStringList{"--png", "second.png"}, dir.path()).exitCode, 0);
    const QByteArray first = readFile(dir.filePath("first.png"));
    QVERIFY(!first.isEmpty());
    QCOMPARE(readFile(dir.filePath("second.png")), first);

    QStringList otherSeed = common;
    otherSeed.replace(otherSeed.indexOf("1:4@2024"), "1:4@2025");
    QCOMPARE(runStrip(otherSeed + QStringList{"--png", "third.png"}, dir.path()).exitCode, 0);
    QVERIFY(readFile(dir.filePath("third.png")) != first);
}

void TestStrip::badOutputIsRefusedAndLeavesNoFile_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("unknown style")
        << QStringList{"--style", "paper", "--png", "a.png"} << usageExitCode;
    QTest::newRow("unwritable path") << QStringList{"--png", "/nonexistent/x.png"} << 1;
    QTest::newRow("one of several unwritable")
        << QStringList{"--png", "a.png", "--pdf", "/nonexistent/x.pdf", "--svg", "keep.svg"} << 1;
    QTest::newRow("directory as file")
        << QStringList{"--svg", "a.svg", "--png", "."} << usageExitCode;
    QTest::newRow("one file twice")
        << QStringList{"--png", "a.png", "--svg", "a.png"} << usageExitCode;
    QTest::newRow("two outputs to stdout")
        << QStringList{"--png", "-", "--csv", "-"} << usageExitCode;
    QTest::newRow("grid on the monitor")
        << QStringList{"--style", "monitor", "--grid", "--png", "a.png"} << usageExitCode;
    QTest::newRow("grid without image") << QStringList{"--grid", "--csv", "a.csv"} << usageExitCode;
    QTest::newRow("from past the end")
        << QStringList{"--from", "601", "--png", "a.png"} << usageExitCode;
    QTest::newRow("ladder on the monitor")
        << QStringList{"--style", "monitor", "--ladder", "--png", "a.png"} << usageExitCode;
    QTest::newRow("ladder without image")
        << QStringList{"--ladder", "--csv", "a.csv"} << usageExitCode;
    QTest::newRow("too large to draw") << QStringList{"--style",  "monitor", "--width", "16384",
                                                      "--height", "16384",   "--png",   "a.png"}
                                       << usageExitCode;
}

void TestStrip::badOutputIsRefusedAndLeavesNoFile() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    {
        QFile keep(dir.filePath("keep.svg"));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("old");
    }
    const Run run =
        runStrip(QStringList{"--ticks", "600", "--select", "1:8@5"} + arguments, dir.path());
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.out.isEmpty());
    const QList<QByteArray> lines = run.err.trimmed().split('\n');
    QVERIFY2(lines.back().startsWith("pulsavo-strip: "), run.err.constData());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.svg"});
    QCOMPARE(readFile(dir.filePath("keep.svg")), QByteArray("old"));
}

QTEST_MAIN(TestStrip)
#include "tst_strip.moc"
