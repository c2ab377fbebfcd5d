#pragma once

#include "Sweep.h"

#include <QObject>

#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace pulsavo {

class Monitor;
class ToneSink;

// The monitor actions every window with a monitor offers, built once: freeze (Pause or F, not
// Space, which presses the focused button), the language menu and the highlight style menu. The
// window places them (a context menu, a tool button) and decides what freezing means for it.
class MonitorActions : public QObject {
    Q_OBJECT
public:
    // The freeze shortcut works anywhere in `window`.
    explicit MonitorActions(QWidget* window);

    QAction* freezeAction() const { return freezeItem; }
    QMenu* languageMenu() const { return languages; }
    QMenu* highlightMenu() const { return highlights; }

    // Every text in the current language; the freeze item names what it will do.
    void retranslate(bool frozen);
    void showFrozen(bool frozen);

    // Only the window the learner works in sounds: `sink` gives the tone to sound, or nullptr
    // while the window is to stay silent.
    static void wireTone(Monitor& monitor, const std::function<ToneSink*()>& sink);

signals:
    void freezeToggled();

private:
    void showHighlight(Sweep::Highlight style);

    QAction* freezeItem = nullptr;
    QMenu* languages = nullptr;
    QAction* japaneseItem = nullptr;
    QAction* englishItem = nullptr;
    QMenu* highlights = nullptr;
    QActionGroup* highlightGroup = nullptr;
};

} // namespace pulsavo
