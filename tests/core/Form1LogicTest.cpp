#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "convert/NumberText.h"
#include "core/Form1Logic.h"
#include "fakes/FakeToolkit.h"
#include "platform/MemorySurface.h"

namespace orbimo {
namespace {

using testing::FakeToolkit;
using testing::ProgramEnded;

class NoFiles : public FileSystem {
  public:
    std::u16string ProgramFolder() const override { return u"/prog"; }
    std::vector<std::u16string> List(const std::u16string&, const std::u16string&,
                                     std::uint16_t) const override {
        return {};
    }
    std::optional<std::uint16_t> Attributes(const std::u16string&) const override { return {}; }
    std::optional<std::string> Read(const std::u16string&) const override { return {}; }
    WriteResult WriteAtomic(const std::u16string&, const std::string&) override { return {}; }
    bool CreateFolder(const std::u16string&) override { return true; }
};

class Screen1024 : public ScreenMetrics {
  public:
    ScreenInfo Screen() const override { return {15360, 11520, 15, 15}; }
};

struct Program {
    Program()
        : surface(1024, 768, 0x00C0C0C0),
          params(state, toolkit),
          logic(state, params, surface, toolkit, files, screen) {
        logic.Startup();
    }
    SimState state;
    FakeToolkit toolkit;
    NoFiles files;
    Screen1024 screen;
    MemorySurface surface;
    ParamsModel params;
    Form1Logic logic;
};

TEST(Form1Logic, StartUpLaysOutTheButtonsAndShowsTheBuiltInSystem) {
    Program p;
    const double lefts[4] = {10780, 11875, 12970, 14065};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p.logic.Buttons()[i].top, 9345);
        EXPECT_EQ(p.logic.Buttons()[i].left, lefts[i]);
    }
    EXPECT_EQ(p.state.PixelOwner.LastColumn(), 1023);
    EXPECT_EQ(p.state.PixelOwner.LastRow(), 767);
    EXPECT_EQ(p.state.OriginY, 11520 / 2.0 - 11520 / 8.0);
    EXPECT_EQ(p.state.BodyColor[4], 0x00FF8070u);
    EXPECT_EQ(p.params.bodies[4].mass.text, u"5,976E+24");
    EXPECT_EQ(p.params.bodies[4].vy.text, u"-29790");
    EXPECT_EQ(p.params.txtTime.text, u"01.01.1900");
    EXPECT_EQ(p.params.zoomText, u"50 000 000");
    EXPECT_EQ(p.logic.Button0Caption(), u"Пуск");
    EXPECT_TRUE(p.toolkit.messages.empty());
}

TEST(Form1Logic, StopDateEndsTheRunOnTheFirstTickAtOrPastIt) {
    Program p;
    p.params.txtTimer.text = u"01.01.1900 10:00:00";
    p.logic.Click(0);
    EXPECT_EQ(p.state.SimTime, 36000.0);
    EXPECT_EQ(p.toolkit.dispatches, 9);  // no dispatch for the tick that reached it
    EXPECT_EQ(p.params.txtTime.text, u"01.01.1900 10:00:00");
    EXPECT_EQ(p.logic.Button0Caption(), u"Пуск");

    // A stop date not later than the clock means no stop date.
    p.toolkit.onDispatch = [&](long n) {
        if (n == 20) p.logic.Click(0);
    };
    p.logic.Click(0);
    EXPECT_EQ(p.state.SimTime, 36000.0 + 11 * 3600.0);
}

TEST(Form1Logic, ClicksBetweenTicksAct) {
    struct Case {
        const char* name;
        int button;
        bool showsParams;
    };
    for (const Case& c : {Case{"second click on Стоп", 0, false}, Case{"Параметры", 1, true}}) {
        Program p;
        bool shown = false;
        p.logic.showParams = [&] { shown = true; };
        p.toolkit.onDispatch = [&](long n) {
            EXPECT_EQ(p.logic.Button0Caption(), u"Стоп");
            if (n == 3) p.logic.Click(c.button);
        };
        p.logic.Click(0);
        EXPECT_EQ(p.state.SimTime, 3 * 3600.0) << c.name;  // no tick after the click
        EXPECT_EQ(shown, c.showsParams) << c.name;
        EXPECT_EQ(p.state.StopRequested, 0);
        // The fields show the state at that tick, to the 15 digits of the text.
        EXPECT_EQ(p.params.bodies[4].x.text, ТекстЧисла(p.state.PosX[4])) << c.name;
        EXPECT_EQ(p.logic.Button0Caption(), u"Пуск");
    }
}

TEST(Form1Logic, BodySwitchedOffMidRunStopsMovingAndPulling) {
    Program p;
    double xAtSwitch = 0;
    p.toolkit.onDispatch = [&](long n) {
        if (n == 5) {
            p.params.SetBodyState(5, 0);
            xAtSwitch = p.state.PosX[5];
        }
        if (n == 50) p.logic.Click(0);
    };
    p.logic.Click(0);
    EXPECT_EQ(p.state.PosX[5], xAtSwitch);
    EXPECT_EQ(p.state.BodyOn[5], 0);
}

TEST(Form1Logic, ViewChangeMidRunClearsAndRecentres) {
    Program p;
    p.toolkit.onDispatch = [&](long n) {
        if (n == 30) p.params.SelectView(4);
        if (n == 31) p.logic.Click(0);
    };
    p.logic.Click(0);
    EXPECT_EQ(p.state.ViewBody, 4);
    // Body 4 now sits at the view origin; its pixel is the centre.
    EXPECT_EQ(p.state.LastPixX[4], 512);
    EXPECT_EQ(p.state.LastPixY[4], 288);
    EXPECT_EQ(p.surface.GetPixel(512, 288), kBlack);
}

TEST(Form1Logic, FieldsThatAreNotNumbersRefuseTheRunAndChangeNothing) {
    struct Case {
        const char* name;
        void (*edit)(ParamsModel&);
        std::u16string expectedInMessage;
    };
    const Case cases[] = {
        {"letters", [](ParamsModel& m) { m.bodies[3].vx.text = u"12abc"; }, u"«Тело 3», Скор.X"},
        {"beyond the double range", [](ParamsModel& m) { m.bodies[1].mass.text = u"1E400"; },
         u"«Тело 1», Масса"},
        {"step", [](ParamsModel& m) { m.txtdTime.text = u"1,2,3"; }, u"Шаг(с)"},
        {"scale zero", [](ParamsModel& m) { m.zoomText = u"0"; },
         u"Масштаб должен быть больше нуля"},
        {"scale negative", [](ParamsModel& m) { m.zoomText = u"-5"; },
         u"Масштаб должен быть больше нуля"},
    };
    for (const Case& c : cases) {
        Program p;
        c.edit(p.params);
        const SimState before = p.state;
        p.logic.Click(0);
        ASSERT_EQ(p.toolkit.messages.size(), 1u) << c.name;
        EXPECT_NE(p.toolkit.messages[0].find(c.expectedInMessage), std::u16string::npos) << c.name;
        EXPECT_EQ(p.toolkit.dispatches, 0) << c.name;
        EXPECT_EQ(p.logic.Button0Caption(), u"Пуск") << c.name;
        EXPECT_EQ(p.state.Mass, before.Mass) << c.name;
        EXPECT_EQ(p.state.PosX, before.PosX) << c.name;
        EXPECT_EQ(p.state.BodyOn, before.BodyOn) << c.name;
    }
}

TEST(Form1Logic, ArithmeticFaultEndsTheRunWithTheLastGoodState) {
    Program p;
    // Step-length mode with every body at rest: the step cannot be derived.
    for (int b = 1; b <= kBodies; ++b) p.params.bodies[b].vy.text = u"0";
    p.params.SetStepLong(1);
    p.params.txtdLong.text = u"1000000";
    p.logic.Click(0);
    ASSERT_EQ(p.toolkit.messages.size(), 1u);
    EXPECT_NE(p.toolkit.messages[0].find(u"Расчёт остановлен"), std::u16string::npos);
    EXPECT_EQ(p.params.txtdTime.text, u"3600");
    EXPECT_EQ(p.params.bodies[4].x.text, u"149597870000");
    EXPECT_EQ(p.logic.Button0Caption(), u"Пуск");
}

TEST(Form1Logic, ClearDuringARunKeepsRunningAndExitEndsAtOnce) {
    Program p;
    p.toolkit.onDispatch = [&](long n) {
        if (n == 10) p.logic.Click(2);
        if (n == 20) p.logic.Click(3);
    };
    EXPECT_THROW(p.logic.Click(0), ProgramEnded);
    EXPECT_EQ(p.state.SimTime, 20 * 3600.0);
}

}  // namespace
}  // namespace orbimo
