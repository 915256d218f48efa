// NormalizeNumber: the normal form of a number field's text.
#include <charconv>
#include <optional>
#include <string>
#include <system_error>

#include "convert/NumberText.h"
#include "params/ParamsModel.h"

namespace orbimo {
namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool IsSkipped(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

/// The leading-number value (not ParseNumber's reading): blanks,
/// tabs and line feeds skipped anywhere, sign, digits with at most one point,
/// exponent E/e/D/d; stops at the first character that does not fit. 0 when no
/// digit was read; nothing when the number lies beyond the range of a double.
std::optional<double> LeadingNumber(const std::u16string& s) {
    std::string number;  // ASCII, in the form std::from_chars reads
    bool anyDigit = false, nonZeroDigit = false, point = false;
    std::size_t i = 0;
    auto next = [&]() -> char16_t {
        while (i < s.size() && IsSkipped(s[i])) ++i;
        return i < s.size() ? s[i] : char16_t{0};
    };

    char16_t c = next();
    if (c == u'+' || c == u'-') {
        if (c == u'-') number += '-';  // from_chars takes no '+'
        ++i;
        c = next();
    }
    for (;; ++i, c = next()) {
        if (IsDigit(c)) {
            anyDigit = true;
            nonZeroDigit = nonZeroDigit || c != u'0';
            number += static_cast<char>(c);
        } else if (c == u'.' && !point) {
            point = true;
            number += '.';
        } else {
            break;
        }
    }
    if (!anyDigit || !nonZeroDigit) return 0.0;  // whatever the exponent says

    if (c == u'E' || c == u'e' || c == u'D' || c == u'd') {
        std::string exponent = "e";
        ++i;
        c = next();
        if (c == u'+' || c == u'-') {
            exponent += static_cast<char>(c);
            ++i;
            c = next();
        }
        bool expDigit = false;
        for (; IsDigit(c); ++i, c = next()) {
            expDigit = true;
            exponent += static_cast<char>(c);
        }
        if (expDigit) number += exponent;  // "5E" or "5E+" reads as 5
    }

    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec != std::errc{} || end != number.data() + number.size()) return std::nullopt;
    return value;
}

}  // namespace

// A leading number beyond the double range (1E400, 1E-400) has no value; it is
// not zero either, so the text is kept for the user to correct and the run start
// reports it.
std::u16string ParamsModel::NormalizeNumber(const std::u16string& text) {
    std::u16string s = ReplaceChars(text, u",", u".");
    const std::optional<double> value = LeadingNumber(s);
    if (value && *value == 0) s = u"0";
    return ReplaceChars(s, u".", u",");
}

}  // namespace orbimo
