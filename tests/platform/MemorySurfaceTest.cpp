#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "platform/MemorySurface.h"

namespace orbimo {
namespace {

constexpr Colour kGrey = 0x00C0C0C0;

Colour Distinct(int k) {
    return static_cast<Colour>(k) * 0x0301u + 1;  // no two alike below 5000, none grey
}

TEST(MemorySurface, EveryColourComesBackAsSetWhileAtMost256AreOnTheSurface) {
    MemorySurface s(20, 15, kGrey);
    // A thousand colours one after another on 200 pixels: old ones leave, new ones fit.
    for (int k = 0; k < 1000; ++k) {
        s.SetPixel(k % 200 % 20, k % 200 / 20, Distinct(k));
        ASSERT_EQ(s.GetPixel(k % 200 % 20, k % 200 / 20), Distinct(k)) << k;
    }
    for (int p = 0; p < 200; ++p) EXPECT_EQ(s.GetPixel(p % 20, p / 20), Distinct(800 + p));
    EXPECT_EQ(s.GetPixel(19, 14), kGrey);
    const std::vector<std::uint32_t> words = s.Words();  // as a window shows them
    for (int p = 0; p < 300; ++p)
        EXPECT_EQ(words[p], MemorySurface::ToWord(s.GetPixel(p % 20, p / 20))) << p;
    // The top byte of a word is not part of its colour; the words are 0xFFRRGGBB.
    s.SetPixel(19, 14, 0xAB123456);
    EXPECT_EQ(s.GetPixel(19, 14), 0x00123456u);
    EXPECT_EQ(s.Words().back(), 0xFF563412u);
    EXPECT_EQ(s.GetPixel(20, 0), kInvalidColour);
}

TEST(MemorySurface, A257thColourShowsAsTheNearestUntilOneLeavesClearEmptiesThePalette) {
    MemorySurface s(20, 15, kGrey);
    for (int p = 0; p < 255; ++p) s.SetPixel(p % 20, p / 20, Distinct(4 * p));  // with grey: 256
    const Colour near = Distinct(4 * 77) + 0x00010000;  // one step of blue from pixel 77's
    s.SetPixel(19, 14, near);
    EXPECT_EQ(s.GetPixel(19, 14), Distinct(4 * 77));
    s.SetPixel(0, 0, kGrey);  // pixel 0's colour leaves the surface
    s.SetPixel(19, 14, near);
    EXPECT_EQ(s.GetPixel(19, 14), near);
    s.Clear();
    for (int p = 0; p < 255; ++p) s.SetPixel(p % 20, p / 20, Distinct(1000 + p));
    for (int p = 0; p < 300; ++p)
        EXPECT_EQ(s.GetPixel(p % 20, p / 20), p < 255 ? Distinct(1000 + p) : kGrey) << p;
}

TEST(MemorySurface, ChangesAreReportedOnceInTilesHoldingThem) {
    MemorySurface s(200, 100, kGrey);
    s.TakeDirty();
    EXPECT_TRUE(s.TakeDirty().empty());
    s.SetPixel(70, 5, kBlack), s.SetPixel(199, 99, kBlack), s.SetPixel(250, 5, kBlack);
    using R = std::tuple<int, int, int, int>;
    std::vector<R> got;
    for (const auto& r : s.TakeDirty()) got.emplace_back(r.left, r.top, r.right, r.bottom);
    EXPECT_EQ(got, (std::vector<R>{{64, 0, 127, 63}, {192, 64, 199, 99}}));
    EXPECT_TRUE(s.TakeDirty().empty());
}

}  // namespace
}  // namespace orbimo
