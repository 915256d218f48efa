// Damaged and hostile state files through the real start-up and a press of "Пуск": the
// program starts, keeps what it could read, says what the user must know, and either
// runs or refuses to with a message. No field may show NaN or Inf afterwards, and
// neither start-up nor the run touches the file.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "convert/DateTimeText.h"
#include "core/Form1Logic.h"
#include "fakes/FakeToolkit.h"
#include "fakes/TempFolder.h"
#include "files/Cp1251.h"
#include "files/SaveLoad.h"
#include "files/SystemFileItems.h"
#include "platform/MemorySurface.h"
#include "platform/StdFileSystem.h"

namespace orbimo {
namespace {

using testing::FakeToolkit;
using testing::TempFolder;
using Lines = std::vector<std::string>;
using Texts = std::vector<std::u16string>;

class Screen1024 : public ScreenMetrics {
  public:
    ScreenInfo Screen() const override { return {15360, 11520, 15, 15}; }
};

/// The program over a real program folder, started with whatever Orbimo.sav holds.
struct Program {
    explicit Program(const TempFolder& folder)
        : files(TextFromPath(folder.path())),
          surface(1024, 768, 0x00C0C0C0),
          params(state, toolkit),
          logic(state, params, surface, toolkit, files, screen) {
        logic.Startup();
    }
    /// Presses "Пуск" and, if the run starts, "Стоп" at the third yield.
    void RunAFewTicks() {
        toolkit.onDispatch = [this](long n) {
            if (n == 3) logic.Click(0);
        };
        logic.Click(0);
    }
    SimState state;
    FakeToolkit toolkit;
    StdFileSystem files;
    Screen1024 screen;
    MemorySurface surface;
    ParamsModel params;
    Form1Logic logic;
};

/// The lines of the file the program writes for its built-in system.
Lines BuiltInLines() {
    TempFolder folder;
    Program p(folder);
    const std::string bytes = SystemFileBytes(p.params);
    Lines lines;
    for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

std::string Join(const Lines& lines, std::size_t count, const std::string& end = "\r\n") {
    std::string bytes;
    for (std::size_t i = 0; i < count && i < lines.size(); ++i) bytes += lines[i] + end;
    return bytes;
}

/// The built-in file with some lines (by item number) replaced.
std::string With(std::vector<std::pair<int, std::string>> replaced) {
    Lines lines = BuiltInLines();
    for (const auto& [number, line] : replaced) lines[number - 1] = line;
    return Join(lines, lines.size());
}

std::string EveryNumberField(const std::string& text) {
    Lines lines = BuiltInLines();
    for (const SystemFileItem& item : SystemFileItems()) {
        const std::optional<FieldRef> f = ItemField(item);
        if (f && f->kind != FieldKind::Time && f->kind != FieldKind::Timer)
            lines[item.number - 1] = "\"" + text + "\"";
    }
    return Join(lines, lines.size());
}

std::string RandomBytes(std::size_t n) {
    std::mt19937 random(84);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(byte(random));
    return bytes;
}

/// Every text of a number or date field: the ones a run reads or writes.
Texts FieldTexts(const ParamsModel& params) {
    Texts texts;
    for (const SystemFileItem& item : SystemFileItems())
        if (ItemField(item)) texts.push_back(ItemText(params, item));
    return texts;
}

bool Contains(const std::u16string& text, const std::u16string& part) {
    return text.find(part) != std::u16string::npos;
}

constexpr char16_t kNotANumber[] = u"» — это не число";
constexpr char16_t kScale[] = u"Масштаб должен быть больше нуля";
constexpr char16_t kFault[] = u"Расчёт остановлен: ";
constexpr char16_t kBadDate[] = u"Неверная дата! ";

struct Case {
    const char* name;
    std::function<std::string()> file;
    Texts startupMessages;
    // What "Пуск" says: nothing (the run went on until stopped), or a message containing
    // these parts. Empty parts with anyOutcome: any of the program's own messages.
    std::vector<std::u16string> runMessageParts;
    std::function<void(const Program&, const Program& builtIn)> check;
    bool anyOutcome = false;
};

std::vector<Case> Corpus() {
    const std::u16string body1 = u"«Тело 1», Масса";
    return {
        {"empty",
         [] { return std::string(); },
         {},
         {},
         [](const Program& p, const Program& b) {
             EXPECT_EQ(FieldTexts(p.params), FieldTexts(b.params));  // ran from the built-in
         }},
        {"truncated after 10 lines",
         [] {
             Lines l = BuiltInLines();
             l[2] = "\"2E+30\"";
             l[9] = "\"4E+23\"";
             return Join(l, 10);
         },
         {},
         {},
         [](const Program& p, const Program& b) {
             EXPECT_EQ(p.params.bodies[1].mass.text, u"2E+30");
             EXPECT_EQ(p.params.bodies[2].mass.text, u"4E+23");
             EXPECT_EQ(p.params.bodies[3].mass.text, b.params.bodies[3].mass.text);  // not in it
         }},
        {"random binary", [] { return RandomBytes(4096); }, {}, {}, nullptr, true},
        {"UTF-8 instead of Windows-1251",
         [] {
             const std::string cp1251 = With({});
             return PathFromText(FromCp1251(cp1251)).string();
         },
         {},
         {},
         [](const Program& p, const Program&) {
             // Each byte of the two-byte letters is a character of its own.
             EXPECT_EQ(p.params.bodies[1].caption, FromCp1251(PathFromText(u"Тело 1").string()));
             EXPECT_EQ(p.params.bodies[4].mass.text, u"5,976E+24");
         }},
        {"one 2 MB line",
         [] {
             return With({{3, "\"" + std::string(2 << 20, '7') + "\""}});
         },
         {},
         {body1, kNotANumber},
         [](const Program& p, const Program&) {
             EXPECT_EQ(p.params.bodies[1].mass.text.size(), std::size_t{2} << 20);
             EXPECT_EQ(p.params.bodies[11].vy.text, u"0");  // read on after it
         }},
        // The quoted text runs on to the next quote: every later item is read one line late,
        // and the stop date gets the time step's text.
        {"unbalanced quote",
         [] {
             return With({{3, "\"5,976E+24"}});
         },
         {std::u16string(kBadDate) + u"3600"},
         {body1, kNotANumber},
         [](const Program& p, const Program&) {
             EXPECT_EQ(p.params.bodies[1].mass.text, u"5,976E+24\r\n");
         }},
        {"LF-only lines",
         [] {
             Lines l = BuiltInLines();
             l[2] = "\"3E+30\"";
             l[83] = "4";
             return Join(l, l.size(), "\n");
         },
         {},
         {},
         [](const Program& p, const Program&) {
             EXPECT_EQ(p.params.bodies[1].mass.text, u"3E+30");
             EXPECT_EQ(p.state.ViewBody, 4);
         }},
        {"NUL bytes",
         [] {
             return With({{3, std::string("\"1E+30\0\"", 8)},
                          {78, std::string("\"01.01.2000\0\"", 13)},
                          {15, std::string(40, '\0')}});
         },
         {std::u16string(kBadDate) + std::u16string(u"01.01.2000\0", 11)},
         {body1, kNotANumber},
         [](const Program& p, const Program&) {
             EXPECT_EQ(p.params.txtTime.text, u"01.01.1900");
             EXPECT_EQ(p.params.bodies[3].caption, std::u16string(40, u'\0'));
         }},
        {"only NUL bytes",
         [] { return std::string(1000, '\0'); },
         {},
         {},
         [](const Program& p, const Program&) {
             EXPECT_EQ(p.params.bodies[1].caption, std::u16string(1000, u'\0'));
         }},
        {"1E+308 in every number field",
         [] { return EveryNumberField("1E+308"); },
         {},
         {kFault},
         [](const Program& p, const Program&) {
             EXPECT_EQ(p.params.bodies[5].x.text, u"1E+308");  // the last good state
         }},
        {"-1E+308 in every number field",
         [] { return EveryNumberField("-1E+308"); },
         {},
         {kScale},
         nullptr},
        {"1E+309 in every number field",
         [] { return EveryNumberField("1E+309"); },
         {},
         {body1, kNotANumber},
         nullptr},
        {"scale 0",
         [] {
             return With({{83, "\"0\""}});
         },
         {},
         {kScale},
         nullptr},
        {"scale negative",
         [] {
             return With({{83, "\"-50 000\""}});
         },
         {},
         {kScale},
         nullptr},
        {"view body 99",
         [] {
             return With({{84, "99"}});
         },
         {},
         {},
         [](const Program& p, const Program& b) {
             EXPECT_EQ(p.params.viewOption, b.params.viewOption);
         }},
        {"invalid date",
         [] {
             return With({{78, "\"31.02.2000 12:00:00\""}});
         },
         {std::u16string(kBadDate) + u"31.02.2000 12:00:00"},
         {},
         [](const Program& p, const Program&) {
             EXPECT_EQ(p.state.SimTime, 3 * 3600.0);  // from the epoch: 0, then three ticks
         }},
        {"invalid stop date",
         [] {
             return With({{79, "\"1.1.2000 25:00\""}});
         },
         {std::u16string(kBadDate) + u"1.1.2000 25:00"},
         {},
         [](const Program& p, const Program&) {
             EXPECT_EQ(p.params.txtTimer.text, u"01.01.1900");
         }},
    };
}

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class MalformedStateFile : public ::testing::TestWithParam<Case> {};

TEST_P(MalformedStateFile, StartsShowsWhatItMustAndRunsOrRefuses) {
    const Case& c = GetParam();
    TempFolder builtInFolder;
    Program builtIn(builtInFolder);
    builtIn.RunAFewTicks();

    TempFolder folder;
    const std::string bytes = c.file();
    folder.Write("Orbimo.sav", bytes);
    Program p(folder);
    if (c.anyOutcome) {
        for (const std::u16string& m : p.toolkit.messages) EXPECT_EQ(m.rfind(kBadDate, 0), 0u);
    } else {
        EXPECT_EQ(p.toolkit.messages, c.startupMessages);
    }
    const std::size_t shown = p.toolkit.messages.size();
    const double before = p.state.SimTime;

    p.RunAFewTicks();
    const Texts run(p.toolkit.messages.begin() + static_cast<std::ptrdiff_t>(shown),
                    p.toolkit.messages.end());
    EXPECT_EQ(p.logic.Button0Caption(), u"Пуск");
    if (c.anyOutcome) {
        ASSERT_LE(run.size(), 1u);
        if (run.empty()) {
            EXPECT_GT(p.toolkit.dispatches, 0);
        }
        for (const std::u16string& m : run)
            EXPECT_TRUE(Contains(m, kNotANumber) || Contains(m, kScale) || Contains(m, kFault));
    } else if (c.runMessageParts.empty()) {
        EXPECT_TRUE(run.empty()) << "a message the run should not give";
        EXPECT_EQ(p.toolkit.dispatches, 3);
        EXPECT_GT(p.state.SimTime, before);
    } else {
        ASSERT_EQ(run.size(), 1u);
        for (const std::u16string& part : c.runMessageParts)
            EXPECT_TRUE(Contains(run[0], part)) << "missing: " << PathFromText(part).string();
    }
    for (const std::u16string& text : FieldTexts(p.params)) {
        EXPECT_FALSE(Contains(text, u"NaN") || Contains(text, u"Inf"))
            << PathFromText(text).string();
    }
    if (c.check) c.check(p, builtIn);
    EXPECT_TRUE(folder.Contents("Orbimo.sav") == bytes) << "the state file changed";
}

INSTANTIATE_TEST_SUITE_P(Corpus, MalformedStateFile, ::testing::ValuesIn(Corpus()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

}  // namespace
}  // namespace orbimo
