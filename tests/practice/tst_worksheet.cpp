#include "RhythmLibrary.h"
#include "Worksheet.h"

#include <QTest>

using namespace pulsavo;

Q_DECLARE_METATYPE(pulsavo::WorksheetTruth)
Q_DECLARE_METATYPE(pulsavo::WorksheetAnswer)

namespace {

const Rhythm flutter = rhythmOf(LibraryRhythm::flutter4to1);

// Atrial flutter with 4:1 conduction as the model measures one strip of it, and a learner who
// gets everything right.
const WorksheetTruth truth{300, 75, PWaves::flutter, {}, 90, flutter, traitsOf(flutter)};
const WorksheetAnswer right{300, 75,      Regularity::regular, PWaves::flutter, PrReading{},
                            90,  flutter, NextStep::assess};

bool accepts(LibraryRhythm rhythm, auto value) {
    return traitsOf(rhythmOf(rhythm)).accepts(value);
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
    QTest::addColumn<WorksheetTruth>("truth");
    QTest::addColumn<WorksheetAnswer>("answer");
    QTest::addColumn<int>("wrong"); // the field marked wrong; -1: none
    using A = WorksheetAnswer;
    using F = WorksheetField;
    using P = PrReading;
    const auto row = [](F field, const WorksheetTruth& t, const WorksheetAnswer& answer) {
        static int row = 0;
        QTest::addRow("%d: field %d", ++row, int(field)) << t << answer << int(field);
    };
    const auto with = [](auto member, auto value) {
        WorksheetAnswer answer = right;
        answer.*member = value;
        return answer;
    };
    WorksheetTruth varies = truth; // a PR that varies, whatever number was in mind
    varies.pr = {P::Kind::varies, 160};
    WorksheetTruth noAtria = truth; // where the atria show nothing, the empty field is right
    noAtria.atrialRate.reset();
    row(F(-1), truth, right);
    row(F::atrialRate, truth, with(&A::atrialRate, 331)); // 10 % of 300 is 30
    row(F::ventricularRate, truth, with(&A::ventricularRate, std::nullopt));
    row(F::regularity, truth, with(&A::regularity, Regularity::irregularlyIrregular));
    row(F::pWaves, truth, with(&A::pWaves, PWaves::fibrillatory));
    row(F::pr, truth, with(&A::pr, P{P::Kind::ms, 160})); // a PR where there is none
    row(F::qrs, truth, with(&A::qrsMs, 140));             // 50 ms too wide
    row(F::rhythm, truth, with(&A::rhythm, rhythmOf(LibraryRhythm::flutter2to1)));
    row(F::nextStep, truth, with(&A::nextStep, NextStep::defibrillate));
    row(F(-1), varies, with(&A::pr, P{P::Kind::varies, 0}));
    row(F::pr, varies, with(&A::pr, P{P::Kind::ms, 160}));
    row(F(-1), noAtria, with(&A::atrialRate, std::nullopt));
    row(F::atrialRate, noAtria, right);
    // Fibrillating atria: "unmeasurable" is right there, and only there.
    WorksheetTruth fibrillating = truth;
    fibrillating.pWaves = PWaves::fibrillatory;
    fibrillating.atrialRate = 420;
    const WorksheetAnswer unmeasurable = with(&A::atrialUnmeasurable, true);
    row(F::pWaves, fibrillating, unmeasurable);
    row(F::pWaves, fibrillating, with(&A::atrialRate, 400)); // a count within 10 % still is
    row(F::atrialRate, truth, unmeasurable);
    row(F::atrialRate, noAtria, unmeasurable);
}

void TestWorksheet::oneFieldWrongMarksOnlyThatField() {
    QFETCH(WorksheetTruth, truth);
    QFETCH(WorksheetAnswer, answer);
    QFETCH(int, wrong);
    const WorksheetMarks marks = markWorksheet(truth, answer);
    for (int f = 0; f < worksheetFieldCount; ++f) {
        QVERIFY2(marks[std::size_t(f)] == (f != wrong), qPrintable(QString::number(f)));
    }
}

void TestWorksheet::tolerances() {
    // 10 per minute below 100, 10 % above; one small square either way.
    QVERIFY(rateIsRight(60, 70) && !rateIsRight(60, 71) && rateIsRight(60, 50));
    QVERIFY(rateIsRight(200, 220) && !rateIsRight(200, 221));
    QVERIFY(!rateIsRight(60, std::nullopt) && !rateIsRight(std::nullopt, 60));
    QVERIFY(intervalIsRight(200, 240) && intervalIsRight(200, 160) && !intervalIsRight(200, 241));
}

void TestWorksheet::regularityAndNextStepFollowTheRhythm() {
    using L = LibraryRhythm;
    // Premature beats now and then: either kind of irregular, never regular.
    QVERIFY(accepts(L::pvcUnifocal, Regularity::regularlyIrregular) &&
            accepts(L::pvcUnifocal, Regularity::irregularlyIrregular) &&
            !accepts(L::pvcUnifocal, Regularity::regular));
    QVERIFY(accepts(L::afControlled, Regularity::irregularlyIrregular) &&
            !accepts(L::afControlled, Regularity::regularlyIrregular));
    // Shock VF, never asystole; check VT for a pulse or shock it; pace a complete block.
    QVERIFY(accepts(L::vfFine, NextStep::defibrillate) &&
            !accepts(L::asystole, NextStep::defibrillate) && accepts(L::asystole, NextStep::cpr));
    QVERIFY(accepts(L::vtMonomorphic, NextStep::assess) &&
            accepts(L::vtMonomorphic, NextStep::defibrillate) &&
            !accepts(L::vtMonomorphic, NextStep::observe));
    QVERIFY(accepts(L::chbWide, NextStep::pace) && !accepts(L::sinusRhythm, NextStep::cardiovert));
    for (int index = 0; index < totalRhythmCount; ++index) {
        QVERIFY(traitsOf(*anyRhythmAt(index)).nextSteps != 0); // always some next step
    }
}

QTEST_APPLESS_MAIN(TestWorksheet)
#include "tst_worksheet.moc"
