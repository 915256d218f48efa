// The built orbimo-batch executable: exit status, messages, and its files against the library.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <map>

#include "batch/BatchRunner.h"
#include "fakes/TempFolder.h"
#include "platform/StdFileSystem.h"

namespace orbimo {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct Result {
    int status = -1;
    std::string out, err;
};

/// Runs the executable with these arguments in folder, stdout and stderr to files.
Result RunBatch(const TempFolder& t, const std::vector<std::string>& args) {
    std::string command = "cd " + Quote(t.path().string()) + " && " + Quote(ORBIMO_BATCH_EXE);
    for (const std::string& a : args) command += " " + Quote(a);
    command += " >stdout.txt 2>stderr.txt";
    const int raw = std::system(command.c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = t.Contents("stdout.txt");
    r.err = t.Contents("stderr.txt");
    return r;
}

std::string Example(const char* name) {
    std::ifstream in(fs::path(ORBIMO_EXAMPLES_DIR) / fs::u8path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// The file with some of its lines (numbered from 1) replaced.
std::string WithLines(const std::string& bytes, const std::map<int, std::string>& lines) {
    std::vector<std::string> all;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        all.push_back(bytes.substr(start, end - start));
    for (const auto& [n, text] : lines) all.at(static_cast<std::size_t>(n - 1)) = text;
    std::string out;
    for (const std::string& l : all) out += l + "\r\n";
    return out;
}

TEST(BatchExe, WritesTheLibrarysResultPictureAndTrack) {
    TempFolder t;
    t.Write("binary.sav", Example("Двойная звезда с планетой.sav"));
    const Result r = RunBatch(t, {"binary.sav", "--out", "out.sav", "--png", "pic.png", "--size",
                                  "800x600", "--csv", "track.csv", "--every", "1000", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");

    BatchOptions o;
    o.systemFile = TextFromPath(t.path() / "binary.sav");
    o.outFile = TextFromPath(t.path() / "library.sav");
    o.width = 800;
    o.height = 600;
    BatchRunner library(o, TextFromPath(t.path()));
    const BatchReport report = library.Run();
    ASSERT_EQ(report.status, BatchStatus::Done);
    EXPECT_EQ(t.Contents("out.sav"), t.Contents("library.sav"));

    // The PNG holds the memory surface's pixels, every one of them.
    const QImage png(QString::fromStdString((t.path() / "pic.png").string()));
    ASSERT_FALSE(png.isNull());
    ASSERT_EQ(png.width(), 800);
    ASSERT_EQ(png.height(), 600);
    const QImage rgb = png.convertToFormat(QImage::Format_RGB32);
    const MemorySurface& surface = library.Picture();
    long differ = 0, traced = 0;
    for (int y = 0; y < 600; ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        for (int x = 0; x < 800; ++x) {
            const std::uint32_t word = surface.Words()[y * 800 + x];
            differ += (line[x] | 0xFF000000u) != word;
            traced += word != MemorySurface::ToWord(kWindowBackground);
        }
    }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(traced, 1000) << "the picture shows the orbits";

    const std::string csv = t.Contents("track.csv");
    const std::size_t lines = static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n'));
    // The header, the start, every 1000th tick and the end; three bodies each.
    EXPECT_EQ(lines, 1 + 3 * (1 + static_cast<std::size_t>(report.ticks / 1000) +
                              (report.ticks % 1000 != 0)));
}

TEST(BatchExe, SummaryOnStdoutWithoutProgressWhenStderrIsNoTerminal) {
    TempFolder t;
    t.Write("moon.sav", Example("Солнце, Земля и Луна.sav"));
    const Result r = RunBatch(t, {"moon.sav", "--ticks", "5000"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Тактов: 5 000\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("тактов в секунду"), std::string::npos);
    EXPECT_NE(r.out.find("дрейф полной энергии"), std::string::npos);
    EXPECT_NE(r.out.find("дрейф полного импульса"), std::string::npos);
    EXPECT_EQ(r.err, "");
}

TEST(BatchExe, ArithmeticFaultExitsWithOneAndKeepsTheLastGoodState) {
    TempFolder t;
    std::map<int, std::string> lines;
    for (int b = 1; b <= 11; ++b) lines[7 * (b - 1) + 2] = b == 2 ? "1" : "0";
    lines[7 + 6] = "\"1E+307\"";  // body 2, x velocity
    lines[80] = "\"1\"";          // a step of one second
    t.Write("fast.sav", WithLines(Example("Внутренние планеты.sav"), lines));
    const Result r =
        RunBatch(t, {"fast.sav", "--ticks", "100", "--out", "out.sav", "--csv", "t.csv"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("Расчёт остановлен"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("Тактов: 17\n"), std::string::npos) << r.out;
    const std::string out = t.Contents("out.sav");
    ASSERT_NE(out, "<missing>");
    for (const char* bad : {"NaN", "Inf", "nan", "inf"}) {
        EXPECT_EQ(out.find(bad), std::string::npos) << bad;
        EXPECT_EQ(t.Contents("t.csv").find(bad), std::string::npos) << bad;
    }
}

TEST(BatchExe, RefusesWithTwoAndARussianMessage) {
    const std::string good = Example("Восьмёрка трёх тел.sav");
    struct Case {
        std::vector<std::string> args;
        std::string message;
        std::string file = {};  // written as in.sav when not empty
    };
    const std::vector<Case> cases = {
        {{}, "не указан файл системы"},
        {{"in.sav", "other.sav"}, "больше одного файла", good},
        {{"--bogus", "in.sav"}, "неизвестный параметр «bogus»", good},
        {{"in.sav", "--ticks"}, "после «--ticks» нужно значение", good},
        {{"in.sav", "--ticks", "abc"}, "--ticks: нужно целое число", good},
        {{"in.sav", "--ticks", "0"}, "--ticks: нужно целое число", good},
        {{"in.sav", "--ticks", "-5"}, "--ticks: нужно целое число", good},
        {{"in.sav", "--ticks", "5", "--ticks", "6"}, "больше одного раза", good},
        {{"in.sav", "--every", "0"}, "--every", good},
        {{"in.sav", "--size", "800"}, "--size", good},
        {{"in.sav", "--size", "0x600"}, "--size", good},
        {{"in.sav", "--size", "99999x600"}, "--size", good},
        {{"in.sav", "--out", ""}, "пустое имя", good},
        {{"missing.sav"}, "Не удалось прочитать файл «missing.sav»"},
        {{"in.sav"}, "не файл системы", "\"just one item\"\r\n"},
        {{"in.sav"}, "это не число", WithLines(good, {{3, "\"abc\""}})},
        {{"in.sav"}, "Масштаб должен быть больше нуля", WithLines(good, {{83, "\"0\""}})},
        {{"in.sav"}, "нет даты остановки", WithLines(good, {{79, "\"\""}})},
        {{"in.sav", "--out", "no/such/out.sav"}, "не найдена", good},
        {{"in.sav", "--png", "no/pic.png"}, "не найдена", good},
        {{"in.sav", "--csv", "."}, "на месте файла находится папка", good},
    };
    for (const Case& c : cases) {
        TempFolder t;
        if (!c.file.empty()) t.Write("in.sav", c.file);
        const Result r = RunBatch(t, c.args);
        std::string all;
        for (const auto& a : c.args) all += a + " ";
        EXPECT_EQ(r.status, 2) << all << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << all << "\n" << r.err;
        EXPECT_EQ(r.err.rfind("orbimo-batch: ", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "") << all;
    }
}

TEST(BatchExe, HelpIsRussianAndExitsWithZero) {
    TempFolder t;
    const Result r = RunBatch(t, {"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Использование: orbimo-batch СИСТЕМА.sav"), std::string::npos);
    EXPECT_NE(r.out.find("--csv"), std::string::npos);
    EXPECT_EQ(r.out.find("--bench"), std::string::npos) << "a measuring aid, not for the help";
}

}  // namespace
}  // namespace orbimo
