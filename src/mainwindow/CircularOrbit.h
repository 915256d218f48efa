#pragma once
#include <cstdint>

#include "mainwindow/BodyEdits.h"
#include "params/ParamsModel.h"

namespace orbimo {

/// Which way round a circular orbit goes.
enum class OrbitSense : std::uint8_t {
    AsMoving,       // the way the body moves about the centre now; anticlockwise when it does not
    Anticlockwise,  // anticlockwise on the screen
};

/// Anticlockwise on the screen, in the fields' coordinates: the screen's y grows downward, and a
/// negative scale or a turning frame only turns the picture, so it is the sense in which
/// x·vy − y·vx, relative to the centre, is negative.
inline bool ScreenAnticlockwise(double dx, double dy, double dvx, double dvy) {
    return dx * dvy - dy * dvx < 0;
}

/// Body b's «Скор.X» and «Скор.Y» for a circular orbit about body `centre` at their present
/// distance r: speed √(G(M + m)/r) across the line between them, plus the centre's velocity.
/// Refused, with nothing changed, when a field does not read, the bodies stand at one point or
/// the speed cannot be computed.
EditResult PutOnCircularOrbit(ParamsModel& params, int b, int centre, OrbitSense sense);

}  // namespace orbimo
