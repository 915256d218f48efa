// The layers over the picture as texts and positions: readout, labels, legend, scale bar.
#include <gtest/gtest.h>

#include <cmath>

#include "mainwindow/Overlay.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

// Lengths worked out by hand: the target is a fifth of the width, rounded to 1, 2 or 5 × 10ⁿ.
TEST(ScaleBar, ARoundLengthAboutAFifthOfTheWidth) {
    struct Row {
        double metresPerPixel;
        int width;
        int pixels;
        std::u16string text;
    };
    const Row rows[] = {
        {7.5e8, 1920, 399, u"2 а. е."},     // 50 000 000 m/twip: 1,93 а. е. → 2
        {7.5e8, 1280, 199, u"1 а. е."},     // 1,28 а. е. → 1
        {7.5e5, 1920, 267, u"200 000 км"},  // 50 000 m/twip: 288 000 km → 200 000
        {4.5e7, 1920, 444, u"20 млн км"},   // 17,3 million km → 20
        {3e8, 1000, 167, u"50 млн км"},     // 6E+10 m is still below half an а. е.
        {1, 1000, 200, u"200 м"},
        {1e6, 1750, 500, u"500 000 км"},  // 350 000 km: 3,5 rounds up to 5
        {0, 1920, 0, u""},
        {std::nan(""), 1920, 0, u""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.metresPerPixel);
        const std::optional<ScaleBar> bar = ScaleBarFor(r.metresPerPixel, r.width);
        ASSERT_EQ(bar.has_value(), r.pixels > 0);
        if (!bar) continue;
        EXPECT_EQ(bar->pixels, r.pixels);
        EXPECT_EQ(bar->text, r.text);
    }
}

TEST(ScaleBar, SimulatedTimePerSecondInTheUnitThatSuitsIt) {
    const std::pair<double, std::u16string> rows[] = {
        {0, u"0 с/с"},        {30, u"30,0 с/с"},      {90, u"1,50 мин/с"},
        {84600, u"23,5 ч/с"}, {86400, u"1,00 сут/с"}, {3.15576e8, u"10,0 лет/с"}};
    for (const auto& [v, text] : rows) EXPECT_EQ(SimRateText(v), text) << v;
}

using Program = testing::StartedProgram;

std::vector<std::u16string> Lines(const Overlay& o) {
    std::vector<std::u16string> t;
    for (const ReadoutLine& l : o.readout) t.push_back(l.text);
    return t;
}

// The state line after each way a run can end; the clock, the pace and the view always.
TEST(Readout, TellsTheDateStatePaceRatesDriftAndView) {
    struct Row {
        std::u16string timer;
        long stopAt;  // dispatch that presses "Стоп"; 0 runs to the stop date or a fault
        std::u16string sunMass;
        std::u16string during, after;
    };
    const Row rows[] = {
        {u"", 5, u"1,989685296E+30", u"идёт (без даты остановки)", u"остановлен"},
        {u"01.01.1900 10:00:00", 0, u"1,989685296E+30", u"идёт", u"остановлен по таймеру"},
        {u"", 0, u"1E300", u"идёт (без даты остановки)", u"остановлен: ошибка расчёта"},
    };
    for (const Row& r : rows) {
        Program p;
        RateMeter rates;
        const std::vector<std::u16string> idle = Lines(BuildOverlay(p.logic, {}, rates));
        EXPECT_EQ(idle[1], u"остановлен");
        EXPECT_EQ(idle[5], u"Дрейф энергии: —");
        p.params.txtTimer.text = r.timer;
        p.params.bodies[1].mass.text = r.sunMass;
        p.logic.SetPace(0);
        std::vector<std::u16string> during;
        p.toolkit.onDispatch = [&](long n) {
            p.toolkit.now = n;  // a tick per fake second
            rates.Sample(p.toolkit.now, p.logic);
            if (n == 4) during = Lines(BuildOverlay(p.logic, {}, rates));
            if (n == r.stopAt || n == 1000) p.logic.Click(0);
        };
        p.logic.Click(0);
        if (!during.empty()) {
            EXPECT_EQ(during[1], r.during);
            EXPECT_EQ(during[3], u"Тактов в секунду: 1");
            EXPECT_EQ(during[4], u"Модельное время: 1,00 ч/с");
        }
        const std::vector<std::u16string> after = Lines(BuildOverlay(p.logic, {}, rates));
        EXPECT_EQ(after[0], p.params.txtTime.text);
        EXPECT_EQ(after[1], r.after);
        EXPECT_EQ(after[2], u"Скорость: без ограничения");
        EXPECT_EQ(after[6], u"Вид: Тело 1");
    }
}

TEST(Readout, LabelsByTheMarkersOfBodiesTakingPartLegendOfTheTickedBoxes) {
    Program p;
    p.params.bodies[2].caption = u"Меркурий";
    p.RunUntilDispatch(3);
    p.params.SetBodyState(3, 0);  // no longer drawn: no label, not in the legend
    OverlayOptions labels;
    labels.readout = false;
    labels.labels = true;
    const Overlay o = BuildOverlay(p.logic, labels, RateMeter());
    std::vector<std::u16string> legend, named;
    for (const LegendEntry& e : o.legend) legend.push_back(e.text);
    EXPECT_EQ(legend, (std::vector<std::u16string>{u"Тело 1", u"Меркурий", u"Тело 4", u"Тело 5"}));
    for (const BodyLabel& l : o.labels) {
        named.push_back(l.text);
        const int b = l.text == u"Меркурий" ? 2 : l.text[5] - u'0';
        EXPECT_EQ(std::pair(l.x, l.y), std::pair(p.state.LastPixX[b], p.state.LastPixY[b]));
        EXPECT_EQ(l.colour, kTraceColours[static_cast<std::size_t>(b)]);
    }
    EXPECT_EQ(named, (std::vector<std::u16string>{u"Тело 1", u"Меркурий", u"Тело 4", u"Тело 5"}));
    // After a clear the markers wait in the corner: no labels there.
    p.logic.Очистить(false);
    EXPECT_TRUE(BuildOverlay(p.logic, labels, RateMeter()).labels.empty());
    EXPECT_TRUE(o.readout.empty());
}

}  // namespace
}  // namespace orbimo
