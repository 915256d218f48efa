#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "params/ParamsModel.h"

namespace orbimo {
namespace {

// Edge cases of the normal form, the number-field cases, and the choices made here:
// blanks, tabs and line feeds are skipped anywhere (a carriage return is not), D is
// an exponent too, and a leading number beyond the double range keeps its text.
TEST(NormaChisla, TextsWhoseLeadingNumberIsZeroBecomeZero) {
    for (const char16_t* text :
         {u"", u"   ", u"abc", u"x5", u"-0", u"0,000", u"0.000", u"0.0e5", u".0", u"0x5",
          u" \t-\n0 0", u"0 D 7", u"+-5", u".", u"0E+", u"\r5", u"0E99999999999999999999"})
        EXPECT_EQ(ParamsModel::НормаЧисла(text), u"0");
}

TEST(NormaChisla, OtherTextsKeepEveryCharacterButTheDecimalMark) {
    for (const char16_t* text : {u"1,5", u"12abc", u"5x", u"+7", u"00012", u"5,976E+24", u"1,2,3",
                                 u"1d-3", u"5E", u"1E400", u"1e-400", u"-1,5D999"})
        EXPECT_EQ(ParamsModel::НормаЧисла(text), text);
    const std::pair<std::u16string, std::u16string> changed[] = {
        {u"1.5", u"1,5"},           {u".5", u",5"},          {u"-.5", u"-,5"},
        {u"1 000.25", u"1 000,25"}, {u"1.2.3", u"1,2,3"},    {u"1.5e11", u"1,5e11"},
        {u"- 0.5", u"- 0,5"},       {u"1.000,5", u"1,000,5"}};
    for (const auto& [before, after] : changed) EXPECT_EQ(ParamsModel::НормаЧисла(before), after);
}

}  // namespace
}  // namespace orbimo
