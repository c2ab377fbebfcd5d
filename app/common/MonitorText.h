#pragma once

#include <QString>

#include <optional>

class QLabel;
class QWidget;

namespace pulsavo {

class Monitor;

// A monitor's text on black, in `colour`; bold from 21 points up, as numerics are.
QLabel* monitorText(const QString& colour, int pointSize, QWidget* parent);

// A numeric as a monitor shows it: the number, or "---" while there is none.
QString readingText(std::optional<int> value);

// What a scenario or an instructor set on a monitor besides what it measures, as every window
// shows it: the last NIBP ("---/---" until a cuff reads one) with a caption stamped with how long
// ago that was, and the respiration rate; smaller than the measured numerics, white and yellow.
struct EnteredLabels {
    QLabel* pressureCaption = nullptr;
    QLabel* pressureValue = nullptr;
    QLabel* respirationCaption = nullptr;
    QLabel* respirationValue = nullptr;

    // The values' object names are `pressureName` and `respirationName`.
    static EnteredLabels create(QWidget* parent, const QString& pressureName,
                                const QString& respirationName);
    // Reads the values off `monitor`, the captions in the language now chosen.
    void show(const Monitor& monitor) const;
};

} // namespace pulsavo
