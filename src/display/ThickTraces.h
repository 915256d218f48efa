#pragma once
#include <cstddef>
#include <cstdint>

#include "core/SimState.h"

namespace orbimo {

/// Paths drawn thicker for a projector, over a picture already copied into `out` (RGB32 words of
/// the pixels left..right × top..bottom, `stride` words from one row's start to the next): every
/// trace pixel of the trace map becomes a square of `width` pixels in its body's colour. The
/// picture itself keeps its one-pixel traces; this is only how it is shown.
void DrawThickTraces(const PixelOwnerGrid& owners, const std::array<Colour, kSlots>& colours,
                     int width, int left, int top, int right, int bottom, std::uint32_t* out,
                     std::size_t stride);

}  // namespace orbimo
