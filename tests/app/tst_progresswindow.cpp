#include "AccuracyBars.h"
#include "Catalogue.h"
#include "DayChart.h"
#include "DecidingCriteria.h"
#include "KeyPoints.h"
#include "PaintWatcher.h"
#include "ProgressStore.h"
#include "ProgressWindow.h"
#include "RhythmLibrary.h"

#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <unistd.h>

using namespace pulsavo;

namespace {

// Today: sinus rhythm three times right (1, 2, 3 s) and once taken for sinus arrest, atrial
// flutter twice taken for fibrillation. Yesterday: one ventricular tachycardia right.
void writeAnswers(const QString& path) {
    ProgressStore store(path);
    QVERIFY(store.isSaving());
    const QDateTime today = QDateTime(QDate::currentDate(), QTime(0, 30));
    const auto answer = [&](Rhythm shown, Rhythm given, int ms, const QDateTime& time) {
        AnswerRecord record;
        record.shown = shown;
        record.answer = given;
        record.answerMs = ms;
        record.time = time;
        QVERIFY(store.recordAnswer(record) > 0);
    };
    answer(Rhythm::sinusRhythm, Rhythm::sinusRhythm, 1000, today);
    answer(Rhythm::sinusRhythm, Rhythm::sinusRhythm, 2000, today);
    answer(Rhythm::sinusRhythm, Rhythm::sinusRhythm, 3000, today);
    answer(Rhythm::sinusRhythm, Rhythm::sinusArrest, 4000, today);
    answer(Rhythm::atrialFlutter, Rhythm::atrialFibrillation, 5000, today);
    answer(Rhythm::atrialFlutter, Rhythm::atrialFibrillation, 6000, today);
    answer(Rhythm::ventricularTachycardia, Rhythm::ventricularTachycardia, 900, today.addDays(-1));
}

int cell(const ProgressWindow& window, Rhythm shown, Rhythm answered) {
    return window.confusionMap()->matrix()[static_cast<std::size_t>(indexOf(shown))]
                                          [static_cast<std::size_t>(indexOf(answered))];
}

} // namespace

class TestProgressWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void barsHeatMapAndDays();
    void clickingACellAsksForThePair();
    void libraryRhythmsJoinTheReport();
    void resetMovesTheFileAsideAndKeepsIt();
    void readsAFileItCannotWrite_data();
    void readsAFileItCannotWrite();
    void exportWritesOneRowPerAnswer();
    void keyPointsAreTheirSectionOnly_data();
    void keyPointsAreTheirSectionOnly();

private:
    QTemporaryDir settingsDir;
};

void TestProgressWindow::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
}

void TestProgressWindow::barsHeatMapAndDays() {
    QTemporaryDir dir;
    writeAnswers(dir.filePath("p.sqlite"));
    ProgressWindow window(dir.filePath("p.sqlite"));
    window.finishLoading();
    // 1366 x 768 at 200 %, less a panel and a title bar: the buttons stay on the screen.
    QVERIFY(window.minimumSizeHint().height() <= 300);
    QVERIFY(window.minimumSizeHint().width() <= 683);
    AccuracyBars* bars = window.accuracyBars();
    QCOMPARE(bars->count(), rhythmCount);
    QCOMPARE(bars->percentAt(indexOf(Rhythm::sinusRhythm)), 75);
    QCOMPARE(bars->percentAt(indexOf(Rhythm::atrialFlutter)), 0);
    QCOMPARE(bars->percentAt(indexOf(Rhythm::ventricularTachycardia)), 100);
    QCOMPARE(bars->percentAt(indexOf(Rhythm::sinusArrest)), 0);
    QCOMPARE(window.summary().rhythms[0].medianMs.value_or(0), 2500.0);

    QCOMPARE(cell(window, Rhythm::sinusRhythm, Rhythm::sinusRhythm), 3);
    QCOMPARE(cell(window, Rhythm::sinusRhythm, Rhythm::sinusArrest), 1);
    QCOMPARE(cell(window, Rhythm::atrialFlutter, Rhythm::atrialFibrillation), 2);
    QCOMPARE(cell(window, Rhythm::atrialFibrillation, Rhythm::atrialFlutter), 0);
    QCOMPARE(cell(window, Rhythm::ventricularTachycardia, Rhythm::ventricularTachycardia), 1);

    // Only days with answers carry a point: yesterday 100 %, today 3 of 6.
    const DayChart* line = window.dayChart();
    QCOMPARE(line->count(), 2);
    QCOMPARE(line->pointAt(0).percent, 100);
    QCOMPARE(line->pointAt(1).percent, 50);
    QCOMPARE(line->pointAt(1).day, QDate::currentDate());
    QCOMPARE(window.findChild<QLabel*>("streakLabel")->text(), QStringLiteral("連続 2 日"));

    // The worst pair first, with what decides between them and the key points of both rhythms
    // as practice words them.
    const QString pairs = window.findChild<QTextBrowser*>("confusedPairs")->toPlainText();
    const QString flutter =
        QString::fromStdString(catalogue::practiceKeyPointsOf(Rhythm::atrialFlutter));
    const QString fibrillation =
        QString::fromStdString(catalogue::practiceKeyPointsOf(Rhythm::atrialFibrillation));
    QVERIFY(pairs.contains(QString::fromStdString(std::string(
        catalogue::decidingCriterion(Rhythm::atrialFlutter, Rhythm::atrialFibrillation).text))));
    QVERIFY(pairs.indexOf(QStringLiteral("2 回")) < pairs.indexOf(QStringLiteral("1 回")));
    QVERIFY(pairs.contains(flutter.section('\n', 0, 0)));
    QVERIFY(pairs.contains(fibrillation.section('\n', -1)));
}

// A library rhythm shown, and one only given as an answer, follow the classic 18 in the bars
// and the heat map, by name; their cell asks for their pair.
void TestProgressWindow::libraryRhythmsJoinTheReport() {
    QTemporaryDir dir;
    writeAnswers(dir.filePath("p.sqlite"));
    const Rhythm mobitz = rhythmOf(LibraryRhythm::mobitz1);
    const Rhythm twoToOne = rhythmOf(LibraryRhythm::avBlock2to1);
    {
        ProgressStore store(dir.filePath("p.sqlite"));
        for (const Rhythm given : {twoToOne, twoToOne, mobitz}) {
            AnswerRecord record;
            record.shown = mobitz;
            record.answer = given;
            record.answerMs = 1500;
            QVERIFY(store.recordAnswer(record) > 0);
        }
    }
    ProgressWindow window(dir.filePath("p.sqlite"));
    window.finishLoading();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    AccuracyBars* bars = window.accuracyBars();
    QCOMPARE(bars->count(), rhythmCount + 2);
    QCOMPARE(bars->percentAt(rhythmCount), 33);
    QCOMPARE(bars->percentAt(rhythmCount + 1), 0);
    ConfusionMap* map = window.confusionMap();
    QCOMPARE(map->rhythms().size(), std::size_t(rhythmCount + 2));
    QCOMPARE(map->rhythms()[rhythmCount], mobitz);
    QCOMPARE(cell(window, mobitz, twoToOne), 2);
    const QString pairs = window.findChild<QTextBrowser*>("confusedPairs")->toPlainText();
    const std::string_view name = catalogue::nameOf(twoToOne);
    QVERIFY(pairs.contains(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))));

    QSignalSpy spy(&window, &ProgressWindow::pairDrillRequested);
    const QRect target = map->cellRect(mobitz, twoToOne);
    QVERIFY(map->rect().contains(target));
    QTest::mouseClick(map, Qt::LeftButton, {}, target.center());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(1).value<Rhythm>(), twoToOne);
}

void TestProgressWindow::clickingACellAsksForThePair() {
    QTemporaryDir dir;
    writeAnswers(dir.filePath("p.sqlite"));
    ProgressWindow window(dir.filePath("p.sqlite"));
    window.finishLoading();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy spy(&window, &ProgressWindow::pairDrillRequested);
    ConfusionMap* map = window.confusionMap();
    const QRect target = map->cellRect(Rhythm::atrialFlutter, Rhythm::atrialFibrillation);
    QVERIFY(map->rect().contains(target));
    QTest::mouseClick(map, Qt::LeftButton, {}, target.center());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<Rhythm>(), Rhythm::atrialFlutter);
    QCOMPARE(spy.at(0).at(1).value<Rhythm>(), Rhythm::atrialFibrillation);
    // The cell beside it is the next answer, and the label corner is no cell at all.
    QTest::mouseClick(map, Qt::LeftButton, {}, target.center() + QPoint(target.width(), 0));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(1).value<Rhythm>(), Rhythm::atrialFlutter);
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(map, Qt::RightButton, {}, target.center());
    QCOMPARE(spy.count(), 2);

    // Two answers folded in (flutter right and taken for fibrillation) repaint the map's row
    // and the bar they changed alone and leave the day chart as it was: today is still 50 %.
    QCoreApplication::processEvents();
    PaintWatcher watcher;
    map->installEventFilter(&watcher);
    PaintWatcher barWatcher;
    window.accuracyBars()->installEventFilter(&barWatcher);
    PaintWatcher dayWatcher;
    window.dayChart()->installEventFilter(&dayWatcher);
    ProgressStore::Written written;
    for (const Rhythm given : {Rhythm::atrialFlutter, Rhythm::atrialFibrillation}) {
        AnswerRecord record;
        record.shown = Rhythm::atrialFlutter;
        record.answer = given;
        record.correct = given == record.shown;
        record.time = QDateTime::currentDateTime();
        written.answers.push_back(record);
    }
    window.addAnswers(written);
    QCoreApplication::processEvents();
    window.finishLoading(); // the medians read afresh
    QCOMPARE(cell(window, Rhythm::atrialFlutter, Rhythm::atrialFibrillation), 3);
    QCOMPARE(watcher.painted.boundingRect(),
             map->cellRect(Rhythm::atrialFlutter, map->rhythms().front()) |
                 map->cellRect(Rhythm::atrialFlutter, map->rhythms().back()));
    QVERIFY(dayWatcher.painted.isEmpty());
    const int flutter = indexOf(Rhythm::atrialFlutter);
    QCOMPARE(window.accuracyBars()->percentAt(flutter), 25);
    QVERIFY(window.accuracyBars()->labelAt(flutter).contains(QStringLiteral("4回")));
    QCOMPARE(barWatcher.painted.boundingRect(), window.accuracyBars()->rowRect(flutter));
    // The pair's count rewritten in place, the other pair's line left as it was.
    const QString pairs = window.findChild<QTextBrowser*>("confusedPairs")->toPlainText();
    QCOMPARE(pairs.count(QStringLiteral("と答えた: 3 回")), 1);
    QCOMPARE(pairs.count(QStringLiteral("と答えた: 1 回")), 1);
}

void TestProgressWindow::resetMovesTheFileAsideAndKeepsIt() {
    QTemporaryDir dir;
    const QString path = dir.filePath("p.sqlite");
    writeAnswers(path);
    ProgressWindow window(path);
    window.finishLoading();
    window.confirmReset = [] { return false; };
    window.resetProgress();
    QCOMPARE(window.summary().attempts, 7);
    QVERIFY(window.movedAsidePath().isEmpty());

    window.confirmReset = [] { return true; };
    window.resetProgress();
    window.finishLoading();
    QCOMPARE(window.summary().attempts, 0);
    QCOMPARE(window.accuracyBars()->percentAt(0), 0);
    QCOMPARE(cell(window, Rhythm::sinusRhythm, Rhythm::sinusRhythm), 0);
    const QString moved = window.movedAsidePath();
    QVERIFY(!moved.isEmpty());
    QVERIFY(moved != path);
    QVERIFY(window.findChild<QLabel*>("noticeLabel")->text().contains(moved));
    const ProgressStore old(moved);
    QCOMPARE(old.answerCount(), 7);
    QVERIFY(QFile::exists(path));
}

void TestProgressWindow::readsAFileItCannotWrite_data() {
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("another program holds the write lock") << false;
    QTest::newRow("read-only file in a read-only folder") << true;
}

// The window reads without writing: a file it could not write reads like any other.
void TestProgressWindow::readsAFileItCannotWrite() {
    QFETCH(bool, readOnlyFolder);
    if (readOnlyFolder && ::geteuid() == 0) {
        QSKIP("root writes through any mode: the folder cannot be made read-only for it");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("p.sqlite");
    writeAnswers(path);
    QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "holder");
    holder.setDatabaseName(path);
    QVERIFY(holder.open());
    if (readOnlyFolder) {
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    } else {
        QVERIFY(QSqlQuery(holder).exec(QStringLiteral("BEGIN IMMEDIATE")));
    }
    {
        ProgressWindow window(path);
        window.finishLoading();
        QCOMPARE(window.summary().attempts, 7);
    }
    holder.close();
    holder = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestProgressWindow::exportWritesOneRowPerAnswer() {
    QTemporaryDir dir;
    writeAnswers(dir.filePath("p.sqlite"));
    ProgressWindow window(dir.filePath("p.sqlite"));
    window.finishLoading();
    const QString csv = dir.filePath("out.csv");
    window.askExportPath = [&csv] { return QString(csv); };
    window.exportCsv();
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    QCOMPARE(data.count("\r\n"), 8);
    QVERIFY(data.contains("心房粗動"));
    // A folder that does not exist: a notice, and no file.
    window.askExportPath = [&dir] { return dir.filePath("missing/out.csv"); };
    window.exportCsv();
    QVERIFY(!QFile::exists(dir.filePath("missing/out.csv")));
    QVERIFY(window.findChild<QLabel*>("noticeLabel")->text().contains("missing/out.csv"));
}

void TestProgressWindow::keyPointsAreTheirSectionOnly_data() {
    QTest::addColumn<int>("rhythm");
    QTest::addColumn<int>("language");
    for (const Rhythm rhythm : allRhythms) {
        for (const auto language : {catalogue::Language::japanese, catalogue::Language::english}) {
            QTest::addRow("%d %s", indexOf(rhythm),
                          std::string(catalogue::languageCode(language)).c_str())
                << indexOf(rhythm) << static_cast<int>(language);
        }
    }
}

void TestProgressWindow::keyPointsAreTheirSectionOnly() {
    QFETCH(int, rhythm);
    QFETCH(int, language);
    const auto lang = static_cast<catalogue::Language>(language);
    const std::string points = catalogue::keyPointsOf(*rhythmAt(rhythm), lang);
    QVERIFY(!points.empty());
    QVERIFY(points.find('\r') == std::string::npos);
    QVERIFY(points.find("\n\n") == std::string::npos);
    QVERIFY(points.back() != '\n');
    // Its lines come from the explanation, and no heading is among them.
    const std::string_view text = catalogue::textOf(*rhythmAt(rhythm), lang);
    for (const QString& line : QString::fromStdString(points).split('\n')) {
        QVERIFY(text.find(line.toStdString()) != std::string_view::npos);
        QVERIFY(!line.startsWith(QStringLiteral("＜")) && !line.startsWith('<'));
    }
}

QTEST_MAIN(TestProgressWindow)
#include "tst_progresswindow.moc"
