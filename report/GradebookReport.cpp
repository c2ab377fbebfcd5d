#include "GradebookReport.h"

#include "Catalogue.h"
#include "HandIn.h"
#include "KeyPoints.h"
#include "PaperPages.h"
#include "ReportLanguage.h"
#include "Utf8Text.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace pulsavo {

namespace {

constexpr qreal marginMm = 15;

qreal mm(qreal millimetres) {
    return millimetres * paperResolution / 25.4;
}

QString rhythmName(Rhythm rhythm, catalogue::Language language) {
    return reportRhythmName(rhythm, language);
}

// Lines of text down the pages, a new page when the next line would not fit.
class Pages {
public:
    Pages(QPdfWriter& writer, QPainter& painter)
        : writer(writer), painter(painter),
          area(QPoint(0, 0), writer.pageLayout().paintRectPixels(paperResolution).size()),
          y(area.top()) {}

    void need(qreal height) {
        if (y + height > area.bottom()) {
            writer.newPage();
            y = area.top();
        }
    }
    // One row of cells at the given left edges (fractions of the width), in one font.
    void row(const QStringList& cells, const std::vector<qreal>& at, const QFont& font,
             const QColor& colour = Qt::black) {
        const QFontMetricsF metrics(font, painter.device());
        need(metrics.height() * 1.3);
        painter.setFont(font);
        painter.setPen(colour);
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const qreal left = area.left() + at[static_cast<std::size_t>(i)] * area.width();
            const qreal right =
                i + 1 < cells.size()
                    ? area.left() + at[static_cast<std::size_t>(i + 1)] * area.width()
                    : area.right();
            painter.drawText(QPointF(left, y + metrics.ascent()),
                             metrics.elidedText(cells[i], Qt::ElideRight, right - left - mm(2)));
        }
        y += metrics.height() * 1.3;
    }
    void gap(qreal millimetres) { y += mm(millimetres); }

    QPdfWriter& writer;
    QPainter& painter;
    QRect area;
    qreal y;
};

// Each question's share correct as a bar, red under half, with the pass mark as a line.
void drawChart(Pages& pages, const GradebookResult& result, int passPercent,
               catalogue::Language language) {
    QPainter& painter = pages.painter;
    const qreal height = mm(55);
    pages.need(height + mm(12));
    const QFont small = paperFont(7);
    const QFontMetricsF metrics(small, painter.device());
    const QRectF plot(pages.area.left() + mm(10), pages.y, pages.area.width() - mm(10), height);
    painter.setFont(small);
    for (int percent = 0; percent <= 100; percent += 25) {
        const qreal y = plot.bottom() - plot.height() * percent / 100.0;
        painter.setPen(QPen(QColor(200, 200, 200), mm(0.2)));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(
            QRectF(pages.area.left(), y - metrics.height() / 2, mm(9), metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(percent));
    }
    const auto count = static_cast<qreal>(std::max<std::size_t>(1, result.items.size()));
    const qreal slot = plot.width() / count;
    const int labelEvery = result.items.size() > 40 ? 5 : 1;
    for (const ItemAnalysis& item : result.items) {
        const qreal left = plot.left() + slot * (item.number - 1);
        const qreal barHeight = plot.height() * item.shareCorrect;
        painter.fillRect(
            QRectF(left + slot * 0.15, plot.bottom() - barHeight, slot * 0.7, barHeight),
            item.shareCorrect < 0.5 ? QColor(192, 57, 43) : QColor(44, 110, 155));
        if (item.number % labelEvery == 0 || item.number == 1) {
            painter.drawText(QRectF(left, plot.bottom() + mm(1), slot, metrics.height()),
                             Qt::AlignHCenter | Qt::AlignTop, QString::number(item.number));
        }
    }
    if (passPercent > 0) {
        const qreal y = plot.bottom() - plot.height() * passPercent / 100.0;
        painter.setPen(QPen(Qt::black, mm(0.4), Qt::DashLine));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    pages.y = plot.bottom() + metrics.height() + mm(2);
    pages.row({inLanguage("問題ごとの正答率 (%)。赤: 50 % 未満、破線: 合格点",
                          "Share correct per question (%). Red: under 50 %; dashed: the pass mark",
                          language)},
              {0.0}, small, QColor(90, 90, 90));
}

} // namespace

QString reportRhythmName(Rhythm rhythm, catalogue::Language language) {
    return utf8Text(catalogue::nameOf(rhythm, language));
}

QString firstKeyPoint(Rhythm rhythm, catalogue::Language language) {
    const std::string points = catalogue::keyPointsOf(rhythm, language);
    return QString::fromStdString(points.substr(0, points.find('\n'))).trimmed();
}

QString minutesText(qint64 ms) {
    const qint64 seconds = (ms + 500) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
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
                out += (i > 0 ? "," : "") + HandIn::csvField(fields[i]);
            }
            out += "\r\n";
        }
    }
    return out;
}

QByteArray gradebookPdf(const GradebookResult& result, const Exam& exam,
                        catalogue::Language language) {
    const QString code = QString::fromStdString(exam.code);
    return renderPages(
        inLanguage("成績表 %1", "Gradebook %1", language).arg(code), marginMm,
        [&](QPdfWriter& writer, QPainter& painter) {
            Pages pages(writer, painter);
            const QFont body = paperFont(9);
            const QFont bold = paperFont(9, true);
            const QFont small = paperFont(7.5);

            pages.row({inLanguage("成績表  %1", "Gradebook  %1", language).arg(code)}, {0.0},
                      paperFont(15, true));
            double mean = 0.0;
            for (const LearnerGrade& grade : result.learners) {
                mean += grade.percent / static_cast<double>(result.learners.size());
            }
            QString facts = inLanguage("受験者 %1 人、%2 問、平均 %3 %",
                                       "%1 learners, %2 questions, mean %3 %", language)
                                .arg(result.learners.size())
                                .arg(exam.count)
                                .arg(std::lround(mean));
            if (exam.settings.passPercent > 0) {
                facts +=
                    inLanguage("、合格点 %1 %、合格 %2 人", ", pass mark %1 %, %2 passed", language)
                        .arg(exam.settings.passPercent)
                        .arg(result.passedCount());
            }
            pages.row({facts}, {0.0}, body);
            pages.gap(4);
            drawChart(pages, result, exam.settings.passPercent, language);
            pages.gap(4);

            const std::vector<qreal> learnerColumns{0.0, 0.42, 0.54, 0.64, 0.76, 0.88};
            pages.row({inLanguage("受験者", "Learner", language),
                       inLanguage("得点", "Score", language), QStringLiteral("%"),
                       inLanguage("判定", "Result", language), inLanguage("時間", "Time", language),
                       inLanguage("ヒント", "Hinted", language)},
                      learnerColumns, bold);
            for (const LearnerGrade& grade : result.learners) {
                pages.row(
                    {grade.learner, QStringLiteral("%1 / %2").arg(grade.score).arg(exam.count),
                     QString::number(std::lround(grade.percent)),
                     grade.passed ? (*grade.passed ? inLanguage("合格", "pass", language)
                                                   : inLanguage("不合格", "fail", language))
                                  : QStringLiteral("-"),
                     minutesText(grade.totalMs), QString::number(grade.hinted)},
                    learnerColumns, body, grade.passed == false ? QColor(160, 0, 0) : Qt::black);
            }

            pages.gap(6);
            pages.row({inLanguage("問題の分析", "Item analysis", language)}, {0.0},
                      paperFont(11, true));
            const std::vector<qreal> itemColumns{0.0, 0.06, 0.38, 0.48, 0.58};
            pages.row({inLanguage("問", "No.", language), inLanguage("波形", "Rhythm", language),
                       inLanguage("正答率", "Correct", language),
                       inLanguage("識別力", "Discr.", language),
                       inLanguage("多い誤答（人数）と判定のポイント",
                                  "Commonest wrong answer (learners), its key point", language)},
                      itemColumns, bold);
            for (const ItemAnalysis& item : result.items) {
                pages.row({QString::number(item.number), rhythmName(item.rhythm, language),
                           QStringLiteral("%1 %").arg(std::lround(100 * item.shareCorrect)),
                           item.discrimination ? QString::number(*item.discrimination, 'f', 2)
                                               : QStringLiteral("-"),
                           item.commonestWrong
                               ? QStringLiteral("%1 (%2)")
                                     .arg(rhythmName(*item.commonestWrong, language))
                                     .arg(item.commonestWrongCount)
                               : QStringLiteral("-")},
                          itemColumns, body);
                if (item.commonestWrong) {
                    const QString first = firstKeyPoint(*item.commonestWrong, language);
                    if (!first.isEmpty()) {
                        pages.row({first}, {0.58}, small, QColor(90, 90, 90));
                    }
                }
            }

            if (!result.confusions.isEmpty()) {
                pages.gap(6);
                pages.row({inLanguage("クラスの取り違え", "The class's confusions", language)},
                          {0.0}, paperFont(11, true));
                const std::vector<qreal> pairColumns{0.0, 0.08, 0.5};
                pages.row({inLanguage("回数", "Times", language),
                           inLanguage("出題", "Shown", language),
                           inLanguage("回答", "Answered", language)},
                          pairColumns, bold);
                for (qsizetype i = 0; i < std::min<qsizetype>(10, result.confusions.size()); ++i) {
                    const ConfusedPair& pair = result.confusions[i];
                    pages.row({QString::number(pair.count), rhythmName(pair.shown, language),
                               rhythmName(pair.answered, language)},
                              pairColumns, body);
                }
            }
        });
}

} // namespace pulsavo
