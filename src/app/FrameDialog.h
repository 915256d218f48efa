#pragma once
#include <optional>
#include <utility>

#include "params/ParamsModel.h"

class QWidget;

namespace orbimo {

/// Asks for the two bodies of the rotating frame (A and B, different), offering a and b.
/// Nothing when cancelled.
std::optional<std::pair<int, int>> AskRotatingPair(QWidget* parent, const ParamsModel& params,
                                                   int a, int b);

}  // namespace orbimo
