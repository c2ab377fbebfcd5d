#include "ParameterPanel.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace pulsavo {

using conduction::LiveParameter;
using conduction::LiveParameterId;

namespace {

QString unitText(const LiveParameter& parameter) {
    if (parameter.unit == "/min") {
        return ParameterPanel::tr("/分");
    }
    if (parameter.unit == "beats") {
        return ParameterPanel::tr("拍");
    }
    return QString::fromUtf8(parameter.unit.data(), static_cast<qsizetype>(parameter.unit.size()));
}

int decimalsOf(const LiveParameter& parameter) {
    return parameter.step < 1 ? 1 : 0;
}

} // namespace

ParameterPanel::ParameterPanel(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (const LiveParameter& parameter : conduction::liveParameters()) {
        Control control{parameter.which};
        control.label = new QLabel(this);
        const QString name =
            QStringLiteral("parameter_%1")
                .arg(QString::fromUtf8(parameter.id.data(),
                                       static_cast<qsizetype>(parameter.id.size())));
        if (parameter.isChoice()) {
            control.choice = new QComboBox(this);
            control.choice->setObjectName(name);
            for (std::size_t i = 0; i < parameter.choices.size(); ++i) {
                control.choice->addItem(QString(), static_cast<int>(i));
            }
            control.label->setBuddy(control.choice);
            form->addRow(control.label, control.choice);
        } else {
            control.number = new QDoubleSpinBox(this);
            control.number->setObjectName(name);
            control.number->setDecimals(decimalsOf(parameter));
            control.number->setRange(parameter.lo, parameter.hi);
            control.number->setSingleStep(parameter.step);
            control.number->setSuffix(QLatin1Char(' ') + unitText(parameter));
            control.number->setKeyboardTracking(false);
            control.label->setBuddy(control.number);
            form->addRow(control.label, control.number);
        }
        controls.push_back(control);
    }
    for (const Control& control : controls) {
        if (control.number != nullptr) {
            connect(control.number, &QDoubleSpinBox::valueChanged, this,
                    [this, control] { edited(control); });
        } else {
            connect(control.choice, &QComboBox::currentIndexChanged, this,
                    [this, control] { edited(control); });
        }
    }
    column->addLayout(form);

    pendingLabel = new QLabel(this);
    pendingList = new QListWidget(this);
    pendingList->setObjectName(QStringLiteral("pendingChanges"));
    pendingList->setMaximumHeight(pendingList->fontMetrics().height() * 5);
    rampLabel = new QLabel(this);
    rampBox = new QSpinBox(this);
    rampBox->setObjectName(QStringLiteral("rampSeconds"));
    rampBox->setRange(0, 600);
    rampLabel->setBuddy(rampBox);
    applyButton = new QPushButton(this);
    applyButton->setObjectName(QStringLiteral("applyPending"));
    discardButton = new QPushButton(this);
    discardButton->setObjectName(QStringLiteral("discardPending"));
    auto* ramp = new QHBoxLayout;
    ramp->addWidget(rampLabel);
    ramp->addWidget(rampBox);
    ramp->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(applyButton);
    buttons->addWidget(discardButton);
    column->addWidget(pendingLabel);
    column->addWidget(pendingList);
    column->addLayout(ramp);
    column->addLayout(buttons);
    column->addStretch(1);
    connect(applyButton, &QPushButton::clicked, this,
            [this] { emit applyRequested(rampBox->value()); });
    connect(discardButton, &QPushButton::clicked, this, [this] { showParameters(shown); });
    connect(rampBox, &QSpinBox::valueChanged, this, &ParameterPanel::showPending);
    retranslate();
    showPending();
}

QString ParameterPanel::parameterName(LiveParameterId which) {
    switch (which) {
    case LiveParameterId::atrialRate:
        return tr("心房レート");
    case LiveParameterId::ventricularRate:
        return tr("心室レート");
    case LiveParameterId::prMs:
        return tr("PR 間隔");
    case LiveParameterId::qrsMs:
        return tr("QRS 幅");
    case LiveParameterId::blockRatio:
        return tr("伝導比");
    case LiveParameterId::ectopyKind:
        return tr("期外収縮");
    case LiveParameterId::ectopyEvery:
        return tr("期外収縮の間隔");
    case LiveParameterId::ectopyPattern:
        return tr("期外収縮の型");
    case LiveParameterId::pacingMode:
        return tr("ペーシング");
    case LiveParameterId::pacingRate:
        return tr("ペーシングレート");
    case LiveParameterId::pacingOutput:
        return tr("ペーシング出力");
    case LiveParameterId::captureThreshold:
        return tr("捕捉閾値");
    case LiveParameterId::vfAmplitude:
        break;
    }
    return tr("VF 振幅");
}

QString ParameterPanel::choiceName(LiveParameterId which, int value) {
    if (which == LiveParameterId::ectopyKind) {
        const std::array<QString, 4> names{tr("なし"), tr("PAC"), tr("PJC"), tr("PVC")};
        return names.at(static_cast<std::size_t>(std::clamp(value, 0, 3)));
    }
    if (which == LiveParameterId::ectopyPattern) {
        const std::array<QString, 5> names{tr("散発"), tr("二段脈"), tr("三段脈"), tr("2 連発"),
                                           tr("ショートラン")};
        return names.at(static_cast<std::size_t>(std::clamp(value, 0, 4)));
    }
    const std::array<QString, 4> names{tr("オフ"), tr("心房 (AAI)"), tr("心室 (VVI)"),
                                       tr("両腔 (DDD)")};
    return names.at(static_cast<std::size_t>(std::clamp(value, 0, 3)));
}

QString ParameterPanel::valueText(LiveParameterId which, double value) {
    const LiveParameter& parameter = conduction::liveParameter(which);
    if (parameter.isChoice()) {
        return choiceName(which, static_cast<int>(std::lround(value)));
    }
    return QStringLiteral("%1 %2")
        .arg(value, 0, 'f', decimalsOf(parameter))
        .arg(unitText(parameter));
}

void ParameterPanel::retranslate() {
    for (const Control& control : controls) {
        control.label->setText(parameterName(control.which));
        if (control.choice != nullptr) {
            for (int i = 0; i < control.choice->count(); ++i) {
                control.choice->setItemText(i, choiceName(control.which, i));
            }
        } else {
            control.number->setSuffix(QLatin1Char(' ') +
                                      unitText(conduction::liveParameter(control.which)));
        }
    }
    pendingLabel->setText(tr("保留中の変更"));
    rampLabel->setText(tr("移行時間(&M)"));
    rampBox->setSuffix(tr(" 秒"));
    rampBox->setSpecialValueText(tr("すぐに"));
    discardButton->setText(tr("取り消す"));
    showPending();
}

void ParameterPanel::showParameters(const conduction::Params& target) {
    shown = target;
    edits.clear();
    for (const Control& control : controls) {
        const double value = conduction::liveValue(target, control.which);
        const bool applies = conduction::appliesTo(control.which, target);
        control.label->setEnabled(applies);
        if (control.number != nullptr) {
            const QSignalBlocker quiet(control.number);
            control.number->setValue(value);
            control.number->setEnabled(applies);
        } else {
            const QSignalBlocker quiet(control.choice);
            control.choice->setCurrentIndex(static_cast<int>(std::lround(value)));
        }
    }
    showPending();
}

void ParameterPanel::setPending(LiveParameterId which, double value) {
    for (const Control& control : controls) {
        if (control.which == which) {
            if (control.number != nullptr) {
                control.number->setValue(value);
            } else {
                control.choice->setCurrentIndex(static_cast<int>(std::lround(value)));
            }
        }
    }
}

void ParameterPanel::edited(const Control& control) {
    const double value =
        control.number != nullptr ? control.number->value() : control.choice->currentIndex();
    if (value == conduction::liveValue(shown, control.which)) {
        edits.erase(control.which);
    } else {
        edits[control.which] = value;
    }
    showPending();
}

void ParameterPanel::showPending() {
    pendingList->clear();
    for (const auto& [which, value] : edits) {
        pendingList->addItem(tr("%1: %2 → %3")
                                 .arg(parameterName(which),
                                      valueText(which, conduction::liveValue(shown, which)),
                                      valueText(which, value)));
    }
    applyButton->setEnabled(!edits.empty());
    discardButton->setEnabled(!edits.empty());
    applyButton->setText(rampBox->value() > 0 ? tr("%1 秒かけて適用(&A)").arg(rampBox->value())
                                              : tr("すぐに適用(&A)"));
}

int ParameterPanel::rampSeconds() const {
    return rampBox->value();
}

void ParameterPanel::setRampSeconds(int seconds) {
    rampBox->setValue(seconds);
}

void ParameterPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange && pendingLabel != nullptr) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

} // namespace pulsavo
