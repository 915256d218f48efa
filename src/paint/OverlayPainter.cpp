#include "paint/OverlayPainter.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace orbimo {

namespace {

constexpr int kMargin = 8;   // from the picture's edges
constexpr int kPadding = 6;  // inside a panel
const QColor kPanel(255, 255, 255, 215);
const QColor kPanelBorder(0, 0, 0, 90);
const QColor kText(20, 20, 20);
const QColor kWarning(190, 50, 0);

QString Q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

QColor FromColour(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

/// A white outline, but a dark one for a colour nearly as light as white: readable on the
/// light background, on traces and on markers.
QColor OutlineFor(const QColor& c) {
    return c.lightnessF() > 0.8 ? QColor(0, 0, 0) : QColor(255, 255, 255);
}

// Outlined text is a path whose glyph outlines are loaded and stroked each time it is drawn,
// while the layers show the same few texts frame after frame. So each is drawn once into an
// image, moved by whole pixels only: blitted, it covers the pixels the path would.
void OutlinedText(QPainter& p, QPoint baseline, const QString& text, const QColor& colour) {
    struct Drawn {
        QImage image;
        QPoint offset;  // of the image's corner from the baseline's start
    };
    static QHash<QString, Drawn> drawn;
    const QString key =
        text + QChar(0) + QString::number(colour.rgba()) + QChar(0) + p.font().toString();
    auto it = drawn.constFind(key);
    if (it == drawn.constEnd()) {
        if (drawn.size() >= 256) drawn.clear();  // labels and scales come and go
        QPainterPath path;
        path.addText(QPointF(0, 0), p.font(), text);
        const QRect bounds = path.boundingRect().toAlignedRect().adjusted(-3, -3, 3, 3);
        Drawn d{QImage(bounds.size(), QImage::Format_ARGB32_Premultiplied), bounds.topLeft()};
        d.image.fill(Qt::transparent);
        QPainter q(&d.image);
        q.setRenderHints(p.renderHints());
        q.translate(-bounds.topLeft());
        q.strokePath(path, QPen(OutlineFor(colour), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        q.fillPath(path, colour);
        q.end();
        it = drawn.insert(key, std::move(d));
    }
    p.drawImage(baseline + it->offset, it->image);
}

struct Layout {
    QRect readout, legend, scaleBar, date, arrowScale, timeBar;
    std::vector<PlacedLabel> labels;
};

QRect ToQRect(const PixelRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// A leader line from a marker's edge to the nearest point of its label's box.
QLine Leader(const BodyLabel& b, const QRect& box, int markerSize) {
    const QPoint to(std::clamp(b.x, box.left(), box.right()),
                    std::clamp(b.y, box.top(), box.bottom()));
    const QPoint from(b.x, b.y);
    const QPoint d = to - from;
    const double length = std::hypot(d.x(), d.y());
    const double start = markerSize / 2.0 + 1;
    if (length <= start) return QLine(to, to);
    return QLine(from + QPoint(static_cast<int>(d.x() * start / length),
                               static_cast<int>(d.y() * start / length)),
                 to);
}

Layout LayOut(const Overlay& o, QSize size, const QFontMetrics& fm) {
    Layout l;
    const int line = fm.height();
    if (!o.readout.empty()) {
        int w = 0;
        for (const ReadoutLine& r : o.readout) w = std::max(w, fm.horizontalAdvance(Q(r.text)));
        l.readout = QRect(kMargin, kMargin, w + 2 * kPadding,
                          line * static_cast<int>(o.readout.size()) + 2 * kPadding);
    }
    if (!o.legend.empty()) {
        int w = 0;
        for (const LegendEntry& e : o.legend) w = std::max(w, fm.horizontalAdvance(Q(e.text)));
        w += line + kPadding;  // the colour square and its gap
        l.legend = QRect(size.width() - kMargin - w - 2 * kPadding, kMargin, w + 2 * kPadding,
                         line * static_cast<int>(o.legend.size()) + 2 * kPadding);
    }
    if (o.scaleBar && o.scaleBar->pixels > 0) {
        const int w = std::max(o.scaleBar->pixels, fm.horizontalAdvance(Q(o.scaleBar->text)));
        l.scaleBar = QRect(2 * kMargin - 3, size.height() - kMargin - line - 10, w + 6, line + 10);
    }
    if (!o.date.empty()) {
        const int w = fm.horizontalAdvance(Q(o.date)) + 6;
        l.date = QRect(size.width() - kMargin - w, size.height() - kMargin - line - 4, w, line + 4);
    }
    if (!o.arrowScale.empty()) {
        const int w = fm.horizontalAdvance(Q(o.arrowScale)) + 6;
        const int bottom = l.date.isEmpty() ? size.height() - kMargin : l.date.top() - 2;
        l.arrowScale = QRect(size.width() - kMargin - w, bottom - line - 4, w, line + 4);
    }
    if (o.timeBar) {
        // The groove and the handle, and the date above the handle.
        const TimeBarLayer& t = *o.timeBar;
        const int w = fm.horizontalAdvance(Q(t.label)) + 6;
        l.timeBar = QRect(t.left, t.top - 4, t.width, t.height + 8);
        if (!t.label.empty())
            l.timeBar |= QRect(std::clamp(t.handle - w / 2, t.left, t.left + t.width - w),
                               t.top - 6 - line, w, line + 2);
    }
    std::vector<LabelToPlace> labels;
    for (const BodyLabel& b : o.labels)
        labels.push_back({b.x, b.y, fm.horizontalAdvance(Q(b.text)) + 6, fm.height() + 4});
    std::vector<PixelRect> markers;
    for (const BodyMarker& m : o.bodies)
        markers.push_back({m.x - o.markerSize / 2, m.y - o.markerSize / 2,
                           m.x - o.markerSize / 2 + o.markerSize,
                           m.y - o.markerSize / 2 + o.markerSize});
    l.labels = PlaceLabels(labels, o.markerSize, size.width(), size.height(), markers);
    return l;
}

}  // namespace

QFont OverlayFont() {
    QFont f;
    f.setPixelSize(13);
    return f;
}

void PaintOverlay(QPainter& p, const Overlay& o, QSize size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(OverlayFont());
    const QFontMetrics fm(p.font());
    const Layout l = LayOut(o, size, fm);
    auto panel = [&p](const QRect& r) {
        p.setPen(kPanelBorder);
        p.setBrush(kPanel);
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    };
    if (!l.readout.isEmpty()) {
        panel(l.readout);
        int y = l.readout.top() + kPadding + fm.ascent();
        for (const ReadoutLine& r : o.readout) {
            p.setPen(r.warning ? kWarning : kText);
            p.drawText(l.readout.left() + kPadding, y, Q(r.text));
            y += fm.height();
        }
    }
    if (!l.legend.isEmpty()) {
        panel(l.legend);
        int y = l.legend.top() + kPadding;
        for (const LegendEntry& e : o.legend) {
            const int box = fm.height() - 4;
            p.fillRect(QRect(l.legend.left() + kPadding, y + 2, box, box), FromColour(e.colour));
            p.setPen(kText);
            p.drawText(l.legend.left() + kPadding + fm.height() + kPadding, y + fm.ascent(),
                       Q(e.text));
            y += fm.height();
        }
    }
    for (const ArrowLayer& a : o.arrows) {
        const QLineF line(a.x0 + 0.5, a.y0 + 0.5, a.x1 + 0.5, a.y1 + 0.5);
        if (line.length() < 1) continue;
        // The shaft and a head of two strokes, outlined to stand out on paths.
        const QLineF back = QLineF(line.p2(), line.p1());
        QLineF head1 = back, head2 = back;
        head1.setLength(8), head2.setLength(8);
        head1.setAngle(back.angle() + 25), head2.setAngle(back.angle() - 25);
        const QColor colour = FromColour(a.colour);
        for (const auto& [pen, width] : {std::pair{OutlineFor(colour), 4}, {colour, 2}}) {
            p.setPen(QPen(pen, width, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(line), p.drawLine(head1), p.drawLine(head2);
        }
    }
    if (!l.arrowScale.isEmpty())
        OutlinedText(p, QPoint(l.arrowScale.left() + 3, l.arrowScale.top() + 2 + fm.ascent()),
                     Q(o.arrowScale), kText);
    for (const CoveredMarker& c : o.covered)
        for (int k = 0; k < 9; ++k)
            if (c.under[static_cast<std::size_t>(k)] > 0)
                p.fillRect(QRect(c.x + k % 3 - 1, c.y + k / 3 - 1, 1, 1),
                           FromColour(static_cast<Colour>(c.under[static_cast<std::size_t>(k)])));
    for (const BodyMarker& m : o.bodies)
        p.fillRect(
            QRect(m.x - o.markerSize / 2, m.y - o.markerSize / 2, o.markerSize, o.markerSize),
            Qt::black);
    for (std::size_t i = 0; i < o.labels.size(); ++i) {
        if (!l.labels[i].shown) continue;
        const QRect box = ToQRect(l.labels[i].box);
        const QColor colour = FromColour(o.labels[i].colour);
        if (l.labels[i].leader) {
            const QLine line = Leader(o.labels[i], box, o.markerSize);
            p.setPen(QPen(OutlineFor(colour), 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(line);
            p.setPen(QPen(colour, 1));
            p.drawLine(line);
        }
        OutlinedText(p, QPoint(box.left() + 3, box.top() + 2 + fm.ascent()), Q(o.labels[i].text),
                     colour);
    }
    if (!l.scaleBar.isEmpty()) {
        const int x0 = 2 * kMargin, y = size.height() - kMargin - 3;
        const int x1 = x0 + o.scaleBar->pixels;
        for (const auto& [pen, width] : {std::pair{QColor(255, 255, 255), 4}, {kText, 2}}) {
            p.setPen(QPen(pen, width, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(x0, y, x1, y);
            p.drawLine(x0, y - 5, x0, y + 1);
            p.drawLine(x1, y - 5, x1, y + 1);
        }
        OutlinedText(p, QPoint(x0, y - 7 - fm.descent()), Q(o.scaleBar->text), kText);
    }
    if (!l.date.isEmpty())
        OutlinedText(p, QPoint(l.date.left() + 3, l.date.top() + 2 + fm.ascent()), Q(o.date),
                     kText);
    if (o.timeBar) {
        const TimeBarLayer& t = *o.timeBar;
        p.setPen(kPanelBorder);
        p.setBrush(kPanel);
        p.drawRoundedRect(QRectF(t.left + 0.5, t.top + 0.5, t.width - 1, t.height - 1), 3, 3);
        p.setBrush(QColor(70, 110, 200));
        p.drawRoundedRect(QRectF(t.left + 0.5, t.top + 0.5, t.handle - t.left, t.height - 1), 3, 3);
        p.setPen(kText);
        p.setBrush(QColor(250, 250, 250));
        p.drawRoundedRect(QRectF(t.handle - TimeBar::kHandle / 2 + 0.5, t.top - 3.5,
                                 TimeBar::kHandle - 1, t.height + 7),
                          2, 2);
        if (!t.label.empty()) {
            const int w = fm.horizontalAdvance(Q(t.label));
            const int x = std::clamp(t.handle - w / 2, t.left + 3, t.left + t.width - w - 3);
            OutlinedText(p, QPoint(x, t.top - 6 - fm.descent()), Q(t.label), kText);
        }
    }
    p.restore();
}

QRegion OverlayRegion(const Overlay& o, QSize size) {
    const Layout l = LayOut(o, size, QFontMetrics(OverlayFont()));
    QRegion r;
    for (const QRect& q : {l.readout, l.legend, l.scaleBar, l.date, l.arrowScale, l.timeBar})
        r += q.adjusted(-2, -2, 2, 2);
    for (const ArrowLayer& a : o.arrows)
        r += QRect(QPoint(a.x0, a.y0), QPoint(a.x1, a.y1)).normalized().adjusted(-10, -10, 10, 10);
    for (std::size_t i = 0; i < l.labels.size(); ++i) {
        if (!l.labels[i].shown) continue;
        const QRect box = ToQRect(l.labels[i].box);
        const QPoint marker(o.labels[i].x, o.labels[i].y);
        r += (box | QRect(marker, marker)).adjusted(-3, -3, 3, 3);
    }
    for (const BodyMarker& m : o.bodies)
        r += QRect(m.x - o.markerSize / 2 - 1, m.y - o.markerSize / 2 - 1, o.markerSize + 2,
                   o.markerSize + 2);
    for (const CoveredMarker& c : o.covered) r += QRect(c.x - 2, c.y - 2, 5, 5);
    return r;
}

}  // namespace orbimo
