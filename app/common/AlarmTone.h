#pragma once

#include "AlarmSignal.h"

#include <atomic>
#include <memory>

class QThread;

namespace pulsavo {

class AlarmWorker;

// The alarm through the desktop's default output (Qt Multimedia), opened, fed and closed on a
// thread of its own so that a slow sound server never holds up the monitor. Without an output
// it stays silent and says so through audible(); the window shows the alarm all the same.
class AlarmTone final : public AlarmSink {
public:
    AlarmTone();
    ~AlarmTone() override;
    AlarmTone(const AlarmTone&) = delete;
    AlarmTone& operator=(const AlarmTone&) = delete;

    void play(AlarmPriority priority, int phaseTicks) override;
    void stop() override;
    bool audible() const override { return state->load() != noOutput; }

private:
    static constexpr int opening = 0;
    static constexpr int open = 1;
    static constexpr int noOutput = 2;

    std::shared_ptr<std::atomic<int>> state;
    std::unique_ptr<QThread> thread;
    AlarmWorker* worker = nullptr; // lives on `thread`; deleted there
};

} // namespace pulsavo
