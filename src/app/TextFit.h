#pragma once
#include <QString>
#include <QWidget>
#include <utility>
#include <vector>

namespace orbimo {

/// Whether text, drawn in the widget's font, fits where the widget's style puts its caption
/// (a label's contents, a check box's or button's text area).
bool TextFits(const QWidget* w, const QString& text);

/// Gives `root` the largest font of `family` from maxPixels down to minPixels in which every
/// (widget, text) pair fits; the smallest when none does. Returns the pixel size chosen.
int FitFont(QWidget* root, const std::vector<std::pair<QWidget*, QString>>& captions, int maxPixels,
            int minPixels);

}  // namespace orbimo
