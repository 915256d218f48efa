// The shipped example systems: the files are the table's, and each shows the physics it is for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>

#include "batch/BatchRunner.h"
#include "batch/ExampleSystems.h"
#include "convert/NumberText.h"
#include "core/ProjectToPixel.h"
#include "files/SystemFile.h"
#include "platform/StdFileSystem.h"

namespace orbimo {
namespace {

namespace fs = std::filesystem;
using namespace examples;

fs::path ExamplesFolder() {
    return fs::path(ORBIMO_EXAMPLES_DIR);
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::u16string> Items(std::string bytes) {
    SystemFileReader reader(std::move(bytes));
    std::vector<std::u16string> items;
    while (auto item = reader.Next()) items.push_back(*item);
    return items;
}

// With ORBIMO_WRITE_EXAMPLES=1 the test writes the files from the table instead.
TEST(Examples, ShippedFilesAreTheTablesWrittenByTheProgramsWriter) {
    const bool write = std::getenv("ORBIMO_WRITE_EXAMPLES") != nullptr;
    std::size_t files = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(ExamplesFolder()))
        files += e.path().extension() == ".sav";
    EXPECT_EQ(files, Systems().size()) << "a file in examples/Save that the table lacks";
    EXPECT_GE(Systems().size(), 8u);
    for (const System& s : Systems()) {
        const fs::path path = ExamplesFolder() / PathFromText(s.file);
        const std::string bytes = FileBytes(s);
        if (write) std::ofstream(path, std::ios::binary) << bytes;
        const std::string shipped = ReadFile(path);
        const auto want = Items(bytes), got = Items(shipped);
        ASSERT_EQ(got.size(), 84u) << PathFromText(s.file);
        // Another C library may round a sine differently in the 16th digit: numbers agree
        // to 13 digits, every other item exactly.
        for (std::size_t i = 0; i < want.size(); ++i) {
            const auto a = ЧислоИзТекста(want[i]), b = ЧислоИзТекста(got[i]);
            if (a && b && *a != 0 && want[i].find(u'.') == std::u16string::npos) {
                EXPECT_NEAR(*b / *a, 1.0, 1e-13) << PathFromText(s.file) << " item " << i + 1;
            } else {
                EXPECT_TRUE(want[i] == got[i]) << PathFromText(s.file) << " item " << i + 1;
            }
        }
        EXPECT_NE(shipped.find("\r\n"), std::string::npos);
    }
}

/// Runs an example headless, calling watch after every tick.
struct ExampleRun {
    explicit ExampleRun(const std::u16string& file, std::int64_t maxTicks = 0,
                        std::function<void(const SimState&, std::int64_t)> watch = {}) {
        BatchOptions o;
        o.systemFile = TextFromPath(ExamplesFolder() / PathFromText(file));
        o.maxTicks = maxTicks;
        BatchRunner runner(o, TextFromPath(ExamplesFolder()));
        runner.onTick = std::move(watch);
        report = runner.Run();
        messages = runner.Messages();
        end = runner.State();
        end.PixelOwner = PixelOwnerGrid{};
        picture = std::make_unique<MemorySurface>(runner.Picture());
        EXPECT_TRUE(messages.empty()) << PathFromText(file) << ": " << PathFromText(messages[0]);
    }
    BatchReport report;
    SimState end;
    std::unique_ptr<MemorySurface> picture;
    std::vector<std::u16string> messages;
};

double Distance(const SimState& s, int a, int b) {
    return std::hypot(s.PosX[a] - s.PosX[b], s.PosY[a] - s.PosY[b]);
}
double RelativeSpeed(const SimState& s, int a, int b) {
    return std::hypot(s.VelX[a] - s.VelX[b], s.VelY[a] - s.VelY[b]);
}

/// Perihelion and aphelion distances of body b about body c, from the two-body elements.
struct Apsides {
    double q, Q;
};
Apsides TwoBody(const SimState& s, int b, int c) {
    const double mu = s.GravConst * (s.Mass[b] + s.Mass[c]);
    const double rx = s.PosX[b] - s.PosX[c], ry = s.PosY[b] - s.PosY[c];
    const double vx = s.VelX[b] - s.VelX[c], vy = s.VelY[b] - s.VelY[c];
    const double r = std::hypot(rx, ry);
    const double a = 1 / (2 / r - (vx * vx + vy * vy) / mu);
    const double h = rx * vy - ry * vx;
    const double e = std::sqrt(std::max(0.0, 1 - h * h / (mu * a)));
    return {a * (1 - e), a * (1 + e)};
}

TEST(Examples, EachShowsAllItsBodiesOnAFullHdScreen) {
    // Every body taking part stays on the 1920x1080 picture nearly all the run and leaves a
    // trace there; only the Sun is off the picture when the view is on the Earth.
    for (const System& system : Systems()) {
        std::vector<std::int64_t> outside(kSlots, 0);
        const std::int64_t limit = 60'000;  // a few years at most; the pictures are drawn by then
        ExampleRun run(system.file, limit, [&](const SimState& s, std::int64_t) {
            for (int b = 1; b <= kBodies; ++b) {
                if (s.BodyOn[b] != 1) continue;
                const auto p = ProjectToPixel(s, b);
                if (!p || p->x < 0 || p->y < 0 || p->x >= 1920 || p->y >= 1080) ++outside[b];
            }
        });
        const std::string name = PathFromText(system.file).string();
        ASSERT_EQ(run.report.status, BatchStatus::Done) << name;
        const MemorySurface& pic = *run.picture;
        for (int b = 1; b <= static_cast<int>(system.bodies.size()); ++b) {
            if (system.view == 2 && b == 1) {
                EXPECT_EQ(outside[b], run.report.ticks) << name << ": the Sun is far away";
                continue;
            }
            EXPECT_LE(outside[b], run.report.ticks / 100) << name << ", body " << b;
            if (b == system.view) continue;  // it stays at the view origin and leaves no trace
            const std::uint32_t trace = MemorySurface::ToWord(run.end.BodyColor[b]);
            const auto n = std::count(pic.Words(), pic.Words() + 1920 * 1080, trace);
            EXPECT_GE(n, 20) << name << ", body " << b << ": its trace is not on the picture";
        }
    }
}

/// The angle of body b about body c, seen with y upward, in degrees.
double AngleAbout(const SimState& s, int b, int c) {
    return std::atan2(-(s.PosY[b] - s.PosY[c]), s.PosX[b] - s.PosX[c]) * 180 / std::numbers::pi;
}
double Wrap(double deg) {
    return std::remainder(deg, 360.0);
}

/// Every planet b > 1 stays between its starting perihelion and aphelion about body 1, and
/// goes round as often as Kepler's third law says.
void ExpectPlanetsKeepTheirOrbits(const std::u16string& file, int planets, double tolerance,
                                  std::int64_t maxTicks = 0) {
    const int last = planets + 1;
    std::vector<double> lo(last + 1, 1e300), hi(last + 1, 0), turned(last + 1, 0),
        angle(last + 1, 0);
    bool first = true;
    ExampleRun run(file, maxTicks, [&](const SimState& s, std::int64_t) {
        for (int b = 2; b <= last; ++b) {
            const double r = Distance(s, b, 1);
            lo[b] = std::min(lo[b], r);
            hi[b] = std::max(hi[b], r);
            const double now = AngleAbout(s, b, 1);
            if (!first) turned[b] += Wrap(now - angle[b]);
            angle[b] = now;
        }
        first = false;
    });
    ASSERT_EQ(run.report.status, BatchStatus::Done);
    const SimState& start = run.report.start;
    const double span = run.report.endTime - run.report.startTime;
    for (int b = 2; b <= last; ++b) {
        const Apsides a = TwoBody(start, b, 1);
        EXPECT_GT(lo[b], a.q * (1 - tolerance)) << "body " << b;
        EXPECT_LT(hi[b], a.Q * (1 + tolerance)) << "body " << b;
        const double semiMajor = (a.q + a.Q) / 2;
        const double period = 2 * std::numbers::pi *
                              std::sqrt(semiMajor * semiMajor * semiMajor /
                                        (start.GravConst * (start.Mass[1] + start.Mass[b])));
        // Counter-clockwise on the screen as seen from the north, roughly evenly.
        EXPECT_NEAR(turned[b] / 360, span / period, 0.05 + 0.02 * span / period) << "body " << b;
        std::printf("  body %d: q %.4e..%.4e  Q %.4e..%.4e, %.3f turns, Kepler %.3f\n", b, a.q,
                    lo[b], a.Q, hi[b], turned[b] / 360, span / period);
    }
    std::printf("  ticks %lld, energy drift %.3e, wall %.3f s\n",
                static_cast<long long>(run.report.ticks),
                EnergyDrift(run.report.before, run.report.after), run.report.wallSeconds);
}

TEST(Examples, InnerPlanetsKeepTheirOrbits) {
    ExpectPlanetsKeepTheirOrbits(u"Внутренние планеты.sav", 4, 0.01);
}

TEST(Examples, OuterPlanetsKeepTheirOrbits) {
    ExpectPlanetsKeepTheirOrbits(u"Внешние планеты.sav", 4, 0.03);
}

TEST(Examples, WholeSolarSystemKeepsItsOrbitsForFiveYears) {
    ExpectPlanetsKeepTheirOrbits(u"Солнечная система.sav", 10, 0.03, 5 * 8766);
}

TEST(Examples, MoonStaysBoundToTheEarthForAYear) {
    double lo = 1e300, hi = 0, worstEnergy = -1e300;
    ExampleRun run(u"Солнце, Земля и Луна.sav", 0, [&](const SimState& s, std::int64_t) {
        const double d = Distance(s, 3, 2);
        const double v = RelativeSpeed(s, 3, 2);
        lo = std::min(lo, d);
        hi = std::max(hi, d);
        // Energy of the Moon's motion about the Earth: negative while it is bound.
        worstEnergy = std::max(worstEnergy, v * v / 2 - s.GravConst * (s.Mass[2] + s.Mass[3]) / d);
    });
    ASSERT_EQ(run.report.status, BatchStatus::Done);
    EXPECT_GE(run.report.endTime - run.report.startTime, kYear - kDay);
    EXPECT_LT(worstEnergy, 0);
    EXPECT_GT(lo, 3.4e8);
    EXPECT_LT(hi, 4.3e8);
    std::printf("  Moon %.4e..%.4e m, worst energy %.4e, ticks %lld, wall %.3f s\n", lo, hi,
                worstEnergy, static_cast<long long>(run.report.ticks), run.report.wallSeconds);
}

TEST(Examples, CircumbinaryPlanetStaysInItsOrbit) {
    double lo = 1e300, hi = 0, slo = 1e300, shi = 0;
    ExampleRun run(u"Двойная звезда с планетой.sav", 0, [&](const SimState& s, std::int64_t) {
        // The centre of mass stays at the origin.
        const double mass = s.Mass[1] + s.Mass[2] + s.Mass[3];
        const double cx =
            (s.Mass[1] * s.PosX[1] + s.Mass[2] * s.PosX[2] + s.Mass[3] * s.PosX[3]) / mass;
        const double cy =
            (s.Mass[1] * s.PosY[1] + s.Mass[2] * s.PosY[2] + s.Mass[3] * s.PosY[3]) / mass;
        const double r = std::hypot(s.PosX[3] - cx, s.PosY[3] - cy);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
        slo = std::min(slo, Distance(s, 1, 2));
        shi = std::max(shi, Distance(s, 1, 2));
    });
    ASSERT_EQ(run.report.status, BatchStatus::Done);
    EXPECT_GT(lo, 0.9 * kAU);
    EXPECT_LT(hi, 1.1 * kAU);
    EXPECT_GT(slo, 0.24 * kAU);
    EXPECT_LT(shi, 0.26 * kAU);
    std::printf("  planet %.4f..%.4f AU, stars %.4f..%.4f AU, ticks %lld, wall %.3f s\n", lo / kAU,
                hi / kAU, slo / kAU, shi / kAU, static_cast<long long>(run.report.ticks),
                run.report.wallSeconds);
}

TEST(Examples, FigureEightComesBackAfterOnePeriod) {
    const EightUnits u = Eight();
    double closest = 1e300, farthest = 0;
    double x0 = 0, y0 = 0;
    ExampleRun run(u"Восьмёрка трёх тел.sav", 0, [&](const SimState& s, std::int64_t tick) {
        if (tick == 1) x0 = s.PosX[1], y0 = s.PosY[1];
        closest = std::min({closest, Distance(s, 1, 2), Distance(s, 1, 3), Distance(s, 2, 3)});
        farthest = std::max(farthest, std::hypot(s.PosX[1] - x0, s.PosY[1] - y0));
    });
    ASSERT_EQ(run.report.status, BatchStatus::Done);
    const SimState& start = run.report.start;
    const SimState& end = run.end;
    // The file's run is one period long, to within a step.
    EXPECT_NEAR(run.report.endTime - run.report.startTime, u.period, start.TimeStep);
    double worst = 0;
    for (int b = 1; b <= 3; ++b) {
        const double d = std::hypot(end.PosX[b] - start.PosX[b], end.PosY[b] - start.PosY[b]);
        const double dv = std::hypot(end.VelX[b] - start.VelX[b], end.VelY[b] - start.VelY[b]);
        worst = std::max(worst, d);
        EXPECT_LT(d, 0.01 * u.length) << "body " << b;
        EXPECT_LT(dv, 0.01 * u.speed) << "body " << b;
    }
    // On the way it crossed to the other loop of the eight, and no two came close.
    EXPECT_GT(farthest, 1.5 * u.length);
    EXPECT_GT(closest, 0.3 * u.length);
    std::printf(
        "  back within %.2e of the length unit; %.2f away at most; closest pair %.3f; "
        "ticks %lld, wall %.3f s\n",
        worst / u.length, farthest / u.length, closest / u.length,
        static_cast<long long>(run.report.ticks), run.report.wallSeconds);
}

TEST(Examples, TrojansStayNearL4AndL5ForTenJupiterOrbits) {
    // Bodies: 1 Sun, 2 Jupiter, 3 and 4 at L4, 5 and 6 at L5.
    double lo[7], hi[7], rlo[7], rhi[7];
    for (int b = 0; b < 7; ++b) lo[b] = rlo[b] = 1e300, hi[b] = rhi[b] = -1e300;
    double turned = 0, last = 0;
    std::int64_t previous = 0;
    ExampleRun run(u"Троянцы Юпитера.sav", 0, [&](const SimState& s, std::int64_t tick) {
        const double jupiter = AngleAbout(s, 2, 1);
        if (previous > 0) turned += Wrap(jupiter - last);
        last = jupiter;
        previous = tick;
        const double a = Distance(s, 2, 1);
        for (int b = 3; b <= 6; ++b) {
            const double lead = Wrap(AngleAbout(s, b, 1) - jupiter);
            lo[b] = std::min(lo[b], lead);
            hi[b] = std::max(hi[b], lead);
            rlo[b] = std::min(rlo[b], Distance(s, b, 1) / a);
            rhi[b] = std::max(rhi[b], Distance(s, b, 1) / a);
        }
    });
    ASSERT_EQ(run.report.status, BatchStatus::Done);
    EXPECT_GE(turned, 10 * 360.0 - 1) << "the run covers ten orbits of Jupiter";
    for (int b = 3; b <= 6; ++b) {
        const double centre = b <= 4 ? 60 : -60;
        std::printf("  body %d: %.2f..%.2f deg from Jupiter, %.4f..%.4f of its distance\n", b,
                    lo[b], hi[b], rlo[b], rhi[b]);
        EXPECT_GT(lo[b], centre - 30) << "body " << b;
        EXPECT_LT(hi[b], centre + 30) << "body " << b;
        EXPECT_GT(rlo[b], 0.95) << "body " << b;
        EXPECT_LT(rhi[b], 1.05) << "body " << b;
    }
    std::printf("  turned %.1f orbits, ticks %lld, wall %.3f s\n", turned / 360,
                static_cast<long long>(run.report.ticks), run.report.wallSeconds);
}

TEST(Examples, FlybyLeavesFasterThanItCame) {
    // Bodies: 1 Sun, 2 Earth, 3 Jupiter, 4 the probe. Speeds about the Sun, taken where the
    // probe enters and leaves a sphere of 0.3 AU about Jupiter.
    const double sphere = 0.3 * kAU;
    double in = 0, out = 0, closest = 1e300;
    bool inside = false;
    ExampleRun run(u"Гравитационный манёвр у Юпитера.sav", 0, [&](const SimState& s, std::int64_t) {
        const double d = Distance(s, 4, 3);
        closest = std::min(closest, d);
        if (!inside && in == 0 && d < sphere) {
            inside = true;
            in = RelativeSpeed(s, 4, 1);
        } else if (inside && d > sphere) {
            inside = false;
            out = RelativeSpeed(s, 4, 1);
        }
    });
    ASSERT_EQ(run.report.status, BatchStatus::Done);
    ASSERT_GT(in, 0) << "the probe never came near Jupiter";
    ASSERT_GT(out, 0) << "the probe never left Jupiter";
    EXPECT_GT(out, in + 3000);
    EXPECT_GT(closest, 7.1492e7) << "it would have hit Jupiter";
    // It leaves the Solar System: positive energy about the Sun at the end.
    const SimState& e = run.end;
    const double v = RelativeSpeed(e, 4, 1);
    EXPECT_GT(v * v / 2 - e.GravConst * e.Mass[1] / Distance(e, 4, 1), 0);
    std::printf("  in %.0f m/s, out %.0f m/s, closest %.3e m, ticks %lld, wall %.3f s\n", in, out,
                closest, static_cast<long long>(run.report.ticks), run.report.wallSeconds);
}

TEST(Examples, CometsPerihelionSpeedAgreesWithVisViva) {
    // Bodies: 1 Sun, 2 the comet. The semi-major axis from the start; speed at the closest
    // approach against vis-viva v² = GM (2/r − 1/a).
    double closest = 1e300, speedThere = 0;
    ExampleRun run(u"Комета Галлея.sav", 0, [&](const SimState& s, std::int64_t) {
        const double d = Distance(s, 2, 1);
        if (d < closest) {
            closest = d;
            speedThere = RelativeSpeed(s, 2, 1);
        }
    });
    ASSERT_EQ(run.report.status, BatchStatus::Done);
    const SimState& s = run.report.start;
    const double mu = s.GravConst * (s.Mass[1] + s.Mass[2]);
    const double r0 = Distance(s, 2, 1), v0 = RelativeSpeed(s, 2, 1);
    const double a = 1 / (2 / r0 - v0 * v0 / mu);
    const double visViva = std::sqrt(mu * (2 / closest - 1 / a));
    const Apsides ap = TwoBody(s, 2, 1);
    EXPECT_NEAR(speedThere / visViva, 1.0, 0.01);
    EXPECT_NEAR(closest / ap.q, 1.0, 0.01);
    EXPECT_GT(ap.Q / ap.q, 50) << "a highly eccentric orbit";
    std::printf(
        "  perihelion %.4e m (q %.4e), speed %.1f m/s, vis-viva %.1f m/s, ticks %lld, wall %.3f "
        "s\n",
        closest, ap.q, speedThere, visViva, static_cast<long long>(run.report.ticks),
        run.report.wallSeconds);
}

}  // namespace
}  // namespace orbimo
