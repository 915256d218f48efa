#include "paint/TeachingPainter.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "paint/OverlayPainter.h"

namespace orbimo {

namespace {

constexpr int kMargin = 8, kPadding = 6;
const QColor kTints[2] = {QColor(255, 170, 0, 70), QColor(0, 140, 255, 70)};
const QColor kEllipse(90, 0, 160);
const QColor kTape(200, 0, 60);
const QColor kText(20, 20, 20);

QString Q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

/// Far-off points are pulled in: QPainter's fixed-point rasteriser wraps beyond ±2²³ pixels.
QPointF Clamped(const WindowPoint& w) {
    constexpr double kFar = 1e6;
    return {std::clamp(w.x, -kFar, kFar), std::clamp(w.y, -kFar, kFar)};
}

QPolygonF Polygon(const std::vector<WindowPoint>& points) {
    QPolygonF poly;
    poly.reserve(static_cast<qsizetype>(points.size()));
    for (const WindowPoint& w : points) poly << Clamped(w);
    return poly;
}

QRect TableRect(const TeachingLayers& l, QSize size, int bottom, const QFontMetrics& fm,
                std::vector<int>* columns = nullptr) {
    if (l.thirdLaw.empty()) return {};
    std::vector<int> widths(4, 0);
    QFont bold = OverlayFont();
    bold.setBold(true);
    const QFontMetrics head(bold);
    for (std::size_t r = 0; r < l.thirdLaw.size(); ++r)
        for (std::size_t c = 0; c < 4; ++c)
            widths[c] = std::max(widths[c],
                                 (r == 0 ? head : fm).horizontalAdvance(Q(l.thirdLaw[r][c])) + 12);
    if (columns) *columns = widths;
    int w = 2 * kPadding;
    for (int c : widths) w += c;
    const int h = fm.height() * static_cast<int>(l.thirdLaw.size()) + 2 * kPadding;
    return QRect(size.width() - kMargin - w, std::min(bottom, size.height()) - kMargin - h, w, h);
}

QRectF TapeLabelRect(const TeachingLayers& l, const QFontMetrics& fm) {
    const QPointF end = Clamped((*l.tape)[1]);
    return QRectF(end + QPointF(8, 6),
                  QSizeF(fm.horizontalAdvance(Q(l.tapeText)) + 8, fm.height() + 4));
}

}  // namespace

void PaintTeachingLayers(QPainter& p, const TeachingLayers& l, QSize size, int tableBottom) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(OverlayFont());
    const QFontMetrics fm(p.font());
    for (const TeachingLayers::Sector& s : l.sectors) {
        p.setPen(Qt::NoPen);
        p.setBrush(kTints[s.tint & 1]);
        p.drawPolygon(Polygon(s.outline));
    }
    p.setBrush(Qt::NoBrush);
    for (const TeachingLayers::Sector& s : l.sectors) {
        if (s.area.empty()) continue;
        const QString text = Q(s.area);
        // Only where the sector is wide enough for it: the orbit window lists them all.
        const QPointF towards = Clamped(s.label) - Clamped(s.outline.front());
        if (fm.horizontalAdvance(text) > 1.3 * std::hypot(towards.x(), towards.y())) continue;
        const QPointF at = Clamped(s.label) - QPointF(fm.horizontalAdvance(text) / 2.0, 0);
        QPainterPath path;
        path.addText(at, p.font(), text);
        p.strokePath(path,
                     QPen(QColor(255, 255, 255), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.fillPath(path, kText);
    }
    if (!l.ellipse.empty()) {
        p.setPen(QPen(kEllipse, 1.5, Qt::DashLine));
        p.drawPolyline(Polygon(l.ellipse));
    }
    if (l.focus) {
        p.setPen(QPen(kEllipse, 1.5));
        const QPointF f = Clamped(*l.focus);
        p.drawLine(f - QPointF(6, 0), f + QPointF(6, 0));
        p.drawLine(f - QPointF(0, 6), f + QPointF(0, 6));
    }
    if (l.tape) {
        const QPointF a = Clamped((*l.tape)[0]), b = Clamped((*l.tape)[1]);
        p.setPen(QPen(kTape, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, b);
        for (const QPointF& end : {a, b}) p.drawEllipse(end, 3, 3);
        const QRectF r = TapeLabelRect(l, fm);
        p.setPen(QColor(0, 0, 0, 90));
        p.setBrush(QColor(255, 255, 255, 215));
        p.drawRoundedRect(r, 4, 4);
        p.setPen(kTape);
        p.drawText(r.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignVCenter, Q(l.tapeText));
    }
    std::vector<int> columns;
    const QRect table = TableRect(l, size, tableBottom, fm, &columns);
    if (!table.isEmpty()) {
        p.setPen(QColor(0, 0, 0, 90));
        p.setBrush(QColor(255, 255, 255, 215));
        p.drawRoundedRect(QRectF(table).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        int y = table.top() + kPadding;
        for (std::size_t r = 0; r < l.thirdLaw.size(); ++r) {
            int x = table.left() + kPadding;
            QFont f = p.font();
            f.setBold(r == 0);
            p.setFont(f);
            p.setPen(kText);
            for (std::size_t c = 0; c < 4; ++c) {
                const QRect cell(x, y, columns[c] - 12, fm.height());
                p.drawText(cell, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                           Q(l.thirdLaw[r][c]));
                x += columns[c];
            }
            y += fm.height();
        }
    }
    p.restore();
}

QRegion TeachingRegion(const TeachingLayers& l, QSize size, int tableBottom) {
    const QFontMetrics fm(OverlayFont());
    QRectF r;
    auto add = [&r](const std::vector<WindowPoint>& points) {
        if (!points.empty()) r |= Polygon(points).boundingRect();
    };
    add(l.ellipse);
    for (const TeachingLayers::Sector& s : l.sectors) {
        add(s.outline);
        if (!s.area.empty())
            r |= QRectF(Clamped(s.label), QSizeF(0, 0))
                     .adjusted(-fm.horizontalAdvance(Q(s.area)), -fm.height(),
                               fm.horizontalAdvance(Q(s.area)), fm.height());
    }
    if (l.focus) r |= QRectF(Clamped(*l.focus), QSizeF(0, 0)).adjusted(-8, -8, 8, 8);
    QRegion region;
    if (l.tape) {
        add({(*l.tape)[0], (*l.tape)[1]});
        region += TapeLabelRect(l, fm).toAlignedRect().adjusted(-2, -2, 2, 2);
    }
    if (!r.isEmpty())
        region += r.toAlignedRect().adjusted(-4, -4, 4, 4) & QRect(QPoint(0, 0), size);
    region += TableRect(l, size, tableBottom, fm).adjusted(-2, -2, 2, 2);
    return region;
}

}  // namespace orbimo
