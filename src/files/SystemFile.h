#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace orbimo {

/// Builds the bytes of a system file: one item per line, Windows-1251, CR LF after each.
class SystemFileWriter {
  public:
    /// A text item in double quotes, otherwise unchanged. The format has no escape
    /// for '"', so a double quote inside the text is written as an apostrophe.
    void Text(std::u16string_view text);
    /// An integer item: decimal digits, with '-' when negative, no quotes.
    void Integer(std::int64_t value);
    const std::string& Bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

/// Reads the items of a system file one after another. Accepts CR LF,
/// LF and CR line ends.
class SystemFileReader {
  public:
    explicit SystemFileReader(std::string bytes) : bytes_(std::move(bytes)) {}
    /// The next item's text; nothing when the file has ended.
    std::optional<std::u16string> Next();

  private:
    void SkipTerminator();
    std::string bytes_;
    std::size_t pos_ = 0;
};

}  // namespace orbimo
