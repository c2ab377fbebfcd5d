#include "WardWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace pulsavo;

namespace {

struct SilentBeat : ToneSink {
    void sound() override {}
};

// What the window asks of its alarm sound, as the pattern playing (-1 still).
struct HeardAlarm : AlarmSink {
    int* playing;
    explicit HeardAlarm(int* playing) : playing(playing) {}
    void play(AlarmPriority priority, int) override { *playing = int(priority); }
    void stop() override { *playing = -1; }
    bool audible() const override { return false; }
};

std::unique_ptr<WardWindow> makeWindow(int* playing) {
    return std::make_unique<WardWindow>(std::make_unique<SilentBeat>(),
                                        std::make_unique<HeardAlarm>(playing));
}

} // namespace

class WardWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void readingsAndAlarms_data();
    void readingsAndAlarms();
    void silenceCountsDownAndSettingsStay();
    void damagedSettingsGiveDefaults();

private:
    QTemporaryDir settingsDir;
};

void WardWindowTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
}

void WardWindowTest::readingsAndAlarms_data() {
    QTest::addColumn<QString>("rhythm");
    QTest::addColumn<QString>("artifact");
    QTest::addColumn<QString>("heartRate"); // a number, or "---"
    QTest::addColumn<QString>("saturation");
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<int>("sounding");
    QTest::newRow("sinus") << "sinus_rhythm"
                           << ""
                           << "number"
                           << "98"
                           << "" << -1;
    QTest::newRow("asystole") << "asystole"
                              << ""
                              << "---"
                              << "---"
                              << "!!! 心静止" << 2;
    QTest::newRow("VF under CPR") << "vf_coarse"
                                  << "cpr"
                                  << "---"
                                  << "---"
                                  << "!!! 心室細動" << 2;
    QTest::newRow("PEA: a rate, no pulse") << "pea"
                                           << ""
                                           << "number"
                                           << "---"
                                           << "" << -1;
    QTest::newRow("lead off") << "sinus_rhythm"
                              << "lead_off"
                              << "---"
                              << "98"
                              << "!! リードオフ" << 1;
}

// After 15 s the numerics and the alarm shown follow the rhythm and the artifact, and the
// alarm's pattern is the one played.
void WardWindowTest::readingsAndAlarms() {
    QFETCH(QString, rhythm);
    QFETCH(QString, artifact);
    QFETCH(QString, heartRate);
    QFETCH(QString, saturation);
    QFETCH(QString, alarm);
    QFETCH(int, sounding);
    int playing = -1;
    auto window = makeWindow(&playing);
    window->play(*parseRhythmId(rhythm.toStdString()), 5);
    for (const ArtifactKind kind : allArtifactKinds) {
        window->setArtifact(kind, QString::fromLatin1(artifactName(kind)) == artifact ? 5 : 0);
    }
    window->monitorClock().advance(1500);
    if (heartRate == "number") {
        QVERIFY(window->heartRateText().toInt() > 20);
    } else {
        QCOMPARE(window->heartRateText(), heartRate);
    }
    QCOMPARE(window->findChild<QLabel*>("saturationValue")->text(), saturation);
    QVERIFY2(alarm.isEmpty() ? window->alarmText().isEmpty()
                             : window->alarmText().startsWith(alarm),
             qPrintable(window->alarmText()));
    QCOMPARE(playing, sounding);
}

// The silence button stops the tone and counts two minutes down; a new window comes back with
// the rhythm, the artifact and the limits of the last.
void WardWindowTest::silenceCountsDownAndSettingsStay() {
    int playing = -1;
    {
        auto window = makeWindow(&playing);
        // 1366 x 768 at 200 %, less a panel and a title bar: the page scrolls.
        QVERIFY(window->minimumSizeHint().width() <= 683);
        QVERIFY(window->minimumSizeHint().height() <= 300);
        window->play(*parseRhythmId("asystole"), 2);
        for (const ArtifactKind kind : allArtifactKinds) {
            window->setArtifact(kind, kind == ArtifactKind::tremor ? 6 : 0);
        }
        AlarmLimits limits;
        limits.heartRateLow = 45;
        window->setLimits(limits);
        window->monitorClock().advance(600);
        QCOMPARE(playing, int(AlarmPriority::high));
        QTest::mouseClick(window->findChild<QWidget*>("silenceButton"), Qt::LeftButton);
        QCOMPARE(playing, -1);
        window->monitorClock().advance(100);
        QCOMPARE(window->findChild<QLabel*>("silenceLabel")->text(), "消音中 1:59");
        QVERIFY(window->alarmText().startsWith("!!! 心静止"));
        window->close();
    }
    auto again = makeWindow(&playing);
    QCOMPARE(again->monitor().simulation().rhythm(), parseRhythmId("asystole"));
    QCOMPARE(again->monitor().simulation().artifactLayer().strength(ArtifactKind::tremor), 6);
    QCOMPARE(again->monitor().alarms().currentLimits().heartRateLow, 45);
    QCOMPARE(again->findChild<QListWidget*>("artifactList")->count(), 1);
}

// What cannot be read is left at its default; a strength out of range is brought into it.
void WardWindowTest::damagedSettingsGiveDefaults() {
    QSettings raw(QStringLiteral("Pulsavo"), QStringLiteral("Pulsavo"));
    raw.setValue("ward/rhythm", "no_such_rhythm");
    raw.setValue("ward/artifact", "tremor:x,bogus:3,cpr:99");
    raw.setValue("ward/limits", "120,50,40,160,90");
    raw.sync();
    int playing = -1;
    auto window = makeWindow(&playing);
    QCOMPARE(window->monitor().simulation().rhythm(), parseRhythmId("sinus_rhythm"));
    const Artifact& laid = window->monitor().simulation().artifactLayer();
    QVERIFY(laid.strength(ArtifactKind::tremor) == 0 &&
            laid.strength(ArtifactKind::cpr) == Artifact::maxStrength);
    QVERIFY(window->monitor().alarms().currentLimits() == AlarmLimits());
}

QTEST_MAIN(WardWindowTest)
#include "tst_wardwindow.moc"
