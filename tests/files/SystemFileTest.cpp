#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/Cp1251.h"
#include "files/SystemFile.h"
#include "files/TestWindow.h"

namespace orbimo {
namespace {

using testing::kTelo;

TEST(SystemFileWriter, TextItemIsQuotedUnchangedAndEndsWithCrLf) {
    SystemFileWriter w;
    w.Text(u"Тело 1");
    w.Text(u"");
    w.Text(u"  1 500 000, 5  ");
    EXPECT_EQ(w.Bytes(), std::string("\"") + kTelo + " 1\"\r\n\"\"\r\n\"  1 500 000, 5  \"\r\n");
}

TEST(SystemFileWriter, IntegerItemIsBareDigits) {
    SystemFileWriter w;
    w.Integer(0);
    w.Integer(1);
    w.Integer(11);
    w.Integer(-3);
    EXPECT_EQ(w.Bytes(), "0\r\n1\r\n11\r\n-3\r\n");
}

TEST(SystemFileWriter, DoubleQuoteBecomesApostrophe) {
    SystemFileWriter w;
    w.Text(u"\"Луна\" 2");
    EXPECT_EQ(w.Bytes(), "\"'" + ToCp1251(u"Луна") + "' 2\"\r\n");
}

TEST(SystemFileWriter, CharacterWithoutByteBecomesQuestionMark) {
    SystemFileWriter w;
    w.Text(u"星 1");
    EXPECT_EQ(w.Bytes(), "\"? 1\"\r\n");
}

struct ReaderCase {
    const char* name;
    std::string bytes;
    std::vector<std::u16string> items;  // then the reader fails
};

class Reader : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(Reader, ReadsItemsThenFailsAtTheEnd) {
    SystemFileReader reader(GetParam().bytes);
    for (std::size_t i = 0; i < GetParam().items.size(); ++i) {
        const auto item = reader.Next();
        ASSERT_TRUE(item.has_value()) << "item " << i + 1;
        EXPECT_EQ(*item, GetParam().items[i]) << "item " << i + 1;
    }
    EXPECT_FALSE(reader.Next().has_value());
    EXPECT_FALSE(reader.Next().has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Part31, Reader,
    ::testing::Values(
        ReaderCase{"CrLf", std::string("\"") + kTelo + " 1\"\r\n1\r\n", {u"Тело 1", u"1"}},
        ReaderCase{"CommasAndSpacesInsideQuotes", "\" a, b ,c \"\r\n", {u" a, b ,c "}},
        ReaderCase{"LeadingSpacesOfScaleKept", "\"    50 000 000\"\r\n", {u"    50 000 000"}},
        ReaderCase{"SpacesBeforeQuoteSkipped", "   \"x\"\r\n", {u"x"}},
        ReaderCase{"EmptyTextItems", "\"\"\r\n\"\"\r\n", {u"", u""}},
        ReaderCase{"UnquotedTrailingSpacesDropped", "  42  \r\n", {u"42"}},
        ReaderCase{"NegativeInteger", "-1\r\n", {u"-1"}},
        ReaderCase{"CommaSeparatesUnquoted", "1,2, 3\r\n", {u"1", u"2", u"3"}},
        ReaderCase{"CommaAfterQuote", "\"a,b\",\"c\"\r\n", {u"a,b", u"c"}},
        ReaderCase{"RestAfterQuoteSkipped", "\"a\" junk, \"b\"\r\n", {u"a", u"b"}},
        ReaderCase{"LfOnly", "\"a\"\n7\n\"b\"\n", {u"a", u"7", u"b"}},
        ReaderCase{"CrOnly", "\"a\"\r7\r", {u"a", u"7"}},
        ReaderCase{"EmptyLineIsEmptyItem", "\r\n5\r\n", {u"", u"5"}},
        ReaderCase{"CommaBeforeLineEnd", "1,\r\n2\r\n", {u"1", u"", u"2"}},
        ReaderCase{"NoFinalLineEnd", "\"a\"\r\n5", {u"a", u"5"}},
        ReaderCase{"UnclosedQuoteRunsToEnd", "\"abc\r\n", {u"abc\r\n"}},
        ReaderCase{"LineEndInsideQuotes", "\"a\r\nb\"\r\n", {u"a\r\nb"}},
        ReaderCase{"EmptyFile", "", {}}, ReaderCase{"SpacesOnly", "   ", {}},
        ReaderCase{"Cyrillic", "\"\xC7\xE5\xEC\xEB\xFF\"\r\n", {u"Земля"}}),
    [](const ::testing::TestParamInfo<ReaderCase>& info) { return std::string(info.param.name); });

TEST(SystemFile, WriterOutputReadsBackItemForItem) {
    const std::vector<std::u16string> texts = {
        u"Тело10", u"", u"  a, b  ", u"1,989E+30", u" 1 500 000 000", u"01.01.1900"};
    SystemFileWriter w;
    for (const auto& t : texts) w.Text(t);
    w.Integer(-7);
    SystemFileReader r(w.Bytes());
    for (const auto& t : texts) EXPECT_EQ(r.Next(), t);
    EXPECT_EQ(r.Next(), u"-7");
    EXPECT_FALSE(r.Next());
}

}  // namespace
}  // namespace orbimo
