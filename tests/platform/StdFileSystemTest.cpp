#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
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
