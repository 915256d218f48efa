#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cfenv>
#include <cfloat>
#include <cmath>
#include <limits>

#include "core/AdvanceTick.h"
#include "core/ProjectToPixel.h"

namespace orbimo {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
#if defined(__SANITIZE_ADDRESS__)
constexpr long kTicks = 10000;  // the sanitizers' build is unoptimised
#else
constexpr long kTicks = 100000;
#endif

SimState BuiltIn(std::initializer_list<int> on) {
    SimState s;
    SetConstants(s);
    StoreBuiltInSystem(s);
    for (int b : on) s.BodyOn[b] = 1;
    return s;
}

std::array<std::uint64_t, 4> BodyBits(const SimState& s, int b) {
    return std::bit_cast<std::array<std::uint64_t, 4>>(
        std::array{s.PosX[b], s.PosY[b], s.VelX[b], s.VelY[b]});
}

// Pinned from an independent re-implementation (Python, IEEE doubles, no fused multiply-add):
// a change of flags, compiler or operation order shows here first.
TEST(AdvanceTick, HundredThousandTicksOfAllElevenBodiesAreBitExact) {
    SimState s = BuiltIn({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    for (int i = 0; i < 100000; ++i) AdvanceTick(s, false);
    std::uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a over the doubles' bytes, little-endian
    for (int b = 1; b <= kBodies; ++b)
        for (std::uint64_t u : BodyBits(s, b))
            for (int i = 0; i < 8; ++i) h = (h ^ ((u >> (8 * i)) & 0xFF)) * 0x100000001b3ull;
    EXPECT_EQ(h, 0xf066b4806edc9baaull);
}

// The tick as plainly as it can be written, faults read through <cfenv>: every path must
// give exactly this.
TickFault ReferenceTick(SimState& s, bool stepLong) {
    const SimState before = s;
    std::feclearexcept(FE_ALL_EXCEPT);
    if (stepLong) {
        double top = 0;
        for (int b = 1; b <= s.BodyCount; ++b)
            if (s.BodyOn[b] == 1 && s.VelY[b] * s.VelY[b] + s.VelX[b] * s.VelX[b] > top)
                top = s.VelY[b] * s.VelY[b] + s.VelX[b] * s.VelX[b];
        s.TimeStep = s.StepLength / std::sqrt(top);
    }
    for (int i = 1; i <= s.BodyCount; ++i)
        for (int j = i + 1; j <= s.BodyCount; ++j) {
            if (s.BodyOn[i] != 1 || s.BodyOn[j] != 1) continue;
            const double dx = s.PosX[j] - s.PosX[i], dy = s.PosY[j] - s.PosY[i];
            const double r2 = dy * dy + dx * dx;
            if (r2 == 0) continue;
            const double r = std::sqrt(r2);
            const double ki = s.GravConst * s.TimeStep * s.Mass[j] / r2;
            const double kj = s.GravConst * s.TimeStep * s.Mass[i] / r2;
            s.VelX[i] = ki * (dx / r) + s.VelX[i];
            s.VelY[i] = ki * (dy / r) + s.VelY[i];
            s.VelX[j] = s.VelX[j] - kj * (dx / r);
            s.VelY[j] = s.VelY[j] - kj * (dy / r);
        }
    for (int b = 1; b <= s.BodyCount; ++b) {
        if (s.BodyOn[b] != 1) continue;
        s.PosX[b] = s.TimeStep * s.VelX[b] + s.PosX[b];
        s.PosY[b] = s.TimeStep * s.VelY[b] + s.PosY[b];
    }
    const int raised = std::fetestexcept(FE_ALL_EXCEPT);
    const TickFault fault = raised & FE_DIVBYZERO  ? TickFault::DivisionByZero
                            : raised & FE_OVERFLOW ? TickFault::Overflow
                            : raised & FE_INVALID  ? TickFault::Invalid
                            : std::isfinite(s.SimTime + s.TimeStep)  // a tick the clock can count
                                ? TickFault::None
                                : TickFault::Overflow;
    if (fault != TickFault::None) s = before;
    return fault;
}

bool SameBits(const SimState& a, const SimState& b) {
    for (int k = 0; k < kSlots; ++k)
        if (BodyBits(a, k) != BodyBits(b, k)) return false;
    return std::bit_cast<std::uint64_t>(a.TimeStep) == std::bit_cast<std::uint64_t>(b.TimeStep);
}

struct System {
    const char* name;
    std::initializer_list<int> on;
    void (*prepare)(SimState&);
    bool stepLong;
    TickFault ends;  // how the reference run ends: the row's point
};

// clang-format off
const System kSystems[] = {
    {"all eleven, bodies 1 and 10 at one point at first", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
     [](SimState&) {}, false, TickFault::None},
    {"seven on (21 pairs), step from the fastest", {1, 2, 4, 5, 6, 9, 11},
     [](SimState& s) { s.StepLength = 1e8; }, true, TickFault::None},
    {"the step from the fastest, the last body", {4, 11},
     [](SimState& s) { s.VelY[11] = -30000, s.StepLength = 7.5e9; }, true, TickFault::None},
    // Neither the skipped pair nor the lanes past it may add anything or raise a flag, though
    // its k would overflow and a lane's distance from 0 squared would.
    {"two at one point 1e155 m out, at rest at -0, steps of 1e300 s", {2, 7}, [](SimState& s) {
         s.PosX[2] = s.PosX[7] = 1e155, s.PosY[7] = s.PosY[2];
         s.VelX[2] = s.VelY[2] = s.VelX[7] = s.VelY[7] = -0.0;
         s.TimeStep = 1e300;
     }, false, TickFault::None},
    {"two 1e-150 m apart", {3, 4}, [](SimState& s) {
         s.PosX[3] = s.PosY[3] = s.PosY[4] = 0, s.PosX[4] = 1e-150;
     }, false, TickFault::Overflow},
    {"only the clock overflows", {4},
     [](SimState& s) { s.SimTime = DBL_MAX, s.StepLength = 1e308; }, true, TickFault::Overflow},
    {"a body at infinity", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
     [](SimState& s) { s.PosY[8] = -kInf; }, false, TickFault::Invalid},
    {"no body on, step from a length of 0", {}, [](SimState&) {}, true, TickFault::Invalid},
    {"nothing moves, step from the fastest", {1, 2, 3, 4, 5},
     [](SimState& s) { s.VelX.fill(0), s.VelY.fill(0), s.StepLength = 1; }, true,
     TickFault::DivisionByZero},
};
// clang-format on

class TickPaths : public testing::TestWithParam<TickPath> {};

TEST_P(TickPaths, EveryBitAndEveryFaultAsThePlainTick) {
    if (!TickPathSupported(GetParam()))
        GTEST_SKIP() << "this processor cannot take the " << TickPathName(GetParam())
                     << " path: not run";
    for (const System& row : kSystems) {
        SimState ref = BuiltIn(row.on);
        row.prepare(ref);
        SimState s = ref;
        TickFault last = TickFault::None;
        long tick = 1;
        for (; tick <= kTicks && last == TickFault::None; ++tick) {
            last = ReferenceTick(ref, row.stepLong);
            ASSERT_EQ(AdvanceTickBy(GetParam(), s, row.stepLong), last) << row.name << ", " << tick;
            ASSERT_TRUE(SameBits(s, ref)) << row.name << ", tick " << tick;
        }
        EXPECT_EQ(last, row.ends) << row.name << ", tick " << tick;
    }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, TickPaths, testing::ValuesIn(kTickPaths),
                         [](const auto& info) { return std::string(TickPathName(info.param)); });

TEST(ProjectToPixel, ViewsScalesAndRounding) {
    SimState s = BuiltIn({1, 4});
    s.TwipsPerPixelX = s.TwipsPerPixelY = 15;
    s.OriginX = 15360 / 2.0, s.OriginY = 11520 / 2.0 - 11520 / 8.0;
    s.ViewBody = 4;
    EXPECT_EQ(ProjectToPixel(s, 4), (Pixel{512, 288}));  // the view body sits at the origin
    s.ViewBody = 0;
    // One AU at 50 000 000 m per twip is 2991.96 twips: 199.46 pixels right of the centre.
    EXPECT_EQ(ProjectToPixel(s, 4), (Pixel{711, 288}));
    s.PosY[4] = 15 * s.Zoom;  // a larger y is drawn lower, no sign change
    EXPECT_EQ(ProjectToPixel(s, 4)->y, 289);
    s.PosX[4] = -(s.OriginX + 7.5) * s.Zoom;  // half a pixel left of the edge: column -1, not 0
    EXPECT_EQ(ProjectToPixel(s, 4)->x, -1);
    s.Zoom = 0;
    EXPECT_FALSE(ProjectToPixel(s, 4).has_value());
    // No pixel whose marker would reach past the 32-bit range, in either direction.
    s.Zoom = 1;
    for (const double c : {2147483646.0, 2147483647.0, -2147483647.0, -2147483648.0}) {
        const bool drawn = c < 2147483647.0 && c > -2147483648.0;
        s.PosX[4] = (c + 0.5) * 15 - s.OriginX, s.PosY[4] = 0;
        EXPECT_EQ(ProjectToPixel(s, 4), drawn ? std::optional(Pixel{int(c), 288}) : std::nullopt);
        s.PosX[4] = 0, s.PosY[4] = (c + 0.5) * 15 - s.OriginY;
        EXPECT_EQ(ProjectToPixel(s, 4), drawn ? std::optional(Pixel{512, int(c)}) : std::nullopt);
    }
}

// Awkward lanes (column, row in pixels at one twip per metre and pixel) in every view: each
// slot as ProjectToPixel gives it, including which cannot be computed.
TEST(ProjectAll, EverySlotAsProjectToPixel) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double lanes[kSlots] = {
        0,   -0.5, 7.25,   2147483647.5, 2147483648.0, -2147483648.0, -2147483648.5,
        nan, kInf, -1e300, 1e-300,       123456.75};
    for (const auto& [body, zoom] : {std::pair{0, 1.0}, {5, 1.0}, {40, 1.0}, {3, 0.0}, {0, 3e-7}}) {
        SimState s;
        s.BodyCount = kBodies;
        s.BodyOn.fill(1);
        s.TwipsPerPixelX = 1, s.TwipsPerPixelY = 2;
        s.ViewBody = static_cast<std::int16_t>(body), s.Zoom = zoom;
        for (int b = 0; b < kSlots; ++b)
            s.PosX[b] = lanes[b], s.PosY[b] = 2 * lanes[kSlots - 1 - b];
        std::array<Pixel, kSlots> out{};
        const unsigned computed = ProjectAll(s, out);
        for (int b = 0; b < kSlots; ++b) {
            const auto p = ProjectToPixel(s, b);
            EXPECT_EQ((computed >> b) & 1u, p ? 1u : 0u) << body << ", " << b;
            EXPECT_EQ(p ? out[b] : Pixel{}, p.value_or(Pixel{})) << body << ", " << b;
        }
    }
}

}  // namespace
}  // namespace orbimo
