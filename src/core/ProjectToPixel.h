#pragma once
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <array>
#include <optional>

#include "core/SimState.h"

namespace orbimo {

struct Pixel {
    std::int32_t x = 0;  // column
    std::int32_t y = 0;  // row
    bool operator==(const Pixel&) const = default;
};

/// Largest integer not greater than v, when the 3x3 marker around it stays within the
/// 32-bit range (v - 1 and v + 1 must fit too); NaN never does.
/// Exact like std::floor, without the library call a baseline x86-64 build makes for it.
inline bool FloorToMarkerPixel(double v, std::int32_t& out) {
    if (!(v >= -2147483647.0 && v < 2147483647.0)) return false;
    auto i = static_cast<std::int64_t>(v);  // towards zero
    if (static_cast<double>(i) > v) --i;
    out = static_cast<std::int32_t>(i);
    return true;
}

/// Screen pixel of a point dx, dy metres from the view origin, by the same arithmetic.
inline std::optional<Pixel> ProjectOffset(const SimState& s, double dx, double dy) {
    const double cx = (dx / s.Zoom + s.OriginX) / static_cast<double>(s.TwipsPerPixelX);
    const double cy = (dy / s.Zoom + s.OriginY) / static_cast<double>(s.TwipsPerPixelY);
    Pixel p;
    if (!FloorToMarkerPixel(cx, p.x) || !FloorToMarkerPixel(cy, p.y)) return std::nullopt;
    return p;
}

/// Screen pixel of body b in the current view; nothing when it cannot be
/// computed (a zero scale, or a marker reaching beyond the 32-bit range).
inline std::optional<Pixel> ProjectToPixel(const SimState& s, int b) {
    const int v = (s.ViewBody >= 0 && s.ViewBody <= kBodies) ? s.ViewBody : 0;
#if defined(__SSE2__)
    // x and y side by side: the same divisions, each lane rounded exactly as alone.
    const __m128d d =
        _mm_sub_pd(_mm_set_pd(s.PosY[b], s.PosX[b]), _mm_set_pd(s.PosY[v], s.PosX[v]));
    const __m128d twips =
        _mm_add_pd(_mm_div_pd(d, _mm_set1_pd(s.Zoom)), _mm_set_pd(s.OriginY, s.OriginX));
    const __m128d c = _mm_div_pd(twips, _mm_set_pd(static_cast<double>(s.TwipsPerPixelY),
                                                   static_cast<double>(s.TwipsPerPixelX)));
    const double cx = _mm_cvtsd_f64(c);
    const double cy = _mm_cvtsd_f64(_mm_unpackhi_pd(c, c));
#else
    const double cx =
        ((s.PosX[b] - s.PosX[v]) / s.Zoom + s.OriginX) / static_cast<double>(s.TwipsPerPixelX);
    const double cy =
        ((s.PosY[b] - s.PosY[v]) / s.Zoom + s.OriginY) / static_cast<double>(s.TwipsPerPixelY);
#endif
    Pixel p;
    if (!FloorToMarkerPixel(cx, p.x) || !FloorToMarkerPixel(cy, p.y)) return std::nullopt;
    return p;
}

/// ProjectToPixel of the body slots at once, packed where the processor allows: slots 0 up to
/// the last body taking part. Bit b of the result is set when out[b] was computed.
unsigned ProjectAll(const SimState& s, std::array<Pixel, kSlots>& out);

}  // namespace orbimo
