// The run loop's work per tick without a window, timed alike by every benchmark program so that
// their ratios compare like with like.
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "core/AdvanceTick.h"
#include "core/ProjectToPixel.h"
#include "core/SimState.h"
#include "display/Plotter.h"
#include "platform/MemorySurface.h"

namespace orbimo {

/// The built-in system with its first `bodies` bodies taking part, on a 1920 x 1080 screen at
/// 15 twips a pixel, viewed from body 1 as start-up leaves it.
inline SimState BuiltInSystemOn(int bodies) {
    SimState s;
    SetConstants(s);
    StoreBuiltInSystem(s);
    s.TwipsPerPixelX = s.TwipsPerPixelY = 15;
    s.OriginX = 28800 / 2.0;
    s.OriginY = 16200 / 2.0 - 16200 / 8.0;
    s.ViewBody = 1;
    for (int b = 1; b <= kBodies; ++b) s.BodyOn[b] = b <= bodies ? 1 : 0;
    return s;
}

inline void CountTicks(benchmark::State& st) {
    st.counters["ticks/s"] =
        benchmark::Counter(static_cast<double>(st.iterations()), benchmark::Counter::kIsRate);
}

/// The tick alone: the path's tick, every body's pixel at once and "pixel changed?", nothing drawn.
inline void TickLoop(benchmark::State& st, TickPath path, int bodies) {
    SimState s = BuiltInSystemOn(bodies);
    long moved = 0;
    std::array<Pixel, kSlots> pixels;
    for (auto _ : st) {
        if (AdvanceTickBy(path, s, false) != TickFault::None) st.SkipWithError("fault");
        const unsigned computed = ProjectAll(s, pixels);
        for (int b = 1; b <= s.BodyCount; ++b) {
            if (s.BodyOn[b] != 1 || !((computed >> b) & 1u)) continue;
            const Pixel p = pixels[static_cast<std::size_t>(b)];
            if (p.x != s.LastPixX[b] || p.y != s.LastPixY[b]) {
                s.LastPixX[b] = p.x;
                s.LastPixY[b] = p.y;
                ++moved;
            }
        }
        s.SimTime += s.TimeStep;
    }
    benchmark::DoNotOptimize(moved);
    CountTicks(st);
}

/// The plot loop: the run loop without its window, the tick (the path AdvanceTick takes) and the
/// whole plotting step (markers moved on a memory surface, the trace map, the path history).
inline void PlotLoop(benchmark::State& st, int bodies) {
    SimState s = BuiltInSystemOn(bodies);
    CreatePixelOwner(s, 1920 * 15, 1080 * 15);
    MemorySurface surface(1920, 1080, 0xFFFFFF);
    Plotter plotter(s, surface);
    plotter.Clear(false);
    for (auto _ : st) {
        if (AdvanceTick(s, false) != TickFault::None) st.SkipWithError("fault");
        plotter.PlotStep(Frame{});
        s.SimTime += s.TimeStep;
    }
    CountTicks(st);
}

/// Keeps the best ticks/s of every benchmark's runs, by the benchmark's name, for ratios.
class RateReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const auto rate = r.counters.find("ticks/s");
            if (r.run_type != Run::RT_Iteration || rate == r.counters.end()) continue;
            const std::string& args = r.run_name.args;
            double& best = rates[r.run_name.function_name + (args.empty() ? "" : "/" + args)];
            best = std::max(best, static_cast<double>(rate->second));
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> rates;
};

}  // namespace orbimo
