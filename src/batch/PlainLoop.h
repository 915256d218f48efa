#pragma once
#include <cstdint>

#include "core/SimState.h"

namespace orbimo {

struct PlainLoopResult {
    std::int64_t ticks = 0;
    double seconds = 0;
    double checksum = 0;  // keeps the work from being optimised away
};

/// The run's arithmetic as a plain scalar loop over local arrays, for measuring the real
/// run against: the tick (step-length rule, kick, drift), the projection of every body
/// taking part and the "pixel changed?" test, and when `draw` is set, on a changed pixel its trace
/// pixel and 3x3 marker in a plain buffer of width x height; no fault check, no undo copy, no
/// calls through interfaces.
/// Runs from start until stopTime (0: none) or maxTicks (0: none), whichever comes first.
PlainLoopResult RunPlainLoop(const SimState& start, bool stepLong, double stopTime,
                             std::int64_t maxTicks, int width, int height, bool draw);

}  // namespace orbimo
