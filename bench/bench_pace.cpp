// A paced run on the real main window: at 1 сут/с with all eleven bodies, how far the
// simulated clock moves in 3 s of real time, and how much of a core the run takes meanwhile.
// Run it offscreen (QT_QPA_PLATFORM=offscreen) or under an X server.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include "app/Program.h"

namespace {

using namespace orbimo;

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

void BM_PacedRun(benchmark::State& st) {
    static QTemporaryDir folder, settings;  // the built-in system; the user's settings untouched
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    static Program p(folder.path().toStdU16String());
    p.form->showMaximized();
    for (int b = 1; b <= kBodies; ++b) p.params.SetBodyState(b, 1);
    const int pace = static_cast<int>(st.range(0));
    p.form->SetPace(pace);
    double days = 0, real = 0, cpu = 0;
    for (auto _ : st) {
        const double sim0 = p.state.SimTime, cpu0 = CpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTimer::singleShot(3000, Qt::PreciseTimer, [&] { p.form->Button(0)->click(); });
        p.form->Button(0)->click();  // the run, until the timer presses «Стоп»
        real = static_cast<double>(wall.nsecsElapsed()) * 1e-9;
        cpu = CpuSeconds() - cpu0;
        days = (p.state.SimTime - sim0) / kDaySeconds;
        st.SetIterationTime(real);
    }
    const double expected = real * kPaces[static_cast<std::size_t>(pace)] / kDaySeconds;
    st.counters["sim_days"] = days;
    st.counters["expected_days"] = expected;
    st.counters["error_%"] = (days / expected - 1) * 100;
    st.counters["cpu_%"] = cpu / real * 100;
}

// 1 сут/с (the figure asked for) and 1 год/с.
BENCHMARK(BM_PacedRun)->Arg(5)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::_Exit(0);  // the program's windows live until the process ends, as in the program
}
