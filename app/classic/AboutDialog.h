#pragma once

#include "PulsavoVersion.h"

#include <QDialog>

namespace pulsavo {

// The version box: icon, product and version line, one more line and OK. It has no behaviour
// of its own; OK, Enter, Escape and the close box end its run.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // The product line is a name and a number, the same in every language.
    static QString productLine() {
        return QStringLiteral("Pulsavo　 Version " PULSAVO_DISPLAY_VERSION);
    }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
};

} // namespace pulsavo
