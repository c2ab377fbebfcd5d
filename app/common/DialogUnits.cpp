#include "DialogUnits.h"

#include <QFontMetrics>
#include <QStringList>

namespace pulsavo {

QFont dialogFont(int pointSize) {
    const QString family = QStringLiteral("MS UI Gothic");
    QFont::insertSubstitutions(family, QStringList{QStringLiteral("IPAPGothic"),
                                                   QStringLiteral("VL PGothic"),
                                                   QStringLiteral("Noto Sans CJK JP")});
    QFont font(family, pointSize, QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

DialogUnits DialogUnits::forFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogUnits{baseXForTextWidth(width), metrics.height()};
}

} // namespace pulsavo
