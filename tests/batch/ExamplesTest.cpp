// The shipped example systems: the files are the table's, and each shows the physics it is for.
#include <gtest/gtest.h>

#include <complex>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "batch/BatchRunner.h"
#include "convert/NumberText.h"
#include "core/ProjectToPixel.h"
#include "examples/ExampleSystems.h"
#include "files/SystemFile.h"

namespace orbimo::examples {
namespace {

namespace fs = std::filesystem;
const fs::path kFolder = ORBIMO_EXAMPLES_DIR;

// With ORBIMO_WRITE_EXAMPLES=1 the files are written from the table instead.
TEST(Examples, ShippedFilesAreTheTablesWrittenByTheProgramsWriter) {
    const bool write = std::getenv("ORBIMO_WRITE_EXAMPLES") != nullptr;
    std::size_t files = 0;
    for (const auto& e : fs::directory_iterator(kFolder)) files += e.path().extension() == ".sav";
    EXPECT_EQ(files, Systems().size()) << "a file in examples/Save that the table lacks";
    for (const System& s : Systems()) {
        const fs::path path = kFolder / PathFromText(s.file);
        if (write) std::ofstream(path, std::ios::binary) << FileBytes(s);
        std::ifstream in(path, std::ios::binary);
        SystemFileReader a(FileBytes(s)), b(std::string(std::istreambuf_iterator<char>(in), {}));
        for (int i = 1; const auto x = a.Next(); ++i) {
            const std::u16string y = b.Next().value_or(u"<none>");
            // Another C library may round a sine differently in the 16th digit.
            const auto p = ParseNumber(*x), q = ParseNumber(y);
            const bool number = p && q && *p != 0 && x->find(u'.') == std::u16string::npos;
            EXPECT_TRUE(number ? std::abs(*q / *p - 1) < 1e-13 : *x == y) << path << " item " << i;
        }
        EXPECT_FALSE(b.Next()) << path << " has items beyond the table's";
    }
}

/// Runs a shipped example to its stop date (or for `ticks`), watching every tick.
struct ExampleRun {
    ExampleRun(const std::u16string& file, const std::function<void(const SimState&)>& watch,
               bool leapfrog = false, std::int64_t ticks = 0, int width = 1920, int height = 1080) {
        BatchOptions o;
        o.systemFile = TextFromPath(kFolder / PathFromText(file));
        o.leapfrog = leapfrog, o.maxTicks = ticks, o.width = width, o.height = height;
        BatchRunner runner(o, TextFromPath(kFolder));
        if (watch) runner.onTick = [&](const SimState& s, std::int64_t) { watch(s); };
        report = runner.Run();
        EXPECT_EQ(report.status, BatchStatus::Done) << PathFromText(file);
        end = runner.State();
    }
    BatchReport report;
    SimState end;
};

// In the run's own 1280×800 window and a 1024×768 one seeing the same positions, no 3×3 marker
// leaves the window or touches the button row: 4 × 1095 twips ending 200 from the right edge,
// its top 1800 + 375 above the bottom.
TEST(Examples, EveryPathStaysInTheWindowAndClearOfTheButtons) {
    for (const System& sys : Systems()) {
#ifndef __OPTIMIZE__
        if (sys.bodies.size() == 11) continue;  // unoptimised, four centuries take minutes
#endif
        // The Sun circles the Earth-centred view at 1 AU, far beyond the Moon's picture.
        const int first = sys.file == u"Солнце, Земля и Луна.sav" ? 2 : 1;
        const int w[] = {1280, 1024}, h[] = {800, 768};
        int bad[] = {0, 0};  // ticks with a marker outside or on the buttons
        SimState small;
        small.TwipsPerPixelX = small.TwipsPerPixelY = 15;
        small.OriginX = 1024 * 15 / 2.0, small.OriginY = 768 * 15 * 3 / 8.0;
        const auto watch = [&](const SimState& s) {
            small.PosX = s.PosX, small.PosY = s.PosY, small.Zoom = s.Zoom;
            small.ViewBody = s.ViewBody;
            for (int i = 0; i < 2; ++i) {
                const double left = (w[i] * 15 - 4580) / 15.0, top = (h[i] * 15 - 2175) / 15.0;
                for (int b = first; b <= kBodies; ++b) {
                    if (s.BodyOn[b] != 1) continue;
                    const Pixel p = ProjectToPixel(i == 0 ? s : small, b).value_or(Pixel{-1, -1});
                    bad[i] += p.x < 0 || p.x >= w[i] || p.y < 0 || p.y >= h[i] ||
                              (p.x + 2 > left && p.x - 1 < left + 292 && p.y + 2 > top &&
                               p.y - 1 < top + 25);
                }
            }
        };
        const ExampleRun run(sys.file, watch, false, 0, w[0], h[0]);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(bad[i], 0) << PathFromText(sys.file) << " at " << w[i] << "x" << h[i];
    }
}

/// Body a's position (velocity) relative to body b as complex numbers, y upward.
std::complex<double> R(const SimState& s, int a, int b, bool velocity = false) {
    const auto &x = velocity ? s.VelX : s.PosX, &y = velocity ? s.VelY : s.PosY;
    return {x[a] - x[b], y[b] - y[a]};
}

// The published solution (AU, and √(G·M☉/AU) as speed); after one period (20 000 ticks) with the
// leapfrog start 2,4E-07 of its size from the start.
TEST(Examples, FigureEightIsThePublishedOneAndComesBackAfterOnePeriod) {
    const auto& e = std::ranges::find(Systems(), u"Восьмёрка трёх тел.sav", &System::file)->bodies;
    const double au = 1.495978707e11, speed = std::sqrt(6.6725e-11 * 1.989e30 / au);
    for (const auto& [got, published] : {std::pair{e[0].x, 0.97000436 * au},
                                         {e[0].y, -0.24308753 * au},
                                         {e[0].vx, 0.466203685 * speed},
                                         {e[2].vx, -0.93240737 * speed},
                                         {e[2].vy, -0.86473146 * speed}})
        EXPECT_NEAR(got / published, 1, 1e-12) << published;
    const ExampleRun run(u"Восьмёрка трёх тел.sav", {}, true, 20000);
    const SimState &a = run.report.start, &end = run.end;
    EXPECT_NEAR(run.report.endTime - run.report.startTime, Eight().period, a.TimeStep);
    for (int b = 1; b <= 3; ++b)
        EXPECT_LT(std::hypot(end.PosX[b] - a.PosX[b], end.PosY[b] - a.PosY[b]),
                  1e-6 * Eight().length);
}

TEST(Examples, TrojansStayNearL4AndL5ForTenJupiterOrbits) {
    // 1 Sun, 2 Jupiter, 3 and 4 at L4 (60° ahead of Jupiter), 5 and 6 at L5.
    double worst = 0;  // degrees away from the point
    const ExampleRun run(u"Троянцы Юпитера.sav", [&](const SimState& s) {
        for (int b = 3; b <= 6; ++b) {
            const double lead = std::arg(R(s, b, 1) / R(s, 2, 1)) * 180 / std::numbers::pi;
            worst = std::max(worst, std::abs(lead - (b <= 4 ? 60 : -60)));
        }
    });
    EXPECT_GE(run.report.endTime - run.report.startTime, 10 * 11.86 * kYear);
    EXPECT_LT(worst, 30);
}

TEST(Examples, CometsPerihelionSpeedAgreesWithVisViva) {
    double r = 1e300, v = 0;  // at the closest approach to the Sun
    const ExampleRun run(u"Комета Галлея.sav", [&](const SimState& s) {
        if (std::abs(R(s, 2, 1)) < r) r = std::abs(R(s, 2, 1)), v = std::abs(R(s, 2, 1, true));
    });
    const SimState& s = run.report.start;
    const double mu = G * (s.Mass[1] + s.Mass[2]);
    const double a = 1 / (2 / std::abs(R(s, 2, 1)) - std::norm(R(s, 2, 1, true)) / mu);
    EXPECT_NEAR(r / (a * (1 - 0.96714)), 1.0, 0.01) << "the run did not reach the perihelion";
    EXPECT_NEAR(v / std::sqrt(mu * (2 / r - 1 / a)), 1.0, 0.01);
}

TEST(Examples, FlybyLeavesFasterThanItCame) {
    // Body 4's speed about the Sun (1) entering and leaving 0.3 AU of Jupiter (3).
    double in = 0, out = 0;
    const ExampleRun run(u"Гравитационный манёвр у Юпитера.sav", [&](const SimState& s) {
        const bool near = std::abs(R(s, 4, 3)) < 0.3 * kAU;
        if (near && in == 0) in = std::abs(R(s, 4, 1, true));
        if (!near && in != 0 && out == 0) out = std::abs(R(s, 4, 1, true));
    });
    EXPECT_GT(out, in + 3000) << "entering at " << in;
}

}  // namespace
}  // namespace orbimo::examples
