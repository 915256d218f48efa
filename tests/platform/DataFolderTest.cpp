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

TEST(DataFolder, ProgramFolderWhenWritableElseUserFolderWithExamplesCopiedOnce) {
    testing::TempFolder t;
    t.Write("share/Save/Первая.sav", "one");
    t.Write("share/Save/readme.txt", "not a system");
    t.Write("bin/orbimo", "");
    const fs::path bin = t.path() / "bin", user = t.path() / "user",
                   shipped = t.path() / "share/Save";
    EXPECT_TRUE(FolderWritable(bin) && !FolderWritable(t.path() / "none"));
    const auto binReadOnly = [&](const fs::path& p) { return p != bin && FolderWritable(p); };
    const auto choice = [](const DataFolderChoice& c) {
        return std::tuple(c.folder, c.besideProgram, c.examplesCopied);
    };
    // A read-only program folder: the user's folder, with the examples on the first start only.
    EXPECT_EQ(choice(ChooseDataFolder(bin, user, shipped, binReadOnly)),
              std::tuple(user, false, 1));
    EXPECT_EQ(t.Contents("user/Save/Первая.sav"), "one");
    EXPECT_EQ(t.Contents("user/Save/readme.txt"), "<missing>");
    t.Write("user/Save/Первая.sav", "changed");
    EXPECT_EQ(ChooseDataFolder(bin, user, shipped, binReadOnly).examplesCopied, 0);
    EXPECT_EQ(t.Contents("user/Save/Первая.sav"), "changed");

    // A writable one: everything beside the program, the examples there too.
    EXPECT_EQ(choice(ChooseDataFolder(bin, user, shipped)), std::tuple(bin, true, 1));
    EXPECT_EQ(t.Contents("bin/Save/Первая.sav"), "one");
}

}  // namespace
}  // namespace orbimo
