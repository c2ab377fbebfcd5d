#include "ProjectorWindow.h"

#include "ClassPanel.h"
#include "MirrorView.h"
#include "Monitor.h"
#include "MonitorText.h"
#include "Settings.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace pulsavo {

namespace {

struct Colours {
    QString background;
    QString ecg;
    QString pleth;
    QString pressure;
    QString respiration;
    QString notice;
};

// The dark theme keeps the bedside colours; the light one is for a bright room, where a
// projector washes dark colours out: black on white, the pulse in deep blue.
Colours coloursOf(ProjectorWindow::Theme theme) {
    if (theme == ProjectorWindow::Theme::light) {
        return {QStringLiteral("white"),   QStringLiteral("black"),   QStringLiteral("#003caa"),
                QStringLiteral("#404040"), QStringLiteral("#a04000"), QStringLiteral("#a04000")};
    }
    return {QStringLiteral("black"),   QStringLiteral("#00ff00"), QStringLiteral("#00c8ff"),
            QStringLiteral("#ffffff"), QStringLiteral("#ffd800"), QStringLiteral("#ffd800")};
}

} // namespace

ProjectorWindow::ProjectorWindow(const Monitor& shown, ScopePanel* ecgPanel, ScopePanel* plethPanel,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), monitor(shown) {
    setObjectName(QStringLiteral("projectorWindow"));
    setAutoFillBackground(true);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 12, 16, 12);
    ecgCaption = new QLabel(this);
    plethCaption = new QLabel(this);
    frozenLabel = new QLabel(this);
    frozenLabel->setObjectName(QStringLiteral("projectorFrozen"));
    frozenLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ecg = new MirrorView(this);
    ecg->setObjectName(QStringLiteral("projectorEcg"));
    pleth = new MirrorView(this);
    pleth->setObjectName(QStringLiteral("projectorPleth"));
    heartRateCaption = new QLabel(this);
    heartRateValue = new QLabel(this);
    heartRateValue->setObjectName(QStringLiteral("projectorHeartRate"));
    saturationCaption = new QLabel(this);
    saturationValue = new QLabel(this);
    saturationValue->setObjectName(QStringLiteral("projectorSaturation"));
    // Coloured and sized by the theme and the window, as the other numerics are.
    entered = EnteredLabels::create(this, QStringLiteral("projectorPressure"),
                                    QStringLiteral("projectorRespiration"));
    for (QLabel* value :
         {heartRateValue, saturationValue, entered.pressureValue, entered.respirationValue}) {
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    grid->addWidget(ecgCaption, 0, 0);
    grid->addWidget(frozenLabel, 0, 1);
    grid->addWidget(ecg, 1, 0, 1, 2);
    grid->addWidget(plethCaption, 2, 0);
    grid->addWidget(pleth, 3, 0, 1, 2);
    auto* numerics = new QGridLayout;
    numerics->addWidget(heartRateCaption, 0, 0);
    numerics->addWidget(heartRateValue, 1, 0);
    numerics->setRowStretch(2, 1);
    numerics->addWidget(saturationCaption, 3, 0);
    numerics->addWidget(saturationValue, 4, 0);
    numerics->addWidget(entered.pressureCaption, 5, 0);
    numerics->addWidget(entered.pressureValue, 6, 0);
    numerics->addWidget(entered.respirationCaption, 7, 0);
    numerics->addWidget(entered.respirationValue, 8, 0);
    grid->addLayout(numerics, 0, 2, 4, 1);
    // How to join, under the traces while a class runs: the code, the page and its QR code.
    classLabel = new QLabel(this);
    classLabel->setObjectName(QStringLiteral("projectorClass"));
    pageLabel = new QLabel(this);
    pageLabel->setObjectName(QStringLiteral("projectorPage"));
    pollLabel = new QLabel(this);
    pollLabel->setObjectName(QStringLiteral("projectorPoll"));
    pollLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    qrLabel = new QLabel(this);
    qrLabel->setObjectName(QStringLiteral("projectorQr"));
    auto* joining = new QVBoxLayout;
    joining->addWidget(classLabel);
    joining->addWidget(pageLabel);
    auto* classRow = new QHBoxLayout;
    classRow->addLayout(joining, 1);
    classRow->addWidget(pollLabel);
    classRow->addWidget(qrLabel);
    grid->addLayout(classRow, 4, 0, 1, 3);
    for (QLabel* part : {classLabel, pageLabel, pollLabel, qrLabel}) {
        part->hide();
    }
    grid->setRowStretch(1, 3);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 1);
    ecg->follow(ecgPanel);
    pleth->follow(plethPanel);

    const Settings stored;
    setTheme(parseTheme(stored.instructorValue(Settings::projectorThemeKey).toString()));
    if (!restoreGeometry(stored.instructorValue(Settings::projectorGeometryKey).toByteArray())) {
        resize(1024, 600);
    }
    retranslate();
    showReadings();
}

QString ProjectorWindow::themeName(Theme theme) {
    return theme == Theme::light ? QStringLiteral("light") : QStringLiteral("dark");
}

ProjectorWindow::Theme ProjectorWindow::parseTheme(const QString& name) {
    return name == QLatin1String("light") ? Theme::light : Theme::dark;
}

void ProjectorWindow::setTheme(Theme theme) {
    shownTheme = theme;
    applyTheme();
    Settings().setInstructorValue(Settings::projectorThemeKey, themeName(theme));
}

void ProjectorWindow::applyTheme() {
    const Colours colours = coloursOf(shownTheme);
    QPalette page = palette();
    page.setColor(QPalette::Window, QColor(colours.background));
    setPalette(page);
    const auto paint = [&colours](QLabel* label, const QString& colour) {
        label->setStyleSheet(
            QStringLiteral("color: %1; background: %2;").arg(colour, colours.background));
    };
    for (QLabel* label : {ecgCaption, heartRateCaption, heartRateValue}) {
        paint(label, colours.ecg);
    }
    for (QLabel* label : {plethCaption, saturationCaption, saturationValue}) {
        paint(label, colours.pleth);
    }
    paint(entered.pressureCaption, colours.pressure);
    paint(entered.pressureValue, colours.pressure);
    paint(entered.respirationCaption, colours.respiration);
    paint(entered.respirationValue, colours.respiration);
    paint(frozenLabel, colours.notice);
    paint(classLabel, colours.pressure);
    paint(pageLabel, colours.pressure);
    paint(pollLabel, colours.notice);
    ecg->setLight(shownTheme == Theme::light);
    pleth->setLight(shownTheme == Theme::light);
}

// Sizes follow the window's height, so the numeric fills the same share of any screen: a
// fifth of the height is about 15 cm on a 3 m projection, legible from 10 m.
void ProjectorWindow::scaleFonts() {
    const int unit = std::max(8, height() / 40);
    const auto sized = [](QLabel* label, int pixels, bool bold) {
        QFont font = label->font();
        font.setPixelSize(pixels);
        font.setBold(bold);
        label->setFont(font);
    };
    for (QLabel* caption : {ecgCaption, plethCaption, heartRateCaption, saturationCaption,
                            entered.pressureCaption, entered.respirationCaption}) {
        sized(caption, unit * 2, false);
    }
    sized(frozenLabel, unit * 2, true);
    sized(heartRateValue, unit * 8, true);
    sized(saturationValue, unit * 5, true);
    sized(entered.pressureValue, unit * 4, true);
    sized(entered.respirationValue, unit * 4, true);
    heartRateValue->setMinimumWidth(
        heartRateValue->fontMetrics().horizontalAdvance(QStringLiteral("888")));
    sized(classLabel, unit * 3, true);
    sized(pageLabel, unit * 2, false);
    sized(pollLabel, unit * 2, true);
    scaleQr();
}

// A whole number of pixels to a module keeps every module sharp for a phone's camera; about a
// fifth of the window's height is large enough to scan from the middle of a room.
void ProjectorWindow::scaleQr() {
    if (qrModules.isNull()) {
        qrLabel->clear();
        return;
    }
    const int factor = std::max(2, height() / 5 / qrModules.width());
    qrLabel->setPixmap(
        qrModules.scaled(qrModules.size() * factor, Qt::KeepAspectRatio, Qt::FastTransformation));
}

void ProjectorWindow::showClass(const ClassShown& shown) {
    if (shown.page != classShown.page) {
        qrModules = shown.page.isEmpty() ? QPixmap() : ClassPanel::qrPixmap(shown.page, 1);
        scaleQr();
    }
    classShown = shown;
    showClassLines();
}

void ProjectorWindow::showClassLines() {
    const bool running = !classShown.code.isEmpty();
    if (running) {
        const QString& code = classShown.code;
        classLabel->setText(tr("参加コード %1").arg(code.left(3) + QLatin1Char(' ') + code.mid(3)));
        pageLabel->setText(classShown.page);
        pollLabel->setText(classShown.answered ? tr("この波形は？\n回答 %1 / %2 人")
                                                     .arg(*classShown.answered)
                                                     .arg(classShown.learners)
                                               : QString());
    }
    classLabel->setVisible(running);
    pageLabel->setVisible(running);
    qrLabel->setVisible(running && !qrModules.isNull());
    pollLabel->setVisible(running && classShown.answered.has_value());
}

QString ProjectorWindow::classText() const {
    if (classShown.code.isEmpty()) {
        return {};
    }
    QStringList lines{classLabel->text(), pageLabel->text()};
    if (classShown.answered) {
        lines << pollLabel->text();
    }
    return lines.join(QLatin1Char('\n'));
}

void ProjectorWindow::retranslate() {
    setWindowTitle(tr("投影モニター"));
    ecgCaption->setText(tr("ECG II"));
    plethCaption->setText(tr("Pleth"));
    heartRateCaption->setText(tr("HR /分"));
    saturationCaption->setText(tr("SpO2 %"));
    showClassLines();
    showReadings();
}

void ProjectorWindow::showReadings() {
    const std::optional<int> rate = monitor.heartRate().rate();
    heartRateValue->setText(readingText(rate));
    const std::optional<int> saturation = monitor.simulation().plethChannel().saturation();
    saturationValue->setText(readingText(saturation));
    entered.show(monitor);
    frozenLabel->setText(monitor.isPaused() ? tr("一時停止中") : QString());
}

QString ProjectorWindow::heartRateText() const {
    return heartRateValue->text();
}

QString ProjectorWindow::pressureText() const {
    return entered.pressureValue->text();
}

QString ProjectorWindow::respirationText() const {
    return entered.respirationValue->text();
}

void ProjectorWindow::showOn(QScreen* screen, bool fullScreen) {
    if (screen != nullptr) {
        // A full-screen window takes the screen it is on: place it there first.
        if (isFullScreen()) {
            showNormal();
        }
        winId();
        windowHandle()->setScreen(screen);
        const QRect area = screen->availableGeometry();
        if (!area.contains(geometry())) {
            setGeometry(area.adjusted(area.width() / 10, area.height() / 10, -area.width() / 10,
                                      -area.height() / 10));
        }
        Settings().setInstructorValue(Settings::projectorScreenKey, screen->name());
    }
    Settings().setInstructorValue(Settings::projectorFullScreenKey, fullScreen);
    if (fullScreen) {
        // Without a window manager the full-screen state is only a hint: the geometry makes it so.
        if (QScreen* on = screen != nullptr ? screen : this->screen()) {
            setGeometry(on->geometry());
        }
        showFullScreen();
    } else {
        showNormal();
    }
    raise();
}

void ProjectorWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        showNormal();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ProjectorWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (isFullScreen()) {
        showNormal();
    } else {
        showFullScreen();
    }
    QWidget::mouseDoubleClickEvent(event);
}

void ProjectorWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scaleFonts();
}

void ProjectorWindow::closeEvent(QCloseEvent* event) {
    if (!isFullScreen()) {
        Settings().setInstructorValue(Settings::projectorGeometryKey, saveGeometry());
    }
    emit closed();
    QWidget::closeEvent(event);
}

void ProjectorWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange && ecgCaption != nullptr) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

} // namespace pulsavo
