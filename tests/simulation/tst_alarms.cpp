#include "Alarms.h"

#include <QTest>

#include <array>

using namespace pulsavo;

Q_DECLARE_METATYPE(pulsavo::VitalSigns)

namespace {

// A heart rate, the findings named in `flags` and a saturation.
VitalSigns rate(std::optional<int> perMinute, const QString& flags = {},
                std::optional<int> saturation = {}) {
    VitalSigns vitals;
    vitals.heartRate = perMinute;
    vitals.asystole = flags.contains("asystole");
    vitals.fibrillation = flags.contains("fibrillation");
    vitals.ventricularTachycardia = flags.contains("tachycardia");
    vitals.leadOff = flags.contains("leadOff");
    vitals.noise = flags.contains("noise");
    vitals.saturation = saturation;
    return vitals;
}

// Pulses (rising edges of the tone) over `ticks` steps of the same vitals.
int pulses(Alarms& alarms, const VitalSigns& vitals, int ticks) {
    int count = 0;
    bool before = alarms.toneOn();
    for (int i = 0; i < ticks; ++i) {
        alarms.step(vitals);
        count += alarms.toneOn() && !before ? 1 : 0;
        before = alarms.toneOn();
    }
    return count;
}

} // namespace

class AlarmsTest : public QObject {
    Q_OBJECT
private slots:
    void triggers_data();
    void triggers();
    void silenceAndLatching();
};

void AlarmsTest::triggers_data() {
    QTest::addColumn<VitalSigns>("vitals");
    QTest::addColumn<int>("alarm");    // the one alarm shown, -1 none
    QTest::addColumn<int>("priority"); // -1 none
    QTest::addColumn<int>("pulses");   // in the first 8.3 s
    using enum Alarm;
    QTest::newRow("normal") << rate(75) << -1 << -1 << 0;
    QTest::newRow("at the low limit") << rate(50) << -1 << -1 << 0;
    QTest::newRow("under it") << rate(49) << int(heartRateLow) << 1 << 3;
    QTest::newRow("over the high limit") << rate(121) << int(heartRateHigh) << 1 << 3;
    QTest::newRow("extreme brady") << rate(39) << int(extremeBradycardia) << 2 << 10;
    QTest::newRow("extreme tachy") << rate(161) << int(extremeTachycardia) << 2 << 10;
    QTest::newRow("asystole") << rate({}, "asystole") << int(asystole) << 2 << 10;
    QTest::newRow("VF") << rate({}, "fibrillation") << int(ventricularFibrillation) << 2 << 10;
    QTest::newRow("VT") << rate(140, "tachycardia") << int(ventricularTachycardia) << 2 << 10;
    QTest::newRow("lead off hides asystole")
        << rate({}, "asystole leadOff") << int(leadOff) << 1 << 3;
    QTest::newRow("noise") << rate(75, "noise") << int(noise) << 0 << 2;
    QTest::newRow("SpO2 low, after 10 s") << rate(75, "", 85) << int(saturationLow) << 1 << 0;
}

// Each condition shows its one alarm at its IEC 60601-1-8 priority and sounds that priority's
// burst: 10 pulses for high, 3 for medium, 2 for low.
void AlarmsTest::triggers() {
    QFETCH(VitalSigns, vitals);
    QFETCH(int, alarm);
    QFETCH(int, priority);
    QFETCH(int, pulses);
    Alarms alarms;
    QCOMPARE(::pulses(alarms, vitals, 830), pulses);
    const bool delayed = alarm == int(Alarm::saturationLow);
    if (delayed) {
        QVERIFY(!alarms.any());
        ::pulses(alarms, vitals, 200);
    }
    for (int i = 0; i < alarmCount; ++i) {
        QCOMPARE(alarms.shows(Alarm(i)), i == alarm);
    }
    QCOMPARE(alarms.highest() ? int(*alarms.highest()) : -1, priority);
    if (priority >= 0) {
        alarms.step(rate(75)); // gone: it latches or not
        QCOMPARE(alarms.any(), infoOf(Alarm(alarm)).latches);
        // Its light over 8 s: high flashes at 2 Hz, medium at 0.625 Hz, lit half the time;
        // low stays lit.
        int lit = 0;
        int changes = 0;
        for (int tick = 0; tick < 800; ++tick) {
            const auto shown = AlarmPriority(priority);
            lit += lampLit(shown, tick) ? 1 : 0;
            changes += lampLit(shown, tick) != lampLit(shown, tick + 1) ? 1 : 0;
        }
        constexpr std::array flashes{0, 10, 32};
        QCOMPARE(changes, flashes[std::size_t(priority)]);
        QCOMPARE(lit, changes > 0 ? 400 : 800);
    }
}

// Silence pauses the tone for two minutes and clears a latched alarm whose condition is gone;
// one that comes during the pause sounds at once, a higher priority from its burst's start.
void AlarmsTest::silenceAndLatching() {
    Alarms alarms;
    const VitalSigns arrest = rate({}, "asystole");
    pulses(alarms, rate(45), 300);
    alarms.silence();
    QVERIFY(alarms.silenced() && alarms.shows(Alarm::heartRateLow));
    QCOMPARE(pulses(alarms, rate(45), Alarms::silenceTicks - 1), 0);
    QCOMPARE(pulses(alarms, rate(45), 900), 3);

    alarms.silence();
    alarms.step(arrest);
    QVERIFY(!alarms.silenced() && alarms.toneOn());
    QCOMPARE(pulses(alarms, rate(75), 829), 9);
    QVERIFY(alarms.shows(Alarm::asystole));
    alarms.silence();
    QVERIFY(!alarms.any());
    alarms.step(rate(75));
    QVERIFY(!alarms.any() && !alarms.toneOn());
}

QTEST_APPLESS_MAIN(AlarmsTest)
#include "tst_alarms.moc"
