#pragma once
#include <utility>

#include "core/SimState.h"

namespace orbimo {

/// Total energy and momentum of the bodies taking part (BodyOn = 1), in SI units.
struct Totals {
    double kinetic = 0;          // Σ ½ m v²
    double potential = 0;        // −Σ G mᵢ mⱼ / rᵢⱼ over pairs at a distance
    double momentumX = 0;        // Σ m vx
    double momentumY = 0;        // Σ m vy
    double momentumScale = 0;    // Σ m |v|, the size against which a momentum change is measured
    double angularMomentum = 0;  // Σ m (x vy − y vx) about the origin, in kg·m²/s
    double angularScale = 0;     // Σ m |x vy − y vx|, against which its change is measured
    double Energy() const { return kinetic + potential; }
};

/// Totals of the record as it is, with the record's own G.
Totals MeasureTotals(const SimState& s);
/// The same with other velocities for the bodies (those at the positions' moment).
Totals MeasureTotals(const SimState& s, const BodyDoubles& velX, const BodyDoubles& velY);

/// The pair taking part whose step most exceeds a twentieth of its orbital time scale
/// √(r³ / (G·(m₁ + m₂))), lower index first; {0, 0} when the step resolves every pair.
std::pair<int, int> CoarsestPair(const SimState& s);

/// |E₁ − E₀| / |E₀| (against K₀ + |U₀| when E₀ is 0); 0 when both are 0.
double EnergyDrift(const Totals& before, const Totals& after);
/// (E₁ − E₀) / |E₀| with its sign (against K₀ + |U₀| when E₀ is 0); 0 when both are 0.
double SignedEnergyDrift(const Totals& before, const Totals& after);
/// |L₁ − L₀| / |L₀| (against Σ m|r × v| when L₀ is 0); 0 when nothing turns.
double AngularMomentumDrift(const Totals& before, const Totals& after);
/// |P₁ − P₀| / Σ m|v| at the start (at the end when that is 0); 0 when nothing moves.
double MomentumDrift(const Totals& before, const Totals& after);

}  // namespace orbimo
