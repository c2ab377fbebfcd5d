#include "BeatTone.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>
#include <cmath>
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

double ToneGenerator::envelope() const {
    return std::min(
        {1.0, static_cast<double>(position) / ramp, static_cast<double>(length - position) / ramp});
}

qint64 ToneGenerator::readData(char* data, qint64 maxSize) {
    if (triggered.exchange(false, std::memory_order_relaxed)) {
        if (position < length) {
            position = std::min(position, ramp);
        } else {
            position = 0;
            phase = 0.0;
        }
    }
    const double step = 2.0 * std::numbers::pi * frequency / sampleRate;
    const qint64 frames = maxSize / static_cast<qint64>(sizeof(qint16));
    auto* out = reinterpret_cast<qint16*>(data);
    for (qint64 i = 0; i < frames; ++i) {
        if (position < length) {
            out[i] = static_cast<qint16>(std::lround(amplitude * envelope() * std::sin(phase)));
            phase = std::fmod(phase + step, 2.0 * std::numbers::pi);
            ++position;
        } else {
            out[i] = 0;
        }
    }
    return frames * static_cast<qint64>(sizeof(qint16));
}

BeatTone::BeatTone() {
    openSink();
}

BeatTone::~BeatTone() {
    dropSink();
}

void BeatTone::openSink() {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return;
    }
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::Int16);
    format.setChannelCount(1);
    format.setSampleRate(device.preferredFormat().sampleRate());
    if (!device.isFormatSupported(format)) {
        format.setSampleRate(48000);
        if (!device.isFormatSupported(format)) {
            return;
        }
    }
    generator = std::make_unique<ToneGenerator>(format.sampleRate());
    generator->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    sink = std::make_unique<QAudioSink>(device, format);
    sink->setBufferSize(static_cast<qsizetype>(format.bytesForDuration(bufferMicroseconds)));
    sink->start(generator.get());
    if (sink->error() != QAudio::NoError || sink->state() == QAudio::StoppedState) {
        dropSink();
        return;
    }
    // A sound server that goes away later leaves the bell, once, without a word.
    QObject::connect(sink.get(), &QAudioSink::stateChanged, sink.get(), [this](QAudio::State) {
        if (sink && sink->error() != QAudio::NoError && sink->error() != QAudio::UnderrunError) {
            sink->disconnect();
            sink.release()->deleteLater();
        }
    });
}

void BeatTone::dropSink() {
    if (sink) {
        sink->disconnect();
        sink->stop();
        sink.reset();
    }
    generator.reset();
}

void BeatTone::sound() {
    if (sink) {
        generator->trigger();
    } else {
        QApplication::beep();
    }
}

} // namespace pulsavo
