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

/// The clock of a paced run: how far the simulated time is to be at each display frame, so that
/// it follows real time at the pace, never racing to catch up after a pause or a slow frame.
class PaceClock {
  public:
    static constexpr double kFrame = 1.0 / 60;  // seconds of a display frame

    /// The pace, an index into kPaces; it may change during a run.
    int Pace() const { return pace_; }
    void SetPace(int index);
    bool Unlimited() const { return kPaces[static_cast<std::size_t>(pace_)] == 0; }

    /// A new run: the clock follows real time from its first frame.
    void StartRun();
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
    double Rate() const { return kPaces[static_cast<std::size_t>(anchorPace_)]; }
    int pace_ = 0;
    // Simulated time follows real time from this anchor on.
    int anchorPace_ = 0;
    double anchorReal_ = 0, anchorSim_ = 0, lastFrame_ = -1e300;
};

}  // namespace orbimo
