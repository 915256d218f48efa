#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/AdvanceTick.h"
#include "core/ProjectToPixel.h"

namespace orbimo {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr long kTicks = 10000;  // the sanitizers' build is unoptimised
#else
constexpr long kTicks = 100000;
#endif

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
    TickFault fault = TickFault::None;
    if (std::fetestexcept(FE_DIVBYZERO))
        fault = TickFault::DivisionByZero;
    else if (std::fetestexcept(FE_OVERFLOW))
        fault = TickFault::Overflow;
    else if (std::fetestexcept(FE_INVALID))
        fault = TickFault::Invalid;
    if (fault != TickFault::None) s = before;
    return fault;
}

bool SameBits(const SimState& a, const SimState& b) {
    return std::memcmp(&a.PosX, &b.PosX, sizeof a.PosX) == 0 &&
           std::memcmp(&a.PosY, &b.PosY, sizeof a.PosY) == 0 &&
           std::memcmp(&a.VelX, &b.VelX, sizeof a.VelX) == 0 &&
           std::memcmp(&a.VelY, &b.VelY, sizeof a.VelY) == 0 &&
           std::memcmp(&a.TimeStep, &b.TimeStep, sizeof a.TimeStep) == 0;
}

constexpr double kInf = std::numeric_limits<double>::infinity();

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
    // Neither the skipped pair nor the lanes past it may add anything or raise a flag, though
    // its k would overflow and a lane's distance from 0 squared would.
    {"two at one point 1e155 m out, at rest at -0, steps of 1e300 s", {2, 7}, [](SimState& s) {
         s.PosX[2] = s.PosX[7] = 1e155, s.PosY[7] = s.PosY[2];
         s.VelX[2] = s.VelY[2] = s.VelX[7] = s.VelY[7] = -0.0;
         s.TimeStep = 1e300;
     }, false, TickFault::None},
    {"all eleven, Jupiter flung out until a distance squared overflows",
     {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
     [](SimState& s) { s.PosX[6] = 1e154, s.VelX[6] = 1e148; }, false, TickFault::Overflow},
    {"two 1e-150 m apart", {3, 4}, [](SimState& s) {
         s.PosX[3] = s.PosY[3] = s.PosY[4] = 0, s.PosX[4] = 1e-150;
     }, false, TickFault::Overflow},
    {"a body at infinity", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
     [](SimState& s) { s.PosY[8] = -kInf; }, false, TickFault::Invalid},
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
        SimState ref;
        SetConstants(ref);
        StoreBuiltInSystem(ref);
        for (int b : row.on) ref.BodyOn[b] = 1;
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

TEST(TickPaths, TheWidestPathThisProcessorTakesIsChosen) {
    TickPath widest = TickPath::Scalar;
    for (TickPath p : {TickPath::Sse2, TickPath::Avx2, TickPath::Avx512})
        if (TickPathSupported(p)) widest = p;
    EXPECT_EQ(ChosenTickPath(), widest);
}

// Twelve lanes of awkward values (column, row in pixels at one twip per metre and pixel):
// every slot must come out as ProjectToPixel gives it, including which cannot be computed.
TEST(ProjectAll, EverySlotAsProjectToPixel) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double lanes[kSlots] = {
        0,   -0.5, 7.25,   2147483647.5, 2147483648.0, -2147483648.0, -2147483648.5,
        nan, kInf, -1e300, 1e-300,       123456.75};
    struct View {
        int body;
        double zoom;
    };
    for (const View view : {View{0, 1}, View{5, 1}, View{40, 1}, View{3, 0}, View{0, 3e-7}}) {
        SimState s;
        s.BodyCount = kBodies;
        s.BodyOn.fill(1);
        s.TwipsPerPixelX = 1, s.TwipsPerPixelY = 2;
        s.ViewBody = static_cast<std::int16_t>(view.body), s.Zoom = view.zoom;
        for (int b = 0; b < kSlots; ++b) {
            s.PosX[b] = lanes[b];
            s.PosY[b] = 2 * lanes[kSlots - 1 - b];
        }
        std::array<Pixel, kSlots> out{};
        const unsigned computed = ProjectAll(s, out);
        for (int b = 0; b < kSlots; ++b) {
            const auto p = ProjectToPixel(s, b);
            EXPECT_EQ(((computed >> b) & 1u) != 0, p.has_value()) << view.body << ", " << b;
            if (p && ((computed >> b) & 1u)) {
                EXPECT_EQ(out[b], *p) << view.body << ", " << b;
            }
        }
    }
}

}  // namespace
}  // namespace orbimo
