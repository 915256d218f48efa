#pragma once
#include <string>

namespace orbimo {

/// The shortest number text that ParseNumber reads back within `tolerance` of `value`: the
/// fewest significant digits (at most 15; the nearest of those), with a decimal comma, written
/// as FormatNumber writes it or in its exponent form (1,496E+11), whichever is shorter. "0" when
/// zero lies within the tolerance. When no text of 15 digits or fewer comes that close (a
/// tolerance below the value's own precision, or not a number), FormatNumber(value).
std::u16string ShortestNumberText(double value, double tolerance);

}  // namespace orbimo
