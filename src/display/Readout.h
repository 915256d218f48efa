#pragma once
#include <string>

#include "core/SimState.h"
#include "params/ParamsModel.h"

namespace orbimo {

/// The scale as the window shows it: rounded to metres, digits grouped in threes.
std::u16string GroupedScaleText(double zoom);

/// Writes bodies, simulated time, time step and scale from the record into the window's fields.
void WriteReadout(const SimState& s, ParamsModel& params);

}  // namespace orbimo
