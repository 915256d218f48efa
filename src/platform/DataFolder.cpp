#include "platform/DataFolder.h"

#include <unistd.h>

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

}  // namespace

DataFolderChoice ChooseDataFolder(const fs::path& programFolder, const fs::path& userFolder,
                                  const fs::path& shippedExamples,
                                  const std::function<bool(const fs::path&)>& writable) {
    DataFolderChoice choice{programFolder, true, 0};
    std::error_code ec;
    if (!writable(programFolder) && !userFolder.empty()) {
        fs::create_directories(userFolder, ec);
        if (fs::is_directory(userFolder, ec) && writable(userFolder))
            choice = DataFolderChoice{userFolder, false, 0};
    }
    const fs::path save = choice.folder / "Save";
    if (fs::exists(save, ec) || !writable(choice.folder)) return choice;
    std::error_code cec;
    if (!fs::create_directories(save, cec) || cec) return choice;
    std::error_code sec;
    if (fs::is_directory(shippedExamples, sec))
        choice.examplesCopied = CopyExamples(shippedExamples, save);
    return choice;
}

}  // namespace orbimo
