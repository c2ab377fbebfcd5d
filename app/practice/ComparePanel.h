#pragma once

#include <QWidget>

class QLabel;

namespace pulsavo {

class ScopePanel;

// Under the question's monitor after a wrong answer: the learner's answer played from the
// question's seed, with its name above it.
class ComparePanel : public QWidget {
    Q_OBJECT
public:
    explicit ComparePanel(QWidget* parent = nullptr);

    ScopePanel* scope() const { return panel; }
    // The name of what plays, elided to the panel's width, whole in the tooltip.
    void showCaption(const QString& caption);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* label = nullptr;
    ScopePanel* panel = nullptr;
    QString full;
};

} // namespace pulsavo
