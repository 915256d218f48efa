#include "core/HalfKick.h"

#include <cmath>

#include "core/FpFlags.h"

namespace orbimo {

// The tick's own kick (its scalar form), so that a leapfrog run is the program's arithmetic
// plus two half kicks. The order of the operations matters to the last bit.
void KickInto(const SimState& s, double step, BodyDoubles& velX, BodyDoubles& velY) {
    const int n = s.BodyCount;
    const double gdt = s.GravConst * step;
    for (int i = 1; i <= n; ++i) {
        if (s.BodyOn[i] != 1) continue;
        for (int j = i + 1; j <= n; ++j) {
            if (s.BodyOn[j] != 1) continue;
            const double dx = s.PosX[j] - s.PosX[i];
            const double dy = s.PosY[j] - s.PosY[i];
            const double r2 = dy * dy + dx * dx;
            if (r2 == 0) continue;
            const double r = std::sqrt(r2);
            const double ux = dx / r;
            const double uy = dy / r;
            double k = gdt * s.Mass[j] / r2;
            velX[i] = k * ux + velX[i];
            velY[i] = k * uy + velY[i];
            k = gdt * s.Mass[i] / r2;
            velX[j] = velX[j] - k * ux;
            velY[j] = velY[j] - k * uy;
        }
    }
}

TickFault HalfKick(SimState& s, double step) {
    const BodyDoubles velX = s.VelX, velY = s.VelY;
    ClearFlags();
    KickInto(s, step, s.VelX, s.VelY);
    const TickFault fault = FaultOf(RaisedFlags());
    if (fault != TickFault::None) s.VelX = velX, s.VelY = velY;
    return fault;
}

double SquaredTopSpeed(const SimState& s) {
    double largest = 0;
    for (int b = 1; b <= s.BodyCount; ++b) {
        if (s.BodyOn[b] != 1) continue;
        const double v2 = s.VelY[b] * s.VelY[b] + s.VelX[b] * s.VelX[b];
        if (v2 > largest) largest = v2;
    }
    return largest;
}

TickFault StepFromLength(const SimState& s, double& step) {
    ClearFlags();
    const double dt = s.StepLength / std::sqrt(SquaredTopSpeed(s));
    const TickFault fault = FaultOf(RaisedFlags());
    if (fault == TickFault::None) step = dt;
    return fault;
}

}  // namespace orbimo
