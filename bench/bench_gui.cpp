// The real program's windows: run-loop speed with the built-in system, a full
// repaint, start-up to the first painted main window, and idle memory.
// Run it offscreen (QT_QPA_PLATFORM=offscreen) or under an X server.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "app/Program.h"

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

void BM_RunLoop(benchmark::State& st) {
    Program& p = TheProgram();
    const int bodies = static_cast<int>(st.range(0));
    for (int b = 1; b <= kBodies; ++b) p.params.SetBodyState(b, b <= bodies ? 1 : 0);
    long ticks = 0;
    QElapsedTimer clock;
    p.logic.afterTick = [&] {
        if ((++ticks & 0xFFFF) == 0 && clock.elapsed() >= 3000) p.state.StopRequested = -1;
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
}

void BM_FullRepaint(benchmark::State& st) {
    Program& p = TheProgram();
    for (auto _ : st) {
        p.form->RequestRebuild();
        p.form->repaint();  // rebuild from the trace map and present, synchronously
    }
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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::_Exit(0);  // the program's windows live until the process ends, as in the program
}
