#include "StripPainter.h"

#include "Catalogue.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPolygonF>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace pulsavo::strip {

namespace {

constexpr int margin = 12;
constexpr int captionGap = 8;
constexpr int rowGap = 12;
constexpr int smallSquare = 4;
constexpr int largeSquare = 20;

const QColor paper{255, 255, 255};
const QColor smallLine{248, 200, 200};
const QColor largeLine{228, 120, 120};
const QColor ink{24, 24, 32};
const QColor paperAlert{214, 0, 0};
const QColor monitorFrame{72, 72, 72};
const QColor monitorText{208, 208, 208};

QString rhythmName(int rhythm) {
    const std::string_view name = rhythm >= 0 && rhythm < catalogue::entryCount
                                      ? catalogue::rhythmNames[rhythm]
                                      : catalogue::noSelectionMessage;
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// Everything needed to run the same trace again: each selection with its seed, the ticks shown
// and, when it differs, the panel height that the trace is clamped to.
QStringList captionLines(const TraceOptions& options, long long firstTick) {
    QStringList lines;
    for (const Selection& selection : options.selections) {
        QString line =
            selection.tick == 1 ? QString() : QStringLiteral("tick %1: ").arg(selection.tick);
        line += rhythmName(selection.rhythm);
        line += QStringLiteral("  seed %1").arg(selection.seed);
        lines << line;
    }
    if (lines.isEmpty()) {
        lines << rhythmName(noRhythm);
    }
    lines.front() += QStringLiteral("  ticks %1–%2").arg(firstTick).arg(options.ticks);
    if (options.height != defaultHeight) {
        lines.front() += QStringLiteral("  height %1").arg(options.height);
    }
    return lines;
}

QFont captionFont() {
    QFont font;
    font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Droid Sans Fallback"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(14);
    return font;
}

QPen tracePen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

StripPainter::StripPainter(const TraceOptions& options)
    : style(options.image.style), grid(options.image.grid), width(options.width),
      height(options.height), columns(options.image.rowSeconds * ticksPerSecond),
      firstTick(options.image.from), lastTick(options.ticks) {
    long long sizeWidth = width;
    long long sizeHeight = height;
    if (style == ImageStyle::strip) {
        font = captionFont();
        caption = captionLines(options, firstTick);
        const QFontMetricsF metrics(font);
        qreal captionWidth = 0;
        for (const QString& line : caption) {
            captionWidth = std::max(captionWidth, metrics.horizontalAdvance(line));
        }
        captionHeight = static_cast<int>(std::ceil(metrics.lineSpacing() * caption.size()));
        const long long shown = lastTick - firstTick + 1;
        rows = static_cast<int>((shown + columns - 1) / columns);
        sizeWidth = 2 * margin + std::max<long long>(columns + 1, std::ceil(captionWidth));
        sizeHeight = 2 * margin + captionHeight + captionGap +
                     static_cast<long long>(rows) * (height + rowGap) - rowGap;
    }
    if (sizeWidth > maxImageSide || sizeHeight > maxImageSide ||
        sizeWidth * sizeHeight > maxImagePixels) {
        throw UsageError("the image would be " + std::to_string(sizeWidth) + " x " +
                         std::to_string(sizeHeight) + " pixels, more than can be drawn (at most " +
                         std::to_string(maxImageSide) + " a side and " +
                         std::to_string(maxImagePixels) + " in all)");
    }
    size = QSize(static_cast<int>(sizeWidth), static_cast<int>(sizeHeight));

    // Every column is wiped within W - 2 ticks, so what the panel shows at the end was drawn by
    // the last W ticks at most; replaying only those onto black gives the same pixels.
    const long long recordFrom =
        style == ImageStyle::monitor ? std::max(1LL, lastTick - width + 1) : firstTick;
    if (style == ImageStyle::monitor) {
        steps.reserve(static_cast<std::size_t>(lastTick - recordFrom + 1));
    } else {
        segments.reserve(static_cast<std::size_t>(lastTick - recordFrom + 1));
    }
    runTrace(options, [this, recordFrom](const TraceTick& t) {
        if (t.tick < recordFrom) {
            return;
        }
        if (style == ImageStyle::monitor) {
            steps.push_back(t.step);
        } else {
            segments.push_back({t.step.from.y(), t.step.to.y(), t.step.red});
        }
    });
}

void StripPainter::paint(QPainter& painter) const {
    if (style == ImageStyle::monitor) {
        paintMonitor(painter);
    } else {
        paintStrip(painter);
    }
}

void StripPainter::paintMonitor(QPainter& painter) const {
    const QRect panel(0, 0, width, height);
    painter.save();
    painter.setClipRect(panel);
    painter.fillRect(panel, Qt::black);
    const Sweep sweep(width, height);
    for (const Sweep::Step& step : steps) {
        sweep.paint(painter, step);
    }
    painter.restore();
}

QRect StripPainter::rowBox(int row) const {
    const int top = margin + captionHeight + captionGap + row * (height + rowGap);
    return QRect(margin, top, columns + 1, height);
}

void StripPainter::paintGrid(QPainter& painter, const QRect& box) const {
    QList<QLineF> small;
    QList<QLineF> large;
    // Half-pixel positions keep one-pixel lines sharp when antialiased.
    for (int x = 0; x < box.width(); x += smallSquare) {
        const qreal at = box.left() + x + 0.5;
        (x % largeSquare == 0 ? large : small) << QLineF(at, box.top(), at, box.top() + height);
    }
    for (int y = 0; y < box.height(); y += smallSquare) {
        const qreal at = box.top() + y + 0.5;
        (y % largeSquare == 0 ? large : small)
            << QLineF(box.left(), at, box.left() + box.width(), at);
    }
    painter.setPen(QPen(smallLine, 1));
    painter.drawLines(small);
    painter.setPen(QPen(largeLine, 1));
    painter.drawLines(large);
}

void StripPainter::paintStrip(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(QPoint(0, 0), size), grid ? paper : QColor(Qt::black));

    painter.setFont(font);
    painter.setPen(grid ? ink : monitorText);
    const QFontMetricsF metrics(font);
    for (qsizetype i = 0; i < caption.size(); ++i) {
        painter.drawText(QPointF(margin, margin + metrics.ascent() + i * metrics.lineSpacing()),
                         caption[i]);
    }

    const QPen normalPen = grid ? tracePen(ink, 1.5) : tracePen(Sweep::normalColour, 2);
    const QPen alertPen = grid ? tracePen(paperAlert, 1.5) : tracePen(Sweep::alertColour, 2);
    for (int row = 0; row < rows; ++row) {
        const QRect box = rowBox(row);
        if (grid) {
            paintGrid(painter, box);
        } else {
            painter.setPen(monitorFrame);
            painter.drawRect(QRectF(box).adjusted(-0.5, -0.5, 0.5, 0.5));
        }
        painter.save();
        painter.setClipRect(box);
        painter.translate(box.topLeft());
        // Runs of one colour become one polyline, so the joins are smooth and vector files small.
        QPolygonF line;
        bool red = false;
        const auto flush = [&] {
            if (line.size() > 1) {
                painter.setPen(red ? alertPen : normalPen);
                painter.drawPolyline(line);
            }
            line.clear();
        };
        const std::size_t begin = static_cast<std::size_t>(row) * columns;
        const std::size_t end = std::min(segments.size(), begin + columns);
        for (std::size_t i = begin; i < end; ++i) {
            const Segment& segment = segments[i];
            const int x = static_cast<int>(i - begin);
            const QPointF from(x, segment.fromY);
            if (line.isEmpty() || segment.red != red || line.back() != from) {
                flush();
                red = segment.red;
                line << from;
            }
            line << QPointF(x + 1, segment.toY);
        }
        flush();
        painter.restore();
    }
    painter.restore();
}

QImage renderImage(const StripPainter& strip) {
    QImage image(strip.size, QImage::Format_RGB32);
    if (image.isNull()) {
        throw std::runtime_error("not enough memory for a " + std::to_string(strip.size.width()) +
                                 " x " + std::to_string(strip.size.height()) + " image");
    }
    QPainter painter(&image);
    strip.paint(painter);
    return image;
}

QByteArray renderPng(const StripPainter& strip) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!renderImage(strip).save(&buffer, "PNG")) {
        throw std::runtime_error("cannot encode the PNG image");
    }
    return png;
}

QByteArray renderSvg(const StripPainter& strip) {
    QByteArray svg;
    QBuffer buffer(&svg);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(strip.size);
    generator.setResolution(96); // one CSS pixel per picture pixel
    generator.setViewBox(QRect(QPoint(0, 0), strip.size));
    generator.setTitle(strip.caption.join(QStringLiteral(" / ")));
    generator.setDescription(QStringLiteral("pulsavo-strip trace"));
    QPainter painter;
    if (!painter.begin(&generator)) {
        throw std::runtime_error("cannot draw the SVG image");
    }
    strip.paint(painter);
    painter.end();
    return svg;
}

QByteArray renderPdf(const StripPainter& strip) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    writer.setResolution(300);
    writer.setTitle(strip.caption.join(QStringLiteral(" / ")));
    writer.setCreator(QStringLiteral("pulsavo-strip"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        throw std::runtime_error("cannot draw the PDF page");
    }
    const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
    const qreal scale = std::min(page.width() / qreal(strip.size.width()),
                                 page.height() / qreal(strip.size.height()));
    painter.translate((page.width() - scale * strip.size.width()) / 2, 0);
    painter.scale(scale, scale);
    strip.paint(painter);
    painter.end();
    return pdf;
}

} // namespace pulsavo::strip
