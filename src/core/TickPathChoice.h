#pragma once
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/AdvanceTick.h"

namespace orbimo {

/// One path's measured speed; not above zero (or not finite) when it could not be measured.
struct PathSpeed {
    TickPath path = TickPath::Scalar;
    double ticksPerSecond = 0;
};

/// Speeds within this share of the fastest count as equal: a short measurement on a busy
/// machine cannot tell them apart.
inline constexpr double kTickSpeedNoise = 0.03;

/// The path to take, given the measured speeds of the paths the processor supports: the
/// narrowest of those within `noise` of the fastest (fewer lanes to shuffle, and wide registers
/// may lower the clock). With no usable measurement: SSE2 when listed, else the first listed.
TickPath FastestTickPath(std::span<const PathSpeed> speeds, double noise = kTickSpeedNoise);

/// Times every supported path on the built-in eleven bodies, all taking part: a warm-up, then
/// `rounds` rounds of `ticks` ticks each, the paths interleaved, the median round of each.
std::vector<PathSpeed> MeasureTickPaths(int ticks = 2000, int rounds = 5);

/// The environment variable that forces a path by its name ("scalar", "sse2", "avx2", "avx512").
inline constexpr char kTickPathVariable[] = "ORBIMO_TICK_PATH";

/// How AdvanceTick's path was chosen.
struct TickPathChoice {
    TickPath path = TickPath::Scalar;
    bool forced = false;   // named by kTickPathVariable
    std::string unusable;  // a name there that is no supported path; the path was measured
};

/// The path named by `name` (empty or unknown or unsupported: nothing).
std::optional<TickPath> SupportedTickPathNamed(const std::string& name);

/// The choice AdvanceTick follows, made on first use: the forced path, or the measured fastest.
const TickPathChoice& ChosenTickPathChoice();

/// Makes the choice on a thread of its own, so that the first «Пуск» need not wait for it; a tick
/// that comes first waits for it to finish.
void ChooseTickPathSoon();

/// For the help window and the runner: "avx512 (выбран измерением)".
std::u16string TickPathText();

}  // namespace orbimo
