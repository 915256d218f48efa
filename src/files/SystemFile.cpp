#include "files/SystemFile.h"

#include "platform/Cp1251.h"

namespace orbimo {
namespace {

constexpr char kLineEnd[] = "\r\n";

bool IsTerminator(char c) {
    return c == ',' || c == '\r' || c == '\n';
}

}  // namespace

void SystemFileWriter::Text(std::u16string_view text) {
    std::u16string safe(text);
    for (char16_t& c : safe)
        if (c == u'"') c = u'\'';
    bytes_ += '"';
    bytes_ += ToCp1251(safe);
    bytes_ += '"';
    bytes_ += kLineEnd;
}

void SystemFileWriter::Integer(std::int64_t value) {
    bytes_ += std::to_string(value);
    bytes_ += kLineEnd;
}

std::optional<std::u16string> SystemFileReader::Next() {
    const std::size_t n = bytes_.size();
    while (pos_ < n && bytes_[pos_] == ' ') ++pos_;
    if (pos_ >= n) return std::nullopt;
    if (bytes_[pos_] == '"') {
        // Everything up to the next quote, commas and spaces included; then the
        // rest up to and including the next comma or line end is skipped.
        const std::size_t start = pos_ + 1;
        std::size_t end = bytes_.find('"', start);
        if (end == std::string::npos) end = n;
        std::u16string text = FromCp1251(std::string_view(bytes_).substr(start, end - start));
        pos_ = end < n ? end + 1 : n;
        while (pos_ < n && !IsTerminator(bytes_[pos_])) ++pos_;
        SkipTerminator();
        return text;
    }
    std::size_t end = pos_;
    while (end < n && !IsTerminator(bytes_[end])) ++end;
    std::size_t last = end;
    while (last > pos_ && bytes_[last - 1] == ' ') --last;
    std::u16string text = FromCp1251(std::string_view(bytes_).substr(pos_, last - pos_));
    pos_ = end;
    SkipTerminator();
    return text;
}

void SystemFileReader::SkipTerminator() {
    if (pos_ >= bytes_.size()) return;
    const char c = bytes_[pos_++];
    if (c == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
}

}  // namespace orbimo
