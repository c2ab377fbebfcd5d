#include "BeatTone.h"

#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <vector>

using pulsavo::ToneGenerator;

namespace {

constexpr int rate = 48000;
constexpr int framesPerMs = rate / 1000;
constexpr int loud = 8000;

std::vector<qint16> readMs(ToneGenerator& generator, int ms) {
    std::vector<qint16> frames(static_cast<std::size_t>(ms * framesPerMs));
    const qint64 bytes = static_cast<qint64>(frames.size() * sizeof(qint16));
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

int peak(const std::vector<qint16>& frames, std::size_t from, std::size_t count) {
    int result = 0;
    for (std::size_t i = from; i < from + count && i < frames.size(); ++i) {
        result = std::max(result, std::abs(static_cast<int>(frames[i])));
    }
    return result;
}

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

QTEST_MAIN(TestBeatTone)
#include "tst_beattone.moc"
