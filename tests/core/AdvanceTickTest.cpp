#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/AdvanceTick.h"
#include "core/ProjectToPixel.h"
#include "core/SimState.h"

namespace orbimo {
namespace {

SimState BuiltIn(std::initializer_list<int> on) {
    SimState s;
    SetConstants(s);
    StoreBuiltInSystem(s);
    for (int b : on) s.BodyOn[b] = 1;
    return s;
}

std::uint64_t Bits(double v) {
    std::uint64_t u;
    std::memcpy(&u, &v, sizeof u);
    return u;
}

std::uint64_t HashBodies(const SimState& s) {
    std::uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a over the doubles' bytes, little-endian
    for (int b = 1; b <= kBodies; ++b)
        for (double v : {s.PosX[b], s.PosY[b], s.VelX[b], s.VelY[b]}) {
            std::uint64_t u = Bits(v);
            for (int i = 0; i < 8; ++i) {
                h ^= (u >> (8 * i)) & 0xFF;
                h *= 0x100000001b3ull;
            }
        }
    return h;
}

TEST(AdvanceTick, EarthAroundSunTakesAYear) {
    SimState s = BuiltIn({1, 4});
    long ticks = 0;
    double prevY = s.PosY[4];
    double crossing = 0;
    while (ticks < 20000) {
        ASSERT_EQ(AdvanceTick(s, false), TickFault::None);
        ++ticks;
        // Back across the starting line (y = 0 on the positive x side), moving towards -y.
        if (s.PosX[4] > 0 && prevY > 0 && s.PosY[4] <= 0) {
            crossing = (ticks - 1 + prevY / (prevY - s.PosY[4])) * 3600.0;
            break;
        }
        prevY = s.PosY[4];
    }
    EXPECT_NEAR(crossing / 86400.0, 365.2, 0.05);
}

TEST(AdvanceTick, MomentumIsConservedToRounding) {
    SimState s = BuiltIn({1, 2, 3, 4, 5});
    auto momentum = [&](double& px, double& py, double& scale) {
        px = py = scale = 0;
        for (int b = 1; b <= kBodies; ++b) {
            if (s.BodyOn[b] != 1) continue;
            px += s.Mass[b] * s.VelX[b];
            py += s.Mass[b] * s.VelY[b];
            scale += s.Mass[b] * std::hypot(s.VelX[b], s.VelY[b]);
        }
    };
    double px0, py0, scale;
    momentum(px0, py0, scale);
    for (int i = 0; i < 10000; ++i) ASSERT_EQ(AdvanceTick(s, false), TickFault::None);
    double px, py, unused;
    momentum(px, py, unused);
    EXPECT_LT(std::abs(px - px0), 1e-12 * scale);
    EXPECT_LT(std::abs(py - py0), 1e-12 * scale);
}

TEST(AdvanceTick, BodiesSwitchedOffKeepEveryBitAndPullNothing) {
    SimState with = BuiltIn({1, 4, 6});
    SimState without = BuiltIn({1, 4});
    without.BodyOn[6] = 0;
    for (int i = 0; i < 1000; ++i) {
        AdvanceTick(with, false);
        AdvanceTick(without, false);
    }
    SimState fresh = BuiltIn({});
    for (int b : {2, 3, 5, 6, 7, 8, 9, 10, 11}) {
        if (b == 6) continue;
        EXPECT_EQ(Bits(without.PosX[b]), Bits(fresh.PosX[b])) << b;
        EXPECT_EQ(Bits(without.VelY[b]), Bits(fresh.VelY[b])) << b;
    }
    // Jupiter switched on does pull the Earth; switched off it does not.
    EXPECT_NE(Bits(with.PosX[4]), Bits(without.PosX[4]));
    SimState earthSun = BuiltIn({1, 4});
    for (int i = 0; i < 1000; ++i) AdvanceTick(earthSun, false);
    EXPECT_EQ(Bits(earthSun.PosX[4]), Bits(without.PosX[4]));
    EXPECT_EQ(Bits(earthSun.VelY[4]), Bits(without.VelY[4]));
}

TEST(AdvanceTick, LoneBodyAndZeroStepAndCoincidentPair) {
    SimState lone = BuiltIn({4});
    lone.VelX[4] = 12.5;
    for (int i = 0; i < 100; ++i) AdvanceTick(lone, false);
    EXPECT_DOUBLE_EQ(lone.PosX[4], lone.AstroUnit + 100 * 3600 * 12.5);
    EXPECT_DOUBLE_EQ(lone.PosY[4], -29790.0 * 3600 * 100);
    EXPECT_EQ(lone.VelY[4], -29790.0);

    SimState still = BuiltIn({1, 2, 3, 4, 5});
    still.TimeStep = 0;
    const SimState before = still;
    EXPECT_EQ(AdvanceTick(still, false), TickFault::None);
    for (int b = 1; b <= 5; ++b) {
        EXPECT_EQ(Bits(still.PosX[b]), Bits(before.PosX[b]));
        EXPECT_EQ(Bits(still.VelY[b]), Bits(before.VelY[b]));
    }

    // Bodies 1 and 10 start at one point: the pair is skipped, not a division by zero.
    SimState pair = BuiltIn({1, 10});
    EXPECT_EQ(AdvanceTick(pair, false), TickFault::None);
    EXPECT_EQ(pair.VelX[1], 0.0);
    EXPECT_EQ(pair.VelY[10], -1000.0);
}

TEST(AdvanceTick, StepLengthSetsTheStepFromTheFastestBody) {
    SimState s = BuiltIn({4});
    s.VelY[4] = -30000;
    s.StepLength = 7.5e9;
    EXPECT_EQ(AdvanceTick(s, true), TickFault::None);
    EXPECT_EQ(s.TimeStep, 250000.0);
    EXPECT_DOUBLE_EQ(s.PosY[4], -30000.0 * 250000.0);
}

TEST(AdvanceTick, FaultsAreReportedAndUndone) {
    struct Case {
        const char* name;
        void (*prepare)(SimState&);
        bool stepLong;
        TickFault expected;
    };
    const Case cases[] = {
        {"nothing moves in step-length mode",
         [](SimState& s) {
             for (int b = 1; b <= kBodies; ++b) s.VelY[b] = 0;
             s.StepLength = 1e9;
         },
         true, TickFault::DivisionByZero},
        {"no body on in step-length mode", [](SimState& s) { s.BodyOn.fill(0); }, true,
         TickFault::Invalid},
        {"masses beyond the double range",
         [](SimState& s) {
             s.Mass[1] = 1e308;
             s.TimeStep = 1e300;
         },
         false, TickFault::Overflow},
        {"distances whose square overflows", [](SimState& s) { s.PosX[5] = 1e300; }, false,
         TickFault::Overflow},
    };
    for (const Case& c : cases) {
        SimState s = BuiltIn({1, 2, 3, 4, 5});
        c.prepare(s);
        const SimState before = s;
        EXPECT_EQ(AdvanceTick(s, c.stepLong), c.expected) << c.name;
        for (int b = 1; b <= kBodies; ++b) {
            EXPECT_EQ(Bits(s.PosX[b]), Bits(before.PosX[b])) << c.name;
            EXPECT_EQ(Bits(s.VelX[b]), Bits(before.VelX[b])) << c.name;
            EXPECT_EQ(Bits(s.VelY[b]), Bits(before.VelY[b])) << c.name;
        }
        EXPECT_EQ(Bits(s.TimeStep), Bits(before.TimeStep)) << c.name;
    }
}

// The pinned value was computed by an independent re-implementation of the tick in
// Python (IEEE doubles, same operation order, no fused multiply-add) and agreed with
// this code at the time it was written. A change of flags, compiler or operation
// order shows here first.
TEST(AdvanceTick, HundredThousandTicksOfAllElevenBodiesAreBitExact) {
    SimState s = BuiltIn({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    for (int i = 0; i < 100000; ++i) AdvanceTick(s, false);
    EXPECT_EQ(HashBodies(s), 0xf066b4806edc9baaull);
}

TEST(ProjectToPixel, ViewsScalesAndRounding) {
    SimState s = BuiltIn({1, 4});
    s.TwipsPerPixelX = s.TwipsPerPixelY = 15;
    s.OriginX = 15360 / 2.0;
    s.OriginY = 11520 / 2.0 - 11520 / 8.0;
    const Pixel centre{512, 288};
    s.ViewBody = 4;
    EXPECT_EQ(ProjectToPixel(s, 4), centre);  // the view body always sits at the origin
    s.ViewBody = 0;
    EXPECT_EQ(ProjectToPixel(s, 1), centre);
    // One AU at 50 000 000 m per twip is 2991.96 twips: 199.46 pixels right of the centre.
    EXPECT_EQ(ProjectToPixel(s, 4), (Pixel{711, 288}));
    s.PosY[4] = 15 * s.Zoom;  // a larger y is drawn lower, no sign change
    EXPECT_EQ(ProjectToPixel(s, 4)->y, 289);
    // Half a pixel left of the window edge is column -1, not 0.
    s.PosX[4] = -(s.OriginX + 7.5) * s.Zoom;
    EXPECT_EQ(ProjectToPixel(s, 4)->x, -1);

    s.Zoom = 0;
    EXPECT_FALSE(ProjectToPixel(s, 4).has_value());
    s.Zoom = 1e-300;
    EXPECT_FALSE(ProjectToPixel(s, 4).has_value());
}

}  // namespace
}  // namespace orbimo

namespace orbimo {
namespace {

TEST(FloorToInt32, MatchesFloorEverywhereItFits) {
    const double values[] = {0.0,         -0.0,          0.5,          -0.5,        -1.0,
                             1.9999999,   -1.0000001,    2147483647.9, -2147483648.0,
                             -2147483648.5, 2147483648.0, 1e300,       -1e300,      std::nan("")};
    for (double v : values) {
        std::int32_t out = 12345;
        const bool fits = std::floor(v) >= -2147483648.0 && std::floor(v) <= 2147483647.0;
        ASSERT_EQ(FloorToInt32(v, out), fits) << v;
        if (fits) {
            EXPECT_EQ(out, static_cast<std::int32_t>(std::floor(v))) << v;
        }
    }
}

}  // namespace
}  // namespace orbimo
