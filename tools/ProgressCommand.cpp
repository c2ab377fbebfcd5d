#include "ProgressCommand.h"

#include "Catalogue.h"
#include "ExamCode.h"
#include "ProgressStore.h"
#include "WriteAll.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>

#include <cmath>
#include <cstdio>

namespace pulsavo::strip {

const char* const progressUsage =
    "pulsavo-strip progress [--db FILE] [--exam CODE] [--rhythms LIST] [--ids]\n"
    "                       [--csv FILE|-] [--lang ja|en]\n"
    "  Prints each rhythm's attempts, accuracy and median answer time from the trainer's\n"
    "  answers database (--db FILE, default the trainer's own), only the answers of exam CODE\n"
    "  with --exam: the classic 18 and every library rhythm answered, or the rhythms in LIST\n"
    "  (as for exam --rhythms); --ids names them by id. --csv FILE writes the answers as CSV\n"
    "  (one row per answer, rhythm ids and names, header row, UTF-8); with --csv - the CSV\n"
    "  alone goes to standard output. A database that does not exist is reported, never\n"
    "  created\n";

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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

QString heading(const char* japanese, const char* english, catalogue::Language language) {
    return QCoreApplication::translate(
        "pulsavo-strip progress", language == catalogue::Language::japanese ? japanese : english);
}

} // namespace

ProgressOptions parseProgressOptions(Arguments args) {
    ProgressOptions options;
    options.language = catalogue::systemLanguage();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--db") {
            options.dbPath = std::string(optionValue(args, i));
            if (options.dbPath->empty()) {
                throw UsageError("--db needs a file name");
            }
        } else if (arg == "--exam") {
            const ExamResult parsed = parseExamCode(optionValue(args, i));
            if (!parsed.ok()) {
                throw UsageError("--exam: " + parsed.message);
            }
            options.examCode = parsed.exam.code;
        } else if (arg == "--csv") {
            options.csvPath = std::string(optionValue(args, i));
            if (options.csvPath->empty()) {
                throw UsageError("--csv needs a file name or -");
            }
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
            throw UsageError("unknown option '" + std::string(arg) + "' for progress");
        }
    }
    return options;
}

std::string progressTable(const RhythmStatsTable& stats, const std::vector<Rhythm>& rows,
                          catalogue::Language language, bool ids) {
    const auto nameOf = [&](Rhythm rhythm) {
        return ids ? QString::fromStdString(rhythmId(rhythm))
                   : fromView(catalogue::nameOf(rhythm, language));
    };
    const QString nameHeading = heading("波形", "Rhythm", language);
    int nameWidth = displayWidth(nameHeading);
    for (const Rhythm rhythm : rows) {
        nameWidth = std::max(nameWidth, displayWidth(nameOf(rhythm)));
    }
    const QStringList headings{heading("回答数", "Attempts", language),
                               heading("正答率", "Accuracy", language),
                               heading("中央値 ms", "Median ms", language)};
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
    table += line(heading("合計", "All", language),
                  {QString::number(attempts), percent(correct, attempts), QString()});
    return table.toStdString();
}

int progressCommand(Arguments args) {
    const ProgressOptions options = parseProgressOptions(args);
    int argc = 1;
    char name[] = "pulsavo-strip";
    char* argv[] = {name, nullptr};
    const QCoreApplication application(argc, argv);
    // The trainer's own database lives where the trainer (application "Pulsavo") keeps it.
    QCoreApplication::setApplicationName(QStringLiteral("Pulsavo"));

    const QString path =
        options.dbPath ? QString::fromStdString(*options.dbPath) : ProgressStore::defaultPath();
    // Opening a store makes a missing file; a report must not leave an empty database behind.
    if (!QFileInfo(path).isFile()) {
        throw UsageError("no answers database at " + path.toStdString());
    }
    const ProgressStore store(path);
    if (!store.isSaving() || !store.movedAsidePath().isEmpty()) {
        throw UsageError(store.notice().toStdString());
    }
    const ProgressFilter filter{QString::fromStdString(options.examCode)};
    const auto namer = [&options](Rhythm rhythm) {
        return fromView(catalogue::nameOf(rhythm, options.language));
    };
    QByteArray csv;
    if (options.csvPath) {
        QBuffer buffer(&csv);
        buffer.open(QIODevice::WriteOnly);
        if (!store.exportCsv(buffer, filter, namer)) {
            throw UsageError("cannot read the answers: " + store.notice().toStdString());
        }
    }
    if (options.csvPath && *options.csvPath == "-") {
        writeOutput("-", std::string_view(csv.constData(), static_cast<std::size_t>(csv.size())));
        return 0;
    }
    if (options.csvPath) {
        writeAllOrNothing({{*options.csvPath, csv}});
    }
    const RhythmStatsTable stats = store.rhythmStats(filter);
    writeOutput("-", progressTable(
                         stats, options.rhythms ? options.rhythms->list() : reportedRhythms(stats),
                         options.language, options.ids));
    return 0;
}

} // namespace pulsavo::strip
