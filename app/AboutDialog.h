#pragma once

#include <QDialog>

namespace pulsavo {

// The version box: icon, product and version line, one more line and OK. It has no behaviour
// of its own; OK, Enter, Escape and the close box end its run.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString caption = QStringLiteral("バージョン情報 Tavix");
    static inline const QString productLine = QStringLiteral("Pulsavo　 Version 1.2");
    static inline const QString thirdLine = QStringLiteral("心電図トレーニング");

    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace pulsavo
