// Zoom, pan, fit and frames: the picture drawn again from the path history.
#include <gtest/gtest.h>

#include <cmath>

#include "convert/NumberText.h"
#include "display/Readout.h"
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
        const auto live = std::pair(p.state.PixelOwner.Cells(), p.surface.Words());
        p.logic.plotter().Rerender(Frame{});
        EXPECT_TRUE(std::pair(p.state.PixelOwner.Cells(), p.surface.Words()) == live) << view;
    }
}

TEST(History, StaysWithinItsBoundOverFiftyMillionSnapshotsAndKeepsTheWholeRun) {
    PathHistory h;  // 64 MB
    SimState s;
    for (s.SimTime = 0; s.SimTime < 5e7; ++s.SimTime) h.Record(s);
    EXPECT_LE(h.Bytes(), std::size_t{64} << 20);
    std::vector<Snapshot> v;
    h.ForEach([&](const Snapshot& x) { v.push_back(x); });
    EXPECT_EQ(v.front().time, 0);  // the start is kept
    EXPECT_GT(v.back().time, 49'999'000);
    EXPECT_GT(v.size(), h.Capacity() / 2);
    // In time order, and every tenth of the run keeps a fair share of the snapshots.
    EXPECT_TRUE(std::ranges::is_sorted(v, {}, &Snapshot::time));
    std::array<std::size_t, 10> perTenth{};
    for (const Snapshot& x : v) ++perTenth[static_cast<std::size_t>(x.time / 5e6)];
    EXPECT_GT(*std::ranges::min_element(perTenth), v.size() / 20);
    // No stretch of the path is thinner than the rest: one snapshot to the next is never more
    // than twice the closest spacing anywhere.
    double closest = 1e300, widest = 0;
    for (std::size_t i = 1; i < v.size(); ++i) {
        closest = std::min(closest, v[i].time - v[i - 1].time);
        widest = std::max(widest, v[i].time - v[i - 1].time);
    }
    EXPECT_LE(widest, 2 * closest);
}

// After a run, F shows every path above the buttons at a round scale, whatever the frame.
TEST(Navigation, FitShowsEveryPathInEveryFrameAtARoundScale) {
    for (const Frame f :
         {Frame{FrameKind::Body}, {FrameKind::CentreOfMass}, {FrameKind::Rotating, 1, 4}}) {
        Program p;
        p.params.SelectView(0);
        p.RunUntilDispatch(20000);
        p.logic.View().SetFrame(f);
        p.logic.View().ZoomAt(512, 288, 4);  // most paths now leave the window
        p.logic.Fit();
        int outside = 0;
        p.logic.plotter().History().ForEach([&](const Snapshot& snap) {
            const FrameTransform t = TransformOf(f, p.state, 0, snap.x, snap.y, snap.on);
            for (int b = 1; b <= 5; ++b) {
                const std::optional<Pixel> px = PixelIn(p.state, t, snap.x, snap.y, b);
                outside += !px || px->x < 0 || px->x >= 1024 || px->y < 0 || px->y >= 620;
            }
        });
        EXPECT_EQ(outside, 0) << static_cast<int>(f.kind);
        const double m = p.state.Zoom / std::pow(10.0, std::floor(std::log10(p.state.Zoom)));
        EXPECT_TRUE(m == 1 || m == 2 || m == 5) << p.state.Zoom;  // m/twip, and the field says so
        EXPECT_EQ(p.params.scaleText, GroupedScaleText(p.state.Zoom));
    }
}

// Before a run, F fits the fields' bodies into the room from a twentieth of the window's height
// to the buttons, centred, a fortieth of the room and a twentieth of the width clear each side,
// at the smallest round scale that does so.
TEST(Navigation, FitCentresTheBodiesInTheRoomAboveTheButtonsWithAMargin) {
    // Body 2 from body 1 (the start-up view) at these shares of the room's height and width at
    // 1E+7 m a twip: just within or beyond what the margins leave.
    const std::pair<double, double> rows[] = {{0.97, 0}, {0.93, 0.1}, {0.4, 0}, {0.2, 0.93}};
    for (const auto& [tall, wide] : rows) {
        Program p;
        const double width = p.logic.WindowWidthTwips(), buttons = p.logic.Buttons()[0].top;
        const double top = p.logic.WindowHeightTwips() / 20, room = buttons - top;
        const double dx = wide * width * 1e7, dy = tall * room * 1e7;
        for (int b = 1; b <= kBodies; ++b) p.params.SetBodyState(b, b <= 2);
        for (auto [field, at, to] : {std::tuple{FieldKind::X, -3e10, dx}, {FieldKind::Y, 5e10, dy}})
            p.params.SetText({field, 1}, FormatNumber(at)),
                p.params.SetText({field, 2}, FormatNumber(at + to));
        p.logic.Fit();
        const double z = p.state.Zoom;
        EXPECT_NEAR(p.state.OriginX + dx / 2 / z, width / 2, 1e-6) << tall;
        EXPECT_NEAR(p.state.OriginY + dy / 2 / z, (top + buttons) / 2, 1e-6) << tall;
        EXPECT_TRUE(dy / z <= room * 0.95 && dx / z <= width * 0.9) << tall;
        // At the next round scale down (5 to 2, else halved) they would not leave the margins.
        const double down = z / std::pow(10.0, std::floor(std::log10(z))) == 5 ? 2.5 : 2;
        EXPECT_TRUE(dy / z * down > room * 0.95 || dx / z * down > width * 0.9) << tall;
    }
}

TEST(Navigation, FitRoundsTheScaleUpToOneTwoOrFiveTimesAPowerOfTen) {
    const std::pair<double, double> rows[] = {{1, 1},     {1.01, 2},    {2, 2},
                                              {2.1, 5},   {4.9, 5},     {5.1, 10},
                                              {7e7, 1e8}, {3e-3, 5e-3}, {1.2e-8, 2e-8}};
    for (const auto& [needed, scale] : rows)
        EXPECT_DOUBLE_EQ(RoundScaleUp(needed), scale) << needed;
}

// Body 1 (3 kg at (1, 1)), 2 (1 kg at (1, 5)), 3 (massless at (3, 2)): the centre of 1 and 2 is
// (1, 2), 2 m short of 3 along +x; the turning frame is a rotation, never a mirror.
TEST(Navigation, FramesPutABodyWhereTheirCentreAndTurnSay) {
    SimState s;
    s.Mass[1] = 3, s.Mass[2] = 1;
    const BodyDoubles x{0, 1, 1, 3}, y{0, 1, 5, 2};
    const BodyMask all = 0b1110, weightless = 0b11000;  // body 4 at (0, 0)
    const std::tuple<Frame, BodyMask, double, double> rows[] = {
        {{FrameKind::Body}, all, 2, -3},  // seen from body 2
        {{FrameKind::CentreOfMass}, all, 2, 0},
        {{FrameKind::CentreOfMass}, weightless, 1.5, 1},  // the plain mean
        {{FrameKind::Rotating, 1, 2}, all, 0, -2},
        {{FrameKind::Rotating, 2, 1}, all, 0, 2}};
    for (const auto& [frame, on, dx, dy] : rows) {
        double gotX = 0, gotY = 0;
        FrameOffset(TransformOf(frame, s, 2, x, y, on), x, y, 3, gotX, gotY);
        EXPECT_EQ(std::pair(gotX, gotY), std::pair(dx, dy)) << static_cast<int>(frame.kind);
    }
}

}  // namespace
}  // namespace orbimo
