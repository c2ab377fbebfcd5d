#include "StripFacts.h"

#include "RhythmLibrary.h"

#include <QTest>

#include <optional>

using namespace pulsavo;

Q_DECLARE_METATYPE(pulsavo::Rhythm)
Q_DECLARE_METATYPE(pulsavo::PWaves)

namespace {

// -1: the strip has none; 0: any value.
constexpr int none = -1;
constexpr int any = 0;

bool matches(const std::optional<int>& value, int expected) {
    return expected == none ? !value.has_value()
                            : value.has_value() && (expected == any || *value == expected);
}

} // namespace

// The answer key's figures, read off each question's printed strip from its own waves.
class TestStripFacts : public QObject {
    Q_OBJECT

private slots:
    void factsAreMeasuredFromTheStrip_data();
    void factsAreMeasuredFromTheStrip();
    void wavesCutByTheStripsEdgesAreLeftOut();
};

void TestStripFacts::factsAreMeasuredFromTheStrip_data() {
    QTest::addColumn<Rhythm>("rhythm");
    QTest::addColumn<uint>("seed");
    QTest::addColumn<QList<int>>("figures"); // atrial rate, ventricular rate, PR, QRS
    QTest::addColumn<bool>("prVaries");
    QTest::addColumn<PWaves>("pWaves");
    // Classic sinus rhythm from seed 42: 100 ticks a beat, P 8 and 4 flat ticks before the QRS.
    QTest::newRow("classic sinus")
        << Rhythm::sinusRhythm << 42U << QList<int>{60, 60, 120, 80} << false << PWaves::normal;
    const auto row = [](const char* name, LibraryRhythm rhythm, uint seed, int pr, bool varies,
                        PWaves waves) {
        const int rate = rhythm == LibraryRhythm::vfCoarse ? none : any;
        QTest::newRow(name) << rhythmOf(rhythm) << seed
                            << QList<int>{waves == PWaves::none ? none : any, rate, pr, rate}
                            << varies << waves;
    };
    row("first-degree block", LibraryRhythm::avBlock1, 7, any, false, PWaves::normal);
    row("Wenckebach", LibraryRhythm::mobitz1, 3, any, true, PWaves::moreThanQrs);
    row("2:1 block", LibraryRhythm::avBlock2to1, 3, any, false, PWaves::moreThanQrs);
    row("complete block", LibraryRhythm::chbNarrow, 7, none, false, PWaves::moreThanQrs);
    row("MAT", LibraryRhythm::mat, 7, any, true, PWaves::abnormal);
    row("flutter", LibraryRhythm::flutter4to1, 7, none, false, PWaves::flutter);
    row("AF", LibraryRhythm::afRapid, 7, none, false, PWaves::fibrillatory);
    row("VF", LibraryRhythm::vfCoarse, 7, none, false, PWaves::none);
}

void TestStripFacts::factsAreMeasuredFromTheStrip() {
    QFETCH(Rhythm, rhythm);
    QFETCH(uint, seed);
    QFETCH(QList<int>, figures);
    QFETCH(bool, prVaries);
    QFETCH(PWaves, pWaves);
    const StripFacts facts = examQuestionFacts(rhythm, seed);
    QCOMPARE(static_cast<int>(facts.pWaves), static_cast<int>(pWaves));
    const std::optional<int> measured[] = {facts.atrialRate, facts.ventricularRate, facts.prMs,
                                           facts.qrsMs};
    for (qsizetype i = 0; i < figures.size(); ++i) {
        QVERIFY2(matches(measured[i], figures[i]), qPrintable(QString::number(i)));
    }
    QCOMPARE(facts.prVaries, prVaries);
    // What each rhythm is known by, as a learner reads it off the strip.
    if (rhythm == rhythmOf(LibraryRhythm::avBlock1)) {
        QVERIFY(*facts.prMs > 200);
        QCOMPARE(facts.atrialRate, facts.ventricularRate);
    } else if (rhythm == rhythmOf(LibraryRhythm::mobitz1)) {
        QVERIFY(*facts.prMaxMs - *facts.prMs >= 100);
        QVERIFY(*facts.atrialRate > *facts.ventricularRate);
    } else if (rhythm == rhythmOf(LibraryRhythm::chbNarrow)) {
        QVERIFY(*facts.atrialRate > *facts.ventricularRate);
    } else if (rhythm == rhythmOf(LibraryRhythm::afRapid)) {
        QVERIFY(*facts.atrialRate >= 350);
        QVERIFY(*facts.ventricularRate > 100);
    }
}

void TestStripFacts::wavesCutByTheStripsEdgesAreLeftOut() {
    // Three P waves of which the last runs past the strip's end: one P-P of 80 ticks.
    const std::vector<WaveEvent> events{{10, WaveKind::p, WaveRole::blocked, 8, 1},
                                        {90, WaveKind::p, WaveRole::blocked, 8, 2},
                                        {195, WaveKind::p, WaveRole::blocked, 8, 3}};
    QCOMPARE(measureStrip(events, 1, 200).atrialRate, std::optional<int>(75));
    QCOMPARE(measureStrip(events, 11, 200).atrialRate, std::nullopt);
}

QTEST_APPLESS_MAIN(TestStripFacts)
#include "tst_stripfacts.moc"
