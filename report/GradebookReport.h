#pragma once

#include "Gradebook.h"
#include "Language.h"

#include <QByteArray>
#include <QString>

namespace pulsavo {

// A rhythm's name and the first line of its key points, as the reports print them.
QString reportRhythmName(Rhythm rhythm, catalogue::Language language);
QString firstKeyPoint(Rhythm rhythm, catalogue::Language language);
// m:ss of a learner's total answer time.
QString minutesText(qint64 ms);

// One row per learner and question, with the learner's totals beside each row.
QByteArray gradebookCsv(const GradebookResult& result, const Exam& exam,
                        catalogue::Language language);

// The gradebook as an A4 PDF: the class at a glance with a chart of each question's share
// correct, the learners' table, the item analysis and the commonest confusions. Needs a
// QGuiApplication.
QByteArray gradebookPdf(const GradebookResult& result, const Exam& exam,
                        catalogue::Language language);

} // namespace pulsavo
