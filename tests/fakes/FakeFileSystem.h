#pragma once
#include <algorithm>
#include <set>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/StdFileSystem.h"  // WildcardMatch

namespace orbimo::testing {

/// In memory: lists files in the order added, then folders; a dot-name is hidden.
class FakeFileSystem : public FileSystem {
  public:
    FakeFileSystem() { AddFolder(ProgramFolder()); }
    std::u16string ProgramFolder() const override { return u"/prog"; }
    std::vector<std::u16string> List(const std::u16string& folder, const std::u16string& pattern,
                                     std::uint16_t mask) const override {
        std::vector<std::u16string> paths, names;
        for (const auto& file : files) paths.push_back(file.first);
        paths.insert(paths.end(), folders.begin(), folders.end());
        for (const std::u16string& path : paths)
            if (Parent(path) == Trim(folder) && WildcardMatch(Name(path), pattern) &&
                (*Attributes(path) & ~mask) == 0)
                names.push_back(Name(path));
        return names;
    }
    std::optional<std::uint16_t> Attributes(const std::u16string& path) const override {
        const std::uint16_t hidden = Name(path).starts_with(u'.') ? kAttrHidden : 0;
        if (FindFile(path)) return hidden;
        if (folders.count(Trim(path))) return static_cast<std::uint16_t>(hidden | kAttrDirectory);
        return std::nullopt;
    }
    std::optional<std::string> Read(const std::u16string& path) const override {
        return FindFile(path) ? std::optional(*FindFile(path)) : std::nullopt;
    }
    WriteResult WriteAtomic(const std::u16string& path, const std::string& bytes) override {
        if (!folders.count(Parent(path))) return {false, u"папка не найдена"};
        AddFile(path, bytes);
        return {};
    }
    bool CreateFolder(const std::u16string& path) override {
        return !FindFile(Trim(path)) && (AddFolder(path), true);
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
        const auto it = std::ranges::find(files, path, &decltype(files)::value_type::first);
        return it == files.end() ? nullptr : &it->second;
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
        const std::size_t slash = p.rfind(kPathSeparator);  // at 0 too, the parent is ""
        return p.substr(0, slash == std::u16string::npos ? 0 : slash);
    }
    static std::u16string Name(const std::u16string& path) {
        return Trim(path).substr(Trim(path).rfind(kPathSeparator) + 1);  // npos + 1 is 0
    }
};

}  // namespace orbimo::testing
