#include "core/TickPathChoice.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/SimState.h"

namespace orbimo {

TickPath FastestTickPath(std::span<const PathSpeed> speeds, double noise) {
    auto usable = [](const PathSpeed& p) {
        return p.ticksPerSecond > 0 && p.ticksPerSecond < 1e300;  // NaN and infinity fail
    };
    double fastest = 0;
    for (const PathSpeed& p : speeds)
        if (usable(p)) fastest = std::max(fastest, p.ticksPerSecond);
    if (fastest == 0) {
        for (const PathSpeed& p : speeds)
            if (p.path == TickPath::Sse2) return p.path;
        return speeds.empty() ? TickPath::Scalar : speeds.front().path;
    }
    // The paths are declared narrowest first.
    TickPath best = TickPath::Avx512;
    for (const PathSpeed& p : speeds)
        if (usable(p) && p.ticksPerSecond >= fastest * (1 - noise) && p.path <= best) best = p.path;
    return best;
}

std::vector<PathSpeed> MeasureTickPaths(int ticks, int rounds) {
    SimState start;
    SetConstants(start);
    StoreBuiltInSystem(start);
    for (int b = 1; b <= kBodies; ++b) start.BodyOn[b] = 1;
    std::vector<TickPath> paths;
    for (TickPath p : kTickPaths)
        if (TickPathSupported(p)) paths.push_back(p);
    // seconds[k][r]: path k in round r; round -1 warms up caches and clocks and is not kept.
    std::vector<std::vector<double>> seconds(paths.size());
    for (int r = -1; r < rounds; ++r) {
        for (std::size_t i = 0; i < paths.size(); ++i) {
            // A different path leads each round, so that none always runs first.
            const std::size_t k = (i + static_cast<std::size_t>(std::max(r, 0))) % paths.size();
            SimState s = start;
            bool failed = false;
            const auto t0 = std::chrono::steady_clock::now();
            for (int t = 0; t < ticks && !failed; ++t)
                failed = AdvanceTickBy(paths[k], s, false) != TickFault::None;
            const double took =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            if (r >= 0) seconds[k].push_back(failed ? 0 : took);
        }
    }
    std::vector<PathSpeed> speeds;
    for (std::size_t k = 0; k < paths.size(); ++k) {
        std::vector<double>& t = seconds[k];
        double rate = 0;
        if (!t.empty()) {
            std::nth_element(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(t.size() / 2),
                             t.end());
            const double median = t[t.size() / 2];
            if (median > 0) rate = ticks / median;
        }
        speeds.push_back({paths[k], rate});
    }
    return speeds;
}

std::optional<TickPath> SupportedTickPathNamed(const std::string& name) {
    for (TickPath p : kTickPaths)
        if (name == TickPathName(p) && TickPathSupported(p)) return p;
    return std::nullopt;
}

const TickPathChoice& ChosenTickPathChoice() {
    static const TickPathChoice choice = [] {
        TickPathChoice c;
        const char* forced = std::getenv(kTickPathVariable);
        if (forced && *forced) {
            if (const auto p = SupportedTickPathNamed(forced)) {
                c.path = *p;
                c.forced = true;
                return c;
            }
            c.unusable = forced;
        }
        const std::vector<PathSpeed> speeds = MeasureTickPaths();
        c.path = FastestTickPath(speeds);
        return c;
    }();
    return choice;
}

void ChooseTickPathSoon() {
    std::thread([] { ChosenTickPathChoice(); }).detach();
}

TickPath ChosenTickPath() {
    return ChosenTickPathChoice().path;
}

std::u16string TickPathText() {
    // The names are ASCII when they are paths' names; anything else shows as "?".
    auto text = [](const std::string& ascii) {
        std::u16string t;
        for (char ch : ascii)
            t += static_cast<unsigned char>(ch) < 0x80 ? static_cast<char16_t>(ch) : u'?';
        return t;
    };
    const TickPathChoice& c = ChosenTickPathChoice();
    const std::u16string variable = text(kTickPathVariable);
    if (c.forced) return text(TickPathName(c.path)) + u" (задан переменной " + variable + u")";
    if (c.unusable.empty()) return text(TickPathName(c.path)) + u" (выбран измерением)";
    return text(TickPathName(c.path)) + u" (выбран измерением: «" + text(c.unusable) + u"» в " +
           variable + u" — не путь этого процессора)";
}

}  // namespace orbimo
