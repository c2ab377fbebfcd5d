// What the progress window and the export read: per-rhythm figures, the confusion matrix,
// days, streak, confused pairs, exam filters and the CSV.
#include "ProgressStore.h"
#include "ProgressTally.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

#include <cstdlib>
#include <ctime>

using namespace pulsavo;

namespace {

// Local days are checked in a zone nine hours ahead of UTC, where UTC and local days differ.
const QDate today(2024, 3, 11);

QDateTime localNoon(QDate day) {
    return QDateTime(day, QTime(12, 0), Qt::LocalTime);
}

AnswerRecord naming(Rhythm shown, std::optional<Rhythm> answer, int ms = 1000,
                    QDateTime time = localNoon(today)) {
    AnswerRecord record;
    record.shown = shown;
    record.answer = answer;
    record.answerMs = ms;
    record.time = std::move(time);
    return record;
}

} // namespace

class ProgressQueriesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        qputenv("TZ", "Asia/Tokyo");
        tzset();
        QVERIFY(dir.isValid());
    }

    void init() {
        store = std::make_unique<ProgressStore>(QStringLiteral(":memory:"));
        store->setAppVersion(QStringLiteral("test-1"));
    }

    void rhythmStatsCountAndTakeTheMedian_data() {
        QTest::addColumn<QList<int>>("times");
        QTest::addColumn<double>("median");
        QTest::newRow("one") << QList<int>{700} << 700.0;
        QTest::newRow("odd, unsorted") << QList<int>{900, 100, 500} << 500.0;
        QTest::newRow("even: mean of the middle two")
            << QList<int>{4000, 1000, 3000, 2000} << 2500.0;
        QTest::newRow("repeated") << QList<int>{5, 5, 5, 9, 1} << 5.0;
    }

    void rhythmStatsCountAndTakeTheMedian() {
        QFETCH(QList<int>, times);
        QFETCH(double, median);
        for (qsizetype i = 0; i < times.size(); ++i) {
            AnswerRecord record =
                naming(Rhythm::mobitzBlock,
                       i == 0 ? std::optional<Rhythm>(Rhythm::mobitzBlock) : Rhythm::completeBlock,
                       times[i]);
            record.hinted = i == times.size() - 1;
            QVERIFY(store->recordAnswer(record) > 0);
        }
        // Another rhythm's and a measurement's times must not leak into the median.
        QVERIFY(store->recordAnswer(naming(Rhythm::completeBlock, Rhythm::completeBlock, 99999)) >
                0);
        AnswerRecord measurement = naming(Rhythm::mobitzBlock, {}, 88888);
        measurement.kind = QStringLiteral("pr");
        QVERIFY(store->recordAnswer(measurement) > 0);

        const RhythmStatsTable table = store->rhythmStats();
        const RhythmStats& stats = table[indexOf(Rhythm::mobitzBlock)];
        QCOMPARE(stats.attempts, int(times.size()));
        QCOMPARE(stats.correct, 1);
        QCOMPARE(stats.hinted, 1);
        QCOMPARE(stats.medianMs.value_or(-1), median);
        QCOMPARE(table[indexOf(Rhythm::completeBlock)].accuracy(), 1.0);
        QVERIFY(!table[indexOf(Rhythm::sinusRhythm)].medianMs);
    }

    void confusionIsShownByAnswered() {
        const std::array<std::pair<Rhythm, std::optional<Rhythm>>, 7> answers = {{
            {Rhythm::atrialFlutter, Rhythm::atrialFibrillation},
            {Rhythm::atrialFlutter, Rhythm::atrialFibrillation},
            {Rhythm::atrialFibrillation, Rhythm::atrialFlutter},
            {Rhythm::atrialFlutter, Rhythm::atrialFlutter},
            {Rhythm::shortRun, Rhythm::ventricularTachycardia},
            {Rhythm::sinusRhythm, std::nullopt}, // unanswered: no cell
            {Rhythm::rOnT, Rhythm::sporadicPvc},
        }};
        for (const auto& [shown, answer] : answers) {
            QVERIFY(store->recordAnswer(naming(shown, answer)) > 0);
        }
        const ConfusionMatrix matrix = store->confusion();
        QCOMPARE(matrix[indexOf(Rhythm::atrialFlutter)][indexOf(Rhythm::atrialFibrillation)], 2);
        QCOMPARE(matrix[indexOf(Rhythm::atrialFibrillation)][indexOf(Rhythm::atrialFlutter)], 1);
        QCOMPARE(matrix[indexOf(Rhythm::atrialFlutter)][indexOf(Rhythm::atrialFlutter)], 1);
        int total = 0;
        for (const auto& row : matrix) {
            for (const int cell : row) {
                total += cell;
            }
        }
        QCOMPARE(total, 6);
        QCOMPARE(store->rhythmStats()[indexOf(Rhythm::sinusRhythm)].correct, 0);

        // Ordered pairs, most frequent first, ties by index of the rhythm shown.
        const QList<ConfusedPair> top = store->topConfusions(3);
        QCOMPARE(top.size(), 3);
        QCOMPARE(top[0].shown, Rhythm::atrialFlutter);
        QCOMPARE(top[0].answered, Rhythm::atrialFibrillation);
        QCOMPARE(top[0].count, 2);
        QCOMPARE(top[1].shown, Rhythm::atrialFibrillation);
        QCOMPARE(top[2].shown, Rhythm::rOnT);
        QCOMPARE(store->topConfusions(5).size(), 4);
    }

    // Ties rank by rhythm order, not by the ids' text ("classic_10" sorts before "classic_2");
    // a report lists the classic 18 and the library rhythms that came up.
    void libraryAnswersRankInRhythmOrder() {
        const Rhythm mobitz = rhythmOf(LibraryRhythm::mobitz1);
        const Rhythm twoToOne = rhythmOf(LibraryRhythm::avBlock2to1);
        for (const auto& [shown, answer] : {std::pair{mobitz, twoToOne},
                                            {Rhythm::ventricularFibrillation, Rhythm::shortRun},
                                            {Rhythm::atrialTachycardia, Rhythm::shortRun},
                                            {mobitz, mobitz}}) {
            QVERIFY(store->recordAnswer(naming(shown, answer, 1000 + indexOf(answer))) > 0);
        }
        const RhythmStatsTable stats = store->rhythmStats();
        QCOMPARE(stats[indexOf(mobitz)].attempts, 2);
        QCOMPARE(stats[indexOf(mobitz)].medianMs.value_or(0),
                 1000.0 + (indexOf(mobitz) + indexOf(twoToOne)) / 2.0);
        const QList<ConfusedPair> top = store->topConfusions(3);
        QCOMPARE(top.size(), 3);
        QCOMPARE(top[0].shown, Rhythm::atrialTachycardia);
        QCOMPARE(top[1].shown, Rhythm::ventricularFibrillation);
        QCOMPARE(top[2].answered, twoToOne);

        std::vector<Rhythm> listed(allRhythms.begin(), allRhythms.end());
        listed.push_back(mobitz);
        QVERIFY(reportedRhythms(stats) == listed);
        const ConfusionMatrix confusion = store->confusion();
        listed.push_back(twoToOne);
        QVERIFY(reportedRhythms(stats, &confusion) == listed);
    }

    void daysAreLocalDays() {
        // 16:00 UTC on the 10th is 01:00 on the 11th in Tokyo.
        const QDateTime lateUtc(QDate(2024, 3, 10), QTime(16, 0), Qt::UTC);
        QVERIFY(store->recordAnswer(naming(Rhythm::sinusRhythm, Rhythm::sinusRhythm, 1, lateUtc)) >
                0);
        QVERIFY(store->recordAnswer(
                    naming(Rhythm::sinusRhythm, Rhythm::atrialFlutter, 1, localNoon(today))) > 0);
        QVERIFY(store->recordAnswer(naming(Rhythm::sinusRhythm, Rhythm::sinusRhythm, 1,
                                           localNoon(today.addDays(-2)))) > 0);
        // Outside the window on both sides.
        QVERIFY(store->recordAnswer(naming(Rhythm::sinusRhythm, Rhythm::sinusRhythm, 1,
                                           localNoon(today.addDays(-3)))) > 0);
        QVERIFY(store->recordAnswer(naming(Rhythm::sinusRhythm, Rhythm::sinusRhythm, 1,
                                           localNoon(today.addDays(1)))) > 0);

        const QList<DayAccuracy> days = store->accuracyByDay(3, {}, today);
        QCOMPARE(days.size(), 3);
        QCOMPARE(days[0].day, today.addDays(-2));
        QCOMPARE(days[0].attempts, 1);
        QCOMPARE(days[1].attempts, 0);
        QCOMPARE(days[2].day, today);
        QCOMPARE(days[2].attempts, 2);
        QCOMPARE(days[2].correct, 1);
        QCOMPARE(days[2].accuracy(), 0.5);

        // The review schedule reads the same local days, oldest answer first.
        const std::vector<ReviewAnswer> history = store->reviewHistory();
        QCOMPARE(history.size(), std::size_t(5));
        const QList<int> offsets{-3, -2, 0, 0, 1};
        for (std::size_t i = 0; i < history.size(); ++i) {
            QCOMPARE(history[i].day, today.addDays(offsets[int(i)]).toJulianDay());
        }
        QVERIFY(history[2].right && !history[3].right &&
                history[3].answered == Rhythm::atrialFlutter);
    }

    // On the day clocks go forward an answer late in the UTC day is already the next local day.
    void reviewDaysFollowDaylightSaving() {
        qputenv("TZ", "Europe/Berlin");
        tzset();
        const QList<std::pair<QDateTime, QDate>> answers{
            {QDateTime(QDate(2024, 3, 30), QTime(22, 59), Qt::UTC), QDate(2024, 3, 30)},
            {QDateTime(QDate(2024, 3, 30), QTime(23, 0), Qt::UTC), QDate(2024, 3, 31)},
            {QDateTime(QDate(2024, 3, 31), QTime(21, 59), Qt::UTC), QDate(2024, 3, 31)},
            {QDateTime(QDate(2024, 3, 31), QTime(22, 30), Qt::UTC), QDate(2024, 4, 1)}};
        for (const auto& [time, day] : answers) {
            QVERIFY(store->recordAnswer(naming(Rhythm::sinusRhythm, Rhythm::sinusRhythm, 1, time)) >
                    0);
        }
        const std::vector<ReviewAnswer> history = store->reviewHistory();
        qputenv("TZ", "Asia/Tokyo");
        tzset();
        QCOMPARE(history.size(), std::size_t(answers.size()));
        for (qsizetype i = 0; i < answers.size(); ++i) {
            QCOMPARE(history[std::size_t(i)].day, answers[i].second.toJulianDay());
        }
    }

    void streakEndsTodayOrYesterday_data() {
        QTest::addColumn<QList<int>>("daysAgo"); // days with an answer, counted back from today
        QTest::addColumn<int>("streak");
        QTest::newRow("nothing") << QList<int>{} << 0;
        QTest::newRow("today only") << QList<int>{0} << 1;
        QTest::newRow("not yet today") << QList<int>{1, 2} << 2;
        QTest::newRow("gap") << QList<int>{0, 1, 3, 4, 5} << 2;
        QTest::newRow("ended two days ago") << QList<int>{2, 3} << 0;
        QTest::newRow("tomorrow ignored") << QList<int>{-1, 0} << 1;
        QList<int> long100;
        for (int i = 0; i < 100; ++i) {
            long100 << i;
        }
        QTest::newRow("longer than a first look back") << long100 << 100;
        QList<int> exactly64 = long100.mid(0, 64);
        exactly64 << 65;
        QTest::newRow("gap just past the first look") << exactly64 << 64;
    }

    void streakEndsTodayOrYesterday() {
        QFETCH(QList<int>, daysAgo);
        QFETCH(int, streak);
        for (const int ago : daysAgo) {
            // Twice a day, the second just before local midnight.
            const QDate day = today.addDays(-ago);
            QVERIFY(store->recordAnswer(naming(Rhythm::sinusRhythm, {}, 1, localNoon(day))) > 0);
            QVERIFY(store->recordAnswer(naming(Rhythm::sinusRhythm, {}, 1,
                                               QDateTime(day, QTime(23, 59, 59), Qt::LocalTime))) >
                    0);
        }
        QCOMPARE(store->streak({}, today), streak);
    }

    // One answer folded into what the window shows equals the file read again after it.
    void foldMatchesAFreshRead_data() {
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("answered"); // -1: none
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("exam");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("daysAgo");
        QTest::addColumn<bool>("folds");
        const int vt = indexOf(Rhythm::ventricularTachycardia);
        const int af = indexOf(Rhythm::atrialFibrillation);
        const int afl = indexOf(Rhythm::atrialFlutter);
        QTest::newRow("first today, streak grows") << vt << vt << ""
                                                   << ""
                                                   << "" << 0 << true;
        QTest::newRow("mix-up joins the pairs") << af << afl << ""
                                                << ""
                                                << "" << 0 << true;
        QTest::newRow("unanswered") << 0 << -1 << ""
                                    << ""
                                    << "" << 0 << true;
        QTest::newRow("measurement left out") << 0 << 0 << "rr"
                                              << ""
                                              << "" << 0 << true;
        QTest::newRow("other exam left out") << 0 << 0 << ""
                                             << ""
                                             << "PX-1" << 0 << true;
        QTest::newRow("exam counted") << af << afl << ""
                                      << "PX-1"
                                      << "PX-1" << 0 << true;
        QTest::newRow("another day is read again") << 0 << 0 << ""
                                                   << ""
                                                   << "" << 1 << false;
    }

    void foldMatchesAFreshRead() {
        QFETCH(int, shown);
        QFETCH(int, answered);
        QFETCH(QString, kind);
        QFETCH(QString, exam);
        QFETCH(QString, filter);
        QFETCH(int, daysAgo);
        QFETCH(bool, folds);
        for (const int ago : {1, 2}) {
            AnswerRecord before = naming(Rhythm::atrialFlutter, Rhythm::atrialFibrillation, 2000,
                                         localNoon(today.addDays(-ago)));
            before.examCode = exam;
            before.worksheet = {{"qrs", "90", "90", true}};
            QVERIFY(store->recordAnswer(before) > 0);
        }
        const ProgressFilter only{filter};
        ProgressSummary folded = store->summary(only, 30, today);
        store->takeWritten();
        AnswerRecord answer =
            naming(*anyRhythmAt(shown), answered < 0 ? std::nullopt : anyRhythmAt(answered), 3000,
                   localNoon(today.addDays(-daysAgo)));
        answer.kind = kind;
        answer.examCode = exam;
        answer.hinted = true;
        answer.worksheet = {{"atrial_rate", "", "300", false}, {"qrs", "140", "90", false}};
        QVERIFY(store->recordAnswer(answer) > 0);
        const ProgressStore::Written written = store->takeWritten();
        QCOMPARE(written.answers.size(), std::size_t(1));
        QCOMPARE(ProgressTally::fold(folded, written.answers.front(), only), folds);
        if (!folds) {
            return;
        }
        const ProgressSummary read = store->summary(only, 30, today);
        QCOMPARE(folded.attempts, read.attempts);
        QCOMPARE(folded.correct, read.correct);
        QCOMPARE(folded.streak, read.streak);
        QVERIFY(folded.confusion == read.confusion);
        for (std::size_t i = 0; i < read.rhythms.size(); ++i) {
            QCOMPARE(folded.rhythms[i].attempts, read.rhythms[i].attempts);
            QCOMPARE(folded.rhythms[i].correct, read.rhythms[i].correct);
            QCOMPARE(folded.rhythms[i].hinted, read.rhythms[i].hinted);
            QVERIFY(folded.rhythms[i].medianMs == read.rhythms[i].medianMs ||
                    ProgressTally::medianStale(folded, written.answers.front()));
        }
        for (qsizetype i = 0; i < read.days.size(); ++i) {
            QCOMPARE(folded.days[i].attempts, read.days[i].attempts);
            QCOMPARE(folded.days[i].correct, read.days[i].correct);
        }
        for (const Rhythm rhythm : {Rhythm::atrialFlutter, *anyRhythmAt(shown)}) {
            QCOMPARE(folded.schedule.card(rhythm).dueDay, read.schedule.card(rhythm).dueDay);
        }
        QCOMPARE(folded.schedule.pairs().size(), read.schedule.pairs().size());
        QCOMPARE(folded.worksheetFields.size(), read.worksheetFields.size());
        for (qsizetype i = 0; i < read.worksheetFields.size(); ++i) {
            const WorksheetFieldStats& mine = folded.worksheetFields[i];
            const WorksheetFieldStats& theirs = read.worksheetFields[i];
            QVERIFY(mine.field == theirs.field && mine.attempts == theirs.attempts &&
                    mine.correct == theirs.correct);
        }
        QCOMPARE(folded.topConfusions.size(), read.topConfusions.size());
        for (qsizetype i = 0; i < read.topConfusions.size(); ++i) {
            QCOMPARE(folded.topConfusions[i].shown, read.topConfusions[i].shown);
            QCOMPARE(folded.topConfusions[i].answered, read.topConfusions[i].answered);
            QCOMPARE(folded.topConfusions[i].count, read.topConfusions[i].count);
        }
    }

    void examFilterNarrowsEveryQuery() {
        AnswerRecord exam = naming(Rhythm::ventricularTachycardia, Rhythm::shortRun, 3000);
        exam.examCode = QStringLiteral("PX-4K7Q-M2ZD");
        QVERIFY(store->recordAnswer(exam) > 0);
        QVERIFY(store->recordAnswer(naming(Rhythm::sinusRhythm, Rhythm::sinusRhythm, 100,
                                           localNoon(today.addDays(-1)))) > 0);
        const ProgressFilter filter{QStringLiteral("PX-4K7Q-M2ZD")};
        const ProgressSummary all = store->summary({}, 30, today);
        const ProgressSummary one = store->summary(filter, 30, today);
        QCOMPARE(all.attempts, 2);
        QCOMPARE(one.attempts, 1);
        QCOMPARE(one.correct, 0);
        QCOMPARE(one.rhythms[indexOf(Rhythm::sinusRhythm)].attempts, 0);
        QCOMPARE(one.confusion[indexOf(Rhythm::ventricularTachycardia)][indexOf(Rhythm::shortRun)],
                 1);
        QCOMPARE(one.topConfusions.size(), 1);
        QCOMPARE(one.days.size(), 30);
        QCOMPARE(one.days.last().attempts, 1);
        QCOMPARE(all.streak, 2);
        QCOMPARE(one.streak, 1);
        QCOMPARE(store->examCodes(), QStringList{"PX-4K7Q-M2ZD"});
        QCOMPARE(store->answerCount(ProgressFilter{QStringLiteral("OTHER")}), 0);
    }

    void csvIsRfc4180() {
        RoundInfo round;
        round.mode = RoundMode::exam;
        round.examCode = QStringLiteral("PX-1");
        const std::int64_t roundId = store->beginRound(round);
        AnswerRecord first = naming(Rhythm::atrialFlutter, Rhythm::atrialFibrillation, 1234,
                                    QDateTime(QDate(2024, 3, 10), QTime(16, 0, 1, 5), Qt::UTC));
        first.roundId = roundId;
        first.examCode = round.examCode;
        first.seed = 4294967295U;
        first.hinted = true;
        QVERIFY(store->recordAnswer(first) > 0);
        AnswerRecord second = naming(Rhythm::sinusRhythm, std::nullopt, 50,
                                     QDateTime(QDate(2024, 3, 10), QTime(17, 0), Qt::UTC));
        QVERIFY(store->recordAnswer(second) > 0);
        QVERIFY(store->recordAnswer(
                    naming(rhythmOf(LibraryRhythm::mobitz1), rhythmOf(LibraryRhythm::mobitz2), 70,
                           QDateTime(QDate(2024, 3, 10), QTime(18, 0), Qt::UTC))) > 0);

        const auto nameOf = [](Rhythm rhythm) {
            return rhythm == Rhythm::atrialFlutter ? QStringLiteral("心房粗動, \"AFL\"")
                                                   : QStringLiteral("line\nbreak");
        };
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(store->exportCsv(buffer, {}, nameOf));
        const QByteArray expected =
            "answer_id,time_utc,round_id,mode,exam_code,shown,shown_name,answer,answer_name,"
            "correct,hinted,answer_ms,seed,app_version,kind,value_ms,error_ms\r\n"
            "1,2024-03-10T16:00:01.005Z,1,exam,PX-1,classic_5,\"心房粗動, \"\"AFL\"\"\",classic_4,"
            "\"line\nbreak\",0,1,1234,4294967295,test-1,,,\r\n"
            "2,2024-03-10T17:00:00.000Z,,,,classic_0,\"line\nbreak\",,,0,0,50,0,test-1,,,\r\n"
            "3,2024-03-10T18:00:00.000Z,,,,mobitz_1,\"line\nbreak\",mobitz_2,\"line\nbreak\",0,0,"
            "70,"
            "0,test-1,,,\r\n";
        QCOMPARE(buffer.data(), expected);

        const QString file = dir.filePath(QStringLiteral("attempts.csv"));
        QVERIFY(store->exportCsv(file, ProgressFilter{QStringLiteral("PX-1")}));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll().count("\r\n"), 2);
        QVERIFY(!store->exportCsv(dir.filePath(QStringLiteral("missing/dir/attempts.csv"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing/dir/attempts.csv"))));
    }

    void csvCellsAreInert_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("cell");
        QTest::newRow("formula") << "=1+1" << QByteArray("'=1+1");
        QTest::newRow("plus") << "+SUM(A1:A9)" << QByteArray("'+SUM(A1:A9)");
        QTest::newRow("minus") << "-2+3" << QByteArray("'-2+3");
        QTest::newRow("at") << "@cmd" << QByteArray("'@cmd");
        QTest::newRow("tab") << "\t=1" << QByteArray("'\t=1");
        QTest::newRow("carriage return") << "\r=1" << QByteArray("\"'\r=1\"");
        QTest::newRow("terminal escape") << "\x1b[31mX" << QByteArray("\\x1b[31mX");
        QTest::newRow("negative number stays a number") << "-12" << QByteArray("-12");
        QTest::newRow("exam code unchanged") << "PX-4K7Q-M2ZD" << QByteArray("PX-4K7Q-M2ZD");
        QTest::newRow("wide text unchanged") << "心電図𝄞" << QString("心電図𝄞").toUtf8();
    }

    // The rule lives where the CSV is made, so the window's export and the tool's share it.
    void csvCellsAreInert() {
        QFETCH(QString, text);
        QFETCH(QByteArray, cell);
        AnswerRecord answer = naming(Rhythm::sinusRhythm, Rhythm::sinusRhythm, 10,
                                     QDateTime(QDate(2024, 3, 10), QTime(16, 0), Qt::UTC));
        answer.examCode = text;
        answer.errorMs = -40;
        QVERIFY(store->recordAnswer(answer) > 0);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(store->exportCsv(buffer));
        const QByteArray row = buffer.data().split('\n').at(1);
        QVERIFY2(row.startsWith(QByteArray("1,2024-03-10T16:00:00.000Z,,,") + cell + ",classic_0,"),
                 row.constData());
        QVERIFY2(row.endsWith(",-40\r"), row.constData());
    }

private:
    QTemporaryDir dir;
    std::unique_ptr<ProgressStore> store;
};

QTEST_GUILESS_MAIN(ProgressQueriesTest)
#include "tst_progressqueries.moc"
