// The layers over the picture as texts and positions: readout, labels, legend, scale bar.
#include <gtest/gtest.h>

#include <cmath>

#include "mainwindow/Overlay.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

// A fifth of the width rounded to 1, 2 or 5 × 10ⁿ, worked out by hand.
TEST(ScaleBar, ARoundLengthAboutAFifthOfTheWidth) {
    const std::tuple<double, int, int, std::u16string> rows[] = {
        {7.5e8, 1280, 199, u"1 а. е."},    // 50 000 000 m/twip: 1,28 а. е. → 1
        {4.5e7, 1920, 444, u"20 млн км"},  // 17,3 million km → 20
        {3e8, 1000, 167, u"50 млн км"},    // 6E+10 m is still below half an а. е.
        {1, 1000, 200, u"200 м"},
        {1e6, 1750, 500, u"500 000 км"},  // 350 000 km: 3,5 rounds up to 5
        {0, 1920, 0, u""},
        {std::nan(""), 1920, 0, u""}};
    for (const auto& [metresPerPixel, width, pixels, text] : rows) {
        const std::optional<ScaleBar> bar = ScaleBarFor(metresPerPixel, width);
        EXPECT_EQ(bar ? std::pair(bar->pixels, bar->text) : std::pair(0, std::u16string()),
                  std::pair(pixels, text))
            << metresPerPixel;
    }
}

TEST(ScaleBar, SimulatedTimePerSecondInTheUnitThatSuitsIt) {
    const std::pair<double, std::u16string> rows[] = {
        {0, u"0 с/с"},        {30, u"30,0 с/с"},      {90, u"1,50 мин/с"},
        {84600, u"23,5 ч/с"}, {86400, u"1,00 сут/с"}, {3.15576e8, u"10,0 лет/с"}};
    for (const auto& [v, text] : rows) EXPECT_EQ(SimRateText(v), text) << v;
}

std::vector<std::u16string> Lines(const Overlay& o) {
    std::vector<std::u16string> t;
    for (const ReadoutLine& l : o.readout) t.push_back(l.text);
    return t;
}

// The state line after each way a run can end; the clock, the pace and the view always.
TEST(Readout, TellsTheDateStatePaceRatesDriftAndView) {
    // The stop date, the dispatch that presses "Стоп" (0: none), the Sun's mass, the state lines.
    const std::tuple<std::u16string, long, std::u16string, std::u16string, std::u16string> rows[] =
        {{u"", 5, u"1,989685296E+30", u"идёт (без даты остановки)", u"остановлен"},
         {u"01.01.1900 10:00:00", 0, u"1,989685296E+30", u"идёт", u"остановлен по таймеру"},
         {u"", 0, u"1E300", u"идёт (без даты остановки)", u"остановлен: ошибка расчёта"}};
    for (const auto& [timer, stopAt, sunMass, during, after] : rows) {
        Program p;
        RateMeter rates;
        const std::vector<std::u16string> idle = Lines(BuildOverlay(p.logic, {}, rates));
        EXPECT_EQ(idle[1], u"остановлен");
        EXPECT_EQ(idle[5], u"Дрейф энергии: —");
        p.params.txtTimer.text = timer;
        p.params.bodies[1].mass.text = sunMass;
        p.logic.SetPace(0);
        std::vector<std::u16string> at4;
        p.toolkit.onDispatch = [&](long n) {
            p.toolkit.now = n;  // a tick per fake second
            rates.Sample(p.toolkit.now, p.logic);
            if (n == 4) at4 = Lines(BuildOverlay(p.logic, {}, rates));
            if (n == stopAt || n == 1000) p.logic.Click(0);
        };
        p.logic.Click(0);
        if (!at4.empty()) {  // no tick before the fault
            EXPECT_EQ(std::vector(at4.begin() + 1, at4.begin() + 5),
                      (std::vector<std::u16string>{during, u"Скорость: без ограничения",
                                                   u"Тактов в секунду: 1",
                                                   u"Модельное время: 1,00 ч/с"}));
        }
        const std::vector<std::u16string> end = Lines(BuildOverlay(p.logic, {}, rates));
        EXPECT_EQ(std::vector(end.begin(), end.begin() + 2),
                  (std::vector<std::u16string>{p.params.txtTime.text, after}));
        EXPECT_EQ(end[6], u"Вид: Тело 1");
    }
}

TEST(Readout, LabelsByTheMarkersOfBodiesTakingPartLegendOfTheTickedBoxes) {
    Program p;
    p.params.bodies[2].caption = u"Меркурий";
    p.RunUntilDispatch(3);
    p.params.SetBodyState(3, 0);  // no longer drawn: no label, not in the legend
    const OverlayOptions labels{.readout = false, .labels = true};
    const Overlay o = BuildOverlay(p.logic, labels, RateMeter());
    const std::vector<std::u16string> shown{u"Тело 1", u"Меркурий", u"Тело 4", u"Тело 5"};
    std::vector<std::u16string> legend, named;
    for (const LegendEntry& e : o.legend) legend.push_back(e.text);
    for (const BodyLabel& l : o.labels) {
        named.push_back(l.text);
        const int b = l.text == u"Меркурий" ? 2 : l.text[5] - u'0';
        EXPECT_EQ(std::tuple(l.x, l.y, l.colour),
                  std::tuple(p.state.LastPixX[b], p.state.LastPixY[b], kTraceColours[b]));
    }
    EXPECT_EQ(legend, shown);
    EXPECT_EQ(named, shown);
    EXPECT_TRUE(o.readout.empty());
    p.logic.Очистить(false);  // the markers wait in the corner: no labels there
    EXPECT_TRUE(BuildOverlay(p.logic, labels, RateMeter()).labels.empty());
}

}  // namespace
}  // namespace orbimo
