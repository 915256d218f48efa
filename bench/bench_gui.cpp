// The real program's windows: run-loop speed with the built-in system and how soon input is
// answered meanwhile, a full repaint, start-up to the first painted main window, idle memory;
// and, in the same run, the same loop without a window and the tick alone, with their ratios.
// Run it offscreen (QT_QPA_PLATFORM=offscreen) or under an X server.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "Loops.h"
#include "app/Program.h"
#include "core/TickPathChoice.h"

namespace {

using namespace orbimo;

QTemporaryDir& Folder() {
    static QTemporaryDir dir;  // no state file: the built-in system
    return dir;
}

Program& TheProgram() {
    static Program* program = [] {
        auto* p = new Program(Folder().path().toStdU16String());
        p->form->showMaximized();
        p->form->SetPace(0);  // as fast as it goes: a fresh install starts at «авто»
        bool painted = false;
        p->form->painted = [&painted] { painted = true; };
        while (!painted) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        p->form->painted = nullptr;
        return p;
    }();
    return *program;
}

double RssMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void BM_StartUpToFirstPaint(benchmark::State& st) {
    for (auto _ : st) {
        QElapsedTimer clock;
        clock.start();
        TheProgram();
        st.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 1000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    st.counters["idle_RSS_MB"] = RssMegabytes();
}

// Stands in for input arriving during a run: an event posted from the run loop, answered when
// the loop next lets the event queue run (as a key press or click would be).
class InputProbe : public QObject {
  public:
    InputProbe() { clock.start(); }
    void Post() {
        if (pending) return;
        pending = true;
        posted = clock.nsecsElapsed();
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
    }
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        const double ms = static_cast<double>(clock.nsecsElapsed() - posted) / 1e6;
        worst = std::max(worst, ms);
        total += ms;
        ++answered;
        pending = false;
        return true;
    }
    QElapsedTimer clock;
    qint64 posted = 0;
    bool pending = false;
    double worst = 0, total = 0;
    long answered = 0;
};

void BM_RunLoop(benchmark::State& st) {
    Program& p = TheProgram();
    const int bodies = static_cast<int>(st.range(0));
    for (int b = 1; b <= kBodies; ++b) p.params.SetBodyState(b, b <= bodies ? 1 : 0);
    long ticks = 0;
    QElapsedTimer clock;
    InputProbe input;
    p.logic.afterTick = [&] {
        if ((++ticks & 0x3FFF) == 0) input.Post();
        if ((ticks & 0xFFFF) == 0 && clock.elapsed() >= 3000) p.state.StopRequested = -1;
    };
    for (auto _ : st) {
        ticks = 0;
        clock.start();
        p.form->Button(0)->click();
        st.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
    p.logic.afterTick = nullptr;
    st.counters["ticks/s"] = benchmark::Counter(static_cast<double>(ticks) /
                                                (static_cast<double>(clock.nsecsElapsed()) / 1e9));
    st.counters["input_ms_max"] = input.worst;
    st.counters["input_ms_mean"] =
        input.answered > 0 ? input.total / static_cast<double>(input.answered) : 0;
}

void BM_FullRepaint(benchmark::State& st) {
    Program& p = TheProgram();
    for (auto _ : st) {
        p.form->RequestRebuild();
        p.form->repaint();  // rebuild from the trace map and present, synchronously
    }
}

// 50 M ticks with every body on; memory is read after a warm-up of 5 M ticks and at the
// end. Only with --soak: it takes most of a minute.
void BM_Soak(benchmark::State& st) {
    Program& p = TheProgram();
    for (int b = 1; b <= kBodies; ++b) p.params.SetBodyState(b, 1);
    constexpr long kWarmUp = 5'000'000, kTotal = 50'000'000;
    long ticks = 0;
    double warm = 0, end = 0;
    p.logic.afterTick = [&] {
        ++ticks;
        if (ticks == kWarmUp) warm = RssMegabytes();
        if (ticks == kTotal) {
            end = RssMegabytes();
            p.state.StopRequested = -1;
        }
    };
    for (auto _ : st) {
        QElapsedTimer clock;
        clock.start();
        p.form->Button(0)->click();
        st.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
    p.logic.afterTick = nullptr;
    st.counters["ticks"] = static_cast<double>(ticks);
    st.counters["RSS_after_warmup_MB"] = warm;
    st.counters["RSS_growth_kB"] = (end - warm) * 1024.0;
}

BENCHMARK(BM_StartUpToFirstPaint)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunLoop)
    ->Arg(5)
    ->Arg(11)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The windows' defaults (the layers as at a first start), whatever the user has chosen;
    // the run unpaced.
    static QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--soak") {
            benchmark::RegisterBenchmark("BM_Soak", BM_Soak)
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kSecond);
            for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            break;
        }
    }
    // The loops without a window, as bench_tick times them.
    for (int bodies : {5, 11}) {
        benchmark::RegisterBenchmark(("BM_PlotLoop/" + std::to_string(bodies)).c_str(), PlotLoop,
                                     bodies)
            ->MinTime(2.0);
        benchmark::RegisterBenchmark(("BM_Tick/" + std::to_string(bodies)).c_str(), TickLoop,
                                     ChosenTickPath(), bodies)
            ->MinTime(2.0);
    }
    benchmark::Initialize(&argc, argv);
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::map<std::string, double>& r = reporter.rates;
    for (int bodies : {5, 11}) {
        const std::string n = "/" + std::to_string(bodies);
        const double window = r["BM_RunLoop" + n], plot = r["BM_PlotLoop" + n],
                     tick = r["BM_Tick" + n];
        if (window > 0 && plot > 0)
            std::printf("%d bodies: window loop / plot loop %.3f\n", bodies, window / plot);
        if (plot > 0 && tick > 0)
            std::printf("%d bodies: plot loop / tick alone %.3f (the %s path)\n", bodies,
                        plot / tick, TickPathName(ChosenTickPath()));
    }
    std::fflush(stdout);
    std::_Exit(0);  // the program's windows live until the process ends, as in the program
}
