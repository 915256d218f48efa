#include "batch/Summary.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "convert/DateTimeText.h"
#include "platform/Utf8.h"

namespace orbimo {

namespace {

std::u16string Widen(std::string_view s) {
    std::u16string out;
    for (char c : s) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::u16string SummaryText(const BatchReport& r) {
    const double span = r.endTime - r.startTime;
    std::u16string s;
    s += r.leapfrog ? u"Старт: точный (leapfrog)\n" : u"Старт: обычный\n";
    s += u"Тактов: " + GroupedInteger(r.ticks) + u"\n";
    const std::u16string seconds =
        std::fabs(span) < 1e15 ? GroupedInteger(std::llround(span)) : ShortNumber(span, 6);
    const double days = span / 86400;
    const std::u16string dayText = std::fabs(days) >= 1000 && std::fabs(days) < 1e15
                                       ? GroupedInteger(std::llround(days))
                                       : ShortNumber(days, 4);
    s += u"Смоделировано: " + seconds + u" с ≈ " + dayText + u" сут ≈ " +
         ShortNumber(span / (365.25 * 86400), 4) + u" г. (с " + FormatDate(r.startTime) + u" до " +
         FormatDate(r.endTime) + u")\n";
    const double rate = r.wallSeconds > 0 ? static_cast<double>(r.ticks) / r.wallSeconds : 0;
    s += u"Время счёта: " + ShortNumber(r.wallSeconds) + u" с, " +
         GroupedInteger(std::llround(rate)) + u" тактов в секунду\n";
    s += u"Относительный дрейф полной энергии |E−E₀|/|E₀|: " +
         ShortNumber(EnergyDrift(r.before, r.after)) + u"\n";
    s += u"Относительный дрейф полного импульса |P−P₀|/Σm|v|: " +
         ShortNumber(MomentumDrift(r.before, r.after)) + u"\n";
    if (r.status == BatchStatus::Fault)
        s += u"Расчёт остановлен арифметической ошибкой после такта " + GroupedInteger(r.ticks) +
             u": записано последнее правильно рассчитанное состояние.\n";
    return s;
}

ProgressBar::ProgressBar(std::FILE* out) : out_(out), startNs_(NowNs()) {}

void ProgressBar::Update(double done, std::int64_t ticks) {
    const std::int64_t now = NowNs();
    if (lastDrawNs_ >= 0 && now - lastDrawNs_ < 100'000'000) return;
    lastDrawNs_ = now;
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(done * kWidth);
    std::u16string line = u"\r[";
    for (int i = 0; i < kWidth; ++i) line += i < filled ? u'█' : u'░';
    line += u"] " + Widen(std::to_string(static_cast<int>(done * 100))) + u" %  " +
            GroupedInteger(ticks) + u" тактов";
    const double seconds = static_cast<double>(now - startNs_) / 1e9;
    if (seconds > 0)
        line += u", " + GroupedInteger(std::llround(static_cast<double>(ticks) / seconds)) +
                u" в секунду";
    line += u"\x1b[K";  // the rest of the old line
    std::fputs(ToUtf8(line).c_str(), out_);
    std::fflush(out_);
    drawn_ = true;
}

void ProgressBar::Finish() {
    if (!drawn_) return;
    std::fputs("\r\x1b[K", out_);
    std::fflush(out_);
    drawn_ = false;
}

}  // namespace orbimo
