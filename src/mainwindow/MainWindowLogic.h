#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "core/AdvanceTick.h"
#include "core/SimState.h"
#include "core/Totals.h"
#include "display/Frame.h"
#include "display/Plotter.h"
#include "mainwindow/LeapfrogStart.h"
#include "mainwindow/PaceClock.h"
#include "mainwindow/PictureView.h"
#include "mainwindow/RunRecord.h"
#include "mainwindow/SystemHistory.h"
#include "params/ParamsModel.h"
#include "platform/FileSystem.h"
#include "platform/PixelSurface.h"
#include "platform/ScreenMetrics.h"
#include "platform/Toolkit.h"

namespace orbimo {

inline constexpr char16_t kCaptionStart[] = u"Пуск";
inline constexpr char16_t kCaptionStop[] = u"Стоп";

/// Where the run stands, for the readout.
enum class RunState : std::uint8_t { Idle, Running, Stopped, TimerReached, Fault };

/// What the readout tells about the current or last run.
struct RunStatus {
    RunState state = RunState::Idle;
    bool noStopDate = false;  // started with a stop date not after the simulated time
    std::int64_t ticks = 0;   // ticks of this run so far
    Totals start;             // the bodies' totals just before the first tick
    bool leapfrog = false;    // started with the leapfrog start
};

/// How the last call of StartOrStop that tried to start a run ended.
struct RunOutcome {
    bool started = false;               // false: the fields were refused, nothing ran
    TickFault fault = TickFault::None;  // the tick fault that ended the run, if any
};

struct TwipRect {
    double left = 0, top = 0, width = 0, height = 0;
};

/// How a jump to a moment of the run's record ended.
enum class JumpOutcome : std::uint8_t {
    Done,
    BeforeRecord,  // the moment is not after the record's start
    NoRecord,      // nothing run since the system was loaded or the picture cleared
    Fault,         // the run forward from the record's end ended in a tick fault (JumpFault())
    Refused,       // a run is going
};

/// What one run reads from the parameters window before its first tick.
struct RunSettings {
    BodyDoubles mass{}, posX{}, posY{}, velX{}, velY{};
    std::array<std::int16_t, kSlots> bodyOn{};
    double timeStep = 0, stepLength = 0, zoom = 0;
    bool stepLong = false;
};

/// The main window's behaviour: start-up, the four buttons and the run loop. The view, the pace
/// and the leapfrog start are rooms of their own that it composes.
class MainWindowLogic {
  public:
    MainWindowLogic(SimState& state, ParamsModel& params, PixelSurface& surface, Toolkit& toolkit,
                    FileSystem& files, const ScreenMetrics& screen);

    /// Start-up, steps 1 to 11; the last loads systemFile (empty: the state file).
    void Startup(const std::u16string& systemFile = {});
    /// A click on button `index` (0 «Пуск», 1 «Параметры», 2 «Очистить», 3 «Выход»).
    void Click(int index);
    /// Starts a run, or asks the run in progress to end (Play1).
    void StartOrStop();
    /// Wipes the picture, and with it the run's record.
    void Clear(bool keepMarkers);
    /// The window system asks for the picture: background, then the rebuild.
    void RepaintRequest();

    const std::u16string& Button0Caption() const { return caption0_; }
    bool Running() const { return caption0_ == kCaptionStop; }
    double WindowWidthTwips() const { return windowWidth_; }
    double WindowHeightTwips() const { return windowHeight_; }
    const std::array<TwipRect, 4>& Buttons() const { return buttons_; }
    Plotter& plotter() { return plotter_; }
    const Plotter& plotter() const { return plotter_; }
    /// Whether the last start of a run happened and how it ended (the batch runner's exit status).
    const RunOutcome& LastRun() const { return lastRun_; }
    const RunStatus& Status() const { return status_; }
    const SimState& State() const { return s_; }
    const ParamsModel& Params() const { return params_; }
    ParamsModel& Params() { return params_; }

    /// The scale, the origin and the frame the picture is seen in.
    PictureView& View() { return view_; }
    const PictureView& View() const { return view_; }
    /// The pace, which may change during a run.
    PaceClock& Pace() { return pace_; }
    const PaceClock& Pace() const { return pace_; }
    /// The view body k, as its option in the parameters window selects it.
    void SelectView(int k) { params_.SelectView(k); }
    /// Fit, with the bodies where the record holds them during a run.
    void Fit() { view_.Fit(Running()); }

    // ---- undo and redo: every change to the system is a step, a finished run included ----
    const SystemHistory& History() const { return history_; }
    /// Runs `edit` (which returns what the step is named after, as StepName takes it) and
    /// records what it changed as one step; while `dragging`, steps of one drag merge. Refused
    /// while a run goes, whose end would overwrite it: false then, and nothing is done.
    bool Edit(StepKind kind, int body, const std::function<std::u16string()>& edit,
              bool dragging = false);
    /// The fields changed since the last step (a field's handler ran, a box was clicked, a system
    /// was loaded): one step, named after `what`.
    void RecordChange(StepKind kind, int body, const std::u16string& what);
    /// The drag is over: the next step stands alone.
    void EndDrag() { history_.EndDrag(); }
    /// Puts the system back as it was before the last step / after the step undone. The scale
    /// stays: it is how the picture is seen. Refused while a run goes.
    bool Undo();
    bool Redo();
    /// A change of the view (the wheel's or Fit's scale) is no step of its own.
    void ViewChanged();

    // ---- rewind: the run's record, any tick of it computed again bit for bit ----
    /// The system as a run with `date` as its stop date would have left it: at the first tick
    /// whose clock reaches the date, computed again from the record; past the record's end the
    /// run goes on, plotting, up to it. One step of the undo history.
    JumpOutcome JumpToDate(double date);
    /// The same at the record's tick `tick` (not before its first tick + 1).
    JumpOutcome JumpToTick(std::int64_t tick);
    /// Draws the picture as it stood at `date` from the path history, the system left as it is
    /// (a time bar being dragged); JumpToDate or EndShowRecord after. False with no record.
    bool ShowRecordAt(double date);
    /// The picture at the moment the system stands at again.
    void EndShowRecord() { plotter_.Rerender(view_.CurrentFrame()); }
    bool HasRecord() const { return !record_.Empty(); }
    std::int64_t RecordFirstTick() const { return record_.FirstTick(); }
    std::int64_t RecordLastTick() const { return record_.LastTick(); }
    double RecordFirstDate() const { return record_.FirstDate(); }
    double RecordLastDate() const { return record_.LastDate(); }
    /// The record's tick the system stands at; -1 when it stands at none.
    std::int64_t RecordTick() const { return shownTick_; }
    const RunRecord& Record() const { return record_; }
    /// The tick fault a jump forward ended in (its message was shown as a run's is).
    TickFault JumpFault() const { return jumpFault_; }
    /// Whether runs keep a record (on by default).
    void SetRecording(bool on);

    /// The leapfrog start for the runs that follow, off by default: a run's start moves the
    /// velocities half a step back, its end half a step forward again.
    void SetLeapfrog(bool on) { leapfrog_ = on; }
    bool Leapfrog() const { return leapfrog_; }
    /// Whether a run plots its ticks (on by default); a runner without a picture turns it off.
    void SetPlotting(bool on) { plotting_ = on; }
    /// The velocities at the positions' moment (during a leapfrog run the record's trail them).
    std::pair<BodyDoubles, BodyDoubles> VelocitiesInStep() const {
        return halfSteps_.VelocitiesInStep();
    }
    /// The bodies' totals now, with the velocities at the positions' moment.
    Totals CurrentTotals() const;

    /// Reads and checks every run field; a message and nothing when one is not usable.
    std::optional<RunSettings> ReadRunSettings();

    /// The caption of button 0 changed.
    std::function<void()> captionChanged;
    /// Shows the parameters window near the main window's lower right corner.
    std::function<void()> showParams;
    /// Called once per tick after drawing; for measuring and for the batch runner.
    std::function<void()> afterTick;
    /// A system was loaded and opened at its own view (its name; empty for the state file).
    std::function<void(const std::u16string& name)> systemLoaded;

    /// A system is in the fields now: the readout starts afresh, the picture is seen at the
    /// system's own scale from the home origin in the view body's frame.
    void SystemLoaded(const std::u16string& name);
    /// The scale the fields hold becomes the picture's (when it is a usable one), as a run
    /// would take it: the picture has been cleared, so nothing drawn is at another scale.
    void TakeFieldScale();

  private:
    // How a run's record goes on: afresh, after the record's end as the fields read it, or
    // exactly from the moment a jump left.
    enum class RunBegin : std::uint8_t { NewRecord, Append, Resume };
    static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

    void SetCaption(const std::u16string& c);
    void RunLoop(bool stepLong, double stopTime, RunBegin begin, bool paced = true);
    bool Tick(bool stepLong, double stopTime);
    bool PacedFrame(bool stepLong, double stopTime);
    RunPoint Point() const { return TakeRunPoint(s_, halfSteps_, status_.ticks, runStepLong_); }
    void AddCheckpoint(CheckpointKind kind);
    void DueCheckpoint();
    void BeginRecording(RunBegin begin);
    void EndRecording(const RunPoint& end, std::int64_t endTick);
    void DropRecord();
    RunBegin HowToBegin();
    SystemSnapshot Snap();
    std::int64_t Recompute(const Checkpoint& from, std::int64_t tick, double date);
    TickFault Settle(std::int64_t tick);
    void ShowSettled();
    JumpOutcome Arrive(std::int64_t tick, const SystemSnapshot& before);
    JumpOutcome RunForward(double date, std::int64_t tick);
    void Revisit(const SystemSnapshot& restored);
    /// Undo (or redo) of one step, the scale kept.
    bool Revisit(bool redo);

    SimState& s_;
    ParamsModel& params_;
    PixelSurface& surface_;
    Toolkit& toolkit_;
    FileSystem& files_;
    const ScreenMetrics& screen_;
    Plotter plotter_;
    PictureView view_;
    PaceClock pace_;
    LeapfrogStart halfSteps_;
    std::u16string caption0_ = kCaptionStart;
    double windowWidth_ = 0, windowHeight_ = 0;
    std::array<TwipRect, 4> buttons_{};
    RunOutcome lastRun_;
    RunStatus status_;
    TickFault fault_ = TickFault::None;
    bool timerReached_ = false;
    bool leapfrog_ = false;
    bool plotting_ = true;
    bool rebase_ = false;  // a body changed during the run: its totals start again there
    SystemHistory history_;
    SystemSnapshot committed_;  // the system as the last step left it
    bool historyBegun_ = false;
    RunRecord record_;
    bool recording_ = true;
    bool recordingRun_ = false;         // a run is going and keeps the record
    bool runStepLong_ = false;          // of the run going or recomputed
    std::int64_t tickBase_ = 0;         // the record's tick at the run's tick 0
    std::int64_t checkAt_ = kNever;     // the run's tick of the next checkpoint or stop
    std::int64_t stopAtTick_ = kNever;  // the record's tick a jump forward ends at
    std::int64_t shownTick_ = -1;
    std::optional<RunPoint> resume_;  // the run at shownTick_, before its closing half step
    RunPoint lastEnd_;                // the same where the last run ended
    SystemSnapshot resumeFields_;     // the fields as the record's moment wrote them
    TickFault recordFault_ = TickFault::None, jumpFault_ = TickFault::None;
};

/// Russian text for a jump that did not happen (empty for Done and Fault, whose message the
/// run forward has shown); `firstDate`: the record's start.
std::u16string JumpMessage(JumpOutcome outcome, double firstDate);

/// Russian text for a tick that could not be computed; velocitiesBehind when the closing half
/// step of a leapfrog run could not be computed either.
std::u16string TickFaultMessage(TickFault fault, bool velocitiesBehind = false);

}  // namespace orbimo
