#include "mainwindow/MainWindowLogic.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "convert/DateTimeText.h"
#include "convert/NumberText.h"
#include "core/AdvanceTick.h"
#include "core/HalfKick.h"
#include "core/ProjectToPixel.h"
#include "display/Readout.h"
#include "files/Catalogue.h"
#include "files/SaveLoad.h"

namespace orbimo {

namespace {
constexpr double kButtonWidth = 1095;
constexpr double kButtonHeight = 375;
}  // namespace

MainWindowLogic::MainWindowLogic(SimState& state, ParamsModel& params, PixelSurface& surface,
                                 Toolkit& toolkit, FileSystem& files, const ScreenMetrics& screen)
    : s_(state),
      params_(params),
      surface_(surface),
      toolkit_(toolkit),
      files_(files),
      screen_(screen),
      plotter_(state, surface),
      view_(state, params, plotter_),
      halfSteps_(state) {
    params_.clearPlot = [this] {
        plotter_.Clear(false);
        if (!Running()) TakeFieldScale();
    };
    // What the readout says belongs to the bodies as they were: an edit starts it afresh (during
    // a run, the energy is measured from the next tick on).
    params_.bodyEdited = [this](int) {
        if (Running())
            rebase_ = true;
        else
            status_ = RunStatus{};
    };
    params_.systemLoaded = [this](const std::u16string& name) { SystemLoaded(name); };
}

void MainWindowLogic::Startup(const std::u16string& systemFile) {
    SetConstants(s_);
    const ScreenInfo screen = screen_.Screen();
    windowWidth_ = screen.widthTwips;
    windowHeight_ = screen.heightTwips;
    // Single precision, as the window system computes control positions.
    const float top =
        static_cast<float>(windowHeight_) - static_cast<float>(kButtonHeight) - 1800.0f;
    float left =
        static_cast<float>(windowWidth_) - 4.0f * static_cast<float>(kButtonWidth) - 200.0f;
    for (auto& b : buttons_) {
        b = TwipRect{left, top, kButtonWidth, kButtonHeight};
        left = left + static_cast<float>(kButtonWidth);
    }
    // The parameters window exists from here on; its own creation fills the catalogue.
    FillSystems(params_, files_);
    for (int b = 1; b <= s_.BodyCount; ++b) s_.BodyColor[b] = params_.bodies[b].captionColour;
    s_.TwipsPerPixelX = static_cast<std::int16_t>(RoundHalfEven(screen.twipsPerPixelX));
    s_.TwipsPerPixelY = static_cast<std::int16_t>(RoundHalfEven(screen.twipsPerPixelY));
    if (s_.TwipsPerPixelX < 1) s_.TwipsPerPixelX = 1;
    if (s_.TwipsPerPixelY < 1) s_.TwipsPerPixelY = 1;
    CreatePixelOwner(s_, screen.widthTwips, screen.heightTwips);
    view_.SetWindow(windowWidth_, windowHeight_, buttons_[0].top);
    view_.ResetOrigin();
    StoreBuiltInSystem(s_);
    WriteReadout(s_, params_);
    LoadSystem(params_, files_, systemFile);
    SystemLoaded(u"");
}

void MainWindowLogic::SystemLoaded(const std::u16string& name) {
    // Start-up's load is where the history begins; any other is a step of it.
    DropRecord();
    if (!historyBegun_) {
        historyBegun_ = true;
        committed_ = Snap();
    } else {
        RecordChange(name.empty() ? StepKind::BackToStart : StepKind::Load, 0, name);
    }
    status_ = RunStatus{};
    TakeFieldScale();
    view_.ResetOrigin();
    view_.SetFrame(Frame{});
    if (systemLoaded) systemLoaded(name);
}

void MainWindowLogic::TakeFieldScale() {
    const std::optional<double> zoom = ParseNumber(params_.scaleText);
    if (zoom && *zoom != 0 && std::isfinite(*zoom)) s_.Zoom = *zoom;
}

void MainWindowLogic::Click(int index) {
    switch (index) {
        case 0:
            StartOrStop();
            break;
        case 1:
            s_.StopRequested = -1;
            if (showParams) showParams();
            break;
        case 2:
            Clear(true);
            break;
        case 3:
            toolkit_.EndProgram();
        default:
            break;
    }
}

void MainWindowLogic::Clear(bool keepMarkers) {
    plotter_.Clear(keepMarkers);
    DropRecord();
}

void MainWindowLogic::RepaintRequest() {
    surface_.Clear();
    plotter_.Repaint();
}

void MainWindowLogic::SetCaption(const std::u16string& c) {
    caption0_ = c;
    if (captionChanged) captionChanged();
}

std::optional<RunSettings> MainWindowLogic::ReadRunSettings() {
    RunSettings run;
    auto number = [this](const std::u16string& text, const std::u16string& where,
                         double& out) -> bool {
        if (auto v = ParseNumber(text)) {
            out = *v;
            return true;
        }
        // A pasted novel must not become a message box the size of the screen.
        const std::u16string shown = text.size() > 40 ? text.substr(0, 40) + u"…" : text;
        toolkit_.MessageBox(where + u": «" + shown +
                            u"» — это не число (или число вне допустимого диапазона).\n"
                            u"Исправьте значение в окне «Параметры» и нажмите «Пуск» снова.");
        return false;
    };
    for (int b = 1; b <= s_.BodyCount; ++b) {
        const BodyRow& row = params_.bodies[b];
        const std::u16string who = u"«" + row.caption + u"», ";
        if (!number(row.mass.text, who + u"Масса", run.mass[b]) ||
            !number(row.x.text, who + u"X", run.posX[b]) ||
            !number(row.y.text, who + u"Y", run.posY[b]) ||
            !number(row.vx.text, who + u"Скор.X", run.velX[b]) ||
            !number(row.vy.text, who + u"Скор.Y", run.velY[b]))
            return std::nullopt;
        run.bodyOn[b] = static_cast<std::int16_t>(row.state);
    }
    if (!number(params_.timeStep.text, u"Шаг(с)", run.timeStep) ||
        !number(params_.stepLength.text, u"Шаг(м)", run.stepLength) ||
        !number(params_.scaleText, u"Масштаб", run.zoom))
        return std::nullopt;
    // Only zero cannot be drawn; a negative scale mirrors the picture through the view origin.
    if (run.zoom == 0) {
        toolkit_.MessageBox(u"Масштаб должен быть больше нуля");
        return std::nullopt;
    }
    run.stepLong = params_.stepLengthMode != 0;
    return run;
}

void MainWindowLogic::StartOrStop() {
    if (caption0_ == kCaptionStop) {
        s_.StopRequested = -1;
        return;
    }
    lastRun_ = RunOutcome{};
    // Everything is checked before anything changes: a refused run leaves no trace.
    const std::optional<RunSettings> run = ReadRunSettings();
    if (!run) return;
    lastRun_.started = true;
    const RunBegin begin = HowToBegin();
    double stopTime = ParseDate(params_.stopDate.text, toolkit_);
    status_ = RunStatus{RunState::Running, !(stopTime > s_.SimTime), 0, {}};
    if (!(stopTime > s_.SimTime)) stopTime = 0;
    s_.StopRequested = 0;
    SetCaption(kCaptionStop);
    for (int b = 1; b <= s_.BodyCount; ++b) {
        s_.Mass[b] = run->mass[b];
        s_.PosX[b] = run->posX[b];
        s_.PosY[b] = run->posY[b];
        s_.VelX[b] = run->velX[b];
        s_.VelY[b] = run->velY[b];
        s_.BodyOn[b] = run->bodyOn[b];
    }
    s_.TimeStep = run->timeStep;
    s_.StepLength = run->stepLength;
    s_.Zoom = run->zoom;
    if (begin == RunBegin::Resume) {
        // Where the jump left the run, the leapfrog start's half step included.
        PutRunPoint(*resume_, s_, halfSteps_);
        status_.ticks = resume_->runTicks;
    }
    status_.start = begin == RunBegin::Resume ? CurrentTotals() : MeasureTotals(s_);
    rebase_ = false;
    const SystemSnapshot before = Snap();
    RunLoop(run->stepLong, stopTime, begin);
    // A run stopped is read from the fields again: only a jump's moment is gone on from exactly.
    resume_.reset();
    // The run is one step: undone, every body, the date and the step are as before «Пуск».
    committed_ = Snap();
    history_.Record(StepKind::Run, 0, StepName(StepKind::Run, RunStepWhat(params_)), before,
                    committed_);
}

// One tick: the integrator, the plotting step, the clock, the stop date. False when the run
// must end here.
inline bool MainWindowLogic::Tick(bool stepLong, double stopTime) {
    if (rebase_) {
        rebase_ = false;
        status_.start = CurrentTotals();
        if (recordingRun_) AddCheckpoint(CheckpointKind::Edit);
    }
    if (halfSteps_.Behind()) {
        if ((fault_ = halfSteps_.BeforeTick(stepLong, status_.ticks)) != TickFault::None)
            return false;
        stepLong = false;  // the leapfrog start has set this tick's step
    }
    fault_ = AdvanceTick(s_, stepLong);
    if (fault_ != TickFault::None) return false;
    if (plotting_) plotter_.PlotStep(view_.CurrentFrame());
    s_.SimTime = s_.SimTime + s_.TimeStep;  // finite: the tick checked it
    ++status_.ticks;
    if (status_.ticks == checkAt_) DueCheckpoint();
    if (afterTick) afterTick();
    timerReached_ = stopTime != 0 && s_.SimTime >= stopTime;
    return !timerReached_;
}

// One display frame of a paced run: the ticks its pace asks for by now, then a wait for the
// next frame in which input is handled and no core is burnt. False when the run must end.
bool MainWindowLogic::PacedFrame(bool stepLong, double stopTime) {
    const double start = toolkit_.Now();
    const double target = pace_.BeginFrame(start, s_.SimTime);
    int sinceClock = 0;
    while (s_.SimTime < target) {
        if (!Tick(stepLong, stopTime)) return false;
        toolkit_.DispatchPendingEvents();
        if (s_.StopRequested != 0 || pace_.PaceChanged()) return true;
        // Most of a frame spent: the pace is beyond this machine.
        if (++sinceClock == 16) {
            sinceClock = 0;
            if (pace_.OutOfTime(start, toolkit_.Now(), s_.SimTime)) break;
        }
    }
    pace_.EndFrame(start);
    toolkit_.Wait(start + PaceClock::kFrame - toolkit_.Now());
    return true;
}

void MainWindowLogic::RunLoop(bool stepLong, double stopTime, RunBegin begin, bool paced) {
    fault_ = TickFault::None;
    timerReached_ = false;
    pace_.StartRun(stopTime > 0 ? stopTime - s_.SimTime : 0);
    const bool resumed = begin == RunBegin::Resume;
    status_.leapfrog = resumed ? halfSteps_.Behind() : leapfrog_;
    runStepLong_ = stepLong;
    // Leapfrog: the velocities half a step before the positions, with the first tick's step.
    bool going = resumed || !leapfrog_ ||
                 (fault_ = halfSteps_.StepBack(stepLong, status_.ticks)) == TickFault::None;
    BeginRecording(begin);
    while (going && s_.StopRequested == 0) {
        if (!paced || pace_.Unlimited()) {
            going = Tick(stepLong, stopTime);
            if (going) toolkit_.DispatchPendingEvents();
        } else {
            going = PacedFrame(stepLong, stopTime);
        }
    }
    s_.StopRequested = 0;
    const RunPoint end = Point();
    const std::int64_t endTick = tickBase_ + status_.ticks;
    // ...and forward to the positions' moment before the fields show them.
    const LeapfrogStart::Ending ending = halfSteps_.Finish(status_.ticks);
    if (fault_ == TickFault::None) fault_ = ending.fault;
    if (ending.tickUndone) --status_.ticks;
    EndRecording(end, endTick);
    lastRun_.fault = fault_;
    status_.state = fault_ != TickFault::None ? RunState::Fault
                    : timerReached_           ? RunState::TimerReached
                                              : RunState::Stopped;
    WriteReadout(s_, params_);
    resumeFields_ = Snap();
    SetCaption(kCaptionStart);
    if (fault_ != TickFault::None) toolkit_.MessageBox(TickFaultMessage(fault_, ending.lagging));
}

// The run computed again from a checkpoint through the very same tick, nothing drawn, up to
// the record's tick `tick` or the first tick whose clock reaches `date`: the tick reached.
std::int64_t MainWindowLogic::Recompute(const Checkpoint& from, std::int64_t tick, double date) {
    PutRunPoint(from.point, s_, halfSteps_);
    status_.ticks = from.point.runTicks;
    runStepLong_ = from.point.stepLong;
    tickBase_ = from.tick - from.point.runTicks;
    rebase_ = false;
    const bool plotting = std::exchange(plotting_, false);
    std::function<void()> after = std::exchange(afterTick, nullptr);
    std::int64_t t = from.tick;
    while (t < tick && s_.SimTime < date && Tick(runStepLong_, 0)) ++t;
    plotting_ = plotting;
    afterTick = std::move(after);
    return t;
}

bool MainWindowLogic::Edit(StepKind kind, int body, const std::function<std::u16string()>& edit,
                           bool dragging) {
    if (Running()) return false;
    const SystemSnapshot before = Snap();
    const std::u16string what = edit();
    committed_ = Snap();
    history_.Record(kind, body, StepName(kind, what), before, committed_, dragging);
    return true;
}

void MainWindowLogic::RecordChange(StepKind kind, int body, const std::u16string& what) {
    SystemSnapshot now = Snap();
    history_.Record(kind, body, StepName(kind, what), committed_, now);
    committed_ = std::move(now);
}

bool MainWindowLogic::Undo() {
    return Revisit(false);
}

bool MainWindowLogic::Redo() {
    return Revisit(true);
}

bool MainWindowLogic::Revisit(bool redo) {
    if (Running()) return false;
    const std::u16string scale = params_.scaleText;
    const bool done = redo ? history_.Redo(params_) : history_.Undo(params_);
    if (done) Revisit(*history_.Restored());
    params_.SetText({FieldKind::Scale}, scale);
    committed_ = Snap();
    return done;
}

void MainWindowLogic::ViewChanged() {
    if (!Running()) committed_ = Snap();
}

Totals MainWindowLogic::CurrentTotals() const {
    const auto [velX, velY] = VelocitiesInStep();
    return MeasureTotals(s_, velX, velY);
}

std::u16string TickFaultMessage(TickFault fault, bool velocitiesBehind) {
    std::u16string why;
    switch (fault) {
        case TickFault::DivisionByZero:
            why =
                u"деление на ноль: в режиме «Шаг длины» ни одно участвующее тело не движется, "
                u"поэтому шаг по времени определить нельзя";
            break;
        case TickFault::Overflow:
            why =
                u"переполнение: значения вышли за пределы допустимого диапазона "
                u"(слишком большие массы, расстояния, скорости или шаг)";
            break;
        default:
            why = u"недопустимая операция в вычислениях";
            break;
    }
    return u"Расчёт остановлен: " + why +
           u".\nВ окне «Параметры» показано последнее правильно рассчитанное состояние." +
           (velocitiesBehind ? u"\nСкорости в нём отстают от положений на полшага: в точном "
                               u"старте (leapfrog) их не удалось вернуть к моменту положений."
                             : u"");
}

}  // namespace orbimo
