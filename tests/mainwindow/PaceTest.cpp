// A paced run against a fake clock: simulated time follows real time at the chosen pace.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

TEST(Pace, SimulatedTimeFollowsRealTimeAtThePaceAndTheLoopWaitsEachFrame) {
    // Pace (5: 1 сут/с, 6: 1 ч/с, 1: 10 лет/с), from fake second `at` on `then`; stopped after
    // `seconds`; days expected within `tolerance`; `cost`: fake seconds a dispatch takes.
    // clang-format off
    struct Row { int pace; double at; int then; double seconds, days, tolerance, cost; };
    const Row rows[] = {
        {5, 0, 5, 3, 3, 0.02, 0},                         // 3 s at 1 сут/с: 3 days
        {5, 1.5, 6, 3, 1.5 + 1.5 / 24, 0.02, 0},          // slower halfway through
        {6, 1, 5, 3, 1.0 / 24 + 2, 0.02, 0},              // faster after a second
        {5, 0, 5, 3, 3, 0.02, 2e-4},                      // ticks that take time
        // Beyond this machine: 3/4 of each frame computing ticks of 3600 s, then a wait.
        {1, 0, 1, 0.5, 0.5 * 0.75 / 1e-5 / 24, 0.1, 1e-5}};
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.days);
        Program p;
        p.toolkit.dispatchCost = r.cost;
        p.logic.Pace().SetPace(r.pace);
        double lastDispatch = 0, longestGap = 0;
        p.Run([&](long) {
            longestGap = std::max(longestGap, p.toolkit.now - lastDispatch);
            lastDispatch = p.toolkit.now;
            if (p.toolkit.now >= r.at) p.logic.Pace().SetPace(r.then);
            if (p.toolkit.now >= r.seconds) p.logic.Click(0);
        });
        EXPECT_NEAR(p.state.SimTime / 86400, r.days, r.days * r.tolerance);
        EXPECT_NEAR(static_cast<double>(p.toolkit.waits), r.seconds * 60, r.seconds * 6);
        EXPECT_LE(longestGap, 0.020);  // input is answered within 20 ms
    }
}

TEST(Pace, NoLimitNeverWaitsAndAStopDateStillEndsAPacedRun) {
    Program p;
    p.RunUntilDispatch(500);
    EXPECT_EQ(p.toolkit.waits, 0);
    p.logic.Pace().SetPace(5);
    p.params.stopDate.text = u"25.01.1900";  // a day after where the clock stands
    p.Run(nullptr);
    EXPECT_EQ(p.state.SimTime, 24 * 86400.0);
    EXPECT_NEAR(p.toolkit.now, (24 * 86400.0 - 500 * 3600.0) / 86400, 0.05);  // at 1 сут/с
}

}  // namespace
}  // namespace orbimo
