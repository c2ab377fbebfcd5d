#pragma once

#include <QAudioFormat>
#include <QIODevice>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace pulsavo {

// Whatever sounds the beat tone; the trainer asks for it on every tick the trace stays above
// the beep level.
class ToneSink {
public:
    static constexpr int nothingDue = -1;

    virtual ~ToneSink() = default;
    virtual void sound() = 0;
    // Optional, once per tick: how many ticks ahead the next beep is as far as the trace's queue
    // shows (0 for this tick), or nothingDue. It lets an idle stream be ready before the beep.
    virtual void upcoming(int ticksUntilBeep) { static_cast<void>(ticksUntilBeep); }
};

// An endless 16-bit mono stream that is silent until triggered and then carries one short
// sine burst. A trigger during a burst extends it instead of queuing another one, so a beep
// asked for on consecutive ticks stays one tone.
class ToneGenerator : public QIODevice {
    Q_OBJECT
public:
    static constexpr int frequency = 1000;
    static constexpr int durationMs = 50;
    static constexpr int rampMs = 3;

    explicit ToneGenerator(int sampleRate, QObject* parent = nullptr);

    void trigger() { triggered.store(true, std::memory_order_relaxed); }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    double envelope() const;

    std::atomic<bool> triggered{false};
    int sampleRate;
    int length;
    int ramp;
    int position;
    double phase = 0.0;
};

// Where the beat tone's samples go. Opening may block for as long as the sound server takes to
// answer, so an output is only ever used on the beat tone's worker thread.
class ToneOutput {
public:
    virtual ~ToneOutput() = default;
    // Starts the stream; false when there is no usable output. After a true, `failed` may be
    // called later from the worker thread if the stream breaks.
    virtual bool open(std::function<void()> failed) = 0;
    // Stops the stream's work on the sound server, keeping it ready for `wake`.
    virtual void rest() = 0;
    virtual void wake() = 0;
    // Starts a tone with the next frames the stream takes.
    virtual void trigger() = 0;
};

// The desktop's sound output through Qt Multimedia: one sink pulling from a ToneGenerator.
std::unique_ptr<ToneOutput> makeSystemToneOutput();

class ToneWorker;

// The beat tone, played without ever holding up the caller's thread: the output is opened, fed,
// rested and closed on a worker thread of its own, and sound() and upcoming() only post to it.
// Until the output is open, or when there is none, the window system's bell sounds instead.
// The stream rests while no beep has been due for restAfterMs, so that the sound server does
// no work for a monitor with no rhythm; a beep visible in the queue, or sound() itself, wakes it.
class BeatTone final : public ToneSink {
public:
    enum class Mode { opening, playing, resting, bell };
    using Clock = std::function<qint64()>; // milliseconds, monotonic

    // Longer than the pause between beats of any rhythm, so a running rhythm keeps the stream.
    static constexpr qint64 restAfterMs = 2500;
    // How often the worker looks whether the stream may rest.
    static constexpr int restCheckMs = 500;

    BeatTone();
    // For tests and benchmarks: any output, bell and clock.
    BeatTone(std::unique_ptr<ToneOutput> output, std::function<void()> bell, Clock clock);
    ~BeatTone() override;

    BeatTone(const BeatTone&) = delete;
    BeatTone& operator=(const BeatTone&) = delete;

    void sound() override;
    void upcoming(int ticksUntilBeep) override;

    Mode mode() const;
    bool usesBell() const { return mode() != Mode::playing && mode() != Mode::resting; }

    // Blocks until the worker has handled everything posted so far, after letting it check
    // whether the stream may rest. For tests and benchmarks only: it waits on the worker.
    void settle();

    struct Shared;

private:
    void demand();
    void post(void (ToneWorker::*slot)());

    std::shared_ptr<Shared> shared;
    std::function<void()> bell;
    std::unique_ptr<QThread> thread;
    ToneWorker* worker = nullptr; // lives on `thread`; deleted there
};

} // namespace pulsavo
