#include "batch/Accuracy.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

#include "batch/BatchRunner.h"
#include "convert/NumberText.h"
#include "core/OrbitalElements.h"

namespace orbimo {

namespace {

constexpr int kFiner = 16;  // the reference run's step is this many times shorter

struct Outcome {
    BatchReport report;
    SimState end;
    ParamsModel* params = nullptr;
    std::unique_ptr<BatchRunner> runner;
};

/// One example run to its stop date (or `ticks`), with the step divided by `finer`.
Outcome RunExample(const std::u16string& file, bool leapfrog, int finer, std::int64_t ticks) {
    BatchOptions o;
    o.systemFile = file;
    o.leapfrog = leapfrog;
    o.maxTicks = ticks;
    o.width = o.height = 64;  // drawing costs next to nothing
    Outcome out;
    out.runner = std::make_unique<BatchRunner>(o, u".");
    BatchRunner& runner = *out.runner;
    if (finer > 1)
        runner.beforeRun = [&runner, finer](const BatchReport& r) {
            // "Пуск" reads the fields again: the shorter step is the one the run takes.
            runner.Params().timeStep.text = FormatNumber(r.start.TimeStep / finer);
        };
    out.report = runner.Run();
    out.end = runner.State();
    out.params = &runner.Params();
    return out;
}

int BodyNamed(const Outcome& o, const std::u16string& name) {
    for (int b = 1; b <= kBodies; ++b)
        if (o.params->bodies[static_cast<std::size_t>(b)].caption == name) return b;
    return 0;
}

/// |(a − b) − (a − b) of the reference| / |(a − b) of the reference|.
double RelativeError(const SimState& s, const SimState& ref, int a, int b) {
    const double rx = ref.PosX[a] - ref.PosX[b], ry = ref.PosY[a] - ref.PosY[b];
    return std::hypot(s.PosX[a] - s.PosX[b] - rx, s.PosY[a] - s.PosY[b] - ry) / std::hypot(rx, ry);
}

/// The largest distance of a body from where it started, against the largest distance of a
/// body from the centre of mass at the start.
double ReturnError(const SimState& start, const SimState& end) {
    double m = 0, cx = 0, cy = 0, size = 0, away = 0;
    for (int b = 1; b <= kBodies; ++b)
        if (start.BodyOn[b] == 1)
            m += start.Mass[b], cx += start.Mass[b] * start.PosX[b],
                cy += start.Mass[b] * start.PosY[b];
    for (int b = 1; b <= kBodies; ++b) {
        if (start.BodyOn[b] != 1) continue;
        size = std::max(size, std::hypot(start.PosX[b] - cx / m, start.PosY[b] - cy / m));
        away = std::max(away, std::hypot(end.PosX[b] - start.PosX[b], end.PosY[b] - start.PosY[b]));
    }
    return away / size;
}

/// How far body a ends from where Kepler's equation puts it about body b, the two alone, against
/// the orbit's semi-major axis.
double KeplerError(const SimState& start, const SimState& end, int a, int b) {
    const double mu = start.GravConst * (start.Mass[a] + start.Mass[b]);
    const double x = start.PosX[a] - start.PosX[b], y = start.PosY[a] - start.PosY[b];
    const double vx = start.VelX[a] - start.VelX[b], vy = start.VelY[a] - start.VelY[b];
    const std::optional<OrbitalElements> o = ElementsOf(mu, x, y, vx, vy);
    double kx = 0, ky = 0;
    if (!o || !KeplerPosition(mu, x, y, vx, vy, end.SimTime - start.SimTime, kx, ky))
        return std::numeric_limits<double>::quiet_NaN();
    return std::hypot(end.PosX[a] - end.PosX[b] - kx, end.PosY[a] - end.PosY[b] - ky) / o->a;
}

}  // namespace

bool MeasureAccuracy(const std::u16string& folder,
                     const std::function<void(const AccuracyRow&)>& onRow, std::u16string& reason) {
    auto path = [&](const char16_t* name) { return folder + kPathSeparator + name; };
    auto ok = [&](const Outcome& o, const char16_t* name) {
        if (o.report.status == BatchStatus::Done) return true;
        reason = u"пример «" + std::u16string(name) + u"» не посчитан";
        for (const std::u16string& m : o.runner->Messages()) reason += u": " + m;
        return false;
    };
    {
        // One period of 20 000 ticks: an exact solution comes back to where it started.
        const char16_t* eight = u"Восьмёрка трёх тел.sav";
        const Outcome plain = RunExample(path(eight), false, 1, 20000),
                      leap = RunExample(path(eight), true, 1, 20000);
        if (!ok(plain, eight) || !ok(leap, eight)) return false;
        onRow({u"Восьмёрка трёх тел, один период (20 000 тактов)",
               u"удаление от начала / размер фигуры (точное решение возвращается)",
               ReturnError(plain.report.start, plain.end),
               ReturnError(leap.report.start, leap.end)});
    }
    {
        // Two bodies: Kepler's equation says where the comet is when each run ends.
        const char16_t* comet = u"Комета Галлея.sav";
        const Outcome plain = RunExample(path(comet), false, 1, 0),
                      leap = RunExample(path(comet), true, 1, 0);
        if (!ok(plain, comet) || !ok(leap, comet)) return false;
        onRow({u"Комета Галлея, один оборот, шаг длины 3E+07 м",
               u"ошибка положения кометы относительно Солнца (по уравнению Кеплера) / большая "
               u"полуось",
               KeplerError(plain.report.start, plain.end, BodyNamed(plain, u"Комета"),
                           BodyNamed(plain, u"Солнце")),
               KeplerError(leap.report.start, leap.end, BodyNamed(leap, u"Комета"),
                           BodyNamed(leap, u"Солнце"))});
    }
    struct Case {
        const char16_t *file, *system, *body, *from, *measure;
    };
    const Case cases[] = {
        {u"Солнце, Земля и Луна.sav", u"Солнце, Земля и Луна, год, шаг 600 с", u"Луна", u"Земля",
         u"ошибка положения Луны относительно Земли / расстояние"},
        {u"Солнечная система.sav", u"Солнечная система, 400 лет, шаг 1 ч", u"Меркурий", u"Солнце",
         u"ошибка положения Меркурия относительно Солнца / расстояние"},
    };
    for (const Case& c : cases) {
        const Outcome plain = RunExample(path(c.file), false, 1, 0),
                      leap = RunExample(path(c.file), true, 1, 0),
                      ref = RunExample(path(c.file), true, kFiner, 0);
        if (!ok(plain, c.file) || !ok(leap, c.file) || !ok(ref, c.file)) return false;
        const int a = BodyNamed(ref, c.body), b = BodyNamed(ref, c.from);
        onRow({c.system, c.measure, RelativeError(plain.end, ref.end, a, b),
               RelativeError(leap.end, ref.end, a, b)});
        onRow({c.system, u"относительный дрейф полной энергии",
               EnergyDrift(plain.report.before, plain.report.after),
               EnergyDrift(leap.report.before, leap.report.after)});
    }
    return true;
}

std::u16string AccuracyHead() {
    return u"| пример | величина | обычный старт | точный старт (leapfrog) |\n"
           u"| --- | --- | --- | --- |\n";
}

std::u16string AccuracyLine(const AccuracyRow& row) {
    return u"| " + row.system + u" | " + row.measure + u" | " + ShortNumber(row.plain, 2) + u" | " +
           ShortNumber(row.leapfrog, 2) + u" |\n";
}

}  // namespace orbimo
