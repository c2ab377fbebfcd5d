#include "Simulation.h"

#include <QStringList>
#include <QTest>

#include <algorithm>
#include <functional>
#include <numeric>
#include <vector>

using namespace pulsavo;

namespace {

using Queue = std::array<int, queueLength>;

// Ticks are counted from the selection: tick n (from 1) is ticks[n - 1], and laid[n - 1] is what
// the generator call at the end of tick n added to the queue, read off as the queue after the
// call minus the queue before it moved up by the one slot the tick consumed.
struct Recording {
    std::vector<TickSample> ticks;
    std::vector<Queue> laid;
};

void recordInto(Recording& recording, Simulation& sim, int count) {
    for (int n = 0; n < count; ++n) {
        const Queue before = sim.deltaQueue;
        recording.ticks.push_back(sim.step());
        Queue added{};
        for (int k = 0; k < queueLength; ++k) {
            added[k] = sim.deltaQueue[k] - (k + 1 < queueLength ? before[k + 1] : 0);
        }
        recording.laid.push_back(added);
    }
}

Recording record(Simulation& sim, int count) {
    Recording recording;
    recordInto(recording, sim, count);
    return recording;
}

bool isEmpty(const Queue& queue) {
    return std::all_of(queue.begin(), queue.end(), [](int step) { return step == 0; });
}

template <std::size_t N>
void place(Queue& queue, const std::array<int, N>& wave, int offset, int sign) {
    for (std::size_t i = 0; i < N; ++i) {
        queue[offset + i] += sign * wave[i];
    }
}

// "P0 Q12 T20" is a pWave at offset 0, a qrsComplex at 12 and a tWave at 20; V and F stand for
// the ventricularBeat and the fibrillationWave, and a leading '-' subtracts the template.
Queue layout(const QString& words) {
    Queue queue{};
    for (QString word : words.split(' ', Qt::SkipEmptyParts)) {
        const int sign = word.startsWith('-') ? -1 : 1;
        if (sign < 0) {
            word.remove(0, 1);
        }
        const int offset = word.mid(1).toInt();
        switch (word.at(0).toLatin1()) {
        case 'P':
            place(queue, Simulation::pWave, offset, sign);
            break;
        case 'Q':
            place(queue, Simulation::qrsComplex, offset, sign);
            break;
        case 'T':
            place(queue, Simulation::tWave, offset, sign);
            break;
        case 'V':
            place(queue, Simulation::ventricularBeat, offset, sign);
            break;
        case 'F':
            place(queue, Simulation::fibrillationWave, offset, sign);
            break;
        default:
            qFatal("unknown template in '%s'", qPrintable(words));
        }
    }
    return queue;
}

// Every call that laid something, in the notation of `expected` ("41:P0 Q12 T20, 121:P0 Q12
// T20"): a call that laid what `expected` names for it is written in those words, any other as
// its raw slots, so that a failed comparison shows both side by side.
QString events(const Recording& recording, const QString& expected) {
    QMap<int, QString> named;
    for (const QString& event : expected.split(", ", Qt::SkipEmptyParts)) {
        named.insert(event.section(':', 0, 0).toInt(), event.section(':', 1));
    }
    QStringList seen;
    for (int n = 1; n <= static_cast<int>(recording.laid.size()); ++n) {
        const Queue& laid = recording.laid[n - 1];
        if (isEmpty(laid)) {
            continue;
        }
        if (named.contains(n) && layout(named[n]) == laid) {
            seen << QStringLiteral("%1:%2").arg(n).arg(named[n]);
            continue;
        }
        QStringList steps;
        for (int k = 0; k < queueLength; ++k) {
            if (laid[k] != 0) {
                steps << QStringLiteral("%1=%2").arg(k).arg(laid[k]);
            }
        }
        seen << QStringLiteral("%1:[%2]").arg(n).arg(steps.join(' '));
    }
    return seen.join(", ");
}

// The pen of each tick as runs of green and red: "G41 R48 G211".
QString colours(const Recording& recording) {
    QStringList runs;
    bool red = false;
    int length = 0;
    for (const TickSample& sample : recording.ticks) {
        if (length > 0 && sample.red != red) {
            runs << QStringLiteral("%1%2").arg(red ? 'R' : 'G').arg(length);
            length = 0;
        }
        red = sample.red;
        ++length;
    }
    if (length > 0) {
        runs << QStringLiteral("%1%2").arg(red ? 'R' : 'G').arg(length);
    }
    return runs.join(' ');
}

// The ticks that beep, each with the y it beeps at: "137:43 217:43".
QString beeps(const Recording& recording, int from = 1) {
    QStringList beeping;
    for (int n = from; n <= static_cast<int>(recording.ticks.size()); ++n) {
        if (recording.ticks[n - 1].beep) {
            beeping << QStringLiteral("%1:%2").arg(n).arg(recording.ticks[n - 1].y);
        }
    }
    return beeping.join(' ');
}

int beepCount(const Recording& recording) {
    return static_cast<int>(std::count_if(recording.ticks.begin(), recording.ticks.end(),
                                          [](const TickSample& sample) { return sample.beep; }));
}

std::uint32_t seedWhere(int rhythm, const std::function<bool(Simulation&)>& wanted) {
    for (std::uint32_t seed = 1; seed < 200000; ++seed) {
        Simulation sim;
        sim.selectRhythm(rhythm, seed);
        if (wanted(sim)) {
            return seed;
        }
    }
    qFatal("no seed gives the wanted case for rhythm %d", rhythm);
}

// A seed whose selection draws these intervals; 0 takes any.
std::uint32_t seedFor(int rhythm, int beat, int aux = 0) {
    return seedWhere(rhythm, [&](Simulation& sim) {
        return (beat == 0 || sim.beatInterval == beat) && (aux == 0 || sim.auxInterval == aux);
    });
}

Simulation selected(int rhythm, std::uint32_t seed) {
    Simulation sim;
    sim.selectRhythm(rhythm, seed);
    return sim;
}

const QString normalBeat = QStringLiteral("P0 Q12 T20");

} // namespace

class TestGenerators : public QObject {
    Q_OBJECT

private slots:
    void firstTicksAfterSelection_data();
    void firstTicksAfterSelection();
    void atrialFibrillationKeepsTwoClocks();
    void atrialFlutterRaisesTheLevelOnlyForItsQrs();
    void ectopicBeatTakesTheDueBeatsPlace_data();
    void ectopicBeatTakesTheDueBeatsPlace();
    void multifocalBeatsMayBeMirrored_data();
    void multifocalBeatsMayBeMirrored();
    void rOnTWaitsForTheFortiethTick_data();
    void rOnTWaitsForTheFortiethTick();
    void shortRunHoldsTheSinusBack_data();
    void shortRunHoldsTheSinusBack();
    void ventricularTachycardiaCrests_data();
    void ventricularTachycardiaCrests();
    void ventricularFibrillationHoldsRedAndLevel();
    void sinusArrestPausesOneTickShortOfTheDraw();
    void droppedBeatsFollowTheDrawnRunLength_data();
    void droppedBeatsFollowTheDrawnRunLength();
    void pendingStepsOfThePreviousRhythmAreKept_data();
    void pendingStepsOfThePreviousRhythmAreKept();
};

void TestGenerators::firstTicksAfterSelection_data() {
    QTest::addColumn<int>("rhythm");
    QTest::addColumn<int>("beat");
    QTest::addColumn<int>("aux");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("laid");
    QTest::addColumn<QString>("pen");
    QTest::addColumn<QString>("tone");

    QTest::newRow("1 premature beat on the 41st call, silent")
        << 1 << 80 << 0 << 300 << "41:P0 Q12 T20, 121:P0 Q12 T20, 201:P0 Q12 T20, 281:P0 Q12 T20"
        << "G41 R48 G211"
        << "137:43 217:43 297:43";
    QTest::newRow("2 at interval 24: QRS on the T wave before")
        << 2 << 24 << 0 << 100 << "25:P0 Q12 T20, 49:P0 Q12 T20, 73:P0 Q12 T20, 97:P0 Q12 T20"
        << "R100"
        << "41:43 65:31 89:31";
    QTest::newRow("3 without P waves")
        << 3 << 30 << 0 << 110 << "31:Q12 T20, 61:Q12 T20, 91:Q12 T20"
        << "R110"
        << "47:43 77:36 107:36";
    QTest::newRow("5 ratio 1: a QRS on the first call")
        << 5 << 20 << 1 << 50 << "1:Q0, 21:T0 Q0, 41:T0 Q0"
        << "R2 G8 R12 G8 R12 G8"
        << "5:43 25:42 45:32";
    QTest::newRow("5 ratio 3: one wave fewer in the first cycle")
        << 5 << 17 << 3 << 90 << "17:T0, 34:T0 Q0, 51:T0, 68:T0, 85:T0 Q0"
        << "R35 G8 R43 G4"
        << "38:30 89:30";
    QTest::newRow("6 ectopic beat on the 51st call")
        << 6 << 80 << 0 << 200 << "51:V0, 131:P0 Q12 T20"
        << "G51 R45 G104"
        << "57:35 147:43";
    QTest::newRow("8 ectopic beat on the 41st call")
        << 8 << 80 << 0 << 200 << "41:V0, 121:P0 Q12 T20"
        << "G41 R45 G114"
        << "47:35 137:43";
    QTest::newRow("10 at interval 37") << 10 << 37 << 0 << 120 << "38:V0, 75:V0, 112:V0"
                                       << "R120"
                                       << "44:35";
    QTest::newRow("11 first wave on the first call") << 11 << 0 << 0 << 6 << "1:F0"
                                                     << "R6"
                                                     << "";
    QTest::newRow("12 first beat on the first call") << 12 << 0 << 0 << 74 << "1:P0 Q12 T20"
                                                     << "G49 R25"
                                                     << "17:43";
    QTest::newRow("13 first beat place dropped, red until the first beat")
        << 13 << 60 << 0 << 179 << "121:P0 Q12 T20"
        << "G61 R60 G58"
        << "137:43";
    QTest::newRow("14 PQ of 25 steps") << 14 << 60 << 0 << 200
                                       << "1:P0 Q25 T33, 61:P0 Q25 T33, 121:P0 Q25 T33, "
                                          "181:P0 Q25 T33"
                                       << "G9 R18 G42 R18 G42 R18 G42 R11"
                                       << "30:43 90:43 150:43";
    QTest::newRow("15 two conducted beats, then a lone P wave")
        << 15 << 60 << 2 << 200 << "1:P0 Q12 T20, 60:P0 Q12 T20, 119:P0, 179:P0 Q12 T20"
        << "G119 R49 G32"
        << "17:43 76:43 195:43";
    QTest::newRow("16 one Wenckebach cycle")
        << 16 << 60 << 0 << 310
        << "1:P0 Q12 T20, 61:P0 Q16 T24, 121:P0 Q20 T28, 181:P0 Q24 T32, 241:P0, "
           "301:P0 Q12 T20"
        << "G1 R13 G47 R17 G43 R21 G39 R25 G35 R9 G51 R9"
        << "17:43 81:43 145:43 209:43";
    QTest::newRow("17 P wave on the first QRS")
        << 17 << 109 << 60 << 250
        << "1:P0 Q0 T8, 61:P0, 110:Q0 T8, 121:P0, 181:P0, 219:Q0 T8, 241:P0"
        << "G1 R36 G24 R8 G41 R36 G35 R8 G30 R31"
        << "5:39 114:43 223:43";
}

void TestGenerators::firstTicksAfterSelection() {
    QFETCH(int, rhythm);
    QFETCH(int, beat);
    QFETCH(int, aux);
    QFETCH(int, ticks);
    QFETCH(QString, laid);
    QFETCH(QString, pen);
    QFETCH(QString, tone);

    Simulation sim = selected(rhythm, seedFor(rhythm, beat, aux));
    const Recording recording = record(sim, ticks);
    QCOMPARE(events(recording, laid), laid);
    QCOMPARE(colours(recording), pen);
    QCOMPARE(beeps(recording), tone);
}

void TestGenerators::atrialFibrillationKeepsTwoClocks() {
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        Simulation sim = selected(4, seed);
        const int firstWave = sim.beatInterval + 1;
        const Recording recording = record(sim, 1500);

        const Queue fWave = layout("P0");
        const Queue complex = layout("Q0 T8");
        const Queue complexOnFWave = layout("P0 Q0 T8");
        std::vector<int> complexes;
        for (int n = 1; n <= 1500; ++n) {
            const Queue& laid = recording.laid[n - 1];
            if (laid == complex || laid == complexOnFWave) {
                complexes.push_back(n);
            } else {
                QVERIFY2(isEmpty(laid) || laid == fWave, qPrintable(QString::number(n)));
            }
        }
        QVERIFY(!isEmpty(recording.laid[firstWave - 1]));
        for (int n = 1; n < firstWave; ++n) {
            QVERIFY(isEmpty(recording.laid[n - 1]));
        }
        QCOMPARE(complexes.front(), 111);

        const Recording firstPen{{recording.ticks.begin(), recording.ticks.begin() + 160}, {}};
        QCOMPARE(colours(firstPen), "R1 G9 R102 G8 R40");

        // One beep per complex, at its R peak, lifted by at most two f waves.
        QStringList expectedTicks;
        for (int call : complexes) {
            if (call + 4 <= 1500) {
                expectedTicks << QString::number(call + 4);
            }
        }
        QStringList beepTicks;
        for (int n = 1; n <= 1500; ++n) {
            const TickSample& sample = recording.ticks[n - 1];
            if (sample.beep) {
                beepTicks << QString::number(n);
                QVERIFY2(sample.y >= 37 && sample.y <= 43, qPrintable(beeps(recording)));
            }
        }
        QCOMPARE(beepTicks, expectedTicks);
    }
}

// Level 44 lasts for the one beep test after the call that laid the QRS; the R peak itself is
// tested against 45. Every third wave carries the QRS, the first cycle having one wave fewer.
void TestGenerators::atrialFlutterRaisesTheLevelOnlyForItsQrs() {
    Simulation sim = selected(5, seedFor(5, 0, 3));
    Recording recording;
    int wavesInCycle = 1;
    int complexes = 0;
    for (int n = 1; n <= 2000; ++n) {
        recordInto(recording, sim, 1);
        const Queue& laid = recording.laid.back();
        if (laid == layout("T0 Q0")) {
            QCOMPARE(wavesInCycle + 1, 3);
            wavesInCycle = 0;
            ++complexes;
        } else if (laid == layout("T0")) {
            ++wavesInCycle;
        } else {
            QVERIFY(isEmpty(laid));
        }
        QCOMPARE(sim.beepLevel, wavesInCycle == 0 && laid != Queue{} ? 44 : 45);
    }
    QVERIFY(complexes > 20);
    QCOMPARE(beepCount(recording), complexes);
}

void TestGenerators::ectopicBeatTakesTheDueBeatsPlace_data() {
    QTest::addColumn<int>("rhythm");
    QTest::addColumn<QString>("laid");
    QTest::addColumn<QString>("pen");
    QTest::newRow("1 premature beat") << 1 << "1:P0 Q12 T20, 81:P0 Q12 T20"
                                      << "G1 R48 G32";
    QTest::newRow("6 sporadic") << 6 << "1:V0, 81:P0 Q12 T20"
                                << "G1 R45 G35";
    QTest::newRow("7 multifocal, upright") << 7 << "1:V0, 81:P0 Q12 T20"
                                           << "G1 R45 G35";
}

// When the waiting time is over on the tick a normal beat falls due, the ectopic beat is laid
// instead of it and the sinus timing starts again from the ectopic beat.
void TestGenerators::ectopicBeatTakesTheDueBeatsPlace() {
    QFETCH(int, rhythm);
    QFETCH(QString, laid);
    QFETCH(QString, pen);
    const auto dueAtOnce = [](Simulation& sim) {
        sim.beatTicks = sim.beatInterval;
        sim.auxCount = sim.auxInterval;
    };
    Simulation sim =
        selected(rhythm, seedWhere(rhythm, [&](Simulation& candidate) {
                     dueAtOnce(candidate);
                     return candidate.beatInterval == 80 && candidate.random.next() % 2 == 0;
                 }));
    dueAtOnce(sim);
    const Recording recording = record(sim, 81);
    QCOMPARE(events(recording, laid), laid);
    QCOMPARE(colours(recording), pen);
}

void TestGenerators::multifocalBeatsMayBeMirrored_data() {
    QTest::addColumn<bool>("mirrored");
    QTest::addColumn<int>("lowest");
    QTest::addColumn<int>("highest");
    QTest::addColumn<QString>("tone");
    QTest::newRow("upright") << false << 35 << 117 << "57:35";
    QTest::newRow("mirrored") << true << 53 << 135 << "";
}

void TestGenerators::multifocalBeatsMayBeMirrored() {
    QFETCH(bool, mirrored);
    QFETCH(int, lowest);
    QFETCH(int, highest);
    QFETCH(QString, tone);
    const QString beat = mirrored ? "-V0" : "V0";
    Simulation sim = selected(7, seedWhere(7, [&](Simulation& candidate) {
                                  return candidate.beatInterval == 80 &&
                                         record(candidate, 51).laid.back() == layout(beat);
                              }));
    const Recording recording = record(sim, 130);
    QCOMPARE(events(recording, "51:" + beat), "51:" + beat);
    QCOMPARE(colours(recording), "G51 R45 G34");
    QCOMPARE(beeps(recording), tone);
    const auto [low, high] =
        std::minmax_element(recording.ticks.begin(), recording.ticks.end(),
                            [](const TickSample& a, const TickSample& b) { return a.y < b.y; });
    QCOMPARE(low->y, lowest);
    QCOMPARE(high->y, highest);
}

void TestGenerators::rOnTWaitsForTheFortiethTick_data() {
    QTest::addColumn<int>("startTicks");
    QTest::addColumn<QString>("laid");
    QTest::addColumn<QString>("tone");
    QTest::newRow("at 39 the next call sees 40") << 39 << "2:V0, 82:P0 Q12 T20, 162:P0 Q12 T20"
                                                 << "8:35 98:43";
    QTest::newRow("at 40 at once") << 40 << "1:V0, 81:P0 Q12 T20, 161:P0 Q12 T20"
                                   << "7:35 97:43";
    QTest::newRow("at 41 only in the next cycle, on the T wave")
        << 41 << "40:P0 Q12 T20, 80:V0, 160:P0 Q12 T20"
        << "56:43 85:31 86:28";
}

void TestGenerators::rOnTWaitsForTheFortiethTick() {
    QFETCH(int, startTicks);
    QFETCH(QString, laid);
    QFETCH(QString, tone);
    Simulation sim = selected(8, seedFor(8, 80));
    sim.beatTicks = startTicks;
    const Recording recording = record(sim, 170);
    QCOMPARE(events(recording, laid), laid);
    QCOMPARE(beeps(recording), tone);
}

void TestGenerators::shortRunHoldsTheSinusBack_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("laid");
    QTest::addColumn<QString>("pen");
    QTest::addColumn<QString>("tone");
    QTest::newRow("two beats") << 2 << "1:V0 V40, 167:P0 Q12 T20, 247:P0 Q12 T20"
                               << "G1 R85 G224"
                               << "7:35 47:35 183:43 263:43";
    QTest::newRow("five beats reach slot 205") << 5 << "1:V0 V40 V80 V120 V160, 287:P0 Q12 T20"
                                               << "G1 R205 G104"
                                               << "7:35 47:35 87:35 127:35 167:35 303:43";
}

// The salvo is laid on the first call (its wait is over, 45 ticks after a beat); the next
// normal beat follows when the whole salvo and one sinus interval have passed.
void TestGenerators::shortRunHoldsTheSinusBack() {
    QFETCH(int, length);
    QFETCH(QString, laid);
    QFETCH(QString, pen);
    QFETCH(QString, tone);
    const auto dueAtOnce = [](Simulation& sim) {
        sim.auxCount = sim.auxInterval;
        sim.beatTicks = 45;
    };
    Simulation sim = selected(9, seedWhere(9, [&](Simulation& candidate) {
                                  dueAtOnce(candidate);
                                  candidate.step();
                                  return candidate.beatInterval == 80 &&
                                         candidate.runLength == length &&
                                         candidate.auxInterval >= 400;
                              }));
    dueAtOnce(sim);
    const Recording recording = record(sim, 310);
    QCOMPARE(events(recording, laid), laid);
    QCOMPARE(colours(recording), pen);
    QCOMPARE(beeps(recording), tone);
    QCOMPARE(sim.restingLevel(), baselineY);
}

void TestGenerators::ventricularTachycardiaCrests_data() {
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("crest");
    QTest::newRow("37: crests at exactly the level") << 37 << 37;
    QTest::newRow("24: crests far below it") << 24 << 66;
}

void TestGenerators::ventricularTachycardiaCrests() {
    QFETCH(int, interval);
    QFETCH(int, crest);
    Simulation sim = selected(10, seedFor(10, interval));
    const Recording recording = record(sim, 1000);
    // The first beat starts from the rest line and beeps once at its peak.
    QCOMPARE(beeps(recording), QStringLiteral("%1:35").arg(interval + 7));
    int highestLater = baselineY;
    for (int n = 2 * interval + 2; n <= 1000; ++n) {
        highestLater = std::min(highestLater, recording.ticks[n - 1].y);
    }
    QCOMPARE(highestLater, crest);
}

void TestGenerators::ventricularFibrillationHoldsRedAndLevel() {
    Simulation sim = selected(11, 5);
    for (int n = 0; n < 3000; ++n) {
        if (n % 97 == 0) {
            sim.alertColour = false;
            sim.beepLevel = 0;
        }
        sim.step();
        QCOMPARE(sim.alertColour, true);
        QCOMPARE(sim.beepLevel, 37);
    }
    QCOMPARE(sim.restingLevel(), baselineY);
}

// Each beat is laid one call earlier than its drawn pause, because the counter advances twice
// on a beat's call; the pause is red from the end of the T wave to the next P wave's first step.
void TestGenerators::sinusArrestPausesOneTickShortOfTheDraw() {
    Simulation sim = selected(10, 3);
    record(sim, 150);
    sim.selectRhythm(12, 77);
    Recording recording;
    std::vector<int> beatCalls;
    std::vector<int> drawn;
    for (int n = 1; n <= 3000; ++n) {
        recordInto(recording, sim, 1);
        if (!isEmpty(recording.laid.back())) {
            QCOMPARE(recording.laid.back(), layout(normalBeat));
            beatCalls.push_back(n);
            drawn.push_back(sim.beatInterval);
        }
    }
    QCOMPARE(beatCalls.front(), 1);
    QVERIFY(beatCalls.size() > 10);
    for (std::size_t i = 1; i < beatCalls.size(); ++i) {
        QCOMPARE(beatCalls[i] - beatCalls[i - 1], drawn[i - 1] - 1);
        for (int n = beatCalls[i - 1] + 2; n <= beatCalls[i] + 1; ++n) {
            QCOMPARE(recording.ticks[n - 1].red, n >= beatCalls[i - 1] + 49);
        }
    }
}

void TestGenerators::droppedBeatsFollowTheDrawnRunLength_data() {
    QTest::addColumn<int>("rhythm");
    QTest::addColumn<QString>("dropLaid");
    QTest::addColumn<int>("redAfterDrop");
    QTest::newRow("13 sinoatrial block: the whole beat is missing") << 13 << "" << 0;
    QTest::newRow("15 Mobitz: a lone P wave") << 15 << "P0" << 49;
}

// Conducted beats come interval - 1 ticks apart; after as many as the count drawn at the
// previous drop, one beat place is empty (13) or holds a lone P wave (15), and the next beat
// follows it by interval ticks. Red runs from the drop up to the next P wave (13) or over the
// lone P wave and 41 flat steps (15); one beep per conducted beat, at its R peak.
void TestGenerators::droppedBeatsFollowTheDrawnRunLength() {
    QFETCH(int, rhythm);
    QFETCH(QString, dropLaid);
    QFETCH(int, redAfterDrop);
    constexpr int ticks = 6000;
    for (int interval : {60, 73, 100}) {
        Simulation sim = selected(rhythm, seedFor(rhythm, interval));
        int runLength = rhythm == 15 ? sim.auxInterval : 0;
        int conducted = 0;
        int lastBeat = 0;
        int lastDrop = 0;
        int drops = 0;
        QStringList expectedTone;
        std::vector<bool> expectedRed(ticks + 1, false);
        Recording recording;
        for (int n = 1; n <= ticks; ++n) {
            recordInto(recording, sim, 1);
            const Queue& laid = recording.laid.back();
            if (laid == layout(normalBeat)) {
                if (lastBeat > 0 || lastDrop > 0) {
                    QCOMPARE(n - std::max(lastBeat, lastDrop),
                             lastDrop > lastBeat ? interval : interval - 1);
                }
                lastBeat = n;
                ++conducted;
                expectedTone << QString::number(n + 16);
            } else if (sim.auxCount == 0 && sim.beatTicks == 1) {
                QCOMPARE(laid, layout(dropLaid));
                QCOMPARE(n - std::max(lastBeat, lastDrop), lastBeat > 0 ? interval - 1 : n);
                QCOMPARE(conducted, runLength);
                runLength = sim.auxInterval;
                QVERIFY(runLength >= 1 && runLength <= 5);
                lastDrop = n;
                conducted = 0;
                ++drops;
                const int redSteps = redAfterDrop > 0 ? redAfterDrop : interval;
                for (int red = n + 1; red <= std::min(ticks, n + redSteps); ++red) {
                    expectedRed[red] = true;
                }
            } else {
                QVERIFY(isEmpty(laid));
            }
        }
        QVERIFY(drops > 10);
        for (int n = 2; n <= ticks; ++n) {
            QCOMPARE(recording.ticks[n - 1].red, bool(expectedRed[n]));
        }
        QStringList tone;
        for (int n = 1; n <= ticks; ++n) {
            if (recording.ticks[n - 1].beep) {
                QCOMPARE(recording.ticks[n - 1].y, 43);
                tone << QString::number(n);
            }
        }
        while (!expectedTone.isEmpty() && expectedTone.last().toInt() > ticks) {
            expectedTone.removeLast();
        }
        QCOMPARE(tone, expectedTone);
    }
}

void TestGenerators::pendingStepsOfThePreviousRhythmAreKept_data() {
    QTest::addColumn<int>("previous");
    QTest::addColumn<int>("previousTicks");
    QTest::addColumn<int>("rhythm");
    QTest::newRow("ventricular tachycardia into Mobitz") << 10 << 100 << 15;
    QTest::newRow("ventricular fibrillation into Mobitz") << 11 << 123 << 15;
    QTest::newRow("atrial flutter into Mobitz") << 5 << 200 << 15;
    QTest::newRow("ventricular tachycardia into Wenckebach") << 10 << 100 << 16;
    QTest::newRow("ventricular fibrillation into Wenckebach") << 11 << 123 << 16;
    QTest::newRow("atrial fibrillation into Wenckebach") << 4 << 300 << 16;
}

// A blocked beat's lone P wave laid while the previous rhythm's steps are still pending in the
// slots it covers must keep them: once they have played out, the trace is the one the same
// rhythm draws on a quiet monitor, beat tone included.
void TestGenerators::pendingStepsOfThePreviousRhythmAreKept() {
    QFETCH(int, previous);
    QFETCH(int, previousTicks);
    QFETCH(int, rhythm);
    const auto blockAtOnce = [](Simulation& sim) { sim.auxCount = sim.auxInterval; };

    Simulation busy = selected(previous, 21);
    record(busy, previousTicks);
    busy.selectRhythm(rhythm, 8);
    blockAtOnce(busy);
    QVERIFY(std::accumulate(busy.deltaQueue.begin() + 1, busy.deltaQueue.begin() + 9, 0) != 0);

    Simulation quiet = selected(rhythm, 8);
    blockAtOnce(quiet);

    Recording busyRun;
    for (int n = 1; n <= 800; ++n) {
        recordInto(busyRun, busy, 1);
        QCOMPARE(busy.restingLevel(), baselineY);
    }
    const Recording quietRun = record(quiet, 800);
    QCOMPARE(busyRun.laid.front(), layout("P0"));
    for (int n = queueLength + 1; n <= 800; ++n) {
        QCOMPARE(busyRun.ticks[n - 1].y, quietRun.ticks[n - 1].y);
        QCOMPARE(busyRun.ticks[n - 1].beep, quietRun.ticks[n - 1].beep);
        QCOMPARE(busyRun.ticks[n - 1].red, quietRun.ticks[n - 1].red);
    }
    QVERIFY(beeps(quietRun, queueLength + 1).count(':') >= 5);
}

QTEST_APPLESS_MAIN(TestGenerators)
#include "tst_generators.moc"
