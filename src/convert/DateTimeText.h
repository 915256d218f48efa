#pragma once
#include <string>

#include "platform/Toolkit.h"

namespace orbimo {

/// Simulated seconds since 01.01.1900 00:00:00 as "DD.MM.YYYY H:MM:SS,fffffff".
/// Outside the years 1 to 9999 (or not finite) it writes the seconds and " с"
/// ("1E+20 с"), a text that ParseDate rejects.
std::u16string FormatDate(double t);

/// Date-time text to simulated seconds; 0 for an empty text. A text that is not
/// a date, or whose fraction moves it beyond the years 1 to 9999, is reported
/// through the toolkit ("Неверная дата! " + text) and gives 0. A text FormatDate
/// wrote gives the earliest moment it writes so: the same text comes back.
double ParseDate(const std::u16string& text, Toolkit& toolkit);

}  // namespace orbimo
