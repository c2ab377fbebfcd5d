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

QString rhythmName(Rhythm rhythm, catalogue::Language language) {
    return reportRhythmName(rhythm, language);
}

QString percentText(double share) {
    return QStringLiteral("%1 %").arg(std::lround(100.0 * share));
}

QString passText(const LearnerGrade& grade, catalogue::Language language) {
    if (!grade.passed) {
        return QStringLiteral("-");
    }
    return *grade.passed ? inLanguage("合格", "pass", language)
                         : inLanguage("不合格", "fail", language);
}

std::string text(const QString& value) {
    return value.toStdString();
}

std::string unreadableReason(const GradebookNotice& notice) {
    using Why = GradebookNotice::Unreadable;
    switch (notice.why) {
    case Why::missing:
        return "no such file";
    case Why::cannotOpen:
        return text(notice.detail);
    case Why::damagedDatabase:
        return "a damaged answers database";
    case Why::olderDatabase:
        return "an answers database of an older format; opening it once in the practice window "
               "brings it up to date";
    case Why::notDatabase:
        return "not an answers database";
    case Why::notOurs:
        return "neither an answers database nor a hand-in file";
    case Why::tooLarge:
        return "far too large for a hand-in file";
    case Why::damagedHandIn:
        return "a damaged hand-in file (cut short or not written by Pulsavo)";
    }
    return text(notice.detail);
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

std::string noticeLine(const GradebookNotice& notice) {
    std::string file = strip::quoted(text(notice.source));
    const std::string learner = strip::quoted(text(notice.learner));
    switch (notice.kind) {
    case GradebookNotice::Kind::unreadable:
        return message("%1: %2; not counted", {file, unreadableReason(notice)});
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

std::string gradebookSummary(const GradebookResult& result, const Exam& exam,
                             catalogue::Language language) {
    const auto row = [](const QStringList& cells, const std::vector<int>& widths) {
        QString line;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const int width = widths[static_cast<std::size_t>(i)];
            line += (i > 0 ? QStringLiteral("  ") : QString()) +
                    (width < 0 ? padRight(cells[i], -width) : padLeft(cells[i], width));
        }
        // Only the trailing blanks go: the first column's padding keeps numbers right-aligned.
        while (line.endsWith(QLatin1Char(' '))) {
            line.chop(1);
        }
        return line + QLatin1Char('\n');
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
            const QString first = firstKeyPoint(pair.answered, language);
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
        gradebook.addFile(QFile::decodeName(QByteArray::fromStdString(file)));
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
