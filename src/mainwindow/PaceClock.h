#pragma once
#include <array>

namespace orbimo {

/// Simulated seconds per real second of each pace, fastest first; 0 is no limit (the default).
inline constexpr double kDaySeconds = 86400;
inline constexpr double kYearSeconds = 365.25 * kDaySeconds;
inline constexpr std::array<double, 8> kPaces = {
    0, 10 * kYearSeconds, kYearSeconds, 30 * kDaySeconds, 7 * kDaySeconds, kDaySeconds, 3600, 60};
/// The paces as the menu and the readout name them.
inline constexpr std::array<const char16_t*, 8> kPaceNames = {
    u"без ограничения", u"10 лет/с", u"1 год/с", u"1 мес/с",
    u"1 нед/с",         u"1 сут/с",  u"1 ч/с",   u"1 мин/с"};
/// «авто», not one of the rungs above: a run with a stop date takes about kAutoRunSeconds
/// whatever its length, one without goes at 1 год/с.
inline constexpr int kAutoPace = -1;
inline constexpr char16_t kAutoPaceName[] = u"авто";
inline constexpr double kAutoRunSeconds = 30;

/// The clock of a paced run: how far the simulated time is to be at each display frame, so that
/// it follows real time at the pace, never racing to catch up after a pause or a slow frame.
class PaceClock {
  public:
    static constexpr double kFrame = 1.0 / 60;  // seconds of a display frame

    /// The pace, an index into kPaces or kAutoPace; it may change during a run.
    int Pace() const { return pace_; }
    void SetPace(int index);
    bool Unlimited() const {
        return pace_ != kAutoPace && kPaces[static_cast<std::size_t>(pace_)] == 0;
    }
    /// The pace one step faster / slower: from «авто», from the rung nearest its pace.
    int Faster() const;
    int Slower() const;
    /// Simulated seconds per second of «авто» for a run whose stop date lies `span` seconds
    /// ahead (none when not above zero).
    static double AutoRate(double span) { return span > 0 ? span / kAutoRunSeconds : kYearSeconds; }
    /// Simulated seconds per second of the pace now (that of «авто» as the run started).
    double Rate() const { return RateOf(pace_); }

    /// A new run, whose stop date lies `span` seconds ahead (none when not above zero): the
    /// clock follows real time from its first frame.
    void StartRun(double span = 0);
    /// A frame begins at real time `now` with the simulated clock at `sim`: the simulated time
    /// the frame's ticks are to reach.
    double BeginFrame(double now, double sim);
    /// The pace was changed during the frame: the frame ends, the next one starts afresh.
    bool PaceChanged() const { return pace_ != anchorPace_; }
    /// Asked now and then during a frame: when most of it is spent computing (the pace is beyond
    /// this machine), the clock takes no more than a frame's work in hand and true ends the frame.
    bool OutOfTime(double frameStart, double now, double sim);
    /// The frame that began at `frameStart` has ended.
    void EndFrame(double frameStart) { lastFrame_ = frameStart; }

  private:
    double RateOf(int pace) const {
        return pace == kAutoPace ? autoRate_ : kPaces[static_cast<std::size_t>(pace)];
    }
    /// The rung nearest «авто»'s pace (by ratio).
    int NearestRung() const;
    int pace_ = 0;
    double autoRate_ = kYearSeconds;
    // Simulated time follows real time from this anchor on.
    int anchorPace_ = 0;
    double anchorReal_ = 0, anchorSim_ = 0, lastFrame_ = -1e300;
};

}  // namespace orbimo
