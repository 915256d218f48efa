#include "mainwindow/EqualAreas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/OrbitalElements.h"

namespace orbimo {

namespace {

/// The cubic through a and b with their velocities, at time t between them.
std::array<double, 2> Hermite(double ta, double tb, const double a[4], const double b[4],
                              double t) {
    const double d = tb - ta, s = (t - ta) / d, s2 = s * s, s3 = s2 * s;
    const double h00 = 2 * s3 - 3 * s2 + 1, h10 = s3 - 2 * s2 + s, h01 = 3 * s2 - 2 * s3,
                 h11 = s3 - s2;
    return {h00 * a[0] + h10 * d * a[2] + h01 * b[0] + h11 * d * b[2],
            h00 * a[1] + h10 * d * a[3] + h01 * b[1] + h11 * d * b[3]};
}

}  // namespace

void EqualAreas::Start(int count) {
    count_ = std::max(count, 1);
    spanTime_ = 0, open_ = false, first_ = true;
    sectors_.clear();
}

void EqualAreas::Add(double t, double mu, double x, double y, double vx, double vy) {
    const Point p{t, x, y, vx, vy};
    if (first_) {
        first_ = false;
        const auto o = ElementsOf(mu, x, y, vx, vy);
        open_ = !o || !o->Closed();
        if (open_) return;
        spanTime_ = o->period / count_;
        start_ = swept_ = t;
        last_ = p;
        sectors_.push_back({0, {{x, y}}, 0, false});
        return;
    }
    if (open_ || !(t > last_.t) || !std::isfinite(t)) return;
    for (;;) {
        const double end = start_ + static_cast<double>(sectors_.back().index + 1) * spanTime_;
        if (end > t) break;
        SweepTo(p, end);
        sectors_.back().complete = true;
        sectors_.push_back({sectors_.back().index + 1, {sectors_.back().path.back()}, 0, false});
        if (sectors_.size() > static_cast<std::size_t>(count_)) sectors_.pop_front();
    }
    SweepTo(p, t);
    last_ = p;
}

void EqualAreas::SweepTo(const Point& p, double until) {
    if (!(until > swept_)) return;
    const double a[4] = {last_.x, last_.y, last_.vx, last_.vy}, b[4] = {p.x, p.y, p.vx, p.vy};
    const double ha = last_.x * last_.vy - last_.y * last_.vx, hb = p.x * p.vy - p.y * p.vx;
    auto h = [&](double t) { return ha + (hb - ha) * (t - last_.t) / (p.t - last_.t); };
    // ½·∫h dt by the trapezoid, h taken as straight between the samples: exact while nothing
    // but the centre pulls, when h does not change.
    AreaSector& s = sectors_.back();
    s.area += 0.25 * (h(swept_) + h(until)) * (until - swept_);
    // Points along the cubic, about two degrees of turn apart.
    const double r2 = std::min(last_.x * last_.x + last_.y * last_.y, p.x * p.x + p.y * p.y);
    const double turn = std::fabs(std::max(std::fabs(ha), std::fabs(hb)) / r2 * (until - swept_));
    const double steps = turn / (std::numbers::pi / 90);
    const int pieces = !(steps < 64) ? 64 : std::max(1, static_cast<int>(std::ceil(steps)));
    for (int k = 1; k <= pieces; ++k)
        s.path.push_back(k == pieces && until == p.t
                             ? std::array<double, 2>{p.x, p.y}
                             : Hermite(last_.t, p.t, a, b, swept_ + (until - swept_) * k / pieces));
    swept_ = until;
}

}  // namespace orbimo
