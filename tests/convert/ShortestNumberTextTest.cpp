#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>

#include "convert/NumberText.h"
#include "convert/ShortestNumberText.h"

namespace orbimo {
namespace {

int SignificantDigits(const std::u16string& text) {
    std::string d;
    for (char16_t c : text.substr(0, text.find(u'E')))
        if (c >= u'0' && c <= u'9') d += static_cast<char>(c);
    const auto first = d.find_first_not_of('0');
    return first == std::string::npos ? 0 : static_cast<int>(d.find_last_not_of('0') - first + 1);
}

// The k-digit numbers either side of v: v's shortest exact digits cut to k, and one unit more.
std::pair<double, double> Neighbours(double v, int k) {
    char buf[40];
    const std::string sci(
        buf, std::to_chars(buf, buf + 40, std::fabs(v), std::chars_format::scientific).ptr);
    std::string digits = sci.substr(0, 1) + sci.substr(2, sci.find('e') - 2);
    digits.resize(static_cast<std::size_t>(k), '0');
    const std::string exponent =
        "E" + std::to_string(std::stoi(sci.substr(sci.find('e') + 1)) - k + 1);
    auto read = [&](long long m) {
        const std::string t = (v < 0 ? "-" : "") + std::to_string(m) + exponent;
        return *ParseNumber(std::u16string(t.begin(), t.end()));
    };
    return {read(std::stoll(digits)), read(std::stoll(digits) + 1)};
}

TEST(ShortestNumberText, WritesWhatADragNeedsAndNoMore) {
    const std::tuple<double, double, std::u16string> cases[] = {
        {149597870691.23, 0.35 * 15 * 5e7, u"1,496E+11"},  // 0,35 pixel at 50 000 000 m a twip
        {-149597870691.23, 0.35 * 15 * 1e3, u"-149597870000"},
        {1e14, 0, u"1E+14"},
        {0.000123, 1e-7, u"0,000123"},  // as long as 1,23E-04: the general form
        {123456, 30000, u"1E+05"},
        {0.5, 0.5, u"0"},
        {1.0 / 3, 0, u"0,333333333333333"}};  // none exact: the nearest
    for (const auto& [value, tolerance, text] : cases)
        EXPECT_EQ(ShortestNumberText(value, tolerance), text) << value;
}

// Scales from a millimetre to 1E+16 m a twip, values from below a pixel to far off the window.
TEST(ShortestNumberText, ReadsBackWithinTheToleranceAndNoFewerDigitsDo) {
    for (double zoom : {1e-3, 1.0, 5e7, 1e16})
        for (double mantissa : {1.23456789012345, 9.99999, -5.0000001, -3.14159265358979})
            for (int power : {-5, 0, 11, 14, 15, 20, 300}) {
                const double v = mantissa * std::pow(10.0, power), tolerance = 0.35 * 15 * zoom;
                const std::u16string text = ShortestNumberText(v, tolerance);
                const double back = ParseNumber(text).value();
                const int n = SignificantDigits(text);
                const bool within = std::fabs(back - v) <= tolerance;
                EXPECT_TRUE(within || text == FormatNumber(v)) << v << " " << zoom;
                EXPECT_TRUE(n <= 15 && text.size() <= FormatNumber(back).size()) << v;
                EXPECT_EQ(n == 0, std::fabs(v) <= tolerance) << v;
                if (n <= 1 || !within) continue;
                const auto [below, above] = Neighbours(v, n - 1);
                EXPECT_GT(std::min(std::fabs(below - v), std::fabs(above - v)), tolerance) << v;
            }
}

}  // namespace
}  // namespace orbimo
