#include "ScenarioVitals.h"

#include <QTest>

using namespace pulsavo;

Q_DECLARE_METATYPE(pulsavo::ScenarioVitals)

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
    QTest::newRow("highest") << "300/250" << 300 << 250;
    QTest::newRow("equal") << "80/80" << 0 << 0;
    QTest::newRow("too high") << "320/100" << 0 << 0;
    QTest::newRow("too low") << "25/8" << 0 << 0;
    QTest::newRow("no slash") << "120" << 0 << 0;
    QTest::newRow("signs") << "+120/80" << 0 << 0;
    QTest::newRow("trailing") << "120/80/60" << 0 << 0;
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

// One value out of range is named; values at the edges pass.
void TestScenarioVitals::problems_data() {
    QTest::addColumn<ScenarioVitals>("vitals");
    QTest::addColumn<QString>("problem"); // empty: accepted
    const BloodPressure edge{30, 10, std::nullopt};
    QTest::newRow("none set") << ScenarioVitals{} << "";
    QTest::newRow("edges") << ScenarioVitals{0, edge, 0} << "";
    QTest::newRow("SpO2 over 100") << ScenarioVitals{101, {}, {}} << "SpO2 101 lies outside";
    QTest::newRow("NIBP inverted")
        << ScenarioVitals{{}, BloodPressure{70, 90, {}}, {}} << "NIBP 70/90 is not";
    QTest::newRow("respiration") << ScenarioVitals{{}, {}, 100} << "respiration rate 100 lies";
}

void TestScenarioVitals::problems() {
    QFETCH(ScenarioVitals, vitals);
    QFETCH(QString, problem);
    const auto found = vitalsProblem(vitals);
    QCOMPARE(QString::fromStdString(found.value_or("")).left(problem.size()), problem);
    QCOMPARE(found.has_value(), !problem.isEmpty());
}

QTEST_APPLESS_MAIN(TestScenarioVitals)
#include "tst_scenariovitals.moc"
