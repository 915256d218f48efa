#pragma once
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/AdvanceTick.h"
#include "core/SimState.h"
#include "display/Plotter.h"
#include "params/ParamsModel.h"
#include "platform/FileSystem.h"
#include "platform/PixelSurface.h"
#include "platform/ScreenMetrics.h"
#include "platform/Toolkit.h"

namespace orbimo {

inline constexpr char16_t kCaptionStart[] = u"Пуск";
inline constexpr char16_t kCaptionStop[] = u"Стоп";

/// How the last call of Play1 that tried to start a run ended.
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
class Form1Logic {
  public:
    Form1Logic(SimState& state, ParamsModel& params, PixelSurface& surface, Toolkit& toolkit,
               FileSystem& files, const ScreenMetrics& screen);

    /// Start-up, steps 1 to 11; the last loads systemFile (empty: the state file).
    void Startup(const std::u16string& systemFile = {});
    /// A click on Command1(index).
    void Click(int index);
    /// Starts a run, or asks the run in progress to end.
    void Play1();
    void Очистить(bool keepMarkers) { plotter_.Очистить(keepMarkers); }
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
};

/// Russian text for a tick that could not be computed.
std::u16string TickFaultMessage(TickFault fault);

}  // namespace orbimo
