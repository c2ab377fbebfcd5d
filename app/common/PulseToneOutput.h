#pragma once

#include "BeatTone.h"

#include <QByteArray>

#include <functional>
#include <memory>

class QTimer;

namespace pulsavo {

// The beat tone as a sample in the sound server's cache, played once per beat. Between beats
// there is no stream at all, so neither the server nor this process has anything to do; a tone
// costs one short message. Needs a PulseAudio server (or PipeWire's, which keeps samples too);
// open() is false without one. Used on the beat tone's worker thread only.
class PulseToneOutput final : public ToneOutput {
public:
    // How long a connection or an upload may take before the output gives up.
    static constexpr int answerTimeoutMs = 5000;

    PulseToneOutput();
    ~PulseToneOutput() override;
    PulseToneOutput(const PulseToneOutput&) = delete;
    PulseToneOutput& operator=(const PulseToneOutput&) = delete;

    bool open(std::function<void()> failed) override;
    // Nothing plays between tones: nothing to rest.
    void rest() override {}
    void wake() override {}
    void trigger() override;
    void schedule(qint64 inUs) override;
    void cancel() override;
    // A sample plays as soon as the server has it: nothing is queued ahead of it.
    qint64 queuedUs() const override { return 0; }

    struct Connection;

private:
    void play();
    void close();

    std::unique_ptr<Connection> connection;
    std::unique_ptr<QTimer> timer;
    QByteArray sampleName;
    // When the last tone began (a monotonic clock, microseconds): another asked for within it
    // would only sound over it.
    qint64 lastPlayUs = -1;
};

} // namespace pulsavo
