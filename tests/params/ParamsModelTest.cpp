#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "convert/NumberText.h"
#include "fakes/FakeToolkit.h"
#include "params/ParamsModel.h"

namespace orbimo {
namespace {

constexpr FieldRef kZoom{FieldKind::Zoom};
constexpr FieldRef kTimer{FieldKind::Timer};
using Texts = std::vector<std::u16string>;

struct ParamsModelTest : ::testing::Test {
    ParamsModelTest() {
        model.clearPlot = [this] { ++clears; };
        model.changed = [this] { ++notices; };
    }
    SimState state;
    testing::FakeToolkit toolkit;
    ParamsModel model{state, toolkit};
    int clears = 0, notices = 0;
};

TEST_F(ParamsModelTest, CreationGivesTheContentOfPart4_1AndLeavesSimStateAlone) {
    const char16_t* captions[] = {u"Тело 1", u"Тело 2", u"Тело 3", u"Тело 4", u"Тело 5", u"Тело 6",
                                  u"Тело 7", u"Тело 8", u"Тело 9", u"Тело10", u"Тело11"};
    for (int k = 1; k <= kBodies; ++k) {
        const BodyRow& row = model.bodies[k];
        EXPECT_EQ(row.caption, captions[k - 1]);
        EXPECT_EQ(row.state, k <= 5 ? 1 : 0);
        EXPECT_EQ(row.captionColour, kTraceColours[k]);
        for (const TextField* f : {&row.mass, &row.x, &row.y, &row.vx, &row.vy})
            EXPECT_EQ(f->text, u"0");
        EXPECT_EQ(state.BodyOn[k], 0);
    }
    EXPECT_EQ(model.bodies[1].optionColour, 0x00008080u);   // 128, 128, 0
    EXPECT_EQ(model.bodies[11].optionColour, 0x00400000u);  // 0, 0, 64
    EXPECT_EQ(model.viewOption, 0);
    EXPECT_FALSE(model.txtdLong.enabled);
    EXPECT_TRUE(model.txtdTime.enabled);
    EXPECT_EQ(model.txtTimer.text, u"0");
    EXPECT_EQ(model.zoomText, u"");
    ASSERT_EQ(model.zoomPresets, ScalePresets());
    ASSERT_EQ(ScalePresets().size(), 17u);
    for (const auto& p : ScalePresets()) EXPECT_EQ(p.size(), 14u);
    EXPECT_EQ(ЧислоИзТекста(ScalePresets().front()), 50000.0);
    EXPECT_EQ(ЧислоИзТекста(ScalePresets().back()), 1500000000.0);
}

TEST_F(ParamsModelTest, FocusLeavingANumberFieldNormalisesIt) {
    const FieldRef x3{FieldKind::X, 3};
    model.SetText(x3, u"1.5e11");
    EXPECT_TRUE(model.FocusLeaves(x3));
    EXPECT_EQ(model.Text(x3), u"1,5e11");
    model.SetText({FieldKind::dLong}, u"abc");
    EXPECT_TRUE(model.FocusLeaves({FieldKind::dLong}));
    EXPECT_EQ(model.txtdLong.text, u"0");
    EXPECT_TRUE(toolkit.messages.empty());
}

TEST_F(ParamsModelTest, ScaleCheckRefusesScalesNotGreaterThanZero) {
    for (const char16_t* text : {u"0", u"-5", u"", u"abc", u"   ", u"1E400", u"1 500 000 000"}) {
        const bool refused = text != std::u16string_view(u"1 500 000 000");
        toolkit.messages.clear();
        model.SetText(kZoom, text);
        EXPECT_EQ(model.FocusLeaves(kZoom), !refused);  // false: the focus goes back to the field
        EXPECT_EQ(toolkit.messages, refused ? Texts{u"Масштаб должен быть больше нуля"} : Texts{});
        EXPECT_EQ(model.zoomText, text);
    }
}

TEST_F(ParamsModelTest, StopTimeIsRewrittenInStandardForm) {
    const std::u16string cases[][3] = {// typed, shown, message
                                       {u"", u"01.01.1900", u""},
                                       {u"15/03/2000", u"15.03.2000", u""},
                                       {u"15-03-2000", u"15.03.2000", u""},
                                       {u"15,03,2000", u"01.01.1900", u"Неверная дата! 15,03"}};
    for (const auto& [typed, shown, message] : cases) {
        toolkit.messages.clear();
        model.SetText(kTimer, typed);
        EXPECT_TRUE(model.FocusLeaves(kTimer));
        EXPECT_EQ(model.txtTimer.text, shown);
        EXPECT_EQ(toolkit.messages, message.empty() ? Texts{} : Texts{message});
    }
}

TEST_F(ParamsModelTest, PointTypedIntoADateFieldBecomesAComma) {
    EXPECT_EQ(ParamsModel::Typed(kTimer, u'.'), u',');
    EXPECT_EQ(ParamsModel::Typed({FieldKind::Time}, u'.'), u',');
    EXPECT_EQ(ParamsModel::Typed(kTimer, u'5'), u'5');
    EXPECT_EQ(ParamsModel::Typed({FieldKind::Mass, 1}, u'.'), u'.');
    EXPECT_EQ(ParamsModel::Typed(kZoom, u'.'), u'.');
}

TEST_F(ParamsModelTest, BodyOnFollowsStateChangesOnly) {
    model.SetBodyState(1, 1);  // ticked since creation: no change, so BodyOn stays 0
    EXPECT_EQ(state.BodyOn[1], 0);
    // state set → BodyOn; greyed (2) is not on; 7 is no check-box state and is ignored
    const std::pair<int, int> steps[] = {{0, 0}, {1, 1}, {2, 0}, {1, 1}, {7, 1}};
    for (auto [newState, bodyOn] : steps) {
        model.SetBodyState(5, newState);
        EXPECT_EQ(state.BodyOn[5], bodyOn) << "state " << newState;
    }
    state.BodyOn[5] = 0;
    model.SetBodyState(5, 1);  // same state again: nothing happens
    EXPECT_EQ(state.BodyOn[5], 0);
    model.SetBodyState(12, 1);  // no such body: ignored
    EXPECT_EQ(clears, 0);
}

TEST_F(ParamsModelTest, ViewSelectionClearsOncePerChange) {
    const std::pair<int, int> steps[] = {{3, 1}, {3, 1}, {0, 2}, {12, 2}, {-1, 2}, {11, 3}};
    for (auto [k, clearsSoFar] : steps) {
        model.SelectView(k);
        EXPECT_EQ(clears, clearsSoFar) << "option " << k;
    }
    EXPECT_EQ(model.viewOption, 11);
    EXPECT_EQ(state.ViewBody, 11);
}

TEST_F(ParamsModelTest, ActivationSelectsTheViewBody) {
    state.ViewBody = 1;  // no state file: "Вид" selected, ViewBody 1
    model.Activate();
    EXPECT_EQ(model.viewOption, 1);
    EXPECT_EQ(clears, 1);
    model.Activate();  // selection matches: no clear
    EXPECT_EQ(clears, 1);
    state.ViewBody = 40;  // damaged file: nothing new selected, no failure
    model.Activate();
    EXPECT_EQ(model.viewOption, 1);
    EXPECT_EQ(state.ViewBody, 40);
    EXPECT_EQ(clears, 1);
}

// Values, not texts, are compared; unreadable scale text counts as 0.
TEST_F(ParamsModelTest, DeactivationClearsOnlyOnAChangeOfValue) {
    const std::tuple<std::u16string, std::u16string, int> steps[] = {
        {u"50 000 000", u"50 000 000", 0},
        {u"50000000", u" 50 000 000", 0},
        {u"50 000 000", u"60 000 000", 1},
        {u"", u"0", 0},
        {u"abc", u"xyz", 0},
        {u"abc", u"0", 0},
        {u"abc", u"5", 1},
        {u"1E400", u"1", 1}};
    for (const auto& [atActivation, atDeactivation, clearsExpected] : steps) {
        clears = 0;
        model.SetText(kZoom, atActivation);
        model.Activate();
        model.SetText(kZoom, atDeactivation);
        model.Deactivate();
        EXPECT_EQ(clears, clearsExpected);
    }
}

TEST_F(ParamsModelTest, StepLengthBoxEnablesExactlyOneStepField) {
    for (int s : {1, 0, 2, 0}) {
        model.SetStepLong(s);
        EXPECT_EQ(model.txtdLong.enabled, s != 0);
        EXPECT_EQ(model.txtdTime.enabled, s == 0);
    }
}

TEST_F(ParamsModelTest, OnlyRealChangesAreAnnounced) {
    model.SetText(kZoom, u"5");
    model.SetText(kZoom, u"5");
    model.SetStepLong(0);
    EXPECT_EQ(notices, 1);
}

}  // namespace
}  // namespace orbimo
