#include "Catalogue.h"
#include "Difference.h"
#include "KeyPoints.h"
#include "StripFacts.h"

#include <QTest>

#include <string>

using namespace pulsavo;
using namespace pulsavo::catalogue;

Q_DECLARE_METATYPE(pulsavo::Rhythm)

// After a miss: one deciding sign per confused pair, and the strip's own facts beside the
// right rhythm's textbook range.
class TestDifference : public QObject {
    Q_OBJECT

private slots:
    void everyRhythmsConfusionsHaveACriterion_data();
    void everyRhythmsConfusionsHaveACriterion();
    void theModelsStripsFitTheirRange_data();
    void theModelsStripsFitTheirRange();
    void factsAreReadAtTheRangesEdges_data();
    void factsAreReadAtTheRangesEdges();
    void aPairWithoutARowFallsBackToTheFamily();
    void practiceKeyPointsNameTheFeatureNotTheColour();
};

void TestDifference::everyRhythmsConfusionsHaveACriterion_data() {
    QTest::addColumn<Rhythm>("rhythm");
    for (const LibraryRhythm rhythm : allLibraryRhythms) {
        QTest::newRow(infoOf(rhythm).id.data()) << rhythmOf(rhythm);
    }
    for (const Rhythm rhythm : allRhythms) {
        QTest::addRow("classic %d", indexOf(rhythm)) << rhythm;
    }
}

void TestDifference::everyRhythmsConfusionsHaveACriterion() {
    QFETCH(Rhythm, rhythm);
    const auto confusions = commonConfusions(taughtAs(rhythm));
    QVERIFY(!confusions.empty());
    for (const LibraryRhythm taken : confusions) {
        QVERIFY(rhythmOf(taken) != rhythm);
        const DecidingCriterion ja = decidingCriterion(rhythm, rhythmOf(taken));
        const DecidingCriterion en = decidingCriterion(rhythmOf(taken), rhythm, Language::english);
        QVERIFY2(ja.forThePair && en.forThePair, infoOf(taken).id.data());
        // Either way round, one row: the English is that row's, not another's.
        QCOMPARE(decidingCriterion(rhythmOf(taken), rhythm).text, ja.text);
        QVERIFY(ja.text.find("。") != std::string_view::npos);
        QVERIFY(en.text.ends_with('.') || en.text.ends_with(')'));
    }
}

void TestDifference::theModelsStripsFitTheirRange_data() {
    // The library plays textbook figures; the classic generators keep their own.
    QTest::addColumn<Rhythm>("rhythm");
    for (const LibraryRhythm rhythm : allLibraryRhythms) {
        QTest::newRow(infoOf(rhythm).id.data()) << rhythmOf(rhythm);
    }
}

void TestDifference::theModelsStripsFitTheirRange() {
    QFETCH(Rhythm, rhythm);
    const TextbookRange range = textbookRangeOf(rhythm);
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        const StripFacts strip = examQuestionFacts(rhythm, seed * 7919U);
        const MeasuredFacts facts{strip.ventricularRate, strip.prMs, strip.prVaries, strip.qrsMs};
        const FactFit fit = fitOf(facts, range);
        const QByteArray where = QStringLiteral("seed %1: rate %2 PR %3%4 QRS %5")
                                     .arg(seed * 7919U)
                                     .arg(facts.rate.value_or(-1))
                                     .arg(facts.prMs.value_or(-1))
                                     .arg(facts.prVaries ? "~" : "")
                                     .arg(facts.qrsMs.value_or(-1))
                                     .toUtf8();
        QVERIFY2(fit.rate, where.constData());
        QVERIFY2(fit.pr, where.constData());
        QVERIFY2(fit.qrs, where.constData());
    }
}

void TestDifference::factsAreReadAtTheRangesEdges_data() {
    QTest::addColumn<int>("rate"); // -1: none
    QTest::addColumn<int>("pr");
    QTest::addColumn<bool>("prVaries");
    QTest::addColumn<int>("qrs");
    QTest::addColumn<Rhythm>("rhythm");
    QTest::addColumn<QList<bool>>("fits"); // rate, PR, QRS
    const Rhythm sinus = rhythmOf(LibraryRhythm::sinusRhythm);
    QTest::newRow("sinus, lowest")
        << 60 << 120 << false << 119 << sinus << QList<bool>{true, true, true};
    QTest::newRow("sinus, highest")
        << 100 << 200 << false << 80 << sinus << QList<bool>{true, true, true};
    QTest::newRow("sinus, just outside")
        << 101 << 201 << false << 120 << sinus << QList<bool>{false, false, false};
    QTest::newRow("sinus, below") << 59 << 119 << false << 90 << sinus
                                  << QList<bool>{false, false, true};
    QTest::newRow("first degree at 201 ms")
        << 70 << 201 << false << 90 << rhythmOf(LibraryRhythm::avBlock1)
        << QList<bool>{true, true, true};
    QTest::newRow("first degree at 200 ms")
        << 70 << 200 << false << 90 << rhythmOf(LibraryRhythm::avBlock1)
        << QList<bool>{true, false, true};
    QTest::newRow("Wenckebach with a constant PR")
        << 70 << 160 << false << 90 << rhythmOf(LibraryRhythm::mobitz1)
        << QList<bool>{true, false, true};
    QTest::newRow("Wenckebach") << 70 << 160 << true << 90 << rhythmOf(LibraryRhythm::mobitz1)
                                << QList<bool>{true, true, true};
    QTest::newRow("VT at 120 ms") << 180 << -1 << false << 120
                                  << rhythmOf(LibraryRhythm::vtMonomorphic)
                                  << QList<bool>{true, true, true};
    QTest::newRow("VT, narrow") << 99 << 150 << false << 119
                                << rhythmOf(LibraryRhythm::vtMonomorphic)
                                << QList<bool>{false, false, false};
    QTest::newRow("VF with nothing to count")
        << -1 << -1 << false << -1 << rhythmOf(LibraryRhythm::vfFine)
        << QList<bool>{true, true, true};
    QTest::newRow("VF with a rate") << 200 << -1 << false << 120 << rhythmOf(LibraryRhythm::vfFine)
                                    << QList<bool>{false, true, false};
}

void TestDifference::factsAreReadAtTheRangesEdges() {
    QFETCH(int, rate);
    QFETCH(int, pr);
    QFETCH(bool, prVaries);
    QFETCH(int, qrs);
    QFETCH(Rhythm, rhythm);
    QFETCH(QList<bool>, fits);
    const auto given = [](int value) { return value < 0 ? std::nullopt : std::optional(value); };
    const MeasuredFacts facts{given(rate), given(pr), prVaries, given(qrs)};
    const Difference difference =
        differenceOf(rhythm, rhythmOf(LibraryRhythm::sinusRhythm), facts, Language::japanese);
    QCOMPARE((QList<bool>{difference.fit.rate, difference.fit.pr, difference.fit.qrs}), fits);
    QCOMPARE(difference.fit.all(), !fits.contains(false));
}

void TestDifference::aPairWithoutARowFallsBackToTheFamily() {
    const Rhythm mobitz2 = rhythmOf(LibraryRhythm::mobitz2);
    const DecidingCriterion fallback =
        decidingCriterion(mobitz2, rhythmOf(LibraryRhythm::pacedAtrial), Language::english);
    QVERIFY(!fallback.forThePair);
    QVERIFY(fallback.text.starts_with("AV blocks"));
    // The classic Mobitz block is taught as Mobitz II, against the library's Mobitz I.
    const DecidingCriterion classic =
        decidingCriterion(Rhythm::mobitzBlock, rhythmOf(LibraryRhythm::mobitz1));
    QVERIFY(classic.forThePair);
    QVERIFY(classic.text.starts_with("Mobitz II"));
}

void TestDifference::practiceKeyPointsNameTheFeatureNotTheColour() {
    for (const Rhythm rhythm :
         {Rhythm::atrialFibrillation, Rhythm::atrialFlutter, Rhythm::sporadicPvc}) {
        for (const Language language : {Language::japanese, Language::english}) {
            const std::string red = language == Language::japanese ? "赤" : " red";
            // The classic dialog keeps its own wording.
            QVERIFY(keyPointsOf(rhythm, language).find(red) != std::string::npos);
            const std::string points = practiceKeyPointsOf(rhythm, language);
            const std::string text = practiceTextOf(rhythm, language);
            QVERIFY(points.find(red) == std::string::npos);
            QVERIFY(text.find(red) == std::string::npos);
            QVERIFY(text.find(points.substr(0, points.find('\n'))) != std::string::npos);
        }
    }
    QCOMPARE(practiceTextOf(Rhythm::sinusRhythm), std::string(textOf(Rhythm::sinusRhythm)));
}

QTEST_APPLESS_MAIN(TestDifference)
#include "tst_difference.moc"
