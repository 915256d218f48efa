#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mainwindow/PictureCoordinates.h"

namespace orbimo {

/// The velocities the fields «Скор.X» and «Скор.Y» hold, as numbers.
struct PlacedVelocities {
    BodyDoubles vx{}, vy{};
    BodyMask known = 0;  // both read as numbers
};
PlacedVelocities VelocitiesFromFields(const ParamsModel& params);

/// A body's velocity drawn from its marker.
struct VelocityArrow {
    int body = 0;
    Pixel tail, tip;
};

/// Each body's velocity as an arrow from where it is drawn, relative to the frame shown: less
/// the velocity of the frame's centre (the view body's, the centre of mass's, the turning pair's
/// centre's), along the frame's axes. In the view body's own frame the view body shows its
/// velocity itself, which relative to itself would be none. The longest arrow is about 100
/// pixels, at a round speed per 100 pixels. Make one when a drag begins and keep it: the scale
/// and the frame's centre stay as they were for the whole drag.
class VelocityArrows {
  public:
    /// `per100`: the speed 100 pixels stand for, or 0 to choose it from the fastest body.
    VelocityArrows(const PictureCoordinates& coordinates, const SimState& view, const Frame& frame,
                   const PlacedBodies& bodies, const PlacedVelocities& velocities,
                   double per100 = 0);

    const std::vector<VelocityArrow>& Arrows() const { return arrows_; }
    /// The speed 100 pixels stand for, in m/s (0 when nothing moves).
    double SpeedPer100Pixels() const { return per100_; }
    /// "100 пикс. — 20 км/с"; empty when there is no arrow to scale.
    std::u16string ScaleText() const;
    /// The velocity (as the fields hold it) whose arrow from body b's marker ends at pixel p.
    std::optional<std::pair<double, double>> VelocityAt(int b, Pixel p) const;

  private:
    /// The frame's centre's velocity for body b's arrow.
    std::pair<double, double> CentreVelocity(int b) const;

    const PictureCoordinates& coordinates_;
    FrameTransform t_;
    PlacedBodies bodies_;
    PlacedVelocities v_;
    double sign_ = 1;  // a negative scale mirrors the picture, and so the arrows
    double per100_ = 0;
    std::pair<double, double> centre_{};  // the frame's centre's velocity, but the view body's
    std::vector<VelocityArrow> arrows_;
};

}  // namespace orbimo
