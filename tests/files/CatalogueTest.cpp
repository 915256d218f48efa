#include <gtest/gtest.h>

#include <tuple>

#include "fakes/FakeFileSystem.h"
#include "files/Catalogue.h"
#include "files/SaveLoad.h"
#include "files/TestWindow.h"

namespace orbimo {
namespace {

using testing::FakeFileSystem;
using testing::TestWindow;
using Texts = std::vector<std::u16string>;
constexpr char16_t kState[] = u"/prog/Orbimo.sav";

std::string SystemWithMass(const std::u16string& mass) {
    TestWindow w;
    w.params.SetText({FieldKind::Mass, 1}, mass);
    return SystemFileBytes(w.params);
}

TEST(Catalogue, ListsInCodeUnitOrderFoldersLastDotNamesSkipped) {
    FakeFileSystem files;  // lists in the order added
    for (const char16_t* name : {u"земля.sav", u"Земля2.sav", u"Земля.sav", u"mars.sav",
                                 u"Mars.sav", u".скрытый.sav", u"notes.txt"})
        files.AddFile(u"/prog/Save/" + std::u16string(name), "x");
    files.AddFolder(u"/prog/Save/Папка.sav");
    Texts list{u"kept", u"stale"};
    ListFiles(list, files, u"/prog/Save/", kAttrDirectory | kAttrHidden, u"*.sav");
    EXPECT_EQ(list, (Texts{u"kept", u"1Mars.sav", u"1mars.sav", u"1Земля.sav", u"1Земля2.sav",
                           u"1земля.sav", u"2Папка.sav"}));
}

// A field past the last is empty, not the last field again nor the whole line.
TEST(Catalogue, FieldNOfALineOrEmptyText) {
    // clang-format off
    const std::tuple<std::u16string, int, std::u16string, std::u16string> rows[] = {
        {u"Земля.sav", 1, u".", u"Земля"}, {u"a.b.c", 2, u".", u"b"}, {u"a.b.c", 3, u".", u"c"},
        {u"abc", 1, u".", u"abc"}, {u"abc", 2, u".", u""}, {u"a.b", 3, u".", u""},
        {u"a..b", 2, u".", u""}, {u".a", 1, u".", u""}, {u"a::b::c", 3, u"::", u"c"}};
    // clang-format on
    for (const auto& [text, n, delimiter, field] : rows)
        EXPECT_EQ(LineField(text, n, delimiter), field)
            << ::testing::PrintToString(text) << ", " << n;
}

TEST(Catalogue, ChoosingLoadsAnEntryAsTheStateFileOrSaysNoFileBackToStartKeepsTheScale) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(kState, "old");
    files.AddFile(u"/prog/Save/a.b.sav", SystemWithMass(u"1"));  // listed as "a", no file
    files.AddFile(u"/prog/Save/.h.sav", SystemWithMass(u"2"));
    files.AddFolder(u"/prog/Save/Папка.sav");
    const std::string before = SystemFileBytes(w.params);
    for (const char16_t* entry : {u"a", u".h", u"Папка"}) ChooseSystem(w.params, files, entry);
    EXPECT_EQ(w.toolkit.messages,
              (Texts{u"Нет файла: /prog/Save/a.sav", u"Нет файла: /prog/Save/.h.sav",
                     u"Нет файла: /prog/Save/Папка.sav"}));
    EXPECT_EQ(SystemFileBytes(w.params), before);
    EXPECT_EQ(files.Read(kState), "old");
    files.AddFile(u"/prog/Save/Венера.sav", SystemWithMass(u"4,87E+24"));
    FillSystems(w.params, files);
    ASSERT_EQ(w.params.systems, (Texts{u"a", u"Венера"}));
    ChooseSystem(w.params, files, w.params.systems[1]);
    EXPECT_EQ(w.params.bodies[1].mass.text, u"4,87E+24");
    EXPECT_EQ(files.Read(kState), SystemFileBytes(w.params));
    EXPECT_EQ(w.toolkit.messages.size(), 3u) << "no new message";
    w.params.SetText({FieldKind::Mass, 1}, u"edited");
    w.params.SetText({FieldKind::Scale}, u"   200 000 000");
    BackToStart(w.params, files);  // reloads the state file but keeps the scale text
    EXPECT_EQ(w.params.bodies[1].mass.text, u"4,87E+24");
    EXPECT_EQ(w.params.scaleText, u"   200 000 000");
}

TEST(Catalogue, SaveAsAsksRefusesNoPlainFileNameCreatesTheSaveFolderAndListsANameOnce) {
    TestWindow w;
    FakeFileSystem files;
    SaveAs(w.params, files);  // an empty answer stops here
    EXPECT_EQ(w.toolkit.prompts, Texts{u"Введите имя вашей системы"});
    EXPECT_EQ(w.toolkit.titles, Texts{u"Сохранить как..."});
    for (const std::u16string name :
         {u"../x", u"a/b", u"a\\b", u"a:b", u"..", u"a\tb", u"a\x7F", u"\x9F", u"a*", u".x"}) {
        w.toolkit.answers = {name};
        SaveAs(w.params, files);
        ASSERT_EQ(w.toolkit.messages.size(), 1u) << ::testing::PrintToString(name);
        EXPECT_TRUE(
            w.toolkit.messages[0].starts_with(u"Недопустимое имя системы: «" + name + u"». "));
        w.toolkit.messages.clear();
    }
    EXPECT_TRUE(files.files.empty() && files.folders.size() == 1 && w.params.systems.empty());
    w.toolkit.answers = {u" Луна, спутник.1 ", u" Луна, спутник.1 "};
    SaveAs(w.params, files);
    w.params.SetText({FieldKind::Mass, 1}, u"7");
    SaveAs(w.params, files);
    EXPECT_EQ(files.Read(u"/prog/Save/ Луна, спутник.1 .sav"), SystemFileBytes(w.params));
    EXPECT_EQ(w.params.systems, Texts{u" Луна, спутник.1 "});
    EXPECT_TRUE(w.toolkit.messages.empty());
    EXPECT_EQ(files.files.size(), 1u) << "the state file is not written";
    FakeFileSystem blocked;  // a file where the folder would be: the save fails, and says so
    blocked.AddFile(u"/prog/Save", "");
    w.toolkit.answers = {u"Марс"};
    SaveAs(w.params, blocked);
    EXPECT_EQ(w.toolkit.messages,
              Texts{u"Не удалось сохранить файл /prog/Save/Марс.sav: папка не найдена"});
    EXPECT_EQ(w.params.systems, Texts{u" Луна, спутник.1 "});
}

}  // namespace
}  // namespace orbimo
