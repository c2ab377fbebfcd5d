#pragma once

#include <QDialog>

#include <optional>

class QLineEdit;
class QPushButton;

namespace pulsavo {

// Asks who sits an exam: a name or student id, as the instructor's gradebook will list it.
// The last one given is offered again, for a learner who sits several exams on one computer.
class LearnerPrompt : public QDialog {
    Q_OBJECT

public:
    explicit LearnerPrompt(QWidget* parent = nullptr);

    QString learner() const;

    // The name given, trimmed; none when the learner cancels.
    static std::optional<QString> ask(QWidget* parent);

private:
    QLineEdit* nameEdit;
    QPushButton* okButton;
};

} // namespace pulsavo
