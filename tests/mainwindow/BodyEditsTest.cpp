// Edits made with the mouse go through the fields, as typing makes them.
#include <gtest/gtest.h>

#include <cmath>

#include "convert/NumberText.h"
#include "mainwindow/BodyDrag.h"
#include "mainwindow/BodyEdits.h"
#include "mainwindow/CircularOrbit.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

using P = Program&;

TEST(BodyEdits, NewBodiesGoIntoTheFirstSlotsNotTakingPartUntilAllElevenDo) {
    Program p;                    // bodies 1..5 take part
    p.params.SetBodyState(6, 2);  // greyed: not taking part either
    std::vector<MassPreset> chosen(MassPresets().begin(), MassPresets().end());
    chosen.push_back({u"Меркурий", u"3.3e23"});  // typed: normalised as typing is
    for (int slot = 6; const MassPreset& m : chosen) {
        const double x = 1.5e11 + 1e9 * slot;
        const EditResult r = AddBody(p.params, {m.name, m.massText, {x, -7e10}, 0, 1000.5}, 1e6);
        const BodyRow& row = p.params.bodies[slot];
        EXPECT_EQ(
            std::tuple(r.body, row.caption, row.state, p.state.BodyOn[slot], row.mass.text,
                       row.vx.text, row.vy.text),
            std::tuple(slot, m.name, 1, 1, ReplaceChars(m.massText, u".", u","), u"0", u"1000,5"));
        EXPECT_NEAR(*ParseNumber(row.x.text), x, 1e6);
        ++slot;
    }
    const std::string full = SystemFileBytes(p.params);
    EXPECT_EQ(AddBody(p.params, {u"Луна", u"1", {}, 0, 0}, 1).message.find(u"Все 11 тел"), 0u);
    EXPECT_EQ(SystemFileBytes(p.params), full);
}

TEST(BodyEdits, NamesAreTakenOnlyWhenASystemFileKeepsThem) {
    // clang-format off
    const std::pair<std::u16string, bool> names[] = {
        {u"Луна", true}, {u"Ёж «колючий», № 2", true}, {u"Comet C/2020 F3 (NEOWISE)", true},
        {u"", false}, {u"   ", false}, {u"Луна \"2\"", false}, {u"Луна\r\nII", false},
        {u"Tab\there", false}, {u"日本", false}, {u"Комета 😀", false},
        {std::u16string(40, u'я'), true}, {std::u16string(41, u'я'), false}};  // 40 at most
    // clang-format on
    for (const auto& [name, taken] : names) {
        Program p;
        const EditResult r = RenameBody(p.params, 3, name);
        EXPECT_EQ(std::pair(r.changed, r.message.empty()), std::pair(taken, taken));
        EXPECT_EQ(p.params.bodies[3].caption, taken ? name : u"Тело 3");
        Program q;  // saved and loaded again, the name is the one shown
        q.files.AddFile(u"/prog/x.sav", SystemFileBytes(p.params));
        LoadSystem(q.params, q.files, u"/prog/x.sav");
        EXPECT_EQ(q.params.bodies[3].caption, taken ? name : u"Тело 3");
    }
}

TEST(BodyEdits, WhatCannotBeDoneIsRefusedWithAMessageAndChangesNothing) {
    auto atTheCentre = [](P p) {
        for (FieldKind f : {FieldKind::X, FieldKind::Y})
            p.params.SetText({f, 2}, p.params.Text({f, 1}));
    };
    auto asItIs = [](P) {};
    auto noMass = [](P p) { p.params.SetText({FieldKind::Mass, 1}, u"много"); };
    // clang-format off
    const std::pair<std::function<void(P)>, std::function<EditResult(P)>> rows[] = {
        {asItIs, [](P p) { return MoveBody(p.params, 2, {std::nan(""), 0}, 1); }},
        {asItIs, [](P p) { return MoveBody(p.params, 12, {0, 0}, 1); }},
        {asItIs, [](P p) { return SetBodyVelocity(p.params, 2, 0, HUGE_VAL, 1); }},
        {asItIs, [](P p) { return AddBody(p.params, {u"Луна", u"много", {}, 0, 0}, 1); }},
        {asItIs, [](P p) { return AddBody(p.params, {u"Луна", u"1", {HUGE_VAL, 0}, 0, 0}, 1); }},
        {asItIs, [](P p) { return PutOnCircularOrbit(p.params, 2, 2, OrbitSense::AsMoving); }},
        {atTheCentre, [](P p) { return PutOnCircularOrbit(p.params, 2, 1, OrbitSense::AsMoving); }},
        {noMass, [](P p) { return PutOnCircularOrbit(p.params, 2, 1, OrbitSense::AsMoving); }}};
    // clang-format on
    for (const auto& [setUp, edit] : rows) {
        Program p;
        setUp(p);
        const std::string before = SystemFileBytes(p.params);
        const EditResult r = edit(p);
        EXPECT_EQ(std::pair(r.changed, r.message.empty()), std::pair(false, false));
        EXPECT_EQ(SystemFileBytes(p.params), before);
    }
}

// Body 1 about body 11; the fields' y grows down the screen, as the screen's does.
// A body dragged by the mouse moves by as many pixels' worth as the pointer did, one step for
// the whole drag; back where it was pressed it takes its own texts again.
TEST(BodyDrag, TheBodyMovesAsThePointerDidInOneStep) {
    const std::pair<int, int> moves[] = {{40, -30}, {-7, 120}, {1, 0}, {0, 0}};
    for (const auto& [dx, dy] : moves) {
        Program p;
        const BodyRow was = p.params.bodies[3];
        const FieldPoint at{*ParseNumber(was.x.text), *ParseNumber(was.y.text)};
        const Pixel pressed =
            *PictureCoordinates(p.state, Frame{}, BodiesFromFields(p.params)).PixelOf(at);
        BodyDrag drag(p.logic);
        ASSERT_EQ(drag.Press(pressed, false, 3), BodyDrag::Grab::Body);
        for (int i = 1; i <= 4; ++i) drag.Move({pressed.x + dx * i / 4, pressed.y + dy * i / 4});
        drag.Release();
        const double metres = p.state.Zoom * 15;  // a pixel, fifteen twips a pixel
        EXPECT_NEAR((*ParseNumber(p.params.bodies[3].x.text) - at.x) / metres, dx, 0.5);
        EXPECT_NEAR((*ParseNumber(p.params.bodies[3].y.text) - at.y) / metres, dy, 0.5);
        EXPECT_EQ(p.params.bodies[3].x.text == was.x.text, dx == 0) << dx;
        EXPECT_EQ(p.logic.History().UndoName(),
                  dx == 0 && dy == 0 ? u"" : u"перемещение тела " + was.caption);
        p.logic.Undo();
        EXPECT_EQ(std::pair(p.params.bodies[3].x.text, p.params.bodies[3].y.text),
                  std::pair(was.x.text, was.y.text));
    }
}

TEST(CircularOrbit, SpeedAcrossTheLineInTheSenseAskedFor) {
    // clang-format off
    const std::tuple<double, double, double, OrbitSense, double, double, double> rows[] = {
        // where, relative speed along y, sense; the direction expected; the centre's mass
        {1.5e11, 0, 0, OrbitSense::Anticlockwise, 0, -1, 2e30},  // right of the centre: up the screen
        {0, 1.5e11, 0, OrbitSense::Anticlockwise, 1, 0, 2e30},   // below it: to the right
        {1.5e11, 0, -9, OrbitSense::AsMoving, 0, -1, 2e30},      // going up: anticlockwise
        {1.5e11, 0, 5, OrbitSense::AsMoving, 0, 1, 2e30},        // going down: clockwise, kept
        {1.5e11, 0, 5, OrbitSense::Anticlockwise, 0, -1, 2e30},  // turned round
        {-3e10, 4e10, 0, OrbitSense::AsMoving, 0.8, 0.6, 2e30},  // still: anticlockwise
        {-3e10, 4e10, 7, OrbitSense::AsMoving, 0.8, 0.6, 0}};    // no mass: the centre's velocity
    // clang-format on
    const double cx = 1e9, cy = -2e9, cvx = 100, cvy = -200;
    for (const auto& [dx, dy, dvy, sense, ex, ey, M] : rows) {
        Program p;
        const double m = M * 3e-6,
                     along[2][5] = {{M, cx, cy, cvx, cvy}, {m, cx + dx, cy + dy, cvx, cvy + dvy}};
        for (int k = 0; k < 2; ++k)
            for (int i = 0; i < 5; ++i)
                p.params.SetText({static_cast<FieldKind>(i), k ? 1 : 11},
                                 FormatNumber(along[k][i]));
        EXPECT_TRUE(PutOnCircularOrbit(p.params, 1, 11, sense).changed);
        const double speed = std::sqrt(6.6725e-11 * (M + m) / std::hypot(dx, dy));
        EXPECT_NEAR(*ParseNumber(p.params.bodies[1].vx.text), cvx + speed * ex, 1e-11 * speed);
        EXPECT_NEAR(*ParseNumber(p.params.bodies[1].vy.text), cvy + speed * ey, 1e-11 * speed);
    }
}

}  // namespace
}  // namespace orbimo
