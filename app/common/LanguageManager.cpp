#include "LanguageManager.h"

#include "Settings.h"
#include <QCoreApplication>
#include <QPointer>

// Q_INIT_RESOURCE declares the generated function in the enclosing namespace.
static void pulsavoInitTranslationResources() {
    Q_INIT_RESOURCE(translations);
}

namespace pulsavo {

LanguageManager::LanguageManager(QObject* parent) : QObject(parent) {
    pulsavoInitTranslationResources();
}

LanguageManager& LanguageManager::instance() {
    // Owned by the application object, so it goes before Qt does.
    static QPointer<LanguageManager> manager;
    if (manager.isNull()) {
        manager = new LanguageManager(QCoreApplication::instance());
    }
    return *manager;
}

catalogue::Language LanguageManager::startLanguage(std::optional<catalogue::Language> option) {
    if (option) {
        return *option;
    }
    const QByteArray stored = Settings().language().toLatin1();
    if (const auto chosen = catalogue::parseLanguageCode(stored.toStdString())) {
        return *chosen;
    }
    return catalogue::systemLanguage();
}

void LanguageManager::apply(catalogue::Language language) {
    if (language == current) {
        return;
    }
    current = language;
    // Installing and removing the translator is what sends every widget LanguageChange.
    if (installed) {
        QCoreApplication::removeTranslator(&translator);
        installed = false;
    }
    if (language == catalogue::Language::english) {
        if (translator.isEmpty() && !translator.load(QStringLiteral(":/i18n/pulsavo_en.qm"))) {
            qWarning("pulsavo: the English translation is missing; the windows stay in Japanese");
        }
        installed = !translator.isEmpty() && QCoreApplication::installTranslator(&translator);
    }
    emit languageChanged(language);
}

void LanguageManager::choose(catalogue::Language language) {
    apply(language);
    const std::string_view code = catalogue::languageCode(language);
    Settings().setLanguage(QString::fromLatin1(code.data(), static_cast<qsizetype>(code.size())));
}

} // namespace pulsavo
