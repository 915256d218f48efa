// The teaching tools without Qt: equal areas on simulated paths, the graphs' samples and the
// measuring tape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "convert/NumberText.h"
#include "mainwindow/Overlay.h"
#include "mainwindow/StartedProgram.h"
#include "mainwindow/TeachingLayers.h"

namespace orbimo {
namespace {

constexpr double G = 6.6725e-11, kPi = std::numbers::pi;

// A heavy planet (the star wobbles) on a = 1E+11 m, e = 0,5 from its periapsis, sampled at
// uneven moments for 1,2 periods: every sector a twelfth of πab, to 1E-06. A third body's pull
// makes them differ.
TEST(EqualAreas, TwelfthsOfTheEllipseOnATwoBodyPathButNotWithAThirdBody) {
    const double M = 2e30, m = 1e28, a = 1e11, e = 0.5, mu = G * (M + m);
    const double T = 2 * kPi * std::sqrt(a * a * a / mu),
                 vq = std::sqrt(mu * (1 + e) / (a * (1 - e)));
    for (const bool third : {false, true}) {
        SCOPED_TRACE(third);
        Program p;
        std::vector<std::array<double, 5>> bodies{{M, 0, 0, 0, 0}, {m, a * (1 - e), 0, 0, -vq}};
        if (third) bodies.push_back({3e29, -3e11, 0, 0, 10000});
        p.Only(bodies, 300);
        p.logic.SetLeapfrog(true);
        Teaching t;
        t.Choose({2, 1, false, true, false, 12});
        const long ticks = static_cast<long>(1.2 * T / 300);
        p.Run([&](long d) {
            if (d % 7 == 0 || d % 11 == 0) t.Sample(p.logic);
            if (d == ticks) p.logic.Click(0);
        });
        const auto& sectors = t.Areas().Sectors();
        ASSERT_EQ(sectors.size(), 12u);  // a revolution, the last one being swept
        EXPECT_EQ(sectors.front().index, 3);
        double low = INFINITY, high = 0;
        for (std::size_t k = 0; k + 1 < sectors.size(); ++k) {
            EXPECT_TRUE(sectors[k].complete);
            low = std::min(low, std::fabs(sectors[k].area));
            high = std::max(high, std::fabs(sectors[k].area));
        }
        if (!third) {
            const double twelfth = kPi * a * a * std::sqrt(1 - e * e) / 12;
            EXPECT_NEAR(low / twelfth, 1, 1e-6);
            EXPECT_NEAR(high / twelfth, 1, 1e-6);
        } else {
            EXPECT_GT(high / low, 1.001);
        }
        // Drawn: a shaded sector each with its area written in the finished ones.
        const TeachingLayers l = t.Layers(p.logic);
        ASSERT_EQ(l.sectors.size(), 12u);
        EXPECT_EQ(
            l.sectors[0].area + u" " + l.areaUnit,
            ShortNumber(std::fabs(sectors[0].area) / (kAstroUnitMetres * kAstroUnitMetres), 4) +
                u" а. е.²");
        EXPECT_TRUE(l.sectors[11].area.empty());
        EXPECT_NE(l.sectors[0].tint, l.sectors[1].tint);
    }
}

// Samples a tenth of the way apart, kept every other and then half as often when full: the
// kept ones stay evenly spread over the whole run.
TEST(GraphSamples, BoundedThinnedEvenlyAndClearedWithThePicture) {
    GraphSamples g(8);
    for (int i = 1; i <= 20; ++i) {
        GraphSample sample;
        sample.time = i;
        g.Add(sample);
    }
    EXPECT_EQ(g.Times(), (std::vector<double>{1, 5, 9, 13, 17}));
    EXPECT_EQ(g.Stride(), 4u);
    // In a run: one sample a display frame, the drift measured as the readout measures it.
    Program p;
    GraphSamples run;
    p.Run([&](long d) {
        if (d % 50 == 0 && d < 500) run.Sample(p.logic);
        if (d == 503) p.logic.Click(0);
    });
    run.Sample(p.logic);  // the end
    run.Sample(p.logic);  // time has not moved: no sample
    ASSERT_EQ(run.Samples().size(), 10u);
    EXPECT_EQ(run.Samples().back().time, p.state.SimTime);
    const double drift = run.Curves(GraphQuantity::EnergyDrift, 0, 0)[0].values.back();
    EXPECT_EQ(std::fabs(drift), CheckRun(p.logic).drift);
    p.logic.Click(2);  // «Очистить»: the graphs start again from now
    run.Sample(p.logic);
    EXPECT_EQ(run.Samples().size(), 1u);
}

// A thousand points in ten pixel columns: per column the polyline keeps the first, the lowest,
// the highest and the last, so it covers the same pixels; a missing value breaks it.
TEST(GraphSamples, DecimatedLineKeepsEachColumnsExtremesAndGaps) {
    std::vector<double> x, y;
    for (int i = 0; i < 1000; ++i) x.push_back(i), y.push_back(std::sin(i * 0.37) * (i % 13));
    y[555] = NAN;
    const auto kept = Decimate(x, y, 0, 1000, 10);
    EXPECT_LE(kept.size(), 4u * 11 + 1);  // the gap splits a column in two
    for (int column = 0; column < 10; ++column) {
        double lo = INFINITY, hi = -INFINITY, keptLo = INFINITY, keptHi = -INFINITY;
        for (int i = 100 * column; i < 100 * column + 100; ++i)
            if (!std::isnan(y[i])) lo = std::min(lo, y[i]), hi = std::max(hi, y[i]);
        for (const auto& [kx, ky] : kept)
            if (kx >= 100 * column && kx < 100 * column + 100 && !std::isnan(ky))
                keptLo = std::min(keptLo, ky), keptHi = std::max(keptHi, ky);
        EXPECT_EQ(keptLo, lo) << column;
        EXPECT_EQ(keptHi, hi) << column;
    }
    EXPECT_EQ(std::ranges::count_if(kept, [](const auto& k) { return std::isnan(k[1]); }), 1);
    EXPECT_EQ(kept.front()[0], 0);
    EXPECT_EQ(kept.back()[0], 999);
    const std::tuple<double, double, int, std::vector<double>> rows[] = {
        {0, 1, 5, {0, 0.2, 0.4, 0.6000000000000001, 0.8, 1}},
        {-3.7, 12, 4, {0, 5, 10}},
        {2e30, 2.5e30, 5, {2e30, 2.1e30, 2.2e30, 2.3e30, 2.4e30, 2.5e30}}};
    for (const auto& [lo, hi, count, ticks] : rows) {
        const std::vector<double> got = NiceTicks(lo, hi, count);
        ASSERT_EQ(got.size(), ticks.size()) << lo;
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], ticks[i], 1e-12 * hi);
    }
}

// Dragged from (100, 100) to (400, 500): 500 pixels of 15 twips at the scale, the angle seen on
// the picture, the unit the scale bar takes; zoomed, it stays on the same metres.
TEST(MeasuringTape, LengthAngleAndUnitAndItStaysOnThePaths) {
    SimState s;
    s.TwipsPerPixelX = s.TwipsPerPixelY = 15, s.OriginX = 7500, s.OriginY = 4500;
    s.PixelOwner.Create(767, 1023);
    MeasuringTape tape;
    s.Zoom = 3e7;
    tape.Begin(s, Frame{}, 100, 100);
    tape.DragTo(s, 400, 500);
    EXPECT_DOUBLE_EQ(tape.Length(), 500 * 15 * 3e7);
    EXPECT_NEAR(tape.Angle(), -std::atan2(400, 300) * 180 / kPi, 1e-12);
    EXPECT_EQ(tape.Text(15 * 3e7, 1024), u"1,504 а. е., -53,1°");
    EXPECT_EQ(tape.Text(15 * 1e5, 1024), u"225 000 000 км, -53,1°");
    s.Zoom = 6e7;  // zoomed out about the origin pixel (500, 300): ends halfway to it
    const auto ends = tape.Ends(s);
    for (const auto& [got, want] :
         {std::pair{ends[0], 300.0}, {ends[1], 200.0}, {ends[2], 450.0}, {ends[3], 400.0}})
        EXPECT_NEAR(got, want, 1e-9);
    EXPECT_TRUE(tape.Shown(Frame{}));
    EXPECT_FALSE(tape.Shown(Frame{FrameKind::CentreOfMass}));  // measured in another frame
}

}  // namespace
}  // namespace orbimo
