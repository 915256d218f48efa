#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/SystemFile.h"

namespace orbimo {
namespace {

struct ReaderCase {
    const char* what;
    std::string bytes;
    std::vector<std::u16string> items;  // then the reader fails
};

TEST(SystemFileReader, ReadsItemsThenFailsAtTheEnd) {
    const ReaderCase cases[] = {
        {"CR LF, Cyrillic", "\"\xD2\xE5\xEB\xEE 1\"\r\n1\r\n", {u"Тело 1", u"1"}},
        {"commas and spaces inside quotes", "\" a, b ,c \"\r\n", {u" a, b ,c "}},
        {"empty items", "\"\"\r\n\r\n5\r\n", {u"", u"", u"5"}},
        {"spaces around a bare item dropped", "  -42  \r\n", {u"-42"}},
        {"comma separates items", "1,2, \"a,b\",\"c\"\r\n", {u"1", u"2", u"a,b", u"c"}},
        {"rest after the closing quote skipped", "\"a\" junk, \"b\"\r\n", {u"a", u"b"}},
        {"LF only", "\"a\"\n7\n\"b\"\n", {u"a", u"7", u"b"}},
        {"CR only", "\"a\"\r7\r", {u"a", u"7"}},
        {"no final line end", "\"a\"\r\n5", {u"a", u"5"}},
        {"unclosed quote runs to the end", "\"a\r\nb", {u"a\r\nb"}},
        {"empty file", "", {}},
        {"spaces only", "   ", {}},
    };
    for (const ReaderCase& c : cases) {
        SystemFileReader reader(c.bytes);
        std::vector<std::u16string> items;
        for (auto item = reader.Next(); item && items.size() < 9; item = reader.Next())
            items.push_back(*item);
        EXPECT_EQ(items, c.items) << c.what;
        EXPECT_FALSE(reader.Next()) << c.what;
    }
}

}  // namespace
}  // namespace orbimo
