#include "mainwindow/PaceClock.h"

#include <algorithm>
#include <cmath>

namespace orbimo {

void PaceClock::SetPace(int index) {
    if (index >= kAutoPace && index < static_cast<int>(kPaces.size())) pace_ = index;
}

int PaceClock::NearestRung() const {
    int nearest = 1;
    for (int i = 1; i < static_cast<int>(kPaces.size()); ++i)
        if (std::fabs(std::log(kPaces[static_cast<std::size_t>(i)] / autoRate_)) <
            std::fabs(std::log(kPaces[static_cast<std::size_t>(nearest)] / autoRate_)))
            nearest = i;
    return nearest;
}

// The rungs run from no limit (0) to the slowest; «авто» stands beside them.
int PaceClock::Faster() const {
    return std::max((pace_ == kAutoPace ? NearestRung() : pace_) - 1, 0);
}

int PaceClock::Slower() const {
    return std::min((pace_ == kAutoPace ? NearestRung() : pace_) + 1,
                    static_cast<int>(kPaces.size()) - 1);
}

void PaceClock::StartRun(double span) {
    autoRate_ = AutoRate(span);
    anchorPace_ = kAutoPace - 1;  // no pace: the first frame anchors the clock
    lastFrame_ = -1e300;
}

double PaceClock::BeginFrame(double now, double sim) {
    // A new pace, or frames missed (the pace was off, a message box held the loop): the
    // simulated time follows real time from here, without a burst to catch up.
    if (anchorPace_ != pace_ || now - lastFrame_ > 0.25) {
        anchorPace_ = pace_;
        anchorReal_ = now;
        anchorSim_ = sim;
    }
    return anchorSim_ + RateOf(anchorPace_) * (now - anchorReal_);
}

bool PaceClock::OutOfTime(double frameStart, double now, double sim) {
    if (now - frameStart <= 0.75 * kFrame) return false;
    anchorReal_ = now;
    anchorSim_ = sim + RateOf(anchorPace_) * kFrame;
    return true;
}

}  // namespace orbimo
