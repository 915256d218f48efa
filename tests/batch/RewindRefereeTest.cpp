// The runner as referee: a jump leaves the system file the runner saves after a run that
// stops at the same date.
#include <gtest/gtest.h>

#include <algorithm>

#include "batch/BatchRunner.h"
#include "convert/DateTimeText.h"
#include "examples/ExampleSystems.h"
#include "fakes/TempFolder.h"
#include "files/Catalogue.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

TEST(RewindReferee, AJumpSavesWhatTheRunnerSavesStoppingAtThatDate) {
    constexpr int kW = 800, kH = 600;
    // clang-format off
    const struct Row { std::u16string_view file; const char16_t* date; bool leapfrog; } rows[] = {
        {u"Двойная звезда с планетой.sav", u"17.03.2001", false},
        {u"Двойная звезда с планетой.sav", u"17.03.2001 05:30:00", true},
        {u"Комета Галлея.sav", u"02.02.2031", true},
        {u"Комета Галлея.sav", u"02.02.2031", false}};
    // clang-format on
    for (const Row& r : rows) {
        examples::System system =
            *std::ranges::find(examples::Systems(), r.file, &examples::System::file);
        Program p(examples::FileBytes(system), kW, kH);
        p.logic.SetLeapfrog(r.leapfrog);
        p.logic.StartOrStop();  // to the system's own stop date
        ASSERT_EQ(p.logic.JumpToDate(ParseDate(r.date, p.toolkit)), JumpOutcome::Done);
        system.stop = r.date;
        p.params.stopDate.text = FormatDate(ParseDate(r.date, p.toolkit));
        SaveState(p.params, p.files);

        testing::TempFolder folder;
        folder.Write("in.sav", examples::FileBytes(system));
        BatchOptions o;
        o.systemFile = TextFromPath(folder.path() / "in.sav");
        o.outFile = TextFromPath(folder.path() / "out.sav");
        o.width = kW, o.height = kH, o.leapfrog = r.leapfrog, o.draw = false;
        BatchRunner runner(o, TextFromPath(folder.path()));
        ASSERT_EQ(runner.Run().status, BatchStatus::Done);
        EXPECT_EQ(folder.Contents("out.sav"), *p.files.FindFile(StateFilePath(p.files)))
            << std::string(r.date, r.date + 10) << r.leapfrog;
    }
}

}  // namespace
}  // namespace orbimo
