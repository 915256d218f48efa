#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "convert/NumberText.h"

namespace orbimo {
namespace {

TEST(FormatNumber, WritesFifteenDigitsACommaAndAnExponentOutside1EMinus4To1E15) {
    // clang-format off
    const std::pair<double, std::u16string> cases[] = {
        {3600, u"3600"}, {0.5, u"0,5"}, {-29790, u"-29790"}, {1.0 / 3, u"0,333333333333333"},
        {5.976e24, u"5,976E+24"}, {6.6725e-11, u"6,6725E-11"}, {1e14, u"100000000000000"}, {1e15, u"1E+15"},
        {0.0001, u"0,0001"}, {0.00001, u"1E-05"}, {-0.0, u"0"}, {999999999999999.9, u"1E+15"},
        {0.00009999999999999999, u"0,0001"}, {0.1 + 0.2, u"0,3"},
        {5e-324, u"4,94065645841247E-324"}, {DBL_MAX, u"1,79769313486231E+308"},
        {std::nan(""), u"NaN"}, {-HUGE_VAL, u"-Inf"}};
    // clang-format on
    for (const auto& [x, text] : cases) EXPECT_EQ(FormatNumber(x), text) << x;
}

TEST(ParseNumber, ReadsTypedNumbersAndRefusesTheRest) {
    const std::optional<double> no;
    // clang-format off
    const std::pair<std::u16string, std::optional<double>> cases[] = {
        {u"", 0}, {u" 1 500 000 000", 1500000000}, {u"1.5", 1.5}, {u",5", 0.5}, {u"5,", 5},
        {u"-2.5E3", -2500}, {u"+7", 7}, {u"1e-3", 1e-3}, {u" - 1 , 5 e - 3 ", -1.5e-3},
        {u"1,7976931348623157E308", DBL_MAX}, {u"4,9E-324", 4.9e-324}, {u"1E-400", 0},
        {u"0e99999999999999999999", 0}, {u"0,1000000000000000000000000000001", 0.1},
        {u"   ", no}, {u"abc", no}, {u"12a", no}, {u"+", no}, {u"-", no}, {u",", no},
        {u"1,2,3", no}, {u"1.000,5", no}, {u"1E", no}, {u"1E+", no}, {u"E5", no}, {u"1e5e5", no},
        {u"0x1A", no}, {u"inf", no}, {u"nan", no}, {u"1-2", no}, {u"++1", no}, {u"−5", no},
        {u"1\t", no}, {u"1E400", no}, {u"-1,8E308", no}, {u"1" + std::u16string(400, u'0'), no},
        {u"1e99999999999999999999", no}};
    // clang-format on
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseNumber(text), value) << ::testing::PrintToString(text);
}

}  // namespace
}  // namespace orbimo
