#pragma once
#include <QPainter>
#include <QRegion>
#include <QSize>

#include "mainwindow/TeachingLayers.h"

namespace orbimo {

/// Draws the teaching layers over the picture, after the other layers: the sectors shaded with
/// their areas, the osculating ellipse dashed with its focus, the measuring tape and the
/// third-law table above the buttons (`tableBottom`: the lowest row it may use).
void PaintTeachingLayers(QPainter& p, const TeachingLayers& layers, QSize size, int tableBottom);

/// Where PaintTeachingLayers draws: what must be repainted when the layers change.
QRegion TeachingRegion(const TeachingLayers& layers, QSize size, int tableBottom);

}  // namespace orbimo
