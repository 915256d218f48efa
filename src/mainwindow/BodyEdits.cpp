#include "mainwindow/BodyEdits.h"

#include "convert/NumberText.h"
#include "convert/ShortestNumberText.h"
#include "platform/Cp1251.h"

namespace orbimo {
namespace {

bool IsBody(int b) {
    return b >= 1 && b <= kBodies;
}

EditResult Refused(std::u16string message) {
    return EditResult{false, std::move(message), 0};
}

const std::u16string kNoSuchBody = u"Нет такого тела.";

/// A number into a field as if typed there and left.
bool WriteNumber(ParamsModel& params, FieldRef f, double value, double tolerance) {
    const std::u16string before = params.Text(f);
    params.SetText(f, ShortestNumberText(value, tolerance));
    params.FocusLeaves(f);
    return params.Text(f) != before;
}

bool WritePair(ParamsModel& params, FieldRef fx, FieldRef fy, double x, double y,
               double tolerance) {
    const bool changedX = WriteNumber(params, fx, x, tolerance);
    return WriteNumber(params, fy, y, tolerance) || changedX;
}

}  // namespace

const std::array<MassPreset, 5>& MassPresets() {
    static const std::array<MassPreset, 5> presets = {{{u"Солнце", u"1,989E+30"},
                                                       {u"Юпитер", u"1,8986E+27"},
                                                       {u"Земля", u"5,9736E+24"},
                                                       {u"Луна", u"7,3477E+22"},
                                                       {u"комета", u"1E+14"}}};
    return presets;
}

// A system file holds a name between double quotes on a line of its own, in Windows-1251; it
// sets no length.
EditResult MoveBody(ParamsModel& params, int b, FieldPoint to, double tolerance) {
    if (!IsBody(b)) return Refused(kNoSuchBody);
    if (!std::isfinite(to.x) || !std::isfinite(to.y))
        return Refused(u"Положение тела вне допустимого диапазона чисел.");
    const bool changed =
        WritePair(params, {FieldKind::X, b}, {FieldKind::Y, b}, to.x, to.y, tolerance);
    return EditResult{changed, {}, b};
}

EditResult SetBodyVelocity(ParamsModel& params, int b, double vx, double vy, double tolerance) {
    if (!IsBody(b)) return Refused(kNoSuchBody);
    if (!std::isfinite(vx) || !std::isfinite(vy))
        return Refused(u"Скорость тела вне допустимого диапазона чисел.");
    const bool changed =
        WritePair(params, {FieldKind::VX, b}, {FieldKind::VY, b}, vx, vy, tolerance);
    return EditResult{changed, {}, b};
}

EditResult AddBody(ParamsModel& params, const NewBody& body, double tolerance) {
    int slot = 1;
    while (slot <= kBodies && params.bodies[static_cast<std::size_t>(slot)].state == 1) ++slot;
    if (slot > kBodies)
        return Refused(
            u"Все 11 тел уже участвуют в расчёте: чтобы добавить новое, выключите одно из них.");
    if (std::optional<std::u16string> problem = BodyNameProblem(body.name))
        return Refused(std::move(*problem));
    const std::optional<double> mass = ParseNumber(body.massText);
    if (!mass) return Refused(u"Масса «" + body.massText + u"» — это не число.");
    if (!std::isfinite(body.at.x) || !std::isfinite(body.at.y) || !std::isfinite(body.vx) ||
        !std::isfinite(body.vy))
        return Refused(u"Положение или скорость тела вне допустимого диапазона чисел.");

    const FieldRef massField{FieldKind::Mass, slot};
    params.SetText(massField, body.massText);
    params.FocusLeaves(massField);
    MoveBody(params, slot, body.at, tolerance);
    SetBodyVelocity(params, slot, body.vx, body.vy, SpeedTolerance(body.vx, body.vy));
    params.RenameBody(slot, body.name);  // checked above
    params.SetBodyState(slot, 1);
    return EditResult{true, {}, slot};
}

EditResult RenameBody(ParamsModel& params, int b, const std::u16string& name) {
    if (!IsBody(b)) return Refused(kNoSuchBody);
    const bool changed = params.bodies[static_cast<std::size_t>(b)].caption != name;
    if (std::optional<std::u16string> problem = params.RenameBody(b, name))
        return Refused(std::move(*problem));
    return EditResult{changed, {}, b};
}

EditResult SwitchOffBody(ParamsModel& params, int b) {
    if (!IsBody(b)) return Refused(kNoSuchBody);
    const bool changed = params.bodies[static_cast<std::size_t>(b)].state != 0;
    params.SetBodyState(b, 0);
    return EditResult{changed, {}, b};
}

}  // namespace orbimo
