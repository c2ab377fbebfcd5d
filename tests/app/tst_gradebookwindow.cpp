// The 採点 window over a small class: files graded off the window thread, each file left out
// named, the same CSV as pulsavo-strip's, remediation exams and how the window is started.
#include "ExamClass.h"
#include "GradebookReport.h"
#include "GradebookWindow.h"
#include "HandIn.h"
#include "TrainerApp.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace pulsavo;

class TestGradebookWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    }

    void startOptions_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("gradebook");
        QTest::addColumn<QStringList>("files"); // none for an error
        QTest::newRow("files") << QStringList{"--gradebook", "a.csv", "b.sqlite"} << true
                               << QStringList{"a.csv", "b.sqlite"};
        QTest::newRow("exam to grade")
            << QStringList{"--exam", "PX-8AK9-P73D", "--gradebook"} << true << QStringList{};
        QTest::newRow("files without --gradebook")
            << QStringList{"a.csv"} << false << QStringList{};
    }
    void startOptions() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, gradebook);
        QFETCH(QStringList, files);
        const StartOptions options = parseStartOptions(QStringList{"pulsavo"} + arguments);
        QCOMPARE(options.action,
                 gradebook ? StartOptions::Action::run : StartOptions::Action::error);
        QCOMPARE(options.gradebook, gradebook);
        QVERIFY(!options.practice); // --exam names the exam graded, not one to sit
        QCOMPARE(options.files, files);
    }

    void gradesAClassFromFiles() {
        ExamSettings settings;
        settings.hints = false;
        settings.passPercent = 80;
        const Exam exam = makeExam(8, 31, RhythmSet::library(), settings).exam;
        const QString code = QString::fromStdString(exam.code);
        QTemporaryDir folder;
        QFile handIn(folder.filePath("ann.csv"));
        QVERIFY(handIn.open(QIODevice::WriteOnly));
        handIn.write(HandIn::write(code, testing::sat(exam, "Ann", "RRRRRRRW")));
        handIn.close();
        QVERIFY(
            testing::keep(folder.filePath("ben.sqlite"), testing::sat(exam, "Ben", "RWWRRR--")));
        QFile junk(folder.filePath("junk.txt"));
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("not ours") > 0);
        junk.close();

        GradebookWindow window;
        window.setExamCode(code.toLower());
        window.addFiles({folder.filePath("ann.csv"), folder.filePath("ben.sqlite")});
        window.addFiles({folder.filePath("junk.txt"), folder.filePath("ann.csv")});
        window.finishGrading();
        QCOMPARE(window.files().size(), 3);
        const GradebookResult& result = window.result().value();
        QCOMPARE(window.findChild<QTableWidget*>("learnerTable")->rowCount(), 2);
        QCOMPARE(result.learners[1].score, 4);
        // The junk file and the one given twice, each named; nothing counted twice.
        const QString notices = window.findChild<QLabel*>("noticeLabel")->text();
        QCOMPARE(notices.count(u'\n'), 1);
        QVERIFY(notices.contains(QDir::toNativeSeparators(folder.filePath("junk.txt"))));
        QVERIFY(notices.contains(QDir::toNativeSeparators(folder.filePath("ann.csv"))));

        QVERIFY(window.saveCsv(folder.filePath("class.csv")));
        QFile csv(folder.filePath("class.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(), gradebookCsv(result, exam, catalogue::Language::japanese));
        QVERIFY(!window.savePdf(folder.filePath("no-such-folder/class.pdf")));
        QVERIFY(window.findChild<QLabel*>("noticeLabel")->text().contains("no-such-folder"));

        // Remediation: taken as the graded exam was, and offered to the practice window.
        QVERIFY(window.makeRemediation());
        const ExamResult remedial = parseExamCode(window.remediationCode().toStdString());
        QCOMPARE(remedial.exam.settings, settings);
        QCOMPARE(remedial.exam.count, exam.count);
        QVERIFY(remedial.exam.rhythms.contains(exam.questions[7].rhythm)); // none credited
        QSignalSpy asked(&window, &GradebookWindow::practiceRequested);
        window.findChild<QPushButton*>("openPracticeButton")->click();
        QCOMPARE(asked.value(0).value(0).toString(), window.remediationCode());

        // Dropped before a code is typed: the hand-in names its exam.
        GradebookWindow dropped;
        dropped.setExamCode({});
        dropped.addFiles({folder.filePath("junk.txt"), folder.filePath("ann.csv")});
        dropped.finishGrading();
        QCOMPARE(dropped.findChild<QLineEdit*>("examCodeEdit")->text(), code);
        QCOMPARE(dropped.result().value().learners.size(), 1U);
    }

private:
    QTemporaryDir settingsDir;
};

QTEST_MAIN(TestGradebookWindow)
#include "tst_gradebookwindow.moc"
