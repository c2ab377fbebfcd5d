#include "CaliperOverlay.h"

#include "Monitor.h"
#include "ScopePanel.h"

#include <QAction>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace pulsavo {

namespace {

using calipers::Kind;
using calipers::MarkKind;

const QColor caliperColour{255, 220, 0};
const QColor selectedColour{255, 255, 255};
const QColor rightColour{80, 200, 255};
const QColor wrongColour{255, 120, 200};

QColor markColour(MarkKind kind) {
    switch (kind) {
    case MarkKind::pOnset:
        return {0, 200, 255};
    case MarkKind::qrsOnset:
        return {255, 0, 255};
    case MarkKind::rPeak:
        return {255, 255, 255};
    case MarkKind::tEnd:
        return {255, 150, 0};
    }
    return {};
}

// Close enough to a caliper's line to pick it with a click.
constexpr int pickDistance = 3;

} // namespace

CaliperOverlay::CaliperOverlay(ScopePanel* parentPanel) : QWidget(parentPanel), panel(parentPanel) {
    setObjectName(QStringLiteral("caliperOverlay"));
    setFocusPolicy(Qt::NoFocus);
    setGeometry(panel->clientRect());
    // Hidden while the monitor runs, so that the ticks' repaints do not pass through it.
    hide();

    // Shortcuts of the window the panel is in, live only while there are calipers, so that
    // Escape and the digits keep their usual meaning otherwise.
    const auto makeAction = [this](const QString& text, const QKeySequence& key, const char* name) {
        auto* action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(false);
        addAction(action);
        return action;
    };
    removeItem =
        makeAction(tr("キャリパーを削除"), QKeySequence(Qt::Key_Delete), "removeCaliperAction");
    connect(removeItem, &QAction::triggered, this, &CaliperOverlay::removeSelected);
    clearItem = makeAction(tr("キャリパーをすべて消去"), QKeySequence(Qt::Key_Escape),
                           "clearCalipersAction");
    connect(clearItem, &QAction::triggered, this, &CaliperOverlay::clear);
    const std::array<Qt::Key, calipers::kindCount> keys{Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4};
    for (int i = 0; i < calipers::kindCount; ++i) {
        const auto kind = static_cast<Kind>(i);
        QAction* action = makeAction(
            kindName(kind), QKeySequence(keys[static_cast<std::size_t>(i)]), "caliperKindAction");
        connect(action, &QAction::triggered, this, [this, kind] { setKind(kind); });
        kindItems.push_back(action);
    }
}

void CaliperOverlay::setMonitor(const Monitor* shown) {
    monitor = shown;
    clear();
}

void CaliperOverlay::followFreeze(bool frozen) {
    if (!frozen) {
        clear();
    }
    setGeometry(panel->clientRect());
    setVisible(frozen);
}

QString CaliperOverlay::kindName(Kind kind) {
    switch (kind) {
    case Kind::rr:
        return tr("RR");
    case Kind::pp:
        return tr("PP");
    case Kind::pr:
        return tr("PR");
    case Kind::qrs:
        return tr("QRS 幅");
    }
    return {};
}

QString CaliperOverlay::markLetter(MarkKind kind) {
    switch (kind) {
    case MarkKind::pOnset:
        return tr("P");
    case MarkKind::qrsOnset:
        return tr("Q");
    case MarkKind::rPeak:
        return tr("R");
    case MarkKind::tEnd:
        return tr("T");
    }
    return {};
}

QString CaliperOverlay::label(const calipers::Caliper& caliper) {
    const int ms = caliper.ms();
    // A rate is what a cycle length means; a PR or a QRS width has none.
    const bool cycle = caliper.kind == Kind::rr || caliper.kind == Kind::pp;
    const std::optional<double> rate = calipers::ratePerMinute(ms);
    if (!rate || !cycle) {
        return tr("%1 %2 ms").arg(kindName(caliper.kind)).arg(ms);
    }
    return tr("%1 %2 ms  %3/分")
        .arg(kindName(caliper.kind))
        .arg(ms)
        .arg(static_cast<int>(std::lround(*rate)));
}

QString CaliperOverlay::verdict(const Result& result) {
    if (!result.score) {
        return tr("この範囲に %1 はありません").arg(kindName(result.caliper.kind));
    }
    const calipers::Score& score = *result.score;
    const QString error = score.errorMs > 0 ? QStringLiteral("+%1").arg(score.errorMs)
                                            : QString::number(score.errorMs);
    return (score.right ? tr("正解: 真の値 %1 ms, 誤差 %2 ms")
                        : tr("ずれ: 真の値 %1 ms, 誤差 %2 ms"))
        .arg(score.truth.ms())
        .arg(error);
}

bool CaliperOverlay::frozen() const {
    return monitor != nullptr && monitor->isPaused();
}

std::optional<std::int64_t> CaliperOverlay::tickAt(int column) const {
    if (monitor == nullptr) {
        return std::nullopt;
    }
    const std::optional<long long> tick = monitor->tickAt(column);
    if (!tick) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*tick);
}

std::optional<int> CaliperOverlay::columnOf(std::int64_t tick) const {
    return monitor == nullptr ? std::nullopt : monitor->columnOf(tick);
}

std::pair<std::int64_t, std::int64_t> CaliperOverlay::visibleTicks() const {
    std::int64_t first = 0;
    std::int64_t last = 0;
    for (int column = 0; column <= width(); ++column) {
        if (const std::optional<std::int64_t> tick = tickAt(column)) {
            first = first == 0 ? *tick : std::min(first, *tick);
            last = std::max(last, *tick);
        }
    }
    return {first, last};
}

bool CaliperOverlay::addCaliper(int fromColumn, int toColumn) {
    const std::optional<std::int64_t> from = tickAt(fromColumn);
    const std::optional<std::int64_t> to = tickAt(toColumn);
    if (!from || !to || *from == *to) {
        return false;
    }
    items.push_back({std::min(*from, *to), std::max(*from, *to), nextKind});
    selected = static_cast<int>(items.size()) - 1;
    itemsChanged();
    return true;
}

void CaliperOverlay::showCalipers(std::vector<calipers::Caliper> set) {
    items = std::move(set);
    selected = -1;
    checked = false;
    itemsChanged();
    update();
}

bool CaliperOverlay::showTruth(Kind kind) {
    if (monitor == nullptr) {
        return false;
    }
    const auto [first, last] = visibleTicks();
    const std::vector<WaveEvent> events = monitor->events();
    const std::vector<calipers::Interval> truths = calipers::intervals(kind, events, first, last);
    items.clear();
    nextKind = kind;
    if (!truths.empty()) {
        const calipers::Interval& middle = truths[truths.size() / 2];
        items.push_back({middle.from, middle.to, kind});
    }
    selected = static_cast<int>(items.size()) - 1;
    itemsChanged();
    check();
    return !truths.empty();
}

void CaliperOverlay::select(int index) {
    if (index >= 0 && index < static_cast<int>(items.size())) {
        selected = index;
        update();
    }
}

void CaliperOverlay::setKind(Kind kind) {
    nextKind = kind;
    if (selected >= 0) {
        items[static_cast<std::size_t>(selected)].kind = kind;
        itemsChanged();
    }
}

void CaliperOverlay::removeSelected() {
    if (items.empty()) {
        return;
    }
    const int index = selected >= 0 ? selected : static_cast<int>(items.size()) - 1;
    items.erase(items.begin() + index);
    selected = static_cast<int>(items.size()) - 1;
    itemsChanged();
}

void CaliperOverlay::clear() {
    const bool had = !items.empty() || checked;
    items.clear();
    selected = -1;
    checked = false;
    dragFrom.reset();
    dragTo.reset();
    itemsChanged();
    if (had) {
        emit changed();
    }
}

void CaliperOverlay::itemsChanged() {
    if (items.empty() && checked && selected < 0) {
        checked = false;
    }
    const bool any = !items.empty();
    removeItem->setEnabled(any);
    clearItem->setEnabled(any || checked);
    for (QAction* action : kindItems) {
        action->setEnabled(any);
    }
    update();
    if (any) {
        emit changed();
    }
}

std::vector<calipers::Mark> CaliperOverlay::marks() const {
    if (monitor == nullptr) {
        return {};
    }
    const auto [first, last] = visibleTicks();
    const std::vector<WaveEvent> events = monitor->events();
    return calipers::marks(events, first, last);
}

std::vector<CaliperOverlay::Result> CaliperOverlay::results() const {
    std::vector<Result> scored;
    if (monitor == nullptr) {
        return scored;
    }
    const auto [first, last] = visibleTicks();
    const std::vector<WaveEvent> events = monitor->events();
    for (const calipers::Caliper& caliper : items) {
        const std::vector<calipers::Interval> truths =
            calipers::intervals(caliper.kind, events, first, last);
        scored.push_back({caliper, calipers::score(caliper, truths)});
    }
    return scored;
}

std::vector<CaliperOverlay::Result> CaliperOverlay::check() {
    checked = true;
    clearItem->setEnabled(true);
    update();
    return results();
}

void CaliperOverlay::mousePressEvent(QMouseEvent* event) {
    if (!frozen() || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int column = event->position().toPoint().x();
    dragFrom = column;
    dragTo = column;
    event->accept();
}

void CaliperOverlay::mouseMoveEvent(QMouseEvent* event) {
    if (!dragFrom) {
        event->ignore();
        return;
    }
    dragTo = std::clamp(event->position().toPoint().x(), 0, width() - 1);
    update();
}

void CaliperOverlay::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragFrom) {
        event->ignore();
        return;
    }
    const int from = *dragFrom;
    const int to = std::clamp(event->position().toPoint().x(), 0, width() - 1);
    dragFrom.reset();
    dragTo.reset();
    if (std::abs(to - from) >= 1 && addCaliper(from, to)) {
        return;
    }
    // A click picks the caliper whose line is nearest, if one is close.
    int best = pickDistance + 1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        for (const std::int64_t tick : {items[i].from, items[i].to}) {
            if (const std::optional<int> x = columnOf(tick); x && std::abs(*x - to) < best) {
                best = std::abs(*x - to);
                selected = static_cast<int>(i);
            }
        }
    }
    update();
}

void CaliperOverlay::paintEvent(QPaintEvent* /*event*/) {
    if (items.empty() && !checked && !dragFrom) {
        return;
    }
    QPainter painter(this);
    QFont small = font();
    small.setPixelSize(11);
    painter.setFont(small);

    // Each caliper's row: its label, its bar under the label, the true interval's bar just below
    // and then the verdict, none of them overlapping.
    const QFontMetrics metrics(small);
    const int lineHeight = metrics.height();
    const int rowHeight = 2 * lineHeight + 6;

    // Every caliper's lines run the panel's height: a label crossing another's would misread.
    std::vector<int> lines;
    for (const calipers::Caliper& caliper : items) {
        for (const std::int64_t tick : {caliper.from, caliper.to}) {
            if (const std::optional<int> x = columnOf(tick)) {
                lines.push_back(*x);
            }
        }
    }
    const auto textAt = [&](int from, int to, int baseline, const QString& text) {
        const int left =
            calipers::labelLeft(from, to, metrics.horizontalAdvance(text), width(), lines);
        painter.drawText(QPoint(left, baseline), text);
    };
    const std::vector<Result> scored = checked ? results() : std::vector<Result>{};
    // The marks sit at the panel's foot, each with its letter, so that they read without
    // colour; the calipers' lines and rows stop above the letters.
    QFont letterFont = small;
    letterFont.setPixelSize(10);
    letterFont.setBold(true);
    const QFontMetrics letterMetrics(letterFont);
    constexpr int markHeight = 8;
    constexpr int letterLanes = 3;
    const int letterHeight = letterMetrics.height();
    const int footBand = checked ? markHeight + (letterLanes - 1) * letterHeight : 10;
    if (checked) {
        std::vector<std::pair<int, MarkKind>> shown;
        for (const calipers::Mark& mark : marks()) {
            if (const std::optional<int> x = columnOf(mark.tick)) {
                shown.emplace_back(*x, mark.kind);
            }
        }
        std::stable_sort(shown.begin(), shown.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<int> columns;
        int letterWidth = 0;
        for (const auto& [x, kind] : shown) {
            columns.push_back(x);
            letterWidth = std::max(letterWidth, letterMetrics.horizontalAdvance(markLetter(kind)));
        }
        const std::vector<calipers::LetterPlace> places =
            calipers::letterPlaces(columns, letterWidth, width(), letterLanes);
        painter.setFont(letterFont);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const auto [x, kind] = shown[i];
            const QColor colour = markColour(kind);
            painter.fillRect(QRect(x, height() - markHeight, 1, markHeight), colour);
            painter.fillRect(QRect(x - 1, height() - 3, 3, 3), colour);
            // Lane 0 beside the short lines, the others above them.
            const int lane = places[i].lane;
            const int bottom =
                lane == 0 ? height() : height() - markHeight - 1 - (lane - 1) * letterHeight;
            painter.setPen(colour);
            painter.drawText(QPoint(places[i].left, bottom - letterMetrics.descent()),
                             markLetter(kind));
        }
        painter.setFont(small);
    }
    const int rows = std::max(1, (height() - footBand - 2) / rowHeight);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const calipers::Caliper& caliper = items[i];
        const std::optional<int> from = columnOf(caliper.from);
        const std::optional<int> to = columnOf(caliper.to);
        if (!from || !to) {
            continue;
        }
        const bool isSelected = static_cast<int>(i) == selected;
        const QColor colour = isSelected ? selectedColour : caliperColour;
        const int row = 2 + static_cast<int>(i % static_cast<std::size_t>(rows)) * rowHeight;
        const int bar = row + lineHeight + 1;
        painter.setPen(QPen(colour, 1));
        painter.drawLine(*from, 0, *from, height() - footBand);
        painter.drawLine(*to, 0, *to, height() - footBand);
        painter.drawLine(std::min(*from, *to), bar, std::max(*from, *to), bar);
        textAt(*from, *to, row + metrics.ascent(), label(caliper));
        if (checked && i < scored.size()) {
            const Result& result = scored[i];
            painter.setPen(result.score && result.score->right ? rightColour : wrongColour);
            textAt(*from, *to, bar + 4 + metrics.ascent(), verdict(result));
            if (result.score) {
                const std::optional<int> trueFrom = columnOf(result.score->truth.from);
                const std::optional<int> trueTo = columnOf(result.score->truth.to);
                if (trueFrom && trueTo) {
                    painter.drawLine(*trueFrom, bar + 2, *trueTo, bar + 2);
                }
            }
        }
    }
    if (dragFrom && dragTo) {
        painter.setPen(QPen(caliperColour, 1, Qt::DashLine));
        painter.drawLine(*dragFrom, 0, *dragFrom, height());
        painter.drawLine(*dragTo, 0, *dragTo, height());
    }
}

} // namespace pulsavo
