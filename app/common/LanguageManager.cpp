#include "LanguageManager.h"

#include "Settings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
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
    // The start in Japanese changes no language, but still wants Qt's texts and faces for it.
    applyQtTranslation(language);
    applyFont(language);
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

void LanguageManager::applyQtTranslation(catalogue::Language language) {
    const bool wanted = language == catalogue::Language::japanese;
    if (wanted == qtInstalled) {
        return;
    }
    if (!wanted) {
        QCoreApplication::removeTranslator(&qtTranslator);
        qtInstalled = false;
        return;
    }
    // A system without Qt's catalogues keeps Qt's English texts; nothing else depends on them.
    if (qtTranslator.isEmpty() &&
        !qtTranslator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"),
                           QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return;
    }
    qtInstalled = QCoreApplication::installTranslator(&qtTranslator);
}

QStringList LanguageManager::latinFamilies() {
    return {QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans"),
            QStringLiteral("Liberation Sans")};
}

QStringList LanguageManager::japaneseFamilies() {
    return {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"), QStringLiteral("VL PGothic"),
            QStringLiteral("Noto Sans CJK JP")};
}

// Each language's faces first and the other's behind them for the odd word in the other script
// (the language menu's 日本語), then the faces the application started with. Left to the
// system's choice, English may come out in a Japanese gothic and kanji in a Chinese face.
void LanguageManager::applyFont(catalogue::Language language) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    if (!startFont) {
        startFont = QApplication::font();
    }
    const bool english = language == catalogue::Language::english;
    QStringList families =
        english ? latinFamilies() + japaneseFamilies() : japaneseFamilies() + latinFamilies();
    families +=
        startFont->families().isEmpty() ? QStringList{startFont->family()} : startFont->families();
    QFont font = *startFont;
    font.setFamilies(families);
    if (font != QApplication::font()) {
        QApplication::setFont(font);
    }
}

void LanguageManager::choose(catalogue::Language language) {
    apply(language);
    const std::string_view code = catalogue::languageCode(language);
    Settings().setLanguage(QString::fromLatin1(code.data(), static_cast<qsizetype>(code.size())));
}

} // namespace pulsavo
