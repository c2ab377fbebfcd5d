#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace pulsavo {

// Asks what joining a class needs: the code the instructor shows, the address when the class
// cannot be found by its code, and the name the instructor will see. OK stays off until the
// code and name can be used.
class JoinClassDialog : public QDialog {
    Q_OBJECT
public:
    explicit JoinClassDialog(QWidget* parent = nullptr);

    QString code() const;
    QString address() const;
    QString name() const;

private:
    void check();

    QLineEdit* codeEdit = nullptr;
    QLineEdit* addressEdit = nullptr;
    QLineEdit* nameEdit = nullptr;
    QLabel* problemLabel = nullptr;
    QDialogButtonBox* buttons = nullptr;
};

} // namespace pulsavo
