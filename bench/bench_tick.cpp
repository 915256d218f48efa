// Ticks per second of every path this processor can take (with its fault check), each with every
// body's pixel and the "pixel changed?" test, against a plain scalar loop of the same arithmetic
// compiled into the same binary; and of the tick with the whole plotting step, as the run loop
// does it without a window.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "Loops.h"
#include "core/AdvanceTick.h"
#include "core/ProjectToPixel.h"
#include "core/SimState.h"
#include "core/TickPathChoice.h"
#include "platform/Utf8.h"

namespace {

using namespace orbimo;

// The same arithmetic written as plainly as possible: no checks, no copies.
struct Plain {
    double m[12], x[12], y[12], vx[12], vy[12];
    int lx[12], ly[12];
};

void BM_PlainLoop(benchmark::State& st) {
    const SimState s0 = BuiltInSystemOn(kBodies);
    Plain p{};
    for (int b = 0; b < 12; ++b) {
        p.m[b] = s0.Mass[b];
        p.x[b] = s0.PosX[b];
        p.y[b] = s0.PosY[b];
        p.vx[b] = s0.VelX[b];
        p.vy[b] = s0.VelY[b];
    }
    const double g = s0.GravConst, dt = s0.TimeStep, zoom = s0.Zoom;
    const double ox = s0.OriginX, oy = s0.OriginY;
    long moved = 0;
    for (auto _ : st) {
        for (int i = 1; i <= 11; ++i)
            for (int j = i + 1; j <= 11; ++j) {
                double dx = p.x[j] - p.x[i], dy = p.y[j] - p.y[i];
                double r2 = dy * dy + dx * dx;
                if (r2 == 0) continue;
                double r = std::sqrt(r2), ux = dx / r, uy = dy / r;
                double k = g * dt * p.m[j] / r2;
                p.vx[i] = k * ux + p.vx[i];
                p.vy[i] = k * uy + p.vy[i];
                k = g * dt * p.m[i] / r2;
                p.vx[j] = p.vx[j] - k * ux;
                p.vy[j] = p.vy[j] - k * uy;
            }
        for (int b = 1; b <= 11; ++b) {
            p.x[b] = dt * p.vx[b] + p.x[b];
            p.y[b] = dt * p.vy[b] + p.y[b];
        }
        for (int b = 1; b <= 11; ++b) {
            double fx = std::floor(((p.x[b] - p.x[1]) / zoom + ox) / 15.0);
            double fy = std::floor(((p.y[b] - p.y[1]) / zoom + oy) / 15.0);
            if (!(fx >= -2147483648.0 && fx <= 2147483647.0 && fy >= -2147483648.0 &&
                  fy <= 2147483647.0))
                continue;
            int cx = static_cast<int>(fx), cy = static_cast<int>(fy);
            if (cx != p.lx[b] || cy != p.ly[b]) {
                p.lx[b] = cx;
                p.ly[b] = cy;
                ++moved;
            }
        }
    }
    benchmark::DoNotOptimize(moved);
    st.counters["ticks/s"] =
        benchmark::Counter(static_cast<double>(st.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

// With --check=R the program fails unless the path the program would choose by measuring (as
// at its first tick, whatever ORBIMO_TICK_PATH forces) runs within a tenth of the fastest path
// and at least R times the plain loop's rate (CI runs it briefly to catch a tick that has become
// slow, or a choice that is not the fastest): the best of five short runs of each, interleaved,
// so that other work on the machine weighs on all alike.
int main(int argc, char** argv) {
    double minRatio = 0;
    double seconds = 2.0;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--check=", 0) == 0) {
            minRatio = std::stod(a.substr(8));
            seconds = 0.1;
        } else {
            args.push_back(argv[i]);
        }
    }
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    if (minRatio > 0) args.push_back(interleave);
    std::vector<benchmark::internal::Benchmark*> timed = {
        benchmark::RegisterBenchmark("BM_PlainLoop", BM_PlainLoop)};
    for (TickPath p : kTickPaths)
        if (TickPathSupported(p))
            timed.push_back(benchmark::RegisterBenchmark(
                (std::string("BM_TickBy/") + TickPathName(p)).c_str(), TickLoop, p, kBodies));
    for (auto* b : timed) {
        b->MinTime(seconds);
        if (minRatio > 0) b->Repetitions(5);
    }
    if (minRatio == 0) {
        benchmark::RegisterBenchmark("BM_Tick/5", TickLoop, ChosenTickPath(), 5)->MinTime(seconds);
        for (int bodies : {5, 11})
            benchmark::RegisterBenchmark(("BM_PlotLoop/" + std::to_string(bodies)).c_str(),
                                         PlotLoop, bodies)
                ->MinTime(seconds);
    }
    // What the program's first tick would find, measured before the benchmarks run.
    const TickPath measured = FastestTickPath(MeasureTickPaths());
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double plain = reporter.rates["BM_PlainLoop"];
    double fastest = 0;
    for (TickPath p : kTickPaths)
        fastest = std::max(fastest, reporter.rates[std::string("BM_TickBy/") + TickPathName(p)]);
    const double chosen = reporter.rates[std::string("BM_TickBy/") + TickPathName(measured)];
    std::printf("ticks/s: plain loop %.3g", plain);
    for (TickPath p : kTickPaths)
        if (TickPathSupported(p))
            std::printf(", %s %.3g", TickPathName(p),
                        reporter.rates[std::string("BM_TickBy/") + TickPathName(p)]);
    std::printf("\nmeasuring chooses %s; AdvanceTick takes %s\n", TickPathName(measured),
                ToUtf8(TickPathText()).c_str());
    for (const auto& [name, rate] : reporter.rates)
        if (name != "BM_PlainLoop" && plain > 0 && rate > 0)
            std::printf("%s / plain loop: %.3f\n", name.c_str(), rate / plain);
    const double tick[] = {
        reporter.rates["BM_Tick/5"],
        reporter.rates[std::string("BM_TickBy/") + TickPathName(ChosenTickPath())]};
    for (int i : {0, 1}) {
        const int bodies = i == 0 ? 5 : 11;
        const double loop = reporter.rates["BM_PlotLoop/" + std::to_string(bodies)];
        if (loop > 0 && tick[i] > 0)
            std::printf("BM_PlotLoop/%d / the tick alone (%d bodies): %.3f\n", bodies, bodies,
                        loop / tick[i]);
    }
    if (minRatio == 0) return 0;
    if (!(chosen >= 0.9 * fastest)) {
        std::printf("the measured choice runs at %.3f of the fastest path\n", chosen / fastest);
        return 1;
    }
    // With only the scalar path (no packed ones on this processor) there is nothing to win.
    if (fastest > 0 && !TickPathSupported(TickPath::Sse2)) return 0;
    if (!(chosen >= minRatio * plain)) {
        std::printf("the tick is slower than %.2f of the plain loop\n", minRatio);
        return 1;
    }
    return 0;
}
