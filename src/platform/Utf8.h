#pragma once
#include <string>

namespace orbimo {

/// UTF-16 text as UTF-8 bytes (for paths, terminals, files); a lone surrogate becomes U+FFFD.
std::string ToUtf8(const std::u16string& text);
/// UTF-16 code units as code points; a lone surrogate becomes U+FFFD.
std::u32string CodePoints(const std::u16string& text);
/// UTF-8 bytes as UTF-16 text; a malformed byte becomes U+FFFD.
std::u16string FromUtf8(const std::string& bytes);

}  // namespace orbimo
