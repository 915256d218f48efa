#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "files/SystemFileItems.h"
#include "params/ParamsModel.h"

namespace orbimo {

/// The whole system: every item a system file holds, as the parameters window holds it, and
/// what loading and the check boxes set in the record directly.
struct SystemSnapshot {
    std::array<std::u16string, kSystemFileItemCount> texts;  // text items, by the file's table
    std::array<int, kSystemFileItemCount> states{};          // body states, step-length mode
    int viewOption = 0;
    std::int16_t viewBody = 0;
    std::array<std::int16_t, kSlots> bodyOn{};
    double simTime = 0;
    /// The tick of the run record the system stood at (-1: none), so that undo goes back to
    /// that moment of the picture; not part of the comparison.
    std::int64_t recordTick = -1;
    /// SimTime compared bit for bit.
    bool operator==(const SystemSnapshot& other) const;
};

SystemSnapshot TakeSnapshot(ParamsModel& params);
/// Puts a snapshot back as loading does: texts and names without the fields' lost-focus
/// handlers, check boxes, the step-length box and the view option through their setters; then
/// ViewBody, BodyOn and SimTime exactly as they were.
void RestoreSnapshot(ParamsModel& params, const SystemSnapshot& snapshot);

/// What a step did; with the body, it tells which drag steps merge.
enum class StepKind : std::uint8_t {
    Move,
    Velocity,
    NewBody,
    Rename,
    SwitchOff,
    SwitchOn,
    CircularOrbit,
    Field,
    Load,
    BackToStart,
    Run,
    Jump,
};

/// The name the menu shows: «перемещение тела Земля», «счёт до 01.02.2000», «переход к
/// 01.02.2000»; `what` is the
/// body's name, the field (FieldStepWhat), the system or the date, as the kind needs.
std::u16string StepName(StepKind kind, const std::u16string& what);
/// A field for StepName(StepKind::Field, …): «Масса тела Земля», «Шаг(с)».
std::u16string FieldStepWhat(const ParamsModel& params, FieldRef f);
/// The date a run ended at, for StepName(StepKind::Run, …): the date of «Время».
std::u16string RunStepWhat(const ParamsModel& params);

/// Undo and redo of the whole system. Every step holds the system before and after it, so a
/// step undone is put back bit for bit, a finished run included. Nothing clears it; beyond
/// kCapacity steps the oldest goes.
class SystemHistory {
  public:
    static constexpr std::size_t kCapacity = 500;

    /// Records an edit that took the system from `before` to `after`; nothing when they are the
    /// same. A new step drops the steps undone. While `dragging`, a step of the same kind and
    /// body as the last one recorded, also dragging, merges into it (one step per drag).
    void Record(StepKind kind, int body, std::u16string name, const SystemSnapshot& before,
                const SystemSnapshot& after, bool dragging = false);
    /// Runs `edit`, which returns what the step is named after (StepName), and records what it
    /// changed as one step: `history.Do(params, StepKind::Move, b, [&] { ...; return name; })`.
    void Do(ParamsModel& params, StepKind kind, int body,
            const std::function<std::u16string()>& edit, bool dragging = false);
    /// The drag is over: the next step stands alone.
    void EndDrag() { open_ = false; }

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    /// The names for «Отменить …» and «Повторить …»; empty when there is none.
    std::u16string UndoName() const;
    std::u16string RedoName() const;
    /// Puts back the system before the last step done / after the next step undone.
    bool Undo(ParamsModel& params);
    bool Redo(ParamsModel& params);

    /// The system the last Undo or Redo put back.
    const SystemSnapshot* Restored() const { return restored_.get(); }

    std::size_t Size() const { return steps_.size(); }
    std::size_t Position() const { return position_; }

  private:
    struct Step {
        StepKind kind;
        int body;
        std::u16string name;
        // Shared: one step's "after" is usually the next one's "before".
        std::shared_ptr<const SystemSnapshot> before, after;
    };
    std::deque<Step> steps_;
    std::size_t position_ = 0;  // the steps before it are done
    bool open_ = false;         // the last step is a drag still going on
    std::shared_ptr<const SystemSnapshot> restored_;
};

}  // namespace orbimo
