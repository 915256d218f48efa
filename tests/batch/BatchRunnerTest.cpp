// The runner against the program: same start-up, same run, same bytes, same picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
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

/// The numbers of a CSV line (a field that is not a number: NaN, an empty one: infinity).
std::vector<double> Numbers(const std::string& line) {
    std::vector<double> out;
    std::istringstream in(line);
    for (std::string f; std::getline(in, f, ',');) {
        double v = f.empty() ? INFINITY : NAN;
        std::from_chars(f.data(), f.data() + f.size(), v);
        out.push_back(v);
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A star and a planet on an orbit of a = 1E+11 m, e = 0,6 from its periapsis, leapfrog: the
// totals at the start, every 1000th tick and the end are those of the track's states worked out
// here, and the orbits at the end those chosen, about either body.
TEST(BatchRunner, TotalsAndOrbitsAreThoseOfTheTrackAndTheChosenOrbit) {
    const double M = 2e30, m = 1e24, a = 1e11, e = 0.6, mu = examples::G * (M + m);
    const double v = std::sqrt(mu * (1 + e) / (a * (1 - e)));  // at the periapsis
    examples::System two;
    two.file = u"two.sav", two.start = u"01.01.2000", two.step = 600, two.zoom = 1e9;
    two.bodies = {{u"Звезда", M, 0, 0, 0, 0}, {u"Планета", m, a * (1 - e), 0, 0, -v}};
    for (const int centre : {0, 1, 2}) {
        SCOPED_TRACE(centre);
        TempFolder t;
        BatchOptions o;
        o.maxTicks = 2500, o.csvEvery = 1000, o.leapfrog = true, o.centre = centre;
        o.totalsFile = TextFromPath(t.path() / "totals.csv");
        o.elementsFile = TextFromPath(t.path() / "orbits.csv");
        ASSERT_EQ(InFolder(t, examples::FileBytes(two), o)->Run().status, BatchStatus::Done);
        const std::vector<std::string> totals = Lines(t.Contents("totals.csv")),
                                       track = Lines(t.Contents("track.csv"));
        ASSERT_EQ(totals.size(), 5u);  // the header, ticks 0, 1000, 2000 and 2500
        EXPECT_EQ(totals[0],
                  "t_s,date_time,kinetic_J,potential_J,total_J,angular_momentum_kg_m2_s,"
                  "energy_drift");
        double e0 = 0;
        for (std::size_t row = 1; row < totals.size(); ++row) {
            const std::vector<double> got = Numbers(totals[row]);
            // Track rows: t, date, body, x, y, vx, vy for the star, then the planet.
            const std::vector<double> s = Numbers(track[2 * row - 1]), p = Numbers(track[2 * row]);
            const double kinetic =
                (M * (s[5] * s[5] + s[6] * s[6]) + m * (p[5] * p[5] + p[6] * p[6])) / 2;
            const double potential = -examples::G * M * m / std::hypot(p[3] - s[3], p[4] - s[4]);
            const double turn = M * (s[3] * s[6] - s[4] * s[5]) + m * (p[3] * p[6] - p[4] * p[5]);
            if (row == 1) e0 = kinetic + potential;
            ASSERT_EQ(got.size(), 7u);
            EXPECT_EQ(got[0], s[0]);
            EXPECT_NEAR(got[2] / kinetic, 1, 1e-13);
            EXPECT_NEAR(got[3] / potential, 1, 1e-13);
            EXPECT_NEAR(got[4] / (kinetic + potential), 1, 1e-12);
            EXPECT_NEAR(got[5] / turn, 1, 1e-13);
            EXPECT_NEAR(got[6], (kinetic + potential - e0) / std::fabs(e0), 1e-12);
        }
        const std::vector<std::string> orbits = Lines(t.Contents("orbits.csv"));
        ASSERT_EQ(orbits.size(), 2u);
        EXPECT_EQ(orbits[0], "body,name,centre,a_m,e,period_s,periapsis_m,apoapsis_m");
        EXPECT_TRUE(orbits[1].starts_with(centre == 2 ? "1,\"Звезда\",2," : "2,\"Планета\",1,"));
        const std::vector<double> got = Numbers(orbits[1]);
        EXPECT_NEAR(got[3] / a, 1, 1e-5);
        EXPECT_NEAR(got[4], e, 1e-5);
        EXPECT_NEAR(got[5] / (2 * M_PI * std::sqrt(a * a * a / mu)), 1, 2e-5);
        EXPECT_NEAR(got[6] / (a * (1 - e)), 1, 1e-4);
        EXPECT_NEAR(got[7] / (a * (1 + e)), 1, 1e-4);
    }
}

}  // namespace
}  // namespace orbimo
