#include "DebriefPanel.h"

#include "CatalogueText.h"
#include "LanguageManager.h"
#include "Simulation.h"
#include "WindowFit.h"

#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QHeaderView>
#include <QMessageBox>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSaveFile>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace pulsavo {

using scenario::DebriefEntry;
using scenario::EntryKind;

namespace {

// A rhythm id as its name in the windows' language; anything else as written.

QColor markColour(EntryKind kind) {
    switch (kind) {
    case EntryKind::event:
        return {200, 0, 0};
    case EntryKind::parameter:
        return {0, 90, 200};
    case EntryKind::rhythm:
        return {0, 140, 60};
    case EntryKind::freeze:
    case EntryKind::resume:
        return {150, 150, 150};
    default:
        break;
    }
    return {60, 60, 60};
}

} // namespace

DebriefPanel::DebriefPanel(const scenario::DebriefLog& shown, QWidget* parent)
    : QWidget(parent), log(shown) {
    auto* column = new QVBoxLayout(this);
    rows = new QTreeWidget(this);
    rows->setObjectName(QStringLiteral("debriefRows"));
    rows->setRootIsDecorated(false);
    rows->setColumnCount(4);
    rows->setUniformRowHeights(true);
    pdfButton = new QPushButton(this);
    pdfButton->setObjectName(QStringLiteral("debriefPdf"));
    column->addWidget(rows);
    column->addWidget(pdfButton, 0, Qt::AlignRight);
    connect(pdfButton, &QPushButton::clicked, this, &DebriefPanel::chooseFile);
    retranslate();
}

QString DebriefPanel::kindName(EntryKind kind) {
    switch (kind) {
    case EntryKind::scenarioStarted:
        return tr("シナリオ開始");
    case EntryKind::stepStarted:
        return tr("ステップ");
    case EntryKind::rhythm:
        return tr("波形");
    case EntryKind::parameter:
        return tr("パラメーター");
    case EntryKind::event:
        return tr("イベント");
    case EntryKind::freeze:
        return tr("一時停止");
    case EntryKind::resume:
        return tr("再開");
    case EntryKind::answer:
        return tr("回答");
    case EntryKind::note:
        return tr("メモ");
    case EntryKind::scenarioEnded:
        break;
    }
    return tr("シナリオ終了");
}

QString DebriefPanel::shownText(const QString& text) {
    // Rhythms are logged by their ids; a parameter's value (a block ratio of 4) is a number,
    // not the rhythm the classic numbering gives 4.
    bool number = false;
    text.toDouble(&number);
    if (const auto rhythm = parseRhythmId(text.toStdString()); rhythm && !number) {
        return rhythmName(*rhythm, LanguageManager::instance().language());
    }
    return text;
}

QString DebriefPanel::timeText(long long tick) {
    const long long tenths = tick / (ticksPerSecond / 10);
    return QStringLiteral("%1:%2.%3")
        .arg(tenths / 600)
        .arg(tenths / 10 % 60, 2, 10, QLatin1Char('0'))
        .arg(tenths % 10);
}

QStringList DebriefPanel::rowTexts(const DebriefEntry& entry) const {
    QStringList what;
    for (const QString& part : {entry.subject, entry.value, entry.detail}) {
        if (!part.isEmpty()) {
            what << shownText(part);
        }
    }
    return {timeText(entry.tick), kindName(entry.kind),
            entry.step >= 0 ? QString::number(entry.step + 1) : QString(),
            what.join(QStringLiteral(" · "))};
}

void DebriefPanel::retranslate() {
    rows->setHeaderLabels({tr("時刻"), tr("種類"), tr("ステップ"), tr("内容")});
    pdfButton->setText(tr("PDF に保存(&D)..."));
    rows->clear();
    refresh();
}

void DebriefPanel::refresh() {
    const auto& entries = log.entries();
    if (static_cast<std::size_t>(rows->topLevelItemCount()) > entries.size()) {
        rows->clear();
    }
    const bool atEnd =
        rows->topLevelItemCount() == 0 || rows->currentItem() == nullptr ||
        rows->indexOfTopLevelItem(rows->currentItem()) == rows->topLevelItemCount() - 1;
    for (auto i = static_cast<std::size_t>(rows->topLevelItemCount()); i < entries.size(); ++i) {
        auto* item = new QTreeWidgetItem(rows, rowTexts(entries[i]));
        if (atEnd) {
            rows->setCurrentItem(item);
        }
    }
    for (int column = 0; column < 3; ++column) {
        rows->resizeColumnToContents(column);
    }
    pdfButton->setEnabled(!entries.empty());
}

int DebriefPanel::shownRows() const {
    return rows->topLevelItemCount();
}

void DebriefPanel::paintTimeline(QPainter& painter, const QRectF& area,
                                 const std::vector<DebriefEntry>& entries, long long endTick) {
    painter.save();
    painter.setPen(Qt::black);
    painter.drawRect(area);
    const long long first = entries.empty() ? 0 : entries.front().tick;
    const long long span = std::max(1LL, endTick - first);
    const auto xOf = [&](long long tick) {
        return area.left() +
               area.width() * static_cast<double>(tick - first) / static_cast<double>(span);
    };
    // Steps as alternating bands under the marks, numbered.
    long long stepStart = -1;
    int stepNumber = 0;
    const auto band = [&](long long to) {
        if (stepStart < 0) {
            return;
        }
        const QRectF box(xOf(stepStart), area.top(), xOf(to) - xOf(stepStart), area.height());
        painter.fillRect(box, stepNumber % 2 == 0 ? QColor(225, 235, 250) : QColor(245, 245, 220));
        painter.setPen(Qt::black);
        painter.drawText(box.adjusted(2, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop,
                         QString::number(stepNumber + 1));
    };
    for (const DebriefEntry& entry : entries) {
        if (entry.kind == EntryKind::stepStarted) {
            band(entry.tick);
            stepStart = entry.tick;
            stepNumber = entry.step;
        }
    }
    band(endTick);
    for (const DebriefEntry& entry : entries) {
        if (entry.kind == EntryKind::stepStarted) {
            continue;
        }
        painter.setPen(QPen(markColour(entry.kind), 0));
        const double x = xOf(entry.tick);
        painter.drawLine(QPointF(x, area.top() + area.height() * 0.35), QPointF(x, area.bottom()));
    }
    painter.setPen(Qt::black);
    painter.drawText(area.adjusted(2, 0, -2, area.height() * 0.6), Qt::AlignRight | Qt::AlignBottom,
                     timeText(endTick - first));
    painter.restore();
}

std::optional<QString> DebriefPanel::savePdf(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(150);
        writer.setTitle(tr("デブリーフ記録"));
        writer.setCreator(QStringLiteral("Pulsavo"));
        QPainter painter(&writer);
        const QRect page = painter.viewport().adjusted(60, 60, -60, -60);
        QFont font = painter.font();
        font.setPointSize(14);
        painter.setFont(font);
        int y = page.top();
        const int titleHeight = painter.fontMetrics().height();
        painter.drawText(
            QRect(page.left(), y, page.width(), titleHeight), Qt::AlignLeft,
            tr("デブリーフ記録  %1")
                .arg(QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat)));
        y += titleHeight * 2;
        font.setPointSize(8);
        painter.setFont(font);
        const auto& entries = log.entries();
        const long long end = entries.empty() ? 0 : entries.back().tick;
        paintTimeline(painter, QRectF(page.left(), y, page.width(), 120), entries, end);
        y += 160;
        const int line = painter.fontMetrics().height() + 4;
        const std::array<double, 4> columns{0.0, 0.12, 0.28, 0.37};
        for (const DebriefEntry& entry : entries) {
            if (y + line > page.bottom()) {
                writer.newPage();
                y = page.top();
            }
            const QStringList texts = rowTexts(entry);
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const int left = page.left() + static_cast<int>(page.width() * columns[c]);
                const int right =
                    c + 1 < columns.size()
                        ? page.left() + static_cast<int>(page.width() * columns[c + 1])
                        : page.right();
                painter.drawText(
                    QRect(left, y, right - left - 8, line), Qt::AlignLeft | Qt::AlignVCenter,
                    painter.fontMetrics().elidedText(texts.at(static_cast<int>(c)), Qt::ElideRight,
                                                     right - left - 8));
            }
            y += line;
        }
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}

void DebriefPanel::chooseFile() {
    const QString path = askSaveFileName(
        this, tr("デブリーフ記録を保存"),
        QStringLiteral("debrief-%1.pdf")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmm"))),
        tr("PDF (*.pdf)"));
    if (path.isEmpty()) {
        return;
    }
    if (const std::optional<QString> failed = savePdf(path)) {
        QMessageBox::warning(
            this, tr("デブリーフ記録を保存"),
            tr("%1 を保存できませんでした: %2").arg(QDir::toNativeSeparators(path), *failed));
    }
}

void DebriefPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange && rows != nullptr) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

} // namespace pulsavo
