#include <gtest/gtest.h>

#include <string>

#include "files/Cp1251.h"

namespace orbimo {
namespace {

struct Cp1251Case {
    std::u16string text;
    std::string bytes;
};

class Cp1251Both : public ::testing::TestWithParam<Cp1251Case> {};

TEST_P(Cp1251Both, WritesAndReadsBack) {
    EXPECT_EQ(ToCp1251(GetParam().text), GetParam().bytes);
    EXPECT_EQ(FromCp1251(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Known, Cp1251Both,
    ::testing::Values(Cp1251Case{u"", ""}, Cp1251Case{u"Sun 1,5 \"x\"", "Sun 1,5 \"x\""},
                      Cp1251Case{u"Тело 1", "\xD2\xE5\xEB\xEE\x20\x31"},
                      Cp1251Case{u"АЯая", "\xC0\xDF\xE0\xFF"}, Cp1251Case{u"Ёё№", "\xA8\xB8\xB9"},
                      Cp1251Case{u"€‚„…—™", "\x88\x82\x84\x85\x97\x99"},
                      Cp1251Case{u"ЂђЎўЈҐґІіЇїЄє",
                                 "\x80\x90\xA1\xA2\xA3\xA5\xB4\xB2\xB3\xAF\xBF\xAA\xBA"},
                      Cp1251Case{u"\u00A0«»°±", "\xA0\xAB\xBB\xB0\xB1"},
                      Cp1251Case{u"\x0098", "\x98"}, Cp1251Case{u"\r\n\t", "\r\n\t"}));

struct Unmappable {
    std::u16string text;
    std::string bytes;
};

class Cp1251Lacks : public ::testing::TestWithParam<Unmappable> {};

TEST_P(Cp1251Lacks, WritesQuestionMarkPerCharacter) {
    EXPECT_EQ(ToCp1251(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Lacking, Cp1251Lacks,
                         ::testing::Values(Unmappable{u"中", "?"}, Unmappable{u"a中b", "a?b"},
                                           Unmappable{u"é", "?"},
                                           Unmappable{u"\U0001F600", "?"},  // one, not two
                                           Unmappable{u"x\xD800y", "x?y"},  // lone surrogate
                                           Unmappable{u"\xDC00", "?"}));

TEST(Cp1251, EveryByteReadsBackAsItWasWritten) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::u16string text = FromCp1251(all);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(ToCp1251(text), all);
}

TEST(Cp1251, UpperHalfHoldsNoAsciiAndNoDuplicates) {
    std::u16string seen;
    for (int b = 0x80; b < 0x100; ++b) {
        const char16_t c = FromCp1251(std::string(1, static_cast<char>(b)))[0];
        EXPECT_GE(c, 0x80) << "byte " << b;
        EXPECT_EQ(seen.find(c), std::u16string::npos) << "byte " << b;
        seen.push_back(c);
    }
}

TEST(Cp1251, CyrillicLettersAreOneBlockFromC0) {
    for (int i = 0; i < 64; ++i) {
        const std::u16string letter(1, static_cast<char16_t>(0x0410 + i));
        EXPECT_EQ(ToCp1251(letter), std::string(1, static_cast<char>(0xC0 + i)));
    }
}

}  // namespace
}  // namespace orbimo
