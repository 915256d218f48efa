#include <gtest/gtest.h>

#include "fakes/TempFolder.h"
#include "platform/DataFolder.h"

namespace orbimo {
namespace {

namespace fs = std::filesystem;

TEST(DataFolder, UserFolderIsXdgDataHomeElseUnderHome) {
    EXPECT_EQ(UserDataFolder("/x/data", "/home/u"), fs::path("/x/data/orbimo"));
    EXPECT_EQ(UserDataFolder("relative", "/home/u"), fs::path("/home/u/.local/share/orbimo"));
    EXPECT_EQ(UserDataFolder(nullptr, "relative"), fs::path());
}

TEST(DataFolder, InstalledUnderASystemPrefixOrWithItsDataBeside) {
    testing::TempFolder t;
    t.Write("build/bin/Save/Первая.sav", "");
    t.Write("root/usr/share/orbimo/Save/Первая.sav", "");
    t.Write("root/usr/bin/orbimo", "");
    const fs::path none = t.path() / "build/share/orbimo";
    const struct {
        fs::path program, data;
        bool installed;
    } rows[] = {
        {t.path() / "build/bin", none, false},                 // a build tree
        {t.path() / "app", t.path() / "share/orbimo", false},  // a portable copy
        {t.path() / "root/usr/bin", t.path() / "root/usr/bin/../share/orbimo", true},  // unpacked
        {"/usr/bin", none, true},
        {"/usr/local/bin", none, true},
        {"/usr/games/", none, true},
        {"/opt/orbimo/bin", none, true},
        {"/bin", none, true},
        {"/usrdata/bin", none, false},
        {"/home/u/usr/bin", none, false},
        {"/usr/local/../../home/u/app", none, false},
    };
    for (const auto& r : rows) EXPECT_EQ(IsInstalled(r.program, r.data), r.installed) << r.program;
}

TEST(DataFolder, WhereTheFilesGoAndWhatTheFirstStartCopies) {
    testing::TempFolder t;
    t.Write("root/usr/share/orbimo/Save/Первая.sav", "one");
    t.Write("root/usr/share/orbimo/Save/readme.txt", "not a system");
    t.Write("root/usr/bin/orbimo", "");
    t.Write("app/orbimo", "");
    t.Write("file", "");
    const fs::path installed = t.path() / "root/usr/bin", data = t.path() / "root/usr/share/orbimo",
                   app = t.path() / "app", none = t.path() / "share/orbimo",
                   user = t.path() / "user", blocked = t.path() / "file/orbimo";
    const auto appReadOnly = [&](const fs::path& p) { return p != app && FolderWritable(p); };
    const struct {
        fs::path program, data, user;
        bool appWritable;
        fs::path folder;
        int copied;
        bool problem;
    } rows[] = {
        {installed, data, user, true, user, 1, false},  // writable, as for root: still the user's
        {installed, data, user, true, user, 0, false},  // the second start copies nothing
        {installed, data, blocked, true, blocked, 0, true},
        {installed, data, {}, true, {}, 0, true},
        {app, none, user, true, app, 0, false},
        {app, none, user, false, user, 0, false},
        {app, none, blocked, false, app, 0, false},
    };
    for (const auto& r : rows) {
        const DataFolderChoice c = r.appWritable
                                       ? ChooseDataFolder(r.program, r.data, r.user)
                                       : ChooseDataFolder(r.program, r.data, r.user, appReadOnly);
        EXPECT_EQ(std::tuple(c.folder, c.besideProgram, c.examplesCopied, !c.problem.empty()),
                  std::tuple(r.folder, r.folder == r.program, r.copied, r.problem))
            << r.program << " " << r.user;
    }
    EXPECT_EQ(t.Contents("user/Save/Первая.sav"), "one");
    EXPECT_EQ(t.Contents("user/Save/readme.txt"), "<missing>");
    EXPECT_TRUE(fs::is_directory(app / "Save"));
    EXPECT_EQ(std::distance(fs::directory_iterator(installed), {}), 1);  // only the program
}

}  // namespace
}  // namespace orbimo
