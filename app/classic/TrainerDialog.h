#pragma once

#include "Settings.h"

#include "BeatTone.h"
#include "DialogUnits.h"
#include "Language.h"
#include "Monitor.h"
#include "MonitorClock.h"
#include "Simulation.h"

#include <QDialog>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace pulsavo {

class CaliperOverlay;
class LadderPanel;
class MonitorActions;
class PracticeWindow;
class WardWindow;
class InstructorConsole;
class ProgressWindow;
class GradebookWindow;
class ScopePanel;

// The trainer's classic window: the rhythm list, the name and explanation boxes, the monitor
// panel and the two buttons. It owns its monitor and the 10 ms clock that drives it.
class TrainerDialog : public QDialog {
    Q_OBJECT
public:
    enum class Direction { load, save };

    // The lowest point a ventricular beat on the baseline reaches, plus one.
    static constexpr int minimumScopeHeight = 136;

    // Control positions in pixels for a font's dialog units. When the font makes the panel's
    // drawing area lower than minimumScopeHeight, the panel grows and everything below it
    // moves down by the same amount.
    struct Layout {
        QSize dialog;
        QRect closeButton;
        QRect nameEdit;
        QRect explanationEdit;
        QRect scopePanel;
        QRect rhythmList;
        QRect decideButton;
        QRect selectionLabel;
        QRect explanationLabel;
    };
    static Layout layoutFor(const DialogUnits& units);

    // Without a tone sink the dialog opens the desktop's beat tone.
    explicit TrainerDialog(std::unique_ptr<ToneSink> tone = nullptr, QWidget* parent = nullptr);
    ~TrainerDialog() override;

    void exchangeData(Direction direction);
    bool initDialog();

    void onDecide();
    void onListDoubleClick();
    // One 10 ms tick now, outside the clock's own count (tests and benchmarks).
    void advanceOneTick();
    void onAbout();
    void onPractice();

    // Freezes the monitor (no ticks, no tone, the trace stays) for measuring, or resumes it
    // where it stopped. Pause, F and the context menu toggle it.
    void setFrozen(bool on);
    bool isFrozen() const { return monitor.isPaused(); }
    // ECG paper on the panel; remembered.
    void setGrid(bool on);
    // The beat tone's mode; remembered.
    void setToneMode(Monitor::ToneMode mode);
    CaliperOverlay* caliperOverlay() const { return overlay; }

    // The progress window (成績), one per dialog, read afresh each time it is opened.
    void onProgress();
    void onGradebook();
    ProgressWindow* progressWindow() const;

    QTimer& frameTimer() { return clock.frameTimer(); }
    MonitorClock& monitorClock() { return clock; }
    QMenu* systemMenu() const { return menu; }
    QAction* aboutAction() const { return about; }
    QAction* practiceAction() const { return practiceItem; }

    // The ladder diagram under the monitor, on or off; remembered.
    void setLadder(bool on);
    // The library's rhythms listed below the classic 18, which stay the list's first entries;
    // off unless chosen, remembered.
    void setLibraryListed(bool on);
    bool isLibraryListed() const;
    LadderPanel* ladder() const { return ladderPanel; }
    // Writes the last `seconds` of the monitor as a strip on ECG paper (PNG, SVG or PDF by the
    // file's suffix), whole or not at all; false with the reason in `error` when it cannot.
    bool saveStrip(const QString& path, int seconds, QString* error = nullptr);
    void onSaveStrip();

    // The practice window the context menu opened, while it is open.
    PracticeWindow* practiceWindow() const;
    // The ward monitor (病棟モニター), one per dialog; the classic monitor rests while it is open.
    void onWard();
    WardWindow* wardWindow() const;
    // The instructor's console (インストラクター), one per dialog; the classic monitor rests while
    // it is open.
    void onInstructor();
    InstructorConsole* instructorConsole() const;
    // The answers database the practice window uses; empty for the default location.
    QString practiceDatabase;

    QMenu* languageMenu() const;
    QMenu* highlightMenu() const;

    // Sets how the monitor marks what to notice and remembers it for the next start.
    void chooseHighlight(Sweep::Highlight style);

    // What a screen reader hears for the monitor: the rhythm and, where the rhythm has one
    // steady rate, its rate per minute from the beat interval in 10 ms ticks.
    static QString monitorDescription(std::optional<Rhythm> rhythm, int beatInterval,
                                      catalogue::Language language);

    // The QSettings key of the remembered highlight style.
    static constexpr const char* highlightKey = Settings::highlightKey;
    QRect scopeArea() const { return scopeRect; }

    // The rhythm of the selected list entry, by the id it carries rather than its display name.
    std::optional<Rhythm> selectedRhythm() const;
    static constexpr int rhythmRole = Qt::UserRole;

    // Where a decision takes its seed from: the current second. Decisions by hand seldom share
    // one, and a saved strip's caption records it, so the trace can be played again.
    std::function<std::uint32_t()> seedSource;

    Monitor monitor{1, 1};
    Simulation& simulation = monitor.simulation();

protected:
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void buildSystemMenu();
    void showSystemMenu(const QPoint& globalPos);
    void buildMeasureItems();

    // Every text in the current language: controls, menu, list names, the boxes' rhythm text
    // and the accessible names and descriptions.
    void retranslate();
    void describeMonitor();

    QString nameText;
    QString selectionText;
    QString explanationText;

    QPushButton* closeButton = nullptr;
    QLineEdit* nameEdit = nullptr;
    QPlainTextEdit* explanationEdit = nullptr;
    ScopePanel* scopePanel = nullptr;
    QListWidget* rhythmList = nullptr;
    QPushButton* decideButton = nullptr;
    QLabel* selectionLabel = nullptr;
    QLabel* explanationLabel = nullptr;
    QMenu* menu = nullptr;
    QAction* closeItem = nullptr;
    QAction* gridItem = nullptr;
    QAction* ladderItem = nullptr;
    QAction* libraryItem = nullptr;
    QAction* saveStripItem = nullptr;
    QMenu* toneMenu = nullptr;
    LadderPanel* ladderPanel = nullptr;
    static constexpr int ladderGap = 2;
    QAction* checkItem = nullptr;
    QAction* thresholdToneItem = nullptr;
    QAction* qrsToneItem = nullptr;
    CaliperOverlay* overlay = nullptr;
    QAction* about = nullptr;
    QAction* practiceItem = nullptr;
    QPointer<PracticeWindow> practice;
    QAction* progressItem = nullptr;
    QPointer<ProgressWindow> progress;
    QAction* gradebookItem = nullptr;
    QPointer<GradebookWindow> gradebook;
    void restWhileOpen(QWidget* window);
    QAction* wardItem = nullptr;
    QPointer<WardWindow> ward;
    QAction* instructorItem = nullptr;
    QPointer<InstructorConsole> instructor;

    MonitorActions* shared = nullptr;

    // What the boxes show: nothing yet, or the outcome of the last decision (a rhythm, or no
    // selection), so that a language change can show it again in the new language.
    bool decided = false;
    std::optional<Rhythm> shownRhythm;
    Layout templateLayout;

    QRect scopeRect;
    MonitorClock clock;
    std::unique_ptr<ToneSink> tone;
};

} // namespace pulsavo
