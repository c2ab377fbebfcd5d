#pragma once

#include "Simulation.h"

#include <QAudioFormat>
#include <QIODevice>

#include <atomic>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

class QThread;

namespace pulsavo {

// Whatever sounds the beat tone; a window asks for it on each tick its monitor's tone mode
// sounds (the trace rising past the beep level, or a QRS peak).
class ToneSink {
public:
    static constexpr int nothingDue = pulsavo::nothingDue; // as a monitor's look ahead gives it

    virtual ~ToneSink() = default;
    virtual void sound() = 0;
    // Optional, once per tick or batch of ticks: how many ticks after the latest one run the
    // next beep is as far as the trace's queue shows (0 for that tick itself), or nothingDue.
    // It lets an idle stream be ready before the beep and the tone be timed to it.
    virtual void upcoming(int ticksUntilBeep) { static_cast<void>(ticksUntilBeep); }
    // Optional: the monitor stopped (frozen or started afresh), so a beep seen ahead will not
    // come; a tone timed for it must not sound.
    virtual void silence() {}
};

// An endless 16-bit mono stream that is silent until triggered and then carries one short
// sine burst. A trigger during a burst extends it instead of queuing another one, so a beep
// asked for on consecutive ticks stays one tone.
//
// A tone can also be scheduled for the moment it is to be heard: given a clock and how much
// audio the output holds queued ahead of the next frame read, the burst begins at the very
// frame that plays at that moment, or with the next frame read once that moment has passed.
class ToneGenerator : public QIODevice {
    Q_OBJECT
public:
    static constexpr int frequency = 1000;
    static constexpr int durationMs = 50;
    static constexpr int rampMs = 3;

    using Microseconds = std::function<qint64()>;

    explicit ToneGenerator(int sampleRate, QObject* parent = nullptr);

    // `now`: a monotonic clock; `ahead`: the audio already queued before the next frame read
    // plays, both in microseconds, asked on every read. Without them a scheduled tone starts
    // with the next frame read.
    void setTiming(Microseconds now, Microseconds ahead);

    // A tone with the next frames read. It stands for a scheduled one not begun yet.
    void trigger();
    // A tone at the frame that plays at `playUs` on the timing clock. Replaces a scheduled tone
    // that has not begun: the queue may move a beep.
    void schedule(qint64 playUs);
    // Drops a scheduled tone that has not begun.
    void cancel() { scheduled.store(nothingScheduled, std::memory_order_relaxed); }

    // The audio queued ahead as estimated at the latest read, -1 before the first.
    qint64 aheadUs() const { return lastAhead.load(std::memory_order_relaxed); }
    qint64 framesRead() const { return produced; }
    int rate() const { return sampleRate; }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    static constexpr qint64 nothingScheduled = std::numeric_limits<qint64>::min();

    double envelope() const;
    void begin();
    // The frame of a chunk of `frames` where the scheduled tone begins; -1 if not in this one.
    qint64 scheduledFrame(qint64 frames);

    std::atomic<bool> triggered{false};
    std::atomic<qint64> scheduled{nothingScheduled};
    std::atomic<qint64> lastAhead{-1};
    Microseconds now;
    Microseconds ahead;
    int sampleRate;
    int length;
    int ramp;
    int position;
    double phase = 0.0;
    qint64 produced = 0;
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
    // Starts a tone with the next frames the stream takes, in place of a scheduled one that
    // has not begun.
    virtual void trigger() = 0;
    // Starts a tone heard `inUs` microseconds from now, as near as the stream can tell; with
    // the next frames the stream takes once that is past. Replaces a scheduled tone not begun.
    virtual void schedule(qint64 inUs) = 0;
    // Drops a scheduled tone that has not begun.
    virtual void cancel() = 0;
    // The audio queued ahead of the next frame the stream takes, as last estimated; -1 unknown.
    virtual qint64 queuedUs() const { return -1; }
};

// The desktop's sound output: a sample in the sound server's cache played at each beat, or,
// where the server keeps none, a Qt Multimedia sink pulling from a ToneGenerator.
std::unique_ptr<ToneOutput> makeSystemToneOutput();
// Always the stream (benchmarks compare the two).
std::unique_ptr<ToneOutput> makeStreamToneOutput();

class ToneWorker;

// The beat tone, played without ever holding up the caller's thread: the output is opened, fed,
// rested and closed on a worker thread of its own, and sound() and upcoming() only post to it.
// Until the output is open, or when there is none, the window system's bell sounds instead.
// A stream kept open costs the sound server and this process work every few milliseconds, tone
// or not, so it rests whenever it can: between beats, once a tone has played and while the next
// beep is further than wakeAheadMs off, and with no beep due for restAfterMs. A beep due within
// wakeAheadMs, or sound() itself, wakes it. Resting between beats needs every beep seen at least
// wakeAheadMs ahead, the time a resting stream takes to play a tone at its frame; after a beep
// seen later than that (fibrillating atria, ectopic beats) the stream stays awake between beats
// for shortLeadMemoryMs, so that such beeps are heard on their ticks.
//
// A beep seen ahead through upcoming() is scheduled for its own tick, so that it is heard when
// its peak is drawn rather than after the audio the stream holds queued; sound() on a tick the
// scheduled tone covers then adds nothing. A beep nobody saw coming sounds at once.
class BeatTone final : public ToneSink {
public:
    enum class Mode { opening, playing, resting, bell };
    using Clock = std::function<qint64()>; // milliseconds, monotonic

    // Longer than the pause between beats of any rhythm, so a running rhythm keeps the stream.
    static constexpr qint64 restAfterMs = 2500;
    // How often the worker looks whether the stream may rest, while it plays.
    static constexpr int restCheckMs = 500;
    // What a resting stream needs to play a tone at its frame: the audio still queued from
    // before it rested (up to about 45 ms), the sound server's answer to waking and the first
    // read, and a display frame by which the caller may see the beep late.
    static constexpr qint64 wakeAheadMs = 100;
    // After the end of a tone, before the stream may rest: the last read may still hold it.
    static constexpr qint64 afterToneMs = 20;
    static constexpr qint64 shortLeadMemoryMs = 30'000;
    // How far a tick may run before the time its beep was scheduled for and still be that
    // beep: a window's clock runs ticks in batches once per display frame.
    static constexpr qint64 earlyMs = 2 * tickMs;

    BeatTone();
    // For tests and benchmarks: any output, bell and clock.
    BeatTone(std::unique_ptr<ToneOutput> output, std::function<void()> bell, Clock clock);
    ~BeatTone() override;

    BeatTone(const BeatTone&) = delete;
    BeatTone& operator=(const BeatTone&) = delete;

    void sound() override;
    void upcoming(int ticksUntilBeep) override;
    void silence() override;

    Mode mode() const;
    bool usesBell() const { return mode() != Mode::playing && mode() != Mode::resting; }

    // Blocks until the worker has handled everything posted so far, after letting it check
    // whether the stream may rest. For tests and benchmarks only: it waits on the worker.
    void settle();

    // The audio the output held queued ahead when a tone was last asked of it, in
    // microseconds; -1 unknown. For benchmarks.
    qint64 queuedUs() const;

    struct Shared;

private:
    void demand();
    // A beep came into sight `leadMs` before it is due (0: asked for without warning).
    void noteLead(qint64 leadMs);
    void post(void (ToneWorker::*slot)());
    void postSchedule(qint64 dueMs);
    bool covers(qint64 now) const;

    std::shared_ptr<Shared> shared;
    // The beep scheduled last (its clock time) and until when its tone covers the ticks that
    // ask for it. Used on the caller's thread only.
    std::optional<qint64> scheduledMs;
    qint64 coverUntilMs = 0;
    // Until when a beep seen late keeps the stream awake between beats.
    qint64 shortLeadUntilMs = 0;
    std::function<void()> bell;
    std::unique_ptr<QThread> thread;
    ToneWorker* worker = nullptr; // lives on `thread`; deleted there
};

} // namespace pulsavo
