// The gradebook's rules (scores, item analysis, duplicates, foreign and damaged files) and the
// hand-in file they read, with answers kept by the real store.
#include "Gradebook.h"
#include "HandIn.h"
#include "ProgressStore.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace pulsavo;

namespace {

Exam exam6() {
    ExamSettings settings;
    settings.passPercent = 50;
    return makeExam(6, 77, RhythmSet::classic(), settings).exam;
}

// `learner` answers question k right when pattern[k] is 'R', hinted-right with 'H', with the
// next question's rhythm with 'W', and skips it with '-'.
QList<ExamAnswer> sat(const Exam& exam, const QString& learner, const char* pattern,
                      bool numbered = true) {
    QList<ExamAnswer> answers;
    for (int k = 0; pattern[k] != '\0'; ++k) {
        const Question& question = exam.questions[static_cast<std::size_t>(k)];
        if (pattern[k] == '-') {
            continue;
        }
        ExamAnswer answer{QString::fromStdString(exam.code),
                          learner,
                          numbered ? k + 1 : 0,
                          question.rhythm,
                          question.seed,
                          question.rhythm,
                          pattern[k] == 'H',
                          1000,
                          QStringLiteral("2024-05-01T10:00:%1.000Z").arg(k, 2, 10, QChar('0'))};
        if (pattern[k] == 'W') {
            answer.answer = exam.questions[static_cast<std::size_t>((k + 1) % 6)].rhythm;
        }
        answers << answer;
    }
    return answers;
}

} // namespace

class GradebookTest : public QObject {
    Q_OBJECT

private slots:
    // Six learners: scores, pass marks, hints earning nothing, thirds, commonest wrong answers.
    void gradesAClass() {
        const Exam exam = exam6();
        QVERIFY(exam.questions[0].rhythm != exam.questions[1].rhythm);
        Gradebook book(exam);
        book.add("a.sqlite", sat(exam, "Ann", "RRRRRR"));
        book.add("b.csv", sat(exam, "Ben", "RRRRRW"));
        book.add("c.csv", sat(exam, "cy", "RRRWW-"));
        book.add("d.csv", sat(exam, "Dee", "HHRRRR"));
        book.add("e.csv", sat(exam, "Eve", "WRWWRW", false));
        book.add("f.csv", sat(exam, "Fay", "WWRWWW"));
        const GradebookResult result = book.result();
        QVERIFY(result.notices.empty());
        QStringList table;
        for (const LearnerGrade& grade : result.learners) {
            table << QStringLiteral("%1 %2/%3 %4 %5 %6")
                         .arg(grade.learner)
                         .arg(grade.score)
                         .arg(grade.answered)
                         .arg(grade.hinted)
                         .arg(grade.passed.value() ? "pass" : "fail")
                         .arg(grade.totalMs);
        }
        QCOMPARE(table, QStringList({"Ann 6/6 0 pass 6000", "Ben 5/6 0 pass 6000",
                                     "cy 3/5 0 pass 5000", "Dee 4/6 2 pass 6000",
                                     "Eve 2/6 0 fail 6000", "Fay 1/6 0 fail 6000"}));
        QCOMPARE(result.passedCount(), 4);
        // Top third Ann and Ben, bottom third Eve and Fay.
        const ItemAnalysis& first = result.items[0];
        QCOMPARE(first.shareCorrect, 3.0 / 6);
        QCOMPARE(first.discrimination.value(), 1.0);
        QCOMPARE(first.commonestWrong.value(), exam.questions[1].rhythm);
        QCOMPARE(first.commonestWrongCount, 2);
        QCOMPARE(result.items[2].discrimination.value(), 0.5);
        QCOMPARE(result.items[4].answered, 6);
        QCOMPARE(result.items[4].shareCorrect, 4.0 / 6);
        QCOMPARE(result.items[4].commonestWrongCount, 2);
        QCOMPARE(result.items[5].answered, 5);
        QList<int> counts;
        for (const ConfusedPair& pair : result.confusions) {
            counts << pair.count;
        }
        QCOMPARE(counts, QList<int>({3, 3, 2, 2, 1, 1}));
    }

    // Whatever goes wrong with one file is one notice naming it; the others are still graded
    // and nobody is counted twice.
    void badInputIsReportedNotCounted_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("learners");
        using K = GradebookNotice::Kind;
        QTest::newRow("another exam") << int(K::otherExam) << 1;
        QTest::newRow("same learner in two files") << int(K::duplicate) << 1;
        QTest::newRow("a retake in one file") << int(K::retake) << 2;
        QTest::newRow("answers to other questions") << int(K::foreignItem) << 2;
        QTest::newRow("nothing of this exam") << int(K::noAnswers) << 1;
    }

    void badInputIsReportedNotCounted() {
        QFETCH(int, kind);
        QFETCH(int, learners);
        using K = GradebookNotice::Kind;
        const Exam exam = exam6();
        Gradebook book(exam);
        book.add("first.csv", sat(exam, "Ann", "RRRRRR"));
        QList<ExamAnswer> second = sat(exam, "Ben", "RRRRRR");
        switch (K(kind)) {
        case K::otherExam:
            for (ExamAnswer& answer : second) {
                answer.examCode = QStringLiteral("PX-8AK9-P73D");
            }
            break;
        case K::duplicate:
            second = sat(exam, "  ann ", "WWWWWW");
            break;
        case K::retake:
            second += sat(exam, "Ben", "WWW").mid(1);
            for (ExamAnswer& answer : second.mid(6)) {
                answer.time.replace("10:", "11:");
            }
            break;
        case K::foreignItem:
            second[0].seed ^= 1;
            second[1].question = 3;
            break;
        default:
            second.clear();
        }
        book.add("second.csv", second);
        const GradebookResult result = book.result();
        QCOMPARE(int(result.learners.size()), learners);
        QCOMPARE(int(result.notices.size()), 1);
        QCOMPARE(int(result.notices[0].kind), kind);
        QCOMPARE(result.notices[0].source, QStringLiteral("second.csv"));
        QCOMPARE(result.learners[0].score, 6); // Ann, from the first file alone
        if (K(kind) == K::retake || K(kind) == K::foreignItem) {
            QCOMPARE(result.learners[1].score, 4 + (K(kind) == K::retake ? 2 : 0));
        }
    }

    // Answers kept by the store come back tagged, through a hand-in, byte for byte the same
    // answers; every change to the file is found.
    void handInRoundTrip_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<int>("problem");
        using P = HandIn::Problem;
        QTest::newRow("as written") << QByteArray() << QByteArray() << int(P::none);
        QTest::newRow("an answer changed")
            << QByteArray(",classic_") << QByteArray(",classic_1") << int(P::edited);
        QTest::newRow("cut short")
            << QByteArray("\r\nsha256,") << QByteArray("\r\n") << int(P::damaged);
        QTest::newRow("newer format")
            << QByteArray("pulsavo_hand_in,1") << QByteArray("pulsavo_hand_in,2") << int(P::tooNew);
        QTest::newRow("not a hand-in")
            << QByteArray("pulsavo_hand_in") << QByteArray("answers") << int(P::notHandIn);
    }

    void handInRoundTrip() {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(int, problem);
        QTemporaryDir folder;
        ProgressStore store(folder.filePath("answers.sqlite"));
        const Exam exam = exam6();
        const QString code = QString::fromStdString(exam.code);
        const QString learner = QStringLiteral("佐藤, \"Sato\"");
        for (const ExamAnswer& answer : sat(exam, learner, "RWH-RR")) {
            AnswerRecord record;
            record.shown = answer.shown;
            record.seed = answer.seed;
            record.answer = answer.answer;
            record.hinted = answer.hinted;
            record.answerMs = answer.answerMs;
            record.examCode = code;
            record.learner = answer.learner;
            record.question = answer.question;
            QVERIFY(store.recordAnswer(record) > 0);
        }
        store.recordAnswer({}); // not an exam answer
        const QList<ExamAnswer> kept = store.examAnswers(code).value();
        QCOMPARE(kept.size(), 5);
        QCOMPARE(kept[3].question, 5);
        QCOMPARE(kept[3].learner, learner);
        QVERIFY(HandIn::save(store, code, folder.filePath("hand-in.csv")));
        QVERIFY(!HandIn::save(store, QStringLiteral("PX-8AK9-P73D"), folder.filePath("none")));
        // The name offered keeps a typed name from making a path or a name a disk refuses.
        QCOMPARE(HandIn::suggestedName(code, learner), code + QStringLiteral("-佐藤, _Sato_.csv"));
        QCOMPARE(HandIn::suggestedName(code, QStringLiteral("../a\\b:\t")),
                 code + QStringLiteral("-.._a_b__.csv"));
        QFile file(folder.filePath("hand-in.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        QCOMPARE(bytes, HandIn::write(code, kept));
        if (!from.isEmpty()) {
            bytes.replace(bytes.indexOf(from), from.size(), to);
        }
        const HandIn::Contents read = HandIn::read(bytes);
        QCOMPARE(int(read.problem), problem);
        if (read.problem == HandIn::Problem::none) {
            QCOMPARE(read.examCode, code);
            QCOMPARE(HandIn::write(code, read.answers), bytes);
            Gradebook book(exam);
            book.add(folder.filePath("hand-in.csv"), read.answers);
            QCOMPARE(book.result().learners.at(0).score, 3);
        }
    }
};

QTEST_GUILESS_MAIN(GradebookTest)
#include "tst_gradebook.moc"
