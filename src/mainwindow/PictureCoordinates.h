#pragma once
#include <optional>

#include "core/ProjectToPixel.h"
#include "core/SimState.h"
#include "display/Frame.h"
#include "params/ParamsModel.h"

namespace orbimo {

/// A point in the coordinates the fields «X» and «Y» hold, in metres.
struct FieldPoint {
    double x = 0, y = 0;
    bool operator==(const FieldPoint&) const = default;
};

/// The bodies as the next run places them: what their fields read as.
struct PlacedBodies {
    BodyDoubles mass{}, x{}, y{};
    BodyMask on = 0;     // state 1: taking part
    BodyMask known = 0;  // mass, X and Y all read as numbers
};

/// The bodies from the parameters window's fields.
PlacedBodies BodiesFromFields(const ParamsModel& params);
/// Those taking part there whose fields read as numbers: the bodies the next run draws.
inline BodyMask TakingPartInFields(const ParamsModel& params) {
    const PlacedBodies p = BodiesFromFields(params);
    return static_cast<BodyMask>(p.on & p.known);
}

/// Window pixels and field coordinates, both ways, in the frame the picture is drawn in.
///
/// Dragging a body that holds the frame moves the frame with it; what the drag means then:
/// - the view body of the body frame is always drawn at the view origin, so it goes to the
///   point under the pointer in the picture as it stood when the drag began, and the rest of
///   the system moves the other way on the screen;
/// - a body in the centre of mass goes where its offset from the new centre of mass is the
///   pointer's: it is drawn under the pointer;
/// - a body of the turning pair is always drawn on the line of the pair, so it slides along
///   that line, which keeps its direction, to the pointer's column (the pointer must stay on
///   its side of the pair's centre); the row is the line's;
/// - a body that cannot be drawn anywhere but at the centre (the only weight of the centre of
///   mass or of the pair) is taken like the view body.
/// So make one of these when the button goes down and keep it until it comes up.
class PictureCoordinates {
  public:
    /// Scale, view origin, pixel size and view body from `view`; the frame; the bodies.
    PictureCoordinates(const SimState& view, const Frame& frame, const PlacedBodies& bodies);

    /// False when nothing can be mapped: no scale, or a body the frame needs does not read.
    bool Valid() const { return valid_; }
    /// The field point drawn at the centre of window pixel p.
    std::optional<FieldPoint> PointAt(Pixel p) const;
    /// The pixel a field point is drawn at, by the picture's own arithmetic.
    std::optional<Pixel> PixelOf(FieldPoint q) const;
    /// Where body b must stand to be drawn at pixel p (see above for a body holding the frame).
    std::optional<FieldPoint> BodyPositionAt(int b, Pixel p) const;
    /// How far each coordinate of a point may stray and still be drawn on its pixel: 0,35 of a
    /// pixel, so that both together stay within half a pixel in a turned frame too.
    double Tolerance() const;

  private:
    /// The pointer's offset from the frame's centre along the frame's axes, in metres.
    void OffsetAt(Pixel p, double& dx, double& dy) const;
    /// The field point at an offset from the frame's centre along its axes.
    std::optional<FieldPoint> FromOffset(double dx, double dy) const;
    std::optional<FieldPoint> InCentreOfMass(int b, double dx, double dy) const;
    std::optional<FieldPoint> OnPairLine(int b, double dx, double dy) const;

    SimState view_;  // the view's numbers and the masses only; no trace map
    Frame frame_;
    PlacedBodies bodies_;
    FrameTransform t_;
    bool valid_ = false;
};

}  // namespace orbimo
