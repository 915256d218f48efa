#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace orbimo {

/// Each character of text found in `from` is replaced by the character at the
/// same position in `to`, or dropped when `to` is shorter.
std::u16string ReplaceChars(const std::u16string& text, const std::u16string& from,
                            const std::u16string& to);

/// 1-based position of the n-th occurrence of sub counted from the end of text; 0 if none.
std::int32_t FindFromEnd(const std::u16string& sub, const std::u16string& text, std::int16_t n);

/// The value of a typed number: empty text is 0, spaces are dropped, a point is
/// a decimal comma. Nothing when the text is not a number or is beyond the double range.
std::optional<double> ParseNumber(const std::u16string& text);

/// A double as the program shows it: at most 15 significant digits, decimal
/// comma, exponent form (5,976E+24) outside 1E-04 .. 1E+15; "NaN", "Inf", "-Inf".
std::u16string FormatNumber(double x);

/// A whole number with its digits grouped in threes by spaces ("1 234 567").
std::u16string GroupedInteger(long long v);
/// A number to a few significant digits with a decimal comma: "0,0123", "2,31E-06", "—" for
/// what is not finite.
std::u16string ShortNumber(double v, int significant = 3);

}  // namespace orbimo
