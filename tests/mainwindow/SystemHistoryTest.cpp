// Undo and redo of the whole system.
#include <gtest/gtest.h>

#include <bit>

#include "convert/DateTimeText.h"
#include "convert/NumberText.h"
#include "mainwindow/CircularOrbit.h"
#include "mainwindow/StartedProgram.h"
#include "mainwindow/SystemHistory.h"

namespace orbimo {
namespace {

using P = Program&;

// What a step must put back: the file's bytes and what the record holds beside them.
auto Observed(P p) {
    return std::tuple(SystemFileBytes(p.params), std::bit_cast<std::uint64_t>(p.state.SimTime),
                      p.state.BodyOn, p.state.ViewBody, p.params.viewOption,
                      p.params.stepLength.enabled);
}

TEST(SystemHistory, EveryKindOfStepIsUndoneAndRedoneWhole) {
    auto speed = [](P p) {
        p.params.SetText({FieldKind::VY, 4}, u"6.0e4");
        p.params.FocusLeaves({FieldKind::VY, 4});
        return FieldStepWhat(p.params, {FieldKind::VY, 4});
    };
    // clang-format off
    const std::tuple<StepKind, std::u16string, std::function<std::u16string(P)>> rows[] = {
        {StepKind::Move, u"перемещение тела Земля", [](P p) { return MoveBody(p.params, 4, {1e11, 0}, 1), u"Земля"; }},
        {StepKind::Velocity, u"скорость тела Земля", [](P p) { return SetBodyVelocity(p.params, 4, 1, 2, 0), u"Земля"; }},
        {StepKind::NewBody, u"новое тело Юпитер", [](P p) { return AddBody(p.params, {u"Юпитер", u"2E+27", {}, 0, 0}, 1), u"Юпитер"; }},
        {StepKind::Rename, u"имя тела Терра", [](P p) { return RenameBody(p.params, 4, u"Терра"), u"Терра"; }},
        {StepKind::SwitchOff, u"тело Земля выключено", [](P p) { return SwitchOffBody(p.params, 4), u"Земля"; }},
        {StepKind::SwitchOff, u"все тела выключены", [](P p) { for (int b = 1; b <= 5; ++b) SwitchOffBody(p.params, b); return u""; }},
        {StepKind::CircularOrbit, u"круговая орбита Земля", [](P p) { return PutOnCircularOrbit(p.params, 4, 1, OrbitSense::Anticlockwise), u"Земля"; }},
        {StepKind::Field, u"поле Скор.Y тела Земля", speed},
        {StepKind::Load, u"загрузка системы Пробная", [](P p) { return LoadSystem(p.params, p.files, u"/prog/П.sav"), u"Пробная"; }},
        {StepKind::BackToStart, u"В начало", [](P p) { return LoadSystem(p.params, p.files, u""), u""; }},
        {StepKind::Run, u"счёт до 13.01.1900", [](P p) { return p.RunUntilDispatch(300), RunStepWhat(p.params); }}};  // 300 h
    // clang-format on
    Program q;  // another system: a later date, the view on body 3, the step-length mode, body 7 on
    ApplyItem(q.params, SystemFileItems()[77], FormatDate(3.2e9));
    q.params.SelectView(3), q.params.SetStepLengthMode(1), q.params.SetBodyState(7, 1);
    for (const auto& [kind, name, edit] : rows) {
        Program p;
        RenameBody(p.params, 4, u"Земля");
        for (auto path : {StateFilePath(p.files), std::u16string(u"/prog/П.sav")})
            p.files.AddFile(path, SystemFileBytes(q.params));
        SystemHistory h;
        const auto before = Observed(p);
        h.Do(p.params, kind, 4, [&] { return edit(p); });
        EXPECT_EQ(h.UndoName(), name);
        const auto after = Observed(p);
        EXPECT_NE(after, before);  // there is something to undo
        EXPECT_TRUE(h.Undo(p.params));
        EXPECT_EQ(Observed(p), before) << ::testing::PrintToString(name);
        EXPECT_TRUE(h.Redo(p.params));
        EXPECT_EQ(Observed(p), after) << ::testing::PrintToString(name);
    }
}

std::function<std::u16string()> SetMass(P p, int b, double mass) {
    return [&p, b, mass] {
        return p.params.SetText({FieldKind::Mass, b}, FormatNumber(mass)), u"";
    };
}

TEST(SystemHistory, ANewStepAfterAnUndoDropsTheStepsUndone) {
    Program p;
    SystemHistory h;
    for (int mass : {1, 2, 3}) h.Do(p.params, StepKind::Field, 2, SetMass(p, 2, mass));
    h.Undo(p.params), h.Undo(p.params);
    p.params.SetText({FieldKind::Mass, 4}, u"7");  // not recorded: belongs to no step
    h.Do(p.params, StepKind::Field, 3, SetMass(p, 3, 9));
    EXPECT_EQ(std::tuple(h.Size(), h.CanRedo(), p.params.bodies[2].mass.text),
              std::tuple(2u, false, u"1"));
    h.Undo(p.params);
    EXPECT_EQ(p.params.bodies[4].mass.text, u"7");
}

// One drag of one body is one step; another body, another kind of edit or a new drag is another,
// and a drag that comes back to where it began leaves none.
TEST(SystemHistory, ADragIsOneStepUntilItEnds) {
    // clang-format off
    const std::tuple<StepKind, int, bool, double, std::size_t> rows[] = {
        {StepKind::Move, 4, false, 1, 1}, {StepKind::Move, 4, false, 2, 1}, {StepKind::Move, 4, true, 3, 2},
        {StepKind::Move, 5, false, 4, 3}, {StepKind::Velocity, 5, false, 5, 4}, {StepKind::Velocity, 5, false, 6, 4},
        {StepKind::Move, 6, true, 7, 5}, {StepKind::Move, 6, true, 8, 6}, {StepKind::Move, 6, false, 7, 5},
        {StepKind::Move, 6, false, 9, 6}};
    // clang-format on
    Program p;
    SystemHistory h;
    const std::string start = SystemFileBytes(p.params);
    for (const auto& [kind, body, newDrag, mass, steps] : rows) {
        if (newDrag) h.EndDrag();
        h.Do(p.params, kind, body, SetMass(p, body, mass), true);
        EXPECT_EQ(h.Size(), steps) << mass;
    }
    while (h.Undo(p.params)) {
    }
    EXPECT_EQ(SystemFileBytes(p.params), start);
}

TEST(SystemHistory, KeepsTheLastFiveHundredSteps) {
    Program p;
    SystemHistory h;
    for (int i = 1; i <= 600; ++i) h.Do(p.params, StepKind::Field, 2, SetMass(p, 2, i));
    int undone = 0;
    while (h.Undo(p.params)) ++undone;
    EXPECT_EQ(std::pair(undone, p.params.bodies[2].mass.text),
              std::pair(500, std::u16string(u"100")));
}

// A run recorded as a step and undone leaves the file and the clock as they were, bit for bit,
// and the same run from there ends in the same bits.
TEST(SystemHistory, ARunUndoneIsUndoneBitForBit) {
    Program p;
    SystemHistory h;
    p.params.SetBodyState(7, 1);
    const auto before = Observed(p);  // then a run and its undo, and the same run again
    h.Do(p.params, StepKind::Run, 0, [&] { return p.RunUntilDispatch(20000), u""; });
    const auto firstRun = Observed(p);
    h.Undo(p.params);
    EXPECT_EQ(Observed(p), before);
    p.toolkit.dispatches = 0;
    p.RunUntilDispatch(20000);
    EXPECT_EQ(Observed(p), firstRun);
}

}  // namespace
}  // namespace orbimo
