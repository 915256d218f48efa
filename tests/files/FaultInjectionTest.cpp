// Saving and choosing when the file system refuses: every case must end in a message,
// leave the program working, and leave the previous file byte for byte as it was.
// Permission cases run in a child process as the user "nobody" when the tests run as
// root, since permission bits do not stop root; the full disk is a small tmpfs where
// this process may mount one, otherwise a file-size limit in a child process.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
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

const std::string kOldState = "\"old state\"\r\n1\r\n\"\xD2\xE5\xEB\xEE\"\r\n";
const std::string kOldSystem = "\"old system\"\r\n0\r\n";

/// What a child process reports: whether it ended normally, and its messages.
struct ChildResult {
    bool exitedNormally = false;
    Texts messages;
    std::string windowBefore, windowAfter;  // the window's contents as file bytes
};

struct Unprivileged {
    uid_t uid;
    gid_t gid;
};

std::optional<Unprivileged> Nobody() {
    const passwd* pw = ::getpwnam("nobody");
    if (pw == nullptr) return std::nullopt;
    return Unprivileged{pw->pw_uid, pw->pw_gid};
}

void WriteAllTo(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n <= 0) _exit(90);
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

bool ReadAllFrom(int fd, void* data, std::size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::read(fd, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void SendText(int fd, const std::u16string& text) {
    const std::size_t n = text.size();
    WriteAllTo(fd, &n, sizeof n);
    WriteAllTo(fd, text.data(), n * sizeof(char16_t));
}

void SendBytes(int fd, const std::string& bytes) {
    SendText(fd, std::u16string(bytes.begin(), bytes.end()));
}

std::optional<std::u16string> ReceiveText(int fd) {
    std::size_t n = 0;
    if (!ReadAllFrom(fd, &n, sizeof n) || n > (1u << 24)) return std::nullopt;
    std::u16string text(n, u'\0');
    if (!ReadAllFrom(fd, text.data(), n * sizeof(char16_t))) return std::nullopt;
    return text;
}

/// Runs action on a fresh window over the program folder in a child process, after
/// prepare (run in the child before the action, e.g. dropping privileges or limits).
ChildResult RunInChild(const fs::path& programFolder, const std::function<void()>& prepare,
                       const std::function<void(TestWindow&, StdFileSystem&)>& action) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        prepare();
        TestWindow w;
        StdFileSystem files(TextFromPath(programFolder));
        const std::string before = SystemFileBytes(w.params);
        action(w, files);
        const std::size_t count = w.toolkit.messages.size();
        WriteAllTo(fds[1], &count, sizeof count);
        for (const std::u16string& m : w.toolkit.messages) SendText(fds[1], m);
        SendBytes(fds[1], before);
        SendBytes(fds[1], SystemFileBytes(w.params));
        ::close(fds[1]);
        _exit(0);
    }
    ::close(fds[1]);
    ChildResult result;
    std::size_t count = 0;
    bool complete = ReadAllFrom(fds[0], &count, sizeof count) && count < 100;
    for (std::size_t i = 0; complete && i < count; ++i) {
        const std::optional<std::u16string> m = ReceiveText(fds[0]);
        complete = m.has_value();
        if (m) result.messages.push_back(*m);
    }
    const std::optional<std::u16string> before = complete ? ReceiveText(fds[0]) : std::nullopt;
    const std::optional<std::u16string> after = before ? ReceiveText(fds[0]) : std::nullopt;
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitedNormally = complete && after && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (after) {
        result.windowBefore.assign(before->begin(), before->end());
        result.windowAfter.assign(after->begin(), after->end());
    }
    return result;
}

/// In the child: become the user nobody when root, so that permission bits count.
void DropPrivileges(const Unprivileged& user) {
    if (!RunningAsRoot()) return;
    if (::setgroups(0, nullptr) != 0 || ::setgid(user.gid) != 0 || ::setuid(user.uid) != 0)
        _exit(91);
    ::prctl(PR_SET_DUMPABLE, 1);  // lets the sanitizers read /proc/self as before
}

/// Gives a path to user (when root) and sets its permission bits.
void Own(const fs::path& path, const Unprivileged& user, fs::perms perms) {
    if (RunningAsRoot()) {
        ASSERT_EQ(::chown(path.c_str(), user.uid, user.gid), 0) << path;
    }
    fs::permissions(path, perms);
}

constexpr fs::perms kReadOnlyFolder = fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec;
constexpr fs::perms kWritableFolder = kReadOnlyFolder | fs::perms::owner_write;
constexpr fs::perms kReadOnlyFile =
    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

std::u16string Failed(const fs::path& file, const std::u16string& reason) {
    return u"Не удалось сохранить файл " + TextFromPath(file) + u": " + reason;
}

/// Entries of a folder, to see that no temporary file was left behind.
std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

struct Faults : ::testing::Test {
    void SetUp() override {
        user = Nobody();
        if (!user) GTEST_SKIP() << "no user nobody to drop to";
        // The temporary folder itself must be reachable for the child.
        Own(folder.path(), *user, kWritableFolder);
    }
    ChildResult AsUser(const std::function<void(TestWindow&, StdFileSystem&)>& action) {
        const Unprivileged u = *user;
        return RunInChild(
            folder.path(), [u] { DropPrivileges(u); }, action);
    }
    TempFolder folder;
    std::optional<Unprivileged> user;
};

// ---- read-only folder and read-only file -----------------------------------------

TEST_F(Faults, SaveIntoAReadOnlyProgramFolder) {
    folder.Write("Orbimo.sav", kOldState);
    Own(folder.path() / "Orbimo.sav", *user, kReadOnlyFile | fs::perms::owner_write);
    Own(folder.path(), *user, kReadOnlyFolder);
    const ChildResult r = AsUser([](TestWindow& w, StdFileSystem& files) {
        w.params.SetText({FieldKind::Mass, 1}, u"1E+30");
        SaveState(w.params, files);
        SaveState(w.params, files);  // and again: still a message, still alive
    });
    ASSERT_TRUE(r.exitedNormally);
    const std::u16string expected = Failed(folder.path() / "Orbimo.sav", u"нет доступа");
    EXPECT_EQ(r.messages, (Texts{expected, expected}));
    EXPECT_EQ(folder.Contents("Orbimo.sav"), kOldState);
    EXPECT_EQ(Entries(folder.path()), std::vector<std::string>{"Orbimo.sav"});
}

TEST_F(Faults, SaveAsIntoAReadOnlySaveFolder) {
    folder.Write("Save/Марс.sav", kOldSystem);
    Own(folder.path() / "Save" / "Марс.sav", *user, kReadOnlyFile | fs::perms::owner_write);
    Own(folder.path() / "Save", *user, kReadOnlyFolder);
    const ChildResult r = AsUser([](TestWindow& w, StdFileSystem& files) {
        FillSystems(w.params, files);
        w.toolkit.answers = {u"Марс", u"Венера"};
        SaveAs(w.params, files);  // over the old file
        SaveAs(w.params, files);  // a new one
        if (w.params.systems != Texts{u"Марс"}) w.toolkit.MessageBox(u"list changed");
    });
    ASSERT_TRUE(r.exitedNormally);
    EXPECT_EQ(r.messages, (Texts{Failed(folder.path() / "Save" / "Марс.sav", u"нет доступа"),
                                 Failed(folder.path() / "Save" / "Венера.sav", u"нет доступа")}));
    EXPECT_EQ(folder.Contents("Save/Марс.sav"), kOldSystem);
    EXPECT_EQ(Entries(folder.path() / "Save"), std::vector<std::string>{"Марс.sav"});
}

TEST_F(Faults, SaveOntoAReadOnlyStateFile) {
    folder.Write("Orbimo.sav", kOldState);
    Own(folder.path() / "Orbimo.sav", *user, kReadOnlyFile);
    // The folder is writable: a rename over the file would succeed, and must not be tried.
    const ChildResult r = AsUser([](TestWindow& w, StdFileSystem& files) {
        SaveState(w.params, files);
        BackToStart(w.params, files);  // the old file still loads
    });
    ASSERT_TRUE(r.exitedNormally);
    EXPECT_EQ(r.messages, Texts{Failed(folder.path() / "Orbimo.sav", u"нет доступа")});
    EXPECT_EQ(folder.Contents("Orbimo.sav"), kOldState);
    EXPECT_EQ(Entries(folder.path()), std::vector<std::string>{"Orbimo.sav"});
}

TEST_F(Faults, ChoosingASystemWhenTheStateFileIsReadOnlyLoadsItAndSays) {
    folder.Write("Orbimo.sav", kOldState);
    Own(folder.path() / "Orbimo.sav", *user, kReadOnlyFile);
    folder.Write("Save/Марс.sav", "\"Марс\"\r\n");
    Own(folder.path() / "Save", *user, kWritableFolder);
    const ChildResult r = AsUser([](TestWindow& w, StdFileSystem& files) {
        FillSystems(w.params, files);
        ChooseSystem(w.params, files, u"Марс");
    });
    ASSERT_TRUE(r.exitedNormally);
    EXPECT_EQ(r.messages, Texts{Failed(folder.path() / "Orbimo.sav", u"нет доступа")});
    EXPECT_EQ(folder.Contents("Orbimo.sav"), kOldState);
    EXPECT_NE(r.windowAfter, r.windowBefore);  // the chosen system is in the window
}

// ---- missing Save folder ---------------------------------------------------------

TEST_F(Faults, SaveAsCannotCreateAMissingSaveFolder) {
    folder.Write("Orbimo.sav", kOldState);
    Own(folder.path(), *user, kReadOnlyFolder);
    const ChildResult r = AsUser([](TestWindow& w, StdFileSystem& files) {
        w.toolkit.answers = {u"Новая"};
        SaveAs(w.params, files);
        if (!w.params.systems.empty()) w.toolkit.MessageBox(u"listed");
        ChooseSystem(w.params, files, u"Новая");
    });
    ASSERT_TRUE(r.exitedNormally);
    const fs::path target = folder.path() / "Save" / "Новая.sav";
    EXPECT_EQ(r.messages,
              (Texts{Failed(target, u"папка не найдена"), u"Нет файла: " + TextFromPath(target)}));
    EXPECT_EQ(folder.Contents("Orbimo.sav"), kOldState);
    EXPECT_EQ(Entries(folder.path()), std::vector<std::string>{"Orbimo.sav"});
    EXPECT_EQ(r.windowAfter, r.windowBefore);
}

struct InProcess : ::testing::Test {
    TempFolder folder;
    StdFileSystem files{TextFromPath(folder.path())};
    TestWindow w;
};

TEST_F(InProcess, SaveAsCreatesAMissingSaveFolder) {
    folder.Write("Orbimo.sav", kOldState);
    w.toolkit.answers = {u"Новая"};
    SaveAs(w.params, files);
    EXPECT_TRUE(w.toolkit.messages.empty());
    EXPECT_EQ(folder.Contents("Save/Новая.sav"), SystemFileBytes(w.params));
    EXPECT_EQ(w.params.systems, Texts{u"Новая"});
    EXPECT_EQ(folder.Contents("Orbimo.sav"), kOldState);
}

TEST_F(InProcess, SaveAsWhenTheSaveFolderIsAFile) {
    folder.Write("Save", kOldSystem);
    folder.Write("Orbimo.sav", kOldState);
    w.toolkit.answers = {u"Новая"};
    SaveAs(w.params, files);
    EXPECT_EQ(w.toolkit.messages,
              Texts{Failed(folder.path() / "Save" / "Новая.sav", u"папка не найдена")});
    EXPECT_TRUE(w.params.systems.empty());
    EXPECT_EQ(folder.Contents("Save"), kOldSystem);
    EXPECT_EQ(folder.Contents("Orbimo.sav"), kOldState);
    // Still working: the state file can be saved.
    SaveState(w.params, files);
    EXPECT_EQ(w.toolkit.messages.size(), 1u);
    EXPECT_EQ(folder.Contents("Orbimo.sav"), SystemFileBytes(w.params));
}

// ---- names that would leave the Save folder ----------------------------------------

TEST_F(InProcess, SaveAsRefusesNamesThatLeaveTheSaveFolder) {
    folder.Write("Orbimo.sav", kOldState);
    folder.Write("Save/Марс.sav", kOldSystem);
    folder.Write("other/x.sav", kOldSystem);
    const std::u16string slash = u"Имя не может содержать символы < > : \" / \\ | ? *.";
    const std::u16string dots = u"Имя не может содержать «..».";
    struct Case {
        std::u16string name, why;
    };
    const Case cases[] = {
        {u"../Orbimo", slash},  // Save/../Orbimo.sav is the state file
        {u"..", dots},
        {u"..Orbimo", dots},
        {u"../other/x", slash},
        {u"/tmp/Orbimo", slash},
        {u"..\\Orbimo", slash},
        {u"Марс/../../Orbimo", slash},
        {u"a\nb", u"Имя не может содержать управляющие символы."},
        {u".Марс", u"Имя не может начинаться с точки."},
    };
    for (const Case& c : cases) {
        TestWindow win;
        win.params.SetText({FieldKind::Mass, 1}, u"7");
        win.toolkit.answers = {c.name};
        SaveAs(win.params, files);
        EXPECT_EQ(win.toolkit.messages,
                  Texts{u"Недопустимое имя системы: «" + c.name + u"». " + c.why})
            << ::testing::PrintToString(c.name);
        EXPECT_TRUE(win.params.systems.empty());
    }
    EXPECT_EQ(folder.Contents("Orbimo.sav"), kOldState);
    EXPECT_EQ(folder.Contents("Save/Марс.sav"), kOldSystem);
    EXPECT_EQ(folder.Contents("other/x.sav"), kOldSystem);
    EXPECT_EQ(Entries(folder.path()), (std::vector<std::string>{"Orbimo.sav", "Save", "other"}));
    EXPECT_EQ(Entries(folder.path() / "Save"), std::vector<std::string>{"Марс.sav"});
}

// ---- a catalogue entry whose file went away --------------------------------------

TEST_F(InProcess, ChoosingAnEntryWhoseFileWasDeletedOrReplaced) {
    folder.Write("Orbimo.sav", kOldState);
    folder.Write("Save/Марс.sav", kOldSystem);
    folder.Write("Save/Венера.sav", kOldSystem);
    folder.Write("Save/Земля.sav", kOldSystem);
    FillSystems(w.params, files);
    ASSERT_EQ(w.params.systems, (Texts{u"Венера", u"Земля", u"Марс"}));
    fs::remove(folder.path() / "Save" / "Марс.sav");
    fs::remove(folder.path() / "Save" / "Венера.sav");
    fs::create_directory(folder.path() / "Save" / "Венера.sav");  // a folder in its place
    const std::string window = SystemFileBytes(w.params);
    for (const char16_t* name : {u"Марс", u"Венера"}) {
        w.toolkit.messages.clear();
        ChooseSystem(w.params, files, name);
        EXPECT_EQ(w.toolkit.messages,
                  Texts{u"Нет файла: " + TextFromPath(folder.path()) + u"/Save/" + name + u".sav"});
    }
    EXPECT_EQ(SystemFileBytes(w.params), window);
    EXPECT_EQ(folder.Contents("Orbimo.sav"), kOldState);
    // The entries still listed work as before.
    w.toolkit.messages.clear();
    ChooseSystem(w.params, files, u"Земля");
    EXPECT_TRUE(w.toolkit.messages.empty());
    EXPECT_EQ(folder.Contents("Orbimo.sav"), SystemFileBytes(w.params));
}

// ---- full file system --------------------------------------------------------------

/// A tmpfs of a few pages mounted on a folder for as long as the object lives.
class SmallTmpfs {
  public:
    explicit SmallTmpfs(const fs::path& where) : where_(where) {
        fs::create_directories(where);
        mounted_ = ::mount("tmpfs", where.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                           "size=16k,mode=0755") == 0;
    }
    ~SmallTmpfs() {
        if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;
    bool mounted() const { return mounted_; }

  private:
    fs::path where_;
    bool mounted_ = false;
};

/// Fills the file system of folder until a write fails for want of space.
void FillUp(const fs::path& folder) {
    const int fd = ::open((folder / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    const std::string block(512, 'x');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    const int error = errno;
    ::close(fd);
    ASSERT_EQ(error, ENOSPC);
}

TEST(FullDisk, SaveOnAFullFileSystemKeepsTheOldFile) {
    TempFolder folder;
    const fs::path program = folder.path() / "disk";
    SmallTmpfs disk(program);
    if (disk.mounted()) {
        std::ofstream(program / "Orbimo.sav", std::ios::binary) << kOldState;
        FillUp(program);
        StdFileSystem files(TextFromPath(program));
        TestWindow w;
        const std::string window = SystemFileBytes(w.params);
        SaveState(w.params, files);
        SaveState(w.params, files);
        const std::u16string expected = Failed(program / "Orbimo.sav", u"диск заполнен");
        EXPECT_EQ(w.toolkit.messages, (Texts{expected, expected}));
        EXPECT_EQ(SystemFileBytes(w.params), window);
        std::ifstream in(program / "Orbimo.sav", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kOldState);
        EXPECT_EQ(Entries(program), (std::vector<std::string>{"Orbimo.sav", "filler"}));
        // Room again: the same program saves.
        fs::remove(program / "filler");
        SaveState(w.params, files);
        EXPECT_EQ(w.toolkit.messages.size(), 2u);
        return;
    }
    // No mount allowed: a file-size limit in a child stands in for the full disk.
    std::ofstream(program / "Orbimo.sav", std::ios::binary) << kOldState;
    const ChildResult r = RunInChild(
        program,
        [] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{64, 64};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        },
        [](TestWindow& w, StdFileSystem& files) { SaveState(w.params, files); });
    ASSERT_TRUE(r.exitedNormally);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].rfind(Failed(program / "Orbimo.sav", u""), 0), 0u);
    EXPECT_EQ(r.windowAfter, r.windowBefore);
    std::ifstream in(program / "Orbimo.sav", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kOldState);
    EXPECT_EQ(Entries(program), std::vector<std::string>{"Orbimo.sav"});
}

}  // namespace
}  // namespace orbimo
