#include "TrainerApp.h"

#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    // Without a display the trainer exits 1 with one line: the first message not blank, else Qt's
    // own first line, controls escaped. Rows without an environment test that rule alone.
    void startWithoutADisplaySaysWhyInOneLine_data() {
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no X server") << u"QT_QPA_PLATFORM=xcb DISPLAY=:no"_s << QStringList{}
                                     << u"could not connect to display :no"_s;
        QTest::newRow("no such platform")
            << u"QT_QPA_PLATFORM=none"_s << QStringList{}
            << u"Could not find the Qt platform plugin \"none\" in \"\""_s;
        QTest::newRow("controls in DISPLAY")
            << u"QT_QPA_PLATFORM=xcb DISPLAY=:7\x1b[31m\n7\t"_s << QStringList{}
            << u"could not connect to display :7\\x1b[31m\\x0a7"_s;
        QTest::newRow("a blank message skipped")
            << QString() << QStringList{u"  "_s, u"no plugin"_s} << u"no plugin"_s;
        QTest::newRow("no message") << QString() << QStringList{} << u"Qt failed."_s;
    }
    void startWithoutADisplaySaysWhyInOneLine() {
        QFETCH(QString, environment);
        QFETCH(QStringList, messages);
        QFETCH(QString, reason);
        const QString line = "pulsavo: cannot open a window: "_L1 + reason +
                             "; pulsavo-strip works without a display\n"_L1;
        if (environment.isEmpty()) {
            QCOMPARE(pulsavo::noDisplayLine(messages, u"Qt failed.\n\nPlugins: xcb.\n"_s), line);
            return;
        }
        QProcess trainer;
        trainer.setEnvironment(environment.split(u' ') << u"LANG=C.UTF-8"_s); // nothing else
        trainer.start(QStringLiteral(PULSAVO_EXE), {});
        QVERIFY(trainer.waitForFinished(30000));
        QVERIFY(trainer.exitStatus() == QProcess::NormalExit && trainer.exitCode() == 1 &&
                trainer.readAllStandardOutput().isEmpty());
        QCOMPARE(QString::fromUtf8(trainer.readAllStandardError()), line);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
