#include "RhythmLibrary.h"
#include "Worksheet.h"

#include <QTest>

using namespace pulsavo;

Q_DECLARE_METATYPE(pulsavo::WorksheetAnswer)
Q_DECLARE_METATYPE(pulsavo::WorksheetField)

namespace {

// Atrial flutter with 4:1 conduction as the model measures one strip of it.
WorksheetTruth flutterTruth() {
    WorksheetTruth truth;
    truth.atrialRate = 300;
    truth.ventricularRate = 75;
    truth.pWaves = PWaves::flutter;
    truth.pr = {PrReading::Kind::none, 0};
    truth.qrsMs = 90;
    truth.rhythm = rhythmOf(LibraryRhythm::flutter4to1);
    truth.traits = traitsOf(truth.rhythm);
    return truth;
}

// A learner who gets everything right.
WorksheetAnswer rightAnswer() {
    WorksheetAnswer answer;
    answer.atrialRate = 300;
    answer.ventricularRate = 75;
    answer.regularity = Regularity::regular;
    answer.pWaves = PWaves::flutter;
    answer.pr = PrReading{PrReading::Kind::none, 0};
    answer.qrsMs = 90;
    answer.rhythm = rhythmOf(LibraryRhythm::flutter4to1);
    answer.nextStep = NextStep::assess;
    return answer;
}

} // namespace

// Each field is marked on its own, by the stated tolerances.
class TestWorksheet : public QObject {
    Q_OBJECT

private slots:
    void oneFieldWrongMarksOnlyThatField_data();
    void oneFieldWrongMarksOnlyThatField();
    void tolerances();
    void regularityAndNextStepFollowTheRhythm();
};

void TestWorksheet::oneFieldWrongMarksOnlyThatField_data() {
    QTest::addColumn<WorksheetAnswer>("answer");
    QTest::addColumn<int>("wrong"); // the field marked wrong; -1: none
    const WorksheetAnswer right = rightAnswer();
    QTest::newRow("all right") << right << -1;
    const auto with = [&right](auto change) {
        WorksheetAnswer answer = right;
        change(answer);
        return answer;
    };
    const auto field = [](WorksheetField f) { return static_cast<int>(f); };
    QTest::newRow("atrial rate off by 31 (10 % of 300 is 30)")
        << with([](auto& a) { a.atrialRate = 331; }) << field(WorksheetField::atrialRate);
    QTest::newRow("ventricular rate left empty") << with([](auto& a) { a.ventricularRate.reset(); })
                                                 << field(WorksheetField::ventricularRate);
    QTest::newRow("irregularly irregular")
        << with([](auto& a) { a.regularity = Regularity::irregularlyIrregular; })
        << field(WorksheetField::regularity);
    QTest::newRow("fibrillatory waves")
        << with([](auto& a) { a.pWaves = PWaves::fibrillatory; }) << field(WorksheetField::pWaves);
    QTest::newRow("a PR where there is none") << with([](auto& a) {
        a.pr = PrReading{PrReading::Kind::ms, 160};
    }) << field(WorksheetField::pr);
    QTest::newRow("QRS 50 ms too wide")
        << with([](auto& a) { a.qrsMs = 140; }) << field(WorksheetField::qrs);
    QTest::newRow("2:1 for 4:1") << with([](auto& a) {
        a.rhythm = rhythmOf(LibraryRhythm::flutter2to1);
    }) << field(WorksheetField::rhythm);
    QTest::newRow("defibrillate a flutter")
        << with([](auto& a) { a.nextStep = NextStep::defibrillate; })
        << field(WorksheetField::nextStep);
}

void TestWorksheet::oneFieldWrongMarksOnlyThatField() {
    QFETCH(WorksheetAnswer, answer);
    QFETCH(int, wrong);
    const WorksheetMarks marks = markWorksheet(flutterTruth(), answer);
    for (int f = 0; f < worksheetFieldCount; ++f) {
        QVERIFY2(marks[static_cast<std::size_t>(f)] == (f != wrong),
                 qPrintable(QStringLiteral("field %1").arg(f)));
    }
}

void TestWorksheet::tolerances() {
    // 10 per minute below 100, 10 % above.
    QVERIFY(rateIsRight(60, 70) && !rateIsRight(60, 71) && rateIsRight(60, 50));
    QVERIFY(rateIsRight(200, 220) && !rateIsRight(200, 221));
    QVERIFY(!rateIsRight(60, std::nullopt) && !rateIsRight(std::nullopt, 60));
    // One small square either way.
    QVERIFY(intervalIsRight(200, 240) && intervalIsRight(200, 160) && !intervalIsRight(200, 241));
    // "Varies" is right for a PR that varies whatever number was in mind; a number is not.
    WorksheetTruth wenckebach = flutterTruth();
    wenckebach.pr = {PrReading::Kind::varies, 160};
    WorksheetAnswer answer = rightAnswer();
    answer.pr = PrReading{PrReading::Kind::varies, 0};
    QVERIFY(markOf(markWorksheet(wenckebach, answer), WorksheetField::pr));
    answer.pr = PrReading{PrReading::Kind::ms, 160};
    QVERIFY(!markOf(markWorksheet(wenckebach, answer), WorksheetField::pr));
    // Where the atria show nothing, the empty field is the right one.
    WorksheetTruth vf = flutterTruth();
    vf.atrialRate.reset();
    answer.atrialRate.reset();
    QVERIFY(markOf(markWorksheet(vf, answer), WorksheetField::atrialRate));
    answer.atrialRate = 300;
    QVERIFY(!markOf(markWorksheet(vf, answer), WorksheetField::atrialRate));
}

void TestWorksheet::regularityAndNextStepFollowTheRhythm() {
    // Premature beats now and then: either kind of irregular, never regular.
    const RhythmTraits pvcs = traitsOf(rhythmOf(LibraryRhythm::pvcUnifocal));
    QVERIFY(pvcs.accepts(Regularity::regularlyIrregular) &&
            pvcs.accepts(Regularity::irregularlyIrregular) && !pvcs.accepts(Regularity::regular));
    const RhythmTraits af = traitsOf(rhythmOf(LibraryRhythm::afControlled));
    QVERIFY(af.accepts(Regularity::irregularlyIrregular) &&
            !af.accepts(Regularity::regularlyIrregular));
    // Shock VF, never asystole; check VT for a pulse or shock it; pace a complete block.
    QVERIFY(traitsOf(rhythmOf(LibraryRhythm::vfFine)).accepts(NextStep::defibrillate));
    QVERIFY(!traitsOf(rhythmOf(LibraryRhythm::asystole)).accepts(NextStep::defibrillate));
    QVERIFY(traitsOf(rhythmOf(LibraryRhythm::asystole)).accepts(NextStep::cpr));
    const RhythmTraits vt = traitsOf(rhythmOf(LibraryRhythm::vtMonomorphic));
    QVERIFY(vt.accepts(NextStep::assess) && vt.accepts(NextStep::defibrillate) &&
            !vt.accepts(NextStep::observe));
    QVERIFY(traitsOf(rhythmOf(LibraryRhythm::chbWide)).accepts(NextStep::pace));
    QVERIFY(!traitsOf(rhythmOf(LibraryRhythm::sinusRhythm)).accepts(NextStep::cardiovert));
    // Every rhythm accepts at least one next step.
    for (int index = 0; index < totalRhythmCount; ++index) {
        QVERIFY(traitsOf(*anyRhythmAt(index)).nextSteps != 0);
    }
}

QTEST_APPLESS_MAIN(TestWorksheet)
#include "tst_worksheet.moc"
