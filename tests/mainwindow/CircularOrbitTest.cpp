#include <gtest/gtest.h>

#include <cmath>

#include "convert/NumberText.h"
#include "mainwindow/CircularOrbit.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

// Body 2 about body 1; the fields' y grows down the screen as the screen's does.
void Place(Program& p, int b, const std::array<double, 5>& mass_x_y_vx_vy) {
    const FieldKind kinds[] = {FieldKind::Mass, FieldKind::X, FieldKind::Y, FieldKind::VX,
                               FieldKind::VY};
    for (int i = 0; i < 5; ++i) p.params.SetText({kinds[i], b}, FormatNumber(mass_x_y_vx_vy[i]));
}

TEST(CircularOrbit, SpeedAcrossTheLineInTheSenseAskedFor) {
    struct Row {
        double dx, dy, dvx, dvy;
        OrbitSense sense;
        double ex, ey;  // the direction expected, in the fields' coordinates
    };
    const Row rows[] = {
        {1.5e11, 0, 0, 0, OrbitSense::Anticlockwise, 0, -1},   // right of the centre: up the screen
        {0, 1.5e11, 0, 0, OrbitSense::Anticlockwise, 1, 0},    // below it: to the right
        {1.5e11, 0, 0, -9, OrbitSense::AsMoving, 0, -1},       // going up: anticlockwise
        {1.5e11, 0, 0, 5, OrbitSense::AsMoving, 0, 1},         // going down: clockwise, kept
        {1.5e11, 0, 0, 5, OrbitSense::Anticlockwise, 0, -1},   // turned round
        {-3e10, 4e10, 0, 0, OrbitSense::AsMoving, 0.8, 0.6},   // still: anticlockwise
        {-3e10, 4e10, -3, 4, OrbitSense::AsMoving, 0.8, 0.6},  // straight away: anticlockwise
    };
    const double M = 2e30, m = 6e24, cx = 1e9, cy = -2e9, cvx = 100, cvy = -200;
    for (const Row& row : rows) {
        Program p;
        Place(p, 1, {M, cx, cy, cvx, cvy});
        Place(p, 2, {m, cx + row.dx, cy + row.dy, cvx + row.dvx, cvy + row.dvy});
        EXPECT_TRUE(PutOnCircularOrbit(p.params, 2, 1, row.sense).changed);
        const double speed = std::sqrt(6.6725e-11 * (M + m) / std::hypot(row.dx, row.dy));
        EXPECT_NEAR(*ParseNumber(p.params.bodies[2].vx.text), cvx + speed * row.ex, 1e-11 * speed);
        EXPECT_NEAR(*ParseNumber(p.params.bodies[2].vy.text), cvy + speed * row.ey, 1e-11 * speed);
    }
}

TEST(CircularOrbit, NoOrbitWhereThereIsNoDistanceOrNoNumber) {
    struct Row {
        std::array<double, 5> centre, body;
        std::u16string centreMassText;
        bool refused;
    };
    const Row rows[] = {
        {{2e30, 5, 5, 1, 2}, {1e24, 5, 5, 7, 7}, u"2E+30", true},  // one point
        {{2e30, 5, 5, 1, 2}, {1e24, 9, 5, 7, 7}, u"много", true},  // a mass that does not read
        {{0, 5, 5, 1, 2}, {0, 9, 5, 7, 7}, u"0", false},           // no pull: the centre's velocity
    };
    for (const Row& row : rows) {
        Program p;
        Place(p, 1, row.centre);
        Place(p, 2, row.body);
        p.params.SetText({FieldKind::Mass, 1}, row.centreMassText);
        const std::string before = SystemFileBytes(p.params);
        const EditResult r = PutOnCircularOrbit(p.params, 2, 1, OrbitSense::AsMoving);
        EXPECT_EQ(std::pair(r.changed, r.message.empty()), std::pair(!row.refused, !row.refused));
        if (row.refused)
            EXPECT_EQ(SystemFileBytes(p.params), before);
        else
            EXPECT_EQ(std::pair(p.params.bodies[2].vx.text, p.params.bodies[2].vy.text),
                      std::pair(std::u16string(u"1"), std::u16string(u"2")));
    }
}

}  // namespace
}  // namespace orbimo
