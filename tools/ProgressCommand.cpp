#include "ProgressCommand.h"

#include "Catalogue.h"
#include "ExamCode.h"
#include "HandIn.h"
#include "OutputFile.h"
#include "ProgressStore.h"
#include "Utf8Text.h"

#include <QCoreApplication>
#include <QFile>
#include <QIODevice>

#include <cmath>
#include <cstdio>
#include <exception>

namespace pulsavo::strip {

const char* const progressUsage =
    "pulsavo-strip progress [--db FILE] [--exam CODE] [--rhythms LIST] [--ids]\n"
    "                       [--csv FILE|-] [--export FILE] [--lang ja|en]\n"
    "  Prints each rhythm's attempts, accuracy and median answer time from the trainer's\n"
    "  answers database (--db FILE, default the trainer's own), only the answers of exam CODE\n"
    "  with --exam: the classic 18 and every library rhythm answered, or the rhythms in LIST\n"
    "  (as for exam --rhythms); --ids names them by id. --csv FILE writes the answers as CSV\n"
    "  (one row per answer, rhythm ids and names, header row, UTF-8); with --csv - the CSV\n"
    "  alone goes to standard output. --export FILE (with --exam) writes the exam's answers\n"
    "  as one hand-in file for the instructor's gradebook: CSV closed by a SHA-256 checksum,\n"
    "  so that a file changed afterwards is reported. A database that does not exist is\n"
    "  reported, never created\n";

namespace {} // namespace

// Cells a terminal gives the text: two for East Asian wide and full-width characters.
int displayWidth(const QString& text) {
    int width = 0;
    for (const char32_t c : text.toUcs4()) {
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                          (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                          (c >= 0xFFE0 && c <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

QString padRight(const QString& text, int width) {
    return text + QString(std::max(0, width - displayWidth(text)), QLatin1Char(' '));
}

QString padLeft(const QString& text, int width) {
    return QString(std::max(0, width - displayWidth(text)), QLatin1Char(' ')) + text;
}

ProgressOptions parseProgressOptions(Arguments args) {
    ProgressOptions options;
    options.language = catalogue::systemLanguage();
    SingleOptions single;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg != "--ids") {
            single.once(arg);
        }
        if (arg == "--db") {
            options.dbPath = std::string(optionValue(args, i));
            if (options.dbPath->empty() || options.dbPath->front() == '-') {
                throw UsageError(
                    message("%1 takes the answers file, not %2 (write ./%3 for a "
                            "file named so)",
                            {arg, strip::quoted(*options.dbPath), escapedLine(*options.dbPath)}));
            }
        } else if (arg == "--exam") {
            options.examCode = examCodeOption(optionValue(args, i));
        } else if (arg == "--csv") {
            options.csvPath = std::string(optionValue(args, i));
            checkOutputPath(arg, *options.csvPath);
        } else if (arg == "--export") {
            options.exportPath = std::string(optionValue(args, i));
            checkOutputPath(arg, *options.exportPath);
        } else if (arg == "--lang") {
            options.language = parseLanguage(optionValue(args, i));
        } else if (arg == "--rhythms") {
            const RhythmListResult parsed = parseRhythmList(optionValue(args, i));
            if (!parsed.ok()) {
                throw UsageError("--rhythms: " + parsed.error);
            }
            options.rhythms = parsed.rhythms;
        } else if (arg == "--ids") {
            options.ids = true;
        } else {
            throw UsageError(message("unknown option %1 for progress", {quoted(arg)}));
        }
    }
    if (options.exportPath && options.examCode.empty()) {
        throw UsageError("--export needs --exam CODE: a hand-in holds one exam");
    }
    return options;
}

std::string progressTable(const RhythmStatsTable& stats, const std::vector<Rhythm>& rows,
                          catalogue::Language language, bool ids) {
    const auto nameOf = [&](Rhythm rhythm) {
        return ids ? QString::fromStdString(rhythmId(rhythm))
                   : utf8Text(catalogue::nameOf(rhythm, language));
    };
    const QString nameHeading = inLanguage("波形", "Rhythm", language);
    int nameWidth = displayWidth(nameHeading);
    for (const Rhythm rhythm : rows) {
        nameWidth = std::max(nameWidth, displayWidth(nameOf(rhythm)));
    }
    const QStringList headings{inLanguage("回答数", "Attempts", language),
                               inLanguage("正答率", "Accuracy", language),
                               inLanguage("中央値 ms", "Median ms", language)};
    constexpr int columnWidth = 10;
    const auto line = [&](const QString& name, const QStringList& cells) {
        QString row = padRight(name, nameWidth);
        for (const QString& cell : cells) {
            row += QLatin1Char(' ') + padLeft(cell, columnWidth);
        }
        return row + QLatin1Char('\n');
    };
    const auto percent = [](int correct, int attempts) {
        return attempts > 0 ? QStringLiteral("%1 %").arg(std::lround(100.0 * correct / attempts))
                            : QStringLiteral("-");
    };
    QString table = line(nameHeading, headings);
    int attempts = 0;
    int correct = 0;
    for (const Rhythm rhythm : rows) {
        const RhythmStats& row = stats[static_cast<std::size_t>(indexOf(rhythm))];
        attempts += row.attempts;
        correct += row.correct;
        table +=
            line(nameOf(rhythm), {QString::number(row.attempts), percent(row.correct, row.attempts),
                                  row.medianMs ? QString::number(std::lround(*row.medianMs))
                                               : QStringLiteral("-")});
    }
    table += line(inLanguage("合計", "All", language),
                  {QString::number(attempts), percent(correct, attempts), QString()});
    return table.toStdString();
}

namespace {

// Lets the store's CSV export write through an OutputFile; a failure is kept for the caller,
// never thrown through Qt.
class OutputDevice : public QIODevice {
public:
    explicit OutputDevice(OutputFile& file) : file(file) { open(QIODevice::WriteOnly); }
    std::exception_ptr failure;

protected:
    qint64 readData(char* /*data*/, qint64 /*size*/) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        try {
            file.write(std::string_view(data, static_cast<std::size_t>(size)));
        } catch (...) {
            failure = std::current_exception();
            return -1;
        }
        return size;
    }

private:
    OutputFile& file;
};

// Why the answers cannot be reported, in the language of the report; the file stays as it is.
std::string readProblemMessage(ProgressStore::ReadProblem problem, const std::string& path,
                               catalogue::Language language) {
    const auto say = [&](const char* japanese, const char* english) {
        return inLanguage(japanese, english, language).toStdString();
    };
    std::string text;
    switch (problem) {
    case ProgressStore::ReadProblem::missing:
        text = say("成績ファイル %1 がありません", "no answers database at %1");
        break;
    case ProgressStore::ReadProblem::notAnswers:
        text = say("%1 は成績ファイルではありません（空か、別の内容です）。そのままにしました",
                   "%1 is not an answers database (it is empty or holds something else); it "
                   "is left as it is");
        break;
    case ProgressStore::ReadProblem::damaged:
        text = say("成績ファイル %1 が壊れています。そのままにしました（練習画面が次に開くときに"
                   "移します）",
                   "the answers database %1 is damaged; it is left as it is (the practice "
                   "window moves it aside the next time it opens it)");
        break;
    case ProgressStore::ReadProblem::tooOld:
        text = say("成績ファイル %1 は古い版の形式です。練習画面で一度開くと新しい形式になります",
                   "the answers database %1 is in an older format; opening it once in the "
                   "practice window brings it up to date");
        break;
    case ProgressStore::ReadProblem::tooNew:
        text = say("成績ファイル %1 は新しい版の Pulsavo で作られています",
                   "the answers database %1 was made by a newer Pulsavo");
        break;
    case ProgressStore::ReadProblem::unreadable:
    case ProgressStore::ReadProblem::none:
        text = say("成績ファイル %1 を読めません", "cannot read the answers database %1");
        break;
    }
    const auto at = text.find("%1");
    return text.replace(at, 2, strip::quoted(path));
}

} // namespace

int progressCommand(Arguments args) {
    const ProgressOptions options = parseProgressOptions(args);
    int argc = 1;
    char name[] = "pulsavo-strip";
    char* argv[] = {name, nullptr};
    const QCoreApplication application(argc, argv);
    // The trainer's own database lives where the trainer (application "Pulsavo") keeps it.
    QCoreApplication::setApplicationName(QStringLiteral("Pulsavo"));

    const std::string path = options.dbPath
                                 ? *options.dbPath
                                 : QFile::encodeName(ProgressStore::defaultPath()).toStdString();
    std::vector<NamedFile> outputs;
    if (options.csvPath) {
        outputs.push_back({"--csv", *options.csvPath});
    }
    if (options.exportPath) {
        outputs.push_back({"--export", *options.exportPath});
    }
    checkOutputsApart(outputs, {{"--db", path}});
    // A report only reads: a damaged, empty, old or read-only file is reported as it is.
    const ProgressStore store(ProgressStore::ReadOnly::tag, QByteArray::fromStdString(path));
    if (store.state() != ProgressStore::State::readOnly) {
        throw UsageError(readProblemMessage(store.readProblem(), path, options.language));
    }
    const ProgressFilter filter{QString::fromStdString(options.examCode)};
    const auto namer = [&options](Rhythm rhythm) {
        return utf8Text(catalogue::nameOf(rhythm, options.language));
    };
    const auto cannotRead = [&]() {
        return IoError(
            readProblemMessage(ProgressStore::ReadProblem::unreadable, path, options.language));
    };
    std::optional<OutputFile> handIn;
    if (options.exportPath) {
        const QString code = QString::fromStdString(options.examCode);
        const std::optional<QList<ExamAnswer>> answers = store.examAnswers(code);
        if (!answers) {
            throw cannotRead();
        }
        if (answers->isEmpty()) {
            throw UsageError(message("%1 holds no answers of exam %2; no hand-in written",
                                     {strip::quoted(path), options.examCode}));
        }
        handIn.emplace(*options.exportPath);
        handIn->open();
        handIn->write(HandIn::write(code, *answers).toStdString());
        if (!options.csvPath) {
            commitTogether({&*handIn});
            if (*options.exportPath == "-") {
                return 0;
            }
        }
    }
    if (options.csvPath) {
        OutputFile file(*options.csvPath);
        file.open();
        OutputDevice device(file);
        if (!store.exportCsv(device, filter, namer)) {
            if (device.failure) {
                std::rethrow_exception(device.failure);
            }
            throw cannotRead();
        }
        if (handIn) {
            commitTogether({&file, &*handIn});
        } else {
            commitTogether({&file});
        }
        if (*options.csvPath == "-" || options.exportPath == "-") {
            return 0;
        }
    }
    const RhythmStatsTable stats = store.rhythmStats(filter);
    std::string report =
        progressTable(stats, options.rhythms ? options.rhythms->list() : reportedRhythms(stats),
                      options.language, options.ids);
    if (options.csvPath) {
        // The table counts naming answers; the file holds the measurements as well.
        report += inLanguage("CSV %1: 回答 %2 件、計測 %3 件\n",
                             "CSV %1: %2 answers, %3 measurements\n", options.language)
                      .arg(QString::fromStdString(strip::quoted(*options.csvPath)))
                      .arg(store.answerCount(filter))
                      .arg(store.measurementCount(filter))
                      .toStdString();
    }
    writeOutput("-", report);
    return 0;
}

} // namespace pulsavo::strip
