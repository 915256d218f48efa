// The layers over the picture as texts and positions: readout, labels, legend, scale bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "mainwindow/Overlay.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

// The time bar on a 1280 px window whose buttons end at 1266 and start at 674: the handle's
// centre runs from 430 to 1262, dates linear between the record's ends and clamped beyond.
TEST(TimeBar, DatesAlongTheBarAndBack) {
    TimeBar bar;
    bar.Place(1280, 1266, 674);
    const double first = 1000, last = 1000 + 832 * 60.0;  // a minute a column
    const std::tuple<int, double> rows[] = {{430, first},      {1262, last},
                                            {431, first + 60}, {846, first + 416 * 60},
                                            {0, first},        {1400, last}};
    for (const auto& [x, date] : rows) {
        EXPECT_DOUBLE_EQ(bar.DateAt(x, first, last), date) << x;
        EXPECT_EQ(bar.ColumnOf(date, first, last), std::clamp(x, 430, 1262)) << x;
    }
    EXPECT_EQ(bar.Layer(last, first, last, u""), (TimeBarLayer{426, 658, 840, 6, 1262, u""}));
    const std::tuple<Pixel, bool> hits[] = {{{426, 661}, true},  {{420, 652}, true},
                                            {{419, 661}, false}, {{800, 670}, true},
                                            {{800, 671}, false}, {{1272, 664}, true}};
    for (const auto& [p, hit] : hits) EXPECT_EQ(bar.Hit(p), hit) << p.x << "," << p.y;
}

// A fifth of the width rounded to 1, 2 or 5 × 10ⁿ, worked out by hand.
TEST(ScaleBar, ARoundLengthAboutAFifthOfTheWidth) {
    const std::tuple<double, int, std::optional<ScaleBar>> rows[] = {
        {7.5e8, 1280, ScaleBar{199, u"1 а. е."}},    // 50 000 000 m/twip: 1,28 а. е. → 1
        {4.5e7, 1920, ScaleBar{444, u"20 млн км"}},  // 17,3 million km → 20
        {3e8, 1000, ScaleBar{167, u"50 млн км"}},    // 6E+10 m is still below half an а. е.
        {1, 1000, ScaleBar{200, u"200 м"}},
        {1e6, 1750, ScaleBar{500, u"500 000 км"}},  // 350 000 km: 3,5 rounds up to 5
        {0, 1920, std::nullopt},
        {std::nan(""), 1920, std::nullopt}};
    for (const auto& [metresPerPixel, width, bar] : rows)
        EXPECT_EQ(ScaleBarFor(metresPerPixel, width), bar) << metresPerPixel;
}

TEST(ScaleBar, SimulatedTimePerSecondInTheUnitThatSuitsIt) {
    const std::pair<double, std::u16string> rows[] = {
        {0, u"0 с/с"},        {30, u"30,0 с/с"},      {90, u"1,50 мин/с"},
        {84600, u"23,5 ч/с"}, {86400, u"1,00 сут/с"}, {3.15576e8, u"10,0 лет/с"}};
    for (const auto& [v, text] : rows) EXPECT_EQ(SimRateText(v), text) << v;
}

TEST(Readout, TellsTheDateStatePaceRatesDriftAndView) {
    // The stop date, the dispatch that presses "Стоп" (0: none), the Sun's mass, the state lines.
    const std::tuple<std::u16string, long, std::u16string, std::u16string, std::u16string> rows[] =
        {{u"", 5, u"1,989685296E+30", u"идёт (без даты остановки)", u"остановлен"},
         {u"01.01.1900 10:00:00", 0, u"1,989685296E+30", u"идёт", u"остановлен по таймеру"},
         {u"", 0, u"1E300", u"идёт (без даты остановки)", u"остановлен: ошибка расчёта"}};
    for (const auto& [timer, stopAt, sunMass, during, after] : rows) {
        Program p;
        RateMeter rates;
        const std::vector<ReadoutLine> idle = BuildOverlay(p.logic, {}, rates).readout;
        EXPECT_EQ(idle[1].text, u"остановлен");
        EXPECT_EQ(idle[5].text, u"Дрейф энергии: —");
        p.params.stopDate.text = timer;
        p.params.bodies[1].mass.text = sunMass;
        p.Run([&](long n) {
            p.toolkit.now = n;  // a tick per fake second
            rates.Sample(p.toolkit.now, p.logic);
            if (n == 4) {
                const std::vector<ReadoutLine> l = BuildOverlay(p.logic, {}, rates).readout;
                EXPECT_EQ(std::tuple(l[1].text, l[3].text, l[4].text),
                          std::tuple(during, u"Тактов в секунду: 1", u"Модельное время: 1,00 ч/с"));
            }
            if (n == stopAt || n == 1000) p.logic.Click(0);
        });
        const std::vector<ReadoutLine> l = BuildOverlay(p.logic, {}, rates).readout;
        EXPECT_EQ(
            std::tuple(l[0].text, l[1].text, l[2].text, l[6].text),
            std::tuple(p.params.simDate.text, after, u"Скорость: без ограничения", u"Вид: Тело 1"));
    }
}

// Projector mode during a run: every body taking part, the last slot's too, drawn larger where
// its marker stands.
TEST(Overlay, ThickMarkersOfEveryBodyDuringARun) {
    Program p;
    for (int b = 1; b <= kBodies; ++b) p.params.SetBodyState(b, b == 4 ? 0 : 1);
    OverlayOptions options;
    options.readout = false, options.markerSize = 7;
    std::vector<BodyMarker> expected, drawn;
    p.Run([&](long d) {
        if (d != 3) return;
        for (int b = 1; b <= kBodies; ++b)
            if (b != 4)
                expected.push_back(
                    {p.state.MarkerStore[11 * b - 10], p.state.MarkerStore[11 * b - 9]});
        drawn = BuildOverlay(p.logic, options, RateMeter()).bodies;
        p.logic.Click(0);
    });
    EXPECT_EQ(drawn, expected);
}

TEST(Readout, LabelsByTheMarkersOfBodiesTakingPartLegendOfTheTickedBoxes) {
    Program p;
    p.params.bodies[2].caption = u"Меркурий";
    p.RunUntilDispatch(3);
    p.params.SetBodyState(3, 0);  // no longer drawn: no label, not in the legend
    std::vector<BodyLabel> labels;
    std::vector<LegendEntry> legend;
    for (const int b : {1, 2, 4, 5}) {
        const std::u16string name = b == 2 ? u"Меркурий" : u"Тело " + std::u16string(1, u'0' + b);
        labels.push_back({p.state.LastPixX[b], p.state.LastPixY[b], name, kTraceColours[b]});
        legend.push_back({name, kTraceColours[b]});
    }
    OverlayOptions options;
    options.readout = false, options.labels = true;
    const Overlay o = BuildOverlay(p.logic, options, RateMeter());
    EXPECT_EQ(o.labels, labels);
    EXPECT_EQ(o.legend, legend);
    EXPECT_TRUE(o.readout.empty());
    p.logic.Clear(false);  // the markers wait in the corner: no labels there
    EXPECT_TRUE(BuildOverlay(p.logic, options, RateMeter()).labels.empty());
}

}  // namespace
}  // namespace orbimo
