#include "StripPainter.h"

#include "Sweep.h"

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
#include <utility>

namespace pulsavo {

namespace {

constexpr int margin = 12;
constexpr int captionGap = 8;
constexpr int rowGap = 12;
// The paper's squares, as on the live panel: one pixel column per tick.
constexpr int smallSquare = Sweep::smallSquare;
constexpr int largeSquare = Sweep::largeSquare;
constexpr int ladderGap = 4;
constexpr int ladderHeight = 66;
constexpr int labelWidth = 26;

const QColor paper{255, 255, 255};
const QColor smallLine{248, 200, 200};
const QColor largeLine{228, 120, 120};
const QColor ink{24, 24, 32};
const QColor paperAlert{214, 0, 0};
const QColor monitorFrame{72, 72, 72};
const QColor monitorText{208, 208, 208};

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

// The panel's pens for a highlight; on paper the ink is thinner and the normal trace black,
// while the marked one keeps the colour and weight that set it apart on the panel.
std::pair<QPen, QPen> stripPens(Sweep::Highlight highlight, bool onPaper) {
    Sweep look(1, 1);
    look.setHighlight(highlight);
    if (!onPaper) {
        return {look.normalPen, look.alertPen};
    }
    const qreal extra = look.alertPen.widthF() - look.normalPen.widthF();
    const QColor alert =
        highlight == Sweep::Highlight::colourBlindSafe ? look.alertPen.color() : paperAlert;
    return {tracePen(ink, 1.5), tracePen(alert, 1.5 + extra)};
}

} // namespace

StripPainter::Metrics StripPainter::measure(const StripDescription& description) {
    Metrics m;
    m.columns = description.rowSeconds * ticksPerSecond;
    long long sizeWidth = description.width;
    long long sizeHeight = description.height;
    if (description.style == StripStyle::strip) {
        m.font = captionFont();
        const QFontMetricsF fontMetrics(m.font);
        qreal captionWidth = 0;
        for (const QString& line : description.caption) {
            captionWidth = std::max(captionWidth, fontMetrics.horizontalAdvance(line));
        }
        m.captionHeight =
            static_cast<int>(std::ceil(fontMetrics.lineSpacing() * description.caption.size()));
        const long long shown = std::max(1LL, description.lastTick - description.firstTick + 1);
        const long long rows = (shown + m.columns - 1) / m.columns;
        const int labels = description.ladder ? labelWidth : 0;
        m.left = margin + labels;
        m.rowPitch =
            description.height + rowGap + (description.ladder ? ladderGap + ladderHeight : 0);
        sizeWidth =
            2 * margin + std::max<long long>(labels + m.columns + 1, std::ceil(captionWidth));
        sizeHeight = 2 * margin + m.captionHeight + captionGap + rows * m.rowPitch - rowGap;
        m.rows = static_cast<int>(std::min<long long>(rows, maxImageSide));
    }
    if (sizeWidth > maxImageSide || sizeHeight > maxImageSide ||
        sizeWidth * sizeHeight > maxImagePixels) {
        throw StripTooLarge(
            "the image would be " + std::to_string(sizeWidth) + " x " + std::to_string(sizeHeight) +
            " pixels, more than can be drawn (at most " + std::to_string(maxImageSide) +
            " a side and " + std::to_string(maxImagePixels) + " in all)");
    }
    m.size = QSize(static_cast<int>(sizeWidth), static_cast<int>(sizeHeight));
    return m;
}

QSize StripPainter::pictureSize(const StripDescription& description) {
    return measure(description).size;
}

StripPainter::StripPainter(StripDescription description)
    : what(std::move(description)), metrics(measure(what)), ladder(what.events) {
    size = metrics.size;
}

QStringList stripCaption(const std::vector<Monitor::Selection>& selections, long long firstTick,
                         long long lastTick, std::optional<int> unusualHeight,
                         const std::function<QString(std::optional<Rhythm>)>& rhythmName) {
    QStringList lines;
    for (const Monitor::Selection& selection : selections) {
        QString line =
            selection.tick == 1 ? QString() : QStringLiteral("tick %1: ").arg(selection.tick);
        line += rhythmName(selection.rhythm);
        line += QStringLiteral("  seed %1").arg(selection.seed);
        lines << line;
    }
    if (lines.isEmpty()) {
        lines << rhythmName(std::nullopt);
    }
    lines.front() += QStringLiteral("  ticks %1–%2").arg(firstTick).arg(lastTick);
    if (unusualHeight) {
        lines.front() += QStringLiteral("  height %1").arg(*unusualHeight);
    }
    return lines;
}

void StripPainter::paint(QPainter& painter) const {
    if (what.style == StripStyle::monitor) {
        paintMonitor(painter);
    } else {
        paintStrip(painter);
    }
}

void StripPainter::paintMonitor(QPainter& painter) const {
    const QRect panel(0, 0, what.width, what.height);
    painter.save();
    painter.setClipRect(panel);
    painter.fillRect(panel, Qt::black);
    Sweep sweep(what.width, what.height);
    sweep.setHighlight(what.highlight);
    sweep.sweepX = what.startColumn;
    for (const TickSample& sample : what.samples) {
        sweep.paint(painter, sweep.advance(sample));
    }
    painter.restore();
}

QRect StripPainter::rowBox(int row) const {
    const int top = margin + metrics.captionHeight + captionGap + row * metrics.rowPitch;
    return QRect(metrics.left, top, metrics.columns + 1, what.height);
}

void StripPainter::paintGrid(QPainter& painter, const QRect& box) const {
    QList<QLineF> small;
    QList<QLineF> large;
    // Half-pixel positions keep one-pixel lines sharp when antialiased.
    for (int x = 0; x < box.width(); x += smallSquare) {
        const qreal at = box.left() + x + 0.5;
        (x % largeSquare == 0 ? large : small)
            << QLineF(at, box.top(), at, box.top() + what.height);
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
    const bool grid = what.grid;
    painter.fillRect(QRect(QPoint(0, 0), size), grid ? paper : QColor(Qt::black));

    painter.setFont(metrics.font);
    painter.setPen(grid ? ink : monitorText);
    const QFontMetricsF fontMetrics(metrics.font);
    for (qsizetype i = 0; i < what.caption.size(); ++i) {
        painter.drawText(
            QPointF(margin, margin + fontMetrics.ascent() + i * fontMetrics.lineSpacing()),
            what.caption[i]);
    }
    const Sweep clamp(what.width, what.height);

    const std::pair<QPen, QPen> pens = stripPens(what.highlight, grid);
    const QPen& normalPen = pens.first;
    const QPen& alertPen = pens.second;
    for (int row = 0; row < metrics.rows; ++row) {
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
        const auto columns = static_cast<std::size_t>(metrics.columns);
        const std::size_t begin = static_cast<std::size_t>(row) * columns;
        const std::size_t end = std::min(what.samples.size(), begin + columns);
        for (std::size_t i = begin; i < end; ++i) {
            const TickSample& sample = what.samples[i];
            const int x = static_cast<int>(i - begin);
            const QPointF from(x, sample.fromY);
            const bool sampleRed = sample.red && what.marking;
            if (line.isEmpty() || sampleRed != red || line.back() != from) {
                flush();
                red = sampleRed;
                line << from;
            }
            line << QPointF(x + 1, clamp.clampY(sample.y));
        }
        flush();
        painter.restore();
        if (what.ladder) {
            paintLadder(painter, row, box);
        }
    }
    painter.restore();
}

void StripPainter::paintLadder(QPainter& painter, int row, const QRect& box) const {
    const LadderPalette palette = what.grid ? LadderPalette::paper() : LadderPalette::monitor();
    const QRectF area(box.left(), box.bottom() + 1 + ladderGap, box.width(), ladderHeight);
    const long long first = what.firstTick + static_cast<long long>(row) * metrics.columns;
    const long long last = std::min(what.lastTick, first + metrics.columns - 1);
    ladder.paint(painter, area, first, last, palette);
    QFont font = metrics.font;
    font.setPixelSize(11);
    LadderPainter::paintLabels(painter, QRectF(margin, area.top(), labelWidth - 6, ladderHeight),
                               font, palette);
}

StripDescription stripOfMonitor(const Monitor& monitor, int ticks, bool grid, bool ladder,
                                std::optional<int> unusualHeight,
                                const std::function<QString(std::optional<Rhythm>)>& rhythmName) {
    StripDescription description;
    description.grid = grid;
    description.highlight = monitor.highlight();
    description.width = monitor.sweep().width;
    description.height = monitor.sweep().height;
    description.samples = monitor.history(ticks);
    description.lastTick = std::max(1LL, monitor.tickCount());
    description.firstTick =
        description.lastTick - static_cast<long long>(description.samples.size()) + 1;
    description.caption = stripCaption(monitor.selections(), description.firstTick,
                                       description.lastTick, unusualHeight, rhythmName);
    if (ladder && monitor.keepsEvents()) {
        description.ladder = true;
        description.events = monitor.events(description.firstTick - LadderPainter::lookBackTicks,
                                            description.lastTick);
    }
    return description;
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
    generator.setTitle(strip.description().caption.join(QStringLiteral(" / ")));
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
    writer.setTitle(strip.description().caption.join(QStringLiteral(" / ")));
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

} // namespace pulsavo
