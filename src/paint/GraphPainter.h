#pragma once
#include <QPainter>
#include <QRect>
#include <string>
#include <vector>

#include "mainwindow/GraphSamples.h"

namespace orbimo {

/// A graph against simulated time: the samples' times (s), the curves and how to show them.
struct GraphPlot {
    std::vector<double> times;
    std::vector<GraphCurve> curves;
    std::u16string title;      // "Энергия, Дж"
    bool logarithmic = false;  // |values| on a logarithmic axis
};

/// Draws the plot into `r`: axes with round ticks (the time in сут or лет since the first
/// sample), each curve thinned to what its pixel columns show, a legend for several curves.
void PaintGraph(QPainter& p, const QRect& r, const GraphPlot& plot);

}  // namespace orbimo
