#include <gtest/gtest.h>

#include "display/Plotter.h"
#include "platform/MemorySurface.h"

namespace orbimo {
namespace {

constexpr Colour kBackground = 0x00C0C0C0;

struct Fixture {
    Fixture(int w = 40, int h = 30) : surface(w, h, kBackground), plotter(s, surface) {
        SetConstants(s);
        s.TwipsPerPixelX = s.TwipsPerPixelY = 15;
        s.PixelOwner.Create(h - 1, w - 1);
        for (int b = 1; b <= kBodies; ++b) s.BodyColor[b] = kTraceColours[b];
    }
    SimState s;
    MemorySurface surface;
    Plotter plotter;
};

TEST(Plotter, MarkerIsSavedPaintedAndTakenAwayLeavingItsTrace) {
    Fixture f;
    f.surface.SetPixel(10, 10, 0x00123456);  // something under the marker's centre
    f.s.BodyOn[3] = 1;
    f.plotter.DrawM(10, 10, 3, kBlack);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) EXPECT_EQ(f.surface.GetPixel(10 + dx, 10 + dy), kBlack);
    EXPECT_EQ(f.s.MarkerStore[23], 10);
    EXPECT_EQ(f.s.MarkerStore[24], 10);
    EXPECT_EQ(f.s.MarkerStore[25 + 4], 0x00123456);  // centre slot, row order
    EXPECT_EQ(f.s.PixelOwner.At(10, 10), 3);

    f.plotter.DrawM_rest(3);
    EXPECT_EQ(f.surface.GetPixel(10, 10), kTraceColours[3]);  // trace, whatever was there
    EXPECT_EQ(f.surface.GetPixel(9, 9), kBackground);
    EXPECT_EQ(f.surface.GetPixel(11, 11), kBackground);
}

TEST(Plotter, OverlappingMarkersKeepTheHigherBodyOnTop) {
    Fixture f;
    f.plotter.DrawM(10, 10, 2, kBlack);
    f.plotter.DrawM(11, 10, 5, kBlack);
    f.plotter.DrawM(11, 10, 7, kBlack);
    EXPECT_EQ(f.s.PixelOwner.At(10, 11), 7);  // same centre: the later, higher body
    // Body 2 saved only background, so taking it away restores background and its trace.
    f.plotter.DrawM_rest(2);
    EXPECT_EQ(f.surface.GetPixel(9, 10), kBackground);
    EXPECT_EQ(f.surface.GetPixel(10, 10), kTraceColours[2]);
    EXPECT_EQ(f.surface.GetPixel(12, 10), kBlack);  // still under body 7's marker
}

TEST(Plotter, PixelsOutsideTheAreaAreSavedAsInvalidAndNeverRestored) {
    Fixture f;
    f.plotter.DrawM(0, 0, 1, kBlack);
    EXPECT_EQ(f.s.MarkerStore[1 + 2], -1);  // (-1, -1)
    EXPECT_EQ(f.s.PixelOwner.At(0, 0), 1);
    f.plotter.DrawM_rest(1);
    EXPECT_EQ(f.surface.GetPixel(0, 0), kTraceColours[1]);
    EXPECT_EQ(f.surface.GetPixel(1, 1), kBackground);

    // A centre outside leaves the trace map alone.
    f.plotter.DrawM(-1, 5, 4, kBlack);
    f.plotter.DrawM(40, 5, 4, kBlack);
    for (int y = 0; y < 30; ++y) EXPECT_EQ(f.s.PixelOwner.At(y, 39), 0);
}

TEST(Plotter, FirstMoveOfANeverDrawnBodyLeavesItsTraceAtTheCorner) {
    Fixture f;
    f.s.BodyOn[6] = 1;
    f.plotter.MoveTo(6, 0, 0);  // (0, 0) is where it already "is": nothing drawn
    EXPECT_EQ(f.surface.GetPixel(0, 0), kBackground);
    f.plotter.MoveTo(6, 20, 15);
    EXPECT_EQ(f.surface.GetPixel(0, 0), kTraceColours[6]);
    EXPECT_EQ(f.surface.GetPixel(1, 1), kBackground);  // nothing saved there to restore
    EXPECT_EQ(f.surface.GetPixel(20, 15), kBlack);
    EXPECT_EQ(f.s.LastPixX[6], 20);
}

TEST(Plotter, ClearKeepsOrParksTheMarkersOfBodiesThatTakePart) {
    for (bool keep : {true, false}) {
        Fixture f;
        f.s.BodyOn[2] = 1;
        f.s.BodyOn[4] = 0;
        f.plotter.MoveTo(2, 20, 15);
        f.plotter.MoveTo(2, 22, 15);
        f.s.BodyOn[4] = 1;
        f.plotter.MoveTo(4, 5, 5);
        f.s.BodyOn[4] = 0;
        f.plotter.Очистить(keep);
        EXPECT_EQ(f.surface.GetPixel(20, 15), kBackground) << keep;  // old trace gone
        EXPECT_EQ(f.s.PixelOwner.At(15, 20), 0) << keep;
        EXPECT_EQ(f.surface.GetPixel(5, 5), kBackground) << keep;  // body 4 is off: not redrawn
        if (keep) {
            EXPECT_EQ(f.surface.GetPixel(22, 15), kBlack);
            EXPECT_EQ(f.s.MarkerStore[11 * 2 - 8], static_cast<std::int32_t>(kBackground));
        } else {
            EXPECT_EQ(f.surface.GetPixel(22, 15), kBackground);
            EXPECT_EQ(f.surface.GetPixel(0, 0), kBlack);
            EXPECT_EQ(f.s.LastPixX[2], 0);
            // The next plotting step takes the parked marker away and draws the true place.
            f.plotter.MoveTo(2, 23, 15);
            EXPECT_EQ(f.surface.GetPixel(0, 0), kTraceColours[2]);
            EXPECT_EQ(f.surface.GetPixel(1, 1), kBackground);
        }
    }
}

TEST(Plotter, RepaintRebuildsTracesAndMarkersFromTheTraceMap) {
    Fixture f;
    for (int b : {1, 3}) f.s.BodyOn[b] = 1;
    f.plotter.Очистить(false);  // as after loading: markers parked at the corner
    for (int i = 0; i < 10; ++i) {
        f.plotter.MoveTo(1, 5 + i, 5);
        f.plotter.MoveTo(3, 5 + i, 20 - i);
    }
    std::vector<Colour> before;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) before.push_back(f.surface.GetPixel(x, y));

    f.surface.Clear();    // the window system wipes the area...
    f.plotter.Repaint();  // ...and asks for the picture again
    std::size_t i = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x, ++i)
            EXPECT_EQ(f.surface.GetPixel(x, y), before[i]) << x << "," << y;
}

}  // namespace
}  // namespace orbimo
