// Undo and redo of the whole system.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "convert/DateTimeText.h"
#include "convert/NumberText.h"
#include "mainwindow/CircularOrbit.h"
#include "mainwindow/StartedProgram.h"
#include "mainwindow/SystemHistory.h"

namespace orbimo {
namespace {

// What a step must put back: the file's bytes and what the record holds beside them.
auto Observed(Program& p) {
    return std::tuple(SystemFileBytes(p.params), std::bit_cast<std::uint64_t>(p.state.SimTime),
                      p.state.BodyOn, p.state.ViewBody, p.params.viewOption,
                      p.params.stepLength.enabled);
}

/// Records `edit` as one step of `kind` and returns the name it got.
std::u16string Step(Program& p, SystemHistory& h, StepKind kind, int body,
                    const std::function<std::u16string()>& edit) {
    const SystemSnapshot before = TakeSnapshot(p.params);
    const std::u16string what = edit();
    h.Record(kind, body, StepName(kind, what), before, TakeSnapshot(p.params));
    return h.UndoName();
}

// Another system: a later date, the view on body 3, the step-length mode, body 7 on.
std::string OtherSystem() {
    Program q;
    ApplyItem(q.params, SystemFileItems()[77], FormatDate(3.2e9));
    q.params.SelectView(3);
    q.params.SetStepLengthMode(1);
    q.params.SetBodyState(7, 1);
    return SystemFileBytes(q.params);
}

TEST(SystemHistory, EveryKindOfStepIsUndoneAndRedoneWhole) {
    using P = Program&;
    const std::tuple<StepKind, std::u16string, std::function<std::u16string(P)>> rows[] = {
        {StepKind::Move, u"перемещение тела Земля",
         [](P p) {
             return MoveBody(p.params, 4, {1e11, -2e11}, 1e6), u"Земля";
         }},
        {StepKind::Velocity, u"скорость тела Земля",
         [](P p) { return SetBodyVelocity(p.params, 4, 1, 2, 0), u"Земля"; }},
        {StepKind::NewBody, u"новое тело Юпитер",
         [](P p) {
             return AddBody(p.params, {u"Юпитер", u"1,8986E+27", {7.8e11, 0}}, 1e6), u"Юпитер";
         }},
        {StepKind::Rename, u"имя тела Терра",
         [](P p) { return RenameBody(p.params, 4, u"Терра"), u"Терра"; }},
        {StepKind::SwitchOff, u"тело Земля выключено",
         [](P p) { return SwitchOffBody(p.params, 4), u"Земля"; }},
        {StepKind::CircularOrbit, u"круговая орбита Земля",
         [](P p) {
             return PutOnCircularOrbit(p.params, 4, 1, OrbitSense::Anticlockwise), u"Земля";
         }},
        {StepKind::Field, u"поле Масса тела Земля",
         [](P p) {
             p.params.SetText({FieldKind::Mass, 4}, u"6.0e24");
             p.params.FocusLeaves({FieldKind::Mass, 4});
             return FieldStepWhat(p.params, {FieldKind::Mass, 4});
         }},
        {StepKind::Load, u"загрузка системы Пробная",
         [](P p) { return LoadSystem(p.params, p.files, u"/prog/Save/Пробная.sav"), u"Пробная"; }},
        {StepKind::BackToStart, u"В начало",
         [](P p) { return LoadSystem(p.params, p.files, u""), u""; }},
        {StepKind::Run, u"счёт до 13.01.1900",  // 300 hours from 01.01.1900
         [](P p) { return p.RunUntilDispatch(300), RunStepWhat(p.params); }},
    };
    const std::string other = OtherSystem();
    for (const auto& [kind, name, edit] : rows) {
        Program p;
        RenameBody(p.params, 4, u"Земля");
        p.files.AddFile(StateFilePath(p.files), other);
        p.files.AddFile(SaveFolderPath(p.files) + u"Пробная.sav", other);
        SystemHistory h;
        const auto before = Observed(p);
        EXPECT_EQ(Step(p, h, kind, 4, [&] { return edit(p); }), name);
        const auto after = Observed(p);
        EXPECT_NE(after, before) << ::testing::PrintToString(
            name);  // the edit did something to undo
        EXPECT_TRUE(h.Undo(p.params));
        EXPECT_EQ(Observed(p), before) << ::testing::PrintToString(name);
        EXPECT_TRUE(h.Redo(p.params));
        EXPECT_EQ(Observed(p), after) << ::testing::PrintToString(name);
    }
}

TEST(SystemHistory, ANewStepAfterAnUndoDropsTheStepsUndone) {
    Program p;
    SystemHistory h;
    for (const char16_t* mass : {u"1", u"2", u"3"})
        Step(p, h, StepKind::Field, 2, [&] {
            return p.params.SetText({FieldKind::Mass, 2}, mass), u"";
        });
    h.Undo(p.params), h.Undo(p.params);
    Step(p, h, StepKind::Field, 3, [&] {
        return p.params.SetText({FieldKind::Mass, 3}, u"9"), u"";
    });
    EXPECT_EQ(std::tuple(h.Size(), h.CanRedo(), p.params.bodies[2].mass.text),
              std::tuple(std::size_t{2}, false, u"1"));
}

// One drag of one body is one step; another body, another kind of edit or a new drag is another.
TEST(SystemHistory, ADragIsOneStepUntilItEnds) {
    struct Row {
        StepKind kind;
        int body;
        bool newDrag;
        std::size_t steps;
    };
    const Row rows[] = {{StepKind::Move, 4, false, 1},     {StepKind::Move, 4, false, 1},
                        {StepKind::Move, 4, true, 2},      {StepKind::Move, 5, false, 3},
                        {StepKind::Velocity, 5, false, 4}, {StepKind::Velocity, 5, false, 4}};
    Program p;
    SystemHistory h;
    const std::string start = SystemFileBytes(p.params);
    double x = 1e10;
    for (const Row& row : rows) {
        if (row.newDrag) h.EndDrag();
        const SystemSnapshot before = TakeSnapshot(p.params);
        MoveBody(p.params, row.body, {x += 1e10, 0}, 1);
        h.Record(row.kind, row.body, u"", before, TakeSnapshot(p.params), true);
        EXPECT_EQ(h.Size(), row.steps);
    }
    while (h.Undo(p.params)) {
    }
    EXPECT_EQ(SystemFileBytes(p.params), start);
    // A drag that comes back to where it began leaves no step.
    h.EndDrag();
    const std::u16string x6 = p.params.bodies[6].x.text;
    for (const std::u16string& to : {std::u16string(u"1E+12"), std::u16string(u"2E+12"), x6}) {
        const SystemSnapshot before = TakeSnapshot(p.params);
        p.params.SetText({FieldKind::X, 6}, to);
        h.Record(StepKind::Move, 6, u"", before, TakeSnapshot(p.params), true);
    }
    EXPECT_EQ(std::pair(h.Size(), h.CanRedo()), std::pair(std::size_t{0}, false));
}

TEST(SystemHistory, KeepsTheLastFiveHundredSteps) {
    Program p;
    SystemHistory h;
    for (int i = 1; i <= 600; ++i)
        Step(p, h, StepKind::Field, 2, [&] {
            return p.params.SetText({FieldKind::Mass, 2}, FormatNumber(i)), u"";
        });
    int undone = 0;
    while (h.Undo(p.params)) ++undone;
    EXPECT_EQ(std::pair(undone, p.params.bodies[2].mass.text),
              std::pair(500, std::u16string(u"100")));
}

// A run recorded as a step and undone leaves the system file and the clock as they were, bit for
// bit, and runs again to the same bits.
TEST(SystemHistory, ARunUndoneIsUndoneBitForBit) {
    Program p;
    SystemHistory h;
    p.params.SetBodyState(7, 1);
    const auto before = Observed(p);
    const std::u16string name = Step(p, h, StepKind::Run, 0, [&] {
        p.RunUntilDispatch(20000);
        return RunStepWhat(p.params);
    });
    EXPECT_EQ(name, u"счёт до " + p.params.simDate.text.substr(0, 10));
    const auto firstRun = Observed(p);
    h.Undo(p.params);
    EXPECT_EQ(Observed(p), before);
    p.toolkit.dispatches = 0;
    p.RunUntilDispatch(20000);
    EXPECT_EQ(Observed(p), firstRun);
}

}  // namespace
}  // namespace orbimo
