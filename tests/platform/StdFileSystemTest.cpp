#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "fakes/TempFolder.h"
#include "platform/StdFileSystem.h"

namespace orbimo {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::u16string>;

struct StdFs : ::testing::Test {
    Texts Sorted(Texts names) const {
        std::sort(names.begin(), names.end());
        return names;
    }
    testing::TempFolder folder;
    std::u16string root = TextFromPath(folder.path());
    StdFileSystem files{root};
};

TEST_F(StdFs, CyrillicNamesGoThroughUtf8PathsBothWays) {
    EXPECT_EQ(PathFromText(u"/Земля").native(), "/\xD0\x97\xD0\xB5\xD0\xBC\xD0\xBB\xD1\x8F");
    EXPECT_EQ(TextFromPath(PathFromText(u"Ёж №1 \U0001F600")), u"Ёж №1 \U0001F600");
    ASSERT_TRUE(files.CreateFolder(root + u"/Папка/") &&
                files.WriteAtomic(root + u"/Папка/Земля №1.sav", "bytes").ok);
    EXPECT_EQ(folder.Contents("Папка/Земля №1.sav"), "bytes");
    EXPECT_EQ(files.Read(root + u"/Папка/Земля №1.sav"), "bytes");
    EXPECT_EQ(files.List(root + u"/Папка/", u"*", 0), Texts{u"Земля №1.sav"});
}

TEST_F(StdFs, NamesNotInUtf8AreShownAsWindows1251OrEscapedAndUsedByTheirOwnBytes) {
    // «Папка/Земля.sav» in Windows-1251, and a name with 0x98, which that code page lacks.
    const std::string folderName = "\xCF\xE0\xEF\xEA\xE0", earth = "\xC7\xE5\xEC\xEB\xFF.sav",
                      odd = "a\x98%\xE9.sav";
    folder.Write(folderName + "/" + earth, "earth"), folder.Write(folderName + "/" + odd, "odd");
    const std::u16string in = root + u"/Папка/";
    EXPECT_EQ(TextFromPath(folder.path() / folderName / earth), in + u"Земля.sav");
    ASSERT_EQ(Sorted(files.List(in, u"*.sav", 0)), (Texts{u"a%98%25й.sav", u"Земля.sav"}));
    for (const auto& [text, bytes] : {std::pair{u"Земля.sav", earth}, {u"a%98%25й.sav", odd}}) {
        EXPECT_EQ(files.Attributes(in + text), std::optional<std::uint16_t>(0));
        EXPECT_EQ(files.Read(in + text), folder.Contents(folderName + "/" + bytes));
        ASSERT_TRUE(files.WriteAtomic(in + text, "saved").ok);
        EXPECT_EQ(folder.Contents(folderName + "/" + bytes), "saved");
    }
    EXPECT_EQ(files.List(in, u"*", kAttrHidden | kAttrDirectory).size(), 2u) << "a twin was made";
}

TEST_F(StdFs, SaveIsSyncedFileThenFolderAndKeepsTheOldFilesMode) {
    static std::vector<std::string> synced;  // what each sync was given
    files.syncHook = [](int fd) {
        struct stat st {};
        ::fstat(fd, &st);
        synced.push_back(S_ISDIR(st.st_mode) ? "folder" : std::to_string(st.st_size) + " bytes");
        return ::fsync(fd);
    };
    folder.Write("a.sav", "old");
    fs::permissions(folder.path() / "a.sav", fs::perms(0604));
    ASSERT_TRUE(files.WriteAtomic(root + u"/a.sav", "saved").ok);
    EXPECT_EQ(synced, (std::vector<std::string>{"5 bytes", "folder"}));
    EXPECT_EQ(fs::status(folder.path() / "a.sav").permissions(), fs::perms(0604));
}

TEST_F(StdFs, ListingMaskGivesFilesOnlyThenFoldersThenDotNames) {
    for (const char* name : {"Земля.sav", "b.sav", ".hidden.sav", "c.txt"}) folder.Write(name, "x");
    for (const char* name : {"dir.sav", ".dotdir.sav"}) fs::create_directory(folder.path() / name);
    EXPECT_EQ(Sorted(files.List(root, u"*.sav", 0)), (Texts{u"b.sav", u"Земля.sav"}));
    EXPECT_EQ(Sorted(files.List(root + u"/", u"*.sav", kAttrDirectory)),
              (Texts{u"b.sav", u"dir.sav", u"Земля.sav"}));
    EXPECT_EQ(Sorted(files.List(root, u"*.sav", kAttrDirectory | kAttrHidden)),
              (Texts{u".dotdir.sav", u".hidden.sav", u"b.sav", u"dir.sav", u"Земля.sav"}));
}

TEST(Wildcard, StarAnyRunQuestionMarkOneCharacterCaseCounts) {
    // clang-format off
    const std::tuple<std::u16string, std::u16string, bool> cases[] = {
        {u"Земля.sav", u"*.sav", true}, {u"a.sav.bak", u"*.sav", false}, {u"a.SAV", u"*.sav", false},
        {u"Жук", u"?ук", true}, {u"ук", u"?ук", false}, {u"\U0001F600x", u"?x", true},
        {u"abcabd", u"*ab?", true}, {u"abcabe", u"a*c*d", false}, {u"", u"*", true}};
    // clang-format on
    for (const auto& [name, pattern, matches] : cases)
        EXPECT_EQ(WildcardMatch(name, pattern), matches) << ::testing::PrintToString(name);
}

TEST_F(StdFs, FailedAtomicWriteKeepsTheOldFileWholeAndLeavesNoTemporaryFile) {
    folder.Write("a.sav", std::string(5000, 'o'));
    ASSERT_TRUE(files.WriteAtomic(root + u"/a.sav", "old").ok);
    // Failing after the temporary file is made: beyond a file-size limit, in a child process.
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit limit{64, 64};
        ::signal(SIGXFSZ, SIG_IGN);
        const bool limited = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        _exit(limited && !files.WriteAtomic(root + u"/a.sav", std::string(1000, 'x')).ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // Failing before: a folder in the temporary file's place, which stays.
    const fs::path temp = StdFileSystem::TempPathFor(folder.path() / "a.sav");
    fs::create_directory(temp);
    EXPECT_FALSE(files.WriteAtomic(root + u"/a.sav", "new").ok);
    EXPECT_TRUE(fs::remove(temp));
    EXPECT_EQ(folder.Contents("a.sav"), "old");
    EXPECT_EQ(Sorted(files.List(root, u"*", kAttrHidden | kAttrDirectory)), Texts{u"a.sav"});
}

}  // namespace
}  // namespace orbimo
