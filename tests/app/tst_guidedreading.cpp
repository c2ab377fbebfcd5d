#include "GuidedReading.h"
#include "Monitor.h"
#include "RhythmLibrary.h"

#include <QTest>

#include <algorithm>

using namespace pulsavo;
using Step = GuidedReading::Step;

Q_DECLARE_METATYPE(pulsavo::GuidedReading::Step)

namespace {

constexpr int stripTicks = 800;

// Eight seconds of Mobitz I as a frozen panel shows it.
GuidedReading mobitzRead(bool sixSecond) {
    Monitor monitor(stripTicks, 146, stripTicks);
    monitor.setEventHistory(true);
    monitor.select(rhythmOf(LibraryRhythm::mobitz1), 3);
    monitor.run(stripTicks);
    const std::vector<WaveEvent> events = monitor.events();
    return {events, 1, stripTicks, rhythmOf(LibraryRhythm::mobitz1), sixSecond};
}

} // namespace

// Each step of a guided read is checked against the strip's own waves at the worksheet's
// tolerances; the calipers shown are the strip's true intervals.
class TestGuidedReading : public QObject {
    Q_OBJECT
private slots:
    void stepsAreCheckedAtTheirEdges_data();
    void stepsAreCheckedAtTheirEdges();
    void wenckebachShowsItsLengtheningPr();
};

void TestGuidedReading::stepsAreCheckedAtTheirEdges_data() {
    QTest::addColumn<bool>("sixSecond");
    QTest::addColumn<Step>("step");
    QTest::addColumn<int>("offset"); // added to the true value (ignored for PR and choices)
    QTest::addColumn<int>("answer"); // taken as is when offset is 0
    QTest::addColumn<bool>("right");
    QTest::newRow("rate within 10/min") << false << Step::rate << 10 << 0 << true;
    QTest::newRow("rate 11/min off") << false << Step::rate << -11 << 0 << false;
    QTest::newRow("six seconds, one complex off") << true << Step::rate << 1 << 0 << true;
    QTest::newRow("six seconds, two off") << true << Step::rate << -2 << 0 << false;
    QTest::newRow("regularly irregular")
        << false << Step::regularity << 0 << int(Regularity::regularlyIrregular) << true;
    QTest::newRow("called regular")
        << false << Step::regularity << 0 << int(Regularity::regular) << false;
    QTest::newRow("more P than QRS")
        << false << Step::pWaves << 0 << int(PWaves::moreThanQrs) << true;
    QTest::newRow("P called normal") << false << Step::pWaves << 0 << int(PWaves::normal) << false;
    QTest::newRow("PR varies") << false << Step::pr << 0 << GuidedReading::prVaries << true;
    QTest::newRow("PR in ms") << false << Step::pr << 0 << 200 << false;
    QTest::newRow("PR none") << false << Step::pr << 0 << GuidedReading::prNone << false;
    QTest::newRow("QRS 40 ms off") << false << Step::qrs << 40 << 0 << true;
    QTest::newRow("QRS 50 ms off") << false << Step::qrs << -50 << 0 << false;
}

void TestGuidedReading::stepsAreCheckedAtTheirEdges() {
    QFETCH(bool, sixSecond);
    QFETCH(Step, step);
    QFETCH(int, offset);
    QFETCH(int, answer);
    QFETCH(bool, right);
    GuidedReading read = mobitzRead(sixSecond);
    while (read.step() != step) {
        QVERIFY(read.next());
    }
    const int value = offset != 0 ? *read.truth(step) + offset : answer;
    QCOMPARE(read.check(value), right);
    if (sixSecond) {
        // Every complex between the marks, about 8 at Wenckebach's sinus rate less the drops.
        QVERIFY(read.qrsInSixSeconds() >= 4 && read.qrsInSixSeconds() <= 8);
        QCOMPARE(read.sixTo() - read.sixFrom(), GuidedReading::sixSecondTicks);
    }
}

void TestGuidedReading::wenckebachShowsItsLengtheningPr() {
    GuidedReading read = mobitzRead(false);
    const std::vector<calipers::Caliper> pr = read.calipersFor(Step::pr, 10);
    QVERIFY(pr.size() >= 4);
    // Within a Wenckebach group the PR lengthens beat by beat; after the drop it is shortest.
    int lengthened = 0;
    for (std::size_t i = 1; i < pr.size(); ++i) {
        lengthened += pr[i].ms() > pr[i - 1].ms() ? 1 : 0;
        QVERIFY(pr[i].kind == calipers::Kind::pr && pr[i].from > pr[i - 1].from);
    }
    QVERIFY(lengthened >= 2);
    QCOMPARE(read.calipersFor(Step::qrs).size(), std::size_t(1));
    QCOMPARE(std::min_element(pr.begin(), pr.end(),
                              [](const auto& a, const auto& b) { return a.ms() < b.ms(); })
                 ->ms(),
             *read.facts().prMs);
    // The read ends with the name, and goes no further.
    while (read.next()) {
    }
    QVERIFY(read.step() == Step::name && read.check(indexOf(rhythmOf(LibraryRhythm::mobitz1))));
}

QTEST_MAIN(TestGuidedReading)
#include "tst_guidedreading.moc"
