// The built orbimo-batch executable: exit status, and its picture against the library's.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <algorithm>
#include <tuple>

#include "batch/BatchRunner.h"
#include "examples/ExampleSystems.h"
#include "fakes/TempFolder.h"

namespace orbimo::examples {
namespace {

/// Runs the executable on in.sav in t with these arguments: its exit status and stderr.
std::pair<int, std::string> RunBatch(const testing::TempFolder& t, const std::string& args) {
    // A runner that writes without end stops at 128 MB (blocks of 512 bytes) instead of
    // filling the disk.
    const std::string command = "cd '" + t.path().string() + "' && ulimit -f 262144 && '" +
                                ORBIMO_BATCH_EXE "' in.sav " + args + " >out.txt 2>err.txt";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, t.Contents("err.txt")};
}

System Named(std::u16string_view file) {
    return *std::ranges::find(Systems(), file, &System::file);
}

QImage Png(const testing::TempFolder& t, const char* name) {
    return QImage(QString::fromStdString((t.path() / name).string()))
        .convertToFormat(QImage::Format_RGB32);
}

TEST(BatchExe, ExitStatusAndWhatIsWritten) {
    System fast = Named(u"Внутренние планеты.sav"), endless = Named(u"Восьмёрка трёх тел.sav");
    const std::string eight = FileBytes(endless);
    fast.bodies = {fast.bodies[1]};  // Mercury alone at 1E+307 m/s: its position overflows
    fast.bodies[0].vx = 1e307, fast.step = 1, endless.stop = endless.start;  // no stop date
    // Arguments after "in.sav --out out.sav --csv t.csv --quiet"; in.sav (none when empty).
    const std::tuple<std::string, std::string, int, std::string> cases[] = {
        {"--ticks 50", FileBytes(endless), 0, ""},
        {"--ticks 100", FileBytes(fast), 1, "Расчёт остановлен"},
        {"--bogus", eight, 2, "неизвестный параметр «bogus»"},
        {"", "", 2, "Не удалось прочитать файл «in.sav»"},
        {"", FileBytes(endless), 2, "нет даты остановки"},
        {"--png no/pic.png", eight, 2, "не найдена"},
        {"--ticks 50 --labels", eight, 2, "только вместе с --png"},
        {"--ticks 50 --centre 2", eight, 2, "только вместе с --elements"},
        {"--ticks 50 --elements e.csv --centre 12", eight, 2, "от 1 до 11"},
        {"--ticks 50 --elements e.csv --centre 4", eight, 2, "тело 4 не участвует"},
        {"--ticks 50 --totals no/t.csv", eight, 2, "не найдена"},
        {"--ticks 50", eight.substr(0, eight.rfind("\r\n", eight.size() - 3) + 2), 2,
         "83 элементов из 84"},
    };
    for (const auto& [args, file, expected, message] : cases) {
        testing::TempFolder t;
        if (!file.empty()) t.Write("in.sav", file);
        const auto [status, err] = RunBatch(t, "--out out.sav --csv t.csv --quiet " + args);
        EXPECT_EQ(status, expected) << args;
        EXPECT_NE(err.find(message), std::string::npos) << err;
        // A refusal writes nothing; a run, fault or not, both files.
        const std::string out = t.Contents("out.sav") + t.Contents("t.csv");
        EXPECT_EQ(out == "<missing><missing>", expected == 2) << message;
        EXPECT_TRUE(expected == 2 || out.find("<missing>") == std::string::npos) << message;
    }
}

// Each option reaches the run: the files are those of the library's runner told the same.
TEST(BatchExe, OptionsAreTheLibrarysOptions) {
    const std::string inner = FileBytes(Named(u"Внутренние планеты.sav"));
    BatchOptions every, leapfrog;
    every.maxTicks = leapfrog.maxTicks = 30;
    every.csvEvery = 7, leapfrog.leapfrog = true;
    for (const auto& [args, o] :
         {std::pair{"--ticks 30 --every 7", every}, {"--ticks 30 --leapfrog", leapfrog}}) {
        testing::TempFolder exe, library;
        exe.Write("in.sav", inner), library.Write("in.sav", inner);
        ASSERT_EQ(RunBatch(exe, std::string("--out out.sav --csv t.csv --quiet ") + args).first, 0);
        BatchOptions told = o;
        told.systemFile = TextFromPath(library.path() / "in.sav");
        told.outFile = TextFromPath(library.path() / "out.sav");
        told.csvFile = TextFromPath(library.path() / "t.csv");
        ASSERT_EQ(BatchRunner(told, TextFromPath(library.path())).Run().status, BatchStatus::Done);
        for (const char* file : {"out.sav", "t.csv"})
            EXPECT_EQ(exe.Contents(file), library.Contents(file)) << args << " " << file;
    }
}

TEST(BatchExe, PngIsTheLibrarysPictureANegativeScaleMirrorsIt) {
    // One body from (1,5E+9 m, 7,5E+8 m) at 15 000 m/s along x, 20 ticks of an hour, seen from
    // the origin at 6000 x 3375 twips: after the first tick 1,5E+9 / 1E+6 + 54 twips right of
    // the origin and 750 twips below it, or as far left and above when the scale is negative.
    System lone{
        u"lone.sav", {{u"Тело", 1, 1.5e9, 7.5e8, 15000, 0}}, u"01.01.2000", u"01.01.2000 20:00:00"};
    lone.view = 0;
    for (const auto& [zoom, trace] : {std::pair{1e6, QPoint(503, 275)}, {-1e6, QPoint(296, 175)}}) {
        testing::TempFolder t;
        lone.zoom = zoom;
        t.Write("in.sav", FileBytes(lone));
        ASSERT_EQ(RunBatch(t, "--png pic.png --size 800x600 --quiet").first, 0);
        ASSERT_EQ(RunBatch(t, "--png lab.png --size 800x600 --labels --quiet").first, 0);
        BatchOptions o;
        o.systemFile = TextFromPath(t.path() / "in.sav"), o.width = 800, o.height = 600;
        BatchRunner library(o, TextFromPath(t.path()));
        ASSERT_EQ(library.Run().status, BatchStatus::Done);
        const std::vector<std::uint32_t> words = library.Picture().Words();
        const QImage png = Png(t, "pic.png"), lab = Png(t, "lab.png");
        EXPECT_TRUE(png == QImage(reinterpret_cast<const uchar*>(words.data()), 800, 600,
                                  QImage::Format_RGB32));
        EXPECT_EQ(png.pixel(trace), qRgb(255, 128, 0)) << zoom;  // body 1's trace colour
        // --labels writes names, legend, scale bar and date onto it, and nothing else.
        long changed = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) changed += lab.pixel(x, y) != png.pixel(x, y);
        EXPECT_GT(changed, 300);
        const QRect away(150, 300, 350, 200);  // below the path, left of the date
        EXPECT_EQ(lab.copy(away), png.copy(away));
    }
}

// Drawing only for a picture changes nothing else the runner writes; --bench names the tick's
// path, also when the environment forces one.
TEST(BatchExe, APictureChangesNothingElseAndTheBenchNamesThePath) {
    testing::TempFolder t;
    t.Write("in.sav", FileBytes(Named(u"Внутренние планеты.sav")));
    const std::string run = "--ticks 3000 --every 100 --leapfrog --quiet ";
    ASSERT_EQ(RunBatch(t, run + "--out a.sav --csv a.csv --png a.png").first, 0);
    ASSERT_EQ(RunBatch(t, run + "--out b.sav --csv b.csv").first, 0);
    EXPECT_EQ(t.Contents("a.sav"), t.Contents("b.sav"));
    EXPECT_EQ(t.Contents("a.csv"), t.Contents("b.csv"));
    ::setenv("ORBIMO_TICK_PATH", "scalar", 1);
    ASSERT_EQ(RunBatch(t, "--ticks 1000 --bench --quiet").first, 0);
    ::unsetenv("ORBIMO_TICK_PATH");
    EXPECT_NE(t.Contents("out.txt").find("scalar (задан переменной ORBIMO_TICK_PATH)"),
              std::string::npos)
        << t.Contents("out.txt");
}

}  // namespace
}  // namespace orbimo::examples
