#include "mainwindow/PaceClock.h"

namespace orbimo {

void PaceClock::SetPace(int index) {
    if (index >= 0 && index < static_cast<int>(kPaces.size())) pace_ = index;
}

void PaceClock::StartRun() {
    anchorPace_ = 0;
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
    return anchorSim_ + Rate() * (now - anchorReal_);
}

bool PaceClock::OutOfTime(double frameStart, double now, double sim) {
    if (now - frameStart <= 0.75 * kFrame) return false;
    anchorReal_ = now;
    anchorSim_ = sim + Rate() * kFrame;
    return true;
}

}  // namespace orbimo
