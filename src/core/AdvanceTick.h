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
/// Takes the way found fastest on this processor (TickPathChoice.h); every way gives the same
/// bits.
TickFault AdvanceTick(SimState& s, bool stepLong);

/// Ways of computing a tick. The packed ones compute every pair's terms side by side
/// (each lane rounded as alone) and then add them to the velocities in the loop's order.
enum class TickPath {
    Scalar,  // one pair at a time
    Sse2,    // two pairs at a time (every x86-64 processor)
    Avx2,    // eight, in two registers of four
    Avx512,  // eight
};
inline constexpr TickPath kTickPaths[] = {TickPath::Scalar, TickPath::Sse2, TickPath::Avx2,
                                          TickPath::Avx512};

const char* TickPathName(TickPath path);
/// Whether this processor (and this build) can take the path.
bool TickPathSupported(TickPath path);
/// The path AdvanceTick takes, chosen on first use (TickPathChoice.h).
TickPath ChosenTickPath();
/// One tick by the given path, which must be supported.
TickFault AdvanceTickBy(TickPath path, SimState& s, bool stepLong);

}  // namespace orbimo
