// The leapfrog start: second order against exact two-body motion, the velocities back at the
// positions' moment however a run ends, and the readout's warnings.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "convert/NumberText.h"
#include "mainwindow/Overlay.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

using Program = testing::StartedProgram;
constexpr double G = 6.6725e-11, kSun = 2e30, kAU = 1.5e11, kDay = 86400;
enum { M, X, Y, VX, VY };
using Body = std::array<double, 5>;
using Bodies = std::vector<Body>;
constexpr TextField BodyRow::*kFields[] = {&BodyRow::mass, &BodyRow::x, &BodyRow::y, &BodyRow::vx,
                                           &BodyRow::vy};

/// Only these bodies take part (1, 2, ...), with a step of dt, seen from the origin.
void Load(Program& p, const Bodies& bodies, double dt, bool leapfrog = true) {
    p.params.SelectView(0);
    for (int b = 1; b <= kBodies; ++b) p.params.SetBodyState(b, b <= int(bodies.size()) ? 1 : 0);
    for (std::size_t b = 0; b < bodies.size(); ++b)
        for (int f = M; f <= VY; ++f)
            (p.params.bodies[b + 1].*kFields[f]).text = ТекстЧисла(bodies[b][f]);
    p.params.txtdTime.text = ТекстЧисла(dt);
    p.logic.SetLeapfrog(leapfrog);
}

Body Shown(const Program& p, int b) {
    Body out;
    for (int f = M; f <= VY; ++f)
        out[f] = ЧислоИзТекста((p.params.bodies[b].*kFields[f]).text).value_or(NAN);
    return out;
}

/// Position and velocity on a Kepler orbit (pericentre on +x) at mean anomaly m.
Body Kepler(double a, double e, double mu, double m) {
    double E = m + e;
    for (int i = 0; i < 60; ++i) E -= (E - e * std::sin(E) - m) / (1 - e * std::cos(E));
    const double b = a * std::sqrt(1 - e * e),
                 dE = std::sqrt(mu / (a * a * a)) / (1 - e * std::cos(E));
    return {0, a * (std::cos(E) - e), b * std::sin(E), -a * std::sin(E) * dE, b * std::cos(E) * dE};
}

// Halving the step halves the error after one period with the velocities at the positions'
// moment (first order), and quarters it with them half a step back (second order).
TEST(Leapfrog, SecondOrderAgainstExactTwoBodyMotionFirstOrderWithout) {
    const double m2 = 1e29, a = kAU, mu = G * (kSun + m2), f = kSun / (kSun + m2);
    const double n = std::sqrt(mu / (a * a * a)), period = 2 * std::numbers::pi / n;
    // Eccentricity, ticks a period, the mean anomaly at the start.
    for (const auto& [e, ticks, m0] : {std::tuple{0.5, 1000, 1.0}, {0.967, 20000, 0.2}}) {
        for (const bool leapfrog : {false, true}) {
            double error[2];
            for (int halved = 0; halved < 2; ++halved) {
                const Body r = Kepler(a, e, mu, m0);
                Program p;
                Load(p,
                     {{kSun, (f - 1) * r[X], (f - 1) * r[Y], (f - 1) * r[VX], (f - 1) * r[VY]},
                      {m2, f * r[X], f * r[Y], f * r[VX], f * r[VY]}},
                     period / (ticks << halved), leapfrog);
                p.RunUntilDispatch(ticks << halved);
                const double t = (ticks << halved) * *ЧислоИзТекста(p.params.txtdTime.text);
                const Body exact = Kepler(a, e, mu, m0 + n * t), sun = Shown(p, 1), b = Shown(p, 2);
                error[halved] = std::hypot(b[X] - sun[X] - exact[X], b[Y] - sun[Y] - exact[Y]) / a;
            }
            SCOPED_TRACE(::testing::Message() << "e " << e << ", leapfrog " << leapfrog);
            EXPECT_NEAR(error[0] / error[1], leapfrog ? 4 : 2, leapfrog ? 0.4 : 0.2);
        }
    }
}

/// The leapfrog start on its own terms, `n` ticks of bodies 0 .. count-1: half a kick back,
/// kick and drift, half a kick forward; with length > 0 the step is length / the top speed.
void Leapfrog(Bodies& b, std::size_t count, int n, double dt, double length) {
    auto kick = [&](double h) {
        for (std::size_t i = 0; i < count; ++i)
            for (std::size_t j = i + 1; j < count; ++j) {
                const double dx = b[j][X] - b[i][X], dy = b[j][Y] - b[i][Y], r = std::hypot(dx, dy);
                const double k = G * h / (r * r * r);
                b[i][VX] += k * b[j][M] * dx, b[i][VY] += k * b[j][M] * dy;
                b[j][VX] -= k * b[i][M] * dx, b[j][VY] -= k * b[i][M] * dy;
            }
    };
    auto step = [&] {
        double top = 0;
        for (std::size_t i = 0; i < count; ++i) top = std::max(top, std::hypot(b[i][VX], b[i][VY]));
        return length > 0 ? length / top : dt;
    };
    kick(-step() / 2);
    for (int t = 0; t < n; ++t) {
        dt = step();
        kick(dt);
        for (std::size_t i = 0; i < count; ++i) b[i][X] += dt * b[i][VX], b[i][Y] += dt * b[i][VY];
    }
    kick(dt / 2);
}

// However the run ends, the fields hold the velocities at the positions' moment: those of an
// independent leapfrog run of as many ticks.
TEST(Leapfrog, VelocitiesComeBackToThePositionsMomentHoweverTheRunEnds) {
    const Bodies two = {{kSun, 0, 0, 0, 0}, {6e24, kAU, 0, 0, -30000}};
    Bodies three = two, flyer = two, close = {{kSun, 0, 0, 0, 0}, {1, 1e-160, 0, 0, 0}};
    three.push_back({1e24, -kAU, 0, 0, 30000});
    flyer.push_back({0, 0, 0, 1e153 / kDay, 0});  // massless; r² overflows after tick 14
    // stopAt, offAt: the dispatches that press a button, and switch body 3 off; length: the step
    // by length (0: none); ticks: of the run (body 3 switched off after offAt of them).
    // clang-format off
    struct Row { const char* how; Bodies bodies; long stopAt, offAt; int button;
                 const char16_t* timer; double length; int ticks; const char16_t* message; };
    const Row rows[] = {
        {"Стоп", two, 10, 0, 0, u"", 0, 10, nullptr},
        {"Параметры", two, 10, 0, 1, u"", 0, 10, nullptr},
        {"Таймер", two, 0, 0, 0, u"11.01.1900", 0, 10, nullptr},
        {"Стоп, шаг длины", two, 10, 0, 0, u"", 3e9, 10, nullptr},
        {"body 3 off, then Стоп", three, 10, 4, 0, u"", 0, 10, nullptr},
        // The pull at the last positions overflows: the last good state is a tick earlier.
        {"fault", flyer, 0, 0, 0, u"", 0, 13, u"переполнение"},
        {"fault at the start", close, 0, 0, 0, u"", 0, 0, u"переполнение"}};
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.how);
        Program p;
        Load(p, r.bodies, kDay);
        p.params.txtTimer.text = r.timer;
        p.params.SetStepLong(r.length > 0);
        p.params.txtdLong.text = ТекстЧисла(r.length);
        p.toolkit.onDispatch = [&](long d) {
            if (d == r.offAt) p.params.SetBodyState(3, 0);
            if (d == r.stopAt) p.logic.Click(r.button);
        };
        p.logic.Click(0);
        Bodies expected = r.bodies;
        const std::size_t count = r.offAt == 0 && r.bodies.size() == 3 ? 2 : r.bodies.size();
        if (r.ticks > 0)
            Leapfrog(expected, count, r.offAt ? int(r.offAt) : r.ticks, kDay, r.length);
        if (r.offAt) Leapfrog(expected, 2, r.ticks - int(r.offAt), kDay, r.length);
        for (std::size_t b = 0; b < count; ++b)
            for (int f = X; f <= VY; ++f)
                EXPECT_NEAR(Shown(p, int(b) + 1)[f], expected[b][f], f < VX ? 0.15 : 1e-10)
                    << b << f;
        const auto& said = p.toolkit.messages;
        EXPECT_EQ(said.size() == 1 && said[0].find(r.message ? r.message : u"-") != said[0].npos,
                  r.message != nullptr);
    }
}

// Two suns at rest 1E+11 m apart, one tick: the pair's time scale √(r³ / (G·(m₁ + m₂))) is
// 2,74E+06 s. A step beyond a twentieth of it names the pair; the energy drift of the first
// order start (1,25E-03 at a twentieth) is beyond 1E-03, the leapfrog start's far below, when it
// is measured with the velocities at the positions' moment (3E-04 half a step away).
TEST(Leapfrog, ReadoutWarnsOfTheDriftAndOfAPairTheStepDoesNotResolve) {
    const double tau = std::sqrt(1e33 / (G * 2 * kSun));
    // clang-format off
    struct Row { bool leapfrog; double twentieths; bool drift, pair; };  // the step in τ / 20
    const Row rows[] = {{true, 0.98, false, false}, {true, 1.02, false, true},
                        {false, 0.98, true, false}, {false, 1.02, true, true}};
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.leapfrog << " " << r.twentieths);
        Program p;
        Load(p, {{kSun, 0, 0, 0, 0}, {kSun, 1e11, 0, 0, 0}}, r.twentieths * tau / 20, r.leapfrog);
        std::vector<ReadoutLine> lines;
        p.toolkit.onDispatch = [&](long) {  // after the first tick: the velocities trail
            lines = BuildOverlay(p.logic, {}, RateMeter()).readout;
            EXPECT_LT(CheckRun(p.logic).drift, r.leapfrog ? 1e-5 : 1);
            p.logic.Click(0);
        };
        p.logic.Click(0);
        lines.erase(lines.begin(), lines.begin() + 5);  // to the drift
        EXPECT_EQ(lines[0].warning, r.drift);
        EXPECT_EQ(lines[0].text.ends_with(u" — шаг, вероятно, слишком велик"), r.drift);
        std::vector<ReadoutLine> more{{u"Точный старт (leapfrog)"}};
        if (!r.leapfrog) more.clear();
        if (r.pair) more.push_back({u"Шаг слишком велик для пары Тело 1–Тело 2", true});
        EXPECT_EQ(std::vector(lines.begin() + 2, lines.end()), more);
    }
}

}  // namespace
}  // namespace orbimo
