#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <tuple>

#include "fakes/TempFolder.h"
#include "platform/StdFileSystem.h"

namespace orbimo {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::u16string>;

struct StdFs : ::testing::Test {
    static Texts Sorted(Texts names) { return std::ranges::sort(names), names; }
    testing::TempFolder folder;
    std::u16string root = TextFromPath(folder.path());
    StdFileSystem files{root};
};

TEST_F(StdFs, NamesInUtf8OrElseWindows1251OrEscapedAreListedAndUsedByTheirOwnBytes) {
    // «Папка/Земля.sav» in Windows-1251, and a name with 0x98, which that code page lacks.
    const std::string folderName = "\xCF\xE0\xEF\xEA\xE0", earth = "\xC7\xE5\xEC\xEB\xFF.sav",
                      odd = "a\x98%\xE9.sav";
    folder.Write(folderName + "/" + earth, "earth"), folder.Write(folderName + "/" + odd, "odd");
    const std::u16string in = root + u"/Папка/";
    EXPECT_EQ(TextFromPath(folder.path() / folderName / earth), in + u"Земля.sav");
    EXPECT_EQ(TextFromPath(PathFromText(u"Ёж №1 \U0001F600")), u"Ёж №1 \U0001F600");
    ASSERT_TRUE(files.CreateFolder(in + u"Новая/") &&
                files.WriteAtomic(in + u"Новая/Земля №1.sav", "new").ok);
    EXPECT_EQ(folder.Contents(folderName + "/Новая/Земля №1.sav"), "new");  // new names in UTF-8
    ASSERT_EQ(Sorted(files.List(in, u"*.sav", 0)), (Texts{u"a%98%25й.sav", u"Земля.sav"}));
    for (const auto& [text, bytes] : {std::pair{u"Земля.sav", earth}, {u"a%98%25й.sav", odd}}) {
        EXPECT_EQ(files.Attributes(in + text), std::optional<std::uint16_t>(0));
        EXPECT_EQ(files.Read(in + text), folder.Contents(folderName + "/" + bytes));
        ASSERT_TRUE(files.WriteAtomic(in + text, "saved").ok);
        EXPECT_EQ(folder.Contents(folderName + "/" + bytes), "saved");
    }
    EXPECT_EQ(files.List(in, u"*", kAttrHidden | kAttrDirectory).size(), 3u) << "a twin was made";
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

// Through a link, «Сохранить» writes the file the link leads to (made if not there yet) and the
// link stays a link; a loop of links is refused.
TEST_F(StdFs, SaveThroughALinkWritesWhereItLeadsAndKeepsTheLink) {
    const fs::path p = folder.path();
    folder.Write("real/a.sav", "old");
    // A link, where it leads, the file written through it, the reason for a refusal.
    // clang-format off
    const std::tuple<std::string, fs::path, std::string, std::u16string> links[] = {
        {"relative.sav", "real/a.sav", "real/a.sav", u""},
        {"chain.sav", p / "relative.sav", "real/a.sav", u""},
        {"dangling.sav", "real/new.sav", "real/new.sav", u""},
        {"loop.sav", "loop.sav", "", u"слишком много символических ссылок"}};
    // clang-format on
    for (const auto& [link, to, file, reason] : links) fs::create_symlink(to, p / link);
    for (const auto& [link, to, file, reason] : links) {
        EXPECT_EQ(files.WriteAtomic(root + u"/" + TextFromPath(link), link).reason, reason);
        EXPECT_TRUE(fs::is_symlink(p / link) && (file.empty() || folder.Contents(file) == link))
            << link;
    }
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(p), {}), 7) << "a temporary file left";
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

/// The folder and every entry below it with its bytes, "/" for a folder.
std::map<std::string, std::string> Snapshot(const testing::TempFolder& t) {
    std::map<std::string, std::string> all{{t.path(), "/"}};
    for (const auto& e : fs::recursive_directory_iterator(t.path()))
        all[e.path()] = e.is_directory() ? "/" : t.Contents(e.path());
    return all;
}

// Each failure is said in Russian, keeps the old file whole and leaves no temporary file. In a
// child process limited to 64-byte files, as "nobody" when root: permission bits do not stop root.
TEST_F(StdFs, FailedSaveSaysWhyKeepsTheOldFileAndLeavesNothingBehind) {
    const passwd* nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
    if (::geteuid() == 0 && !nobody) GTEST_SKIP() << "no user nobody to drop to";
    for (const char* name : {"a.sav", "ro/a.sav", "big/a.sav"}) folder.Write(name, "old");
    for (const auto& [path, bytes] : Snapshot(folder))
        ASSERT_TRUE(!nobody || ::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid) == 0);
    fs::permissions(folder.path() / "a.sav", fs::perms(0444));
    fs::permissions(folder.path() / "ro", fs::perms(0555));
    const auto before = Snapshot(folder);
    // clang-format off
    const std::pair<const char16_t*, std::u16string> cases[] = {
        {u"/a.sav", u"нет доступа"}, {u"/ro/a.sav", u"нет доступа"},
        {u"/none/a.sav", u"папка не найдена"}, {u"/big/a.sav", u"файл больше, чем разрешено"},
        {u"/ro", u"на месте файла находится папка"}};
    // clang-format on
    if (::fork() == 0) {
        const rlimit limit{64, 64};
        ::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails with EFBIG instead
        if (::setrlimit(RLIMIT_FSIZE, &limit) ||
            (nobody &&
             (::setgroups(0, nullptr) || ::setgid(nobody->pw_gid) || ::setuid(nobody->pw_uid))))
            _exit(2);
        ::prctl(PR_SET_DUMPABLE, 1);  // lets a sanitizer read /proc/self as before
        for (const auto& [path, reason] : cases)
            EXPECT_EQ(files.WriteAtomic(root + path, std::string(100, 'x')).reason, reason);
        std::fflush(stdout);  // the failures, which _exit would drop
        _exit(HasFailure());
    }
    int status = -1;
    ::wait(&status);
    EXPECT_EQ(status, 0) << "the failures of the child are above";
    EXPECT_EQ(Snapshot(folder), before);
}

}  // namespace
}  // namespace orbimo
