#pragma once

#include "conduction/LiveParameter.h"

#include <QWidget>

#include <map>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace pulsavo {

// The live parameters as controls, generated from the model's table with its ranges and units.
// Edits are collected as pending changes and handed over together, at once or as a ramp; the
// console applies them to its monitor.
class ParameterPanel : public QWidget {
    Q_OBJECT
public:
    explicit ParameterPanel(QWidget* parent = nullptr);

    // Shows `target` (the values the rhythm plays or is heading for) and which parameters
    // apply to it; pending edits are dropped.
    void showParameters(const conduction::Params& target);
    // An edit, as a control makes it: the value is clamped to the parameter's range.
    void setPending(conduction::LiveParameterId which, double value);
    const std::map<conduction::LiveParameterId, double>& pending() const { return edits; }
    int rampSeconds() const;
    void setRampSeconds(int seconds);

    static QString parameterName(conduction::LiveParameterId which);
    static QString choiceName(conduction::LiveParameterId which, int value);
    // A value with its unit, as the pending list and the debrief log show it.
    static QString valueText(conduction::LiveParameterId which, double value);

signals:
    // Apply the pending edits over rampSeconds() (0: at once).
    void applyRequested(int rampSeconds);

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Control {
        conduction::LiveParameterId which;
        QLabel* label = nullptr;
        QDoubleSpinBox* number = nullptr;
        QComboBox* choice = nullptr;
    };
    void retranslate();
    void showPending();
    void edited(const Control& control);

    std::vector<Control> controls;
    std::map<conduction::LiveParameterId, double> edits;
    conduction::Params shown;
    QLabel* pendingLabel = nullptr;
    QListWidget* pendingList = nullptr;
    QLabel* rampLabel = nullptr;
    QSpinBox* rampBox = nullptr;
    QPushButton* applyButton = nullptr;
    QPushButton* discardButton = nullptr;
};

} // namespace pulsavo
