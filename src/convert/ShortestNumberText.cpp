#include "convert/ShortestNumberText.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

#include "convert/NumberText.h"

namespace orbimo {
namespace {

/// "d,dddE±xx" from to_chars' "d.ddde±xx", trailing zeros of the mantissa dropped.
std::u16string ExponentForm(std::string_view sci) {
    const std::size_t e = sci.find('e');
    std::string_view mantissa = sci.substr(0, e);
    while (mantissa.back() == '0') mantissa.remove_suffix(1);
    if (mantissa.back() == '.') mantissa.remove_suffix(1);
    std::u16string out;
    for (char c : mantissa) out += c == '.' ? u',' : static_cast<char16_t>(c);
    out += u'E';
    out += static_cast<char16_t>(sci[e + 1]);  // to_chars always writes the sign
    std::string_view power = sci.substr(e + 2);
    while (power.size() > 2 && power.front() == '0') power.remove_prefix(1);
    for (char c : power) out += static_cast<char16_t>(c);
    return out;
}

}  // namespace

// Fewest significant digits, then the shorter of FormatNumber's text and the exponent form:
// 1,496E+11 rather than 149600000000.
std::u16string ShortestNumberText(double value, double tolerance) {
    if (!std::isfinite(value) || !(tolerance >= 0)) return FormatNumber(value);
    if (std::fabs(value) <= tolerance) return u"0";
    // The value rounded to n significant digits is the n-digit number nearest to it: when that
    // one is too far, every n-digit number is.
    for (int digits = 1; digits <= 15; ++digits) {
        char buf[40];
        const auto written =
            std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
        double rounded = 0;
        const auto read = std::from_chars(buf, written.ptr, rounded);
        if (read.ec != std::errc{} || !std::isfinite(rounded)) continue;  // rounded past DBL_MAX
        if (!(std::fabs(rounded - value) <= tolerance)) continue;
        // Both write these digits exactly: there are at most 15 of them.
        std::u16string general = FormatNumber(rounded);
        std::u16string exponent = ExponentForm(std::string_view(buf, written.ptr - buf));
        return exponent.size() < general.size() ? exponent : general;
    }
    return FormatNumber(value);
}

}  // namespace orbimo
