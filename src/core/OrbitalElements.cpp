#include "core/OrbitalElements.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace orbimo {

namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
}  // namespace

bool OrbitalElements::Closed() const {
    return e < 1 && a > 0 && std::isfinite(period);
}

std::optional<OrbitalElements> ElementsOf(double mu, double x, double y, double vx, double vy) {
    const double r = std::hypot(x, y);
    if (!(mu > 0) || !(r > 0) || !std::isfinite(mu) || !std::isfinite(r) || !std::isfinite(vx) ||
        !std::isfinite(vy))
        return std::nullopt;
    OrbitalElements o;
    o.mu = mu;
    const double v2 = vx * vx + vy * vy;
    const double rv = x * vx + y * vy;
    o.h = x * vy - y * vx;
    // The eccentricity vector points at the periapsis; its length is e.
    const double ex = ((v2 - mu / r) * x - rv * vx) / mu;
    const double ey = ((v2 - mu / r) * y - rv * vy) / mu;
    o.e = std::hypot(ex, ey);
    o.periapsisAngle = std::atan2(ey, ex);
    const double energy = v2 / 2 - mu / r;  // vis-viva: a = −μ / 2ε
    o.a = energy == 0 ? kInfinity : -mu / (2 * energy);
    // From h, which stays exact near e = 1 where a(1 − e) loses its digits.
    o.periapsis = o.h * o.h / (mu * (1 + o.e));
    if (energy < 0 && o.e < 1) {
        o.apoapsis = 2 * o.a - o.periapsis;
        o.period = 2 * std::numbers::pi * std::sqrt(o.a * o.a * o.a / mu);
    } else {
        o.apoapsis = o.period = kInfinity;
    }
    if (!std::isfinite(o.e) || !std::isfinite(o.periapsis) || std::isnan(o.a)) return std::nullopt;
    return o;
}

std::optional<OrbitalElements> ElementsAround(const SimState& s, const BodyDoubles& velX,
                                              const BodyDoubles& velY, int b, int c) {
    if (b < 1 || c < 1 || b > s.BodyCount || c > s.BodyCount || b == c || s.BodyOn[b] != 1 ||
        s.BodyOn[c] != 1)
        return std::nullopt;
    return ElementsOf(s.GravConst * (s.Mass[b] + s.Mass[c]), s.PosX[b] - s.PosX[c],
                      s.PosY[b] - s.PosY[c], velX[b] - velX[c], velY[b] - velY[c]);
}

int HeaviestBody(const SimState& s) {
    int heaviest = 0;
    for (int b = 1; b <= s.BodyCount; ++b)
        if (s.BodyOn[b] == 1 && (heaviest == 0 || s.Mass[b] > s.Mass[heaviest])) heaviest = b;
    return heaviest;
}

bool KeplerPosition(double mu, double x, double y, double vx, double vy, double time, double& outX,
                    double& outY) {
    const std::optional<OrbitalElements> o = ElementsOf(mu, x, y, vx, vy);
    if (!o || !o->Closed() || !(o->e > 0)) return false;
    const double a = o->a, e = o->e, r = std::hypot(x, y);
    // The eccentric anomaly now, then the mean anomaly moved on by n·t.
    const double E0 = std::atan2((x * vx + y * vy) / std::sqrt(mu * a), 1 - r / a);
    const double n = std::sqrt(mu / (a * a * a));
    const double M = std::remainder(E0 - e * std::sin(E0) + n * time, 2 * std::numbers::pi);
    double E = e < 0.8 ? M : std::numbers::pi * (M < 0 ? -1 : 1);
    for (int i = 0; i < 100; ++i) {
        const double dE = (E - e * std::sin(E) - M) / (1 - e * std::cos(E));
        E -= dE;
        if (std::fabs(dE) < 1e-15) break;
    }
    // In the orbit's own axes: +x towards the periapsis, +y a quarter turn on along the motion.
    const double px = a * (std::cos(E) - e);
    const double py = a * std::sqrt(1 - e * e) * std::sin(E) * (o->h < 0 ? -1 : 1);
    const double c = std::cos(o->periapsisAngle), s = std::sin(o->periapsisAngle);
    outX = c * px - s * py;
    outY = s * px + c * py;
    return true;
}

}  // namespace orbimo
