#include "BeatTone.h"

#include "PulseToneOutput.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioSink>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace pulsavo {

namespace {
constexpr double amplitude = 0.3 * 32767;
// Pull-mode playback waits until the buffer holds a certain amount; below about 60 ms the
// sound server starves it and the first beeps are lost.
constexpr qint64 bufferMicroseconds = 80'000;
} // namespace

ToneGenerator::ToneGenerator(int sampleRate, QObject* parent)
    : QIODevice(parent), sampleRate(sampleRate), length(sampleRate * durationMs / 1000),
      ramp(std::max(1, sampleRate * rampMs / 1000)), position(length) {}

void ToneGenerator::setTiming(Microseconds nowSource, Microseconds aheadSource) {
    now = std::move(nowSource);
    ahead = std::move(aheadSource);
}

void ToneGenerator::trigger() {
    scheduled.store(nothingScheduled, std::memory_order_relaxed);
    triggered.store(true, std::memory_order_relaxed);
}

void ToneGenerator::schedule(qint64 playUs) {
    scheduled.store(std::max(playUs, nothingScheduled + 1), std::memory_order_relaxed);
}

double ToneGenerator::envelope() const {
    return std::min(
        {1.0, static_cast<double>(position) / ramp, static_cast<double>(length - position) / ramp});
}

void ToneGenerator::begin() {
    if (position < length) {
        position = std::min(position, ramp);
    } else {
        position = 0;
        phase = 0.0;
    }
}

qint64 ToneGenerator::scheduledFrame(qint64 frames) {
    qint64 due = scheduled.load(std::memory_order_relaxed);
    if (due == nothingScheduled) {
        return -1;
    }
    qint64 frame = 0;
    if (now && ahead) {
        const qint64 wait = due - (now() + aheadUs());
        frame = wait <= 0 ? 0 : wait * sampleRate / 1'000'000;
    }
    if (frame >= frames || !scheduled.compare_exchange_strong(due, nothingScheduled)) {
        return -1;
    }
    return frame;
}

qint64 ToneGenerator::readData(char* data, qint64 maxSize) {
    const qint64 frames = maxSize / static_cast<qint64>(sizeof(qint16));
    if (triggered.exchange(false, std::memory_order_relaxed)) {
        begin();
    }
    if (now && ahead) {
        lastAhead.store(std::max<qint64>(0, ahead()), std::memory_order_relaxed);
    }
    const qint64 start = scheduledFrame(frames);
    const double step = 2.0 * std::numbers::pi * frequency / sampleRate;
    auto* out = reinterpret_cast<qint16*>(data);
    for (qint64 i = 0; i < frames; ++i) {
        if (i == start) {
            begin();
        }
        if (position < length) {
            out[i] = static_cast<qint16>(std::lround(amplitude * envelope() * std::sin(phase)));
            phase = std::fmod(phase + step, 2.0 * std::numbers::pi);
            ++position;
        } else {
            out[i] = 0;
        }
    }
    produced += frames;
    return frames * static_cast<qint64>(sizeof(qint16));
}

namespace {

// A stream through Qt Multimedia. The generator is declared first so that it outlives the sink
// that reads from it, and the sink is stopped before either goes.
class StreamToneOutput final : public ToneOutput {
public:
    StreamToneOutput() = default;
    StreamToneOutput(const StreamToneOutput&) = delete;
    StreamToneOutput& operator=(const StreamToneOutput&) = delete;
    ~StreamToneOutput() override { close(); }

    bool open(std::function<void()> failed) override {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            return false;
        }
        QAudioFormat format;
        format.setSampleFormat(QAudioFormat::Int16);
        format.setChannelCount(1);
        format.setSampleRate(device.preferredFormat().sampleRate());
        if (!device.isFormatSupported(format)) {
            format.setSampleRate(48000);
            if (!device.isFormatSupported(format)) {
                return false;
            }
        }
        generator = std::make_unique<ToneGenerator>(format.sampleRate());
        generator->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        sink = std::make_unique<QAudioSink>(device, format);
        clock.start();
        // What the sink has taken from the generator and not yet played is what plays before
        // the next frame read; the sink tells what it has played, less the server's latency.
        generator->setTiming(
            [this] { return nowUs(); },
            [this] {
                const qint64 read = generator->framesRead() * 1'000'000 / generator->rate();
                return std::clamp<qint64>(read - sink->processedUSecs(), 0, maxQueuedUs);
            });
        sink->setBufferSize(static_cast<qsizetype>(format.bytesForDuration(bufferMicroseconds)));
        sink->start(generator.get());
        if (sink->error() != QAudio::NoError || sink->state() == QAudio::StoppedState) {
            close();
            return false;
        }
        // A sound server that goes away later leaves the bell, without a word.
        QObject::connect(sink.get(), &QAudioSink::stateChanged, sink.get(),
                         [this, failed = std::move(failed)](QAudio::State) {
                             const QAudio::Error error = sink->error();
                             if (error != QAudio::NoError && error != QAudio::UnderrunError) {
                                 failed();
                             }
                         });
        return true;
    }

    void rest() override { sink->suspend(); }
    void wake() override { sink->resume(); }
    void trigger() override { generator->trigger(); }
    void cancel() override { generator->cancel(); }
    void schedule(qint64 inUs) override { generator->schedule(nowUs() + inUs); }
    qint64 queuedUs() const override { return generator->aheadUs(); }

private:
    // Far beyond any buffer the sink is given: a figure past it is not believed.
    static constexpr qint64 maxQueuedUs = 1'000'000;

    qint64 nowUs() const { return clock.nsecsElapsed() / 1000; }

    void close() {
        if (sink) {
            sink->disconnect();
            sink->stop();
            sink.reset();
        }
        generator.reset();
    }

    QElapsedTimer clock;
    std::unique_ptr<ToneGenerator> generator;
    std::unique_ptr<QAudioSink> sink;
};

// The sound server's sample cache where it has one: between beats it costs nothing. Otherwise
// a stream, which costs the server and this process work every few milliseconds while awake.
class SystemToneOutput final : public ToneOutput {
public:
    bool open(std::function<void()> failed) override {
        auto sample = std::make_unique<PulseToneOutput>();
        if (sample->open(failed)) {
            chosen = std::move(sample);
            return true;
        }
        auto stream = std::make_unique<StreamToneOutput>();
        if (stream->open(std::move(failed))) {
            chosen = std::move(stream);
            return true;
        }
        return false;
    }
    void rest() override { chosen->rest(); }
    void wake() override { chosen->wake(); }
    void trigger() override { chosen->trigger(); }
    void schedule(qint64 inUs) override { chosen->schedule(inUs); }
    void cancel() override { chosen->cancel(); }
    qint64 queuedUs() const override { return chosen ? chosen->queuedUs() : -1; }

private:
    std::unique_ptr<ToneOutput> chosen;
};

qint64 monotonicMs() {
    static const QElapsedTimer start = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return start.elapsed();
}

// How long closing waits for the worker. Only a sound server that never answers holds it longer;
// then the worker is left to finish on its own rather than hold up the window's closing.
constexpr int closeWaitMs = 250;

} // namespace

std::unique_ptr<ToneOutput> makeSystemToneOutput() {
    return std::make_unique<SystemToneOutput>();
}

std::unique_ptr<ToneOutput> makeStreamToneOutput() {
    return std::make_unique<StreamToneOutput>();
}

struct BeatTone::Shared {
    static constexpr qint64 noBeep = std::numeric_limits<qint64>::min();

    explicit Shared(Clock clock) : clock(std::move(clock)) {}

    std::atomic<Mode> mode{Mode::opening};
    std::atomic<qint64> lastDemandMs{0};
    std::atomic<bool> wakePosted{false};
    std::atomic<qint64> queuedUs{-1};
    // The next beep as the caller last saw it, on the clock; noBeep when none is in sight.
    std::atomic<qint64> nextBeepMs{noBeep};
    // Whether the beeps come into sight early enough for the stream to rest between them.
    std::atomic<bool> restBetweenBeats{true};
    std::atomic<bool> restLookPosted{false};
    const Clock clock;
};

// Everything that touches the output, on the beat tone's own thread.
class ToneWorker : public QObject {
public:
    ToneWorker(std::shared_ptr<BeatTone::Shared> shared, std::unique_ptr<ToneOutput> output)
        : shared(std::move(shared)), output(std::move(output)) {}

    void start() {
        const bool opened = output->open([this] {
            // Called from within the output's own signal: drop it once that has returned.
            QMetaObject::invokeMethod(
                this, [this] { fail(); }, Qt::QueuedConnection);
        });
        if (!opened) {
            fail();
            return;
        }
        shared->lastDemandMs.store(shared->clock(), std::memory_order_relaxed);
        shared->mode.store(BeatTone::Mode::playing);
        restTimer = new QTimer(this);
        restTimer->setInterval(BeatTone::restCheckMs);
        QObject::connect(restTimer, &QTimer::timeout, this, [this] { restIfIdle(); });
        restTimer->start();
    }

    void tone() {
        wake();
        if (output) {
            output->trigger();
            const qint64 queued = std::max<qint64>(0, output->queuedUs());
            shared->queuedUs.store(output->queuedUs(), std::memory_order_relaxed);
            const qint64 now = shared->clock();
            settlePending(now);
            toneAsked = true;
            soundingUntilMs =
                std::max(soundingUntilMs,
                         now + queued / 1000 + ToneGenerator::durationMs + BeatTone::afterToneMs);
        }
    }

    void cancel() {
        if (output) {
            output->cancel();
            pendingMs.reset();
        }
    }

    // A beep far off is scheduled on a resting stream as well; the caller wakes it in time.
    void schedule(qint64 dueMs) {
        if (dueMs - shared->clock() <= BeatTone::wakeAheadMs) {
            wake();
        }
        if (output) {
            output->schedule((dueMs - shared->clock()) * 1000);
            shared->queuedUs.store(output->queuedUs(), std::memory_order_relaxed);
            settlePending(shared->clock());
            pendingMs = dueMs;
            toneAsked = true;
        }
    }

    void wake() {
        shared->wakePosted.store(false, std::memory_order_relaxed);
        if (output && shared->mode.load() == BeatTone::Mode::resting) {
            output->wake();
            shared->mode.store(BeatTone::Mode::playing);
            restTimer->start();
        }
    }

    // Rests between beats once the tones begun or near have played and the next beep is not
    // near, or after restAfterMs with no beep due at all.
    void restIfIdle() {
        shared->restLookPosted.store(false, std::memory_order_relaxed);
        if (!output || shared->mode.load() != BeatTone::Mode::playing) {
            return;
        }
        const qint64 now = shared->clock();
        const qint64 idle = now - shared->lastDemandMs.load(std::memory_order_relaxed);
        const qint64 next = shared->nextBeepMs.load(std::memory_order_relaxed);
        const bool beepNear = next != BeatTone::Shared::noBeep && next >= now - tickMs &&
                              next - now <= BeatTone::wakeAheadMs;
        const bool betweenBeats = toneAsked &&
                                  shared->restBetweenBeats.load(std::memory_order_relaxed) &&
                                  now >= busyUntil(now) && !beepNear;
        if (idle >= BeatTone::restAfterMs || betweenBeats) {
            output->rest();
            shared->mode.store(BeatTone::Mode::resting);
            restTimer->stop();
        }
    }

    void fail() {
        shared->mode.store(BeatTone::Mode::bell);
        stopTimer();
        output.reset();
    }

    void shutdown() {
        stopTimer();
        output.reset();
        deleteLater();
        thread()->quit();
    }

private:
    // Until when the stream must play for the tones begun, and for the scheduled one once it is
    // near.
    qint64 busyUntil(qint64 now) const {
        qint64 until = soundingUntilMs;
        if (pendingMs && *pendingMs - now <= BeatTone::wakeAheadMs) {
            until = std::max(until, *pendingMs + ToneGenerator::durationMs + BeatTone::afterToneMs);
        }
        return until;
    }

    // A scheduled tone being replaced that has begun, or is about to, plays on to its end.
    void settlePending(qint64 now) {
        if (pendingMs && *pendingMs - now <= BeatTone::wakeAheadMs) {
            soundingUntilMs = std::max(soundingUntilMs, *pendingMs + ToneGenerator::durationMs +
                                                            BeatTone::afterToneMs);
        }
        pendingMs.reset();
    }

    void stopTimer() {
        delete restTimer;
        restTimer = nullptr;
    }

    std::shared_ptr<BeatTone::Shared> shared;
    std::unique_ptr<ToneOutput> output;
    QTimer* restTimer = nullptr;
    // Whether a tone was asked for: before the first, only restAfterMs with no beep rests.
    bool toneAsked = false;
    qint64 soundingUntilMs = 0;
    std::optional<qint64> pendingMs; // the scheduled tone's time, until it is replaced or dropped
};

BeatTone::BeatTone()
    : BeatTone(
          makeSystemToneOutput(), [] { QApplication::beep(); }, monotonicMs) {}

BeatTone::BeatTone(std::unique_ptr<ToneOutput> output, std::function<void()> bell, Clock clock)
    : shared(std::make_shared<Shared>(std::move(clock))), bell(std::move(bell)),
      thread(std::make_unique<QThread>()), worker(new ToneWorker(shared, std::move(output))) {
    shared->lastDemandMs.store(shared->clock(), std::memory_order_relaxed);
    thread->setObjectName(QStringLiteral("beat tone"));
    worker->moveToThread(thread.get());
    thread->start();
    post(&ToneWorker::start);
}

BeatTone::~BeatTone() {
    post(&ToneWorker::shutdown);
    if (!thread->wait(QDeadlineTimer(closeWaitMs))) {
        // Still waiting for the sound server: the worker deletes itself when that gives up, and
        // the thread object, which may not be destroyed while running, goes with the process.
        static_cast<void>(thread.release());
    }
}

void BeatTone::post(void (ToneWorker::*slot)()) {
    ToneWorker* target = worker;
    QMetaObject::invokeMethod(
        target, [target, slot] { (target->*slot)(); }, Qt::QueuedConnection);
}

void BeatTone::demand() {
    shared->lastDemandMs.store(shared->clock(), std::memory_order_relaxed);
}

BeatTone::Mode BeatTone::mode() const {
    return shared->mode.load();
}

// Whether the tone scheduled last is the one for a beep asked for at `now`.
bool BeatTone::covers(qint64 now) const {
    return scheduledMs && now >= *scheduledMs - earlyMs && now <= coverUntilMs;
}

void BeatTone::sound() {
    switch (mode()) {
    case Mode::playing:
    case Mode::resting: {
        demand();
        const qint64 now = shared->clock();
        if (covers(now)) {
            // Consecutive ticks asking for the beep stay within its tone. A stream still resting
            // (its caller stalled past the time to wake it) plays the tone late rather than not.
            coverUntilMs = std::max(coverUntilMs, now + earlyMs);
            if (mode() == Mode::resting &&
                !shared->wakePosted.exchange(true, std::memory_order_relaxed)) {
                post(&ToneWorker::wake);
            }
            return;
        }
        if (scheduledMs && *scheduledMs > now) {
            // The beep came sooner than the queue showed: it sounds now instead, once.
            scheduledMs = now;
            coverUntilMs = now + ToneGenerator::durationMs;
        }
        noteLead(0);
        post(&ToneWorker::tone);
        break;
    }
    case Mode::opening:
    case Mode::bell:
        bell();
        break;
    }
}

void BeatTone::upcoming(int ticksUntilBeep) {
    const qint64 clock = shared->clock();
    const bool inSight = ticksUntilBeep != nothingDue && ticksUntilBeep >= 0;
    const qint64 due =
        inSight ? clock + static_cast<qint64>(ticksUntilBeep) * tickMs : Shared::noBeep;
    shared->nextBeepMs.store(due, std::memory_order_relaxed);
    // Between beats seen early, with no tone sounding or near, the worker looks whether the
    // stream may rest, on every batch until it does.
    const Mode now = mode();
    const bool toneNear =
        scheduledMs && *scheduledMs - clock <= wakeAheadMs && clock < coverUntilMs + afterToneMs;
    if (now == Mode::playing && shared->restBetweenBeats.load(std::memory_order_relaxed) &&
        (!inSight || due - clock > wakeAheadMs) && !toneNear &&
        !shared->restLookPosted.exchange(true, std::memory_order_relaxed)) {
        post(&ToneWorker::restIfIdle);
    }
    if (!inSight) {
        return;
    }
    demand();
    if (now == Mode::resting && due - clock <= wakeAheadMs &&
        !shared->wakePosted.exchange(true, std::memory_order_relaxed)) {
        post(&ToneWorker::wake);
    }
    if ((now == Mode::playing || now == Mode::resting) && !covers(due)) {
        if (!scheduledMs || due > coverUntilMs) {
            noteLead(due - clock); // a beep not seen before
        }
        postSchedule(due);
    }
}

void BeatTone::noteLead(qint64 leadMs) {
    const qint64 now = shared->clock();
    if (leadMs < wakeAheadMs) {
        shortLeadUntilMs = now + shortLeadMemoryMs;
    }
    shared->restBetweenBeats.store(now >= shortLeadUntilMs, std::memory_order_relaxed);
}

void BeatTone::silence() {
    shared->nextBeepMs.store(Shared::noBeep, std::memory_order_relaxed);
    if (scheduledMs && *scheduledMs > shared->clock()) {
        scheduledMs.reset();
        coverUntilMs = 0;
        post(&ToneWorker::cancel);
    }
}

void BeatTone::postSchedule(qint64 dueMs) {
    scheduledMs = dueMs;
    coverUntilMs = dueMs + ToneGenerator::durationMs;
    ToneWorker* target = worker;
    QMetaObject::invokeMethod(
        target, [target, dueMs] { target->schedule(dueMs); }, Qt::QueuedConnection);
}

qint64 BeatTone::queuedUs() const {
    return shared->queuedUs.load(std::memory_order_relaxed);
}

void BeatTone::settle() {
    ToneWorker* target = worker;
    // Qt owns and frees the call object it allocates for the functor.
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
    QMetaObject::invokeMethod(
        target, [target] { target->restIfIdle(); }, Qt::BlockingQueuedConnection);
}

} // namespace pulsavo
