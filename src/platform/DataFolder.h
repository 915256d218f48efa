#pragma once
#include <filesystem>
#include <functional>

namespace orbimo {

/// Where the state file and the Save folder live, and what the first start put there.
struct DataFolderChoice {
    std::filesystem::path folder;
    bool besideProgram = true;  // false: the user's data folder
    int examplesCopied = 0;
};

/// The user's data folder for Orbimo: $XDG_DATA_HOME/orbimo, or $HOME/.local/share/orbimo
/// when that is unset, empty or relative (XDG base directory rules); empty when neither
/// gives an absolute folder.
std::filesystem::path UserDataFolder(const char* xdgDataHome, const char* home);

/// True when files can be created in folder.
bool FolderWritable(const std::filesystem::path& folder);

/// The program folder when it is writable, otherwise userFolder (created; the program
/// folder again if it cannot be). When the chosen folder has no Save folder yet (the first
/// start), Save is created and the shipped example systems are copied into it.
DataFolderChoice ChooseDataFolder(
    const std::filesystem::path& programFolder, const std::filesystem::path& userFolder,
    const std::filesystem::path& shippedExamples,
    const std::function<bool(const std::filesystem::path&)>& writable = FolderWritable);

}  // namespace orbimo
