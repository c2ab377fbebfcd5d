#include "ProgressWindow.h"

#include "AccuracyBars.h"
#include "DayChart.h"
#include "DueView.h"
#include "LanguageManager.h"
#include "Settings.h"
#include "WindowFit.h"
#include "WorksheetPage.h"

#include "Catalogue.h"
#include "CatalogueText.h"
#include "KeyPoints.h"
#include "NativePath.h"
#include "ProgressTally.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace pulsavo {

namespace {

constexpr int labelSpace = 22;

QString rhythmName(Rhythm rhythm) {
    return catalogueText(catalogue::nameOf(rhythm, LanguageManager::instance().language()));
}

// A label whose text changes with every answer keeps a fixed size, grown only when its text
// needs more room: a new count then repaints the label without laying the window out again.
void setSteadyText(QLabel* label, const QString& text) {
    const QFontMetrics metrics = label->fontMetrics();
    const QSize needed(metrics.horizontalAdvance(text) + 2 * label->margin() + 4,
                       metrics.height() + 2 * label->margin());
    if (needed.width() > label->maximumWidth() || needed.height() != label->maximumHeight()) {
        label->setFixedSize(needed.width() + metrics.horizontalAdvance(QStringLiteral("0000")),
                            needed.height());
    }
    label->setText(text);
}

} // namespace

ConfusionMap::ConfusionMap(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("confusionMap"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ConfusionMap::setMatrix(const ConfusionMatrix& matrix, std::vector<Rhythm> rhythms) {
    // The same rows: only those whose counts changed are repainted (an answer changes one).
    if (rhythms == listed) {
        QRegion changed;
        for (int place = 0; place < count(); ++place) {
            const auto row = static_cast<std::size_t>(indexOf(listed[std::size_t(place)]));
            if (matrix[row] != counts[row]) {
                changed += rowRect(place);
            }
        }
        counts = matrix;
        sumRows();
        update(changed);
        return;
    }
    counts = matrix;
    listed = std::move(rhythms);
    sumRows();
    updateGeometry();
    update();
}

void ConfusionMap::sumRows() {
    for (std::size_t row = 0; row < counts.size(); ++row) {
        rowTotals[row] = 0;
        for (const int n : counts[row]) {
            rowTotals[row] += n;
        }
    }
}

QRect ConfusionMap::rowRect(int place) const {
    const int size = cellSize();
    return {origin().x(), origin().y() + place * size, count() * size, size};
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

void ConfusionMap::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().base());
    const int size = cellSize();
    QFont small = font();
    small.setPixelSize(std::max(7, size * 7 / 20));
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
        if (!event->rect().intersects(rowRect(placeOf(shown)))) {
            continue;
        }
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
                // A mark besides the colour: right answers and mix-ups read apart without it.
                painter.setPen(share > 0.55 ? Qt::white : Qt::black);
                painter.drawText(cell, Qt::AlignCenter,
                                 (shown == answered ? QStringLiteral("○") : QStringLiteral("×")) +
                                     QString::number(n));
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
      path(databasePath.isEmpty() ? ProgressStore::defaultPath() : databasePath), filter{examCode} {
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(tr("成績"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* content = new QWidget;
    totals = new QLabel(content);
    totals->setObjectName(QStringLiteral("totalsLabel"));
    streakLabel = new QLabel(content);
    streakLabel->setObjectName(QStringLiteral("streakLabel"));
    notice = new QLabel(this);
    notice->setObjectName(QStringLiteral("noticeLabel"));
    notice->setWordWrap(true);
    map = new ConfusionMap(content);
    connect(map, &ConfusionMap::cellClicked, this, &ProgressWindow::onCell);
    pairs = new QTextBrowser(content);
    pairs->setObjectName(QStringLiteral("confusedPairs"));
    pairs->setMinimumHeight(80);
    worksheetPanel = new QLabel(content);
    worksheetPanel->setObjectName(QStringLiteral("worksheetFields"));
    worksheetPanel->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    worksheetPanel->hide();
    fluencyPanel = new QLabel(content);
    fluencyPanel->setObjectName(QStringLiteral("fluencyPanel"));
    fluencyPanel->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    fluencyPanel->hide();
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

    auto* mapTitle = new QLabel(
        tr("取り違え（行: 表示された波形、列: 答えた波形。○ 正答、× 取り違え）"), content);
    mapTitle->setObjectName(QStringLiteral("confusionTitle"));
    mapTitle->setWordWrap(true);
    // A wrapped label would make the scrolled charts as tall as they would like to be, not as
    // tall as the window is.
    QSizePolicy titlePolicy = mapTitle->sizePolicy();
    titlePolicy.setHeightForWidth(false);
    mapTitle->setSizePolicy(titlePolicy);
    mapTitle->setMinimumHeight(2 * mapTitle->fontMetrics().lineSpacing());
    auto* mapColumn = new QVBoxLayout;
    mapColumn->addWidget(mapTitle);
    mapColumn->addWidget(map, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(bars, 3);
    top->addLayout(mapColumn, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(dayView, 3);
    bottom->addWidget(pairs, 2);
    bottom->addWidget(worksheetPanel, 1);
    bottom->addWidget(fluencyPanel, 1);

    auto* charts = new QVBoxLayout(content);
    charts->setContentsMargins(0, 0, 0, 0);
    charts->addLayout(heading);
    dueView = new DueView(content);
    charts->addWidget(dueView);
    charts->addLayout(top, 3);
    charts->addLayout(bottom, 2);
    // The charts scroll when the screen is small (a laptop, or 200 %); the buttons stay in view.
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("progressScroller"));
    scroller->setWidget(content);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(notice, 1);
    buttons->addWidget(exportButton);
    buttons->addWidget(resetButton);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroller, 1);
    layout->addLayout(buttons);

    resize(1200, 860);
    restoreGeometry(Settings().progressGeometry());
    fitToScreen(this);
    shown.days = QList<DayAccuracy>(dayCount);
    refresh();
}

ProgressWindow::~ProgressWindow() {
    if (loader) {
        loader->wait();
        delete loader;
    }
}

void ProgressWindow::buildCharts() {
    bars = new AccuracyBars(this);
    bars->setTitle(tr("波形ごとの正答率"));
    bars->setMinimumHeight(260);

    dayView = new DayChart(this);
    dayView->setTitle(tr("日ごとの正答率（最近 %1 日）").arg(dayCount));
    dayView->setMinimumHeight(160);
}

void ProgressWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(tr("成績"));
        showAll();
    }
    QWidget::changeEvent(event);
}

ProgressWindow::Loaded ProgressWindow::load(const QString& file, const ProgressFilter& filter,
                                            QDate today) {
    Loaded loaded;
    {
        const ProgressStore reader(ProgressStore::ReadOnly::tag, nativeFromPath(file));
        loaded.problem = reader.readProblem();
        if (reader.state() == ProgressStore::State::readOnly) {
            loaded.summary = reader.summary(filter, dayCount, today);
            return loaded;
        }
    }
    using Problem = ProgressStore::ReadProblem;
    if (loaded.problem == Problem::tooOld) {
        // The trainer owns its file: an older one is brought up to date, as practice would.
        const ProgressStore upgraded(file);
        loaded.summary = upgraded.summary(filter, dayCount, today);
        loaded.problem = upgraded.isSaving() ? Problem::none : Problem::unreadable;
        return loaded;
    }
    loaded.summary.days.clear();
    for (QDate day = today.addDays(1 - dayCount); day <= today; day = day.addDays(1)) {
        loaded.summary.days.append(DayAccuracy{day, 0, 0});
    }
    if (loaded.problem == Problem::missing || loaded.problem == Problem::notAnswers) {
        loaded.problem = Problem::none; // nothing answered yet
    }
    return loaded;
}

void ProgressWindow::runInBackground(bool fullLoad, std::function<std::function<void()>()> job) {
    loading = fullLoad;
    loader = QThread::create([this, job = std::move(job)] {
        std::function<void()> done = job();
        QMetaObject::invokeMethod(
            this,
            [this, done = std::move(done)] {
                jobDone();
                done();
            },
            Qt::QueuedConnection);
    });
    loader->start();
}

void ProgressWindow::jobDone() {
    loader->wait();
    delete loader;
    loader = nullptr;
    loading = false;
}

void ProgressWindow::finishLoading() {
    while (loader) {
        loader->wait();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
}

void ProgressWindow::refresh() {
    if (loader) {
        loadAgain = true;
        return;
    }
    setSteadyText(totals, tr("読み込み中…"));
    const QString file = path;
    const ProgressFilter wanted = filter;
    const QDate today = QDate::currentDate();
    runInBackground(true, [this, file, wanted, today]() -> std::function<void()> {
        Loaded loaded = load(file, wanted, today);
        return [this, loaded] { loadedInBackground(loaded); };
    });
}

void ProgressWindow::loadedInBackground(const Loaded& loaded) {
    shown = loaded.summary;
    loadProblem.clear();
    using Problem = ProgressStore::ReadProblem;
    switch (loaded.problem) {
    case Problem::none:
    case Problem::missing:
    case Problem::notAnswers:
        break;
    case Problem::damaged:
        loadProblem = tr("成績ファイル %1 は壊れているため読めません。練習モードを開くと、"
                         "壊れたファイルを別の名前で残して新しく記録を始めます。")
                          .arg(QDir::toNativeSeparators(path));
        break;
    case Problem::tooNew:
        loadProblem = tr("成績ファイル %1 は新しい版の Pulsavo で作られているため読めません。")
                          .arg(QDir::toNativeSeparators(path));
        break;
    case Problem::tooOld:
    case Problem::unreadable:
        loadProblem = tr("成績ファイル %1 を読めません。").arg(QDir::toNativeSeparators(path));
        break;
    }
    if (!loadProblem.isEmpty()) {
        notice->setText(loadProblem);
    }
    mediansAgain = false;
    if (loadAgain) {
        loadAgain = false;
        refresh();
    }
    showAll();
}

void ProgressWindow::addAnswers(const ProgressStore::Written& written) {
    if (written.answers.empty() && written.complete) {
        return;
    }
    // A full read under way may or may not hold these answers: read again after it.
    if (!written.complete || loading) {
        refresh();
        return;
    }
    bool stale = false;
    const QList<ConfusedPair> pairsBefore = shown.topConfusions;
    for (const AnswerRecord& answer : written.answers) {
        if (!ProgressTally::fold(shown, answer, filter)) {
            refresh();
            return;
        }
        stale = stale || ProgressTally::medianStale(shown, answer);
    }
    // Only what an answer changes is redrawn: a chart's axis laid out afresh costs more than
    // the whole fold.
    if (reportedRhythms(shown.rhythms, &shown.confusion) != listed) {
        showAll();
    } else {
        showTotals();
        showBars();
        map->setMatrix(shown.confusion, listed);
        showDays();
        const auto samePair = [](const ConfusedPair& a, const ConfusedPair& b) {
            return a.shown == b.shown && a.answered == b.answered;
        };
        if (!std::equal(pairsBefore.begin(), pairsBefore.end(), shown.topConfusions.begin(),
                        shown.topConfusions.end(), samePair)) {
            showPairs();
        } else {
            recountPairs(pairsBefore);
        }
    }
    if (stale) {
        refreshMedians();
    }
}

// A median cannot be folded: those of rhythms answered again are read in the background.
void ProgressWindow::refreshMedians() {
    if (loader) {
        mediansAgain = true;
        return;
    }
    const QString file = path;
    const ProgressFilter wanted = filter;
    const RhythmStatsTable counts = shown.rhythms;
    runInBackground(false, [this, file, wanted, counts]() -> std::function<void()> {
        RhythmStatsTable medians = counts;
        const ProgressStore reader(ProgressStore::ReadOnly::tag, nativeFromPath(file));
        for (int index = 0; index < totalRhythmCount; ++index) {
            RhythmStats& stats = medians[static_cast<std::size_t>(index)];
            stats.medianMs = reader.medianMs(*anyRhythmAt(index), stats.attempts, wanted);
        }
        return [this, medians] {
            // Only medians of the very answers counted now; later ones ask again.
            for (std::size_t i = 0; i < medians.size(); ++i) {
                if (medians[i].attempts == shown.rhythms[i].attempts) {
                    shown.rhythms[i].medianMs = medians[i].medianMs;
                }
            }
            if (loadAgain) {
                loadAgain = false;
                refresh();
            } else if (mediansAgain) {
                mediansAgain = false;
                refreshMedians();
            }
            showBars();
        };
    });
}

void ProgressWindow::showTotals() {
    dueView->showSummary(shown, QDate::currentDate(), LanguageManager::instance().language());
    const QString text =
        shown.attempts > 0
            ? tr("回答 %1 問、正答率 %2 %")
                  .arg(shown.attempts)
                  .arg(std::lround(100.0 * shown.correct / shown.attempts))
            : tr("まだ回答がありません。練習モードで問題に答えると、ここに成績が表示されます。");
    setSteadyText(totals, loading ? tr("読み込み中…") : text);
    setSteadyText(streakLabel, tr("連続 %1 日").arg(shown.streak));
    showWorksheetFields();
    showFluency();
}

void ProgressWindow::showFluency() {
    QString rows;
    for (const RhythmFluency& row : std::as_const(shown.fluency)) {
        const std::optional<double> median = row.medianMs();
        if (!median) {
            continue;
        }
        rows +=
            QStringLiteral("<tr><td>%1</td><td align=right>%2</td></tr>")
                .arg(rhythmName(row.rhythm).toHtmlEscaped(),
                     tr("%1 秒（%2 回）").arg(*median / 1000.0, 0, 'f', 1).arg(row.timesMs.size()));
    }
    fluencyPanel->setVisible(!rows.isEmpty());
    fluencyPanel->setText(QStringLiteral("<h3>%1</h3><table cellspacing=4>%2</table>")
                              .arg(tr("6秒モード: 正解までの時間（中央値）"), rows));
}

void ProgressWindow::showWorksheetFields() {
    QString rows;
    for (int index = 0; index < worksheetFieldCount; ++index) {
        const auto field = static_cast<WorksheetField>(index);
        const QString stored = QString::fromLatin1(storedName(field));
        for (const WorksheetFieldStats& stats : std::as_const(shown.worksheetFields)) {
            if (stats.field != stored || stats.attempts == 0) {
                continue;
            }
            const int tenths = static_cast<int>(10 * stats.correct / stats.attempts);
            rows += QStringLiteral("<tr><td>%1</td><td>%2%3</td><td align=right>%4</td></tr>")
                        .arg(WorksheetPage::fieldName(field).toHtmlEscaped(),
                             QString(tenths, QChar(0x2588)), QString(10 - tenths, QChar(0x2591)),
                             tr("%1 %（%2 / %3）")
                                 .arg(std::lround(100.0 * stats.correct / stats.attempts))
                                 .arg(stats.correct)
                                 .arg(stats.attempts));
        }
    }
    worksheetPanel->setVisible(!rows.isEmpty());
    worksheetPanel->setText(QStringLiteral("<h3>%1</h3><table cellspacing=4>%2</table>")
                                .arg(tr("ワークシートの項目別正答率"), rows));
}

void ProgressWindow::showAll() {
    showTotals();
    listed = reportedRhythms(shown.rhythms, &shown.confusion);
    showBars();
    map->setMatrix(shown.confusion, listed);
    showDays();
    showPairs();
    settleLayout();
}

void ProgressWindow::settleLayout() {
    // New figures change the charts' size hints, which marks the charts' layout for a new pass.
    // While the window is still hidden that pass is never asked for again, and the scroll area
    // later resizes the charts under a layout that does not follow until the next answer, which
    // then lays the whole window out. Laying out now keeps the layout following every resize.
    if (QLayout* charts = map->parentWidget()->layout()) {
        charts->activate();
    }
}

void ProgressWindow::setExamFilter(const QString& examCode) {
    filter.examCode = examCode;
    refresh();
}

void ProgressWindow::showBars() {
    bars->setTitle(tr("波形ごとの正答率"));
    std::vector<AccuracyBars::Row> rows;
    rows.reserve(listed.size());
    for (const Rhythm rhythm : listed) {
        const RhythmStats& stats = shown.rhythms[static_cast<std::size_t>(indexOf(rhythm))];
        AccuracyBars::Row row;
        row.name = rhythmName(rhythm);
        row.percent = static_cast<int>(std::lround(100.0 * stats.accuracy()));
        // Every rhythm answered shows its accuracy as text too: a 0 % bar has no length to
        // carry it.
        if (stats.attempts > 0) {
            row.figures = tr("（%1回・%2秒）%3 %")
                              .arg(stats.attempts)
                              .arg(stats.medianMs.value_or(0) / 1000.0, 0, 'f', 1)
                              .arg(row.percent);
            row.shortFigures = QStringLiteral(" %1 %").arg(row.percent);
        }
        rows.push_back(std::move(row));
    }
    bars->setRows(std::move(rows));
}

void ProgressWindow::showDays() {
    dayView->setTitle(tr("日ごとの正答率（最近 %1 日）").arg(dayCount));
    dayView->setDays(shown.days);
}

QString ProgressWindow::pairHeading(const ConfusedPair& pair, bool html) {
    const auto name = [html](Rhythm rhythm) {
        return html ? rhythmName(rhythm).toHtmlEscaped() : rhythmName(rhythm);
    };
    return tr("%1 を %2 と答えた: %3 回")
        .arg(name(pair.shown), name(pair.answered))
        .arg(pair.count);
}

// The same pairs in the same order: only the counts that changed are rewritten in place, so
// that the text is not laid out afresh for an answer.
void ProgressWindow::recountPairs(const QList<ConfusedPair>& before) {
    QTextDocument* document = pairs->document();
    for (qsizetype i = 0; i < before.size(); ++i) {
        const ConfusedPair& now = shown.topConfusions[i];
        if (now.count == before[i].count) {
            continue;
        }
        QTextCursor heading = document->find(pairHeading(before[i], false));
        if (heading.isNull()) {
            showPairs();
            return;
        }
        heading.insertText(pairHeading(now, false), heading.charFormat());
    }
}

void ProgressWindow::showPairs() {
    QString html = QStringLiteral("<h3>%1</h3>").arg(tr("取り違えの多い組み合わせ"));
    if (shown.topConfusions.isEmpty()) {
        html += QStringLiteral("<p>%1</p>").arg(tr("取り違えはまだありません。"));
    }
    const auto points = [](Rhythm rhythm) {
        return QString::fromStdString(
                   catalogue::practiceKeyPointsOf(rhythm, LanguageManager::instance().language()))
            .toHtmlEscaped()
            .replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    };
    for (const ConfusedPair& pair : std::as_const(shown.topConfusions)) {
        html += QStringLiteral("<p><b>%1</b><br>").arg(pairHeading(pair, true));
        const catalogue::DecidingCriterion criterion = catalogue::decidingCriterion(
            pair.shown, pair.answered, LanguageManager::instance().language());
        html += QStringLiteral("%1 %2<br>")
                    .arg(tr("見分ける決め手:"), catalogueText(criterion.text).toHtmlEscaped());
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
    const QString target = askExportPath ? askExportPath()
                                         : askSaveFileName(this, tr("成績の書き出し"),
                                                           QStringLiteral("pulsavo-progress.csv"),
                                                           tr("CSV ファイル (*.csv)"));
    if (target.isEmpty()) {
        return;
    }
    const ProgressStore reader(ProgressStore::ReadOnly::tag, nativeFromPath(path));
    if (reader.state() == ProgressStore::State::readOnly &&
        reader.exportCsv(target, filter, [](Rhythm rhythm) { return rhythmName(rhythm); })) {
        // The file holds the measurements too: both are counted.
        notice->setText(tr("回答 %1 件と計測 %2 件を %3 に書き出しました。")
                            .arg(reader.answerCount(filter))
                            .arg(reader.measurementCount(filter))
                            .arg(QDir::toNativeSeparators(target)));
    } else {
        notice->setText(tr("%1 に書き出せませんでした。").arg(QDir::toNativeSeparators(target)));
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
    finishLoading();
    // A store of its own moves the file; a practice window writing to it follows the name to
    // the fresh file at its next answer.
    ProgressStore writer(path);
    if (writer.reset()) {
        movedAside = writer.movedAsidePath();
        notice->setText(
            tr("今までの成績を %1 に移しました。").arg(QDir::toNativeSeparators(movedAside)));
    } else {
        notice->setText(writer.notice());
    }
    refresh();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    Settings().setProgressGeometry(saveGeometry());
    QWidget::closeEvent(event);
}

} // namespace pulsavo
