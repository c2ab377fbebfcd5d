// The beat tone against a real or a hung sound server, measured by hand (see bench/beattone.sh):
//   bench_beattone hung                    a socket of our own that never answers: how long the
//                                          caller's calls take and whether 10 ms ticks keep going
//   bench_beattone latency                 the tick a tone is due on (seen 12 ticks ahead, as the
//                                          trainer sees a beat) to the tone on the server's
//                                          monitor source, and the audio the output held queued
//   bench_beattone cpu SERVER_PID SECONDS  the sound server's share of a core and that of this
//                                          process's audio threads: no client, a bare stream of
//                                          silence, then the trainer's output and a stream of the
//                                          tone each resting, with beats seen early (sinus
//                                          rhythm) and late (atrial fibrillation)
// It needs no display; latency and cpu need PULSE_SERVER (or the session's server) and parec.
#include "BeatTone.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLocalServer>
#include <QMediaDevices>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using pulsavo::BeatTone;

namespace {

qint64 nowNs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return clock.nsecsElapsed();
}

// Long enough for an idle stream to rest.
constexpr int ticksToRest =
    static_cast<int>((BeatTone::restAfterMs + 2LL * BeatTone::restCheckMs) / 10);

// The trainer's output (the server's sample cache where it has one) or always a stream.
std::unique_ptr<BeatTone> makeTone(std::atomic<int>& bells, bool stream = false) {
    return std::make_unique<BeatTone>(
        stream ? pulsavo::makeStreamToneOutput() : pulsavo::makeSystemToneOutput(),
        [&bells] { ++bells; }, [] { return nowNs() / 1'000'000; });
}

// Runs `perTick` on a precise 10 ms timer for `ticks` ticks; returns the ticks/s reached.
template <typename F> double runTicks(int ticks, F perTick) {
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(10);
    int done = 0;
    const qint64 start = nowNs();
    QObject::connect(&timer, &QTimer::timeout, [&] {
        perTick(done);
        if (++done == ticks) {
            loop.quit();
        }
    });
    timer.start();
    loop.exec();
    return done * 1e9 / static_cast<double>(nowNs() - start);
}

int hung() {
    QTemporaryDir dir;
    QLocalServer server;
    const QString path = dir.filePath(QStringLiteral("native"));
    if (!server.listen(path)) {
        std::fprintf(stderr, "bench_beattone: cannot listen on %s\n", qPrintable(path));
        return 1;
    }
    qputenv("PULSE_SERVER", "unix:" + path.toLocal8Bit());
    std::atomic<int> bells{0};
    const qint64 before = nowNs();
    auto tone = makeTone(bells);
    const double constructMs = static_cast<double>(nowNs() - before) / 1e6;
    qint64 slowestCall = 0;
    const double rate = runTicks(300, [&](int tick) {
        const qint64 start = nowNs();
        tone->upcoming(tick % 80 < 5 ? 0 : 5);
        if (tick % 80 < 5) {
            tone->sound();
        }
        slowestCall = std::max(slowestCall, nowNs() - start);
    });
    std::printf("hung server: construct %.3f ms, slowest tick's calls %.1f us, %.1f ticks/s, "
                "mode %d (0 opening), %d bells\n",
                constructMs, static_cast<double>(slowestCall) / 1e3, rate,
                static_cast<int>(tone->mode()), bells.load());
    const qint64 closing = nowNs();
    tone.reset();
    std::printf("closing while the server is silent: %.1f ms\n",
                static_cast<double>(nowNs() - closing) / 1e6);
    std::fflush(stdout);
    // The process may still wait for Qt Multimedia's own time-out on its way out.
    std::_Exit(0);
}

bool waitPlaying(BeatTone& tone) {
    for (int i = 0; i < 500 && tone.mode() == BeatTone::Mode::opening; ++i) {
        runTicks(1, [](int) {});
    }
    return tone.mode() == BeatTone::Mode::playing;
}

int latency() {
    std::atomic<int> bells{0};
    auto tone = makeTone(bells);
    if (!waitPlaying(*tone)) {
        std::fprintf(stderr, "bench_beattone: no sound output\n");
        return 1;
    }
    constexpr int rate = 48000;
    QProcess rec;
    rec.start(QStringLiteral("parec"),
              {QStringLiteral("--device=@DEFAULT_MONITOR@"), QStringLiteral("--raw"),
               QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
               QStringLiteral("--rate=48000"), QStringLiteral("--latency-msec=2")});
    if (!rec.waitForStarted()) {
        std::fprintf(stderr, "bench_beattone: parec did not start\n");
        return 1;
    }
    // Onsets in recording time, mapped to our clock by each chunk's arrival.
    std::vector<qint64> onsets;
    qint64 received = 0;
    bool sounding = false;
    int quiet = 0;
    QObject::connect(&rec, &QProcess::readyReadStandardOutput, [&] {
        const qint64 arrived = nowNs();
        const QByteArray data = rec.readAllStandardOutput();
        received += data.size();
        const auto* samples = reinterpret_cast<const qint16*>(data.constData());
        const qsizetype frames = data.size() / 2;
        for (qsizetype i = 0; i < frames; ++i) {
            const bool loud = std::abs(samples[i]) > 1000;
            if (loud && !sounding) {
                onsets.push_back(arrived - (frames - i) * 1'000'000'000LL / rate);
            }
            quiet = loud ? 0 : quiet + 1;
            sounding = loud || (sounding && quiet < rate / 100);
        }
    });
    // parec takes a while to connect: start once it delivers.
    for (int i = 0; i < 500 && received == 0; ++i) {
        runTicks(1, [](int) {});
    }
    if (received == 0) {
        std::fprintf(stderr, "bench_beattone: parec records nothing\n");
        return 1;
    }
    std::vector<qint64> asked;
    std::vector<qint64> queued;
    // Tones 600 ms apart, each asked for on 4 consecutive ticks as a QRS does, with the beep
    // visible `lead` ticks ahead: 16 as in sinus rhythm and the blocks (the stream rests
    // between beats), 4 as in atrial fibrillation (it stays awake).
    for (const int lead : {16, 4}) {
        runTicks(240, [&](int tick) {
            const int phase = tick % 60;
            tone->upcoming(phase <= lead ? lead - phase
                                         : (phase < lead + 4 ? 0 : BeatTone::nothingDue));
            if (phase >= lead && phase < lead + 4) {
                if (phase == lead) {
                    asked.push_back(nowNs());
                    queued.push_back(tone->queuedUs());
                }
                tone->sound();
            }
        });
    }
    // Then a long pause, so that the stream rests, and one more tone seen 12 ticks ahead.
    runTicks(ticksToRest, [](int) {});
    const bool rested = tone->mode() == BeatTone::Mode::resting;
    runTicks(40, [&](int tick) {
        tone->upcoming(tick <= 12 ? 12 - tick : BeatTone::nothingDue);
        if (tick == 12) {
            asked.push_back(nowNs());
            queued.push_back(tone->queuedUs());
            tone->sound();
        }
    });
    rec.terminate();
    rec.waitForFinished();
    std::printf("tones asked %zu, heard %zu, rested before the last: %s\n", asked.size(),
                onsets.size(), rested ? "yes" : "no");
    if (qEnvironmentVariableIsSet("BENCH_BEATTONE_ONSETS")) {
        for (const qint64 onset : onsets) {
            std::printf("  onset at %.1f ms\n", static_cast<double>(onset - asked[0]) / 1e6);
        }
    }
    for (std::size_t i = 0; i < asked.size(); ++i) {
        // A tone may now be heard a little before its tick: look from 100 ms earlier.
        const auto next = std::lower_bound(onsets.begin(), onsets.end(), asked[i] - 100'000'000LL);
        if (next == onsets.end()) {
            std::printf("  tone %zu: not heard\n", i);
        } else {
            std::printf("  tone %zu (seen %s): heard %+.1f ms from its tick (output queue %.1f "
                        "ms)\n",
                        i, i < 4 ? "160 ms ahead" : (i < 8 ? "40 ms ahead" : "after a rest"),
                        static_cast<double>(*next - asked[i]) / 1e6,
                        static_cast<double>(queued[i]) / 1e3);
        }
    }
    return 0;
}

// CPU time of every thread of a process, in seconds, from the scheduler's nanosecond counts;
// with `skipMain`, all but its main thread: the audio threads of this process beside the ticks.
double cpuSeconds(const QString& pid, bool skipMain = false) {
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    if (!tasks.exists()) {
        return -1.0;
    }
    double seconds = 0;
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (skipMain && task == pid) {
            continue;
        }
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly)) {
            seconds += stat.readAll().split(' ').value(0).toDouble() / 1e9;
        }
    }
    return seconds;
}

// Zeros for ever: a stream of silence and nothing else.
class Silence final : public QIODevice {
public:
    Silence() { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        std::memset(data, 0, static_cast<std::size_t>(maxSize));
        return maxSize;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

// A bare stream of silence through Qt Multimedia on a thread of its own, as the beat tone has:
// the least a stream of the tone's format and buffer costs. A buffer of 0 leaves the size to the
// sound server.
class SilenceStream {
public:
    explicit SilenceStream(qint64 bufferUs) {
        holder.moveToThread(&thread);
        thread.start();
        QMetaObject::invokeMethod(
            &holder, [this, bufferUs] { open(bufferUs); }, Qt::BlockingQueuedConnection);
    }
    ~SilenceStream() {
        QMetaObject::invokeMethod(
            &holder,
            [this] {
                if (sink) {
                    sink->stop();
                }
                sink.reset();
                silence.reset();
            },
            Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }
    SilenceStream(const SilenceStream&) = delete;
    SilenceStream& operator=(const SilenceStream&) = delete;
    bool playing() const { return ok; }

private:
    void open(qint64 bufferUs) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        QAudioFormat format;
        format.setSampleFormat(QAudioFormat::Int16);
        format.setChannelCount(1);
        format.setSampleRate(device.preferredFormat().sampleRate());
        if (device.isNull() || !device.isFormatSupported(format)) {
            return;
        }
        silence = std::make_unique<Silence>();
        sink = std::make_unique<QAudioSink>(device, format);
        if (bufferUs > 0) {
            sink->setBufferSize(static_cast<qsizetype>(format.bytesForDuration(bufferUs)));
        }
        sink->start(silence.get());
        ok = sink->error() == QAudio::NoError && sink->state() != QAudio::StoppedState;
    }

    QThread thread;
    QObject holder;
    std::unique_ptr<Silence> silence;
    std::unique_ptr<QAudioSink> sink;
    bool ok = false;
};

// The sound server's share of a core and that of this process's audio threads (all but the
// main thread, which only runs the ticks), over SECONDS of 10 ms ticks each.
int cpu(const QString& pid, int seconds) {
    const QString self = QString::number(QCoreApplication::applicationPid());
    const auto share = [&](const char* what, auto perTick) {
        const double server = cpuSeconds(pid);
        const double client = cpuSeconds(self, true);
        const qint64 start = nowNs();
        runTicks(seconds * 100, perTick);
        const double wall = static_cast<double>(nowNs() - start) / 1e9;
        const double serverShare = 100.0 * (cpuSeconds(pid) - server) / wall;
        const double clientShare = 100.0 * (cpuSeconds(self, true) - client) / wall;
        std::printf("%-40s server %.3f %%, audio threads %.3f %%, together %.3f %% of a core\n",
                    what, serverShare, clientShare, serverShare + clientShare);
        std::fflush(stdout);
    };
    if (cpuSeconds(pid) < 0) {
        std::fprintf(stderr, "bench_beattone: no process %s\n", qPrintable(pid));
        return 1;
    }
    share("no client", [](int) {});
    for (const qint64 bufferUs : {qint64{0}, qint64{80'000}}) {
        const SilenceStream silence(bufferUs);
        if (!silence.playing()) {
            std::fprintf(stderr, "bench_beattone: no sound output\n");
            return 1;
        }
        share(bufferUs == 0 ? "bare stream of silence, server's buffer"
                            : "bare stream of silence, 80 ms buffer",
              [](int) {});
    }
    // The trainer's output, then a stream of the tone as the trainer had before.
    for (const bool stream : {false, true}) {
        std::atomic<int> bells{0};
        auto tone = makeTone(bells, stream);
        if (!waitPlaying(*tone)) {
            std::fprintf(stderr, "bench_beattone: no sound output\n");
            return 1;
        }
        std::printf("%s\n", stream ? "through a stream (Qt Multimedia):"
                                   : "the trainer's output (the server's sample cache):");
        runTicks(ticksToRest, [](int) {});
        share("no rhythm (resting)", [&](int) { tone->upcoming(BeatTone::nothingDue); });
        // Beats every `period` ticks, each seen `lead` ticks ahead and asked for on 4 ticks.
        const auto rhythm = [&](const char* what, int period, int lead) {
            int awake = 0;
            share(what, [&](int tick) {
                const int phase = tick % period;
                tone->upcoming(phase <= lead ? lead - phase
                                             : (phase < lead + 4 ? 0 : BeatTone::nothingDue));
                if (phase >= lead && phase < lead + 4) {
                    tone->sound();
                }
                awake += tone->mode() == BeatTone::Mode::playing ? 1 : 0;
            });
            if (stream) {
                std::printf("  the stream played on %.0f %% of the ticks\n",
                            awake / (seconds * 1.0));
            }
        };
        rhythm("sinus rhythm at 75/min, seen 160 ms ahead", 80, 16);
        rhythm("beats at 110/min seen 40 ms ahead (AF)", 55, 4);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString command = args.value(1);
    if (command == QLatin1String("hung")) {
        return hung();
    }
    if (command == QLatin1String("latency")) {
        return latency();
    }
    if (command == QLatin1String("cpu") && args.size() == 4) {
        return cpu(args[2], args[3].toInt());
    }
    std::fprintf(stderr, "usage: bench_beattone hung | latency | cpu SERVER_PID SECONDS\n");
    return 2;
}
