#include <gtest/gtest.h>

#include "files/SystemFile.h"

namespace orbimo {
namespace {

TEST(SystemFileReader, ReadsItemsThenFailsAtTheEnd) {
    using Items = std::vector<std::u16string>;
    const std::pair<std::string, Items> cases[] = {
        {"\"\xD2\xE5\xEB\xEE 1\"\r\n1\r\n", {u"Тело 1", u"1"}},  // CR LF, Cyrillic
        {"\" a, b ,c \"\r\n", {u" a, b ,c "}},                   // commas, spaces in quotes
        {"\"\"\r\n\r\n5\r\n", {u"", u"", u"5"}},                 // empty items
        {"  -42  \r\n", {u"-42"}},  // spaces around a bare item dropped
        {"1,2, \"a,b\",\"c\"\r\n", {u"1", u"2", u"a,b", u"c"}},  // a comma separates items
        {"\"a\" junk, \"b\"\r\n", {u"a", u"b"}},    // the rest after the closing quote skipped
        {"\"a\"\n7\n\"b\"\n", {u"a", u"7", u"b"}},  // LF only
        {"\"a\"\r7\r", {u"a", u"7"}},               // CR only
        {"\"a\"\r\n5", {u"a", u"5"}},               // no final line end
        {"\"a\r\nb", {u"a\r\nb"}},                  // an unclosed quote runs to the end
        {"", {}},
        {"   ", {}},
    };
    for (const auto& [bytes, expected] : cases) {
        SystemFileReader reader(bytes);
        Items items;
        for (auto item = reader.Next(); item && items.size() < 9; item = reader.Next())
            items.push_back(*item);
        EXPECT_EQ(items, expected) << ::testing::PrintToString(bytes);
        EXPECT_FALSE(reader.Next()) << ::testing::PrintToString(bytes);
    }
}

}  // namespace
}  // namespace orbimo
