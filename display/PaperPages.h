#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;
class QPdfWriter;

namespace pulsavo {

// Printed sheets and reports are drawn at this many dots per inch.
inline constexpr int paperResolution = 300;

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

// A4 pages painted by `draw` into an in-memory PDF with the given margins, dated the same on
// every run so that the same input gives the same bytes. Needs a QGuiApplication.
QByteArray renderPages(const QString& title, qreal marginMm,
                       const std::function<void(QPdfWriter&, QPainter&)>& draw);

} // namespace pulsavo
