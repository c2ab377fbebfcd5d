#include "CatalogueText.h"
#include "ClassLearner.h"
#include "ClassPanel.h"
#include "DebriefPanel.h"
#include "InstructorConsole.h"
#include "LanguageManager.h"
#include "LearnerWindow.h"
#include "MirrorView.h"
#include "ParameterPanel.h"
#include "ProjectorWindow.h"
#include "ScenarioFile.h"
#include "ScenarioPanel.h"
#include "ScopePanel.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace pulsavo;
using conduction::LiveParameterId;

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

scenario::Scenario twoSteps() {
    scenario::Scenario played;
    played.title = {QStringLiteral("徐脈"), QStringLiteral("Bradycardia")};
    scenario::Step first;
    first.title = {QStringLiteral("洞調律"), QStringLiteral("Sinus")};
    first.rhythm = LibraryRhythm::sinusRhythm;
    first.advance = scenario::Advance::manual;
    scenario::Step second = first;
    second.title = {QStringLiteral("完全房室ブロック"), QStringLiteral("Complete block")};
    second.rhythm = LibraryRhythm::chbNarrow;
    played.steps = {first, second};
    return played;
}

} // namespace

class InstructorConsoleTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void projectorShowsTheConsolesMonitor_data();
    void projectorShowsTheConsolesMonitor();
    void freezeHoldsEveryPicture();
    void pendingChangesApplyTogether_data();
    void pendingChangesApplyTogether();
    void keysFireEvents_data();
    void keysFireEvents();
    void scenarioFiles_data();
    void scenarioFiles();
    void scenarioVitalsReachTheRoom();
    void editorKeepsFilesWhole();
    void classPlaysTheConsolesTrace();

private:
    QTemporaryDir dir;
};

void InstructorConsoleTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
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
    console->play(LibraryRhythm::sinusTachycardia, 7);
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
    QVERIFY(projector->ecgView()->placement().width() >= size.width() / 2.0);
    // The numeric is the console monitor's own reading.
    const auto rate = console->monitor().heartRate().rate();
    QVERIFY(rate.has_value());
    QCOMPARE(projector->heartRateText(), QString::number(*rate));

    // A class adds the join row: the code, the page, and a QR code of whole pixels to a module
    // that grows with the window; a question adds how many answered and nothing more.
    const QString page = QStringLiteral("http://192.168.1.20:40000/?code=KX79QA");
    projector->showClass({QStringLiteral("KX79QA"), page, std::nullopt, 3});
    QVERIFY(projector->classText().contains(QStringLiteral("KX7 9QA")));
    QVERIFY(projector->classText().contains(page));
    QVERIFY(!projector->classText().contains(QStringLiteral("/ 3")));
    const int modules = ClassPanel::qrPixmap(page, 1).width();
    const int qr = projector->findChild<QLabel*>(QStringLiteral("projectorQr"))->pixmap().width();
    QCOMPARE(qr % modules, 0);
    QCOMPARE(qr / modules, std::max(2, projector->height() / 5 / modules));
    projector->showClass({QStringLiteral("KX79QA"), page, 2, 3});
    QVERIFY(projector->classText().endsWith(QStringLiteral("2 / 3 人")) ||
            projector->classText().endsWith(QStringLiteral("2 / 3 answered")));
    projector->showClass({});
    QVERIFY(projector->classText().isEmpty());
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
    const auto& entries = console->debriefLog().entries();
    QCOMPARE(entries.at(entries.size() - 2).kind, scenario::EntryKind::freeze);
    QCOMPARE(entries.back().kind, scenario::EntryKind::resume);
}

void InstructorConsoleTest::pendingChangesApplyTogether_data() {
    QTest::addColumn<int>("seconds");
    QTest::newRow("at once") << 0;
    QTest::newRow("ramp over 20 s") << 20;
}

// Two edits wait in the panel until applied, then reach the console's own monitor together.
void InstructorConsoleTest::pendingChangesApplyTogether() {
    QFETCH(int, seconds);
    auto console = makeConsole();
    console->play(LibraryRhythm::sinusRhythm, 3);
    Simulation& model = console->monitor().simulation();
    const double startRate =
        conduction::liveValue(model.libraryParameters(), LiveParameterId::atrialRate);
    ParameterPanel* panel = console->parameterPanel();
    panel->setPending(LiveParameterId::atrialRate, 40);
    panel->setPending(LiveParameterId::prMs, 240);
    panel->setRampSeconds(seconds);
    QCOMPARE(panel->pending().size(), std::size_t{2});
    QCOMPARE(conduction::liveValue(model.libraryTarget(), LiveParameterId::atrialRate), startRate);

    console->applyPending();
    QVERIFY(panel->pending().empty());
    QCOMPARE(conduction::liveValue(model.libraryTarget(), LiveParameterId::atrialRate), 40.0);
    QCOMPARE(model.libraryRamp().has_value(), seconds > 0);
    if (seconds > 0) {
        console->monitorClock().advance(seconds * ticksPerSecond / 2);
        const double halfway =
            conduction::liveValue(model.libraryParameters(), LiveParameterId::atrialRate);
        QVERIFY2(halfway < startRate - 5 && halfway > 45, qPrintable(QString::number(halfway)));
    }
    console->monitorClock().advance(seconds * ticksPerSecond + 300);
    QVERIFY(!model.libraryRamp().has_value());
    QCOMPARE(conduction::liveValue(model.libraryParameters(), LiveParameterId::atrialRate), 40.0);
    QCOMPARE(conduction::liveValue(model.libraryParameters(), LiveParameterId::prMs), 240.0);
    const auto& entries = console->debriefLog().entries();
    QCOMPARE(entries.back().kind, scenario::EntryKind::parameter);
    QCOMPARE(entries.back().detail, seconds > 0 ? QStringLiteral("ramp 20 s") : QString());
}

void InstructorConsoleTest::keysFireEvents_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<int>("kind"); // the wave that shows it, -1: the pacer's state instead
    QTest::addColumn<int>("role");
    QTest::newRow("V: a PVC") << int(Qt::Key_V) << "pvc" << int(WaveKind::ventricularBeat)
                              << int(WaveRole::ventricular);
    QTest::newRow("B: a blocked beat")
        << int(Qt::Key_B) << "block_beat" << int(WaveKind::p) << int(WaveRole::blocked);
    QTest::newRow("D: a shock") << int(Qt::Key_D) << "defibrillate" << int(WaveKind::shock)
                                << int(WaveRole::artifact);
    QTest::newRow("P: pacing on") << int(Qt::Key_P) << "pacing_on" << -1 << -1;
}

void InstructorConsoleTest::keysFireEvents() {
    QFETCH(int, key);
    QFETCH(QString, logged);
    QFETCH(int, kind);
    QFETCH(int, role);
    auto console = makeConsole();
    console->play(LibraryRhythm::sinusRhythm, 11);
    console->monitorClock().advance(300);
    const long long from = console->monitor().tickCount();
    QApplication::setActiveWindow(console.get());
    QTest::keyClick(console.get(), Qt::Key(key));
    QCOMPARE(console->debriefLog().entries().back().subject, logged);
    QCOMPARE(console->debriefLog().entries().back().value, QString());
    console->monitorClock().advance(300);
    if (kind < 0) {
        QCOMPARE(console->monitor().simulation().libraryTarget().pacer,
                 conduction::Pacer::ventricular);
        return;
    }
    bool seen = false;
    for (const WaveEvent& wave : console->monitor().events(from, from + 300)) {
        seen = seen || (int(wave.kind) == kind && int(wave.role) == role);
    }
    QVERIFY(seen);
}

void InstructorConsoleTest::scenarioFiles_data() {
    QTest::addColumn<QByteArray>("damaged");
    QTest::addColumn<QString>("named"); // what the notice must name
    QByteArray unknownRhythm = scenario::scenarioJson(twoSteps());
    unknownRhythm.replace("chb_narrow", "no_such_rhythm");
    QTest::newRow("not JSON") << QByteArray("{\"version\": 1, \"steps\": [") << "JSON";
    QTest::newRow("unknown rhythm in step 2") << unknownRhythm << "2（完全房室ブロック）";
    QTest::newRow("NUL bytes") << QByteArray("{\"version\"\0: 1}", 15) << "NUL";
}

// A valid file plays step by step on the console's monitor; a damaged one opened after it
// leaves the steps and the play as they were and says why.
void InstructorConsoleTest::scenarioFiles() {
    QFETCH(QByteArray, damaged);
    QFETCH(QString, named);
    auto console = makeConsole();
    ScenarioPanel* panel = console->scenarioPanel();
    const QString good = dir.filePath(QStringLiteral("good.json"));
    const auto saved = scenario::saveScenarioFile(twoSteps(), good);
    QVERIFY2(!saved.has_value(), qPrintable(saved.value_or(QString())));
    QVERIFY(panel->openFile(good));
    QVERIFY(panel->start(5));
    console->monitorClock().advance(10);
    QCOMPARE(console->monitor().simulation().rhythm(), rhythmOf(LibraryRhythm::sinusRhythm));
    QVERIFY(panel->runner()->waitsForInstructor());

    const QString bad = dir.filePath(QStringLiteral("bad.json"));
    {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(damaged);
    }
    QVERIFY(!panel->openFile(bad));
    QVERIFY(!panel->notice().isEmpty());
    QVERIFY2(panel->notice().contains(named), qPrintable(panel->notice()));
    QCOMPARE(panel->edited(), twoSteps());
    QVERIFY(panel->runner() != nullptr);

    panel->advance();
    console->monitorClock().advance(10);
    QCOMPARE(panel->runner()->currentStep(), 1);
    QCOMPARE(console->monitor().simulation().rhythm(), rhythmOf(LibraryRhythm::chbNarrow));

    // The log of the run prints; a folder that is not there gives a reason and no file.
    DebriefPanel view(console->debriefLog());
    const QString pdf = dir.filePath(QStringLiteral("debrief.pdf"));
    QVERIFY(!view.savePdf(pdf).has_value());
    QFile printed(pdf);
    QVERIFY(printed.open(QIODevice::ReadOnly));
    QVERIFY(printed.read(5) == "%PDF-");
    QVERIFY(view.savePdf(dir.filePath(QStringLiteral("none/debrief.pdf"))).has_value());
}

// A step's vitals reach the console and the projector. A step naming none keeps the last cuff
// reading and its stamp, so its age grows as on a bedside monitor; a new run starts from none.
void InstructorConsoleTest::scenarioVitalsReachTheRoom() {
    auto console = makeConsole();
    ProjectorWindow* projector = console->openProjector();
    ScenarioPanel* panel = console->scenarioPanel();
    const auto* consolePressure = console->findChild<QLabel*>(QStringLiteral("consolePressure"));
    scenario::Scenario withVitals = twoSteps();
    withVitals.steps[0].vitals = {88, 90, 60, 28};
    const QString vitalsPath = dir.filePath(QStringLiteral("vitals.json"));
    const QString plainPath = dir.filePath(QStringLiteral("plain.json"));
    QVERIFY(!scenario::saveScenarioFile(withVitals, vitalsPath).has_value());
    QVERIFY(!scenario::saveScenarioFile(twoSteps(), plainPath).has_value());
    QVERIFY(panel->openFile(vitalsPath));
    QVERIFY(panel->start(3));
    console->monitorClock().advance(10);
    QCOMPARE(projector->pressureText(), QStringLiteral("90/60"));
    QCOMPARE(projector->respirationText(), QStringLiteral("28"));
    QCOMPARE(consolePressure->text(), QStringLiteral("90/60"));
    QCOMPARE(console->monitor().simulation().plethChannel().saturationSetting(), 88);
    const auto taken = console->monitor().scenarioVitals().bloodPressure->takenAtTick;

    panel->advance();
    console->monitorClock().advance(10);
    QCOMPARE(panel->runner()->currentStep(), 1);
    QCOMPARE(projector->pressureText(), QStringLiteral("90/60"));
    QCOMPARE(projector->respirationText(), QStringLiteral("28"));
    QCOMPARE(console->monitor().scenarioVitals().bloodPressure->takenAtTick, taken);

    QVERIFY(panel->openFile(plainPath));
    QVERIFY(panel->start(4));
    console->monitorClock().advance(10);
    QCOMPARE(projector->pressureText(), QStringLiteral("---/---"));
    QCOMPARE(projector->respirationText(), QStringLiteral("---"));
}

// Steps added, moved and removed reach the file only through validation: a scenario that does not
// validate leaves the file on disk as it was and says why.
void InstructorConsoleTest::editorKeepsFilesWhole() {
    auto console = makeConsole();
    ScenarioPanel* panel = console->scenarioPanel();
    const QString path = dir.filePath(QStringLiteral("edited.json"));
    QVERIFY(!scenario::saveScenarioFile(twoSteps(), path).has_value());
    QVERIFY(panel->openFile(path));
    panel->addStep(); // after the first: a third step, a copy of its rhythm
    QCOMPARE(panel->edited().steps.size(), std::size_t{3});
    QCOMPARE(panel->edited().steps[1].rhythm, LibraryRhythm::sinusRhythm);
    panel->moveStep(1); // the new step down past the block
    QCOMPARE(panel->edited().steps[1].rhythm, LibraryRhythm::chbNarrow);
    QVERIFY(panel->saveFile(path));
    QCOMPARE(scenario::readScenarioFile(path).scenario->steps.size(), std::size_t{3});

    panel->removeStep();
    panel->removeStep();
    panel->removeStep();
    QVERIFY(panel->edited().steps.empty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    QVERIFY(!panel->saveFile(path));
    QVERIFY(!panel->notice().isEmpty());
    QVERIFY(!panel->start(1));
    file.seek(0);
    QCOMPARE(file.readAll(), before);
}

// A class hosted from the console: a learner's model plays the console's own trace, through
// a cut, an event, a freeze and a scenario step, and its answer reaches the debrief log.
void InstructorConsoleTest::classPlaysTheConsolesTrace() {
    auto console = makeConsole();
    // Stepped here alone, so that the waits for the network add no ticks.
    console->monitorClock().stop();
    console->play(LibraryRhythm::sinusRhythm, 3);
    console->monitorClock().advance(250);
    QVERIFY(console->classPanel()->startClass(QHostAddress::LocalHost));
    const long long base = console->monitor().simulation().tickCount;
    classroom::ClassLearner learner;
    std::vector<int> played;
    learner.model().setOnStep(
        [&played](std::int64_t, const TickSample& s) { played.push_back(s.y); });
    learner.model().setOnRestart([&played] { played.clear(); });
    QString error;
    classroom::ClassHost* host = console->classPanel()->host();
    QVERIFY(learner.join(host->joinUrl().toString(), host->code(), QStringLiteral("山田"), &error));
    QTRY_COMPARE_WITH_TIMEOUT(learner.status(), classroom::ClassLearner::Status::joined, 20000);
    // A learner's window too, on its own clock behind the class.
    LearnerWindow window(std::make_unique<SilentBeat>());
    QVERIFY(window.join(host->joinUrl().toString(), host->code(), QStringLiteral("佐藤")));
    QTRY_COMPARE_WITH_TIMEOUT(window.learner().status(), classroom::ClassLearner::Status::joined,
                              20000);
    console->monitorClock().advance(300);
    console->play(LibraryRhythm::mobitz1, 8);
    console->monitorClock().advance(300);
    console->fire(InstructorConsole::Event::pvc);
    console->monitorClock().advance(200);
    console->setFrozen(true);
    console->monitorClock().advance(100);
    console->setFrozen(false);
    console->changeTo(LibraryRhythm::chbNarrow, 9, {conduction::TransitionKind::direct, 0});
    console->monitorClock().advance(400);
    const long long classTicks = console->monitor().simulation().tickCount - base;
    // The host confirms its tick every few; every entry was sent when it was made.
    QTRY_VERIFY_WITH_TIMEOUT(
        learner.confirmedTick() >= classTicks - classroom::ClassHost::syncEveryTicks, 20000);
    learner.model().stepTo(classTicks);
    std::vector<int> shown;
    for (const TickSample& s : console->monitor().history(static_cast<int>(classTicks))) {
        shown.push_back(s.y);
    }
    QCOMPARE(played.size(), shown.size());
    QVERIFY(played == shown);
    QTRY_VERIFY_WITH_TIMEOUT((window.follow(), window.monitor().tickCount() >= classTicks), 20000);
    std::vector<int> seen;
    for (const TickSample& s : window.monitor().history(int(window.monitor().tickCount()))) {
        seen.push_back(s.y);
    }
    seen.resize(std::size_t(classTicks));
    QVERIFY(seen == shown);
    QVERIFY(learner.model().timeline().size() >= 5);

    // The projector shows the room how to join and, while the question is open, how many of the
    // two learners answered, never which option.
    ProjectorWindow* projector = console->openProjector();
    const QString code = host->code();
    QVERIFY(projector->classText().contains(code.left(3) + QLatin1Char(' ') + code.mid(3)));
    QVERIFY(projector->classText().contains(host->pageUrl().toString()));
    QVERIFY(console->classPanel()->askRhythm());
    QTRY_VERIFY_WITH_TIMEOUT(learner.currentPoll().poll != 0, 20000);
    QVERIFY(projector->classText().contains(QStringLiteral("0 / 2")));
    QVERIFY(learner.answer(learner.currentPoll().poll, console->classPanel()->poll().correct));
    QTRY_COMPARE_WITH_TIMEOUT(console->debriefLog().entries().back().kind,
                              scenario::EntryKind::answer, 20000);
    QVERIFY2(projector->classText().contains(QStringLiteral("1 / 2")),
             qPrintable(projector->classText()));
    const scenario::DebriefEntry& answer = console->debriefLog().entries().back();
    QCOMPARE(answer.subject, QStringLiteral("山田"));
    QCOMPARE(answer.value, rhythmName(rhythmOf(LibraryRhythm::chbNarrow),
                                      LanguageManager::instance().language()));
    // A number in the log is a value, never read as a rhythm's number.
    QCOMPARE(DebriefPanel::shownText(QStringLiteral("4")), QStringLiteral("4"));
    QVERIFY(DebriefPanel::shownText(QStringLiteral("mobitz_1")) != QStringLiteral("mobitz_1"));
    auto* closeButton =
        console->classPanel()->findChild<QPushButton*>(QStringLiteral("classClosePoll"));
    QVERIFY(closeButton != nullptr && closeButton->isEnabled());
    console->classPanel()->closePoll();
    QVERIFY(!closeButton->isEnabled());
    QVERIFY(!projector->classText().contains(QStringLiteral("1 / 2")));
    console->classPanel()->endClass();
    QVERIFY(projector->classText().isEmpty());
}

QTEST_MAIN(InstructorConsoleTest)
#include "tst_instructorconsole.moc"
