// Window pixels and field coordinates in every frame (in the body frame PixelIn is
// ProjectToPixel), and where a dragged body lands.
#include <gtest/gtest.h>

#include <cmath>

#include "convert/NumberText.h"
#include "fakes/FakeToolkit.h"
#include "mainwindow/BodyEdits.h"

namespace orbimo {
namespace {

// Bodies 1..5 take part, 11 does not (a new window's states); a 1024×768 screen.
struct Picture {
    Picture(double zoom, int view) {
        s.Zoom = zoom, s.OriginX = 512 * 15, s.OriginY = 288 * 15,
        s.ViewBody = static_cast<std::int16_t>(view);
        s.TwipsPerPixelX = s.TwipsPerPixelY = 15;
        const double bodies[][3] = {{2e30, 0, 0},         {1.9e27, 7.78e11, 0},
                                    {6e24, 1.5e11, 2e10}, {1e22, -4e10, 1.2e11},
                                    {0, 3e11, -2e11},     {5e20, 1e9, 1e9}};
        for (int i = 0; i < 6; ++i) {
            const int b = i < 5 ? i + 1 : 11;
            const auto [m, x, y] = bodies[i];
            s.Mass[b] = m, s.PosX[b] = x, s.PosY[b] = y, s.BodyOn[b] = b <= 5;
            for (auto [f, v] :
                 {std::pair{FieldKind::Mass, m}, {FieldKind::X, x}, {FieldKind::Y, y}})
                params.SetText({f, b}, FormatNumber(v));
        }
    }
    PictureCoordinates Now(const Frame& f) { return {s, f, BodiesFromFields(params)}; }
    FieldPoint Fields(int b) {
        return {*ParseNumber(params.bodies[b].x.text), *ParseNumber(params.bodies[b].y.text)};
    }
    SimState s;
    testing::FakeToolkit toolkit;
    ParamsModel params{s, toolkit};
};

const Frame kBodyFrame{FrameKind::Body}, kCentre{FrameKind::CentreOfMass},
    kTurning{FrameKind::Rotating, 3, 1};

TEST(PictureCoordinates, PixelsAndPointsAgreeWithThePictureInEveryFrameAndScale) {
    for (double zoom : {5e7, -5e7, 1e3, 1e-3, 1e13})
        for (auto [frame, view] :
             {std::pair{kBodyFrame, 0}, {kBodyFrame, 3}, {kCentre, 0}, {kTurning, 0}}) {
            Picture p(zoom, view);
            const PictureCoordinates c = p.Now(frame);
            for (Pixel px : {Pixel{0, 0}, {511, 287}, {1023, 767}, {-40, 900}, {700, 100}})
                EXPECT_EQ(c.PixelOf(*c.PointAt(px)), px) << zoom << " " << px.x;
            const FrameTransform t =
                TransformOf(frame, p.s, view, p.s.PosX, p.s.PosY, TakingPart(p.s));
            for (int b : {1, 2, 3, 4, 5, 11})
                EXPECT_EQ(c.PixelOf(p.Fields(b)), PixelIn(p.s, t, p.s.PosX, p.s.PosY, b))
                    << zoom << b;
        }
}

TEST(PictureCoordinates, NothingIsMappedWithoutAScaleOrTheBodiesTheFrameNeeds) {
    Picture p(0, 3);
    EXPECT_FALSE(p.Now(kBodyFrame).PointAt({1, 1}));
    p.s.Zoom = 5e7;
    p.params.SetText({FieldKind::X, 3}, u"abc");
    for (const Frame& f : {kBodyFrame, kCentre, kTurning})
        EXPECT_FALSE(p.Now(f).BodyPositionAt(5, {1, 1}));
}

// Under: drawn under the pointer once moved there. AsItStood: under the pointer in the picture as
// it stood when the drag began (the view body stays at the view origin). OnLine: in the pointer's
// column on the pair's line, which keeps its direction. Refused: the pointer is on the other side
// of the pair's centre.
enum class Lands { Under, AsItStood, OnLine, Refused };

TEST(PictureCoordinates, ADraggedBodyLandsWhereThePictureShowsIt) {
    const Pixel left{200, 600}, right{700, 150};
    const std::tuple<Frame, int, int, Pixel, Lands> rows[] = {
        {kBodyFrame, 0, 3, right, Lands::Under},     {kBodyFrame, 3, 5, left, Lands::Under},
        {kBodyFrame, 3, 3, right, Lands::AsItStood}, {kCentre, 0, 3, left, Lands::Under},
        {kCentre, 0, 1, right, Lands::Under},        {kCentre, 0, 11, right, Lands::Under},
        {kTurning, 0, 4, right, Lands::Under},       {kTurning, 0, 3, left, Lands::OnLine},
        {kTurning, 0, 1, right, Lands::OnLine},      {kTurning, 0, 3, right, Lands::Refused}};
    for (const auto& [frame, view, b, pointer, lands] : rows) {
        Picture p(5e7, view);
        const PictureCoordinates atPress = p.Now(frame);
        const std::optional<FieldPoint> to = atPress.BodyPositionAt(b, pointer);
        ASSERT_EQ(to.has_value(), lands != Lands::Refused) << b;
        if (!to) continue;
        const FieldPoint line{p.Fields(1).x - p.Fields(3).x, p.Fields(1).y - p.Fields(3).y};
        EXPECT_TRUE(MoveBody(p.params, b, *to, atPress.Tolerance()).changed);
        const PictureCoordinates after = p.Now(frame);
        const Pixel drawn = *after.PixelOf(p.Fields(b));
        if (lands == Lands::Under) {  // and a second move to the same pixel stays there
            EXPECT_EQ(drawn, pointer) << b;
            EXPECT_EQ(after.PixelOf(*after.BodyPositionAt(b, pointer)), pointer) << b;
        } else if (lands == Lands::AsItStood) {
            EXPECT_EQ(std::pair(*atPress.PixelOf(p.Fields(b)), drawn),
                      std::pair(pointer, Pixel{512, 288}));
        } else {  // the line turns only by what writing the texts rounds off
            EXPECT_EQ(drawn.x, pointer.x) << b;
            EXPECT_NEAR(drawn.y, 288, 1) << b;
            const FieldPoint now{p.Fields(1).x - p.Fields(3).x, p.Fields(1).y - p.Fields(3).y};
            EXPECT_NEAR(std::atan2(now.y, now.x), std::atan2(line.y, line.x),
                        2 * atPress.Tolerance() / std::hypot(now.x, now.y));
        }
    }
}

}  // namespace
}  // namespace orbimo
