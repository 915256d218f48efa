#pragma once
#include "display/Frame.h"

namespace orbimo {

/// The user's display preferences, kept between starts in the user's settings and never in a
/// system file. The defaults leave the run and the picture as they always were.
struct Preferences {
    int pace = 0;  // index into kPaces: no limit
    bool readout = true;
    bool labels = false;
    bool scaleBar = true;
    Frame frame;            // the view body's frame, or a frame over it
    bool leapfrog = false;  // the runs that follow start half a step back

    static Preferences Load();
    void Save() const;
};

}  // namespace orbimo
