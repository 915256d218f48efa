#include "core/Totals.h"

#include <cmath>

namespace orbimo {

Totals MeasureTotals(const SimState& s) {
    Totals t;
    for (int i = 1; i <= s.BodyCount; ++i) {
        if (s.BodyOn[i] != 1) continue;
        const double v2 = s.VelX[i] * s.VelX[i] + s.VelY[i] * s.VelY[i];
        t.kinetic += 0.5 * s.Mass[i] * v2;
        t.momentumX += s.Mass[i] * s.VelX[i];
        t.momentumY += s.Mass[i] * s.VelY[i];
        t.momentumScale += std::fabs(s.Mass[i]) * std::sqrt(v2);
        for (int j = i + 1; j <= s.BodyCount; ++j) {
            if (s.BodyOn[j] != 1) continue;
            const double r = std::hypot(s.PosX[j] - s.PosX[i], s.PosY[j] - s.PosY[i]);
            // The tick skips a pair at one point; so does the total.
            if (r > 0) t.potential -= s.GravConst * s.Mass[i] * s.Mass[j] / r;
        }
    }
    return t;
}

double EnergyDrift(const Totals& before, const Totals& after) {
    double scale = std::fabs(before.Energy());
    if (scale == 0) scale = std::fabs(before.kinetic) + std::fabs(before.potential);
    const double change = std::fabs(after.Energy() - before.Energy());
    if (scale == 0) return change == 0 ? 0 : change;
    return change / scale;
}

double MomentumDrift(const Totals& before, const Totals& after) {
    const double change =
        std::hypot(after.momentumX - before.momentumX, after.momentumY - before.momentumY);
    const double scale = before.momentumScale > 0 ? before.momentumScale : after.momentumScale;
    if (scale == 0) return change == 0 ? 0 : change;
    return change / scale;
}

}  // namespace orbimo
