#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/Cp1251.h"
#include "platform/Utf8.h"

namespace orbimo::fuzz {

/// Fuzz input as text: each byte one Windows-1251 character, as a system file holds it.
inline std::u16string TextOf(const std::uint8_t* data, std::size_t size) {
    return FromCp1251(std::string_view(reinterpret_cast<const char*>(data), size));
}

/// A text as UTF-8 for the report.
inline std::string Utf8(const std::u16string& text) {
    return ToUtf8(text);
}

/// A property that does not hold: says which, shows the texts, and aborts so that
/// libFuzzer keeps the input as a crash.
[[noreturn]] inline void Fail(const char* file, int line, const char* condition,
                              const std::u16string& a = {}, const std::u16string& b = {}) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n  a: \"%s\"\n  b: \"%s\"\n", file, line,
                 condition, Utf8(a).c_str(), Utf8(b).c_str());
    std::abort();
}

}  // namespace orbimo::fuzz

#define FUZZ_REQUIRE(condition, ...)                                                         \
    do {                                                                                     \
        if (!(condition))                                                                    \
            ::orbimo::fuzz::Fail(__FILE__, __LINE__, #condition __VA_OPT__(, ) __VA_ARGS__); \
    } while (0)
