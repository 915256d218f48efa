// Damaged and hostile state files through the start-up and "Пуск": no crash, the messages due.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "files/SystemFileItems.h"
#include "mainwindow/StartedProgram.h"

namespace orbimo {
namespace {

using namespace std::string_literals;

/// The built-in system's file with items (by number) replaced.
std::string BuiltIn(const std::map<std::size_t, std::string>& replaced) {
    Program builtIn;
    const std::string bytes = SystemFileBytes(builtIn.params);
    std::string file;
    for (std::size_t n = 1, at = 0; n <= 84; ++n, at = bytes.find('\n', at) + 1) {
        const auto it = replaced.find(n);
        file += (it != replaced.end() ? it->second : bytes.substr(at, bytes.find('\r', at) - at)) +
                "\r\n";
    }
    return file;
}

const std::u16string kMass1 = u"«Тело 1», Масса: «";

// What could be read is kept, no NaN or Inf in any field, the file unchanged.
TEST(MalformedStateFile, StartsSaysWhatItMustAndRunsOrRefusesWithoutNaNOrInf) {
    std::string noise(4096, '\0');
    std::ranges::generate(noise, std::mt19937(84));
    std::map<std::size_t, std::string> huge;  // every number field
    for (const SystemFileItem& item : SystemFileItems())
        if (auto f = ItemField(item);
            f && f->kind != FieldKind::SimDate && f->kind != FieldKind::StopDate)
            huge[static_cast<std::size_t>(item.number)] = "\"1E+308\"";
    // The file, the messages start-up gives, part of the one "Пуск" gives (empty: the run goes on).
    // clang-format off
    struct Case { const char* name; std::string file; std::vector<std::u16string> startup;
                  std::u16string run; };
    const Case cases[] = {
        {"empty", "", {}, {}},
        {"random binary", noise, {}, u"» — это не число"},
        {"one 2 MB line, shown cut", BuiltIn({{3, '"' + std::string(2 << 20, '7') + '"'}}), {},
         kMass1 + std::u16string(40, u'7') + u"…»"},
        {"unbalanced quote", BuiltIn({{3, "\"5,976E+24"}}), {u"Неверная дата! 3600"},
         kMass1 + u"5,976E+24\r\n"},
        {"NUL bytes", BuiltIn({{3, "\"1E+30\0\""s}, {78, "\"01.01.2000\0\""s}}),
         {u"Неверная дата! 01.01.2000\0"s}, kMass1 + u"1E+30\0"s},
        {"1E+308 in every number field", BuiltIn(huge), {}, u"Расчёт остановлен"}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Program p(c.file);
        EXPECT_EQ(p.toolkit.messages, c.startup);
        p.toolkit.messages.clear();
        p.RunUntilDispatch(3);
        EXPECT_EQ(p.toolkit.dispatches, c.run.empty() ? 3 : 0);
        ASSERT_EQ(p.toolkit.messages.size(), c.run.empty() ? 0u : 1u);
        EXPECT_TRUE(c.run.empty() || p.toolkit.messages[0].find(c.run) != std::u16string::npos);
        const std::string saved = SystemFileBytes(p.params);  // every field's text
        EXPECT_TRUE(saved.find("NaN") == saved.npos && saved.find("Inf") == saved.npos);
        EXPECT_TRUE(*p.files.FindFile(StateFilePath(p.files)) == c.file) << "the file changed";
    }
}

}  // namespace
}  // namespace orbimo
