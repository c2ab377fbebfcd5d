#include "PulseToneOutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <pulse/pulseaudio.h>

#include <algorithm>

namespace pulsavo {

namespace {
constexpr int sampleRate = 48000;
// Within the time the beat tone's closing waits for its worker.
constexpr int removeWaitMs = 150;

// Waits, holding the loop's lock, until `done` or for `ms` at most; returns `done`.
template <typename Done> bool waitUntil(pa_threaded_mainloop* loop, Done done, int ms) {
    struct Alarm {
        pa_threaded_mainloop* loop;
        bool rang;
    } alarm{loop, false};
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop);
    timeval when{};
    pa_timeval_add(pa_gettimeofday(&when), static_cast<pa_usec_t>(ms) * PA_USEC_PER_MSEC);
    pa_time_event* event = api->time_new(
        api, &when,
        [](pa_mainloop_api*, pa_time_event*, const timeval*, void* data) {
            auto* self = static_cast<Alarm*>(data);
            self->rang = true;
            pa_threaded_mainloop_signal(self->loop, 0);
        },
        &alarm);
    while (!done() && !alarm.rang) {
        pa_threaded_mainloop_wait(loop);
    }
    api->time_free(event);
    return done();
}

// The tone's frames, as the stream would play one.
QByteArray toneFrames() {
    ToneGenerator generator(sampleRate);
    generator.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    generator.trigger();
    return generator.read(qint64{sampleRate} * ToneGenerator::durationMs / 1000 *
                          qint64{sizeof(qint16)});
}
} // namespace

// The server connection and the thread libpulse runs it on. Fields past `loop` and `context`
// are read and written under the loop's lock.
struct PulseToneOutput::Connection {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    std::function<void()> failed; // once open
    bool lost = false;

    ~Connection() {
        if (!loop) {
            return;
        }
        if (context) {
            pa_threaded_mainloop_lock(loop);
            failed = nullptr;
            pa_context_disconnect(context);
            pa_context_unref(context);
            pa_threaded_mainloop_unlock(loop);
        }
        pa_threaded_mainloop_stop(loop);
        pa_threaded_mainloop_free(loop);
    }

    static void contextState(pa_context* context, void* data) {
        auto* self = static_cast<Connection*>(data);
        const pa_context_state_t state = pa_context_get_state(context);
        if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
            self->lost = true;
            if (self->failed) {
                self->failed();
            }
        }
        pa_threaded_mainloop_signal(self->loop, 0);
    }

    bool connect() {
        loop = pa_threaded_mainloop_new();
        if (!loop) {
            return false;
        }
        context = pa_context_new(pa_threaded_mainloop_get_api(loop),
                                 qPrintable(QCoreApplication::applicationName()));
        if (!context) {
            return false;
        }
        pa_context_set_state_callback(context, contextState, this);
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
            pa_threaded_mainloop_start(loop) < 0) {
            return false;
        }
        pa_threaded_mainloop_lock(loop);
        const bool ready = waitUntil(
            loop, [this] { return lost || pa_context_get_state(context) == PA_CONTEXT_READY; },
            answerTimeoutMs);
        const bool ok = ready && !lost;
        pa_threaded_mainloop_unlock(loop);
        return ok;
    }

    // Puts the frames in the server's sample cache under `name`.
    bool upload(const QByteArray& name, const QByteArray& frames) {
        const pa_sample_spec format{PA_SAMPLE_S16LE, sampleRate, 1};
        pa_threaded_mainloop_lock(loop);
        pa_stream* stream = pa_stream_new(context, name.constData(), &format, nullptr);
        bool ok = stream != nullptr;
        if (ok) {
            pa_stream_set_state_callback(
                stream,
                [](pa_stream*, void* data) {
                    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(data), 0);
                },
                loop);
            const auto state = [stream] { return pa_stream_get_state(stream); };
            const auto settled = [&] { return lost || state() != PA_STREAM_CREATING; };
            ok =
                pa_stream_connect_upload(stream, static_cast<std::size_t>(frames.size())) >= 0 &&
                waitUntil(loop, settled, answerTimeoutMs) && state() == PA_STREAM_READY &&
                pa_stream_write(stream, frames.constData(), static_cast<std::size_t>(frames.size()),
                                nullptr, 0, PA_SEEK_RELATIVE) >= 0 &&
                pa_stream_finish_upload(stream) >= 0;
            // A finished upload ends the stream: the sample is in the cache.
            const auto finished = [&] { return lost || state() != PA_STREAM_READY; };
            ok =
                ok && waitUntil(loop, finished, answerTimeoutMs) && state() == PA_STREAM_TERMINATED;
            pa_stream_set_state_callback(stream, nullptr, nullptr);
            pa_stream_unref(stream);
        }
        pa_threaded_mainloop_unlock(loop);
        return ok && !lost;
    }
};

PulseToneOutput::PulseToneOutput() = default;

PulseToneOutput::~PulseToneOutput() {
    close();
}

bool PulseToneOutput::open(std::function<void()> failed) {
    connection = std::make_unique<Connection>();
    // One name per process: a second trainer closing must not take this one's tone away.
    sampleName =
        QByteArrayLiteral("pulsavo-beat-") + QByteArray::number(QCoreApplication::applicationPid());
    if (!connection->connect() || !connection->upload(sampleName, toneFrames())) {
        connection.reset();
        return false;
    }
    pa_threaded_mainloop_lock(connection->loop);
    connection->failed = std::move(failed);
    pa_threaded_mainloop_unlock(connection->loop);
    timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, [this] { play(); });
    return true;
}

void PulseToneOutput::close() {
    timer.reset();
    if (connection && !connection->lost) {
        pa_threaded_mainloop_lock(connection->loop);
        pa_operation* removed =
            pa_context_remove_sample(connection->context, sampleName.constData(), nullptr, nullptr);
        if (removed) {
            // Briefly: closing the connection at once could drop the request.
            waitUntil(
                connection->loop,
                [removed] { return pa_operation_get_state(removed) != PA_OPERATION_RUNNING; },
                removeWaitMs);
            pa_operation_unref(removed);
        }
        pa_threaded_mainloop_unlock(connection->loop);
    }
    connection.reset();
}

void PulseToneOutput::play() {
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    const qint64 now = clock.nsecsElapsed() / 1000;
    if (lastPlayUs >= 0 && now - lastPlayUs < qint64{ToneGenerator::durationMs} * 1000) {
        return;
    }
    lastPlayUs = now;
    pa_threaded_mainloop_lock(connection->loop);
    pa_operation* played = pa_context_play_sample(connection->context, sampleName.constData(),
                                                  nullptr, PA_VOLUME_NORM, nullptr, nullptr);
    if (played) {
        pa_operation_unref(played);
    }
    pa_threaded_mainloop_unlock(connection->loop);
}

void PulseToneOutput::trigger() {
    timer->stop();
    play();
}

void PulseToneOutput::schedule(qint64 inUs) {
    if (inUs <= 0) {
        trigger();
        return;
    }
    timer->start(static_cast<int>(std::min<qint64>(inUs / 1000, 60'000)));
}

void PulseToneOutput::cancel() {
    timer->stop();
}

} // namespace pulsavo
