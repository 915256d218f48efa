#pragma once
#include <optional>

#include "core/SimState.h"

namespace orbimo {

/// The two-body orbit a body would follow around a centre from now on if nothing else pulled:
/// its osculating elements. Angles are counted from +x towards +y of the record.
struct OrbitalElements {
    double mu = 0;         // G·(m + M), m³/s²
    double a = 0;          // semi-major axis, m: negative for a hyperbola, infinite for a parabola
    double e = 0;          // eccentricity
    double period = 0;     // s; infinite when the orbit does not close
    double periapsis = 0;  // the nearest distance, m
    double apoapsis = 0;   // the farthest distance, m; infinite when the orbit does not close
    double periapsisAngle = 0;  // the direction of the nearest point seen from the centre, radians
    double h = 0;               // x·vy − y·vx, m²/s: positive turning from +x towards +y
    bool Closed() const;
};

/// The elements of relative position (x, y) and velocity (vx, vy) about a centre of parameter
/// mu: vis-viva for a, the eccentricity vector for e and the periapsis, Kepler's third law for
/// the period. Nothing when they do not exist (mu ≤ 0, at the centre, a value not finite).
std::optional<OrbitalElements> ElementsOf(double mu, double x, double y, double vx, double vy);

/// The elements of body b about body c in the record, with the velocities given (those at the
/// positions' moment); nothing when b or c does not take part, b is c, or they do not exist.
std::optional<OrbitalElements> ElementsAround(const SimState& s, const BodyDoubles& velX,
                                              const BodyDoubles& velY, int b, int c);

/// The heaviest body taking part, the first of equals; 0 when none takes part.
int HeaviestBody(const SimState& s);

/// Where relative position (x, y) with velocity (vx, vy) is after `time` seconds on its closed
/// orbit about mu (Kepler's equation); false when the orbit does not close.
bool KeplerPosition(double mu, double x, double y, double vx, double vy, double time, double& outX,
                    double& outY);

}  // namespace orbimo
