#pragma once
#include <array>
#include <cmath>
#include <string>

#include "mainwindow/PictureCoordinates.h"
#include "params/ParamsModel.h"

namespace orbimo {

/// What an edit did: whether anything changed, and when it was refused, why (in Russian).
struct EditResult {
    bool changed = false;
    std::u16string message;
    int body = 0;  // the body edited; for a new body, the slot it went into
};

/// An entry of the list of masses a new body is chosen from; its name names the body.
struct MassPreset {
    std::u16string name;
    std::u16string massText;  // kg
};
const std::array<MassPreset, 5>& MassPresets();

/// A velocity text need only be this close: a millionth of a millionth of the speed.
inline double SpeedTolerance(double vx, double vy) {
    return 1e-12 * std::hypot(vx, vy);
}

// Every edit goes through the fields as typing does: the text, then the field's lost-focus
// handler; a check box through SetBodyState. So nothing reaches a run that typing could not.

/// Body b's «X» and «Y»: the shortest texts within `tolerance` metres of the point.
EditResult MoveBody(ParamsModel& params, int b, FieldPoint to, double tolerance);
/// Body b's «Скор.X» and «Скор.Y»: the shortest texts within `tolerance` m/s.
EditResult SetBodyVelocity(ParamsModel& params, int b, double vx, double vy, double tolerance);

struct NewBody {
    std::u16string name;
    std::u16string massText;  // as typed, or a preset's
    FieldPoint at;
    double vx = 0, vy = 0;
};
/// The body in the first slot not taking part, switched on; the position within `tolerance`.
EditResult AddBody(ParamsModel& params, const NewBody& body, double tolerance);
/// Body b's name, when a system file can hold it.
EditResult RenameBody(ParamsModel& params, int b, const std::u16string& name);
/// Body b's box cleared: it no longer takes part.
EditResult SwitchOffBody(ParamsModel& params, int b);

}  // namespace orbimo
