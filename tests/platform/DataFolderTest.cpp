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

// The program's folder, and beside it share/orbimo as main() passes it.
TEST(DataFolder, InstalledUnderASystemPrefixOrWithItsDataBeside) {
    testing::TempFolder t;
    t.Write("build/bin/orbimo", "");
    t.Write("root/usr/bin/orbimo", "");
    t.Write("root/usr/share/orbimo/Save/Первая.sav", "");
    // A build tree or a portable copy; an unpacked package, an install under a prefix.
    // clang-format off
    const std::pair<fs::path, bool> rows[] = {
        {t.path() / "build/bin", false}, {t.path() / "root/usr/bin", true}, {"/usr/bin", true},
        {"/usr/local/bin", true}, {"/opt/orbimo/bin", true}, {"/bin", true},
        {"/usrdata/bin", false}, {"/home/u/usr/bin", false}, {"/usr/local/../../home/u/app", false}};
    // clang-format on
    for (const auto& [program, installed] : rows)
        EXPECT_EQ(IsInstalled(program, program / "../share/orbimo"), installed) << program;
}

TEST(DataFolder, WhereTheFilesGoAndWhatTheFirstStartCopies) {
    testing::TempFolder t;
    t.Write("root/usr/share/orbimo/Save/Первая.sav", "one");
    t.Write("root/usr/share/orbimo/Save/readme.txt", "not a system");
    t.Write("root/usr/bin/orbimo", "");
    t.Write("app/orbimo", "");
    t.Write("file", "");
    const fs::path installed = t.path() / "root/usr/bin", app = t.path() / "app",
                   user = t.path() / "user", blocked = t.path() / "file/orbimo";
    const auto appReadOnly = [&](const fs::path& p) { return p != app && FolderWritable(p); };
    const struct {
        fs::path program, user;
        bool appWritable;
        fs::path folder;
        int copied;
        bool problem;
    } rows[] = {
        {installed, user, true, user, 1, false},  // writable, as for root: still the user's folder
        {installed, user, true, user, 0, false},  // the second start copies nothing
        {installed, blocked, true, blocked, 0, true},
        {installed, {}, true, {}, 0, true},
        {app, user, true, app, 0, false},
        {app, user, false, user, 0, false},
        {app, blocked, false, app, 0, false},
    };
    for (const auto& r : rows) {
        const fs::path data = r.program / "../share/orbimo";
        const DataFolderChoice c = r.appWritable
                                       ? ChooseDataFolder(r.program, data, r.user)
                                       : ChooseDataFolder(r.program, data, r.user, appReadOnly);
        EXPECT_EQ(std::tuple(c.folder, c.besideProgram, c.examplesCopied, !c.problem.empty()),
                  std::tuple(r.folder, r.folder == r.program, r.copied, r.problem))
            << r.program << " " << r.user;
    }
    EXPECT_EQ(t.Contents("user/Save/Первая.sav"), "one");
    EXPECT_EQ(t.Contents("user/Save/readme.txt"), "<missing>");
    EXPECT_EQ(std::distance(fs::directory_iterator(installed), {}), 1);  // only the program
}

}  // namespace
}  // namespace orbimo
