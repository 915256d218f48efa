#include "mainwindow/PictureCoordinates.h"

#include <algorithm>
#include <cmath>

#include "convert/NumberText.h"

namespace orbimo {
namespace {

bool Has(BodyMask m, int b) {
    return (m & (1u << b)) != 0;
}

// The pair as TransformOf takes it.
int PairA(const Frame& f) {
    return f.a >= 1 && f.a <= kBodies ? f.a : 1;
}
int PairB(const Frame& f) {
    return f.b >= 1 && f.b <= kBodies ? f.b : 2;
}

std::optional<FieldPoint> Finite(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
    return FieldPoint{x, y};
}

}  // namespace

PlacedBodies BodiesFromFields(const ParamsModel& params) {
    PlacedBodies p;
    for (int b = 1; b <= kBodies; ++b) {
        const BodyRow& row = params.bodies[static_cast<std::size_t>(b)];
        const auto m = ParseNumber(row.mass.text), x = ParseNumber(row.x.text),
                   y = ParseNumber(row.y.text);
        if (row.state == 1) p.on = static_cast<BodyMask>(p.on | (1u << b));
        if (!m || !x || !y) continue;
        p.mass[b] = *m, p.x[b] = *x, p.y[b] = *y;
        p.known = static_cast<BodyMask>(p.known | (1u << b));
    }
    return p;
}

PictureCoordinates::PictureCoordinates(const SimState& view, const Frame& frame,
                                       const PlacedBodies& bodies)
    : frame_(frame), bodies_(bodies) {
    view_.Zoom = view.Zoom;
    view_.OriginX = view.OriginX, view_.OriginY = view.OriginY;
    view_.TwipsPerPixelX = view.TwipsPerPixelX, view_.TwipsPerPixelY = view.TwipsPerPixelY;
    view_.ViewBody = view.ViewBody;
    view_.Mass = bodies.mass;
    t_ = TransformOf(frame_, view_, view_.ViewBody, bodies_.x, bodies_.y, bodies_.on);
    bool framed = true;
    switch (frame_.kind) {
        case FrameKind::Body:
            framed = t_.view == 0 || Has(bodies_.known, t_.view);
            break;
        case FrameKind::CentreOfMass:
            framed = (bodies_.on & ~bodies_.known) == 0;
            break;
        case FrameKind::Rotating:
            framed = Has(bodies_.known, PairA(frame_)) && Has(bodies_.known, PairB(frame_));
            break;
    }
    valid_ = framed && std::isfinite(view_.Zoom) && view_.Zoom != 0 && view_.TwipsPerPixelX > 0 &&
             view_.TwipsPerPixelY > 0 && std::isfinite(t_.cx) && std::isfinite(t_.cy);
}

void PictureCoordinates::OffsetAt(Pixel p, double& dx, double& dy) const {
    // The inverse of ProjectOffset at the pixel's centre.
    dx = ((p.x + 0.5) * view_.TwipsPerPixelX - view_.OriginX) * view_.Zoom;
    dy = ((p.y + 0.5) * view_.TwipsPerPixelY - view_.OriginY) * view_.Zoom;
}

std::optional<FieldPoint> PictureCoordinates::PointAt(Pixel p) const {
    if (!valid_) return std::nullopt;
    double dx = 0, dy = 0;
    OffsetAt(p, dx, dy);
    return FromOffset(dx, dy);
}

std::optional<FieldPoint> PictureCoordinates::FromOffset(double dx, double dy) const {
    if (t_.kind == FrameKind::Body) return Finite(bodies_.x[t_.view] + dx, bodies_.y[t_.view] + dy);
    // FrameOffset turned back: along a → b and across it.
    return Finite(t_.cx + (dx * t_.ux - dy * t_.uy), t_.cy + (dx * t_.uy + dy * t_.ux));
}

std::optional<Pixel> PictureCoordinates::PixelOf(FieldPoint q) const {
    if (!valid_) return std::nullopt;
    // FrameOffset's arithmetic, for a point that need not be a body.
    double dx = 0, dy = 0;
    if (t_.kind == FrameKind::Body) {
        dx = q.x - bodies_.x[t_.view], dy = q.y - bodies_.y[t_.view];
    } else {
        const double px = q.x - t_.cx, py = q.y - t_.cy;
        dx = px * t_.ux + py * t_.uy;
        dy = py * t_.ux - px * t_.uy;
    }
    return ProjectOffset(view_, dx, dy);
}

std::optional<FieldPoint> PictureCoordinates::BodyPositionAt(int b, Pixel p) const {
    if (!valid_ || b < 1 || b > kBodies) return std::nullopt;
    double dx = 0, dy = 0;
    OffsetAt(p, dx, dy);
    if (frame_.kind == FrameKind::CentreOfMass && Has(bodies_.on, b))
        return InCentreOfMass(b, dx, dy);
    if (frame_.kind == FrameKind::Rotating && PairA(frame_) != PairB(frame_) &&
        (b == PairA(frame_) || b == PairB(frame_)))
        return OnPairLine(b, dx, dy);
    return FromOffset(dx, dy);
}

// With weights w_i (the masses, or 1 each where TransformOf takes the plain mean), W their sum
// and R the sum without b: x_b − (Σ_{i≠b} w_i x_i + w_b x_b) / W = d gives
// x_b = (d W + Σ_{i≠b} w_i x_i) / R.
std::optional<FieldPoint> PictureCoordinates::InCentreOfMass(int b, double dx, double dy) const {
    double m = 0, mx = 0, my = 0;
    for (int i = 1; i <= kBodies; ++i)
        if (Has(bodies_.on, i))
            m += bodies_.mass[i], mx += bodies_.mass[i] * bodies_.x[i],
                my += bodies_.mass[i] * bodies_.y[i];
    const bool weighted = m != 0 && std::isfinite(mx / m) && std::isfinite(my / m);
    double whole = 0, rest = 0, sx = 0, sy = 0;
    for (int i = 1; i <= kBodies; ++i) {
        if (!Has(bodies_.on, i)) continue;
        const double w = weighted ? bodies_.mass[i] : 1.0;
        whole += w;
        if (i == b) continue;
        rest += w, sx += w * bodies_.x[i], sy += w * bodies_.y[i];
    }
    if (rest == 0) return FromOffset(dx, dy);  // b alone is the centre
    return Finite((dx * whole + sx) / rest, (dy * whole + sy) / rest);
}

// Body b of the pair is drawn at side · w_o · r along the line, w_o the other's share of the
// pair's weight and r their distance: the pointer's dx gives r, the line keeps its direction.
std::optional<FieldPoint> PictureCoordinates::OnPairLine(int b, double dx, double dy) const {
    const int a = PairA(frame_), c = PairB(frame_);
    const int other = b == a ? c : a;
    const double side = b == a ? -1 : 1;
    const double m = bodies_.mass[a] + bodies_.mass[c];
    const bool weighted =
        m != 0 &&
        std::isfinite((bodies_.mass[a] * bodies_.x[a] + bodies_.mass[c] * bodies_.x[c]) / m) &&
        std::isfinite((bodies_.mass[a] * bodies_.y[a] + bodies_.mass[c] * bodies_.y[c]) / m);
    const double share = weighted ? bodies_.mass[other] / m : 0.5;
    if (share == 0) return FromOffset(dx, dy);  // b alone is the centre
    const double r = side * dx / share;
    if (!(r > 0)) return std::nullopt;  // the pointer is on the other body's side
    return Finite(bodies_.x[other] + side * r * t_.ux, bodies_.y[other] + side * r * t_.uy);
}

double PictureCoordinates::Tolerance() const {
    const double pixel =
        std::min(view_.TwipsPerPixelX, view_.TwipsPerPixelY) * std::fabs(view_.Zoom);
    return 0.35 * pixel;
}

}  // namespace orbimo
