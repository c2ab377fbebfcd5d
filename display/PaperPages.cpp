#include "PaperPages.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <stdexcept>

namespace pulsavo {

namespace {

// QPdfWriter stamps the time of writing into the file; the same exam must give the same bytes,
// so the stamp becomes a fixed one of the same length and every offset in the file still holds.
QByteArray withFixedDate(QByteArray pdf) {
    static const QRegularExpression date(QStringLiteral(R"(\(D:(\d{14}))"));
    const QString text = QString::fromLatin1(pdf);
    QRegularExpressionMatchIterator it = date.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        pdf.replace(match.capturedStart(1), 14, "20000101000000");
    }
    return pdf;
}

} // namespace

QByteArray renderPages(const QString& title, qreal marginMm,
                       const std::function<void(QPdfWriter&, QPainter&)>& draw) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(marginMm, marginMm, marginMm, marginMm),
                                     QPageLayout::Millimeter));
    writer.setResolution(paperResolution);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("pulsavo-strip"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        throw std::runtime_error("cannot draw the PDF page");
    }
    draw(writer, painter);
    painter.end();
    buffer.close();
    return withFixedDate(pdf);
}

} // namespace pulsavo
