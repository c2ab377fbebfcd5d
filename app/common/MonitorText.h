#pragma once

#include <QString>

#include <optional>

class QLabel;
class QWidget;

namespace pulsavo {

// A monitor's text on black, in `colour`; bold from 21 points up, as numerics are.
QLabel* monitorText(const QString& colour, int pointSize, QWidget* parent);

// A numeric as a monitor shows it: the number, or "---" while there is none.
QString readingText(std::optional<int> value);

} // namespace pulsavo
