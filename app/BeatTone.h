#pragma once

#include <QAudioFormat>
#include <QIODevice>

#include <atomic>
#include <memory>

class QAudioSink;

namespace pulsavo {

// Whatever sounds the beat tone; the trainer asks for it on every tick the trace stays above
// the beep level.
class ToneSink {
public:
    virtual ~ToneSink() = default;
    virtual void sound() = 0;
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

// The beat tone through the desktop's sound server. One sink is opened at start-up and pulls
// from the generator for the whole run: a sink opened per beep would start too late to be
// heard. Without a usable audio output it falls back to the window system's bell.
class BeatTone final : public ToneSink {
public:
    BeatTone();
    ~BeatTone() override;

    void sound() override;

    bool usesBell() const { return !sink; }

private:
    void openSink();
    void dropSink();

    std::unique_ptr<ToneGenerator> generator;
    std::unique_ptr<QAudioSink> sink;
};

} // namespace pulsavo
