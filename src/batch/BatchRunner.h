#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "batch/BatchPlatform.h"
#include "core/SimState.h"
#include "core/Totals.h"
#include "mainwindow/MainWindowLogic.h"
#include "params/ParamsModel.h"
#include "platform/MemorySurface.h"
#include "platform/StdFileSystem.h"

namespace orbimo {

/// The main window's background, where the picture starts: the button colour of Qt's
/// Fusion palette, which the program's window uses on a desktop without a theme of its own.
inline constexpr Colour kWindowBackground = 0x00EFEFEF;

/// What one batch run is asked to do.
struct BatchOptions {
    std::u16string systemFile;
    std::int64_t maxTicks = 0;        // 0: no limit; the stop date ends the run
    std::u16string outFile;           // the state file as the program saves it after the run
    std::u16string pictureFile;       // the picture at the end of the run
    std::u16string csvFile;           // the track
    std::int64_t csvEvery = 1;        // a track row (and a totals row) every so many ticks
    std::u16string totalsFile;        // energy and angular momentum as the run goes
    std::u16string elementsFile;      // each body's orbit about the centre at the end
    int centre = 0;                   // of the orbits; 0: the heaviest body taking part
    int width = 1920, height = 1080;  // the screen the main window fills, in pixels
    bool leapfrog = false;            // the leapfrog start
    bool draw = true;                 // plot into Picture(); nothing else reads it
};

/// The exit status of the runner.
enum class BatchStatus : int {
    Done = 0,     // ran to the stop date or the tick limit
    Fault = 1,    // an arithmetic fault ended the run; the outputs hold the last good state
    Refused = 2,  // nothing usable to run, or an output could not be written
};

struct BatchReport {
    BatchStatus status = BatchStatus::Refused;
    bool ran = false;  // the run started (it may still have ended by a fault at once)
    std::int64_t ticks = 0;
    double startTime = 0, endTime = 0;  // simulated seconds since the epoch
    double stopTime = 0;                // the stop date in force, 0 for none
    double wallSeconds = 0;             // the run loop alone
    Totals before, after;
    TickFault fault = TickFault::None;
    bool stepLong = false;
    bool leapfrog = false;
    std::vector<std::u16string> warnings;  // the readout's warnings, each at most once
    SimState start;  // bodies and settings as the first tick found them (no trace map)
};

/// Runs one system file headless through the program's own start-up, run loop,
/// readout and save: a main window of the given size drawing into memory.
class BatchRunner {
  public:
    BatchRunner(const BatchOptions& options, std::u16string programFolder);

    /// Loads, checks, runs and writes the outputs. Messages go through onMessage as they come.
    BatchReport Run();

    const MemorySurface& Picture() const { return surface_; }
    const SimState& State() const { return state_; }
    ParamsModel& Params() { return params_; }
    const MainWindowLogic& Logic() const { return logic_; }
    const std::vector<std::u16string>& Messages() const { return toolkit_.messages; }

    /// Every message for the user, as it is produced (the runner prints them on stderr).
    std::function<void(const std::u16string&)> onMessage;
    /// After every tick, with the count of ticks so far.
    std::function<void(const SimState&, std::int64_t ticks)> onTick;
    /// A warning of the readout (energy drift, a pair the step does not resolve), the first
    /// time it is seen: every 4096 ticks and at the end.
    std::function<void(const std::u16string&)> onWarning;
    /// Every 4096 ticks: the part of the run done, 0 to 1, and the ticks so far.
    std::function<void(double done, std::int64_t ticks)> onProgress;
    /// Just before the first tick, with the report filled in as far as the start.
    std::function<void(const BatchReport&)> beforeRun;
    /// Writes the picture (the executable encodes PNG); the Russian reason on failure.
    std::function<WriteResult(const MemorySurface&, const std::u16string& path)> writePicture;

  private:
    bool Refuse(const std::u16string& message);
    bool CheckOutputFolder(const std::u16string& path);

    BatchOptions options_;
    BatchToolkit toolkit_;
    FixedScreen screen_;
    MemorySurface surface_;
    StdFileSystem files_;
    SimState state_;
    ParamsModel params_;
    MainWindowLogic logic_;
};

/// The record as StartOrStop leaves it just before the first tick: the run's fields converted.
SimState StartOfRun(const SimState& loaded, const RunSettings& run);

}  // namespace orbimo
