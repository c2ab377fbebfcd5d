#include "LearnerPrompt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace pulsavo {

namespace {

const QString settingsKey = QStringLiteral("exam/learner");

} // namespace

LearnerPrompt::LearnerPrompt(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("受験者"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("氏名または学籍番号(&N):"), this);
    nameEdit = new QLineEdit(QSettings().value(settingsKey).toString(), this);
    nameEdit->setObjectName(QStringLiteral("learnerEdit"));
    nameEdit->setMaxLength(100);
    nameEdit->setAccessibleName(tr("氏名または学籍番号"));
    label->setBuddy(nameEdit);
    auto* note = new QLabel(tr("回答はこの名前で記録され、講師の成績表に載ります。"), this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton = buttons->button(QDialogButtonBox::Ok);
    okButton->setText(tr("試験を始める"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
    layout->addWidget(label);
    layout->addWidget(nameEdit);
    layout->addWidget(note);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto update = [this] { okButton->setEnabled(!learner().isEmpty()); };
    connect(nameEdit, &QLineEdit::textChanged, this, update);
    update();
    nameEdit->selectAll();
}

QString LearnerPrompt::learner() const {
    return nameEdit->text().simplified();
}

std::optional<QString> LearnerPrompt::ask(QWidget* parent) {
    LearnerPrompt prompt(parent);
    if (prompt.exec() != QDialog::Accepted || prompt.learner().isEmpty()) {
        return std::nullopt;
    }
    QSettings().setValue(settingsKey, prompt.learner());
    return prompt.learner();
}

} // namespace pulsavo
