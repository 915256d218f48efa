#include <gtest/gtest.h>

#include <tuple>

#include "files/TestWindow.h"

namespace orbimo {
namespace {

constexpr FieldRef kZoom{FieldKind::Scale};
constexpr FieldRef kTimer{FieldKind::StopDate};
using Texts = std::vector<std::u16string>;

// Blanks, tabs and line feeds are skipped, D is an exponent; beyond the range the text stays.
TEST(NormalizeNumber, ZeroForALeadingZeroOtherwiseOnlyThePointChanges) {
    // clang-format off
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"", u"0"}, {u"abc", u"0"}, {u"0,000", u"0"}, {u"0x5", u"0"},
        {u" \t-\n0 5", u" \t-\n0 5"}, {u"0 D 7", u"0"}, {u"+-5", u"0"}, {u"\r5", u"0"},
        {u"0E99999999999999999999", u"0"}, {u"12abc", u"12abc"}, {u"00012", u"00012"},
        {u"5,976E+24", u"5,976E+24"}, {u"5E", u"5E"}, {u"1E400", u"1E400"},
        {u"1e-400", u"1e-400"}, {u".5", u",5"}, {u"1.5e11", u"1,5e11"}, {u"1.000,5", u"1,000,5"}};
    // clang-format on
    for (const auto& [before, after] : cases)
        EXPECT_EQ(ParamsModel::NormalizeNumber(before), after) << ::testing::PrintToString(before);
}

struct ParamsModelTest : ::testing::Test, testing::TestWindow {};

// A scale not above zero is kept, reported, and keeps the focus; the stop date is rewritten.
TEST_F(ParamsModelTest, LeavingTheScaleOrTheStopDateChecksIt) {
    const std::u16string scale = u"Масштаб должен быть больше нуля";
    // clang-format off
    const std::tuple<FieldRef, std::u16string, std::u16string, std::u16string> cases[] = {
        {kZoom, u"-5", u"-5", scale}, {kZoom, u"", u"", scale},
        {kZoom, u"1 500 000 000", u"1 500 000 000", u""},
        {kTimer, u"", u"01.01.1900", u""}, {kTimer, u"15/03/2000", u"15.03.2000", u""},
        {kTimer, u"15,03,2000", u"01.01.1900", u"Неверная дата! 15,03"}};
    // clang-format on
    for (const auto& [field, typed, shown, message] : cases) {
        toolkit.messages.clear();
        params.SetText(field, typed);
        const Leave expected = message == scale  ? Leave::BackToScale
                               : message.empty() ? Leave::Done
                                                 : Leave::AfterMessage;
        EXPECT_EQ(params.FocusLeaves(field), expected) << ::testing::PrintToString(typed);
        EXPECT_EQ(params.Text(field), shown);
        EXPECT_EQ(toolkit.messages, Texts(!message.empty(), message));
    }
}

TEST_F(ParamsModelTest, BodyOnStepFieldsViewSelectionClearsOncePerChangeActivationSelectsView) {
    params.SetBodyState(1, 1);  // ticked since creation: no change, so BodyOn stays 0
    EXPECT_EQ(state.BodyOn[1], 0);
    // Greyed (2) is not on; 7 is no check-box state and is ignored.
    const std::pair<int, int> steps[] = {{0, 0}, {1, 1}, {2, 0}, {1, 1}, {7, 1}};
    for (auto [newState, bodyOn] : steps) {
        params.SetBodyState(5, newState);
        EXPECT_EQ(state.BodyOn[5], bodyOn) << "state " << newState;
    }
    params.SetBodyState(12, 1);  // no such body: ignored
    EXPECT_EQ(clears, 0);
    for (int s : {1, 0, 2, 0}) {  // the step-length box enables exactly one step field
        params.SetStepLengthMode(s);
        EXPECT_EQ(std::pair(params.stepLength.enabled, params.timeStep.enabled),
                  std::pair(s != 0, s == 0));
    }
    state.ViewBody = 1;  // no state file: "Вид" selected, ViewBody 1
    params.Activate();
    EXPECT_EQ(params.viewOption, 1);
    params.Activate();  // selection matches: no clear
    EXPECT_EQ(clears, 1);
    const std::pair<int, int> views[] = {{3, 2}, {3, 2}, {0, 3}, {12, 3}, {-1, 3}, {11, 4}};
    for (auto [k, clearsSoFar] : views) {
        params.SelectView(k);
        EXPECT_EQ(clears, clearsSoFar) << "option " << k;
    }
    EXPECT_EQ((std::pair<int, int>(params.viewOption, state.ViewBody)), std::pair(11, 11));
}

// Values, not texts, are compared; unreadable scale text counts as 0.
TEST_F(ParamsModelTest, DeactivationClearsOnlyOnAChangeOfValue) {
    // clang-format off
    const std::tuple<std::u16string, std::u16string, int> steps[] = {
        {u"50 000 000", u"50 000 000", 0}, {u"50000000", u" 50 000 000", 0}, {u"abc", u"0", 0},
        {u"60 000 000", u"50 000 000", 1}, {u"abc", u"5", 1}, {u"1E400", u"1", 1}};
    // clang-format on
    for (const auto& [atActivation, atDeactivation, clearsExpected] : steps) {
        clears = 0;
        params.SetText(kZoom, atActivation);
        params.Activate();
        params.SetText(kZoom, atDeactivation);
        params.Deactivate();
        EXPECT_EQ(clears, clearsExpected);
    }
}

}  // namespace
}  // namespace orbimo
