#include "Settings.h"

namespace pulsavo {

Settings::Settings() : store(QStringLiteral("Pulsavo"), QStringLiteral("Pulsavo")) {}

bool Settings::flag(const char* key, bool fallback) const {
    return store.value(QLatin1String(key), fallback).toBool();
}

void Settings::put(const char* key, const QVariant& value) {
    const QString name = QLatin1String(key);
    if (!store.contains(name) || store.value(name) != value) {
        store.setValue(name, value);
    }
}

QString Settings::language() const {
    return store.value(QLatin1String(languageKey)).toString();
}

void Settings::setLanguage(const QString& code) {
    put(languageKey, code);
}

QString Settings::highlight() const {
    return store.value(QLatin1String(highlightKey)).toString();
}

void Settings::setHighlight(const QString& name) {
    put(highlightKey, name);
}

bool Settings::grid() const {
    return flag(gridKey, false);
}

void Settings::setGrid(bool on) {
    put(gridKey, on);
}

QString Settings::toneMode() const {
    return store.value(QLatin1String(toneKey)).toString();
}

void Settings::setToneMode(const QString& mode) {
    put(toneKey, mode);
}

bool Settings::classicLadder() const {
    return flag(ladderKey, false);
}

void Settings::setClassicLadder(bool on) {
    put(ladderKey, on);
}

bool Settings::libraryListed() const {
    return flag(libraryKey, false);
}

void Settings::setLibraryListed(bool on) {
    put(libraryKey, on);
}

QByteArray Settings::progressGeometry() const {
    return store.value(QLatin1String(progressGeometryKey)).toByteArray();
}

void Settings::setProgressGeometry(const QByteArray& geometry) {
    put(progressGeometryKey, geometry);
}

QByteArray Settings::gradebookGeometry() const {
    return store.value(QLatin1String(gradebookGeometryKey)).toByteArray();
}

void Settings::setGradebookGeometry(const QByteArray& geometry) {
    put(gradebookGeometryKey, geometry);
}

QString Settings::gradebookExam() const {
    return store.value(QLatin1String(gradebookExamKey)).toString();
}

void Settings::setGradebookExam(const QString& code) {
    put(gradebookExamKey, code);
}

QByteArray Settings::practiceGeometry() const {
    return store.value(QLatin1String(practiceGeometryKey)).toByteArray();
}

void Settings::setPracticeGeometry(const QByteArray& geometry) {
    put(practiceGeometryKey, geometry);
}

bool Settings::practiceLadder() const {
    return flag(practiceLadderKey, false);
}

void Settings::setPracticeLadder(bool on) {
    put(practiceLadderKey, on);
}

int Settings::practiceLength(int fallback) const {
    return store.value(QLatin1String(practiceLengthKey), fallback).toInt();
}

void Settings::setPracticeLength(int length) {
    put(practiceLengthKey, length);
}

std::optional<QString> Settings::practiceRhythmList() const {
    const QVariant list = store.value(QLatin1String(practiceRhythmListKey));
    return list.isValid() ? std::optional(list.toString()) : std::nullopt;
}

std::optional<std::uint32_t> Settings::practiceRhythmMask() const {
    bool read = false;
    const uint mask = store.value(QLatin1String(practiceRhythmMaskKey)).toUInt(&read);
    return read ? std::optional(static_cast<std::uint32_t>(mask)) : std::nullopt;
}

void Settings::setPracticeRhythms(const QString& list, std::uint32_t classicMask) {
    put(practiceRhythmListKey, list);
    put(practiceRhythmMaskKey, static_cast<uint>(classicMask));
}

bool Settings::practiceAdaptive(bool fallback) const {
    return flag(practiceAdaptiveKey, fallback);
}

void Settings::setPracticeAdaptive(bool on) {
    put(practiceAdaptiveKey, on);
}

bool Settings::practiceBeatTone(bool fallback) const {
    return flag(practiceBeatToneKey, fallback);
}

void Settings::setPracticeBeatTone(bool on) {
    put(practiceBeatToneKey, on);
}

bool Settings::practiceMeasure(bool fallback) const {
    return flag(practiceMeasureKey, fallback);
}

void Settings::setPracticeMeasure(bool on) {
    put(practiceMeasureKey, on);
}

QByteArray Settings::wardGeometry() const {
    return store.value(QLatin1String(wardGeometryKey)).toByteArray();
}

void Settings::setWardGeometry(const QByteArray& geometry) {
    put(wardGeometryKey, geometry);
}

QString Settings::wardText(const char* key) const {
    return store.value(QLatin1String(key)).toString();
}

void Settings::setWardText(const char* key, const QString& text) {
    put(key, text);
}

bool Settings::practiceRecall(bool fallback) const {
    return flag(practiceRecallKey, fallback);
}

void Settings::setPracticeRecall(bool on) {
    put(practiceRecallKey, on);
}

bool Settings::practiceArtifact(bool fallback) const {
    return flag(practiceArtifactKey, fallback);
}

void Settings::setPracticeArtifact(bool on) {
    put(practiceArtifactKey, on);
}

bool Settings::practiceArtifactVersus(bool fallback) const {
    return flag(practiceArtifactVersusKey, fallback);
}

void Settings::setPracticeArtifactVersus(bool on) {
    put(practiceArtifactVersusKey, on);
}

bool Settings::practiceWorksheet(bool fallback) const {
    return flag(practiceWorksheetKey, fallback);
}

void Settings::setPracticeWorksheet(bool on) {
    put(practiceWorksheetKey, on);
}

int Settings::practiceAnswerLimit(int fallback) const {
    return store.value(QLatin1String(practiceAnswerLimitKey), fallback).toInt();
}

void Settings::setPracticeAnswerLimit(int seconds) {
    put(practiceAnswerLimitKey, seconds);
}

QVariant Settings::instructorValue(const char* key) const {
    return store.value(QLatin1String(key));
}

void Settings::setInstructorValue(const char* key, const QVariant& value) {
    put(key, value);
}

} // namespace pulsavo
