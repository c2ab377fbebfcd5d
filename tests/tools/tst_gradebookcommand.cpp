// pulsavo-strip progress --export and gradebook as a user runs them: exit status, one line
// per bad file on stderr, and the CSV written whole or not at all.
#include "ExamCode.h"
#include "ProgressStore.h"

#include "ToolRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace pulsavo;

namespace {

const Exam exam = makeExam(4, 99).exam;

// `learner` answers every question, the first wrong; empty: an answer kept before learners
// were recorded.
void keep(const QString& path, const QString& learner) {
    ProgressStore store(path);
    for (std::size_t k = 0; k < exam.questions.size(); ++k) {
        AnswerRecord record;
        record.shown = exam.questions[k].rhythm;
        record.seed = exam.questions[k].seed;
        record.answer = k == 0 ? exam.questions[1].rhythm : record.shown;
        record.examCode = QString::fromStdString(exam.code);
        record.learner = learner;
        record.question = learner.isEmpty() ? 0 : int(k) + 1;
        QVERIFY(store.recordAnswer(record) > 0);
    }
}

} // namespace

class GradebookCommandTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(folder.isValid());
        keep(folder.filePath("a.sqlite"), QStringLiteral("Ann"));
        keep(folder.filePath("b.sqlite"), {});
        setup.directory = folder.path();
        const testing::ToolRun exported =
            testing::runTool(PULSAVO_STRIP,
                             {"progress", "--db", "a.sqlite", "--exam",
                              QString::fromStdString(exam.code).toLower(), "--export", "ann.csv"},
                             setup);
        QVERIFY2(exported.exitCode == 0, exported.err.constData());
        QFile handIn(folder.filePath("ann.csv"));
        QVERIFY(handIn.open(QIODevice::ReadOnly));
        QByteArray bytes = handIn.readAll();
        QFile edited(folder.filePath("edited.csv"));
        QVERIFY(edited.open(QIODevice::WriteOnly));
        edited.write(bytes.replace("Ann,", "Bob,"));
        QFile junk(folder.filePath("junk.txt"));
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("learner,question\n") > 0);
    }

    void run_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("errors"); // each on a line of its own, in this order
        QTest::addColumn<int>("learners");       // in the CSV; -1: no CSV written
        const QString code = QString::fromStdString(exam.code);
        QTest::newRow("hand-in and an old database")
            << QStringList{"--exam", code, "ann.csv", "b.sqlite"} << 0 << QStringList() << 2;
        QTest::newRow("one learner in two files")
            << QStringList{"--exam", code, "ann.csv", "a.sqlite"} << 0
            << QStringList{"'a.sqlite': learner 'Ann' was already graded from 'ann.csv'"} << 1;
        QTest::newRow("an edited hand-in")
            << QStringList{"--exam", code, "edited.csv", "b.sqlite"} << 0
            << QStringList{"'edited.csv': the checksum does not match"} << 1;
        QTest::newRow("nothing to grade")
            << QStringList{"--exam", code, "edited.csv", "none.sqlite", "junk.txt"} << 2
            << QStringList{"'edited.csv': the checksum", "'none.sqlite': no such file",
                           "'junk.txt': neither", "nothing could be graded"}
            << -1;
        QTest::newRow("another exam")
            << QStringList{"--exam", "PX-8AK9-P73D", "ann.csv"} << 2
            << QStringList{"'ann.csv': answers of another exam (" + code + ")",
                           "nothing could be graded"}
            << -1;
        QTest::newRow("output over an input")
            << QStringList{"--exam", code, "--pdf", "a.sqlite-wal", "a.sqlite"} << 2
            << QStringList{"would replace the answers database"} << -1;
    }

    void run() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QStringList, errors);
        QFETCH(int, learners);
        QFile::remove(folder.filePath("out.csv"));
        const testing::ToolRun ran = testing::runTool(
            PULSAVO_STRIP, QStringList{"gradebook", "--csv", "out.csv", "--lang", "en"} + args,
            setup);
        QCOMPARE(ran.exitCode, status);
        const QList<QByteArray> lines = ran.err.split('\n');
        QCOMPARE(lines.size() - 1, errors.size());
        for (qsizetype i = 0; i < errors.size(); ++i) {
            QVERIFY2(lines[i].contains(errors[i].toUtf8()), lines[i].constData());
        }
        QFile csv(folder.filePath("out.csv"));
        QCOMPARE(csv.exists(), learners >= 0);
        if (learners >= 0) {
            QVERIFY(csv.open(QIODevice::ReadOnly));
            QCOMPARE(csv.readAll().count("\r\n"), 1 + learners * exam.count);
            QVERIFY2(ran.out.contains("3/4      75       -"), ran.out.constData());
        }
    }

private:
    QTemporaryDir folder;
    testing::ToolSetup setup;
};

QTEST_GUILESS_MAIN(GradebookCommandTest)
#include "tst_gradebookcommand.moc"
