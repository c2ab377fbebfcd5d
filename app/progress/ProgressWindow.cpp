#include "ProgressWindow.h"
#include "LanguageManager.h"
#include "Settings.h"
#include "WindowFit.h"

#include "Catalogue.h"
#include "KeyPoints.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QDateTimeAxis>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QTextBrowser>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace pulsavo {

namespace {

constexpr int labelSpace = 22;

QString fromCatalogue(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString rhythmName(Rhythm rhythm) {
    return fromCatalogue(catalogue::nameOf(rhythm, LanguageManager::instance().language()));
}

} // namespace

ConfusionMap::ConfusionMap(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("confusionMap"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ConfusionMap::setMatrix(const ConfusionMatrix& matrix, std::vector<Rhythm> rhythms) {
    counts = matrix;
    listed = std::move(rhythms);
    for (std::size_t row = 0; row < counts.size(); ++row) {
        rowTotals[row] = 0;
        for (const int n : counts[row]) {
            rowTotals[row] += n;
        }
    }
    updateGeometry();
    update();
}

QSize ConfusionMap::sizeHint() const {
    return {labelSpace + count() * 26 + 2, labelSpace + count() * 26 + 2};
}

QSize ConfusionMap::minimumSizeHint() const {
    const int cells = std::min(count(), rhythmCount);
    return {labelSpace + cells * 18 + 2, labelSpace + cells * 18 + 2};
}

int ConfusionMap::cellSize() const {
    return std::max(8, std::min(width() - labelSpace - 2, height() - labelSpace - 2) /
                           std::max(1, count()));
}

QPoint ConfusionMap::origin() const {
    return {labelSpace, labelSpace};
}

int ConfusionMap::placeOf(Rhythm rhythm) const {
    const auto found = std::find(listed.begin(), listed.end(), rhythm);
    return found == listed.end() ? -1 : static_cast<int>(found - listed.begin());
}

QRect ConfusionMap::cellRect(Rhythm shown, Rhythm answered) const {
    const int row = placeOf(shown);
    const int column = placeOf(answered);
    if (row < 0 || column < 0) {
        return {};
    }
    const int size = cellSize();
    return {origin().x() + column * size, origin().y() + row * size, size, size};
}

bool ConfusionMap::cellAt(const QPoint& pos, Rhythm& shown, Rhythm& answered) const {
    const int size = cellSize();
    const QPoint at = pos - origin();
    if (at.x() < 0 || at.y() < 0 || at.x() >= size * count() || at.y() >= size * count()) {
        return false;
    }
    shown = listed[static_cast<std::size_t>(at.y() / size)];
    answered = listed[static_cast<std::size_t>(at.x() / size)];
    return true;
}

void ConfusionMap::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const int size = cellSize();
    QFont small = font();
    small.setPixelSize(std::max(7, size * 2 / 5));
    painter.setFont(small);
    for (int i = 0; i < count(); ++i) {
        painter.setPen(palette().text().color());
        painter.drawText(QRect(origin().x() + i * size, 0, size, labelSpace), Qt::AlignCenter,
                         QString::number(i));
        painter.drawText(QRect(0, origin().y() + i * size, labelSpace - 2, size),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(i));
    }
    for (const Rhythm shown : listed) {
        const auto row = static_cast<std::size_t>(indexOf(shown));
        for (const Rhythm answered : listed) {
            const int n = counts[row][static_cast<std::size_t>(indexOf(answered))];
            const QRect cell = cellRect(shown, answered);
            const qreal share = rowTotals[row] > 0 ? qreal(n) / rowTotals[row] : 0.0;
            // Right answers in green, mix-ups in red, both deeper the larger their share.
            const int fade = static_cast<int>(std::lround(255 * (1.0 - share)));
            QColor colour = n == 0              ? QColor(250, 250, 250)
                            : shown == answered ? QColor(fade, 200 + fade * 55 / 255, fade)
                                                : QColor(230 + fade * 25 / 255, fade, fade);
            painter.fillRect(cell, colour);
            painter.setPen(QColor(210, 210, 210));
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
            if (n > 0) {
                painter.setPen(share > 0.55 ? Qt::white : Qt::black);
                painter.drawText(cell, Qt::AlignCenter, QString::number(n));
            }
        }
    }
}

void ConfusionMap::mouseReleaseEvent(QMouseEvent* event) {
    Rhythm shown{};
    Rhythm answered{};
    if (event->button() == Qt::LeftButton && cellAt(event->position().toPoint(), shown, answered)) {
        emit cellClicked(shown, answered);
    }
    QWidget::mouseReleaseEvent(event);
}

bool ConfusionMap::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        Rhythm shown{};
        Rhythm answered{};
        if (cellAt(help->pos(), shown, answered)) {
            QToolTip::showText(help->globalPos(),
                               tr("表示: %1\n回答: %2\n%3 回")
                                   .arg(rhythmName(shown), rhythmName(answered))
                                   .arg(counts[static_cast<std::size_t>(indexOf(shown))]
                                              [static_cast<std::size_t>(indexOf(answered))]),
                               this, cellRect(shown, answered));
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}

ProgressWindow::ProgressWindow(const QString& databasePath, QWidget* parent,
                               const QString& examCode)
    : QWidget(parent, Qt::Window),
      database(std::make_unique<ProgressStore>(databasePath)), filter{examCode} {
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(tr("成績"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    totals = new QLabel(this);
    totals->setObjectName(QStringLiteral("totalsLabel"));
    streakLabel = new QLabel(this);
    streakLabel->setObjectName(QStringLiteral("streakLabel"));
    notice = new QLabel(this);
    notice->setObjectName(QStringLiteral("noticeLabel"));
    notice->setWordWrap(true);
    map = new ConfusionMap(this);
    connect(map, &ConfusionMap::cellClicked, this, &ProgressWindow::onCell);
    pairs = new QTextBrowser(this);
    pairs->setObjectName(QStringLiteral("confusedPairs"));
    exportButton = new QPushButton(tr("書き出し(&E)..."), this);
    exportButton->setObjectName(QStringLiteral("exportButton"));
    connect(exportButton, &QPushButton::clicked, this, &ProgressWindow::exportCsv);
    resetButton = new QPushButton(tr("リセット(&R)..."), this);
    resetButton->setObjectName(QStringLiteral("resetButton"));
    connect(resetButton, &QPushButton::clicked, this, &ProgressWindow::resetProgress);
    auto* closeButton = new QPushButton(tr("閉じる(&C)"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    buildCharts();

    auto* heading = new QHBoxLayout;
    heading->addWidget(totals);
    heading->addStretch();
    heading->addWidget(streakLabel);

    auto* mapTitle = new QLabel(tr("取り違え（行: 表示された波形、列: 答えた波形）"), this);
    mapTitle->setObjectName(QStringLiteral("confusionTitle"));
    auto* mapColumn = new QVBoxLayout;
    mapColumn->addWidget(mapTitle);
    mapColumn->addWidget(map, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(barView, 3);
    top->addLayout(mapColumn, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(dayView, 3);
    bottom->addWidget(pairs, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(notice, 1);
    buttons->addWidget(exportButton);
    buttons->addWidget(resetButton);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addLayout(top, 3);
    layout->addLayout(bottom, 2);
    layout->addLayout(buttons);

    resize(1200, 860);
    restoreGeometry(Settings().progressGeometry());
    fitToScreen(this);
    notice->setText(database->notice());
    refresh();
}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::buildCharts() {
    bars = new QBarSet(tr("正答率 %"));
    bars->setColor(QColor(70, 130, 180));
    bars->setLabelColor(Qt::black);
    auto* barSeries = new QHorizontalBarSeries;
    barSeries->append(bars);
    barSeries->setLabelsVisible(true);
    barSeries->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    barSeries->setLabelsFormat(QStringLiteral("@value %"));
    auto* barChart = new QChart;
    barChart->addSeries(barSeries);
    barChart->setTitle(tr("波形ごとの正答率"));
    barChart->legend()->hide();
    barChart->setMargins(QMargins(2, 2, 2, 2));
    auto* categories = new QBarCategoryAxis;
    categories->setTruncateLabels(false);
    QFont labelFont = categories->labelsFont();
    labelFont.setPixelSize(10);
    categories->setLabelsFont(labelFont);
    barChart->addAxis(categories, Qt::AlignLeft);
    barSeries->attachAxis(categories);
    auto* percent = new QValueAxis;
    percent->setRange(0, 115);
    percent->setTickCount(2);
    percent->setLabelsVisible(false);
    percent->setGridLineVisible(false);
    barChart->addAxis(percent, Qt::AlignBottom);
    barSeries->attachAxis(percent);
    barView = new QChartView(barChart, this);
    barView->setObjectName(QStringLiteral("accuracyChart"));
    barView->setRenderHint(QPainter::Antialiasing);
    barView->setMinimumHeight(420);

    days = new QLineSeries;
    days->setPointsVisible(true);
    days->setName(tr("正答率 %"));
    auto* dayChart = new QChart;
    dayChart->addSeries(days);
    dayChart->setTitle(tr("日ごとの正答率（最近 %1 日）").arg(dayCount));
    dayChart->legend()->hide();
    dayChart->setMargins(QMargins(2, 2, 2, 2));
    auto* dateAxis = new QDateTimeAxis;
    dateAxis->setFormat(QStringLiteral("M/d"));
    dateAxis->setTickCount(6);
    dayChart->addAxis(dateAxis, Qt::AlignBottom);
    days->attachAxis(dateAxis);
    auto* dayPercent = new QValueAxis;
    dayPercent->setRange(0, 100);
    dayPercent->setLabelFormat(QStringLiteral("%d %"));
    dayChart->addAxis(dayPercent, Qt::AlignLeft);
    days->attachAxis(dayPercent);
    dayView = new QChartView(dayChart, this);
    dayView->setObjectName(QStringLiteral("dayChart"));
    dayView->setRenderHint(QPainter::Antialiasing);
    dayView->setMinimumHeight(220);
}

void ProgressWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(tr("成績"));
        refresh();
    }
    QWidget::changeEvent(event);
}

void ProgressWindow::refresh() {
    shown = database->summary(filter, dayCount);
    totals->setText(
        shown.attempts > 0
            ? tr("回答 %1 問、正答率 %2 %")
                  .arg(shown.attempts)
                  .arg(std::lround(100.0 * shown.correct / shown.attempts))
            : tr("まだ回答がありません。練習モードで問題に答えると、ここに成績が表示されます。"));
    streakLabel->setText(tr("連続 %1 日").arg(shown.streak));
    listed = reportedRhythms(shown.rhythms, &shown.confusion);
    showBars();
    map->setMatrix(shown.confusion, listed);
    showDays();
    showPairs();
}

void ProgressWindow::setExamFilter(const QString& examCode) {
    filter.examCode = examCode;
    refresh();
}

void ProgressWindow::showBars() {
    QStringList labels;
    QList<qreal> values;
    // Numbered by place, as the heat map's rows and columns are.
    for (std::size_t place = 0; place < listed.size(); ++place) {
        const Rhythm rhythm = listed[place];
        const RhythmStats& stats = shown.rhythms[static_cast<std::size_t>(indexOf(rhythm))];
        QString label = QStringLiteral("%1 %2").arg(place).arg(rhythmName(rhythm));
        if (stats.attempts > 0) {
            label += tr("（%1回・%2秒）")
                         .arg(stats.attempts)
                         .arg(stats.medianMs.value_or(0) / 1000.0, 0, 'f', 1);
        }
        labels << label;
        values << std::round(100.0 * stats.accuracy());
    }
    auto* series = static_cast<QHorizontalBarSeries*>(barView->chart()->series().constFirst());
    auto* axis = static_cast<QBarCategoryAxis*>(series->attachedAxes().constFirst());
    axis->setCategories(labels);
    bars->remove(0, bars->count());
    bars->append(values);
}

void ProgressWindow::showDays() {
    QList<QPointF> points;
    for (const DayAccuracy& day : shown.days) {
        if (day.attempts > 0) {
            points << QPointF(qreal(day.day.startOfDay().toMSecsSinceEpoch()),
                              std::round(100.0 * day.accuracy()));
        }
    }
    days->replace(points);
    if (!shown.days.isEmpty()) {
        auto* axis = static_cast<QDateTimeAxis*>(days->attachedAxes().constFirst());
        axis->setRange(shown.days.constFirst().day.startOfDay(),
                       shown.days.constLast().day.startOfDay());
    }
}

void ProgressWindow::showPairs() {
    QString html = QStringLiteral("<h3>%1</h3>").arg(tr("取り違えの多い組み合わせ"));
    if (shown.topConfusions.isEmpty()) {
        html += QStringLiteral("<p>%1</p>").arg(tr("取り違えはまだありません。"));
    }
    const auto points = [](Rhythm rhythm) {
        return QString::fromStdString(
                   catalogue::keyPointsOf(rhythm, LanguageManager::instance().language()))
            .toHtmlEscaped()
            .replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    };
    for (const ConfusedPair& pair : std::as_const(shown.topConfusions)) {
        html += QStringLiteral("<p><b>%1</b><br>")
                    .arg(tr("%1 を %2 と答えた: %3 回")
                             .arg(rhythmName(pair.shown).toHtmlEscaped(),
                                  rhythmName(pair.answered).toHtmlEscaped())
                             .arg(pair.count));
        html += QStringLiteral("%1<br><i>%2</i><br>%3<br><i>%4</i><br>%5</p>")
                    .arg(tr("見分けるポイント:"), rhythmName(pair.shown).toHtmlEscaped(),
                         points(pair.shown), rhythmName(pair.answered).toHtmlEscaped(),
                         points(pair.answered));
    }
    pairs->setHtml(html);
}

void ProgressWindow::onCell(Rhythm shownRhythm, Rhythm answered) {
    notice->setText(tr("%1 を %2 と答えた: %3 回")
                        .arg(rhythmName(shownRhythm), rhythmName(answered))
                        .arg(shown.confusion[static_cast<std::size_t>(indexOf(shownRhythm))]
                                            [static_cast<std::size_t>(indexOf(answered))]));
    emit pairDrillRequested(shownRhythm, answered);
}

void ProgressWindow::exportCsv() {
    const QString path = askExportPath
                             ? askExportPath()
                             : QFileDialog::getSaveFileName(this, tr("成績の書き出し"),
                                                            QStringLiteral("pulsavo-progress.csv"),
                                                            tr("CSV ファイル (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    if (database->exportCsv(path, filter, rhythmName)) {
        notice->setText(tr("%1 件の回答を %2 に書き出しました。").arg(shown.attempts).arg(path));
    } else {
        notice->setText(tr("%1 に書き出せませんでした。").arg(path));
    }
}

void ProgressWindow::resetProgress() {
    const bool sure =
        confirmReset ? confirmReset()
                     : QMessageBox::question(
                           this, tr("成績のリセット"),
                           tr("成績をリセットしますか？\n今までの成績ファイルは消さずに別の名前で"
                              "残します。")) == QMessageBox::Yes;
    if (!sure) {
        return;
    }
    if (database->reset()) {
        notice->setText(tr("今までの成績を %1 に移しました。").arg(database->movedAsidePath()));
    } else {
        notice->setText(database->notice());
    }
    refresh();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    Settings().setProgressGeometry(saveGeometry());
    QWidget::closeEvent(event);
}

} // namespace pulsavo
