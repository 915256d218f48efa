#pragma once
#include <array>
#include <optional>
#include <string>

#include "core/SimState.h"
#include "display/Frame.h"

namespace orbimo {

/// A line measured on the picture: its ends are kept in metres of the frame shown, so that it
/// stays on the paths when the picture is zoomed or panned, and goes when the frame changes.
class MeasuringTape {
  public:
    /// A drag starting at window pixel (px, py) of the picture as the record shows it now.
    void Begin(const SimState& s, const Frame& frame, double px, double py);
    void DragTo(const SimState& s, double px, double py);
    void Clear() { shown_ = false; }
    /// Whether a tape is there, in this frame.
    bool Shown(const Frame& frame) const { return shown_ && frame == frame_; }
    /// Its ends in window pixels at the record's scale and origin.
    std::array<double, 4> Ends(const SimState& s) const;
    /// Its length in metres.
    double Length() const;
    /// Its direction as seen on the picture, in degrees counter-clockwise from the right,
    /// −180 to 180.
    double Angle() const;
    /// "1,52 а. е., 35,2°": the length in the unit the scale bar takes at this scale.
    std::u16string Text(double metresPerPixel, int pictureWidth) const;

  private:
    bool shown_ = false;
    Frame frame_;
    double x0_ = 0, y0_ = 0, x1_ = 0, y1_ = 0;  // metres from the frame's centre, along its axes
};

}  // namespace orbimo
