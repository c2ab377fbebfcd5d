#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <thread>
#include <vector>

namespace pulsavo::bench {

// The trainer's clock wakes once per display frame, about every 17 ms, and in between the
// machine runs everything else. A hot loop of ticks keeps the panel's image, the simulation and
// the code in the caches and so tells less than the trainer pays; a tick at the cadence waits a
// frame first and, cold, finds the caches emptied by a walk over more memory than the
// last-level cache of the benchmark machine holds (32 MB).
class Cadence {
public:
    static constexpr std::chrono::milliseconds frame{17};

    explicit Cadence(bool cold) : elsewhere(cold ? std::size_t{48} << 20 : 0) {}

    void waitForNextFrame() {
        std::this_thread::sleep_for(frame);
        for (std::size_t i = 0; i < elsewhere.size(); i += 64) {
            elsewhere[i] = static_cast<unsigned char>(elsewhere[i] + 1);
        }
        benchmark::ClobberMemory();
    }

    // Runs `work` once and reports the wall time it took as the iteration's time.
    template <typename Work> void time(benchmark::State& state, Work&& work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }

private:
    std::vector<unsigned char> elsewhere;
};

} // namespace pulsavo::bench
