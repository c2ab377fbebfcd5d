#pragma once

#include "Calipers.h"
#include "Language.h"
#include "PracticeSession.h"
#include "RhythmSet.h"
#include "StripFacts.h"
#include "Worksheet.h"

#include <QWidget>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace pulsavo {

// A strip read on a worksheet: rates, regularity, P waves, PR, QRS, the name and the next step.
// Once handed in, each field shows beside the truth of the frozen strip; choosing a row asks for
// the caliper that measures it (fieldChosen).
class WorksheetPage : public QWidget {
    Q_OBJECT
public:
    explicit WorksheetPage(QWidget* parent = nullptr);

    // The truth a worksheet is marked by: the strip's measured facts, and what is known of the
    // rhythm itself (its regularity and next steps).
    static WorksheetTruth truthOf(const StripFacts& facts, Rhythm rhythm);
    // The caliper that measures a field; none for the fields read rather than measured.
    static std::optional<calipers::Kind> caliperFor(WorksheetField field);
    // A field's name as the feedback and the progress window show it.
    static QString fieldName(WorksheetField field);

    // The names a round answers from, in rhythm order.
    void fill(RhythmSet choices, catalogue::Language language);
    // A new strip: every field empty and open.
    void ask();
    // The fields as filled; a box without a number, or a choice left at "—", is empty.
    WorksheetAnswer answer() const;
    void setAnswer(const WorksheetAnswer& answer);
    void setHintAllowed(bool allowed);
    void hintTaken();
    // Hands the worksheet in (submitted), or says why not: a name is needed.
    void submit();
    void showResult(const PracticeSession::Result& result, bool last);
    void showCaliperNote(const QString& note);

    void retranslate(catalogue::Language language);

signals:
    void submitted(const WorksheetAnswer& answer);
    void hintRequested();
    void fieldChosen(WorksheetField field);
    void nextRequested();

private:
    void showFields(catalogue::Language language);
    QString valueText(WorksheetField field, const WorksheetAnswer& answer,
                      catalogue::Language language) const;
    QString truthText(WorksheetField field, const WorksheetTruth& truth,
                      catalogue::Language language) const;

    QLabel* fieldLabels[worksheetFieldCount] = {};
    QLineEdit* atrialEdit = nullptr;
    QCheckBox* unmeasurableCheck = nullptr;
    QLineEdit* ventricularEdit = nullptr;
    QComboBox* regularityCombo = nullptr;
    QComboBox* pWavesCombo = nullptr;
    QComboBox* prCombo = nullptr;
    QLineEdit* prEdit = nullptr;
    QLineEdit* qrsEdit = nullptr;
    QComboBox* rhythmCombo = nullptr;
    QComboBox* nextStepCombo = nullptr;
    QPushButton* hintButton = nullptr;
    QPushButton* submitButton = nullptr;
    QLabel* noteLabel = nullptr;
    QLabel* verdictLabel = nullptr;
    QTableWidget* resultTable = nullptr;
    QLabel* caliperLabel = nullptr;
    QLabel* managementTitle = nullptr;
    QPlainTextEdit* managementEdit = nullptr;
    QPushButton* nextButton = nullptr;
    std::optional<PracticeSession::Result> shown;
    bool lastQuestion = false;
    bool asking = false;
    bool hintAllowed = true;
    catalogue::Language currentLanguage = catalogue::Language::japanese;
};

} // namespace pulsavo
