#pragma once

#include <QFont>
#include <QStringList>

namespace pulsavo::strip {

// Printed sheets and reports: a Japanese gothic first, since names and headings may be
// Japanese, then a Latin face for machines without one.
inline QFont paperFont(qreal points, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace pulsavo::strip
