// Zoom, pan, fit and frames: the picture drawn again from the path history.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "display/Readout.h"
#include "examples/ExampleSystems.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

TEST(History, RedrawnAtTheSameViewIsThePicturePlottedLive) {
    for (int view : {0, 1, 4}) {
        Program p;
        p.params.SelectView(view);
        p.params.SetBodyState(7, 1);  // switched on between the clear and the run
        p.RunUntilDispatch(3000);
        if (view != 1) p.logic.Click(2);  // «Очистить»: the markers stay, a new plot begins
        p.RunUntilDispatch(5000);
        const std::vector<std::uint8_t> owners = p.state.PixelOwner.Cells();
        const std::vector<std::uint32_t> picture = p.surface.Words();
        ASSERT_GT(p.logic.plotter().History().Snapshots().size(), 100u);
        p.logic.SetFrame(Frame{});
        EXPECT_EQ(p.state.PixelOwner.Cells(), owners) << view;
        EXPECT_EQ(p.surface.Words(), picture) << view;
    }
}

TEST(History, StaysWithinItsBoundOverFiftyMillionSnapshotsAndKeepsTheWholeRun) {
    PathHistory h;  // 64 MB
    SimState s;
    h.Clear(s, false);
    for (long i = 0; i < 50'000'000; ++i) {
        s.SimTime = static_cast<double>(i);
        h.Record(s);
    }
    EXPECT_LE(h.Bytes(), std::size_t{64} << 20);
    const std::vector<Snapshot>& v = h.Snapshots();
    EXPECT_EQ(v.front().time, 0);  // the start is kept
    EXPECT_GT(v.back().time, 49'999'000);
    EXPECT_GT(v.size(), h.Capacity() / 2);
    // In time order, and every tenth of the run keeps a fair share of the snapshots.
    EXPECT_TRUE(std::ranges::is_sorted(v, {}, &Snapshot::time));
    for (int tenth = 0; tenth < 10; ++tenth)
        EXPECT_GT(std::ranges::count(v, tenth, [](const Snapshot& x) { return int(x.time / 5e6); }),
                  long(v.size() / 20))
            << tenth;
}

// After a run, F shows every path above the buttons; A and B stay on one row when the frame
// turns with them, B to the right of A.
TEST(Navigation, FitShowsEveryPathInEveryFrameAndTheTurningFrameKeepsAAndBOnTheXAxis) {
    for (const Frame f :
         {Frame{FrameKind::Body}, {FrameKind::CentreOfMass}, {FrameKind::Rotating, 1, 4}}) {
        Program p;
        p.params.SelectView(0);
        p.RunUntilDispatch(20000);
        p.logic.SetFrame(f);
        p.logic.ZoomAt(512, 288, 4);  // most paths now leave the window
        p.logic.Fit();
        int outside = 0;
        for (const Snapshot& snap : p.logic.plotter().History().Snapshots()) {
            const FrameTransform t = TransformOf(f, p.state, 0, snap.x, snap.y, snap.on);
            std::optional<Pixel> px[6];
            for (int b = 1; b <= 5; ++b) {
                px[b] = PixelIn(p.state, t, snap.x, snap.y, b);
                outside +=
                    !px[b] || px[b]->x < 0 || px[b]->x >= 1024 || px[b]->y < 0 || px[b]->y >= 620;
            }
            EXPECT_TRUE(f.kind != FrameKind::Rotating ||
                        (std::abs(px[1]->y - px[4]->y) <= 1 && px[4]->x > px[1]->x));
        }
        EXPECT_EQ(outside, 0) << static_cast<int>(f.kind);
        // A round scale: 1, 2 or 5 times a power of ten metres per twip, and the field shows it.
        const double m = p.state.Zoom / std::pow(10.0, std::floor(std::log10(p.state.Zoom)));
        EXPECT_TRUE(m == 1 || m == 2 || m == 5) << p.state.Zoom;
        EXPECT_EQ(p.params.zoomText, GroupedScaleText(p.state.Zoom));
    }
}

// The wheel keeps the point under it where it was; its scale is the field's, exactly.
TEST(Navigation, ZoomKeepsThePointUnderTheCursorAndWritesTheScaleHomeRestoresTheOrigin) {
    Program p;
    p.RunUntilDispatch(500);
    auto metres = [&] {  // under pixel (700, 100)
        return std::pair((700.5 * 15 - p.state.OriginX) * p.state.Zoom,
                         (100.5 * 15 - p.state.OriginY) * p.state.Zoom);
    };
    for (auto [factor, expected] : {std::pair{1.25, 4e7}, {1.25, 3.2e7}, {1 / 1.25, 4e7}}) {
        const auto before = metres();
        p.logic.ZoomAt(700, 100, factor);
        EXPECT_EQ(p.state.Zoom, expected);
        EXPECT_NEAR(metres().first, before.first, std::fabs(before.first) * 1e-12);
        EXPECT_NEAR(metres().second, before.second, std::fabs(before.second) * 1e-12);
    }
    EXPECT_EQ(p.params.zoomText, u"40 000 000");
    p.logic.PanBy(30, -20);
    p.logic.HomeOrigin();
    EXPECT_EQ(std::pair(p.state.OriginX, p.state.OriginY), std::pair(7680.0, 4320.0));
}

// The Trojans librate about their Lagrange points: in the frame turning with the Sun and
// Jupiter each stays within 30° of ±60° from the Sun–Jupiter line, over the whole run.
TEST(Navigation, TrojansStayNearTheirLagrangePointsInTheTurningFrame) {
    const auto& systems = examples::Systems();
    const auto it =
        std::ranges::find(systems, std::u16string(u"Троянцы Юпитера.sav"), &examples::System::file);
    ASSERT_NE(it, systems.end());
    Program p(examples::FileBytes(*it));
    p.logic.Click(0);  // to the stop date
    const PathHistory& h = p.logic.plotter().History();
    ASSERT_GT(h.Snapshots().size(), 100u);
    double worst = 0;
    for (const Snapshot& snap : h.Snapshots()) {
        const FrameTransform t =
            TransformOf({FrameKind::Rotating, 1, 2}, p.state, 1, snap.x, snap.y, snap.on);
        for (int b = 3; b <= static_cast<int>(it->bodies.size()); ++b) {
            double dx = 0, dy = 0;
            FrameOffset(t, snap.x, snap.y, b, dx, dy);
            worst = std::max(
                worst, std::fabs(std::fabs(std::atan2(dy, dx)) * 180 / std::numbers::pi - 60));
        }
    }
    EXPECT_LT(worst, 30);
}

}  // namespace
}  // namespace orbimo
