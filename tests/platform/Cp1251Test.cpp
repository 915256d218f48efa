#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/Cp1251.h"
#include "platform/Utf8.h"

namespace orbimo {
namespace {

// The code page's upper half as another converter reads it, bytes 0x80..0xFF without 0x98
// (which Windows-1251 lacks), written as UTF-8 by
//   python3 -c "import sys; sys.stdout.buffer.write(bytes(b for b in range(128, 256) if b != 152))"
//     | iconv -f CP1251 -t UTF-8
// (Python's own cp1251 codec gives the same characters).
TEST(Cp1251, UpperHalfAgreesWithAnotherConverterEveryByteReadsBackOthersAreAQuestionMark) {
    std::ifstream in(ORBIMO_TEST_DATA "/cp1251_upper_half.txt", std::ios::binary);
    const std::u16string other = FromUtf8(std::string(std::istreambuf_iterator<char>(in), {}));
    std::string all, upper;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
        if (b >= 0x80 && b != 0x98) upper.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(FromCp1251(upper), other);
    EXPECT_EQ(ToCp1251(other), upper);
    EXPECT_EQ(ToCp1251(FromCp1251(all)), all);  // 0x98 too, as U+0098
    // One "?" for a character without a byte: for a surrogate pair too, and a lone surrogate.
    EXPECT_EQ(ToCp1251(u"a中é x\U0001F600y x\xD800y"), "a?? x?y x?y");
}

}  // namespace
}  // namespace orbimo
