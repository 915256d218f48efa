#include "mainwindow/SystemHistory.h"

#include <bit>
#include <utility>

namespace orbimo {

bool SystemSnapshot::operator==(const SystemSnapshot& o) const {
    return texts == o.texts && states == o.states && viewOption == o.viewOption &&
           viewBody == o.viewBody && bodyOn == o.bodyOn &&
           std::bit_cast<std::uint64_t>(simTime) == std::bit_cast<std::uint64_t>(o.simTime);
}

SystemSnapshot TakeSnapshot(ParamsModel& params) {
    SystemSnapshot s;
    for (const SystemFileItem& item : SystemFileItems()) {
        const auto i = static_cast<std::size_t>(item.number - 1);
        if (item.kind == ItemKind::Text) {
            s.texts[i] = ItemText(params, item);
        } else if (item.content != ItemContent::ViewBody) {  // kept below, with the option
            s.states[i] = static_cast<int>(ItemInteger(params, item));
        }
    }
    s.viewOption = params.viewOption;
    s.viewBody = params.state().ViewBody;
    s.bodyOn = params.state().BodyOn;
    s.simTime = params.state().SimTime;
    return s;
}

void RestoreSnapshot(ParamsModel& params, const SystemSnapshot& s) {
    for (const SystemFileItem& item : SystemFileItems()) {
        const auto i = static_cast<std::size_t>(item.number - 1);
        switch (item.content) {
            case ItemContent::Caption:
                params.bodies[static_cast<std::size_t>(item.body)].caption = s.texts[i];
                break;
            case ItemContent::State:
                params.SetBodyState(item.body, s.states[i]);
                break;
            case ItemContent::StepLengthMode:
                params.SetStepLengthMode(s.states[i]);
                break;
            case ItemContent::ViewBody:
                params.SelectView(s.viewOption);
                break;
            default:
                params.SetText(*ItemField(item), s.texts[i]);
                break;
        }
    }
    SimState& state = params.state();
    state.ViewBody = s.viewBody;
    state.BodyOn = s.bodyOn;
    state.SimTime = s.simTime;
    if (params.changed) params.changed();  // the names were set directly
}

std::u16string StepName(StepKind kind, const std::u16string& what) {
    switch (kind) {
        case StepKind::Move:
            return u"перемещение тела " + what;
        case StepKind::Velocity:
            return u"скорость тела " + what;
        case StepKind::NewBody:
            return u"новое тело " + what;
        case StepKind::Rename:
            return u"имя тела " + what;
        case StepKind::SwitchOff:
            return what.empty() ? u"все тела выключены" : u"тело " + what + u" выключено";
        case StepKind::SwitchOn:
            return u"тело " + what + u" включено";
        case StepKind::CircularOrbit:
            return u"круговая орбита " + what;
        case StepKind::Field:
            return u"поле " + what;
        case StepKind::Load:
            return u"загрузка системы " + what;
        case StepKind::BackToStart:
            return u"В начало";
        case StepKind::Run:
            return u"счёт до " + what;
        case StepKind::Jump:
            return u"переход к " + what;
    }
    return what;
}

std::u16string FieldStepWhat(const ParamsModel& params, FieldRef f) {
    static const char16_t* const kLabels[] = {u"Масса",  u"X",      u"Y",      u"Скор.X",
                                              u"Скор.Y", u"Время",  u"Таймер", u"Шаг(с)",
                                              u"Шаг(м)", u"Масштаб"};
    std::u16string label = kLabels[static_cast<std::size_t>(f.kind)];
    if (f.kind <= FieldKind::VY && f.body >= 1 && f.body <= kBodies)
        label += u" тела " + params.bodies[static_cast<std::size_t>(f.body)].caption;
    return label;
}

std::u16string RunStepWhat(const ParamsModel& params) {
    const std::u16string& date = params.simDate.text;
    return date.substr(0, date.find(u' '));
}

void SystemHistory::Record(StepKind kind, int body, std::u16string name,
                           const SystemSnapshot& before, const SystemSnapshot& after,
                           bool dragging) {
    const bool merge = dragging && open_ && position_ == steps_.size() && !steps_.empty() &&
                       steps_.back().kind == kind && steps_.back().body == body;
    open_ = dragging;
    if (merge) {
        Step& last = steps_.back();
        last.after = std::make_shared<const SystemSnapshot>(after);
        last.name = std::move(name);
        // A drag back to where it began did nothing; what it moves next is a step of its own,
        // never merged into the one before.
        if (*last.after == *last.before) steps_.pop_back(), --position_, open_ = false;
        return;
    }
    if (before == after) return;
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(position_), steps_.end());
    auto shared = !steps_.empty() && *steps_.back().after == before &&
                          steps_.back().after->recordTick == before.recordTick
                      ? steps_.back().after
                      : std::make_shared<const SystemSnapshot>(before);
    steps_.push_back(Step{kind, body, std::move(name), std::move(shared),
                          std::make_shared<const SystemSnapshot>(after)});
    if (steps_.size() > kCapacity) steps_.pop_front();
    position_ = steps_.size();
}

void SystemHistory::Do(ParamsModel& params, StepKind kind, int body,
                       const std::function<std::u16string()>& edit, bool dragging) {
    const SystemSnapshot before = TakeSnapshot(params);
    const std::u16string what = edit();
    Record(kind, body, StepName(kind, what), before, TakeSnapshot(params), dragging);
}

std::u16string SystemHistory::UndoName() const {
    return CanUndo() ? steps_[position_ - 1].name : std::u16string();
}

std::u16string SystemHistory::RedoName() const {
    return CanRedo() ? steps_[position_].name : std::u16string();
}

bool SystemHistory::Undo(ParamsModel& params) {
    open_ = false;
    if (!CanUndo()) return false;
    restored_ = steps_[--position_].before;
    RestoreSnapshot(params, *restored_);
    return true;
}

bool SystemHistory::Redo(ParamsModel& params) {
    open_ = false;
    if (!CanRedo()) return false;
    restored_ = steps_[position_++].after;
    RestoreSnapshot(params, *restored_);
    return true;
}

}  // namespace orbimo
