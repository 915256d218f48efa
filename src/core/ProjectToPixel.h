#pragma once
#include <cstdint>
#include <optional>

#include "core/SimState.h"

namespace orbimo {

struct Pixel {
    std::int32_t x = 0;  // column
    std::int32_t y = 0;  // row
    bool operator==(const Pixel&) const = default;
};

/// Largest integer not greater than v, when it fits in 32 bits (NaN never does).
/// Exact like std::floor, without the library call a baseline x86-64 build makes for it.
inline bool FloorToInt32(double v, std::int32_t& out) {
    if (!(v >= -2147483648.0 && v < 2147483648.0)) return false;
    auto i = static_cast<std::int64_t>(v);  // towards zero
    if (static_cast<double>(i) > v) --i;
    if (i < INT32_MIN) return false;
    out = static_cast<std::int32_t>(i);
    return true;
}

/// Screen pixel of body b in the current view; nothing when it cannot be
/// computed (a zero scale, or a coordinate beyond the 32-bit range).
inline std::optional<Pixel> ProjectToPixel(const SimState& s, int b) {
    const int v = (s.ViewBody >= 0 && s.ViewBody <= kBodies) ? s.ViewBody : 0;
    const double cx =
        ((s.PosX[b] - s.PosX[v]) / s.Zoom + s.OriginX) / static_cast<double>(s.TwipsPerPixelX);
    const double cy =
        ((s.PosY[b] - s.PosY[v]) / s.Zoom + s.OriginY) / static_cast<double>(s.TwipsPerPixelY);
    Pixel p;
    if (!FloorToInt32(cx, p.x) || !FloorToInt32(cy, p.y)) return std::nullopt;
    return p;
}

}  // namespace orbimo
