// pulsavo-strip progress --export and gradebook as a user runs them: exit status, one line
// per bad file on stderr, and the CSV written whole or not at all.
#include "ExamClass.h"
#include "ToolRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace pulsavo;

namespace {

const Exam exam = makeExam(4, 99).exam;

} // namespace

class GradebookCommandTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(folder.isValid());
        // Every question answered, the first wrong; b's kept before learners were recorded.
        QVERIFY(testing::keep(folder.filePath("a.sqlite"), testing::sat(exam, "Ann", "WRRR")));
        QVERIFY(testing::keep(folder.filePath("b.sqlite"), testing::sat(exam, {}, "WRRR", false)));
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
        for (const auto& [name, contents] :
             {std::pair{"edited.csv", bytes.replace("Ann,", "Bob,")},
              std::pair{"junk.txt", QByteArray("learner,question\n")}}) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        }
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
