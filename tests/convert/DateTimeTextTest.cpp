#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "convert/DateTimeText.h"
#include "fakes/FakeToolkit.h"

namespace orbimo {
namespace {

constexpr double kDay = 86400;
constexpr double kEndOf9999 = 255611289600.0;  // 01.01.10000 00:00:00 in simulated seconds
using Messages = std::vector<std::u16string>;

std::pair<double, Messages> Read(const std::u16string& text) {
    testing::FakeToolkit toolkit;
    const double t = ParseDate(text, toolkit);
    return {t, toolkit.messages};
}

TEST(FormatDate, WritesTheDateAndCutsTheFractionAfterSevenDigits) {
    // clang-format off
    const std::pair<double, std::u16string> cases[] = {
        {0, u"01.01.1900"}, {3600, u"01.01.1900 1:00:00"}, {3600.5, u"01.01.1900 1:00:00,5"},
        {0.25, u"01.01.1900,25"}, {3600.1, u"01.01.1900 1:00:00,0999999"},
        {0.123456789, u"01.01.1900,1234567"}, {31536000, u"01.01.1901"},
        {1e9, u"10.09.1931 1:46:40"}, {-1, u"31.12.1899 23:59:59"},
        {kDay * 58, u"28.02.1900"}, {kDay * 59, u"01.03.1900"},  // 1900 is no leap year
        {0.5 + std::ldexp(1.0, -26), u"01.01.1900,5000000"}, {-59926608000.0, u"01.01.0001"},
        {kEndOf9999 - 1, u"31.12.9999 23:59:59"}, {kEndOf9999, u"255611289600 с"},
        {1e20, u"1E+20 с"}, {std::nan(""), u"NaN с"}};
    // clang-format on
    for (const auto& [t, text] : cases) EXPECT_EQ(FormatDate(t), text) << t;
}

// Not a date: 0 and "Неверная дата! " + the text (before a fraction that is a number).
TEST(ParseDate, ReadsDatesAndReportsWhatIsNotADate) {
    // clang-format off
    const std::pair<std::u16string, double> accepted[] = {
        {u"", 0}, {u" 0 ", 0}, {u"01/01/1900", 0}, {u"01-01-1900", 0}, {u"30.12.1899", 0},
        {u"01.01.1900 1:00:00,5", 3600.5}, {u"01.01.2000 12:00:00,5", 3155716800.5},
        {u"31.12.1899", -kDay}, {u"  1.3.1900  ", 59 * kDay}, {u"01.01.1900  1:00", 3600},
        {u"29.02.2000", 3160771200}, {u"01.01.1900 1:00:00, 5 ", 3600.5},
        {u"31.12.9999 23:59:59", kEndOf9999 - 1}};
    const std::u16string rejected[] = {
        u"abc", u"29.02.1900", u"31.04.2000", u"01.01.00", u"01.13.2000", u"00.01.2000",
        u"01.01.0000", u"01.01.2000 24:00", u"1.1.2000 1:60", u"1.1.2000 1:00:60", u"1.1.20001:00",
        u"1.1.2000 1", u"01.01/2000", u"1.1.2000 1:00:00.5", u"1.1.2000 1:00,x", u"255611289600 с",
        u"01.01.2000,5E30", u"01.01.0001,-5"};
    // clang-format on
    for (const auto& [text, t] : accepted) EXPECT_EQ(Read(text), std::make_pair(t, Messages{}));
    for (const auto& text : rejected)
        EXPECT_EQ(Read(text), std::make_pair(0.0, Messages{u"Неверная дата! " + text}));
    EXPECT_EQ(Read(u",5"), std::make_pair(0.0, Messages{u"Неверная дата! "}));
    // Not a date before the fraction, though it would carry the year 0 into the year 1.
    for (const auto& [text, shown] : {std::pair{u"1.1.2000 1:00,5,5", u"1.1.2000 1:00,5"},
                                      {u"31.12.0000 23:59:59,5E1", u"31.12.0000 23:59:59"}})
        EXPECT_EQ(Read(text),
                  std::make_pair(0.0, Messages{u"Неверная дата! " + std::u16string(shown)}));
}

// What FormatDate writes reads back as the same text: the earliest moment written so,
// the whole seconds and the fraction cut to 7 digits, give or take a step of the double.
TEST(ParseDate, ReadsBackWhatFormatDateWrites) {
    std::mt19937_64 random(19000101);
    std::uniform_int_distribution<std::int64_t> seconds(-59926608000, 255611289599);
    std::uniform_int_distribution<int> fraction(0, 99999999);
    testing::FakeToolkit toolkit;
    for (int i = 0; i < 400; ++i) {
        const auto w = static_cast<double>(i < 200 ? seconds(random) : seconds(random) / 4096);
        EXPECT_EQ(ParseDate(FormatDate(w), toolkit), w) << w;
        const double t = w + fraction(random) / 1e8;
        if (t >= -2 * kDay && t < -kDay) continue;  // 30.12.1899 reads as 0
        const std::u16string text = FormatDate(t);
        const double back = ParseDate(text, toolkit);
        EXPECT_EQ(FormatDate(back), text) << t;
        EXPECT_NE(FormatDate(std::nextafter(back, -kEndOf9999)), text) << t;
        const double cut = std::floor(std::floor((t - std::floor(t)) * 1e8) / 10) / 1e7;
        EXPECT_NEAR(back, std::floor(t) + cut, 1.1e-8 + 2 * std::abs(t) * 0x1p-52) << t;
    }
    // Found by fuzzing: texts whose nearest double reads back one unit lower, and seven-digit
    // fractions ending in 0, which the program writes only for a cut eighth digit above 0.
    for (const char16_t* text : {u"31.12.1899 23:59:57,9959868", u"31.12.1899 23:59:58,0585920",
                                 u"01.01.1900,0000010", u"15.06.2150 3:04:05,5"})
        EXPECT_EQ(FormatDate(ParseDate(text, toolkit)), text);
    EXPECT_TRUE(toolkit.messages.empty());
}

}  // namespace
}  // namespace orbimo
