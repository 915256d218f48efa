#include "convert/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

namespace orbimo {

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

/// Checks text against the accepted number form (after the comma is the only
/// decimal mark) and writes it into `ascii` as std::from_chars reads it.
/// `leadExponent` receives the power of ten of the first significant digit, or
/// a very small value when every digit is zero; it only tells overflow from underflow.
bool ToAsciiNumber(std::u16string_view text, std::string& ascii, long& leadExponent) {
    std::size_t i = 0;
    ascii.clear();
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') ascii += '-';  // from_chars takes '-' but not '+'
        ++i;
    }
    long intDigits = 0, leadIndex = -1, mantissaDigits = 0;
    auto takeDigits = [&](long& count) {
        for (; i < text.size() && IsDigit(text[i]); ++i, ++count, ++mantissaDigits) {
            if (leadIndex < 0 && text[i] != u'0') leadIndex = mantissaDigits;
            ascii += static_cast<char>(text[i]);
        }
    };
    takeDigits(intDigits);
    long fracDigits = 0;
    if (i < text.size() && text[i] == u',') {
        ascii += '.';
        ++i;
        takeDigits(fracDigits);
    }
    if (intDigits + fracDigits == 0) return false;

    long exponent = 0;
    if (i < text.size() && (text[i] == u'E' || text[i] == u'e')) {
        ascii += 'e';
        ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
            negative = text[i] == u'-';
            ascii += static_cast<char>(text[i]);
            ++i;
        }
        const std::size_t first = i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            ascii += static_cast<char>(text[i]);
            exponent = std::min(exponent * 10 + (text[i] - u'0'), 100'000'000L);  // saturates
        }
        if (i == first) return false;
        if (negative) exponent = -exponent;
    }
    if (i != text.size()) return false;

    leadExponent = leadIndex < 0 ? -1'000'000'000L : intDigits - 1 - leadIndex + exponent;
    return true;
}

}  // namespace

std::u16string ReplaceChars(const std::u16string& text, const std::u16string& from,
                            const std::u16string& to) {
    std::u16string result;
    result.reserve(text.size());
    for (char16_t c : text) {
        const std::size_t p = from.find(c);
        if (p == std::u16string::npos) {
            result += c;
        } else if (p < to.size()) {
            result += to[p];
        }
    }
    return result;
}

std::int32_t FindFromEnd(const std::u16string& sub, const std::u16string& text, std::int16_t n) {
    if (n < 1) return 0;  // a count below 1 would otherwise only match after wrapping around
    const std::u16string_view whole = text;
    for (std::size_t i = whole.size(); i >= 1; --i) {
        // The piece is shorter than sub where it reaches the end of text.
        if (whole.substr(i - 1, sub.size()) == sub && --n == 0) {
            return static_cast<std::int32_t>(i);
        }
    }
    return 0;
}

std::optional<double> ParseNumber(const std::u16string& text) {
    if (text.empty()) return 0.0;
    const std::u16string cleaned = ReplaceChars(text, u". ", u",");
    std::string ascii;
    ascii.reserve(cleaned.size());
    long leadExponent = 0;
    if (!ToAsciiNumber(cleaned, ascii, leadExponent)) return std::nullopt;

    double value = 0;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Beyond the largest double is a failure; below the smallest the nearest double is zero.
        if (leadExponent > 0) return std::nullopt;
        return ascii.front() == '-' ? -0.0 : 0.0;
    }
    if (ec != std::errc{} || end != ascii.data() + ascii.size()) return std::nullopt;
    return value;
}

// NaN and infinities never come from a run the program makes, but must not
// crash: they are written "NaN", "Inf" and "-Inf" (plain ASCII, so that a
// system file in Windows-1251 can hold them), texts that ParseNumber rejects.
std::u16string FormatNumber(double x) {
    if (std::isnan(x)) return u"NaN";
    if (std::isinf(x)) return x < 0 ? u"-Inf" : u"Inf";
    if (x == 0) return u"0";  // also -0

    // "-d.dddddddddddddde+ddd": the value correctly rounded to 15 significant digits.
    char buf[32];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
    const std::string_view sci(buf, static_cast<std::size_t>(end - buf));
    const bool negative = sci.front() == '-';
    const std::size_t mantissaStart = negative ? 1 : 0;
    const std::size_t ePos = sci.find('e');

    char digits[15];
    int count = 0;
    for (std::size_t k = mantissaStart; k < ePos; ++k) {
        if (sci[k] != '.') digits[count++] = sci[k];
    }
    while (count > 1 && digits[count - 1] == '0') --count;

    std::size_t expStart = ePos + 1;
    if (sci[expStart] == '+') ++expStart;
    int e = 0;
    std::from_chars(sci.data() + expStart, sci.data() + sci.size(), e);

    // The one 15-digit text beyond the double range (1,79769313486232E+308, for the
    // values next to the largest double) is written one unit lower, so that it reads back.
    if (std::string_view(digits, 15) == "179769313486232" && e == 308) digits[14] = '1';

    std::u16string out;
    out.reserve(24);
    if (negative) out += u'-';
    auto appendDigits = [&](int from, int to) {
        for (int k = from; k < to; ++k) out += static_cast<char16_t>(digits[k]);
    };
    if (e >= 0 && e <= 14) {
        for (int k = 0; k <= e; ++k) out += k < count ? static_cast<char16_t>(digits[k]) : u'0';
        if (count > e + 1) {
            out += u',';
            appendDigits(e + 1, count);
        }
    } else if (e < 0 && e >= -4) {
        out += u"0,";
        out.append(static_cast<std::size_t>(-e - 1), u'0');
        appendDigits(0, count);
    } else {
        out += static_cast<char16_t>(digits[0]);
        if (count > 1) {
            out += u',';
            appendDigits(1, count);
        }
        out += e < 0 ? u"E-" : u"E+";
        const int magnitude = e < 0 ? -e : e;
        if (magnitude < 10) out += u'0';
        char expText[8];
        const auto expEnd = std::to_chars(expText, expText + sizeof expText, magnitude).ptr;
        for (const char* p = expText; p != expEnd; ++p) out += static_cast<char16_t>(*p);
    }
    return out;
}

std::u16string GroupedInteger(long long v) {
    const std::string digits = std::to_string(v < 0 ? -static_cast<unsigned long long>(v)
                                                    : static_cast<unsigned long long>(v));
    std::u16string out;
    if (v < 0) out.push_back(u'-');
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out.push_back(u' ');
        out.push_back(static_cast<char16_t>(digits[static_cast<std::size_t>(i)]));
    }
    return out;
}

std::u16string ShortNumber(double v, int significant) {
    if (!std::isfinite(v)) return u"—";
    if (v == 0) return u"0";
    char buf[64];
    const double a = std::fabs(v);
    std::to_chars_result res;
    if (a >= 1e-3 && a < 1e7) {
        const int before =
            static_cast<int>(std::floor(std::log10(a))) + 1;  // digits before the point
        const int decimals = std::max(0, significant - before);
        res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    } else {
        res =
            std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, significant - 1);
    }
    std::u16string out;
    for (const char* p = buf; p != res.ptr; ++p) {
        if (*p == '.') {
            out.push_back(u',');
        } else if (*p == 'e') {
            out.push_back(u'E');
        } else {
            out.push_back(static_cast<char16_t>(*p));
        }
    }
    return out;
}

}  // namespace orbimo
