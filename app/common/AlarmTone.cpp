#include "AlarmTone.h"

#include "AlarmSignal.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QDeadlineTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>

namespace pulsavo {

namespace {

// The alarm signal as an endless stream for a sink to pull.
class AlarmStream final : public QIODevice {
public:
    explicit AlarmStream(int sampleRate) : signal(sampleRate) {}
    AlarmSignal signal;
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 frames = maxSize / static_cast<qint64>(sizeof(std::int16_t));
        signal.render(reinterpret_cast<std::int16_t*>(data), static_cast<std::size_t>(frames));
        return frames * static_cast<qint64>(sizeof(std::int16_t));
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

// A sound server that never answers holds the worker this long at most when the window closes.
constexpr int closeWaitMs = 250;

} // namespace

class AlarmWorker : public QObject {
public:
    explicit AlarmWorker(std::shared_ptr<std::atomic<int>> state) : state(std::move(state)) {}

    // The stream is declared after the sink's owner goes: stop the sink before either goes.
    void open(int noOutput, int opened) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        QAudioFormat format;
        format.setSampleFormat(QAudioFormat::Int16);
        format.setChannelCount(1);
        format.setSampleRate(device.isNull() ? 0 : device.preferredFormat().sampleRate());
        if (!device.isNull() && !device.isFormatSupported(format)) {
            format.setSampleRate(48000);
        }
        if (device.isNull() || !device.isFormatSupported(format)) {
            state->store(noOutput);
            return;
        }
        stream = std::make_unique<AlarmStream>(format.sampleRate());
        stream->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        sink = std::make_unique<QAudioSink>(device, format);
        sink->setBufferSize(static_cast<qsizetype>(format.bytesForDuration(100'000)));
        sink->start(stream.get());
        if (sink->error() != QAudio::NoError || sink->state() == QAudio::StoppedState) {
            close();
            state->store(noOutput);
            return;
        }
        sink->suspend();
        QObject::connect(sink.get(), &QAudioSink::stateChanged, this, [this, noOutput] {
            const QAudio::Error error = sink->error();
            if (error != QAudio::NoError && error != QAudio::UnderrunError) {
                state->store(noOutput);
            }
        });
        state->store(opened);
    }

    void play(AlarmPriority priority, int phaseTicks) {
        if (sink) {
            stream->signal.play(priority, phaseTicks);
            sink->resume();
        }
    }

    void stop() {
        if (sink) {
            stream->signal.stop();
            sink->suspend();
        }
    }

    void close() {
        if (sink) {
            sink->disconnect();
            sink->stop();
            sink.reset();
        }
        stream.reset();
    }

private:
    std::shared_ptr<std::atomic<int>> state;
    std::unique_ptr<AlarmStream> stream;
    std::unique_ptr<QAudioSink> sink;
};

AlarmTone::AlarmTone()
    : state(std::make_shared<std::atomic<int>>(opening)), thread(std::make_unique<QThread>()),
      worker(new AlarmWorker(state)) {
    thread->setObjectName(QStringLiteral("alarm tone"));
    worker->moveToThread(thread.get());
    thread->start();
    AlarmWorker* target = worker;
    QMetaObject::invokeMethod(
        target, [target] { target->open(noOutput, open); }, Qt::QueuedConnection);
}

AlarmTone::~AlarmTone() {
    AlarmWorker* target = worker;
    QThread* running = thread.get();
    QMetaObject::invokeMethod(
        target,
        [target, running] {
            target->close();
            delete target;
            running->quit();
        },
        Qt::QueuedConnection);
    if (!thread->wait(QDeadlineTimer(closeWaitMs))) {
        // Still waiting for the sound server: the thread object goes with the process.
        static_cast<void>(thread.release());
    }
}

void AlarmTone::play(AlarmPriority priority, int phaseTicks) {
    AlarmWorker* target = worker;
    QMetaObject::invokeMethod(
        target, [target, priority, phaseTicks] { target->play(priority, phaseTicks); },
        Qt::QueuedConnection);
}

void AlarmTone::stop() {
    AlarmWorker* target = worker;
    QMetaObject::invokeMethod(
        target, [target] { target->stop(); }, Qt::QueuedConnection);
}

} // namespace pulsavo
