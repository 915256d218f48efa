// Rewind: the run's record kept as it goes, and any of its ticks computed again from it through
// the run's own tick, so that the system stands there bit for bit as a run stopped there would.
#include <algorithm>
#include <bit>
#include <limits>

#include "convert/DateTimeText.h"
#include "display/Readout.h"
#include "files/SystemFileItems.h"
#include "mainwindow/MainWindowLogic.h"

namespace orbimo {

namespace {

constexpr double kNoDate = std::numeric_limits<double>::infinity();

// The fields a run reads are the same: the stop date and the scale are no part of the state.
bool SameRunFields(const SystemSnapshot& a, const SystemSnapshot& b) {
    for (const SystemFileItem& item : SystemFileItems()) {
        if (item.content == ItemContent::StopDate || item.content == ItemContent::Scale) continue;
        const auto i = static_cast<std::size_t>(item.number - 1);
        if (a.texts[i] != b.texts[i] || a.states[i] != b.states[i]) return false;
    }
    return a.bodyOn == b.bodyOn &&
           std::bit_cast<std::uint64_t>(a.simTime) == std::bit_cast<std::uint64_t>(b.simTime);
}

}  // namespace

SystemSnapshot MainWindowLogic::Snap() {
    SystemSnapshot snapshot = TakeSnapshot(params_);
    snapshot.recordTick = shownTick_;
    return snapshot;
}

void MainWindowLogic::SetRecording(bool on) {
    recording_ = on;
    if (!on) DropRecord();
}

void MainWindowLogic::DropRecord() {
    record_.Clear();
    shownTick_ = -1;
    resume_.reset();
    // Cleared during a run: the record starts again where the run is.
    if (recordingRun_) {
        record_.Begin(tickBase_ + status_.ticks, Point());
        checkAt_ = std::min(record_.NextDue(), stopAtTick_) - tickBase_;
    }
}

void MainWindowLogic::AddCheckpoint(CheckpointKind kind) {
    record_.Add(tickBase_ + status_.ticks, kind, Point());
    checkAt_ = std::min(record_.NextDue(), stopAtTick_) - tickBase_;
}

// Kept out of the tick: it comes once in many ticks.
void MainWindowLogic::DueCheckpoint() {
    const std::int64_t tick = tickBase_ + status_.ticks;
    if (tick >= stopAtTick_) s_.StopRequested = -1;  // a jump forward ends after this tick
    if (tick >= record_.NextDue()) record_.Add(tick, CheckpointKind::Tick, Point());
    checkAt_ = std::min(record_.NextDue(), stopAtTick_) - tickBase_;
}

MainWindowLogic::RunBegin MainWindowLogic::HowToBegin() {
    if (!recording_ || record_.Empty() || shownTick_ < 0 || !SameRunFields(Snap(), resumeFields_))
        return RunBegin::NewRecord;
    if (resume_ && resume_->leapfrog.behind == leapfrog_) return RunBegin::Resume;
    if (record_.Open() && shownTick_ == record_.LastTick()) return RunBegin::Append;
    return RunBegin::NewRecord;
}

void MainWindowLogic::BeginRecording(RunBegin begin) {
    // A picture shown at an earlier moment: what followed it is no longer the run's.
    if (plotter_.ShownUntil() != Plotter::kForever) plotter_.DropHistoryFrom(plotter_.ShownUntil());
    if (!recording_) return;
    switch (begin) {
        case RunBegin::NewRecord:
            tickBase_ = 0;
            record_.Begin(0, Point());
            break;
        case RunBegin::Append:
            tickBase_ = record_.LastTick();
            record_.Add(tickBase_, CheckpointKind::Start, Point());
            break;
        case RunBegin::Resume:
            tickBase_ = shownTick_ - status_.ticks;
            record_.TruncateAfter(shownTick_);
            break;
    }
    recordingRun_ = true;
    shownTick_ = -1;
    resume_.reset();
    checkAt_ = std::min(record_.NextDue(), stopAtTick_) - tickBase_;
}

void MainWindowLogic::EndRecording(const RunPoint& end, std::int64_t endTick) {
    checkAt_ = kNever;
    if (!recordingRun_) return;
    recordingRun_ = false;
    if (fault_ == TickFault::None) {
        record_.Add(endTick, CheckpointKind::End, end);
        record_.Add(endTick, CheckpointKind::Stopped, Point());
    } else {
        record_.Add(tickBase_ + status_.ticks, CheckpointKind::Stopped, Point());
        record_.Close();
        recordFault_ = fault_;
    }
    lastEnd_ = end;
    shownTick_ = tickBase_ + status_.ticks;
}

// The run recomputed up to `tick` stands there before its closing half step: the state a run
// goes on from; then as a stop there leaves it.
TickFault MainWindowLogic::Settle(std::int64_t tick) {
    resume_ = Point();
    shownTick_ = tick;
    if (const Checkpoint* stopped = record_.StoppedAt(tick)) {
        PutRunPoint(stopped->point, s_, halfSteps_);
        status_.ticks = stopped->point.runTicks;
        return TickFault::None;
    }
    const LeapfrogStart::Ending ending = halfSteps_.Finish(status_.ticks);
    if (ending.tickUndone) --status_.ticks;
    if (ending.fault != TickFault::None)
        toolkit_.MessageBox(TickFaultMessage(ending.fault, ending.lagging));
    return ending.fault;
}

void MainWindowLogic::ShowSettled() {
    // The check boxes as the bodies took part then (a box clicked during the run).
    const RunStatus status = status_;
    for (int b = 1; b <= s_.BodyCount; ++b)
        if ((params_.bodies[b].state == 1) != (s_.BodyOn[b] == 1))
            params_.SetBodyState(b, s_.BodyOn[b] == 1 ? 1 : 0);
    status_ = status;
    status_.state = RunState::Stopped;
    status_.noStopDate = false;
    WriteReadout(s_, params_);
    plotter_.ShowUntil(s_.SimTime);
    plotter_.Rerender(view_.CurrentFrame());
    resumeFields_ = Snap();
}

JumpOutcome MainWindowLogic::Arrive(std::int64_t tick, const SystemSnapshot& before) {
    jumpFault_ = Settle(tick);
    ShowSettled();
    committed_ = Snap();
    history_.Record(StepKind::Jump, 0, StepName(StepKind::Jump, RunStepWhat(params_)), before,
                    committed_);
    return jumpFault_ == TickFault::None ? JumpOutcome::Done : JumpOutcome::Fault;
}

// Past the record's end: the run goes on from it exactly, plotting, as fast as it can.
JumpOutcome MainWindowLogic::RunForward(double date, std::int64_t tick) {
    const SystemSnapshot before = Snap();
    const std::int64_t last = record_.LastTick();
    Recompute(*record_.From(last), last, kNoDate);
    if (!record_.Open()) {
        // The tick after the end faults: the end is as far as a run gets.
        Arrive(last, before);
        jumpFault_ = recordFault_;
        return JumpOutcome::Fault;
    }
    resume_ = Point();
    shownTick_ = last;
    status_.state = RunState::Running;
    status_.start = CurrentTotals();
    lastRun_ = RunOutcome{true, TickFault::None};
    s_.StopRequested = 0;
    SetCaption(kCaptionStop);
    stopAtTick_ = tick;
    RunLoop(runStepLong_, date, RunBegin::Resume, false);
    stopAtTick_ = kNever;
    jumpFault_ = fault_;
    if (fault_ == TickFault::None) {
        resume_ = lastEnd_;
        status_.state = RunState::Stopped;
    }
    committed_ = Snap();
    history_.Record(StepKind::Jump, 0, StepName(StepKind::Jump, RunStepWhat(params_)), before,
                    committed_);
    return fault_ == TickFault::None ? JumpOutcome::Done : JumpOutcome::Fault;
}

JumpOutcome MainWindowLogic::JumpToDate(double date) {
    if (Running()) return JumpOutcome::Refused;
    if (record_.Empty()) return JumpOutcome::NoRecord;
    if (!(date > record_.FirstDate())) return JumpOutcome::BeforeRecord;
    if (date > record_.LastDate()) return RunForward(date, kNever);
    const SystemSnapshot before = Snap();
    const Checkpoint* from = record_.FromDate(date);
    if (!from) return JumpOutcome::BeforeRecord;
    return Arrive(Recompute(*from, record_.LastTick(), date), before);
}

JumpOutcome MainWindowLogic::JumpToTick(std::int64_t tick) {
    if (Running()) return JumpOutcome::Refused;
    if (record_.Empty()) return JumpOutcome::NoRecord;
    tick = std::max(tick, record_.FirstTick() + 1);
    if (tick > record_.LastTick()) return RunForward(0, tick);
    const SystemSnapshot before = Snap();
    return Arrive(Recompute(*record_.From(tick), tick, kNoDate), before);
}

bool MainWindowLogic::ShowRecordAt(double date) {
    if (Running() || record_.Empty()) return false;
    plotter_.RerenderUntil(view_.CurrentFrame(), date, false);
    return true;
}

// Undo and redo go back to the record's moment the system stood at then, when the record still
// holds it as it was.
void MainWindowLogic::Revisit(const SystemSnapshot& restored) {
    const std::int64_t t = restored.recordTick;
    if (t == shownTick_) return;
    if (t >= 0 && !record_.Empty() && t > record_.FirstTick() && t <= record_.LastTick()) {
        if (const Checkpoint* from = record_.From(t); from && Recompute(*from, t, kNoDate) == t) {
            if (Settle(t) == TickFault::None) {
                WriteReadout(s_, params_);
                if (SameRunFields(TakeSnapshot(params_), restored)) {
                    ShowSettled();
                    return;
                }
            }
        }
        RestoreSnapshot(params_, restored);
    }
    shownTick_ = -1;
    resume_.reset();
}

std::u16string JumpMessage(JumpOutcome outcome, double firstDate) {
    switch (outcome) {
        case JumpOutcome::BeforeRecord:
            return u"Запись счёта начинается с " + FormatDate(firstDate) +
                   u": перейти можно только к более позднему моменту.";
        case JumpOutcome::NoRecord:
            return u"Переходить не к чему: после загрузки системы или очистки рисунка счёт ещё "
                   u"не записан. Нажмите «Пуск».";
        case JumpOutcome::Refused:
            return u"Во время счёта переход невозможен: сначала нажмите «Стоп».";
        default:
            return {};
    }
}

}  // namespace orbimo
