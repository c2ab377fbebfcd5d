#include "ScenarioVitals.h"

#include <QTest>

using namespace pulsavo;

class TestScenarioVitals : public QObject {
    Q_OBJECT
private slots:
    void bloodPressure_data();
    void bloodPressure();
    void problems_data();
    void problems();
};

void TestScenarioVitals::bloodPressure_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("systolic"); // 0: refused
    QTest::addColumn<int>("diastolic");
    QTest::newRow("plain") << "120/80" << 120 << 80;
    QTest::newRow("spaces") << " 90 / 60 " << 90 << 60;
    QTest::newRow("shock") << "60/30" << 60 << 30;
    QTest::newRow("highest") << "300/250" << 300 << 250;
    QTest::newRow("inverted") << "80/120" << 0 << 0;
    QTest::newRow("equal") << "80/80" << 0 << 0;
    QTest::newRow("too high") << "320/100" << 0 << 0;
    QTest::newRow("too low") << "25/8" << 0 << 0;
    QTest::newRow("no slash") << "120" << 0 << 0;
    QTest::newRow("signs") << "+120/80" << 0 << 0;
    QTest::newRow("fraction") << "120.5/80" << 0 << 0;
    QTest::newRow("trailing") << "120/80/60" << 0 << 0;
    QTest::newRow("empty half") << "/80" << 0 << 0;
    QTest::newRow("overflow") << "99999999999/80" << 0 << 0;
}

void TestScenarioVitals::bloodPressure() {
    QFETCH(QString, text);
    QFETCH(int, systolic);
    QFETCH(int, diastolic);
    const auto parsed = parseBloodPressure(text.toStdString());
    QCOMPARE(parsed.has_value(), systolic != 0);
    if (parsed) {
        QCOMPARE(parsed->systolic, systolic);
        QCOMPARE(parsed->diastolic, diastolic);
        QVERIFY(!parsed->takenAtTick);
        QCOMPARE(parseBloodPressure(formatBloodPressure(*parsed)), parsed);
    }
}

void TestScenarioVitals::problems_data() {
    QTest::addColumn<int>("saturation"); // -1: unset
    QTest::addColumn<int>("systolic");   // 0: unset
    QTest::addColumn<int>("diastolic");
    QTest::addColumn<int>("respiration"); // -1: unset
    QTest::addColumn<QString>("problem"); // empty: accepted
    QTest::newRow("none set") << -1 << 0 << 0 << -1 << "";
    QTest::newRow("all set") << 88 << 90 << 50 << 28 << "";
    QTest::newRow("edges") << 0 << 30 << 10 << 0 << "";
    QTest::newRow("SpO2 over 100") << 101 << 0 << 0 << -1 << "SpO2 101 lies outside 0..100 %";
    QTest::newRow("NIBP inverted") << -1 << 70 << 90 << -1 << "NIBP 70/90 is not a pressure";
    QTest::newRow("respiration 100") << -1 << 0 << 0 << 100 << "respiration rate 100 lies";
    QTest::newRow("respiration negative") << -1 << 0 << 0 << -3 << "respiration rate -3 lies";
}

void TestScenarioVitals::problems() {
    QFETCH(int, saturation);
    QFETCH(int, systolic);
    QFETCH(int, diastolic);
    QFETCH(int, respiration);
    QFETCH(QString, problem);
    ScenarioVitals vitals;
    if (saturation >= 0) {
        vitals.saturation = saturation;
    }
    if (systolic > 0) {
        vitals.bloodPressure = BloodPressure{systolic, diastolic, std::nullopt};
    }
    if (respiration != -1) {
        vitals.respirationRate = respiration;
    }
    const auto found = vitalsProblem(vitals);
    QCOMPARE(found.has_value(), !problem.isEmpty());
    if (found) {
        QVERIFY2(QString::fromStdString(*found).startsWith(problem), found->c_str());
    }
}

QTEST_APPLESS_MAIN(TestScenarioVitals)
#include "tst_scenariovitals.moc"
