#include "mainwindow/VelocityArrows.h"

#include <cmath>

#include "convert/NumberText.h"

namespace orbimo {

namespace {
bool Has(BodyMask m, int b) {
    return (m >> b) & 1u;
}
}  // namespace

PlacedVelocities VelocitiesFromFields(const ParamsModel& params) {
    PlacedVelocities v;
    for (int b = 1; b <= kBodies; ++b) {
        const BodyRow& row = params.bodies[static_cast<std::size_t>(b)];
        const auto vx = ParseNumber(row.vx.text), vy = ParseNumber(row.vy.text);
        if (!vx || !vy) continue;
        v.vx[b] = *vx, v.vy[b] = *vy;
        v.known = static_cast<BodyMask>(v.known | (1u << b));
    }
    return v;
}

VelocityArrows::VelocityArrows(const PictureCoordinates& coordinates, const SimState& view,
                               const Frame& frame, const PlacedBodies& bodies,
                               const PlacedVelocities& velocities, double per100)
    : coordinates_(coordinates), bodies_(bodies), v_(velocities), per100_(per100) {
    const BodyMask on = static_cast<BodyMask>(bodies.on & bodies.known & velocities.known);
    t_ = TransformOf(frame, bodies.mass, view.ViewBody, bodies.x, bodies.y, on);
    sign_ = view.Zoom < 0 ? -1 : 1;
    // The centre's velocity: weighted like the centre itself (TransformOf), a plain mean when
    // the bodies weigh nothing.
    auto mean = [&](BodyMask mask) {
        double m = 0, mx = 0, my = 0, sx = 0, sy = 0;
        int n = 0;
        for (int b = 1; b <= kBodies; ++b) {
            if (!Has(mask, b)) continue;
            m += bodies.mass[b], mx += bodies.mass[b] * v_.vx[b], my += bodies.mass[b] * v_.vy[b];
            sx += v_.vx[b], sy += v_.vy[b], ++n;
        }
        if (m != 0 && std::isfinite(mx / m) && std::isfinite(my / m))
            return std::pair(mx / m, my / m);
        return n > 0 ? std::pair(sx / n, sy / n) : std::pair(0.0, 0.0);
    };
    switch (t_.kind) {
        case FrameKind::Body:
            centre_ = {v_.vx[t_.view], v_.vy[t_.view]};
            break;
        case FrameKind::CentreOfMass:
            centre_ = mean(on);
            break;
        case FrameKind::Rotating:
            centre_ = mean(static_cast<BodyMask>((1u << frame.a) | (1u << frame.b)));
            break;
    }
    double fastest = 0;
    for (int b = 1; b <= kBodies; ++b) {
        if (!Has(on, b)) continue;
        const auto [cx, cy] = CentreVelocity(b);
        fastest = std::max(fastest, std::hypot(v_.vx[b] - cx, v_.vy[b] - cy));
    }
    if (per100_ <= 0) {
        if (!(fastest > 0) || !std::isfinite(fastest)) return;
        // The smallest 1, 2 or 5 × 10ⁿ m/s not below the fastest: its arrow 40 to 100 pixels.
        const double power = std::pow(10.0, std::floor(std::log10(fastest)));
        per100_ = 10 * power;
        for (double m : {1.0, 2.0, 5.0})
            if (m * power >= fastest) {
                per100_ = m * power;
                break;
            }
    }
    for (int b = 1; b <= kBodies; ++b) {
        if (!Has(on, b)) continue;
        const auto tail = coordinates_.PixelOf({bodies.x[b], bodies.y[b]});
        if (!tail) continue;
        const auto [cx, cy] = CentreVelocity(b);
        const double vx = v_.vx[b] - cx, vy = v_.vy[b] - cy;
        // Along the frame's axes, as FrameOffset turns positions.
        const double along = vx * t_.ux + vy * t_.uy, across = vy * t_.ux - vx * t_.uy;
        const double k = 100 / per100_ * sign_;
        arrows_.push_back({b, *tail,
                           Pixel{tail->x + static_cast<std::int32_t>(std::lround(along * k)),
                                 tail->y + static_cast<std::int32_t>(std::lround(across * k))}});
    }
}

std::pair<double, double> VelocityArrows::CentreVelocity(int b) const {
    if (t_.kind == FrameKind::Body && b == t_.view) return {0, 0};
    return centre_;
}

std::u16string VelocityArrows::ScaleText() const {
    if (per100_ == 0) return {};
    const bool km = per100_ >= 1000;
    return u"100 пикс. — " + FormatNumber(km ? per100_ / 1000 : per100_) +
           (km ? u" км/с" : u" м/с");
}

std::optional<std::pair<double, double>> VelocityArrows::VelocityAt(int b, Pixel p) const {
    if (per100_ == 0 || b < 1 || b > kBodies) return std::nullopt;
    const auto tail = coordinates_.PixelOf({bodies_.x[b], bodies_.y[b]});
    if (!tail) return std::nullopt;
    const double k = 100 / per100_ * sign_;
    const double along = (p.x - tail->x) / k, across = (p.y - tail->y) / k;
    // The frame's axes turned back.
    const auto [cx, cy] = CentreVelocity(b);
    return std::pair(cx + along * t_.ux - across * t_.uy, cy + along * t_.uy + across * t_.ux);
}

}  // namespace orbimo
