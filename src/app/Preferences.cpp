#include "app/Preferences.h"

#include <QSettings>

namespace orbimo {

namespace {
QSettings Store() {
    return QSettings(QStringLiteral("Orbimo"), QStringLiteral("Orbimo"));
}
}  // namespace

Preferences Preferences::Load() {
    const QSettings s = Store();
    Preferences p;
    p.pace = s.value(QStringLiteral("view/pace"), p.pace).toInt();
    p.readout = s.value(QStringLiteral("view/readout"), p.readout).toBool();
    p.labels = s.value(QStringLiteral("view/labels"), p.labels).toBool();
    p.scaleBar = s.value(QStringLiteral("view/scaleBar"), p.scaleBar).toBool();
    return p;
}

void Preferences::Save() const {
    QSettings s = Store();
    s.setValue(QStringLiteral("view/pace"), pace);
    s.setValue(QStringLiteral("view/readout"), readout);
    s.setValue(QStringLiteral("view/labels"), labels);
    s.setValue(QStringLiteral("view/scaleBar"), scaleBar);
}

}  // namespace orbimo
