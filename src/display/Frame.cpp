#include "display/Frame.h"

#include <cmath>

namespace orbimo {

BodyMask TakingPart(const SimState& s) {
    BodyMask m = 0;
    for (int b = 1; b <= kBodies; ++b)
        if (s.BodyOn[b] == 1) m = static_cast<BodyMask>(m | (1u << b));
    return m;
}

Frame DrawnFrame(const Frame& f, BodyMask on) {
    if (f.kind != FrameKind::Rotating) return f;
    const bool both = f.a >= 1 && f.a <= kBodies && f.b >= 1 && f.b <= kBodies && f.a != f.b &&
                      (on & (1u << f.a)) && (on & (1u << f.b));
    return both ? f : Frame{FrameKind::Body, f.a, f.b};
}

FrameTransform TransformOf(const Frame& f, const SimState& s, int viewBody, const BodyDoubles& x,
                           const BodyDoubles& y, BodyMask on) {
    return TransformOf(f, s.Mass, viewBody, x, y, on);
}

FrameTransform TransformOf(const Frame& chosen, const BodyDoubles& mass, int viewBody,
                           const BodyDoubles& x, const BodyDoubles& y, BodyMask on) {
    const Frame f = DrawnFrame(chosen, on);
    FrameTransform t;
    t.kind = f.kind;
    t.view = viewBody >= 0 && viewBody <= kBodies ? viewBody : 0;
    // Mass-weighted centre of the bodies in `mask`; their plain mean when they weigh nothing.
    auto centre = [&](BodyMask mask) {
        double m = 0, mx = 0, my = 0, sx = 0, sy = 0;
        int n = 0;
        for (int b = 1; b <= kBodies; ++b) {
            if (!(mask & (1u << b))) continue;
            m += mass[b], mx += mass[b] * x[b], my += mass[b] * y[b];
            sx += x[b], sy += y[b], ++n;
        }
        if (m != 0 && std::isfinite(mx / m) && std::isfinite(my / m)) {
            t.cx = mx / m, t.cy = my / m;
        } else if (n > 0) {
            t.cx = sx / n, t.cy = sy / n;
        }
    };
    switch (f.kind) {
        case FrameKind::Body:
            break;
        case FrameKind::CentreOfMass:
            centre(on);
            break;
        case FrameKind::Rotating: {
            const int a = f.a >= 1 && f.a <= kBodies ? f.a : 1;
            const int b = f.b >= 1 && f.b <= kBodies ? f.b : 2;
            centre(static_cast<BodyMask>((1u << a) | (1u << b)));
            const double dx = x[b] - x[a], dy = y[b] - y[a], r = std::hypot(dx, dy);
            if (r > 0 && std::isfinite(r)) t.ux = dx / r, t.uy = dy / r;
            break;
        }
    }
    return t;
}

void FrameOffset(const FrameTransform& t, const BodyDoubles& x, const BodyDoubles& y, int b,
                 double& dx, double& dy) {
    if (t.kind == FrameKind::Body) {
        dx = x[b] - x[t.view], dy = y[b] - y[t.view];
        return;
    }
    const double px = x[b] - t.cx, py = y[b] - t.cy;
    dx = px * t.ux + py * t.uy;  // along a → b
    dy = py * t.ux - px * t.uy;  // across it
}

std::optional<Pixel> PixelIn(const SimState& s, const FrameTransform& t, const BodyDoubles& x,
                             const BodyDoubles& y, int b) {
    double dx = 0, dy = 0;
    FrameOffset(t, x, y, b, dx, dy);
    return ProjectOffset(s, dx, dy);
}

}  // namespace orbimo
