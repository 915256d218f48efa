#pragma once
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "core/AdvanceTick.h"
#include "core/SimState.h"
#include "core/Totals.h"
#include "display/Frame.h"
#include "display/Plotter.h"
#include "params/ParamsModel.h"
#include "platform/FileSystem.h"
#include "platform/PixelSurface.h"
#include "platform/ScreenMetrics.h"
#include "platform/Toolkit.h"

namespace orbimo {

inline constexpr char16_t kCaptionStart[] = u"Пуск";
inline constexpr char16_t kCaptionStop[] = u"Стоп";

/// Simulated seconds per real second of each pace, fastest first; 0 is no limit (the default).
inline constexpr double kDaySeconds = 86400;
inline constexpr double kYearSeconds = 365.25 * kDaySeconds;
inline constexpr std::array<double, 8> kPaces = {
    0, 10 * kYearSeconds, kYearSeconds, 30 * kDaySeconds, 7 * kDaySeconds, kDaySeconds, 3600, 60};
/// The paces as the menu and the readout name them.
inline constexpr std::array<const char16_t*, 8> kPaceNames = {
    u"без ограничения", u"10 лет/с", u"1 год/с", u"1 мес/с",
    u"1 нед/с",         u"1 сут/с",  u"1 ч/с",   u"1 мин/с"};

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

/// What one run reads from the parameters window before its first tick.
struct RunSettings {
    BodyDoubles mass{}, posX{}, posY{}, velX{}, velY{};
    std::array<std::int16_t, kSlots> bodyOn{};
    double timeStep = 0, stepLength = 0, zoom = 0;
    bool stepLong = false;
};

/// The main window's behaviour: start-up, the four buttons and the run loop.
class MainWindowLogic {
  public:
    MainWindowLogic(SimState& state, ParamsModel& params, PixelSurface& surface, Toolkit& toolkit,
                    FileSystem& files, const ScreenMetrics& screen);

    /// Start-up, steps 1 to 11; the last loads systemFile (empty: the state file).
    void Startup(const std::u16string& systemFile = {});
    /// A click on Command1(index).
    void Click(int index);
    /// Starts a run, or asks the run in progress to end.
    void StartOrStop();
    void Clear(bool keepMarkers) { plotter_.Clear(keepMarkers); }
    /// The window system asks for the picture: background, then the rebuild.
    void RepaintRequest();

    const std::u16string& Button0Caption() const { return caption0_; }
    bool Running() const { return caption0_ == kCaptionStop; }
    double WindowWidthTwips() const { return windowWidth_; }
    double WindowHeightTwips() const { return windowHeight_; }
    const std::array<TwipRect, 4>& Buttons() const { return buttons_; }
    Plotter& plotter() { return plotter_; }
    /// Whether the last start of a run happened and how it ended (the batch runner's exit status).
    const RunOutcome& LastRun() const { return lastRun_; }
    const RunStatus& Status() const { return status_; }
    const SimState& State() const { return s_; }
    const ParamsModel& Params() const { return params_; }

    /// The pace, an index into kPaces; it may change during a run.
    int Pace() const { return pace_; }
    void SetPace(int index);

    // ---- the view: display changes that keep the paths, drawn again from the history ----
    const Frame& CurrentFrame() const { return frame_; }
    void SetFrame(const Frame& f);
    /// The view body k, as its option in the parameters window selects it.
    void SelectView(int k) { params_.SelectView(k); }
    /// Zooms in by `factor` about window pixel (px, py), which stays where it is. The new scale
    /// is the run's and is written into «Масштаб» as the field shows a scale.
    void ZoomAt(double px, double py, double factor);
    void PanBy(double dxPixels, double dyPixels);
    /// The view origin back where start-up puts it.
    void HomeOrigin();
    /// The round scale and the origin that show everything plotted (or, with nothing plotted,
    /// the bodies where the fields put them) above the buttons, with a margin.
    void Fit();
    /// The leapfrog start for the runs that follow, off by default: a run's start moves the
    /// velocities half a step back, its end half a step forward again.
    void SetLeapfrog(bool on) { leapfrog_ = on; }
    /// Whether a run plots its ticks (on by default); a runner without a picture turns it off.
    void SetPlotting(bool on) { plotting_ = on; }
    bool Leapfrog() const { return leapfrog_; }
    /// The velocities at the positions' moment (during a leapfrog run the record's trail them).
    std::pair<BodyDoubles, BodyDoubles> VelocitiesInStep() const;
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

  private:
    void SetCaption(const std::u16string& c);
    void RunLoop(const RunSettings& run, double stopTime);
    bool Tick(bool stepLong, double stopTime);
    void SetZoom(double zoom);
    bool PacedFrame(bool stepLong, double stopTime);
    TickFault HalfStepBack(bool stepLong);
    TickFault HalfStepForward();
    double LagStep() const { return status_.ticks > behindSince_ ? s_.TimeStep : behindStep_; }

    SimState& s_;
    ParamsModel& params_;
    PixelSurface& surface_;
    Toolkit& toolkit_;
    FileSystem& files_;
    const ScreenMetrics& screen_;
    Plotter plotter_;
    std::u16string caption0_ = kCaptionStart;
    double windowWidth_ = 0, windowHeight_ = 0;
    std::array<TwipRect, 4> buttons_{};
    RunOutcome lastRun_;
    RunStatus status_;
    TickFault fault_ = TickFault::None;
    bool timerReached_ = false;
    int pace_ = 0;
    Frame frame_;
    bool leapfrog_ = false;
    bool plotting_ = true;
    // During a leapfrog run the velocities of the bodies in behindOn_ trail the positions by
    // half of LagStep(): the step put back, until a tick has run since, then the last tick's.
    bool behind_ = false;
    double behindStep_ = 0;
    std::int64_t behindSince_ = 0;
    std::array<std::int16_t, kSlots> behindOn_{};
    struct {
        BodyDoubles posX, posY, velX, velY;
        double timeStep, simTime;
    } before_[2]{};  // the record before the last ticks of a leapfrog run
    // A paced run's simulated time follows real time from this anchor on.
    int anchorPace_ = 0;
    double anchorReal_ = 0, anchorSim_ = 0, lastFrame_ = 0;
};

/// The scales zooming stays within, in metres per twip.
inline constexpr double kSmallestZoom = 1e-3, kLargestZoom = 1e16;
/// The smallest 1, 2 or 5 × 10ⁿ not below v (v > 0).
double RoundScaleUp(double v);

/// Russian text for a tick that could not be computed; velocitiesBehind when the closing half
/// step of a leapfrog run could not be computed either.
std::u16string TickFaultMessage(TickFault fault, bool velocitiesBehind = false);

}  // namespace orbimo
