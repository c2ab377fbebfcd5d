// The trainer's start without a display: one line with Qt's own reason, exit status 1.
#include "TrainerApp.h"

#include <QProcess>
#include <QTest>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void noDisplayLineGivesQtsReason_data();
    void noDisplayLineGivesQtsReason();
    void startWithoutADisplaySaysWhyInOneLine_data();
    void startWithoutADisplaySaysWhyInOneLine();
};

namespace {
const QString fatal = QStringLiteral(
    "This application failed to start because no Qt platform plugin could be initialized. "
    "Reinstalling the application may fix this problem.\n\nAvailable platform plugins are: "
    "minimal, offscreen, xcb.\n");
const QString tail = QStringLiteral("; pulsavo-strip works without a display\n");
} // namespace

void TestStartup::noDisplayLineGivesQtsReason_data() {
    QTest::addColumn<QStringList>("platformMessages");
    QTest::addColumn<QString>("line");
    QTest::newRow("no X server")
        << QStringList{QStringLiteral("could not connect to display :77"),
                       QStringLiteral("Could not load the Qt platform plugin \"xcb\" in \"\" "
                                      "even though it was found.")}
        << QStringLiteral("could not connect to display :77");
    QTest::newRow("an empty message first")
        << QStringList{QStringLiteral("  "), QStringLiteral("Could not find the plugin \"x\"")}
        << QStringLiteral("Could not find the plugin \"x\"");
    QTest::newRow("no message about the window system")
        << QStringList{}
        << QStringLiteral("This application failed to start because no Qt platform plugin "
                          "could be initialized. Reinstalling the application may fix this "
                          "problem.");
    QTest::newRow("control characters from the environment")
        << QStringList{QStringLiteral("could not connect to display :7\x1b[31m\n7\t")}
        << QStringLiteral("could not connect to display :7\\x1b[31m\\x0a7");
}

void TestStartup::noDisplayLineGivesQtsReason() {
    QFETCH(QStringList, platformMessages);
    QFETCH(QString, line);
    QCOMPARE(pulsavo::noDisplayLine(platformMessages, fatal),
             QStringLiteral("pulsavo: cannot open a window: ") + line + tail);
}

void TestStartup::startWithoutADisplaySaysWhyInOneLine_data() {
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no X server") << QStringLiteral("xcb") << QStringLiteral(":nothing-here")
                                 << QStringLiteral("could not connect to display :nothing-here");
    QTest::newRow("no such window system")
        << QStringLiteral("no-such-platform") << QString()
        << QStringLiteral("Could not find the Qt platform plugin \"no-such-platform\" in \"\"");
}

void TestStartup::startWithoutADisplaySaysWhyInOneLine() {
    QFETCH(QString, platform);
    QFETCH(QString, display);
    QFETCH(QString, reason);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.remove(QStringLiteral("LANGUAGE"));
    environment.remove(QStringLiteral("LC_ALL"));
    QProcess trainer;
    trainer.setProcessEnvironment(environment);
    trainer.start(QStringLiteral(PULSAVO_EXE), {});
    QVERIFY(trainer.waitForFinished(30000));
    QCOMPARE(trainer.exitStatus(), QProcess::NormalExit);
    QCOMPARE(trainer.exitCode(), 1);
    QCOMPARE(trainer.readAllStandardOutput(), QByteArray());
    const QString error = QString::fromUtf8(trainer.readAllStandardError());
    QCOMPARE(error, QStringLiteral("pulsavo: cannot open a window: ") + reason + tail);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
