#include "LadderPainter.h"

#include <QCoreApplication>
#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <optional>
#include <unordered_map>

namespace pulsavo {

namespace {

constexpr qreal atriaShare = 0.3;
constexpr qreal nodeShare = 0.4;
// A blocked P wave's line runs this many ticks into the node, to half its depth.
constexpr int blockedRun = 6;
constexpr qreal barHalf = 3.5;
constexpr qreal dotRadius = 2.6;
constexpr qreal fan = 5;

bool isAtrialWave(WaveKind kind) {
    return kind == WaveKind::p || kind == WaveKind::atrialFibrillation ||
           kind == WaveKind::atrialFlutter;
}

LadderTier tierOf(LadderShape shape) {
    switch (shape) {
    case LadderShape::atrial:
    case LadderShape::atrialOrigin:
    case LadderShape::atrialFragment:
    case LadderShape::blocked:
    case LadderShape::missing:
        return LadderTier::atria;
    case LadderShape::junctional:
        return LadderTier::node;
    default:
        return LadderTier::ventricles;
    }
}

QPen markPen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

} // namespace

LadderPalette LadderPalette::monitor() {
    return {QColor(230, 230, 230), QColor(80, 80, 80), QColor(208, 208, 208), QColor(255, 170, 60)};
}

LadderPalette LadderPalette::paper() {
    return {QColor(24, 24, 32), QColor(170, 170, 170), QColor(24, 24, 32), QColor(200, 90, 0)};
}

LadderShape LadderPainter::shapeOf(const WaveEvent& event, bool hasAtrialWave) {
    switch (event.kind) {
    case WaveKind::p:
        switch (event.role) {
        case WaveRole::blocked:
            return LadderShape::blocked;
        case WaveRole::missing:
            return LadderShape::missing;
        case WaveRole::supraventricular:
        case WaveRole::escape:
            return LadderShape::atrialOrigin;
        default:
            return LadderShape::atrial;
        }
    case WaveKind::atrialFibrillation:
    case WaveKind::atrialFlutter:
        return event.role == WaveRole::conducted ? LadderShape::atrial
                                                 : LadderShape::atrialFragment;
    case WaveKind::qrs:
        switch (event.role) {
        case WaveRole::ventricular:
            return LadderShape::ventricular;
        case WaveRole::escape:
            return LadderShape::junctional;
        case WaveRole::supraventricular:
            return hasAtrialWave ? LadderShape::conducted : LadderShape::junctional;
        default:
            return LadderShape::conducted;
        }
    case WaveKind::ventricularBeat:
        return event.role == WaveRole::conducted && hasAtrialWave ? LadderShape::conducted
                                                                  : LadderShape::ventricular;
    case WaveKind::ventricularFibrillation:
        return LadderShape::ventricularFragment;
    case WaveKind::pacingAtrial:
        // The spike is where the impulse starts: a dot in the tier it paces.
        return LadderShape::atrialOrigin;
    case WaveKind::pacingVentricular:
        return LadderShape::ventricular;
    case WaveKind::t:
        return LadderShape::recovery;
    case WaveKind::wander:
    case WaveKind::tremor:
    case WaveKind::mains:
    case WaveKind::motion:
    case WaveKind::leadOff:
    case WaveKind::cpr:
    case WaveKind::pulse:
    case WaveKind::shock:
        break; // not the heart's conduction: the constructor leaves them out
    }
    return LadderShape::atrial;
}

LadderPainter::LadderPainter(std::span<const WaveEvent> events) {
    std::vector<WaveEvent> ordered(events.begin(), events.end());
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const WaveEvent& a, const WaveEvent& b) { return a.tick < b.tick; });
    all.reserve(ordered.size());
    std::unordered_map<std::int64_t, std::size_t> atrialOfBeat;
    std::optional<std::size_t> lastAtrial;
    std::int64_t lastPr = usualPr;
    for (const WaveEvent& event : ordered) {
        if (!isCardiacWave(event.kind)) {
            continue;
        }
        LadderMark mark{event, LadderTier::atria, LadderShape::atrial, event.tick, event.tick};
        std::optional<std::size_t> from;
        if (isVentricularComplex(event.kind)) {
            // A ventricular complex conducts from the atrial wave of its own beat; one of
            // fibrillating atria has none, and comes from the last atrial wave before it.
            if (const auto own = atrialOfBeat.find(event.beat); own != atrialOfBeat.end()) {
                from = own->second;
            } else if (event.role == WaveRole::conducted && lastAtrial &&
                       event.tick - all[*lastAtrial].tick <= maxLinkTicks) {
                from = lastAtrial;
            }
        }
        mark.shape = shapeOf(event, from.has_value());
        mark.tier = tierOf(mark.shape);
        if (mark.shape == LadderShape::conducted) {
            if (from) {
                LadderMark& atrial = all[*from];
                mark.linkTick = atrial.tick;
                if (atrial.shape == LadderShape::atrialFragment) {
                    atrial.shape = LadderShape::atrial; // the conducted one, drawn through
                }
                lastPr = mark.tick - mark.linkTick;
            }
        } else if (mark.shape == LadderShape::missing) {
            // The beat that did not come is outlined with the PR of the last one that did.
            mark.linkTick = mark.tick + lastPr;
        }
        if (isAtrialWave(event.kind) && event.role != WaveRole::missing) {
            atrialOfBeat[event.beat] = all.size();
            lastAtrial = all.size();
        }
        all.push_back(mark);
    }
}

std::vector<LadderMark> LadderPainter::marksIn(std::int64_t firstTick,
                                               std::int64_t lastTick) const {
    std::vector<LadderMark> in;
    std::copy_if(all.begin(), all.end(), std::back_inserter(in), [&](const LadderMark& mark) {
        return mark.tick >= firstTick && mark.tick <= lastTick;
    });
    return in;
}

QRectF LadderPainter::tierBox(LadderTier tier, const QRectF& area) {
    const qreal atriaHeight = area.height() * atriaShare;
    const qreal nodeHeight = area.height() * nodeShare;
    switch (tier) {
    case LadderTier::atria:
        return {area.left(), area.top(), area.width(), atriaHeight};
    case LadderTier::node:
        return {area.left(), area.top() + atriaHeight, area.width(), nodeHeight};
    case LadderTier::ventricles:
        break;
    }
    return {area.left(), area.top() + atriaHeight + nodeHeight, area.width(),
            area.height() - atriaHeight - nodeHeight};
}

void LadderPainter::paint(QPainter& painter, const QRectF& area, std::int64_t firstTick,
                          std::int64_t lastTick, const LadderPalette& palette) const {
    if (lastTick < firstTick) {
        return;
    }
    const qreal width = std::min(area.width(), static_cast<qreal>(lastTick - firstTick + 1));
    const QRectF shown(area.left(), area.top(), width, area.height());
    painter.save();
    painter.setClipRect(shown, Qt::IntersectClip);
    painter.setPen(QPen(palette.faint, 1));
    for (const qreal y : {shown.top(), tierBox(LadderTier::node, shown).top(),
                          tierBox(LadderTier::ventricles, shown).top(), shown.bottom()}) {
        painter.drawLine(QLineF(shown.left(), y, shown.right(), y));
    }
    // Marks are cut at the range's edges; a mark reaching into it from outside is drawn too.
    const auto begin = std::lower_bound(
        all.begin(), all.end(), firstTick - lookBackTicks,
        [](const LadderMark& mark, std::int64_t tick) { return mark.tick < tick; });
    for (auto it = begin; it != all.end() && it->tick <= lastTick + lookBackTicks; ++it) {
        paintMark(painter, *it, area, firstTick, palette);
    }
    painter.restore();
}

void LadderPainter::paintMark(QPainter& painter, const LadderMark& mark, const QRectF& area,
                              std::int64_t firstTick, const LadderPalette& palette) const {
    const auto xOf = [&](std::int64_t tick) {
        return area.left() + static_cast<qreal>(tick - firstTick) + 0.5;
    };
    const QRectF atria = tierBox(LadderTier::atria, area);
    const QRectF node = tierBox(LadderTier::node, area);
    const QRectF ventricles = tierBox(LadderTier::ventricles, area);
    const qreal x = xOf(mark.tick);
    const qreal link = xOf(mark.linkTick);
    const QPen pen = markPen(palette.ink, 1.5);
    const auto dot = [&](qreal y) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette.ink);
        painter.drawEllipse(QPointF(x, y), dotRadius, dotRadius);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(pen);
    };
    const auto through = [&](qreal at, const QRectF& tier) {
        painter.drawLine(QLineF(at, tier.top(), at, tier.bottom()));
    };
    painter.setPen(pen);
    switch (mark.shape) {
    case LadderShape::atrial:
        through(x, atria);
        break;
    case LadderShape::atrialOrigin:
        through(x, atria);
        dot(atria.center().y());
        break;
    case LadderShape::atrialFragment:
        painter.drawLine(QLineF(x, atria.top() + 0.4 * atria.height(), x,
                                atria.bottom() - 0.05 * atria.height()));
        break;
    case LadderShape::blocked: {
        through(x, atria);
        const QPointF end(xOf(mark.tick + blockedRun), node.top() + node.height() / 2);
        const QLineF line(QPointF(x, node.top()), end);
        painter.drawLine(line);
        const QLineF normal = line.normalVector().unitVector();
        const QPointF across = (normal.p2() - normal.p1()) * barHalf;
        painter.drawLine(QLineF(end - across, end + across));
        break;
    }
    case LadderShape::missing: {
        QPen dashed = markPen(palette.missing, 1.5);
        dashed.setDashPattern({2, 2});
        painter.setPen(dashed);
        through(x, atria);
        painter.drawLine(QLineF(x, node.top(), link, node.bottom()));
        through(link, ventricles);
        break;
    }
    case LadderShape::conducted:
        painter.drawLine(QLineF(link, node.top(), x, node.bottom()));
        through(x, ventricles);
        break;
    case LadderShape::junctional:
        painter.drawLine(QLineF(x, node.center().y(), x, node.bottom()));
        through(x, ventricles);
        dot(node.center().y());
        break;
    case LadderShape::ventricular: {
        // A beat laid mirrored comes from another focus: its dot sits lower.
        const QPointF origin(x, ventricles.top() +
                                    ventricles.height() * (mark.event.inverted ? 0.7 : 0.4));
        for (const qreal side : {-fan, fan}) {
            painter.drawLine(QLineF(origin, QPointF(x + side, ventricles.top())));
            painter.drawLine(QLineF(origin, QPointF(x + side, ventricles.bottom())));
        }
        dot(origin.y());
        break;
    }
    case LadderShape::ventricularFragment:
        painter.drawLine(QLineF(x, ventricles.top() + 0.15 * ventricles.height(), x,
                                ventricles.bottom() - 0.35 * ventricles.height()));
        break;
    case LadderShape::recovery: {
        painter.setPen(markPen(palette.faint, 2));
        const qreal y = ventricles.bottom() - 0.15 * ventricles.height();
        painter.drawLine(QLineF(x - 0.5, y, xOf(mark.tick + mark.event.length) - 0.5, y));
        break;
    }
    }
}

void LadderPainter::paintLabels(QPainter& painter, const QRectF& labels, const QFont& font,
                                const LadderPalette& palette) {
    painter.save();
    painter.setFont(font);
    painter.setPen(palette.label);
    const std::array<std::pair<LadderTier, const char*>, 3> names{{
        {LadderTier::atria, QT_TRANSLATE_NOOP("LadderPainter", "A")},
        {LadderTier::node, QT_TRANSLATE_NOOP("LadderPainter", "AV")},
        {LadderTier::ventricles, QT_TRANSLATE_NOOP("LadderPainter", "V")},
    }};
    for (const auto& [tier, name] : names) {
        painter.drawText(tierBox(tier, labels), Qt::AlignRight | Qt::AlignVCenter,
                         QCoreApplication::translate("LadderPainter", name));
    }
    painter.restore();
}

} // namespace pulsavo
