#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "fakes/TempFolder.h"
#include "platform/StdFileSystem.h"

namespace orbimo {
namespace {

using testing::RunningAsRoot;
using testing::TempFolder;
using Texts = std::vector<std::u16string>;
namespace fs = std::filesystem;

Texts Sorted(Texts t) {
    std::sort(t.begin(), t.end());
    return t;
}

struct StdFs : ::testing::Test {
    TempFolder folder;
    std::u16string root = TextFromPath(folder.path());
    StdFileSystem files{root};

    std::u16string At(const std::u16string& relative) const { return root + u"/" + relative; }
};

// ---- texts and paths ----

struct Utf8Case {
    std::u16string text;
    std::string utf8;
};

class Utf8 : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8, PathFromTextAndBack) {
    EXPECT_EQ(PathFromText(GetParam().text).native(), GetParam().utf8);
    EXPECT_EQ(TextFromPath(fs::path(GetParam().utf8)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf8,
                         ::testing::Values(Utf8Case{u"", ""}, Utf8Case{u"/tmp/a.sav", "/tmp/a.sav"},
                                           Utf8Case{u"Земля",
                                                    "\xD0\x97\xD0\xB5\xD0\xBC\xD0\xBB\xD1\x8F"},
                                           Utf8Case{u"№€", "\xE2\x84\x96\xE2\x82\xAC"},
                                           Utf8Case{u"\U0001F600", "\xF0\x9F\x98\x80"}));

TEST(Utf8Broken, LoneSurrogateBecomesReplacement) {
    EXPECT_EQ(PathFromText(u"a\xD800"
                           "b")
                  .native(),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(Utf8Broken, MalformedBytesBecomeReplacement) {
    EXPECT_EQ(TextFromPath(fs::path("a\xFF"
                                    "b")),
              u"a\xFFFD"
              "b");
    EXPECT_EQ(TextFromPath(fs::path("\xC0\xAF")), u"\xFFFD\xFFFD");            // overlong
    EXPECT_EQ(TextFromPath(fs::path("\xED\xA0\x80")), u"\xFFFD\xFFFD\xFFFD");  // surrogate
    EXPECT_EQ(TextFromPath(fs::path("\xD0")), u"\xFFFD");                      // cut short
}

// ---- wildcards ----

struct MatchCase {
    std::u16string name, pattern;
    bool matches;
};

class Wildcard : public ::testing::TestWithParam<MatchCase> {};

TEST_P(Wildcard, Matches) {
    EXPECT_EQ(WildcardMatch(GetParam().name, GetParam().pattern), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Wildcard,
    ::testing::Values(MatchCase{u"Земля.sav", u"*.sav", true}, MatchCase{u".sav", u"*.sav", true},
                      MatchCase{u"a.sav.bak", u"*.sav", false},
                      MatchCase{u"a.savx", u"*.sav", false}, MatchCase{u"a.SAV", u"*.sav", false},
                      MatchCase{u"a.b.sav", u"*.sav", true}, MatchCase{u"abc", u"a?c", true},
                      MatchCase{u"ac", u"a?c", false}, MatchCase{u"Жук", u"?ук", true},
                      MatchCase{u"\U0001F600x", u"?x", true}, MatchCase{u"anything", u"*", true},
                      MatchCase{u"", u"*", true}, MatchCase{u"", u"", true},
                      MatchCase{u"a", u"", false}, MatchCase{u"abcabd", u"*ab?", true},
                      MatchCase{u"abcabd", u"a*c*d", true}, MatchCase{u"abcabe", u"a*c*d", false},
                      MatchCase{u"x", u"**x**", true}));

// ---- the program folder ----

TEST(StdFileSystemFolder, ProgramFolderHasNoTrailingSeparator) {
    EXPECT_EQ(StdFileSystem(u"/opt/orbimo/").ProgramFolder(), u"/opt/orbimo");
    EXPECT_EQ(StdFileSystem(u"/opt/orbimo").ProgramFolder(), u"/opt/orbimo");
    EXPECT_EQ(StdFileSystem(u"/").ProgramFolder(), u"");
}

TEST(StdFileSystemFolder, ExecutableFolderIsAFolder) {
    const std::u16string f = ExecutableFolder();
    ASSERT_FALSE(f.empty());
    EXPECT_NE(f.back(), u'/');
    EXPECT_TRUE(fs::is_directory(PathFromText(f)));
}

// ---- listing ----

TEST_F(StdFs, ListMaskZeroGivesRegularFilesOnly) {
    folder.Write("Земля.sav", "x");
    folder.Write("b.sav", "x");
    folder.Write(".hidden.sav", "x");
    folder.Write("c.txt", "x");
    fs::create_directories(folder.path() / "dir.sav");
    EXPECT_EQ(Sorted(files.List(root + u"/", u"*.sav", 0)), (Texts{u"b.sav", u"Земля.sav"}));
    EXPECT_EQ(Sorted(files.List(root, u"*.sav", 0)), (Texts{u"b.sav", u"Земля.sav"}));
}

TEST_F(StdFs, ListWithFolderBitAddsFoldersAndHiddenBitDotNames) {
    folder.Write("b.sav", "x");
    folder.Write(".hidden.sav", "x");
    fs::create_directories(folder.path() / "dir.sav");
    fs::create_directories(folder.path() / ".dotdir.sav");
    EXPECT_EQ(Sorted(files.List(root, u"*.sav", kAttrDirectory)), (Texts{u"b.sav", u"dir.sav"}));
    EXPECT_EQ(Sorted(files.List(root, u"*.sav", kAttrDirectory | kAttrHidden)),
              (Texts{u".dotdir.sav", u".hidden.sav", u"b.sav", u"dir.sav"}));
}

TEST_F(StdFs, ListFollowsLinksAndSkipsDanglingOnes) {
    folder.Write("real.sav", "x");
    fs::create_symlink(folder.path() / "real.sav", folder.path() / "link.sav");
    fs::create_symlink(folder.path() / "nothing", folder.path() / "dangling.sav");
    EXPECT_EQ(Sorted(files.List(root, u"*.sav", 0)), (Texts{u"link.sav", u"real.sav"}));
}

TEST_F(StdFs, ListOfAMissingFolderOrAFileIsEmpty) {
    folder.Write("f", "x");
    EXPECT_TRUE(files.List(At(u"missing/"), u"*", kAttrDirectory).empty());
    EXPECT_TRUE(files.List(At(u"f/"), u"*", kAttrDirectory).empty());
}

// ---- attributes ----

TEST_F(StdFs, Attributes) {
    folder.Write("a.sav", "x");
    folder.Write(".h.sav", "x");
    fs::create_directories(folder.path() / "Save");
    EXPECT_EQ(files.Attributes(At(u"a.sav")), std::uint16_t{0});
    EXPECT_EQ(files.Attributes(At(u".h.sav")), kAttrHidden);
    EXPECT_EQ(files.Attributes(At(u"Save")), kAttrDirectory);
    EXPECT_EQ(files.Attributes(At(u"Save/")), kAttrDirectory);
    EXPECT_EQ(files.Attributes(At(u"missing.sav")), std::nullopt);
    EXPECT_EQ(files.Attributes(At(u"a.sav/x")), std::nullopt);
}

TEST_F(StdFs, AttributesOfAReadOnlyFile) {
    if (RunningAsRoot()) GTEST_SKIP() << "permission bits do not stop root";
    folder.Write("ro.sav", "x");
    fs::permissions(folder.path() / "ro.sav", fs::perms::owner_read);
    EXPECT_EQ(files.Attributes(At(u"ro.sav")), kAttrReadOnly);
}

// ---- reading ----

TEST_F(StdFs, ReadGivesTheBytes) {
    const std::string bytes = std::string("\"\xD2\xE5\xEB\xEE 1\"\r\n", 10) + std::string(1, '\0') +
                              std::string(100000, 'z');
    folder.Write("Тело.sav", bytes);
    EXPECT_EQ(files.Read(At(u"Тело.sav")), bytes);
}

TEST_F(StdFs, ReadOfMissingOrFolderIsNothing) {
    fs::create_directories(folder.path() / "Save");
    EXPECT_EQ(files.Read(At(u"missing.sav")), std::nullopt);
    EXPECT_EQ(files.Read(At(u"Save")), std::nullopt);
}

// ---- atomic writing ----

std::vector<std::string> Entries(const fs::path& p) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(p)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(StdFs, WriteCreatesANewFileAndLeavesNoTemporaryFile) {
    const WriteResult r = files.WriteAtomic(At(u"Земля.sav"), "abc\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(folder.Contents("Земля.sav"), "abc\r\n");
    EXPECT_EQ(Entries(folder.path()), std::vector<std::string>{"Земля.sav"});
}

TEST_F(StdFs, WriteReplacesAnOldFileAndKeepsItsPermissions) {
    folder.Write("a.sav", std::string(5000, 'o'));
    fs::permissions(folder.path() / "a.sav",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(files.WriteAtomic(At(u"a.sav"), "new").ok);
    EXPECT_EQ(folder.Contents("a.sav"), "new");
    EXPECT_EQ(fs::status(folder.path() / "a.sav").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(folder.path()), std::vector<std::string>{"a.sav"});
}

TEST_F(StdFs, WriteAnEmptyFile) {
    folder.Write("a.sav", "old");
    ASSERT_TRUE(files.WriteAtomic(At(u"a.sav"), "").ok);
    EXPECT_EQ(folder.Contents("a.sav"), "");
}

TEST_F(StdFs, WriteThroughALinkReplacesTheFileItPointsTo) {
    folder.Write("real.sav", "old");
    fs::create_symlink("real.sav", folder.path() / "link.sav");
    ASSERT_TRUE(files.WriteAtomic(At(u"link.sav"), "new").ok);
    EXPECT_TRUE(fs::is_symlink(folder.path() / "link.sav"));
    EXPECT_EQ(folder.Contents("real.sav"), "new");
}

TEST_F(StdFs, WriteIntoAMissingFolderFails) {
    const WriteResult r = files.WriteAtomic(At(u"Save/a.sav"), "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, u"папка не найдена");
    EXPECT_FALSE(fs::exists(folder.path() / "Save"));
}

TEST_F(StdFs, WriteBelowAFileFails) {
    folder.Write("Save", "file");
    const WriteResult r = files.WriteAtomic(At(u"Save/a.sav"), "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, u"папка не найдена");
    EXPECT_EQ(folder.Contents("Save"), "file");
}

TEST_F(StdFs, WriteOverAFolderFails) {
    fs::create_directories(folder.path() / "a.sav");
    const WriteResult r = files.WriteAtomic(At(u"a.sav"), "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, u"на месте файла находится папка");
    EXPECT_TRUE(fs::is_directory(folder.path() / "a.sav"));
    EXPECT_EQ(Entries(folder.path()), std::vector<std::string>{"a.sav"});
}

TEST_F(StdFs, FolderInTheWayOfTheTemporaryFileLeavesTheOldFileByteIdentical) {
    const std::string old = "\"\xD2\xE5\xEB\xEE 1\"\r\n1\r\n";
    folder.Write("Orbimo.sav", old);
    const fs::path temp = StdFileSystem::TempPathFor(folder.path() / "Orbimo.sav");
    EXPECT_EQ(temp.parent_path(), folder.path());
    fs::create_directories(temp);
    const WriteResult r = files.WriteAtomic(At(u"Orbimo.sav"), "new");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.reason.empty());
    EXPECT_EQ(folder.Contents("Orbimo.sav"), old);
    EXPECT_TRUE(fs::is_directory(temp));  // nobody else's folder is removed
}

TEST_F(StdFs, StaleTemporaryFileIsReplaced) {
    folder.Write("a.sav", "old");
    const fs::path temp = StdFileSystem::TempPathFor(folder.path() / "a.sav");
    std::ofstream(temp, std::ios::binary) << "stale stale stale";
    ASSERT_TRUE(files.WriteAtomic(At(u"a.sav"), "new").ok);
    EXPECT_EQ(folder.Contents("a.sav"), "new");
    EXPECT_FALSE(fs::exists(temp));
}

TEST_F(StdFs, WriteIntoAReadOnlyFolderFailsAndKeepsTheOldFile) {
    if (RunningAsRoot()) GTEST_SKIP() << "permission bits do not stop root";
    folder.Write("Save/a.sav", "old");
    fs::permissions(folder.path() / "Save", fs::perms::owner_read | fs::perms::owner_exec);
    const WriteResult r = files.WriteAtomic(At(u"Save/a.sav"), "new");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, u"нет доступа");
    EXPECT_EQ(folder.Contents("Save/a.sav"), "old");
    EXPECT_EQ(Entries(folder.path() / "Save"), std::vector<std::string>{"a.sav"});
}

TEST_F(StdFs, WriteOverAReadOnlyFileFailsAndKeepsIt) {
    if (RunningAsRoot()) GTEST_SKIP() << "permission bits do not stop root";
    folder.Write("a.sav", "old");
    fs::permissions(folder.path() / "a.sav", fs::perms::owner_read);
    const WriteResult r = files.WriteAtomic(At(u"a.sav"), "new");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, u"нет доступа");
    EXPECT_EQ(folder.Contents("a.sav"), "old");
}

TEST_F(StdFs, TooLongANameFails) {
    const WriteResult r = files.WriteAtomic(At(std::u16string(300, u'x') + u".sav"), "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, u"слишком длинное имя файла");
}

struct ErrnoCase {
    int error;
    std::u16string reason;
};

class Reasons : public ::testing::TestWithParam<ErrnoCase> {};

TEST_P(Reasons, AreRussian) {
    EXPECT_EQ(ReasonFromErrno(GetParam().error), GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Errno, Reasons,
    ::testing::Values(ErrnoCase{EACCES, u"нет доступа"}, ErrnoCase{EPERM, u"нет доступа"},
                      ErrnoCase{ENOSPC, u"диск заполнен"}, ErrnoCase{EDQUOT, u"диск заполнен"},
                      ErrnoCase{ENOENT, u"папка не найдена"},
                      ErrnoCase{ENOTDIR, u"папка не найдена"},
                      ErrnoCase{EROFS, u"диск защищён от записи"},
                      ErrnoCase{EISDIR, u"на месте файла находится папка"},
                      ErrnoCase{ENAMETOOLONG, u"слишком длинное имя файла"},
                      ErrnoCase{EIO, u"ошибка ввода-вывода"},
                      ErrnoCase{12345, u"ошибка файловой системы (код 12345)"}));

// ---- folders ----

TEST_F(StdFs, CreateFolderWithParentsAndTrailingSeparator) {
    EXPECT_TRUE(files.CreateFolder(At(u"a/b/Save/")));
    EXPECT_TRUE(fs::is_directory(folder.path() / "a" / "b" / "Save"));
    EXPECT_TRUE(files.CreateFolder(At(u"a/b/Save")));  // exists already
}

TEST_F(StdFs, CreateFolderFailsWhereAFileStands) {
    folder.Write("Save", "file");
    EXPECT_FALSE(files.CreateFolder(At(u"Save/")));
    EXPECT_EQ(folder.Contents("Save"), "file");
}

}  // namespace
}  // namespace orbimo
