#include "core/AdvanceTick.h"

#include <cmath>

#include "core/FpFlags.h"

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
