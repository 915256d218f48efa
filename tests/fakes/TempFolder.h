#pragma once
#include <stdlib.h>

#include <filesystem>  // and std::string, which its paths hand out
#include <fstream>
#include <iterator>

namespace orbimo::testing {

/// A fresh temporary folder, removed with its contents (write permission back first).
class TempFolder {
    std::filesystem::path path_;

  public:
    TempFolder() {
        std::string p = (std::filesystem::temp_directory_path() / "orbimo-test-XXXXXX").string();
        path_ = ::mkdtemp(p.data());  // on failure a null text: std::logic_error
    }
    ~TempFolder() {
        namespace fs = std::filesystem;
        std::error_code ec, pec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, pec);
        for (fs::recursive_directory_iterator i(path_, ec), e; !ec && i != e; i.increment(ec))
            fs::permissions(*i, fs::perms::owner_all, fs::perm_options::add, pec);
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void Write(const std::filesystem::path& relative, const std::string& bytes) const {
        std::filesystem::create_directories((path_ / relative).parent_path());
        std::ofstream(path_ / relative, std::ios::binary) << bytes;
    }
    std::string Contents(const std::filesystem::path& relative) const {  // "<missing>" if none
        std::ifstream in(path_ / relative, std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    }
};

}  // namespace orbimo::testing
