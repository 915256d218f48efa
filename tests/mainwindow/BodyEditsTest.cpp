// Edits of the system made with the mouse: through the fields, as typing makes them.
#include <gtest/gtest.h>

#include <cmath>

#include "convert/NumberText.h"
#include "mainwindow/BodyEdits.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

TEST(BodyEdits, NewBodiesGoIntoTheFirstSlotsNotTakingPartUntilAllElevenDo) {
    Program p;                    // bodies 1..5 take part
    p.params.SetBodyState(6, 2);  // greyed: not taking part either
    std::vector<MassPreset> chosen(MassPresets().begin(), MassPresets().end());
    chosen.push_back({u"Меркурий", u"3.3e23"});  // typed; the field normalises it as typing does
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const int slot = 6 + static_cast<int>(i);
        const FieldPoint at{1.5e11 + 1e9 * static_cast<double>(i), -7e10};
        const EditResult r =
            AddBody(p.params, {chosen[i].name, chosen[i].massText, at, 0, 1000.5}, 1e6);
        EXPECT_EQ(std::tuple(r.changed, r.body), std::tuple(true, slot));
        const BodyRow& row = p.params.bodies[slot];
        EXPECT_EQ(row.caption, chosen[i].name);
        EXPECT_EQ(ParseNumber(row.mass.text),
                  ParseNumber(ReplaceChars(chosen[i].massText, u".", u",")));
        EXPECT_NEAR(*ParseNumber(row.x.text), at.x, 1e6);
        EXPECT_EQ(std::tuple(row.vx.text, row.vy.text, row.state, p.state.BodyOn[slot]),
                  std::tuple(u"0", u"1000,5", 1, 1));
    }
    const std::string full = SystemFileBytes(p.params);
    const EditResult r = AddBody(p.params, {u"Луна", u"1", {}, 0, 0}, 1);
    EXPECT_FALSE(r.changed);
    EXPECT_NE(r.message.find(u"Все 11 тел"), std::u16string::npos);
    EXPECT_EQ(SystemFileBytes(p.params), full);
}

TEST(BodyEdits, NamesAreTakenOnlyWhenASystemFileKeepsThem) {
    const std::pair<std::u16string, bool> names[] = {
        {u"Луна", true},        {u"Ёж «колючий», № 2", true}, {u"", false},        {u"   ", false},
        {u"Луна \"2\"", false}, {u"Луна\r\nII", false},       {u"Тело\t1", false}, {u"日本", false},
        {u"Σ Ω", false},        {u"Комета 😀", false}};
    for (const auto& [name, taken] : names) {
        Program p;
        const EditResult r = RenameBody(p.params, 3, name);
        EXPECT_EQ(std::pair(r.changed, r.message.empty()), std::pair(taken, taken));
        // Saved and loaded again, the name is what the window shows.
        p.files.AddFile(u"/prog/Save/x.sav", SystemFileBytes(p.params));
        Program q;
        LoadSystem(q.params, q.files = p.files, u"/prog/Save/x.sav");
        EXPECT_EQ(q.params.bodies[3].caption, taken ? name : u"Тело 3");
    }
}

TEST(BodyEdits, WhatAFieldCannotHoldIsRefusedAndChangesNothing) {
    const double nan = std::nan("");
    const std::function<EditResult(ParamsModel&)> edits[] = {
        [&](ParamsModel& m) {
            return MoveBody(m, 2, {nan, 0}, 1);
        },
        [&](ParamsModel& m) {
            return MoveBody(m, 12, {0, 0}, 1);
        },
        [&](ParamsModel& m) { return SetBodyVelocity(m, 2, 0, HUGE_VAL, 1); },
        [&](ParamsModel& m) {
            return AddBody(m, {u"Луна", u"много", {}, 0, 0}, 1);
        },
        [&](ParamsModel& m) {
            return AddBody(m, {u"Луна", u"1", {1e308 * 10, 0}, 0, 0}, 1);
        },
        [&](ParamsModel& m) { return SwitchOffBody(m, 0); }};
    for (const auto& edit : edits) {
        Program p;
        const std::string before = SystemFileBytes(p.params);
        const EditResult r = edit(p.params);
        EXPECT_FALSE(r.changed);
        EXPECT_FALSE(r.message.empty());
        EXPECT_EQ(SystemFileBytes(p.params), before);
    }
}

TEST(BodyEdits, ABodySwitchedOffNoLongerTakesPart) {
    Program p;
    EXPECT_TRUE(SwitchOffBody(p.params, 2).changed);
    EXPECT_EQ(std::pair(p.params.bodies[2].state, p.state.BodyOn[2]),
              std::pair(0, std::int16_t{0}));
    EXPECT_FALSE(SwitchOffBody(p.params, 2).changed);
}

}  // namespace
}  // namespace orbimo
