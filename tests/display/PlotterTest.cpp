#include <gtest/gtest.h>

#include <algorithm>

#include "display/Plotter.h"
#include "platform/MemorySurface.h"

namespace orbimo {
namespace {

constexpr Colour kBackground = 0x00C0C0C0;

struct Fixture {
    Fixture() : surface(40, 30, kBackground), plotter(s, surface) {
        s.BodyCount = kBodies;
        s.BodyColor = kTraceColours;
        s.PixelOwner.Create(29, 39);
    }
    std::vector<std::uint32_t> Pixels() const { return surface.Words(); }
    SimState s;
    MemorySurface surface;
    Plotter plotter;
};

TEST(Plotter, MarkerPutsBackWhatItCoveredLeavesItsTraceAndNeverRestoresPixelsOutside) {
    Fixture f;
    f.surface.SetPixel(9, 9, 0x00123456);
    f.surface.SetPixel(10, 10, 0x00654321);  // under the centre: the trace replaces it
    std::vector<std::uint32_t> expected = f.Pixels();
    f.plotter.DrawMarker(10, 10, 3, kBlack);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(f.surface.GetPixel(9 + i % 3, 9 + i / 3), kBlack);
    EXPECT_EQ(f.s.PixelOwner.At(10, 10), 3);
    f.plotter.EraseMarker(3);
    expected[10 * 40 + 10] = MemorySurface::ToWord(kTraceColours[3]);
    EXPECT_EQ(f.Pixels(), expected);
    f.plotter.DrawMarker(0, 0, 1, kBlack);
    EXPECT_EQ(f.s.MarkerStore[3], -1);  // body 1's first saved pixel, (-1, -1)
    f.plotter.EraseMarker(1);
    EXPECT_EQ(f.surface.GetPixel(0, 0), kTraceColours[1]);
    EXPECT_EQ(f.surface.GetPixel(1, 1), kBackground);
    f.plotter.DrawMarker(-1, 5, 4, kBlack),
        f.plotter.DrawMarker(5, 30, 4, kBlack);  // trace map untouched
    EXPECT_EQ(std::ranges::count(f.s.PixelOwner.Cells(), 0), 1200 - 2);
}

TEST(Plotter, OverlappingMarkersKeepTheLaterHigherBodyOnTopFirstMoveTracesTheCorner) {
    Fixture f;
    f.plotter.DrawMarker(10, 10, 2, kBlack);
    f.plotter.DrawMarker(11, 10, 5, kBlack);
    f.plotter.DrawMarker(11, 10, 7, kBlack);
    EXPECT_EQ(f.s.PixelOwner.At(10, 11), 7);
    f.plotter.EraseMarker(2);  // it saved only background: background and its trace come back
    EXPECT_EQ(f.surface.GetPixel(9, 10), kBackground);
    EXPECT_EQ(f.surface.GetPixel(10, 10), kTraceColours[2]);
    // A never drawn body's first move leaves its trace at the corner.
    f.plotter.MoveTo(6, 0, 0);  // (0, 0) is where it already "is": nothing drawn
    EXPECT_EQ(f.surface.GetPixel(0, 0), kBackground);
    f.plotter.MoveTo(6, 20, 15);
    EXPECT_EQ(f.surface.GetPixel(0, 0), kTraceColours[6]);
    EXPECT_EQ(f.surface.GetPixel(1, 1), kBackground);  // nothing saved there to restore
}

TEST(Plotter, ClearKeepsOrParksTheMarkersOfBodiesThatTakePart) {
    for (bool keep : {true, false}) {
        SCOPED_TRACE(keep);
        Fixture f;
        f.s.BodyOn[2] = f.s.BodyOn[4] = 1;
        f.plotter.MoveTo(4, 5, 5);
        f.plotter.MoveTo(2, 20, 15);
        f.plotter.MoveTo(2, 21, 15);  // the marker covers body 2's trace at (20, 15)
        f.s.BodyOn[4] = 0;            // off: not redrawn
        f.plotter.Clear(keep);
        EXPECT_EQ(std::ranges::count(f.s.PixelOwner.Cells(), 0), 1200 - 1);
        const int x = keep ? 21 : 0, y = keep ? 15 : 0;
        // The next step takes the marker away: the cleared picture, body 2's one trace pixel.
        f.plotter.MoveTo(2, 25, 15);
        Fixture expected;
        expected.surface.SetPixel(x, y, kTraceColours[2]);
        expected.plotter.DrawMarker(25, 15, 2, kBlack);
        EXPECT_EQ(f.Pixels(), expected.Pixels());
    }
}

TEST(Plotter, RepaintRebuildsTracesAndMarkersFromTheTraceMap) {
    Fixture f;
    f.s.BodyOn[1] = f.s.BodyOn[3] = 1;
    f.plotter.Clear(false);  // as after loading: markers parked at the corner
    for (int i = 0; i < 10; ++i) {
        f.plotter.MoveTo(1, 5 + i, 29);  // along the last row, then the last column
        f.plotter.MoveTo(3, 39, 20 + i);
    }
    EXPECT_EQ(std::pair(f.s.LastPixX[1], f.s.LastPixY[3]), std::pair(14, 29));
    const std::vector<std::uint32_t> before = f.Pixels();
    f.surface.Clear();    // the window system wipes the area...
    f.plotter.Repaint();  // ...and asks for the picture again
    EXPECT_EQ(f.Pixels(), before);
}

// One word per pixel and nothing else: what the memory surface and the plotter's moves on it
// must look like.
class PlainSurface final : public PixelSurface {
  public:
    Colour GetPixel(std::int32_t x, std::int32_t y) const override {
        return x >= 0 && y >= 0 && x < 37 && y < 23 ? pixels[y * 37 + x] : kInvalidColour;
    }
    void SetPixel(std::int32_t x, std::int32_t y, Colour c) override {
        if (x >= 0 && y >= 0 && x < 37 && y < 23) pixels[y * 37 + x] = c & 0x00FFFFFF;
    }
    void Clear() override { pixels.assign(37 * 23, kBackground); }
    int Width() const override { return 37; }
    int Height() const override { return 23; }
    std::vector<Colour> pixels = std::vector<Colour>(37 * 23, kBackground);
};

// Three bodies wander over a small area, on and past its edges, onto each other's markers,
// one step or several at a time; one leaves black traces.
TEST(Plotter, MovesOnTheMemorySurfaceMatchTheStepsOnAPlainOne) {
    SimState a, b;
    for (SimState* s : {&a, &b}) {
        s->BodyCount = kBodies;
        s->BodyColor = kTraceColours;
        s->BodyColor[3] = kBlack;
        s->PixelOwner.Create(22, 36);
    }
    MemorySurface memory(37, 23, kBackground);
    PlainSurface plain;
    Plotter fast(a, memory), steps(b, plain);
    std::uint32_t random = 12345;
    for (int move = 0; move < 4000; ++move) {
        random = random * 1664525u + 1013904223u;
        const int body = 1 + static_cast<int>(random >> 30) % 3;
        const int far = (random >> 20) % 8 == 0 ? 4 : 1;
        const int x =
            std::clamp(a.LastPixX[body] + far * (static_cast<int>(random >> 8) % 3 - 1), -2, 38);
        const int y =
            std::clamp(a.LastPixY[body] + far * (static_cast<int>(random >> 4) % 3 - 1), -2, 24);
        fast.MoveTo(body, x, y);
        steps.MoveTo(body, x, y);
        for (int p = 0; p < 37 * 23; ++p)
            ASSERT_EQ(memory.GetPixel(p % 37, p / 37), plain.pixels[p]) << move << ", " << p;
        ASSERT_EQ(a.MarkerStore, b.MarkerStore) << move;
        ASSERT_EQ(a.PixelOwner.Cells(), b.PixelOwner.Cells()) << move;
    }
}

}  // namespace
}  // namespace orbimo
