// The runner against the program: same start-up, same run, same bytes, same picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <sstream>
#include <tuple>

#include "batch/BatchRunner.h"
#include "batch/CsvTrack.h"
#include "batch/Summary.h"
#include "examples/ExampleSystems.h"
#include "fakes/TempFolder.h"
#include "files/Catalogue.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

using testing::TempFolder;
constexpr int kW = 800, kH = 600;  // the screen, in pixels

examples::System Named(std::u16string_view file) {
    return *std::ranges::find(examples::Systems(), file, &examples::System::file);
}

/// A runner of bytes as in.sav in t, writing out.sav and track.csv there.
std::unique_ptr<BatchRunner> InFolder(const TempFolder& t, const std::string& bytes,
                                      BatchOptions o) {
    t.Write("in.sav", bytes);
    for (auto [field, name] :
         {std::pair{&o.systemFile, "in.sav"}, {&o.outFile, "out.sav"}, {&o.csvFile, "track.csv"}})
        *field = TextFromPath(t.path() / name);
    return std::make_unique<BatchRunner>(o, TextFromPath(t.path()));
}

TEST(BatchRunner, SavesWhatTheProgramSavesAfterTheSameRun) {
    // Mercury alone, gaining 1E+307 m a tick, overflows in the 18th. Steps of 2E+05 s, over a
    // twentieth of Mercury's time scale of 8,5E+05 s, drift the energy by 0,0028: the runner warns
    // of both once, though it looks every 4096 ticks.
    examples::System fast = Named(u"Внутренние планеты.sav"), coarse = fast;
    fast.bodies = {fast.bodies[1]};
    fast.bodies[0].vx = 1e307, fast.step = 1;
    coarse.step = 2e5, coarse.stop = u"01.01.2100";
    const examples::System binary = Named(u"Двойная звезда с планетой.sav");
    // Ticks after which the program clicks "Стоп" (0: to the stop date, 52608 steps of 1800 s from
    // 01.01.2000); the comet steps by length.
    using Case = std::tuple<examples::System, std::int64_t, BatchStatus, std::string, bool, int>;
    // clang-format off
    const Case cases[] = {{binary, 0, BatchStatus::Done, "\"01.01.2003\"\r\n", false, 0},
                          {binary, 0, BatchStatus::Done, "\"01.01.2003\"\r\n", true, 0},
                          {Named(u"Комета Галлея.sav"), 2500, BatchStatus::Done, "", true, 0},
                          {fast, 100, BatchStatus::Fault, "\"1,7E+308\"\r\n", false, 0},
                          {coarse, 10000, BatchStatus::Done, "", false, 2}};
    // clang-format on
    for (const auto& [system, ticks, status, item, leapfrog, warnings] : cases) {
        const std::string file = examples::FileBytes(system), name = PathFromText(system.file);
        testing::StartedProgram p(file, kW, kH);
        p.logic.SetLeapfrog(leapfrog);
        p.RunUntilDispatch(ticks);  // "Стоп" between tick n and the next
        SaveState(p.params, p.files);
        TempFolder batch;
        BatchOptions o;
        o.maxTicks = ticks, o.csvEvery = 1000, o.width = kW, o.height = kH, o.leapfrog = leapfrog;
        const auto r = InFolder(batch, file, o);
        const BatchReport report = r->Run();
        EXPECT_EQ(report.status, status) << name;
        EXPECT_EQ(report.warnings.size(), std::size_t(warnings)) << name;
        EXPECT_EQ(r->Messages(), p.toolkit.messages) << name;
        const std::string out = batch.Contents("out.sav");
        EXPECT_EQ(out, *p.files.FindFile(StateFilePath(p.files))) << name;
        EXPECT_NE(out.find(item), std::string::npos) << name;
        EXPECT_TRUE(r->Picture().Words() == p.surface.Words()) << name;
        // After a fault the track too holds the last good state.
        for (const char* bad : {"NaN", "Inf", "nan", "inf"})
            EXPECT_EQ(batch.Contents("track.csv").find(bad), std::string::npos) << name;
    }
}

TEST(BatchRunner, TrackHasTheStartEveryKthTickAndTheEndInShortestRoundTripTexts) {
    SimState s;
    s.BodyCount = kBodies, s.BodyOn[2] = 1, s.BodyOn[5] = 2, s.SimTime = 86400;  // 5 greyed
    s.PosX[2] = 0.1, s.PosY[2] = -2, s.VelX[2] = 1e300, s.VelY[2] = 1.0 / 3;
    std::string rows;
    AppendCsvRows(rows, s);
    EXPECT_EQ(rows, "86400,\"02.01.1900\",2,0.1,-2,1e+300,0.3333333333333333\n");
    // Leapfrog too, tick 7's rows are the end of a 7-tick run: velocities at the positions' moment.
    TempFolder t, seven;
    BatchOptions o;
    o.maxTicks = 14, o.csvEvery = 7, o.leapfrog = true;  // the end on a 7th tick: once
    const std::string inner = examples::FileBytes(Named(u"Внутренние планеты.sav"));
    InFolder(t, inner, o)->Run();
    o.maxTicks = 7, o.csvEvery = 8;  // its last rows after the run
    InFolder(seven, inner, o)->Run();
    std::istringstream csv(t.Contents("track.csv"));
    std::vector<std::string> times, lines, expected{"t_s"};  // the header, then a row per body
    for (std::string line; std::getline(csv, line);)
        times.push_back(line.substr(0, line.find(','))), lines.push_back(line + "\n");
    for (const char* at : {"3155673600", "3155698800", "3155724000"})  // 01.01.2000, ticks 7, 14
        expected.insert(expected.end(), 5, at);
    EXPECT_EQ(times, expected);
    EXPECT_TRUE(
        seven.Contents("track.csv")
            .ends_with(std::accumulate(lines.begin() + 6, lines.begin() + 11, std::string())));
}

TEST(BatchRunner, SummaryGivesTheModeAndTheSpanInSecondsDaysAndYears) {
    BatchReport r;
    r.ticks = 240, r.endTime = 864000, r.wallSeconds = 2, r.leapfrog = true;
    // 864 000 s = 10 days = 0,02738 of a year of 365,25 days.
    EXPECT_NE(SummaryText(r).find(u"Старт: точный (leapfrog)\nТактов: 240\nСмоделировано: 864 000 "
                                  u"с ≈ 10,00 сут ≈ 0,02738 г. "
                                  u"(с 01.01.1900 до 11.01.1900)\nВремя счёта: 2,00 с, 120 тактов"),
              std::u16string::npos);
}

}  // namespace
}  // namespace orbimo
