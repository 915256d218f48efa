#include "platform/DataFolder.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "platform/StdFileSystem.h"

namespace orbimo {
namespace fs = std::filesystem;

fs::path UserDataFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && *xdgDataHome) {
        const fs::path p(xdgDataHome);
        if (p.is_absolute()) return p / "orbimo";
    }
    if (home && *home) {
        const fs::path p(home);
        if (p.is_absolute()) return p / ".local" / "share" / "orbimo";
    }
    return {};
}

bool FolderWritable(const fs::path& folder) {
    std::error_code ec;
    return fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool IsInstalled(const fs::path& programFolder, const fs::path& installedData) {
    // What the package manager and the administrator own; root may write there, and the
    // files would outlive the package. /bin and /sbin where they are no links into /usr.
    static const std::array<fs::path, 4> kSystemTops{"usr", "opt", "bin", "sbin"};
    const fs::path folder = programFolder.lexically_normal();
    if (folder.has_root_directory() && std::next(folder.begin()) != folder.end() &&
        std::ranges::find(kSystemTops, *std::next(folder.begin())) != kSystemTops.end())
        return true;
    std::error_code ec;
    return fs::is_directory(installedData, ec);
}

namespace {

/// Copies the shipped *.sav files into save (which must exist); never replaces a file.
int CopyExamples(const fs::path& shipped, const fs::path& save) {
    int copied = 0;
    std::error_code ec;
    for (fs::directory_iterator it(shipped, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        std::error_code fec;
        if (!it->is_regular_file(fec) || it->path().extension() != ".sav") continue;
        if (fs::copy_file(it->path(), save / it->path().filename(), fs::copy_options::skip_existing,
                          fec))
            ++copied;
    }
    return copied;
}

std::u16string UnusableFolderProblem(const fs::path& userFolder, std::error_code ec) {
    if (userFolder.empty())
        return u"Не найдена папка для систем: ни XDG_DATA_HOME, ни HOME не задают абсолютный "
               u"путь, а установленная программа не пишет в свою папку. Программа закрывается.";
    return u"Папку для систем " + TextFromPath(userFolder) +
           u" не удалось создать или в неё нельзя писать (" +
           ReasonFromErrno(ec ? ec.value() : EACCES) +
           u"). Сохранить систему не удастся: установленная программа не пишет в свою папку.";
}

}  // namespace

DataFolderChoice ChooseDataFolder(const fs::path& programFolder, const fs::path& installedData,
                                  const fs::path& userFolder,
                                  const std::function<bool(const fs::path&)>& writable) {
    DataFolderChoice choice{programFolder, true, 0, {}};
    const bool installed = IsInstalled(programFolder, installedData);
    if (installed || !writable(programFolder)) {
        std::error_code ec, dec;
        if (!userFolder.empty()) fs::create_directories(userFolder, ec);
        if (!userFolder.empty() && fs::is_directory(userFolder, dec) && writable(userFolder))
            choice = DataFolderChoice{userFolder, false, 0, {}};
        else if (installed)
            choice = DataFolderChoice{userFolder, false, 0, UnusableFolderProblem(userFolder, ec)};
    }
    std::error_code ec;
    const fs::path save = choice.folder / "Save";
    if (choice.folder.empty() || fs::exists(save, ec) || !writable(choice.folder)) return choice;
    std::error_code cec;
    if (!fs::create_directories(save, cec) || cec) return choice;
    std::error_code sec;
    if (fs::is_directory(installedData / "Save", sec))
        choice.examplesCopied = CopyExamples(installedData / "Save", save);
    return choice;
}

}  // namespace orbimo
