#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>

#include "convert/NumberText.h"
#include "convert/ShortestNumberText.h"

namespace orbimo {
namespace {

// The significant digits of a text in the program's form, leading and trailing zeros dropped.
int SignificantDigits(const std::u16string& text) {
    std::string digits;
    for (char16_t c : text.substr(0, text.find(u'E')))
        if (c >= u'0' && c <= u'9') digits += static_cast<char>(c);
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    return static_cast<int>(digits.find_last_not_of('0') - first + 1);
}

// The two k-digit numbers either side of v, built from v's shortest exact digits as decimal
// text (cut, and cut plus one unit in the last place), read back by ParseNumber.
std::pair<double, double> Neighbours(double v, int k) {
    char buf[40];
    const auto end =
        std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific).ptr;
    const std::string sci(buf, end);
    std::string mantissa = sci.substr(0, sci.find('e'));
    mantissa.erase(std::remove(mantissa.begin(), mantissa.end(), '.'), mantissa.end());
    mantissa.resize(static_cast<std::size_t>(k), '0');
    const int exponent = std::stoi(sci.substr(sci.find('e') + 1)) - (k - 1);
    auto read = [&](long long m) {
        const std::string t =
            (v < 0 ? "-" : "") + std::to_string(m) + "E" + std::to_string(exponent);
        return *ParseNumber(std::u16string(t.begin(), t.end()));
    };
    return {read(std::stoll(mantissa)), read(std::stoll(mantissa) + 1)};
}

TEST(ShortestNumberText, WritesWhatADragNeedsAndNoMore) {
    const std::tuple<double, double, std::u16string> cases[] = {
        {149597870691.23, 0.35 * 15 * 5e7, u"1,496E+11"},  // half a pixel at 50 000 000 m a twip
        {-149597870691.23, 0.35 * 15 * 1e3, u"-149597870000"},
        {1e14 + 3, 4, u"1E+14"},
        {0.000123, 1e-7, u"0,000123"},  // as long as 1,23E-04: the general form
        {123.456, 0.01, u"123,46"},
        {0.4, 0.5, u"0"},
        {-2.5e-7, 1e-9, u"-2,5E-07"},
        {1.0 / 3, 0, u"0,333333333333333"},  // nothing of 15 digits is exact: the nearest
    };
    for (const auto& [value, tolerance, text] : cases)
        EXPECT_EQ(ShortestNumberText(value, tolerance), text) << value;
}

// Half a pixel at scales from a millimetre to 1E+16 m a twip, values from far below a pixel to
// far beyond the window: read back within the tolerance, and nothing with fewer digits is.
TEST(ShortestNumberText, ReadsBackWithinTheToleranceAndNoFewerDigitsDo) {
    for (double zoom : {1e-3, 1.0, 5e7, 1e16})
        for (double mantissa : {1.23456789012345, 9.99999, 5.0000001, 3.14159265358979})
            for (int power : {-5, 0, 11, 14, 15, 20, 300})
                for (double sign : {1.0, -1.0}) {
                    const double v = sign * mantissa * std::pow(10.0, power);
                    const double tolerance = 0.35 * 15 * zoom;
                    const std::u16string text = ShortestNumberText(v, tolerance);
                    const double back = ParseNumber(text).value();
                    const int n = SignificantDigits(text);
                    const bool within = std::fabs(back - v) <= tolerance;
                    EXPECT_TRUE(within || text == FormatNumber(v)) << v << " " << zoom;
                    EXPECT_LE(n, 15);
                    EXPECT_LE(text.size(), FormatNumber(back).size());
                    if (n == 0) continue;
                    EXPECT_GT(std::fabs(v), tolerance) << v;  // "0" would have done
                    if (n == 1 || !within) continue;
                    const auto [below, above] = Neighbours(v, n - 1);
                    EXPECT_GT(std::fabs(below - v), tolerance) << v << " " << zoom;
                    EXPECT_GT(std::fabs(above - v), tolerance) << v << " " << zoom;
                }
}

}  // namespace
}  // namespace orbimo
