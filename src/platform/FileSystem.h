#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orbimo {

/// Attribute bits as the catalogue uses them.
inline constexpr std::uint16_t kAttrReadOnly = 1;
inline constexpr std::uint16_t kAttrHidden = 2;
inline constexpr std::uint16_t kAttrSystem = 4;
inline constexpr std::uint16_t kAttrDirectory = 16;

/// The path separator the program joins folder and file names with.
inline constexpr char16_t kPathSeparator = u'/';

struct WriteResult {
    bool ok = true;
    std::u16string reason;  // Russian, for the user, when !ok
};

/// File operations the logic needs; paths are full paths as texts.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    /// The folder that holds the program's data, without a trailing separator.
    virtual std::u16string ProgramFolder() const = 0;
    /// Names of entries in folder matching a wildcard pattern ("*.sav"), in the
    /// folder's own order. Mask 0: normal files (read-only included); with
    /// kAttrDirectory: folders too; hidden entries only with kAttrHidden.
    virtual std::vector<std::u16string> List(const std::u16string& folder,
                                             const std::u16string& pattern,
                                             std::uint16_t mask) const = 0;
    /// Attribute bits of an entry, or nothing when it does not exist.
    virtual std::optional<std::uint16_t> Attributes(const std::u16string& path) const = 0;
    /// Whole file as bytes, or nothing when it cannot be read.
    virtual std::optional<std::string> Read(const std::u16string& path) const = 0;
    /// Writes through a temporary file beside the target, then renames it over
    /// the target: the old file stays whole when anything fails.
    virtual WriteResult WriteAtomic(const std::u16string& path, const std::string& bytes) = 0;
    /// Creates a folder (and its parents); true when it exists afterwards.
    virtual bool CreateFolder(const std::u16string& path) = 0;
};

}  // namespace orbimo
