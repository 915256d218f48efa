#include "convert/DateTimeText.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "convert/NumberText.h"

namespace orbimo {

namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr sys_days kEpochDay{year{1900} / std::chrono::January / 1};    // simulated time 0
constexpr sys_days kDateZero{year{1899} / std::chrono::December / 30};  // date-time value 0

// Simulated seconds of 01.01.0001 and of 01.01.10000: the range written as a date.
constexpr std::int64_t kFirstSecond =
    (sys_days{year{1} / std::chrono::January / 1} - kEpochDay).count() * kSecondsPerDay;
constexpr std::int64_t kEndSecond =
    (sys_days{year{10000} / std::chrono::January / 1} - kEpochDay).count() * kSecondsPerDay;

constexpr char16_t kBadDate[] = u"Неверная дата! ";

void AppendNumber(std::u16string& out, unsigned value, int minDigits) {
    char16_t digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value > 0 || count < minDigits);
    while (count > 0) out += digits[--count];
}

/// The fraction of a second of t in units of 10^−8 s, cut, not rounded: 0 .. 99 999 999.
std::int64_t FractionUnits(double t) {
    const double w = std::floor(t);
    // t − w is exact for every t in the date range but (−1, 0), where the clamp
    // keeps a sum rounded up to 1 within the second.
    return std::min(static_cast<std::int64_t>(std::floor((t - w) * 100000000.0)),
                    std::int64_t{99999999});
}

/// The first count of 10^−8 s that FormatDate writes with these fraction digits, for
/// 1 to 7 digits; −1 for any other fraction text. Seven digits ending in 0 are written
/// only when the cut eighth digit is not 0.
std::int64_t EarliestUnitsWrittenAs(std::u16string_view digits) {
    if (digits.empty() || digits.size() > 7) return -1;
    std::int64_t units = 0;
    for (const char16_t c : digits) {
        if (c < u'0' || c > u'9') return -1;
        units = units * 10 + (c - u'0');
    }
    for (std::size_t k = digits.size(); k < 8; ++k) units *= 10;
    return digits.size() == 7 && digits.back() == u'0' ? units + 1 : units;
}

/// A calendar day and the seconds into it, as read from a date-time text.
struct DateTime {
    sys_days day;
    std::int64_t secondOfDay = 0;
};

/// Reads the accepted date-time forms: D.M.YYYY (points, slashes or
/// hyphens, the same separator twice; day and month with one or two digits),
/// optionally followed by spaces and H:MM or H:MM:SS; spaces around are ignored.
class DateTimeReader {
  public:
    explicit DateTimeReader(std::u16string_view text) : text_(text) {}

    std::optional<DateTime> Read() {
        SkipSpaces();
        const int d = Number(1, 2);
        const char16_t separator = Peek();
        if (d < 0 || (separator != u'.' && separator != u'/' && separator != u'-')) return {};
        ++pos_;
        const int m = Number(1, 2);
        if (m < 0 || !Take(separator)) return {};
        const int y = Number(4, 4);
        if (y < 1) return {};
        const year_month_day date{year{y}, std::chrono::month{static_cast<unsigned>(m)},
                                  std::chrono::day{static_cast<unsigned>(d)}};
        if (!date.ok()) return {};

        std::int64_t secondOfDay = 0;
        if (SkipSpaces() && !AtEnd()) {
            const int h = Number(1, 2);
            if (h < 0 || h > 23 || !Take(u':')) return {};
            const int min = Number(1, 2);
            if (min < 0 || min > 59) return {};
            int s = 0;
            if (Take(u':')) {
                s = Number(1, 2);
                if (s < 0 || s > 59) return {};
            }
            secondOfDay = h * 3600 + min * 60 + s;
            SkipSpaces();
        }
        if (!AtEnd()) return {};
        return DateTime{sys_days{date}, secondOfDay};
    }

  private:
    bool AtEnd() const { return pos_ == text_.size(); }
    char16_t Peek() const { return AtEnd() ? u'\0' : text_[pos_]; }

    bool Take(char16_t c) {
        if (Peek() != c) return false;
        ++pos_;
        return true;
    }

    /// Skips spaces; tells whether there was at least one.
    bool SkipSpaces() {
        const std::size_t start = pos_;
        while (Peek() == u' ') ++pos_;
        return pos_ > start;
    }

    /// A run of minDigits to maxDigits decimal digits, or -1.
    int Number(int minDigits, int maxDigits) {
        int value = 0, count = 0;
        while (count < maxDigits && Peek() >= u'0' && Peek() <= u'9') {
            value = value * 10 + (Peek() - u'0');
            ++pos_;
            ++count;
        }
        const bool moreDigits = Peek() >= u'0' && Peek() <= u'9';
        return count >= minDigits && !moreDigits ? value : -1;
    }

    std::u16string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

// A t outside the years 1 to 9999, or not finite, has no date text: it is
// written as its seconds in general number text followed by " с" ("1E+20 с",
// "NaN с"), which the user can read and which ParseDate rejects with its
// message instead of misreading it.
std::u16string FormatDate(double t) {
    if (!(t >= static_cast<double>(kFirstSecond) && t < static_cast<double>(kEndSecond))) {
        return FormatNumber(t) + u" с";
    }
    const double w = std::floor(t);
    const std::int64_t f = FractionUnits(t);

    const auto whole = static_cast<std::int64_t>(w);
    std::int64_t dayNumber = whole / kSecondsPerDay;
    std::int64_t secondOfDay = whole % kSecondsPerDay;
    if (secondOfDay < 0) {
        secondOfDay += kSecondsPerDay;
        --dayNumber;
    }
    const year_month_day date{kEpochDay + days{dayNumber}};

    std::u16string out;
    out.reserve(28);
    AppendNumber(out, static_cast<unsigned>(date.day()), 2);
    out += u'.';
    AppendNumber(out, static_cast<unsigned>(date.month()), 2);
    out += u'.';
    AppendNumber(out, static_cast<unsigned>(static_cast<int>(date.year())), 4);
    if (secondOfDay != 0) {
        out += u' ';
        AppendNumber(out, static_cast<unsigned>(secondOfDay / 3600), 1);
        out += u':';
        AppendNumber(out, static_cast<unsigned>(secondOfDay / 60 % 60), 2);
        out += u':';
        AppendNumber(out, static_cast<unsigned>(secondOfDay % 60), 2);
    }
    if (f > 0) {
        // f / 10^8 in plain decimal without trailing zeros, its leading "0" dropped and
        // cut to 8 characters: a comma and the first at most seven of its eight digits.
        char16_t digits[8];
        auto rest = static_cast<unsigned>(f);
        for (int k = 7; k >= 0; --k, rest /= 10)
            digits[k] = static_cast<char16_t>(u'0' + rest % 10);
        int count = 8;
        while (digits[count - 1] == u'0') --count;
        out += u',';
        out.append(digits, static_cast<std::size_t>(std::min(count, 7)));
    }
    return out;
}

// A fraction after the last comma that is not a number makes the whole text
// not a date: the message then shows the whole text, as the user typed it.
double ParseDate(const std::u16string& text, Toolkit& toolkit) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string::npos) return 0;
    // The window's date fields start out as "0": the zero date-time value, not a bad date.
    if (text.compare(first, text.find_last_not_of(u' ') + 1 - first, u"0") == 0) return 0;

    std::u16string_view dateText = text;
    double fraction = 0;
    std::int64_t writtenUnits = -1;
    if (const std::int32_t p = FindFromEnd(u",", text, 1); p > 0) {
        const auto comma = static_cast<std::size_t>(p - 1);
        const std::optional<double> value = ParseNumber(u"0" + text.substr(comma));
        if (!value) {
            toolkit.MessageBox(kBadDate + text);
            return 0;
        }
        fraction = *value;
        writtenUnits = EarliestUnitsWrittenAs(dateText.substr(comma + 1));
        // Digits as the program writes them: the earliest moment written with them
        // (differs from the typed value only by a cut eighth digit of 1).
        if (writtenUnits > 0) fraction = static_cast<double>(writtenUnits) / 100000000.0;
        dateText = dateText.substr(0, comma);
    }

    const std::optional<DateTime> moment = DateTimeReader(dateText).Read();
    if (!moment) {
        toolkit.MessageBox(std::u16string(kBadDate).append(dateText));
        return 0;
    }
    if (moment->day == kDateZero && moment->secondOfDay == 0) return 0;

    // Whole seconds in integers, so that a text written from whole seconds reads back exactly.
    const std::int64_t seconds =
        (moment->day - kEpochDay).count() * kSecondsPerDay + moment->secondOfDay;
    double t = static_cast<double>(seconds) + fraction;
    // FormatDate cuts the fraction, and the double nearest to the sum can lie just
    // below the digits (far from 1900 a double has fewer than seven decimals of a
    // second): step up to the first double written with them, so that a text the
    // program wrote reads back as that text. One step suffices; the bound is a guard.
    for (int step = 0;
         step < 4 && writtenUnits > 0 && std::floor(t) == static_cast<double>(seconds) &&
         FractionUnits(t) < writtenUnits;
         ++step)
        t = std::nextafter(t, static_cast<double>(kEndSecond));
    // A fraction such as ",5E30" moves the moment out of every year the date text can
    // show: not a date either, rather than a clock the program cannot write back.
    if (!(t >= static_cast<double>(kFirstSecond) && t < static_cast<double>(kEndSecond))) {
        toolkit.MessageBox(kBadDate + text);
        return 0;
    }
    return t;
}

}  // namespace orbimo
