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
      plotter_(state, surface) {
    params_.clearPlot = [this] { plotter_.Clear(false); };
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
    s_.OriginX = windowWidth_ / 2;
    s_.OriginY = windowHeight_ / 2 - windowHeight_ / 8;
    StoreBuiltInSystem(s_);
    WriteReadout(s_, params_);
    LoadSystem(params_, files_, systemFile);
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
            plotter_.Clear(true);
            break;
        case 3:
            toolkit_.EndProgram();
        default:
            break;
    }
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
    status_.start = MeasureTotals(s_);
    RunLoop(*run, stopTime);
}

void MainWindowLogic::SetPace(int index) {
    if (index >= 0 && index < static_cast<int>(kPaces.size())) pace_ = index;
}

// One tick: the integrator, the plotting step, the clock, the stop date. False when the run
// must end here.
inline bool MainWindowLogic::Tick(bool stepLong, double stopTime) {
    if (behind_) {
        // A body switched on or off during a leapfrog run: forward with the bodies put back,
        // then back again with those taking part now.
        if (s_.BodyOn != behindOn_) {
            fault_ = HalfStepForward();
            if (fault_ == TickFault::None) fault_ = HalfStepBack(stepLong);
            if (fault_ != TickFault::None) return false;
        }
        // Two in turn: a tick that fails leaves the record before the last good one.
        before_[(status_.ticks + 1) & 1] = {s_.PosX, s_.PosY,     s_.VelX,
                                            s_.VelY, s_.TimeStep, s_.SimTime};
    }
    fault_ = AdvanceTick(s_, stepLong);
    if (fault_ != TickFault::None) return false;
    if (plotting_) plotter_.PlotStep(frame_);
    s_.SimTime = s_.SimTime + s_.TimeStep;  // finite: the tick checked it
    ++status_.ticks;
    if (afterTick) afterTick();
    timerReached_ = stopTime != 0 && s_.SimTime >= stopTime;
    return !timerReached_;
}

// One display frame of a paced run: the ticks its pace asks for by now, then a wait for the
// next frame in which input is handled and no core is burnt. False when the run must end.
bool MainWindowLogic::PacedFrame(bool stepLong, double stopTime) {
    constexpr double kFrame = 1.0 / 60;
    const double start = toolkit_.Now();
    // A new pace, or frames missed (the pace was off, a message box held the loop): the
    // simulated time follows real time from here, without a burst to catch up.
    if (anchorPace_ != pace_ || start - lastFrame_ > 0.25) {
        anchorPace_ = pace_;
        anchorReal_ = start;
        anchorSim_ = s_.SimTime;
    }
    const double target =
        anchorSim_ + kPaces[static_cast<std::size_t>(pace_)] * (start - anchorReal_);
    int sinceClock = 0;
    while (s_.SimTime < target) {
        if (!Tick(stepLong, stopTime)) return false;
        toolkit_.DispatchPendingEvents();
        if (s_.StopRequested != 0 || pace_ != anchorPace_) return true;
        // Most of a frame spent: the pace is beyond this machine. Keep no more than a frame's
        // work in hand, so that it never races to catch up later.
        if (++sinceClock == 16) {
            sinceClock = 0;
            const double now = toolkit_.Now();
            if (now - start > 0.75 * kFrame) {
                anchorReal_ = now;
                anchorSim_ = s_.SimTime + kPaces[static_cast<std::size_t>(pace_)] * kFrame;
                break;
            }
        }
    }
    lastFrame_ = start;
    toolkit_.Wait(start + kFrame - toolkit_.Now());
    return true;
}

void MainWindowLogic::RunLoop(const RunSettings& run, double stopTime) {
    fault_ = TickFault::None;
    timerReached_ = false;
    anchorPace_ = 0;
    lastFrame_ = -1e300;
    status_.leapfrog = leapfrog_;
    // Leapfrog: the velocities half a step before the positions, with the first tick's step.
    bool going = !leapfrog_ || (fault_ = HalfStepBack(run.stepLong)) == TickFault::None;
    while (going && s_.StopRequested == 0) {
        if (pace_ == 0) {
            going = Tick(run.stepLong, stopTime);
            if (going) toolkit_.DispatchPendingEvents();
        } else {
            going = PacedFrame(run.stepLong, stopTime);
        }
    }
    s_.StopRequested = 0;
    // ...and forward to the positions' moment with the last tick's step before the fields show
    // them. When the pull at the last positions cannot be computed, the last good state is the
    // one before the last tick, whose pull that tick computed.
    bool lagging = false;
    if (behind_) {
        const TickFault closing = HalfStepForward();
        if (closing != TickFault::None) {
            if (fault_ == TickFault::None) fault_ = closing;
            if (status_.ticks > behindSince_) {
                const auto& b = before_[status_.ticks & 1];
                s_.PosX = b.posX, s_.PosY = b.posY, s_.VelX = b.velX, s_.VelY = b.velY;
                s_.TimeStep = b.timeStep, s_.SimTime = b.simTime;
                --status_.ticks;
            }
            lagging = HalfStepForward() != TickFault::None;
        }
        behind_ = false;
    }
    lastRun_.fault = fault_;
    status_.state = fault_ != TickFault::None ? RunState::Fault
                    : timerReached_           ? RunState::TimerReached
                                              : RunState::Stopped;
    WriteReadout(s_, params_);
    SetCaption(kCaptionStart);
    if (fault_ != TickFault::None) toolkit_.MessageBox(TickFaultMessage(fault_, lagging));
}

void MainWindowLogic::SetFrame(const Frame& f) {
    if (f == frame_) return;  // the same picture (start-up sets the frame the user left)
    frame_ = f;
    plotter_.Rerender(frame_);
}

// The scale as its field shows it, so that the next run and a save use exactly this one.
void MainWindowLogic::SetZoom(double zoom) {
    const std::u16string text = GroupedScaleText(zoom);
    s_.Zoom = ParseNumber(text).value_or(zoom);
    params_.scaleText = text;
    // Not the user's edit of the field: turning away from the window must not clear the plot.
    params_.scaleOnActivate = s_.Zoom;
    if (params_.changed) params_.changed();
}

void MainWindowLogic::ZoomAt(double px, double py, double factor) {
    const double zoom = s_.Zoom / factor;
    if (!(std::fabs(zoom) >= kSmallestZoom && std::fabs(zoom) <= kLargestZoom)) return;
    // The point under the cursor, in metres from the view origin, stays where it is.
    const double tx = (px + 0.5) * s_.TwipsPerPixelX, ty = (py + 0.5) * s_.TwipsPerPixelY;
    const double mx = (tx - s_.OriginX) * s_.Zoom, my = (ty - s_.OriginY) * s_.Zoom;
    SetZoom(zoom);
    s_.OriginX = tx - mx / s_.Zoom;
    s_.OriginY = ty - my / s_.Zoom;
    plotter_.Rerender(frame_);
}

void MainWindowLogic::PanBy(double dxPixels, double dyPixels) {
    s_.OriginX += dxPixels * s_.TwipsPerPixelX;
    s_.OriginY += dyPixels * s_.TwipsPerPixelY;
    plotter_.Rerender(frame_);
}

void MainWindowLogic::HomeOrigin() {
    s_.OriginX = windowWidth_ / 2;
    s_.OriginY = windowHeight_ / 2 - windowHeight_ / 8;
    plotter_.Rerender(frame_);
}

void MainWindowLogic::Fit() {
    // Everything the plot has shown, or, before a run, where the fields put the bodies.
    constexpr double kInf = std::numeric_limits<double>::infinity();
    double left = kInf, right = -kInf, top = kInf, bottom = -kInf;
    auto take = [&](const BodyDoubles& x, const BodyDoubles& y, BodyMask on) {
        const FrameTransform t = TransformOf(frame_, s_, s_.ViewBody, x, y, on);
        for (int b = 1; b <= kBodies; ++b) {
            if (!(on & (1u << b))) continue;
            double dx = 0, dy = 0;
            FrameOffset(t, x, y, b, dx, dy);
            if (!std::isfinite(dx) || !std::isfinite(dy)) continue;
            left = std::min(left, dx), right = std::max(right, dx);
            top = std::min(top, dy), bottom = std::max(bottom, dy);
        }
    };
    const PathHistory& h = plotter_.History();
    h.ForEach([&](const Snapshot& snap) { take(snap.x, snap.y, snap.on); });
    if (h.Empty()) {
        Snapshot now;
        if (Running()) {
            now = SnapshotOf(s_);
        } else {
            for (int b = 1; b <= kBodies; ++b) {
                const BodyRow& row = params_.bodies[static_cast<std::size_t>(b)];
                const auto x = ParseNumber(row.x.text), y = ParseNumber(row.y.text);
                if (row.state != 1 || !x || !y) continue;
                now.x[b] = *x, now.y[b] = *y;
                now.on = static_cast<BodyMask>(now.on | (1u << b));
            }
        }
        take(now.x, now.y, now.on);
    }
    if (!(left <= right)) return;  // nothing to show
    // The room above the buttons, less a margin all round.
    const double roomTop = windowHeight_ * 0.05, room = buttons_[0].top - roomTop;
    const double width = windowWidth_ * 0.9, height = room * 0.95;
    const double needed = std::max((right - left) / width, (bottom - top) / height);
    double zoom = std::fabs(s_.Zoom);
    if (needed > 0) {
        zoom = RoundScaleUp(needed);
        if (zoom > kLargestZoom || zoom < kSmallestZoom) return;
    }
    if (s_.Zoom < 0) zoom = -zoom;  // a mirrored picture stays mirrored
    SetZoom(zoom);
    s_.OriginX = windowWidth_ / 2 - (left + right) / 2 / s_.Zoom;
    s_.OriginY = roomTop + room / 2 - (top + bottom) / 2 / s_.Zoom;
    plotter_.Rerender(frame_);
}

double RoundScaleUp(double v) {
    const double power = std::pow(10.0, std::floor(std::log10(v)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= v) return m * power;
    return 10 * power;
}

TickFault MainWindowLogic::HalfStepBack(bool stepLong) {
    double dt = s_.TimeStep;
    TickFault f = stepLong ? StepFromLength(s_, dt) : TickFault::None;
    if (f == TickFault::None) f = HalfKick(s_, -0.5 * dt);
    if (f != TickFault::None) return f;
    behind_ = true;
    behindStep_ = dt;
    behindSince_ = status_.ticks;
    behindOn_ = s_.BodyOn;
    return TickFault::None;
}

TickFault MainWindowLogic::HalfStepForward() {
    std::swap(s_.BodyOn, behindOn_);
    const TickFault f = HalfKick(s_, 0.5 * LagStep());
    std::swap(s_.BodyOn, behindOn_);
    if (f == TickFault::None) behind_ = false;
    return f;
}

std::pair<BodyDoubles, BodyDoubles> MainWindowLogic::VelocitiesInStep() const {
    std::pair v{s_.VelX, s_.VelY};
    if (behind_) KickInto(s_, 0.5 * LagStep(), v.first, v.second);
    return v;
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
