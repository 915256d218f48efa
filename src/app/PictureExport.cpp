#include "app/PictureExport.h"

#include <QSaveFile>

namespace orbimo {

QString DefaultPictureName(const QString& system, const QString& simulatedTime) {
    QString name = (system.trimmed().isEmpty() ? QStringLiteral("Орбимо") : system.trimmed()) +
                   QLatin1Char(' ') + simulatedTime.trimmed();
    for (QChar& c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("<>:\"/\\|?*").contains(c)) c = QLatin1Char('-');
    }
    return name.trimmed() + QStringLiteral(".png");
}

QString SavePng(const QImage& picture, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (!picture.save(&file, "PNG")) {
        file.cancelWriting();
        return file.error() != QFileDevice::NoError ? file.errorString()
                                                    : QStringLiteral("не удалось записать PNG");
    }
    if (!file.commit()) return file.errorString();
    return {};
}

}  // namespace orbimo
