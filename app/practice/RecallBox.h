#pragma once

#include "Rhythm.h"

#include <QWidget>

#include <vector>

class QCompleter;
class QLabel;
class QLineEdit;
class QStringListModel;

namespace pulsavo {

// Typed recall: the learner writes the rhythm's name instead of picking it. Completion offers
// the names whose name, kana reading, romaji or abbreviation (either language) starts with
// what is typed; Enter hands the text over, and a text that names nothing is said so here.
class RecallBox : public QWidget {
    Q_OBJECT
public:
    explicit RecallBox(QWidget* parent = nullptr);

    // The names answers are matched among.
    void setNames(std::vector<Rhythm> names);
    void ask();
    void lock();
    // Hands the text over, unless it is empty or nothing is asked.
    void submit();
    // The text named no rhythm of the round, or several: the question stays open.
    void refuse(const QString& message);
    QLineEdit* edit() const { return line; }

    void retranslate();

signals:
    void answerTyped(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void complete(const QString& prefix);

    QLabel* label = nullptr;
    QLineEdit* line = nullptr;
    QLabel* messageLabel = nullptr;
    QCompleter* completer = nullptr;
    QStringListModel* offered = nullptr;
    std::vector<Rhythm> candidates;
    bool asking = false;
};

} // namespace pulsavo
