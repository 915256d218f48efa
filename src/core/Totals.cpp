#include "core/Totals.h"

#include <cmath>

namespace orbimo {

Totals MeasureTotals(const SimState& s) {
    return MeasureTotals(s, s.VelX, s.VelY);
}

Totals MeasureTotals(const SimState& s, const BodyDoubles& velX, const BodyDoubles& velY) {
    Totals t;
    for (int i = 1; i <= s.BodyCount; ++i) {
        if (s.BodyOn[i] != 1) continue;
        const double v2 = velX[i] * velX[i] + velY[i] * velY[i];
        t.kinetic += 0.5 * s.Mass[i] * v2;
        t.momentumX += s.Mass[i] * velX[i];
        t.momentumY += s.Mass[i] * velY[i];
        t.momentumScale += std::fabs(s.Mass[i]) * std::sqrt(v2);
        const double turn = s.Mass[i] * (s.PosX[i] * velY[i] - s.PosY[i] * velX[i]);
        t.angularMomentum += turn;
        t.angularScale += std::fabs(turn);
        for (int j = i + 1; j <= s.BodyCount; ++j) {
            if (s.BodyOn[j] != 1) continue;
            const double r = std::hypot(s.PosX[j] - s.PosX[i], s.PosY[j] - s.PosY[i]);
            // The tick skips a pair at one point; so does the total.
            if (r > 0) t.potential -= s.GravConst * s.Mass[i] * s.Mass[j] / r;
        }
    }
    return t;
}

std::pair<int, int> CoarsestPair(const SimState& s) {
    // step > τ/20 ⇔ 400·dt²·G·(m₁ + m₂) > r³: no root, and a massless pair never qualifies.
    const double k = 400 * s.TimeStep * s.TimeStep * s.GravConst;
    std::pair<int, int> worst{0, 0};
    double worstRatio = 1;
    for (int i = 1; i <= s.BodyCount; ++i) {
        if (s.BodyOn[i] != 1) continue;
        for (int j = i + 1; j <= s.BodyCount; ++j) {
            if (s.BodyOn[j] != 1) continue;
            const double dx = s.PosX[j] - s.PosX[i], dy = s.PosY[j] - s.PosY[i];
            const double r2 = dx * dx + dy * dy;
            if (r2 == 0) continue;  // skipped by the tick as well
            const double ratio = k * (s.Mass[i] + s.Mass[j]) / (r2 * std::sqrt(r2));
            if (ratio > worstRatio) worstRatio = ratio, worst = {i, j};
        }
    }
    return worst;
}

double EnergyDrift(const Totals& before, const Totals& after) {
    double scale = std::fabs(before.Energy());
    if (scale == 0) scale = std::fabs(before.kinetic) + std::fabs(before.potential);
    const double change = std::fabs(after.Energy() - before.Energy());
    if (scale == 0) return change == 0 ? 0 : change;
    return change / scale;
}

double SignedEnergyDrift(const Totals& before, const Totals& after) {
    double scale = std::fabs(before.Energy());
    if (scale == 0) scale = std::fabs(before.kinetic) + std::fabs(before.potential);
    const double change = after.Energy() - before.Energy();
    return scale == 0 ? change : change / scale;
}

double AngularMomentumDrift(const Totals& before, const Totals& after) {
    const double change = std::fabs(after.angularMomentum - before.angularMomentum);
    double scale = std::fabs(before.angularMomentum);
    if (scale == 0) scale = before.angularScale > 0 ? before.angularScale : after.angularScale;
    return scale == 0 ? change : change / scale;
}

double MomentumDrift(const Totals& before, const Totals& after) {
    const double change =
        std::hypot(after.momentumX - before.momentumX, after.momentumY - before.momentumY);
    const double scale = before.momentumScale > 0 ? before.momentumScale : after.momentumScale;
    if (scale == 0) return change == 0 ? 0 : change;
    return change / scale;
}

}  // namespace orbimo
