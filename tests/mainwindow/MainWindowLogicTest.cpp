#include <gtest/gtest.h>

#include <tuple>

#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

TEST(MainWindowLogic, StartUpLaysOutTheButtonsAndShowsTheBuiltInSystem) {
    Program p;
    for (int i = 0; i < 4; ++i)  // 1095 twips wide, in a row ending 200 twips from the edge
        EXPECT_EQ(std::pair(p.logic.Buttons()[i].left, p.logic.Buttons()[i].top),
                  std::pair(10780 + 1095.0 * i, 9345.0));
    EXPECT_EQ(std::pair(p.state.PixelOwner.LastColumn(), p.state.PixelOwner.LastRow()),
              std::pair(1023, 767));
    EXPECT_EQ(p.params.bodies[4].mass.text, u"5,976E+24");
    EXPECT_EQ(p.params.scaleText, u"50 000 000");
    EXPECT_TRUE(p.toolkit.messages.empty());
}

TEST(MainWindowLogic, StopDateEndsTheRunOnTheFirstTickAtOrPastIt) {
    Program p;
    p.params.stopDate.text = u"01.01.1900 10:00:00";
    p.logic.Click(0);
    EXPECT_EQ(p.state.SimTime, 36000.0);
    EXPECT_EQ(p.toolkit.dispatches, 9);  // no dispatch for the tick that reached it
    EXPECT_EQ(p.logic.Button0Caption(), u"Пуск");
    p.RunUntilDispatch(20);  // a stop date not later than the clock means none
    EXPECT_EQ(p.state.SimTime, 36000.0 + 11 * 3600.0);
}

TEST(MainWindowLogic, ViewChangedBetweenTicksTakesEffectAtOnce) {
    Program p;
    p.Run([&](long n) {
        if (n == 30) p.params.SelectView(4);
        if (n == 31) p.logic.Click(0);
    });
    EXPECT_EQ(std::pair(p.state.LastPixX[4], p.state.LastPixY[4]), std::pair(512, 288));
    EXPECT_EQ(p.surface.GetPixel(512, 288), kBlack);  // body 4's marker, at the view origin
}

TEST(MainWindowLogic, MarkerGoesWhereScaleAndViewPutItMirroredByANegativeScaleNeverPast32Bits) {
    // Body 2 alone, seen from the origin, y = 0: row 4320 / 15 = 288.
    using enum FieldKind;
    const FieldRef fields[] = {{Scale}, {X, 2}, {VX, 2}, {VY, 2}, {TimeStep}};
    const std::pair<std::array<std::u16string, 5>, int> cases[] = {
        {{u"-50 000 000", u"149597870000", u"0", u"0", u"3600"}, 312},  // (7680 - 2991,96) / 15
        // A pixel a tick from column 2147483645,5: one more would put a neighbour past 32 bits.
        {{u"1", u"32212247002,5", u"15", u"0", u"1"}, 2147483646}};
    for (const auto& [texts, column] : cases) {
        Program p;
        for (int b : {1, 3, 4, 5}) p.params.SetBodyState(b, 0);
        p.params.SelectView(0);
        for (int i = 0; i < 5; ++i) p.params.SetText(fields[i], texts[i]);
        p.RunUntilDispatch(3);
        EXPECT_EQ(std::pair(p.state.LastPixX[2], p.state.LastPixY[2]), std::pair(column, 288));
    }
}

TEST(MainWindowLogic, FieldsThatAreNotNumbersOrAZeroScaleRefuseTheRunAndChangeNothing) {
    const std::tuple<FieldRef, std::u16string, std::u16string> cases[] = {
        {{FieldKind::VX, 3}, u"12abc", u"«Тело 3», Скор.X: «12abc»"},
        {{FieldKind::Mass, 1}, u"1E400", u"«Тело 1», Масса"},
        {{FieldKind::TimeStep}, u"1,2,3", u"Шаг(с)"},
        {{FieldKind::Scale}, u"0", u"Масштаб должен быть больше нуля"}};
    for (const auto& [field, text, expectedInMessage] : cases) {
        Program p;
        p.params.SetText(field, text);
        const SimState before = p.state;
        p.RunUntilDispatch(1);  // a run wrongly started ends at once
        ASSERT_EQ(p.toolkit.messages.size(), 1u);
        EXPECT_NE(p.toolkit.messages[0].find(expectedInMessage), std::u16string::npos);
        EXPECT_EQ(p.logic.Button0Caption(), u"Пуск");
        EXPECT_EQ(std::tie(p.state.Mass, p.state.PosX, p.state.Zoom),
                  std::tie(before.Mass, before.PosX, before.Zoom));
    }
}

TEST(MainWindowLogic, ClearDuringARunKeepsRunningAndExitEndsAtOnce) {
    Program p;
    p.toolkit.onDispatch = [&](long n) {
        if (n == 10) {
            const auto x = p.state.LastPixX, y = p.state.LastPixY;
            p.logic.Click(2);
            EXPECT_EQ(std::pair(p.state.LastPixX, p.state.LastPixY), std::pair(x, y));  // kept
        }
        if (n == 20) p.logic.Click(3);
    };
    EXPECT_THROW(p.logic.Click(0), testing::ProgramEnded);
    EXPECT_EQ(p.state.SimTime, 20 * 3600.0);
}

}  // namespace
}  // namespace orbimo
