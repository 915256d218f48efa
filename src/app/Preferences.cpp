#include "app/Preferences.h"

#include <QSettings>
#include <algorithm>

namespace orbimo {

namespace {
QSettings Store() {
    return QSettings(QStringLiteral("Orbimo"), QStringLiteral("Orbimo"));
}
// A frame under `prefix` ("view/" or a system's group); nothing when none is kept there. A
// rotating pair that is no pair falls back to the view body's frame.
std::optional<Frame> ReadFrame(const QSettings& s, const QString& prefix) {
    if (!s.contains(prefix + QStringLiteral("frame"))) return std::nullopt;
    Frame f;
    const int kind = s.value(prefix + QStringLiteral("frame"), 0).toInt();
    if (kind >= 0 && kind <= static_cast<int>(FrameKind::Rotating))
        f.kind = static_cast<FrameKind>(kind);
    f.a = s.value(prefix + QStringLiteral("frameA"), f.a).toInt();
    f.b = s.value(prefix + QStringLiteral("frameB"), f.b).toInt();
    if (f.a < 1 || f.a > kBodies || f.b < 1 || f.b > kBodies || f.a == f.b)
        f = Frame{f.kind == FrameKind::Rotating ? FrameKind::Body : f.kind};
    return f;
}

void WriteFrame(QSettings& s, const QString& prefix, const Frame& f) {
    s.setValue(prefix + QStringLiteral("frame"), static_cast<int>(f.kind));
    s.setValue(prefix + QStringLiteral("frameA"), f.a);
    s.setValue(prefix + QStringLiteral("frameB"), f.b);
}

// A system's own group: its name, percent-encoded, as a settings key cannot hold every letter.
QString SystemKey(const std::u16string& system) {
    return QStringLiteral("systems/") +
           QString::fromLatin1(QString::fromStdU16String(system).toUtf8().toPercentEncoding()) +
           QStringLiteral("/");
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
    p.frame = ReadFrame(s, QStringLiteral("view/")).value_or(Frame{});
    p.lineWidth = std::clamp(s.value(QStringLiteral("view/lineWidth"), p.lineWidth).toInt(), 1, 3);
    p.hintSeen = s.value(QStringLiteral("view/hintSeen"), p.hintSeen).toBool();
    p.system = s.value(QStringLiteral("system/current")).toString().toStdU16String();
    return p;
}

std::optional<Frame> Preferences::FrameFor(const std::u16string& system) {
    if (system.empty()) return std::nullopt;
    return ReadFrame(Store(), SystemKey(system));
}

void Preferences::SetFrameFor(const std::u16string& system, const Frame& f) {
    if (system.empty()) return;
    QSettings s = Store();
    WriteFrame(s, SystemKey(system), f);
}

void Preferences::Save() const {
    QSettings s = Store();
    s.setValue(QStringLiteral("view/pace"), pace);
    s.setValue(QStringLiteral("view/readout"), readout);
    s.setValue(QStringLiteral("view/labels"), labels);
    s.setValue(QStringLiteral("view/scaleBar"), scaleBar);
    s.setValue(QStringLiteral("run/leapfrog"), leapfrog);
    WriteFrame(s, QStringLiteral("view/"), frame);
    s.setValue(QStringLiteral("view/lineWidth"), lineWidth);
    s.setValue(QStringLiteral("view/hintSeen"), hintSeen);
    s.setValue(QStringLiteral("system/current"), QString::fromStdU16String(system));
}

}  // namespace orbimo
