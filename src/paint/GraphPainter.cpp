#include "paint/GraphPainter.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "convert/NumberText.h"
#include "mainwindow/PaceClock.h"

namespace orbimo {

namespace {

const QColor kCurveColours[] = {QColor(0, 110, 200), QColor(200, 60, 0), QColor(20, 20, 20)};

QString Q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

}  // namespace

void PaintGraph(QPainter& p, const QRect& r, const GraphPlot& plot) {
    p.save();
    p.fillRect(r, Qt::white);
    const QFontMetrics fm(p.font());
    if (plot.times.size() < 2) {
        p.setPen(QColor(90, 90, 90));
        p.drawText(r, Qt::AlignCenter,
                   QStringLiteral("Нет данных: графики строятся во время счёта («Пуск»)"));
        p.restore();
        return;
    }
    // The time axis from the first sample, in days or, for long runs, years.
    const double t0 = plot.times.front(), span = plot.times.back() - t0;
    const bool years = span > 2 * kYearSeconds;
    const double unit = years ? kYearSeconds : kDaySeconds;
    std::vector<double> x;
    x.reserve(plot.times.size());
    for (const double t : plot.times) x.push_back((t - t0) / unit);
    // The values on their axis: their logarithm when asked, those not above zero left out.
    std::vector<std::vector<double>> ys;
    double lo = INFINITY, hi = -INFINITY;
    for (const GraphCurve& c : plot.curves) {
        std::vector<double> y = c.values;
        for (double& v : y) {
            if (plot.logarithmic) v = std::fabs(v) > 0 ? std::log10(std::fabs(v)) : NAN;
            if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
        }
        ys.push_back(std::move(y));
    }
    if (!(hi >= lo)) lo = 0, hi = 1;
    if (hi == lo) {
        const double pad = lo == 0 ? 1 : std::fabs(lo) * 1e-6;
        lo -= pad, hi += pad;
    }
    const double margin = (hi - lo) * 0.05;
    lo -= margin, hi += margin;
    const double x1 = std::max(x.back(), 1e-12);
    const std::vector<double> yTicks = NiceTicks(lo, hi, 6), xTicks = NiceTicks(0, x1, 8);
    auto yLabel = [&](double v) {
        return Q(ShortNumber(plot.logarithmic ? std::pow(10.0, v) : v, plot.logarithmic ? 2 : 3));
    };
    int labelWidth = 0;
    for (const double v : yTicks)
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(yLabel(v)));
    const QRect area = r.adjusted(labelWidth + 14, fm.height() + 10, -12, -2 * fm.height() - 10);
    if (area.width() < 10 || area.height() < 10) {
        p.restore();
        return;
    }
    auto px = [&](double v) { return area.left() + (v / x1) * area.width(); };
    auto py = [&](double v) { return area.bottom() - (v - lo) / (hi - lo) * area.height(); };
    p.setPen(QColor(20, 20, 20));
    p.drawText(r.left() + 6, r.top() + fm.ascent() + 4, Q(plot.title));
    for (const double v : yTicks) {
        const double y = py(v);
        p.setPen(QColor(225, 225, 225));
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        p.setPen(QColor(60, 60, 60));
        p.drawText(QRectF(r.left(), y - fm.height() / 2.0, labelWidth + 8, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, yLabel(v));
    }
    for (const double v : xTicks) {
        const double xx = px(v);
        p.setPen(QColor(225, 225, 225));
        p.drawLine(QPointF(xx, area.top()), QPointF(xx, area.bottom()));
        p.setPen(QColor(60, 60, 60));
        const QString text = Q(ShortNumber(v, 4));
        p.drawText(QPointF(xx - fm.horizontalAdvance(text) / 2.0, area.bottom() + fm.height() + 2),
                   text);
    }
    p.drawText(QRect(area.left(), area.bottom() + fm.height() + 4, area.width(), fm.height() + 4),
               Qt::AlignHCenter,
               years ? QStringLiteral("модельное время от начала графика, лет")
                     : QStringLiteral("модельное время от начала графика, сут"));
    p.setPen(QColor(120, 120, 120));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area);
    p.setClipRect(area.adjusted(-1, -1, 1, 1));
    p.setRenderHint(QPainter::Antialiasing, true);
    for (std::size_t c = 0; c < ys.size(); ++c) {
        // A cosmetic pen of one pixel takes Qt's fast line rasteriser; a wider one is stroked.
        QPen pen(kCurveColours[c % 3], 1);
        pen.setCosmetic(true);
        p.setPen(pen);
        QPolygonF line;
        for (const auto& [vx, vy] : Decimate(x, ys[c], 0, x1, area.width())) {
            if (std::isnan(vy)) {
                if (line.size() > 1) p.drawPolyline(line);
                line.clear();
                continue;
            }
            line << QPointF(px(vx), py(vy));
        }
        if (line.size() > 1) p.drawPolyline(line);
        if (line.size() == 1) p.drawPoint(line.front());
    }
    p.setClipping(false);
    if (plot.curves.size() > 1) {
        int y = area.top() + 4 + fm.ascent();
        for (std::size_t c = 0; c < plot.curves.size(); ++c) {
            const QString name = Q(plot.curves[c].name);
            const int left = area.right() - fm.horizontalAdvance(name) - 30;
            p.setPen(QPen(kCurveColours[c % 3], 2));
            p.drawLine(left, y - fm.ascent() / 2, left + 18, y - fm.ascent() / 2);
            p.setPen(QColor(20, 20, 20));
            p.drawText(left + 24, y, name);
            y += fm.height();
        }
    }
    p.restore();
}

}  // namespace orbimo
