#pragma once
#include "core/AdvanceTick.h"
#include "core/SimState.h"

namespace orbimo {

/// The kick of a tick alone, with the signed step `step`, into velX and velY (which start as
/// the velocities to kick): the pull of every pair taking part, in the tick's own order.
void KickInto(const SimState& s, double step, BodyDoubles& velX, BodyDoubles& velY);

/// Kicks the record's velocities by `step` (−½·dt moves them half a step back, +½·dt forward).
/// When a result divides by zero, overflows or is invalid, nothing changes and the fault is
/// returned.
TickFault HalfKick(SimState& s, double step);

/// The largest squared speed of the bodies taking part, in the order the step-length rule
/// computes it; 0 when none moves.
double SquaredTopSpeed(const SimState& s);

/// The step the step-length rule gives for the velocities as they are, as a tick would
/// compute it; DivisionByZero (step untouched) when no body taking part moves.
TickFault StepFromLength(const SimState& s, double& step);

}  // namespace orbimo
