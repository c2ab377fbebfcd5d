#pragma once

// Busy loops beside a benchmark, as a loaded machine has them: `--busy N` on any benchmark's
// command line.
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pulsavo::bench {

// Processes that only spin, as a loaded machine has; they end with the benchmark, or with
// its process should it die first.
class BusyLoops {
public:
    explicit BusyLoops(int count) {
        for (int i = 0; i < count; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                prctl(PR_SET_PDEATHSIG, SIGKILL);
                volatile unsigned long spin = 0;
                for (;;) {
                    spin = spin + 1;
                }
            }
            if (pid > 0) {
                pids.push_back(pid);
            }
        }
    }
    ~BusyLoops() {
        for (const pid_t pid : pids) {
            kill(pid, SIGKILL);
        }
        for (const pid_t pid : pids) {
            waitpid(pid, nullptr, 0);
        }
    }
    BusyLoops(const BusyLoops&) = delete;
    BusyLoops& operator=(const BusyLoops&) = delete;

    int count() const { return static_cast<int>(pids.size()); }

private:
    std::vector<pid_t> pids;
};

// Takes `--busy N` off the command line before Google Benchmark reads it. A benchmark notes the
// number in its results' context ("busy_loops"), where the summary reads it.
inline int takeBusyLoops(int& argc, char** argv) {
    int busy = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--busy") == 0) {
            busy = std::atoi(argv[i + 1]);
            for (int k = i; k + 2 < argc; ++k) {
                argv[k] = argv[k + 2];
            }
            argc -= 2;
            argv[argc] = nullptr;
            break;
        }
    }
    return busy;
}

} // namespace pulsavo::bench
