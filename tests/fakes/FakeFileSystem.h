#pragma once
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/StdFileSystem.h"  // WildcardMatch

namespace orbimo::testing {

/// A file system in memory: lists files in the order they were added, then folders;
/// a dot-name is hidden.
class FakeFileSystem : public FileSystem {
  public:
    explicit FakeFileSystem(std::u16string programFolder = u"/prog")
        : programFolder_(std::move(programFolder)) {
        AddFolder(programFolder_);
    }

    std::u16string ProgramFolder() const override { return programFolder_; }
    std::vector<std::u16string> List(const std::u16string& folder, const std::u16string& pattern,
                                     std::uint16_t mask) const override {
        std::vector<std::u16string> names;
        auto consider = [&](const std::u16string& path) {
            const std::uint16_t needed = *Attributes(path);
            if (Parent(path) == Trim(folder) && WildcardMatch(Name(path), pattern) &&
                (needed & mask) == needed)
                names.push_back(Name(path));
        };
        for (const auto& file : files) consider(file.first);
        for (const std::u16string& path : folders) consider(path);
        return names;
    }
    std::optional<std::uint16_t> Attributes(const std::u16string& path) const override {
        const std::uint16_t hidden = Name(path).starts_with(u'.') ? kAttrHidden : 0;
        if (FindFile(path)) return hidden;
        if (folders.count(Trim(path))) return static_cast<std::uint16_t>(hidden | kAttrDirectory);
        return std::nullopt;
    }
    std::optional<std::string> Read(const std::u16string& path) const override {
        if (const std::string* bytes = FindFile(path)) return *bytes;
        return std::nullopt;
    }
    WriteResult WriteAtomic(const std::u16string& path, const std::string& bytes) override {
        if (!folders.count(Parent(path))) return {false, u"папка не найдена"};
        AddFile(path, bytes);
        return {};
    }
    bool CreateFolder(const std::u16string& path) override {
        if (FindFile(Trim(path))) return false;
        AddFolder(path);
        return true;
    }

    /// Adds or replaces a file (then listed last), its folders created.
    void AddFile(const std::u16string& path, std::string bytes) {
        AddFolder(Parent(path));
        std::erase_if(files, [&](const auto& file) { return file.first == path; });
        files.emplace_back(path, std::move(bytes));
    }
    void AddFolder(const std::u16string& path) {
        for (std::u16string p = Trim(path); !p.empty(); p = Parent(p)) folders.insert(p);
    }
    const std::string* FindFile(const std::u16string& path) const {
        for (const auto& file : files)
            if (file.first == path) return &file.second;
        return nullptr;
    }

    std::vector<std::pair<std::u16string, std::string>> files;
    std::set<std::u16string> folders;  // without a trailing separator

  private:
    static std::u16string Trim(std::u16string p) {
        while (p.size() > 1 && p.back() == kPathSeparator) p.pop_back();
        return p;
    }
    static std::u16string Parent(const std::u16string& path) {
        const std::u16string p = Trim(path);
        const std::size_t slash = p.rfind(kPathSeparator);
        return slash == std::u16string::npos || slash == 0 ? std::u16string() : p.substr(0, slash);
    }
    static std::u16string Name(const std::u16string& path) {
        const std::u16string p = Trim(path);
        return p.substr(p.rfind(kPathSeparator) + 1);  // npos + 1 is 0
    }

    std::u16string programFolder_;
};

}  // namespace orbimo::testing
