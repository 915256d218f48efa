// The graphs window's plot: a repaint of 100 000 samples (three curves of energy) must take
// less than a display frame, 16 ms. Painted as the window paints it, into an image of its size.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>

#include "paint/GraphPainter.h"

namespace {

using namespace orbimo;

void BM_GraphRepaint(benchmark::State& st) {
    const auto n = static_cast<std::size_t>(st.range(0));
    GraphSamples samples(n);
    for (std::size_t i = 0; i < n; ++i) {
        GraphSample s;
        s.time = 3.15e9 + 3600.0 * static_cast<double>(i);
        const double phase = static_cast<double>(i) * 2e-3;
        s.totals.kinetic = 6.2e33 * (1 + 0.02 * std::sin(phase) + 1e-4 * std::sin(97 * phase));
        s.totals.potential = -1.24e34 * (1 + 0.01 * std::sin(phase));
        samples.Add(s);
    }
    QImage image(800, 420, QImage::Format_RGB32);
    for (auto _ : st) {
        // What a repaint does: the curves from the samples, then the plot.
        GraphPlot plot{samples.Times(), samples.Curves(GraphQuantity::Energy, 1, 2), u"Энергия, Дж",
                       false};
        QPainter p(&image);
        PaintGraph(p, image.rect(), plot);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    st.counters["samples"] = static_cast<double>(samples.Samples().size());
}
BENCHMARK(BM_GraphRepaint)->Arg(100000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
