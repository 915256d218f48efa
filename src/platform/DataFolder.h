#pragma once
#include <filesystem>
#include <functional>
#include <string>

namespace orbimo {

/// Where the state file and the Save folder live, and what the first start put there.
struct DataFolderChoice {
    std::filesystem::path folder;  // empty: nowhere, and the program cannot start
    bool besideProgram = true;     // false: the user's data folder
    int examplesCopied = 0;
    std::u16string problem;  // for the user when the folder cannot be used: what follows
};

/// The user's data folder for Orbimo: $XDG_DATA_HOME/orbimo, or $HOME/.local/share/orbimo
/// when that is unset, empty or relative (XDG base directory rules); empty when neither
/// gives an absolute folder.
std::filesystem::path UserDataFolder(const char* xdgDataHome, const char* home);

/// True when files can be created in folder.
bool FolderWritable(const std::filesystem::path& folder);

/// True when the program in programFolder is installed, not a build or a portable copy: the
/// folder lies under /usr, /opt, /bin or /sbin, or installedData (share/orbimo of its
/// prefix) exists. An installed program never writes beside itself, whoever runs it.
bool IsInstalled(const std::filesystem::path& programFolder,
                 const std::filesystem::path& installedData);

/// Installed: userFolder, created; when it cannot be made or written, userFolder all the same
/// (saving then fails with its own message) and a problem to show. A build or a portable
/// copy: the program folder when writable, otherwise userFolder (the program folder again if
/// it cannot be made). When the chosen folder has no Save folder yet (the first start), Save
/// is created and the example systems of installedData/Save are copied into it.
DataFolderChoice ChooseDataFolder(
    const std::filesystem::path& programFolder, const std::filesystem::path& installedData,
    const std::filesystem::path& userFolder,
    const std::function<bool(const std::filesystem::path&)>& writable = FolderWritable);

}  // namespace orbimo
