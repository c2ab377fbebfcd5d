#pragma once

#include "Settings.h"

#include "Language.h"

#include <QFont>
#include <QObject>
#include <QStringList>
#include <QTranslator>

#include <optional>

namespace pulsavo {

// The language of the trainer's windows, one for the whole application. Japanese is the
// source text and needs no translator of its own, but Qt's dialogs and buttons then get Qt's
// Japanese catalogue; English installs the built-in translation. Open windows retranslate on
// QEvent::LanguageChange, or on languageChanged for what is not a tr() string (catalogue names
// and texts). The application font follows too: see applyFont().
class LanguageManager : public QObject {
    Q_OBJECT
public:
    // The application's manager, made on first use; Japanese until told otherwise, so a window
    // made without the start-up (as in tests) shows the source texts.
    static LanguageManager& instance();

    catalogue::Language language() const { return current; }

    // The language to start in: the command line's choice, else the one the learner last
    // chose in a window, else the system's.
    static catalogue::Language startLanguage(std::optional<catalogue::Language> option);

    // Switches every window to `language` for this run.
    void apply(catalogue::Language language);
    // Whether Qt's own texts (file dialog, OK/Cancel) are in Japanese now.
    bool qtTranslated() const { return qtInstalled; }

    // The faces put first for each language.
    static QStringList latinFamilies();
    static QStringList japaneseFamilies();
    // Switches and remembers the choice for the next start.
    void choose(catalogue::Language language);

    // The QSettings key of the remembered choice ("ja" or "en").
    static constexpr const char* settingsKey = Settings::languageKey;

signals:
    void languageChanged(catalogue::Language language);

private:
    explicit LanguageManager(QObject* parent);
    void applyQtTranslation(catalogue::Language language);
    void applyFont(catalogue::Language language);

    catalogue::Language current = catalogue::Language::japanese;
    QTranslator translator;
    bool installed = false;
    QTranslator qtTranslator; // Qt's Japanese catalogue, when installed with the system's Qt
    bool qtInstalled = false;
    std::optional<QFont> startFont; // the application font before the first apply()
};

} // namespace pulsavo
