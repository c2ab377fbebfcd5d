#include "MonitorText.h"

#include "Monitor.h"

#include <QCoreApplication>
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

EnteredLabels EnteredLabels::create(QWidget* parent, const QString& pressureName,
                                    const QString& respirationName) {
    EnteredLabels made;
    made.pressureCaption = monitorText(QStringLiteral("#ffffff"), 9, parent);
    made.pressureValue = monitorText(QStringLiteral("#ffffff"), 16, parent);
    made.pressureValue->setObjectName(pressureName);
    made.respirationCaption = monitorText(QStringLiteral("#ffd800"), 9, parent);
    made.respirationValue = monitorText(QStringLiteral("#ffd800"), 16, parent);
    made.respirationValue->setObjectName(respirationName);
    return made;
}

void EnteredLabels::show(const Monitor& monitor) const {
    const ScenarioVitals& entered = monitor.scenarioVitals();
    QString caption = QCoreApplication::translate("MonitorText", "NIBP mmHg");
    if (entered.bloodPressure) {
        const BloodPressure& pressure = *entered.bloodPressure;
        // A cuff reading is shown with how long ago it was taken, as a monitor stamps it.
        const long long age =
            (monitor.tickCount() - pressure.takenAtTick.value_or(0)) / (60 * ticksPerSecond);
        caption +=
            QLatin1Char('\n') + QCoreApplication::translate("MonitorText", "%1 分前").arg(age);
        pressureValue->setText(QString::fromStdString(formatBloodPressure(pressure)));
    } else {
        pressureValue->setText(QStringLiteral("---/---"));
    }
    pressureCaption->setText(caption);
    respirationCaption->setText(QCoreApplication::translate("MonitorText", "RESP /分"));
    respirationValue->setText(readingText(entered.respirationRate));
}

} // namespace pulsavo
