#include "core/AdvanceTick.h"

#include <cfenv>
#include <cmath>

namespace orbimo {

namespace {

// The exact operation order matters: results must agree to the last bit.
inline void Tick(SimState& s, bool stepLong) {
    const int n = s.BodyCount;
    if (stepLong) {
        double largest = 0;
        for (int b = 1; b <= n; ++b) {
            if (s.BodyOn[b] != 1) continue;
            double v2 = s.VelY[b] * s.VelY[b] + s.VelX[b] * s.VelX[b];
            if (v2 > largest) largest = v2;
        }
        s.TimeStep = s.StepLength / std::sqrt(largest);
    }
    const double gdt = s.GravConst * s.TimeStep;
    for (int i = 1; i <= n; ++i) {
        if (s.BodyOn[i] != 1) continue;
        for (int j = i + 1; j <= n; ++j) {
            if (s.BodyOn[j] != 1) continue;
            double dx = s.PosX[j] - s.PosX[i];
            double dy = s.PosY[j] - s.PosY[i];
            double r2 = dy * dy + dx * dx;
            if (r2 == 0) continue;
            double r = std::sqrt(r2);
            double ux = dx / r;
            double uy = dy / r;
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

void AdvanceTickUnchecked(SimState& s, bool stepLong) {
    Tick(s, stepLong);
}

TickFault AdvanceTick(SimState& s, bool stepLong) {
    const Saved saved{s.PosX, s.PosY, s.VelX, s.VelY, s.TimeStep};
    std::feclearexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID);
    Tick(s, stepLong);
    const int raised = std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID);
    if (raised == 0) return TickFault::None;
    s.PosX = saved.posX;
    s.PosY = saved.posY;
    s.VelX = saved.velX;
    s.VelY = saved.velY;
    s.TimeStep = saved.timeStep;
    if (raised & FE_DIVBYZERO) return TickFault::DivisionByZero;
    if (raised & FE_OVERFLOW) return TickFault::Overflow;
    return TickFault::Invalid;
}

}  // namespace orbimo
