#include "ComparePanel.h"

#include "ScopePanel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace pulsavo {

ComparePanel::ComparePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("compareArea"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("compareLabel"));
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    panel = new ScopePanel(this);
    panel->setObjectName(QStringLiteral("comparePanel"));
    layout->addWidget(label);
    layout->addWidget(panel);
}

void ComparePanel::showCaption(const QString& caption) {
    full = caption;
    label->setToolTip(caption);
    label->setText(label->fontMetrics().elidedText(caption, Qt::ElideRight, width()));
}

void ComparePanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    showCaption(full);
}

} // namespace pulsavo
