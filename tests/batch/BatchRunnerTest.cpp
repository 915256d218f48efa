// The runner against the program: same start-up, same run, same bytes, same picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "batch/BatchRunner.h"
#include "core/Form1Logic.h"
#include "examples/ExampleSystems.h"
#include "fakes/FakeToolkit.h"
#include "fakes/TempFolder.h"
#include "files/Catalogue.h"

namespace orbimo {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
constexpr int kW = 800, kH = 600;  // the main window's size, in pixels

/// The program as main() builds it, minus the widgets: the state file in its folder is
/// loaded at start-up, "Пуск" is clicked, "Сохранить" writes the state file.
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

/// The table's system saved under this name.
examples::System Named(std::u16string_view file) {
    return *std::ranges::find(examples::Systems(), file, &examples::System::file);
}

/// A runner of bytes as in.sav in t, writing out.sav and track.csv there.
std::unique_ptr<BatchRunner> InFolder(const TempFolder& t, const std::string& bytes,
                                      BatchOptions o) {
    t.Write("in.sav", bytes);
    o.systemFile = TextFromPath(t.path() / "in.sav");
    o.outFile = TextFromPath(t.path() / "out.sav");
    o.csvFile = TextFromPath(t.path() / "track.csv");
    return std::make_unique<BatchRunner>(o, TextFromPath(t.path()));
}

TEST(BatchRunner, SavesWhatTheProgramSavesAfterTheSameRun) {
    examples::System fast = Named(u"Внутренние планеты.sav");
    fast.bodies = {fast.bodies[1]};  // Mercury alone at 1E+307 m/s: its position overflows
    fast.bodies[0].vx = 1e307, fast.step = 1;
    const struct {
        examples::System system;
        std::int64_t ticks;  // the program clicks "Стоп" after so many; 0: to the stop date
        BatchStatus status;
    } cases[] = {
        {Named(u"Двойная звезда с планетой.sav"), 0, BatchStatus::Done},
        {Named(u"Комета Галлея.sav"), 2500, BatchStatus::Done},  // in step-length mode
        {fast, 100, BatchStatus::Fault},
    };
    for (const auto& c : cases) {
        const std::string file = examples::FileBytes(c.system), name = PathFromText(c.system.file);
        TempFolder prog, batch;
        prog.Write("Orbimo.sav", file);
        TheProgram p(prog.path());
        p.toolkit.onDispatch = [&](long n) {
            if (n == c.ticks) p.logic.Click(0);  // "Стоп" between tick n and the next
        };
        p.logic.Click(0);
        SaveState(p.params, p.files);

        BatchOptions o;
        o.maxTicks = c.ticks, o.csvEvery = 1000, o.width = kW, o.height = kH;
        const auto r = InFolder(batch, file, o);
        EXPECT_EQ(r->Run().status, c.status) << name;
        EXPECT_EQ(r->Messages(), p.toolkit.messages) << name;
        const std::string out = batch.Contents("out.sav");
        EXPECT_EQ(out, prog.Contents("Orbimo.sav")) << name;
        EXPECT_NE(out, file) << name << ": the run changed nothing";
        const MemorySurface &a = r->Picture(), &b = p.surface;
        EXPECT_TRUE(std::equal(a.Words(), a.Words() + kW * kH, b.Words())) << name;
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
    for (const SimState& s : seen) {
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
    }
    EXPECT_FALSE(std::getline(csv, line)) << "a row too many: " << line;
}

}  // namespace
}  // namespace orbimo
