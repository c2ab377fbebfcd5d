#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>

#include <cstdint>
#include <optional>

namespace pulsavo {

// Every remembered choice of the windows, under the names and in the formats that earlier
// releases stored, so that a learner's settings survive an update. The one place a key is named.
class Settings {
public:
    // The keys as stored; tests and callers that must name one use these.
    static constexpr const char* languageKey = "language";
    static constexpr const char* highlightKey = "highlight";
    static constexpr const char* gridKey = "monitor/grid";
    static constexpr const char* toneKey = "monitor/tone";
    static constexpr const char* ladderKey = "monitor/ladder";
    static constexpr const char* libraryKey = "list/library";
    static constexpr const char* progressGeometryKey = "progressWindow/geometry";
    static constexpr const char* practiceGeometryKey = "practice/geometry";
    static constexpr const char* gradebookGeometryKey = "gradebook/geometry";
    static constexpr const char* gradebookExamKey = "gradebook/exam";
    static constexpr const char* practiceLadderKey = "practice/ladder";
    static constexpr const char* practiceLengthKey = "practice/length";
    static constexpr const char* practiceRhythmListKey = "practice/rhythmList";
    static constexpr const char* practiceRhythmMaskKey = "practice/rhythms";
    static constexpr const char* practiceAdaptiveKey = "practice/adaptive";
    static constexpr const char* practiceBeatToneKey = "practice/beatTone";
    static constexpr const char* practiceMeasureKey = "practice/measure";
    static constexpr const char* wardGeometryKey = "ward/geometry";
    static constexpr const char* wardRhythmKey = "ward/rhythm";
    static constexpr const char* wardArtifactKey = "ward/artifact";
    static constexpr const char* wardLimitsKey = "ward/limits";
    static constexpr const char* practiceRecallKey = "practice/recall";
    static constexpr const char* practiceArtifactKey = "practice/artifact";
    static constexpr const char* practiceArtifactVersusKey = "practice/artifactVersus";
    static constexpr const char* practiceWorksheetKey = "practice/worksheet";
    static constexpr const char* practiceAnswerLimitKey = "practice/answerLimitSeconds";
    static constexpr const char* consoleGeometryKey = "instructor/geometry";
    static constexpr const char* consoleRampKey = "instructor/rampSeconds";
    static constexpr const char* projectorGeometryKey = "projector/geometry";
    static constexpr const char* projectorThemeKey = "projector/theme";
    static constexpr const char* projectorScreenKey = "projector/screen";
    static constexpr const char* projectorFullScreenKey = "projector/fullScreen";

    Settings();

    // "ja" or "en"; empty when never chosen.
    QString language() const;
    void setLanguage(const QString& code);
    // "red", "thick" or "colourBlindSafe"; empty when never chosen.
    QString highlight() const;
    void setHighlight(const QString& name);

    bool grid() const;
    void setGrid(bool on);
    // "qrs" or "threshold"; empty when never chosen.
    QString toneMode() const;
    void setToneMode(const QString& mode);
    bool classicLadder() const;
    void setClassicLadder(bool on);
    bool libraryListed() const;
    void setLibraryListed(bool on);

    QByteArray progressGeometry() const;
    void setProgressGeometry(const QByteArray& geometry);

    QByteArray gradebookGeometry() const;
    void setGradebookGeometry(const QByteArray& geometry);
    // The exam code last graded; empty when none.
    QString gradebookExam() const;
    void setGradebookExam(const QString& code);

    QByteArray practiceGeometry() const;
    void setPracticeGeometry(const QByteArray& geometry);
    bool practiceLadder() const;
    void setPracticeLadder(bool on);
    int practiceLength(int fallback) const;
    void setPracticeLength(int length);
    // The chosen rhythms as formatRhythmList wrote them; none when never saved.
    std::optional<QString> practiceRhythmList() const;
    // The classic 18 as a bit mask, as releases before the library saved them.
    std::optional<std::uint32_t> practiceRhythmMask() const;
    void setPracticeRhythms(const QString& list, std::uint32_t classicMask);
    bool practiceAdaptive(bool fallback) const;
    void setPracticeAdaptive(bool on);
    bool practiceBeatTone(bool fallback) const;
    void setPracticeBeatTone(bool on);
    bool practiceMeasure(bool fallback) const;
    void setPracticeMeasure(bool on);
    bool practiceRecall(bool fallback) const;
    void setPracticeRecall(bool on);
    bool practiceArtifact(bool fallback) const;
    void setPracticeArtifact(bool on);
    bool practiceArtifactVersus(bool fallback) const;
    void setPracticeArtifactVersus(bool on);

    QByteArray wardGeometry() const;
    void setWardGeometry(const QByteArray& geometry);
    // The ward monitor's rhythm id, artifact layers ("tremor:6,cpr:5") and alarm limits
    // ("50,120,40,160,90": low, high, extreme low, extreme high, SpO2 low); empty when never set.
    QString wardText(const char* key) const;
    void setWardText(const char* key, const QString& text);
    bool practiceWorksheet(bool fallback) const;
    void setPracticeWorksheet(bool on);
    // 6秒モード: seconds an answer is due within, 0 for none.
    int practiceAnswerLimit(int fallback) const;
    void setPracticeAnswerLimit(int seconds);

    // The instructor's console and projector: geometry (QByteArray), ramp seconds (int), the
    // projector's theme ("dark" or "light"), screen name and full-screen flag. Invalid when
    // never set.
    QVariant instructorValue(const char* key) const;
    void setInstructorValue(const char* key, const QVariant& value);

private:
    bool flag(const char* key, bool fallback) const;
    // Writes only a changed value, so that opening a window never rewrites the file.
    void put(const char* key, const QVariant& value);

    QSettings store;
};

} // namespace pulsavo
