// ParseNumber and general number text. The input is read twice: its first eight
// bytes as a double that is written and read back, and all of it as typed text,
// whose value is compared with the C library's strtod.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "convert/NumberText.h"

namespace {

using namespace orbimo;

/// x rounded to 15 significant digits by the C library (not by the code under test);
/// the one such value beyond the double range is written one unit lower.
double Rounded15(double x) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.14e", x);
    const double r = std::strtod(buf, nullptr);
    return std::isinf(r) ? std::copysign(1.79769313486231e308, x) : r;
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

/// General number text: sign only when negative, at most 15 significant digits, no
/// trailing zeros after the comma, plain form exactly for exponents -4..14.
void CheckGeneralForm(const std::u16string& t, double x) {
    std::size_t i = 0;
    const bool negative = !t.empty() && t[0] == u'-';
    if (negative) ++i;
    FUZZ_REQUIRE(negative == (x < 0 && t != u"0"), t);
    const std::size_t intStart = i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    const std::u16string whole = t.substr(intStart, i - intStart);
    std::u16string frac;
    if (i < t.size() && t[i] == u',') {
        const std::size_t fracStart = ++i;
        while (i < t.size() && IsDigit(t[i])) ++i;
        frac = t.substr(fracStart, i - fracStart);
        FUZZ_REQUIRE(!frac.empty() && frac.back() != u'0', t);
    }
    FUZZ_REQUIRE(!whole.empty(), t);
    if (i < t.size()) {
        FUZZ_REQUIRE(t[i] == u'E' && i + 1 < t.size() && (t[i + 1] == u'+' || t[i + 1] == u'-'), t);
        const std::u16string digits = t.substr(i + 2);
        FUZZ_REQUIRE(digits.size() >= 2 && digits.size() <= 3, t);
        int e = 0;
        for (char16_t c : digits) {
            FUZZ_REQUIRE(IsDigit(c), t);
            e = e * 10 + (c - u'0');
        }
        if (t[i + 1] == u'-') e = -e;
        FUZZ_REQUIRE(e < -4 || e > 14, t);
        FUZZ_REQUIRE(whole.size() == 1 && whole != u"0", t);
        FUZZ_REQUIRE(1 + frac.size() <= 15, t);
        return;
    }
    if (whole != u"0") {
        FUZZ_REQUIRE(whole[0] != u'0' && whole.size() <= 15, t);
        std::u16string significant = whole + frac;
        while (significant.back() == u'0') significant.pop_back();
        FUZZ_REQUIRE(significant.size() <= 15, t);
    } else if (t != u"0") {
        const std::size_t zeros = frac.find_first_not_of(u'0');
        FUZZ_REQUIRE(zeros != std::u16string::npos && zeros <= 3, t);
        FUZZ_REQUIRE(frac.size() - zeros <= 15, t);
    }
}

/// Written as general number text and read back: the value rounded to 15 digits.
void CheckRoundTrip(double x) {
    const std::u16string t = FormatNumber(x);
    const std::optional<double> back = ParseNumber(t);
    if (!std::isfinite(x)) {
        FUZZ_REQUIRE(!back, t);
        return;
    }
    CheckGeneralForm(t, x);
    FUZZ_REQUIRE(back.has_value(), t);
    FUZZ_REQUIRE(*back == Rounded15(x), t, FormatNumber(*back));
}

/// The typed text against strtod: after dropping spaces and taking the point as a comma,
/// a text of sign, digits, one comma and exponent is a number exactly when strtod reads
/// all of it to a finite value, and then the values agree to the bit.
void CheckTyped(const std::u16string& text, const std::optional<double>& v) {
    if (text.empty()) {
        FUZZ_REQUIRE(v && *v == 0 && !std::signbit(*v), text);
        return;
    }
    std::string ascii;
    for (char16_t c : text) {
        if (c == u' ') continue;
        if (c == u'.' || c == u',') {
            ascii += '.';
        } else if (IsDigit(c) || c == u'+' || c == u'-' || c == u'e' || c == u'E') {
            ascii += static_cast<char>(c);
        } else {
            FUZZ_REQUIRE(!v, text);  // any other character: not a number
            return;
        }
    }
    if (ascii.empty()) {
        FUZZ_REQUIRE(!v, text);  // spaces only
        return;
    }
    char* end = nullptr;
    const double r = std::strtod(ascii.c_str(), &end);
    const bool readAll = end == ascii.c_str() + ascii.size();
    if (!readAll || std::isinf(r)) {
        FUZZ_REQUIRE(!v, text);
        return;
    }
    FUZZ_REQUIRE(v.has_value(), text);
    FUZZ_REQUIRE(*v == r && std::signbit(*v) == std::signbit(r), text, FormatNumber(r));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= sizeof(double)) {
        double x;
        std::memcpy(&x, data, sizeof x);
        CheckRoundTrip(x);
    }
    const std::u16string text = fuzz::TextOf(data, size);
    const std::optional<double> v = ParseNumber(text);
    CheckTyped(text, v);
    if (v) CheckRoundTrip(*v);
    return 0;
}
