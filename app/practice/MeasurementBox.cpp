#include "MeasurementBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pulsavo {

MeasurementBox::MeasurementBox(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("measureBox"));
    auto* layout = new QVBoxLayout(this);
    taskLabel = new QLabel(this);
    taskLabel->setObjectName(QStringLiteral("measureTaskLabel"));
    taskLabel->setWordWrap(true);
    submitButton = new QPushButton(this);
    submitButton->setObjectName(QStringLiteral("measureButton"));
    resultLabel = new QLabel(this);
    resultLabel->setObjectName(QStringLiteral("measureResultLabel"));
    resultLabel->setWordWrap(true);
    auto* row = new QHBoxLayout;
    row->addWidget(submitButton);
    row->addWidget(resultLabel, 1);
    layout->addWidget(taskLabel);
    layout->addLayout(row);
    hide();
    connect(submitButton, &QPushButton::clicked, this, &MeasurementBox::submitRequested);
}

void MeasurementBox::showTask(std::optional<calipers::Kind> task) {
    setVisible(task.has_value());
    submitButton->setEnabled(task.has_value());
    resultLabel->clear();
    resultLabel->setStyleSheet({});
}

void MeasurementBox::refuse(const QString& why) {
    resultLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
    resultLabel->setText(why);
}

std::optional<CaliperOverlay::Result> MeasurementBox::score(calipers::Kind task, bool frozen,
                                                            CaliperOverlay& overlay) {
    if (!frozen) {
        refuse(tr("先に一時停止 (F) してください。"));
        return std::nullopt;
    }
    const std::optional<std::size_t> chosen =
        calipers::taskCaliper(overlay.calipers(), overlay.selectedIndex(), task);
    if (!chosen) {
        refuse(tr("%1 のキャリパーがありません。波形の上をドラッグして置いてください。")
                   .arg(CaliperOverlay::kindName(task)));
        return std::nullopt;
    }
    const CaliperOverlay::Result mine = overlay.check().at(*chosen);
    if (!mine.score) {
        refuse(CaliperOverlay::verdict(mine));
        return std::nullopt;
    }
    return mine;
}

void MeasurementBox::showScore(const CaliperOverlay::Result& given) {
    const bool right = given.score && given.score->right;
    submitButton->setEnabled(false);
    resultLabel->setStyleSheet(right ? QStringLiteral("color: #006400;")
                                     : QStringLiteral("color: #b00000;"));
    resultLabel->setText(tr("あなたの計測 %1 ms。%2")
                             .arg(given.score ? given.score->measuredMs : 0)
                             .arg(CaliperOverlay::verdict(given)));
}

void MeasurementBox::retranslate(std::optional<calipers::Kind> task) {
    setTitle(tr("計測課題"));
    submitButton->setText(tr("計測を答える(&U)"));
    taskLabel->setText(
        task ? tr("%1 を測ってください: 一時停止 (F) して、波形の上を端から端までドラッグし、"
                  "［計測を答える］を押します。")
                   .arg(CaliperOverlay::kindName(*task))
             : QString());
}

} // namespace pulsavo
