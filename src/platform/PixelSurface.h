#pragma once
#include <cstdint>

namespace orbimo {

/// Colour value 0x00BBGGRR; 0xFFFFFFFF is "no pixel here".
using Colour = std::uint32_t;
inline constexpr Colour kInvalidColour = 0xFFFFFFFFu;
inline constexpr Colour kBlack = 0x00000000u;

/// A drawing area addressed in device pixels, (0, 0) top left.
class PixelSurface {
  public:
    virtual ~PixelSurface() = default;
    /// Colour at (x, y), or kInvalidColour outside the area.
    virtual Colour GetPixel(std::int32_t x, std::int32_t y) const = 0;
    /// Paints one pixel; outside the area it does nothing.
    virtual void SetPixel(std::int32_t x, std::int32_t y, Colour c) = 0;
    /// Fills the whole area with the background colour.
    virtual void Clear() = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

}  // namespace orbimo
