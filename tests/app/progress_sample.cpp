// Writes a learner's answers for trying the progress window by hand and for its screenshot:
//   progress_sample DB COUNT [DAYS]   COUNT answers spread over the last DAYS days (14 unless
//                              given), mostly right, with the mix-ups learners typically make;
//                              the same answers every run.
#include "ProgressStore.h"

#include <QCoreApplication>

#include <cstdio>
#include <random>

using namespace pulsavo;

int main(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int days = args.size() == 4 ? args[3].toInt() : 14;
    if (args.size() < 3 || args.size() > 4 || args[2].toInt() <= 0 || days <= 0) {
        std::fputs("usage: progress_sample DB COUNT [DAYS]\n", stderr);
        return 2;
    }
    ProgressStore store(args[1]);
    if (!store.isSaving()) {
        std::fprintf(stderr, "progress_sample: %s\n", qPrintable(store.notice()));
        return 1;
    }
    const std::pair<Rhythm, Rhythm> mixUps[] = {
        {Rhythm::atrialFlutter, Rhythm::atrialFibrillation},
        {Rhythm::wenckebachBlock, Rhythm::mobitzBlock},
        {Rhythm::sinusArrest, Rhythm::sinoatrialBlock},
        {Rhythm::ventricularTachycardia, Rhythm::shortRun},
        {Rhythm::supraventricularPremature, Rhythm::sporadicPvc},
    };
    std::mt19937 random(11);
    const int count = args[2].toInt();
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < count; ++i) {
        AnswerRecord answer;
        answer.shown = allRhythms[random() % rhythmCount];
        answer.answer = answer.shown;
        answer.seed = static_cast<std::uint32_t>(random() % 100000);
        // Early days go worse than the last ones.
        const int daysAgo = days - 1 - i * days / count;
        if (static_cast<int>(random() % 100) < 10 + 42 * daysAgo / days) {
            const auto& [shown, given] = mixUps[random() % std::size(mixUps)];
            answer.shown = shown;
            answer.answer = given;
        }
        answer.answerMs = 1500 + static_cast<int>(random() % 6000);
        answer.time = now.addDays(-daysAgo).addSecs(-3600 + i);
        if (store.recordAnswer(answer) < 0) {
            std::fprintf(stderr, "progress_sample: %s\n", qPrintable(store.notice()));
            return 1;
        }
    }
    return 0;
}
