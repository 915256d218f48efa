#include "mainwindow/GraphSamples.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orbimo {

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
}  // namespace

void GraphSamples::Sample(const MainWindowLogic& logic) {
    const std::uint64_t clears = logic.plotter().Clears();
    if (!seen_ || clears != clears_) Clear();
    seen_ = true, clears_ = clears;
    const SimState& s = logic.State();
    const RunStatus& status = logic.Status();
    if (status.state == RunState::Idle || status.ticks == 0) return;
    if (!samples_.empty() && samples_.back().time == s.SimTime) return;
    if (samples_.empty()) reference_ = status.start;
    GraphSample g;
    g.time = s.SimTime;
    const auto [velX, velY] = logic.VelocitiesInStep();
    g.totals = MeasureTotals(s, velX, velY);
    for (int b = 1; b <= std::min<int>(s.BodyCount, kBodies); ++b) {
        if (s.BodyOn[b] != 1) continue;
        const auto i = static_cast<std::size_t>(b - 1);
        g.on = static_cast<std::uint16_t>(g.on | (1u << b));
        g.x[i] = s.PosX[b], g.y[i] = s.PosY[b];
        g.speed[i] = std::hypot(velX[b], velY[b]);
    }
    Add(g);
}

void GraphSamples::Add(const GraphSample& s) {
    if (++skipped_ < stride_) return;
    skipped_ = 0;
    if (samples_.size() >= capacity_) {
        // Every other one goes; the newest are kept as often as the oldest from now on.
        for (std::size_t i = 0; 2 * i < samples_.size(); ++i) samples_[i] = samples_[2 * i];
        samples_.resize((samples_.size() + 1) / 2);
        stride_ *= 2;
    }
    samples_.push_back(s);
}

void GraphSamples::Clear() {
    samples_.clear();
    samples_.shrink_to_fit();  // the memory goes back with the picture
    stride_ = 1, skipped_ = 0;
}

std::vector<double> GraphSamples::Times() const {
    std::vector<double> t;
    t.reserve(samples_.size());
    for (const GraphSample& s : samples_) t.push_back(s.time);
    return t;
}

std::vector<GraphCurve> GraphSamples::Curves(GraphQuantity q, int a, int b) const {
    auto curve = [this](std::u16string name, auto value) {
        GraphCurve c{std::move(name), {}};
        c.values.reserve(samples_.size());
        for (const GraphSample& s : samples_) c.values.push_back(value(s));
        return c;
    };
    auto has = [](const GraphSample& s, int k) {
        return k >= 1 && k <= kBodies && (s.on >> k) & 1;
    };
    switch (q) {
        case GraphQuantity::Energy:
            return {
                curve(u"кинетическая", [](const GraphSample& s) { return s.totals.kinetic; }),
                curve(u"потенциальная", [](const GraphSample& s) { return s.totals.potential; }),
                curve(u"полная", [](const GraphSample& s) { return s.totals.Energy(); })};
        case GraphQuantity::EnergyDrift:
            return {curve(u"дрейф полной энергии", [this](const GraphSample& s) {
                return SignedEnergyDrift(reference_, s.totals);
            })};
        case GraphQuantity::AngularMomentum:
            return {curve(u"момент импульса",
                          [](const GraphSample& s) { return s.totals.angularMomentum; })};
        case GraphQuantity::AngularMomentumDrift:
            return {curve(u"дрейф момента импульса", [this](const GraphSample& s) {
                return AngularMomentumDrift(reference_, s.totals);
            })};
        case GraphQuantity::Distance:
            return {curve(u"расстояние", [&](const GraphSample& s) {
                if (!has(s, a) || !has(s, b)) return kNaN;
                const auto i = static_cast<std::size_t>(a - 1), j = static_cast<std::size_t>(b - 1);
                return std::hypot(s.x[i] - s.x[j], s.y[i] - s.y[j]);
            })};
        case GraphQuantity::Speed:
            return {curve(u"скорость", [&](const GraphSample& s) {
                return has(s, a) ? s.speed[static_cast<std::size_t>(a - 1)] : kNaN;
            })};
    }
    return {};
}

std::u16string QuantityName(GraphQuantity q) {
    switch (q) {
        case GraphQuantity::Energy:
            return u"Энергия";
        case GraphQuantity::EnergyDrift:
            return u"Дрейф полной энергии";
        case GraphQuantity::AngularMomentum:
            return u"Момент импульса";
        case GraphQuantity::AngularMomentumDrift:
            return u"Дрейф момента импульса";
        case GraphQuantity::Distance:
            return u"Расстояние между телами";
        case GraphQuantity::Speed:
            return u"Скорость тела";
    }
    return {};
}

std::u16string QuantityUnit(GraphQuantity q) {
    switch (q) {
        case GraphQuantity::Energy:
            return u"Дж";
        case GraphQuantity::AngularMomentum:
            return u"кг·м²/с";
        case GraphQuantity::Distance:
            return u"м";
        case GraphQuantity::Speed:
            return u"м/с";
        case GraphQuantity::EnergyDrift:
        case GraphQuantity::AngularMomentumDrift:
            break;
    }
    return {};
}

std::vector<std::array<double, 2>> Decimate(const std::vector<double>& x,
                                            const std::vector<double>& y, double x0, double x1,
                                            int width) {
    std::vector<std::array<double, 2>> out;
    const std::size_t n = std::min(x.size(), y.size());
    if (width < 1 || !(x1 > x0)) {
        for (std::size_t i = 0; i < n; ++i) out.push_back({x[i], y[i]});
        return out;
    }
    const double perPixel = width / (x1 - x0);
    std::size_t i = 0;
    while (i < n) {
        if (!std::isfinite(y[i]) || !std::isfinite(x[i])) {
            if (!out.empty() && !std::isnan(out.back()[1])) out.push_back({x[i], kNaN});
            ++i;
            continue;
        }
        // The finite points of one pixel column, from i up to j.
        const double column = std::floor((x[i] - x0) * perPixel);
        std::size_t j = i, low = i, high = i;
        while (j + 1 < n && std::isfinite(y[j + 1]) && std::isfinite(x[j + 1]) &&
               std::floor((x[j + 1] - x0) * perPixel) == column) {
            ++j;
            if (y[j] < y[low]) low = j;
            if (y[j] > y[high]) high = j;
        }
        std::size_t keep[4] = {i, std::min(low, high), std::max(low, high), j};
        for (std::size_t k = 0; k < 4; ++k)
            if (k == 0 || keep[k] != keep[k - 1]) out.push_back({x[keep[k]], y[keep[k]]});
        i = j + 1;
    }
    return out;
}

std::vector<double> NiceTicks(double lo, double hi, int count) {
    std::vector<double> ticks;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo) || count < 1) return ticks;
    const double raw = (hi - lo) / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double m = raw / power;
    const double step = (m <= 1 ? 1 : m <= 2 ? 2 : m <= 5 ? 5 : 10) * power;
    if (!(step > 0) || !std::isfinite(step)) return ticks;
    for (double k = std::ceil(lo / step - 1e-9); k * step <= hi + 1e-9 * step && ticks.size() < 100;
         k += 1)
        ticks.push_back(k * step == 0 ? 0 : k * step);
    return ticks;
}

}  // namespace orbimo
