#include "Drill.h"

#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <vector>

using namespace pulsavo;

Q_DECLARE_METATYPE(pulsavo::DrillMode)

namespace {

// How the simulated learner answers question `position` showing `shown`.
using Learner = std::function<Rhythm(int position, Rhythm shown)>;

struct Played {
    std::vector<Rhythm> shown;
    std::vector<Rhythm> answers;
};

Played play(Drill& drill, const Learner& learner) {
    Played played;
    while (const std::optional<Question> question = drill.next()) {
        const int position = static_cast<int>(played.shown.size());
        const Rhythm answer = learner(position, question->rhythm);
        played.shown.push_back(question->rhythm);
        played.answers.push_back(answer);
        drill.record(answer);
    }
    return played;
}

Rhythm alwaysRight(int, Rhythm shown) {
    return shown;
}

// Wrong about a third of the time, naming another rhythm in play (or any rhythm).
Learner erring(RhythmSet rhythms, std::uint64_t seed) {
    auto random = std::make_shared<SeededRandom>(seed);
    const std::vector<Rhythm> names = rhythms.list();
    return [random, names](int, Rhythm shown) {
        if (random->below(3) != 0) {
            return shown;
        }
        return random->below(4) == 0
                   ? static_cast<Rhythm>(random->below(totalRhythmCount))
                   : names[random->below(static_cast<std::uint32_t>(names.size()))];
    };
}

// The first `count` rhythms in index order: classic ones up to 18, then the library.
RhythmSet firstRhythms(int count) {
    RhythmSet set;
    for (int index = 0; index < count; ++index) {
        set.insert(*anyRhythmAt(index));
    }
    return set;
}

int longestRun(const std::vector<Rhythm>& shown) {
    int longest = 0;
    int run = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        run = i > 0 && shown[i] == shown[i - 1] ? run + 1 : 1;
        longest = std::max(longest, run);
    }
    return longest;
}

} // namespace

class DrillTest : public QObject {
    Q_OBJECT

private slots:
    void referenceGenerator();
    void masteryBoxes_data();
    void masteryBoxes();
    void masteryReadBackwards();
    void coverage_data();
    void coverage();
    void coverageWithMistakes_data();
    void coverageWithMistakes();
    void noThreeInARow_data();
    void noThreeInARow();
    void contrast_data();
    void contrast();
    void wrongComesBackSooner_data();
    void wrongComesBackSooner();
    void reproducible();
    void pairDrill_data();
    void pairDrill();
    void oneRhythm();
    void questionLifecycle();
    void checkOptions_data();
    void checkOptions();
};

// splitmix64's published outputs for seed 0: the drill and the exams rest on them.
void DrillTest::referenceGenerator() {
    SeededRandom random(0);
    QCOMPARE(random.next(), 0xE220A8397B1DCDAFULL);
    QCOMPARE(random.next(), 0x6E789E6AA1B965F4ULL);
    QCOMPARE(random.next(), 0x06C45D188009454FULL);
}

void DrillTest::masteryBoxes_data() {
    QTest::addColumn<QString>("answers"); // r right, h hinted right, w wrong, hw hinted wrong
    QTest::addColumn<int>("box");
    QTest::newRow("never asked") << "" << 1;
    QTest::newRow("right once") << "r" << 2;
    QTest::newRow("right, capped") << "r r r r r r" << 4;
    QTest::newRow("wrong") << "r r r w" << 0;
    QTest::newRow("wrong then right") << "w r" << 1;
    QTest::newRow("hinted right stays") << "r h h" << 2;
    QTest::newRow("hinted wrong resets") << "r r hw" << 0;
}

void DrillTest::masteryBoxes() {
    QFETCH(QString, answers);
    QFETCH(int, box);
    std::vector<Attempt> history;
    for (const QString& word : answers.split(' ', Qt::SkipEmptyParts)) {
        const Rhythm answer =
            word.endsWith('w') ? Rhythm::atrialFlutter : Rhythm::atrialFibrillation;
        history.push_back({Rhythm::atrialFibrillation, answer, word.startsWith('h')});
        history.push_back({Rhythm::sinusRhythm, Rhythm::sinusRhythm, false});
    }
    const Mastery mastery = Mastery::fromHistory(history);
    QCOMPARE(mastery.box(Rhythm::atrialFibrillation), box);
    QCOMPARE(mastery.box(Rhythm::atrialFlutter), Mastery::newBox);
}

// The summary read from the end of a history equals the one built answer by answer.
void DrillTest::masteryReadBackwards() {
    for (std::uint64_t seed = 1; seed <= 200; ++seed) {
        SeededRandom random(seed);
        std::vector<Attempt> history(random.below(300));
        const std::uint32_t kinds = 1 + random.below(totalRhythmCount);
        Mastery stepwise;
        for (Attempt& attempt : history) {
            attempt.shown = static_cast<Rhythm>(random.below(kinds));
            attempt.answer =
                random.below(4) == 0 ? static_cast<Rhythm>(random.below(kinds)) : attempt.shown;
            attempt.hinted = random.below(4) == 0;
            stepwise.add(attempt);
        }
        const Mastery read = Mastery::fromHistory(history);
        for (const Rhythm rhythm : RhythmSet::every().list()) {
            QVERIFY2(read.box(rhythm) == stepwise.box(rhythm),
                     qPrintable(QString("seed %1, rhythm %2").arg(seed).arg(indexOf(rhythm))));
        }
    }
}

void DrillTest::coverage_data() {
    QTest::addColumn<int>("inPlay");
    QTest::addColumn<int>("length");
    QTest::newRow("all 18, round of 36") << 18 << 36;
    QTest::newRow("all 18, round of 20") << 18 << 20;
    QTest::newRow("17, round of 36") << 17 << 36;
    QTest::newRow("9, round of 20") << 9 << 20;
    QTest::newRow("5, round of 36") << 5 << 36;
    QTest::newRow("2, round of 20") << 2 << 20;
    QTest::newRow("all 67, round of 134") << 67 << 134;
}

// With no mistakes the even mode deals whole shuffled decks: each block of k questions holds
// every rhythm in play.
void DrillTest::coverage() {
    QFETCH(int, inPlay);
    QFETCH(int, length);
    for (std::uint64_t seed = 1; seed <= 50; ++seed) {
        Drill drill(DrillOptions::round(length, firstRhythms(inPlay), false, seed), Mastery());
        const Played played = play(drill, alwaysRight);
        QCOMPARE(static_cast<int>(played.shown.size()), length);
        for (int start = 0; start + inPlay <= length; start += inPlay) {
            RhythmSet seen;
            for (int i = start; i < start + inPlay; ++i) {
                seen.insert(played.shown[static_cast<std::size_t>(i)]);
            }
            QVERIFY2(seen == firstRhythms(inPlay), qPrintable(QString("block at %1").arg(start)));
        }
    }
}

void DrillTest::coverageWithMistakes_data() {
    QTest::addColumn<int>("inPlay");
    QTest::newRow("all 18") << 18;
    QTest::newRow("all 67") << 67;
    QTest::newRow("12") << 12;
    QTest::newRow("4") << 4;
    QTest::newRow("2") << 2;
}

// Contrast questions may lengthen a deck by one each, never more: between two questions of one
// rhythm lie at most 2k - 2 others plus one per mistake made shortly before or between them.
void DrillTest::coverageWithMistakes() {
    QFETCH(int, inPlay);
    const RhythmSet rhythms = firstRhythms(inPlay);
    for (std::uint64_t seed = 1; seed <= 50; ++seed) {
        Drill drill(DrillOptions::round(100, rhythms, false, seed), Mastery());
        const Played played = play(drill, erring(rhythms, seed * 7));
        const auto mistakes = [&](int from, int to) {
            int count = 0;
            for (int i = std::max(from, 0); i < to; ++i) {
                count += played.answers[static_cast<std::size_t>(i)] !=
                         played.shown[static_cast<std::size_t>(i)];
            }
            return count;
        };
        for (const Rhythm rhythm : rhythms.list()) {
            int previous = -1;
            for (int i = 0; i <= 100; ++i) {
                if (i < 100 && played.shown[static_cast<std::size_t>(i)] != rhythm) {
                    continue;
                }
                // A contrast question comes at most three after the mistake that asked for it.
                const int bound =
                    (previous < 0 ? inPlay - 1 : 2 * inPlay - 2) + mistakes(previous - 2, i);
                QVERIFY2(i - previous - 1 <= bound,
                         qPrintable(QString("rhythm %1 missing from %2 to %3, seed %4")
                                        .arg(indexOf(rhythm))
                                        .arg(previous + 1)
                                        .arg(i)
                                        .arg(seed)));
                previous = i;
            }
        }
    }
}

void DrillTest::noThreeInARow_data() {
    QTest::addColumn<DrillMode>("mode");
    QTest::addColumn<int>("inPlay");
    QTest::addColumn<bool>("skewed"); // one rhythm in box 0, the rest in the top box
    QTest::newRow("even, 2") << DrillMode::even << 2 << false;
    QTest::newRow("even, 18") << DrillMode::even << 18 << false;
    QTest::newRow("adaptive, 2") << DrillMode::adaptive << 2 << false;
    QTest::newRow("adaptive, 2, skewed") << DrillMode::adaptive << 2 << true;
    QTest::newRow("adaptive, 3, skewed") << DrillMode::adaptive << 3 << true;
    QTest::newRow("adaptive, 18, skewed") << DrillMode::adaptive << 18 << true;
    QTest::newRow("adaptive, 67, skewed") << DrillMode::adaptive << 67 << true;
    QTest::newRow("pair") << DrillMode::pair << 2 << false;
}

void DrillTest::noThreeInARow() {
    QFETCH(DrillMode, mode);
    QFETCH(int, inPlay);
    QFETCH(bool, skewed);
    const RhythmSet rhythms = firstRhythms(inPlay);
    std::vector<Attempt> history;
    if (skewed) {
        for (int round = 0; round < 4; ++round) {
            for (const Rhythm rhythm : rhythms.list()) {
                history.push_back({rhythm, rhythm, false});
            }
        }
        history.push_back({Rhythm::sinusRhythm, Rhythm::atrialFlutter, false});
    }
    for (std::uint64_t seed = 1; seed <= 100; ++seed) {
        Drill drill({rhythms, 36, mode, seed}, history);
        const Played played = play(drill, erring(rhythms, seed));
        QVERIFY2(longestRun(played.shown) <= 2, qPrintable(QString("seed %1").arg(seed)));
    }
}

void DrillTest::contrast_data() {
    QTest::addColumn<DrillMode>("mode");
    QTest::addColumn<int>("inPlay");
    QTest::newRow("even, 18") << DrillMode::even << 18;
    QTest::newRow("even, 3") << DrillMode::even << 3;
    QTest::newRow("adaptive, 18") << DrillMode::adaptive << 18;
    QTest::newRow("adaptive, 6") << DrillMode::adaptive << 6;
    QTest::newRow("even, 67") << DrillMode::even << 67;
    QTest::newRow("adaptive, 40") << DrillMode::adaptive << 40;
    QTest::newRow("pair") << DrillMode::pair << 2;
}

// Answering B for A brings B within the next three questions. Only near the end of the round
// may the questions left all be contrasts for earlier mistakes instead.
void DrillTest::contrast() {
    QFETCH(DrillMode, mode);
    QFETCH(int, inPlay);
    const RhythmSet rhythms = firstRhythms(inPlay);
    const int length = 36;
    int checked = 0;
    for (std::uint64_t seed = 1; seed <= 200; ++seed) {
        Drill drill({rhythms, length, mode, seed}, std::span<const Attempt>());
        const Played played = play(drill, erring(rhythms, seed + 1000));
        const auto confused = [&](int q) {
            const Rhythm answer = played.answers[static_cast<std::size_t>(q)];
            return answer != played.shown[static_cast<std::size_t>(q)] && rhythms.contains(answer);
        };
        // Position s answers the mistake at another position q within reach.
        const auto answersOtherMistake = [&](int s, int q) {
            for (int other = std::max(0, s - 3); other < s; ++other) {
                if (other != q && confused(other) &&
                    played.answers[static_cast<std::size_t>(other)] ==
                        played.shown[static_cast<std::size_t>(s)]) {
                    return true;
                }
            }
            return false;
        };
        for (int q = 0; q + 1 < length; ++q) {
            if (!confused(q)) {
                continue;
            }
            const int last = std::min(q + 3, length - 1);
            bool asked = false;
            bool crowded = last < q + 3;
            for (int s = q + 1; s <= last; ++s) {
                asked = asked || played.shown[static_cast<std::size_t>(s)] ==
                                     played.answers[static_cast<std::size_t>(q)];
                crowded = crowded && answersOtherMistake(s, q);
            }
            QVERIFY2(asked || crowded,
                     qPrintable(QString("seed %1, answer at %2").arg(seed).arg(q)));
            ++checked;
        }
    }
    QVERIFY(checked > 200);
}

void DrillTest::wrongComesBackSooner_data() {
    QTest::addColumn<int>("inPlay");
    QTest::addColumn<bool>("practised"); // every rhythm answered right four times before
    QTest::newRow("new learner, 18") << 18 << false;
    QTest::newRow("new learner, 4") << 4 << false;
    QTest::newRow("practised, 18") << 18 << true;
    QTest::newRow("practised, 3") << 3 << true;
}

// Rhythm 0 was last answered wrongly and rhythm 1 rightly: over many rounds rhythm 0 is asked
// first much earlier on average.
void DrillTest::wrongComesBackSooner() {
    QFETCH(int, inPlay);
    QFETCH(bool, practised);
    const RhythmSet rhythms = firstRhythms(inPlay);
    std::vector<Attempt> history;
    for (int round = 0; practised && round < 4; ++round) {
        for (const Rhythm rhythm : rhythms.list()) {
            history.push_back({rhythm, rhythm, false});
        }
    }
    history.push_back({Rhythm::sinusRhythm, Rhythm::atrialFlutter, false});
    history.push_back(
        {Rhythm::supraventricularPremature, Rhythm::supraventricularPremature, false});
    const Mastery mastery = Mastery::fromHistory(history);
    const int length = 20;
    long wrongFirst = 0;
    long rightFirst = 0;
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
        Drill drill(DrillOptions::round(length, rhythms, true, seed), mastery);
        const Played played = play(drill, alwaysRight);
        const auto firstOf = [&](Rhythm rhythm) {
            return std::find(played.shown.begin(), played.shown.end(), rhythm) -
                   played.shown.begin();
        };
        wrongFirst += firstOf(Rhythm::sinusRhythm);
        rightFirst += firstOf(Rhythm::supraventricularPremature);
    }
    QVERIFY2(2 * wrongFirst < rightFirst,
             qPrintable(QString("first asked on average at %1 (wrong) and %2 (right)")
                            .arg(wrongFirst / 300.0)
                            .arg(rightFirst / 300.0)));
}

void DrillTest::reproducible() {
    const RhythmSet rhythms = firstRhythms(7);
    const auto questions = [&](DrillMode mode, std::uint64_t seed) {
        Drill drill({rhythms, 36, mode, seed}, std::span<const Attempt>());
        play(drill, erring(rhythms, 99));
        return drill.questions();
    };
    for (const DrillMode mode : {DrillMode::even, DrillMode::adaptive}) {
        QVERIFY(questions(mode, 42) == questions(mode, 42));
        QVERIFY(questions(mode, 42) != questions(mode, 43));
        const std::vector<Question> asked = questions(mode, 42);
        std::set<std::uint32_t> distinctSeeds;
        for (const Question& question : asked) {
            distinctSeeds.insert(question.seed);
        }
        QCOMPARE(distinctSeeds.size(), asked.size());
    }
}

void DrillTest::pairDrill_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::newRow("classic") << indexOf(Rhythm::atrialFibrillation)
                             << indexOf(Rhythm::multifocalPvc);
    QTest::newRow("library") << indexOf(rhythmOf(LibraryRhythm::afControlled))
                             << indexOf(rhythmOf(LibraryRhythm::flutterVariable));
    QTest::newRow("classic and library") << indexOf(Rhythm::ventricularTachycardia)
                                         << indexOf(rhythmOf(LibraryRhythm::pWaveAsystole));
}

void DrillTest::pairDrill() {
    QFETCH(int, first);
    QFETCH(int, second);
    const Rhythm a = *anyRhythmAt(first);
    const Rhythm b = *anyRhythmAt(second);
    Drill drill(DrillOptions::pairDrill(a, b, 400, 7), std::span<const Attempt>());
    const Played played = play(drill, alwaysRight);
    const auto firsts = std::count(played.shown.begin(), played.shown.end(), a);
    const auto seconds = std::count(played.shown.begin(), played.shown.end(), b);
    QCOMPARE(firsts + seconds, 400);
    QVERIFY2(firsts > 160 && seconds > 160, qPrintable(QString::number(firsts)));
    QVERIFY(longestRun(played.shown) == 2); // at random, not strictly alternating
}

void DrillTest::oneRhythm() {
    for (const DrillMode mode : {DrillMode::even, DrillMode::adaptive, DrillMode::pair}) {
        Drill drill({RhythmSet::of({Rhythm::rOnT}), 10, mode, 3}, std::span<const Attempt>());
        const Played played = play(drill, [](int, Rhythm) { return Rhythm::shortRun; });
        QCOMPARE(played.shown, std::vector<Rhythm>(10, Rhythm::rOnT));
    }
}

void DrillTest::questionLifecycle() {
    Drill drill(DrillOptions::round(2, RhythmSet::classic(), true, 5), std::span<const Attempt>());
    QVERIFY(!drill.record(Rhythm::sinusRhythm));
    const std::optional<Question> first = drill.next();
    QVERIFY(first);
    QCOMPARE(drill.next(), first);
    QVERIFY(drill.record(first->rhythm, true));
    QVERIFY(!drill.record(first->rhythm));
    QCOMPARE(drill.answered(), 1);
    QVERIFY(drill.attempts().front().hinted);
    QVERIFY(drill.next());
    QVERIFY(!drill.finished());
    QVERIFY(drill.record(Rhythm::sinusRhythm));
    QVERIFY(drill.finished());
    QVERIFY(!drill.next());
    QCOMPARE(drill.questions().size(), std::size_t{2});
}

void DrillTest::checkOptions_data() {
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("length");
    QTest::addColumn<DrillMode>("mode");
    QTest::addColumn<QString>("message");
    QTest::newRow("round of 10") << 0x3FFFF << 10 << DrillMode::adaptive << "";
    QTest::newRow("round of 36, one rhythm") << 0x10 << 36 << DrillMode::even << "";
    QTest::newRow("pair") << 0x30 << 20 << DrillMode::pair << "";
    QTest::newRow("no rhythms") << 0 << 10 << DrillMode::adaptive
                                << "no rhythms chosen for the round";
    QTest::newRow("no questions") << 1 << 0 << DrillMode::even
                                  << "a round has 1 to 1000 questions, not 0";
    QTest::newRow("too many") << 1 << 1001 << DrillMode::even
                              << "a round has 1 to 1000 questions, not 1001";
    QTest::newRow("pair of one") << 0x10 << 10 << DrillMode::pair
                                 << "a pair drill needs two different rhythms";
}

void DrillTest::checkOptions() {
    QFETCH(int, bits);
    QFETCH(int, length);
    QFETCH(DrillMode, mode);
    QFETCH(QString, message);
    const DrillOptions options{RhythmSet::fromClassicBits(static_cast<std::uint32_t>(bits)), length,
                               mode, 1};
    QCOMPARE(QString::fromStdString(checkDrillOptions(options)), message);
    // Whatever was asked for, a drill made from it plays a round.
    Drill drill(options, std::span<const Attempt>());
    const Played played = play(drill, alwaysRight);
    QCOMPARE(static_cast<int>(played.shown.size()), std::clamp(length, 1, 1000));
}

QTEST_APPLESS_MAIN(DrillTest)
#include "tst_drill.moc"
