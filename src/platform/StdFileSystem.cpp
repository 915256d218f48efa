// The file-system interface on a POSIX machine (Linux): std::filesystem for
// listing and folders, POSIX calls where errno and fsync matter.
#include "platform/StdFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/Cp1251.h"
#include "platform/Utf8.h"

namespace orbimo {
namespace fs = std::filesystem;

namespace {

std::u16string WithoutTrailingSeparators(std::u16string text) {
    while (!text.empty() && text.back() == kPathSeparator) text.pop_back();
    return text;
}

/// The last component of a path text, trailing separators ignored.
std::u16string LastName(const std::u16string& path) {
    const std::u16string trimmed = WithoutTrailingSeparators(path);
    const std::size_t slash = trimmed.rfind(kPathSeparator);
    return slash == std::u16string::npos ? trimmed : trimmed.substr(slash + 1);
}

bool IsHiddenName(const std::u16string& name) {
    return !name.empty() && name[0] == u'.' && name != u"." && name != u"..";
}

WriteResult Failure(int error) {
    return WriteResult{false, ReasonFromErrno(error)};
}

/// Writes all bytes, retrying after interruptions; errno on failure.
int WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

/// Makes a finished rename durable; a folder that cannot be synced is no failure of the save.
void SyncFolder(const fs::path& folder, int (*sync)(int)) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    sync(fd);
    ::close(fd);
}

}  // namespace

std::u16string TextFromName(const std::string& bytes) {
    std::u16string text = FromUtf8(bytes);
    if (ToUtf8(text) == bytes) return text;
    // Not UTF-8: a name from a Windows disk or archive. The one byte Windows-1251 lacks, and
    // the percent sign that introduces it, are shown as %HH: visible, no two names alike, and
    // a name "Сохранить как" accepts.
    text.clear();
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u == 0x98 || c == '%') {
            constexpr char16_t kHex[] = u"0123456789ABCDEF";
            text += {u'%', kHex[u >> 4], kHex[u & 15]};
        } else {
            text += FromCp1251(std::string_view(&c, 1));
        }
    }
    return text;
}

fs::path PathFromText(const std::u16string& text) {
    fs::path direct(ToUtf8(text));
    std::error_code ec;
    if (fs::symlink_status(direct, ec).type() != fs::file_type::not_found) return direct;
    // A component missing under its UTF-8 bytes may be a name that is not UTF-8 on disk.
    fs::path built;
    bool found = true;
    for (const fs::path& part : direct) {
        fs::path next = built / part;
        if (found && !part.empty() && part != "/" &&
            fs::symlink_status(next, ec).type() == fs::file_type::not_found) {
            found = false;
            const std::u16string wanted = FromUtf8(part.native());
            fs::directory_iterator it(built.empty() ? fs::path(".") : built, ec);
            for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
                if (TextFromName(it->path().filename().native()) != wanted) continue;
                next = built / it->path().filename();
                found = true;
                break;
            }
        }
        built = std::move(next);
    }
    return built;
}

std::u16string TextFromPath(const fs::path& path) {
    std::u16string text;
    const std::string& bytes = path.native();
    for (std::size_t at = 0;;) {
        const std::size_t slash = bytes.find('/', at);
        text += TextFromName(bytes.substr(at, slash - at));
        if (slash == std::string::npos) return text;
        text += kPathSeparator;
        at = slash + 1;
    }
}

bool WildcardMatch(const std::u16string& name, const std::u16string& pattern) {
    const std::u32string n = CodePoints(name);
    const std::u32string p = CodePoints(pattern);
    std::size_t i = 0, j = 0;
    std::size_t starJ = std::u32string::npos, starI = 0;
    while (i < n.size()) {
        if (j < p.size() && (p[j] == U'?' || p[j] == n[i])) {
            ++i, ++j;
        } else if (j < p.size() && p[j] == U'*') {
            starJ = j++;
            starI = i;
        } else if (starJ != std::u32string::npos) {
            // Let the last '*' take one more character and try again.
            j = starJ + 1;
            i = ++starI;
        } else {
            return false;
        }
    }
    while (j < p.size() && p[j] == U'*') ++j;
    return j == p.size();
}

std::u16string ReasonFromErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return u"нет доступа";
        case ENOSPC:
        case EDQUOT:
            return u"диск заполнен";
        case EFBIG:
            return u"файл больше, чем разрешено";
        case ENOENT:
        case ENOTDIR:
            return u"папка не найдена";
        case EROFS:
            return u"диск защищён от записи";
        case EISDIR:
            return u"на месте файла находится папка";
        case ENAMETOOLONG:
            return u"слишком длинное имя файла";
        case EINVAL:
        case EILSEQ:
            return u"недопустимое имя файла";
        case ELOOP:
            return u"слишком много символических ссылок";
        case EMFILE:
        case ENFILE:
            return u"слишком много открытых файлов";
        case EIO:
            return u"ошибка ввода-вывода";
        case EBUSY:
        case ETXTBSY:
            return u"файл занят";
        default: {
            std::string digits = std::to_string(error);
            return u"ошибка файловой системы (код " + std::u16string(digits.begin(), digits.end()) +
                   u")";
        }
    }
}

StdFileSystem::StdFileSystem(std::u16string programFolder)
    : programFolder_(WithoutTrailingSeparators(std::move(programFolder))) {}

// Windows' listing rules on Linux: mask 0 gives regular files; kAttrDirectory adds
// folders; names beginning with "." count as hidden and need kAttrHidden; other
// kinds of entry (sockets, pipes, devices) count as system entries and need kAttrSystem.
// Links are followed; a dangling link is not listed.
std::vector<std::u16string> StdFileSystem::List(const std::u16string& folder,
                                                const std::u16string& pattern,
                                                std::uint16_t mask) const {
    std::vector<std::u16string> names;
    std::error_code ec;
    fs::directory_iterator it(PathFromText(folder), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::u16string name = TextFromPath(it->path().filename());
        if (!WildcardMatch(name, pattern)) continue;
        if (IsHiddenName(name) && !(mask & kAttrHidden)) continue;
        std::error_code sec;
        const fs::file_status st = it->status(sec);
        if (sec) continue;
        if (fs::is_directory(st)) {
            if (!(mask & kAttrDirectory)) continue;
        } else if (!fs::is_regular_file(st)) {
            if (!(mask & kAttrSystem)) continue;
        }
        names.push_back(name);
    }
    return names;
}

std::optional<std::uint16_t> StdFileSystem::Attributes(const std::u16string& path) const {
    const fs::path p = PathFromText(path);
    std::error_code ec;
    const fs::file_status st = fs::status(p, ec);
    if (ec || !fs::exists(st)) return std::nullopt;
    std::uint16_t attributes = 0;
    if (fs::is_directory(st)) {
        attributes |= kAttrDirectory;
    } else if (!fs::is_regular_file(st)) {
        attributes |= kAttrSystem;
    }
    if (IsHiddenName(LastName(path))) attributes |= kAttrHidden;
    if (::access(p.c_str(), W_OK) != 0) attributes |= kAttrReadOnly;
    return attributes;
}

std::optional<std::string> StdFileSystem::Read(const std::u16string& path) const {
    const fs::path p = PathFromText(path);
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[1 << 15];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

fs::path StdFileSystem::TempPathFor(const fs::path& target) {
    // A dot-name: a temporary file left behind by a crash is hidden from the catalogue.
    fs::path name = "." + target.filename().native() + "." + std::to_string(::getpid()) + ".tmp";
    return target.parent_path() / name;
}

WriteResult StdFileSystem::WriteAtomic(const std::u16string& path, const std::string& bytes) {
    fs::path target = PathFromText(path);
    // Through a link, the file it points to is replaced and the link stays: followed a link at
    // a time, as a dangling link (its file not made yet) has no canonical path. A loop is
    // refused as open() would refuse it, rather than renamed over.
    for (int links = 0;; ++links) {
        std::error_code ec;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) break;  // not a link
        if (links == 40) return Failure(ELOOP);
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    if (!target.has_filename()) return Failure(EISDIR);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return Failure(EISDIR);
    // A read-only file is not replaced, as on Windows (rename alone would allow it).
    if (exists && ::access(target.c_str(), W_OK) != 0) return Failure(errno);

    const fs::path temp = TempPathFor(target);
    const int fd =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return Failure(errno);
    int error = 0;
    if (exists) ::fchmod(fd, st.st_mode & 07777);  // keep the old file's permissions
    error = WriteAll(fd, bytes);
    const auto sync = syncHook ? syncHook : ::fsync;
    if (error == 0 && sync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return Failure(error);
    }
    SyncFolder(target.parent_path(), sync);
    return WriteResult{};
}

bool StdFileSystem::CreateFolder(const std::u16string& path) {
    const fs::path p = PathFromText(WithoutTrailingSeparators(path));
    if (p.empty()) return true;  // the root folder
    std::error_code ec;
    fs::create_directories(p, ec);
    return fs::is_directory(p, ec);
}

std::u16string ExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return WithoutTrailingSeparators(TextFromPath(fs::current_path(ec)));
    return WithoutTrailingSeparators(TextFromPath(exe.parent_path()));
}

}  // namespace orbimo
