// Rewind: a jump to any tick of a recorded run leaves the system bit for bit where a run stopped
// there leaves it, and a run goes on from there as if it had never stopped.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>

#include "convert/DateTimeText.h"
#include "convert/NumberText.h"
#include "mainwindow/RunRecord.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

struct Mode {
    const char* name;
    bool stepLong, leapfrog;
};
constexpr Mode kModes[] = {
    {"plain", false, false}, {"step length", true, false}, {"leapfrog", false, true}};

void Prepare(Program& p, const Mode& m, bool plotting = true) {
    p.logic.SetLeapfrog(m.leapfrog);
    p.logic.SetPlotting(plotting);
    p.params.SetStepLengthMode(m.stepLong ? 1 : 0);
    p.params.stepLength.text = FormatNumber(1e8);
}

/// «Пуск», and «Стоп» after n ticks; `each` sees every tick with its number.
void RunTicks(Program& p, std::int64_t n, const std::function<void(std::int64_t)>& each = {}) {
    std::int64_t k = 0;
    p.logic.afterTick = [&] {
        if (each)
            each(++k);
        else
            ++k;
        if (k == n) p.state.StopRequested = -1;
    };
    p.logic.StartOrStop();
    p.logic.afterTick = nullptr;
}

/// The system as a stop shows it: velocities at the positions' moment.
struct Moment {
    BodyDoubles x, y, vx, vy;
    double time, step;
};
Moment Now(const Program& p) {
    const auto [vx, vy] = p.logic.VelocitiesInStep();
    return {p.state.PosX, p.state.PosY, vx, vy, p.state.SimTime, p.state.TimeStep};
}
bool Same(const Moment& a, const Moment& b) {
    return std::memcmp(&a, &b, sizeof(Moment)) == 0;
}
/// The fields as WriteReadout writes the moment.
bool FieldsShow(const Program& p, const Moment& m) {
    bool same = p.params.simDate.text == FormatDate(m.time) &&
                p.params.timeStep.text == FormatNumber(m.step);
    for (int b = 1; b <= kBodies; ++b) {
        const BodyRow& row = p.params.bodies[b];
        same = same && row.x.text == FormatNumber(m.x[b]) && row.y.text == FormatNumber(m.y[b]) &&
               row.vx.text == FormatNumber(m.vx[b]) && row.vy.text == FormatNumber(m.vy[b]);
    }
    return same;
}

TEST(Rewind, AJumpToEveryTenthTickEqualsTheRunStoppedThere) {
    constexpr std::int64_t kTicks = 10000;
    for (const Mode& m : kModes) {
        Program straight, recorded;
        Prepare(straight, m, false), Prepare(recorded, m, false);
        std::vector<Moment> expected;
        RunTicks(straight, kTicks, [&](std::int64_t k) {
            if (k % 10 == 0) expected.push_back(Now(straight));
        });
        RunTicks(recorded, kTicks);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(recorded.logic.JumpToDate(expected[i].time), JumpOutcome::Done) << m.name;
            ASSERT_TRUE(Same(Now(recorded), expected[i])) << m.name << ", tick " << 10 * (i + 1);
            ASSERT_TRUE(FieldsShow(recorded, expected[i])) << m.name << ", tick " << 10 * (i + 1);
            ASSERT_EQ(recorded.logic.RecordTick(), std::int64_t(10 * (i + 1))) << m.name;
        }
        // A few rows against runs stopped by their stop date, closing half step and all.
        for (const std::size_t row : {0, 373, 999}) {
            Program stopped;
            Prepare(stopped, m, false);
            stopped.params.stopDate.text = FormatDate(expected[row].time);
            stopped.logic.StartOrStop();
            ASSERT_EQ(stopped.logic.Status().state, RunState::TimerReached);
            recorded.logic.JumpToDate(expected[row].time);
            recorded.params.stopDate.text = stopped.params.stopDate.text;
            EXPECT_TRUE(Same(Now(recorded), Now(stopped))) << m.name << ", row " << row;
            EXPECT_EQ(TakeSnapshot(recorded.params).texts, TakeSnapshot(stopped.params).texts);
        }
    }
}

TEST(Rewind, AJumpBackAndARunOnEqualTheUninterruptedRun) {
    for (const Mode& m : kModes) {
        Program straight, rewound;
        Prepare(straight, m), Prepare(rewound, m);
        RunTicks(straight, 3000);
        RunTicks(rewound, 2000);
        ASSERT_EQ(rewound.logic.JumpToTick(1234), JumpOutcome::Done);
        RunTicks(rewound, 3000 - 1234);
        EXPECT_TRUE(Same(Now(rewound), Now(straight))) << m.name;
        EXPECT_EQ(TakeSnapshot(rewound.params).texts, TakeSnapshot(straight.params).texts)
            << m.name;
        EXPECT_EQ(rewound.logic.RecordLastTick(), 3000) << m.name;
    }
}

TEST(Rewind, AJumpAcrossABodySwitchedOffDuringTheRunReplaysTheSwitch) {
    for (const Mode& m : kModes) {
        Program straight, recorded;
        Prepare(straight, m, false), Prepare(recorded, m, false);
        std::map<std::int64_t, Moment> expected;
        auto run = [](Program& p, std::map<std::int64_t, Moment>* seen) {
            RunTicks(p, 3000, [&p, seen](std::int64_t k) {
                if (seen && (k == 1500 || k == 1501 || k == 2500)) (*seen)[k] = Now(p);
                if (k == 1500) p.params.SetBodyState(11, 0);  // between two ticks, as a click
            });
        };
        run(straight, &expected);
        run(recorded, nullptr);
        for (const auto& [tick, moment] : expected) {
            ASSERT_EQ(recorded.logic.JumpToTick(tick), JumpOutcome::Done);
            EXPECT_TRUE(Same(Now(recorded), moment)) << m.name << ", tick " << tick;
        }
    }
}

TEST(Rewind, APictureJumpedBackIsThePictureOfARunStoppedThere) {
    for (const Mode& m : kModes) {
        Program shorter, rewound;
        Prepare(shorter, m), Prepare(rewound, m);
        RunTicks(shorter, 700);
        shorter.logic.View().PanBy(0, 0);  // drawn again from its history, as a jump draws
        RunTicks(rewound, 2000);
        rewound.logic.JumpToTick(700);
        EXPECT_TRUE(rewound.surface.Words() == shorter.surface.Words()) << m.name;
    }
}

TEST(Rewind, AJumpPastTheEndRunsOnPlottingAsARunWould) {
    // by: 0 a date, 1 a tick.
    for (const int by : {0, 1}) {
        for (const Mode& m : kModes) {
            Program straight, extended;
            Prepare(straight, m), Prepare(extended, m);
            RunTicks(straight, 1500);
            RunTicks(extended, 1000);
            const std::size_t plotted = extended.logic.plotter().History().Size();
            const JumpOutcome o = by == 0 ? extended.logic.JumpToDate(straight.state.SimTime)
                                          : extended.logic.JumpToTick(1500);
            ASSERT_EQ(o, JumpOutcome::Done) << m.name;
            EXPECT_TRUE(Same(Now(extended), Now(straight))) << m.name << by;
            EXPECT_TRUE(extended.surface.Words() == straight.surface.Words()) << m.name << by;
            EXPECT_GT(extended.logic.plotter().History().Size(), plotted) << m.name;
            EXPECT_EQ(extended.logic.RecordLastTick(), 1500) << m.name << by;
            EXPECT_EQ(extended.logic.Status().state, RunState::Stopped) << m.name;
            EXPECT_EQ(extended.logic.Button0Caption(), kCaptionStart);
        }
    }
}

TEST(Rewind, MomentsOutsideTheRecordAreRefusedAndChangeNothing) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    enum Before { Nothing, Run, RunThenClear, RunThenLoad };
    // clang-format off
    const struct Row { Before before; double sinceStart; JumpOutcome outcome; } rows[] = {
        {Nothing, 3600, JumpOutcome::NoRecord},
        {Run, 0, JumpOutcome::BeforeRecord},
        {Run, -3600, JumpOutcome::BeforeRecord},
        {Run, -1e300, JumpOutcome::BeforeRecord},
        {Run, kNaN, JumpOutcome::BeforeRecord},
        {RunThenClear, 3600, JumpOutcome::NoRecord},
        {RunThenLoad, 3600, JumpOutcome::NoRecord}};
    // clang-format on
    for (const Row& r : rows) {
        Program p;
        const double start = p.state.SimTime;
        if (r.before != Nothing) RunTicks(p, 10);
        if (r.before == RunThenClear) p.logic.Click(2);
        if (r.before == RunThenLoad) p.logic.SystemLoaded(u"");
        const SystemSnapshot fields = TakeSnapshot(p.params);
        const std::size_t steps = p.logic.History().Size();
        EXPECT_EQ(p.logic.JumpToDate(start + r.sinceStart), r.outcome) << r.before;
        EXPECT_TRUE(TakeSnapshot(p.params) == fields) << r.before;
        EXPECT_EQ(p.logic.History().Size(), steps) << r.before;
        EXPECT_FALSE(JumpMessage(r.outcome, start).empty());
    }
}

TEST(Rewind, NoJumpWhileARunGoes) {
    Program p;
    RunTicks(p, 100);
    JumpOutcome during = JumpOutcome::Done;
    RunTicks(p, 10, [&](std::int64_t k) {
        if (k == 5) during = p.logic.JumpToTick(50);
    });
    EXPECT_EQ(during, JumpOutcome::Refused);
    EXPECT_EQ(p.logic.RecordLastTick(), 110);
}

TEST(Rewind, UndoOfAJumpPutsBackWhereTheRunStoppedAndRedoTheJump) {
    for (const Mode& m : kModes) {
        Program p;
        Prepare(p, m);
        RunTicks(p, 2000);
        const Moment stopped = Now(p);
        const SystemSnapshot stoppedFields = TakeSnapshot(p.params);
        ASSERT_EQ(p.logic.JumpToTick(700), JumpOutcome::Done);
        const Moment jumped = Now(p);
        const std::u16string date = p.params.simDate.text.substr(0, 10);
        EXPECT_EQ(p.logic.History().UndoName(), u"переход к " + date) << m.name;
        ASSERT_TRUE(p.logic.Undo());
        EXPECT_TRUE(Same(Now(p), stopped)) << m.name;
        EXPECT_TRUE(TakeSnapshot(p.params) == stoppedFields) << m.name;
        EXPECT_EQ(p.logic.RecordTick(), 2000) << m.name;
        ASSERT_TRUE(p.logic.Redo());
        EXPECT_TRUE(Same(Now(p), jumped)) << m.name;
        EXPECT_EQ(p.logic.RecordTick(), 700) << m.name;
    }
}

RunPoint PointAt(std::int64_t tick) {
    RunPoint p;
    p.simTime = static_cast<double>(tick);
    p.runTicks = tick;
    return p;
}

TEST(RunRecord, FiftyMillionTicksStayWithinSixteenMegabytesKeepingEveryEdit) {
    constexpr std::int64_t kEnd = 50'000'000, kEditEvery = 1'234'567;
    RunRecord record;
    record.Begin(0, PointAt(0));
    std::vector<std::int64_t> edits;
    std::size_t most = 0;
    for (std::int64_t t = record.NextDue(); t <= kEnd; t = record.NextDue()) {
        const std::int64_t edit = (static_cast<std::int64_t>(edits.size()) + 1) * kEditEvery + 3;
        if (edit < t) {
            record.Add(edit, CheckpointKind::Edit, PointAt(edit));
            edits.push_back(edit);
        }
        record.Add(t, CheckpointKind::Tick, PointAt(t));
        most = std::max(most, record.Bytes());
    }
    EXPECT_LE(most, RunRecord::kMaxBytes);
    EXPECT_GE(record.Every(), 4096);
    for (const std::int64_t edit : edits) {
        const Checkpoint* from = record.From(edit + 1);
        ASSERT_TRUE(from && from->tick == edit && from->kind == CheckpointKind::Edit) << edit;
        // The edit's own tick is computed from before it.
        EXPECT_LT(record.From(edit)->tick, edit) << edit;
    }
    // Between thinned checkpoints, the last one before, holding its own tick's state.
    const std::int64_t every = record.Every();
    for (const std::int64_t t : {every * 7 + 5, every * 7, every * 3000 - 1, kEnd}) {
        const Checkpoint* from = record.From(t);
        const std::int64_t last = t / every * every;
        const bool edited = std::ranges::any_of(edits, [&](auto e) { return e > last && e < t; });
        ASSERT_TRUE(from) << t;
        if (!edited) {
            EXPECT_EQ(from->tick, last) << t;
        }
        EXPECT_EQ(from->point.simTime, static_cast<double>(from->tick)) << t;
    }
}

}  // namespace
}  // namespace orbimo
