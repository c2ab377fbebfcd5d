#pragma once

#include "MonitorText.h"

#include <QPixmap>
#include <QWidget>

#include <optional>

class QLabel;
class QScreen;

namespace pulsavo {

class MirrorView;
class Monitor;
class ScopePanel;

// The learners' picture for a projector or a second screen: the console's monitor panels shown
// again as large as the screen allows, with a heart-rate numeric readable from the back of a
// room, and the NIBP and respiration rate a scenario sets. It shows the console's own monitor, so
// it plays exactly what the console plays; it has no controls and steps nothing.
class ProjectorWindow : public QWidget {
    Q_OBJECT
public:
    enum class Theme { dark, light };

    // `ecg` and `pleth` are the console's panels of `monitor`; they must outlive the window or
    // it follows them no longer.
    ProjectorWindow(const Monitor& monitor, ScopePanel* ecg, ScopePanel* pleth,
                    QWidget* parent = nullptr);

    void setTheme(Theme theme);
    Theme theme() const { return shownTheme; }
    // Shows the window on `screen` (nullptr: where it is), full screen or as a window there.
    void showOn(QScreen* screen, bool fullScreen);

    // Reads the numerics off the monitor; the console calls it after each wake of its clock.
    void showReadings();
    QString heartRateText() const;
    // The NIBP and the respiration rate as shown, "---" while unset.
    QString pressureText() const;
    QString respirationText() const;
    MirrorView* ecgView() const { return ecg; }

    // The class on the room's network as the room sees it: how to join, and while a question is
    // open how many have answered. Only that number: counts per option would lead the room.
    struct ClassShown {
        QString code; // empty: no class, and nothing of it shown
        QString page;
        std::optional<int> answered;
        int learners = 0;
    };
    void showClass(const ClassShown& shown);
    // The class's lines as shown, empty without a class.
    QString classText() const;

    static QString themeName(Theme theme);
    static Theme parseTheme(const QString& name);

signals:
    void closed();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void retranslate();
    void applyTheme();
    void scaleFonts();
    void scaleQr();
    void showClassLines();

    const Monitor& monitor;
    Theme shownTheme = Theme::dark;
    MirrorView* ecg = nullptr;
    MirrorView* pleth = nullptr;
    QLabel* ecgCaption = nullptr;
    QLabel* plethCaption = nullptr;
    QLabel* heartRateCaption = nullptr;
    QLabel* heartRateValue = nullptr;
    QLabel* saturationCaption = nullptr;
    QLabel* saturationValue = nullptr;
    EnteredLabels entered;
    QLabel* frozenLabel = nullptr;
    QLabel* classLabel = nullptr;
    QLabel* pageLabel = nullptr;
    QLabel* pollLabel = nullptr;
    QLabel* qrLabel = nullptr;
    ClassShown classShown;
    QPixmap qrModules; // one pixel a module
};

} // namespace pulsavo
