#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "fakes/TempFolder.h"
#include "platform/DataFolder.h"

namespace orbimo {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

TEST(DataFolder, UserFolderFollowsTheXdgRules) {
    EXPECT_EQ(UserDataFolder("/x/data", "/home/u"), fs::path("/x/data/orbimo"));
    EXPECT_EQ(UserDataFolder(nullptr, "/home/u"), fs::path("/home/u/.local/share/orbimo"));
    EXPECT_EQ(UserDataFolder("", "/home/u"), fs::path("/home/u/.local/share/orbimo"));
    // A relative XDG_DATA_HOME is invalid and ignored.
    EXPECT_EQ(UserDataFolder("data", "/home/u"), fs::path("/home/u/.local/share/orbimo"));
    EXPECT_EQ(UserDataFolder(nullptr, nullptr), fs::path());
    EXPECT_EQ(UserDataFolder(nullptr, "relative"), fs::path());
}

/// An installed layout: <prefix>/bin (the program), <prefix>/share/orbimo/Save (the examples).
struct Layout {
    Layout() {
        t.Write("prefix/share/orbimo/Save/Первая.sav", "one");
        t.Write("prefix/share/orbimo/Save/Вторая.sav", "two");
        t.Write("prefix/share/orbimo/Save/readme.txt", "not a system");
        fs::create_directories(bin());
    }
    fs::path bin() const { return t.path() / "prefix/bin"; }
    fs::path shipped() const { return bin() / "../share/orbimo/Save"; }
    fs::path user() const { return t.path() / "home/.local/share/orbimo"; }
    std::set<std::string> Names(const fs::path& folder) const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(folder))
            names.insert(e.path().filename().string());
        return names;
    }
    TempFolder t;
};

TEST(DataFolder, WritableProgramFolderKeepsEverythingBesideTheProgram) {
    Layout l;
    l.t.Write("prefix/bin/Save/Моя.sav", "mine");
    const DataFolderChoice c = ChooseDataFolder(l.bin(), l.user(), l.shipped());
    EXPECT_EQ(c.folder, l.bin());
    EXPECT_TRUE(c.besideProgram);
    EXPECT_EQ(c.examplesCopied, 0) << "Save exists already: not a first start";
    EXPECT_FALSE(fs::exists(l.user()));
}

TEST(DataFolder, ReadOnlyProgramFolderMovesToTheUserFolderAndCopiesTheExamplesOnce) {
    Layout l;
    const auto notBin = [&](const fs::path& p) {
        return !fs::equivalent(p, l.bin()) && FolderWritable(p);
    };
    DataFolderChoice c = ChooseDataFolder(l.bin(), l.user(), l.shipped(), notBin);
    EXPECT_EQ(c.folder, l.user());
    EXPECT_FALSE(c.besideProgram);
    EXPECT_EQ(c.examplesCopied, 2);
    EXPECT_EQ(l.Names(l.user() / "Save"), (std::set<std::string>{"Первая.sav", "Вторая.sav"}));
    EXPECT_EQ(l.t.Contents("home/.local/share/orbimo/Save/Первая.sav"), "one");
    EXPECT_FALSE(fs::exists(l.bin() / "Save"));

    // The user deletes one and changes the other: the next start leaves them so.
    fs::remove(l.user() / "Save/Вторая.sav");
    l.t.Write("home/.local/share/orbimo/Save/Первая.sav", "changed");
    c = ChooseDataFolder(l.bin(), l.user(), l.shipped(), notBin);
    EXPECT_EQ(c.folder, l.user());
    EXPECT_EQ(c.examplesCopied, 0);
    EXPECT_EQ(l.Names(l.user() / "Save"), (std::set<std::string>{"Первая.sav"}));
    EXPECT_EQ(l.t.Contents("home/.local/share/orbimo/Save/Первая.sav"), "changed");
}

TEST(DataFolder, WithoutAUsableUserFolderTheProgramFolderStays) {
    Layout l;
    const auto nothing = [](const fs::path&) { return false; };
    const DataFolderChoice c = ChooseDataFolder(l.bin(), fs::path(), l.shipped(), nothing);
    EXPECT_EQ(c.folder, l.bin());
    EXPECT_EQ(c.examplesCopied, 0);
}

TEST(DataFolder, WritableProgramFolderWithoutSaveGetsTheExamples) {
    // Installed under a prefix the user owns: the examples come beside the program.
    Layout l;
    const DataFolderChoice c = ChooseDataFolder(l.bin(), l.user(), l.shipped());
    EXPECT_EQ(c.folder, l.bin());
    EXPECT_EQ(c.examplesCopied, 2);
    EXPECT_EQ(l.Names(l.bin() / "Save").size(), 2u);
}

TEST(DataFolder, RealPermissionsDecide) {
    if (testing::RunningAsRoot()) GTEST_SKIP() << "permission bits do not stop root";
    Layout l;
    ::chmod(l.bin().c_str(), 0555);
    const DataFolderChoice c = ChooseDataFolder(l.bin(), l.user(), l.shipped());
    EXPECT_EQ(c.folder, l.user());
    EXPECT_EQ(c.examplesCopied, 2);
    EXPECT_FALSE(FolderWritable(l.bin()));
    EXPECT_TRUE(FolderWritable(l.user()));
}

}  // namespace
}  // namespace orbimo
