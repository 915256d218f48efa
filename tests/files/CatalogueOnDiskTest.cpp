// The catalogue and saving on a real folder, through StdFileSystem.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/TempFolder.h"
#include "files/Catalogue.h"
#include "files/SaveLoad.h"
#include "files/TestWindow.h"
#include "platform/StdFileSystem.h"

namespace orbimo {
namespace {

using testing::RunningAsRoot;
using testing::TempFolder;
using testing::TestWindow;
using Texts = std::vector<std::u16string>;
namespace fs = std::filesystem;

struct OnDisk : ::testing::Test {
    TempFolder folder;
    StdFileSystem files{TextFromPath(folder.path())};
    TestWindow w;
};

TEST_F(OnDisk, CatalogueListsSavFilesInOrdinalOrder) {
    for (const char* name : {"земля.sav", "Земля2.sav", "Земля.sav", "Венера.sav", "mars.sav",
                             "Mars.sav", ".скрытый.sav", "a.b.sav", "notes.txt", "Земля.SAV"})
        folder.Write(fs::path("Save") / name, "x");
    fs::create_directories(folder.path() / "Save" / "Папка.sav");
    FillSystems(w.params, files);
    EXPECT_EQ(w.params.systems,
              (Texts{u"Mars", u"a", u"mars", u"Венера", u"Земля", u"Земля2", u"земля"}));
}

TEST_F(OnDisk, SaveAsCreatesTheSaveFolderAndTheFileLoadsBack) {
    w.params.SetText({FieldKind::Mass, 3}, u"5,976E+24");
    w.params.bodies[3].caption = u"Земля";
    w.toolkit.answers = {u"Моя система"};
    SaveAs(w.params, files);
    ASSERT_TRUE(w.toolkit.messages.empty()) << w.toolkit.messages.size();
    EXPECT_EQ(folder.Contents("Save/Моя система.sav"), SystemFileBytes(w.params));
    EXPECT_EQ(w.params.systems, Texts{u"Моя система"});

    TestWindow other;
    FillSystems(other.params, files);
    ASSERT_EQ(other.params.systems, Texts{u"Моя система"});
    ChooseSystem(other.params, files, other.params.systems[0]);
    EXPECT_EQ(other.params.bodies[3].caption, u"Земля");
    EXPECT_EQ(other.params.bodies[3].mass.text, u"5,976E+24");
    EXPECT_EQ(folder.Contents("Orbimo.sav"), SystemFileBytes(other.params));
}

TEST_F(OnDisk, ChoosingAVanishedFileSaysSo) {
    folder.Write("Save/Марс.sav", "x");
    FillSystems(w.params, files);
    fs::remove(folder.path() / "Save" / "Марс.sav");
    ChooseSystem(w.params, files, u"Марс");
    EXPECT_EQ(w.toolkit.messages,
              Texts{u"Нет файла: " + TextFromPath(folder.path()) + u"/Save/Марс.sav"});
    EXPECT_EQ(folder.Contents("Orbimo.sav"), "<missing>");
}

TEST_F(OnDisk, SaveAsWhenAFileStandsWhereTheSaveFolderBelongs) {
    folder.Write("Save", "not a folder");
    w.toolkit.answers = {u"X"};
    SaveAs(w.params, files);
    ASSERT_EQ(w.toolkit.messages.size(), 1u);
    EXPECT_EQ(w.toolkit.messages[0], u"Не удалось сохранить файл " + TextFromPath(folder.path()) +
                                         u"/Save/X.sav: папка не найдена");
    EXPECT_TRUE(w.params.systems.empty());
    EXPECT_EQ(folder.Contents("Save"), "not a folder");
}

TEST_F(OnDisk, FailedStateSaveLeavesTheOldFileByteIdentical) {
    const std::string old = "old state\r\n\xD2\xE5\xEB\xEE";
    folder.Write("Orbimo.sav", old);
    // A folder where the temporary file must go stops the save, for root as well.
    fs::create_directories(StdFileSystem::TempPathFor(folder.path() / "Orbimo.sav"));
    SaveState(w.params, files);
    ASSERT_EQ(w.toolkit.messages.size(), 1u);
    EXPECT_EQ(
        w.toolkit.messages[0].rfind(
            u"Не удалось сохранить файл " + TextFromPath(folder.path()) + u"/Orbimo.sav: ", 0),
        0u);
    EXPECT_EQ(folder.Contents("Orbimo.sav"), old);
}

TEST_F(OnDisk, SaveIntoAReadOnlySaveFolderFailsAndKeepsTheOldFile) {
    if (RunningAsRoot()) GTEST_SKIP() << "permission bits do not stop root";
    folder.Write("Save/Марс.sav", "old");
    fs::permissions(folder.path() / "Save", fs::perms::owner_read | fs::perms::owner_exec);
    FillSystems(w.params, files);
    w.toolkit.answers = {u"Марс"};
    SaveAs(w.params, files);
    EXPECT_EQ(w.toolkit.messages,
              Texts{u"Не удалось сохранить файл " + TextFromPath(folder.path()) +
                    u"/Save/Марс.sav: нет доступа"});
    EXPECT_EQ(folder.Contents("Save/Марс.sav"), "old");
}

TEST_F(OnDisk, StartUpLoadOfTheStateFile) {
    TestWindow a;
    a.params.SetText({FieldKind::VY, 11}, u"-1 000");
    a.params.SelectView(11);
    ASSERT_TRUE(СохранитьТела(a.params, files, u"").ok);
    ЗагрузитьТела(w.params, files, u"");
    EXPECT_EQ(w.params.bodies[11].vy.text, u"-1 000");
    EXPECT_EQ(w.state.ViewBody, 11);
}

}  // namespace
}  // namespace orbimo
