// The leapfrog start, against an independent leapfrog tick for tick, and the readout's warnings.
#include <gtest/gtest.h>

#include <cmath>

#include "convert/DateTimeText.h"
#include "convert/NumberText.h"
#include "mainwindow/Overlay.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

constexpr double G = 6.6725e-11, kSun = 2e30, kAU = 1.5e11, kDay = 86400;
enum { M, X, Y, VX, VY };
using Body = std::array<double, 5>;
using Bodies = std::vector<Body>;
void Load(Program& p, const Bodies& bodies, double dt, bool leapfrog = true) {
    p.Only(bodies, dt);
    p.logic.SetLeapfrog(leapfrog);
}

/// The leapfrog start on its own terms, `n` ticks of bodies 0 .. count-1: half a kick back,
/// kick and drift, half a kick forward; with length > 0 the step is length / the top speed (the
/// first tick's that of the start), and each kick spans half the last step and half the new one.
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
    double lag = step();
    kick(-lag / 2);
    for (int t = 0; t < n; ++t) {
        dt = t == 0 ? lag : step();
        kick((lag + dt) / 2);
        for (std::size_t i = 0; i < count; ++i) b[i][X] += dt * b[i][VX], b[i][Y] += dt * b[i][VY];
        lag = dt;
    }
    kick(lag / 2);
}

// However a run ends, the fields hold what an independent leapfrog run of as many ticks gives.
TEST(Leapfrog, VelocitiesComeBackToThePositionsMomentHoweverTheRunEnds) {
    const Body sun{kSun, 0, 0, 0, 0}, earth{6e24, kAU, 0, 0, -30000};
    // stopAt, offAt: the dispatches that press "Стоп" and switch body 3 off; length: of the step
    // (0: none); ticks: of the run; fault: it ends in an overflow.
    Bodies eleven{sun, earth};  // the last one the fastest: the step is its own
    for (int i = 3; i <= 10; ++i) eleven.push_back({0, i * kAU, 0, 0, 0});
    eleven.push_back({0, -2 * kAU, 0, 0, 45000});
    // clang-format off
    struct Row { const char* how; Bodies bodies; long stopAt, offAt; const char16_t* timer;
                 double length; int ticks; bool fault; };
    const Row rows[] = {
        {"Стоп", {sun, earth}, 10, 0, u"", 0, 10, false},
        {"Таймер", {sun, earth}, 0, 0, u"11.01.1900", 0, 10, false},
        {"Стоп, шаг длины", {sun, earth}, 10, 0, u"", 3e9, 10, false},
        {"Стоп, шаг длины, 11 тел", eleven, 10, 0, u"", 3e9, 10, false},
        {"body 3 off, then Стоп", {sun, earth, {1e24, -kAU, 0, 0, 30000}}, 10, 4, u"", 0, 10, false},
        // A massless flyer's r² overflows after tick 14: the last good state is a tick earlier.
        {"fault", {sun, earth, {0, 0, 0, 1e153 / kDay, 0}}, 0, 0, u"", 0, 13, true},
        {"fault at the start", {sun, {1, 1e-160, 0, 0, 0}}, 0, 0, u"", 0, 0, true}};
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.how);
        Program p;
        Load(p, r.bodies, kDay);
        p.params.stopDate.text = r.timer;
        p.params.SetStepLengthMode(r.length > 0);
        p.params.stepLength.text = FormatNumber(r.length);
        p.Run([&](long d) {
            if (d == r.offAt) p.params.SetBodyState(3, 0);
            if (d == r.stopAt) p.logic.Click(0);
        });
        Bodies expected = r.bodies;
        const std::size_t count = r.offAt == 0 && r.bodies.size() == 3 ? 2 : r.bodies.size();
        if (r.ticks > 0)
            Leapfrog(expected, count, r.offAt ? int(r.offAt) : r.ticks, kDay, r.length);
        if (r.offAt) Leapfrog(expected, 2, r.ticks - int(r.offAt), kDay, r.length);
        for (std::size_t b = 0; b < count; ++b)
            for (int f = X; f <= VY; ++f)
                EXPECT_NEAR(
                    ParseNumber(p.params.Field({FieldKind(f), int(b) + 1}).text).value_or(NAN),
                    expected[b][f], f < VX ? 0.15 : 1e-10)
                    << b << f;
        const auto& said = p.toolkit.messages;
        EXPECT_EQ(said.size() == 1 && said[0].find(u"переполнение") != said[0].npos, r.fault);
    }
}

// Two suns 1E+11 m apart, one tick: a step beyond τ / 20 of the pair's √(r³ / (G·Σm)) names the
// pair; only the first order start drifts beyond 1E-03 (1,25E-03), velocities at the positions.
TEST(Leapfrog, ReadoutWarnsOfTheDriftAndOfAPairTheStepDoesNotResolve) {
    const double tau = std::sqrt(1e33 / (G * 2 * kSun));
    for (const bool leapfrog : {true, false})
        for (const double twentieths : {0.98, 1.02}) {  // the step in τ / 20
            SCOPED_TRACE(::testing::Message() << leapfrog << " " << twentieths);
            Program p;
            Load(p, {{kSun, 0, 0, 0, 0}, {kSun, 1e11, 0, 0, 0}}, twentieths * tau / 20, leapfrog);
            std::vector<ReadoutLine> lines;
            p.Run([&](long) {  // after the first tick: the velocities trail
                lines = BuildOverlay(p.logic, {}, RateMeter()).readout;
                EXPECT_LT(CheckRun(p.logic).drift, leapfrog ? 1e-5 : 1);
                p.logic.Click(0);
            });
            EXPECT_EQ(lines[5].warning, !leapfrog);  // the drift's line
            EXPECT_EQ(lines[5].text.ends_with(u" — шаг, вероятно, слишком велик"), !leapfrog);
            std::vector<ReadoutLine> more;
            if (leapfrog) more.push_back({u"Точный старт (leapfrog)"});
            if (twentieths > 1) more.push_back({u"Шаг слишком велик для пары Тело 1–Тело 2", true});
            EXPECT_EQ(std::vector(lines.begin() + 7, lines.end()), more);
        }
}

/// Error of a massless body's position after `periods` of an orbit of e = 0,95 (a = 1E+11 m)
/// started at the apoapsis in step-length mode, against Kepler's equation solved here at the
/// time the run ended, in units of a.
double CometError(double length, bool leapfrog, double periods) {
    const double mu = G * kSun, a = 1e11, e = 0.95, T = 2 * M_PI * std::sqrt(a * a * a / mu);
    Program p;
    Load(p, {{kSun, 0, 0, 0, 0}, {0, -a * (1 + e), 0, 0, -std::sqrt(mu / a * (1 - e) / (1 + e))}},
         kDay, leapfrog);
    p.params.SetStepLengthMode(true);
    p.params.stepLength.text = FormatNumber(length);
    const double start = p.state.SimTime;
    p.params.stopDate.text = FormatDate(start + periods * T);
    p.Run([](long) {});
    // From the apoapsis, the mean anomaly is π + n·t; the periapsis lies towards +x.
    const double M = M_PI + 2 * M_PI * (p.state.SimTime - start) / T;
    double E = M;
    for (int i = 0; i < 50; ++i) E -= (E - e * std::sin(E) - M) / (1 - e * std::cos(E));
    const double x = a * (std::cos(E) - e), y = a * std::sqrt(1 - e * e) * std::sin(E);
    return std::hypot(p.state.PosX[2] - x, p.state.PosY[2] - y) / a;
}

// A kick spanning half the last step and half the new one makes the step-length leapfrog of
// second order: halving the step length quarters the error (the plain start halves it).
TEST(Leapfrog, StepLengthModeIsOfSecondOrderAgainstKeplersEquation) {
    for (const bool leapfrog : {true, false}) {
        SCOPED_TRACE(leapfrog);
        const double coarse = CometError(2e7, leapfrog, 1.25),
                     fine = CometError(1e7, leapfrog, 1.25);
        EXPECT_NEAR(coarse / fine, leapfrog ? 4 : 2, 0.4) << coarse << " " << fine;
    }
    // After 1,5 periods, at the periapsis, where the plain start is a tenth of the orbit off.
    const double plain = CometError(2e6, false, 1.5), leap = CometError(2e6, true, 1.5);
    std::printf("e = 0,95, 1,5 periods, step length 2E+06 m: plain %.3g, leapfrog %.3g\n", plain,
                leap);
    EXPECT_GT(plain, 0.05);
    EXPECT_LT(leap, 1e-6);
}

}  // namespace
}  // namespace orbimo
