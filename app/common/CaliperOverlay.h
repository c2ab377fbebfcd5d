#pragma once

#include "Calipers.h"

#include <QWidget>

#include <optional>
#include <vector>

class QAction;

namespace pulsavo {

class Monitor;
class ScopePanel;

// Calipers over a frozen monitor panel. Dragging across the panel sets a pair of vertical
// lines; each shows its interval in ms and as a rate per minute. Keys while calipers exist:
// 1 to 4 choose what the selected caliper measures (RR, PP, PR, QRS), Delete removes the
// selected one, Escape removes them all. check() marks the true waves, each with its letter, and
// scores each caliper.
//
// The overlay covers the panel's drawing area, so its x is the panel's column. It reads the
// monitor's columns and event history (Monitor::setEventHistory must be on) and changes
// nothing in it. Its owner calls followFreeze() on every freeze and resume.
class CaliperOverlay : public QWidget {
    Q_OBJECT
public:
    struct Result {
        calipers::Caliper caliper;
        std::optional<calipers::Score> score; // none: no such interval in view
    };

    explicit CaliperOverlay(ScopePanel* panel);

    void setMonitor(const Monitor* shown);
    const Monitor* shownMonitor() const { return monitor; }

    // To be called whenever the monitor is frozen or resumed: the overlay shows itself on a
    // frozen monitor, and a resumed one takes its calipers and marks away.
    void followFreeze(bool frozen);

    // Columns of the panel; false when either shows no tick (wiped or never drawn) or both
    // the same one.
    bool addCaliper(int fromColumn, int toColumn);
    // Puts `set` in place of the calipers there, none selected: a guided read's measurements.
    void showCalipers(std::vector<calipers::Caliper> set);
    // Ticks from the oldest still shown to the latest drawn.
    std::pair<std::int64_t, std::int64_t> visibleTicks() const;
    std::optional<int> columnOf(std::int64_t tick) const;
    const std::vector<calipers::Caliper>& calipers() const { return items; }
    int selectedIndex() const { return selected; }
    void select(int index);
    // The kind of the selected caliper, and of the ones set after it.
    void setKind(calipers::Kind kind);

    void removeSelected();
    void clear();

    // Shows the true marks in view and each caliper's score; they follow later changes until
    // clear() or the last caliper goes.
    std::vector<Result> check();
    bool isChecked() const { return checked; }
    std::vector<calipers::Mark> marks() const;
    std::vector<Result> results() const;

    // Sets a caliper on a true interval of `kind` in view, the one in the middle, and shows the
    // true marks: how that interval is measured on this strip. False when there is none.
    bool showTruth(calipers::Kind kind);

    // The caliper label's text, e.g. "PR 160 ms  375/分".
    static QString kindName(calipers::Kind kind);
    // The letter drawn under a checked mark, one per kind: P onset, Q(RS) onset, R peak, T end.
    static QString markLetter(calipers::MarkKind kind);
    static QString label(const calipers::Caliper& caliper);
    static QString verdict(const Result& result);

    QAction* removeAction() const { return removeItem; }
    QAction* clearAction() const { return clearItem; }

signals:
    void changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool frozen() const;
    std::optional<std::int64_t> tickAt(int column) const;
    void itemsChanged();

    ScopePanel* panel;
    const Monitor* monitor = nullptr;
    std::vector<calipers::Caliper> items;
    int selected = -1;
    calipers::Kind nextKind = calipers::Kind::rr;
    bool checked = false;
    std::optional<int> dragFrom;
    std::optional<int> dragTo;
    QAction* removeItem = nullptr;
    QAction* clearItem = nullptr;
    std::vector<QAction*> kindItems;
};

} // namespace pulsavo
