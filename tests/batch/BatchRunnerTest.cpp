// The runner against the program: same start-up, same run, same bytes, same picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <tuple>

#include "batch/BatchRunner.h"
#include "examples/ExampleSystems.h"
#include "fakes/FakeToolkit.h"
#include "fakes/TempFolder.h"
#include "files/Catalogue.h"
#include "mainwindow/Form1Logic.h"

namespace orbimo {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
constexpr int kW = 800, kH = 600;  // the main window's size, in pixels

/// The program as main() builds it, minus the widgets: the state file loaded at start-up.
struct TheProgram {
    explicit TheProgram(const fs::path& folder) : files(TextFromPath(folder)) { logic.Startup(); }
    testing::FakeToolkit toolkit;
    StdFileSystem files;
    FixedScreen screen{kW, kH};
    MemorySurface surface{kW, kH, kWindowBackground};
    SimState state;
    ParamsModel params{state, toolkit};
    Form1Logic logic{state, params, surface, toolkit, files, screen};
};

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
    examples::System fast = Named(u"Внутренние планеты.sav");
    fast.bodies = {fast.bodies[1]};  // Mercury alone at 1E+307 m/s: its position overflows
    fast.bodies[0].vx = 1e307, fast.step = 1;
    // Ticks after which the program clicks "Стоп" (0: to the stop date); the comet steps by length.
    const std::tuple<examples::System, std::int64_t, BatchStatus> cases[] = {
        {Named(u"Двойная звезда с планетой.sav"), 0, BatchStatus::Done},
        {Named(u"Комета Галлея.sav"), 2500, BatchStatus::Done},
        {fast, 100, BatchStatus::Fault}};
    for (const auto& [system, ticks, status] : cases) {
        const std::string file = examples::FileBytes(system), name = PathFromText(system.file);
        TempFolder prog, batch;
        prog.Write("Orbimo.sav", file);
        TheProgram p(prog.path());
        p.toolkit.onDispatch = [&, ticks = ticks](long n) {
            if (n == ticks) p.logic.Click(0);  // "Стоп" between tick n and the next
        };
        p.logic.Click(0);
        SaveState(p.params, p.files);
        BatchOptions o;
        o.maxTicks = ticks, o.csvEvery = 1000, o.width = kW, o.height = kH;
        const auto r = InFolder(batch, file, o);
        EXPECT_EQ(r->Run().status, status) << name;
        EXPECT_EQ(r->Messages(), p.toolkit.messages) << name;
        const std::string out = batch.Contents("out.sav");
        EXPECT_EQ(out, prog.Contents("Orbimo.sav")) << name;
        EXPECT_NE(out, file) << name << ": the run changed nothing";
        EXPECT_TRUE(r->Picture().Words() == p.surface.Words()) << name;
        // After a fault the outputs hold the last good state.
        for (const char* bad : {"NaN", "Inf", "nan", "inf"})
            EXPECT_EQ((out + batch.Contents("track.csv")).find(bad), std::string::npos) << name;
    }
}

TEST(BatchRunner, TrackReadsBackToTheExactStatesEveryKTicksAndAtTheEnd) {
    TempFolder t;
    BatchOptions o;
    o.maxTicks = 10, o.csvEvery = 7;
    const auto r = InFolder(t, examples::FileBytes(Named(u"Внутренние планеты.sav")), o);
    std::vector<SimState> seen;  // ticks 0, 7 and the last, 10
    r->onTick = [&](const SimState& s, std::int64_t tick) {
        if (tick == 7 || tick == 10) seen.push_back(s);
    };
    const BatchReport report = r->Run();
    seen.insert(seen.begin(), report.start);
    std::istringstream csv(t.Contents("track.csv"));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "t_s,date_time,body,x_m,y_m,vx_m_s,vy_m_s");
    for (const SimState& s : seen)
        for (int b = 1; b <= 5; ++b) {  // the Sun and four planets
            ASSERT_TRUE(std::getline(csv, line));
            // Without the date-time text, which is quoted for it holds a comma.
            const std::size_t q = line.find('"'), e = line.find('"', q + 1);
            std::istringstream rest(line.substr(0, q) + line.substr(e + 1));
            std::vector<double> got;
            for (std::string f; std::getline(rest, f, ',');)
                if (!f.empty()) got.push_back(std::stod(f));
            // Shortest round-trip texts: every double comes back to the bit.
            EXPECT_EQ(got, (std::vector<double>{s.SimTime, 1.0 * b, s.PosX[b], s.PosY[b], s.VelX[b],
                                                s.VelY[b]}))
                << line;
        }
    EXPECT_FALSE(std::getline(csv, line)) << "a row too many: " << line;
}

}  // namespace
}  // namespace orbimo
