#pragma once
#include <cstdint>
#include <optional>

#include "core/ProjectToPixel.h"
#include "core/SimState.h"

namespace orbimo {

/// What stays still on the screen: the view body (or the origin), the centre of mass of the
/// bodies taking part, or the line from body a to body b turning with them.
enum class FrameKind : std::uint8_t { Body, CentreOfMass, Rotating };

struct Frame {
    FrameKind kind = FrameKind::Body;
    int a = 1, b = 2;  // the rotating frame's pair
    bool operator==(const Frame&) const = default;
};

/// A frame for one set of positions: its centre and the direction of its +x axis.
struct FrameTransform {
    FrameKind kind = FrameKind::Body;
    int view = 0;           // the body frame's view body
    double cx = 0, cy = 0;  // the centre, in metres
    double ux = 1, uy = 0;  // +x of the rotating frame
};

/// Bit b set when body b takes part.
using BodyMask = std::uint16_t;
BodyMask TakingPart(const SimState& s);

/// The frame drawn when `f` is chosen and the bodies in `on` take part: a rotating frame needs
/// both its bodies, without them the picture stays in the view body's frame.
Frame DrawnFrame(const Frame& f, BodyMask on);

/// The frame's transform for the positions x, y of the bodies in `on`, with the record's masses.
FrameTransform TransformOf(const Frame& f, const SimState& s, int viewBody, const BodyDoubles& x,
                           const BodyDoubles& y, BodyMask on);
/// The same with other masses (those the fields hold, before a run takes them).
FrameTransform TransformOf(const Frame& f, const BodyDoubles& mass, int viewBody,
                           const BodyDoubles& x, const BodyDoubles& y, BodyMask on);

/// Pixel of body b at positions x, y in the frame, at the record's scale and origin. In the
/// body frame the arithmetic is exactly that of ProjectToPixel.
std::optional<Pixel> PixelIn(const SimState& s, const FrameTransform& t, const BodyDoubles& x,
                             const BodyDoubles& y, int b);

/// A point's offset from the frame's centre, along the frame's axes, in metres.
void FrameOffset(const FrameTransform& t, const BodyDoubles& x, const BodyDoubles& y, int b,
                 double& dx, double& dy);

}  // namespace orbimo
