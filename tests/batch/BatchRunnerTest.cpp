// The runner against the program: same start-up, same run, same bytes, same picture.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "batch/BatchRunner.h"
#include "batch/CsvTrack.h"
#include "batch/Summary.h"
#include "batch/Totals.h"
#include "convert/DateTimeText.h"
#include "convert/NumberText.h"
#include "core/Form1Logic.h"
#include "fakes/FakeToolkit.h"
#include "fakes/TempFolder.h"
#include "files/Catalogue.h"
#include "files/SaveLoad.h"
#include "files/SystemFile.h"
#include "platform/MemorySurface.h"
#include "platform/StdFileSystem.h"

namespace orbimo {
namespace {

namespace fs = std::filesystem;
using testing::FakeToolkit;
using testing::TempFolder;

/// A 96-dpi screen of w x h pixels, as the window system reports it.
class DpiScreen : public ScreenMetrics {
  public:
    DpiScreen(int w, int h) : w_(w), h_(h) {}
    ScreenInfo Screen() const override { return {w_ * 15.0, h_ * 15.0, 15, 15}; }

  private:
    int w_, h_;
};

/// The program as main() builds it, minus the widgets: the state file in its folder is
/// loaded at start-up, "Пуск" is clicked, "Сохранить" writes the state file.
struct TheProgram {
    TheProgram(const fs::path& folder, int w = 1920, int h = 1080)
        : files(TextFromPath(folder)),
          screen(w, h),
          surface(w, h, kWindowBackground),
          params(state, toolkit),
          logic(state, params, surface, toolkit, files, screen) {
        logic.Startup();
    }
    FakeToolkit toolkit;
    StdFileSystem files;
    DpiScreen screen;
    MemorySurface surface;
    SimState state;
    ParamsModel params;
    Form1Logic logic;
};

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path Example(const char16_t* name) {
    return fs::path(ORBIMO_EXAMPLES_DIR) / PathFromText(name);
}

bool SamePicture(const MemorySurface& a, const MemorySurface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    const std::size_t n =
        static_cast<std::size_t>(a.Width()) * static_cast<std::size_t>(a.Height());
    return std::equal(a.Words(), a.Words() + n, b.Words());
}

/// A system file made in the program from its built-in system, changed by edit.
std::string BuiltInVariant(const std::function<void(ParamsModel&)>& edit) {
    TempFolder t;
    TheProgram p(t.path());
    edit(p.params);
    return SystemFileBytes(p.params);
}

struct Runner {
    Runner(const TempFolder& t, const std::string& bytes, BatchOptions o = {}) {
        t.Write("in.sav", bytes);
        o.systemFile = TextFromPath(t.path() / "in.sav");
        if (o.outFile.empty()) o.outFile = TextFromPath(t.path() / "out.sav");
        runner = std::make_unique<BatchRunner>(o, TextFromPath(t.path()));
        report = runner->Run();
    }
    std::unique_ptr<BatchRunner> runner;
    BatchReport report;
};

TEST(BatchRunner, RunToTheStopDateSavesTheBytesTheProgramSaves) {
    const std::string file = Read(Example(u"Двойная звезда с планетой.sav"));
    TempFolder prog, batch;
    prog.Write("Orbimo.sav", file);
    TheProgram p(prog.path());
    p.logic.Click(0);
    SaveState(p.params, p.files);
    ASSERT_TRUE(p.toolkit.messages.empty());

    Runner r(batch, file);
    EXPECT_EQ(r.report.status, BatchStatus::Done);
    EXPECT_TRUE(r.runner->Messages().empty());
    EXPECT_EQ(batch.Contents("out.sav"), prog.Contents("Orbimo.sav"));
    EXPECT_NE(batch.Contents("out.sav"), file) << "the run changed nothing";
    EXPECT_TRUE(SamePicture(r.runner->Picture(), p.surface));
    EXPECT_EQ(r.report.ticks, static_cast<std::int64_t>(p.toolkit.dispatches) + 1);
    EXPECT_GE(r.report.endTime, r.report.stopTime);
    EXPECT_LT(r.report.endTime - r.report.start.TimeStep, r.report.stopTime);
}

TEST(BatchRunner, TickLimitStopsWhereAClickOnStopWould) {
    // All eleven bodies, step-length mode, the view on the origin, no stop date, 640x480.
    const std::string file = BuiltInVariant([](ParamsModel& m) {
        for (int b = 1; b <= kBodies; ++b) m.SetBodyState(b, 1);
        m.SetStepLong(1);
        m.txtdLong.text = u"5E+9";
        m.SelectView(0);
        m.txtTimer.text = u"";
    });
    constexpr int kTicks = 2500;
    TempFolder prog, batch;
    prog.Write("Orbimo.sav", file);
    TheProgram p(prog.path(), 640, 480);
    p.toolkit.onDispatch = [&](long n) {
        if (n == kTicks) p.logic.Click(0);  // "Стоп" between tick kTicks and the next
    };
    p.logic.Click(0);
    SaveState(p.params, p.files);

    BatchOptions o;
    o.maxTicks = kTicks;
    o.width = 640;
    o.height = 480;
    Runner r(batch, file, o);
    EXPECT_EQ(r.report.status, BatchStatus::Done);
    EXPECT_EQ(r.report.ticks, kTicks);
    EXPECT_EQ(batch.Contents("out.sav"), prog.Contents("Orbimo.sav"));
    EXPECT_TRUE(SamePicture(r.runner->Picture(), p.surface));
    EXPECT_EQ(r.runner->State().SimTime, p.state.SimTime);
    EXPECT_TRUE(r.report.stepLong);
    // Step-length mode: the last step is in the file.
    EXPECT_NE(r.runner->Params().txtdTime.text, u"3600");
}

TEST(BatchRunner, StopDateBeforeTheTickLimitEndsTheRun) {
    const std::string file = Read(Example(u"Восьмёрка трёх тел.sav"));
    TempFolder t;
    BatchOptions o;
    o.maxTicks = 1'000'000;
    Runner r(t, file, o);
    EXPECT_EQ(r.report.status, BatchStatus::Done);
    EXPECT_LT(r.report.ticks, 1'000'000);
    EXPECT_GE(r.report.endTime, r.report.stopTime);
}

TEST(BatchRunner, ArithmeticFaultKeepsTheLastGoodStateAsTheProgramDoes) {
    // One body alone at 1E+307 m/s: its position overflows after 17 ticks of a second.
    const std::string file = BuiltInVariant([](ParamsModel& m) {
        for (int b = 1; b <= kBodies; ++b) m.SetBodyState(b, b == 2 ? 1 : 0);
        m.bodies[2].vx.text = u"1E+307";
        m.txtdTime.text = u"1";
        m.txtTimer.text = u"";
    });
    TempFolder prog, batch;
    prog.Write("Orbimo.sav", file);
    TheProgram p(prog.path());
    p.toolkit.onDispatch = [&](long n) {
        if (n == 100) p.logic.Click(0);
    };
    p.logic.Click(0);
    SaveState(p.params, p.files);
    ASSERT_EQ(p.toolkit.messages.size(), 1u);

    BatchOptions o;
    o.maxTicks = 100;
    o.csvFile = TextFromPath(batch.path() / "track.csv");
    Runner r(batch, file, o);
    EXPECT_EQ(r.report.status, BatchStatus::Fault);
    EXPECT_EQ(r.report.fault, TickFault::Overflow);
    EXPECT_EQ(r.report.ticks, 17);
    ASSERT_EQ(r.runner->Messages(), p.toolkit.messages);
    const std::string out = batch.Contents("out.sav");
    EXPECT_EQ(out, prog.Contents("Orbimo.sav"));
    EXPECT_TRUE(std::isfinite(r.runner->State().PosX[2]));
    const std::string csv = batch.Contents("track.csv");
    for (const char* bad : {"NaN", "Inf", "nan", "inf"}) {
        EXPECT_EQ(out.find(bad), std::string::npos) << bad;
        EXPECT_EQ(csv.find(bad), std::string::npos) << bad;
    }
    // The summary does not pretend: a total that overflowed shows as a dash.
    EXPECT_NE(SummaryText(r.report).find(u"арифметической ошибкой"), std::u16string::npos);
}

TEST(BatchRunner, RefusesWhatItCannotRunWithAMessageAndWritesNothing) {
    const std::string good = Read(Example(u"Восьмёрка трёх тел.sav"));
    struct Case {
        const char* what;
        std::string bytes;  // empty: no input file at all
        std::int64_t ticks;
        std::u16string expected;  // part of the message
        bool outFolderMissing = false;
    };
    std::string truncated = good.substr(0, good.find("\r\n", 200));
    const std::vector<Case> cases = {
        {"no file", "", 0, u"Не удалось прочитать файл"},
        {"a file cut short", truncated, 0, u"не файл системы"},
        {"a mass that is not a number",
         BuiltInVariant([](ParamsModel& m) { m.bodies[3].mass.text = u"пять"; }), 10,
         u"«пять» — это не число"},
        {"a zero scale", BuiltInVariant([](ParamsModel& m) { m.zoomText = u"0"; }), 10,
         u"Масштаб должен быть больше нуля"},
        {"a negative scale", BuiltInVariant([](ParamsModel& m) { m.zoomText = u"-5"; }), 10,
         u"Масштаб должен быть больше нуля"},
        {"no stop date and no tick limit",
         BuiltInVariant([](ParamsModel& m) { m.txtTimer.text = u""; }), 0, u"--ticks"},
        {"a stop date before the start", BuiltInVariant([](ParamsModel& m) {
             m.txtTime.text = u"01.01.2000";
             m.txtTimer.text = u"01.01.1999";
         }),
         0, u"нет даты остановки"},
        {"an output folder that does not exist", good, 0, u"не найдена", true},
    };
    for (const Case& c : cases) {
        TempFolder t;
        BatchOptions o;
        o.systemFile = TextFromPath(t.path() / "in.sav");
        if (!c.bytes.empty()) t.Write("in.sav", c.bytes);
        o.maxTicks = c.ticks;
        o.outFile = TextFromPath(t.path() / (c.outFolderMissing ? "no/out.sav" : "out.sav"));
        o.csvFile = TextFromPath(t.path() / "track.csv");
        BatchRunner runner(o, TextFromPath(t.path()));
        const BatchReport r = runner.Run();
        EXPECT_EQ(r.status, BatchStatus::Refused) << c.what;
        EXPECT_EQ(r.ticks, 0) << c.what;
        ASSERT_FALSE(runner.Messages().empty()) << c.what;
        EXPECT_NE(runner.Messages().back().find(c.expected), std::u16string::npos)
            << c.what << ": " << PathFromText(runner.Messages().back());
        EXPECT_FALSE(fs::exists(t.path() / "out.sav")) << c.what;
        EXPECT_FALSE(fs::exists(t.path() / "track.csv")) << c.what;
    }
}

/// A track file's lines, split at commas outside quotes.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields(1);
        bool quoted = false;
        for (char c : line) {
            if (c == '"') {
                quoted = !quoted;
            } else if (c == ',' && !quoted) {
                fields.emplace_back();
            } else {
                fields.back() += c;
            }
        }
        rows.push_back(fields);
    }
    return rows;
}

double Number(const std::string& s) {
    double v = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    EXPECT_TRUE(ec == std::errc{} && ptr == s.data() + s.size()) << s;
    return v;
}

TEST(BatchRunner, TrackReadsBackToTheExactStatesEveryKTicks) {
    const std::string file = Read(Example(u"Внутренние планеты.sav"));
    TempFolder t;
    BatchOptions o;
    o.maxTicks = 100;
    o.csvEvery = 7;
    o.csvFile = TextFromPath(t.path() / "track.csv");
    t.Write("in.sav", file);
    o.systemFile = TextFromPath(t.path() / "in.sav");
    BatchRunner runner(o, TextFromPath(t.path()));
    std::map<std::int64_t, SimState> seen;
    runner.onTick = [&](const SimState& s, std::int64_t tick) {
        if (tick % 7 == 0 || tick == 100) {
            seen[tick] = s;
            seen[tick].PixelOwner = PixelOwnerGrid{};
        }
    };
    const BatchReport r = runner.Run();
    ASSERT_EQ(r.status, BatchStatus::Done);
    seen[0] = r.start;

    const auto rows = ParseCsv(t.Contents("track.csv"));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], (std::vector<std::string>{"t_s", "date_time", "body", "x_m", "y_m", "vx_m_s",
                                                 "vy_m_s"}));
    // Ticks 0, 7, ..., 98 and the last one, 100; five bodies each.
    ASSERT_EQ(rows.size(), 1u + 5u * (15u + 1u));
    auto tick = seen.begin();
    for (std::size_t i = 1; i < rows.size(); i += 5, ++tick) {
        ASSERT_NE(tick, seen.end());
        const SimState& s = tick->second;
        for (int k = 0; k < 5; ++k) {
            const auto& row = rows[i + k];
            ASSERT_EQ(row.size(), 7u);
            const int b = k + 1;
            EXPECT_EQ(Number(row[0]), s.SimTime) << "tick " << tick->first;
            EXPECT_EQ(row[1], PathFromText(ТекстВремени(s.SimTime)).string());
            EXPECT_EQ(row[2], std::to_string(b));
            // Shortest round-trip texts: every double comes back to the bit.
            EXPECT_EQ(Number(row[3]), s.PosX[b]);
            EXPECT_EQ(Number(row[4]), s.PosY[b]);
            EXPECT_EQ(Number(row[5]), s.VelX[b]);
            EXPECT_EQ(Number(row[6]), s.VelY[b]);
        }
    }
    // The last rows are the final state.
    const SimState& end = runner.State();
    EXPECT_EQ(Number(rows.back()[3]), end.PosX[5]);
    EXPECT_EQ(Number(rows.back()[0]), end.SimTime);
    // The first rows are the file's texts as "Пуск" converts them: item 11 is body 2's x.
    SystemFileReader items(file);
    for (int i = 1; i < 11; ++i) items.Next();
    EXPECT_EQ(Number(rows[2][3]), *ЧислоИзТекста(*items.Next()));
}

TEST(BatchRunner, TotalsOfACircularPairAndTheirDrifts) {
    SimState s;
    SetConstants(s);
    s.BodyOn[1] = s.BodyOn[2] = 1;
    s.Mass[1] = 2e30;
    s.Mass[2] = 1e25;
    s.PosX[2] = 1.5e11;
    s.VelY[2] = 30000;
    const Totals t = MeasureTotals(s);
    EXPECT_DOUBLE_EQ(t.kinetic, 0.5 * 1e25 * 9e8);
    EXPECT_DOUBLE_EQ(t.potential, -6.6725e-11 * 2e30 * 1e25 / 1.5e11);
    EXPECT_DOUBLE_EQ(t.momentumY, 3e29);
    EXPECT_DOUBLE_EQ(t.momentumScale, 3e29);
    // A body that does not take part counts for nothing.
    s.Mass[3] = 1e40;
    s.VelX[3] = 1e10;
    EXPECT_EQ(MeasureTotals(s).Energy(), t.Energy());
    Totals later = t;
    later.kinetic += t.Energy() * -1e-6;
    EXPECT_NEAR(EnergyDrift(t, later), 1e-6, 1e-15);
    later.momentumX += 3e29 * 1e-9;
    EXPECT_NEAR(MomentumDrift(t, later), 1e-9, 1e-18);
    EXPECT_EQ(EnergyDrift(Totals{}, Totals{}), 0);
}

TEST(BatchRunner, SummaryNamesTicksSpanWallTimeRateAndDrifts) {
    const std::string file = Read(Example(u"Солнце, Земля и Луна.sav"));
    TempFolder t;
    BatchOptions o;
    o.maxTicks = 1000;
    Runner r(t, file, o);
    ASSERT_EQ(r.report.status, BatchStatus::Done);
    const std::u16string s = SummaryText(r.report);
    for (const std::u16string& part :
         {std::u16string(u"Тактов: 1 000\n"), std::u16string(u"Смоделировано: 600 000 с"),
          std::u16string(u"тактов в секунду"), std::u16string(u"дрейф полной энергии"),
          std::u16string(u"дрейф полного импульса")})
        EXPECT_NE(s.find(part), std::u16string::npos) << PathFromText(part);
    // Momentum is kept to rounding by the kick: equal and opposite for every pair.
    EXPECT_LT(MomentumDrift(r.report.before, r.report.after), 1e-12);
    EXPECT_LT(EnergyDrift(r.report.before, r.report.after), 1e-4);
    EXPECT_EQ(ShortNumber(0.012345), u"0,0123");
    EXPECT_EQ(ShortNumber(2.5e-6), u"2,50E-06");
    EXPECT_EQ(ShortNumber(std::nan("")), u"—");
    EXPECT_EQ(GroupedInteger(1234567), u"1 234 567");
}

TEST(BatchRunner, ProgressGoesUpToTheEnd) {
    const std::string file = Read(Example(u"Восьмёрка трёх тел.sav"));
    TempFolder t;
    t.Write("in.sav", file);
    BatchOptions o;
    o.systemFile = TextFromPath(t.path() / "in.sav");
    BatchRunner runner(o, TextFromPath(t.path()));
    std::vector<double> done;
    runner.onProgress = [&](double d, std::int64_t) { done.push_back(d); };
    runner.Run();
    ASSERT_GE(done.size(), 4u);
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_GT(done.back(), 0.75);
    EXPECT_LE(done.back(), 1.0);
}

}  // namespace
}  // namespace orbimo
