#include "DueView.h"

#include "CatalogueText.h"
#include "Readiness.h"
#include "SetupPage.h"

#include <QLocale>

#include <array>

namespace pulsavo {

DueView::DueView(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("dueView"));
    setWordWrap(true);
    setTextFormat(Qt::RichText);
    setFrameShape(QFrame::StyledPanel);
    setMargin(4);
}

void DueView::showSummary(const ProgressSummary& summary, QDate today,
                          catalogue::Language language) {
    const ReviewSchedule& schedule = summary.schedule;
    const auto day = static_cast<std::int32_t>(today.toJulianDay());
    const std::vector<Rhythm> due = schedule.reviewOn(day, totalRhythmCount);
    QStringList names;
    for (const Rhythm rhythm : due) {
        names << rhythmName(rhythm, language).toHtmlEscaped();
    }
    QString text =
        due.empty() ? tr("<b>今日の復習</b>: ありません")
                    : tr("<b>今日の復習 %1 問</b>: %2").arg(due.size()).arg(names.join(tr("、")));

    // The coming days, today's count holding everything overdue.
    const std::vector<int> counts = schedule.dueCounts(day, dayCount);
    const QLocale locale(language == catalogue::Language::english ? QLocale::English
                                                                  : QLocale::Japanese);
    QStringList week;
    for (int offset = 1; offset < dayCount; ++offset) {
        week << tr("%1 %2")
                    .arg(locale.toString(today.addDays(offset), QStringLiteral("M/d")))
                    .arg(counts[static_cast<std::size_t>(offset)]);
    }
    text += QStringLiteral("<br>") +
            tr("今後 %1 日の復習: %2").arg(dayCount - 1).arg(week.join(tr("　")));

    std::array<std::array<int, 2>, totalRhythmCount> tally{};
    for (std::size_t index = 0; index < tally.size(); ++index) {
        tally[index] = {summary.rhythms[index].attempts, summary.rhythms[index].correct};
    }
    const std::vector<ReadinessArea> areas = readiness(tally);
    int ready = 0;
    QStringList below;
    QStringList unanswered;
    for (const ReadinessArea& area : areas) {
        const QString name = SetupPage::groupName(area.group);
        if (area.ready()) {
            ++ready;
        } else if (area.answered()) {
            below << tr("%1 %2 %").arg(name).arg(area.percent());
        } else {
            unanswered << name;
        }
    }
    text += QStringLiteral("<br>") + tr("<b>準備度</b>: %1 / %2 分野が %3 % 以上")
                                         .arg(ready)
                                         .arg(areas.size())
                                         .arg(readyPercent);
    if (!below.isEmpty()) {
        text += tr("。%1 % 未満: <span style='color:#b00000'>%2</span>")
                    .arg(readyPercent)
                    .arg(below.join(tr("、")));
    }
    if (!unanswered.isEmpty()) {
        text += tr("。まだ解いていない分野: %1").arg(unanswered.join(tr("、")));
    }
    // A wrapped label lays the window out again for any new text: most answers change none.
    if (text != QLabel::text()) {
        setText(text);
    }
}

} // namespace pulsavo
