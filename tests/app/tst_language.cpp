#include "AboutDialog.h"
#include "Catalogue.h"
#include "LanguageManager.h"
#include "ScopePanel.h"
#include "TrainerApp.h"
#include "TrainerDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFocusFrame>
#include <QFontInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using pulsavo::LanguageManager;
using pulsavo::Rhythm;
using pulsavo::TrainerDialog;
using Language = pulsavo::catalogue::Language;
namespace catalogue = pulsavo::catalogue;

namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

class SilentTone : public pulsavo::ToneSink {
public:
    void sound() override {}
};

QSettings settings() {
    return QSettings(QStringLiteral("Pulsavo"), QStringLiteral("Pulsavo"));
}

// Everything the learner reads in the classic dialog and its menu, in one list.
QStringList visibleTexts(TrainerDialog& dialog) {
    QStringList texts;
    for (const char* name : {"closeButton", "decideButton"}) {
        texts << dialog.findChild<QPushButton*>(QLatin1String(name))->text();
    }
    for (const char* name : {"selectionLabel", "explanationLabel"}) {
        texts << dialog.findChild<QLabel*>(QLatin1String(name))->text();
    }
    texts << dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->text();
    texts << dialog.findChild<QPlainTextEdit*>(QStringLiteral("explanationEdit"))->toPlainText();
    const auto* list = dialog.findChild<QListWidget*>(QStringLiteral("rhythmList"));
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
    }
    for (const QMenu* menu : {dialog.systemMenu(), dialog.languageMenu(), dialog.highlightMenu()}) {
        for (const QAction* action : menu->actions()) {
            texts << action->text();
        }
    }
    return texts;
}

// Sets one environment variable for the test's lifetime, or unsets it for a null value.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name)) {
        if (value != nullptr) {
            qputenv(name, value);
        } else {
            qunsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (had) {
            qputenv(name, old);
        } else {
            qunsetenv(name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name;
    bool had;
    QByteArray old;
};

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void langOptionIsParsed_data();
    void langOptionIsParsed();
    void startLanguageFollowsOptionThenChoiceThenSystem_data();
    void startLanguageFollowsOptionThenChoiceThenSystem();
    void switchingRetranslatesTheClassicDialogLive();
    void aDialogOpenedInEnglishIsEntirelyEnglish();
    void aboutBoxRetranslates();
    void monitorDescriptionSaysRhythmAndRate_data();
    void monitorDescriptionSaysRhythmAndRate();
    void highlightChoiceIsRememberedAndApplied();
    void f6ReachesTheExplanationWithAVisibleRing();
    void qtTextsAndTheFontFollowTheLanguage();

private:
    std::unique_ptr<TrainerDialog> makeDialog() {
        return std::make_unique<TrainerDialog>(std::make_unique<SilentTone>());
    }
    void decide(TrainerDialog& dialog, Rhythm rhythm) {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("rhythmList"));
        list->setCurrentRow(pulsavo::indexOf(rhythm));
        dialog.onDecide();
    }
};

void TestLanguage::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestLanguage::init() {
    settings().clear();
    LanguageManager::instance().apply(Language::japanese);
}

void TestLanguage::cleanup() {
    LanguageManager::instance().apply(Language::japanese);
    settings().clear();
}

void TestLanguage::langOptionIsParsed_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("language"); // -1: none given
    QTest::newRow("none") << QStringList{} << true << -1;
    QTest::newRow("--lang en") << QStringList{"--lang", "en"} << true << 1;
    QTest::newRow("--lang=ja") << QStringList{"--lang=ja"} << true << 0;
    QTest::newRow("-lang en") << QStringList{"-lang", "en"} << true << 1;
    QTest::newRow("unknown code") << QStringList{"--lang", "fr"} << false << -1;
    QTest::newRow("a locale is not a code") << QStringList{"--lang", "ja_JP"} << false << -1;
    QTest::newRow("no value") << QStringList{"--lang"} << false << -1;
    QTest::newRow("--db takes an option")
        << QStringList{"--practice", "--db", "--lang"} << false << -1;
    QTest::newRow("--db given twice") << QStringList{"--db", "a", "--db", "b"} << false << -1;
    QTest::newRow("--lang given twice")
        << QStringList{"--lang", "en", "--lang", "ja"} << false << -1;
    QTest::newRow("control bytes") << QStringList{"\x1b[31mX\x9b"} << false << -1;
    QTest::newRow("--ward --lang en") << QStringList{"--ward", "--lang", "en"} << true << 1;
    QTest::newRow("--ward with --practice") << QStringList{"--ward", "--practice"} << false << -1;
    QTest::newRow("--ward with --gradebook") << QStringList{"--ward", "--gradebook"} << false << -1;
    QTest::newRow("--instructor --lang en")
        << QStringList{"--instructor", "--lang", "en"} << true << 1;
    QTest::newRow("--instructor with --ward")
        << QStringList{"--instructor", "--ward"} << false << -1;
    QTest::newRow("--db ./-x is a file")
        << QStringList{"--db", "./-x", "--lang", "en"} << true << 1;
}

void TestLanguage::langOptionIsParsed() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, ok);
    QFETCH(int, language);
    arguments.prepend(QStringLiteral("pulsavo"));
    const pulsavo::StartOptions options = pulsavo::parseStartOptions(arguments);
    QCOMPARE(options.action == pulsavo::StartOptions::Action::run, ok);
    if (!ok) {
        QVERIFY(!options.message.isEmpty());
        QVERIFY(!options.message.contains(QLatin1Char('\n')));
        for (const QChar c : options.message) {
            QVERIFY2(c.category() != QChar::Other_Control, qPrintable(options.message));
        }
    }
    QCOMPARE(options.language.has_value(), language >= 0);
    if (options.language) {
        QCOMPARE(static_cast<int>(*options.language), language);
    }
}

void TestLanguage::startLanguageFollowsOptionThenChoiceThenSystem_data() {
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("option"); // -1: none
    QTest::addColumn<int>("expected");
    QTest::newRow("Japanese system") << QByteArray("ja_JP.UTF-8") << QString() << -1 << 0;
    QTest::newRow("English system") << QByteArray("en_US.UTF-8") << QString() << -1 << 1;
    QTest::newRow("C locale") << QByteArray("C") << QString() << -1 << 1;
    QTest::newRow("POSIX locale") << QByteArray("POSIX") << QString() << -1 << 1;
    QTest::newRow("choice over system") << QByteArray("ja_JP.UTF-8") << "en" << -1 << 1;
    QTest::newRow("option over choice") << QByteArray("C") << "en" << 0 << 0;
    QTest::newRow("damaged choice: system") << QByteArray("ja_JP.UTF-8") << "xx" << -1 << 0;
}

void TestLanguage::startLanguageFollowsOptionThenChoiceThenSystem() {
    QFETCH(QByteArray, lang);
    QFETCH(QString, stored);
    QFETCH(int, option);
    QFETCH(int, expected);
    const ScopedEnv language("LANGUAGE", nullptr);
    const ScopedEnv all("LC_ALL", nullptr);
    const ScopedEnv messages("LC_MESSAGES", nullptr);
    const ScopedEnv langVariable("LANG", lang.constData());
    if (!stored.isEmpty()) {
        settings().setValue(QLatin1String(LanguageManager::settingsKey), stored);
    }
    const std::optional<Language> given =
        option < 0 ? std::nullopt : std::optional<Language>(static_cast<Language>(option));
    QCOMPARE(static_cast<int>(LanguageManager::startLanguage(given)), expected);
}

void TestLanguage::switchingRetranslatesTheClassicDialogLive() {
    const auto dialog = makeDialog();
    dialog->show();
    decide(*dialog, Rhythm::atrialFlutter);
    const QStringList japanese = visibleTexts(*dialog);
    auto* list = dialog->findChild<QListWidget*>(QStringLiteral("rhythmList"));
    auto* panel = dialog->findChild<pulsavo::ScopePanel*>(QStringLiteral("scopePanel"));
    const QString japaneseDescription = panel->accessibleDescription();

    QSignalSpy changed(&LanguageManager::instance(), &LanguageManager::languageChanged);
    dialog->languageMenu()->findChild<QAction*>(QStringLiteral("englishAction"))->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(changed.size(), 1);
    QCOMPARE(settings().value(QLatin1String(LanguageManager::settingsKey)).toString(),
             QStringLiteral("en"));

    QCOMPARE(dialog->findChild<QPushButton*>(QStringLiteral("closeButton"))->text(),
             QStringLiteral("Close"));
    QCOMPARE(dialog->findChild<QPushButton*>(QStringLiteral("decideButton"))->text(),
             QStringLiteral("Show"));
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("explanationLabel"))->text(),
             QStringLiteral("Explanation"));
    QCOMPARE(dialog->aboutAction()->text(), QStringLiteral("&About Tavix..."));
    QCOMPARE(dialog->languageMenu()->title(), QStringLiteral("&Language / 言語"));
    QCOMPARE(dialog->highlightMenu()->title(), QStringLiteral("&Highlight"));
    QVERIFY(
        dialog->languageMenu()->findChild<QAction*>(QStringLiteral("englishAction"))->isChecked());
    // The list: English names, the same ids, the selection kept.
    QCOMPARE(list->count(), catalogue::entryCount);
    for (int row = 0; row < list->count(); ++row) {
        QCOMPARE(list->item(row)->text(), text(catalogue::englishNames[row]));
        QCOMPARE(list->item(row)->data(TrainerDialog::rhythmRole).toInt(), row);
    }
    QCOMPARE(dialog->selectedRhythm(), std::optional<Rhythm>(Rhythm::atrialFlutter));
    // The boxes show the rhythm already on the monitor, now in English.
    QCOMPARE(dialog->findChild<QLineEdit*>(QStringLiteral("nameEdit"))->text(),
             text(catalogue::nameOf(Rhythm::atrialFlutter, Language::english)));
    QCOMPARE(dialog->findChild<QPlainTextEdit*>(QStringLiteral("explanationEdit"))->toPlainText(),
             text(catalogue::textOf(Rhythm::atrialFlutter, Language::english))
                 .replace(QLatin1String("\r\n"), QLatin1String("\n")));
    QCOMPARE(panel->accessibleDescription(), QStringLiteral("monitor: Atrial flutter (AFL)"));
    QCOMPARE(panel->accessibleName(), QStringLiteral("Monitor"));
    // Not a single Japanese text left, apart from the language menu's own names.
    for (const QString& shown : visibleTexts(*dialog)) {
        if (shown == QStringLiteral("日本語") || shown == dialog->languageMenu()->title()) {
            continue;
        }
        for (const QChar c : shown) {
            QVERIFY2(c.unicode() < 0x3000, qPrintable(QStringLiteral("Japanese left: ") + shown));
        }
    }

    // And back: every text exactly as before.
    dialog->languageMenu()->findChild<QAction*>(QStringLiteral("japaneseAction"))->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(visibleTexts(*dialog), japanese);
    QCOMPARE(panel->accessibleDescription(), japaneseDescription);
    QCOMPARE(settings().value(QLatin1String(LanguageManager::settingsKey)).toString(),
             QStringLiteral("ja"));
}

void TestLanguage::aDialogOpenedInEnglishIsEntirelyEnglish() {
    LanguageManager::instance().apply(Language::english);
    const auto dialog = makeDialog();
    decide(*dialog, Rhythm::sinusRhythm);
    dialog->findChild<QListWidget*>(QStringLiteral("rhythmList"))->clearSelection();
    dialog->onDecide();
    QCOMPARE(dialog->findChild<QPlainTextEdit*>(QStringLiteral("explanationEdit"))->toPlainText(),
             text(catalogue::englishNoSelectionMessage));
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("selectionLabel"))->text(),
             QStringLiteral("Rhythms"));
    // Labels longer in English grow rather than being cut off.
    for (const char* name : {"selectionLabel", "explanationLabel"}) {
        const auto* label = dialog->findChild<QLabel*>(QLatin1String(name));
        QVERIFY2(label->width() >= label->sizeHint().width(), name);
    }
    // Every control tells a screen reader what it is and what it is for.
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        // Qt's own parts of a control (a scroll area's viewport) are named "qt_...".
        if (control->objectName().isEmpty() ||
            control->objectName().startsWith(QLatin1String("qt_")) ||
            qobject_cast<QMenu*>(control) || qobject_cast<QFocusFrame*>(control)) {
            continue;
        }
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        QVERIFY2(!control->accessibleDescription().isEmpty(), qPrintable(control->objectName()));
        for (const QString& said : {control->accessibleName(), control->accessibleDescription()}) {
            QVERIFY2(
                std::all_of(said.begin(), said.end(), [](QChar c) { return c.unicode() < 0x3000; }),
                qPrintable(said));
        }
    }
}

void TestLanguage::aboutBoxRetranslates() {
    pulsavo::AboutDialog box;
    QCOMPARE(box.windowTitle(), QStringLiteral("バージョン情報 Tavix"));
    const QString third = box.findChild<QLabel*>(QStringLiteral("thirdLabel"))->text();
    LanguageManager::instance().apply(Language::english);
    QCoreApplication::processEvents();
    QCOMPARE(box.windowTitle(), QStringLiteral("About Tavix"));
    QCOMPARE(box.findChild<QLabel*>(QStringLiteral("thirdLabel"))->text(),
             QStringLiteral("ECG training"));
    for (QWidget* control : box.findChildren<QWidget*>()) {
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        QVERIFY2(!control->accessibleDescription().isEmpty(), qPrintable(control->objectName()));
    }
    LanguageManager::instance().apply(Language::japanese);
    QCoreApplication::processEvents();
    QCOMPARE(box.findChild<QLabel*>(QStringLiteral("thirdLabel"))->text(), third);
}

void TestLanguage::monitorDescriptionSaysRhythmAndRate_data() {
    QTest::addColumn<int>("rhythm"); // -1: none
    QTest::addColumn<int>("beatInterval");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("expected"); // %1: the rhythm's catalogue name
    QTest::newRow("sinus 72") << 0 << 83 << 1 << "monitor: %1, about 72 per minute";
    QTest::newRow("VT 200") << 10 << 30 << 1 << "monitor: %1, about 200 per minute";
    QTest::newRow("complete block, rounded")
        << 17 << 130 << 1 << "monitor: %1, about 46 per minute";
    QTest::newRow("fibrillation: no rate") << 4 << 60 << 1 << "monitor: %1";
    QTest::newRow("flutter: no rate") << 5 << 25 << 1 << "monitor: %1";
    QTest::newRow("arrest: no rate") << 12 << 0 << 1 << "monitor: %1";
    QTest::newRow("no interval yet") << 0 << 0 << 1 << "monitor: %1";
    QTest::newRow("none") << -1 << 0 << 1 << "monitor: no rhythm";
    QTest::newRow("Japanese") << 0 << 100 << 0 << "モニター：%1、毎分約 60 回";
    QTest::newRow("Japanese, none") << -1 << 0 << 0 << "モニター：波形なし";
    // The interval left over from a classic rhythm says nothing of a library one's rate.
    QTest::newRow("library sinus: no rate") << 18 << 83 << 1 << "monitor: %1";
}

void TestLanguage::monitorDescriptionSaysRhythmAndRate() {
    QFETCH(int, rhythm);
    QFETCH(int, beatInterval);
    QFETCH(int, language);
    QFETCH(QString, expected);
    const auto inLanguage = static_cast<Language>(language);
    LanguageManager::instance().apply(inLanguage);
    const std::optional<Rhythm> shown = pulsavo::anyRhythmAt(rhythm);
    if (shown) {
        expected = expected.arg(text(catalogue::nameOf(*shown, inLanguage)));
    }
    QCOMPARE(TrainerDialog::monitorDescription(shown, beatInterval, inLanguage), expected);
}

void TestLanguage::highlightChoiceIsRememberedAndApplied() {
    {
        const auto dialog = makeDialog();
        QCOMPARE(dialog->monitor.highlight(), pulsavo::Sweep::Highlight::red);
        auto* thick =
            dialog->highlightMenu()->findChild<QAction*>(QStringLiteral("thickHighlightAction"));
        QVERIFY(thick);
        thick->trigger();
        QCOMPARE(dialog->monitor.highlight(), pulsavo::Sweep::Highlight::thick);
        QVERIFY(thick->isChecked());
    }
    const auto reopened = makeDialog();
    QCOMPARE(reopened->monitor.highlight(), pulsavo::Sweep::Highlight::thick);
    QVERIFY(reopened->highlightMenu()
                ->findChild<QAction*>(QStringLiteral("thickHighlightAction"))
                ->isChecked());
    settings().setValue(QLatin1String(TrainerDialog::highlightKey), QStringLiteral("purple"));
    QCOMPARE(makeDialog()->monitor.highlight(), pulsavo::Sweep::Highlight::red);
}

// The explanation is outside the Tab order; F6 takes the focus there, shows a ring around
// it, and takes the focus back to the list.
void TestLanguage::f6ReachesTheExplanationWithAVisibleRing() {
    const auto dialog = makeDialog();
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    auto* explanation = dialog->findChild<QPlainTextEdit*>(QStringLiteral("explanationEdit"));
    auto* ring = dialog->findChild<QWidget*>(QStringLiteral("explanationFocus"));
    QVERIFY(ring);
    QVERIFY(!ring->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget(), explanation);
    QVERIFY(ring->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("rhythmList"));
    QVERIFY(!ring->isVisible());
}

// Qt's own buttons speak the window's language, and each language is set in its own faces.
void TestLanguage::qtTextsAndTheFontFollowTheLanguage() {
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                       QStringLiteral("/qtbase_ja.qm"))) {
        QSKIP("Qt's Japanese catalogue (qt6-translations-l10n) is not installed");
    }
    const auto cancel = [] {
        return QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text();
    };
    const auto face = [] { return QFontInfo(QApplication::font()).family(); };
    QCOMPARE(cancel(), QStringLiteral("キャンセル"));
    QVERIFY2(LanguageManager::japaneseFamilies().contains(face()), qPrintable(face()));
    LanguageManager::instance().apply(Language::english);
    QCOMPARE(cancel(), QStringLiteral("Cancel"));
    QVERIFY2(LanguageManager::latinFamilies().contains(face()), qPrintable(face()));
    LanguageManager::instance().apply(Language::japanese);
    QCOMPARE(cancel(), QStringLiteral("キャンセル"));
    QVERIFY2(LanguageManager::japaneseFamilies().contains(face()), qPrintable(face()));
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
