#pragma once
#include <filesystem>
#include <string>

#include "platform/FileSystem.h"

namespace orbimo {

/// The file system of the machine, through std::filesystem and POSIX calls.
/// Texts are UTF-16; paths on disk are their UTF-8 form.
class StdFileSystem : public FileSystem {
  public:
    explicit StdFileSystem(std::u16string programFolder);

    std::u16string ProgramFolder() const override { return programFolder_; }
    std::vector<std::u16string> List(const std::u16string& folder, const std::u16string& pattern,
                                     std::uint16_t mask) const override;
    std::optional<std::uint16_t> Attributes(const std::u16string& path) const override;
    std::optional<std::string> Read(const std::u16string& path) const override;
    WriteResult WriteAtomic(const std::u16string& path, const std::string& bytes) override;
    bool CreateFolder(const std::u16string& path) override;

    /// The temporary file WriteAtomic writes before renaming it over target.
    static std::filesystem::path TempPathFor(const std::filesystem::path& target);

    /// Called instead of fsync when set: lets a test see what a save makes durable.
    int (*syncHook)(int fd) = nullptr;

  private:
    std::u16string programFolder_;
};

/// The folder that holds the running executable, without a trailing separator.
std::u16string ExecutableFolder();

/// One name on disk as text: UTF-8 when it is UTF-8, else Windows-1251 with the byte 0x98
/// and the percent sign shown as "%98" and "%25".
std::u16string TextFromName(const std::string& bytes);
/// A text path as the path on disk: its UTF-8 bytes, except that a component missing under
/// them is the entry of its folder that TextFromName shows as that text, when there is one.
std::filesystem::path PathFromText(const std::u16string& text);
/// A path on disk as text, each name as TextFromName shows it.
std::u16string TextFromPath(const std::filesystem::path& path);

/// True when name matches a wildcard pattern: '*' any run of characters, '?' exactly one;
/// every other character stands for itself, capitals and small letters apart.
bool WildcardMatch(const std::u16string& name, const std::u16string& pattern);

/// The Russian reason for the user for an errno value of a failed file operation.
std::u16string ReasonFromErrno(int error);

}  // namespace orbimo
