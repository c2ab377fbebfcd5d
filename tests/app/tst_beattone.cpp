#include "BeatTone.h"

#include <QLocalServer>
#include <QPoint>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <vector>

using pulsavo::BeatTone;
using pulsavo::ToneGenerator;
using pulsavo::ToneOutput;
using Mode = BeatTone::Mode;

namespace {

constexpr int rate = 48000;
constexpr std::size_t framesPerMs = rate / 1000;
constexpr int loud = 8000;

std::vector<qint16> readMs(ToneGenerator& generator, int ms) {
    std::vector<qint16> frames(static_cast<std::size_t>(ms) * framesPerMs);
    const auto bytes = static_cast<qint64>(frames.size()) * qint64{sizeof(qint16)};
    const qint64 got = generator.read(reinterpret_cast<char*>(frames.data()), bytes);
    if (got != bytes) {
        frames.clear();
    }
    return frames;
}

// Milliseconds from the first to the last audible frame, 0 for silence.
double soundingMs(const std::vector<qint16>& frames) {
    const auto audible = [](qint16 v) { return std::abs(v) > 0; };
    const auto first = std::find_if(frames.begin(), frames.end(), audible);
    if (first == frames.end()) {
        return 0.0;
    }
    const auto last = std::find_if(frames.rbegin(), frames.rend(), audible);
    return static_cast<double>(frames.rend() - last - (first - frames.begin())) / framesPerMs;
}

// The frame a tone began on (its ramp starts at zero, so the first audible frame is the next),
// or -1 for silence.
long long onsetFrame(const std::vector<qint16>& frames) {
    const auto first = std::find_if(frames.begin(), frames.end(), [](qint16 v) { return v != 0; });
    return first == frames.end() ? -1 : (first - frames.begin()) - 1;
}

// A generator pulled in chunks as a sink does in real time: the clock moves on by each chunk,
// and `aheadUs` of audio is always queued before the chunk read plays.
struct PulledGenerator {
    static constexpr qint64 startUs = 5'000'000;
    static constexpr int chunkMs = 20;
    qint64 nowUs = startUs;
    ToneGenerator generator{rate};

    explicit PulledGenerator(qint64 aheadUs) {
        generator.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        if (aheadUs >= 0) {
            generator.setTiming([this] { return nowUs; }, [aheadUs] { return aheadUs; });
        }
    }
    std::vector<qint16> pull(int chunks) {
        std::vector<qint16> all;
        for (int i = 0; i < chunks; ++i) {
            const auto chunk = readMs(generator, chunkMs);
            all.insert(all.end(), chunk.begin(), chunk.end());
            nowUs += chunkMs * 1000;
        }
        return all;
    }
};

int peak(const std::vector<qint16>& frames, std::size_t from, std::size_t count) {
    int result = 0;
    for (std::size_t i = from; i < from + count && i < frames.size(); ++i) {
        result = std::max(result, std::abs(static_cast<int>(frames[i])));
    }
    return result;
}

// What a fake output was asked to do, and whether anything reached it from the test's thread,
// which stands for the window's.
struct OutputLog {
    QThread* callerThread = QThread::currentThread();
    bool opens = true;
    QSemaphore openGate{1};
    std::atomic<bool> touchedFromCaller{false};
    std::atomic<int> rests{0};
    std::atomic<int> wakes{0};
    std::atomic<int> triggers{0};
    std::atomic<int> cancels{0};
    // Microseconds ahead of each schedule; read only after settle(), which waits for the worker.
    std::vector<qint64> schedules;
    std::atomic<bool> destroyed{false};
    std::function<void()> failed;

    void note() {
        if (QThread::currentThread() == callerThread) {
            touchedFromCaller = true;
        }
    }
};

class FakeOutput final : public ToneOutput {
public:
    explicit FakeOutput(OutputLog& log) : log(log) {}
    FakeOutput(const FakeOutput&) = delete;
    FakeOutput& operator=(const FakeOutput&) = delete;
    ~FakeOutput() override {
        log.note();
        log.destroyed = true;
    }
    bool open(std::function<void()> failed) override {
        log.note();
        log.openGate.acquire(); // a sound server that takes its time to answer
        log.openGate.release();
        log.failed = std::move(failed);
        return log.opens;
    }
    void rest() override {
        log.note();
        ++log.rests;
    }
    void wake() override {
        log.note();
        ++log.wakes;
    }
    void trigger() override {
        log.note();
        ++log.triggers;
    }
    void schedule(qint64 inUs) override {
        log.note();
        log.schedules.push_back(inUs);
    }
    void cancel() override {
        log.note();
        ++log.cancels;
    }

private:
    OutputLog& log;
};

// A beat tone on a fake output, with a bell that counts and a clock the test sets.
struct Rig {
    OutputLog log;
    std::atomic<int> bells{0};
    std::atomic<qint64> now{1000};
    std::unique_ptr<BeatTone> tone;

    void start() {
        tone = std::make_unique<BeatTone>(
            std::make_unique<FakeOutput>(log), [this] { ++bells; }, [this] { return now.load(); });
    }
};

} // namespace

class TestBeatTone : public QObject {
    Q_OBJECT
private slots:
    void init();
    void silentUntilTriggered();
    void triggersGiveOneShortKiloHertzTone_data();
    void triggersGiveOneShortKiloHertzTone();
    void triggerDuringToneExtendsItWithoutBreak();
    void readsWholeFramesOnly();
    void scheduledToneBeginsAtItsFrame_data();
    void scheduledToneBeginsAtItsFrame();
    void aScheduledToneNotBegunCanMove_data();
    void aScheduledToneNotBegunCanMove();

    void callsNeverWaitForTheOutput();
    void withoutAnOutputTheBellSounds_data();
    void withoutAnOutputTheBellSounds();
    void streamRestsOnlyWhenNothingIsDue_data();
    void streamRestsOnlyWhenNothingIsDue();
    void aDueBeepWakesTheStream_data();
    void aDueBeepWakesTheStream();
    void streamRestsBetweenBeatsSeenEarly_data();
    void streamRestsBetweenBeatsSeenEarly();
    void aBeepSeenAheadIsScheduledForItsTick_data();
    void aBeepSeenAheadIsScheduledForItsTick();
    void ticksTheScheduledToneCoversSoundNothingMore_data();
    void ticksTheScheduledToneCoversSoundNothingMore();
    void aFrozenMonitorDropsTheToneItShowedComing();
    void soundServerThatNeverAnswersHoldsNothingUp();

private:
    std::unique_ptr<ToneGenerator> generator;
};

void TestBeatTone::init() {
    generator = std::make_unique<ToneGenerator>(rate);
    QVERIFY(generator->open(QIODevice::ReadOnly | QIODevice::Unbuffered));
}

void TestBeatTone::silentUntilTriggered() {
    const auto frames = readMs(*generator, 500);
    QCOMPARE(frames.size(), std::size_t{500 * framesPerMs});
    QCOMPARE(soundingMs(frames), 0.0);
}

void TestBeatTone::triggersGiveOneShortKiloHertzTone_data() {
    QTest::addColumn<int>("triggers");
    QTest::newRow("one trigger") << 1;
    // Beeps asked for on consecutive ticks before the stream read again stay one tone.
    QTest::newRow("triggers on consecutive ticks") << 2;
    QTest::newRow("five triggers") << 5;
}

// Silence would pass a check of the length alone: the tone must be there, at its level and pitch.
void TestBeatTone::triggersGiveOneShortKiloHertzTone() {
    QFETCH(int, triggers);
    readMs(*generator, 20);
    for (int i = 0; i < triggers; ++i) {
        generator->trigger();
    }
    const auto frames = readMs(*generator, 200);
    QCOMPARE(frames.size(), std::size_t{200 * framesPerMs});
    const double ms = soundingMs(frames);
    QVERIFY2(ms > 45.0 && ms <= 50.0, qPrintable(QString::number(ms)));
    QVERIFY2(peak(frames, 0, 1) < loud, "the tone fades in");
    // 0.3 of full scale in the middle of the tone.
    const int middle = peak(frames, 10 * framesPerMs, 30 * framesPerMs);
    QVERIFY2(middle >= 9700 && middle <= 9831, qPrintable(QString::number(middle)));
    QCOMPARE(peak(frames, 51 * framesPerMs, 149 * framesPerMs), 0);

    int crossings = 0;
    for (std::size_t i = 1; i < frames.size(); ++i) {
        crossings += (frames[i - 1] < 0) != (frames[i] < 0);
    }
    // 1000 Hz for 50 ms: 50 periods, two sign changes each.
    QVERIFY2(crossings >= 96 && crossings <= 102, qPrintable(QString::number(crossings)));
}

void TestBeatTone::triggerDuringToneExtendsItWithoutBreak() {
    generator->trigger();
    const auto before = readMs(*generator, 30);
    generator->trigger();
    const auto after = readMs(*generator, 200);
    QVERIFY(peak(before, before.size() - framesPerMs, framesPerMs) > loud);
    QVERIFY2(peak(after, 0, framesPerMs) > loud, "the extended tone must not fade in again");
    const double ms = soundingMs(after);
    QVERIFY2(ms > 45.0 && ms <= 50.0, qPrintable(QString::number(ms)));
}

void TestBeatTone::readsWholeFramesOnly() {
    char buffer[7];
    QCOMPARE(generator->read(buffer, sizeof buffer), qint64{6});
}

void TestBeatTone::scheduledToneBeginsAtItsFrame_data() {
    QTest::addColumn<qint64>("aheadUs"); // -1: no timing known
    QTest::addColumn<qint64>("dueAfterUs");
    QTest::addColumn<long long>("onset");
    // The frame that plays at the due time: (due - now - queued) * 48 frames per millisecond.
    QTest::newRow("within the first chunk") << qint64{30'000} << qint64{35'000} << 240LL;
    QTest::newRow("in a later chunk") << qint64{30'000} << qint64{77'321} << 2271LL;
    QTest::newRow("to the frame, odd microseconds") << qint64{61'234} << qint64{62'255} << 49LL;
    QTest::newRow("nothing queued") << qint64{0} << qint64{120'000} << 5760LL;
    QTest::newRow("due as the next frame plays") << qint64{30'000} << qint64{30'000} << 0LL;
    QTest::newRow("already late: at once") << qint64{30'000} << qint64{10'000} << 0LL;
    QTest::newRow("long past: at once") << qint64{30'000} << qint64{-500'000} << 0LL;
    QTest::newRow("no timing: at once") << qint64{-1} << qint64{80'000} << 0LL;
}

// A scheduled tone is heard when it is due, not after whatever the output holds queued.
void TestBeatTone::scheduledToneBeginsAtItsFrame() {
    QFETCH(qint64, aheadUs);
    QFETCH(qint64, dueAfterUs);
    QFETCH(long long, onset);
    PulledGenerator pulled(aheadUs);
    pulled.generator.schedule(PulledGenerator::startUs + dueAfterUs);
    const auto frames = pulled.pull(10);
    QCOMPARE(onsetFrame(frames), onset);
    const double ms = soundingMs(frames);
    QVERIFY2(ms > 45.0 && ms <= 50.0, qPrintable(QString::number(ms)));
    if (aheadUs >= 0) {
        QCOMPARE(pulled.generator.aheadUs(), aheadUs);
    }
}

void TestBeatTone::aScheduledToneNotBegunCanMove_data() {
    QTest::addColumn<QString>("then");
    QTest::addColumn<long long>("onset");
    QTest::newRow("put off") << "later" << 4800LL;
    QTest::newRow("brought forward") << "sooner" << 960LL;
    QTest::newRow("sounded at once") << "trigger" << 0LL;
}

// The queue may move a beep it showed, or the beep come without waiting for it: one tone still.
void TestBeatTone::aScheduledToneNotBegunCanMove() {
    QFETCH(QString, then);
    QFETCH(long long, onset);
    PulledGenerator pulled(0);
    pulled.generator.schedule(PulledGenerator::startUs + 60'000);
    if (then == QLatin1String("later")) {
        pulled.generator.schedule(PulledGenerator::startUs + 100'000);
    } else if (then == QLatin1String("sooner")) {
        pulled.generator.schedule(PulledGenerator::startUs + 20'000);
    } else {
        pulled.generator.trigger();
    }
    const auto frames = pulled.pull(10);
    QCOMPARE(onsetFrame(frames), onset);
    const double ms = soundingMs(frames);
    QVERIFY2(ms > 45.0 && ms <= 50.0, qPrintable(QString::number(ms)));
}

// Freezing (or restarting) the monitor takes back a beep seen ahead: no tone after the trace
// stopped. One already due is left alone.
void TestBeatTone::aFrozenMonitorDropsTheToneItShowedComing() {
    PulledGenerator pulled(0);
    pulled.generator.schedule(PulledGenerator::startUs + 60'000);
    pulled.generator.cancel();
    QCOMPARE(peak(pulled.pull(10), 0, 100'000), 0);

    Rig rig;
    rig.start();
    rig.tone->settle();
    rig.tone->upcoming(12);
    rig.now += 50;
    rig.tone->silence();
    rig.tone->settle();
    QCOMPARE(rig.log.cancels.load(), 1);
    // After the freeze the next beep is a new one: scheduled again, and sound() waits for it.
    rig.tone->upcoming(5);
    rig.now += 50;
    rig.tone->sound();
    rig.tone->settle();
    QCOMPARE(rig.log.schedules.size(), std::size_t{2});
    QCOMPARE(rig.log.triggers.load(), 0);
    rig.tone->silence(); // its time has come: nothing to take back
    rig.tone->settle();
    QCOMPARE(rig.log.cancels.load(), 1);
    rig.tone.reset();
    QVERIFY(!rig.log.touchedFromCaller);
}

void TestBeatTone::callsNeverWaitForTheOutput() {
    Rig rig;
    rig.log.openGate.acquire();
    rig.start();
    // The output is still opening: these calls must neither wait for it nor reach it.
    rig.tone->upcoming(3);
    rig.tone->sound();
    rig.tone->sound();
    QCOMPARE(rig.tone->mode(), Mode::opening);
    QCOMPARE(rig.bells.load(), 2);
    rig.log.openGate.release();

    rig.tone->settle();
    QCOMPARE(rig.tone->mode(), Mode::playing);
    QVERIFY2(rig.log.schedules.empty(), "a beep seen while opening sounds the bell");
    rig.tone->sound();
    rig.tone->sound();
    rig.tone->settle();
    QCOMPARE(rig.log.triggers.load(), 2);
    QCOMPARE(rig.bells.load(), 2);
    rig.tone.reset();
    QVERIFY(rig.log.destroyed);
    QVERIFY2(!rig.log.touchedFromCaller, "the output was used on the caller's thread");
}

void TestBeatTone::withoutAnOutputTheBellSounds_data() {
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("failsLater");
    QTest::newRow("no output") << false << false;
    QTest::newRow("output breaks while playing") << true << true;
}

void TestBeatTone::withoutAnOutputTheBellSounds() {
    QFETCH(bool, opens);
    QFETCH(bool, failsLater);
    Rig rig;
    rig.log.opens = opens;
    rig.start();
    rig.tone->settle();
    if (failsLater) {
        QCOMPARE(rig.tone->mode(), Mode::playing);
        rig.log.failed();
        rig.tone->settle();
    }
    QCOMPARE(rig.tone->mode(), Mode::bell);
    QVERIFY(rig.tone->usesBell());
    QVERIFY2(rig.log.destroyed, "a broken output is closed at once");
    rig.tone->sound();
    rig.tone->upcoming(0);
    rig.tone->sound();
    rig.tone->settle();
    QCOMPARE(rig.bells.load(), 2);
    QCOMPARE(rig.log.triggers.load(), 0);
    QVERIFY(rig.log.schedules.empty());
    QVERIFY(!rig.log.touchedFromCaller);
}

void TestBeatTone::streamRestsOnlyWhenNothingIsDue_data() {
    QTest::addColumn<QString>("lastCall");
    QTest::addColumn<qint64>("quietMs");
    QTest::addColumn<Mode>("expected");
    const qint64 rest = BeatTone::restAfterMs;
    QTest::newRow("no call, shortly") << "" << rest - 1 << Mode::playing;
    QTest::newRow("no call, long") << "" << rest << Mode::resting;
    QTest::newRow("tone, shortly after") << "sound" << rest - 1 << Mode::playing;
    QTest::newRow("tone, long after") << "sound" << rest << Mode::resting;
    // A beep seen only 50 ms ahead: the stream stays awake between beats.
    QTest::newRow("beep in the queue, shortly after") << "upcoming" << rest - 1 << Mode::playing;
    QTest::newRow("beep in the queue, long after") << "upcoming" << rest << Mode::resting;
    QTest::newRow("nothing due") << "nothing due" << rest << Mode::resting;
}

void TestBeatTone::streamRestsOnlyWhenNothingIsDue() {
    QFETCH(QString, lastCall);
    QFETCH(qint64, quietMs);
    QFETCH(Mode, expected);
    Rig rig;
    rig.start();
    rig.tone->settle();
    // Calls near the rest time, which must move it on (or, for nothing due, must not).
    rig.now += BeatTone::restAfterMs - 1;
    rig.tone->settle();
    QCOMPARE(rig.tone->mode(), Mode::playing);
    if (lastCall == QLatin1String("sound")) {
        rig.tone->sound();
    } else if (lastCall == QLatin1String("upcoming")) {
        rig.tone->upcoming(5);
    } else if (lastCall == QLatin1String("nothing due")) {
        rig.tone->upcoming(BeatTone::nothingDue);
        rig.now += 1;
    } else {
        rig.now -= BeatTone::restAfterMs - 1;
    }
    rig.now += quietMs;
    rig.tone->settle();
    QCOMPARE(rig.tone->mode(), expected);
    QCOMPARE(rig.log.rests.load(), expected == Mode::resting ? 1 : 0);
    rig.tone.reset();
    QVERIFY(!rig.log.touchedFromCaller);
}

void TestBeatTone::aDueBeepWakesTheStream_data() {
    QTest::addColumn<bool>("hinted");
    QTest::newRow("beep seen in the queue ahead") << true;
    QTest::newRow("tone asked for without warning") << false;
}

void TestBeatTone::aDueBeepWakesTheStream() {
    QFETCH(bool, hinted);
    Rig rig;
    rig.start();
    rig.tone->settle();
    rig.now += BeatTone::restAfterMs;
    rig.tone->settle();
    QCOMPARE(rig.tone->mode(), Mode::resting);
    if (hinted) {
        rig.tone->upcoming(12);
        rig.now += 20; // woken only once the beep is within wakeAheadMs
        rig.tone->upcoming(10);
        rig.tone->settle();
        QCOMPARE(rig.tone->mode(), Mode::playing);
        QCOMPARE(rig.log.triggers.load(), 0);
    }
    rig.tone->sound();
    rig.tone->settle();
    QCOMPARE(rig.tone->mode(), Mode::playing);
    QCOMPARE(rig.log.wakes.load(), 1);
    QCOMPARE(rig.log.triggers.load(), 1);
    QCOMPARE(rig.bells.load(), 0);
    // And it stays awake while the beats go on.
    rig.now += BeatTone::restAfterMs - 1;
    rig.tone->settle();
    QCOMPARE(rig.tone->mode(), Mode::playing);
}

void TestBeatTone::streamRestsBetweenBeatsSeenEarly_data() {
    // At T ms: "T u N" upcoming(N), "T n" nothing due, "T s" sound(), "T f" silence() (a
    // freeze), "T =p" / "T =r" the worker's look and the mode it must leave (playing, resting).
    QTest::addColumn<QStringList>("script");
    // Beats seen 160 ms ahead: resting until 100 ms before a beep and once its tone has played
    // (50 ms, and 20 ms for the last read).
    QTest::newRow("beats seen 160 ms ahead") << QStringList{
        "0 u 16", "0 =r",     "59 u 11", "59 =r",   "60 u 10",  "60 =p",   "160 u 0",
        "160 s",  "200 n",    "229 =p",  "230 =r",  "800 u 16", "800 =r",  "859 u 11",
        "859 =r", "860 u 10", "860 =p",  "960 u 0", "960 s",    "1029 =p", "1030 =r"};
    QTest::newRow("the next beat near when a tone ends")
        << QStringList{"0 u 16", "160 u 0", "160 s", "200 u 10", "230 =p", "300 u 0", "370 =r"};
    QTest::newRow("a caller stalled past the time to wake")
        << QStringList{"0 u 16", "0 =r", "160 s", "160 =p", "230 =r"};
    QTest::newRow("a beat dropped by a freeze")
        << QStringList{"0 u 16", "80 u 8", "80 =p", "90 f", "90 =r"};
    // Seen 50 ms ahead, resting would make it late: awake between beats for shortLeadMemoryMs.
    QTest::newRow("a beat seen late keeps the stream awake")
        << QStringList{"0 u 5",  "50 u 0", "50 s",    "300 n",   "300 =p", "1000 u 16",
                       "1160 s", "1300 n", "1300 =p", "3659 =p", "3660 =r"};
    QTest::newRow("resting between beats again once late beeps are long gone")
        << QStringList{"0 u 5",    "50 s",       "29999 u 16", "30159 s",  "30500 n",
                       "30500 =p", "31000 u 16", "31160 s",    "31229 =p", "31230 =r"};
}

void TestBeatTone::streamRestsBetweenBeatsSeenEarly() {
    QFETCH(QStringList, script);
    Rig rig;
    rig.start();
    rig.tone->settle();
    const qint64 start = rig.now;
    for (const QString& step : script) {
        const QStringList parts = step.split(QLatin1Char(' '));
        rig.now = start + parts[0].toLongLong();
        if (parts[1].startsWith(QLatin1Char('='))) {
            rig.tone->settle();
            const Mode expected = parts[1] == QLatin1String("=r") ? Mode::resting : Mode::playing;
            QVERIFY2(rig.tone->mode() == expected, qPrintable(step));
        } else if (parts[1] == QLatin1String("s")) {
            rig.tone->sound();
        } else if (parts[1] == QLatin1String("f")) {
            rig.tone->silence();
        } else {
            rig.tone->upcoming(parts[1] == QLatin1String("n") ? BeatTone::nothingDue
                                                              : parts[2].toInt());
        }
    }
    QCOMPARE(rig.log.triggers.load(), 0);
    QCOMPARE(rig.bells.load(), 0);
    rig.tone.reset();
    QVERIFY(!rig.log.touchedFromCaller);
}

void TestBeatTone::aBeepSeenAheadIsScheduledForItsTick_data() {
    // Each call: at x ms after the start, upcoming(y).
    QTest::addColumn<QList<QPoint>>("calls");
    // Milliseconds ahead of each schedule the output received.
    QTest::addColumn<QList<int>>("schedules");
    QTest::newRow("seen 12 ticks ahead") << QList<QPoint>{{0, 12}} << QList<int>{120};
    QTest::newRow("the beep on this tick") << QList<QPoint>{{0, 0}} << QList<int>{0};
    QTest::newRow("the same beep, tick by tick")
        << QList<QPoint>{{0, 12}, {10, 11}, {20, 10}, {110, 1}} << QList<int>{120};
    QTest::newRow("the same beep, its batch run late")
        << QList<QPoint>{{0, 12}, {27, 10}} << QList<int>{120};
    QTest::newRow("the same beep, while it sounds")
        << QList<QPoint>{{0, 12}, {120, 1}, {130, 1}} << QList<int>{120};
    QTest::newRow("brought forward") << QList<QPoint>{{0, 12}, {10, 5}} << QList<int>{120, 50};
    QTest::newRow("put off") << QList<QPoint>{{0, 12}, {10, 20}} << QList<int>{120, 200};
    QTest::newRow("the next beat") << QList<QPoint>{{0, 12}, {130, 60}} << QList<int>{120, 600};
    QTest::newRow("nothing due") << QList<QPoint>{{0, BeatTone::nothingDue}} << QList<int>{};
}

void TestBeatTone::aBeepSeenAheadIsScheduledForItsTick() {
    QFETCH(QList<QPoint>, calls);
    QFETCH(QList<int>, schedules);
    Rig rig;
    rig.start();
    rig.tone->settle();
    const qint64 start = rig.now;
    for (const QPoint& call : calls) {
        rig.now = start + call.x();
        rig.tone->upcoming(call.y());
        rig.tone->settle();
    }
    QList<int> heard;
    for (const qint64 us : rig.log.schedules) {
        heard.append(static_cast<int>(us / 1000));
    }
    QCOMPARE(heard, schedules);
    QCOMPARE(rig.log.triggers.load(), 0);
    rig.tone.reset();
    QVERIFY(!rig.log.touchedFromCaller);
}

void TestBeatTone::ticksTheScheduledToneCoversSoundNothingMore_data() {
    QTest::addColumn<bool>("seenAhead");
    // The ticks asking for the beep, in ms after the time it was scheduled for.
    QTest::addColumn<QList<int>>("asks");
    QTest::addColumn<int>("triggers");
    QTest::newRow("on its tick") << true << QList<int>{0} << 0;
    QTest::newRow("one tick early") << true << QList<int>{-10} << 0;
    QTest::newRow("two ticks early") << true << QList<int>{-20} << 0;
    QTest::newRow("late within the tone") << true << QList<int>{50} << 0;
    QTest::newRow("a run of ticks") << true << QList<int>{0, 10, 20, 30} << 0;
    QTest::newRow("a run longer than the tone")
        << true << QList<int>{0, 10, 20, 30, 40, 50, 60, 70, 80} << 0;
    // Sooner than the queue showed: at once, and the scheduled tone gives way to it.
    QTest::newRow("three ticks early") << true << QList<int>{-30, -20, 0, 10} << 1;
    QTest::newRow("after the tone") << true << QList<int>{60} << 1;
    // Without a schedule every tick asks the output, which keeps a run one tone.
    QTest::newRow("not seen ahead") << false << QList<int>{0} << 1;
    QTest::newRow("not seen ahead, a run") << false << QList<int>{0, 10, 20} << 3;
}

void TestBeatTone::ticksTheScheduledToneCoversSoundNothingMore() {
    QFETCH(bool, seenAhead);
    QFETCH(QList<int>, asks);
    QFETCH(int, triggers);
    Rig rig;
    rig.start();
    rig.tone->settle();
    const qint64 due = rig.now + 120;
    if (seenAhead) {
        rig.tone->upcoming(12);
    }
    for (const int at : asks) {
        rig.now = due + at;
        rig.tone->sound();
    }
    rig.tone->settle();
    QCOMPARE(rig.log.triggers.load(), triggers);
    QCOMPARE(rig.log.schedules.size(), std::size_t{seenAhead ? 1U : 0U});
    QCOMPARE(rig.bells.load(), 0);
}

// The real output against a sound server of our own that takes connections and never answers.
void TestBeatTone::soundServerThatNeverAnswersHoldsNothingUp() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto server = std::make_unique<QLocalServer>();
    const QString path = dir.filePath(QStringLiteral("native"));
    QVERIFY(server->listen(path));
    qputenv("PULSE_SERVER", "unix:" + path.toLocal8Bit());

    std::atomic<int> bells{0};
    BeatTone tone(
        pulsavo::makeSystemToneOutput(), [&bells] { ++bells; }, [] { return qint64{0}; });
    tone.upcoming(2);
    tone.sound();
    tone.sound();
    // Had either call waited for the sound server, it would have given up by now.
    QCOMPARE(tone.mode(), Mode::opening);
    QCOMPARE(bells.load(), 2);

    server.reset(); // the server goes away: the output is refused
    tone.settle();
    QCOMPARE(tone.mode(), Mode::bell);
    tone.sound();
    QCOMPARE(bells.load(), 3);
}

QTEST_MAIN(TestBeatTone)
#include "tst_beattone.moc"
