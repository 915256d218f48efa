#pragma once
#include <QImage>
#include <QString>

namespace orbimo {

/// "<system> <simulated date and time>.png", with what file names refuse replaced.
QString DefaultPictureName(const QString& system, const QString& simulatedTime);

/// Writes the picture as PNG through a temporary file beside the target: a failed
/// save leaves no half-written file. Returns the Russian reason, empty on success.
QString SavePng(const QImage& picture, const QString& path);

}  // namespace orbimo
