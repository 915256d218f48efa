#include "mainwindow/Overlay.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "convert/DateTimeText.h"
#include "convert/NumberText.h"

namespace orbimo {

namespace {

std::u16string StateText(const RunStatus& status) {
    switch (status.state) {
        case RunState::Running:
            return status.noStopDate ? u"идёт (без даты остановки)" : u"идёт";
        case RunState::TimerReached:
            return u"остановлен по таймеру";
        case RunState::Fault:
            return u"остановлен: ошибка расчёта";
        case RunState::Idle:
        case RunState::Stopped:
            break;
    }
    return u"остановлен";
}

std::u16string ViewName(const MainWindowLogic& logic) {
    auto caption = [&logic](int b) -> std::u16string {
        if (b < 1 || b > kBodies) return u"—";
        return logic.Params().bodies[static_cast<std::size_t>(b)].caption;
    };
    // The bodies a run draws, or before it those the fields have taking part.
    const BodyMask on =
        logic.Running() ? TakingPart(logic.State()) : BodiesInFields(logic.Params()).on;
    const Frame f = DrawnFrame(logic.View().CurrentFrame(), on);
    if (f.kind == FrameKind::CentreOfMass) return u"центр масс";
    if (f.kind == FrameKind::Rotating)
        return u"вращается с линией " + caption(f.a) + u"–" + caption(f.b);
    const int v = logic.State().ViewBody;
    return v == 0 ? u"начало координат" : caption(v);
}

}  // namespace

void RateMeter::Sample(double now, const MainWindowLogic& logic) {
    const RunStatus& status = logic.Status();
    const double sim = logic.State().SimTime;
    const bool fresh = status.state != stateAt_ || status.ticks < ticksAt_ || since_ < 0;
    stateAt_ = status.state;
    if (status.state != RunState::Running || fresh) {
        if (status.state != RunState::Running) ticksPerSecond_ = simPerSecond_ = 0;
        since_ = now;
        ticksAt_ = status.ticks;
        simAt_ = sim;
        return;
    }
    const double dt = now - since_;
    if (dt < 0.5) return;
    ticksPerSecond_ = static_cast<double>(status.ticks - ticksAt_) / dt;
    simPerSecond_ = (sim - simAt_) / dt;
    since_ = now;
    ticksAt_ = status.ticks;
    simAt_ = sim;
}

std::u16string SimRateText(double v) {
    struct Unit {
        double seconds;
        const char16_t* name;
    };
    static constexpr std::array<Unit, 5> kUnits = {{{1, u"с/с"},
                                                    {60, u"мин/с"},
                                                    {3600, u"ч/с"},
                                                    {kDaySeconds, u"сут/с"},
                                                    {kYearSeconds, u"лет/с"}}};
    Unit unit = kUnits[0];
    for (const Unit& u : kUnits)
        if (std::fabs(v) >= u.seconds) unit = u;
    return ShortNumber(v / unit.seconds, 3) + u" " + unit.name;
}

std::optional<ScaleBar> ScaleBarFor(double metresPerPixel, int pictureWidth) {
    const double target = metresPerPixel * pictureWidth / 5;
    if (!(target > 0) || !std::isfinite(target)) return std::nullopt;
    struct Unit {
        double metres;
        const char16_t* name;
    };
    // Kilometres up to a million of them, then millions, then astronomical units.
    const Unit unit = target < 1e3      ? Unit{1, u"м"}
                      : target < 1e9    ? Unit{1e3, u"км"}
                      : target < 7.5e10 ? Unit{1e9, u"млн км"}
                                        : Unit{kAstroUnitMetres, u"а. е."};
    const double value = target / unit.metres;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    const double m = value / power;
    const double round = (m < 1.5 ? 1 : m < 3.5 ? 2 : m < 7.5 ? 5 : 10) * power;
    ScaleBar bar;
    bar.pixels = static_cast<int>(std::lround(round * unit.metres / metresPerPixel));
    bar.text =
        (round >= 1 && round < 1e15 ? GroupedInteger(std::llround(round)) : FormatNumber(round)) +
        u" " + unit.name;
    return bar;
}

RunWarnings CheckRun(const MainWindowLogic& logic) {
    RunWarnings w;
    if (logic.Status().state == RunState::Idle) return w;
    w.drift = EnergyDrift(logic.Status().start, logic.CurrentTotals());
    w.driftHigh = w.drift > kDriftWarning;
    const auto [a, b] = CoarsestPair(logic.State());
    const auto& rows = logic.Params().bodies;
    if (a != 0)
        w.pair = rows[static_cast<std::size_t>(a)].caption + u"–" +
                 rows[static_cast<std::size_t>(b)].caption;
    return w;
}

std::u16string DriftWarningText(double drift) {
    return u"дрейф энергии " + ShortNumber(drift, 2) + u" больше " + ShortNumber(kDriftWarning, 1) +
           u": шаг, вероятно, слишком велик";
}

std::u16string PairWarningText(const std::u16string& pair) {
    return u"шаг слишком велик для пары " + pair;
}

FieldBodies BodiesInFields(const ParamsModel& params) {
    FieldBodies f;
    for (int b = 1; b <= kBodies; ++b) {
        const BodyRow& row = params.bodies[static_cast<std::size_t>(b)];
        const auto x = ParseNumber(row.x.text), y = ParseNumber(row.y.text);
        const auto m = ParseNumber(row.mass.text);
        if (!x || !y || !m) continue;
        f.x[b] = *x, f.y[b] = *y, f.mass[b] = *m;
        if (row.state == 1) f.on = static_cast<BodyMask>(f.on | (1u << b));
    }
    return f;
}

namespace {

/// A toolkit that tells nothing: the layers read a date the user may still be typing.
class Silent final : public Toolkit {
  public:
    void MessageBox(const std::u16string&) override {}
    std::u16string InputBox(const std::u16string&, const std::u16string&,
                            const std::u16string&) override {
        return {};
    }
    void DispatchPendingEvents() override {}
    [[noreturn]] void EndProgram() override { std::abort(); }
};

std::u16string PaceText(const MainWindowLogic& logic, bool running) {
    const int pace = logic.Pace().Pace();
    if (pace != kAutoPace) return kPaceNames[static_cast<std::size_t>(pace)];
    double rate = logic.Pace().Rate();
    if (!running) {
        // What «авто» will choose for the run «Пуск» starts now.
        Silent quiet;
        const double stop = ParseDate(logic.Params().stopDate.text, quiet);
        rate = PaceClock::AutoRate(stop > logic.State().SimTime ? stop - logic.State().SimTime : 0);
    }
    std::u16string text = SimRateText(rate);
    for (std::size_t i = 1; i < kPaces.size(); ++i)
        if (kPaces[i] == rate) text = kPaceNames[i];  // a rung's own name: "1 год/с"
    return std::u16string(kAutoPaceName) + u" (" + text + u")";
}

}  // namespace

Overlay BuildOverlay(const MainWindowLogic& logic, const OverlayOptions& options,
                     const RateMeter& rates) {
    Overlay o;
    const SimState& s = logic.State();
    const RunStatus& status = logic.Status();
    const bool running = logic.Running();
    if (options.readout) {
        o.readout.push_back({FormatDate(s.SimTime)});
        o.readout.push_back({StateText(status)});
        o.readout.push_back({u"Скорость: " + PaceText(logic, running)});
        o.readout.push_back(
            {u"Тактов в секунду: " +
             (running ? GroupedInteger(std::llround(rates.TicksPerSecond())) : u"—")});
        o.readout.push_back(
            {u"Модельное время: " + (running ? SimRateText(rates.SimSecondsPerSecond()) : u"—")});
        const RunWarnings w = CheckRun(logic);
        o.readout.push_back(
            {u"Дрейф энергии: " +
                 (status.state == RunState::Idle ? std::u16string(u"—") : ShortNumber(w.drift, 2)) +
                 (w.driftHigh ? u" — шаг, вероятно, слишком велик" : u""),
             w.driftHigh});
        o.readout.push_back({u"Вид: " + ViewName(logic)});
        if (running ? status.leapfrog : logic.Leapfrog())
            o.readout.push_back({u"Точный старт (leapfrog)"});
        if (!w.pair.empty()) o.readout.push_back({u"Шаг слишком велик для пары " + w.pair, true});
        if (!options.hint.empty()) o.readout.push_back({options.hint});
    }
    const auto& rows = logic.Params().bodies;
    o.markerSize = options.markerSize;
    if (options.bodies && !running) {
        // No run draws them: where the fields put them, in the frame shown. A marker standing
        // elsewhere (parked by a clear, or the position since edited) is shown as what it covers.
        const FieldBodies f = BodiesInFields(logic.Params());
        const FrameTransform t =
            TransformOf(logic.View().CurrentFrame(), f.mass, s.ViewBody, f.x, f.y, f.on);
        for (int b = 1; b <= kBodies; ++b) {
            if (!(f.on & (1u << b))) continue;
            const auto p = PixelIn(s, t, f.x, f.y, b);
            if (!p) continue;
            if (options.labels) o.labels.push_back({p->x, p->y, rows[b].caption, s.BodyColor[b]});
            const std::int32_t mx = s.MarkerStore[11 * b - 10], my = s.MarkerStore[11 * b - 9];
            const bool shown = logic.plotter().MarkerShown(b);
            if (shown && mx == p->x && my == p->y && options.markerSize <= 3) continue;
            o.bodies.push_back({p->x, p->y});
            if (shown && (mx != p->x || my != p->y)) {
                CoveredMarker c{mx, my, {}};
                std::copy_n(&s.MarkerStore[11 * b - 8], 9, c.under.begin());
                o.covered.push_back(c);
            }
        }
    } else {
        for (int b = 1; b <= s.BodyCount; ++b) {
            // Markers parked in the corner after a clear wait for the run to place them.
            const std::int32_t x = s.MarkerStore[11 * b - 10], y = s.MarkerStore[11 * b - 9];
            if (s.BodyOn[b] != 1 || (x == 0 && y == 0)) continue;
            if (options.markerSize > 3) o.bodies.push_back({x, y});
            if (options.labels) o.labels.push_back({x, y, rows[b].caption, s.BodyColor[b]});
        }
    }
    if (options.labels)
        for (int b = 1; b <= s.BodyCount; ++b)
            if (rows[b].state == 1) o.legend.push_back({rows[b].caption, s.BodyColor[b]});
    if (options.scaleBar)
        o.scaleBar =
            ScaleBarFor(std::fabs(s.Zoom) * s.TwipsPerPixelX, s.PixelOwner.LastColumn() + 1);
    if (options.date) o.date = FormatDate(s.SimTime);
    return o;
}

}  // namespace orbimo
