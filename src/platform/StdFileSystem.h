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

  private:
    std::u16string programFolder_;
};

/// The folder that holds the running executable, without a trailing separator.
std::u16string ExecutableFolder();

/// A text path as a std::filesystem path (UTF-16 → UTF-8; a lone surrogate becomes U+FFFD).
std::filesystem::path PathFromText(const std::u16string& text);
/// A std::filesystem path as text (UTF-8 → UTF-16; a malformed byte becomes U+FFFD).
std::u16string TextFromPath(const std::filesystem::path& path);

/// True when name matches a wildcard pattern: '*' any run of characters, '?' exactly one;
/// every other character stands for itself, capitals and small letters apart.
bool WildcardMatch(const std::u16string& name, const std::u16string& pattern);

/// The Russian reason for the user for an errno value of a failed file operation.
std::u16string ReasonFromErrno(int error);

}  // namespace orbimo
