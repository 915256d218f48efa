// The built orbimo-batch executable: exit status, and its picture against the library's.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <algorithm>
#include <set>
#include <tuple>

#include "batch/BatchRunner.h"
#include "examples/ExampleSystems.h"
#include "fakes/TempFolder.h"

namespace orbimo::examples {
namespace {

/// Runs the executable on in.sav in t with these arguments: its exit status and stderr.
std::pair<int, std::string> RunBatch(const testing::TempFolder& t, const std::string& args) {
    const std::string command = "cd '" + t.path().string() + "' && '" ORBIMO_BATCH_EXE "' in.sav " +
                                args + " >out.txt 2>err.txt";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, t.Contents("err.txt")};
}

System Named(std::u16string_view file) {
    return *std::ranges::find(Systems(), file, &System::file);
}

TEST(BatchExe, ExitStatusAndWhatIsWritten) {
    System fast = Named(u"Внутренние планеты.sav"), endless = Named(u"Восьмёрка трёх тел.sav");
    const std::string eight = FileBytes(endless);
    fast.bodies = {fast.bodies[1]};  // Mercury alone at 1E+307 m/s: its position overflows
    fast.bodies[0].vx = 1e307, fast.step = 1, endless.stop = endless.start;  // the eight never ends
    // Arguments after "in.sav --out out.sav --csv t.csv --quiet"; in.sav (none when empty).
    const std::tuple<std::string, std::string, int, std::string> cases[] = {
        {"--ticks 50", eight, 0, ""},
        {"--ticks 100", FileBytes(fast), 1, "Расчёт остановлен"},
        {"--bogus", eight, 2, "неизвестный параметр «bogus»"},
        {"", "", 2, "Не удалось прочитать файл «in.sav»"},
        {"", FileBytes(endless), 2, "нет даты остановки"},
        {"--png no/pic.png", eight, 2, "не найдена"},
    };
    for (const auto& [args, file, expected, message] : cases) {
        testing::TempFolder t;
        if (!file.empty()) t.Write("in.sav", file);
        const auto [status, err] = RunBatch(t, "--out out.sav --csv t.csv --quiet " + args);
        EXPECT_EQ(status, expected) << args;
        const std::string out = t.Contents("out.sav") + t.Contents("t.csv");
        EXPECT_NE(err.find(message), std::string::npos) << err;
        // A refusal writes nothing; a fault leaves the last good state, with no NaN or infinity.
        EXPECT_EQ(out == "<missing><missing>", expected == 2) << message;
        for (const char* bad : {"<missing>", "NaN", "Inf", "nan", "inf"})
            EXPECT_TRUE(expected == 2 || out.find(bad) == std::string::npos) << message << bad;
    }
}

TEST(BatchExe, PngHoldsEveryPixelOfTheLibrarysPicture) {
    testing::TempFolder t;
    t.Write("in.sav", FileBytes(Named(u"Двойная звезда с планетой.sav")));
    ASSERT_EQ(RunBatch(t, "--png pic.png --size 800x600 --quiet").first, 0);
    BatchOptions o;
    o.systemFile = TextFromPath(t.path() / "in.sav"), o.width = 800, o.height = 600;
    BatchRunner library(o, TextFromPath(t.path()));
    ASSERT_EQ(library.Run().status, BatchStatus::Done);
    const std::vector<std::uint32_t> words = library.Picture().Words();
    const QImage surface(reinterpret_cast<const uchar*>(words.data()), 800, 600,
                         QImage::Format_RGB32);
    const QImage png(QString::fromStdString((t.path() / "pic.png").string()));
    EXPECT_TRUE(png.convertToFormat(QImage::Format_RGB32) == surface);
    EXPECT_GE(std::set(words.begin(), words.end()).size(), 4u) << "no orbits in their colours";
}

}  // namespace
}  // namespace orbimo::examples
