// Rewind: the run loop's speed with and without keeping checkpoints, timed in turns within one
// program so that the machine's drift hits both alike, and the time of a jump to the far end of a
// 3 M-tick run of the eleven bodies (the longest recomputation the record leaves).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

#include "batch/BatchPlatform.h"
#include "mainwindow/MainWindowLogic.h"
#include "platform/MemorySurface.h"
#include "platform/StdFileSystem.h"

namespace {

using namespace orbimo;
using Clock = std::chrono::steady_clock;

/// The program headless on a 1920 x 1080 screen with the built-in system, drawing into memory.
struct Headless {
    Headless()
        : screen(1920, 1080),
          surface(1920, 1080, 0x00EFEFEF),
          files(u"/nonexistent-orbimo-bench"),
          params(state, toolkit),
          logic(state, params, surface, toolkit, files, screen) {
        logic.Startup();
    }
    /// «Пуск» for n ticks; the seconds the run took.
    double Run(std::int64_t n) {
        std::int64_t k = 0;
        logic.afterTick = [&] {
            if (++k == n) state.StopRequested = -1;
        };
        const auto t0 = Clock::now();
        logic.StartOrStop();
        logic.afterTick = nullptr;
        return std::chrono::duration<double>(Clock::now() - t0).count();
    }
    SimState state;
    BatchToolkit toolkit;
    FixedScreen screen;
    MemorySurface surface;
    StdFileSystem files;
    ParamsModel params;
    MainWindowLogic logic;
};

}  // namespace

int main() {
    constexpr std::int64_t kLoopTicks = 1'000'000, kJumpTicks = 3'000'000;
    constexpr int kTurns = 9;
    // Both programs run on from where they stopped, turn by turn; the best turn of each counts.
    Headless with, without;
    without.logic.SetRecording(false);
    double best[2] = {1e300, 1e300};
    for (int turn = 0; turn < kTurns; ++turn) {
        // Each goes first in every other turn.
        if (turn % 2 == 0) best[0] = std::min(best[0], with.Run(kLoopTicks));
        best[1] = std::min(best[1], without.Run(kLoopTicks));
        if (turn % 2 == 1) best[0] = std::min(best[0], with.Run(kLoopTicks));
    }
    std::printf(
        "run loop, eleven bodies, plotting: %.3f M ticks/s keeping checkpoints, "
        "%.3f M ticks/s without (%+.2f %%)\n",
        kLoopTicks / best[0] / 1e6, kLoopTicks / best[1] / 1e6, (best[1] / best[0] - 1) * 100);

    // Plotted, so that each jump also draws the picture again from the path history.
    Headless jumping;
    jumping.Run(kJumpTicks);
    const RunRecord& record = jumping.logic.Record();
    std::printf("record of the %lld-tick run: %zu checkpoints, every %lld ticks, %.2f MB\n",
                static_cast<long long>(kJumpTicks), record.Points().size(),
                static_cast<long long>(record.Every()), record.Bytes() / 1048576.0);
    // Back to the far start, to the tick before a checkpoint (the longest recomputation), and
    // to the far end again.
    const std::int64_t last = jumping.logic.RecordLastTick();
    bool done = true;
    for (const std::int64_t tick : {std::int64_t{1}, 2 * record.Every() - 1, last - 1}) {
        const auto t0 = Clock::now();
        done = done && jumping.logic.JumpToTick(tick) == JumpOutcome::Done;
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        std::printf("jump to tick %lld, the picture drawn again: %.3f ms\n",
                    static_cast<long long>(tick), s * 1e3);
    }
    return done ? 0 : 1;
}
