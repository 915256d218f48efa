#pragma once
#include <QFont>
#include <QPainter>
#include <QRegion>
#include <QSize>

#include "mainwindow/LabelPlacement.h"
#include "mainwindow/Overlay.h"

namespace orbimo {

/// The font the layers over the picture are written in.
QFont OverlayFont();

/// Draws the layers over a picture of the given size: the readout in the top left corner,
/// the legend in the top right, the scale bar in the bottom left, the date in the bottom
/// right and each label beside its marker. Never touches anything else.
void PaintOverlay(QPainter& p, const Overlay& overlay, QSize size);

/// Where PaintOverlay draws: what must be repainted when the overlay changes.
QRegion OverlayRegion(const Overlay& overlay, QSize size);

}  // namespace orbimo
