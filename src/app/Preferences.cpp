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
    p.leapfrog = s.value(QStringLiteral("run/leapfrog"), p.leapfrog).toBool();
    const int kind = s.value(QStringLiteral("view/frame"), 0).toInt();
    if (kind >= 0 && kind <= static_cast<int>(FrameKind::Rotating))
        p.frame.kind = static_cast<FrameKind>(kind);
    p.frame.a = s.value(QStringLiteral("view/frameA"), p.frame.a).toInt();
    p.frame.b = s.value(QStringLiteral("view/frameB"), p.frame.b).toInt();
    if (p.frame.a < 1 || p.frame.a > kBodies || p.frame.b < 1 || p.frame.b > kBodies ||
        p.frame.a == p.frame.b)
        p.frame = Frame{p.frame.kind == FrameKind::Rotating ? FrameKind::Body : p.frame.kind};
    return p;
}

void Preferences::Save() const {
    QSettings s = Store();
    s.setValue(QStringLiteral("view/pace"), pace);
    s.setValue(QStringLiteral("view/readout"), readout);
    s.setValue(QStringLiteral("view/labels"), labels);
    s.setValue(QStringLiteral("view/scaleBar"), scaleBar);
    s.setValue(QStringLiteral("run/leapfrog"), leapfrog);
    s.setValue(QStringLiteral("view/frame"), static_cast<int>(frame.kind));
    s.setValue(QStringLiteral("view/frameA"), frame.a);
    s.setValue(QStringLiteral("view/frameB"), frame.b);
}

}  // namespace orbimo
