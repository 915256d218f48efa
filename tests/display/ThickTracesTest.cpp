#include <gtest/gtest.h>

#include "display/ThickTraces.h"
#include "platform/MemorySurface.h"

namespace orbimo {
namespace {

// Trace pixels of bodies 2 and 5 on a map of 10 × 6: each becomes a square of the width chosen,
// clipped to the rectangle drawn; background stays where no square reaches.
TEST(ThickTraces, EachTracePixelASquareOfTheWidthClippedToTheRectangle) {
    PixelOwnerGrid owners;
    owners.Create(5, 9);
    owners.At(2, 3) = 2;  // row 2, column 3
    owners.At(5, 9) = 5;  // the last row and column
    constexpr std::uint32_t kBack = 0xFF000001;
    const std::uint32_t two = MemorySurface::ToWord(kTraceColours[2]);
    const std::uint32_t five = MemorySurface::ToWord(kTraceColours[5]);
    struct Row {
        int width, left, top, right, bottom;
        std::vector<std::pair<int, int>> twos, fives;  // (column, row) painted
    };
    // clang-format off
    const Row rows[] = {
        {1, 0, 0, 9, 5, {}, {}},  // one pixel: the picture as it is
        {2, 0, 0, 9, 5, {{3, 2}, {4, 2}, {3, 3}, {4, 3}}, {{9, 5}}},
        {3, 0, 0, 9, 5, {{2, 1}, {3, 1}, {4, 1}, {2, 2}, {3, 2}, {4, 2}, {2, 3}, {3, 3}, {4, 3}},
         {{8, 4}, {9, 4}, {8, 5}, {9, 5}}},
        {3, 4, 3, 9, 5, {{4, 3}}, {{8, 4}, {9, 4}, {8, 5}, {9, 5}}}};  // a part: clipped
    // clang-format on
    for (const Row& r : rows) {
        const int w = r.right - r.left + 1, h = r.bottom - r.top + 1;
        std::vector<std::uint32_t> words(static_cast<std::size_t>(w * h), kBack);
        DrawThickTraces(owners, kTraceColours, r.width, r.left, r.top, r.right, r.bottom,
                        words.data(), static_cast<std::size_t>(w));
        std::vector<std::uint32_t> expected(words.size(), kBack);
        for (const auto& [cells, word] : {std::pair{&r.twos, two}, {&r.fives, five}})
            for (const auto& [x, y] : *cells)
                expected[static_cast<std::size_t>((y - r.top) * w + (x - r.left))] = word;
        EXPECT_EQ(words, expected) << r.width << " " << r.left;
    }
}

}  // namespace
}  // namespace orbimo
