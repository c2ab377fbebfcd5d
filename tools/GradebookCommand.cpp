#include "GradebookCommand.h"

#include "Catalogue.h"
#include "GradebookReport.h"
#include "HandIn.h"
#include "KeyPoints.h"
#include "OutputFile.h"
#include "ProgressCommand.h"
#include "ProgressStore.h"
#include "TraceCommand.h"
#include "Utf8Text.h"
#include "WriteAll.h"

#include <QCoreApplication>
#include <QFile>

#include <cmath>

namespace pulsavo::strip {

const char* const gradebookUsage =
    "pulsavo-strip gradebook --exam CODE [--csv FILE|-] [--pdf FILE] [--lang ja|en] FILE...\n"
    "  Grades exam CODE from any mix of answers databases and hand-in files (progress\n"
    "  --export): each learner's score, pass or fail by the exam's pass mark, time and hinted\n"
    "  answers (a hinted answer earns no credit), each question's share correct,\n"
    "  discrimination (top third minus bottom third by score) and commonest wrong answer, and\n"
    "  the class's commonest confusions, as a summary on standard output. --csv writes one\n"
    "  row per learner and question, --pdf a report with a chart. A learner found in two\n"
    "  files is counted from the first; a file of another exam, a damaged or edited file or\n"
    "  one from a newer Pulsavo is reported on one line naming it and left out, and the rest\n"
    "  is still graded. Exit status 2 when nothing could be graded\n";

namespace {

// Hand-ins are a few kilobytes; anything far larger is not one.
constexpr qint64 largestHandIn = qint64{16} * 1024 * 1024;

QString rhythmName(Rhythm rhythm, catalogue::Language language) {
    return utf8Text(catalogue::nameOf(rhythm, language));
}

QString percentText(double share) {
    return QStringLiteral("%1 %").arg(std::lround(100.0 * share));
}

QString minutesText(qint64 ms) {
    const qint64 seconds = (ms + 500) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString passText(const LearnerGrade& grade, catalogue::Language language) {
    if (!grade.passed) {
        return QStringLiteral("-");
    }
    return *grade.passed ? inLanguage("合格", "pass", language)
                         : inLanguage("不合格", "fail", language);
}

QByteArray csvField(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') ||
        bytes.contains('\r')) {
        bytes.replace("\"", "\"\"");
        return '"' + bytes + '"';
    }
    return bytes;
}

std::string text(const QString& value) {
    return value.toStdString();
}

} // namespace

GradebookOptions parseGradebookOptions(Arguments args) {
    GradebookOptions options;
    options.language = catalogue::systemLanguage();
    SingleOptions single;
    bool filesOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (filesOnly || arg.empty() || arg.front() != '-') {
            options.files.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            filesOnly = true;
            continue;
        }
        single.once(arg);
        if (arg == "--exam") {
            options.examCode = examCodeOption(optionValue(args, i));
        } else if (arg == "--csv") {
            options.csvPath = std::string(optionValue(args, i));
            checkOutputPath(arg, *options.csvPath);
        } else if (arg == "--pdf") {
            options.pdfPath = std::string(optionValue(args, i));
            checkOutputPath(arg, *options.pdfPath);
            if (*options.pdfPath == "-") {
                throw UsageError("--pdf takes a file, not standard output");
            }
        } else if (arg == "--lang") {
            options.language = parseLanguage(optionValue(args, i));
        } else {
            throw UsageError(message("unknown option %1 for gradebook", {quoted(arg)}));
        }
    }
    if (options.examCode.empty()) {
        throw UsageError("gradebook needs --exam CODE");
    }
    if (options.files.empty()) {
        throw UsageError("gradebook needs at least one answers database or hand-in file");
    }
    std::vector<NamedFile> outputs;
    if (options.csvPath) {
        outputs.push_back({"--csv", *options.csvPath});
    }
    if (options.pdfPath) {
        outputs.push_back({"--pdf", *options.pdfPath});
    }
    std::vector<NamedFile> inputs;
    for (const std::string& file : options.files) {
        inputs.push_back({"FILE", file});
    }
    checkOutputsApart(outputs, inputs);
    return options;
}

void addGradebookFile(Gradebook& gradebook, const std::string& path) {
    const QString source = QFile::decodeName(QByteArray::fromStdString(path));
    const auto unreadable = [&](const QString& why) {
        gradebook.addNotice({source, GradebookNotice::Kind::unreadable, {}, why});
    };
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        unreadable(file.exists() ? file.errorString() : QStringLiteral("no such file"));
        return;
    }
    const QByteArray head = file.peek(16);
    if (head.startsWith(QByteArrayLiteral("SQLite format 3"))) {
        file.close();
        const ProgressStore store(ProgressStore::ReadOnly::tag, QByteArray::fromStdString(path));
        using Problem = ProgressStore::ReadProblem;
        switch (store.readProblem()) {
        case Problem::none:
            break;
        case Problem::tooNew:
            gradebook.addNotice({source, GradebookNotice::Kind::tooNew, {}, {}});
            return;
        case Problem::damaged:
            unreadable(QStringLiteral("a damaged answers database"));
            return;
        case Problem::tooOld:
            unreadable(QStringLiteral("an answers database of an older format; opening it once "
                                      "in the practice window brings it up to date"));
            return;
        case Problem::notAnswers:
        case Problem::missing:
        case Problem::unreadable:
            unreadable(QStringLiteral("not an answers database"));
            return;
        }
        const std::optional<QList<ExamAnswer>> answers =
            store.examAnswers(QString::fromStdString(gradebook.exam().code));
        if (!answers) {
            unreadable(QStringLiteral("a damaged answers database"));
            return;
        }
        gradebook.add(source, *answers);
        return;
    }
    if (!HandIn::looksLike(head)) {
        unreadable(QStringLiteral("neither an answers database nor a hand-in file"));
        return;
    }
    if (file.size() > largestHandIn) {
        unreadable(QStringLiteral("far too large for a hand-in file"));
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        unreadable(file.errorString());
        return;
    }
    const HandIn::Contents contents = HandIn::read(bytes);
    switch (contents.problem) {
    case HandIn::Problem::none:
        gradebook.add(source, contents.answers);
        return;
    case HandIn::Problem::edited:
        gradebook.addNotice({source, GradebookNotice::Kind::edited, {}, {}});
        return;
    case HandIn::Problem::tooNew:
        gradebook.addNotice({source, GradebookNotice::Kind::tooNew, {}, {}});
        return;
    case HandIn::Problem::notHandIn:
    case HandIn::Problem::damaged:
        unreadable(QStringLiteral("a damaged hand-in file (cut short or not written by Pulsavo)"));
        return;
    }
}

std::string noticeLine(const GradebookNotice& notice) {
    std::string file = strip::quoted(text(notice.source));
    const std::string learner = strip::quoted(text(notice.learner));
    switch (notice.kind) {
    case GradebookNotice::Kind::unreadable:
        return message("%1: %2; not counted", {file, text(notice.detail)});
    case GradebookNotice::Kind::edited:
        return message("%1: the checksum does not match: the hand-in was changed after it was "
                       "written; not counted",
                       {file});
    case GradebookNotice::Kind::tooNew:
        return message("%1: written by a newer Pulsavo; not counted", {file});
    case GradebookNotice::Kind::otherExam:
        return message("%1: answers of another exam (%2); not counted",
                       {file, text(notice.detail)});
    case GradebookNotice::Kind::noAnswers:
        return message("%1: holds no answers of this exam", {file});
    case GradebookNotice::Kind::duplicate:
        return message("%1: learner %2 was already graded from %3; counted once, from there",
                       {file, learner, strip::quoted(text(notice.detail))});
    case GradebookNotice::Kind::retake:
        return message("%1: learner %2 answered some questions more than once; the first answer "
                       "counts",
                       {file, learner});
    case GradebookNotice::Kind::foreignItem:
        return message("%1: %2 answers match none of the exam's questions; not counted",
                       {file, text(notice.detail)});
    }
    return file;
}

QByteArray gradebookCsv(const GradebookResult& result, const Exam& exam,
                        catalogue::Language language) {
    QByteArray out = "learner,file,question,shown,shown_name,answer,answer_name,correct,hinted,"
                     "answer_ms,score,questions,percent,passed\r\n";
    for (const LearnerGrade& grade : result.learners) {
        for (std::size_t q = 0; q < grade.responses.size(); ++q) {
            const Rhythm shown = exam.questions[q].rhythm;
            const std::optional<ItemResponse>& response = grade.responses[q];
            const std::optional<Rhythm> answer = response ? response->answer : std::nullopt;
            const QStringList fields{
                grade.learner,
                grade.source,
                QString::number(q + 1),
                QString::fromStdString(rhythmId(shown)),
                rhythmName(shown, language),
                answer ? QString::fromStdString(rhythmId(*answer)) : QString(),
                answer ? rhythmName(*answer, language) : QString(),
                response && response->correct ? QStringLiteral("1") : QStringLiteral("0"),
                response && response->hinted ? QStringLiteral("1") : QStringLiteral("0"),
                response ? QString::number(response->answerMs) : QString(),
                QString::number(grade.score),
                QString::number(exam.count),
                QString::number(grade.percent, 'f', 1),
                grade.passed ? (*grade.passed ? QStringLiteral("1") : QStringLiteral("0"))
                             : QString(),
            };
            for (qsizetype i = 0; i < fields.size(); ++i) {
                out += (i > 0 ? "," : "") + csvField(fields[i]);
            }
            out += "\r\n";
        }
    }
    return out;
}

std::string gradebookSummary(const GradebookResult& result, const Exam& exam,
                             catalogue::Language language) {
    const auto row = [](const QStringList& cells, const std::vector<int>& widths) {
        QString line;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const int width = widths[static_cast<std::size_t>(i)];
            line += (i > 0 ? QStringLiteral("  ") : QString()) +
                    (width < 0 ? padRight(cells[i], -width) : padLeft(cells[i], width));
        }
        return line.trimmed() + QLatin1Char('\n');
    };
    QString out = inLanguage("試験 %1: %2 人を採点、%3 問",
                             "Exam %1: %2 learners graded, %3 questions", language)
                      .arg(QString::fromStdString(exam.code))
                      .arg(result.learners.size())
                      .arg(exam.count);
    if (exam.settings.passPercent > 0) {
        out += inLanguage("、合格点 %1 %（合格 %2 人）", ", pass mark %1 % (%2 passed)", language)
                   .arg(exam.settings.passPercent)
                   .arg(result.passedCount());
    }
    out += QStringLiteral("\n\n");

    int nameWidth = displayWidth(inLanguage("受験者", "Learner", language));
    for (const LearnerGrade& grade : result.learners) {
        nameWidth = std::max(nameWidth, displayWidth(grade.learner));
    }
    const std::vector<int> learnerWidths{-nameWidth, 7, 6, 6, 6, 7};
    out += row({inLanguage("受験者", "Learner", language), inLanguage("得点", "Score", language),
                QStringLiteral("%"), inLanguage("判定", "Pass", language),
                inLanguage("時間", "Time", language), inLanguage("ヒント", "Hinted", language)},
               learnerWidths);
    for (const LearnerGrade& grade : result.learners) {
        out += row({grade.learner, QStringLiteral("%1/%2").arg(grade.score).arg(exam.count),
                    QString::number(std::lround(grade.percent)), passText(grade, language),
                    minutesText(grade.totalMs), QString::number(grade.hinted)},
                   learnerWidths);
    }

    out += QLatin1Char('\n');
    const std::vector<int> itemWidths{3, 7, 6, -1};
    out += row({inLanguage("問", "No.", language), inLanguage("正答率", "Correct", language),
                inLanguage("識別力", "Discr.", language),
                inLanguage("波形 → 多い誤答", "Rhythm -> commonest wrong answer", language)},
               itemWidths);
    for (const ItemAnalysis& item : result.items) {
        QString rhythms = rhythmName(item.rhythm, language);
        if (item.commonestWrong) {
            rhythms += QStringLiteral(" → %1 (%2)")
                           .arg(rhythmName(*item.commonestWrong, language))
                           .arg(item.commonestWrongCount);
        }
        out += row({QString::number(item.number), percentText(item.shareCorrect),
                    item.discrimination ? QString::number(*item.discrimination, 'f', 2)
                                        : QStringLiteral("-"),
                    rhythms},
                   itemWidths);
    }

    if (!result.confusions.isEmpty()) {
        out += QLatin1Char('\n') + inLanguage("多い取り違え", "Commonest confusions", language) +
               QLatin1Char('\n');
        for (qsizetype i = 0; i < std::min<qsizetype>(5, result.confusions.size()); ++i) {
            const ConfusedPair& pair = result.confusions[i];
            out += QStringLiteral("%1 × %2 → %3\n")
                       .arg(pair.count, 3)
                       .arg(rhythmName(pair.shown, language), rhythmName(pair.answered, language));
            const std::string points = catalogue::keyPointsOf(pair.answered, language);
            const QString first =
                QString::fromStdString(points.substr(0, points.find('\n'))).trimmed();
            if (!first.isEmpty()) {
                out += QStringLiteral("      ") + first + QLatin1Char('\n');
            }
        }
    }
    return out.toStdString();
}

namespace {

void grade(const GradebookOptions& options) {
    Gradebook gradebook(parseExamCode(options.examCode).exam);
    for (const std::string& file : options.files) {
        addGradebookFile(gradebook, file);
    }
    const GradebookResult result = gradebook.result();
    for (const GradebookNotice& notice : result.notices) {
        std::fprintf(stderr, "pulsavo-strip: %s\n", escapedLine(noticeLine(notice)).c_str());
    }
    if (result.learners.empty()) {
        throw UsageError(message("nothing could be graded for exam %1", {options.examCode}));
    }
    std::vector<PendingFile> outputs;
    if (options.pdfPath) {
        outputs.push_back(
            {*options.pdfPath, gradebookPdf(result, gradebook.exam(), options.language)});
    }
    if (options.csvPath) {
        outputs.push_back(
            {*options.csvPath, gradebookCsv(result, gradebook.exam(), options.language)});
    }
    writeAllOrNothing(outputs);
    if (options.csvPath != "-") {
        writeOutput("-", gradebookSummary(result, gradebook.exam(), options.language));
    }
}

} // namespace

int gradebookCommand(Arguments args) {
    const GradebookOptions options = parseGradebookOptions(args);
    // The report's text needs fonts, and so a GUI application; the rest does without.
    if (options.pdfPath) {
        withGuiApplication([&] { grade(options); });
    } else {
        int argc = 1;
        char name[] = "pulsavo-strip";
        char* argv[] = {name, nullptr};
        const QCoreApplication application(argc, argv);
        grade(options);
    }
    return 0;
}

} // namespace pulsavo::strip
