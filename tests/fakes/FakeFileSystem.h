#pragma once
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/StdFileSystem.h"  // WildcardMatch

namespace orbimo::testing {

/// A file system in memory: files in the order they were added (the order the
/// listing gives), folders, extra attribute bits, and failures on demand.
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
        const std::u16string dir = Trim(folder);
        if (!folders.count(dir)) return names;
        auto consider = [&](const std::u16string& path, std::uint16_t attributes) {
            if (Parent(path) != dir) return;
            const std::u16string name = Name(path);
            if (!WildcardMatch(name, pattern)) return;
            const std::uint16_t needed = attributes & (kAttrHidden | kAttrSystem | kAttrDirectory);
            if ((needed & mask) != needed) return;
            names.push_back(name);
        };
        for (const auto& [path, bytes] : files) consider(path, *Attributes(path));
        for (const std::u16string& path : folders) consider(path, *Attributes(path));
        return names;
    }

    std::optional<std::uint16_t> Attributes(const std::u16string& path) const override {
        const std::u16string p = Trim(path);
        std::uint16_t extra = 0;
        if (auto it = attributes.find(p); it != attributes.end()) extra = it->second;
        if (!Name(p).empty() && Name(p)[0] == u'.') extra |= kAttrHidden;
        if (FindFile(p)) return extra;
        if (folders.count(p)) return static_cast<std::uint16_t>(extra | kAttrDirectory);
        return std::nullopt;
    }

    std::optional<std::string> Read(const std::u16string& path) const override {
        ++reads;
        if (const std::string* bytes = FindFile(path)) return *bytes;
        return std::nullopt;
    }

    WriteResult WriteAtomic(const std::u16string& path, const std::string& bytes) override {
        ++writeAttempts;
        writtenPaths.push_back(path);
        if (failWrites) return {false, *failWrites};
        if (!folders.count(Parent(path))) return {false, u"папка не найдена"};
        if (folders.count(Trim(path))) return {false, u"на месте файла находится папка"};
        const auto attrs = Attributes(path);
        if (attrs && (*attrs & kAttrReadOnly)) return {false, u"нет доступа"};
        if (std::string* old = FindFile(path)) {
            *old = bytes;
        } else {
            files.emplace_back(path, bytes);
        }
        return {};
    }

    bool CreateFolder(const std::u16string& path) override {
        const std::u16string p = Trim(path);
        if (FindFile(p)) return false;
        AddFolder(p);
        return true;
    }

    // ---- set-up and inspection ----
    void AddFile(const std::u16string& path, std::string bytes) {
        AddFolder(Parent(path));
        if (std::string* old = FindFile(path)) {
            *old = std::move(bytes);
        } else {
            files.emplace_back(path, std::move(bytes));
        }
    }
    void AddFolder(const std::u16string& path) {
        for (std::u16string p = Trim(path); !p.empty(); p = Parent(p)) folders.insert(p);
    }
    void Remove(const std::u16string& path) {
        files.erase(std::remove_if(files.begin(), files.end(),
                                   [&](const auto& f) { return f.first == path; }),
                    files.end());
    }
    const std::string* FindFile(const std::u16string& path) const {
        for (const auto& f : files)
            if (f.first == path) return &f.second;
        return nullptr;
    }
    std::string* FindFile(const std::u16string& path) {
        for (auto& f : files)
            if (f.first == path) return &f.second;
        return nullptr;
    }

    std::vector<std::pair<std::u16string, std::string>> files;
    std::set<std::u16string> folders;                    // without trailing separator
    std::map<std::u16string, std::uint16_t> attributes;  // extra bits by path
    std::optional<std::u16string> failWrites;            // every write fails with this reason
    mutable int reads = 0;
    int writeAttempts = 0;
    std::vector<std::u16string> writtenPaths;

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
        const std::size_t slash = p.rfind(kPathSeparator);
        return slash == std::u16string::npos ? p : p.substr(slash + 1);
    }

    std::u16string programFolder_;
};

}  // namespace orbimo::testing
