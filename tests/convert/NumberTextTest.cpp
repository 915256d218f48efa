#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <regex>

#include "convert/NumberText.h"

namespace orbimo {
namespace {

TEST(ЗаменитьСимволы, TranslatesDropsAndKeeps) {
    struct Case {
        std::u16string text, from, to, expected;
    };
    // clang-format off
    const Case cases[] = {
        {u"1 234.5", u". ", u",", u"1234,5"}, {u"1,5", u",", u".", u"1.5"},
        {u"1 ,5", u",", u".", u"1 .5"}, {u"", u"a", u"b", u""}, {u"abca", u"ab", u"x", u"xcx"},
        {u"aa", u"aa", u"xy", u"xx"}};
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(ЗаменитьСимволы(c.text, c.from, c.to), c.expected);
}

TEST(НайтиСКонца, CountsOccurrencesFromTheEnd) {
    EXPECT_EQ(НайтиСКонца(u",", u"01.01.2000 12:00:00,25", 1), 20);
    EXPECT_EQ(НайтиСКонца(u",", u"01.01.2000", 1), 0);
    EXPECT_EQ(НайтиСКонца(u",", u"", 1), 0);
    EXPECT_EQ(НайтиСКонца(u",", u"a,b,c", 2), 2);
    EXPECT_EQ(НайтиСКонца(u",", u"a,b,c", 3), 0);
    EXPECT_EQ(НайтиСКонца(u"ab", u"abab", 1), 3);
    EXPECT_EQ(НайтиСКонца(u"ab", u"aba", 1), 1);                      // the piece at 3 is only "a"
    EXPECT_EQ(НайтиСКонца(u",", std::u16string(70000, u','), 0), 0);  // no 16-bit wrap
}

TEST(ЧислоИзТекста, ReadsTheFormsOfStep3) {
    struct Case {
        std::u16string text;
        double expected;
    };
    // clang-format off
    const Case cases[] = {
        {u"", 0}, {u"1 500 000", 1500000}, {u"1500000", 1500000}, {u"1500000,0", 1500000},
        {u"1.5", 1.5}, {u"1,5", 1.5}, {u",5", 0.5}, {u"5,", 5}, {u"-2.5E3", -2500}, {u"+7", 7},
        {u"1e-3", 1e-3}, {u"1E+3", 1000}, {u" - 1 , 5 e - 3 ", -1.5e-3}, {u"        50 000", 50000},
        {u" 1 500 000 000", 1500000000}, {u"1,7976931348623157E308", DBL_MAX},
        {u"4,9E-324", 4.9e-324}, {u"1E-400", 0}, {u"0e99999999999999999999", 0},
        {u"0,1000000000000000000000000000001", 0.1}};
    // clang-format on
    for (const Case& c : cases) {
        const std::optional<double> v = ЧислоИзТекста(c.text);
        ASSERT_TRUE(v.has_value()) << ::testing::PrintToString(c.text);
        EXPECT_EQ(*v, c.expected) << ::testing::PrintToString(c.text);
    }
    EXPECT_TRUE(std::signbit(ЧислоИзТекста(u"-1E-400").value()));
}

TEST(ЧислоИзТекста, FailsForWhatIsNotANumber) {
    // clang-format off
    const std::u16string cases[] = {
        u"   ", u"abc", u"1.000,5", u"+", u"-", u",", u"1E", u"1E+", u"E5", u"1e5e5", u"0x1A",
        u"inf", u"nan", u"1E400", u"-1E400", u"1,8E308", u"1" + std::u16string(400, u'0'), u"12a",
        u"1-2", u"−5", u"١", u"1\t", u"++1", u"1,2,3", u"1e99999999999999999999"};
    // clang-format on
    for (const std::u16string& text : cases) {
        EXPECT_FALSE(ЧислоИзТекста(text).has_value()) << ::testing::PrintToString(text);
    }
}

TEST(ТекстЧисла, WritesGeneralNumberText) {
    struct Case {
        double x;
        std::u16string expected;
    };
    // clang-format off
    const Case cases[] = {
        {3600, u"3600"}, {0.5, u"0,5"}, {-29790, u"-29790"}, {1.0 / 3, u"0,333333333333333"},
        {5.976e24, u"5,976E+24"}, {6.6725e-11, u"6,6725E-11"}, {1e15, u"1E+15"},
        {0.0001, u"0,0001"}, {0.00001, u"1E-05"}, {0, u"0"}, {-0.0, u"0"},
        {999999999999999, u"999999999999999"}, {999999999999999.9, u"1E+15"},
        {1e14, u"100000000000000"}, {0.00009999999999999999, u"0,0001"}, {0.1 + 0.2, u"0,3"},
        {-1.5e-300, u"-1,5E-300"}, {1e100, u"1E+100"}, {5e-324, u"4,94065645841247E-324"},
        {DBL_MAX, u"1,79769313486231E+308"}, {std::nan(""), u"NaN"},
        {std::numeric_limits<double>::infinity(), u"Inf"},
        {-std::numeric_limits<double>::infinity(), u"-Inf"}};
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(ТекстЧисла(c.x), c.expected) << c.x;
}

// Written and read back, a double comes back rounded to 15 significant digits.
TEST(ТекстЧисла, ReadsBackRoundedTo15Digits) {
    const std::regex form(R"(-?(\d+(,\d*[1-9])?|\d(,\d*[1-9])?E[+-]\d\d+))");
    std::mt19937_64 random(20240601);
    std::uniform_real_distribution<double> mantissa(1, 10);
    std::uniform_int_distribution<int> power(-323, 307);
    for (int i = 0; i < 600; ++i) {
        double x = mantissa(random) * std::pow(10.0, power(random) / (i % 3 == 0 ? 20 : 1));
        if (i % 2) x = -x;
        const std::u16string text = ТекстЧисла(x);
        const std::string ascii(text.begin(), text.end());
        EXPECT_TRUE(std::regex_match(ascii, form)) << ascii;
        char reference[40];
        std::snprintf(reference, sizeof reference, "%.14e", x);
        EXPECT_EQ(ЧислоИзТекста(text), std::strtod(reference, nullptr)) << ascii;
    }
}

}  // namespace
}  // namespace orbimo
