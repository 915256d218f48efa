// FormatDate and ParseDate. A date-time text the program wrote reads back as the
// same text; a typed text gives either a moment the program can write as a date or 0
// with the message, and its normal form is a fixed point.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "convert/DateTimeText.h"
#include "fakes/FakeToolkit.h"

namespace {

using namespace orbimo;
using orbimo::testing::FakeToolkit;

constexpr double kDay = 86400;
constexpr double kFirstSecond = -59926608000.0;  // 01.01.0001 00:00:00
constexpr double kEndSecond = 255611289600.0;    // 01.01.10000 00:00:00
constexpr char16_t kBadDate[] = u"Неверная дата! ";

bool HasDateText(double t) {
    return t >= kFirstSecond && t < kEndSecond;
}

/// 30.12.1899 is the zero date-time value: it reads as 0 whatever its fraction says.
bool OnTheZeroDate(double t) {
    return t >= -2 * kDay && t < -kDay;
}

void CheckWritten(double t) {
    const std::u16string text = FormatDate(t);
    FakeToolkit toolkit;
    const double back = ParseDate(text, toolkit);
    if (!HasDateText(t)) {
        // Written as seconds with " с": refused with the message, never misread.
        FUZZ_REQUIRE(text.size() > 2 && text.substr(text.size() - 2) == u" с", text);
        FUZZ_REQUIRE(back == 0 && toolkit.messages.size() == 1, text);
        return;
    }
    FUZZ_REQUIRE(toolkit.messages.empty(), text, toolkit.messages[0]);
    if (OnTheZeroDate(t)) return;
    FUZZ_REQUIRE(std::floor(back) == std::floor(t), text, FormatDate(back));
    FUZZ_REQUIRE(FormatDate(back) == text, text, FormatDate(back));
}

void CheckTyped(const std::u16string& text) {
    FakeToolkit toolkit;
    const double t = ParseDate(text, toolkit);
    FUZZ_REQUIRE(toolkit.messages.size() <= 1, text);
    if (!toolkit.messages.empty()) {
        FUZZ_REQUIRE(t == 0, text);
        FUZZ_REQUIRE(toolkit.messages[0].rfind(kBadDate, 0) == 0, text, toolkit.messages[0]);
    }
    // Whatever was accepted is a moment the date text can show.
    FUZZ_REQUIRE(t == 0 || HasDateText(t), text, FormatDate(t));
    CheckWritten(t);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 12) {
        double x;
        std::memcpy(&x, data, sizeof x);
        CheckWritten(x);
        // The same bytes as a moment of the date range: whole seconds and a fraction.
        std::uint64_t bits;
        std::uint32_t fraction;
        std::memcpy(&bits, data, sizeof bits);
        std::memcpy(&fraction, data + 8, sizeof fraction);
        const auto span = static_cast<std::uint64_t>(kEndSecond - kFirstSecond);
        const double whole = kFirstSecond + static_cast<double>(bits % span);
        CheckWritten(whole);
        CheckWritten(whole + std::ldexp(static_cast<double>(fraction), -32));
    }
    CheckTyped(fuzz::TextOf(data, size));
    return 0;
}
