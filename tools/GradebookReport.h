#pragma once

#include "Gradebook.h"
#include "Language.h"

#include <QByteArray>

namespace pulsavo::strip {

// The gradebook as an A4 PDF: the class at a glance with a chart of each question's share
// correct, the learners' table, the item analysis and the commonest confusions.
QByteArray gradebookPdf(const GradebookResult& result, const Exam& exam,
                        catalogue::Language language);

} // namespace pulsavo::strip
