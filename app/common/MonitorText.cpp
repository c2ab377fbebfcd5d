#include "MonitorText.h"

#include <QLabel>

namespace pulsavo {

QLabel* monitorText(const QString& colour, int pointSize, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setStyleSheet(QStringLiteral("color: %1; background: black;").arg(colour));
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(pointSize > 20);
    label->setFont(font);
    return label;
}

QString readingText(std::optional<int> value) {
    return value ? QString::number(*value) : QStringLiteral("---");
}

} // namespace pulsavo
