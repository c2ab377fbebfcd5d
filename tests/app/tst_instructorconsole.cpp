#include "InstructorConsole.h"
#include "MirrorView.h"
#include "ProjectorWindow.h"
#include "ScopePanel.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace pulsavo;

namespace {

struct SilentBeat : ToneSink {
    void sound() override {}
};

std::unique_ptr<InstructorConsole> makeConsole() {
    auto console = std::make_unique<InstructorConsole>(std::make_unique<SilentBeat>());
    console->show();
    return console;
}

// Every panel pixel, sampled at its centre where the projector draws it, has the panel's colour
// in the projector's theme; the first mismatch as "x,y", or empty.
QString firstMismatch(const QImage& panel, MirrorView& view, bool light) {
    const QImage shown = view.grab().toImage();
    const QRectF place = view.placement();
    const qreal sx = place.width() / panel.width();
    const qreal sy = place.height() / panel.height();
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x) {
            const QRgb dark = panel.pixel(x, y) | 0xff000000U;
            const QRgb expected = light ? MirrorView::lightColour(dark) : dark;
            const QPoint at(int(place.left() + (x + 0.5) * sx), int(place.top() + (y + 0.5) * sy));
            if ((shown.pixel(at) | 0xff000000U) != expected) {
                return QStringLiteral("%1,%2").arg(x).arg(y);
            }
        }
    }
    return {};
}

} // namespace

class InstructorConsoleTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void projectorShowsTheConsolesMonitor_data();
    void projectorShowsTheConsolesMonitor();
    void freezeHoldsEveryPicture();

private:
    QTemporaryDir settingsDir;
};

void InstructorConsoleTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
}

void InstructorConsoleTest::projectorShowsTheConsolesMonitor_data() {
    QTest::addColumn<bool>("light");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QSize>("size");
    QTest::newRow("dark, one frame") << false << 1 << QSize(1366, 768);
    QTest::newRow("dark, past a wrap") << false << 700 << QSize(1920, 1080);
    QTest::newRow("light, two sweeps") << true << 1300 << QSize(1366, 768);
}

void InstructorConsoleTest::projectorShowsTheConsolesMonitor() {
    QFETCH(bool, light);
    QFETCH(int, ticks);
    QFETCH(QSize, size);
    auto console = makeConsole();
    console->play(rhythmOf(LibraryRhythm::sinusTachycardia), 7);
    console->monitorClock().advance(150);
    ProjectorWindow* projector = console->openProjector();
    QVERIFY(projector != nullptr);
    projector->resize(size);
    projector->setTheme(light ? ProjectorWindow::Theme::light : ProjectorWindow::Theme::dark);
    for (int i = 0; i < ticks; ++i) {
        console->monitorClock().advance(1);
    }
    const QImage panel = console->ecgPanel()->backingImage();
    QCOMPARE(firstMismatch(panel, *projector->ecgView(), light), QString());
    QVERIFY(projector->ecgView()->placement().width() >= size.width() / 2);
    // The numeric is the console monitor's own reading.
    const auto rate = console->monitor().heartRate().rate();
    QVERIFY(rate.has_value());
    QCOMPARE(projector->heartRateText(), QString::number(*rate));
}

void InstructorConsoleTest::freezeHoldsEveryPicture() {
    auto console = makeConsole();
    ProjectorWindow* projector = console->openProjector();
    projector->resize(1366, 768);
    projector->setTheme(ProjectorWindow::Theme::dark);
    console->monitorClock().advance(120);
    console->setFrozen(true);
    const QImage panel = console->ecgPanel()->backingImage();
    const QImage shown = projector->ecgView()->grab().toImage();
    console->monitorClock().advance(200);
    QCOMPARE(console->ecgPanel()->backingImage(), panel);
    QCOMPARE(projector->ecgView()->grab().toImage(), shown);
    console->setFrozen(false);
    console->monitorClock().advance(50);
    QVERIFY(console->ecgPanel()->backingImage() != panel);
    QCOMPARE(firstMismatch(console->ecgPanel()->backingImage(), *projector->ecgView(), false),
             QString());
}

QTEST_MAIN(InstructorConsoleTest)
#include "tst_instructorconsole.moc"
