// Saving and choosing when the file system refuses, in a child process: as "nobody" when root
// (permission bits do not stop root); a full disk is a tiny tmpfs, else a file-size limit.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "fakes/TempFolder.h"
#include "files/Catalogue.h"
#include "files/SaveLoad.h"
#include "files/TestWindow.h"
#include "platform/StdFileSystem.h"

namespace orbimo {
namespace {

namespace fs = std::filesystem;
using testing::TestWindow;
using Action = std::function<void(TestWindow&, StdFileSystem&)>;

/// The folder and every entry below it with its bytes, "/" for a folder.
std::map<std::string, std::string> Snapshot(const testing::TempFolder& t) {
    std::map<std::string, std::string> all{{t.path(), "/"}};
    for (const auto& e : fs::recursive_directory_iterator(t.path()))
        all[e.path()] = e.is_directory() ? "/" : t.Contents(e.path());  // an absolute path
    return all;
}

/// Runs act twice on a fresh window over root in a child process (as user unless null, input
/// boxes answered with answer); its messages, one a line, and a word if it went wrong.
std::u16string InChild(const fs::path& root, const passwd* user, bool limited,
                       const std::u16string& answer, const Action& act) {
    int out[2];
    if (::pipe(out) != 0) return u"<no pipe>";
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit limit{64, 64};
        ::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails with EFBIG instead
        if ((limited && ::setrlimit(RLIMIT_FSIZE, &limit)) ||
            (user && (::setgroups(0, nullptr) || ::setgid(user->pw_gid) || ::setuid(user->pw_uid))))
            _exit(1);
        ::prctl(PR_SET_DUMPABLE, 1);  // lets a sanitizer read /proc/self as before
        TestWindow w;
        StdFileSystem files(TextFromPath(root));
        const std::string window = SystemFileBytes(w.params);
        w.toolkit.answers = {answer, answer};
        for (int i = 0; i < 2; ++i) act(w, files);
        if (SystemFileBytes(w.params) != window) w.toolkit.MessageBox(u"<window changed>");
        std::u16string report;
        for (const std::u16string& m : w.toolkit.messages) report += m + u'\n';
        const auto size = static_cast<ssize_t>(report.size() * sizeof(char16_t));
        _exit(::write(out[1], report.data(), size) == size ? 0 : 1);
    }
    ::close(out[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);  // the pipe holds the few messages meanwhile
    std::u16string report(4096, u'\0');
    const ssize_t n = ::read(out[0], report.data(), report.size() * sizeof(char16_t));
    ::close(out[0]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || n < 0) return u"<child failed>";
    return report.substr(0, static_cast<std::size_t>(n) / sizeof(char16_t));
}

TEST(FaultInjection, EachFailureIsToldTheProgramGoesOnAndNoFileChanges) {
    const passwd* nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
    if (::geteuid() == 0 && !nobody) GTEST_SKIP() << "no user nobody to drop to";
    const Action save = [](TestWindow& w, StdFileSystem& f) { SaveState(w.params, f); };
    const Action saveAs = [](TestWindow& w, StdFileSystem& f) { SaveAs(w.params, f); };
    const Action chooseDeleted = [](TestWindow& w, StdFileSystem& f) {
        const fs::path gone = PathFromText(f.ProgramFolder()) / "Save" / "Венера.sav";
        std::ofstream(gone) << "\"Венера\"\r\n";
        FillSystems(w.params, f);
        fs::remove(gone);
        ChooseSystem(w.params, f, w.params.systems.at(0));
    };
    const std::u16string failed = u"Не удалось сохранить файл @/";  // @: the program folder
    // The fault: "full" disk, or a path made read-only (".": the program folder, with no Save).
    const std::tuple<std::string, std::u16string, Action, std::u16string> cases[] = {
        {"Save", u"Марс", saveAs, failed + u"Save/Марс.sav: нет доступа"},
        {"Orbimo.sav", u"", save, failed + u"Orbimo.sav: нет доступа"},
        {"full", u"", save, failed + u"Orbimo.sav: диск заполнен"},
        {"", u"../Orbimo", saveAs,
         u"Недопустимое имя системы: «../Orbimo». Имя не может "
         u"содержать символы < > : \" / \\ | ? *."},
        {".", u"Новая", saveAs, failed + u"Save/Новая.sav: папка не найдена"},
        {"", u"", chooseDeleted, u"Нет файла: @/Save/Венера.sav"},
    };
    for (const auto& [fault, answer, act, expected] : cases) {
        testing::TempFolder t;
        const bool full = fault == "full";
        const std::string options = "size=16k,uid=" + std::to_string(nobody ? nobody->pw_uid : 0);
        const bool mounted =
            full && nobody && ::mount("tmpfs", t.path().c_str(), "tmpfs", 0, options.c_str()) == 0;
        t.Write("Orbimo.sav", "\"old state\"\r\n1\r\n\"\xD2\xE5\xEB\xEE\"\r\n");
        if (fault != ".") t.Write("Save/Марс.sav", "\"old system\"\r\n0\r\n");
        if (mounted) std::ofstream(t.path() / "filler") << std::string(1 << 15, 'x');  // till full
        const auto before = Snapshot(t);
        for (const auto& [path, bytes] : before)
            EXPECT_TRUE(!nobody || ::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid) == 0);
        if (!full && !fault.empty())
            fs::permissions(t.path() / fault, fs::perms::owner_write, fs::perm_options::remove);
        std::u16string message = expected;
        if (const auto at = message.find(u'@'); at != std::u16string::npos)
            message.replace(at, 1, TextFromPath(t.path()));
        if (full && !mounted)  // the file-size limit instead
            message = message.substr(0, message.rfind(u": ")) + u": файл больше, чем разрешено";
        EXPECT_EQ(InChild(t.path(), nobody, full && !mounted, answer, act),
                  message + u'\n' + message + u'\n');
        EXPECT_EQ(Snapshot(t), before) << ::testing::PrintToString(message);
        if (mounted) ::umount2(t.path().c_str(), MNT_DETACH);
    }
}

}  // namespace
}  // namespace orbimo
