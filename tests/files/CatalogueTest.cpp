#include <gtest/gtest.h>

#include <string>
#include <vector>

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
constexpr char16_t kSave[] = u"/prog/Save/";

/// A system file whose body 1 has the given mass text.
std::string SystemWithMass(const std::u16string& mass) {
    TestWindow w;
    w.params.SetText({FieldKind::Mass, 1}, mass);
    return SystemFileBytes(w.params);
}

// ---- СписокФайлов ----

FakeFileSystem SaveFolderInListingOrder() {
    FakeFileSystem files;
    for (const char16_t* name :
         {u"земля.sav", u"Земля2.sav", u"Земля.sav", u"mars.sav", u"Венера.sav", u"Mars.sav",
          u".hidden.sav", u"a.b.sav", u"notes.txt", u"Sys.sav"})
        files.AddFile(kSave + std::u16string(name), "x");
    files.attributes[u"/prog/Save/Sys.sav"] = kAttrSystem;
    files.AddFolder(u"/prog/Save/Папка.sav");
    files.AddFolder(u"/prog/Save/Folder.sav");
    return files;
}

TEST(ListFiles, FilesInOrdinalOrderOfWholeNames) {
    const FakeFileSystem files = SaveFolderInListingOrder();
    Texts list;
    СписокФайлов(list, files, kSave, 0, u"*.sav");
    // Capitals before small letters, Latin before Cyrillic, "Земля." before "Земля2".
    EXPECT_EQ(list, (Texts{u"", u"1Mars.sav", u"1a.b.sav", u"1mars.sav", u"1Венера.sav",
                           u"1Земля.sav", u"1Земля2.sav", u"1земля.sav"}));
}

TEST(ListFiles, WithTheFolderBitFoldersComeLast) {
    const FakeFileSystem files = SaveFolderInListingOrder();
    Texts list;
    СписокФайлов(list, files, kSave, kAttrDirectory, u"*.sav");
    ASSERT_EQ(list.size(), 10u);
    EXPECT_EQ(list[7], u"1земля.sav");
    EXPECT_EQ(list[8], u"2Folder.sav");
    EXPECT_EQ(list[9], u"2Папка.sav");
}

TEST(ListFiles, DotNamesAreSkippedEvenWhenListed) {
    FakeFileSystem files;
    files.AddFile(u"/d/.a.sav", "x");
    files.AddFile(u"/d/b.sav", "x");
    Texts list;
    СписокФайлов(list, files, u"/d/", kAttrHidden, u"*");
    EXPECT_EQ(list, (Texts{u"", u"1b.sav"}));
}

TEST(ListFiles, MissingOrEmptyFolderGivesElementZeroOnly) {
    FakeFileSystem files;
    Texts list{u"", u"stale", u"entries"};
    СписокФайлов(list, files, u"/nowhere/", 0, u"*.sav");
    EXPECT_EQ(list, Texts{u""});
    files.AddFolder(u"/empty");
    list.clear();
    СписокФайлов(list, files, u"/empty/", 0, u"*.sav");
    EXPECT_EQ(list, Texts{u""});
}

TEST(ListFiles, ElementZeroKeepsItsContent) {
    FakeFileSystem files;
    files.AddFile(u"/d/a.sav", "x");
    Texts list{u"zero", u"old"};
    СписокФайлов(list, files, u"/d/", 0, u"*.sav");
    EXPECT_EQ(list, (Texts{u"zero", u"1a.sav"}));
}

// ---- ПолеСтроки ----

struct FieldCase {
    std::u16string text;
    std::int32_t n;
    std::u16string delimiter;
    std::u16string field;
};

class StringField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(StringField, PicksFieldN) {
    const FieldCase& c = GetParam();
    EXPECT_EQ(ПолеСтроки(c.text, c.n, c.delimiter), c.field);
}

INSTANTIATE_TEST_SUITE_P(
    Part33, StringField,
    ::testing::Values(FieldCase{u"Земля.sav", 1, u".", u"Земля"},
                      FieldCase{u"Земля.sav", 2, u".", u"sav"}, FieldCase{u"abc", 1, u".", u"abc"},
                      FieldCase{u"abc", 2, u".", u""}, FieldCase{u"a.b.sav", 1, u".", u"a"},
                      FieldCase{u"a.b.c", 2, u".", u"b"}, FieldCase{u"a.b.c", 3, u".", u"c"},
                      FieldCase{u"a.b.c", 4, u".", u""}, FieldCase{u"a..b", 2, u".", u""},
                      FieldCase{u"a..b", 3, u".", u"b"}, FieldCase{u".sav", 1, u".", u""},
                      FieldCase{u"", 1, u".", u""}, FieldCase{u"abc", 0, u".", u"abc"},
                      FieldCase{u"a.b", -5, u".", u"a"}, FieldCase{u"a::b::c", 2, u"::", u"b"},
                      FieldCase{u"a::b::c", 3, u"::", u"c"}, FieldCase{u"x; y; z", 2, u"; ", u"y"},
                      FieldCase{u"a.b", 1, u"", u""}));

// ---- filling cmbSystem ----

TEST(FillSystems, NamesUpToTheFirstPointInListOrder) {
    TestWindow w;
    const FakeFileSystem files = SaveFolderInListingOrder();
    w.params.systems = {u"stale"};
    FillSystems(w.params, files);
    EXPECT_EQ(w.params.systems,
              (Texts{u"Mars", u"a", u"mars", u"Венера", u"Земля", u"Земля2", u"земля"}));
    EXPECT_GT(w.changes, 0);
}

TEST(FillSystems, NoSaveFolderGivesAnEmptyListAndNoMessage) {
    TestWindow w;
    FakeFileSystem files;
    FillSystems(w.params, files);
    EXPECT_TRUE(w.params.systems.empty());
    EXPECT_TRUE(w.toolkit.messages.empty());
}

// ---- choosing an entry ----

TEST(ChooseSystem, LoadsTheSystemAndMakesItTheStateFile) {
    TestWindow w;
    FakeFileSystem files;
    const std::string venus = SystemWithMass(u"4,87E+24");
    files.AddFile(u"/prog/Save/Венера.sav", venus);
    files.AddFile(kState, "old state");
    ChooseSystem(w.params, files, u"Венера");
    EXPECT_EQ(w.params.bodies[1].mass.text, u"4,87E+24");
    ASSERT_NE(files.FindFile(kState), nullptr);
    EXPECT_EQ(*files.FindFile(kState), SystemFileBytes(w.params));
    EXPECT_EQ(*files.FindFile(u"/prog/Save/Венера.sav"), venus);  // not touched
    EXPECT_TRUE(w.toolkit.messages.empty());
}

TEST(ChooseSystem, VanishedFileGivesNoFileMessageAndChangesNothing) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(u"/prog/Save/Марс.sav", SystemWithMass(u"6,4E+23"));
    FillSystems(w.params, files);
    ASSERT_EQ(w.params.systems, Texts{u"Марс"});
    files.Remove(u"/prog/Save/Марс.sav");
    const std::string before = SystemFileBytes(w.params);
    const int clears = w.clears;

    ChooseSystem(w.params, files, u"Марс");
    EXPECT_EQ(w.toolkit.messages, Texts{u"Нет файла: /prog/Save/Марс.sav"});
    EXPECT_EQ(SystemFileBytes(w.params), before);
    EXPECT_EQ(files.writeAttempts, 0);
    EXPECT_EQ(w.clears, clears);
}

TEST(ChooseSystem, NameCutAtItsFirstPointLooksForTheShortName) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(u"/prog/Save/a.b.sav", SystemWithMass(u"5"));
    FillSystems(w.params, files);
    ASSERT_EQ(w.params.systems, Texts{u"a"});
    ChooseSystem(w.params, files, w.params.systems[0]);
    EXPECT_EQ(w.toolkit.messages, Texts{u"Нет файла: /prog/Save/a.sav"});
    EXPECT_EQ(files.writeAttempts, 0);
}

TEST(ChooseSystem, FoldersHiddenAndSystemEntriesAreNoFiles) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFolder(u"/prog/Save/Папка.sav");
    files.AddFile(u"/prog/Save/Скрытый.sav", SystemWithMass(u"1"));
    files.attributes[u"/prog/Save/Скрытый.sav"] = kAttrHidden;
    files.AddFile(u"/prog/Save/Сист.sav", SystemWithMass(u"1"));
    files.attributes[u"/prog/Save/Сист.sav"] = kAttrSystem;
    for (const char16_t* name : {u"Папка", u"Скрытый", u"Сист"})
        ChooseSystem(w.params, files, name);
    EXPECT_EQ(w.toolkit.messages.size(), 3u);
    EXPECT_EQ(w.params.bodies[1].mass.text, u"0");
}

TEST(ChooseSystem, ReadOnlyFileIsANormalFile) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(u"/prog/Save/RO.sav", SystemWithMass(u"9"));
    files.attributes[u"/prog/Save/RO.sav"] = kAttrReadOnly;
    ChooseSystem(w.params, files, u"RO");
    EXPECT_EQ(w.params.bodies[1].mass.text, u"9");
    EXPECT_TRUE(w.toolkit.messages.empty());
}

TEST(ChooseSystem, FailedStateFileSaveIsReported) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(u"/prog/Save/X.sav", SystemWithMass(u"3"));
    files.attributes[kState] = kAttrReadOnly;
    files.AddFile(kState, "old");
    ChooseSystem(w.params, files, u"X");
    EXPECT_EQ(w.params.bodies[1].mass.text, u"3");
    EXPECT_EQ(w.toolkit.messages,
              Texts{u"Не удалось сохранить файл /prog/Orbimo.sav: нет доступа"});
    EXPECT_EQ(*files.FindFile(kState), "old");
}

// ---- "Сохранить" ----

TEST(SaveState, WritesOnlyTheStateFile) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(u"/prog/Save/A.sav", "chosen");
    w.params.SetText({FieldKind::dTime}, u"60");
    SaveState(w.params, files);
    EXPECT_EQ(files.writtenPaths, Texts{kState});
    EXPECT_EQ(*files.FindFile(kState), SystemFileBytes(w.params));
    EXPECT_EQ(*files.FindFile(u"/prog/Save/A.sav"), "chosen");
}

TEST(SaveState, FailureShowsPathAndReasonAndGoesOn) {
    TestWindow w;
    FakeFileSystem files;
    files.failWrites = u"диск заполнен";
    SaveState(w.params, files);
    EXPECT_EQ(w.toolkit.messages,
              Texts{u"Не удалось сохранить файл /prog/Orbimo.sav: диск заполнен"});
}

// ---- "Сохранить как" ----

TEST(SaveAs, AsksWithPromptTitleAndEmptyDefault) {
    TestWindow w;
    FakeFileSystem files;
    SaveAs(w.params, files);  // no answer queued: cancelled
    EXPECT_EQ(w.toolkit.prompts, Texts{u"Введите имя вашей системы"});
    EXPECT_EQ(w.toolkit.titles, Texts{u"Сохранить как..."});
    EXPECT_EQ(files.writeAttempts, 0);
    EXPECT_TRUE(w.params.systems.empty());
    EXPECT_TRUE(w.toolkit.messages.empty());
}

TEST(SaveAs, CreatesTheSaveFolderWritesTheFileAndListsTheName) {
    TestWindow w;
    FakeFileSystem files;
    w.params.SetText({FieldKind::Mass, 2}, u"7,35E+22");
    w.toolkit.answers = {u" Луна и Земля "};
    SaveAs(w.params, files);
    EXPECT_TRUE(w.toolkit.messages.empty());
    const std::string* saved = files.FindFile(u"/prog/Save/ Луна и Земля .sav");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(*saved, SystemFileBytes(w.params));
    EXPECT_EQ(w.params.systems, Texts{u" Луна и Земля "});
    EXPECT_EQ(files.FindFile(kState), nullptr);  // the state file is not written
}

TEST(SaveAs, ExistingFileIsOverwrittenAndTheNameListedOnce) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(u"/prog/Save/Марс.sav", "old");
    FillSystems(w.params, files);
    w.toolkit.answers = {u"Марс", u"Марс"};
    SaveAs(w.params, files);
    SaveAs(w.params, files);
    EXPECT_EQ(*files.FindFile(u"/prog/Save/Марс.sav"), SystemFileBytes(w.params));
    EXPECT_EQ(w.params.systems, Texts{u"Марс"});
}

TEST(SaveAs, FailedSaveShowsAMessageAndDoesNotListTheName) {
    TestWindow w;
    FakeFileSystem files;
    files.failWrites = u"диск заполнен";
    w.toolkit.answers = {u"Юпитер"};
    SaveAs(w.params, files);
    EXPECT_EQ(w.toolkit.messages,
              Texts{u"Не удалось сохранить файл /prog/Save/Юпитер.sav: диск заполнен"});
    EXPECT_TRUE(w.params.systems.empty());
}

class InvalidName : public ::testing::TestWithParam<std::u16string> {};

TEST_P(InvalidName, IsRefusedWithAMessageAndNothingIsWritten) {
    TestWindow w;
    FakeFileSystem files;
    w.toolkit.answers = {GetParam()};
    SaveAs(w.params, files);
    ASSERT_EQ(w.toolkit.messages.size(), 1u);
    EXPECT_EQ(w.toolkit.messages[0].rfind(u"Недопустимое имя системы: «" + GetParam() + u"»", 0),
              0u);
    EXPECT_EQ(files.writeAttempts, 0);
    EXPECT_TRUE(w.params.systems.empty());
    EXPECT_TRUE(SystemNameProblem(GetParam()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Names, InvalidName,
                         ::testing::Values(u"a/b", u"/etc/passwd", u"a\\b", u"..", u"../x", u"a..b",
                                           u".hidden", u".", u"a<b", u"a>b", u"C:x", u"a\"b",
                                           u"a|b", u"a?b", u"*", u"a\tb", u"a\nb", u"\x01",
                                           u"a\x7F", u"a\x85"));

class ValidName : public ::testing::TestWithParam<std::u16string> {};

TEST_P(ValidName, IsAccepted) {
    EXPECT_FALSE(SystemNameProblem(GetParam()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Names, ValidName,
                         ::testing::Values(u"Земля", u"Solar system 2", u"a.b", u" x ",
                                           u"x-y_z (1)", u"Луна, спутник", u"a.", u"№5 ё"));

// ---- "В начало" ----

TEST(BackToStart, RestoresTheStateFileButKeepsTheScale) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(kState, SystemWithMass(u"1,5"));
    w.params.SetText({FieldKind::Mass, 1}, u"edited");
    w.params.SetText({FieldKind::Zoom}, u"   200 000 000");
    BackToStart(w.params, files);
    EXPECT_EQ(w.params.bodies[1].mass.text, u"1,5");
    EXPECT_EQ(w.params.zoomText, u"   200 000 000");
}

TEST(BackToStart, AfterChoosingShowsTheChosenSystemWithTheNewScale) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(u"/prog/Save/Венера.sav", SystemWithMass(u"4,87E+24"));
    ChooseSystem(w.params, files, u"Венера");
    w.params.SetText({FieldKind::Mass, 1}, u"edited");
    w.params.SetText({FieldKind::Zoom}, u"5");
    BackToStart(w.params, files);
    EXPECT_EQ(w.params.bodies[1].mass.text, u"4,87E+24");
    EXPECT_EQ(w.params.zoomText, u"5");
}

TEST(BackToStart, AfterSaveRestoresWhatWasSavedNotTheChosenSystem) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(u"/prog/Save/Венера.sav", SystemWithMass(u"4,87E+24"));
    ChooseSystem(w.params, files, u"Венера");
    w.params.SetText({FieldKind::Mass, 1}, u"saved");
    SaveState(w.params, files);
    w.params.SetText({FieldKind::Mass, 1}, u"edited");
    BackToStart(w.params, files);
    EXPECT_EQ(w.params.bodies[1].mass.text, u"saved");
}

TEST(BackToStart, WithoutAStateFileKeepsEverythingAndClearsThePlot) {
    TestWindow w;
    FakeFileSystem files;
    w.params.SetText({FieldKind::Mass, 1}, u"kept");
    const int clears = w.clears;
    BackToStart(w.params, files);
    EXPECT_EQ(w.params.bodies[1].mass.text, u"kept");
    EXPECT_EQ(w.clears, clears + 1);
    EXPECT_TRUE(w.toolkit.messages.empty());
}

}  // namespace
}  // namespace orbimo
