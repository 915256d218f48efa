// Totals and osculating elements against hand-worked numbers and orbits built from chosen
// elements.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/OrbitalElements.h"
#include "core/Totals.h"

namespace orbimo {
namespace {

constexpr double G = 6.6725e-11, kPi = std::numbers::pi;

SimState Bodies(std::initializer_list<std::array<double, 5>> bodies) {  // m, x, y, vx, vy
    SimState s;
    SetConstants(s);
    int b = 0;
    for (const auto& [m, x, y, vx, vy] : bodies) {
        ++b;
        s.Mass[b] = m, s.PosX[b] = x, s.PosY[b] = y, s.VelX[b] = vx, s.VelY[b] = vy;
        s.BodyOn[b] = 1;
    }
    return s;
}

TEST(Totals, EnergyAndAngularMomentumOfHandWorkedStates) {
    struct Row {
        const char* what;
        SimState s;
        double kinetic, potential, angular;
    };
    const double r23 = std::sqrt(5.0);
    const Row rows[] = {
        // ½·2·3² + ½·3·1² = 10,5; −G·2·3/√5; 2·(1·3 − 0) + 3·(0 − 2·(−1)) = 12
        {"two", Bodies({{2, 1, 0, 0, 3}, {3, 0, 2, -1, 0}}), 10.5, -G * 6 / r23, 12},
        // A third body at rest 3 m from the first and √20 m from the second: no turn of its own.
        {"three", Bodies({{2, 1, 0, 0, 3}, {3, 0, 2, -1, 0}, {5, 4, 0, 0, 0}}), 10.5,
         -G * (6 / r23 + 10 / 3.0 + 15 / std::sqrt(20.0)), 12},
        // Opposite turns cancel: L = 1·(1·2) + 1·(−1·2) = 0; K = 2 + 2.
        {"cancelling", Bodies({{1, 1, 0, 0, 2}, {1, -1, 0, 0, 2}}), 4, -G / 2, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const Totals t = MeasureTotals(r.s);
        EXPECT_DOUBLE_EQ(t.kinetic, r.kinetic);
        EXPECT_DOUBLE_EQ(t.potential, r.potential);
        EXPECT_DOUBLE_EQ(t.angularMomentum, r.angular);
    }
    // Drifts: signed for energy, relative to |L₀|, or to Σ m|r × v| when L₀ is 0.
    Totals a = MeasureTotals(rows[0].s), b = a;
    b.kinetic += 0.01 * std::fabs(a.Energy());
    b.angularMomentum = 12 * 0.97;
    EXPECT_NEAR(SignedEnergyDrift(a, b), 0.01, 1e-15);
    EXPECT_NEAR(SignedEnergyDrift(b, a), -0.01 * std::fabs(a.Energy()) / std::fabs(b.Energy()),
                1e-15);
    EXPECT_NEAR(AngularMomentumDrift(a, b), 0.03, 1e-15);
    const Totals c = MeasureTotals(rows[2].s);
    Totals d = c;
    d.angularMomentum = 0.4;
    EXPECT_NEAR(AngularMomentumDrift(c, d), 0.1, 1e-15);  // against 2 + 2
}

/// Relative position and velocity on the orbit (a, e) about mu, with the periapsis towards
/// `omega`, at true anomaly nu, turning from +x towards +y when `sense` is 1.
std::array<double, 4> OnOrbit(double mu, double a, double e, double omega, double nu, int sense) {
    const double p = a * (1 - e * e), r = p / (1 + e * std::cos(nu)), th = omega + sense * nu;
    const double vr = std::sqrt(mu / p) * e * std::sin(nu),
                 vt = std::sqrt(mu / p) * (1 + e * std::cos(nu));
    return {r * std::cos(th), r * std::sin(th), vr * std::cos(th) - sense * vt * std::sin(th),
            vr * std::sin(th) + sense * vt * std::cos(th)};
}

TEST(OrbitalElements, FromOrbitsBuiltFromChosenElements) {
    const double mu = G * 2e30;
    struct Row {
        const char* what;
        double a, e, omega, nu;
        int sense;
    };
    const Row rows[] = {
        {"nearly circular", 1.5e11, 1e-6, 2.0, 1.0, 1},
        {"e = 0,5 after the apoapsis", 5.8e10, 0.5, -0.7, 3.5, 1},
        {"clockwise", 2.2e11, 0.3, 2.9, 0.4, -1},
        {"nearly parabolic, at the periapsis", 2.7e12, 0.999, 1.2, 0, 1},
        {"nearly parabolic, going out", 2.7e12, 0.999, -2.0, 2.5, -1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const auto [x, y, vx, vy] = OnOrbit(mu, r.a, r.e, r.omega, r.nu, r.sense);
        const std::optional<OrbitalElements> o = ElementsOf(mu, x, y, vx, vy);
        ASSERT_TRUE(o);
        EXPECT_TRUE(o->Closed());
        EXPECT_NEAR(o->a / r.a, 1, 1e-12);
        EXPECT_NEAR(o->e, r.e, 1e-12);
        // T ∝ a^1,5: half as much again of a's rounding, largest near e = 1.
        EXPECT_NEAR(o->period / (2 * kPi * std::sqrt(r.a * r.a * r.a / mu)), 1, 1.5e-12);
        EXPECT_NEAR(o->periapsis / (r.a * (1 - r.e)), 1, 1e-12);
        EXPECT_NEAR(o->apoapsis / (r.a * (1 + r.e)), 1, 1e-12);
        // The direction is as well defined as the eccentricity vector is long.
        EXPECT_NEAR(std::remainder(o->periapsisAngle - r.omega, 2 * kPi), 0, 1e-12 / r.e);
        EXPECT_EQ(o->h > 0, r.sense > 0);
    }
}

TEST(OrbitalElements, OpenOrbitsAndNoOrbitGiveNoNaN) {
    const double mu = G * 2e30, q = 1e11;
    for (const double e : {1.0, 1.5}) {
        SCOPED_TRACE(e);
        // At the periapsis: v² = μ(1 + e)/q.
        const auto o = ElementsOf(mu, q, 0, 0, std::sqrt(mu * (1 + e) / q));
        ASSERT_TRUE(o);
        EXPECT_FALSE(o->Closed());
        EXPECT_NEAR(o->e, e, 1e-12);
        EXPECT_NEAR(o->periapsis / q, 1, 1e-12);
        EXPECT_EQ(o->period, INFINITY);
        EXPECT_EQ(o->apoapsis, INFINITY);
        if (e > 1) {
            EXPECT_NEAR(o->a / (-q / (e - 1)), 1, 1e-12);
        }
        EXPECT_FALSE(std::isnan(o->a));
    }
    EXPECT_FALSE(ElementsOf(mu, 0, 0, 1, 1));         // at the centre
    EXPECT_FALSE(ElementsOf(0, q, 0, 1, 1));          // nothing pulls
    EXPECT_FALSE(ElementsOf(mu, q, 0, INFINITY, 1));  // no velocity
}

TEST(OrbitalElements, AroundAMovingCentreAndTheHeaviestBody) {
    // Body 2 on a circle of 1E+11 m about body 3 (2E+30 kg), both carried along by 5 km/s;
    // body 1 is lighter and body 4 heavier but not taking part.
    const double mu = G * (2e30 + 1e24), v = std::sqrt(mu / 1e11);
    SimState s = Bodies({{1e20, 0, 0, 0, 0},
                         {1e24, 3e11, 1e11, 5000 - v, 0},
                         {2e30, 3e11, 0, 5000, 0},
                         {3e30, 0, 5e11, 0, 0}});
    s.BodyOn[4] = 0;
    EXPECT_EQ(HeaviestBody(s), 3);
    const auto o = ElementsAround(s, s.VelX, s.VelY, 2, 3);
    ASSERT_TRUE(o);
    EXPECT_NEAR(o->e, 0, 1e-12);
    EXPECT_NEAR(o->a / 1e11, 1, 1e-12);
    EXPECT_GT(o->h, 0);  // from +y, moving towards −x: from +x towards +y
    EXPECT_FALSE(ElementsAround(s, s.VelX, s.VelY, 2, 4));  // not taking part
    EXPECT_FALSE(ElementsAround(s, s.VelX, s.VelY, 3, 3));
}

TEST(OrbitalElements, KeplerPositionFollowsKeplersEquationSolvedHere) {
    const double mu = G * 2e30, a = 1e11, e = 0.9, n = std::sqrt(mu / (a * a * a));
    for (const int sense : {1, -1})
        for (const double t : {0.1, 1.0, 2.7, 9.5}) {  // in 1/n
            SCOPED_TRACE(::testing::Message() << sense << " " << t);
            // From the periapsis: E − e sin E = n t, by bisection.
            double lo = 0, hi = 20;
            for (int i = 0; i < 200; ++i)
                ((lo + hi) / 2 - e * std::sin((lo + hi) / 2) < t ? lo : hi) = (lo + hi) / 2;
            const double E = lo, nu = 2 * std::atan(std::sqrt((1 + e) / (1 - e)) * std::tan(E / 2));
            const auto [x, y, vx, vy] = OnOrbit(mu, a, e, 0.3, 0, sense);
            const auto want = OnOrbit(mu, a, e, 0.3, nu, sense);
            double gx = 0, gy = 0;
            ASSERT_TRUE(KeplerPosition(mu, x, y, vx, vy, t / n, gx, gy));
            EXPECT_NEAR(std::hypot(gx - want[0], gy - want[1]) / a, 0, 1e-10);
        }
}

}  // namespace
}  // namespace orbimo
