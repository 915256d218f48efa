#include "mainwindow/TimeBar.h"

#include <algorithm>
#include <cmath>

namespace orbimo {

void TimeBar::Place(int windowWidth, int buttonsRight, int buttonsTop) {
    right_ = buttonsRight;
    left_ = std::min(windowWidth / 3, right_ - 2 * kHandle);
    top_ = buttonsTop - kGap - kHeight;
}

bool TimeBar::Hit(Pixel p) const {
    return p.x >= left_ - kReach && p.x <= right_ + kReach && p.y >= top_ - kReach &&
           p.y <= top_ + kHeight + kReach;
}

double TimeBar::DateAt(int x, double first, double last) const {
    // The handle's centre travels between the bar's ends less half the handle.
    const int from = left_ + kHandle / 2, to = right_ - kHandle / 2;
    if (to <= from || !(last > first)) return last;
    const double share = std::clamp(static_cast<double>(x - from) / (to - from), 0.0, 1.0);
    return share == 1 ? last : first + share * (last - first);
}

int TimeBar::ColumnOf(double date, double first, double last) const {
    const int from = left_ + kHandle / 2, to = right_ - kHandle / 2;
    if (!(last > first)) return to;
    const double share = std::clamp((date - first) / (last - first), 0.0, 1.0);
    return from + static_cast<int>(std::lround(share * (to - from)));
}

TimeBarLayer TimeBar::Layer(double date, double first, double last, std::u16string label) const {
    return {left_, top_, right_ - left_, kHeight, ColumnOf(date, first, last), std::move(label)};
}

}  // namespace orbimo
