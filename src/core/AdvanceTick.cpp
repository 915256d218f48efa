#include "core/AdvanceTick.h"

#include <cfenv>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orbimo {

namespace {

// The exact operation order matters: results must agree to the last bit.
inline void Tick(SimState& s, bool stepLong) {
    const int n = s.BodyCount;
    if (stepLong) {
        double largest = 0;
        for (int b = 1; b <= n; ++b) {
            if (s.BodyOn[b] != 1) continue;
            const double v2 = s.VelY[b] * s.VelY[b] + s.VelX[b] * s.VelX[b];
            if (v2 > largest) largest = v2;
        }
        s.TimeStep = s.StepLength / std::sqrt(largest);
    }
    const double gdt = s.GravConst * s.TimeStep;
    for (int i = 1; i <= n; ++i) {
        if (s.BodyOn[i] != 1) continue;
        for (int j = i + 1; j <= n; ++j) {
            if (s.BodyOn[j] != 1) continue;
            const double dx = s.PosX[j] - s.PosX[i];
            const double dy = s.PosY[j] - s.PosY[i];
            const double r2 = dy * dy + dx * dx;
            if (r2 == 0) continue;  // two bodies at one point exert nothing that tick
            const double r = std::sqrt(r2);
            const double ux = dx / r;
            const double uy = dy / r;
            double k = gdt * s.Mass[j] / r2;
            s.VelX[i] = k * ux + s.VelX[i];
            s.VelY[i] = k * uy + s.VelY[i];
            k = gdt * s.Mass[i] / r2;
            s.VelX[j] = s.VelX[j] - k * ux;
            s.VelY[j] = s.VelY[j] - k * uy;
        }
    }
    const double dt = s.TimeStep;
    for (int b = 1; b <= n; ++b) {
        if (s.BodyOn[b] != 1) continue;
        s.PosX[b] = dt * s.VelX[b] + s.PosX[b];
        s.PosY[b] = dt * s.VelY[b] + s.PosY[b];
    }
}

// Division by zero, overflow and invalid operation, read from the SSE status word
// directly: the C library's calls also save and restore the x87 state, which costs
// more than a tick's arithmetic.
#if defined(__SSE2__)
constexpr unsigned kInvalidBit = 0x01, kZeroDivideBit = 0x04, kOverflowBit = 0x08;
inline void ClearFlags() {
    _mm_setcsr(_mm_getcsr() & ~0x3Fu);
}
inline unsigned RaisedFlags() {
    return _mm_getcsr() & (kInvalidBit | kZeroDivideBit | kOverflowBit);
}
#else
constexpr unsigned kInvalidBit = FE_INVALID, kZeroDivideBit = FE_DIVBYZERO,
                   kOverflowBit = FE_OVERFLOW;
inline void ClearFlags() {
    std::feclearexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID);
}
inline unsigned RaisedFlags() {
    return static_cast<unsigned>(std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID));
}
#endif

struct Saved {
    BodyDoubles posX, posY, velX, velY;
    double timeStep;
};

}  // namespace

TickFault AdvanceTick(SimState& s, bool stepLong) {
    const Saved saved{s.PosX, s.PosY, s.VelX, s.VelY, s.TimeStep};
    ClearFlags();
    Tick(s, stepLong);
    const unsigned raised = RaisedFlags();
    // The clock takes this tick's step too: a tick it cannot count is no tick.
    const bool clockOverflows = !std::isfinite(s.SimTime + s.TimeStep);
    if (raised == 0 && !clockOverflows) return TickFault::None;
    s.PosX = saved.posX;
    s.PosY = saved.posY;
    s.VelX = saved.velX;
    s.VelY = saved.velY;
    s.TimeStep = saved.timeStep;
    if (raised & kZeroDivideBit) return TickFault::DivisionByZero;
    if (raised & kOverflowBit) return TickFault::Overflow;
    return raised != 0 ? TickFault::Invalid : TickFault::Overflow;  // else only the clock
}

}  // namespace orbimo
