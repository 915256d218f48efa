#pragma once
#include <cmath>
#include <cstdint>
#include <optional>

#include "core/SimState.h"

namespace orbimo {

struct Pixel {
    std::int32_t x = 0;  // column
    std::int32_t y = 0;  // row
    bool operator==(const Pixel&) const = default;
};

/// Screen pixel of body b in the current view; nothing when it cannot be
/// computed (a zero scale, or a coordinate beyond the 32-bit range).
inline std::optional<Pixel> ProjectToPixel(const SimState& s, int b) {
    const int v = (s.ViewBody >= 0 && s.ViewBody <= kBodies) ? s.ViewBody : 0;
    const double cx = std::floor(((s.PosX[b] - s.PosX[v]) / s.Zoom + s.OriginX) /
                                 static_cast<double>(s.TwipsPerPixelX));
    const double cy = std::floor(((s.PosY[b] - s.PosY[v]) / s.Zoom + s.OriginY) /
                                 static_cast<double>(s.TwipsPerPixelY));
    // Written so that NaN fails too.
    constexpr double lo = -2147483648.0, hi = 2147483647.0;
    if (!(cx >= lo && cx <= hi && cy >= lo && cy <= hi)) return std::nullopt;
    return Pixel{static_cast<std::int32_t>(cx), static_cast<std::int32_t>(cy)};
}

}  // namespace orbimo
