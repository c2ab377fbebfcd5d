#include "JoinClassDialog.h"

#include "LearnerWindow.h"
#include "Protocol.h"
#include "SessionCode.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace pulsavo {

JoinClassDialog::JoinClassDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("joinClassDialog"));
    setWindowTitle(tr("教室に参加"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    codeEdit = new QLineEdit(this);
    codeEdit->setObjectName(QStringLiteral("joinCode"));
    codeEdit->setMaxLength(24);
    codeEdit->setPlaceholderText(QStringLiteral("ABC 234"));
    addressEdit = new QLineEdit(this);
    addressEdit->setObjectName(QStringLiteral("joinAddress"));
    addressEdit->setMaxLength(200);
    addressEdit->setPlaceholderText(tr("空欄: 同じネットワークで探します"));
    // Wide enough for the hint and an IPv6 address with its port.
    addressEdit->setMinimumWidth(
        std::max(
            addressEdit->fontMetrics().horizontalAdvance(addressEdit->placeholderText()),
            addressEdit->fontMetrics().horizontalAdvance(QStringLiteral("[fd00::1234]:45645"))) +
        24);
    nameEdit = new QLineEdit(LearnerWindow::defaultName(), this);
    nameEdit->setObjectName(QStringLiteral("joinName"));
    nameEdit->setMaxLength(classroom::protocol::maxNameLength);
    form->addRow(tr("参加コード(&C)"), codeEdit);
    form->addRow(tr("アドレス(&A)"), addressEdit);
    form->addRow(tr("名前(&N)"), nameEdit);
    layout->addLayout(form);
    problemLabel = new QLabel(this);
    problemLabel->setWordWrap(true);
    layout->addWidget(problemLabel);
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("参加(&J)"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QLineEdit* edit : {codeEdit, nameEdit}) {
        connect(edit, &QLineEdit::textChanged, this, &JoinClassDialog::check);
    }
    check();
}

QString JoinClassDialog::code() const {
    return classroom::SessionCode::normalise(codeEdit->text()).value_or(QString());
}

QString JoinClassDialog::address() const {
    return addressEdit->text().trimmed();
}

QString JoinClassDialog::name() const {
    return nameEdit->text().trimmed();
}

void JoinClassDialog::check() {
    QString problem;
    if (!codeEdit->text().trimmed().isEmpty() && code().isEmpty()) {
        problem = tr("参加コードは 6 文字の英数字です");
    } else if (!classroom::protocol::validName(nameEdit->text())) {
        problem = tr("名前を 1〜%1 文字で入れてください").arg(classroom::protocol::maxNameLength);
    }
    problemLabel->setText(problem);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty() && !code().isEmpty());
}

} // namespace pulsavo
