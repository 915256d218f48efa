#pragma once
#include "core/SimState.h"

namespace orbimo {

enum class TickFault {
    None,
    DivisionByZero,  // step-length mode with no body moving
    Overflow,        // a value beyond the double range
    Invalid,         // an operation without a value (NaN)
};

/// One tick: step-length rule, kick over every pair, drift. When any result
/// divides by zero, overflows or is invalid, or SimTime + TimeStep would not be
/// finite, the tick is undone and reported. SimTime itself is the caller's.
TickFault AdvanceTick(SimState& s, bool stepLong);

}  // namespace orbimo
