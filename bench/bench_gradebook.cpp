// The gradebook of a class of 200: 20 answers databases and 180 hand-in files of a 50-question
// exam, read, checked, graded and written as CSV and summary (target: 2 s at most, wall time:
// what the teacher waits for).
//   bench_gradebook --write-class DIR    writes the class's files into DIR and exits
#include "GradebookCommand.h"
#include "GradebookReport.h"
#include "HandIn.h"
#include "ProgressStore.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

using namespace pulsavo;

namespace {

constexpr int learners = 200;
constexpr int databases = 20;
constexpr int questions = 50;

const Exam& classExam() {
    static const Exam exam = [] {
        ExamSettings settings;
        settings.passPercent = 80;
        settings.shuffled = true;
        return makeExam(questions, 4242, RhythmSet::library(), settings).exam;
    }();
    return exam;
}

// Each learner knows a share of the rhythms from their own seed and guesses a neighbour
// otherwise; the first `databases` learners keep their answers in a database of their own.
std::vector<std::string> writeClass(const QString& folder) {
    const Exam& exam = classExam();
    const QString code = QString::fromStdString(exam.code);
    const std::vector<Rhythm> rhythms = exam.rhythms.list();
    std::vector<std::string> files;
    for (int l = 0; l < learners; ++l) {
        std::mt19937 random(static_cast<std::uint32_t>(l));
        const double ability = 0.4 + 0.6 * (l % 10) / 9.0;
        const QString name = QStringLiteral("learner %1").arg(l, 3, 10, QLatin1Char('0'));
        QList<ExamAnswer> answers;
        for (const int index : questionOrder(exam, name.toStdString())) {
            const Question& question = exam.questions[static_cast<std::size_t>(index)];
            ExamAnswer answer{code,
                              name,
                              index + 1,
                              question.rhythm,
                              question.seed,
                              question.rhythm,
                              random() % 20 == 0,
                              int(2000 + random() % 8000),
                              QStringLiteral("2024-06-01T09:%1:00.000Z")
                                  .arg(answers.size(), 2, 10, QLatin1Char('0'))};
            if (std::uniform_real_distribution<>(0, 1)(random) > ability) {
                answer.answer = rhythms[random() % rhythms.size()];
            }
            answers << answer;
        }
        if (l < databases) {
            const QString path = QStringLiteral("%1/%2.sqlite").arg(folder, name);
            ProgressStore store(path);
            for (const ExamAnswer& answer : answers) {
                AnswerRecord record;
                record.shown = answer.shown;
                record.seed = answer.seed;
                record.answer = answer.answer;
                record.hinted = answer.hinted;
                record.answerMs = answer.answerMs;
                record.examCode = code;
                record.learner = answer.learner;
                record.question = answer.question;
                store.recordAnswer(record);
            }
            files.push_back(QFile::encodeName(path).toStdString());
        } else {
            const QString path = QStringLiteral("%1/%2.csv").arg(folder, name);
            QFile file(path);
            if (file.open(QIODevice::WriteOnly)) {
                file.write(HandIn::write(code, answers));
            }
            files.push_back(QFile::encodeName(path).toStdString());
        }
    }
    return files;
}

const std::vector<std::string>& classFiles() {
    // tmpfs when there is one: each database answer is synced, as the trainer keeps it.
    static QTemporaryDir folder(
        QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/gradebook-XXXXXX") : QString());
    static const std::vector<std::string> files = writeClass(folder.path());
    return files;
}

void gradeClassOf200(benchmark::State& state) {
    const std::vector<std::string>& files = classFiles();
    for (auto _ : state) {
        Gradebook book(classExam());
        for (const std::string& file : files) {
            book.addFile(QFile::decodeName(QByteArray::fromStdString(file)));
        }
        const GradebookResult result = book.result();
        benchmark::DoNotOptimize(gradebookCsv(result, book.exam(), catalogue::Language::english));
        benchmark::DoNotOptimize(
            strip::gradebookSummary(result, book.exam(), catalogue::Language::english));
        if (result.learners.size() != learners || !result.notices.empty()) {
            state.SkipWithError("the class did not grade whole");
        }
    }
}
BENCHMARK(gradeClassOf200)->UseRealTime()->Unit(benchmark::kMillisecond);

void gradebookPdfOf200(benchmark::State& state) {
    Gradebook book(classExam());
    for (const std::string& file : classFiles()) {
        book.addFile(QFile::decodeName(QByteArray::fromStdString(file)));
    }
    const GradebookResult result = book.result();
    for (auto _ : state) {
        benchmark::DoNotOptimize(gradebookPdf(result, book.exam(), catalogue::Language::japanese));
    }
}
BENCHMARK(gradebookPdfOf200)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication application(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--write-class") == 0) {
        QDir().mkpath(QString::fromLocal8Bit(argv[2]));
        writeClass(QString::fromLocal8Bit(argv[2]));
        std::printf("%s\n", classExam().code.c_str());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
