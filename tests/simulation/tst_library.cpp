#include "RhythmLibrary.h"
#include "Simulation.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>
#include <vector>

using namespace pulsavo;

// Every library rhythm measured from what it plays (its wave events and its trace), never from
// its preset's numbers, over several seeds and a minute each, against the criteria table in
// docs/rhythm-criteria.md.

namespace {

constexpr int settle = 500;  // ticks skipped after the selection
constexpr int window = 6000; // one minute measured
constexpr std::array<std::uint32_t, 6> seeds{3, 17, 42, 101, 777, 2024};

struct Run {
    std::vector<WaveEvent> all;    // every wave reported, in tick order
    std::vector<WaveEvent> events; // those starting within the window
    std::vector<TickSample> samples;
    int resting = 0;
    // Up positive, pixels from the baseline, on tick t (counted from 1).
    int height(std::int64_t t) const { return baselineY - samples[std::size_t(t - 1)].y; }
    // The farthest excursion over a wave's ticks, signed.
    int extreme(const WaveEvent& e) const {
        int best = 0;
        for (std::int64_t t = e.tick; t < e.tick + e.length; ++t) {
            best = std::abs(height(t)) > std::abs(best) ? height(t) : best;
        }
        return best;
    }
};

class Recorder : public WaveListener {
public:
    void onWave(const WaveEvent& event) override { waves.push_back(event); }
    std::vector<WaveEvent> waves;
};

const Run& play(LibraryRhythm rhythm, std::uint32_t seed) {
    static std::map<std::pair<int, std::uint32_t>, Run> cache;
    Run& run = cache[{static_cast<int>(rhythm), seed}];
    if (!run.samples.empty()) {
        return run;
    }
    Simulation sim;
    Recorder recorder;
    sim.setWaveListener(&recorder);
    sim.selectRhythm(rhythmOf(rhythm), seed);
    for (int t = 0; t < settle + window + 300; ++t) {
        run.samples.push_back(sim.step());
    }
    sim.setWaveListener(nullptr);
    run.resting = sim.restingLevel();
    run.all = recorder.waves;
    std::stable_sort(run.all.begin(), run.all.end(),
                     [](auto& a, auto& b) { return a.tick < b.tick; });
    std::copy_if(run.all.begin(), run.all.end(), std::back_inserter(run.events),
                 [](auto& e) { return e.tick > settle && e.tick <= settle + window; });
    return run;
}

bool isAtrial(const WaveEvent& e) {
    return (e.kind == WaveKind::p && e.role != WaveRole::missing) ||
           e.kind == WaveKind::atrialFlutter || e.kind == WaveKind::atrialFibrillation;
}

std::vector<WaveEvent> pick(const std::vector<WaveEvent>& events, auto predicate) {
    std::vector<WaveEvent> out;
    std::copy_if(events.begin(), events.end(), std::back_inserter(out), predicate);
    return out;
}

std::vector<WaveEvent> ofBeat(const Run& run, std::int64_t beat, WaveKind kind) {
    return pick(run.all, [&](auto& e) { return e.beat == beat && e.kind == kind; });
}

std::vector<double> cycles(const std::vector<WaveEvent>& waves) {
    std::vector<double> out;
    for (std::size_t i = 1; i < waves.size(); ++i) {
        out.push_back(double(waves[i].tick - waves[i - 1].tick));
    }
    return out;
}

double mean(const std::vector<double>& v) {
    return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
}
double median(std::vector<double> v) {
    if (v.empty()) {
        return 0;
    }
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// Everything read from one run's waves.
struct Measures {
    std::vector<WaveEvent> atrial, complexes;
    std::vector<double> pp, rr;
    double atrialRate = 0, ventricularRate = 0, rrCv = 0;
    std::vector<int> pr;          // P onset to QRS onset in one beat, ticks (negative: P after)
    std::vector<int> sinceP;      // the latest P onset to each complex, ticks
    int pAlone = 0, qrsAlone = 0; // beats with a P and no complex, with a complex and no P
    std::set<WaveRole> roles;
    bool beatsAgree = true; // one role a beat; an atrial wave blocked exactly when it has no QRS
};

Measures measure(const Run& run) {
    Measures m;
    m.atrial = pick(run.events, isAtrial);
    m.complexes = pick(run.events, [](auto& e) { return isVentricularComplex(e.kind); });
    m.pp = cycles(pick(m.atrial, [&](auto& e) { return e.kind == m.atrial.front().kind; }));
    m.rr = cycles(m.complexes);
    m.atrialRate = m.pp.empty() ? 0 : 6000 / median(m.pp);
    m.ventricularRate = m.rr.empty() ? 0 : 6000 / mean(m.rr);
    double spread = 0;
    for (double x : m.rr) {
        spread += (x - mean(m.rr)) * (x - mean(m.rr));
    }
    m.rrCv = m.rr.size() < 2 ? 0 : std::sqrt(spread / double(m.rr.size())) / mean(m.rr);
    std::map<std::int64_t, std::vector<WaveEvent>> beats;
    for (const WaveEvent& e : run.all) {
        beats[e.beat].push_back(e);
    }
    for (const WaveEvent& e : run.events) {
        m.roles.insert(e.role);
    }
    for (const WaveEvent& c : m.complexes) {
        const auto& beat = beats[c.beat];
        const auto p = std::find_if(beat.begin(), beat.end(), isAtrial);
        if (p != beat.end()) {
            m.pr.push_back(int(c.tick - p->tick));
        } else {
            ++m.qrsAlone;
        }
        const auto last = std::find_if(m.atrial.rbegin(), m.atrial.rend(),
                                       [&](auto& a) { return a.tick <= c.tick; });
        if (last != m.atrial.rend()) {
            m.sinceP.push_back(int(c.tick - last->tick));
        }
    }
    for (const WaveEvent& a : m.atrial) {
        const auto& beat = beats[a.beat];
        const bool hasComplex = std::any_of(beat.begin(), beat.end(),
                                            [](auto& e) { return isVentricularComplex(e.kind); });
        m.pAlone += a.kind == WaveKind::p && !hasComplex;
        m.beatsAgree = m.beatsAgree && ((a.role == WaveRole::blocked) != hasComplex ||
                                        a.kind == WaveKind::atrialFibrillation);
    }
    for (const auto& entry : beats) {
        const WaveRole role = entry.second.front().role;
        m.beatsAgree = m.beatsAgree && std::all_of(entry.second.begin(), entry.second.end(),
                                                   [&](auto& e) { return e.role == role; });
    }
    return m;
}

// Collects what a row got wrong, with the seed, and reports it at the end of the row.
struct Faults {
    QStringList list;
    std::uint32_t seed = 0;
    void operator()(bool ok, const QString& what) {
        const QString fault = QStringLiteral("seed %1: %2").arg(seed).arg(what);
        if (!ok && list.size() < 8 && !list.contains(fault)) {
            list << fault;
        }
    }
};

// Runs a row's checks on every seed's run and returns what they found.
template <typename Check> QStringList eachSeed(LibraryRhythm rhythm, Check check) {
    Faults f;
    for (const std::uint32_t seed : seeds) {
        f.seed = seed;
        check(f, play(rhythm, seed));
    }
    return f.list;
}

char roleLetter(WaveRole role) {
    return "cbmsvep"[static_cast<int>(role)];
}

// A data row named by the rhythm's id.
template <typename... T> void row(const char* id, const T&... values) {
    ((QTest::newRow(id) << *libraryRhythmOf(*parseRhythmId(id))) << ... << values);
}

// The largest minus the smallest; 0 for none.
template <typename T> T spread(const std::vector<T>& v) {
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    return v.empty() ? T() : *hi - *lo;
}

} // namespace

// A failed check names itself.
#define EXPECT(condition) f((condition), QStringLiteral(#condition))
#define VERIFY_FAULTS(faults) QVERIFY2((faults).isEmpty(), qPrintable((faults).join(u'\n')))

enum class Relation {
    oneToOne,
    retrograde,
    twoToOne,
    dropped,
    dissociated,
    noAtria,
    standstill,
    any
};

struct Expect {
    int aLo = 0, aHi = 0;      // atrial rate per minute (median cycle); 0: no atrial waves
    int vLo = 0, vHi = 0;      // mean ventricular rate; 0: not checked; -1: no complexes
    double cvLo = 0, cvHi = 1; // R–R coefficient of variation
    int prLo = 0, prHi = 0;    // ms within a beat; equal: not checked
    int prSpread = -1;         // ms, the largest PR minus the smallest at most; -1: not checked
    int qrsLo = 0, qrsHi = 0;  // ms of every narrow-kind complex (wide ones are all ≥ 120)
    Relation relation = Relation::any;
    const char* roles = "c"; // c b m s v e p: the roles allowed
    // The waves marked red, by kind and role letter; "~": some of them; "*": every tick; "?":
    // not checked; "": none.
    const char* red = "";
};

Q_DECLARE_METATYPE(Expect)
Q_DECLARE_METATYPE(LibraryRhythm)

class TestLibrary : public QObject {
    Q_OBJECT

private slots:
    void criteria_data();
    void criteria();
    void determinism();
    void prematureBeats_data();
    void prematureBeats();
    void avConduction_data();
    void avConduction();
    void sinusPauses_data();
    void sinusPauses();
    void atrialWaves_data();
    void atrialWaves();
    void qrsShape_data();
    void qrsShape();
    void ventricularChaos_data();
    void ventricularChaos();
    void pacing_data();
    void pacing();
    void liveChangesTakeEffectWithoutATear();
};

void TestLibrary::criteria_data() {
    QTest::addColumn<LibraryRhythm>("rhythm");
    QTest::addColumn<Expect>("x");
    using enum Relation;
    // atria, ventricles, R–R CV, PR, PR spread, QRS, P:QRS, roles, marked
    row("sinus_rhythm", Expect{60, 100, 60, 100, 0, .05, 120, 200, 10, 60, 100, oneToOne, "c", ""});
    row("sinus_bradycardia",
        Expect{40, 59, 40, 59, 0, .05, 120, 200, 10, 60, 100, oneToOne, "c", ""});
    row("sinus_tachycardia",
        Expect{101, 160, 101, 160, 0, .05, 120, 200, 10, 60, 100, oneToOne, "c", ""});
    row("sinus_arrhythmia",
        Expect{60, 100, 60, 100, .02, 1, 120, 200, 10, 60, 100, oneToOne, "c", ""});
    row("sinus_arrest", Expect{60, 100, 0, 0, 0, 1, 120, 200, 10, 60, 100, oneToOne, "cm", "P:m"});
    row("sa_block", Expect{60, 100, 0, 0, 0, 1, 120, 200, 10, 60, 100, oneToOne, "cm", "P:m"});
    row("pac", Expect{60, 100, 0, 0, 0, 1, 120, 200, -1, 60, 100, oneToOne, "cs", "P:s"});
    row("atrial_tachycardia",
        Expect{150, 250, 150, 250, 0, .05, 120, 160, 10, 60, 100, oneToOne, "s", "P"});
    row("mat", Expect{100, 150, 100, 150, .05, 1, 120, 200, -1, 60, 100, oneToOne, "s", "P"});
    row("af_controlled", Expect{350, 600, 60, 100, .1, 1, 0, 0, -1, 60, 100, any, "cb", "f"});
    row("af_rapid", Expect{350, 600, 110, 160, .1, 1, 0, 0, -1, 60, 100, any, "cb", "f"});
    row("flutter_2to1", Expect{250, 350, 125, 175, 0, .05, 0, 0, -1, 60, 100, any, "cb", "F"});
    row("flutter_3to1", Expect{250, 350, 83, 117, 0, .05, 0, 0, -1, 60, 100, any, "cb", "F"});
    row("flutter_4to1", Expect{250, 350, 62, 88, 0, .05, 0, 0, -1, 60, 100, any, "cb", "F"});
    row("flutter_variable", Expect{250, 350, 0, 0, .05, 1, 0, 0, -1, 60, 100, any, "cb", "F"});
    row("pjc", Expect{60, 100, 0, 0, 0, 1, 0, 0, -1, 60, 100, oneToOne, "cs", "QRS:s"});
    row("junctional_escape",
        Expect{-1, 0, 40, 60, 0, .05, -200, 0, -1, 60, 100, retrograde, "e", "QRS"});
    row("accelerated_junctional",
        Expect{-1, 0, 61, 100, 0, .05, -200, 0, -1, 60, 100, retrograde, "s", "QRS"});
    row("junctional_tachycardia",
        Expect{-1, 0, 101, 140, 0, .05, -200, 0, -1, 60, 100, retrograde, "s", "QRS"});
    row("svt_avnrt", Expect{-1, 0, 150, 250, 0, .05, -90, 0, -1, 60, 100, retrograde, "s", "?"});
    row("wpw", Expect{60, 100, 60, 100, 0, .05, 80, 110, 10, 110, 140, oneToOne, "c", "QRS"});
    row("av_block_1", Expect{60, 100, 60, 100, 0, .05, 210, 380, 10, 60, 100, oneToOne, "c", "P"});
    row("mobitz_1", Expect{60, 100, 0, 0, 0, 1, 160, 600, -1, 60, 100, dropped, "cb", "P:b"});
    row("mobitz_2", Expect{60, 100, 0, 0, 0, 1, 120, 200, 10, 60, 160, dropped, "cb", "P:b"});
    row("av_block_2to1",
        Expect{70, 100, 35, 50, 0, .05, 120, 200, 10, 60, 160, twoToOne, "cb", "P:b"});
    row("chb_narrow", Expect{60, 100, 35, 60, 0, .05, 0, 0, -1, 60, 110, dissociated, "be", "P:b"});
    row("chb_wide", Expect{60, 100, 20, 40, 0, .05, 0, 0, -1, 0, 0, dissociated, "be", "P:b"});
    for (const char* id : {"pvc_unifocal", "pvc_multifocal", "ventricular_bigeminy",
                           "ventricular_trigeminy", "pvc_couplets", "pvc_r_on_t", "nsvt"}) {
        row(id, Expect{60, 100, 0, 0, 0, 1, 120, 200, 10, 60, 100, any, "cbv", "V"});
    }
    row("idioventricular", Expect{0, 0, 20, 40, 0, .05, 0, 0, -1, 0, 0, noAtria, "e", "V"});
    row("aivr", Expect{0, 0, 50, 100, 0, .05, 0, 0, -1, 0, 0, noAtria, "ve", "V"});
    row("vt_monomorphic", Expect{-1, 0, 130, 250, 0, .05, 0, 0, -1, 0, 0, dissociated, "bv", "V"});
    row("torsades", Expect{0, 0, 200, 250, 0, .05, 0, 0, -1, 0, 0, noAtria, "v", "V"});
    row("ventricular_flutter", Expect{0, 0, 250, 350, 0, .05, 0, 0, -1, 0, 0, noAtria, "v", "?"});
    row("vf_coarse", Expect{0, 0, -1, 0, 0, 1, 0, 0, -1, 0, 0, noAtria, "v", "*"});
    row("vf_fine", Expect{0, 0, -1, 0, 0, 1, 0, 0, -1, 0, 0, noAtria, "v", "*"});
    row("asystole", Expect{0, 0, -1, 0, 0, 1, 0, 0, -1, 0, 0, noAtria, "", "?"});
    row("p_wave_asystole", Expect{30, 60, -1, 0, 0, 1, 0, 0, -1, 0, 0, standstill, "b", "P:b"});
    row("paced_atrial", Expect{60, 80, 60, 80, 0, .05, 150, 240, 10, 60, 100, oneToOne, "p", "SA"});
    row("paced_ventricular", Expect{0, 0, 60, 80, 0, .05, 0, 0, -1, 0, 0, noAtria, "p", "SV"});
    row("paced_av", Expect{60, 80, 60, 80, 0, .05, 0, 0, -1, 0, 0, oneToOne, "p", "SV"});
    row("paced_failure_to_capture", Expect{0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, noAtria, "p", "~SV"});
    row("paced_failure_to_sense",
        Expect{70, 95, 0, 0, 0, 1, 120, 200, -1, 60, 100, any, "cbp", "~SV"});
    row("bbb", Expect{60, 100, 60, 100, 0, .05, 120, 200, 10, 120, 160, oneToOne, "c", "QRS"});
}

void TestLibrary::criteria() {
    QFETCH(LibraryRhythm, rhythm);
    QFETCH(Expect, x);
    const QString marking = QString::fromLatin1(x.red);
    const QStringList faults = eachSeed(rhythm, [&](Faults& f, const Run& run) {
        const Measures m = measure(run);
        EXPECT(x.aLo < 0 ||
               (x.aLo > 0 ? m.atrialRate >= x.aLo && m.atrialRate <= x.aHi : m.atrial.empty()));
        EXPECT(x.vLo <= 0 || (m.ventricularRate >= x.vLo && m.ventricularRate <= x.vHi));
        EXPECT((x.vLo < 0) == m.complexes.empty());
        EXPECT(m.rrCv >= x.cvLo && m.rrCv <= x.cvHi);
        for (int pr : m.pr) {
            EXPECT(x.prLo == x.prHi || (pr * 10 >= x.prLo && pr * 10 <= x.prHi));
        }
        EXPECT(x.prSpread < 0 || spread(m.pr) * 10 <= x.prSpread);
        for (const WaveEvent& c : m.complexes) {
            EXPECT(c.kind == WaveKind::qrs ? c.length * 10 >= x.qrsLo && c.length * 10 <= x.qrsHi
                                           : c.length * 10 >= 120);
        }
        const auto ps = std::count_if(m.atrial.begin(), m.atrial.end(),
                                      [](auto& a) { return a.kind == WaveKind::p; });
        const auto vs = static_cast<long>(m.complexes.size());
        using enum Relation;
        const Relation r = x.relation;
        EXPECT(r != oneToOne || (m.pAlone == 0 && m.qrsAlone == 0));
        EXPECT(r != retrograde || (m.pAlone == 0 && (m.qrsAlone == 0 || m.atrial.empty())));
        EXPECT(r != twoToOne || (std::abs(m.pAlone - vs) <= 1 && m.qrsAlone == 0));
        EXPECT(r != dropped || (m.pAlone > 0 && m.qrsAlone == 0));
        EXPECT(r != standstill || (m.pAlone == ps && vs == 0));
        EXPECT(r != noAtria || m.atrial.empty());
        EXPECT(r != dissociated || (m.pAlone == ps && m.qrsAlone == vs));
        EXPECT(r != dissociated || spread(m.sinceP) >= 0.4 * median(m.pp)); // P to QRS drifts
        for (WaveRole role : m.roles) {
            f(std::strchr(x.roles, roleLetter(role)) != nullptr,
              QStringLiteral("role %1").arg(roleLetter(role)));
        }
        EXPECT(m.beatsAgree);
        // The trace comes back to the baseline, the tone sounds once a complex, and red marks
        // what the rhythm is known by.
        EXPECT(run.resting == baselineY);
        long beeps = 0, red = 0;
        for (int t = settle + 1; t <= settle + window; ++t) {
            beeps += run.samples[std::size_t(t - 1)].beep;
            red += run.samples[std::size_t(t - 1)].red;
        }
        const auto complexes = std::count_if(run.events.begin(), run.events.end(),
                                             [](auto& e) { return isVentricularComplex(e.kind); });
        EXPECT(std::abs(beeps - complexes) <= 1);
        if (marking == "?") {
            return;
        }
        if (marking.isEmpty() || marking == "*") {
            EXPECT(red == (marking.isEmpty() ? 0 : window));
            return;
        }
        const QStringList parts = QString(marking).remove(u'~').split(u':');
        const auto marked = pick(run.events, [&](auto& e) {
            return QLatin1String(waveKindName(e.kind).data(), waveKindName(e.kind).size()) ==
                       parts[0] &&
                   (parts.size() == 1 || roleLetter(e.role) == parts[1][0]);
        });
        const auto reds = std::count_if(marked.begin(), marked.end(), [&](auto& e) {
            return std::any_of(&run.samples[std::size_t(e.tick - 1)],
                               &run.samples[std::size_t(e.tick + e.length - 1)] + 1,
                               [](auto& s) { return s.red; });
        });
        EXPECT(reds > 0 && (marking.startsWith(u'~') || reds == long(marked.size())));
    });
    VERIFY_FAULTS(faults);
}

// One seed, one trace; other seeds, other rates.
void TestLibrary::determinism() {
    for (LibraryRhythm rhythm : allLibraryRhythms) {
        const Run& first = play(rhythm, seeds[0]);
        Simulation sim;
        Recorder again;
        sim.setWaveListener(&again);
        sim.selectRhythm(rhythmOf(rhythm), seeds[0]);
        for (const TickSample& drawn : first.samples) {
            const TickSample s = sim.step();
            QVERIFY(s.y == drawn.y && s.red == drawn.red && s.beep == drawn.beep);
        }
        std::stable_sort(again.waves.begin(), again.waves.end(),
                         [](auto& a, auto& b) { return a.tick < b.tick; });
        QVERIFY(again.waves == first.all);
        std::set<std::tuple<long, long, std::size_t>> rates; // VF: its waves a minute
        for (std::uint32_t seed : seeds) {
            const Measures m = measure(play(rhythm, seed));
            rates.insert(
                {std::lround(m.atrialRate * 10), std::lround(m.ventricularRate * 10),
                 m.atrial.empty() && m.complexes.empty() ? play(rhythm, seed).events.size() : 0});
        }
        QVERIFY2(rhythm == LibraryRhythm::asystole || rates.size() >= 3, infoOf(rhythm).id.data());
    }
}

struct Ectopy {
    WaveRole role;
    // Normal beats between ectopic runs; 0: not checked. "Every k beats" reads both as k and
    // as k - 1 normal beats between (bigeminy's "every second beat" is the latter).
    int everyLo, everyHi;
    int runLo, runHi;           // ectopic beats in a row
    int couplingLo, couplingHi; // ms from the preceding complex; PAC: percent of the P–P
    int spreadLo, spreadHi;     // ms, largest minus smallest coupling
    int shapes;                 // distinct ventricular shapes; 0: not checked
    enum { compensatory, reset, none } pause;
};
Q_DECLARE_METATYPE(Ectopy)

void TestLibrary::prematureBeats_data() {
    QTest::addColumn<LibraryRhythm>("rhythm");
    QTest::addColumn<Ectopy>("x");
    const WaveRole s = WaveRole::supraventricular, v = WaveRole::ventricular;
    row("pac", Ectopy{s, 2, 8, 1, 1, 55, 75, 0, 10000, 0, Ectopy::reset});
    row("pjc", Ectopy{s, 2, 8, 1, 1, 0, 0, 0, 10000, 0, Ectopy::reset});
    row("pvc_unifocal", Ectopy{v, 2, 10, 1, 1, 0, 0, 0, 10, 1, Ectopy::compensatory});
    row("pvc_multifocal", Ectopy{v, 2, 10, 1, 1, 0, 0, 30, 10000, 3, Ectopy::compensatory});
    row("ventricular_bigeminy", Ectopy{v, 1, 1, 1, 1, 0, 0, 0, 10, 1, Ectopy::compensatory});
    row("ventricular_trigeminy", Ectopy{v, 2, 2, 1, 1, 0, 0, 0, 10, 1, Ectopy::compensatory});
    row("pvc_couplets", Ectopy{v, 2, 8, 2, 2, 0, 0, 0, 10000, 0, Ectopy::none});
    row("pvc_r_on_t", Ectopy{v, 2, 10, 1, 1, 240, 320, 0, 10000, 0, Ectopy::compensatory});
    row("nsvt", Ectopy{v, 0, 0, 3, 10, 0, 0, 0, 10000, 0, Ectopy::none});
}

void TestLibrary::prematureBeats() {
    QFETCH(LibraryRhythm, rhythm);
    QFETCH(Ectopy, x);
    const QStringList faults = eachSeed(rhythm, [&](Faults& f, const Run& run) {
        const Measures m = measure(run);
        const auto sinusP =
            pick(m.atrial, [](auto& a) { return a.role != WaveRole::supraventricular; });
        const double pp = median(cycles(sinusP));
        const auto& c = m.complexes;
        std::vector<int> couplings;
        std::set<std::tuple<int, bool, int>> shapes;
        int normals = -1, runStart = -1, runs = 0;
        for (std::size_t i = 1; i + 1 < c.size(); ++i) {
            const bool ectopic = c[i].role == x.role, wasEctopic = c[i - 1].role == x.role;
            if (!ectopic) {
                normals += normals >= 0 ? 1 : 0;
                if (wasEctopic && runStart > 0) {
                    const int length = int(i) - runStart;
                    ++runs;
                    EXPECT(length >= x.runLo && length <= x.runHi);
                    // The R–R around the run: two sinus cycles when the node was left alone.
                    const double around = double(c[i].tick - c[std::size_t(runStart) - 1].tick);
                    EXPECT(x.pause != Ectopy::compensatory || std::abs(around - 2 * pp) <= 1);
                    EXPECT(x.pause != Ectopy::reset || around < 2 * pp - 2);
                }
                continue;
            }
            shapes.insert({c[i].length, c[i].inverted, c[i].peak});
            if (!wasEctopic) {
                EXPECT(x.everyLo == 0 || normals < 0 ||
                       (normals >= x.everyLo && normals <= x.everyHi));
                normals = 0;
                runStart = int(i);
                couplings.push_back(int(c[i].tick - c[i - 1].tick));
                if (x.couplingHi > 0 && x.role == WaveRole::ventricular) {
                    const int ms = int(c[i].tick - c[i - 1].tick) * 10;
                    const auto t = ofBeat(run, c[i - 1].beat, WaveKind::t);
                    EXPECT(ms >= x.couplingLo && ms <= x.couplingHi);
                    EXPECT(!t.empty() && c[i].tick >= t[0].tick &&
                           c[i].tick < t[0].tick + t[0].length); // on the T wave
                }
            } else if (x.runHi > 2) {
                const double rate = 6000.0 / double(c[i].tick - c[i - 1].tick);
                EXPECT(rate >= 120 && rate <= 200);
            }
            const auto own = ofBeat(run, c[i].beat, WaveKind::p);
            EXPECT(x.role != WaveRole::ventricular || own.empty());
            if (x.role == WaveRole::ventricular || own.empty()) {
                continue;
            }
            const auto before = std::find_if(sinusP.rbegin(), sinusP.rend(),
                                             [&](auto& p) { return p.tick < own[0].tick; });
            const auto after = std::find_if(sinusP.begin(), sinusP.end(),
                                            [&](auto& p) { return p.tick > own[0].tick; });
            if (before != sinusP.rend() && after != sinusP.end()) {
                const double share = 100.0 * double(own[0].tick - before->tick) / pp;
                const double half = 50.0 / pp; // a tick is the resolution
                EXPECT(x.couplingLo == 0 ||
                       (share + half >= x.couplingLo && share - half <= x.couplingHi));
                // The premature impulse resets the sinus node: a whole cycle from it.
                const double reset = double(after->tick - own[0].tick);
                EXPECT(reset >= pp - 2 && reset <= 1.2 * pp);
            }
            if (rhythm == LibraryRhythm::pjc) {
                EXPECT(c[i].tick - own[0].tick < 12); // PR' under 120 ms
                const int lead = run.height(own[0].tick - 1);
                int most = 0;
                for (std::int64_t t = own[0].tick;
                     t < std::min(own[0].tick + own[0].length, c[i].tick); ++t) {
                    most = std::abs(run.height(t) - lead) > std::abs(most) ? run.height(t) - lead
                                                                           : most;
                }
                EXPECT(most < 0); // an inverted P'
            }
        }
        EXPECT(runs >= 2);
        EXPECT(!couplings.empty() && spread(couplings) * 10 >= x.spreadLo &&
               spread(couplings) * 10 <= x.spreadHi);
        EXPECT(x.shapes == 0 || int(shapes.size()) == x.shapes);
    });
    VERIFY_FAULTS(faults);
}

void TestLibrary::avConduction_data() {
    QTest::addColumn<LibraryRhythm>("rhythm");
    QTest::addColumn<int>("groupLo"); // conducted P waves between blocked ones; 0: dissociated
    QTest::addColumn<int>("groupHi");
    row("mobitz_1", 3, 5);
    row("mobitz_2", 2, 5);
    row("av_block_2to1", 1, 1);
    row("chb_narrow", 0, 0);
    row("chb_wide", 0, 0);
}

void TestLibrary::avConduction() {
    QFETCH(LibraryRhythm, rhythm);
    QFETCH(int, groupLo);
    QFETCH(int, groupHi);
    const QStringList faults = eachSeed(rhythm, [&](Faults& f, const Run& run) {
        const Measures m = measure(run);
        const double pp = median(m.pp);
        if (groupHi == 0) {
            EXPECT(m.atrialRate > m.ventricularRate + 5);
            return;
        }
        // Groups of conducted beats between blocked P waves, each beat its P and its complex.
        std::vector<std::vector<WaveEvent>> groups{{}};
        for (const WaveEvent& p : m.atrial) {
            if (p.role == WaveRole::blocked) {
                groups.emplace_back();
                continue;
            }
            const auto c = std::find_if(m.complexes.begin(), m.complexes.end(),
                                        [&](auto& e) { return e.beat == p.beat; });
            if (c != m.complexes.end()) {
                groups.back().insert(groups.back().end(), {p, *c});
            }
        }
        for (std::size_t g = 1; g + 2 < groups.size(); ++g) {
            const auto& beats = groups[g];
            const int n = int(beats.size() / 2);
            const auto pr = [&](int i) { return int(beats[2 * i + 1].tick - beats[2 * i].tick); };
            const auto rr = [&](int i) {
                return int(beats[2 * i + 3].tick - beats[2 * i + 1].tick);
            };
            const double pause =
                groups[g + 1].empty() ? 0 : double(groups[g + 1][1].tick - beats.back().tick);
            EXPECT(n >= groupLo && n <= groupHi);
            if (rhythm == LibraryRhythm::mobitz1) {
                // PR lengthens, its first increment the largest, so the R–R shortens.
                EXPECT(pr(0) >= 16 && pr(0) <= 22);
                for (int i = 1; i < n; ++i) {
                    EXPECT(pr(i) > pr(i - 1));
                    EXPECT(i < 2 || pr(i) - pr(i - 1) < pr(1) - pr(0));
                    EXPECT(i < 2 || (rr(i - 1) <= rr(i - 2) && rr(i - 1) < rr(0)));
                }
                EXPECT(pause < 2 * pp);
            } else {
                // Constant PR, before and after the block; the pause exactly two P–P.
                for (int i = 0; i < n; ++i) {
                    EXPECT(pr(i) == pr(0));
                }
                EXPECT(std::abs(pause - 2 * pp) <= 1);
                EXPECT(groups[g + 1].empty() ||
                       pr(n - 1) == int(groups[g + 1][1].tick - groups[g + 1][0].tick));
            }
        }
    });
    VERIFY_FAULTS(faults);
}

void TestLibrary::sinusPauses_data() {
    QTest::addColumn<LibraryRhythm>("rhythm");
    QTest::addColumn<int>("everyLo"); // P waves from one pause to the next; 0: phasic
    QTest::addColumn<int>("everyHi");
    row("sinus_arrest", 3, 8);
    row("sa_block", 2, 7);
    row("sinus_arrhythmia", 0, 0);
}

void TestLibrary::sinusPauses() {
    QFETCH(LibraryRhythm, rhythm);
    QFETCH(int, everyLo);
    QFETCH(int, everyHi);
    const QStringList faults = eachSeed(rhythm, [&](Faults& f, const Run& run) {
        const Measures m = measure(run);
        const double pp = median(m.pp);
        if (everyLo == 0) {
            EXPECT(spread(m.pp) * 10 >= 160);
            // Turns of the P–P's direction, over plateaus of equal whole-tick cycles: breathing.
            int turns = 0;
            double direction = 0;
            for (std::size_t i = 1; i < m.pp.size(); ++i) {
                const double step = m.pp[i] - m.pp[i - 1];
                turns += step * direction < 0;
                direction = step != 0 ? step : direction;
            }
            const double breath = 2.0 * window / std::max(turns, 1);
            EXPECT(breath >= 250 && breath <= 600);
            return;
        }
        int last = -1, pauses = 0;
        for (std::size_t i = 0; i < m.pp.size(); ++i) {
            if (m.pp[i] < 1.5 * pp) {
                continue;
            }
            ++pauses;
            const double ratio = m.pp[i] / pp;
            if (rhythm == LibraryRhythm::saBlock) {
                EXPECT(std::abs(m.pp[i] - 2 * pp) <= 1);
            } else {
                EXPECT(m.pp[i] >= 200 && m.pp[i] <= 350);
                EXPECT(std::abs(ratio - std::round(ratio)) > 0.1); // no whole number of cycles
            }
            EXPECT(i + 1 >= m.pp.size() || std::abs(m.pp[i + 1] - pp) <= 1); // resumes as before
            EXPECT(last < 0 || (int(i) - last >= everyLo && int(i) - last <= everyHi));
            last = int(i);
        }
        EXPECT(pauses >= 3);
    });
    VERIFY_FAULTS(faults);
}

void TestLibrary::atrialWaves_data() {
    QTest::addColumn<LibraryRhythm>("rhythm");
    QTest::addColumn<QString>("ratios"); // flutter waves per QRS; empty: fibrillation; "m": MAT
    row("flutter_2to1", "2");
    row("flutter_3to1", "3");
    row("flutter_4to1", "4");
    row("flutter_variable", "234");
    row("af_controlled", "");
    row("af_rapid", "");
    row("mat", "m");
}

void TestLibrary::atrialWaves() {
    QFETCH(LibraryRhythm, rhythm);
    QFETCH(QString, ratios);
    const QStringList faults = eachSeed(rhythm, [&](Faults& f, const Run& run) {
        const Measures m = measure(run);
        const auto& a = m.atrial;
        if (ratios == "m") {
            // A P wave's shape: its width and the sign of its deviation from the chord joining the
            // trace before and after it, which takes out the slope of a T wave it rides on.
            std::set<std::pair<int, int>> shapes;
            for (const WaveEvent& p : a) {
                const double before = run.height(p.tick - 1), after = run.height(p.tick + p.length);
                double hi = 0, lo = 0;
                for (int k = 0; k < p.length; ++k) {
                    const double dev = run.height(p.tick + k) -
                                       (before + (after - before) * (k + 1) / (p.length + 1));
                    hi = std::max(hi, dev);
                    lo = std::min(lo, dev);
                }
                shapes.insert({p.length, (hi >= 2 ? 1 : 0) + (lo <= -2 ? 2 : 0)});
            }
            EXPECT(shapes.size() >= 3 && spread(m.pr) >= 2);
            return;
        }
        if (ratios.isEmpty()) {
            // Irregularly irregular: no 30 ms band holds even a third of the R–R intervals.
            std::map<int, int> counts;
            for (double rr : m.rr) {
                ++counts[int(rr) / 3];
            }
            EXPECT(std::all_of(counts.begin(), counts.end(), [&](auto& band) {
                return band.second < 0.3 * double(m.rr.size());
            }));
            return;
        }
        std::set<long> seen;
        for (std::size_t i = 1; i < m.complexes.size(); ++i) {
            if (m.complexes[i - 1].tick - 10 <= settle) {
                continue; // its flutter waves began before the window
            }
            const auto n = std::count_if(a.begin(), a.end(), [&](auto& w) {
                return w.tick > m.complexes[i - 1].tick - 10 && w.tick <= m.complexes[i].tick - 10;
            });
            seen.insert(n);
            EXPECT(ratios.contains(QString::number(n)));
        }
        EXPECT(ratios.size() == 1 || seen.size() >= 2);
        for (std::size_t i = 1; i < a.size(); ++i) {
            EXPECT(a[i].tick - a[i - 1].tick <= a[i - 1].length); // no isoelectric gap
            // Where nothing else is laid over it, a flutter wave is negative in lead II.
            const bool clear = std::none_of(run.all.begin(), run.all.end(), [&](auto& e) {
                return e.kind != WaveKind::atrialFlutter && e.tick < a[i].tick + a[i].length &&
                       e.tick + e.length > a[i].tick;
            });
            EXPECT(!clear || run.extreme(a[i]) < 0);
        }
    });
    VERIFY_FAULTS(faults);
}

void TestLibrary::qrsShape_data() {
    QTest::addColumn<LibraryRhythm>("rhythm");
    QTest::addColumn<int>("delta"); // -1: not read (a wide complex rises slowly anyway)
    QTest::addColumn<bool>("discordant");
    row("sinus_rhythm", 0, false);
    row("wpw", 1, false);
    row("bbb", 0, true);
    row("pvc_unifocal", -1, true);
    row("chb_wide", -1, true);
    row("paced_ventricular", -1, true);
}

void TestLibrary::qrsShape() {
    QFETCH(LibraryRhythm, rhythm);
    QFETCH(int, delta);
    QFETCH(bool, discordant);
    const QStringList faults = eachSeed(rhythm, [&](Faults& f, const Run& run) {
        for (const WaveEvent& c : measure(run).complexes) {
            if (rhythm == LibraryRhythm::pvcUnifocal && c.kind != WaveKind::ventricularBeat) {
                continue;
            }
            // A delta wave: a positive, slow, steady rise over the first 30 ms, then the R wave.
            const int rise = run.height(c.tick + 3) - run.height(c.tick - 1);
            bool slow = rise <= 12 && rise >= 3;
            for (std::int64_t t = c.tick; t < c.tick + 3; ++t) {
                slow = slow && run.height(t + 1) >= run.height(t);
            }
            EXPECT(delta < 0 || (slow == (delta == 1) && (delta == 0 || run.extreme(c) >= 25)));
            const auto t = ofBeat(run, c.beat, WaveKind::t);
            EXPECT(!t.empty() && ((run.extreme(c) > 0) != (run.extreme(t[0]) > 0)) == discordant);
        }
    });
    VERIFY_FAULTS(faults);
}

void TestLibrary::ventricularChaos_data() {
    QTest::addColumn<LibraryRhythm>("rhythm");
    QTest::addColumn<int>("ampLo"); // px peak to trough in every 2 s
    QTest::addColumn<int>("ampHi");
    QTest::addColumn<int>("rateLo"); // waves per minute; 0: none
    QTest::addColumn<int>("rateHi");
    row("torsades", 12, 200, 200, 250);
    row("ventricular_flutter", 40, 200, 250, 350);
    row("vf_coarse", 12, 200, 150, 500);
    row("vf_fine", 3, 11, 150, 500);
    row("asystole", 0, 0, 0, 0);
}

void TestLibrary::ventricularChaos() {
    QFETCH(LibraryRhythm, rhythm);
    QFETCH(int, ampLo);
    QFETCH(int, ampHi);
    QFETCH(int, rateLo);
    QFETCH(int, rateHi);
    const QStringList faults = eachSeed(rhythm, [&](Faults& f, const Run& run) {
        const auto& waves = run.events;
        for (int from = settle + 1; from + 200 <= settle + window; from += 200) {
            int hi = -1000, lo = 1000, flat = 0;
            for (int t = from; t < from + 200; ++t) {
                hi = std::max(hi, run.height(t));
                lo = std::min(lo, run.height(t));
                flat = run.height(t) == 0 ? flat + 1 : 0;
                // Ventricular flutter never rests on the baseline.
                EXPECT(rhythm != LibraryRhythm::ventricularFlutter || flat <= 3);
            }
            EXPECT(hi - lo >= ampLo && hi - lo <= ampHi);
        }
        EXPECT((rateLo == 0) == waves.empty());
        if (rateLo == 0) {
            return;
        }
        const double rate = 6000 / mean(cycles(waves));
        EXPECT(rate >= rateLo && rate <= rateHi);
        // Torsades: within 15 beats the amplitude doubles and the larger deflection changes side.
        for (std::size_t i = 0; rhythm == LibraryRhythm::torsades && i + 15 <= waves.size(); ++i) {
            int big = 0, small = 1000;
            std::set<bool> sides;
            for (std::size_t k = i; k < i + 15; ++k) {
                big = std::max(big, std::abs(run.extreme(waves[k])));
                small = std::min(small, std::abs(run.extreme(waves[k])));
                sides.insert(run.extreme(waves[k]) > 0);
            }
            EXPECT(big >= 2 * small && sides.size() == 2);
        }
    });
    VERIFY_FAULTS(faults);
}

void TestLibrary::pacing_data() {
    QTest::addColumn<LibraryRhythm>("rhythm");
    QTest::addColumn<int>("rateLo"); // spikes a minute, fixed
    QTest::addColumn<int>("rateHi");
    QTest::addColumn<double>("lostLo"); // share of ventricular spikes without capture
    QTest::addColumn<double>("lostHi");
    row("paced_atrial", 60, 80, 0.0, 0.0);
    row("paced_ventricular", 60, 80, 0.0, 0.0);
    row("paced_av", 60, 80, 0.0, 0.0);
    row("paced_failure_to_capture", 60, 80, 0.2, 0.45);
    row("paced_failure_to_sense", 60, 70, 0.2, 0.9);
}

void TestLibrary::pacing() {
    QFETCH(LibraryRhythm, rhythm);
    QFETCH(int, rateLo);
    QFETCH(int, rateHi);
    QFETCH(double, lostLo);
    QFETCH(double, lostHi);
    const QStringList faults = eachSeed(rhythm, [&](Faults& f, const Run& run) {
        const auto& ev = run.events;
        const auto spikesA = pick(ev, [](auto& e) { return e.kind == WaveKind::pacingAtrial; });
        const auto spikesV =
            pick(ev, [](auto& e) { return e.kind == WaveKind::pacingVentricular; });
        const auto cycle = cycles(spikesA.empty() ? spikesV : spikesA);
        const auto [lo, hi] = std::minmax_element(cycle.begin(), cycle.end());
        EXPECT(!cycle.empty() && *hi - *lo <= 1 && 6000 / *hi >= rateLo && 6000 / *lo <= rateHi);
        const auto follows = [&](const WaveEvent& spike, WaveKind kind) {
            return std::any_of(run.all.begin(), run.all.end(), [&](auto& e) {
                return e.kind == kind && e.tick - spike.tick >= 1 && e.tick - spike.tick <= 2;
            });
        };
        for (const WaveEvent& s : spikesA) {
            EXPECT(s.length <= 2 && follows(s, WaveKind::p));
            // Spike to ventricles: the AV delay to the ventricular spike, else the conducted PR.
            const auto sv = ofBeat(run, s.beat, WaveKind::pacingVentricular);
            const auto qrs = ofBeat(run, s.beat, WaveKind::qrs);
            const auto& next = sv.empty() ? qrs : sv;
            const int delay = next.empty() ? 0 : int(next[0].tick - s.tick) * 10;
            EXPECT(sv.empty() ? delay >= 160 && delay <= 240 : delay >= 120 && delay <= 200);
        }
        int lost = 0;
        for (const WaveEvent& s : spikesV) {
            EXPECT(s.length <= 2);
            lost += !follows(s, WaveKind::ventricularBeat);
        }
        const double share = spikesV.empty() ? 0 : lost / double(spikesV.size());
        EXPECT(share >= lostLo && share <= lostHi);
        // Failure to sense: some spike within 300 ms of an intrinsic QRS.
        EXPECT(rhythm != LibraryRhythm::pacedFailureToSense ||
               std::any_of(spikesV.begin(), spikesV.end(), [&](auto& s) {
                   return std::any_of(ev.begin(), ev.end(), [&](auto& e) {
                       return e.kind == WaveKind::qrs && s.tick > e.tick && s.tick - e.tick <= 30;
                   });
               }));
    });
    VERIFY_FAULTS(faults);
}

// An instructor slows a sinus rhythm to 40/min and blocks every second beat while it plays: the
// next cycles follow the new values, no step is lost and the waves keep their order.
void TestLibrary::liveChangesTakeEffectWithoutATear() {
    Recorder recorder;
    Simulation sim;
    sim.setWaveListener(&recorder);
    sim.selectRhythm(indexOf(rhythmOf(LibraryRhythm::sinusRhythm)), 5);
    for (int t = 0; t < 2000; ++t) {
        sim.step();
    }
    conduction::Params slower = sim.libraryParameters();
    slower.atrialCycle = 150;
    slower.av = conduction::AvNode::ratio;
    slower.ratio = 2;
    sim.changeLibraryParameters(slower);
    recorder.waves.clear();
    for (int t = 0; t < 3000; ++t) {
        sim.step();
    }
    const auto& after = recorder.waves;
    const auto ps = pick(after, [](auto& e) { return e.kind == WaveKind::p; });
    const auto qrs = pick(after, [](auto& e) { return e.kind == WaveKind::qrs; });
    QVERIFY(ps.size() >= 18);
    const auto pp = cycles(std::vector<WaveEvent>(ps.begin() + 2, ps.end()));
    QVERIFY(std::all_of(pp.begin(), pp.end(), [](double c) { return c == 150; }));
    QVERIFY(qrs.size() * 2 + 1 >= ps.size() && qrs.size() * 2 <= ps.size() + 1);
    QVERIFY(std::is_sorted(after.begin(), after.end(),
                           [](auto& a, auto& b) { return a.tick < b.tick; }));
    for (int t = 0; t < 300; ++t) {
        sim.step();
    }
    QCOMPARE(sim.restingLevel(), baselineY);
}

QTEST_APPLESS_MAIN(TestLibrary)
#include "tst_library.moc"
