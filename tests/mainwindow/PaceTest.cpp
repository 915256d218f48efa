// A paced run against a fake clock: simulated time follows real time at the chosen pace.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

struct PaceRow {
    std::vector<std::pair<double, int>> paces;  // from this fake second on, this pace
    double seconds;                             // the run is stopped then
    double expectedDays;
    double dispatchCost;  // fake seconds a dispatch takes: a slow machine
};

// 1 сут/с is index 5, 1 ч/с 6, no limit 0. The built-in system ticks 3600 s.
TEST(Pace, SimulatedTimeFollowsRealTimeAtThePaceAndTheLoopWaitsEachFrame) {
    const PaceRow rows[] = {
        {{{0, 5}}, 3, 3, 0},                            // 3 s at 1 сут/с: 3 days
        {{{0, 5}, {1.5, 6}}, 3, 1.5 + 1.5 / 24, 0},     // slower halfway through
        {{{0, 6}, {1, 5}}, 3, 1.0 / 24 + 2, 0},         // faster after a second
        {{{0, 5}}, 3, 3, 2e-4},                         // ticks that take time
        {{{0, 1}}, 0.5, 0.5 * 0.75 / 1e-5 / 24, 1e-5},  // 10 лет/с is beyond this machine
    };
    for (const PaceRow& r : rows) {
        SCOPED_TRACE(r.expectedDays);
        testing::StartedProgram p;
        p.toolkit.dispatchCost = r.dispatchCost;
        p.logic.SetPace(r.paces[0].second);
        std::size_t next = 1;
        double lastDispatch = 0, longestGap = 0;
        p.toolkit.onDispatch = [&](long) {
            longestGap = std::max(longestGap, p.toolkit.now - lastDispatch);
            lastDispatch = p.toolkit.now;
            if (next < r.paces.size() && p.toolkit.now >= r.paces[next].first)
                p.logic.SetPace(r.paces[next++].second);
            if (p.toolkit.now >= r.seconds) p.logic.Click(0);
        };
        p.logic.Click(0);
        const double days = p.state.SimTime / 86400;
        if (r.paces.back().second == 1) {
            // As fast as the machine goes: three quarters of every frame computing, then a wait.
            EXPECT_NEAR(days, r.expectedDays, r.expectedDays * 0.1);
        } else {
            EXPECT_NEAR(days, r.expectedDays, r.expectedDays * 0.02);
        }
        EXPECT_NEAR(static_cast<double>(p.toolkit.waits), r.seconds * 60, r.seconds * 60 * 0.1);
        EXPECT_LE(longestGap, 0.020);  // input is answered within 20 ms
    }
}

TEST(Pace, NoLimitNeverWaitsAndAStopDateStillEndsAPacedRun) {
    testing::StartedProgram p;
    p.RunUntilDispatch(500);
    EXPECT_EQ(p.toolkit.waits, 0);
    EXPECT_EQ(p.state.SimTime, 500 * 3600.0);
    p.logic.SetPace(5);
    p.params.txtTimer.text = u"25.01.1900";  // a day after where the clock stands
    p.toolkit.onDispatch = nullptr;
    p.logic.Click(0);
    EXPECT_EQ(p.state.SimTime, 24 * 86400.0);
    EXPECT_NEAR(p.toolkit.now, (24 * 86400.0 - 500 * 3600.0) / 86400, 0.05);  // at 1 сут/с
    EXPECT_EQ(p.logic.Status().state, RunState::TimerReached);
}

}  // namespace
}  // namespace orbimo
