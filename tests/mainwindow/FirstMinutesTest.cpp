// What a newcomer meets first: the pace «авто», a system opening at its own view with a readout of
// its own, the bodies shown before a run, labels that keep clear of each other.
#include <gtest/gtest.h>

#include <cmath>

#include "convert/NumberText.h"
#include "display/Readout.h"
#include "examples/ExampleSystems.h"
#include "files/Catalogue.h"
#include "mainwindow/LabelPlacement.h"
#include "mainwindow/Overlay.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

TEST(PaceClock, AutoTakesHalfAMinuteForAStopDateAndStepsFromTheNearestRung) {
    // The span to the stop date (0: none), what «авто» runs at, then "+" and "−" from there.
    struct Row {
        double span, rate;
        int faster, slower;
    };
    const Row rows[] = {
        {0, kYearSeconds, 1, 3},                              // no stop date: 1 год/с itself
        {2 * kYearSeconds, 2 * kYearSeconds / 30, 2, 4},      // two years: nearest 1 мес/с
        {400 * kYearSeconds, 400 * kYearSeconds / 30, 0, 2},  // four centuries: 10 лет/с
        {30 * 60.0, 60, 6, 7},  // half an hour: 1 мин/с, the slowest, stays the slowest
    };
    for (const Row& r : rows) {
        PaceClock clock;
        clock.SetPace(kAutoPace);
        clock.StartRun(r.span);
        EXPECT_DOUBLE_EQ(clock.Rate(), r.rate) << r.span;
        EXPECT_EQ(clock.Faster(), r.faster) << r.span;
        EXPECT_EQ(clock.Slower(), r.slower) << r.span;
        // Enough presses of "+" always reach no limit.
        for (int i = 0; i < 10; ++i) clock.SetPace(clock.Faster());
        EXPECT_TRUE(clock.Unlimited()) << r.span;
    }
}

const examples::System& Named(std::u16string_view file) {
    return *std::ranges::find(examples::Systems(), file, &examples::System::file);
}

std::u16string Entry(std::u16string_view file) {
    return std::u16string(file.substr(0, file.size() - 4));  // without ".sav"
}

// Every system loaded from the catalogue opens at its own scale, from the home origin, in the
// view body's frame, and the readout says nothing about the run before it.
TEST(SystemLoaded, OpensAtItsOwnViewWithAReadoutOfItsOwn) {
    Program p;
    for (const examples::System& sys : examples::Systems())
        p.files.AddFile(SaveFolderPath(p.files) + sys.file, examples::FileBytes(sys));
    FillSystems(p.params, p.files);
    ChooseSystem(p.params, p.files, Entry(u"Солнечная система.sav"));
    p.params.timeStep.text = u"2E5";  // too coarse: a pair warning and a drift after the run
    p.RunUntilDispatch(3000);
    p.logic.View().ZoomAt(100, 100, 8);
    p.logic.View().PanBy(50, -20);
    p.logic.View().SetFrame({FrameKind::Rotating, 1, 6});
    ASSERT_NE(CheckRun(p.logic).pair, u"");
    for (std::u16string_view file : {u"Троянцы Юпитера.sav", u"Солнце, Земля и Луна.sav"}) {
        ChooseSystem(p.params, p.files, Entry(file));
        const std::u16string zoom = GroupedScaleText(Named(file).zoom);
        EXPECT_EQ(GroupedScaleText(p.state.Zoom), zoom);
        EXPECT_EQ(p.state.OriginX, 1024 * 15 / 2.0);
        EXPECT_EQ(p.state.OriginY, 768 * 15 * 3 / 8.0);
        EXPECT_EQ(p.logic.View().CurrentFrame(), Frame{});
        const RunWarnings w = CheckRun(p.logic);
        EXPECT_EQ(std::tuple(w.drift, w.pair), std::tuple(0.0, std::u16string()));
        const Overlay o = BuildOverlay(p.logic, {}, RateMeter());
        EXPECT_EQ(o.readout[1].text, u"остановлен");
        EXPECT_EQ(o.readout[5].text, u"Дрейф энергии: —");
        // The bar is as long as its text says at the new scale.
        std::u16string text = o.scaleBar->text;
        double unit = 1;
        for (const auto& [name, metres] :
             {std::pair{u" а. е.", kAstroUnitMetres}, {u" млн км", 1e9}, {u" км", 1e3}})
            if (text.ends_with(name)) {
                unit = metres;
                text.resize(text.size() - std::u16string_view(name).size());
                break;
            }
        EXPECT_NEAR(o.scaleBar->pixels, *ParseNumber(text) * unit / (Named(file).zoom * 15), 1)
            << o.scaleBar->pixels;
    }
}

TEST(SystemLoaded, AnEditOfABodyStartsTheReadoutAfresh) {
    for (bool during : {false, true}) {
        Program p;
        p.params.timeStep.text = u"2E5";
        p.Run([&](long n) {
            if (during && n == 100) p.params.SetBodyState(5, 0);
            if (n == 300) p.logic.Click(0);
        });
        if (!during) p.params.SetBodyState(5, 0);  // after the run: nothing ran since
        const RunWarnings w = CheckRun(p.logic);
        // Switched off during the run, the energy is measured from then on: what it drifted
        // by is the run's own, not the lost body's energy (a relative 1).
        EXPECT_LT(w.drift, during ? 0.1 : 1e-300) << during;
        EXPECT_EQ(p.logic.Status().state, during ? RunState::Stopped : RunState::Idle);
    }
}

// Before a run the layers draw every body taking part where the fields put it; a marker that a
// clear parked in the corner is shown as the background it covers; after a run the markers show
// the bodies themselves.
TEST(Overlay, BodiesWhereTheFieldsPutThemUntilARunDrawsThem) {
    Program p;
    OverlayOptions options;
    options.bodies = true;
    // Built-in bodies 1 to 5 on the x axis, the view on body 1 at (512, 288), 50 000 000 m/twip.
    auto column = [](double x) { return static_cast<int>(std::floor((x / 5e7 + 7680) / 15)); };
    std::vector<BodyMarker> expected;
    for (const double au : {0.0, 0.3075, 0.7184, 1.0, 1.3814})
        expected.push_back({column(au * kAstroUnitMetres), 288});
    Overlay o = BuildOverlay(p.logic, options, RateMeter());
    EXPECT_EQ(o.bodies, expected);
    EXPECT_TRUE(o.covered.empty());  // no marker drawn yet
    p.RunUntilDispatch(50);
    o = BuildOverlay(p.logic, options, RateMeter());
    EXPECT_TRUE(o.bodies.empty() && o.covered.empty());  // the markers show them
    const Pixel old{p.state.LastPixX[3], p.state.LastPixY[3]};
    p.params.SetText({FieldKind::X, 3}, p.params.bodies[1].x.text);  // onto body 1's place
    p.params.SetText({FieldKind::Y, 3}, p.params.bodies[1].y.text);
    o = BuildOverlay(p.logic, options, RateMeter());
    ASSERT_EQ(o.bodies.size(), 1u);
    EXPECT_EQ(o.bodies[0], (BodyMarker{p.state.LastPixX[1], p.state.LastPixY[1]}));
    ASSERT_EQ(o.covered.size(), 1u);
    EXPECT_EQ(std::pair(o.covered[0].x, o.covered[0].y), std::pair(old.x, old.y));
    p.logic.Clear(false);  // the markers parked in the corner, shown as the background there
    o = BuildOverlay(p.logic, options, RateMeter());
    EXPECT_EQ(o.bodies.size(), 5u);
    ASSERT_EQ(o.covered.size(), 5u);
    for (const CoveredMarker& c : o.covered) EXPECT_EQ(std::pair(c.x, c.y), std::pair(0, 0));
    // The first parked there saved the background; the others, its black, which stays as is.
    EXPECT_EQ(o.covered[0].under[4], 0x00EFEFEF);
}

TEST(Overlay, ARotatingFrameWithoutBothItsBodiesIsTheViewBodysAndSaysSo) {
    Program p;
    p.logic.View().SetFrame({FrameKind::Rotating, 2, 7});  // body 7 takes no part
    EXPECT_EQ(BuildOverlay(p.logic, {}, RateMeter()).readout[6].text, u"Вид: Тело 1");
    p.params.SetBodyState(7, 1);
    EXPECT_EQ(BuildOverlay(p.logic, {}, RateMeter()).readout[6].text,
              u"Вид: вращается с линией Тело 2–Тело 7");
}

// Labels of 20 × 10 pixels by markers of 3 × 3 on a picture of 200 × 100.
TEST(LabelPlacement, FirstFreePlaceAroundTheMarkerThenALeaderNeverOverAnother) {
    struct Row {
        const char* what;
        std::vector<LabelToPlace> labels;
        std::vector<PixelRect> boxes;  // expected, the last label's; empty: not shown
        bool leader;
    };
    auto at = [](int x, int y) { return LabelToPlace{x, y, 20, 10}; };
    const Row rows[] = {
        {"alone: right of the marker", {at(50, 50)}, {{55, 45, 75, 55}}, false},
        {"the right edge: left", {at(190, 50)}, {{165, 45, 185, 55}}, false},
        // The first label goes above (markers to either side), the fourth below it.
        {"markers on both sides, a label above: below",
         {at(50, 50), at(74, 50), at(26, 50), at(50, 50)},
         {{40, 55, 60, 65}},
         false},
        {"the top right corner: below", {at(190, 2)}, {{180, 7, 200, 17}}, false},
        {"crowded: further out with a leader",
         {at(50, 50), at(50, 50), at(50, 50), at(50, 50), at(50, 50)},
         {{40, 23, 60, 33}},
         true},
        {"no room at all", {LabelToPlace{100, 50, 210, 10}}, {}, false},
    };
    for (const Row& r : rows) {
        const std::vector<PlacedLabel> placed = PlaceLabels(r.labels, 3, 200, 100);
        const PlacedLabel& last = placed.back();
        EXPECT_EQ(last.shown, !r.boxes.empty()) << r.what;
        if (r.boxes.empty()) continue;
        const PixelRect e = r.boxes[0];
        EXPECT_EQ(std::tuple(last.box.left, last.box.top, last.box.right, last.box.bottom),
                  std::tuple(e.left, e.top, e.right, e.bottom))
            << r.what;
        EXPECT_EQ(last.leader, r.leader) << r.what;
    }
    // Eleven bodies a few pixels apart: every label shown lies over no other and no marker.
    std::vector<LabelToPlace> pile;
    for (int b = 0; b < 11; ++b) pile.push_back(at(100 + (b % 4) * 3, 50 + b / 4 * 3));
    const std::vector<PlacedLabel> placed = PlaceLabels(pile, 3, 200, 100);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        ASSERT_TRUE(placed[i].shown) << i;
        for (std::size_t j = 0; j < placed.size(); ++j) {
            const PixelRect marker{pile[j].x - 1, pile[j].y - 1, pile[j].x + 2, pile[j].y + 2};
            EXPECT_FALSE(placed[i].box.Overlaps(marker)) << i << " over marker " << j;
            if (j != i) {
                EXPECT_FALSE(placed[i].box.Overlaps(placed[j].box)) << i << ", " << j;
            }
        }
    }
}

}  // namespace
}  // namespace orbimo
