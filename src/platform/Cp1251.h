#pragma once
#include <string>
#include <string_view>

namespace orbimo {

/// Text as Windows-1251 bytes; a character the code page lacks becomes '?'.
std::string ToCp1251(std::u16string_view text);

/// Windows-1251 bytes as text. The one unassigned byte, 0x98, becomes U+0098
/// (as Windows reads it), so every byte reads back as it was written.
std::u16string FromCp1251(std::string_view bytes);

}  // namespace orbimo
