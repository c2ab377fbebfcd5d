#include "ExamCommand.h"

#include "Catalogue.h"
#include "ExamStrip.h"
#include "OutputFile.h"
#include "PaperPages.h"
#include "StripFacts.h"
#include "StripPainter.h"
#include "TraceCommand.h"
#include "Utf8Text.h"
#include "WriteAll.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>
#include <random>

namespace pulsavo::strip {

const char* const examUsage =
    "pulsavo-strip exam --count N [--seed S] [--rhythms LIST | --library] --pdf FILE\n"
    "                   [--key FILE] [--lang ja|en] [--no-hints] [--feedback each|end]\n"
    "                   [--time-limit MINUTES] [--pass PERCENT] [--measure] [--shuffle]\n"
    "                   [--worksheet] [--artifact tremor|motion|wander]\n"
    "  Makes an exam of N questions (1..128) over the rhythms in LIST (classic indices such\n"
    "  as 0,4-5,10, rhythm ids such as sinus_bradycardia,mobitz_1, families such as av_block,\n"
    "  'classic' or 'library'; default the classic 18; --library: the 51 library rhythms)\n"
    "  and prints its code. FILE gets the questions as numbered, unlabelled 6 s strips on ECG\n"
    "  paper at 25 mm/s, four to an A4 page; --key FILE the answers (number, rhythm, rates,\n"
    "  PR and QRS measured from the strip, seed).\n"
    "  --seed S (0..67108863) picks the exam; without it a random one is drawn, and the code\n"
    "  rebuilds it either way. How the exam is taken travels in its code: --no-hints,\n"
    "  --feedback end (judged only at the end), --time-limit (1..127 minutes), --pass (the\n"
    "  pass mark, 1..100 %), --measure (each question also asks its measurement), --shuffle\n"
    "  (each learner gets the questions in an order of their own), --worksheet (each strip is\n"
    "  read field by field: rates, regularity, P waves, PR, QRS, name and next step),\n"
    "  --artifact (muscle tremor, electrode motion or baseline wander at strength 5 over every\n"
    "  question, on screen and on paper; the answer stays the rhythm)\n";

namespace {

constexpr int resolution = paperResolution;
constexpr qreal stripMmPerPixel = 0.25; // a 200 ms large square of 20 pixels is 5 mm
constexpr qreal sheetMarginMm = 12;

qreal mmToDevice(qreal mm) {
    return mm * resolution / 25.4;
}

// The code and page number across the top of every page; returns the height it took.
qreal drawPageHeader(QPainter& painter, const QRect& page, const QString& left,
                     const QString& right) {
    // An exam with every setting has a long header: smaller type rather than text over text.
    QFont font = paperFont(11, true);
    for (int halfPoints = 22; halfPoints > 12; --halfPoints) {
        font = paperFont(halfPoints / 2.0, true);
        const QFontMetricsF fit(font, painter.device());
        if (fit.horizontalAdvance(left) + fit.horizontalAdvance(right) + mmToDevice(4) <=
            page.width()) {
            break;
        }
    }
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font, painter.device());
    const qreal height = metrics.height();
    painter.drawText(QRectF(0, 0, page.width(), height), Qt::AlignLeft | Qt::AlignVCenter, left);
    painter.drawText(QRectF(0, 0, page.width(), height), Qt::AlignRight | Qt::AlignVCenter, right);
    painter.drawLine(QPointF(0, height + mmToDevice(1)),
                     QPointF(page.width(), height + mmToDevice(1)));
    return height + mmToDevice(4);
}

// The key's measured columns: atrial and ventricular rate per minute, PR and QRS in ms, as the
// printed strip shows them; a dash where the strip has none.
QStringList factColumns(const StripFacts& facts) {
    const QString none = QStringLiteral("—");
    const auto number = [&](const std::optional<int>& value) {
        return value ? QString::number(*value) : none;
    };
    // A PR that varies is given as its range.
    const QString pr = facts.prVaries ? QStringLiteral("%1–%2").arg(*facts.prMs).arg(*facts.prMaxMs)
                                      : number(facts.prMs);
    return {number(facts.atrialRate), number(facts.ventricularRate), pr, number(facts.qrsMs)};
}

// A row of labelled blanks to write in, the first twice as long as the others; returns its
// height.
qreal drawAnswerLine(QPainter& painter, qreal width, qreal top, const QStringList& labels) {
    const QFont font = paperFont(9);
    painter.setFont(font);
    painter.setPen(QPen(Qt::black, mmToDevice(0.2)));
    const QFontMetricsF metrics(font, painter.device());
    const qreal height = metrics.height() + mmToDevice(3);
    const qreal unit = width / static_cast<qreal>(labels.size() + 1);
    qreal x = 0;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const qreal span = i == 0 ? 2 * unit : unit;
        const qreal labelWidth = metrics.horizontalAdvance(labels[i]) + mmToDevice(2);
        const qreal baseline = top + height - mmToDevice(1.5);
        painter.drawText(QPointF(x, baseline), labels[i]);
        painter.drawLine(QPointF(x + labelWidth, baseline + mmToDevice(0.5)),
                         QPointF(x + span - mmToDevice(4), baseline + mmToDevice(0.5)));
        x += span;
    }
    return height + mmToDevice(1);
}

// What the learner must know before starting: the time allowed and the pass mark.
QString settingsText(const ExamSettings& settings, catalogue::Language language) {
    QString text;
    if (settings.timeLimitMinutes > 0) {
        text += inLanguage("　　制限時間 %1 分", "    time %1 min", language)
                    .arg(settings.timeLimitMinutes);
    }
    if (settings.passPercent > 0) {
        text += inLanguage("　　合格 %1 %", "    pass %1 %", language).arg(settings.passPercent);
    }
    return text;
}

// KIND or KIND:STRENGTH as trace takes it, limited to what an exam code can carry.
int parseExamArtifact(std::string_view text) {
    const std::size_t colon = text.find(':');
    const std::optional<ArtifactKind> kind = parseArtifactKind(text.substr(0, colon));
    const std::optional<int> index = kind ? examArtifactOf(*kind) : std::nullopt;
    const bool strengthOk = colon == std::string_view::npos ||
                            text.substr(colon + 1) == std::to_string(examArtifactStrength);
    if (!index || !strengthOk) {
        throw UsageError("--artifact: an exam carries tremor, motion or wander at strength " +
                         std::to_string(examArtifactStrength) + ", not '" + std::string(text) +
                         "'");
    }
    return *index;
}

QString pageText(int page, int pages, catalogue::Language language) {
    return inLanguage("%1 / %2 ページ", "page %1 of %2", language).arg(page).arg(pages);
}

} // namespace

ExamOptions parseExamOptions(Arguments args) {
    ExamOptions options;
    options.language = catalogue::systemLanguage();
    bool haveCount = false;
    bool haveRhythms = false;
    SingleOptions single;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--count" || arg == "--seed" || arg == "--pdf" || arg == "--key" ||
            arg == "--lang" || arg == "--feedback" || arg == "--time-limit" || arg == "--pass" ||
            arg == "--artifact") {
            single.once(arg);
        }
        if (arg == "--count") {
            options.count =
                static_cast<int>(parseInteger(optionValue(args, i), 1, Exam::maxCount, "--count"));
            haveCount = true;
        } else if (arg == "--seed") {
            options.seed = static_cast<std::uint32_t>(
                parseInteger(optionValue(args, i), 0, Exam::maxSeed, "--seed"));
        } else if (arg == "--rhythms" || arg == "--library") {
            if (haveRhythms) {
                throw UsageError("give --rhythms or --library once");
            }
            haveRhythms = true;
            const RhythmListResult parsed = parseRhythmList(
                arg == "--library" ? std::string_view("library") : optionValue(args, i));
            if (!parsed.ok()) {
                throw UsageError("--rhythms: " + parsed.error);
            }
            if (parsed.rhythms.empty()) {
                throw UsageError("--rhythms names no rhythm");
            }
            options.rhythms = parsed.rhythms;
        } else if (arg == "--pdf") {
            options.pdfPath = std::string(optionValue(args, i));
        } else if (arg == "--key") {
            options.keyPath = std::string(optionValue(args, i));
        } else if (arg == "--lang") {
            options.language = parseLanguage(optionValue(args, i));
        } else if (arg == "--no-hints") {
            options.settings.hints = false;
        } else if (arg == "--feedback") {
            const std::string_view when = optionValue(args, i);
            if (when != "each" && when != "end") {
                throw UsageError("--feedback takes 'each' or 'end', not '" + std::string(when) +
                                 "'");
            }
            options.settings.feedbackAtEnd = when == "end";
        } else if (arg == "--time-limit") {
            options.settings.timeLimitMinutes = static_cast<int>(parseInteger(
                optionValue(args, i), 1, ExamSettings::maxTimeLimitMinutes, "--time-limit"));
        } else if (arg == "--pass") {
            options.settings.passPercent =
                static_cast<int>(parseInteger(optionValue(args, i), 1, 100, "--pass"));
        } else if (arg == "--measure") {
            options.settings.measurements = true;
        } else if (arg == "--shuffle") {
            options.settings.shuffled = true;
        } else if (arg == "--worksheet") {
            options.settings.worksheet = true;
        } else if (arg == "--artifact") {
            options.settings.artifact = parseExamArtifact(optionValue(args, i));
        } else {
            throw UsageError("unknown option '" + std::string(arg) + "' for exam");
        }
    }
    if (!haveCount) {
        throw UsageError("exam needs --count N");
    }
    if (options.pdfPath.empty()) {
        throw UsageError("exam needs --pdf FILE");
    }
    std::vector<NamedFile> outputs{{"--pdf", options.pdfPath}};
    if (options.keyPath) {
        outputs.push_back({"--key", *options.keyPath});
    }
    for (const NamedFile& output : outputs) {
        // Standard output carries the code; a PDF there would be mixed up with it.
        if (output.path == "-") {
            throw UsageError(message("exam writes its PDFs to files, not to %1 (for %2)",
                                     {quoted(output.path), output.option}));
        }
        checkOutputPath(output.option, output.path);
    }
    checkOutputsApart(outputs);
    return options;
}

Exam buildExam(const ExamOptions& options) {
    const std::uint32_t seed =
        options.seed ? *options.seed : std::random_device()() & Exam::maxSeed;
    ExamResult result = makeExam(options.count, seed, options.rhythms, options.settings);
    if (!result.ok()) {
        throw UsageError(result.message);
    }
    return std::move(result.exam);
}

QByteArray examPdf(const Exam& exam, catalogue::Language language) {
    const QString code = QString::fromStdString(exam.code);
    const int pages = (exam.count + examStripsPerPage - 1) / examStripsPerPage;
    return renderPages(
        inLanguage("心電図の試験 %1", "ECG exam %1", language).arg(code), sheetMarginMm,
        [&](QPdfWriter& writer, QPainter& painter) {
            const QRect page = writer.pageLayout().paintRectPixels(resolution);
            const qreal scale = mmToDevice(stripMmPerPixel);
            for (int p = 0; p < pages; ++p) {
                if (p > 0) {
                    writer.newPage();
                }
                qreal top = drawPageHeader(
                    painter, page,
                    inLanguage("試験コード %1　　25 mm/秒", "Exam code %1    25 mm/s", language)
                            .arg(code) +
                        settingsText(exam.settings, language),
                    pageText(p + 1, pages, language));
                // Every page carries the learner's name, so loose pages still find their owner.
                top += drawAnswerLine(painter, page.width(), top,
                                      {inLanguage("氏名", "Name", language),
                                       inLanguage("学籍番号", "Student ID", language)});
                for (int k = p * examStripsPerPage;
                     k < std::min(exam.count, (p + 1) * examStripsPerPage); ++k) {
                    const Question& question = exam.questions[static_cast<std::size_t>(k)];
                    const StripPainter strip(examQuestionStrip(
                        question.rhythm, question.seed,
                        {inLanguage("問題 %1", "Question %1", language).arg(k + 1)},
                        question.artifact, question.artifactStrength));
                    painter.save();
                    painter.translate((page.width() - scale * strip.size.width()) / 2, top);
                    painter.scale(scale, scale);
                    strip.paint(painter);
                    painter.restore();
                    top += scale * strip.size.height();
                    top += drawAnswerLine(painter, page.width(), top,
                                          {inLanguage("波形", "Rhythm", language),
                                           inLanguage("心拍数", "Rate", language),
                                           QStringLiteral("PR"), QStringLiteral("QRS")});
                }
            }
        });
}

QByteArray examKeyPdf(const Exam& exam, catalogue::Language language) {
    const QString code = QString::fromStdString(exam.code);
    return renderPages(
        inLanguage("解答 %1", "Answer key %1", language).arg(code), sheetMarginMm,
        [&](QPdfWriter& writer, QPainter& painter) {
            const QRect page = writer.pageLayout().paintRectPixels(resolution);
            const QFont font = paperFont(11);
            const qreal rowHeight = QFontMetricsF(font, painter.device()).height() * 1.5;
            const qreal headerHeight =
                QFontMetricsF(paperFont(11, true), painter.device()).height() + mmToDevice(4);
            const int rowsPerPage =
                std::max(1, static_cast<int>((page.height() - headerHeight) / rowHeight) - 1);
            const int pages = (exam.count + rowsPerPage - 1) / rowsPerPage;
            const qreal numberWidth = mmToDevice(16);
            const qreal seedWidth = mmToDevice(24);
            const qreal factsWidth = mmToDevice(72);
            const qreal nameWidth =
                page.width() - numberWidth - seedWidth - factsWidth - mmToDevice(8);
            const auto row = [&](qreal top, const QString& number, const QString& name,
                                 const QStringList& facts, const QString& seed) {
                painter.drawText(QRectF(0, top, numberWidth, rowHeight),
                                 Qt::AlignRight | Qt::AlignVCenter, number);
                const QRectF nameBox(numberWidth + mmToDevice(4), top, nameWidth, rowHeight);
                painter.drawText(nameBox, Qt::AlignLeft | Qt::AlignVCenter,
                                 QFontMetricsF(painter.font(), painter.device())
                                     .elidedText(name, Qt::ElideRight, nameBox.width()));
                const qreal column = factsWidth / static_cast<qreal>(facts.size());
                for (qsizetype i = 0; i < facts.size(); ++i) {
                    painter.drawText(QRectF(nameBox.right() + mmToDevice(2) + column * i, top,
                                            column, rowHeight),
                                     Qt::AlignRight | Qt::AlignVCenter, facts[i]);
                }
                painter.drawText(QRectF(page.width() - seedWidth, top, seedWidth, rowHeight),
                                 Qt::AlignRight | Qt::AlignVCenter, seed);
            };
            for (int p = 0; p < pages; ++p) {
                if (p > 0) {
                    writer.newPage();
                }
                qreal top = drawPageHeader(
                    painter, page,
                    inLanguage("解答　試験コード %1", "Answer key    exam code %1", language)
                        .arg(code),
                    pageText(p + 1, pages, language));
                painter.setFont(paperFont(11, true));
                row(top, inLanguage("問題", "No.", language),
                    inLanguage("波形", "Rhythm", language),
                    {inLanguage("心房/分", "A /min", language),
                     inLanguage("心室/分", "V /min", language), QStringLiteral("PR ms"),
                     QStringLiteral("QRS ms")},
                    inLanguage("シード", "Seed", language));
                top += rowHeight;
                painter.setFont(font);
                for (int k = p * rowsPerPage; k < std::min(exam.count, (p + 1) * rowsPerPage);
                     ++k) {
                    const Question& question = exam.questions[static_cast<std::size_t>(k)];
                    row(top, QString::number(k + 1),
                        utf8Text(catalogue::nameOf(question.rhythm, language)),
                        factColumns(examQuestionFacts(question.rhythm, question.seed)),
                        QString::number(question.seed));
                    top += rowHeight;
                }
            }
        });
}

int examCommand(Arguments args) {
    const ExamOptions options = parseExamOptions(args);
    const Exam exam = buildExam(options);
    std::vector<PendingFile> files{{options.pdfPath, {}}};
    if (options.keyPath) {
        files.push_back({*options.keyPath, {}});
    }
    withGuiApplication([&] {
        files[0].data = examPdf(exam, options.language);
        if (options.keyPath) {
            files[1].data = examKeyPdf(exam, options.language);
        }
    });
    writeAllOrNothing(files);
    std::printf("%s\n", exam.code.c_str());
    return 0;
}

} // namespace pulsavo::strip
