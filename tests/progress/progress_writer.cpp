// A separate process writing answers, for the tests that kill it, run two at once, or run it
// as an unprivileged user.
//   progress_writer write DB COUNT TAG [--wait]   records COUNT answers with seeds TAG*1e6+i,
//                                                 printing "committed SEED" after each commit;
//                                                 with --wait, prints "ready" and waits for a line
//   progress_writer probe DB [--as-nobody]        prints the state, records one answer, prints
//                                                 "recorded ID" and the notice
#include "ProgressStore.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <unistd.h>

using namespace pulsavo;

namespace {

int write(const QStringList& args) {
    if (args.size() < 5) {
        return 2;
    }
    const int count = args[3].toInt();
    const std::uint32_t tag = args[4].toUInt();
    ProgressStore store(args[2]);
    if (!store.isSaving()) {
        std::fprintf(stderr, "not saving: %s\n", qPrintable(store.notice()));
        return 1;
    }
    if (args.contains(QStringLiteral("--wait"))) {
        std::printf("ready\n");
        std::fflush(stdout);
        char line[16];
        if (std::fgets(line, sizeof line, stdin) == nullptr) {
            return 1;
        }
    }
    const std::int64_t round = store.beginRound(RoundInfo{});
    for (int i = 0; i < count; ++i) {
        AnswerRecord answer;
        answer.roundId = round;
        answer.shown = allRhythms[static_cast<std::size_t>(i % rhythmCount)];
        answer.answer = allRhythms[static_cast<std::size_t>((i / 3) % rhythmCount)];
        answer.seed = tag * 1000000U + static_cast<std::uint32_t>(i);
        answer.answerMs = 1000 + i;
        if (store.recordAnswer(answer) < 0) {
            std::fprintf(stderr, "lost answer %d: %s\n", i, qPrintable(store.notice()));
            return 1;
        }
        std::printf("committed %u\n", answer.seed);
        std::fflush(stdout);
    }
    return 0;
}

int probe(const QStringList& args) {
    if (args.size() < 3) {
        return 2;
    }
    if (args.contains(QStringLiteral("--as-nobody"))) {
        constexpr unsigned nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0) {
            std::fprintf(stderr, "cannot become nobody\n");
            return 2;
        }
    }
    ProgressStore store(args[2]);
    const char* state = store.state() == ProgressStore::State::saved      ? "saved"
                        : store.state() == ProgressStore::State::inMemory ? "inMemory"
                                                                          : "unavailable";
    std::printf("state %s\n", state);
    std::printf("recorded %lld\n", static_cast<long long>(store.recordAnswer(AnswerRecord{})));
    std::printf("count %d\n", store.answerCount());
    std::printf("notice %s\n", qPrintable(store.notice()));
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1 && args[1] == QStringLiteral("write")) {
        return write(args);
    }
    if (args.size() > 1 && args[1] == QStringLiteral("probe")) {
        return probe(args);
    }
    std::fprintf(stderr, "usage: progress_writer write DB COUNT TAG [--wait] | probe DB\n");
    return 2;
}
