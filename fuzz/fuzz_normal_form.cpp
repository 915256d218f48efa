// NormalizeNumber: the result is "0" or the text with its points made commas; it is its own
// normal form; and it is "0" exactly when the text's value, where it has one, is zero.
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "convert/NumberText.h"
#include "params/ParamsModel.h"

namespace {

using namespace orbimo;

bool HasNonZeroDigit(const std::u16string& text) {
    for (char16_t c : text)
        if (c >= u'1' && c <= u'9') return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = fuzz::TextOf(data, size);
    const std::u16string normal = ParamsModel::NormalizeNumber(text);
    FUZZ_REQUIRE(normal == u"0" || normal == ReplaceChars(text, u".", u","), text, normal);
    FUZZ_REQUIRE(ParamsModel::NormalizeNumber(normal) == normal, text, normal);

    const std::optional<double> value = ParseNumber(text);
    if (normal == u"0") {
        FUZZ_REQUIRE(!value || *value == 0, text, normal);
    } else {
        FUZZ_REQUIRE(ParseNumber(normal) == value, text, normal);
        // A number with no digit but zeros is zero, whatever its form.
        FUZZ_REQUIRE(!value || HasNonZeroDigit(text), text, normal);
    }
    if (value && *value != 0) FUZZ_REQUIRE(normal != u"0", text, normal);
    return 0;
}
