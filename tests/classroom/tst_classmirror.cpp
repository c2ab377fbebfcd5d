#include "ClassHost.h"
#include "DecidingCriteria.h"
#include "RhythmPoll.h"
#include "ScenarioFile.h"
#include "ScenarioRunner.h"
#include "TimelineCursor.h"

#include <QTest>

#include <functional>
#include <set>

using namespace pulsavo;
using namespace pulsavo::classroom;

namespace {

struct Sample {
    int y = 0;
    bool red = false;
    bool beep = false;
    bool operator==(const Sample&) const = default;
};

// The instructor's own monitor (pleth on, as the console's is) told to a class host as it is
// driven, stepped tick for tick with the host: what the class plays must be that trace. The
// class begins long after the console did: its tick 0 is the console's `base`.
struct Mirrored {
    static constexpr std::int64_t base = 123457;
    Mirrored() {
        instructor.tickCount = base;
        instructor.enablePleth(true);
        instructor.onLive = [this](const LiveAction& action) {
            host.advanceTo(instructor.tickCount - base);
            told += host.mirror(action, instructor) ? 0 : 1;
        };
        host.model().setOnStep([this](std::int64_t, const TickSample& s) {
            played.push_back({s.y, s.red, s.beep});
        });
    }
    void run(int ticks, const std::function<void()>& beforeEach = {}) {
        for (int i = 0; i < ticks; ++i) {
            host.advanceTo(instructor.tickCount - base);
            if (beforeEach) {
                beforeEach();
            }
            const TickSample s = instructor.step();
            shown.push_back({s.y, s.red, s.beep});
        }
        host.advanceTo(instructor.tickCount - base);
    }
    Simulation instructor;
    ClassHost host;
    std::vector<Sample> shown;
    std::vector<Sample> played;
    int told = 0; // actions the host could not put on the timeline
};

// What the instructor does, one action a second.
using Script = std::vector<std::function<void(Simulation&)>>;

} // namespace

Q_DECLARE_METATYPE(Script)

class ClassMirrorTest : public QObject {
    Q_OBJECT
private slots:
    void consoleControlsReachTheClass_data();
    void consoleControlsReachTheClass();
    void scenarioReachesTheClass_data();
    void scenarioReachesTheClass();
    void cursorKnowsWhenToPlayAgain_data();
    void cursorKnowsWhenToPlayAgain();
    void rhythmPollOffersTheRhythmOnce_data();
    void rhythmPollOffersTheRhythmOnce();
};

void ClassMirrorTest::consoleControlsReachTheClass_data() {
    QTest::addColumn<int>("rhythm");
    QTest::addColumn<Script>("script");
    using conduction::LiveParameterId;
    using conduction::TransitionKind;
    const auto ramp = [](const std::vector<std::pair<LiveParameterId, double>>& values, int ticks) {
        return [values, ticks](Simulation& s) {
            conduction::Params target = s.libraryTarget();
            for (const auto& [which, value] : values) {
                target = conduction::withLiveValue(target, which, value);
            }
            s.rampLibraryParameters(target, ticks);
        };
    };
    QTest::newRow("ramped rate and PR, a PVC, a blocked beat")
        << indexOf(rhythmOf(LibraryRhythm::sinusRhythm))
        << Script{ramp({{LiveParameterId::atrialRate, 48}, {LiveParameterId::prMs, 260}}, 400),
                  [](Simulation& s) { s.pvcNow(); }, [](Simulation& s) { s.blockNextBeat(); },
                  ramp({{LiveParameterId::ectopyKind, 1}, {LiveParameterId::ectopyEvery, 3}}, 0)};
    QTest::newRow("pacing on, its output lowered, a transition by ramp")
        << indexOf(rhythmOf(LibraryRhythm::chbWide))
        << Script{
               [](Simulation& s) { s.setPacing(conduction::Pacer::ventricular, 70, 80); },
               ramp({{LiveParameterId::pacingOutput, 20}}, 0),
               [](Simulation& s) {
                   s.transitionTo(LibraryRhythm::sinusBradycardia, 31, {TransitionKind::ramp, 300});
               }};
    QTest::newRow("R-on-T into VF, a shock to sinus, pacing off")
        << indexOf(rhythmOf(LibraryRhythm::sinusRhythm))
        << Script{[](Simulation& s) {
                      s.transitionTo(LibraryRhythm::vfCoarse, 8, {TransitionKind::rOnT, 0});
                  },
                  [](Simulation& s) {
                      s.defibrillate({LibraryRhythm::sinusTachycardia, 9, 120});
                  },
                  [](Simulation& s) { s.setPacing(conduction::Pacer::none, 60, 10); }};
    QTest::newRow("from a classic rhythm: a transition selects, a shock, a classic again")
        << indexOf(Rhythm::ventricularTachycardia)
        << Script{[](Simulation& s) { s.transitionTo(LibraryRhythm::afRapid, 5, {}); },
                  [](Simulation& s) {
                      s.defibrillate({std::nullopt, 0, 150});
                  },
                  [](Simulation& s) { s.selectRhythm(Rhythm::wenckebachBlock, 12); }};
}

// Every way the console drives its monitor played alike by the class, tick for tick.
void ClassMirrorTest::consoleControlsReachTheClass() {
    QFETCH(int, rhythm);
    QFETCH(Script, script);
    Mirrored m;
    m.instructor.selectRhythm(rhythm, 77);
    for (const auto& action : script) {
        m.run(130);
        action(m.instructor);
    }
    m.run(1500);
    QCOMPARE(m.told, 0);
    QCOMPARE(m.played.size(), m.shown.size());
    QVERIFY(m.played == m.shown);
    QVERIFY(m.host.model().timeline().size() > script.size());
}

void ClassMirrorTest::scenarioReachesTheClass_data() {
    QTest::addColumn<QString>("path");
    for (const QString& path : scenario::shippedScenarios()) {
        QTest::newRow(qPrintable(path)) << path;
    }
}

// A scenario played on the instructor's monitor, its steps' rhythms, ramps and events told as
// they are made, is the class's trace too.
void ClassMirrorTest::scenarioReachesTheClass() {
    QFETCH(QString, path);
    const scenario::ReadResult read = scenario::readScenarioFile(path);
    QVERIFY(read.scenario);
    Mirrored m;
    scenario::ScenarioRunner runner(*read.scenario, m.instructor, 1234);
    runner.setHeadless(true);
    m.run(static_cast<int>(std::min<long long>(read.scenario->headlessTicks(), 12000)),
          [&runner] { runner.tick(); });
    QCOMPARE(m.told, 0);
    QVERIFY(m.played == m.shown);
    QVERIFY(!m.host.model().timeline().empty());
}

void ClassMirrorTest::cursorKnowsWhenToPlayAgain_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("again");
    QTest::newRow("entries still to come") << 0 << false;
    QTest::newRow("an entry for a tick already played") << 1 << true;
    QTest::newRow("an entry played replaced by a rejoin") << 2 << true;
    QTest::newRow("entries played taken back") << 3 << true;
}

// A learner's monitor plays the timeline as it arrives; what it played must be played again
// when the timeline changes under it, and only then.
void ClassMirrorTest::cursorKnowsWhenToPlayAgain() {
    QFETCH(int, change);
    QFETCH(bool, again);
    std::vector<protocol::Message> timeline(3);
    for (std::size_t i = 0; i < timeline.size(); ++i) {
        timeline[i].type = protocol::Type::state;
        timeline[i].rhythm = Rhythm::sinusRhythm;
        timeline[i].seed = std::uint32_t(i);
        timeline[i].at = std::int64_t(1 + 100 * i);
    }
    classroom::TimelineCursor cursor;
    Simulation played;
    while (played.tickCount < 150) {
        cursor.applyDue(timeline, played);
        played.step();
    }
    QCOMPARE(cursor.applied(), std::size_t(2));
    protocol::Message late = timeline.back();
    late.at = 120;
    switch (change) {
    case 1:
        timeline.back() = late;
        break;
    case 2:
        timeline[1].seed = 77;
        break;
    case 3:
        timeline.resize(1);
        break;
    default:
        break;
    }
    QCOMPARE(cursor.replayNeeded(timeline, played.tickCount), again);
}

void ClassMirrorTest::rhythmPollOffersTheRhythmOnce_data() {
    QTest::addColumn<int>("rhythm");
    for (const Rhythm rhythm :
         {rhythmOf(LibraryRhythm::mobitz1), rhythmOf(LibraryRhythm::afRapid),
          rhythmOf(LibraryRhythm::vfFine), Rhythm::wenckebachBlock, Rhythm::atrialFibrillation}) {
        QTest::newRow(rhythmId(rhythm).c_str()) << indexOf(rhythm);
    }
}

// "What is this rhythm?": the rhythm playing among those it is taken for, each offered once, a
// classic rhythm never beside the library rhythm it is taught as, the right answer anywhere.
void ClassMirrorTest::rhythmPollOffersTheRhythmOnce() {
    QFETCH(int, rhythm);
    const Rhythm playing = *anyRhythmAt(rhythm);
    std::set<int> places;
    for (std::uint32_t seed = 0; seed < 40; ++seed) {
        const classroom::RhythmPoll poll = classroom::RhythmPoll::ask(playing, seed);
        QVERIFY(poll.rhythms.size() >= 2 && poll.rhythms.size() <= 4);
        QCOMPARE(poll.rhythms.at(std::size_t(poll.correct)), playing);
        QCOMPARE(std::count(poll.rhythms.begin(), poll.rhythms.end(), playing), 1);
        QCOMPARE(std::set<Rhythm>(poll.rhythms.begin(), poll.rhythms.end()).size(),
                 poll.rhythms.size());
        const Rhythm taught = rhythmOf(catalogue::taughtAs(playing));
        QVERIFY(taught == playing ||
                std::find(poll.rhythms.begin(), poll.rhythms.end(), taught) == poll.rhythms.end());
        QCOMPARE(poll.options(catalogue::Language::english).size(), int(poll.rhythms.size()));
        places.insert(poll.correct);
    }
    QVERIFY(places.size() > 1);
}

QTEST_GUILESS_MAIN(ClassMirrorTest)
#include "tst_classmirror.moc"
